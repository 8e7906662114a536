// Drawing pictures and Sprites into the back buffer.
#include "pictures/sprite_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/raster.h"
#include "pictures/bitmap.h"
#include "platform/window.h"

namespace {

// Puts the source rectangle of the picture onto the destination rectangle of the back buffer:
// a colour-keyed picture through its mask (seen through when `look` asks), an opaque one by plain
// copy.
void compose(Window* window, const Bitmap& bitmap, PixelRect to, PixelRect from,
             SpriteLook look = SpriteLook::Solid)
{
    if (bitmap.mask && look == SpriteLook::SeeThrough) {
        stretchKeyedSeeThrough(&window->backBuffer, to, *bitmap.picture, *bitmap.mask, from);
    } else if (bitmap.mask) {
        stretchKeyed(&window->backBuffer, to, *bitmap.picture, *bitmap.mask, from);
    } else {
        stretchBlit(&window->backBuffer, to, *bitmap.picture, from, RasterOp::Copy);
    }
}

bool drawable(const Window* window, const Bitmap* bitmap)
{
    return window != nullptr && bitmap != nullptr && bitmap->picture != nullptr;
}

// trunc(ratio x v) for the clip steps, in single precision as the sizes' ratio is taken.
int scaledCut(int sourceSize, int targetSize, int64_t v)
{
    const float ratio = static_cast<float>(sourceSize) / static_cast<float>(targetSize);
    return static_cast<int>(std::trunc(ratio * static_cast<float>(v)));
}

// Positions are kept within 2^30 either way: far beyond any back buffer, so that a position off
// the screen stays off it instead of overflowing.
constexpr int64_t farOff = int64_t{1} << 30;

// A screen position at the drawing scale.
int atScale(int v, int k)
{
    return static_cast<int>(std::clamp(static_cast<int64_t>(v) * k, -farOff, farOff));
}

// A back-buffer column counted from the layout's left edge, counted from the back buffer's.
int fromOrigin(int x, int originX)
{
    return static_cast<int>(std::clamp(static_cast<int64_t>(x) + originX, -farOff, farOff));
}

// The back buffer's column of the layout's left edge: the left margin of the wide view.
int layoutOrigin(const Window* window) { return screenMargin(window) * window->drawingScale; }

// drawBitmapScaled within one part of the screen (screenParts): the clipping of each edge of the
// part as described there, then the copy at the part's origin.
void drawScaledIn(Window* window, const Bitmap& bitmap, ColumnRange part, int x, int y, int w,
                  int h, SpriteLook look)
{
    int sx = 0;
    int sy = 0;
    int sw = bitmap.picture->width;
    int sh = bitmap.picture->height;
    const int left = part.left;
    const int right = part.right;
    const int clientH = window->backBuffer.height;
    // A rectangle wholly off one side shows nothing; leaving early also keeps every ratio below
    // below the picture's own size.
    if (static_cast<int64_t>(x) + w <= left || static_cast<int64_t>(y) + h <= 0 || x >= right ||
        y >= clientH) {
        return;
    }
    if (x < left) {
        const int64_t overLeft = static_cast<int64_t>(x) - left;
        const int d = scaledCut(sw, w, overLeft);
        sw += d;
        sx = -d;
        w += static_cast<int>(overLeft);
        x = left;
    }
    if (y < 0) {
        const int d = scaledCut(sh, h, y);
        sh += d;
        sy = -d;
        h += y;
        y = 0;
    }
    const int64_t overBottom = static_cast<int64_t>(y) + h - clientH;
    if (overBottom > 0) {
        sh -= scaledCut(sh, h, overBottom);
        h = clientH - y;
    }
    const int64_t overRight = static_cast<int64_t>(x) + w - right;
    if (overRight > 0) {
        sw -= scaledCut(sw, w, overRight);
        w = right - x;
    }
    if (sw < 1 || sh < 1 || w < 1 || h < 1) {
        return;
    }
    compose(window, bitmap, PixelRect{x + part.originX, y, w, h}, PixelRect{sx, sy, sw, sh}, look);
}

// drawBitmapScaled in the given look.
void drawScaled(Window* window, Bitmap* bitmap, int x, int y, int w, int h, SpriteLook look)
{
    if (!drawable(window, bitmap) || w < 1 || h < 1) {
        return;
    }
    ColumnRange parts[3];
    const int count = screenParts(window, parts);
    for (int i = 0; i < count; ++i) {
        drawScaledIn(window, *bitmap, parts[i], x, y, w, h, look);
    }
}

} // namespace

