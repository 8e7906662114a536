// The browser's keys and gamepads in the game's terms.
#include "platform/web/browser_input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct NamedKey {
    std::string_view name;
    uint32_t code;
};

// Keys the browser names by what they do (KeyboardEvent.key), with NumLock applied: the keypad's
// 8 with NumLock off is "ArrowUp", its 5 "Clear", its point "Delete".
constexpr NamedKey namedKeys[] = {
    {"ArrowLeft", 0x25}, {"ArrowUp", 0x26}, {"ArrowRight", 0x27}, {"ArrowDown", 0x28},
    {"Enter", 13},       {"Escape", 27},    {" ", 0x20},          {"Backspace", 0x08},
    {"Tab", 0x09},       {"Shift", 0x10},   {"Control", 0x11},    {"Alt", 0x12},
    {"AltGraph", 0x12},  {"Pause", 0x13},   {"CapsLock", 0x14},   {"PageUp", 0x21},
    {"PageDown", 0x22},  {"End", 0x23},     {"Home", 0x24},       {"Insert", 0x2D},
    {"Delete", 0x2E},    {"Clear", 0x0C},   {"F1", 0x70},         {"F2", 0x71},
    {"F3", 0x72},        {"F4", 0x73},      {"F5", 0x74},         {"F6", 0x75},
    {"F7", 0x76},        {"F8", 0x77},      {"F9", 0x78},         {"F10", 0x79},
    {"F11", 0x7A},       {"F12", 0x7B},
};

// Physical keys (KeyboardEvent.code) counted as the key itself, whatever Shift or NumLock make
// them write: the keypad's operators and the punctuation keys of a US keyboard.
constexpr NamedKey physicalKeys[] = {
    {"NumpadMultiply", 0x6A}, {"NumpadAdd", 0x6B},    {"NumpadSubtract", 0x6D},
    {"NumpadDivide", 0x6F},   {"Semicolon", 0xBA},    {"Equal", 0xBB},
    {"Comma", 0xBC},          {"Minus", 0xBD},        {"Period", 0xBE},
    {"Slash", 0xBF},          {"Backquote", 0xC0},    {"BracketLeft", 0xDB},
    {"Backslash", 0xDC},      {"BracketRight", 0xDD}, {"Quote", 0xDE},
};

uint32_t lookUp(std::string_view name, const NamedKey* table, size_t count)
{
    const NamedKey* end = table + count;
    const NamedKey* found =
        std::find_if(table, end, [name](const NamedKey& key) { return key.name == name; });
    return found == end ? 0 : found->code;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A letter or digit written as one ASCII character, as its capital; 0 otherwise.
uint32_t asciiKey(std::string_view text)
{
    if (text.size() != 1) {
        return 0;
    }
    const char c = text[0];
    if (c >= 'a' && c <= 'z') {
        return static_cast<uint32_t>(c - 'a' + 'A');
    }
    if ((c >= 'A' && c <= 'Z') || isDigit(c)) {
        return static_cast<uint32_t>(c);
    }
    return 0;
}

// The letter or digit of a physical key's name ("KeyM", "Digit7"); 0 for other keys.
uint32_t physicalLetterOrDigit(std::string_view code)
{
    if (code.size() == 4 && code.starts_with("Key")) {
        return asciiKey(code.substr(3));
    }
    if (code.size() == 6 && code.starts_with("Digit")) {
        return asciiKey(code.substr(5));
    }
    return 0;
}

// -1 to 1 as -32768 to 32767; 0 to 1 as 0 to 32767.
int16_t axisValue(double value)
{
    const double scaled = std::round(std::clamp(value, -1.0, 1.0) * 32767.0);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

int16_t furthest(int16_t current, int16_t value)
{
    return std::abs(static_cast<int>(value)) > std::abs(static_cast<int>(current)) ? value
                                                                                   : current;
}

} // namespace

uint32_t virtualKeyOfBrowserKey(std::string_view key, std::string_view code)
{
    if (uint32_t named = lookUp(key, namedKeys, std::size(namedKeys))) {
        return named;
    }
    if (code.starts_with("Numpad") && key.size() == 1 && isDigit(key[0])) {
        return static_cast<uint32_t>(0x60 + (key[0] - '0'));
    }
    if (code == "NumpadDecimal") {
        return 0x6E;
    }
    if (uint32_t physical = lookUp(code, physicalKeys, std::size(physicalKeys))) {
        return physical;
    }
    if (uint32_t written = asciiKey(key)) {
        return written;
    }
    return physicalLetterOrDigit(code);
}

ControllerState controllerStateOf(const BrowserGamepad& pad)
{
    struct Binding {
        int button;
        uint32_t bit;
    };
    static constexpr Binding bindings[] = {
        {0, padA},
        {1, padB},
        {2, padX},
        {3, padY},
        {4, padLeftShoulder},
        {5, padRightShoulder},
        {8, padBack},
        {9, padStart},
        {12, padUp},
        {13, padDown},
        {14, padLeft},
        {15, padRight},
    };
    ControllerState state;
    for (const Binding& binding : bindings) {
        if (pad.pressed[binding.button]) {
            state.buttons |= binding.bit;
        }
    }
    state.stickX = axisValue(pad.axes[0]);
    state.stickY = axisValue(pad.axes[1]);
    state.leftTrigger = axisValue(std::max(0.0, pad.value[6]));
    state.rightTrigger = axisValue(std::max(0.0, pad.value[7]));
    return state;
}

void mergeControllerState(ControllerState* merged, const ControllerState& one)
{
    merged->buttons |= one.buttons;
    merged->stickX = furthest(merged->stickX, one.stickX);
    merged->stickY = furthest(merged->stickY, one.stickY);
    merged->leftTrigger = furthest(merged->leftTrigger, one.leftTrigger);
    merged->rightTrigger = furthest(merged->rightTrigger, one.rightTrigger);
}
