// Names of keys and controller inputs, for the settings file and the screens.
#include "controls/input_names.h"

#include <cctype>
#include <iterator>

#include "platform/controller_keys.h"

namespace {

struct KeyNames {
    uint32_t code;
    const char* name;   // in the settings file
    const char* screen; // on the screens
};

// Every named key but the letters, digits, function keys and keypad digits, which are named by
// rule (keyNamedByRule).
constexpr KeyNames keyNames[] = {
    {0x08, "Backspace", "BACKSPACE"},
    {0x09, "Tab", "TAB"},
    {0x0C, "Clear", "CLEAR"},
    {0x0D, "Enter", "ENTER"},
    {0x10, "Shift", "SHIFT"},
    {0x11, "Ctrl", "CTRL"},
    {0x12, "Alt", "ALT"},
    {0x13, "Pause", "PAUSE"},
    {0x14, "CapsLock", "CAPS LOCK"},
    {0x1B, "Escape", "ESC"},
    {0x20, "Space", "SPACE"},
    {0x21, "PageUp", "PAGE UP"},
    {0x22, "PageDown", "PAGE DOWN"},
    {0x23, "End", "END"},
    {0x24, "Home", "HOME"},
    {0x25, "Left", "LEFT"},
    {0x26, "Up", "UP"},
    {0x27, "Right", "RIGHT"},
    {0x28, "Down", "DOWN"},
    {0x2D, "Insert", "INSERT"},
    {0x2E, "Delete", "DELETE"},
    {0x6A, "KeypadMultiply", "KEYPAD *"},
    {0x6B, "KeypadPlus", "KEYPAD +"},
    {0x6D, "KeypadMinus", "KEYPAD -"},
    {0x6E, "KeypadPoint", "KEYPAD ."},
    {0x6F, "KeypadDivide", "KEYPAD /"},
    {0xBA, "Semicolon", ";"},
    {0xBB, "Equals", "="},
    {0xBC, "Comma", ","},
    {0xBD, "Minus", "-"},
    {0xBE, "Period", "."},
    {0xBF, "Slash", "/"},
    {0xC0, "Backquote", "`"},
    {0xDB, "LeftBracket", "["},
    {0xDC, "Backslash", "\\"},
    {0xDD, "RightBracket", "]"},
    {0xDE, "Quote", "'"},
};

// Other spellings the settings file may use.
constexpr KeyNames keyAliases[] = {
    {0x0D, "Return", nullptr},
    {0x1B, "Esc", nullptr},
    {0x11, "Control", nullptr},
};

struct Modifier {
    uint32_t flag;
    const char* name;
};
// The modifiers in the order keyName writes the first three; "Control" is read for Ctrl too.
constexpr Modifier modifiers[] = {
    {withShift, "Shift"}, {withCtrl, "Ctrl"}, {withAlt, "Alt"}, {withCtrl, "Control"}};
constexpr size_t writtenModifiers = 3;

struct PadNames {
    const char* name;
    const char* screen;
};

// By PadInput.
constexpr PadNames padNames[padInputCount] = {
    {"A", "A"},
    {"B", "B"},
    {"X", "X"},
    {"Y", "Y"},
    {"Back", "BACK"},
    {"Start", "START"},
    {"LeftShoulder", "LB"},
    {"RightShoulder", "RB"},
    {"DpadUp", "D-UP"},
    {"DpadDown", "D-DOWN"},
    {"DpadLeft", "D-LEFT"},
    {"DpadRight", "D-RIGHT"},
    {"StickLeft", "S-LEFT"},
    {"StickRight", "S-RIGHT"},
    {"StickUp", "S-UP"},
    {"StickDown", "S-DOWN"},
    {"LeftTrigger", "LT"},
    {"RightTrigger", "RT"},
};

bool sameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// Whether `text` starts with `prefix`, in any case; the rest goes to *rest.
bool startsWith(std::string_view text, std::string_view prefix, std::string_view* rest)
{
    if (text.size() < prefix.size() || !sameLetters(text.substr(0, prefix.size()), prefix)) {
        return false;
    }
    *rest = text.substr(prefix.size());
    return true;
}

// A decimal number of at most three digits, from `lowest` to `highest`.
bool smallNumber(std::string_view digits, uint32_t lowest, uint32_t highest, uint32_t* value)
{
    if (digits.empty() || digits.size() > 3) {
        return false;
    }
    uint32_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + static_cast<uint32_t>(c - '0');
    }
    if (number < lowest || number > highest) {
        return false;
    }
    *value = number;
    return true;
}

