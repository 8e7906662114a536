#pragma once
// The keys screen, opened from the main menu: the race actions (accelerate, brake, steer left,
// steer right, quit race) with their keys and controller inputs. The player picks a row with up
// and down and confirm, then presses the new key or controller input (the every-screen keys, F10
// to F12 and M, never reach the screen and so cannot be chosen); Escape cancels the pick, a key
// another race action had is swapped, Backspace puts the defaults back. Every change is written
// to the settings file at once (controls/player_controls.h). Back returns to the menu.

#include <cstdint>

struct Bitmap;
struct BitmapFont;
struct Window;

// The screen's state, alive while runKeysScreen runs; null pictures otherwise.
struct KeysScreen {
    bool keysRunning = false;   // the screen's loop runs while it is true
    Bitmap* bar = nullptr;      // "gfx\menu\menuBar1.bmp", owned while the screen runs
    Bitmap* arrow = nullptr;    // "gfx\menu\arrow.bmp", owned while the screen runs
    BitmapFont* font = nullptr; // from "gfx\font\font1sm.bmp", owned while the screen runs
    int32_t selectedRow = 0;    // the race action pointed at, 0 to 4
    bool waiting = false;       // the row was picked: the next key or input becomes its own
    uint32_t pickingCode = 0;   // the key or input that picked it, until released (0: none)
};
extern KeysScreen keysScreen;

// Runs the screen until back is pressed or the window is destroyed. Called by the main menu with
// its handlers cleared. Frees everything it loaded.
void runKeysScreen(Window* window);

// The screen's handlers, installed in the window's slots while it runs.
// onPaint: clears the back buffer and draws the heading, bars, the rows with their keys and
// inputs (a picked row's with "?"), the arrow and the help lines.
void keysOnPaint(Window* window);
// onKeyDown: Backspace restores the defaults; while a row is picked, Escape cancels and any other
// key or input (not the one that picked the row, until released) becomes the row's; otherwise up
// and down move the arrow, confirm picks the row and back ends the screen.
void keysOnKeyDown(Window* window, uint32_t code);
// onKeyUp: the key that picked a row may be pressed again as the row's new key.
void keysOnKeyUp(Window* window, uint32_t code);
// onDestroy: ends the screen.
void keysOnDestroy(Window* window);
