#pragma once
// Generation of a race's track from the menu's length, hill and turn settings: a chain of
// smooth hills and smooth sideways bends laid over a straight, level road, with a straight and
// level stretch of at least 64 segments at each end.

#include <cstdint>
#include <span>

#include "track/track.h"

// One segment end point of the working profiles: road height and edges at z = j * 3000.
struct TrackPoint {
    float height;
    float left;
    float right;
};

// Builds a fresh track; called once by the race set-up after seeding the random source and
// before any object is placed (and by the vantor-track tool). The request is clamped to 256 ..
// 65535 segments. Draws from the random source in a fixed order: all hills, then all bends.
// The caller owns the returned Track and frees it with freeTrack. Running out of memory ends the
// program with the fatal report; a track is never returned half built.
Track* generateTrack(uint32_t requestedCount, float hillMin, float hillMax, float turnMin,
                     float turnMax);

// The inner steps of generateTrack, in its order; exposed for the tests.
//
// Lays hills over the height profile (segmentCount + 1 points, level from point 64 on) from point
// 64 until a hill would reach `limit`; each hill changes the height by about ±hillMin and every
// point after it by the same amount. Time linear in the profile's length.
void addHills(std::span<float> height, uint32_t limit, float hillMin, float hillMax);
// Lays bends over the left and right edge profiles (same length, each level from point 64 on)
// the same way; each bend shifts the road sideways by about ±turnMin, keeping it 4500 wide.
void addBends(std::span<float> left, std::span<float> right, uint32_t limit, float turnMin,
              float turnMax);
// A new segment i between two profile points, with its lines, centre dash, normal and an empty
// object bucket. The Track that stores it owns it.
TrackSegment* buildSegment(uint32_t i, TrackPoint nearPoint, TrackPoint farPoint);
