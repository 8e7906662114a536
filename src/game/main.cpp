// The game executable: the whole game on the desktop backend.
#include "game/game.h"
#include "platform/sdl/sdl_backend.h"

int main()
{
    SdlBackend backend;
    return runGame(&backend);
}
