// The frame cycle shared by the screens and the race.
#include "game/screen_loop.h"

#include <initializer_list>

#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/window.h"

void installScreenHandlers(Window* window, const ScreenHandlers& handlers)
{
    window->callbacks.onPaint = handlers.onPaint;
    window->callbacks.onKeyDown = handlers.onKeyDown;
    window->callbacks.onDestroy = handlers.onDestroy;
}

void clearScreenHandlers(Window* window)
{
    installScreenHandlers(window, ScreenHandlers{nullptr, nullptr, nullptr});
}

void runFrames(Window* window, const bool* running)
{
    // A window destroyed before the screen installed its handlers (closed at the start-up
    // question) never drops the flag: the loop ends with the window all the same.
    while (*running && isWindowAlive(window)) {
        requestRepaint(window);
        pumpMessages(window);
    }
}

void runScreen(Window* window, const ScreenHandlers& handlers, const bool* running)
{
    installScreenHandlers(window, handlers);
    runFrames(window, running);
    clearScreenHandlers(window);
}

void loadScreenFrame(Window* window, Bitmap** bar, BitmapFont** font)
{
    *bar = loadBitmap(window, "gfx\\menu\\menuBar1.bmp", 1);
    *font = makeBitmapFont(window, "gfx\\font\\font1sm.bmp");
}

void freeScreenFrame(Bitmap** bar, BitmapFont** font)
{
    freeBitmap(*bar);
    *bar = nullptr;
    freeBitmapFont(*font);
    *font = nullptr;
}

void drawScreenBars(Window* window, Bitmap* bar, const BitmapFont* font)
{
    const int h = font->cellHeight;
    const int margin = screenMargin(window);
    for (const int y : {3 * h, screenHeight - 5 * h}) {
        // The wide view: the bar moves right by the margin, so that its slanted end meets the
        // screen's right edge, and its first column runs on to the left edge.
        drawBitmap(window, bar, margin, y);
        if (margin > 0 && bar != nullptr) {
            drawBitmapRegionStretched(window, bar, 0, 0, 1, bar->info.height, -margin, y,
                                      2 * margin, bar->info.height);
        }
    }
}
