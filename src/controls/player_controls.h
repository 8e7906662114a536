#pragma once
// The player's controls for the whole run: the settings (the file's, or the defaults), turned
// into what each screen and the race read. The backends report raw keys and controller inputs;
// the Window passes them on as codes; from here on the game reads actions:
//   - the every-screen actions (look, full screen, picture, mute) are carried out on any screen,
//     before the screen sees the key (the Window's takeKey);
//   - the menu-like screens ask which menu action a press stands for (menuActionOf);
//   - the race reads one RaceControls value per frame (readRaceControls);
//   - the keys screen changes the race actions' keys and inputs, and the file is written.

#include <cstdint>

#include "controls/actions.h"
#include "controls/race_controls.h"
#include "controls/settings_file.h"

struct Window;

// The game's one set of controls, filled by startControls.
struct PlayerControls {
    Settings settings; // what holds now
    SettingsFile file; // the settings file as read (or as last written)
};
extern PlayerControls playerControls;

// Called by the game once its window is open and its sound started: reads the settings file at
// `settingsPath` (null: no file, the defaults, and nothing is ever written), starts the window in
// the look and with the sound the file asks for, and takes the every-screen actions' keys on
// every screen from then on.
void startControls(Window* window, const char* settingsPath);
// Called by the game before it releases the window: the window's keys are the screens' alone
// again.
void stopControls(Window* window);

// What the player holds in this race frame. Called by the race loop once per frame, while the
// frame is painted.
RaceControls readRaceControls(const Window* window);

// The menu action a fresh press of `code` (a key or controller input, as the key slots receive
// it) stands for, the modifier keys held now counted; Action::Count when it stands for none.
// Called by the menu-like screens' key handlers.
Action menuActionOf(const Window* window, uint32_t code);

// The first key bound to `action` (0 for none): the one the screens name for it.
uint32_t firstKeyOf(Action action);

// The main menu's ghost key: ghosts off when they were on and on when they were off, written to
// the settings file (writeSettingsFile, which tells on stderr when it cannot).
void switchGhosts();

// The keys screen: `code` becomes the one key (or controller input) of race action `action`, a
// race action that had it swapping (bindRaceInput); restoreRaceControls puts every race action's
// keys and inputs back to the defaults. Either writes the settings file when something changed
// (writeSettingsFile, which tells on stderr when it cannot).
void changeRaceControl(Action action, uint32_t code);
void restoreRaceControls();
