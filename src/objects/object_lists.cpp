// The object lists of the race state and the segment buckets.
#include "objects/object_lists.h"

#include "race/race_state.h"
#include "objects/game_object.h"
#include "track/track.h"

namespace {

// The list an object belongs in, with its count.
GameObject** listOf(const GameObject* object, uint32_t** count)
{
    if (object->dynamic) {
        *count = &raceState.movingObjectCount;
        return raceState.movingObjects;
    }
    *count = &raceState.staticObjectCount;
    return raceState.staticObjects;
}

} // namespace

void emptyObjectLists(Track* track)
{
    for (GameObject*& entry : raceState.movingObjects)
        entry = nullptr;
    for (GameObject*& entry : raceState.staticObjects)
        entry = nullptr;
    raceState.staticObjectCount = 0;
    raceState.movingObjectCount = 0;
    raceState.objectTrack = track;
}

bool addObject(GameObject* object)
{
    if (object == nullptr)
        return false;
    uint32_t* count = nullptr;
    GameObject** list = listOf(object, &count);
    if (*count >= maxListedObjects) {
        // Nobody would own an object left out of the list: destroy it now.
        delete object;
        return false;
    }
    list[*count] = object;
    object->listIndex = static_cast<int32_t>(*count);
    ++*count;
    fileInSegment(object);
    return true;
}

void removeObject(GameObject* object)
{
    if (object == nullptr)
        return;
    if (raceState.updatingObjects) {
        if (raceState.pendingRemovalCount < maxListedObjects)
            raceState.pendingRemovals[raceState.pendingRemovalCount++] = object;
        return;
    }
    uint32_t* count = nullptr;
    GameObject** list = listOf(object, &count);
    if (object->listIndex < 0)
        return;
    const uint32_t last = *count - 1;
    list[object->listIndex] = list[last];
    list[last] = nullptr;
    if (list[object->listIndex] != nullptr)
        list[object->listIndex]->listIndex = object->listIndex;
    Track* track = raceState.objectTrack;
    if (track != nullptr && object->segmentIndex >= 0 &&
        static_cast<uint32_t>(object->segmentIndex) < track->segmentCount)
        unfileFromSegment(track->segments[object->segmentIndex], object);
    delete object;
    --*count;
}

void fileInSegment(GameObject* object)
{
    Track* track = raceState.objectTrack;
    const uint32_t segmentCount = track->segmentCount;
    // The distance-to-segment rule, clamped to the track. A negative index is tested first, so a
    // car that reversed past the start stands in segment 0, not in the run-out at the far end.
    int32_t index = segmentIndexAt(object->position.z);
    if (index < 0)
        index = 0;
    else if (static_cast<uint32_t>(index) >= segmentCount)
        index = static_cast<int32_t>(segmentCount - 1);
    object->segmentIndex = index;
    TrackSegment* segment = track->segments[index];
    if (segment->objectCount < segmentObjectCapacity)
        segment->objects[segment->objectCount++] = object;
}

void unfileFromSegment(TrackSegment* segment, GameObject* object)
{
    if (object == nullptr)
        return;
    for (uint32_t i = 0; i < segment->objectCount; ++i) {
        if (segment->objects[i] == object) {
            const uint32_t last = segment->objectCount - 1;
            segment->objects[i] = segment->objects[last];
            segment->objects[last] = nullptr;
            --segment->objectCount;
            return;
        }
    }
}

void clearObjects()
{
    for (uint32_t i = 0; i < raceState.staticObjectCount; ++i) {
        delete raceState.staticObjects[i];
        raceState.staticObjects[i] = nullptr;
    }
    for (uint32_t i = 0; i < raceState.movingObjectCount; ++i) {
        delete raceState.movingObjects[i];
        raceState.movingObjects[i] = nullptr;
    }
    raceState.staticObjectCount = 0;
    raceState.movingObjectCount = 0;
    raceState.objectTrack = nullptr;
}
