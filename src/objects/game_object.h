#pragma once
// Everything that stands or moves on the track: cars, trees and rocks, finish signs, oil spills
// and the snow puffs a car throws up off the road. Every object is an axis-aligned box centred on
// its position, in world units (x sideways, y up, z along the track), velocities in units per
// second. The object lists of the race state own every object (object_lists.h); objects only
// point at their Sprites, which belong to the race graphics set.

#include <cstdint>
#include <utility>

#include "core/errors.h"

struct Sprite;
struct Track;

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    // Component by axis: 0 x, 1 y, 2 z.
    float& operator[](int axis) { return axis == 0 ? x : (axis == 1 ? y : z); }
    float operator[](int axis) const { return axis == 0 ? x : (axis == 1 ? y : z); }
};

struct BoxSize {
    float width = 0.0f;  // along x
    float height = 0.0f; // along y
    float length = 0.0f; // along z

    // Extent by axis: 0 width, 1 height, 2 length.
    float operator[](int axis) const { return axis == 0 ? width : (axis == 1 ? height : length); }
};

// What an object's update asks of the object lists once it returns; the world update carries it
// out at once, before it integrates the object's motion.
enum class ObjectRequest {
    none,
    throwSnowPuff, // add a new snow puff standing at the object's position
    removeSelf,    // remove the object (queued until the walk over the moving objects ends)
};

class GameObject {
public:
    GameObject();
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;
    virtual ~GameObject();

    // This object has met `other` (collisions call it in pairs: the object met first, then the
    // mover).
    virtual void onContact(GameObject& other) = 0;
    // The picture the object shows now (null or not loaded: it shows nothing). The road draws it
    // where the camera sees the object's box, for each object of a visible segment.
    virtual Sprite* currentSprite() const = 0;
    // The object's own behaviour for one frame of `dt` seconds, before its motion is integrated;
    // returns what it asks of the object lists.
    virtual ObjectRequest update(Track* track, float dt) = 0;

    Vec3 accel; // acceleration requested for this frame; cleared by the world update
    Vec3 velocity;
    BoxSize size;
    bool hasGravity = false;
    bool solid = false; // stops other movers; otherwise movers pass through and both get onContact
    float mass = 1.0f;
    Vec3 position;             // centre of the box
    bool dynamic = false;      // held in movingObjects and updated every frame
    int32_t listIndex = -1;    // entry in its object list, -1 until added
    int32_t segmentIndex = -1; // segment whose bucket holds it, -1 until filed
};

// Game objects alive now (constructed and not yet destroyed). Every race ends with 0.
int64_t liveGameObjectCount();

// A steered car's sideways acceleration per unit of its forward speed, for the player and the
// opponents alike.
inline constexpr float carSteering = 1.35f;

// Whether `object` is the player's car (entry 0 of the race's `cars`); false while no race has
// its cars. Used when publishing race events.
bool isPlayerCar(const GameObject* object);

class Obj_Car final : public GameObject {
public:
    // A car at `position` showing the 7 `views` ("_lll" ... plain ... "_rrr"), with engine `power`.
    Obj_Car(Vec3 position, Sprite** views, float power);

    void onContact(GameObject& other) override;
    Sprite* currentSprite() const override;
    // Asks for a snow puff after every 500 units driven off the road on the ground.
    ObjectRequest update(Track* track, float dt) override;

    Sprite** views;               // the car colour's row of 7 view Sprites
    float power;                  // forward acceleration of the throttle, units/s^2
    float offRoadDistance = 0.0f; // z distance driven off the road since the last puff
};

// Which of a car's 7 views shows a car moving with velocity (vx, vz): 3 is straight ahead,
// lower indices turn left, higher ones right. A velocity too small to give a direction (zero,
// or so small that its squared length is not a normal float) shows the straight view.
int carViewIndex(float vx, float vz);

class Obj_SnowPuff final : public GameObject {
public:
    // A puff standing at (x, y, z), showing the 6 snow-puff frames of the race graphics set.
    Obj_SnowPuff(float x, float y, float z);

    void onContact(GameObject& other) override;
    Sprite* currentSprite() const override;
    // Ages the puff; at a quarter second it asks for its own removal.
    ObjectRequest update(Track* track, float dt) override;

    float age = 0.0f; // seconds since the puff was made
    Sprite** frames;  // the 6 snow-puff frames
};

class Obj_OilSpill final : public GameObject {
public:
    Obj_OilSpill(Vec3 position, Sprite* sprite);

    // Raises the other object's sideways speed by 40%.
    void onContact(GameObject& other) override;
    Sprite* currentSprite() const override;
    ObjectRequest update(Track* track, float dt) override;

    Sprite* sprite;
};

class Obj_SolidObstacle final : public GameObject {
public:
    // A tree, rock or finish sign of the given box size.
    Obj_SolidObstacle(Vec3 position, BoxSize size, Sprite* sprite);

    void onContact(GameObject& other) override;
    Sprite* currentSprite() const override;
    ObjectRequest update(Track* track, float dt) override;

    Sprite* sprite;
};

// Allocates a game object; running out of memory gives the fatal report, so a race never runs on
// with missing objects. The object lists take ownership once the caller adds the object.
template <class T, class... Args>
T* newGameObject(Args&&... args)
{
    return allocateOrFatal(__LINE__, "Out of memory for a game object",
                           [&] { return new T(std::forward<Args>(args)...); });
}
