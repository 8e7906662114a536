#pragma once
// The frame cycle every screen runs: ask for a repaint of the whole window and pump its events,
// over and over, while the screen's running flag holds. The menu, controls and result screens
// install three handlers around it; the race installs its own and runs only the cycle. And what
// those three screens share on screen: the bar picture, the small font and the bars' places.

#include <cstdint>

struct Bitmap;
struct BitmapFont;
struct Window;

// The three handler slots a menu-like screen fills while it runs.
struct ScreenHandlers {
    void (*onPaint)(Window* window);
    void (*onKeyDown)(Window* window, uint32_t virtualKey);
    void (*onDestroy)(Window* window);
};

// Puts the screen's handlers into the window's onPaint, onKeyDown and onDestroy slots.
void installScreenHandlers(Window* window, const ScreenHandlers& handlers);
// Empties the onPaint, onKeyDown and onDestroy slots.
void clearScreenHandlers(Window* window);
// Requests a repaint and pumps the window's events while *running is true and the window lives;
// the screen's handlers (Enter, Escape, the window's destruction, the end of a race) drop the
// flag. Never sleeps.
void runFrames(Window* window, const bool* running);
// A menu-like screen's whole loop: installs its handlers, runs frames while *running, then clears
// the three slots. The caller loads its pictures before and frees them after.
void runScreen(Window* window, const ScreenHandlers& handlers, const bool* running);

// Loads the screens' bar "gfx\menu\menuBar1.bmp" (colour-keyed) into *bar and their font
// "gfx\font\font1sm.bmp" into *font. The screen owns both until freeScreenFrame.
void loadScreenFrame(Window* window, Bitmap** bar, BitmapFont** font);
// Frees the bar and then the font, clearing both pointers.
void freeScreenFrame(Bitmap** bar, BitmapFont** font);
// Draws the bar twice: under the heading, 3 cell heights from the top, and over the help lines,
// 5 cell heights from the bottom of the screen. In the wide view each bar reaches from the
// screen's left edge to its right edge.
void drawScreenBars(Window* window, Bitmap* bar, const BitmapFont* font);
