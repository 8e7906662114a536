// The sky behind the race (a winter afternoon over snowy mountains) and the one cloud that
// drifts across it four times.
#include <algorithm>
#include <cmath>
#include <vector>

#include "noise.h"
#include "pictures.h"

namespace
{

// The road's far end lies near row 241 when the track is level; hills move it up or down, so the
// mountains stand on a hazy forest line around row 236 and a dim valley continues below it.
constexpr float horizonY = 238;

Colour skyAt(float y)
{
    const float t = std::clamp(y / horizonY, 0.0f, 1.0f);
    const Colour zenith = hexColour(0x2C5496), middle = hexColour(0x6E94C8), haze = hexColour(0xC8D4E4);
    return t < 0.6f ? mix(zenith, middle, t / 0.6f) : mix(middle, haze, (t - 0.6f) / 0.4f);
}

// One mountain of a range: its peak's column, height above the horizon and half width at the foot.
struct Peak {
    float x, height, halfWidth;
};

// The sky's sides: the wide view shows this much more sky beyond each side of the picture.
constexpr float sideWidth = 240;

// A range of mountains across the picture, drawn as one layer: the highest mountain at a column
// owns it.
struct Range {
    std::vector<Peak> peaks;
    float haze; // how much of the horizon haze covers this range
    uint32_t seed;
    int count;       // mountains across the picture, evenly spread from x = -60 to 700
    float low, high; // their heights

    Range(uint64_t randomSeed, int mountains, float lowest, float highest, float hazeShare)
        : haze(hazeShare), seed(static_cast<uint32_t>(randomSeed)), count(mountains), low(lowest), high(highest)
    {
        ArtRandom random(randomSeed);
        for (int i = 0; i < count; ++i)
            peaks.push_back(peakAt(i, random));
    }

    // The i-th mountain of the even spread (i may lie beyond either end of it).
    Peak peakAt(int i, ArtRandom &random) const
    {
        const float x = -60 + 760 * (static_cast<float>(i) + random.range(0.2f, 0.8f)) / static_cast<float>(count);
        const float height = random.range(low, high);
        return {x, height, height * random.range(1.6f, 2.4f)};
    }

    // The same range carried on past both sides of the picture into the sky's sides, with
    // mountains of its own there. Each is kept lower at the picture's edge than the range
    // already is, so that at the edges the picture and its sides join without a seam.
    Range widened() const
    {
        Range wide = *this;
        ArtRandom random(seed + 1000);
        const float spacing = 760 / static_cast<float>(count);
        const int extra = static_cast<int>(std::ceil(sideWidth / spacing)) + 1;
        for (int n = 1; n <= extra; ++n) {
            for (const int i : {-n, count - 1 + n}) {
                Peak p = peakAt(i, random);
                const float edge = i < 0 ? 0.0f : 640.0f;
                float there = 0;
                owner(edge, there);
                // The mountain's height at the edge is height - distance / slope; keep it 8
                // below the range's own there.
                const float slope = p.halfWidth / p.height;
                const float highest = there - 8 + std::fabs(edge - p.x) / slope;
                if (p.height > highest) {
                    p.height = std::max(highest, 1.0f);
                    p.halfWidth = p.height * slope;
                }
                wide.peaks.push_back(p);
            }
        }
        return wide;
    }

    // The mountain owning column x and the range's height there (jagged by noise).
    const Peak *owner(float x, float &height) const
    {
        const Peak *best = nullptr;
        height = -1;
        for (const Peak &p : peaks) {
            const float h = p.height * (1 - std::fabs(x - p.x) / p.halfWidth);
            if (h > height) {
                height = h;
                best = &p;
            }
        }
        height += (fractalNoise(x * 0.09f, 0.5f, 3, seed) - 0.5f) * 7;
        return best;
    }

