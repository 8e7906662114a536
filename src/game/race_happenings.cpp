// The race loop's own race events.
#include "game/race_happenings.h"

#include "objects/game_object.h"
#include "race/race_events.h"
#include "race/race_state.h"
#include "track/track.h"

namespace {

// The step shown by the last frame: 3, 2, 1, 0 for "GO!", -1 for none.
int32_t shownStep = -1;
bool playerOffRoad = false;

} // namespace

void resetRaceHappenings()
{
    shownStep = -1;
    playerOffRoad = false;
}

void publishRaceHappenings()
{
    const RaceState& race = raceState;
    const Obj_Car& car = *race.cars[0];
    RaceEvent event;
    event.player = true;
    event.x = car.position.x;
    event.y = car.position.y;
    event.z = car.position.z;

    const int32_t step = race.countdownStep;
    if (step != shownStep && step >= 0) {
        event.kind = RaceEvent::Kind::Countdown;
        event.value = step;
        publishRaceEvent(event);
    }
    shownStep = step;

    // Off the road as the ground contact judges it: beside the road's edges.
    const float z = car.position.z;
    const bool offRoad =
        car.position.x < leftEdgeAt(race.track, z) || car.position.x > rightEdgeAt(race.track, z);
    if (offRoad != playerOffRoad) {
        event.kind = offRoad ? RaceEvent::Kind::LeftRoad : RaceEvent::Kind::RejoinedRoad;
        event.value = 0;
        publishRaceEvent(event);
    }
    playerOffRoad = offRoad;
}
