#pragma once
// The game's actions: everything a player does with a key or a controller input. The race holds
// its actions (read every race frame), the menu-like screens take theirs as presses, and the
// every-screen actions are carried out on whichever screen runs, before the screen sees the key.
// Which keys and inputs stand for which action is in bindings.h.

#include <cstdint>
#include <string_view>

enum class Action : uint8_t {
    // The race, in the order it reads them.
    Accelerate,
    Brake,
    SteerLeft,
    SteerRight,
    GiveUp,
    // The menu, controls, result and keys screens.
    MenuUp,
    MenuDown,
    MenuLeft,
    MenuRight,
    MenuConfirm,
    MenuBack,
    MenuKeys,      // the main menu opens the keys screen
    MenuRaceAgain, // the result screen starts the same track again
    MenuWatch,     // the result screen plays the race's replay
    MenuGhosts,    // the main menu turns the ghost car on or off
    // Every screen.
    Look,       // the sharp picture or the classic one
    FullScreen, // full screen on or off
    Picture,    // keep a picture of the screen
    Mute,       // sound off or on
    Count
};

constexpr int actionCount = static_cast<int>(Action::Count);
constexpr int raceActionCount = 5; // Accelerate to GiveUp

constexpr Action actionAt(int index) { return static_cast<Action>(index); }
constexpr int indexOf(Action action) { return static_cast<int>(action); }
constexpr bool isRaceAction(Action action) { return indexOf(action) < raceActionCount; }
constexpr bool isMenuAction(Action action)
{
    return action >= Action::MenuUp && action <= Action::MenuGhosts;
}
constexpr bool isEveryScreenAction(Action action)
{
    return action >= Action::Look && action < Action::Count;
}

// The action's name in the settings file: "accelerate", "brake", "left", "right", "give_up",
// "menu_up", "menu_down", "menu_left", "menu_right", "menu_confirm", "menu_back", "menu_keys",
// "menu_race_again", "menu_watch", "menu_ghosts", "look", "full_screen", "picture", "mute". A
// static string.
const char* actionName(Action action);
// The action whose settings-file name is `name` (exact, lower case); false when there is none.
bool actionNamed(std::string_view name, Action* action);
// What the screens call the action, in capitals: "ACCELERATE", "STEER LEFT", "QUIT RACE", ...
// A static string.
const char* actionLabel(Action action);
