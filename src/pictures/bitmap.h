#pragma once
// Pictures loaded from the game's BMP files, with colour-key transparency, and Sprites: a picture
// with its chain of halved reductions for drawing at many sizes.
// Screens and the race graphics set load them; sprite_draw.h and text.h draw them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/raster.h"
#include "gfx/surface.h"

struct Window;

// The picture's description: filled from the loaded file, set by bitmapFromPixels, all zero
// for a picture that failed to load.
struct BitmapInfo {
    int32_t type = 0;
    int32_t width = 0;      // screen pixels: the picture's own pixels divided by its scale
    int32_t height = 0;     // screen pixels
    int32_t widthBytes = 0; // bytes per row of the picture's own 32-bit pixels
    uint16_t planes = 0;
    uint16_t bitsPixel = 0;
    const void* bits = nullptr; // the pixels the picture was made from (bitmapFromPixels only)
};

// A loaded picture (heap record made by loadBitmap or bitmapFromPixels, released by freeBitmap).
// An empty Bitmap (no picture) is valid everywhere and draws nothing.
struct Bitmap {
    // The drawing scale the picture was painted at: its own pixels per screen pixel, 1 to 4.
    // Drawn at another scale it is enlarged or reduced, nearest pixel.
    int scale = 1;
    // Where a picture loaded from a file came from ("" for one made from pixels), how it was
    // keyed, and the drawing scale it was loaded for: drawn at another, it is loaded again.
    std::string gamePath;
    uint8_t transparent = 0;
    int loadedFor = 1;
    // The colour picture, 0x00RRGGBB; white wherever a colour-keyed picture is transparent.
    // Null when loading failed.
    std::unique_ptr<Surface> picture;
    // 1 where the picture is opaque, 0 where it is transparent; null for an opaque Bitmap.
    std::unique_ptr<Mask> mask;
    BitmapInfo info;
    // The picture's own pixels (scale x width by scale x height) as values 0xAARRGGBB, top row
    // first. Loaded pictures: AA is 0xFF for an opaque pixel and 0 for a pixel of the key colour;
    // pictures made from pixels keep the caller's values.
    std::vector<uint32_t> pixels;
};

// A picture with its reductions (record allocated by its user, filled by loadSprite, emptied by
// freeSprite). After a failed load: loaded 0, width, height and levelCount 0, levels null.
struct Sprite {
    uint8_t loaded = 0;
    int32_t width = 0;       // full-size picture width in screen pixels (as painted at scale 1)
    int32_t height = 0;      // full-size picture height in screen pixels
    uint32_t levelCount = 0; // number of levels
    // levelCount owned Bitmaps: level 0 is the loaded picture, W by H of its own pixels; level i
    // is it reduced to W >> i by H >> i (each at least 1), keyed on the same colour.
    Bitmap** levels = nullptr;
};

// Loads the BMP file at path, written as the game writes it ("gfx\\menu\\arrow.bmp"), found in the
// working folder, beside the executable or in the installed data folder, painted at the window's
// drawing scale k: the picture of the gfx-kx folder when it is exactly k times the size of the
// gfx one, otherwise the gfx one (scale 1, enlarged when drawn). A null window loads scale 1.
// transparent 0 = opaque; 1 = colour-keyed: the bottom-right pixel's colour marks every transparent
// pixel. Never returns null; a null path or a missing, damaged or oversized file gives the empty
// Bitmap silently. Running out of memory ends the program with "Cannot allocate enough memory for
// bitmap!". The caller owns the result and releases it with freeBitmap.
Bitmap* loadBitmap(Window* window, const char* path, uint8_t transparent);

// Makes a colour-keyed Bitmap from the caller's width x height pixels (top row first), keyed on
// the bottom-right pixel's colour (top byte ignored). The caller keeps its array; the Bitmap holds
// a copy with the top bytes untouched. Null pixels or a size below 1 give the empty Bitmap.
// Running out of memory ends the program with "Not enough memory to hold bitmap!".
Bitmap* bitmapFromPixels(const uint32_t* pixels, int width, int height);

// Copies columns [x, x + w) of a picture (screen pixels, within it) into a Bitmap of its own,
// painted at the same scale and keyed the same way, whose rows hold only those columns. Called by
// the race's sky when the view's margins change: a picture drawn a band of columns at a time (the
// sky beyond the sides of the wide view) then copies from one run of memory instead of a short
// run of every long row, which the processor cannot read ahead of. Columns not all within the
// picture, or an empty picture, give the empty Bitmap, and so do pixels past the budget of all
// pictures. Running out of memory ends the program with "Not enough memory to hold bitmap!". The
// caller owns the result and releases it with freeBitmap; the cut does not follow the drawing
// scale by itself (cut the picture again when its scale changes).
Bitmap* cutBitmapColumns(const Bitmap& from, int x, int w);

// Loads a picture read from a file again when the window's drawing scale is not the one it was
// loaded for (the player switched full screen or the sharp picture, or resized the window), so
// that a screen's pictures follow the scale without the screen knowing. Its size in screen pixels
// never changes: a new picture of another size is dropped and the old one kept. The drawing
// operations call it before each picture they draw; it costs nothing while the scale stays.
void followDrawingScale(Window* window, Bitmap* bitmap);
// The same for a loaded Sprite: its levels are made again from the picture loaded anew.
void followDrawingScale(Window* window, Sprite* sprite);
// Releases the Bitmap and everything it owns. The argument must not be null.
void freeBitmap(Bitmap* bitmap);

// Fills the caller's Sprite from the file at path (colour-keyed) and builds its levels; returns
// the same Sprite. A null path or window, a missing file or an empty picture leaves the Sprite not
// loaded, with zero sizes and no levels.
Sprite* loadSprite(Window* window, const char* path, Sprite* sprite);

// Frees the levels of a loaded Sprite and leaves it not loaded with zero sizes; does not free the
// record. Does nothing for a Sprite that is not loaded.
void freeSprite(Sprite* sprite);

// How many picture records are alive now. A soak test checks that they are back to their
// earlier values after every race.
struct PictureCounts {
    long bitmaps = 0;      // Bitmaps made and not yet freed
    long spriteLevels = 0; // loaded Sprites whose levels are not yet freed
    long fonts = 0;        // BitmapFonts made and not yet freed (text.h)
};
PictureCounts livePictureCounts();

// Bookkeeping for text.h's font records.
void countFontMade();
void countFontFreed();
