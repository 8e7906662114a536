// The game in a web page: the whole game on the browser backend. The page's address
// index.html?track=CODE gives the game `--track CODE`: the menu starts with the code's settings
// and the first race runs on its track.
#include <cstdio>
#include <string>

#include "game/game.h"
#include "platform/web/web_backend.h"

int main(int argc, char** argv)
{
    GameOptions options;
    if (argc == 3 && std::string(argv[1]) == "--track") {
        options.trackCode = argv[2];
    } else if (argc > 1) {
        std::fprintf(stderr, "vantor: the page's address gives %s, not understood; it plays on "
                             "without it\n",
                     argv[1]);
    }
    WebBackend backend;
    return runGame(&backend, options);
}
