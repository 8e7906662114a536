// Our own sine, cosine, exponential, power and arc cosine against the C library's (glibc here):
// on every argument the track generation and the frame timer can form, the results the race keeps
// are the library's bit for bit, so races recorded with the library's functions play the same;
// on the wide ranges the physics, the car's view and the sound pan use, the same in single
// precision; everywhere else within one unit in the last place, and nearly always equal.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <set>

#include "core/exact_maths.h"

namespace {

// Every angle the hills and bends of a track take the sine of: hills of 8 to 32 segments, point
// k of length; bends of 3c segments for c from 3 to 12, in both directions (the expressions of
// the track generation, in the same single-precision steps).
std::set<float> trackAngles()
{
    const float pi = 3.1415927f;
    const float halfPi = 1.5707964f;
    std::set<float> angles;
    for (uint32_t length = 8; length <= 32; ++length) {
        for (uint32_t k = 0; k <= length; ++k) {
            angles.insert(pi / static_cast<float>(length) * static_cast<float>(k) + halfPi);
        }
    }
    for (uint32_t c = 3; c <= 12; ++c) {
        const float third = halfPi / static_cast<float>(c);
        const float twoThirds = halfPi / static_cast<float>(2 * c);
        for (uint32_t p = 0; p <= 3 * c; ++p) {
            if (p < c)
                angles.insert(static_cast<float>(p) * third + halfPi);
            else
                angles.insert(static_cast<float>(p - c) * twoThirds);
            if (p < 2 * c)
                angles.insert(static_cast<float>(p) * twoThirds + halfPi);
            else
                angles.insert(static_cast<float>(p - 2 * c) * third);
        }
    }
    return angles;
}

// Every frame time the race can see: each frame's seconds are whole milliseconds / 1000 (0 to
// 100 ms), and the physics' step is the single-precision sum of eight of them, in order, times
// 0.125.
std::set<float> frameTimes()
{
    std::set<float> sums{0.0f};
    for (int frame = 0; frame < 8; ++frame) {
        std::set<float> next;
        for (float sum : sums) {
            for (uint32_t ms = 0; ms <= 100; ++ms) {
                next.insert(sum + static_cast<float>(ms) / 1000.0f);
            }
        }
        sums = std::move(next);
    }
    std::set<float> averages;
    for (float sum : sums) {
        averages.insert(sum * 0.125f);
    }
    return averages;
}

// Floats from `low` to `high` (same sign), every `stride`-th one.
template <typename Check>
void everyFloat(float low, float high, uint32_t stride, Check check)
{
    for (uint32_t bits = std::bit_cast<uint32_t>(low); bits <= std::bit_cast<uint32_t>(high);
         bits += stride) {
        check(std::bit_cast<float>(bits));
    }
}

// How many doubles apart a and b are (both finite, same sign).
uint64_t ulpsApart(double a, double b)
{
    const auto x = std::bit_cast<int64_t>(a);
    const auto y = std::bit_cast<int64_t>(b);
    return static_cast<uint64_t>(x > y ? x - y : y - x);
}

} // namespace

TEST(ExactMaths, TrackCurvesGetTheLibrarysSineOnEveryAngleTheGenerationForms)
{
    const std::set<float> angles = trackAngles();
    EXPECT_EQ(angles.size(), 457u);
    for (float angle : angles) {
        const auto x = static_cast<double>(angle);
        EXPECT_EQ(sineOf(x), std::sin(x)) << std::hexfloat << "sin " << x;
    }
}

TEST(ExactMaths, PhysicsFactorsAndHissFadeMatchTheLibraryForEveryFrameTime)
{
    const std::set<float> steps = frameTimes();
    EXPECT_GT(steps.size(), 4000u);
    for (float dt : steps) {
        for (float base : {0.8f, 0.95f, 0.15f}) {
            const auto ours = static_cast<float>(powerOf(base, dt));
            const auto library =
                static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(dt)));
            EXPECT_EQ(ours, library) << std::hexfloat << base << " ^ " << dt;
        }
    }
    // The oil's hiss fades with each frame's own seconds, once taken with the float function.
    for (uint32_t ms = 0; ms <= 100; ++ms) {
        const float seconds = -(static_cast<float>(ms) / 1000.0f) / 0.6f;
        EXPECT_EQ(static_cast<float>(exponentialOf(seconds)), std::exp(seconds)) << ms << " ms";
    }
}

