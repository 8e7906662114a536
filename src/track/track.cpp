// The track model: segment lookup, the interpolating queries and teardown.
#include "track/track.h"

#include <cmath>

namespace {

// 1/3000 rounded to single precision, slightly less than 1/3000.
constexpr float perSegmentLength = 0.00033333333f;

// The interpolating rule shared by heightAt, leftEdgeAt and rightEdgeAt, on the field pair
// (nearField, farField). Computed in single precision.
float interpolate(const Track* track, float z, float TrackSegment::*nearField,
                  float TrackSegment::*farField)
{
    if (z < 0.0f) {
        return track->segments[0]->*nearField;
    }
    // The end of the track is the segment count times 3000 in unsigned arithmetic, compared
    // as a float. Written as "not below" so that a NaN distance lands on the last segment too.
    const float trackEnd = static_cast<float>(track->segmentCount * wholeSegmentLength);
    if (!(z < trackEnd)) {
        return track->segments[track->segmentCount - 1]->*farField;
    }
    const int i = static_cast<int>(z * perSegmentLength);
    const float f = (z - static_cast<float>(i) * segmentLength) * perSegmentLength;
    const TrackSegment* segment = track->segments[i];
    return segment->*nearField * (1.0f - f) + segment->*farField * f;
}

} // namespace

int segmentIndexAt(float z)
{
    const float scaled = z * perSegmentLength;
    // 2^31 as a float; every float below it (and above -2^31 - 1) truncates into the int range.
    constexpr float intRange = 2147483648.0f;
    if (scaled >= intRange) {
        return 2147483647;
    }
    if (scaled < -intRange) {
        return -2147483647 - 1;
    }
    if (std::isnan(scaled)) {
        return 0;
    }
    return static_cast<int>(scaled);
}

float heightAt(const Track* track, float z)
{
    return interpolate(track, z, &TrackSegment::nearHeight, &TrackSegment::farHeight);
}

float leftEdgeAt(const Track* track, float z)
{
    return interpolate(track, z, &TrackSegment::nearLeft, &TrackSegment::farLeft);
}

float rightEdgeAt(const Track* track, float z)
{
    return interpolate(track, z, &TrackSegment::nearRight, &TrackSegment::farRight);
}

void freeTrack(Track** track)
{
    if (*track == nullptr) {
        return;
    }
    if ((*track)->segments != nullptr) {
        for (uint32_t i = 0; i < (*track)->segmentCount; ++i) {
            delete (*track)->segments[i];
            (*track)->segments[i] = nullptr;
        }
        delete[](*track)->segments;
        (*track)->segments = nullptr;
    }
    delete *track;
    *track = nullptr;
}

float finishLineZ(const Track* track)
{
    return static_cast<float>(
        (static_cast<int64_t>(track->segmentCount) - finishSegmentsBeforeEnd) * wholeSegmentLength);
}
