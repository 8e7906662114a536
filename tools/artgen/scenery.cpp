// What stands beside and on the road: three trees, a rock, the finish sign, the oil spill, and
// the snow puffs a car throws up off the road.
//
// Scenery takes its world size from its picture: 16 world units per pixel (32 for the finish
// sign), next to a 4500-wide road and 600 x 400 cars. The projection shows a world height three
// quarters as tall as the same world width, so these pictures are painted 4/3 taller than they
// should look; `displayY` converts a height as it should look into picture rows.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "pictures.h"

namespace
{

constexpr float stretch = 4.0f / 3.0f;

float displayY(float y)
{
    return y * stretch;
}

const Colour snowLight = hexColour(0xF4F8FF);
const Colour snowShade = hexColour(0xA9B8D6);

// One tier of a conifer: a green skirt from its apex down to drooping branch tips, with snow
// lying along the branches above the tips. Light comes from the upper left.
void coniferTier(Canvas &canvas, ArtRandom &random, float cx, float apexY, float baseY, float halfWidth,
                 float snowDepth, Colour needles, uint32_t seed)
{
    std::vector<Point> skirt = {{cx, apexY}};
    std::vector<Point> tips;
    const int count = std::max(4, static_cast<int>(halfWidth / 3.5f));
    for (int i = 0; i <= count; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(count); // 0 right .. 1 left
        const float x = cx + halfWidth * (1 - 2 * t);
        const float edge = std::fabs(1 - 2 * t);
        // Tips hang lower at the sides, with a jagged fringe between them.
        const float y = baseY + displayY(1.5f) * edge + (i % 2 == 0 ? 0 : -displayY(random.range(2.0f, 3.5f)));
        tips.push_back({x, y});
    }
    skirt.insert(skirt.end(), tips.begin(), tips.end());
    const Colour dark = scaled(needles, 0.55f);
    canvas.fillPolygon(skirt, [=](float x, float y) {
        const float across = std::clamp((x - cx) / halfWidth, -1.0f, 1.0f); // -1 left (lit) .. 1 right
        const float grain = fractalNoise(x * 0.35f, y * 0.2f, 3, seed);
        return Paint{mix(needles, dark, std::clamp(0.35f + across * 0.45f + (grain - 0.5f) * 0.8f, 0.0f, 1.0f)), 1};
    });
    // Snow: a band above the tips, thickest in the middle of each branch.
    std::vector<Point> band;
    for (const Point &p : tips)
        band.push_back({p.x, p.y - displayY(snowDepth * 0.35f)});
    for (auto it = tips.rbegin(); it != tips.rend(); ++it) {
        const float lift = snowDepth * random.range(0.9f, 1.5f);
        band.push_back({it->x, it->y - displayY(lift)});
    }
    canvas.fillPolygon(band, [=](float x, float y) {
        const float across = std::clamp((x - cx) / halfWidth, -1.0f, 1.0f);
        const float grain = valueNoise(x * 0.5f, y * 0.5f, seed + 7);
        return Paint{mix(snowLight, snowShade, std::clamp(0.15f + across * 0.45f + (grain - 0.5f) * 0.4f, 0.0f, 1.0f)),
                     1};
    });
}

void trunk(Canvas &canvas, float cx, float top, float bottom, float halfWidth, Colour bark)
{
    canvas.fillPolygon(
        std::vector<Point>{{cx - halfWidth * 0.7f, top},
                           {cx + halfWidth * 0.7f, top},
                           {cx + halfWidth, bottom},
                           {cx - halfWidth, bottom}},
        [=](float x, float) {
            return Paint{mix(bark, scaled(bark, 0.5f), std::clamp((x - cx) / halfWidth * 0.5f + 0.5f, 0.0f, 1.0f)), 1};
        });
}

// A spruce of `tiers` tiers; `snowDepth` in display pixels.
Picture paintConifer(int width, int height, int tiers, float snowDepth, Colour needles, uint64_t seed, float topSnow,
                     int scale)
{
    Canvas canvas(width, height, 4, scale);
    ArtRandom random(seed);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float cx = w * 0.5f;
    const float trunkTop = h - displayY(14);
    trunk(canvas, cx, trunkTop - displayY(10), h, w * 0.06f, hexColour(0x5A3A22));
    // Snow drift around the foot of the trunk.
    canvas.fillEllipse(cx, h - displayY(1.0f), w * 0.28f, displayY(3.2f), snowShade);
    const float crownTop = displayY(2);
    const float crownBottom = trunkTop;
    for (int i = 0; i < tiers; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(tiers); // 0 bottom tier
        const float baseY = crownBottom - (crownBottom - crownTop) * t * 0.88f;
        const float apexY = crownTop + (baseY - crownTop) * 0.15f;
        const float halfWidth = (w * 0.5f - 2) * (1 - t * 0.82f);
        coniferTier(canvas, random, cx, std::max(crownTop, apexY - (baseY - apexY) * 0.3f), baseY, halfWidth, snowDepth,
                    needles, static_cast<uint32_t>(seed) + static_cast<uint32_t>(i));
    }
    // Snow cap on the tip.
    canvas.fillPolygon(std::vector<Point>{{cx, crownTop - 1},
                                          {cx + w * 0.06f, crownTop + displayY(topSnow)},
                                          {cx - w * 0.07f, crownTop + displayY(topSnow) + 1}},
                       snowLight);
    Picture picture = canvas.resolve(true);
    darkenSilhouette(picture, 0.75f, scale);
    return picture;
}

void branch(Canvas &canvas, ArtRandom &random, Point from, float angle, float length, float width, int depth)
{
    const Point to{from.x + std::cos(angle) * length, from.y - displayY(std::sin(angle) * length)};
    const Point mid{(from.x + to.x) * 0.5f + random.range(-1.5f, 1.5f), (from.y + to.y) * 0.5f};
    const Colour bark = depth > 3 ? hexColour(0xE8E6E0) : hexColour(0x4A4038);
    const Point path[] = {from, mid, to};
    canvas.strokeLine(path, width, bark);
    if (depth > 3) {
        // Birch bark: dark marks across the white trunk and boughs.
        for (int i = 0; i < 4; ++i) {
            const float t = random.range(0.1f, 0.9f);
            const Point mark{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
            canvas.fillEllipse(mark.x + random.range(-0.3f, 0.3f) * width, mark.y, width * 0.35f, displayY(0.8f),
                               hexColour(0x2A2622));
        }
    }
    // Snow along the upper side of the thicker boughs.
    if (width >= 2.2f && std::sin(angle) < 0.97f) {
        const Point snow[] = {{from.x, from.y - width * 0.45f}, {to.x, to.y - width * 0.45f}};
        canvas.strokeLine(snow, std::max(1.3f, width * 0.45f), snowLight);
    }
    if (depth == 0)
        return;
    const int children = depth > 3 ? 2 : 3;
    for (int i = 0; i < children; ++i) {
        const float spread = random.range(0.35f, 0.75f) * (i % 2 == 0 ? 1.0f : -1.0f);
        const float t = random.range(0.55f, 1.0f);
        const Point start{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
        branch(canvas, random, start, angle + spread, length * random.range(0.55f, 0.75f),
               std::max(1.2f, width * 0.62f), depth - 1);
    }
}

// A bare winter birch.
Picture paintBirch(int width, int height, uint64_t seed, int scale)
{
    Canvas canvas(width, height, 4, scale);
    ArtRandom random(seed);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    canvas.fillEllipse(w * 0.5f, h - displayY(1.0f), w * 0.22f, displayY(3.0f), snowShade);
    branch(canvas, random, {w * 0.5f, h - displayY(1)}, 1.5707963f, 62, 7.0f, 5);
    Picture picture = canvas.resolve(true);
    darkenSilhouette(picture, 0.8f, scale);
    return picture;
}

// A weathered boulder with snow on its top.
Picture paintRock(int width, int height, uint64_t seed, int scale)
{
    Canvas canvas(width, height, 4, scale);
    ArtRandom random(seed);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float cx = w * 0.5f, cy = h - 1;
    std::vector<Point> outline;
    const int corners = 13;
    for (int i = 0; i <= corners; ++i) {
        // Upper half-ellipse from right to left, flattened at the bottom.
        const float a = 3.1415927f * static_cast<float>(i) / static_cast<float>(corners);
        const float r = random.range(0.86f, 1.0f);
        outline.push_back({cx + std::cos(a) * (w * 0.5f - 1) * r, cy - std::sin(a) * (h - 3) * r});
    }
    canvas.fillPolygon(outline, [=](float x, float y) {
        const float lit = std::clamp(0.5f - (x - cx) / w * 0.9f - (cy - y) / h * 0.3f, 0.0f, 1.0f);
        const float grain = fractalNoise(x * 0.15f, y * 0.15f, 4, static_cast<uint32_t>(seed));
        const float cracks =
            std::fabs(fractalNoise(x * 0.08f, y * 0.12f, 3, static_cast<uint32_t>(seed) + 9) - 0.5f) < 0.03f ? 0.55f
                                                                                                             : 1.0f;
        return Paint{scaled(mix(hexColour(0x4A4C52), hexColour(0x9A9CA2), lit * 0.7f + grain * 0.5f - 0.1f), cracks),
                     1};
    });
    // Snow cap: the outline's upper part, lowered irregularly.
    std::vector<Point> cap;
    for (size_t i = 2; i + 2 < outline.size(); ++i)
        cap.push_back({outline[i].x, outline[i].y - 1});
    for (size_t i = outline.size() - 3; i >= 2; --i)
        cap.push_back({outline[i].x, outline[i].y + displayY(random.range(3.0f, 7.0f))});
    canvas.fillPolygon(cap, [=](float x, float) {
        return Paint{mix(snowLight, snowShade, std::clamp((x - cx) / w + 0.4f, 0.0f, 1.0f)), 1};
    });
    // Snow banked against its foot.
    canvas.fillEllipse(cx - w * 0.1f, h - 0.5f, w * 0.45f, displayY(2.5f), snowShade);
    Picture picture = canvas.resolve(true);
    darkenSilhouette(picture, 0.7f, scale);
    return picture;
}

// The finish sign: a chequered board reading FINISH on two posts (32 world units per pixel).
Picture paintFinishSign(const Typefaces &type, int scale)
{
    const int width = 72, height = 64;
    Canvas canvas(width, height, 4, scale);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    for (float x : {12.0f, w - 16.0f})
        canvas.fillRect(x, 20, 4, h - 20, [](float px, float) {
            return Paint{std::fmod(px, 4.0f) < 1.5f ? hexColour(0xD8DADF) : hexColour(0x8A8E96), 1};
        });
    const float boardTop = 2, boardHeight = 34;
    canvas.fillRect(1, boardTop, w - 2, boardHeight, hexColour(0x15161A));
    canvas.fillRect(3, boardTop + 2, w - 6, boardHeight - 4, hexColour(0xF6F6F2));
    // Chequered rows above and below the word.
    const float square = 4;
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 17; ++col) {
            const bool dark = (row + col) % 2 == 0;
            if (!dark)
                continue;
            canvas.fillRect(3 + square * static_cast<float>(col), boardTop + 2 + square * static_cast<float>(row),
                            square, square, hexColour(0x15161A));
            canvas.fillRect(3 + square * static_cast<float>(col),
                            boardTop + boardHeight - 2 - square * static_cast<float>(2 - row), square, square,
                            hexColour(0x15161A));
        }
    }
    TypeFace::Style style;
    style.pixelSize = 15;
    style.fill = [](float, float) { return Paint{hexColour(0xD01818), 1}; };
    const float textWidth = type.sans.textWidth("FINISH", style.pixelSize);
    type.sans.draw(canvas, "FINISH", (w - textWidth) * 0.5f,
                   boardTop + boardHeight * 0.5f + type.sans.capHeight(15) * 0.5f, style);
    // Snow on the board's top edge.
    canvas.fillRect(1, boardTop - 1.5f, w - 2, 2.5f, snowLight);
    return canvas.resolve(true);
}

// A flat oil spill seen at a glancing angle: a black pool mirroring the sky along its far edge,
// with patches of rainbow film.
Picture paintOilSpill(int scale)
{
    const int width = 128, height = 24;
    Canvas canvas(width, height, 4, scale);
    ArtRandom random(61);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const Colour film[] = {hexColour(0x6A3AA0), hexColour(0x2A8A9A), hexColour(0xB89A2A), hexColour(0x8A3A6A)};
    auto oil = [=](float x, float y) {
        const float sky = std::clamp(1 - (y - 3) / (h * 0.5f), 0.0f, 1.0f);
        Colour colour = mix(hexColour(0x07070B), hexColour(0x404A62), sky * sky * 0.8f);
        const float patch = fractalNoise(x * 0.06f, y * 0.25f, 3, 62);
        if (patch > 0.6f) {
            const float hue = std::fmod(fractalNoise(x * 0.12f, y * 0.4f, 2, 63) * 8.0f, 4.0f);
            const int index = static_cast<int>(hue);
            const Colour tint = mix(film[index], film[(index + 1) % 4], hue - static_cast<float>(index));
            colour = mix(colour, tint, std::clamp((patch - 0.6f) * 6, 0.0f, 0.75f));
        }
        return Paint{colour, 1};
    };
    canvas.fillEllipse(w * 0.5f, h * 0.55f, w * 0.44f, h * 0.34f, oil);
    for (int i = 0; i < 7; ++i) {
        const float x = random.range(w * 0.14f, w * 0.86f), y = random.range(h * 0.4f, h * 0.65f);
        canvas.fillEllipse(x, y, random.range(w * 0.06f, w * 0.13f), random.range(h * 0.18f, h * 0.3f), oil);
    }
    Picture picture = canvas.resolve(true);
    darkenSilhouette(picture, 0.5f, scale);
    return picture;
}

// Frame `frame` (0 to 5) of a snow puff: a dense burst that grows and thins out into flakes.
Picture paintSnowPuff(int frame, int scale)
{
    // The race draws a puff at 700 x 500 world units, shown 1.87 times as wide as high.
    const int width = 150, height = 80;
    Canvas canvas(width, height, 4, scale);
    ArtRandom random(1000 + static_cast<uint64_t>(frame));
    const float t = static_cast<float>(frame) / 5.0f;
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float cx = w * 0.5f, groundY = h - 2;
    const float spread = 0.3f + 0.7f * t; // share of the picture the puff fills
    const int clumps = 46;
    for (int i = 0; i < clumps; ++i) {
        const float angle = random.range(0.15f, 3.0f);
        const float distance = std::sqrt(random.unit());
        const float x = cx + std::cos(angle) * distance * w * 0.48f * spread;
        const float y = groundY - std::sin(angle) * distance * (h - 6) * spread;
        // Early clumps are big and soft; later ones break into small flakes and fewer of them remain.
        const float size = (1 - t * 0.75f) * random.range(5.0f, 11.0f) * (1.2f - distance * 0.5f);
        const bool remains = random.unit() > t * 0.55f;
        if (!remains)
            continue;
        const Colour colour = mix(snowLight, snowShade, std::clamp(t * 0.6f + random.range(0.0f, 0.3f), 0.0f, 1.0f));
        const Colour under = hexColour(0x7E8EB4);
        canvas.fillEllipse(x, y, size, size * 0.75f, [=](float px, float py) {
            const float down = std::clamp((py - y) / size + (px - x) / size * 0.3f, 0.0f, 1.0f);
            return Paint{mix(colour, under, down * 0.8f), 1};
        });
    }
    // Loose flakes around the burst.
    const int flakes = 10 + frame * 10;
    for (int i = 0; i < flakes; ++i) {
        const float x = cx + random.range(-0.5f, 0.5f) * w * spread * 1.1f;
        const float y = groundY - random.unit() * (h - 4) * spread;
        canvas.fillEllipse(x, y, 1.2f, 1.0f, mix(snowLight, snowShade, t));
    }
    // A darker rim keeps the puff visible against the snow it is thrown up from.
    Picture picture = canvas.resolve(true);
    darkenSilhouette(picture, 0.78f, scale);
    return picture;
}

} // namespace

std::vector<NamedPicture> paintScenery(const Typefaces &type, int scale)
{
    std::vector<NamedPicture> pictures;
    pictures.push_back({"obs/tree1.bmp", paintConifer(88, 256, 8, 3.0f, hexColour(0x1F5A3A), 11, 6, scale)});
    pictures.push_back({"obs/tree2.bmp", paintConifer(112, 192, 5, 5.5f, hexColour(0x2A6A40), 23, 8, scale)});
    pictures.push_back({"obs/tree3.bmp", paintBirch(128, 224, 37, scale)});
    pictures.push_back({"obs/rock1.bmp", paintRock(80, 56, 47, scale)});
    pictures.push_back({"obs/oilSpill.bmp", paintOilSpill(scale)});
    pictures.push_back({"obs/finishSign.bmp", paintFinishSign(type, scale)});
    for (int frame = 0; frame < 6; ++frame)
        pictures.push_back({"snowPuff/snowPuff" + std::to_string(frame + 1) + ".bmp", paintSnowPuff(frame, scale)});
    return pictures;
}
