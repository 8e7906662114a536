#pragma once
// The drawing surface of the art generator: every picture is painted on a grid of sub-pixel
// samples (samples x samples per output pixel) with hard-edged shapes, then resolved into a
// picture whose edge pixels are the mean of their covered samples. Used by every painter of artgen.
//
// Coordinates of every shape are in picture units (floats), x to the right, y downwards: the
// pixels of the picture at drawing scale 1. A canvas of drawing scale k puts k x k output pixels
// in each unit, so the same painting code makes the picture at every scale, each scale showing
// finer detail of the same shapes.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "gfx/surface.h"

// A colour with channels from 0 to 1.
struct Colour {
    float r = 0, g = 0, b = 0;
};

Colour mix(Colour a, Colour b, float t);
Colour scaled(Colour c, float factor);
// 0xRRGGBB written as in a paint program.
Colour hexColour(uint32_t rgb);

// A colour with its opacity (0 transparent, 1 opaque), the result of a shader.
struct Paint {
    Colour colour;
    float alpha = 1;
};

struct Point {
    float x = 0, y = 0;
};

// Colour (and opacity) of a shape at an output-pixel position.
using Shader = std::function<Paint(float x, float y)>;

// The key colour of every colour-keyed picture: no painted pixel ever resolves to it.
inline constexpr uint32_t keyColour = 0xFF00FF;

// A finished picture: its pixels, and whether it is colour-keyed (transparent where the pixel
// equals keyColour, which then also sits at the bottom-right corner).
struct Picture {
    Surface surface;
    bool keyed = false;
};

class Canvas
{
public:
    // A canvas of width x height picture units at drawing scale `scale` (1 to 4): width * scale x
    // height * scale output pixels, every pixel split into samples x samples at scale 1. Above
    // scale 1 a pixel takes fewer samples, as long as they lie at least as close together on the
    // screen as at scale 1 and a pixel keeps at least 2 x 2: the edges look as smooth as at scale 1,
    // and the larger pictures take far less time.
    Canvas(int width, int height, int samples, int scale = 1);

    // Size in picture units, the same at every scale.
    int width() const { return width_; }
    int height() const { return height_; }
    int scale() const { return scale_; }
    // Samples along one picture unit: samples per output pixel times the scale.
    int samples() const { return samples_ * scale_; }

    // Blends `paint` over every sample whose centre lies inside the shape (even-odd rule).
    void fillPolygon(std::span<const Point> corners, const Shader &shader);
    void fillPolygon(std::span<const Point> corners, Colour colour);
    void fillEllipse(float cx, float cy, float rx, float ry, const Shader &shader);
    void fillEllipse(float cx, float cy, float rx, float ry, Colour colour);
    void fillRect(float x, float y, float w, float h, const Shader &shader);
    void fillRect(float x, float y, float w, float h, Colour colour);
    // A line of the given width with round ends through the points.
    void strokeLine(std::span<const Point> points, float lineWidth, Colour colour);
    // Calls `shader` for every sample of the canvas (backgrounds, skies).
    void fillAll(const Shader &shader);

    // Sample access for painters with their own rasteriser (the car renderer, glyphs).
    int sampleWidth() const { return width_ * samples(); }
    int sampleHeight() const { return height_ * samples(); }
    void blendSample(int sx, int sy, Paint paint);
    Paint sample(int sx, int sy) const;

    // The finished picture, width * scale x height * scale pixels. Keyed: a pixel is opaque when at least half of its
    // samples are covered, its colour the mean of the covered samples (no blending with the background); the
    // bottom-right pixel always becomes the key. Opaque: every pixel is the mean of its samples over black.
    Picture resolve(bool keyed) const;

private:
    void fillSpans(const std::vector<Point> &corners, const Shader &shader);

    int width_;
    int height_;
    int samples_; // per output pixel along each side
    int scale_;
    std::vector<Paint> samplesData_;
};

// Darkens the opaque pixels of a keyed picture that lie within `rimWidth` steps (across and down,
// added up) of a transparent one, which keeps small sprites readable against both snow and road.
// Painters pass their canvas's scale, so the rim covers the same share of the sprite at every scale.
void darkenSilhouette(Picture &picture, float factor, int rimWidth);
// 0x00RRGGBB of a colour, rounded; a result equal to keyColour is nudged off it.
uint32_t packColour(Colour c);
