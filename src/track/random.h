#pragma once
// The race's one random source: a linear congruential generator on a 32-bit state.
// Seeded once per race from the race timer's clock, then drawn in a fixed order by track
// generation, field placement and, every frame, opponent driving. Nothing else draws from it.

#include <cstdint>

// Sets the 32-bit state. Called once per race before the track is generated (and by tools).
void seedRandom(uint32_t seed);
// The current 32-bit state (for tests and tools).
uint32_t randomState();
// Advances the state (state * 214013 + 2531011 modulo 2^32) and returns its bits 16..30:
// an integer from 0 to 32767.
int nextRandom();
// (nextRandom() AND 0xFFFF) * 1.5259022e-05 in single precision: 0 to 0.49999237.
float unitDraw();
