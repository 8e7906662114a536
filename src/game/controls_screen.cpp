// The controls screen before a race.
#include "game/controls_screen.h"

#include "audio/game_sounds.h"
#include "game/screen_loop.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

ControlsScreen controlsScreen;

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
    drawCentredText(window, screen.font, "Press enter to continue.", screenHeight - h);
}

void controlsOnKeyDown(Window* window, uint32_t virtualKey)
{
    if (virtualKey == keyEnter) {
        playMenuConfirm(window);
        controlsScreen.controlsRunning = false;
    }
}

void controlsOnDestroy(Window* /*window*/) { controlsScreen.controlsRunning = false; }
