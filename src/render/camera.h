#pragma once
// The race camera and its projection, the one rule by which the road and every object land on the
// screen. The camera sits at (x, y, z) in world units, never rotates and looks along +z, x to the
// right and y up. A point dx to the right of the camera and dy above it, at depth d ahead (d >= 1),
// lands on the 640 by 480 screen at
//   x = 320 + 320 dx / d,  y = 240 - 240 dy / d,
// so a world distance is drawn three quarters as long upwards as sideways. The road truncates
// these values to whole pixels; an object's box rounds halves upwards. A camera's drawing scale
// multiplies every screen value, and the result is made whole once, at the end. In the wide view
// the 640 by 480 screen is the middle of a wider one: the projection stays, and what lands left
// of x = 0 or right of x = 640 is drawn in the margins (screenParts).

#include "gfx/raster.h"
#include "objects/game_object.h"
#include "platform/window.h"

// Horizontal and vertical projection scales: a point as far to the side as it is ahead lands on
// the screen's left or right edge, one as far up or down as it is ahead on its top or bottom edge.
inline constexpr float projectionScaleX = static_cast<float>(screenCentreX);
inline constexpr float projectionScaleY = static_cast<float>(screenCentreY);

struct Camera {
    float x = 0.0f; // world units
    float y = 0.0f;
    float z = 0.0f;
    // Back-buffer pixels per screen pixel (the screen being 640 by 480): the window's drawing
    // scale, 1 to 4.
    float drawingScale = 1.0f;
};

// The camera at `position` (x, y, z, as raceState.camera holds it), drawing at the window's
// drawing scale.
Camera cameraAt(const float* position, const Window* window);

// The screen column of a point dx to the right of the camera at depth d (d >= 1), and the screen
// row of a point dy above it: trunc of the projection, kept in floating point, because a road
// corner beside the camera projects hundreds of thousands of pixels out and the raster clips it
// before it ever becomes an integer. The road's corners use them.
float roadScreenX(const Camera& camera, float dx, float d);
float roadScreenY(const Camera& camera, float dy, float d);

// The screen rectangle of an object's box: `centre` in world units, `width` and `height` its
// extent along x and y. In single precision with k = 1 / depth: width w = width x k x 320,
// height h = height x k x 240, left = dx x k x 320 + 320 - w / 2, top = dy x (-1 / depth) x 240
// + 240 - h / 2; each made whole by rounding a fraction of 0.5 or more up and dropping any other
// (negative values are truncated towards zero). False, with `rect` unchanged, for a box less
// than 1 unit ahead of the camera or one whose corner or size lies beyond 2^30 pixels.
bool objectScreenRect(const Camera& camera, const Vec3& centre, float width, float height,
                      PixelRect* rect);
