// The random source against values worked out by hand.
#include <gtest/gtest.h>

#include "track/random.h"

TEST(RandomSource, FirstDrawsFromSeedZeroAndOne)
{
    // state 0 -> 2531011 = 0x00269EC3, bits 16..30 = 0x26 = 38.
    seedRandom(0);
    EXPECT_EQ(nextRandom(), 38);
    EXPECT_EQ(randomState(), 2531011u);
    // 2531011 * 214013 + 2531011 = 541671788154, modulo 2^32 = 505908858.
    EXPECT_EQ(randomState() * 214013u + 2531011u, 505908858u);
    EXPECT_EQ(nextRandom(), (505908858u >> 16) & 0x7FFF);
    seedRandom(1);
    // 1 * 214013 + 2531011 = 2745024 = 0x29E2C0 -> 0x29 = 41.
    EXPECT_EQ(nextRandom(), 41);
}

TEST(RandomSource, StateWrapsModulo32BitsAndResultStaysIn15Bits)
{
    seedRandom(0xFFFFFFFFu);
    // 0xFFFFFFFF * 214013 + 2531011 = -214013 + 2531011 = 2316998 (mod 2^32) = 0x235AC6 -> 0x23.
    EXPECT_EQ(nextRandom(), 0x23);
    for (int i = 0; i < 100000; ++i) {
        int draw = nextRandom();
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, 32767);
    }
}

TEST(RandomSource, UnitDrawScalesTheDrawBelowOneHalf)
{
    seedRandom(0);
    EXPECT_FLOAT_EQ(unitDraw(), 38.0f * 1.5259022e-05f);
    seedRandom(0);
    for (int i = 0; i < 100000; ++i) {
        float u = unitDraw();
        ASSERT_GE(u, 0.0f);
        ASSERT_LE(u, 0.49999237f);
    }
}
