#pragma once
// The software raster: every shape and copy the game draws, on plain Surfaces.
// Used by the platform's picture drawing (back buffer, loaded pictures), by the road renderer
// (filled rectangles and four-point polygons, one a frame per band, road, line and dash) and by
// the result screen (grey frames). Nothing here keeps state: the fill, the pen and the colours of
// a mask conversion are arguments of each call. Every operation clips to the destination surface
// whatever its coordinates (huge, negative, inverted): nothing ever writes outside it.
// Colours are 0x00RRGGBB like the surfaces.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/surface.h"

// The fill of a shape: a solid colour, or hollow (the shape's inside is left untouched).
struct Brush {
    bool hollow = true;
    uint32_t colour = 0;
};
// The outline of a rectangle or a line: a solid colour one pixel wide, or none.
struct Pen {
    bool none = true;
    uint32_t colour = 0;
};

inline Brush solidBrush(uint32_t colour) { return Brush{false, colour}; }
inline Brush hollowBrush() { return Brush{}; }
inline Pen solidPen(uint32_t colour) { return Pen{false, colour}; }
inline Pen noPen() { return Pen{}; }

// A one-bit picture: width x height entries, rows top to bottom, each 1 or 0.
// Pictures with a colour key carry one: 1 where the picture is opaque, 0 where it is transparent.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits;
};

// An integer rectangle: top-left corner (x, y), w by h pixels. A rectangle with w or h below 1
// is empty.
struct PixelRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// A vertex of a filled polygon, in destination pixels. Kept in floating point so that projected
// road corners far outside the screen never pass through a 32-bit integer.
struct PointF {
    double x = 0;
    double y = 0;
};

// How a copy combines a source pixel s with the destination pixel d.
enum class RasterOp {
    Copy, // d = s
    Or,   // d = d | s
    And,  // d = d & s
};

// Gives the surface a new size and fills it with black (0). A width or height below 1 makes it
// empty. Called by the platform when the client area changes and for scratch surfaces in tests.
void resizeSurface(Surface* surface, int width, int height);

// Fills the whole surface with one colour.
void fillSurface(Surface* surface, uint32_t colour);

// Draws the rectangle between the corners (left, top) and (right, bottom); the corners may come in
// either order. The pixels whose centres lie inside it are drawn: columns left to right - 1 and
// rows top to bottom - 1 for integer corners (right and bottom edges left out). The brush fills
// them (a hollow brush fills nothing); a pen draws their outermost ring in its colour. Corners are
// clipped in floating point against a band just outside the surface before becoming integers, so
// any finite value is safe; a non-finite corner draws nothing. Used by clearScreen (black brush
// and pen over the whole client area) and by the road renderer (snow bands, no pen).
void drawRectangle(Surface* surface, double left, double top, double right, double bottom,
                   Brush brush, Pen pen);

// Draws the closed one-pixel outline of the rectangle whose corner pixels (x0, y0) and (x1, y1)
// are both included, in either order. A pen of style none draws nothing. Used by the result
// screen's grey frames.
void drawRectangleOutline(Surface* surface, int x0, int y0, int x1, int y1, Pen pen);

// Fills the polygon through `count` vertices (at least 3; the road uses 4) with the brush,
// by the even-odd rule: a pixel is drawn when its centre lies inside. A centre exactly on a left
// or top edge is inside, on a right or bottom edge outside, so polygons sharing an edge never
// overlap or leave a gap. A non-finite vertex or a hollow brush draws nothing. Polygons have no
// outline (the race draws them without a pen).
void fillPolygon(Surface* surface, const PointF* points, int count, Brush brush);

// Columns of a surface drawn on as a picture of their own: coordinates are counted from surface
// column `originX`, and the part holds the columns `left` to `right` - 1 of those coordinates.
struct ColumnRange {
    int originX = 0;
    int left = 0;
    int right = 0;
};

// fillPolygon within the columns of `part` only, the polygon's x counted from part.originX: it
// is clipped to the part exactly as fillPolygon clips to a whole surface as wide as the part, so
// a part's pixels never depend on what lies beside it. The wide race view draws the road in such
// parts, which keeps the middle 640 columns of every frame those of the 4:3 view.
void fillPolygonIn(Surface* surface, ColumnRange part, const PointF* points, int count,
                   Brush brush);

// Draws a one-pixel line from (x0, y0) towards (x1, y1) in the pen's colour; the end point itself
// is left out, so joined lines draw every pixel once. A pen of style none draws nothing.
void drawLine(Surface* surface, int x0, int y0, int x1, int y1, Pen pen);

// Copies the source rectangle `from` of `source` onto the destination rectangle `to` of
// `destination`, stretched or shrunk by nearest pixel (destination column i of the rectangle
// reads source column from.x + i * from.w / to.w, rows alike; equal sizes copy unscaled), combined
// with the destination by `op`. Parts of either rectangle that lie outside their surface are
// skipped; an empty rectangle draws nothing. Source and destination must not be the same surface.
void stretchBlit(Surface* destination, PixelRect to, const Surface& source, PixelRect from,
                 RasterOp op);

// Unscaled form of stretchBlit: the w by h rectangle at (from.x, from.y) onto (x, y).
void blit(Surface* destination, int x, int y, const Surface& source, PixelRect from, RasterOp op);

// Copies n pixels from `in` to `out` past the processor's caches where it can: for copies into
// memory that something else reads next (the window's surface, which the display server shows)
// or that is far larger than the caches. Call finishCopiesPastCache after the last of a series,
// before anything reads what they wrote.
void copyPixelsPastCache(uint32_t* out, const uint32_t* in, std::size_t n);
void finishCopiesPastCache();

// Converts the mask's rectangle `from` to colour and combines it with the destination rectangle
// `to` like stretchBlit: a bit 1 becomes `backgroundColour`, a bit 0 becomes `textColour`.
// With text black and background white, ORing a mask makes the opaque part white and leaves the
// rest unchanged: the first step of drawing a colour-keyed picture.
void stretchMask(Surface* destination, PixelRect to, const Mask& mask, PixelRect from,
                 uint32_t textColour, uint32_t backgroundColour, RasterOp op);

// Draws a colour-keyed picture in one pass: where the mask is 1 the picture's pixel is copied,
// where it is 0 the destination stays. The result equals ORing the mask (text black, background
// white) and then ANDing a picture that is white wherever the mask is 0, which is how the game
// composes transparent pictures. Mask and picture must have the same size; the rectangles are
// sampled as in stretchBlit, so mask and picture always stretch identically.
void stretchKeyed(Surface* destination, PixelRect to, const Surface& picture, const Mask& mask,
                  PixelRect from);

// The colour half way between two pixels, channel by channel, each half rounded down:
// (a >> 1 & 0x7F7F7F) + (b >> 1 & 0x7F7F7F).
uint32_t halfwayColour(uint32_t a, uint32_t b);

// stretchKeyed seen through: where the mask is 1 the pixel becomes halfway between the
// destination's and the picture's (halfwayColour), where it is 0 the destination stays. The race
// draws its ghost car so, the road and scenery showing through it.
void stretchKeyedSeeThrough(Surface* destination, PixelRect to, const Surface& picture,
                            const Mask& mask, PixelRect from);
