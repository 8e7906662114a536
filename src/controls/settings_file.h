#pragma once
// The player's settings file: plain text, one "name = value" a line, in three sections.
//
//   # A # or ; starts a comment, to the end of the line; blank lines and spaces around names,
//   # values and commas do not count; names, key names and words are read in any case.
//   [keys]
//   accelerate = W, Up          # one to four keys (input_names.h), "Alt+Enter" for a key chord
//   [controller]
//   accelerate = RightTrigger   # one to four controller inputs, or "none"
//   [game]
//   look = classic              # sharp (the default) or classic: the look the game starts with
//   sound = off                 # on (the default) or off: whether the game starts silent
//   volume = 80                 # 0 to 100 (the default): every sound's loudness in per cent
//   view = 4:3                  # wide (the default) or 4:3: whether the race widens to a wider
//                               # screen or keeps the original frame
//   ghost = off                 # on (the default) or off: whether the best run on a track
//                               # drives beside the field as a ghost car
//
// Setting names in [keys] and [controller] are the actions' names (actions.h). A setting the file
// does not name keeps its default. A line the game cannot read is told on standard error as
// "FILE:LINE: why", and its setting keeps its default; from then on the file is never written, so
// nothing the player wrote is lost. Lines the game does not know (a setting or section of another
// version) are told the same way but kept as they are when the file is written.
//
// The game writes the file only when the player changes a setting in the game: into a new file
// beside it, renamed over it, with every comment (those after a changed value too) and every line
// it did not change kept.

#include <string>
#include <vector>

#include "controls/bindings.h"

// Everything the settings file holds.
struct Settings {
    Bindings bindings = defaultBindings();
    bool classicLook = false; // [game] look
    bool soundOn = true;      // [game] sound
    int volume = 100;         // [game] volume, 0 to 100
    bool wideView = true;     // [game] view: wide (the default) fills a wider screen, 4:3 not
    bool ghosts = true;       // [game] ghost: on (the default), the best run drives as a ghost

    bool operator==(const Settings&) const = default;
};

// The sections of the file, in the order the game adds missing ones.
constexpr int settingsSectionCount = 3; // [keys], [controller], [game]

// A settings file as read, kept to be written back. Made by readSettingsFile; owned by its caller.
struct SettingsFile {
    std::string path;               // empty: no file; the game writes none
    std::vector<std::string> lines; // the file's lines, without their line ends
    bool crlf = false;              // the first line ended with "\r\n"
    // False once a line or the file as a whole could not be read: the file is never written.
    bool writable = true;
    int firstUnreadLine = 0; // that line, from 1; 0 when the whole file could not be read
    Settings asRead;         // what the file says, the defaults where it says nothing
    // By setting (the actions' keys, then their controller inputs, then look, sound, volume, view,
    // ghost): the index in `lines` of the line that sets it, -1 for none.
    std::vector<int> settingLine;
    // By section: the index of its last line that is not blank, -1 when the file has no such
    // section.
    int sectionEnd[settingsSectionCount] = {-1, -1, -1};
};

// Where the player's settings file is: vantor.ini in the settings folder (core/user_folders.h):
// $XDG_CONFIG_HOME/vantor/vantor.ini, or $HOME/.config/vantor/vantor.ini when XDG_CONFIG_HOME is
// unset, empty or not an absolute path; on Windows Vantor\vantor.ini in the roaming application
// data folder. UTF-8; empty when there is no such folder.
std::string settingsFilePath();

// Reads the settings file at `path` (UTF-8). A missing file gives the defaults and no lines; each
// line that cannot be read or is not known is told on standard error. Never writes anything.
SettingsFile readSettingsFile(const std::string& path);

// Writes `settings` into the file: each changed setting's line replaced with "name = value" (its
// comment kept), a setting the file did not name added at the end of its section (a missing
// section added at the end of the file), every other line kept. The text goes to "PATH.new", which
// is then renamed over PATH, the folders made first when missing. Nothing is written when no
// setting changed. Returns false, with one line on standard error naming the file and why, when
// the file has no path, must not be written (see `writable`) or cannot be; `file` then stays as
// it was. Afterwards `file` holds the written file.
bool writeSettingsFile(SettingsFile* file, const Settings& settings);
