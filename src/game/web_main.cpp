// The game in a web page: the whole game on the browser backend. The page's address
// index.html?track=CODE gives the game `--track CODE`: the menu starts with the code's settings
// and the first race runs on its track.
#include "game/game.h"
#include "platform/web/web_backend.h"

int main(int argc, char** argv)
{
    GameOptions options;
    readGameArguments(argc, argv, &options);
    WebBackend backend;
    return runGame(&backend, options);
}