// The name of a letter, digit, function key or keypad digit, in the file's form (or the
// screen's); empty for other keys.
std::string keyNamedByRule(uint32_t code, bool screen)
{
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= 0x70 && code <= 0x7B) {
        return std::string("F").append(std::to_string(code - 0x70 + 1));
    }
    if (code >= 0x60 && code <= 0x69) {
        return std::string(screen ? "KEYPAD " : "Keypad").append(std::to_string(code - 0x60));
    }
    return "";
}

// Reads a key's name without modifiers.
bool parsePlainKey(std::string_view text, uint32_t* code)
{
    if (text.size() == 1 && std::isalnum(static_cast<unsigned char>(text[0]))) {
        *code = static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(text[0])));
        return true;
    }
    for (const KeyNames& key : keyNames) {
        if (sameLetters(text, key.name)) {
            *code = key.code;
            return true;
        }
    }
    for (const KeyNames& key : keyAliases) {
        if (sameLetters(text, key.name)) {
            *code = key.code;
            return true;
        }
    }
    std::string_view number;
    uint32_t value = 0;
    if (startsWith(text, "Keypad", &number) && smallNumber(number, 0, 9, &value)) {
        *code = 0x60 + value;
        return true;
    }
    if (startsWith(text, "F", &number) && smallNumber(number, 1, 12, &value)) {
        *code = 0x70 + value - 1;
        return true;
    }
    if (startsWith(text, "Key", &number) && smallNumber(number, 1, 255, &value)) {
        *code = value;
        return true;
    }
    return false;
}

// The modifiers of a binding as keyName or screenName write them ("Alt+", "ALT+").
std::string modifierNames(uint32_t binding, bool screen)
{
    std::string text;
    for (size_t i = 0; i < writtenModifiers; ++i) {
        if ((binding & modifiers[i].flag) != 0) {
            std::string name = modifiers[i].name;
            if (screen) {
                for (char& c : name) {
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                }
            }
            text += name + "+";
        }
    }
    return text;
}

// A key binding's name in the settings file's form or, with `screen`, in the screens'.
std::string bindingName(uint32_t binding, bool screen)
{
    const uint32_t code = plainKey(binding);
    std::string name = keyNamedByRule(code, screen);
    for (const KeyNames& key : keyNames) {
        if (key.code == code) {
            name = screen ? key.screen : key.name;
        }
    }
    if (name.empty()) {
        name = std::string(screen ? "KEY " : "Key").append(std::to_string(code));
    }
    return modifierNames(binding, screen) + name;
}

} // namespace

std::string keyName(uint32_t binding) { return bindingName(binding, false); }

bool parseKeyName(std::string_view text, uint32_t* binding)
{
    uint32_t flags = 0;
    for (size_t i = 0; i < std::size(modifiers);) {
        std::string_view rest;
        if (startsWith(text, modifiers[i].name, &rest) && rest.size() > 1 && rest[0] == '+') {
            flags |= modifiers[i].flag;
            text = rest.substr(1);
            i = 0;
        } else {
            ++i;
        }
    }
    uint32_t code = 0;
    if (!parsePlainKey(text, &code)) {
        return false;
    }
    *binding = code | flags;
    return true;
}

std::string padName(uint32_t code) { return padNames[code - padCodeBase].name; }

bool parsePadName(std::string_view text, uint32_t* code)
{
    for (uint32_t i = 0; i < padInputCount; ++i) {
        if (sameLetters(text, padNames[i].name)) {
            *code = padCodeBase + i;
            return true;
        }
    }
    return false;
}

std::string screenName(uint32_t code)
{
    return isPadCode(code) ? padNames[code - padCodeBase].screen : bindingName(code, true);
}
