// The web backend's window: the page's game area and its canvas, the title, the pointer, the
// browser's full screen, the boxes a page does not show, and the clock.
#include "platform/web/web_backend.h"

#include <emscripten.h>

#include "core/errors.h"

namespace {

// clang-format off
// The page shows the canvas (index.html keeps a "loading" line there until then).
// From then on the page keeps `readings` (WebBackend::PageReadings) up to date.
EM_JS(void, showGameArea, (int width, int height, void* readings), {
    Module.vantorPage.open(readings);
    Module.vantorPage.canvas.width = width;
    Module.vantorPage.canvas.height = height;
    document.body.classList.add('playing');
});

// The page says that the game has ended (the menu's Escape) instead of showing a still picture,
// out of full screen; it no longer writes the readings.
EM_JS(void, showGameEnded, (), {
    Module.vantorPage.readingsAt = 0;
    if (document.fullscreenElement) {
        document.exitFullscreen();
    }
    document.body.classList.remove('playing');
    document.getElementById('message').textContent =
        'The game has ended. Reload the page to play again.';
});

EM_JS(void, setPageTitle, (const char* title), { document.title = UTF8ToString(title); });

// The game area's size in CSS pixels.
EM_JS(void, gameAreaSize, (int* width, int* height), {
    HEAP32[width >> 2] = Module.vantorPage.area.clientWidth;
    HEAP32[height >> 2] = Module.vantorPage.area.clientHeight;
});

EM_JS(void, setCanvasCursor, (int kind), {
    Module.vantorPage.canvas.style.cursor = ['none', 'default', 'crosshair'][kind];
});

EM_JS(int, pageIsFullscreen, (), { return document.fullscreenElement ? 1 : 0; });

// Asks the browser for full screen (the game area, black around the picture) or out of it, and
// waits for its answer: 1 done, 0 refused. A browser grants full screen only just after a key
// press or click, which the game's F11, its page button and the answer to its question are; one
// that neither grants nor refuses within two seconds counts as refusing.
EM_ASYNC_JS(int, switchPageFullscreen, (int on), {
    const settled = on ? (document.fullscreenEnabled
                              ? Module.vantorPage.area.requestFullscreen()
                              : Promise.reject(new Error('full screen is not enabled')))
                       : document.exitFullscreen();
    const tooLate = new Promise((resolve, reject) => {
        setTimeout(() => reject(new Error('no answer from the browser')), 2000);
    });
    try {
        await Promise.race([settled, tooLate]);
        return 1;
    } catch (error) {
        console.warn('Full screen could not be switched: ' + error.message);
        return 0;
    }
});
// clang-format on

} // namespace

WebBackend::WebBackend() : startedAt(emscripten_get_now()) {}

WebBackend::~WebBackend() { closeWindow(); }

bool WebBackend::openWindow(const char* title, int clientWidth, int clientHeight)
{
    closeWindow();
    setPageTitle(title ? title : "");
    showGameArea(clientWidth, clientHeight, &page);
    pictureW = clientWidth;
    pictureH = clientHeight;
    cursorShown = -1;
    fullscreenSet = pageIsFullscreen() != 0;
    listen(true);
    open = true;
    return true;
}

void WebBackend::closeWindow()
{
    if (!open) {
        return;
    }
    open = false;
    listen(false);
    events.clear();
    pressedKeys.clear();
    lastPad = ControllerState{};
    showGameEnded();
}

void WebBackend::setTitle(const char* title) { setPageTitle(title ? title : ""); }

void WebBackend::desktopSize(int* width, int* height) { gameAreaSize(width, height); }

void WebBackend::windowOuterSize(int* width, int* height) { gameAreaSize(width, height); }

void WebBackend::moveWindow(int, int) {}

void WebBackend::setCursor(int kind)
{
    if (open && kind >= 0 && kind <= 2 && kind != cursorShown) {
        cursorShown = kind;
        setCanvasCursor(kind);
    }
}

bool WebBackend::setFullscreen(bool on)
{
    if (!open) {
        setLastPlatformError("full screen: no window is open");
        return false;
    }
    // Set before the switch, so that the browser's news of it (web_input.cpp) is no surprise.
    const bool before = fullscreenSet;
    fullscreenSet = on;
    if ((pageIsFullscreen() != 0) != on && !switchPageFullscreen(on ? 1 : 0)) {
        fullscreenSet = before;
        setLastPlatformError(on ? "the browser refused full screen (it grants it just after a key "
                                  "press or click)"
                                : "the browser did not leave full screen");
        return false;
    }
    return true;
}

BoxAnswer WebBackend::showMessageBox(MessageBoxKind, const char*, const char*)
{
    setLastPlatformError("a web page has no message box the game could wait on");
    return BoxAnswer::NotShown;
}

uint32_t WebBackend::milliseconds()
{
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now() - startedAt));
}
