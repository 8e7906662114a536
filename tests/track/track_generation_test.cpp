// Track generation: the shape every race relies on (level start and run-out, constant width),
// the clamping of the length, the order of draws, and bit-for-bit agreement of the linear-time
// generation with the straightforward algorithm that adds every hill and bend to every later point.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

struct Bounds {
    float lo;
    float hi;
};
// The menu's three choices of hill steepness and of turn sharpness.
constexpr Bounds hillChoices[3] = {{3500.0f, 20000.0f}, {6000.0f, 32500.0f}, {8000.0f, 35000.0f}};
constexpr Bounds turnChoices[3] = {{4500.0f, 25000.0f}, {6000.0f, 32500.0f}, {8000.0f, 35000.0f}};

struct Profiles {
    std::vector<float> height;
    std::vector<float> left;
    std::vector<float> right;
};

// The track's points as generateTrack left them: point j is segment j's near end, point n the
// last segment's far end.
Profiles pointsOf(const Track* track)
{
    Profiles p;
    for (uint32_t j = 0; j < track->segmentCount; ++j) {
        p.height.push_back(track->segments[j]->nearHeight);
        p.left.push_back(track->segments[j]->nearLeft);
        p.right.push_back(track->segments[j]->nearRight);
    }
    const TrackSegment* last = track->segments[track->segmentCount - 1];
    p.height.push_back(last->farHeight);
    p.left.push_back(last->farLeft);
    p.right.push_back(last->farRight);
    return p;
}

// ---- The oracle: the straightforward algorithm, written step by step from the rules ----

float oracleSize(float lo, float hi)
{
    float g = (static_cast<float>(nextRandom() & 0xFFFFFF) * 5.960465e-8f) * (hi - lo) + lo;
    if (nextRandom() % 2 == 1) {
        g = -g;
    }
    return g;
}

double oracleSine(float angle) { return std::sin(static_cast<double>(angle)); }

// point += term, summed in double and stored as a float.
void addTerm(float& point, double term)
{
    point = static_cast<float>(static_cast<double>(point) + term);
}

Profiles straightforwardProfiles(uint32_t requested, Bounds hills, Bounds turns)
{
    const uint32_t n = requested < 256 ? 256 : (requested > 65535 ? 65535 : requested);
    Profiles p{std::vector<float>(n + 1, 0.0f), std::vector<float>(n + 1, -2250.0f),
               std::vector<float>(n + 1, 2250.0f)};
    const uint32_t limit = n - 64;

    uint32_t index = 64;
    while (index < limit) {
        const uint32_t L = static_cast<uint32_t>(nextRandom() % 25 + 8);
        const uint32_t end = index + L;
        if (end >= limit) {
            break;
        }
        const float g = oracleSize(hills.lo, hills.hi);
        for (uint32_t k = 0; k <= L; ++k) {
            const float half = g * 0.5f;
            addTerm(p.height[index + k],
                    static_cast<double>(half) -
                        static_cast<double>(half) *
                            oracleSine(3.1415927f / static_cast<float>(L) * static_cast<float>(k) +
                                       1.5707964f));
        }
        for (uint32_t j = end + 1; j <= n; ++j) {
            p.height[j] += g;
        }
        index = end;
    }

    index = 64;
    while (index < limit) {
        const uint32_t c = static_cast<uint32_t>((nextRandom() % 28 + 9) / 3);
        const uint32_t end = index + 3 * c;
        if (end >= limit) {
            break;
        }
        const float g = oracleSize(turns.lo, turns.hi);
        const double gd = static_cast<double>(g);
        if (g < 0.0f) {
            const float step1 = 1.5707964f / static_cast<float>(c);
            const float step2 = 1.5707964f / static_cast<float>(2 * c);
            for (uint32_t k = 0; k <= c - 1; ++k) {
                addTerm(p.left[index + k],
                        gd * (1.0 - oracleSine(static_cast<float>(k) * step1 + 1.5707964f)) *
                            static_cast<double>(0.333333f));
                p.right[index + k] = p.left[index + k] + 4500.0f;
            }
            for (uint32_t m = 0; m <= 2 * c; ++m) {
                addTerm(p.left[index + c + m], static_cast<double>(g * 0.333333f) +
                                                   static_cast<double>(g * 0.666666f) *
                                                       oracleSine(static_cast<float>(m) * step2));
                p.right[index + c + m] = p.left[index + c + m] + 4500.0f;
            }
        } else {
            const float step1 = 1.5707964f / static_cast<float>(2 * c);
            const float step2 = 1.5707964f / static_cast<float>(c);
            for (uint32_t k = 0; k <= 2 * c - 1; ++k) {
                addTerm(p.left[index + k],
                        gd * (1.0 - oracleSine(static_cast<float>(k) * step1 + 1.5707964f)) *
                            static_cast<double>(0.666666f));
                p.right[index + k] = p.left[index + k] + 4500.0f;
            }
            for (uint32_t m = 0; m <= c; ++m) {
                addTerm(p.left[index + 2 * c + m],
                        static_cast<double>(g * 0.666666f) +
                            static_cast<double>(g * 0.333333f) *
                                oracleSine(static_cast<float>(m) * step2));
                p.right[index + 2 * c + m] = p.left[index + 2 * c + m] + 4500.0f;
            }
        }
        for (uint32_t j = end + 1; j <= n; ++j) {
            p.left[j] += g;
            p.right[j] += g;
        }
        index = end;
    }
    return p;
}