void drawBitmap(Window* window, Bitmap* bitmap, int x, int y)
{
    if (window != nullptr) {
        drawBitmapAt(window, bitmap, atScale(x, window->drawingScale),
                     atScale(y, window->drawingScale));
    }
}

void drawBitmapAt(Window* window, Bitmap* bitmap, int x, int y)
{
    followDrawingScale(window, bitmap);
    if (!drawable(window, bitmap)) {
        return;
    }
    const int k = window->drawingScale;
    const Surface& picture = *bitmap->picture;
    compose(window, *bitmap,
            PixelRect{fromOrigin(x, layoutOrigin(window)), y, bitmap->info.width * k,
                      bitmap->info.height * k},
            PixelRect{0, 0, picture.width, picture.height});
}

void drawBitmapRegion(Window* window, Bitmap* bitmap, int srcX, int srcY, int x, int y, int w,
                      int h)
{
    followDrawingScale(window, bitmap);
    if (!drawable(window, bitmap)) {
        return;
    }
    const int width = bitmap->info.width;
    const int height = bitmap->info.height;
    srcX = srcX < 0 ? 0 : srcX;
    srcX = srcX >= width ? width - 1 : srcX;
    srcY = srcY < 0 ? 0 : srcY;
    srcY = srcY >= height ? height - 1 : srcY;
    if (static_cast<int64_t>(srcX) + w > width) {
        w = width - srcX;
    }
    if (static_cast<int64_t>(srcY) + h > height) {
        h = height - srcY;
    }
    if (w < 1 || h < 1) {
        return;
    }
    const int k = window->drawingScale;
    const int s = bitmap->scale;
    compose(window, *bitmap,
            PixelRect{fromOrigin(atScale(x, k), layoutOrigin(window)), atScale(y, k), w * k, h * k},
            PixelRect{srcX * s, srcY * s, w * s, h * s});
}

void drawBitmapRegionStretched(Window* window, Bitmap* bitmap, int srcX, int srcY, int w, int h,
                               int x, int y, int toW, int toH)
{
    followDrawingScale(window, bitmap);
    if (!drawable(window, bitmap) || srcX < 0 || srcY < 0 || w < 1 || h < 1 || toW < 1 || toH < 1 ||
        static_cast<int64_t>(srcX) + w > bitmap->info.width ||
        static_cast<int64_t>(srcY) + h > bitmap->info.height) {
        return;
    }
    const int k = window->drawingScale;
    const int s = bitmap->scale;
    compose(window, *bitmap,
            PixelRect{fromOrigin(atScale(x, k), layoutOrigin(window)), atScale(y, k),
                      atScale(toW, k), atScale(toH, k)},
            PixelRect{srcX * s, srcY * s, w * s, h * s});
}

void drawBitmapScaled(Window* window, Bitmap* bitmap, int x, int y, int w, int h)
{
    drawScaled(window, bitmap, x, y, w, h, SpriteLook::Solid);
}

void drawSprite(Window* window, Sprite* sprite, int x, int y, int w, int h, SpriteLook look)
{
    if (window == nullptr || sprite == nullptr || !sprite->loaded) {
        return;
    }
    // Too small to draw: under two and a half screen pixels wide or half a screen pixel high,
    // which at scale 1 is a width of 0, 1 or 2 or a height of 0; the same objects at every scale.
    const int64_t k = window->drawingScale;
    if (2 * int64_t{w} < 5 * k || 2 * int64_t{h} < k) {
        return;
    }
    followDrawingScale(window, sprite);
    const auto wantedW = static_cast<uint32_t>(w);
    const auto wantedH = static_cast<uint32_t>(h);
    uint32_t level = 0;
    const Surface& full = *sprite->levels[0]->picture;
    auto lw = static_cast<uint32_t>(full.width);
    auto lh = static_cast<uint32_t>(full.height);
    while (lw > wantedW || lh > wantedH) {
        ++level;
        lw >>= 1;
        lh >>= 1;
    }
    if (level >= sprite->levelCount) {
        return;
    }
    drawScaled(window, sprite->levels[level], x, y, w, h, look);
}

void clearScreen(Window* window)
{
    drawRectangle(&window->backBuffer, 0, 0, window->backBuffer.width, window->backBuffer.height,
                  solidBrush(0x000000), solidPen(0x000000));
}