TEST(ExactMaths, CarViewAngleAndSoundPanMatchTheLibraryInSinglePrecision)
{
    // The car's view turns the arc cosine of a float into a float angle; the pan gains take the
    // cosine and sine of (pan + 1) pi / 4 as floats. Every 2053rd float of the range.
    long checked = 0;
    const auto view = [&](float c) {
        const auto x = static_cast<double>(c);
        ASSERT_EQ(static_cast<float>(arcCosineOf(x)), static_cast<float>(std::acos(x)))
            << std::hexfloat << "acos " << x;
        const double angle = (x + 1.0) * 0.78539816339744831;
        ASSERT_EQ(static_cast<float>(cosineOf(angle)), static_cast<float>(std::cos(angle)))
            << std::hexfloat << "pan " << x;
        ASSERT_EQ(static_cast<float>(sineOf(angle)), static_cast<float>(std::sin(angle)))
            << std::hexfloat << "pan " << x;
        ++checked;
    };
    everyFloat(0.0f, 1.0f, 2053, view);
    everyFloat(-0.0f, -1.0f, 2053, view);
    EXPECT_GT(checked, 1'000'000);
}

TEST(ExactMaths, AgreesWithTheLibraryToTheLastBitNearlyEverywhereAndNeverByMoreThanOne)
{
    std::mt19937_64 random(26);
    const auto between = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    constexpr int draws = 200'000;
    long differing = 0;
    const auto compare = [&](double ours, double library, const char* what, double x) {
        ASSERT_LE(ulpsApart(ours, library), 1u) << std::hexfloat << what << " " << x;
        differing += ours != library ? 1 : 0;
    };
    for (int i = 0; i < draws; ++i) {
        const double angle = between(-13000.0, 13000.0); // the tones' phases reach some 12600
        compare(sineOf(angle), std::sin(angle), "sin", angle);
        compare(cosineOf(angle), std::cos(angle), "cos", angle);
        const double power = between(-740.0, 709.0);
        compare(exponentialOf(power), std::exp(power), "exp", power);
        // The ground's grip takes |normal|^0.05 of a float normal; the engine's harmonics h^tilt.
        const auto normal = static_cast<float>(between(1e-30, 1.0));
        compare(powerOf(normal, 0.05), std::pow(static_cast<double>(normal), 0.05), "pow", normal);
        const double base = between(1.0, 12.0);
        const double tilt = between(0.0, 3.0);
        compare(powerOf(base, tilt), std::pow(base, tilt), "pow", base);
        const double cosine = between(-1.0, 1.0);
        compare(arcCosineOf(cosine), std::acos(cosine), "acos", cosine);
    }
    // glibc rounds wrongly about once in a thousand calls; we round wrongly far more rarely.
    EXPECT_LT(differing, 6 * draws / 200) << "results differing from the library's";

    // The ends of each range.
    EXPECT_EQ(sineOf(0.0), 0.0);
    EXPECT_EQ(cosineOf(0.0), 1.0);
    EXPECT_EQ(exponentialOf(0.0), 1.0);
    EXPECT_EQ(exponentialOf(710.0), std::numeric_limits<double>::infinity());
    EXPECT_EQ(exponentialOf(-746.0), 0.0);
    EXPECT_EQ(powerOf(0.3, 0.0), 1.0);
    EXPECT_EQ(powerOf(1.0, 7.5), 1.0);
    EXPECT_EQ(powerOf(0.0, 0.05), 0.0);
    EXPECT_EQ(arcCosineOf(1.0), 0.0);
    EXPECT_EQ(arcCosineOf(0.0), std::acos(0.0));
    EXPECT_EQ(arcCosineOf(-1.0), std::acos(-1.0));
    EXPECT_EQ(arcCosineOf(0.5), std::acos(0.5));
    EXPECT_EQ(arcCosineOf(-0.5), std::acos(-0.5));
}
