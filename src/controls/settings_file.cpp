// The player's settings file: reading it line by line, and writing changes back atomically.
#include "controls/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ios>
#include <string_view>
#include <system_error>

#include "controls/input_names.h"
#include "core/atomic_file.h"
#include "core/errors.h"
#include "core/files.h"
#include "core/user_folders.h"
#include "platform/controller_keys.h"

namespace {

enum class Section { None, Keys, Controller, Game, Unknown };

constexpr const char* sectionNames[settingsSectionCount] = {"keys", "controller", "game"};

// The settings in the order of SettingsFile::settingLine: every action's keys, every action's
// controller inputs, then the five of [game].
constexpr int lookSetting = 2 * actionCount;
constexpr int soundSetting = lookSetting + 1;
constexpr int volumeSetting = lookSetting + 2;
constexpr int viewSetting = lookSetting + 3;
constexpr int ghostSetting = lookSetting + 4;
constexpr int settingCount = ghostSetting + 1;

// The [game] settings that are one of two words: the flag each sets, its two words in the order a
// reason for refusing a value names them, and which of the two turns the flag on.
struct TwoWordSetting {
    int setting;
    bool Settings::*flag;
    const char* words[2];
    int wordForOn;
};
constexpr TwoWordSetting twoWordSettings[] = {
    {lookSetting, &Settings::classicLook, {"sharp", "classic"}, 1},
    {soundSetting, &Settings::soundOn, {"on", "off"}, 0},
    {viewSetting, &Settings::wideView, {"wide", "4:3"}, 0},
    {ghostSetting, &Settings::ghosts, {"on", "off"}, 0},
};

// The two-word setting `setting` is, or null.
const TwoWordSetting* twoWordSetting(int setting)
{
    for (const TwoWordSetting& two : twoWordSettings) {
        if (two.setting == setting) {
            return &two;
        }
    }
    return nullptr;
}

Section sectionOf(int setting)
{
    if (setting < actionCount) {
        return Section::Keys;
    }
    return setting < lookSetting ? Section::Controller : Section::Game;
}

int sectionIndex(Section section) { return static_cast<int>(section) - 1; }

const char* settingName(int setting)
{
    switch (setting) {
    case lookSetting: return "look";
    case soundSetting: return "sound";
    case volumeSetting: return "volume";
    case viewSetting: return "view";
    case ghostSetting: return "ghost";
    default: return actionName(actionAt(setting % actionCount));
    }
}

// The setting named `name` in `section`, or -1.
int settingNamed(Section section, std::string_view name)
{
    for (int setting = 0; setting < settingCount; ++setting) {
        if (sectionOf(setting) == section && name == settingName(setting)) {
            return setting;
        }
    }
    return -1;
}

const BindingList& listOf(const Settings& settings, int setting)
{
    return setting < actionCount ? settings.bindings.keys[setting]
                                 : settings.bindings.pads[setting - actionCount];
}

bool sameSetting(const Settings& a, const Settings& b, int setting)
{
    if (const TwoWordSetting* two = twoWordSetting(setting)) {
        return a.*two->flag == b.*two->flag;
    }
    if (setting == volumeSetting) {
        return a.volume == b.volume;
    }
    return std::equal(std::begin(listOf(a, setting)), std::end(listOf(a, setting)),
                      std::begin(listOf(b, setting)));
}

// The setting's value as the file writes it.
std::string settingText(const Settings& settings, int setting)
{
    if (const TwoWordSetting* two = twoWordSetting(setting)) {
        return two->words[settings.*two->flag ? two->wordForOn : 1 - two->wordForOn];
    }
    if (setting == volumeSetting) {
        return std::to_string(settings.volume);
    }
    const BindingList& list = listOf(settings, setting);
    std::string text;
    for (int i = 0; i < bindingCount(list); ++i) {
        text += i > 0 ? ", " : "";
        text += setting < actionCount ? keyName(list[i]) : padName(list[i]);
    }
    return text.empty() ? "none" : text;
}

// Where a line's comment starts (at its first # or ;), or npos.
size_t commentStart(const std::string& line) { return line.find_first_of("#;"); }

// A line's comment with the blanks before it ("   # the throttle"), empty for none.
std::string commentOf(const std::string& line)
{
    const size_t start = commentStart(line);
    if (start == std::string::npos) {
        return "";
    }
    const size_t text = line.find_last_not_of(" \t", start == 0 ? 0 : start - 1);
    return line.substr(text == std::string::npos || start == 0 ? 0 : text + 1);
}

std::string trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return "";
    }
    const size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string lowered(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Reads a list of keys or controller inputs into the setting; the reason when it cannot.
std::string readBindings(Settings* settings, int setting, const std::string& value)
{
    const bool keys = setting < actionCount;
    BindingList& target =
        keys ? settings->bindings.keys[setting] : settings->bindings.pads[setting - actionCount];
    BindingList list = {};
    if (!keys && lowered(value) == "none") {
        std::copy(std::begin(list), std::end(list), std::begin(target));
        return "";
    }
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos) {
            comma = value.size();
        }
        const std::string name = trimmed(std::string_view(value).substr(start, comma - start));
        start = comma + 1;
        uint32_t code = 0;
        if (name.empty()) {
            return keys ? "a key name is missing" : "a controller input's name is missing";
        }
        if (keys ? !parseKeyName(name, &code) : !parsePadName(name, &code)) {
            return std::string(keys ? "no key" : "no controller input")
                .append(" is named \"" + name + "\"");
        }
        if (!addBinding(list, code)) {
            return std::string("more than ")
                .append(std::to_string(maxBindings))
                .append(keys ? " keys" : " inputs");
        }
    }
    std::copy(std::begin(list), std::end(list), std::begin(target));
    return "";
}

