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
    screen.bar = loadBitmap(window, "gfx\\menu\\menuBar1.bmp", 1);
    screen.font = makeBitmapFont(window, "gfx\\font\\font1sm.bmp");

    runScreen(window, ScreenHandlers{controlsOnPaint, controlsOnKeyDown, controlsOnDestroy}, &screen.controlsRunning);

    freeBitmap(screen.bar);
    screen.bar = nullptr;
    freeBitmap(screen.keyLayout);
    screen.keyLayout = nullptr;
    freeBitmapFont(screen.font);
    screen.font = nullptr;
}

void controlsOnPaint(Window* window)
{
    const ControlsScreen& screen = controlsScreen;
    const int w = screen.font->cellWidth;
    const int h = screen.font->cellHeight;
    clearScreen(window);
    drawBitmap(window, screen.keyLayout, 320 - screen.keyLayout->info.width / 2,
               240 - screen.keyLayout->info.height / 2);
    drawText(window, screen.font, "Game controls", 320 - (13 * w) / 2, h);
    drawBitmap(window, screen.bar, 0, 3 * h);
    drawBitmap(window, screen.bar, 0, 480 - 5 * h);
    drawText(window, screen.font, "Press enter to continue.", 320 - (24 * w) / 2, 480 - h);
}

void controlsOnKeyDown(Window* window, uint32_t virtualKey)
{
    if (virtualKey == keyEnter) {
        playMenuConfirm(window);
        controlsScreen.controlsRunning = false;
    }
}

void controlsOnDestroy(Window* /*window*/)
{
    controlsScreen.controlsRunning = false;
}