    // The colour at (x, y), or nothing above the range's outline.
    bool colourAt(float x, float y, Colour &out) const
    {
        float height = 0;
        const Peak *peak = owner(x, height);
        if (peak == nullptr || y < horizonY - height)
            return false;
        const float peakTop = horizonY - peak->height;
        const float below = y - peakTop;
        // The ridge that splits the sunny left face from the shaded right one wanders downwards.
        const float ridgeX = peak->x + (fractalNoise(y * 0.05f, peak->x, 2, seed + 1) - 0.5f) * below * 0.9f;
        const float texture = fractalNoise(x * 0.06f, y * 0.09f, 4, seed + 2);
        const bool sunny = x < ridgeX;
        const float light = std::clamp((sunny ? 0.85f : 0.3f) + (texture - 0.5f) * 0.5f, 0.0f, 1.0f);
        const float snowLine = peakTop + peak->height * 0.55f + (texture - 0.5f) * 30;
        const bool snow = y < snowLine || texture > 0.6f;
        const Colour colour = snow ? mix(hexColour(0x8EA2C8), hexColour(0xF2F6FC), light)
                                   : mix(hexColour(0x465678), hexColour(0x7888AA), light);
        const float fog = std::clamp((y - (horizonY - 100)) / 100, 0.0f, 1.0f);
        out = mix(colour, hexColour(0xB8C6DC), std::clamp(haze + fog * fog * 0.6f, 0.0f, 0.9f));
        return true;
    }
};

// Height of the nearer, darker hills.
float hillHeight(float x)
{
    return 8 + fractalNoise(x * 0.012f, 7.5f, 3, 303) * 26;
}

// The sky's colour at (x, y) with the two ranges of mountains `far` and `near`.
Colour skyColour(float x, float y, const Range &far, const Range &near)
{
    Colour c = skyAt(y);
    // A few thin high streaks of cirrus.
    const float streak = fractalNoise(x * 0.004f, y * 0.05f, 4, 310);
    if (y < 150)
        c = mix(c, hexColour(0xE6ECF6), std::clamp((streak - 0.6f) * 2.2f, 0.0f, 0.45f) * (1 - y / 150));
    far.colourAt(x, y, c);
    near.colourAt(x, y, c);
    const float hills = horizonY + 2 - hillHeight(x);
    if (y >= hills) {
        // Forested hills: dark blue-green with a fringe of tree tips.
        const float trees = valueNoise(x * 0.45f, 1.0f, 312);
        if (y >= hills + trees * 3 - 1)
            c = mix(hexColour(0x33485A), hexColour(0x22323F), std::clamp((y - hills) / 30, 0.0f, 1.0f));
    }
    if (y >= horizonY + 2) {
        // Below the horizon: a dim snowy valley, only seen beyond a crest.
        const float t = std::clamp((y - horizonY) / (480 - horizonY), 0.0f, 1.0f);
        const float drift = fractalNoise(x * 0.02f, y * 0.06f, 3, 313);
        c = mix(mix(hexColour(0x707A8C), hexColour(0x3A404C), t), hexColour(0x8C96A8), (drift - 0.5f) * 0.5f);
    }
    return c;
}

// The two ranges of mountains of the sky: the far, hazy one and the near one.
Range farRange()
{
    return Range(321, 9, 55, 110, 0.45f);
}
Range nearRange()
{
    return Range(322, 7, 30, 70, 0.12f);
}

Picture paintSky(int scale)
{
    Canvas canvas(640, 480, 2, scale);
    const Range far = farRange(), near = nearRange();
    canvas.fillAll([&far, &near](float x, float y) { return Paint{skyColour(x, y, far, near), 1}; });
    return canvas.resolve(false);
}

// What lies beyond the sky's left edge (x from -240 to 0) and then beyond its right edge (x from
// 640 to 880), side by side in one picture 480 wide: the wide view's margins up to 21:9.
Picture paintSkySides(int scale)
{
    Canvas canvas(static_cast<int>(2 * sideWidth), 480, 2, scale);
    const Range far = farRange().widened(), near = nearRange().widened();
    canvas.fillAll([&far, &near](float x, float y) {
        const float skyX = x < sideWidth ? x - sideWidth : x + 640 - sideWidth;
        return Paint{skyColour(skyX, y, far, near), 1};
    });
    return canvas.resolve(false);
}

Picture paintCloud(int scale)
{
    const int width = 176, height = 64;
    Canvas canvas(width, height, 4, scale);
    ArtRandom random(404);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float base = h - 10;
    auto shadeCloud = [=](float x, float y) {
        const float lower = std::clamp((y - 8) / (base - 8), 0.0f, 1.0f);
        const float grain = fractalNoise(x * 0.08f, y * 0.08f, 3, 405);
        return Paint{mix(hexColour(0xFFFFFF), hexColour(0xA8B6CC),
                         std::clamp(lower * lower * 0.9f + (grain - 0.5f) * 0.25f, 0.0f, 1.0f)),
                     1};
    };
    // A flat-bottomed heap of billows, tallest a little left of the middle.
    canvas.fillEllipse(w * 0.5f, base, w * 0.47f, 8, shadeCloud);
    for (int i = 0; i < 9; ++i) {
        const float t = (static_cast<float>(i) + 0.5f) / 9.0f;
        const float x = w * (0.1f + 0.8f * t) + random.range(-4.0f, 4.0f);
        const float r = (10 + 18 * std::sin(3.1415927f * std::pow(t, 0.8f))) * random.range(0.85f, 1.1f);
        canvas.fillEllipse(x, base - r * 0.8f, r * 1.15f, r, shadeCloud);
    }
    return canvas.resolve(true);
}

} // namespace

std::vector<NamedPicture> paintBackdrop(int scale)
{
    return {{"bgr/sky.bmp", paintSky(scale)},
            {"bgr/cloud.bmp", paintCloud(scale)},
            {"bgr/skySides.bmp", paintSkySides(scale)}};
}
