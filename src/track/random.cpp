// The race's random source.
#include "track/random.h"

namespace {
uint32_t state = 0;
}

void seedRandom(uint32_t seed) { state = seed; }

uint32_t randomState() { return state; }

int nextRandom()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

float unitDraw() { return static_cast<float>(nextRandom() & 0xFFFF) * 1.5259022e-05f; }
