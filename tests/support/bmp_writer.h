#pragma once
// Writes BMP files in the layouts the picture loader must read: 1, 4, 8, 16, 24 and 32 bits per
// pixel, bottom-up or top-down, run-length coded with 4 or 8 bits, with the long or the old short
// header. The tests make their own files with it; nothing depends on the game's gfx folder.

#include <cstdint>
#include <vector>

#include "picture_support.h"

namespace picture_support {

struct BmpLayout {
    int bitsPerPixel = 24;
    bool topDown = false;
    int compression = 0;      // 0 none, 1 run-length 8-bit, 2 run-length 4-bit
    bool shortHeader = false; // the 12-byte header with 3-byte palette entries
};

// Encodes the image (colours 0x00RRGGBB, top row first). Paletted layouts take each pixel's index
// in `palette`, which must hold every colour of the image.
inline std::vector<uint8_t> makeBmp(const Surface& image, const std::vector<uint32_t>& palette,
                                    BmpLayout layout)
{
    const int bpp = layout.bitsPerPixel;
    const bool paletted = bpp <= 8;
    auto indexOf = [&](uint32_t colour) {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            if (palette[i] == colour) {
                return static_cast<uint32_t>(i);
            }
        }
        ADD_FAILURE() << "colour missing from the palette";
        return 0u;
    };
    auto at = [&](int x, int y) {
        return image.pixels[static_cast<std::size_t>(y * image.width + x)];
    };

    std::vector<uint8_t> data;
    const int w = image.width;
    const int h = image.height;
    for (int i = 0; i < h; ++i) {
        const int y = layout.topDown ? i : h - 1 - i;
        if (layout.compression != 0) {
            // Runs of one index, at most 255 long, then the end of the row.
            for (int x = 0; x < w;) {
                int run = 1;
                while (x + run < w && run < 255 && at(x + run, y) == at(x, y)) {
                    ++run;
                }
                const uint32_t index = indexOf(at(x, y));
                data.push_back(static_cast<uint8_t>(run));
                data.push_back(
                    static_cast<uint8_t>(layout.compression == 2 ? (index << 4) | index : index));
                x += run;
            }
            data.push_back(0);
            data.push_back(i == h - 1 ? 1 : 0);
            continue;
        }
        std::vector<uint8_t> row;
        if (paletted) {
            row.assign(static_cast<std::size_t>((w * bpp + 7) / 8), 0);
            for (int x = 0; x < w; ++x) {
                const int bit = x * bpp;
                row[static_cast<std::size_t>(bit / 8)] |=
                    static_cast<uint8_t>(indexOf(at(x, y)) << (8 - bpp - bit % 8));
            }
        } else {
            for (int x = 0; x < w; ++x) {
                const uint32_t c = at(x, y);
                if (bpp == 16) {
                    appendLe(&row, ((c >> 19 & 31) << 10) | ((c >> 11 & 31) << 5) | (c >> 3 & 31),
                             2);
                } else {
                    appendLe(&row, c, bpp / 8);
                }
            }
        }
        while (row.size() % 4 != 0) {
            row.push_back(0);
        }
        data.insert(data.end(), row.begin(), row.end());
    }

    // The short header has no colour count: its palette always has 2^depth entries.
    std::vector<uint32_t> table = palette;
    if (layout.shortHeader && paletted) {
        table.resize(std::size_t{1} << bpp, 0);
    }
    const uint32_t headerBytes = layout.shortHeader ? 12 : 40;
    const uint32_t entryBytes = layout.shortHeader ? 3 : 4;
    const uint32_t paletteBytes = paletted ? static_cast<uint32_t>(table.size()) * entryBytes : 0;
    const uint32_t offset = 14 + headerBytes + paletteBytes;
    std::vector<uint8_t> out{'B', 'M'};
    appendLe(&out, offset + static_cast<uint32_t>(data.size()), 4);
    appendLe(&out, 0, 4);
    appendLe(&out, offset, 4);
    appendLe(&out, headerBytes, 4);
    if (layout.shortHeader) {
        appendLe(&out, static_cast<uint32_t>(w), 2);
        appendLe(&out, static_cast<uint32_t>(h), 2);
        appendLe(&out, 1, 2);
        appendLe(&out, static_cast<uint32_t>(bpp), 2);
    } else {
        appendLe(&out, static_cast<uint32_t>(w), 4);
        appendLe(&out, static_cast<uint32_t>(layout.topDown ? -h : h), 4);
        appendLe(&out, 1, 2);
        appendLe(&out, static_cast<uint32_t>(bpp), 2);
        appendLe(&out, static_cast<uint32_t>(layout.compression), 4);
        appendLe(&out, static_cast<uint32_t>(data.size()), 4);
        appendLe(&out, 2835, 4);
        appendLe(&out, 2835, 4);
        appendLe(&out, paletted ? static_cast<uint32_t>(palette.size()) : 0, 4);
        appendLe(&out, 0, 4);
    }
    if (paletted) {
        for (uint32_t colour : table) {
            appendLe(&out, colour, static_cast<int>(entryBytes));
        }
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

} // namespace picture_support
