// The client area's size as the platform reports it now, and the wide view's shape.
#include "platform/window.h"

#include <algorithm>
#include <cstdint>

int clientWidth(const Window* window) { return window->clientW; }

int clientHeight(const Window* window) { return window->clientH; }

int screenWidthForShape(int width, int height)
{
    if (width < 1 || height < 1) {
        return screenWidth;
    }
    // Twice the nearest whole number to 240 x width / height, a half rounded up.
    const int64_t half = (int64_t{2} * screenCentreY * width + height) / (int64_t{2} * height);
    return static_cast<int>(std::clamp<int64_t>(2 * half, screenWidth, widestScreenWidth));
}

int drawingScaleFitting(int width, int height)
{
    return std::clamp(std::min(width / screenWidth, height / screenHeight), 1, largestDrawingScale);
}

int screenMargin(const Window* window) { return std::max(0, (window->clientW - screenWidth) / 2); }

int screenParts(const Window* window, ColumnRange parts[3])
{
    const int origin = screenMargin(window) * window->drawingScale;
    // The back buffer less the two margins: 640k columns.
    const int layout = window->backBuffer.width - 2 * origin;
    parts[0] = ColumnRange{origin, 0, layout};
    if (origin <= 0) {
        return 1;
    }
    parts[1] = ColumnRange{origin, -origin, 0};
    parts[2] = ColumnRange{origin, layout, layout + origin};
    return 3;
}
