#pragma once
// The one window of the game: its back buffer, handler slots and message pump.
// The entry point owns the Window for the whole run; every screen installs its handlers in
// `callbacks`, loops on requestRepaint + pumpMessages, and does its frame's work in onPaint.

#include <cstdint>

#include "gfx/raster.h"
#include "gfx/surface.h"
#include "platform/controller_keys.h"

class Backend;
struct SoundBank;
struct SoundFrame;
struct Window;

// The game's screen: every screen and the race are laid out on a screen of 640 by 480 pixels,
// whose centre is (320, 240). They draw it at a drawing scale k from 1 to 4 into a back buffer of
// 640k by 480k pixels: a screen position (x, y) is the back buffer's (k x, k y).
inline constexpr int screenWidth = 640;
inline constexpr int screenHeight = 480;
inline constexpr int screenCentreX = screenWidth / 2;
inline constexpr int screenCentreY = screenHeight / 2;
inline constexpr int largestDrawingScale = 4;

// The wide view: on a window or display wider than 4:3 the screen grows sideways, up to 1120
// screen pixels (21:9), and stays 480 high. The 640 by 480 layout sits in its middle, so a screen
// position (x, y) is the back buffer's (k (x + m), k y), m being the margin on each side; the race
// and the screens' backgrounds reach out into the margins, at negative x and beyond 640.
inline constexpr int widestScreenWidth = 1120;

// The screen width the wide view takes for an output of width x height pixels (any unit): 480 x
// width / height rounded to the nearest even number (halves up), at least 640 and at most 1120.
// 768 for 16:10, 854 for 16:9, 1120 for 21:9; 640 for 4:3 and anything taller. Backends and
// tools call it; sizes below 1 give 640.
int screenWidthForShape(int width, int height);

// The drawing scale an output of width x height device pixels holds: the largest whole k whose
// 640k x 480k picture fits it, from 1 (also for anything smaller) to largestDrawingScale. The
// desktop and browser backends call it with their window's or page area's size.
int drawingScaleFitting(int width, int height);

// The picture font the game's own message boxes write with (when the system cannot show its
// boxes): glyph cells of cellWidth x cellHeight, 8 columns by 16 rows, the cell in column c and
// row r holding character 8 r + c. The game sets it after loading its font and clears it before
// freeing it; the Window does not own the pictures. Without one, boxes show no text.
struct BoxFont {
    const Surface* glyphs = nullptr;
    const Mask* mask = nullptr; // 1 where a glyph is drawn; null draws whole cells
    int cellWidth = 0;
    int cellHeight = 0;
};

// The nine handler slots of the screen that runs now; a null slot means the event is not handled.
// Key codes are Win32 virtual-key values, and a controller's inputs come through the key slots too
// with codes of their own (controller_keys.h); mouse positions are screen pixels of the 640 by 480
// layout (in the wide view negative or beyond 639 over the margins).
struct WindowCallbacks {
    void (*onKeyDown)(Window* window, uint32_t virtualKey) = nullptr;
    void (*onKeyUp)(Window* window, uint32_t virtualKey) = nullptr;
    void (*onMouseDown)(Window* window, int x, int y, int button) = nullptr;
    void (*onMouseUp)(Window* window, int x, int y, int button) = nullptr;
    void (*onMouseMove)(Window* window, int x, int y) = nullptr;
    void (*onClose)(Window* window) = nullptr;
    void (*onDestroy)(Window* window) = nullptr;
    void (*onPaint)(Window* window) = nullptr;
    void (*onResize)(Window* window) = nullptr;

    bool operator==(const WindowCallbacks&) const = default;
};

struct Window {
    Backend* backend = nullptr; // set by the creator before `create`; not owned
    bool alive = false;         // true from `create` until the window is destroyed
    bool repaintRequested = false;
    // The client area's current size in screen pixels: 640 by 480, or wider in the wide view
    // (the screen's width, even, at most widestScreenWidth).
    int clientW = 0;
    int clientH = 0;
    // Back-buffer pixels per screen pixel, 1 to 4, as the backend last asked for it.
    int drawingScale = 1;
    // true: the screen takes the width the backend asks for (the wide view); false: always 640,
    // the 4:3 view, whatever the window's shape. The player's choice of view sets it.
    bool wideView = true;
    Surface backBuffer;           // the client area at the drawing scale; every drawing goes here
    bool messageBoxShown = false; // true while a box owned by this window is open
    bool fullscreen = false;      // true once setFullscreen succeeded
    int cursorKind = 0;           // 0 hidden (full screen), 1 arrow, 2 crosshair
    // Held keys and controller inputs by code (controller_keys.h), kept from their events.
    bool keysHeld[inputCodeCount] = {};
    // Keys already held when the screen that runs now began, or pressed for a box of the game's
    // own and still down when it closed: their repeats and their release do not reach the
    // screen's key slots, so a key held down does not run through the screens. The keys the game
    // took for itself (takeKey) are carried the same way until released.
    bool keysCarried[inputCodeCount] = {};
    // Keys pressed during the pump that runs: each counts as held until the pump's paint is
    // done, so a press and release between two race frames is seen by the next frame.
    bool keysTapped[inputCodeCount] = {};
    // The player's full-screen key was pressed an odd number of times in the pump that runs.
    bool fullscreenKeyPending = false;
    WindowCallbacks screenSeen; // the slots of the last pump, to tell when the screen changed
    bool soundMuted = false;    // the player silenced the sound (setSoundMuted)
    float soundVolume = 1.0f;   // every sound's volume is multiplied by this, 0 to 1
    // The classic picture: every frame drawn at drawing scale 1 and enlarged by the backend,
    // whatever scale the backend asks for. Read at each paint.
    bool classicLook = false;
    uint32_t padHeld = 0; // the controller inputs held now (padInputsHeld bits)
    BoxFont boxFont;      // the font of the game's own message boxes
    WindowCallbacks callbacks;
    // The game's own keys of every screen, ahead of the screen's slots: called with the code of
    // each fresh press of a key or controller input (not its repeats). Returns true when the
    // game took it (the full-screen key, say): the press, its repeats and its release then never
    // reach the screen. Set by the game's controls for the whole run; null in a bare window.
    bool (*takeKey)(Window* window, uint32_t code) = nullptr;
};

