// Track generation: hills and bends laid over a straight, level road, then cut into segments.
//
// Precision. Every setting, draw, angle, constant product and profile value is single
// precision. The easing curves of hills and bends take the sine of that single-precision angle
// in double precision, and the curve's products with the sine, its sum and its addition to the
// profile point stay in double until the point is stored back as a float after each addition.
// (One visible consequence: the angle pi/2 in single precision is a hair above the true pi/2, so
// the first point of every hill or bend moves by a few 10^-12 of its size instead of nothing.)
//
// Linear time. Every hill (and bend) adds its full size to every point after its end, so the
// straightforward way costs a pass over the rest of the profile per hill. Hills follow one another
// without gaps, so a point past hill h has received exactly the sizes g0, g1, ..., gh added one
// after another in single precision; a running float total accumulated in that same order holds
// that value for every such point at once. A point inside hill h holds that total for hills
// before h when the hill's curve is added; the point where hill h - 1 ends and hill h starts
// keeps hill h - 1's curve value and gets hill h's (nearly zero) first term on top. The points
// past the last hill are filled with the final total at the end. The results are bit-identical
// to adding each hill to every later point in turn.
#include "track/track_generation.h"

#include <cmath>
#include <memory>

#include "core/exact_maths.h"
#include "core/errors.h"
#include "track/random.h"

namespace {

constexpr uint32_t minSegments = 256;
constexpr uint32_t maxSegments = 65535;
// The level stretch kept at the start and (at least) at the end of the track, in segments.
constexpr uint32_t levelStretch = 64;

constexpr float pi = 3.1415927f;
constexpr float halfPi = 1.5707964f;

// The size of one hill or bend (two draws): almost exactly lo, the upper bound only widening a
// sliver above it, with an even chance of either sign.
float drawSize(float lo, float hi)
{
    float g = (static_cast<float>(nextRandom() & 0xFFFFFF) * 5.960465e-8f) * (hi - lo) + lo;
    if ((nextRandom() & 1) != 0) {
        g = -g;
    }
    return g;
}

// Height added at point k of a hill of `length` segments and size g: a half-cosine from 0 at
// k = 0 to g at k = length.
double hillCurve(float g, uint32_t length, uint32_t k)
{
    const float angle = pi / static_cast<float>(length) * static_cast<float>(k) + halfPi;
    return static_cast<double>(g * 0.5f) -
           static_cast<double>(g * 0.5f) * sineOf(static_cast<double>(angle));
}

// Sideways shift added at point p (0 to 3c) of a bend of 3c segments and size g. A bend to the
// left eases in over its first third and out over the rest; a bend to the right eases in over
// two thirds and out over the last third. The slope is continuous where the two pieces meet.
double bendCurve(float g, uint32_t c, uint32_t p)
{
    const double gd = static_cast<double>(g);
    if (g < 0.0f) {
        if (p < c) {
            const float step = halfPi / static_cast<float>(c);
            const float angle = static_cast<float>(p) * step + halfPi;
            return gd * (1.0 - sineOf(static_cast<double>(angle))) *
                   static_cast<double>(0.333333f);
        }
        const float step = halfPi / static_cast<float>(2 * c);
        const float angle = static_cast<float>(p - c) * step;
        return static_cast<double>(g * 0.333333f) +
               static_cast<double>(g * 0.666666f) * sineOf(static_cast<double>(angle));
    }
    if (p < 2 * c) {
        const float step = halfPi / static_cast<float>(2 * c);
        const float angle = static_cast<float>(p) * step + halfPi;
        return gd * (1.0 - sineOf(static_cast<double>(angle))) * static_cast<double>(0.666666f);
    }
    const float step = halfPi / static_cast<float>(c);
    const float angle = static_cast<float>(p - 2 * c) * step;
    return static_cast<double>(g * 0.666666f) +
           static_cast<double>(g * 0.333333f) * sineOf(static_cast<double>(angle));
}

// A profile point after one curve addition: the sum in double, stored back as a float.
float addCurve(float point, double curve)
{
    return static_cast<float>(static_cast<double>(point) + curve);
}

// Every allocation of the generation: running out of memory ends the program with the fatal
// report, for no race can run on a track that is only partly built.
constexpr const char* outOfMemory = "Out of memory while generating the track";

} // namespace

void addHills(std::span<float> height, uint32_t limit, float hillMin, float hillMax)
{
    const uint32_t n = static_cast<uint32_t>(height.size()) - 1;
    uint32_t index = levelStretch;
    float reached = height[index]; // every point past the hills laid so far
    while (index < limit) {
        const uint32_t length = static_cast<uint32_t>(nextRandom() % 25) + 8;
        const uint32_t end = index + length;
        if (end >= limit) {
            break;
        }
        const float g = drawSize(hillMin, hillMax);
        height[index] = addCurve(height[index], hillCurve(g, length, 0));
        for (uint32_t k = 1; k <= length; ++k) {
            height[index + k] = addCurve(reached, hillCurve(g, length, k));
        }
        reached += g;
        index = end;
    }
    for (uint32_t j = index + 1; j <= n; ++j) {
        height[j] = reached;
    }
}

