// The SDL backend's window: opening and closing it with its renderer, its title, size and place,
// cursors, desktop full screen and the clock.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "core/errors.h"
#include "gfx/surface.h"
#include "platform/sdl/sdl_calls.h"
#include "platform/window.h"

namespace {

// Room left around the scaled client area for the window's frame and title bar, and for the
// panels the usable desktop may not account for.
constexpr int frameAllowanceW = 16;
constexpr int frameAllowanceH = 64;
// The refresh rate assumed when the display does not tell its own.
constexpr int defaultRefreshHz = 60;
// How long leaving full screen waits for the window manager to put the window's frame back.
constexpr std::chrono::milliseconds frameSettleLimit{250};

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// Sanitized builds: the session bus library that SDL's video loads keeps one buffer for the
// whole process in a way the leak checker cannot follow; it is not the game's to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
#endif

SdlBackend::SdlBackend(const SdlBackendOptions& chosen) : options(chosen), started(Clock::now()) {}

// SDL's video stays up until the process ends: quitting it would unload the system libraries
// it opened, leaving their own allocations behind where no tool can trace them.
SdlBackend::~SdlBackend()
{
    if (soundOpen) {
        Mix_HookMusic(nullptr, nullptr);
        Mix_CloseAudio();
    }
    closeWindow();
}

bool SdlBackend::openWindow(const char* title, int clientWidth, int clientHeight)
{
    closeWindow();
    if (!videoStarted) {
        // Ctrl-C ends the game as it ends any program, instead of arriving as an SDL quit event.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // Closing the window arrives once, as the window's own close event.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        // The back buffer is scaled nearest-pixel, never smoothed.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        // The window's own surface, used only where no graphics hardware draws, goes straight to
        // the display; left to its default, SDL would carry it through a software OpenGL too.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        beginSdlCall();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
            recordSdlFailure("SDL_InitSubSystem");
            return false;
        }
        // With no display SDL falls back to a video driver that shows nothing. Unless the player
        // asked for it by name, that is no window at all.
        const char* driver = SDL_GetCurrentVideoDriver();
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        bool invisible =
            driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
        if (invisible && !(asked && std::strcmp(asked, driver) == 0)) {
            std::string text = "no display to open a window on (SDL found only its ";
            text += driver;
            text += " video driver)";
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            setLastPlatformError(text.c_str());
            return false;
        }
        videoStarted = true;
        // Controllers are a comfort: without them the game goes on with the keyboard. Those
        // already plugged in arrive as plug-in events like later ones.
        controllersStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    }

    scaleFactor = options.scale;
    if (scaleFactor <= 0) {
        SDL_Rect usable{};
        scaleFactor = 1;
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
            scaleFactor = std::max(1, std::min((usable.w - frameAllowanceW) / clientWidth,
                                               (usable.h - frameAllowanceH) / clientHeight));
        }
    }

    beginSdlCall();
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              clientWidth * scaleFactor, clientHeight * scaleFactor,
                              SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        recordSdlFailure("SDL_CreateWindow");
        scaleFactor = 0;
        return false;
    }
    const auto makeRenderer = [this] {
        beginSdlCall();
        renderer = SDL_CreateRenderer(window, -1, options.vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
        if (!renderer) {
            recordSdlFailure("SDL_CreateRenderer");
            closeWindow();
        }
        return renderer != nullptr;
    };
    if (!makeRenderer()) {
        return false;
    }
    if (rendererIsSoftware()) {
        // The processor would draw the texture anyway, through many more steps than a copy
        // into the window's own surface. Where the system offers no such surface (a Wayland
        // desktop, say), a new renderer and its texture it is after all.
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
        if (!SDL_GetWindowSurface(window) && !makeRenderer()) {
            return false;
        }
    }
    SDL_RendererInfo info{};
    // The window's own surface has no vertical sync: its presents pace themselves.
    bool vsync = false;
    if (!renderer) {
        renderName = "window surface";
    } else if (SDL_GetRendererInfo(renderer, &info) == 0) {
        renderName = info.name ? info.name : "";
        vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    if (renderer && !makeTexture(clientWidth, clientHeight)) {
        closeWindow();
        return false;
    }
    SDL_DisplayMode mode{};
    int refreshHz = defaultRefreshHz;
    if (SDL_GetCurrentDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window)), &mode) == 0 &&
        mode.refresh_rate > 0) {
        refreshHz = mode.refresh_rate;
    }
    pacer.start(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / refreshHz,
                !vsync);

    arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    crossCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
    cursorShown = -1;
    fullscreen = false;
    // Until the first present, the picture is the client area's size.
    pictureW = clientWidth;
    pictureH = clientHeight;
    pressedKeys.assign(SDL_NUM_SCANCODES, 0);
    SDL_RaiseWindow(window);
    return true;
}

