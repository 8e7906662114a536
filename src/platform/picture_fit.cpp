// The back buffer's place in a window or on a screen.
#include "platform/picture_fit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "gfx/raster.h"
#include "gfx/surface.h"

namespace {

// A full-screen picture whose shape is this close to the screen's (one part in so many) fills it.
constexpr int64_t fullScreenShapeParts = 640;

} // namespace

PictureFit fitPicture(int outW, int outH, int pictureW, int pictureH, bool fill)
{
    PictureFit fit;
    if (outW < 1 || outH < 1 || pictureW < 1 || pictureH < 1) {
        fit.rect = PixelRect{0, 0, 1, 1};
        return fit;
    }
    const int factor = std::min(outW / pictureW, outH / pictureH);
    // How far the two shapes differ: output width x picture height against picture width x
    // output height.
    const int64_t across = static_cast<int64_t>(outW) * pictureH;
    const int64_t along = static_cast<int64_t>(outH) * pictureW;
    int width = 0;
    int height = 0;
    if (fill && std::abs(across - along) <= along / fullScreenShapeParts) {
        // The wide view's width is a whole number of screen pixels: within one part in 640 of
        // the screen's shape, the picture covers the screen edge to edge.
        width = outW;
        height = outH;
    } else if (!fill && factor >= 1) {
        width = pictureW * factor;
        height = pictureH * factor;
    } else if (across <= along) {
        // Bars above and below.
        width = outW;
        height = static_cast<int>(static_cast<int64_t>(outW) * pictureH / pictureW);
    } else {
        // Bars on the sides.
        height = outH;
        width = static_cast<int>(static_cast<int64_t>(outH) * pictureW / pictureH);
    }
    width = std::max(1, width);
    height = std::max(1, height);
    fit.smooth =
        width % pictureW != 0 || height % pictureH != 0 || width / pictureW != height / pictureH;
    fit.rect = PixelRect{(outW - width) / 2, (outH - height) / 2, width, height};
    return fit;
}

void showPicture(const Surface& picture, const PictureFit& fit, uint32_t* output, int outW,
                 int outH, int pitch)
{
    // The part of the picture's place that lies inside the output.
    const int left = std::clamp(fit.rect.x, 0, outW);
    const int top = std::clamp(fit.rect.y, 0, outH);
    const int right = std::clamp(fit.rect.x + fit.rect.w, left, outW);
    const int bottom = std::clamp(fit.rect.y + fit.rect.h, top, outH);
    const size_t rowBytes = static_cast<size_t>(outW) * sizeof(uint32_t);
    for (int y = 0; y < outH; ++y) {
        uint32_t* row = output + static_cast<ptrdiff_t>(y) * pitch;
        if (y < top || y >= bottom || picture.width < 1 || picture.height < 1) {
            std::memset(row, 0, rowBytes);
            continue;
        }
        std::fill(row, row + left, 0u);
        std::fill(row + right, row + outW, 0u);
    }
    if (picture.width < 1 || picture.height < 1 || right <= left || bottom <= top) {
        return;
    }
    const int width = right - left;
    if (fit.rect.w == picture.width && fit.rect.h == picture.height) {
        for (int y = top; y < bottom; ++y) {
            const uint32_t* from =
                picture.pixels.data() +
                static_cast<size_t>(y - fit.rect.y) * static_cast<size_t>(picture.width) +
                (left - fit.rect.x);
            copyPixelsPastCache(output + static_cast<ptrdiff_t>(y) * pitch + left, from,
                                static_cast<size_t>(width));
        }
        finishCopiesPastCache();
        return;
    }
    // The picture column of every output column, worked out once; rows that take the same
    // picture row (all of a whole factor's copies) are copied from the first one.
    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = left; x < right; ++x) {
        const int64_t centre = 2 * static_cast<int64_t>(x - fit.rect.x) + 1;
        columns[static_cast<size_t>(x - left)] = static_cast<int>(
            std::min<int64_t>(centre * picture.width / (2 * fit.rect.w), picture.width - 1));
    }
    int previousRow = -1;
    uint32_t* previousOut = nullptr;
    for (int y = top; y < bottom; ++y) {
        const int64_t centre = 2 * static_cast<int64_t>(y - fit.rect.y) + 1;
        const int sourceRow = static_cast<int>(
            std::min<int64_t>(centre * picture.height / (2 * fit.rect.h), picture.height - 1));
        uint32_t* out = output + static_cast<ptrdiff_t>(y) * pitch + left;
        if (sourceRow == previousRow) {
            std::memcpy(out, previousOut, static_cast<size_t>(width) * sizeof(uint32_t));
            continue;
        }
        const uint32_t* from = picture.pixels.data() +
                               static_cast<size_t>(sourceRow) * static_cast<size_t>(picture.width);
        for (int i = 0; i < width; ++i) {
            out[i] = from[columns[static_cast<size_t>(i)]];
        }
        previousRow = sourceRow;
        previousOut = out;
    }
}

bool surfaceBytesFit(int width, int height)
{
    if (width < 0 || height < 0) {
        return false;
    }
    const int64_t bytes =
        static_cast<int64_t>(width) * height * static_cast<int64_t>(sizeof(uint32_t));
    return bytes <= std::numeric_limits<int>::max();
}
