// The browser's keys and gamepads in the game's terms: KeyboardEvent key and code give the
// virtual keys the desktop gives for the same keys (the keypad with NumLock on and off, letters
// on a layout that writes no ASCII, punctuation under Shift); gamepads of the standard mapping
// give the controller state the desktop reports, and several merge as the desktop merges them.
#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "platform/web/browser_input.h"

TEST(BrowserKeys, GiveTheDesktopsVirtualKeys)
{
    struct Case {
        const char* key;
        const char* code;
        uint32_t expected;
    };
    const Case cases[] = {
        {"ArrowLeft", "ArrowLeft", keyLeft},
        {"ArrowUp", "ArrowUp", keyUp},
        {"ArrowRight", "ArrowRight", keyRight},
        {"ArrowDown", "ArrowDown", keyDown},
        {"Enter", "Enter", keyEnter},
        {"Escape", "Escape", keyEscape},
        {" ", "Space", keySpace},
        {"m", "KeyM", keyM},
        {"M", "KeyM", keyM},
        {"7", "Digit7", '7'},
        {"&", "Digit7", '7'}, // Shift, or a layout that writes the sign unshifted
        {"ь", "KeyM", keyM},  // a Cyrillic layout's M key
        {"y", "KeyZ", 'Y'},   // a German layout: the key writes what counts
        {"F10", "F10", 0x79},
        {"F12", "F12", 0x7B},
        {"Tab", "Tab", 0x09},
        {"Shift", "ShiftLeft", 0x10},
        {"Alt", "AltRight", 0x12},
        {":", "Semicolon", 0xBA}, // punctuation counts by the physical key
        {"_", "Minus", 0xBD},
        {"Dead", "BracketRight", 0xDD}, // a dead key of a layout that writes accents
        // The keypad with NumLock on: its own codes; its Enter is Enter.
        {"8", "Numpad8", 0x68},
        {"0", "Numpad0", 0x60},
        {".", "NumpadDecimal", 0x6E},
        {"*", "NumpadMultiply", 0x6A},
        {"Enter", "NumpadEnter", keyEnter},
        // With NumLock off the browser names the keypad's keys as the keys they stand for.
        {"ArrowUp", "Numpad8", keyUp},
        {"ArrowLeft", "Numpad4", keyLeft},
        {"Home", "Numpad7", 0x24},
        {"Clear", "Numpad5", 0x0C},
        {"Delete", "NumpadDecimal", 0x2E},
        // Keys the game has no code for.
        {"Meta", "MetaLeft", 0},
        {"Unidentified", "", 0},
        {"é", "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(virtualKeyOfBrowserKey(c.key, c.code), c.expected)
            << "key \"" << c.key << "\", code \"" << c.code << "\"";
    }
}

TEST(BrowserGamepads, ReadAsTheDesktopsControllers)
{
    BrowserGamepad pad;
    EXPECT_EQ(controllerStateOf(pad), ControllerState{});

    // Face buttons, shoulders, Back, Start and the d-pad as their bits; the sticks' clicks not.
    const int buttons[] = {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int button : buttons) {
        pad.pressed[button] = true;
    }
    const ControllerState held = controllerStateOf(pad);
    EXPECT_EQ(held.buttons, padA | padB | padX | padY | padLeftShoulder | padRightShoulder |
                                padBack | padStart | padUp | padDown | padLeft | padRight);

    // The stick from -1 to 1 over the desktop's range; the triggers' values from 0 to 1,
    // one reported below 0 at rest counting as released.
    BrowserGamepad moved;
    moved.axes[0] = -1.0;
    moved.axes[1] = 0.5;
    moved.value[6] = -1.0;
    moved.value[7] = 1.0;
    const ControllerState state = controllerStateOf(moved);
    EXPECT_EQ(state.stickX, -32767);
    EXPECT_EQ(state.stickY, 16384);
    EXPECT_EQ(state.leftTrigger, 0);
    EXPECT_EQ(state.rightTrigger, 32767);
    const uint32_t stickLeft = 1u << static_cast<uint32_t>(PadInput::StickLeft);
    EXPECT_EQ(padInputsHeld(state) & stickLeft, stickLeft) << "the stick is pushed left";
}

TEST(BrowserGamepads, MergeButtonsAndTheFurthestAxes)
{
    ControllerState merged;
    ControllerState first;
    first.buttons = padA;
    first.stickX = 20000;
    first.stickY = -3000;
    first.rightTrigger = 100;
    ControllerState second;
    second.buttons = padStart;
    second.stickX = -25000;
    second.stickY = 2000;
    second.leftTrigger = 32767;
    mergeControllerState(&merged, first);
    mergeControllerState(&merged, second);
    EXPECT_EQ(merged.buttons, padA | padStart);
    EXPECT_EQ(merged.stickX, -25000);
    EXPECT_EQ(merged.stickY, -3000);
    EXPECT_EQ(merged.leftTrigger, 32767);
    EXPECT_EQ(merged.rightTrigger, 100);
}
