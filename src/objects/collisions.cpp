// The collision-tested move of one object.
#include "objects/collisions.h"

#include <cmath>

#include "race/race_events.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "track/track.h"

namespace {

constexpr int axisX = 0;
constexpr int axisY = 1;
constexpr int axisZ = 2;

// Copies a segment's bucket to the end of the neighbour list.
void appendBucket(const TrackSegment* segment, GameObject** neighbours, int* count)
{
    for (uint32_t i = 0; i < segment->objectCount; ++i)
        neighbours[(*count)++] = segment->objects[i];
}

// Whether the box's extent along `axis`, shifted by `offset`, has its low or its high face
// inside the other's extent (ends included). Not a general overlap test: a box reaching past the
// other on both sides does not meet it.
bool faceWithin(const GameObject& mover, const GameObject& other, int axis, float offset)
{
    const float centre = mover.position[axis] + offset;
    const float half = mover.size[axis] * 0.5f;
    const float low = centre - half;
    const float high = centre + half;
    const float otherLow = other.position[axis] - other.size[axis] * 0.5f;
    const float otherHigh = other.position[axis] + other.size[axis] * 0.5f;
    return (otherLow <= high && high <= otherHigh) || (otherLow <= low && low <= otherHigh);
}

// Whether the two boxes overlap in height at their current positions.
bool heightsOverlap(const GameObject& mover, const GameObject& other)
{
    const float moverHalf = mover.size.height * 0.5f;
    const float otherHalf = other.size.height * 0.5f;
    return other.position.y - otherHalf <= mover.position.y + moverHalf &&
           mover.position.y - moverHalf <= other.position.y + otherHalf;
}

// Whether the mover, on its way to `target`, crosses the face of `other` that faces it along
// `axis` (whose velocity is not 0). On success *facingFace is that face's coordinate.
bool crossesFace(const GameObject& mover, const Vec3& target, const GameObject& other, int axis,
                 float dt, float* facingFace)
{
    const float v = mover.velocity[axis];
    const float half = mover.size[axis] * 0.5f;
    const float otherHalf = other.size[axis] * 0.5f;
    float leading;
    float facing;
    if (v > 0.0f) {
        leading = mover.position[axis] + half;
        facing = other.position[axis] - otherHalf;
        if (!(leading <= facing && facing <= target[axis] + half))
            return false;
    } else {
        leading = mover.position[axis] - half;
        facing = other.position[axis] + otherHalf;
        if (!(target[axis] - half <= facing && facing <= leading))
            return false;
    }
    const float travel = v * dt;
    if (travel == 0.0f)
        return false; // no time passes: nothing is met
    // Where the mover stands on the other axes when its leading face reaches the facing face.
    const float fraction = (facing - leading) / travel;
    const float offsetX = mover.velocity.x * fraction * dt;
    const float offsetZ = mover.velocity.z * fraction * dt;
    bool meets;
    if (axis == axisX)
        meets = heightsOverlap(mover, other) && faceWithin(mover, other, axisZ, offsetZ);
    else if (axis == axisY)
        meets =
            faceWithin(mover, other, axisZ, offsetZ) && faceWithin(mover, other, axisX, offsetX);
    else
        meets = heightsOverlap(mover, other) && faceWithin(mover, other, axisX, offsetX);
    if (meets)
        *facingFace = facing;
    return meets;
}

// The mass exchange of a mover and the solid object it hit, then both contacts.
void respondToHit(GameObject& mover, GameObject& hit)
{
    const Vec3 moverVelocity = mover.velocity;
    const Vec3 hitVelocity = hit.velocity;
    const float moverShare = mover.mass / hit.mass;
    const float hitShare = hit.mass / mover.mass;
    for (int axis = 0; axis < 3; ++axis) {
        const float difference = moverVelocity[axis] - hitVelocity[axis];
        if (hit.dynamic)
            hit.velocity[axis] = moverShare * difference + hitVelocity[axis];
        mover.velocity[axis] = moverVelocity[axis] - hitShare * difference;
    }
    hit.onContact(mover);
    mover.onContact(hit);
}

// Tells the race's event stream that `mover` struck `hit` along `axis`, before the response
// changes their velocities.
void publishHit(const GameObject& mover, const GameObject& hit, int axis)
{
    RaceEvent event;
    event.kind = RaceEvent::Kind::Hit;
    event.player = isPlayerCar(&mover) || isPlayerCar(&hit);
    event.carHit = hit.dynamic;
    event.strength = std::fabs(mover.velocity[axis] - hit.velocity[axis]);
    event.x = mover.position.x;
    event.y = mover.position.y;
    event.z = mover.position.z;
    publishRaceEvent(event);
}

} // namespace

