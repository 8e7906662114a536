// Pictures of the menu, controls and result screens: the bar drawn across the screen twice, the
// selection arrow, the key layout, and the won, lost and quit pictures.
//
// The screen font's cells are 16 x 24, so the bars sit at rows 72 and 360: the key layout and the
// result pictures (with the result screen's three grey frames around them) fit between them.
#include <algorithm>
#include <cmath>

#include "car_model.h"
#include "noise.h"
#include "pictures.h"

namespace
{

Picture paintMenuBar(int scale)
{
    const int width = 640, height = 12;
    Canvas canvas(width, height, 4, scale);
    const float w = static_cast<float>(width);
    // A racing stripe: pale edge, blue band, thin orange line; its right end cut at a slant.
    const Point band[] = {{0, 0}, {w, 0}, {w - 12, 12}, {0, 12}};
    canvas.fillPolygon(band, [w](float x, float y) {
        const float fade = 1 - 0.35f * x / w;
        Colour c;
        if (y < 1.5f)
            c = hexColour(0xDCE8FF);
        else if (y < 8)
            c = mix(hexColour(0x4C7CD8), hexColour(0x1C3878), (y - 1.5f) / 6.5f);
        else if (y < 9)
            c = hexColour(0x0C1426);
        else if (y < 11)
            c = hexColour(0xFF8A18);
        else
            c = hexColour(0x0C1426);
        return Paint{scaled(c, fade), 1};
    });
    return canvas.resolve(true);
}

Picture paintArrow(int scale)
{
    Canvas canvas(20, 24, 4, scale);
    const Point outer[] = {{1, 2}, {19, 12}, {1, 22}};
    const Point inner[] = {{3, 5.5f}, {15.5f, 12}, {3, 18.5f}};
    canvas.fillPolygon(outer, hexColour(0x3A1A04));
    canvas.fillPolygon(inner, [](float, float y) {
        return Paint{mix(hexColour(0xFFF6A0), hexColour(0xFF8A18), std::clamp((y - 5) / 14, 0.0f, 1.0f)), 1};
    });
    return canvas.resolve(true);
}

// A key cap: a light top face on a darker base, with its legend centred.
void keyCap(Canvas &canvas, const TypeFace &sans, float x, float y, float w, float h, const char *legend, bool used)
{
    auto rounded = [](float left, float top, float width, float height, float r) {
        return std::vector<Point>{{left + r, top},
                                  {left + width - r, top},
                                  {left + width, top + r},
                                  {left + width, top + height - r},
                                  {left + width - r, top + height},
                                  {left + r, top + height},
                                  {left, top + height - r},
                                  {left, top + r}};
    };
    const Colour face = used ? hexColour(0xE8ECF4) : hexColour(0x50586A);
    canvas.fillPolygon(rounded(x, y, w, h, 5), used ? hexColour(0x7A8498) : hexColour(0x2C3240));
    canvas.fillPolygon(rounded(x + 4, y + 3, w - 8, h - 11, 4), [=](float, float py) {
        return Paint{mix(face, scaled(face, 0.82f), (py - y) / h), 1};
    });
    if (legend == nullptr)
        return;
    TypeFace::Style style;
    style.pixelSize = 14;
    style.fill = [used](float, float) { return Paint{used ? hexColour(0x1A2030) : hexColour(0x8A92A4), 1}; };
    const float tw = sans.textWidth(legend, style.pixelSize);
    sans.draw(canvas, legend, x + (w - tw) * 0.5f, y + (h - 8) * 0.5f + sans.capHeight(style.pixelSize) * 0.5f, style);
}

// An arrow symbol on a key, pointing along (dx, dy).
void keyArrow(Canvas &canvas, float cx, float cy, float dx, float dy)
{
    const float s = 8;
    const Point tip{cx + dx * s, cy + dy * s};
    const Point a{cx - dx * s * 0.5f + dy * s * 0.8f, cy - dy * s * 0.5f + dx * s * 0.8f};
    const Point b{cx - dx * s * 0.5f - dy * s * 0.8f, cy - dy * s * 0.5f - dx * s * 0.8f};
    const Point arrow[] = {tip, a, b};
    canvas.fillPolygon(arrow, hexColour(0x1A2030));
}

void label(Canvas &canvas, const TypeFace &sans, const char *text, float x, float baseline, float align)
{
    TypeFace::Style style;
    style.pixelSize = 15;
    style.fill = [](float, float) { return Paint{hexColour(0xFFD040), 1}; };
    sans.draw(canvas, text, x - sans.textWidth(text, style.pixelSize) * align, baseline, style);
}

// The race keys as the controls screen shows them: arrows to steer and accelerate, Space to
// brake, Escape to give up the race.
Picture paintKeyLayout(const Typefaces &type, int scale)
{
    const int width = 600, height = 200;
    Canvas canvas(width, height, 4, scale);
    const float key = 50, gap = 6;
    const float upX = 175, upY = 46, lowY = upY + key + gap;
    const float leftX = upX - key - gap, rightX = upX + key + gap;
    keyCap(canvas, type.sans, upX, upY, key, key, nullptr, true);
    keyCap(canvas, type.sans, leftX, lowY, key, key, nullptr, true);
    keyCap(canvas, type.sans, upX, lowY, key, key, nullptr, false);
    keyCap(canvas, type.sans, rightX, lowY, key, key, nullptr, true);
    keyArrow(canvas, upX + key * 0.5f, upY + key * 0.45f - 3, 0, -1);
    keyArrow(canvas, leftX + key * 0.5f, lowY + key * 0.45f - 2, -1, 0);
    keyArrow(canvas, rightX + key * 0.5f, lowY + key * 0.45f - 2, 1, 0);
    const float sideBaseline = lowY + key * 0.5f + 1;
    label(canvas, type.sans, "ACCELERATE", upX + key * 0.5f, upY - 12, 0.5f);
    label(canvas, type.sans, "STEER LEFT", leftX - 8, sideBaseline, 1.0f);
    label(canvas, type.sans, "STEER RIGHT", rightX + key + 8, sideBaseline, 0.0f);

    const float columnX = 510;
    const float escY = 22;
    keyCap(canvas, type.sans, columnX - 32, escY, 64, 46, "ESC", true);
    label(canvas, type.sans, "QUIT RACE", columnX, escY + 46 + 20, 0.5f);
    const float spaceY = 112;
    keyCap(canvas, type.sans, columnX - 80, spaceY, 160, 46, "SPACE", true);
    label(canvas, type.sans, "BRAKE", columnX, spaceY + 46 + 20, 0.5f);
    return canvas.resolve(true);
}

constexpr int resultWidth = 360;
constexpr int resultHeight = 216;

void snowfall(Canvas &canvas, uint64_t seed, int count, Colour colour)
{
    ArtRandom random(seed);
    for (int i = 0; i < count; ++i) {
        const float r = random.range(0.6f, 2.0f);
        canvas.fillEllipse(random.range(0, static_cast<float>(canvas.width())),
                           random.range(0, static_cast<float>(canvas.height())), r, r, colour);
    }
}

void snowyHills(Canvas &canvas, float level, uint32_t seed, Colour near, Colour far)
{
    const float h = static_cast<float>(canvas.height());
    canvas.fillAll([=](float x, float y) {
        const float back = level - 30 - fractalNoise(x * 0.01f, 0.5f, 3, seed) * 40;
        const float front = level - fractalNoise(x * 0.008f, 4.5f, 3, seed + 1) * 24;
        if (y >= front)
            return Paint{mix(near, scaled(near, 0.8f), (y - front) / (h - front + 1)), 1};
        if (y >= back)
            return Paint{far, 1};
        return Paint{{}, 0};
    });
}

void copyCar(Canvas &canvas, const Canvas &car, float x, float y)
{
    const float ratio = static_cast<float>(canvas.samples()) / static_cast<float>(car.samples());
    for (int sy = 0; sy < car.sampleHeight(); ++sy)
        for (int sx = 0; sx < car.sampleWidth(); ++sx) {
            const Paint p = car.sample(sx, sy);
            if (p.alpha > 0)
                canvas.blendSample(
                    static_cast<int>(x * static_cast<float>(canvas.samples()) + static_cast<float>(sx) * ratio),
                    static_cast<int>(y * static_cast<float>(canvas.samples()) + static_cast<float>(sy) * ratio), p);
        }
}

// A podium in the sun with the winning car on top and confetti in the air.
Picture paintRaceWon(const Typefaces &type, int scale)
{
    Canvas canvas(resultWidth, resultHeight, 3, scale);
    const float w = static_cast<float>(resultWidth), h = static_cast<float>(resultHeight);
    canvas.fillAll([h](float, float y) {
        return Paint{mix(hexColour(0x2A62C0), hexColour(0xBCD8F4), y / (h * 0.7f)), 1};
    });
    // Sun with rays.
    for (int i = 0; i < 12; ++i) {
        const float a0 = static_cast<float>(i) * 0.5235988f, a1 = a0 + 0.2f;
        const Point ray[] = {{300, 40},
                             {300 + std::cos(a0) * 400, 40 + std::sin(a0) * 400},
                             {300 + std::cos(a1) * 400, 40 + std::sin(a1) * 400}};
        canvas.fillPolygon(ray, [](float, float) { return Paint{hexColour(0xFFF4C0), 0.18f}; });
    }
    canvas.fillEllipse(300, 40, 22, 22, hexColour(0xFFF2B0));
    snowyHills(canvas, 150, 501, hexColour(0xF2F6FC), hexColour(0xC4D2E8));
    // Podium: second, first, third.
    const float stepW = 84, baseY = h - 14;
    const float heights[] = {46, 70, 32};
    const char *places[] = {"2", "1", "3"};
    const float left = w * 0.5f - stepW * 1.5f;
    for (int i = 0; i < 3; ++i) {
        const float x = left + stepW * static_cast<float>(i), top = baseY - heights[i];
        canvas.fillRect(x, top, stepW, heights[i], [=](float px, float) {
            return Paint{
                mix(hexColour(0xF4F4F8), hexColour(0xA8B0C4), (px - x) / stepW * 0.6f + (i == 1 ? 0.0f : 0.25f)), 1};
        });
        canvas.fillRect(x, top, stepW, 4, hexColour(0xD8A020));
        TypeFace::Style style;
        style.pixelSize = 26;
        style.fill = [](float, float) { return Paint{hexColour(0xD8A020), 1}; };
        type.sans.draw(canvas, places[i], x + (stepW - type.sans.textWidth(places[i], 26)) * 0.5f,
                       top + 4 + (heights[i] - 4 + type.sans.capHeight(26)) * 0.5f, style);
    }
    // The winner on the top step.
    const float yaw[] = {-25};
    Canvas car(140, 80, 4, scale);
    renderCar(car, {hexColour(0xD0201A), hexColour(0xF2F2F2)}, yaw[0], fitCarViews(yaw, 140, 80, 0.9f));
    copyCar(canvas, car, w * 0.5f - 70, baseY - heights[1] - 80);
    // Confetti.
    ArtRandom random(502);
    const Colour colours[] = {hexColour(0xF83020), hexColour(0xF8E030), hexColour(0x30C048), hexColour(0x3070F0),
                              hexColour(0xF060C0)};
    for (int i = 0; i < 90; ++i) {
        const float x = random.range(0, w), y = random.range(0, h * 0.75f), a = random.range(0, 3.14f);
        const float dx = std::cos(a) * 3, dy = std::sin(a) * 3;
        const Point bit[] = {
            {x - dx, y - dy}, {x + dy * 0.5f, y - dx * 0.5f}, {x + dx, y + dy}, {x - dy * 0.5f, y + dx * 0.5f}};
        canvas.fillPolygon(bit, colours[i % 5]);
    }
    return canvas.resolve(false);
}

// Grey skies and a car nosed into a snowbank.
Picture paintRaceLost(int scale)
{
    Canvas canvas(resultWidth, resultHeight, 3, scale);
    const float w = static_cast<float>(resultWidth), h = static_cast<float>(resultHeight);
    canvas.fillAll([h](float, float y) {
        return Paint{mix(hexColour(0x5A6272), hexColour(0xA4ACB8), y / (h * 0.65f)), 1};
    });
    snowyHills(canvas, 130, 511, hexColour(0xD4DAE4), hexColour(0x9CA6B6));
    const float yaw[] = {30};
    Canvas car(170, 96, 4, scale);
    renderCar(car, {hexColour(0x1F4FCC), hexColour(0xF2F2F2)}, yaw[0], fitCarViews(yaw, 170, 96, 0.9f));
    copyCar(canvas, car, w * 0.5f - 85, h - 40 - 96);
    // The drift the car ploughed into, covering its nose.
    canvas.fillEllipse(w * 0.5f + 74, h - 44, 70, 30, [](float x, float) {
        return Paint{mix(hexColour(0xF0F4FA), hexColour(0xB8C2D2), std::clamp((x - 200) / 140, 0.0f, 1.0f)), 1};
    });
    canvas.fillRect(0, h - 40, w, 40, hexColour(0xC8D0DC));
    snowfall(canvas, 512, 160, hexColour(0xF4F6FA));
    return canvas.resolve(false);
}

// A break at the roadside café: cocoa and a doughnut by a snowy window.
Picture paintRaceQuit(int scale)
{
    Canvas canvas(resultWidth, resultHeight, 3, scale);
    const float w = static_cast<float>(resultWidth), h = static_cast<float>(resultHeight);
    // Dusk outside the window, with falling snow, framed in wood.
    canvas.fillAll([h](float, float y) { return Paint{mix(hexColour(0x1A2448), hexColour(0x6A5A8A), y / h), 1}; });
    snowyHills(canvas, 120, 521, hexColour(0x8A94B4), hexColour(0x5C6690));
    snowfall(canvas, 522, 120, hexColour(0xE8ECF8));
    canvas.fillRect(0, 0, w, 10, hexColour(0x5A3A22));
    canvas.fillRect(0, 0, 10, h, hexColour(0x5A3A22));
    canvas.fillRect(w - 10, 0, 10, h, hexColour(0x5A3A22));
    canvas.fillRect(w * 0.5f - 4, 0, 8, 130, hexColour(0x5A3A22));
    canvas.fillRect(0, 124, w, 8, hexColour(0x4A2E1A));
    // Table top.
    canvas.fillRect(0, 132, w, h - 132, [](float x, float y) {
        const float grain = fractalNoise(x * 0.02f, y * 0.3f, 3, 523);
        return Paint{mix(hexColour(0x8A5A30), hexColour(0x5A3418), grain), 1};
    });
    // Mug: body, rim, handle, cocoa.
    const float mx = 120, rimY = 120, bottomY = 192, radius = 38;
    canvas.strokeLine(std::vector<Point>{{mx + radius - 2, rimY + 18},
                                         {mx + radius + 20, rimY + 24},
                                         {mx + radius + 20, rimY + 48},
                                         {mx + radius - 2, rimY + 56}},
                      9, hexColour(0xB01818));
    canvas.fillEllipse(mx, bottomY, radius, 10, hexColour(0x801010));
    canvas.fillRect(mx - radius, rimY, radius * 2, bottomY - rimY, [=](float x, float) {
        const float t = (x - (mx - radius)) / (radius * 2);
        return Paint{mix(hexColour(0xE03028), hexColour(0x801010), std::clamp(t * 1.3f - 0.15f, 0.0f, 1.0f)), 1};
    });
    canvas.fillRect(mx - radius, rimY + 30, radius * 2, 10, hexColour(0xF4F0E8));
    canvas.fillEllipse(mx, rimY, radius, 10, hexColour(0xC02820));
    canvas.fillEllipse(mx, rimY + 1, radius - 4, 7.5f, hexColour(0x4A2410));
    // Steam.
    for (int i = 0; i < 3; ++i) {
        std::vector<Point> wisp;
        for (int k = 0; k <= 12; ++k) {
            const float t = static_cast<float>(k) / 12;
            wisp.push_back({mx - 16 + static_cast<float>(i) * 16 + std::sin(t * 6 + static_cast<float>(i)) * 6,
                            rimY - 8 - t * 70});
        }
        canvas.strokeLine(wisp, 3.5f, hexColour(0xE8E8F0));
    }
    // Doughnut with pink icing and sprinkles.
    const float dx = 262, dy = 174;
    canvas.fillEllipse(dx, dy + 6, 52, 22, hexColour(0x9A5A22));
    canvas.fillEllipse(dx, dy, 52, 22, hexColour(0xC88440));
    canvas.fillEllipse(dx, dy - 2, 46, 18, [](float x, float y) {
        return Paint{mix(hexColour(0xF8A0C8), hexColour(0xE06AA0), std::clamp((x - 216 + y - 156) / 120, 0.0f, 1.0f)),
                     1};
    });
    canvas.fillEllipse(dx, dy - 1, 14, 6, hexColour(0x6A3A16));
    ArtRandom random(524);
    const Colour sprinkles[] = {hexColour(0xFFFFFF), hexColour(0xF8E030), hexColour(0x40C0F0), hexColour(0x60D060)};
    for (int i = 0; i < 26; ++i) {
        const float a = random.range(0, 6.283f), r = random.range(0.45f, 0.9f);
        const float sx = dx + std::cos(a) * 44 * r, sy = dy - 2 + std::sin(a) * 16 * r;
        if (std::fabs(std::cos(a) * r) < 0.35f && std::fabs(std::sin(a) * r) < 0.45f)
            continue;
        const Point sprinkle[] = {{sx - 2.5f, sy}, {sx + 2.5f, sy - 1}};
        canvas.strokeLine(sprinkle, 1.6f, sprinkles[i % 4]);
    }
    return canvas.resolve(false);
}

} // namespace

std::vector<NamedPicture> paintScreens(const Typefaces &type, int scale)
{
    return {{"menu/menuBar1.bmp", paintMenuBar(scale)},          {"menu/arrow.bmp", paintArrow(scale)},
            {"menu/keyLayout.bmp", paintKeyLayout(type, scale)}, {"menu/raceWon.bmp", paintRaceWon(type, scale)},
            {"menu/raceLost.bmp", paintRaceLost(scale)},         {"menu/raceQuit.bmp", paintRaceQuit(scale)}};
}
