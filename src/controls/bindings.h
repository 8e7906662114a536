#pragma once
// Which keys and controller inputs stand for which action. Each action has up to maxBindings keys
// (key bindings of input_names.h) and up to maxBindings controller inputs; a list ends at its
// first 0. The defaults are the game's own keys:
//
//   race:   accelerate Up (right trigger, A), brake Space (left trigger, X), steer Left and Right
//           (d-pad, stick), give up Escape (Back)
//   menus:  Up, Down, Left, Right (d-pad, stick), confirm Enter (A, Start), back Escape (B, Back),
//           the keys screen K (Y)
//   always: look F10, full screen F11 and Alt+Enter, picture F12, mute M

#include <cstdint>
#include <string>

#include "controls/actions.h"

constexpr int maxBindings = 4;

// One list of keys or of controller inputs, 0 after the last.
using BindingList = uint32_t[maxBindings];

struct Bindings {
    BindingList keys[actionCount] = {}; // key bindings, by action
    BindingList pads[actionCount] = {}; // controller input codes, by action

    bool operator==(const Bindings&) const = default;
};

// The game's own bindings, listed above.
const Bindings& defaultBindings();

// How many entries a list holds.
int bindingCount(const BindingList& list);
// Whether the list holds `binding`.
bool listHolds(const BindingList& list, uint32_t binding);
// Adds `binding` at the end unless the list holds it already or is full; false when full.
bool addBinding(BindingList& list, uint32_t binding);

// How the screens show a list: the screen names (input_names.h) separated by blanks.
std::string screenNames(const BindingList& list);

// How well `bound` (a key binding or a controller input) stands for a fresh press of `code` (a key
// or controller input, no modifier flags) while the modifiers `heldModifiers` (flags) are held:
// -1 not at all; otherwise the number of modifiers it asks for, so that Alt+Enter wins over Enter.
int bindingMatch(uint32_t bound, uint32_t code, uint32_t heldModifiers);

// The keys screen's change: `code` (a key, or a controller input) becomes the one key, or the one
// controller input, of race action `action`. A race action that had it takes, in its place, the
// first key (or input) `action` had before: the two swap. Keys and inputs of the other
// actions and of the other kind stay as they are.
void bindRaceInput(Bindings* bindings, Action action, uint32_t code);
// The race actions' keys and controller inputs as the defaults have them; the others stay.
void restoreRaceDefaults(Bindings* bindings);
// Whether the race actions' keys are the defaults' (the controls screen then shows the picture
// alone).
bool raceKeysAreDefault(const Bindings& bindings);
