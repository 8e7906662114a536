// first-menu-frame: the game started on the headless backend that writes one line, "menu", to
// standard output as soon as its first main-menu frame has been presented, then leaves the menu
// with Escape. race_bench spawns it to time a process start up to the first menu frame.
#include <cstdio>

#include "game/game.h"
#include "platform/headless/headless_backend.h"
#include "race_player.h"

int main()
{
    HeadlessBackend backend;
    backend.setDefaultAnswer(false);
    bool told = false;
    backend.setPumpHook([&told](HeadlessBackend& b) {
        if (told || b.presentCount() < 1 || currentGameScreen() != GameScreen::Menu)
            return;
        told = true;
        std::fputs("menu\n", stdout);
        std::fflush(stdout);
        b.keyDown(27);
    });
    return runGame(&backend);
}