// The first point where two profiles differ in any bit, or -1.
long firstDifference(const std::vector<float>& expected, const std::vector<float>& actual)
{
    if (expected.size() != actual.size()) {
        return 0;
    }
    for (size_t j = 0; j < expected.size(); ++j) {
        if (std::bit_cast<uint32_t>(expected[j]) != std::bit_cast<uint32_t>(actual[j])) {
            return static_cast<long>(j);
        }
    }
    return -1;
}

// Generates with both algorithms from the same seed and compares every point bit for bit and the
// random state afterwards (the same number of draws).
void expectSameAsStraightforward(uint32_t seed, uint32_t requested, Bounds hills, Bounds turns)
{
    seedRandom(seed);
    const Profiles expected = straightforwardProfiles(requested, hills, turns);
    const uint32_t stateAfterOracle = randomState();

    seedRandom(seed);
    Track* track = generateTrack(requested, hills.lo, hills.hi, turns.lo, turns.hi);
    const Profiles actual = pointsOf(track);
    freeTrack(&track);

    const std::string where = "seed " + std::to_string(seed) + ", " + std::to_string(requested) +
                              " segments, hills " + std::to_string(hills.lo) + ", turns " +
                              std::to_string(turns.lo);
    const long height = firstDifference(expected.height, actual.height);
    ASSERT_EQ(height, -1) << where << ": height " << expected.height[static_cast<size_t>(height)]
                          << " expected, " << actual.height[static_cast<size_t>(height)] << " made";
    const long left = firstDifference(expected.left, actual.left);
    ASSERT_EQ(left, -1) << where << ": left " << expected.left[static_cast<size_t>(left)]
                        << " expected, " << actual.left[static_cast<size_t>(left)] << " made";
    const long right = firstDifference(expected.right, actual.right);
    ASSERT_EQ(right, -1) << where << ": right " << expected.right[static_cast<size_t>(right)]
                         << " expected, " << actual.right[static_cast<size_t>(right)] << " made";
    ASSERT_EQ(randomState(), stateAfterOracle) << where << ": a different number of draws";
}

} // namespace

TEST(TrackGenerationOracle, MatchesTheStraightforwardAlgorithmForEveryMenuSetting)
{
    for (uint32_t length : {256u, 1024u, 2048u, 4096u}) {
        for (const Bounds& hills : hillChoices) {
            for (const Bounds& turns : turnChoices) {
                for (uint32_t seed = 0; seed < 40; ++seed) {
                    expectSameAsStraightforward(seed * 2654435761u + length, length, hills, turns);
                }
            }
        }
    }
}

TEST(TrackGenerationOracle, MatchesTheStraightforwardAlgorithmOnTheLongestTrackAndOddSettings)
{
    // Nine settings, one seed each, at the cap and above it.
    uint32_t seed = 99;
    for (const Bounds& hills : hillChoices) {
        for (const Bounds& turns : turnChoices) {
            expectSameAsStraightforward(seed, seed % 2 == 0 ? 65535u : 70000u, hills, turns);
            seed = seed * 69069u + 1u;
        }
    }
    // Equal bounds, reversed bounds, zero-sized hills and an odd length.
    expectSameAsStraightforward(5, 777, {6000.0f, 6000.0f}, {4500.0f, 4500.0f});
    expectSameAsStraightforward(6, 3000, {32500.0f, 6000.0f}, {35000.0f, 8000.0f});
    expectSameAsStraightforward(7, 1500, {0.0f, 0.0f}, {0.0f, 0.0f});
    expectSameAsStraightforward(8, 0, {0.25f, 1e6f}, {-300.0f, 12345.678f});
}

