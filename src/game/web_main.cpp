// The game in a web page: the whole game on the browser backend.
#include "game/game.h"
#include "platform/web/web_backend.h"

int main()
{
    WebBackend backend;
    return runGame(&backend);
}
