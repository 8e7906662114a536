#pragma once
// Where the back buffer goes in a window or on a screen of any size: its shape kept, centred,
// black bars around it. The desktop backend asks at every present and for every mouse position.

#include <cstdint>

#include "gfx/raster.h"

struct Surface;

struct PictureFit {
    PixelRect rect;      // where the picture goes, in the output's pixels
    bool smooth = false; // true: scaled smoothly; false: by a whole factor, nearest pixel
};

// The back buffer of picture width x height in an output of outW x outH pixels (the window's
// real pixels, which on a HiDPI display are more than its size in desktop units).
// Windowed (fill false): the largest whole factor that fits, nearest pixel; when even factor 1
// does not fit, the largest size of the picture's shape that fits, smooth.
// Full screen (fill true): the largest size of the picture's shape that fits the screen, nearest
// pixel when that is a whole factor and smooth otherwise; a picture whose shape lies within one
// part in 640 of the screen's (the wide view, its width rounded to whole screen pixels) covers
// the whole screen.
// Sizes below 1 give a 1 x 1 picture at (0, 0).
PictureFit fitPicture(int outW, int outH, int pictureW, int pictureH, bool fill);

// Shows `picture` in an output of outW x outH pixels whose rows lie `pitch` pixels apart, as
// `fit` places it: black bars around it, the picture copied when the fit is its own size and
// enlarged (or shrunk) nearest pixel otherwise, each output pixel taking the picture pixel its
// centre falls on. A picture of its own size is written past the processor's caches: the
// display server reads it next, and the game's own pictures stay cached for the next frame.
// The desktop backend calls it at every present when it shows frames through the window's own
// surface; `output` belongs to the caller.
void showPicture(const Surface& picture, const PictureFit& fit, uint32_t* output, int outW,
                 int outH, int pitch);

// Whether a picture of width x height 32-bit pixels can be held by the window's own surface: its
// size in bytes fits in an int, the type SDL works a surface's size out in (a window the window
// manager makes larger than that would get a surface smaller than it claims). The desktop backend
// asks before every present through the window's own surface.
bool surfaceBytesFit(int width, int height);
