#pragma once
// The whole game on one backend: the window, the full-screen question, the main menu with every
// race inside it, and the release of everything at the end.

class Backend;

// Runs the game from start to end on `backend` (the SDL backend for the player, the headless one
// for tests and tools): creates and titles the window "Vantor (Version 1.02)", reads the player's
// settings file at `settingsFile` (controls/player_controls.h; null plays with the defaults and
// writes no file), sizes and centres the window, asks whether to play full screen (in its own
// window when the system cannot show a box), runs the main menu and, when the menu ends, destroys
// the window if it still exists and releases it. Returns the exit status, 0. The caller keeps the
// backend, which must outlive the call.
int runGame(Backend* backend, const char* settingsFile = nullptr);
