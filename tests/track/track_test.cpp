// The track model: segment lookup, the interpolating queries at and between segment ends and
// outside the track, and the fields of a built segment.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

// A track from a fixed seed with the menu's NORMAL settings; freed by the fixture.
class TrackQueries : public ::testing::Test {
protected:
    void SetUp() override
    {
        seedRandom(7);
        track = generateTrack(2048, 6000.0f, 32500.0f, 6000.0f, 32500.0f);
    }
    void TearDown() override { freeTrack(&track); }

    const TrackSegment& segment(uint32_t i) const { return *track->segments[i]; }
    const TrackSegment& lastSegment() const { return segment(track->segmentCount - 1); }

    Track* track = nullptr;
};

// Float distance just below the far end of the track.
float justBelow(float z) { return std::nextafter(z, 0.0f); }

} // namespace

TEST(SegmentIndex, TruncatesTowardZeroAndSaturatesInsteadOfOverflowing)
{
    const std::pair<float, int> cases[] = {
        {0.0f, 0},
        {2999.0f, 0},
        {4500.0f, 1},
        {3000.0f * 2047.0f + 1500.0f, 2047},
        {-1.0f, 0},
        {-4500.0f, -1}, // just before the start is still segment 0
        {1e30f, std::numeric_limits<int>::max()},
        {-1e30f, std::numeric_limits<int>::min()},
        {std::numeric_limits<float>::infinity(), std::numeric_limits<int>::max()},
        {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const auto& [z, index] : cases)
        EXPECT_EQ(segmentIndexAt(z), index) << z;
    // Exact multiples land in their own or the previous segment, never further.
    for (int i = 1; i <= 65535; ++i) {
        const int index = segmentIndexAt(static_cast<float>(i) * 3000.0f);
        ASSERT_TRUE(index == i || index == i - 1) << "z = " << i << " * 3000 gave " << index;
    }
}

TEST_F(TrackQueries, OutsideTheTrackGiveTheEndValues)
{
    const TrackSegment& first = segment(0);
    const TrackSegment& last = lastSegment();
    const float end = static_cast<float>(track->segmentCount) * 3000.0f;
    for (float z : {-1.0f, -1e9f, -std::numeric_limits<float>::infinity()}) {
        EXPECT_EQ(heightAt(track, z), first.nearHeight);
        EXPECT_EQ(leftEdgeAt(track, z), first.nearLeft);
        EXPECT_EQ(rightEdgeAt(track, z), first.nearRight);
    }
    for (float z : {end, end + 1.0f, 1e30f, std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(heightAt(track, z), last.farHeight) << z;
        EXPECT_EQ(leftEdgeAt(track, z), last.farLeft) << z;
        EXPECT_EQ(rightEdgeAt(track, z), last.farRight) << z;
    }
}

TEST_F(TrackQueries, InterpolateBetweenTheEndsOfTheSegment)
{
    // The start is level and straight: the mean of segment 0's ends is exact.
    EXPECT_EQ(leftEdgeAt(track, 1500.0f), (segment(0).nearLeft + segment(0).farLeft) * 0.5f);
    EXPECT_EQ(heightAt(track, 1500.0f), 0.0f);
    for (uint32_t i = 64; i < track->segmentCount; i += 37) {
        const TrackSegment& s = segment(i);
        const float nearZ = static_cast<float>(i) * 3000.0f;
        const float tolerance = 1e-5f * (std::fabs(s.nearLeft) + std::fabs(s.farLeft) +
                                         std::fabs(s.nearHeight) + std::fabs(s.farHeight) + 1.0f);
        // At the near end, a third of the way and half way along.
        EXPECT_NEAR(heightAt(track, nearZ), s.nearHeight, tolerance) << i;
        EXPECT_NEAR(leftEdgeAt(track, nearZ + 1000.0f),
                    s.nearLeft + (s.farLeft - s.nearLeft) / 3.0f, tolerance)
            << i;
        EXPECT_NEAR(heightAt(track, nearZ + 1500.0f), (s.nearHeight + s.farHeight) * 0.5f, tolerance)
            << i;
        EXPECT_NEAR(rightEdgeAt(track, nearZ + 1500.0f), (s.nearRight + s.farRight) * 0.5f,
                    tolerance)
            << i;
    }
}

TEST(TrackQueriesAtTheEnd, TheLastDistanceBeforeTheEndStaysOnTheTrack)
{
    // Float rounding must never pick a segment past the last one (the sanitizers would notice).
    for (uint32_t count : {256u, 1000u, 1024u, 2048u, 4096u, 65535u}) {
        seedRandom(count);
        Track* track = generateTrack(count, 3500.0f, 20000.0f, 4500.0f, 25000.0f);
        const TrackSegment& last = *track->segments[count - 1];
        float z = justBelow(static_cast<float>(count * 3000u));
        for (int step = 0; step < 16; ++step, z = justBelow(z)) {
            EXPECT_NEAR(heightAt(track, z), last.farHeight, 1.0f) << count;
        }
        freeTrack(&track);
    }
}

TEST(TrackSegmentFields, LinesAndDashAreBuiltFromTheTwoEndPoints)
{
    TrackSegment* s = buildSegment(2, {0.0f, -2250.0f, 2250.0f}, {300.0f, -1350.0f, 3150.0f});
    EXPECT_EQ(s->nearZ, 6000.0f);
    EXPECT_EQ(s->farZ, 9000.0f);
    EXPECT_EQ(s->farLeftLine[0], -1300.0f);
    EXPECT_EQ(s->farLeftLine[1], -1250.0f);
    EXPECT_EQ(s->nearRightLine[0], 2150.0f);
    EXPECT_EQ(s->nearRightLine[1], 2200.0f);
    // Centre at one third: -2250 + 900 * 0.33333 = -1950.003 on the left, 2549.997 on the right,
    // so 299.997; at two thirds 599.994. The dash is 100 long around them.
    EXPECT_FLOAT_EQ(s->dashNear[0], 299.997f - 50.0f);
    EXPECT_FLOAT_EQ(s->dashFar[1], 599.994f + 50.0f);
    EXPECT_FLOAT_EQ(s->dashNearHeight, 99.999f); // 300 * 0.33333
    EXPECT_FLOAT_EQ(s->dashFarHeight, 200.001f);
    EXPECT_FLOAT_EQ(s->dashNearZ, 6999.99f); // 3000 * 0.33333 = 999.99
    EXPECT_FLOAT_EQ(s->dashFarZ, 8000.01f);
    delete s;
}

TEST(TrackSegmentFields, NormalsPointUpAndBackOnARise)
{
    TrackSegment* level = buildSegment(0, {500.0f, 0.0f, 4500.0f}, {500.0f, 0.0f, 4500.0f});
    EXPECT_EQ(level->normalY, 1.0f);
    EXPECT_EQ(level->normalZ, 0.0f);
    TrackSegment* rise = buildSegment(0, {0.0f, 0.0f, 4500.0f}, {3000.0f, 0.0f, 4500.0f});
    EXPECT_FLOAT_EQ(rise->normalY, 1.0f / std::sqrt(2.0f));
    EXPECT_FLOAT_EQ(rise->normalZ, -1.0f / std::sqrt(2.0f));
    delete level;
    delete rise;
}
