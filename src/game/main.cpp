// The game executable: the whole game on the desktop backend, with the player's settings file.
#include <string>

#include "controls/settings_file.h"
#include "core/errors.h"
#include "game/game.h"
#include "platform/sdl/sdl_backend.h"

int main()
{
    keepReportsInLogFile();
    SdlBackend backend;
    const std::string settings = settingsFilePath();
    return runGame(&backend, settings.empty() ? nullptr : settings.c_str());
}