// Opens the window through window->backend (which must be set), with its back buffer, the
// arrow cursor, centred on the desktop. The record must be freshly value-initialised.
// Every failure ends the program through fatalError.
void create(Window* window);
// Sets the window's title (the game's is "Vantor (Version 1.02)").
void setWindowTitle(Window* window, const char* title);
// Makes the client area 640 by 480 (wider in the wide view) and rebuilds the back buffer
// (onResize follows).
void sizeClientArea(Window* window);
// Centres the window on the desktop: its outer top-left corner goes to
// (desktop width / 2 - outer width / 2, desktop height / 2 - outer height / 2), integer halves.
void centreOnDesktop(Window* window);
// Moves the window's outer top-left corner to (x, y) on the desktop, in desktop pixels; its size
// stays. Start-up moves a full-screen window to (0, 0) with it.
void moveWindow(Window* window, int x, int y);
// The client area's current width and height; asked afresh every time, never cached by callers.
int clientWidth(const Window* window);
int clientHeight(const Window* window);
// The screen pixels beside each side of the 640-pixel layout: (client width - 640) / 2, 0 in the
// 4:3 view. The screen runs from x = -margin to 640 + margin.
int screenMargin(const Window* window);
// The columns of the back buffer that the race draws as parts of their own, in back-buffer
// pixels counted from the layout's left edge (x = 0 of the screen): the 640k columns of the
// layout first, then in the wide view the margin on its left and the one on its right. The
// layout's part is clipped and sampled exactly as a 4:3 back buffer is, so its pixels stay those
// of the 4:3 view. `parts` holds 3; returns how many are set (1 or 3).
int screenParts(const Window* window, ColumnRange parts[3]);
// Asks for one repaint of the whole client area; delivered by the next pumpMessages.
void requestRepaint(Window* window);
// Dispatches every waiting event to the handler slots without waiting; the full-screen key
// (askFullscreenToggle) switches once after them when it was pressed an odd number of times; a
// requested repaint is delivered last, once: the drawing scale and screen width the backend asks
// for now, or scale 1 and 640 for the classic picture (a new one gives a new black back buffer),
// cursor, onPaint, present. When the slots differ from the last pump's, a new screen began: the
// keys held at that moment reach its key slots again only once released and pressed anew.
void pumpMessages(Window* window);
// Copies the back buffer to the window; a failure shows the non-fatal warning
// "Blit back buffer to front buffer".
void presentBackBuffer(Window* window);
// If the platform's last error is set: shows "CONTEXT:DESCRIPTION" (the description cut to 2048
// bytes) as the non-fatal warning, messageBoxShown set while it is open, then clears the error.
// A null window shows it all the same.
void reportLastError(Window* window, const char* context);
// Shows cursor kind 0, 1 or 2 and stores it in cursorKind; any other kind changes nothing.
void applyCursor(Window* window, int kind);
// Destroys the window if it is alive: onDestroy runs, the window stops counting as alive.
void destroyWindow(Window* window);
// Whether the window still exists (every screen loop checks it).
bool isWindowAlive(const Window* window);
// Releases what create made (after the window was destroyed); the entry point calls it at exit.
void releaseWindow(Window* window);
// Whether the key or controller input with this code is held now, or was pressed during this
// pump (the race's polled query, asked while a frame is painted).
bool isKeyHeld(const Window* window, uint32_t code);
// The platform clock: milliseconds since start, from window->backend.
uint32_t readClock(const Window* window);
// Starts the sound with the game's clips (`bank` stays alive until exit). Called once by the
// entry point after `create`.
void startSound(Window* window, const SoundBank* bank);
// Hands one frame's sound to the backend: loop targets and clips to start, their volumes times
// soundVolume.
void playSound(Window* window, const SoundFrame& frame);
// Switches to desktop full screen, the back buffer scaled to fit with its aspect kept; on failure
// shows the fault report and the game goes on windowed.
void setFullscreen(Window* window);
// The player's full-screen key: desktop full screen on when the window is windowed, off (back to
// the window's earlier size and place) when it is full screen. Full screen hides the pointer
// (cursor kind 0), the window shows the arrow. A refusal is written to stderr only, so a key
// pressed in the middle of a race never stops it with a box.
void toggleFullscreen(Window* window);
// The player pressed the full-screen key: toggleFullscreen once the pump that runs has taken every
// waiting event, so that presses queued up meanwhile switch once, to the state the last asks for.
void askFullscreenToggle(Window* window);
// Silences every sound, or brings it back (the sound goes on meanwhile, unheard).
void setSoundMuted(Window* window, bool muted);
// Asks the backend to keep a picture of the next frame presented (the player's picture key).
void keepPicture(Window* window);
// Shakes the player's controllers for `milliseconds` with strength 0 to 1; nothing happens
// without a controller that can rumble. The race calls it when the player's car hits something.
void rumbleControllers(Window* window, float strength, uint32_t milliseconds);
// Sets the font of the game's own message boxes (see BoxFont); a default BoxFont clears it.
void setBoxFont(Window* window, const BoxFont& font);
