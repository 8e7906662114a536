// Controller buttons, stick and triggers as the keys of the keyboard.
#include "platform/controller_keys.h"

#include "platform/virtual_keys.h"

const uint32_t controllerKeyCodes[7] = {keyLeft,  keyUp,     keyRight, keyDown,
                                        keyEnter, keyEscape, keySpace};

namespace {

enum KeyBit : uint32_t {
    bitLeft = 1u << 0,
    bitUp = 1u << 1,
    bitRight = 1u << 2,
    bitDown = 1u << 3,
    bitEnter = 1u << 4,
    bitEscape = 1u << 5,
    bitSpace = 1u << 6,
};

bool held(const ControllerState& state, uint32_t buttons) { return (state.buttons & buttons) != 0; }

} // namespace

uint32_t controllerKeys(const ControllerState& state, ControllerLayout layout)
{
    uint32_t keys = 0;
    if (held(state, padLeft) || state.stickX <= -controllerDeadZone) {
        keys |= bitLeft;
    }
    if (held(state, padRight) || state.stickX >= controllerDeadZone) {
        keys |= bitRight;
    }
    if (layout == ControllerLayout::Menu) {
        if (held(state, padUp) || state.stickY <= -controllerDeadZone) {
            keys |= bitUp;
        }
        if (held(state, padDown) || state.stickY >= controllerDeadZone) {
            keys |= bitDown;
        }
        if (held(state, padA | padStart)) {
            keys |= bitEnter;
        }
        if (held(state, padB | padBack)) {
            keys |= bitEscape;
        }
        return keys;
    }
    if (held(state, padA) || state.rightTrigger >= controllerDeadZone) {
        keys |= bitUp;
    }
    if (held(state, padX) || state.leftTrigger >= controllerDeadZone) {
        keys |= bitSpace;
    }
    if (held(state, padBack)) {
        keys |= bitEscape;
    }
    return keys;
}
