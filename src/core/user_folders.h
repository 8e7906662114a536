#pragma once
// The folders of the player and of the running program, as UTF-8 paths without a separator at
// the end. On Linux they follow the desktop's conventions (XDG), on Windows its known folders.
// Each call asks the system afresh; "" when the system has no answer (no home folder).

#include <string>

// The folder of the running executable (for the pictures beside it): /proc/self/exe on Linux,
// GetModuleFileNameW on Windows.
std::string executableFolder();

// Where the game keeps the player's settings and its log: $XDG_CONFIG_HOME/vantor
// (~/.config/vantor when XDG_CONFIG_HOME is unset, empty or relative) on Linux, the roaming application data (%APPDATA%\Vantor) on Windows. The
// folder may not exist yet: whoever writes there first makes it (makeFolders).
std::string settingsFolder();

// Where the game keeps what it makes for the player (records, replays): $XDG_DATA_HOME/vantor
// (~/.local/share/vantor, as above) on Linux, the local application data (%LOCALAPPDATA%\Vantor) on
// Windows. May not exist yet, as above.
std::string dataFolder();

// Where the pictures kept with F12 go. Linux: XDG_PICTURES_DIR from
// $XDG_CONFIG_HOME/user-dirs.dirs ($HOME/.config when XDG_CONFIG_HOME is unset or empty), with
// "$HOME" at its start expanded, when that folder exists; otherwise the home folder ($HOME). Only
// a regular user-dirs.dirs is read, and only its first 64 KiB.
// Windows: the Pictures known folder, otherwise the user's profile folder.
std::string picturesFolder();

// Makes `utf8Path` and every missing folder above it; true when it is a folder afterwards.
bool makeFolders(const std::string& utf8Path);
