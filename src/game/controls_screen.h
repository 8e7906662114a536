#pragma once
// The controls screen shown before every race: the key layout picture, the heading
// "Game controls" and the prompt to press Enter; under the upper bar the race's track code (or
// that the track is new); when the player's race keys are not the game's own, those keys written
// under the picture. Only confirm (Enter unless the player changed it) or
// the window's destruction leaves it.

#include <cstdint>

struct Bitmap;
struct BitmapFont;
struct Window;

// The screen's state, alive while runControlsScreen runs; null pictures otherwise.
struct ControlsScreen {
    bool controlsRunning = false; // the screen's loop runs while it is true
    Bitmap* keyLayout = nullptr;  // "gfx\menu\keyLayout.bmp", owned while the screen runs
    Bitmap* bar = nullptr;        // "gfx\menu\menuBar1.bmp", owned while the screen runs
    BitmapFont* font = nullptr;   // from "gfx\font\font1sm.bmp", owned while the screen runs
};
extern ControlsScreen controlsScreen;

// Runs the screen until Enter is pressed or the window is destroyed. Called only by runRace,
// which checks afterwards whether the window still exists. Frees everything it loaded.
void runControlsScreen(Window* window);

// The screen's handlers, installed in the window's slots while it runs.
// onPaint: clears the back buffer and draws the layout picture, heading, bars, the track line,
// the player's keys (when changed) and prompt.
void controlsOnPaint(Window* window);
// onKeyDown: confirm ends the screen; every other key is ignored.
void controlsOnKeyDown(Window* window, uint32_t code);
// onDestroy: ends the screen.
void controlsOnDestroy(Window* window);
