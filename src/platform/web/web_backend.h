#pragma once
// The browser backend: the game in a web page (src/platform/web/index.html), with no SDL. Built
// with Emscripten against its html5 API, a 2D canvas and Web Audio, split by subsystem: the
// window and the page around it (web_window.cpp), keys, mouse, focus and gamepads
// (web_input.cpp), the picture on the canvas (web_present.cpp) and the sound (web_sound.cpp).
//
// - The "window" is the page's game area with its canvas. The canvas holds the back buffer pixel
//   for pixel; the page places it, its shape kept and centred, as large as the area allows, sharp
//   at whole factors and smoothed otherwise. The drawing scale is the largest whole factor of
//   640 x 480 that fits the area in device pixels (devicePixelRatio counted), 1 to 4; the
//   pictures of scales 2 to 4 are fetched the first time a scale asks for them, and until they
//   have arrived the game draws at the largest scale whose pictures are here.
// - Keys are the Win32 virtual-key codes of browser_input.h, every one as it is (the game's
//   controls decide what F10 to F12 do). Full screen is the browser's, of the game area; the
//   page's full-screen button switches it at once (browsers grant it only within a click) and
//   tells the Window, as does the browser leaving it on its own Escape. A picture kept
//   (askForPicture, or the page's picture button) is downloaded as a PNG file. Gamepads of the
//   Gamepad API stand for controllers as on the desktop, with rumble where the browser has it.
// - The browser shows no message boxes the game could wait on: every box returns NotShown, so the
//   game asks and reports in its own box in the canvas; reports also go to the console.
// - A present hands control back to the browser until the display's next frame
//   (requestAnimationFrame), through Asyncify, so the game's own loops run unchanged and at the
//   display's pace; the page keeps the time each frame's work took (pump and paint, the present
//   and the wait left out) for the benchmarks.
// - The sound is our mixer (audio/sound_mixer.h) on the page's own thread: at every present it
//   mixes what the audio clock will have played before the next few frames and schedules it as
//   Web Audio buffers, one after the other without a gap. Browsers start audio suspended; the
//   first key press or click resumes it, and until then the clips the game starts are dropped.
//
// The web entry point (src/game/web_main.cpp) owns one WebBackend for the whole run.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/backend.h"
#include "audio/sound_mixer.h"

class WebBackend final : public Backend {
public:
    WebBackend();
    ~WebBackend() override;
    WebBackend(const WebBackend&) = delete;
    WebBackend& operator=(const WebBackend&) = delete;

    // --- The page's side: called by the html5 callbacks and the page's buttons ---

    // One key pressed (with its automatic repeats) or released, as the browser names it
    // (KeyboardEvent key and code). True when the game has a code for it, so that the browser does
    // nothing more with it (no scrolling on the arrows and Space, no browser full screen on F11).
    bool keyEvent(bool down, const char* key, const char* code);
    // A mouse button pressed or released (browser buttons 0 left, 1 middle, 2 right) or the
    // pointer moved, at (x, y) CSS pixels from the canvas's top-left corner.
    void mouseEvent(PlatformEvent::Kind kind, int browserButton, double x, double y);
    // The page lost the focus or was hidden: keys released meanwhile will not arrive.
    void focusLost();
    // The page's full-screen button, within its click: the browser's full screen on or off.
    void fullscreenButton();
    // The browser switched full screen on or off, whoever asked.
    void fullscreenChanged(bool fullscreen);
    // A gamepad became known to the page.
    void gamepadConnected();

    // --- Backend ---
    bool openWindow(const char* title, int clientWidth, int clientHeight) override;
    void closeWindow() override;
    void setTitle(const char* title) override;
    void desktopSize(int* width, int* height) override;
    void windowOuterSize(int* width, int* height) override;
    void moveWindow(int x, int y) override;
    bool pollEvent(PlatformEvent* event) override;
    void discardInput() override;
    bool present(const Surface& backBuffer) override;
    int drawingScale() override;
    int viewWidth() override;
    void setCursor(int kind) override;
    bool setFullscreen(bool on) override;
    void askForPicture() override;
    BoxAnswer showMessageBox(MessageBoxKind kind, const char* caption, const char* text) override;
    void rumble(float strength, uint32_t milliseconds) override;
    uint32_t milliseconds() override;
    void startSound(const SoundBank* bank) override;
    void playSound(const SoundFrame& frame) override;
    void muteSound(bool muted) override;

private:
    // Registers or removes the html5 callbacks (web_input.cpp).
    void listen(bool on);
    // Queues a Controller event when the gamepads changed since the last one.
    void pollGamepads();
    // Resumes the page's sound if the browser still holds it suspended; called from key presses
    // and clicks, the only moments a browser allows it (web_sound.cpp).
    void wakeSound();
    // Mixes and schedules the sound the audio clock will need before the next frames.
    void feedSound();

    double startedAt = 0.0; // the page's clock (ms) when the backend was made
    bool open = false;
    // What the page keeps up to date in the game's memory while the window is open (web_page.js
    // writes it whenever it changes), so that a frame reads it without calling into the page:
    // the game area's size in device pixels and whether the page's sound runs (1) or not (0).
    struct PageReadings {
        int32_t areaWidth = 0;
        int32_t areaHeight = 0;
        int32_t soundRuns = 0;
    };
    PageReadings page;
    std::deque<PlatformEvent> events;
    // The virtual key each physical key (KeyboardEvent code) gave when pressed, so that its
    // release gives the same one.
    std::unordered_map<std::string, uint32_t> pressedKeys;
    bool gamepadsSeen = false;
    ControllerState lastPad;
    bool pictureWanted = false;
    int cursorShown = -1; // the pointer the canvas shows: 0 none, 1 arrow, 2 crosshair
    // Full screen as the Window knows it; when the browser switches it otherwise (its own Escape,
    // the page's button), a FullscreenChanged event tells the Window.
    bool fullscreenSet = false;
    // The size of the back buffer last shown, to map the mouse into it.
    int pictureW = 0;
    int pictureH = 0;
    // The back buffer's pixels as the canvas takes them (bytes R, G, B, A).
    std::vector<uint32_t> canvasPixels;

    std::unique_ptr<SoundMixer> mixer;
    bool mutedWanted = false;
    std::vector<int16_t> mixed;
    std::vector<float> left;
    std::vector<float> right;
};
