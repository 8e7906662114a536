// The check every BMP file passes before it is decoded: a damaged or hostile file is refused here,
// before anything is allocated for it.
#include <cstdint>

#include "pictures/picture_file.h"
#include "pictures/bmp_format.h"

namespace {

using namespace bmp_format;

bool knownHeaderSize(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Walks run-length data from `at` to `end` as it would be decoded into a width x height picture
// with `colours` palette entries. Sound when every run stays inside its row, every move stays
// inside the picture, every index is in the palette, and the end-of-picture code comes before the
// data runs out.
bool rleLooksSound(const uint8_t* at, const uint8_t* end, bool fourBit, int64_t width,
                   int64_t height, uint32_t colours)
{
    int64_t x = 0;
    int64_t y = 0;
    auto indexOk = [colours](uint32_t index) { return index < colours; };
    while (end - at >= 2) {
        const uint32_t count = at[0];
        const uint32_t value = at[1];
        at += 2;
        if (count > 0) {
            if (y >= height || x + count > width) {
                return false;
            }
            if (fourBit) {
                if (!indexOk(value >> 4) || (count > 1 && !indexOk(value & 15))) {
                    return false;
                }
            } else if (!indexOk(value)) {
                return false;
            }
            x += count;
            continue;
        }
        if (value == 0) { // end of row
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            return true;
        } else if (value == 2) { // move right and up
            if (end - at < 2) {
                return false;
            }
            x += at[0];
            y += at[1];
            at += 2;
            if (x > width || y > height) {
                return false;
            }
        } else { // `value` literal pixels, padded to a whole number of 16-bit words
            const std::size_t bytes = fourBit ? (value + 1) / 2 : value;
            const std::size_t padded = bytes + (bytes & 1);
            if (static_cast<std::size_t>(end - at) < padded || y >= height || x + value > width) {
                return false;
            }
            for (uint32_t i = 0; i < value; ++i) {
                const uint32_t index =
                    fourBit ? (i % 2 == 0 ? at[i / 2] >> 4 : at[i / 2] & 15) : at[i];
                if (!indexOk(index)) {
                    return false;
                }
            }
            x += value;
            at += padded;
        }
    }
    return false;
}

// Every palette index of uncompressed rows of 1, 4 or 8 bits lies inside the palette.
bool indicesLookSound(const uint8_t* rows, std::size_t rowBytes, int64_t width, int64_t height,
                      uint32_t bitsPerPixel, uint32_t colours)
{
    if (colours >= (1u << bitsPerPixel)) {
        return true;
    }
    const uint32_t perByte = 8 / bitsPerPixel;
    const uint32_t valueMask = (1u << bitsPerPixel) - 1;
    for (int64_t r = 0; r < height; ++r) {
        const uint8_t* row = rows + static_cast<std::size_t>(r) * rowBytes;
        for (int64_t c = 0; c < width; ++c) {
            const uint32_t shift = 8 - bitsPerPixel * (1 + static_cast<uint32_t>(c) % perByte);
            const uint32_t index = (row[c / perByte] >> shift) & valueMask;
            if (index >= colours) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool bmpFileIsWellFormed(const uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < fileHeaderBytes + 12 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const uint32_t pixelOffset = read32(data + 10);
    const uint32_t headerSize = read32(data + 14);
    if (!knownHeaderSize(headerSize) || fileHeaderBytes + headerSize > size) {
        return false;
    }
    const uint8_t* header = data + fileHeaderBytes;
    const bool core = headerSize == 12;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = compressionNone;
    uint32_t coloursUsed = 0;
    if (core) {
        width = read16(header + 4);
        height = read16(header + 6);
        bitsPerPixel = read16(header + 10);
    } else {
        width = static_cast<int32_t>(read32(header + 4));
        height = static_cast<int32_t>(read32(header + 8));
        bitsPerPixel = read16(header + 14);
        compression = read32(header + 16);
        coloursUsed = read32(header + 32);
    }
    const bool topDown = height < 0;
    const int64_t rows = topDown ? -height : height;
    if (width < 1 || width > largestPictureSide || rows < 1 || rows > largestPictureSide ||
        width * rows > largestPicturePixels) {
        return false;
    }
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 &&
        bitsPerPixel != 24 && bitsPerPixel != 32) {
        return false;
    }
    const bool compressionFits =
        compression == compressionNone ||
        (compression == compressionRle8 && bitsPerPixel == 8 && !topDown) ||
        (compression == compressionRle4 && bitsPerPixel == 4 && !topDown) ||
        (compression == compressionBitfields && (bitsPerPixel == 16 || bitsPerPixel == 32));
    if (!compressionFits) {
        return false;
    }
    // Colour masks follow a 40-byte header; longer headers carry them inside.
    std::size_t tableStart = fileHeaderBytes + headerSize;
    if (compression == compressionBitfields && headerSize == 40) {
        tableStart += 12;
    }
    uint32_t colours = 0;
    if (bitsPerPixel <= 8) {
        colours = coloursUsed == 0 ? (1u << bitsPerPixel) : coloursUsed;
        if (colours > (1u << bitsPerPixel)) {
            return false;
        }
        tableStart += static_cast<std::size_t>(colours) * (core ? 3 : 4);
    }
    if (tableStart > size || pixelOffset < tableStart || pixelOffset >= size) {
        return false;
    }
    const uint8_t* pixels = data + pixelOffset;
    const std::size_t available = size - pixelOffset;
    if (compression == compressionRle8 || compression == compressionRle4) {
        return rleLooksSound(pixels, pixels + available, compression == compressionRle4, width,
                             rows, colours);
    }
    const std::size_t rowBytes = static_cast<std::size_t>((width * bitsPerPixel + 31) / 32) * 4;
    if (available / rowBytes < static_cast<std::size_t>(rows)) {
        return false;
    }
    if (bitsPerPixel <= 8) {
        return indicesLookSound(pixels, rowBytes, width, rows, bitsPerPixel, colours);
    }
    return true;
}