void SdlBackend::closeWindow()
{
    finishPictures();
    for (SDL_GameController* controller : controllers) {
        SDL_GameControllerClose(controller);
    }
    controllers.clear();
    lastPad = ControllerState{};
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    textureW = 0;
    textureH = 0;
    pictureW = 0;
    pictureH = 0;
    converted.clear();
    converted.shrink_to_fit();
    if (renderer) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    if (arrowCursor) {
        SDL_FreeCursor(arrowCursor);
        arrowCursor = nullptr;
    }
    if (crossCursor) {
        SDL_FreeCursor(crossCursor);
        crossCursor = nullptr;
    }
    renderName.clear();
    scaleFactor = 0;
    fullscreen = false;
}

void SdlBackend::setTitle(const char* title)
{
    if (window) {
        SDL_SetWindowTitle(window, title ? title : "");
    }
}

void SdlBackend::desktopSize(int* width, int* height)
{
    SDL_Rect usable{};
    int display = window ? std::max(0, SDL_GetWindowDisplayIndex(window)) : 0;
    if (videoStarted && SDL_GetDisplayUsableBounds(display, &usable) == 0) {
        *width = usable.w;
        *height = usable.h;
        return;
    }
    // Unknown desktop: as large as the window, so that centring leaves it where it is.
    windowOuterSize(width, height);
}

void SdlBackend::windowOuterSize(int* width, int* height)
{
    *width = 0;
    *height = 0;
    if (!window) {
        return;
    }
    SDL_GetWindowSize(window, width, height);
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    // Without a window manager there is no frame, and SDL says so by failing: the frame is 0.
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0) {
        *width += left + right;
        *height += top + bottom;
    }
}

void SdlBackend::moveWindow(int x, int y)
{
    if (!window || fullscreen) {
        return;
    }
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &usable) != 0) {
        usable = SDL_Rect{};
    }
    placeFrame(usable.x + x, usable.y + y);
}

void SdlBackend::frameSize(int* top, int* left)
{
    // Without a window manager there is no frame, and SDL may say so by failing.
    if (SDL_GetWindowBordersSize(window, top, left, nullptr, nullptr) != 0) {
        *top = 0;
        *left = 0;
    }
}

void SdlBackend::placeFrame(int x, int y)
{
    // SDL places the client area: it asks the system for the client's place less the frame it
    // knows of, and the window manager puts the frame's corner where it was asked. Adding the
    // same frame SDL takes off puts the frame at (x, y) even while SDL's idea of the frame is
    // out of date, as it is just after the frame came back from full screen.
    int top = 0;
    int left = 0;
    frameSize(&top, &left);
    SDL_SetWindowPosition(window, x + left, y + top);
}

void SdlBackend::setCursor(int kind)
{
    if (!window || kind == cursorShown) {
        return;
    }
    cursorShown = kind;
    if (kind == 0) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor* cursor = kind == 2 ? crossCursor : arrowCursor;
    if (cursor) {
        SDL_SetCursor(cursor);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlBackend::restoreWindowedPlace()
{
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowSize(window, windowedW, windowedH);
    placeFrame(windowedX, windowedY);
    // The window manager puts the frame back in its own time; until SDL has heard of it, SDL's
    // idea of the window's place and frame is the full screen's, and a switch back to full screen
    // would remember that place. Wait for it, a quarter of a second at most (a window manager
    // that keeps the window elsewhere). Events that arrive meanwhile stay queued.
    const Clock::time_point deadline = Clock::now() + frameSettleLimit;
    while (Clock::now() < deadline) {
        SDL_PumpEvents();
        int top = 0;
        int left = 0;
        int x = 0;
        int y = 0;
        frameSize(&top, &left);
        SDL_GetWindowPosition(window, &x, &y);
        if (top == windowedTop && left == windowedLeft && x - left == windowedX &&
            y - top == windowedY) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool SdlBackend::setFullscreen(bool on)
{
    if (!window) {
        setLastPlatformError("full screen: no window is open");
        return false;
    }
    if (on == fullscreen) {
        return true;
    }
    if (on) {
        // Cover the display with a borderless window first: a desktop without a window manager
        // (a bare X server) ignores the full-screen request, and SDL would then draw for the
        // display's size into the smaller window. A window manager takes it full screen as usual.
        SDL_Rect display{};
        beginSdlCall();
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &display) != 0) {
            recordSdlFailure("SDL_GetDisplayBounds");
            return false;
        }
        // The frame's corner, not the client's: that is what the window manager puts back.
        frameSize(&windowedTop, &windowedLeft);
        SDL_GetWindowPosition(window, &windowedX, &windowedY);
        windowedX -= windowedLeft;
        windowedY -= windowedTop;
        SDL_GetWindowSize(window, &windowedW, &windowedH);
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowPosition(window, display.x, display.y);
        SDL_SetWindowSize(window, display.w, display.h);
    }
    beginSdlCall();
    if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        recordSdlFailure("SDL_SetWindowFullscreen");
        if (on) {
            restoreWindowedPlace();
        }
        return false;
    }
    if (!on) {
        restoreWindowedPlace();
    }
    fullscreen = on;
    return true;
}

uint32_t SdlBackend::milliseconds()
{
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    return static_cast<uint32_t>(elapsed.count());
}