int gatherNeighbours(const GameObject* mover, float targetZ,
                     GameObject* (&neighbours)[neighbourCapacity])
{
    const Track* track = raceState.objectTrack;
    const int32_t s = mover->segmentIndex;
    const auto last = static_cast<int32_t>(track->segmentCount) - 1;
    int count = 0;
    appendBucket(track->segments[s], neighbours, &count);
    if (s > 0)
        appendBucket(track->segments[s - 1], neighbours, &count);
    if (s < last)
        appendBucket(track->segments[s + 1], neighbours, &count);

    // Only a move whose leading face gets beyond the adjacent segment looks further: from the
    // segment after the adjacent one to the one after the segment it reaches.
    const float halfLength = mover->size.length * 0.5f;
    const bool forward = targetZ >= mover->position.z;
    const int32_t reached = segmentIndexAt(forward ? targetZ + halfLength : targetZ - halfLength);
    const int64_t reach = forward ? int64_t{reached} - s : int64_t{s} - reached;
    if (reach >= 2) {
        const int32_t step = forward ? 1 : -1;
        for (int32_t far = 2; far <= reach + 1 && far < 2 + farSegmentLimit; ++far) {
            const int32_t index = s + step * far;
            if (index < 0 || index > last)
                break;
            appendBucket(track->segments[index], neighbours, &count);
        }
    }
    neighbours[count] = nullptr;
    return count;
}

void moveWithCollisions(GameObject* mover)
{
    const float dt = raceState.averageFrameSeconds;
    Vec3 target = mover->position;
    target.x += mover->velocity.x * dt;
    target.y += mover->velocity.y * dt;
    target.z += mover->velocity.z * dt;

    GameObject* neighbours[neighbourCapacity];
    const int count = gatherNeighbours(mover, target.z, neighbours);

    // Blocking sweeps: the nearest solid face on each axis pulls the target back to it.
    GameObject* hits[3] = {nullptr, nullptr, nullptr};
    for (int axis = 0; axis < 3; ++axis) {
        if (mover->velocity[axis] == 0.0f)
            continue;
        const float half = mover->size[axis] * 0.5f;
        for (int n = 0; n < count; ++n) {
            GameObject* other = neighbours[n];
            float facing;
            if (!other->solid || !crossesFace(*mover, target, *other, axis, dt, &facing))
                continue;
            target[axis] = mover->velocity[axis] > 0.0f ? facing - half : facing + half;
            hits[axis] = other;
        }
    }

    // Contact sweeps: objects that do not block are told of every face the mover crosses.
    for (int axis = 0; axis < 3; ++axis) {
        if (mover->velocity[axis] == 0.0f)
            continue;
        for (int n = 0; n < count; ++n) {
            GameObject* other = neighbours[n];
            float facing;
            if (other->solid || !crossesFace(*mover, target, *other, axis, dt, &facing))
                continue;
            other->onContact(*mover);
            mover->onContact(*other);
        }
    }

    for (int axis = 0; axis < 3; ++axis) {
        GameObject* hit = hits[axis];
        if (hit == nullptr)
            continue;
        // A mover already resting against the face (it got no nearer on this axis) is pressing
        // on it, not striking it again.
        if (target[axis] != mover->position[axis])
            publishHit(*mover, *hit, axis);
        respondToHit(*mover, *hit);
    }
    mover->position = target;
}
