#pragma once
// Helpers shared by the drawing and picture tests: pictures written as rows of characters, a
// comparison that saves the actual image when it fails, and a writer of BMP files in any of the
// layouts the loader reads.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "test_folder.h"

namespace picture_support {

using Palette = std::map<char, uint32_t>;

// A surface drawn as text: one string per row, one character per pixel, colours by palette.
inline Surface surfaceFromArt(const std::vector<std::string>& rows, const Palette& palette)
{
    Surface s;
    s.height = static_cast<int>(rows.size());
    s.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    for (const std::string& row : rows) {
        for (char c : row) {
            s.pixels.push_back(palette.at(c));
        }
    }
    return s;
}

inline void appendLe(std::vector<uint8_t>* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A plain 24-bit bottom-up BMP of the surface.
inline std::vector<uint8_t> bmp24(const Surface& s)
{
    const int rowBytes = (s.width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out{'B', 'M'};
    appendLe(&out, static_cast<uint32_t>(54 + rowBytes * s.height), 4);
    appendLe(&out, 0, 4);
    appendLe(&out, 54, 4);
    appendLe(&out, 40, 4);
    appendLe(&out, static_cast<uint32_t>(s.width), 4);
    appendLe(&out, static_cast<uint32_t>(s.height), 4);
    appendLe(&out, 1, 2);
    appendLe(&out, 24, 2);
    for (int i = 0; i < 6; ++i) {
        appendLe(&out, 0, 4);
    }
    for (int y = s.height - 1; y >= 0; --y) {
        for (int x = 0; x < s.width; ++x) {
            appendLe(&out, s.pixels[static_cast<std::size_t>(y * s.width + x)], 3);
        }
        for (int pad = s.width * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Compares every pixel; on a difference saves the actual image beside the test as
// <name>_actual.bmp and names the first differing pixel.
inline void expectSamePixels(const Surface& actual, const Surface& expected,
                             const std::string& name)
{
    ASSERT_EQ(actual.width, expected.width) << name;
    ASSERT_EQ(actual.height, expected.height) << name;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * actual.width + x);
            if (actual.pixels[i] != expected.pixels[i]) {
                const std::string saved = testFolder() + name + "_actual.bmp";
                writeFile(saved, bmp24(actual));
                ADD_FAILURE() << name << ": pixel (" << x << ", " << y << ") is 0x" << std::hex
                              << actual.pixels[i] << ", expected 0x" << expected.pixels[i]
                              << std::dec << "; actual image saved as " << saved;
                return;
            }
        }
    }
}

inline void expectArt(const Surface& actual, const std::vector<std::string>& rows,
                      const Palette& palette, const std::string& name)
{
    expectSamePixels(actual, surfaceFromArt(rows, palette), name);
}

} // namespace picture_support
