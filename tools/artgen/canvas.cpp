#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scaled(Colour c, float factor)
{
    return {c.r * factor, c.g * factor, c.b * factor};
}

Colour hexColour(uint32_t rgb)
{
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rgb & 0xFF) / 255.0f};
}

uint32_t packColour(Colour c)
{
    auto channel = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    uint32_t packed = (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
    if (packed == keyColour)
        packed = 0xFE00FE;
    return packed;
}

namespace
{

// Samples along one side of an output pixel at a drawing scale (see the constructor's comment).
int samplesPerPixel(int samplesAtScaleOne, int scale)
{
    return scale == 1 ? samplesAtScaleOne : std::max(2, (samplesAtScaleOne + scale - 1) / scale);
}

} // namespace

Canvas::Canvas(int width, int height, int samples, int scale)
    : width_(width), height_(height), samples_(samplesPerPixel(samples, scale)), scale_(scale),
      samplesData_(static_cast<size_t>(width * samples_ * scale) * static_cast<size_t>(height * samples_ * scale),
                   Paint{{0, 0, 0}, 0})
{
}

void Canvas::blendSample(int sx, int sy, Paint paint)
{
    if (sx < 0 || sy < 0 || sx >= sampleWidth() || sy >= sampleHeight() || paint.alpha <= 0)
        return;
    Paint &dst = samplesData_[static_cast<size_t>(sy) * static_cast<size_t>(sampleWidth()) + static_cast<size_t>(sx)];
    const float a = std::min(paint.alpha, 1.0f);
    const float outAlpha = a + dst.alpha * (1 - a);
    // Straight (not premultiplied) colour: weight the old colour by what still shows of it.
    const float oldWeight = dst.alpha * (1 - a);
    dst.colour = {(paint.colour.r * a + dst.colour.r * oldWeight) / outAlpha,
                  (paint.colour.g * a + dst.colour.g * oldWeight) / outAlpha,
                  (paint.colour.b * a + dst.colour.b * oldWeight) / outAlpha};
    dst.alpha = outAlpha;
}

Paint Canvas::sample(int sx, int sy) const
{
    return samplesData_[static_cast<size_t>(sy) * static_cast<size_t>(sampleWidth()) + static_cast<size_t>(sx)];
}

void Canvas::fillSpans(const std::vector<Point> &corners, const Shader &shader)
{
    if (corners.size() < 3)
        return;
    const float s = static_cast<float>(samples());
    float top = corners[0].y, bottom = corners[0].y;
    for (const Point &p : corners) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const int firstRow = std::max(0, static_cast<int>(std::floor(top * s - 0.5f)));
    const int lastRow = std::min(sampleHeight() - 1, static_cast<int>(std::ceil(bottom * s)));
    std::vector<float> crossings;
    for (int row = firstRow; row <= lastRow; ++row) {
        const float y = (static_cast<float>(row) + 0.5f) / s;
        crossings.clear();
        for (size_t i = 0; i < corners.size(); ++i) {
            const Point &p = corners[i];
            const Point &q = corners[(i + 1) % corners.size()];
            if ((p.y <= y) != (q.y <= y))
                crossings.push_back(p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Samples whose centre x (col + 0.5) / s lies in [left, right).
            const int from = std::max(0, static_cast<int>(std::ceil(crossings[i] * s - 0.5f)));
            const int to = std::min(sampleWidth() - 1, static_cast<int>(std::ceil(crossings[i + 1] * s - 0.5f)) - 1);
            for (int col = from; col <= to; ++col)
                blendSample(col, row, shader((static_cast<float>(col) + 0.5f) / s, y));
        }
    }
}

void Canvas::fillPolygon(std::span<const Point> corners, const Shader &shader)
{
    fillSpans(std::vector<Point>(corners.begin(), corners.end()), shader);
}

void Canvas::fillPolygon(std::span<const Point> corners, Colour colour)
{
    fillPolygon(corners, [colour](float, float) { return Paint{colour, 1}; });
}

void Canvas::fillEllipse(float cx, float cy, float rx, float ry, const Shader &shader)
{
    // Enough corners that the outline is smooth at sample resolution.
    const int count = std::clamp(static_cast<int>((rx + ry) * static_cast<float>(samples()) * 1.5f), 16, 720 * scale_);
    std::vector<Point> corners(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const float angle = static_cast<float>(i) * 6.2831853f / static_cast<float>(count);
        corners[static_cast<size_t>(i)] = {cx + rx * std::cos(angle), cy + ry * std::sin(angle)};
    }
    fillSpans(corners, shader);
}

void Canvas::fillEllipse(float cx, float cy, float rx, float ry, Colour colour)
{
    fillEllipse(cx, cy, rx, ry, [colour](float, float) { return Paint{colour, 1}; });
}

void Canvas::fillRect(float x, float y, float w, float h, const Shader &shader)
{
    const Point corners[] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    fillPolygon(corners, shader);
}

void Canvas::fillRect(float x, float y, float w, float h, Colour colour)
{
    fillRect(x, y, w, h, [colour](float, float) { return Paint{colour, 1}; });
}

void Canvas::strokeLine(std::span<const Point> points, float lineWidth, Colour colour)
{
    const float half = lineWidth * 0.5f;
    for (size_t i = 0; i < points.size(); ++i) {
        fillEllipse(points[i].x, points[i].y, half, half, colour);
        if (i + 1 == points.size())
            break;
        const Point a = points[i], b = points[i + 1];
        const float dx = b.x - a.x, dy = b.y - a.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (length <= 0)
            continue;
        const float nx = -dy / length * half, ny = dx / length * half;
        const Point quad[] = {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
        fillPolygon(quad, colour);
    }
}

void Canvas::fillAll(const Shader &shader)
{
    const float s = static_cast<float>(samples());
    for (int row = 0; row < sampleHeight(); ++row)
        for (int col = 0; col < sampleWidth(); ++col)
            blendSample(col, row, shader((static_cast<float>(col) + 0.5f) / s, (static_cast<float>(row) + 0.5f) / s));
}

Picture Canvas::resolve(bool keyed) const
{
    const int width = width_ * scale_, height = height_ * scale_;
    Picture picture;
    picture.keyed = keyed;
    picture.surface.width = width;
    picture.surface.height = height;
    picture.surface.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), keyColour);
    const float count = static_cast<float>(samples_ * samples_);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour sum;
            float coverage = 0;
            for (int sy = 0; sy < samples_; ++sy) {
                for (int sx = 0; sx < samples_; ++sx) {
                    const Paint p = sample(x * samples_ + sx, y * samples_ + sy);
                    sum.r += p.colour.r * p.alpha;
                    sum.g += p.colour.g * p.alpha;
                    sum.b += p.colour.b * p.alpha;
                    coverage += p.alpha;
                }
            }
            uint32_t &out =
                picture.surface.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            if (!keyed)
                out = packColour(scaled(sum, 1 / count));
            else if (coverage >= count * 0.5f)
                out = packColour(scaled(sum, 1 / coverage));
        }
    }
    if (keyed)
        picture.surface.pixels.back() = keyColour;
    return picture;
}

void darkenSilhouette(Picture &picture, float factor, int rimWidth)
{
    Surface &s = picture.surface;
    const std::vector<uint32_t> original = s.pixels;
    auto transparent = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < s.width && y < s.height &&
               original[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)] == keyColour;
    };
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (transparent(x, y))
                continue;
            bool rim = false;
            for (int dy = -rimWidth; dy <= rimWidth && !rim; ++dy) {
                const int across = rimWidth - std::abs(dy);
                for (int dx = -across; dx <= across && !rim; ++dx)
                    rim = transparent(x + dx, y + dy);
            }
            if (!rim)
                continue;
            uint32_t &p = s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
            p = packColour(scaled(hexColour(p), factor));
        }
    }
}
