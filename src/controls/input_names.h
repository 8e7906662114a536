#pragma once
// The names of keys and controller inputs: as the settings file writes them ("Up", "W", "Space",
// "Keypad8", "Alt+Enter", "RightTrigger") and as the screens show them ("UP", "W", "SPACE",
// "KEYPAD 8", "ALT+ENTER", "RT").
//
// A key binding is a Win32 virtual-key code (0 to 255) with, for a key that counts only while
// modifiers are held, the modifier flags below. A controller input is its code from
// platform/controller_keys.h (padCodeBase and up).

#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t withShift = 1u << 16;
constexpr uint32_t withCtrl = 1u << 17;
constexpr uint32_t withAlt = 1u << 18;
constexpr uint32_t modifierFlags = withShift | withCtrl | withAlt;

// The key of a binding, without its modifier flags.
constexpr uint32_t plainKey(uint32_t binding) { return binding & ~modifierFlags; }

// A key binding as the settings file writes it: modifiers first ("Shift+", "Ctrl+", "Alt+"), then
// the key's name; a key without a name of its own as "Key" and its decimal code ("Key146").
std::string keyName(uint32_t binding);
// Reads a key binding written as keyName writes it, in any mix of upper and lower case, also
// "Return" and "Esc" for Enter and Escape and "Control" for Ctrl. False for anything else.
bool parseKeyName(std::string_view text, uint32_t* binding);

// A controller input's name in the settings file ("A", "Start", "DpadLeft", "StickUp",
// "LeftShoulder", "RightTrigger"), and back in any case; false for anything else.
std::string padName(uint32_t code);
bool parsePadName(std::string_view text, uint32_t* code);

// How the screens show a key binding or controller input: capitals, short ("ESC", "ALT+ENTER",
// "KEYPAD 8", "D-LEFT", "S-UP", "LT", "RB").
std::string screenName(uint32_t code);
