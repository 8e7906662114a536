// The player's controls during a race.
#include "game/race_input.h"

#include "controls/race_controls.h"
#include "field/field_placement.h"
#include "objects/game_object.h"
#include "race/race_state.h"

bool applyRaceControls(const RaceControls& controls)
{
    Obj_Car* car = raceState.cars[0];
    if (controls.steerLeft) {
        car->accel.x = car->velocity.z * -carSteering;
    }
    if (controls.steerRight) {
        car->accel.x = car->velocity.z * carSteering;
    }
    if (controls.accelerate) {
        car->accel.z = car->power;
    }
    if (controls.brake) {
        if (car->position.z >= gridStartZ) {
            car->accel.z = -6000.0f;
        } else {
            car->velocity.z = 0.0f;
        }
    }
    return controls.giveUp;
}
