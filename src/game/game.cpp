// Start-up and shutdown of the game.
#include "game/game.h"

#include <cstdio>

#include "audio/game_sounds.h"
#include "controls/player_controls.h"
#include "game/main_menu.h"
#include "game/race_setup.h"
#include "pictures/bitmap.h"
#include "pictures/picture_file.h"
#include "pictures/text.h"
#include "platform/box/own_box.h"
#include "platform/window.h"
#include "race/race_settings.h"
#include "race/track_code.h"

GameOptions gameOptions;

namespace {

// The track code the game was started with: the menu's first settings (returned) and the first
// race's seed. A mistyped code is told on stderr and gives the usual settings and seed.
RaceSettings takeTrackCode(const std::string& code)
{
    uint32_t seed = 0;
    RaceSettings settings;
    std::string why;
    if (!decodeTrackCode(code, &seed, &settings, &why)) {
        std::fprintf(stderr, "vantor: %s is no track code: it %s; the menu starts as usual\n",
                     code.c_str(), why.c_str());
        std::fflush(stderr);
        return RaceSettings{};
    }
    fixNextRaceSeed(seed);
    return settings;
}

} // namespace

void readGameArguments(int argc, char** argv, GameOptions* options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--track" && i + 1 < argc) {
            options->trackCode = argv[++i];
        } else {
            std::fprintf(stderr,
                         "vantor: %s is not understood (the game takes --track CODE); it "
                         "plays on without it\n",
                         argument.c_str());
        }
    }
}

int runGame(Backend* backend, const GameOptions& options)
{
    gameOptions = options;
    Window window{};
    window.backend = backend;
    showReportsIn(&window);
    create(&window);
    requirePictureFolder();
    startSound(&window, &gameSoundBank());
    startControls(&window, options.settingsFile);
    setWindowTitle(&window, "Vantor (Version 1.02)");
    sizeClientArea(&window);
    centreOnDesktop(&window);
    // The font the window writes its own message boxes with, when the system cannot show one;
    // the boxes are laid out in the font picture's own pixels.
    BitmapFont* boxFont = makeBitmapFont(&window, "gfx\\font\\font1sm.bmp");
    if (boxFont->bitmap && boxFont->bitmap->picture) {
        const int scale = boxFont->bitmap->scale;
        setBoxFont(&window, BoxFont{boxFont->bitmap->picture.get(), boxFont->bitmap->mask.get(),
                                    boxFont->cellWidth * scale, boxFont->cellHeight * scale});
    }

    const bool fullscreen = askYesNo(
        &window, "Vantor (Version 1.02) : Run game in fullscreen mode.",
        "Do you want to run the game in fullscreen mode? \nPeformance may be degraded on some "
        "machines in fullscreen mode, on others it may increase.");
    if (fullscreen) {
        // Whether or not the switch worked, the pointer is hidden and the window sits at the
        // screen's top-left corner.
        setFullscreen(&window);
        applyCursor(&window, 0);
        moveWindow(&window, 0, 0);
    } else {
        centreOnDesktop(&window);
        sizeClientArea(&window);
    }
    // The window is made without a sizing border or maximise button, so its frame stays fixed.

    // A window closed at the question (which answers No) ends the game as closing the menu does.
    if (isWindowAlive(&window)) {
        runMainMenu(&window,
                    options.trackCode.empty() ? RaceSettings{} : takeTrackCode(options.trackCode));
    }

    destroyWindow(&window);
    stopControls(&window);
    setBoxFont(&window, BoxFont{});
    freeBitmapFont(boxFont);
    releaseWindow(&window);
    return 0;
}