void addBends(std::span<float> left, std::span<float> right, uint32_t limit, float turnMin,
              float turnMax)
{
    const uint32_t n = static_cast<uint32_t>(left.size()) - 1;
    uint32_t index = levelStretch;
    float reachedLeft = left[index]; // every point past the bends laid so far
    float reachedRight = right[index];
    while (index < limit) {
        const uint32_t c = static_cast<uint32_t>((nextRandom() % 28) + 9) / 3;
        const uint32_t end = index + 3 * c;
        if (end >= limit) {
            break;
        }
        const float g = drawSize(turnMin, turnMax);
        left[index] = addCurve(left[index], bendCurve(g, c, 0));
        right[index] = left[index] + roadWidth;
        for (uint32_t p = 1; p <= 3 * c; ++p) {
            left[index + p] = addCurve(reachedLeft, bendCurve(g, c, p));
            right[index + p] = left[index + p] + roadWidth;
        }
        reachedLeft += g;
        reachedRight += g;
        index = end;
    }
    for (uint32_t j = index + 1; j <= n; ++j) {
        left[j] = reachedLeft;
        right[j] = reachedRight;
    }
}

TrackSegment* buildSegment(uint32_t i, TrackPoint nearPoint, TrackPoint farPoint)
{
    TrackSegment* s = allocateOrFatal(__LINE__, outOfMemory, [] { return new TrackSegment{}; });
    s->farHeight = farPoint.height;
    s->farZ = static_cast<float>((i + 1) * wholeSegmentLength);
    s->nearHeight = nearPoint.height;
    s->nearZ = static_cast<float>(i * wholeSegmentLength);
    s->farLeft = farPoint.left;
    s->farRight = farPoint.right;
    s->nearLeft = nearPoint.left;
    s->nearRight = nearPoint.right;

    s->farLeftLine[0] = s->farLeft + 50.0f;
    s->farLeftLine[1] = s->farLeft + 100.0f;
    s->nearLeftLine[0] = s->nearLeft + 50.0f;
    s->nearLeftLine[1] = s->nearLeft + 100.0f;
    s->farRightLine[0] = s->farRight - 100.0f;
    s->farRightLine[1] = s->farRight - 50.0f;
    s->nearRightLine[0] = s->nearRight - 100.0f;
    s->nearRightLine[1] = s->nearRight - 50.0f;

    // The road centre at one and at two thirds of the segment.
    const float l1 = s->nearLeft + (s->farLeft - s->nearLeft) * 0.33333f;
    const float l2 = s->nearLeft + (s->farLeft - s->nearLeft) * 0.66666f;
    const float r1 = s->nearRight + (s->farRight - s->nearRight) * 0.33333f;
    const float r2 = s->nearRight + (s->farRight - s->nearRight) * 0.66666f;
    const float c1 = l1 + (r1 - l1) * 0.5f;
    const float c2 = l2 + (r2 - l2) * 0.5f;
    s->dashFar[0] = c2 - 50.0f;
    s->dashFar[1] = c2 + 50.0f;
    s->dashNear[0] = c1 - 50.0f;
    s->dashNear[1] = c1 + 50.0f;
    s->dashFarHeight = s->farHeight - (s->farHeight - s->nearHeight) * 0.33333f;
    s->dashNearHeight = s->nearHeight + (s->farHeight - s->nearHeight) * 0.33333f;
    s->dashFarZ = s->farZ - (s->farZ - s->nearZ) * 0.33333f;
    s->dashNearZ = s->nearZ + (s->farZ - s->nearZ) * 0.33333f;

    const float rise = s->farHeight - s->nearHeight;
    const float slopeLength = std::sqrt(segmentLength * segmentLength + rise * rise);
    s->normalY = segmentLength / slopeLength;
    s->normalZ = -rise / slopeLength;
    return s;
}

Track* generateTrack(uint32_t requestedCount, float hillMin, float hillMax, float turnMin,
                     float turnMax)
{
    uint32_t n = requestedCount;
    if (n < minSegments) {
        n = minSegments;
    }
    if (n > maxSegments) {
        n = maxSegments;
    }

    Track* track = allocateOrFatal(__LINE__, outOfMemory, [] { return new Track{}; });
    track->segmentCount = n;
    track->segments =
        allocateOrFatal(__LINE__, outOfMemory, [n] { return new TrackSegment* [n] {}; });

    const size_t points = static_cast<size_t>(n) + 1;
    const std::unique_ptr<float[]> profiles(
        allocateOrFatal(__LINE__, outOfMemory, [points] { return new float[3 * points]; }));
    const std::span<float> height(profiles.get(), points);
    const std::span<float> left(profiles.get() + points, points);
    const std::span<float> right(profiles.get() + 2 * points, points);
    for (size_t j = 0; j < points; ++j) {
        height[j] = 0.0f;
        left[j] = -2250.0f;
        right[j] = 2250.0f;
    }

    addHills(height, n - levelStretch, hillMin, hillMax);
    addBends(left, right, n - levelStretch, turnMin, turnMax);

    for (uint32_t i = 0; i < n; ++i) {
        track->segments[i] = buildSegment(i, {height[i], left[i], right[i]},
                                          {height[i + 1], left[i + 1], right[i + 1]});
    }
    return track;
}
