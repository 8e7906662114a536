#pragma once
// Command-line arguments shared by the developer tools: unsigned decimals and the six main-menu
// indices of a race's settings.

#include <cstdint>
#include <cstring>

#include "race/race_settings.h"

// An unsigned decimal from `minimum` to `maximum`: digits only, no sign, no blanks. False when
// `text` is anything else; `value` is then unchanged.
inline bool parseNumber(const char* text, uint64_t minimum, uint64_t maximum, uint64_t* value)
{
    if (*text == '\0')
        return false;
    uint64_t result = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        result = result * 10 + static_cast<uint64_t>(*c - '0');
        if (result > maximum)
            return false;
    }
    if (result < minimum)
        return false;
    *value = result;
    return true;
}

// The settings of the six indices in menu order (track length, hill steepness, turn sharpness,
// competitors, opponent speed, grid spacing), each checked against its range (competitors 0 to 3,
// the others 0 to 2). False when one is out of range or not a number.
inline bool parseSettings(const char* const texts[6], RaceSettings* settings)
{
    uint64_t index[raceSettingCount] = {};
    for (int i = 0; i < raceSettingCount; ++i) {
        if (!parseNumber(texts[i], 0, static_cast<uint64_t>(largestSettingIndex[i]), &index[i]))
            return false;
    }
    for (int i = 0; i < raceSettingCount; ++i)
        settingAt(*settings, i) = static_cast<int32_t>(index[i]);
    return true;
}

// "L,H,T,C,S,G": the six indices separated by commas, as parseSettings checks them.
inline bool parseSettingsList(const char* text, RaceSettings* settings)
{
    char copy[64];
    if (std::strlen(text) >= sizeof copy)
        return false;
    std::strcpy(copy, text);
    const char* parts[6] = {};
    char* cursor = copy;
    for (int i = 0; i < 6; ++i) {
        parts[i] = cursor;
        char* comma = std::strchr(cursor, ',');
        if ((comma == nullptr) != (i == 5))
            return false;
        if (comma != nullptr) {
            *comma = '\0';
            cursor = comma + 1;
        }
    }
    return parseSettings(parts, settings);
}
