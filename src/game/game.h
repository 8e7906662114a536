#pragma once
// The whole game on one backend: the window, the full-screen question, the main menu with every
// race inside it, and the release of everything at the end.

#include <string>

class Backend;

// What the game is started with beyond its backend.
struct GameOptions {
    // The player's settings file (controls/player_controls.h); null plays with the defaults and
    // writes no file.
    const char* settingsFile = nullptr;
    // Where the records are kept (records_file.h); empty keeps none (tools and tests).
    std::string recordsFolder;
    // A track code (race/track_code.h) whose settings the menu starts with and whose track the
    // first race runs on; empty for none. A mistyped one is told in one line on stderr and the
    // menu starts as usual.
    std::string trackCode;
};
// The options of the game that runs, from runGame's start to its end.
extern GameOptions gameOptions;

// Called by the game's entry points (the desktop's command line, the page's address) with their
// arguments: `--track CODE` sets options->trackCode; anything else is told in one line on stderr
// and the game plays on without it.
void readGameArguments(int argc, char** argv, GameOptions* options);

// Runs the game from start to end on `backend` (the SDL backend for the player, the headless one
// for tests and tools): creates and titles the window "Vantor (Version 1.02)", reads the player's
// settings file, sizes and centres the window, asks whether to play full screen (in its own
// window when the system cannot show a box), takes the track code, runs the main menu and, when
// the menu ends, destroys the window if it still exists and releases it. Returns the exit status,
// 0. The caller keeps the backend, which must outlive the call.
int runGame(Backend* backend, const GameOptions& options = GameOptions{});
