#pragma once
// Pictures of the game kept by the player (F12 on the desktop): PNG files named with the date and
// time in the player's pictures folder. The desktop backend writes them away from the game's
// thread, so a race never pauses for one. The folder is the player's pictures folder
// (picturesFolder, core/user_folders.h).

#include <ctime>
#include <string>

#include "gfx/surface.h"

// A file name in `folder` that does not exist yet, for a picture taken at `when` (local time):
// "vantor-YYYY-MM-DD_HH-MM-SS.png", or with "-2", "-3", ... before ".png" when taken.
std::string newPictureName(const std::string& folder, std::time_t when);

// Writes the picture (0x00RRGGBB pixels) as an 8-bit RGB PNG file. False when it cannot be
// written, with the reason in *why (the system's own where the file refused it, "No space left
// on device"); a partly written file is removed.
bool writePng(const std::string& path, const Surface& picture, std::string* why);
