// The frame cycle shared by the screens and the race.
#include "game/screen_loop.h"

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
    while (*running) {
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
