// The race's physics for one frame.
#include "objects/world_update.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/exact_maths.h"
#include "race/race_state.h"
#include "objects/collisions.h"
#include "objects/game_object.h"
#include "objects/object_lists.h"
#include "track/track.h"

namespace {

// base^exponent (powerOf, exactly), remembered for the pairs asked for lately: the frame factors
// change only every eighth frame and the cars stand on the same few slopes frame after frame,
// while powerOf costs about a microsecond.
double rememberedPower(float base, double exponent)
{
    struct Entry {
        uint32_t base;
        uint64_t exponent;
        double value;
        bool used;
    };
    static std::array<Entry, 256> entries{};
    // The arguments' bits (copied: the browser build's C++ library has no std::bit_cast).
    uint32_t baseBits = 0;
    uint64_t exponentBits = 0;
    std::memcpy(&baseBits, &base, sizeof baseBits);
    std::memcpy(&exponentBits, &exponent, sizeof exponentBits);
    const auto mixed = static_cast<uint32_t>(baseBits ^ (baseBits >> 11) ^ (exponentBits >> 29) ^
                                             (exponentBits >> 45));
    Entry& entry = entries[(mixed ^ (mixed >> 8)) & 255];
    if (!entry.used || entry.base != baseBits || entry.exponent != exponentBits) {
        entry = {baseBits, exponentBits, powerOf(static_cast<double>(base), exponent), true};
    }
    return entry.value;
}

// base^dt, the power taken in double precision and kept in single.
float perFrameFactor(float base, float dt)
{
    return static_cast<float>(rememberedPower(base, static_cast<double>(dt)));
}

// The share of the vertical speed a slope of normal z `normalZ` keeps: |normalZ|^0.05.
double slopeFactor(float normalZ)
{
    return rememberedPower(std::fabs(normalZ), 0.05);
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
        static_cast<float>(static_cast<double>(object->velocity.y) * slopeFactor(normalZ));
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
