// The one window of the game: creation, sizing, the message pump that feeds the handler slots,
// the per-frame present, the cursor, the full-screen switch and the start-up question.
#include "platform/window.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "gfx/raster.h"
#include "platform/backend.h"
#include "core/errors.h"
#include "platform/sound.h"

namespace {

// The drawing scale to draw at: 1 for the classic picture, otherwise the one the backend asks
// for, kept within 1 to largestDrawingScale.
int wantedDrawingScale(const Window* window)
{
    if (window->classicLook) {
        return 1;
    }
    return std::clamp(window->backend->drawingScale(), 1, largestDrawingScale);
}

// The screen width the backend asks for, even and within 640 to widestScreenWidth; 640 in the
// 4:3 view and for the classic picture.
int wantedScreenWidth(const Window* window)
{
    if (!window->wideView || window->classicLook) {
        return screenWidth;
    }
    return std::clamp(window->backend->viewWidth(), screenWidth, widestScreenWidth) / 2 * 2;
}

// Gives the client area the size every screen is laid out for, `width` screen pixels wide, and a
// new back buffer of that size at drawing scale k, black, as a freshly made picture is.
void sizeBackBuffer(Window* window, int k, int width)
{
    window->clientW = width;
    window->clientH = screenHeight;
    window->drawingScale = k;
    allocateOrFatal(__LINE__, "Cannot create memory device bitmap", [window, k, width] {
        resizeSurface(&window->backBuffer, width * k, screenHeight * k);
    });
}

// Writes the platform's own description of its last error to stderr, so that a report whose
// text is fixed still tells the player why the platform refused.
void explainPlatformError()
{
    if (const char* description = lastPlatformError()) {
        std::fprintf(stderr, "The platform reported: %s\n", description);
        std::fflush(stderr);
    }
}

// One repaint: the drawing scale and screen width, the cursor, the screen's frame, then the copy
// to the window. A new drawing scale or width (the player switched full screen or the sharp
// picture, or reshaped the window) takes effect at the paint's start; pictures loaded at the old
// scale draw enlarged or reduced until their screen loads them again.
void paint(Window* window)
{
    const int k = wantedDrawingScale(window);
    const int width = wantedScreenWidth(window);
    if (k != window->drawingScale || width != window->clientW) {
        sizeBackBuffer(window, k, width);
    }
    applyCursor(window, window->cursorKind);
    if (auto onPaint = window->callbacks.onPaint) {
        onPaint(window);
    }
    if (isWindowAlive(window)) {
        presentBackBuffer(window);
    }
}

// A key or controller input went down (a key's automatic repeats too) or up: the held tables, the
// game's own keys of every screen, then the screen's slot.
void inputChanged(Window* window, uint32_t code, bool down)
{
    const bool inTable = code < std::size(window->keysHeld);
    if (down) {
        const bool fresh = !inTable || !window->keysHeld[code];
        if (inTable) {
            window->keysHeld[code] = true;
            window->keysTapped[code] = true;
        }
        if (fresh && window->takeKey && window->takeKey(window, code)) {
            if (inTable) {
                window->keysCarried[code] = true; // its repeats and release stay with the game
            }
            return;
        }
        if (inTable && window->keysCarried[code]) {
            return; // a repeat of a key held since before this screen began
        }
        if (auto handler = window->callbacks.onKeyDown) {
            handler(window, code);
        }
        return;
    }
    if (inTable) {
        window->keysHeld[code] = false;
        if (window->keysCarried[code]) {
            window->keysCarried[code] = false;
            return;
        }
    }
    if (auto handler = window->callbacks.onKeyUp) {
        handler(window, code);
    }
}

// The controllers changed: the inputs they stop holding are released and those they start holding
// pressed, in the order of their codes, through the same slots as the keyboard's keys.
void controllerChanged(Window* window, const ControllerState& pad)
{
    const uint32_t now = padInputsHeld(pad);
    const uint32_t released = window->padHeld & ~now;
    const uint32_t pressed = now & ~window->padHeld;
    window->padHeld = now;
    for (uint32_t bit = 0; bit < padInputCount && isWindowAlive(window); ++bit) {
        if ((released >> bit) & 1u) {
            inputChanged(window, padCodeBase + bit, false);
        }
    }
    for (uint32_t bit = 0; bit < padInputCount && isWindowAlive(window); ++bit) {
        if ((pressed >> bit) & 1u) {
            inputChanged(window, padCodeBase + bit, true);
        }
    }
}

// Hands one event to the slot that handles it. Each slot is read at the moment of the call, so a
// handler that clears slots or destroys the window affects everything after it.
void dispatch(Window* window, const PlatformEvent& event)
{
    const WindowCallbacks& slots = window->callbacks;
    // Mouse positions arrive in back-buffer pixels; the screens lay out in screen pixels, from the
    // layout's left edge.
    const int k = window->drawingScale;
    const int margin = screenMargin(window);
    switch (event.kind) {
    case PlatformEvent::Kind::KeyDown: inputChanged(window, event.key, true); break;
    case PlatformEvent::Kind::KeyUp: inputChanged(window, event.key, false); break;
    case PlatformEvent::Kind::MouseDown:
        if (auto handler = slots.onMouseDown) {
            handler(window, event.x / k - margin, event.y / k, event.button);
        }
        break;
    case PlatformEvent::Kind::MouseUp:
        if (auto handler = slots.onMouseUp) {
            handler(window, event.x / k - margin, event.y / k, event.button);
        }
        break;
    case PlatformEvent::Kind::MouseMove:
        if (auto handler = slots.onMouseMove) {
            handler(window, event.x / k - margin, event.y / k);
        }
        break;
    case PlatformEvent::Kind::Close:
        // A screen that does not handle closing gets the plain window's behaviour: it goes away.
        if (auto handler = slots.onClose) {
            handler(window);
        } else {
            destroyWindow(window);
        }
        break;
    case PlatformEvent::Kind::FocusLost:
        // Key releases that happen while another window has the focus never arrive: forget
        // every held key so that none sticks.
        std::fill(std::begin(window->keysHeld), std::end(window->keysHeld), false);
        std::fill(std::begin(window->keysCarried), std::end(window->keysCarried), false);
        window->padHeld = 0;
        break;
    case PlatformEvent::Kind::Controller: controllerChanged(window, event.pad); break;
    case PlatformEvent::Kind::FullscreenChanged:
        // Switched without the game: the window follows, the pointer as toggleFullscreen sets it.
        window->fullscreen = event.key != 0;
        applyCursor(window, window->fullscreen ? 0 : 1);
        break;
    }
}

} // namespace

