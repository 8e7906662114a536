// The controls screen before a race.
#include "game/controls_screen.h"

#include <algorithm>
#include <string>

#include "audio/game_sounds.h"
#include "controls/player_controls.h"
#include "game/race_setup.h"
#include "game/screen_loop.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/window.h"
#include "race/race_settings.h"
#include "race/track_code.h"

ControlsScreen controlsScreen;

namespace {

// Each race action's label and keys cut to this many characters, so that two fit on a row.
constexpr size_t playersKeysWidth = 18;

// The player's race keys, when they are not the game's own (which the key layout picture shows),
// in the three rows between the lower bar and the prompt: two actions to a row in the race's order
// (accelerate and brake, steer left and right, quit race), each its label and its keys.
void drawPlayersKeys(Window* window, BitmapFont* font)
{
    const Bindings& bindings = playerControls.settings.bindings;
    if (raceKeysAreDefault(bindings)) {
        return;
    }
    const int w = font->cellWidth;
    const int h = font->cellHeight;
    for (int i = 0; i < raceActionCount; ++i) {
        std::string text =
            std::string(actionLabel(actionAt(i))) + " " + screenNames(bindings.keys[i]);
        text.resize(std::min(text.size(), playersKeysWidth));
        drawText(window, font, text.c_str(), i % 2 == 0 ? 2 * w : 21 * w,
                 screenHeight - (4 - i / 2) * h - h / 4);
    }
}

// The line under the upper bar that names the coming race's track: its code when its seed is
// already known (a track code, a race again), else that the track is new (its seed is the clock's
// reading when the race is set up).
std::string trackLine()
{
    uint32_t seed = 0;
    return nextRaceSeedIsFixed(&seed) ? "CODE " + encodeTrackCode(seed, raceSettings)
                                      : std::string("A NEW TRACK");
}

} // namespace

void runControlsScreen(Window* window)
{
    ControlsScreen& screen = controlsScreen;
    screen.controlsRunning = true;
    screen.keyLayout = loadBitmap(window, "gfx\\menu\\keyLayout.bmp", 1);
    loadScreenFrame(window, &screen.bar, &screen.font);

    runScreen(window, ScreenHandlers{controlsOnPaint, controlsOnKeyDown, controlsOnDestroy},
              &screen.controlsRunning);

    freeBitmap(screen.keyLayout);
    screen.keyLayout = nullptr;
    freeScreenFrame(&screen.bar, &screen.font);
}

void controlsOnPaint(Window* window)
{
    const ControlsScreen& screen = controlsScreen;
    const int h = screen.font->cellHeight;
    clearScreen(window);
    drawBitmap(window, screen.keyLayout, screenCentreX - screen.keyLayout->info.width / 2,
               screenCentreY - screen.keyLayout->info.height / 2);
    drawCentredText(window, screen.font, "Game controls", h);
    drawScreenBars(window, screen.bar, screen.font);
    drawPlayersKeys(window, screen.font);
    drawCentredText(window, screen.font, trackLine().c_str(), 4 * h);
    drawCentredText(window, screen.font, "Press enter to continue.", screenHeight - h);
}

void controlsOnKeyDown(Window* window, uint32_t code)
{
    if (menuActionOf(window, code) == Action::MenuConfirm) {
        playMenuConfirm(window);
        controlsScreen.controlsRunning = false;
    }
}

void controlsOnDestroy(Window* /*window*/) { controlsScreen.controlsRunning = false; }
