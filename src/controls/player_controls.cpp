// The player's controls: the settings in force, the every-screen keys, the menu's presses and the
// race's held actions.
#include "controls/player_controls.h"

#include <initializer_list>

#include "controls/input_names.h"
#include "platform/controller_keys.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

PlayerControls playerControls;

namespace {

// The modifier flags of the modifier keys held now.
uint32_t heldModifiers(const Window* window)
{
    uint32_t flags = 0;
    flags |= isKeyHeld(window, keyShift) ? withShift : 0;
    flags |= isKeyHeld(window, keyCtrl) ? withCtrl : 0;
    flags |= isKeyHeld(window, keyAlt) ? withAlt : 0;
    return flags;
}

// Of the actions from `first` to `last`, the one a fresh press of `code` stands for best (the one
// whose binding asks for the most of the modifiers held); Action::Count for none.
Action bestAction(const Window* window, uint32_t code, Action first, Action last)
{
    const Bindings& bindings = playerControls.settings.bindings;
    const uint32_t modifiers = heldModifiers(window);
    Action best = Action::Count;
    int bestMatch = -1;
    for (int i = indexOf(first); i <= indexOf(last); ++i) {
        const BindingList& list = isPadCode(code) ? bindings.pads[i] : bindings.keys[i];
        for (uint32_t bound : list) {
            const int match = bindingMatch(bound, code, modifiers);
            if (match > bestMatch) {
                bestMatch = match;
                best = actionAt(i);
            }
        }
    }
    return best;
}

// Whether one of the action's keys (its modifiers too) or controller inputs is held.
bool actionHeld(const Window* window, Action action)
{
    const Bindings& bindings = playerControls.settings.bindings;
    const uint32_t modifiers = heldModifiers(window);
    for (const BindingList* list :
         {&bindings.keys[indexOf(action)], &bindings.pads[indexOf(action)]}) {
        for (uint32_t bound : *list) {
            if (bound != 0 && (bound & modifierFlags & ~modifiers) == 0 &&
                isKeyHeld(window, plainKey(bound))) {
                return true;
            }
        }
    }
    return false;
}

// The Window's takeKey: the every-screen actions, on whichever screen runs.
bool takeEveryScreenKey(Window* window, uint32_t code)
{
    switch (bestAction(window, code, Action::Look, Action::Mute)) {
    case Action::Look:
        // The next paint draws at the scale of the look chosen.
        window->classicLook = !window->classicLook;
        return true;
    case Action::FullScreen: askFullscreenToggle(window); return true;
    case Action::Picture: keepPicture(window); return true;
    case Action::Mute: setSoundMuted(window, !window->soundMuted); return true;
    default: return false;
    }
}

void saveSettings() { writeSettingsFile(&playerControls.file, playerControls.settings); }

} // namespace

void startControls(Window* window, const char* settingsPath)
{
    playerControls = PlayerControls{};
    if (settingsPath != nullptr) {
        playerControls.file = readSettingsFile(settingsPath);
        playerControls.settings = playerControls.file.asRead;
    }
    const Settings& settings = playerControls.settings;
    window->classicLook = settings.classicLook;
    window->wideView = settings.wideView;
    window->soundVolume = static_cast<float>(settings.volume) / 100.0f;
    if (!settings.soundOn) {
        setSoundMuted(window, true);
    }
    window->takeKey = takeEveryScreenKey;
}

void stopControls(Window* window) { window->takeKey = nullptr; }

RaceControls readRaceControls(const Window* window)
{
    RaceControls controls;
    controls.accelerate = actionHeld(window, Action::Accelerate);
    controls.brake = actionHeld(window, Action::Brake);
    controls.steerLeft = actionHeld(window, Action::SteerLeft);
    controls.steerRight = actionHeld(window, Action::SteerRight);
    controls.giveUp = actionHeld(window, Action::GiveUp);
    return controls;
}

Action menuActionOf(const Window* window, uint32_t code)
{
    return bestAction(window, code, Action::MenuUp, Action::MenuGhosts);
}

uint32_t firstKeyOf(Action action)
{
    return playerControls.settings.bindings.keys[indexOf(action)][0];
}

void switchGhosts()
{
    playerControls.settings.ghosts = !playerControls.settings.ghosts;
    saveSettings();
}

void changeRaceControl(Action action, uint32_t code)
{
    bindRaceInput(&playerControls.settings.bindings, action, code);
    saveSettings();
}

void restoreRaceControls()
{
    restoreRaceDefaults(&playerControls.settings.bindings);
    saveSettings();
}
