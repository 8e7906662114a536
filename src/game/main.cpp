// The game executable: the whole game on the desktop backend, with the player's settings file and
// records. `vantor --track CODE` starts with the menu set to a track code's settings and the first
// race on its track.
#include <string>

#include "controls/settings_file.h"
#include "core/errors.h"
#include "core/user_folders.h"
#include "game/game.h"
#include "platform/sdl/sdl_backend.h"

int main(int argc, char** argv)
{
    keepReportsInLogFile();
    GameOptions options;
    const std::string settings = settingsFilePath();
    options.settingsFile = settings.empty() ? nullptr : settings.c_str();
    options.recordsFolder = dataFolder();
    readGameArguments(argc, argv, &options);
    SdlBackend backend;
    return runGame(&backend, options);
}
