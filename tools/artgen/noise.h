#pragma once
// Seeded randomness and smooth noise for artgen's painters. Independent of the game's own random
// source, so that drawing pictures never disturbs a race and the pictures never change with it.

#include <cstdint>

// A small generator (splitmix64): the same seed always gives the same sequence.
class ArtRandom
{
public:
    explicit ArtRandom(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // A float in [0, 1).
    float unit();
    // A float in [low, high).
    float range(float low, float high);

private:
    uint64_t state_;
};

// Value noise in [0, 1] at (x, y), smooth between the integer lattice points; `seed` picks the
// pattern. fractalNoise sums `octaves` layers, each of double frequency and half weight.
float valueNoise(float x, float y, uint32_t seed);
float fractalNoise(float x, float y, int octaves, uint32_t seed);