TEST(TrackGeneration, ClampsTheSegmentCount)
{
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0, 256},     {100, 256},     {255, 256},     {256, 256},
        {1024, 1024}, {65535, 65535}, {65536, 65535}, {0xFFFFFFFFu, 65535}};
    for (const auto& [requested, made] : cases) {
        seedRandom(requested);
        Track* track = generateTrack(requested, 6000.0f, 32500.0f, 6000.0f, 32500.0f);
        EXPECT_EQ(track->segmentCount, made) << requested;
        for (uint32_t i = 0; i < track->segmentCount; ++i) {
            ASSERT_NE(track->segments[i], nullptr);
            ASSERT_EQ(track->segments[i]->nearZ, static_cast<float>(i * 3000u));
            ASSERT_EQ(track->segments[i]->farZ, static_cast<float>((i + 1) * 3000u));
        }
        freeTrack(&track);
    }
}

TEST(TrackGeneration, StartAndRunOutAreStraightAndLevelAndTheRoadKeepsItsWidth)
{
    for (uint32_t seed = 0; seed < 30; ++seed) {
        for (uint32_t length : {256u, 1024u, 2048u, 4096u}) {
            const Bounds& hills = hillChoices[seed % 3];
            const Bounds& turns = turnChoices[(seed / 3) % 3];
            seedRandom(seed);
            Track* track = generateTrack(length, hills.lo, hills.hi, turns.lo, turns.hi);
            const Profiles p = pointsOf(track);
            for (uint32_t j = 0; j < 64; ++j) {
                ASSERT_EQ(p.height[j], 0.0f);
                ASSERT_EQ(p.left[j], -2250.0f);
                ASSERT_EQ(p.right[j], 2250.0f);
            }
            // Point 64 starts the first hill and bend, whose first term is rounding noise.
            EXPECT_NEAR(p.height[64], 0.0f, 1e-6f);
            EXPECT_EQ(p.left[64], -2250.0f);
            // The last 64 segments: every point moved only by the whole hills and bends.
            for (uint32_t j = length - 64; j <= length; ++j) {
                ASSERT_EQ(p.height[j], p.height[length]) << j;
                ASSERT_EQ(p.left[j], p.left[length]) << j;
                ASSERT_EQ(p.right[j], p.right[length]) << j;
            }
            // Past a bend the two edges are shifted separately, each addition rounding on its
            // own: allow one rounding of the widest offset per bend (at least 9 segments each).
            float widest = 0.0f;
            for (uint32_t j = 0; j <= length; ++j) {
                widest = std::fmax(widest, std::fmax(std::fabs(p.left[j]), std::fabs(p.right[j])));
            }
            const float tolerance =
                std::numeric_limits<float>::epsilon() * widest * static_cast<float>(length / 9 + 1);
            for (uint32_t j = 0; j <= length; ++j) {
                ASSERT_NEAR(p.right[j] - p.left[j], 4500.0f, tolerance) << j;
            }
            // The road is continuous: each segment's far end is the next one's near end.
            for (uint32_t i = 0; i + 1 < track->segmentCount; ++i) {
                ASSERT_EQ(track->segments[i]->farHeight, track->segments[i + 1]->nearHeight);
                ASSERT_EQ(track->segments[i]->farLeft, track->segments[i + 1]->nearLeft);
                ASSERT_EQ(track->segments[i]->farRight, track->segments[i + 1]->nearRight);
            }
            freeTrack(&track);
        }
    }
}

TEST(TrackGeneration, EqualBoundsGiveHillsAndBendsOfExactlyThatSize)
{
    // With hillMin = hillMax every hill's size is exactly ±hillMin, so the run-out height is a
    // whole multiple of it (sums of multiples of 1000 stay exact in single precision here); the
    // same for bends and turnMin.
    for (uint32_t seed = 0; seed < 50; ++seed) {
        seedRandom(seed);
        Track* track = generateTrack(2048, 7000.0f, 7000.0f, 5000.0f, 5000.0f);
        const Profiles p = pointsOf(track);
        freeTrack(&track);
        const float hills = p.height[2048] / 7000.0f;
        EXPECT_EQ(hills, std::round(hills)) << seed;
        const float bends = (p.left[2048] + 2250.0f) / 5000.0f;
        EXPECT_EQ(bends, std::round(bends)) << seed;
        EXPECT_EQ(p.right[2048] - p.left[2048], 4500.0f);
    }
}
