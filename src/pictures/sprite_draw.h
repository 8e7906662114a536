#pragma once
// Drawing pictures into the window's back buffer: whole, cut, stretched, and as a Sprite at a
// wanted size; and clearing the back buffer.
// Coordinates are back-buffer pixels, x right, y down, (0, 0) top left. A colour-keyed Bitmap
// shows its opaque pixels and leaves the background elsewhere; an opaque one is copied whole.
// A null or empty Bitmap draws nothing. Nothing is ever written outside the back buffer.

#include <cstdint>

struct Window;
struct Bitmap;
struct Sprite;

// The whole picture, unscaled, top-left corner at (x, y). Used by the screens (bars, arrows,
// result pictures) and the race (sky, clouds).
void drawBitmap(Window* window, Bitmap* bitmap, int x, int y);

// The w by h rectangle at (srcX, srcY) of the picture, unscaled, to (x, y). The source corner is
// first moved inside the picture (below 0 becomes 0, beyond the last column or row becomes it),
// then the size is cut to the picture's edge; nothing is drawn unless at least 1 by 1 remains.
// Used by drawText for glyph cells and by the race's gauges for their filled part.
void drawBitmapRegion(Window* window, Bitmap* bitmap, int srcX, int srcY, int x, int y, int w,
                      int h);

// The whole picture stretched (nearest pixel) to the w by h rectangle at (x, y), clipped against
// the client area: the part cut off at each edge takes the matching part of the source, by
// single-precision ratios of the sizes current at that edge (left, top, bottom, right). Draws
// nothing unless every source and destination size is at least 1 after clipping.
void drawBitmapScaled(Window* window, Bitmap* bitmap, int x, int y, int w, int h);

// Draws the Sprite stretched to the w by h rectangle at (x, y) from its largest level that is no
// wider than w and no taller than h (sizes compared as unsigned values). Nothing for a null
// window, a Sprite that is not loaded, w of 0, 1 or 2, or h of 0.
void drawSprite(Window* window, Sprite* sprite, int x, int y, int w, int h);

// Fills the client-sized area of the back buffer with black. The menu, controls and result
// screens call it first in each frame.
void clearScreen(Window* window);
