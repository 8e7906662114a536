#pragma once
// The main menu, the game's home screen: six race settings chosen with the arrow keys, Enter
// starts a race (controls screen, race, result screen) and comes back here, Escape quits, K opens
// the keys screen, F2 turns the ghost car on or off (the keys are the player's menu actions,
// controls/player_controls.h).

#include <cstdint>

#include "race/race_settings.h"

struct Bitmap;
struct BitmapFont;
struct Window;

// The menu's state, alive while runMainMenu runs; null pictures otherwise.
struct MainMenu {
    bool menuRunning = false;       // the menu loop runs while it is true
    Bitmap* menuBar = nullptr;      // "gfx\menu\menuBar1.bmp", owned while the menu runs
    Bitmap* menuArrow = nullptr;    // "gfx\menu\arrow.bmp", owned while the menu runs
    BitmapFont* menuFont = nullptr; // from "gfx\font\font1sm.bmp", owned while the menu runs
    int32_t menuSelectedRow = 0;    // highlighted setting, 0..5 in the order of RaceSettings
};
extern MainMenu mainMenu;

// Runs the menu until Escape is pressed or the window is destroyed. Called once by the entry
// point; the settings start as `startSettings` (every one "NORMAL", unless the game was started
// with a track code) and row 0 is selected. Frees everything it loaded.
void runMainMenu(Window* window, const RaceSettings& startSettings);

// The menu's handlers, installed in the window's slots while the menu shows.
// onPaint: clears the back buffer and draws the heading, bars, arrow, settings, the lines naming
// the keys screen's key and the ghost key, and the help lines.
void menuOnPaint(Window* window);
// onKeyDown, by the menu action the key or controller input stands for: up/down move the arrow,
// left/right change the selected setting (nothing wraps), confirm runs a race with the settings,
// back ends the menu, keys runs the keys screen, ghosts turns the ghost car on or off (saved in the
// settings file); other keys are ignored.
void menuOnKeyDown(Window* window, uint32_t code);
// onDestroy: ends the menu.
void menuOnDestroy(Window* window);

// The back-buffer y of setting row `row` (0..5) for a font cell height of cellHeight.
int menuRowY(int row, int cellHeight);
