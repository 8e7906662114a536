// Controller buttons, stick and triggers as inputs that are pressed or not.
#include "platform/controller_keys.h"

namespace {

uint32_t bit(PadInput input) { return 1u << static_cast<uint32_t>(input); }

} // namespace

uint32_t padInputsHeld(const ControllerState& state)
{
    struct Button {
        uint32_t button;
        PadInput input;
    };
    static constexpr Button buttons[] = {
        {padA, PadInput::A},
        {padB, PadInput::B},
        {padX, PadInput::X},
        {padY, PadInput::Y},
        {padBack, PadInput::Back},
        {padStart, PadInput::Start},
        {padLeftShoulder, PadInput::LeftShoulder},
        {padRightShoulder, PadInput::RightShoulder},
        {padUp, PadInput::DpadUp},
        {padDown, PadInput::DpadDown},
        {padLeft, PadInput::DpadLeft},
        {padRight, PadInput::DpadRight},
    };
    uint32_t held = 0;
    for (const Button& button : buttons) {
        if ((state.buttons & button.button) != 0) {
            held |= bit(button.input);
        }
    }
    if (state.stickX <= -controllerDeadZone) {
        held |= bit(PadInput::StickLeft);
    }
    if (state.stickX >= controllerDeadZone) {
        held |= bit(PadInput::StickRight);
    }
    if (state.stickY <= -controllerDeadZone) {
        held |= bit(PadInput::StickUp);
    }
    if (state.stickY >= controllerDeadZone) {
        held |= bit(PadInput::StickDown);
    }
    if (state.leftTrigger >= controllerDeadZone) {
        held |= bit(PadInput::LeftTrigger);
    }
    if (state.rightTrigger >= controllerDeadZone) {
        held |= bit(PadInput::RightTrigger);
    }
    return held;
}
