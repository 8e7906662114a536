#pragma once
// Game controllers as keys: the state of the controllers (buttons, left stick, triggers) turned
// into the virtual keys the keyboard would hold. Both backends deliver controller state; the
// Window calls controllerKeys after every change and feeds the difference to the screens as key
// presses and releases, so the race's rules and the screens see only keys.

#include <cstdint>

// The buttons the game reads, as bits of ControllerState::buttons (the layout of the common
// console pads: A bottom, B right, X left, Y top).
enum ControllerButton : uint32_t {
    padA = 1u << 0,
    padB = 1u << 1,
    padX = 1u << 2,
    padY = 1u << 3,
    padBack = 1u << 4,
    padStart = 1u << 5,
    padUp = 1u << 6,
    padDown = 1u << 7,
    padLeft = 1u << 8,
    padRight = 1u << 9,
};

// Every plugged-in controller merged into one: a button counts when any controller holds it;
// the stick and the triggers are those pushed furthest.
struct ControllerState {
    uint32_t buttons = 0;    // ControllerButton bits
    int16_t stickX = 0;      // left stick, -32768 (left) to 32767 (right)
    int16_t stickY = 0;      // left stick, -32768 (up) to 32767 (down)
    int16_t leftTrigger = 0; // 0 (released) to 32767 (fully pulled)
    int16_t rightTrigger = 0;

    bool operator==(const ControllerState&) const = default;
};

// Which keys a controller stands for depends on what the screen reads. Menu: the menu, controls
// and result screens and the message boxes (key presses). Race: the race, which polls held keys.
enum class ControllerLayout { Menu, Race };

// How far a stick or trigger must go, of 32767, before it counts as pressed.
constexpr int controllerDeadZone = 12000;

// The virtual keys one controller state holds, as a bit per key in this order: Left, Up, Right,
// Down, Enter, Escape, Space (bit i for controllerKeyCodes[i]).
// Menu: d-pad or stick move (Up, Down, Left, Right); A or Start is Enter; B or Back is Escape.
// Race: d-pad or stick steer (Left, Right); right trigger or A is Up (throttle); left trigger
// or X is Space (brake); Back is Escape (give up).
uint32_t controllerKeys(const ControllerState& state, ControllerLayout layout);

// The virtual-key code of each bit of controllerKeys.
extern const uint32_t controllerKeyCodes[7];