void create(Window* window)
{
    if (!window->backend) {
        fatalError(__LINE__, "Cannot get program handle");
    }
    if (!window->backend->openWindow("Untitled window", screenWidth, screenHeight)) {
        explainPlatformError();
        fatalError(__LINE__, "Failed creating window");
    }
    window->alive = true;
    applyCursor(window, 1);
    sizeBackBuffer(window, wantedDrawingScale(window), wantedScreenWidth(window));
    centreOnDesktop(window);
}

void setWindowTitle(Window* window, const char* title) { window->backend->setTitle(title); }

void sizeClientArea(Window* window)
{
    if (!isWindowAlive(window)) {
        return;
    }
    sizeBackBuffer(window, wantedDrawingScale(window), wantedScreenWidth(window));
    if (auto onResize = window->callbacks.onResize) {
        onResize(window);
    }
}

void centreOnDesktop(Window* window)
{
    int desktopW = 0;
    int desktopH = 0;
    int outerW = 0;
    int outerH = 0;
    window->backend->desktopSize(&desktopW, &desktopH);
    window->backend->windowOuterSize(&outerW, &outerH);
    moveWindow(window, desktopW / 2 - outerW / 2, desktopH / 2 - outerH / 2);
}

void moveWindow(Window* window, int x, int y) { window->backend->moveWindow(x, y); }

void requestRepaint(Window* window) { window->repaintRequested = true; }

void pumpMessages(Window* window)
{
    // A new screen begins with the keys held now carried over, besides those still carried:
    // it acts only on fresh presses.
    if (!(window->callbacks == window->screenSeen)) {
        window->screenSeen = window->callbacks;
        for (size_t key = 0; key < std::size(window->keysHeld); ++key) {
            window->keysCarried[key] = window->keysCarried[key] || window->keysHeld[key];
        }
    }
    PlatformEvent event;
    while (isWindowAlive(window) && window->backend->pollEvent(&event)) {
        dispatch(window, event);
    }
    if (window->fullscreenKeyPending) {
        window->fullscreenKeyPending = false;
        toggleFullscreen(window);
    }
    if (isWindowAlive(window) && window->repaintRequested) {
        // Cleared before the paint, so that a repaint asked for during onPaint is kept for the
        // next pump instead of being lost.
        window->repaintRequested = false;
        paint(window);
    }
    // The presses of this pump were seen by its paint; after it only the keys held count.
    std::fill(std::begin(window->keysTapped), std::end(window->keysTapped), false);
}

