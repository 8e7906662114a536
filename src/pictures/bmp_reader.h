#pragma once
// Our own reader of BMP files: a whole file held in memory becomes 32-bit pixels. The picture
// loader (picture_file.h) calls it for every picture the game, the tools and the fuzzer load, and
// only once the whole file has passed bmpFileIsWellFormed.

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest width and height the loader accepts, so that a hostile file cannot make it
// allocate without bound.
constexpr int largestPictureSide = 8192;
// The most pixels one picture may have: the largest picture the game ships at any drawing scale,
// the sky painted at scale 4 (2560 x 1920). A picture needs 9 bytes a pixel once loaded (its
// pixels, its colour picture and its mask), so a small run-length file claiming 8192 x 8192 would
// otherwise cost some 600 MB; refused, it costs nothing.
constexpr int64_t largestPicturePixels = 2560 * 1920;

// A decoded picture: width x height pixels, rows top to bottom, each 0x00RRGGBB.
struct PicturePixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

enum class PictureRead {
    Loaded,     // `PicturePixels` holds the picture
    Unreadable, // missing, not a picture file, damaged, or larger than the loader accepts
};

// Decodes the `size` bytes at `data` (owned by the caller), a file bmpFileIsWellFormed accepted:
// 1, 4, 8, 16, 24 or 32 bits per pixel; uncompressed, run-length coded (4 or 8 bits) or with
// colour masks; the 12-byte OS/2 header or a Windows header of 40, 52, 56, 108 or 124 bytes;
// stored bottom row first or top row first. Fills `picture` (owned by the caller) with its
// width and height in pixels and its pixels, rows top to bottom, each 0x00RRGGBB, and returns
// Loaded; `picture` is left alone when the result is Unreadable.
//
// The pixels are those the desktop library's own reader gave the game before this one, rounding
// included, so every picture looks as it always did: 5- and 6-bit channels widen to 8 bits by
// that reader's tables, a 16-bit file without masks is 5-5-5, and colour masks it did not know
// make the file Unreadable.
//
// Whatever the header claims, nothing is read outside the `size` bytes and nothing larger than
// largestPicturePixels pixels is allocated. Running out of memory throws std::bad_alloc, as a
// new-expression does, for the caller's allocateOrFatal.
PictureRead decodeWellFormedBmp(const uint8_t* data, std::size_t size, PicturePixels* picture);
