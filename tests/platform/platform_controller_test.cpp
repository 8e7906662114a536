// Controllers as raw inputs: which inputs a controller's buttons, stick and triggers hold.
#include <gtest/gtest.h>

#include <string>

#include "platform/controller_keys.h"

namespace {

// The inputs held, as their names in the order of PadInput, for readable failures.
std::string inputNames(uint32_t inputs)
{
    static const char* const names[padInputCount] = {
        "A",         "B",          "X",       "Y",         "Back",     "Start",
        "LB",        "RB",         "DpadUp",  "DpadDown",  "DpadLeft", "DpadRight",
        "StickLeft", "StickRight", "StickUp", "StickDown", "LT",       "RT"};
    std::string text;
    for (uint32_t bit = 0; bit < padInputCount; ++bit) {
        if ((inputs >> bit) & 1u) {
            text += text.empty() ? "" : " ";
            text += names[bit];
        }
    }
    return text;
}

struct Case {
    const char* what;
    ControllerState state;
    const char* held;
};

const Case cases[] = {
    {"nothing", {}, ""},
    {"buttons", {padA | padBack | padLeftShoulder | padRightShoulder, 0, 0, 0, 0}, "A Back LB RB"},
    {"d-pad",
     {padUp | padLeft | padDown | padRight, 0, 0, 0, 0},
     "DpadUp DpadDown DpadLeft DpadRight"},
    {"stick past the dead zone",
     {0, -controllerDeadZone, controllerDeadZone, 0, 0},
     "StickLeft StickDown"},
    {"stick the other way", {0, 32767, -32768, 0, 0}, "StickRight StickUp"},
    {"stick inside the dead zone", {0, controllerDeadZone - 1, 1 - controllerDeadZone, 0, 0}, ""},
    {"triggers pulled", {0, 0, 0, controllerDeadZone, 32767}, "LT RT"},
    {"triggers barely touched", {0, 0, 0, controllerDeadZone - 1, controllerDeadZone - 1}, ""},
};

} // namespace

TEST(ControllerInputs, ButtonsCountAsTheyAreSticksAndTriggersPastTheDeadZone)
{
    for (const Case& c : cases) {
        EXPECT_EQ(inputNames(padInputsHeld(c.state)), c.held) << c.what;
    }
    EXPECT_EQ(padCode(PadInput::A), padCodeBase);
    EXPECT_TRUE(isPadCode(padCode(PadInput::RightTrigger)));
    EXPECT_FALSE(isPadCode(0xFF));
    EXPECT_FALSE(isPadCode(inputCodeCount));
}
