// The frame cycle shared by the screens and the race.
#include "game/screen_loop.h"

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
    drawBitmap(window, bar, 0, 3 * h);
    drawBitmap(window, bar, 0, screenHeight - 5 * h);
}