// Reads one setting's value; the reason when it cannot (the setting then stays as it was).
std::string readSetting(Settings* settings, int setting, const std::string& value)
{
    const std::string word = lowered(value);
    if (const TwoWordSetting* two = twoWordSetting(setting)) {
        if (word != two->words[0] && word != two->words[1]) {
            return std::string(settingName(setting)) + " is \"" + two->words[0] + "\" or \"" +
                   two->words[1] + "\"";
        }
        settings->*two->flag = word == two->words[two->wordForOn];
        return "";
    }
    if (setting != volumeSetting) {
        return readBindings(settings, setting, value);
    }
    const bool digits =
        !word.empty() && word.size() <= 3 &&
        std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
    const int volume = digits ? std::atoi(word.c_str()) : -1;
    if (volume < 0 || volume > 100) {
        return "volume is a whole number from 0 to 100";
    }
    settings->volume = volume;
    return "";
}

// Reads the lines of `file` into its settings, the places of its settings and sections, and
// whether it may be written; `tell` writes each line that cannot be read or is not known to
// stderr.
void readLines(SettingsFile* file, bool tell)
{
    file->asRead = Settings{};
    file->settingLine.assign(settingCount, -1);
    std::fill(std::begin(file->sectionEnd), std::end(file->sectionEnd), -1);
    const auto say = [&](size_t index, const std::string& why, bool unread) {
        if (unread && file->writable) {
            file->writable = false;
            file->firstUnreadLine = static_cast<int>(index) + 1;
        }
        if (tell) {
            std::fprintf(stderr, "%s:%zu: %s\n", file->path.c_str(), index + 1, why.c_str());
        }
    };
    Section section = Section::None;
    for (size_t index = 0; index < file->lines.size(); ++index) {
        const std::string& whole = file->lines[index];
        const std::string line = trimmed(std::string_view(whole).substr(0, commentStart(whole)));
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                say(index, "a section's name ends with \"]\"", true);
                section = Section::Unknown;
                continue;
            }
            const std::string name = lowered(trimmed(line.substr(1, line.size() - 2)));
            section = Section::Unknown;
            for (int i = 0; i < settingsSectionCount; ++i) {
                if (name == sectionNames[i]) {
                    section = static_cast<Section>(i + 1);
                    file->sectionEnd[i] = static_cast<int>(index);
                }
            }
            if (section == Section::Unknown) {
                say(index, "no section is named [" + name + "]; its lines are kept as they are",
                    false);
            }
            continue;
        }
        if (section == Section::Unknown) {
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            say(index, "\"" + line + "\" is not \"name = value\"", true);
            continue;
        }
        if (section == Section::None) {
            say(index, "\"" + line + "\" is in no section ([keys], [controller] or [game])", true);
            continue;
        }
        file->sectionEnd[sectionIndex(section)] = static_cast<int>(index);
        const std::string name = lowered(trimmed(line.substr(0, equals)));
        const std::string value = trimmed(line.substr(equals + 1));
        const int setting = settingNamed(section, name);
        if (setting < 0) {
            say(index,
                "no setting is named \"" + name + "\" in [" + sectionNames[sectionIndex(section)] +
                    "]; the line is kept as it is",
                false);
            continue;
        }
        if (file->settingLine[setting] >= 0) {
            say(index,
                name + " is set on line " + std::to_string(file->settingLine[setting] + 1) +
                    " already, which holds",
                true);
            continue;
        }
        const std::string why = readSetting(&file->asRead, setting, value);
        if (!why.empty()) {
            say(index, why + "; " + name + " keeps its default", true);
            continue;
        }
        file->settingLine[setting] = static_cast<int>(index);
    }
}

