// The game's actions and their names.
#include "controls/actions.h"

namespace {

struct ActionNames {
    const char* name;
    const char* label;
};

// By action, in the order of Action.
constexpr ActionNames names[actionCount] = {
    {"accelerate", "ACCELERATE"},
    {"brake", "BRAKE"},
    {"left", "STEER LEFT"},
    {"right", "STEER RIGHT"},
    {"give_up", "QUIT RACE"},
    {"menu_up", "MENU UP"},
    {"menu_down", "MENU DOWN"},
    {"menu_left", "MENU LEFT"},
    {"menu_right", "MENU RIGHT"},
    {"menu_confirm", "CONFIRM"},
    {"menu_back", "BACK"},
    {"menu_keys", "KEYS"},
    {"menu_race_again", "RACE AGAIN"},
    {"menu_watch", "WATCH REPLAY"},
    {"menu_ghosts", "GHOSTS"},
    {"look", "LOOK"},
    {"full_screen", "FULL SCREEN"},
    {"picture", "PICTURE"},
    {"mute", "MUTE"},
};

} // namespace

const char* actionName(Action action) { return names[indexOf(action)].name; }

bool actionNamed(std::string_view name, Action* action)
{
    for (int i = 0; i < actionCount; ++i) {
        if (name == names[i].name) {
            *action = actionAt(i);
            return true;
        }
    }
    return false;
}

const char* actionLabel(Action action) { return names[indexOf(action)].label; }
