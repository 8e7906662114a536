// The game executable: the whole game on the desktop backend.
#include "core/errors.h"
#include "game/game.h"
#include "platform/sdl/sdl_backend.h"

int main()
{
    keepReportsInLogFile();
    SdlBackend backend;
    return runGame(&backend);
}
