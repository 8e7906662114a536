#pragma once
// What the browser reports, in the game's terms: a KeyboardEvent's key as the Win32 virtual-key
// code the Window takes, and the gamepads of the Gamepad API as the one merged controller state
// the desktop reports. Plain functions of plain values: the web backend (web_backend.h) calls them
// for every key event and every pump, and the native tests call them too.

#include <cstdint>
#include <string_view>

#include "platform/controller_keys.h"

// The virtual-key code of a KeyboardEvent, from its `key` (what the key means with the layout,
// Shift and NumLock applied: "ArrowUp", "Enter", " ", "m", "M", "8") and its `code` (the physical
// key: "ArrowUp", "KeyM", "Numpad8"); 0 for a key the game has no code for. Letters and digits are
// their ASCII capitals, on any layout (a letter the layout writes outside ASCII counts as the
// physical key's); the keypad's digits are 0x60 to 0x69 with NumLock on, and with NumLock off the
// browser already names them as the arrows, Home, End and so on, as the desktop maps them; the
// keypad's Enter is Enter. Punctuation counts by the physical key, whatever Shift writes.
uint32_t virtualKeyOfBrowserKey(std::string_view key, std::string_view code);

// One gamepad as the Gamepad API reads it. Only gamepads in the API's "standard" mapping are read:
// buttons 0 A, 1 B, 2 X, 3 Y, 4 and 5 the left and right shoulder, 6 left trigger, 7 right
// trigger (their values 0 to 1), 8 Back, 9 Start, 12 to 15 the d-pad's up, down, left and right;
// axes 0 and 1 the left stick, -1 to 1 (left and up negative).
struct BrowserGamepad {
    static constexpr int buttonCount = 16;
    static constexpr int axisCount = 2;
    bool pressed[buttonCount] = {};
    double value[buttonCount] = {};
    double axes[axisCount] = {};
};

// The gamepad's state as the desktop reports a controller's: buttons as ControllerButton bits,
// the stick's axes from -32768 to 32767, the triggers from 0 to 32767.
ControllerState controllerStateOf(const BrowserGamepad& pad);

// Adds one controller's state to the state of those merged so far: a button counts when either
// holds it; of each axis and trigger, the value pushed furthest from rest.
void mergeControllerState(ControllerState* merged, const ControllerState& one);
