#pragma once
// The narrow interface between the Window and the system that shows it. Three implementations:
// the SDL desktop backend (src/platform/sdl), the browser backend (src/platform/web) and the
// scripted headless backend (src/platform/headless). The Window calls it; nothing in the game
// above the platform does.

#include <cstdint>

#include "core/errors.h"
#include "platform/controller_keys.h"

struct Surface;
struct SoundBank;
struct SoundFrame;

// One input or window event, already translated to the game's terms: key codes are Win32
// virtual-key values (Left 0x25, Up 0x26, Right 0x27, Down 0x28, Enter 13, Escape 27, Space 0x20,
// letters and digits as their ASCII capitals, F10 0x79); mouse positions are back-buffer pixels.
// Controller is the state of the controllers after a change (buttons pressed, sticks, triggers,
// every plugged-in controller merged into one); the Window turns it into input codes. Every key
// arrives as it is: what a key means, the full-screen and picture keys included, is the game's.
// FullscreenChanged says that the system switched full screen by itself, `key` 1 on and 0 off
// (the browser leaves it on its own Escape, the page's button switches it); the Window follows.
struct PlatformEvent {
    enum class Kind {
        KeyDown,
        KeyUp,
        MouseDown,
        MouseUp,
        MouseMove,
        Close,
        FocusLost,
        Controller,
        FullscreenChanged
    };
    Kind kind = Kind::Close;
    uint32_t key = 0; // KeyDown (also each automatic repeat) and KeyUp
    int x = 0;        // mouse events
    int y = 0;
    int button = 0;      // 1 left, 2 right, 4 middle
    ControllerState pad; // Controller
};

// How a message box ended: Yes for a question answered Yes; No for a question answered No, a
// report closed with OK, or boxes switched off; NotShown when the system could not show it
// (the platform's last error then says why).
enum class BoxAnswer { Yes, No, NotShown };

class Backend {
public:
    virtual ~Backend() = default;

    // Opens the one window with the given title and client size in screen pixels (640 by 480;
    // the desktop shows it at a whole scale that suits the display).
    // Returns false (with the platform's last error set) when no window can be made.
    virtual bool openWindow(const char* title, int clientWidth, int clientHeight) = 0;
    // Closes the window; harmless when none is open.
    virtual void closeWindow() = 0;
    virtual void setTitle(const char* title) = 0;
    // The usable desktop size in pixels.
    virtual void desktopSize(int* width, int* height) = 0;
    // The open window's outer size in desktop pixels, frame and title bar included.
    virtual void windowOuterSize(int* width, int* height) = 0;
    // Moves the open window's outer top-left corner to (x, y), in pixels from the usable desktop's
    // top-left corner; its size and stacking order stay.
    virtual void moveWindow(int x, int y) = 0;
    // Takes the next waiting event without blocking; false when none waits.
    virtual bool pollEvent(PlatformEvent* event) = 0;
    // Drops the key presses and mouse events waiting to be taken; key releases and other events
    // stay queued. The Window calls it after the system's box asked the full-screen question:
    // what was typed meanwhile was meant for the box, not for the game. The desktop takes the
    // presses that come in a fifth of a second after the box too: a key held down through the
    // box gives no further press, only its release.
    virtual void discardInput() = 0;
    // Shows the back buffer in the window, its shape kept, whatever its size (in full screen a
    // shape within one part in 640 of the display's fills it). Returns false (last error set)
    // when it failed.
    virtual bool present(const Surface& backBuffer) = 0;
    // The drawing scale the game should draw at now, 1 to 4: the back buffer is 640k by 480k
    // pixels (wider in the wide view: viewWidth). The window at whole scale s asks for k = s,
    // full screen for the largest k whose picture fits the display. The Window asks before every
    // paint (not while the player chose the classic picture, which is drawn at 1).
    virtual int drawingScale() = 0;
    // The width of the screen the game should lay out now, in screen pixels (the screen being
    // 480 high): 640 for the 4:3 picture, more for a window or display of a wider shape, as
    // screenWidthForShape gives it, at most 1120. The Window asks before every paint, with
    // drawingScale, and draws a back buffer of this width times the drawing scale (640 when its
    // wide view is off).
    virtual int viewWidth() = 0;
    // 0 hides the pointer (full-screen kind), 1 arrow, 2 crosshair.
    virtual void setCursor(int kind) = 0;
    // Desktop full screen on or off; false (last error set) when refused.
    virtual bool setFullscreen(bool on) = 0;
    // Keeps a picture of the next frame presented, exactly as the player sees it (the desktop
    // writes a PNG file in the player's pictures folder, away from the game's thread).
    virtual void askForPicture() = 0;
    // Shows the system's message box with an OK button, or Yes and No for a question, and waits
    // for the player. A box that cannot be shown returns NotShown at once.
    virtual BoxAnswer showMessageBox(MessageBoxKind kind, const char* caption,
                                     const char* text) = 0;
    // Shakes the controllers for `milliseconds`, strength 0 to 1; nothing without a controller
    // that can rumble.
    virtual void rumble(float strength, uint32_t milliseconds) = 0;
    // Milliseconds since the backend started: real time for SDL, the script's clock headless.
    virtual uint32_t milliseconds() = 0;

    // Opens the sound output for the clips of `bank`, which stays alive and unchanged until exit.
    // Without a sound device the game plays on silent.
    virtual void startSound(const SoundBank* bank) = 0;
    // Hands over one frame's sound: loop targets and clips to start (nothing before startSound).
    virtual void playSound(const SoundFrame& frame) = 0;
    // Silences everything, or brings it back; the sound goes on meanwhile, unheard.
    virtual void muteSound(bool muted) = 0;
};
