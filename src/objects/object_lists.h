#pragma once
// The race's object lists (in the race state) and the filing of objects in segment buckets.
// The lists own every game object: an object is destroyed only by removeObject or clearObjects.
// Objects with `dynamic` set live in movingObjects, all others in staticObjects.

#include <cstdint>

class GameObject;
struct Track;
struct TrackSegment;

// Empties both lists (every entry null, counts 0) and files future objects in `track`'s
// segments. The race set-up calls it once the track exists; the previous race's objects must
// already have been destroyed by clearObjects.
void emptyObjectLists(Track* track);

// Appends the object to its list, sets its listIndex and files it in its segment. The list takes
// ownership. A null object is ignored. When the list already holds maxListedObjects objects the
// object is not listed and is destroyed here, so nothing owns a lost object; returns whether it
// was listed (the pointer must not be used when it was not).
bool addObject(GameObject* object);

// Removes and destroys a listed object. While the world update walks the moving objects the
// removal is queued instead and carried out after the walk (the object stays alive until then).
// A null object, or one never listed, is left alone.
void removeObject(GameObject* object);

// Files the object in the bucket of the segment holding its z (clamped to the track, a z behind
// the start giving segment 0) and sets its segmentIndex. A full bucket (32) leaves the object out
// of the bucket, its segmentIndex still set.
void fileInSegment(GameObject* object);

// Takes the object out of the segment's bucket, the bucket's last entry filling the hole.
// Nothing changes for a null object or one that is not in the bucket.
void unfileFromSegment(TrackSegment* segment, GameObject* object);

// Destroys every object of staticObjects, then of movingObjects, in entry order, empties both
// lists and clears objectTrack. Leaves the segment buckets alone: the race teardown frees the
// track before it calls this.
void clearObjects();
