#pragma once
// Decoding BMP files into 32-bit pixels, done by the desktop library's own reader. Only the
// picture loader (pictures/picture_file.h) calls it, and only with a file it has checked whole.

#include <cstddef>
#include <cstdint>
#include <vector>

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

// Decodes the `size` bytes at `data` (owned by the caller), which must already have passed
// bmpFileIsWellFormed: the reader allocates whatever the file's header claims. Nothing is
// reported; `picture` is filled only when the result is Loaded. Running out of memory throws
// std::bad_alloc, as a new-expression does, for the caller's allocateOrFatal.
PictureRead decodeCheckedBmp(const uint8_t* data, std::size_t size, PicturePixels* picture);
