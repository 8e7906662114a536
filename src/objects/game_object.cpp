// The game-object family: cars, snow puffs, oil spills and solid obstacles.
#include "objects/game_object.h"

#include <cmath>

#include "core/exact_maths.h"
#include "race/race_events.h"
#include "race/race_graphics.h"
#include "race/race_state.h"
#include "track/track.h"

namespace {
int64_t liveObjects = 0;
}

GameObject::GameObject() { ++liveObjects; }

GameObject::~GameObject() { --liveObjects; }

int64_t liveGameObjectCount() { return liveObjects; }

bool isPlayerCar(const GameObject* object)
{
    return raceState.cars != nullptr && raceState.carCount > 0 && object == raceState.cars[0];
}

namespace {

// A race event about `object` at its position.
RaceEvent eventAt(RaceEvent::Kind kind, const GameObject& object)
{
    RaceEvent event;
    event.kind = kind;
    event.player = isPlayerCar(&object);
    event.x = object.position.x;
    event.y = object.position.y;
    event.z = object.position.z;
    return event;
}

} // namespace

Obj_Car::Obj_Car(Vec3 position_, Sprite** views_, float power_) : views(views_), power(power_)
{
    size = {600.0f, 400.0f, 256.0f};
    mass = 60.0f;
    hasGravity = true;
    solid = true;
    dynamic = true;
    position = position_;
}

void Obj_Car::onContact(GameObject&) {}

int carViewIndex(float vx, float vz)
{
    // The angle of travel from the +x axis, 90 degrees straight ahead.
    float angle = 90.0f;
    const float squaredLength = vx * vx + vz * vz;
    if (vx != 0.0f && std::isnormal(squaredLength) && squaredLength > 0.0f) {
        float cosine = vx / std::sqrt(squaredLength);
        if (std::isfinite(cosine)) {
            cosine = std::fmin(1.0f, std::fmax(-1.0f, cosine));
            angle = static_cast<float>(arcCosineOf(static_cast<double>(cosine))) * 57.295776f;
        }
    }
    const float fromAhead = angle - 90.0f;
    int index = vz >= 0.0f ? 3 - static_cast<int>(fromAhead * 0.25f)
                           : 3 - static_cast<int>(fromAhead * -0.25f);
    if (index < 0)
        index = 0;
    if (index > 6)
        index = 6;
    return index;
}

Sprite* Obj_Car::currentSprite() const { return views[carViewIndex(velocity.x, velocity.z)]; }

ObjectRequest Obj_Car::update(Track* track, float dt)
{
    const float z = position.z;
    const float bottom = position.y - size.height * 0.5f;
    if (heightAt(track, z) + 0.5f < bottom)
        return ObjectRequest::none; // in the air
    if (leftEdgeAt(track, z) < position.x && position.x < rightEdgeAt(track, z))
        return ObjectRequest::none; // on the road
    offRoadDistance += std::fabs(velocity.z * dt);
    if (offRoadDistance >= 500.0f) {
        offRoadDistance = 0.0f;
        publishRaceEvent(eventAt(RaceEvent::Kind::SnowPuff, *this));
        return ObjectRequest::throwSnowPuff;
    }
    return ObjectRequest::none;
}

Obj_SnowPuff::Obj_SnowPuff(float x, float y, float z) : frames(raceGraphics.snowPuffFrames)
{
    size = {700.0f, 500.0f, 1.0f};
    mass = 1.0f;
    dynamic = true;
    position = {x, y, z};
}

void Obj_SnowPuff::onContact(GameObject&) {}

Sprite* Obj_SnowPuff::currentSprite() const
{
    int frame = static_cast<int>(age * 24.0f);
    if (frame < 0)
        frame = 0;
    if (frame > 5)
        frame = 5;
    return frames[frame];
}

ObjectRequest Obj_SnowPuff::update(Track*, float dt)
{
    age += dt;
    return age >= 0.25f ? ObjectRequest::removeSelf : ObjectRequest::none;
}

Obj_OilSpill::Obj_OilSpill(Vec3 position_, Sprite* sprite_) : sprite(sprite_)
{
    size = {800.0f, 200.0f, 800.0f};
    mass = 1.0f;
    position = position_;
}

void Obj_OilSpill::onContact(GameObject& other)
{
    other.velocity.x *= 1.4f;
    publishRaceEvent(eventAt(RaceEvent::Kind::Oil, other));
}

Sprite* Obj_OilSpill::currentSprite() const { return sprite; }

ObjectRequest Obj_OilSpill::update(Track*, float) { return ObjectRequest::none; }

Obj_SolidObstacle::Obj_SolidObstacle(Vec3 position_, BoxSize size_, Sprite* sprite_)
    : sprite(sprite_)
{
    size = size_;
    mass = 1.0f;
    solid = true;
    position = position_;
}

void Obj_SolidObstacle::onContact(GameObject&) {}

Sprite* Obj_SolidObstacle::currentSprite() const { return sprite; }

ObjectRequest Obj_SolidObstacle::update(Track*, float) { return ObjectRequest::none; }
