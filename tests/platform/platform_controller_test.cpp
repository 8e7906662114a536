// Controllers as keys: which keys a controller's buttons, stick and triggers stand for on the
// menu-like screens and in the race.
#include <gtest/gtest.h>

#include <string>

#include "platform/controller_keys.h"

namespace {

// The keys held, as their names in bit order, for readable failures.
std::string keyNames(uint32_t keys)
{
    static const char* const names[] = {"Left", "Up", "Right", "Down", "Enter", "Escape", "Space"};
    std::string text;
    for (int bit = 0; bit < 7; ++bit) {
        if ((keys >> bit) & 1u) {
            text += text.empty() ? "" : " ";
            text += names[bit];
        }
    }
    return text;
}

struct Case {
    const char* what;
    ControllerState state;
    const char* menu;
    const char* race;
};

const Case cases[] = {
    {"nothing", {}, "", ""},
    {"d-pad", {padUp | padLeft, 0, 0, 0, 0}, "Left Up", "Left"},
    {"d-pad down right", {padDown | padRight, 0, 0, 0, 0}, "Right Down", "Right"},
    {"stick past the dead zone",
     {0, -controllerDeadZone, controllerDeadZone, 0, 0},
     "Left Down",
     "Left"},
    {"stick inside the dead zone",
     {0, controllerDeadZone - 1, 1 - controllerDeadZone, 0, 0},
     "",
     ""},
    {"A", {padA, 0, 0, 0, 0}, "Enter", "Up"},
    {"Start", {padStart, 0, 0, 0, 0}, "Enter", ""},
    {"B", {padB, 0, 0, 0, 0}, "Escape", ""},
    {"Back", {padBack, 0, 0, 0, 0}, "Escape", "Escape"},
    {"X", {padX, 0, 0, 0, 0}, "", "Space"},
    {"Y", {padY, 0, 0, 0, 0}, "", ""},
    {"triggers pulled", {0, 0, 0, controllerDeadZone, 32767}, "", "Up Space"},
    {"triggers barely touched", {0, 0, 0, controllerDeadZone - 1, controllerDeadZone - 1}, "", ""},
};

} // namespace

TEST(ControllerKeys, MenuAndRaceLayoutsGiveTheKeysOfTheKeyboard)
{
    for (const Case& c : cases) {
        EXPECT_EQ(keyNames(controllerKeys(c.state, ControllerLayout::Menu)), c.menu) << c.what;
        EXPECT_EQ(keyNames(controllerKeys(c.state, ControllerLayout::Race)), c.race) << c.what;
    }
}
