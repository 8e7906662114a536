// The opponents' driving.
#include "field/opponent_driving.h"

#include "race/race_state.h"
#include "objects/game_object.h"
#include "track/random.h"
#include "track/track.h"

void followRoad(OpponentDriver* driver)
{
    const Track* track = driver->track;
    const Obj_Car* car = driver->car;
    const float carZ = car->position.z;
    for (int i = 1; i <= 6; ++i) {
        const float z = static_cast<float>((i - 1) * wholeSegmentLength) + carZ;
        const float centre = (leftEdgeAt(track, z) + rightEdgeAt(track, z)) * 0.5f;
        const float share = 1.0f / static_cast<float>(i);
        driver->targetX = centre * share + (1.0f - share) * driver->targetX;
    }
    const float half = car->size.width * 0.5f;
    const float right = rightEdgeAt(track, carZ);
    if (driver->targetX + half > right)
        driver->targetX = right - half;
    const float left = leftEdgeAt(track, carZ);
    if (left > driver->targetX - half)
        driver->targetX = left + half;
}

void steerAround(OpponentDriver* driver, GameObject* other)
{
    const Obj_Car* car = driver->car;
    if (other == car)
        return;
    const Track* track = driver->track;
    const float otherZ = other->position.z;
    const float centre = (leftEdgeAt(track, otherZ) + rightEdgeAt(track, otherZ)) * 0.5f;
    // Pass on the side of the object that faces the road centre.
    const float clearance = other->size.width * 0.5f + car->size.width * 0.5f + 256.0f;
    const float passingX =
        centre > other->position.x ? other->position.x + clearance : other->position.x - clearance;
    const float dx = other->position.x - car->position.x;
    const float dz = otherZ - car->position.z;
    const float weight = 1.0f / ((dx * dx + dz * dz) * 0.000001f + 1.0f);
    driver->targetX = (1.0f - weight) * driver->targetX + weight * passingX;
}

void driveOpponent(OpponentDriver* driver)
{
    Obj_Car* car = driver->car;
    const Track* track = driver->track;
    const float dt = raceState.averageFrameSeconds;

    followRoad(driver);
    driver->targetX += driver->wander;
    if (dt * 0.25f > unitDraw()) {
        driver->wander = unitDraw() * 1250.0f;
        if (nextRandom() & 1)
            driver->wander = -driver->wander;
    }

    // Every object of the car's segment and the two ahead pulls the target aside.
    for (int32_t s = car->segmentIndex; s <= car->segmentIndex + 2; ++s) {
        if (s < 0 || static_cast<uint32_t>(s) >= track->segmentCount)
            continue;
        GameObject* const* bucket = track->segments[s]->objects;
        for (int i = 0; bucket[i] != nullptr; ++i)
            steerAround(driver, bucket[i]);
    }

    // Steer only when the sideways error outgrows the drift already under way: the drift still to
    // come is predicted by damping the sideways speed with air drag and ground friction.
    const float x = car->position.x;
    const float z = car->position.z;
    const float vx = car->velocity.x;
    const float vz = car->velocity.z;
    const float q = leftEdgeAt(track, z) <= x && x <= rightEdgeAt(track, z) ? 0.95f : 0.15f;
    float damping = 0.0f;
    float term = 1.0f;
    for (int k = 0; k < 16; ++k) {
        damping += term;
        term = term * q * 0.8f;
    }
    const float drift = 0.02f * (vx * damping);
    const float error = driver->targetX - x - vx * 0.14285715f;
    if (error > 0.0f && 3.0f * error > drift)
        car->accel.x = vz * carSteering;
    else if (error <= 0.0f && 3.0f * error < drift)
        car->accel.x = vz * -carSteering;
    car->accel.z = car->power;
}
