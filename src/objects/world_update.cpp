// The race's physics for one frame.
#include "objects/world_update.h"

#include <cmath>

#include "core/exact_maths.h"
#include "race/race_state.h"
#include "objects/collisions.h"
#include "objects/game_object.h"
#include "objects/object_lists.h"
#include "track/track.h"

namespace {

// base^dt, the power taken in double precision and kept in single.
float perFrameFactor(float base, float dt)
{
    return static_cast<float>(powerOf(static_cast<double>(base), static_cast<double>(dt)));
}

} // namespace

void settleOnGround(GameObject* object, float roadFriction, float offRoadFriction)
{
    Track* track = raceState.objectTrack;
    const float half = object->size.height * 0.5f;
    const float bottom = object->position.y - half;
    const float z = object->position.z;
    const float ground = heightAt(track, z);
    if (ground <= bottom)
        return; // in the air: no contact, no friction
    object->position.y = ground + half;
    // The slope of the segment it stood in before the move takes away the vertical speed:
    // all of it on level road, little of it on a steep one.
    const float normalZ = track->segments[object->segmentIndex]->normalZ;
    object->velocity.y =
        static_cast<float>(static_cast<double>(object->velocity.y) *
                           powerOf(std::fabs(static_cast<double>(normalZ)), 0.05));
    const float x = object->position.x;
    const bool offRoad = x < leftEdgeAt(track, z) || x > rightEdgeAt(track, z);
    const float friction = offRoad ? offRoadFriction : roadFriction;
    object->velocity.x *= friction;
    object->velocity.y *= friction;
    object->velocity.z *= friction;
}

void updateWorld()
{
    const float dt = raceState.averageFrameSeconds;
    const float dragFactor = perFrameFactor(0.8f, dt);
    const float roadFriction = perFrameFactor(0.95f, dt);
    const float offRoadFriction = perFrameFactor(0.15f, dt);
    const float gravityStep = dt * 40000.0f;

    raceState.updatingObjects = true;
    // The end is read again after every object, so objects appended during the walk are reached.
    for (uint32_t i = 0; i < raceState.movingObjectCount; ++i) {
        GameObject* object = raceState.movingObjects[i];
        switch (object->update(raceState.objectTrack, dt)) {
        case ObjectRequest::throwSnowPuff:
            addObject(newGameObject<Obj_SnowPuff>(object->position.x, object->position.y,
                                                  object->position.z));
            break;
        case ObjectRequest::removeSelf: removeObject(object); break;
        case ObjectRequest::none: break;
        }

        object->velocity.z += object->accel.z * dt;
        object->velocity.y += object->accel.y * dt;
        object->velocity.x += object->accel.x * dt;
        object->accel = {};
        if (object->hasGravity)
            object->velocity.y -= gravityStep;
        object->velocity.x *= dragFactor;
        object->velocity.y *= dragFactor;
        object->velocity.z *= dragFactor;

        if (object->velocity.x == 0.0f && object->velocity.y == 0.0f && object->velocity.z == 0.0f)
            continue; // at rest: not moved, not refiled
        unfileFromSegment(raceState.objectTrack->segments[object->segmentIndex], object);
        moveWithCollisions(object);
        settleOnGround(object, roadFriction, offRoadFriction);
        fileInSegment(object);
    }
    raceState.updatingObjects = false;

    for (uint32_t i = 0; i < raceState.pendingRemovalCount; ++i) {
        removeObject(raceState.pendingRemovals[i]);
        raceState.pendingRemovals[i] = nullptr;
    }
    raceState.pendingRemovalCount = 0;
}
