// The two speed gauges in the top corners. Each is a bar graph on a dark plate; the race shows the
// full picture up to the speed's share of the width and the empty one beyond it, the left gauge
// filling from the left screen edge, the right one (a mirror image) from the right edge.
#include <algorithm>

#include "pictures.h"

namespace
{

constexpr int gaugeWidth = 224;
constexpr int gaugeHeight = 48;
constexpr int barCount = 14;
constexpr float barPitch = 13, barWidth = 10, firstBarX = 8, barFoot = 38;

// Paints the left gauge, full or empty. The plate is the same in both, so the cut between them
// only shows in the bars.
Picture paintGauge(bool full, int scale)
{
    Canvas canvas(gaugeWidth, gaugeHeight, 4, scale);
    const float w = static_cast<float>(gaugeWidth);
    const Point plate[] = {{0, 0}, {w, 0}, {w - 28, 46}, {0, 46}};
    const Point rim[] = {{0, 0}, {w, 0}, {w - 26.8f, 44}, {0, 44}};
    canvas.fillPolygon(plate, hexColour(0x8898B8));
    canvas.fillPolygon(rim, [](float, float y) {
        return Paint{mix(hexColour(0x1A2234), hexColour(0x0C1018), y / 44), 1};
    });
    for (int i = 0; i < barCount; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(barCount - 1);
        const float x = firstBarX + barPitch * static_cast<float>(i);
        const float height = 10 + 24 * t;
        const float top = barFoot - height;
        // Green at low speed, through yellow, to red at the top speed.
        const Colour hot = t < 0.5f ? mix(hexColour(0x30E048), hexColour(0xF8E030), t * 2)
                                    : mix(hexColour(0xF8E030), hexColour(0xF83020), (t - 0.5f) * 2);
        canvas.fillRect(x, top, barWidth, height, [=](float, float y) {
            const float down = (y - top) / height;
            if (full)
                return Paint{y - top < 1.5f ? mix(hot, hexColour(0xFFFFFF), 0.6f) : mix(hot, scaled(hot, 0.6f), down),
                             1};
            return Paint{y - top < 1.5f ? hexColour(0x4A5670) : mix(hexColour(0x2A3448), hexColour(0x1E2636), down), 1};
        });
    }
    return canvas.resolve(true);
}

Picture mirrored(const Picture &picture)
{
    Picture out = picture;
    const Surface &s = picture.surface;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            out.surface.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)] =
                s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(s.width - 1 - x)];
    return out;
}

} // namespace

std::vector<NamedPicture> paintGauges(int scale)
{
    const Picture full = paintGauge(true, scale), empty = paintGauge(false, scale);
    return {{"hud/guageFullLeft.bmp", full},
            {"hud/guageEmptyLeft.bmp", empty},
            {"hud/guageFullRight.bmp", mirrored(full)},
            {"hud/guageEmptyRight.bmp", mirrored(empty)}};
}
