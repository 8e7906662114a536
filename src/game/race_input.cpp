// The player's controls during a race.
#include "game/race_input.h"

#include "race/race_state.h"
#include "field/field_placement.h"
#include "objects/game_object.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

bool pollRaceKeys()
{
    const Window* window = raceState.raceWindow;
    Obj_Car* car = raceState.cars[0];
    if (isKeyHeld(window, keyLeft)) {
        car->accel.x = car->velocity.z * -carSteering;
    }
    if (isKeyHeld(window, keyRight)) {
        car->accel.x = car->velocity.z * carSteering;
    }
    if (isKeyHeld(window, keyUp)) {
        car->accel.z = car->power;
    }
    if (isKeyHeld(window, keySpace)) {
        if (car->position.z >= gridStartZ) {
            car->accel.z = -6000.0f;
        } else {
            car->velocity.z = 0.0f;
        }
    }
    return isKeyHeld(window, keyEscape);
}
