#include "noise.h"

#include <cmath>

uint64_t ArtRandom::next()
{
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float ArtRandom::unit()
{
    return static_cast<float>(next() >> 40) / static_cast<float>(1ull << 24);
}

float ArtRandom::range(float low, float high)
{
    return low + (high - low) * unit();
}

namespace
{

float lattice(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float smooth(float t)
{
    return t * t * (3 - 2 * t);
}

} // namespace

float valueNoise(float x, float y, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    const float top = lattice(ix, iy, seed) + (lattice(ix + 1, iy, seed) - lattice(ix, iy, seed)) * tx;
    const float bottom = lattice(ix, iy + 1, seed) + (lattice(ix + 1, iy + 1, seed) - lattice(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

float fractalNoise(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0, weight = 1, total = 0, frequency = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x * frequency, y * frequency, seed + static_cast<uint32_t>(i) * 101u) * weight;
        total += weight;
        weight *= 0.5f;
        frequency *= 2;
    }
    return sum / total;
}
