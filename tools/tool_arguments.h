#pragma once
// Command-line arguments shared by the developer tools: unsigned decimals, a screen's shape, the
// six main-menu indices of a race's settings, and output paths that must name different files.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/window.h"
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
        const auto digit = static_cast<uint64_t>(*c - '0');
        // Checked before multiplying, so that a long number cannot wrap around into the range.
        if (digit > maximum || result > (maximum - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    if (result < minimum)
        return false;
    *value = result;
    return true;
}

// "W:H", the shape of a screen, each of W and H a decimal from 1 to 100000 ("16:9", "1920:1080"):
// sets `width` to the screen width the wide view takes for that shape (screenWidthForShape: 640
// for 4:3, 854 for 16:9). False, `width` unchanged, for anything else.
inline bool parseAspect(const char* text, int* width)
{
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr)
        return false;
    const std::string across(text, colon);
    uint64_t w = 0;
    uint64_t h = 0;
    if (!parseNumber(across.c_str(), 1, 100000, &w) || !parseNumber(colon + 1, 1, 100000, &h))
        return false;
    *width = screenWidthForShape(static_cast<int>(w), static_cast<int>(h));
    return true;
}

// The settings of the six indices in menu order (track length, hill steepness, turn sharpness,
// competitors, opponent speed, grid spacing), each checked against its range (competitors 0 to 3,
// the others 0 to 2). Returns -1 when all are right, otherwise the position (0 to 5) of the first
// that is out of range or not a number; `settings` is then unchanged.
inline int parseSettings(const char* const texts[6], RaceSettings* settings)
{
    uint64_t index[raceSettingCount] = {};
    for (int i = 0; i < raceSettingCount; ++i) {
        if (!parseNumber(texts[i], 0, static_cast<uint64_t>(largestSettingIndex[i]), &index[i]))
            return i;
    }
    for (int i = 0; i < raceSettingCount; ++i)
        settingAt(*settings, i) = static_cast<int32_t>(index[i]);
    return -1;
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
    return parseSettings(parts, settings) < 0;
}

// Tells on standard error, after the usage, which argument a tool refused: "TOOL: wrong
// argument: TEXT". Returns 2, the status of bad arguments.
inline int refuseArgument(const char* tool, const char* text)
{
    std::fprintf(stderr, "%s: wrong argument: %s\n", tool, text);
    return 2;
}

// What `path` names, for comparing with another path: its folder with links followed, "." and
// ".." and doubled separators taken out, and its name; absolute.
inline std::filesystem::path resolvedPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    if (error)
        resolved = std::filesystem::absolute(path, error).lexically_normal();
    return resolved;
}

// True when `a` and `b` name one file: the same file where both exist (the same device and file
// number, so that links count), otherwise the same resolved path.
inline bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    return error ? resolvedPath(a) == resolvedPath(b) : same;
}

// Checks that no two output paths among `paths` name one file, since two outputs on one file
// would overwrite each other. Returns "" when they all differ, otherwise the text a refusal names:
// "PATH (two outputs on one path)" for a path given twice, "PATH and OTHER (two outputs on one
// file)" for two ways of writing one file.
inline std::string outputsOnOneFile(const std::vector<std::string>& paths)
{
    for (std::size_t i = 0; i < paths.size(); ++i) {
        for (std::size_t j = i + 1; j < paths.size(); ++j) {
            if (paths[i] == paths[j])
                return paths[i] + " (two outputs on one path)";
            if (sameFile(paths[i], paths[j]))
                return paths[i] + " and " + paths[j] + " (two outputs on one file)";
        }
    }
    return "";
}

// Called by a tool just before it exits: true when everything it printed reached standard
// output; otherwise tells why on standard error ("TOOL: cannot write standard output: REASON").
inline bool standardOutputWritten(const char* tool)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return true;
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", tool,
                 errno != 0 ? std::strerror(errno) : "write error");
    return false;
}
