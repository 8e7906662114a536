// A race stopped at a chosen moment.
#include "game/race_moment.h"

#include "objects/game_object.h"
#include "objects/object_lists.h"
#include "race/race_state.h"
#include "track/track.h"

namespace {

float roadCentreAt(const Track* track, float z)
{
    return (leftEdgeAt(track, z) + rightEdgeAt(track, z)) * 0.5f;
}

} // namespace

void moveCarTo(uint32_t index, float z)
{
    Track* track = raceState.track;
    Obj_Car* car = raceState.cars[index];
    const float fromZ = car->position.z;
    const float sideways = car->position.x - roadCentreAt(track, fromZ);
    const float above = car->position.y - heightAt(track, fromZ);
    if (car->segmentIndex >= 0) {
        unfileFromSegment(track->segments[car->segmentIndex], car);
    }
    car->position = Vec3{roadCentreAt(track, z) + sideways, heightAt(track, z) + above, z};
    fileInSegment(car);
}
