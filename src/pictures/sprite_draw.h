#pragma once
// Drawing pictures into the window's back buffer: whole, cut, stretched, and as a Sprite at a
// wanted size; and clearing the back buffer.
// x runs right, y down, (0, 0) is the top left of the 640 by 480 layout. Whole and cut pictures
// are placed in screen pixels and drawn at the window's drawing scale k: position and size k times
// the screen's; in the wide view the layout sits in the middle of the screen, whose x runs from
// -margin to 640 + margin (screenMargin). A picture loaded for another scale is first loaded again
// for k (followDrawingScale); one that has no picture painted at k shows its scale-1 pixels
// enlarged, nearest pixel. Stretched pictures and Sprites are placed in back-buffer pixels counted
// from the layout's left edge, as the race camera projects them. A colour-keyed
// Bitmap shows its opaque pixels and leaves the background elsewhere; an opaque one is copied
// whole. A null or empty Bitmap draws nothing. Nothing is ever written outside the back buffer.
#include <cstdint>

struct Window;
struct Bitmap;
struct Sprite;

// The whole picture, unscaled, top-left corner at (x, y). Used by the screens (bars, arrows,
// result pictures) and the race (sky, clouds).
void drawBitmap(Window* window, Bitmap* bitmap, int x, int y);
// The same with the top-left corner at back-buffer pixel (x, y), x counted from the layout's left
// edge: the race's clouds, whose screen position is a fraction made whole only at the drawing
// scale.
void drawBitmapAt(Window* window, Bitmap* bitmap, int x, int y);

// The w by h rectangle at (srcX, srcY) of the picture, unscaled, to (x, y), all in screen pixels.
// The source corner is first moved inside the picture (below 0 becomes 0, beyond the last column or
// row becomes it), then the size is cut to the picture's edge; nothing is drawn unless at least 1
// by 1 remains. Used by drawText for glyph cells and by the race's gauges for their filled part.
void drawBitmapRegion(Window* window, Bitmap* bitmap, int srcX, int srcY, int x, int y, int w,
                      int h);

// The w by h rectangle at (srcX, srcY) of the picture stretched (nearest pixel) over the toW by
// toH rectangle at (x, y), all in screen pixels. Nothing unless the source rectangle lies wholly
// inside the picture and every size is at least 1. The screens carry their bars out to the edges
// of the wide view with it.
void drawBitmapRegionStretched(Window* window, Bitmap* bitmap, int srcX, int srcY, int w, int h,
                               int x, int y, int toW, int toH);

// The whole picture as it is, stretched (nearest pixel) to the w by h rectangle at back-buffer
// pixel (x, y), x counted from the layout's left edge, clipped against the back buffer: the part
// cut off at each edge takes the matching part of its own pixels, by single-precision ratios of
// the sizes current at that edge (left, top, bottom, right). In the wide view the layout and the
// two margins (screenParts) each clip it so on their own, which keeps the layout's pixels those
// of the 4:3 view. Draws nothing unless every source and destination size is at least 1 after
// clipping.
void drawBitmapScaled(Window* window, Bitmap* bitmap, int x, int y, int w, int h);

// How a Sprite is drawn: as it is, or seen through (each opaque pixel halfway between the
// picture's and what lies behind it: the race's ghost car).
enum class SpriteLook { Solid, SeeThrough };

// Draws the Sprite stretched to the w by h rectangle at back-buffer pixel (x, y) from its largest
// level whose own pixels are no wider than w and no taller than h (sizes compared as unsigned
// values). Nothing for a null window, a Sprite that is not loaded, or a box under two and a half
// screen pixels wide or under half a screen pixel high (at scale 1: w of 0, 1 or 2, or h of 0;
// at scale k: 2 w < 5 k or 2 h < k), so that every scale shows the same objects.
void drawSprite(Window* window, Sprite* sprite, int x, int y, int w, int h,
                SpriteLook look = SpriteLook::Solid);

// Fills the whole back buffer with black. The menu, controls and result
// screens call it first in each frame.
void clearScreen(Window* window);