// Writes `text` to the file at `path` whole or not at all (core/atomic_file.h), making its folder
// first. The reason when it cannot; nothing changed then.
std::string writeAtomically(const std::string& path, const std::string& text)
{
    const std::string folder = utf8FromPath(pathFromUtf8(path).parent_path());
    if (!folder.empty() && !makeFolders(folder)) {
        return "its folder cannot be made";
    }
    AtomicFile out;
    if (!out.open(path) || !out.write(text.data(), text.size()) || !out.commit()) {
        return std::string("it cannot be written (") + lastPlatformError() + ")";
    }
    return "";
}

// One line on stderr: a change the player made is not saved, and why.
void tellNotSaved(const SettingsFile& file, const std::string& why)
{
    std::fprintf(stderr, "%s%sThe change is not saved, as %s; it holds until the game ends.\n",
                 file.path.c_str(), file.path.empty() ? "" : ": ", why.c_str());
}

} // namespace

std::string settingsFilePath()
{
    const std::string folder = settingsFolder();
    return folder.empty() ? "" : folder + folderSeparator + "vantor.ini";
}

SettingsFile readSettingsFile(const std::string& path)
{
    SettingsFile file;
    file.path = path;
    readLines(&file, false);
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(pathFromUtf8(path), error).type();
    if (type == std::filesystem::file_type::not_found) {
        return file;
    }
    std::string text;
    std::string why;
    if (type == std::filesystem::file_type::directory) {
        why = "it is a folder";
    } else {
        errno = 0;
        std::ifstream in(pathFromUtf8(path), std::ios::binary | std::ios::ate);
        if (in.is_open()) {
            text.resize(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)));
            in.seekg(0);
            in.read(text.data(), static_cast<std::streamsize>(text.size()));
        }
        if (!in) {
            why = std::strerror(errno != 0 ? errno : EIO);
        }
    }
    if (!why.empty()) {
        std::fprintf(stderr,
                     "%s: the settings file cannot be read (%s); the game keeps its defaults and "
                     "never writes it\n",
                     path.c_str(), why.c_str());
        file.writable = false;
        return file;
    }
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            file.crlf = file.crlf || file.lines.empty();
        }
        file.lines.push_back(line);
        start = end + 1;
    }
    readLines(&file, true);
    return file;
}

bool writeSettingsFile(SettingsFile* file, const Settings& settings)
{
    std::vector<std::string> lines = file->lines;
    std::vector<std::string> added[settingsSectionCount];
    bool changed = false;
    for (int setting = 0; setting < settingCount; ++setting) {
        if (sameSetting(settings, file->asRead, setting)) {
            continue;
        }
        changed = true;
        const std::string text =
            std::string(settingName(setting)) + " = " + settingText(settings, setting);
        if (file->settingLine[setting] >= 0) {
            std::string& line = lines[file->settingLine[setting]];
            line = text + commentOf(line);
        } else {
            added[sectionIndex(sectionOf(setting))].push_back(text);
        }
    }
    if (!changed) {
        return true;
    }
    std::string why;
    if (file->path.empty()) {
        why = "no settings folder is known (HOME is not set)";
    } else if (!file->writable) {
        why = file->firstUnreadLine > 0 ? std::string("line ")
                                              .append(std::to_string(file->firstUnreadLine))
                                              .append(" could not be read")
                                        : "the file could not be read";
    }
    if (!why.empty()) {
        tellNotSaved(*file, why);
        return false;
    }
    // Sections that exist take their new lines after their last setting, the one furthest down
    // first, so that the places of those above stay as they are.
    int order[settingsSectionCount] = {0, 1, 2};
    std::sort(std::begin(order), std::end(order),
              [file](int a, int b) { return file->sectionEnd[a] > file->sectionEnd[b]; });
    for (int section : order) {
        if (file->sectionEnd[section] >= 0) {
            lines.insert(lines.begin() + file->sectionEnd[section] + 1, added[section].begin(),
                         added[section].end());
            added[section].clear();
        }
    }
    for (int i = 0; i < settingsSectionCount; ++i) {
        if (added[i].empty()) {
            continue;
        }
        if (!lines.empty() && !trimmed(lines.back()).empty()) {
            lines.push_back("");
        }
        lines.push_back(std::string("[") + sectionNames[i] + "]");
        lines.insert(lines.end(), added[i].begin(), added[i].end());
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line + (file->crlf ? "\r\n" : "\n");
    }
    why = writeAtomically(file->path, text);
    if (!why.empty()) {
        tellNotSaved(*file, why);
        return false;
    }
    file->lines = lines;
    readLines(file, false);
    return true;
}
