#pragma once
// The race track: a straight run of equal segments laid along the world's z axis, each knowing
// the road's height and edges at both ends, the painted lines, the centre dash, its surface
// normal and a bucket of the objects standing on it.
// Built once per race by generateTrack (track_generation.h), read every frame by the opponents'
// driving, the car physics and the road renderer, freed at race teardown by freeTrack.
// World units: x sideways (right positive), y height (up positive), z along the track.

#include <cstdint>

class GameObject;

// Length of one segment along z, in world units: as a whole number for the exact integer
// arithmetic of segment ends, and as a float.
inline constexpr int32_t wholeSegmentLength = 3000;
inline constexpr float segmentLength = static_cast<float>(wholeSegmentLength);
// The finish line lies this many segments before the end of the track.
inline constexpr uint32_t finishSegmentsBeforeEnd = 80;
// Width of the road between its left and right edge at every segment end, in world units.
inline constexpr float roadWidth = 4500.0f;
// Objects a segment's bucket holds at most.
inline constexpr uint32_t segmentObjectCapacity = 32;

// Segment i covers z from i * 3000 (near end) to (i + 1) * 3000 (far end). Owned by its Track.
struct TrackSegment {
    float farHeight;
    float farZ;
    float nearHeight;
    float nearZ;
    float farLeft;
    float farRight;
    float nearLeft;
    float nearRight;
    float farLeftLine[2];   // farLeft + 50, farLeft + 100
    float nearLeftLine[2];  // nearLeft + 50, nearLeft + 100
    float farRightLine[2];  // farRight - 100, farRight - 50
    float nearRightLine[2]; // nearRight - 100, nearRight - 50
    float dashFar[2];       // centre dash at two thirds of the segment: centre - 50, centre + 50
    float dashNear[2];      // centre dash at one third of the segment
    float dashFarHeight;    // road height at two thirds
    float dashNearHeight;   // road height at one third
    float dashFarZ;         // z at two thirds
    float dashNearZ;        // z at one third
    float normalY;          // unit upward normal of the surface: y component, never negative
    float normalZ;          // z component; negative on an uphill segment
    // The filed objects without gaps, then nulls; the slot after the 32nd is always null, so
    // readers may walk the bucket until the first null. Non-owning.
    GameObject* objects[segmentObjectCapacity + 1];
    uint32_t objectCount; // pointers in use in `objects`, 0 to 32
};

// One per race, on the heap; owned by the race (its `track` field) and freed with freeTrack.
struct Track {
    uint32_t segmentCount;   // 256 to 65535
    TrackSegment** segments; // segment i at index i; owned
};

// The z of the finish line: (segmentCount - 80) x 3000, where the finish signs stand and where a
// race ends for the car that passes it.
float finishLineZ(const Track* track);

// The segment index of distance z: trunc(z * 0.00033333333), the factor being 1/3000 in single
// precision (a hair below it). Not clamped to the track: callers clamp where they need to.
// Distances beyond the int range (and NaN, which maps to 0) saturate instead of overflowing.
int segmentIndexAt(float z);

// The road's height, left edge and right edge at distance z, interpolated linearly between the
// ends of z's segment. Any z is accepted: before the start the first segment's near value is
// returned, from segmentCount * 3000 on (and for NaN) the last segment's far value.
// Constant time, no allocation; called many times per frame by physics, driving and rendering.
float heightAt(const Track* track, float z);
float leftEdgeAt(const Track* track, float z);
float rightEdgeAt(const Track* track, float z);

// Race teardown: frees every segment, then the pointer array, then the Track, and sets *track
// to null. A null *track is allowed and does nothing. The objects in the buckets are not owned
// and are left alone (the object lists free them).
void freeTrack(Track** track);