void reportLastError(Window* window, const char* context)
{
    const char* description = lastPlatformError();
    if (description == nullptr) {
        return;
    }
    std::string text = context ? context : "";
    text += ":";
    text += std::string(description).substr(0, 2048);
    if (window) {
        window->messageBoxShown = true;
    }
    nonFatalReport(text.c_str());
    if (window) {
        window->messageBoxShown = false;
    }
    clearLastPlatformError();
}

void presentBackBuffer(Window* window)
{
    if (!isWindowAlive(window)) {
        return;
    }
    clearLastPlatformError();
    window->backend->present(window->backBuffer);
    reportLastError(window, "Blit back buffer to front buffer");
}

void applyCursor(Window* window, int kind)
{
    if (kind < 0 || kind > 2) {
        return;
    }
    window->backend->setCursor(kind);
    window->cursorKind = kind;
}

void destroyWindow(Window* window)
{
    if (!isWindowAlive(window)) {
        return;
    }
    // No longer alive before onDestroy runs, so a handler that destroys again does nothing.
    window->alive = false;
    if (auto onDestroy = window->callbacks.onDestroy) {
        onDestroy(window);
    }
    window->backend->closeWindow();
}

bool isWindowAlive(const Window* window) { return window && window->alive; }

void releaseWindow(Window* window)
{
    destroyWindow(window);
    window->backBuffer = Surface{};
    // Reports after this point go to stderr only, whichever window showed them: the backend
    // may be gone soon.
    setReportBox(nullptr);
}

bool isKeyHeld(const Window* window, uint32_t code)
{
    return code < std::size(window->keysHeld) &&
           (window->keysHeld[code] || window->keysTapped[code]);
}

uint32_t readClock(const Window* window) { return window->backend->milliseconds(); }

void startSound(Window* window, const SoundBank* bank) { window->backend->startSound(bank); }

void playSound(Window* window, const SoundFrame& frame)
{
    if (window->soundVolume == 1.0f) {
        window->backend->playSound(frame);
        return;
    }
    SoundFrame quieter = frame;
    for (LoopVoice& loop : quieter.loops) {
        loop.volume *= window->soundVolume;
    }
    for (int i = 0; i < quieter.shotCount; ++i) {
        quieter.shots[i].volume *= window->soundVolume;
    }
    window->backend->playSound(quieter);
}

void setSoundMuted(Window* window, bool muted)
{
    window->soundMuted = muted;
    window->backend->muteSound(muted);
}

void keepPicture(Window* window)
{
    if (isWindowAlive(window)) {
        window->backend->askForPicture();
    }
}

void setFullscreen(Window* window)
{
    // The switch shows the arrow; cursorKind stays, and start-up chooses the kind afterwards.
    window->backend->setCursor(1);
    if (!window->backend->setFullscreen(true)) {
        explainPlatformError();
        programFault(__LINE__, "Window::setFullscreen() - Failed to set specified display mode");
        // Reported here; a later warning must not show this refusal again.
        clearLastPlatformError();
        return;
    }
    window->fullscreen = true;
}

void toggleFullscreen(Window* window)
{
    if (!isWindowAlive(window)) {
        return;
    }
    const bool on = !window->fullscreen;
    if (!window->backend->setFullscreen(on)) {
        const char* why = lastPlatformError();
        std::fprintf(stderr, "Full screen could not be switched %s (%s).\n", on ? "on" : "off",
                     why ? why : "no reason given");
        std::fflush(stderr);
        clearLastPlatformError();
        return;
    }
    window->fullscreen = on;
    applyCursor(window, on ? 0 : 1);
}

void askFullscreenToggle(Window* window)
{
    window->fullscreenKeyPending = !window->fullscreenKeyPending;
}

void rumbleControllers(Window* window, float strength, uint32_t milliseconds)
{
    if (isWindowAlive(window)) {
        window->backend->rumble(strength, milliseconds);
    }
}

void setBoxFont(Window* window, const BoxFont& font) { window->boxFont = font; }
