#pragma once
// Game controllers as raw inputs: the state the backends report (buttons, left stick, triggers,
// every plugged-in controller merged into one), and a code for each input beside the keyboard's
// virtual keys. The Window calls padInputsHeld after every change and feeds the difference to the
// screens as presses and releases of those codes, through the same slots and held-key table as the
// keyboard's. What an input means (throttle, confirm, ...) is for the game's controls to say.

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
    padLeftShoulder = 1u << 10,
    padRightShoulder = 1u << 11,
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

// How far a stick or trigger must go, of 32767, before it counts as pressed.
constexpr int controllerDeadZone = 12000;

// The inputs of the controllers that are either pressed or not: the buttons, the stick's four
// directions and the two triggers. Input i has the code padCodeBase + i.
enum class PadInput : uint32_t {
    A,
    B,
    X,
    Y,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    StickLeft,
    StickRight,
    StickUp,
    StickDown,
    LeftTrigger,
    RightTrigger,
    Count
};

// Codes 0 to 255 are the keyboard's virtual keys; the controllers' inputs follow them.
constexpr uint32_t padCodeBase = 0x100;
constexpr uint32_t padInputCount = static_cast<uint32_t>(PadInput::Count);
// Every code a key or controller input can have: the size of the Window's held-key tables.
constexpr uint32_t inputCodeCount = padCodeBase + padInputCount;

// The code of a controller input.
constexpr uint32_t padCode(PadInput input) { return padCodeBase + static_cast<uint32_t>(input); }
// Whether a code is a controller input's rather than a key's.
constexpr bool isPadCode(uint32_t code) { return code >= padCodeBase && code < inputCodeCount; }

// The inputs one controller state holds, bit i for PadInput i: the buttons as they are, the
// stick's directions and the triggers once they pass controllerDeadZone.
uint32_t padInputsHeld(const ControllerState& state);
