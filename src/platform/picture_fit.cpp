// The back buffer's place in a window or on a screen.
#include "platform/picture_fit.h"

#include <algorithm>
#include <cstdint>

PictureFit fitPicture(int outW, int outH, int pictureW, int pictureH, bool fill)
{
    PictureFit fit;
    if (outW < 1 || outH < 1 || pictureW < 1 || pictureH < 1) {
        fit.rect = PixelRect{0, 0, 1, 1};
        return fit;
    }
    const int factor = std::min(outW / pictureW, outH / pictureH);
    int width = 0;
    int height = 0;
    if (!fill && factor >= 1) {
        width = pictureW * factor;
        height = pictureH * factor;
    } else if (static_cast<int64_t>(outW) * pictureH <= static_cast<int64_t>(outH) * pictureW) {
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
    fit.smooth = width % pictureW != 0 || height % pictureH != 0 || width / pictureW != height / pictureH;
    fit.rect = PixelRect{(outW - width) / 2, (outH - height) / 2, width, height};
    return fit;
}
