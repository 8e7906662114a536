// The race camera's projection.
#include "render/camera.h"

#include <cmath>

namespace {

constexpr auto centreX = static_cast<float>(screenCentreX);
constexpr auto centreY = static_cast<float>(screenCentreY);

// The largest projected corner or size an object may have: beyond it the box is far off screen,
// and its integer form would not fit.
constexpr float largestProjection = 1073741824.0f; // 2^30

// A box's corner or size made whole: a fraction of 0.5 or more goes up, any other is dropped.
int roundProjected(float v)
{
    const float whole = std::trunc(v);
    return static_cast<int>(v - whole >= 0.5f ? whole + 1.0f : whole);
}

} // namespace

Camera cameraAt(const float* position, const Window* window)
{
    return Camera{position[0], position[1], position[2], static_cast<float>(window->drawingScale)};
}

float roadScreenX(const Camera& camera, float dx, float d)
{
    return std::trunc(camera.drawingScale * (centreX + projectionScaleX * dx / d));
}

float roadScreenY(const Camera& camera, float dy, float d)
{
    return std::trunc(camera.drawingScale * (centreY - projectionScaleY * dy / d));
}

bool objectScreenRect(const Camera& camera, const Vec3& centre, float width, float height,
                      PixelRect* rect)
{
    const float depth = centre.z - camera.z;
    if (!(depth >= 1.0f)) {
        return false;
    }
    const float k = 1.0f / depth;
    const float w = width * k * projectionScaleX;
    const float h = height * k * projectionScaleY;
    const float left = (centre.x - camera.x) * k * projectionScaleX + centreX - w * 0.5f;
    const float top =
        (centre.y - camera.y) * (-1.0f / depth) * projectionScaleY + centreY - h * 0.5f;
    const float scaled[4] = {left * camera.drawingScale, top * camera.drawingScale,
                             w * camera.drawingScale, h * camera.drawingScale};
    for (float v : scaled) {
        if (!(std::fabs(v) <= largestProjection)) {
            return false;
        }
    }
    *rect = PixelRect{roundProjected(scaled[0]), roundProjected(scaled[1]),
                      roundProjected(scaled[2]), roundProjected(scaled[3])};
    return true;
}
