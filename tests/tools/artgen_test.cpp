// artgen's drawing tools: how shapes become keyed pixels, and the icon file.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "canvas.h"
#include "icon_file.h"
#include "test_folder.h"

namespace {

uint32_t pixel(const Picture& p, int x, int y)
{
    return p.surface.pixels[static_cast<size_t>(y) * static_cast<size_t>(p.surface.width) +
                            static_cast<size_t>(x)];
}

uint32_t bigEndian(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

} // namespace

TEST(Canvas, KeyedPixelsAreOpaqueFromHalfCoverageAndTakeOnlyTheShapesColour)
{
    Canvas canvas(4, 3, 4);
    canvas.fillRect(1, 0, 2, 3, hexColour(0xFF0000));
    canvas.fillRect(0, 0, 0.375f, 1, hexColour(0x00FF00)); // 6 of 16 samples: stays transparent
    canvas.fillRect(0, 1, 0.625f, 1, hexColour(0x0000FF)); // 10 of 16 samples: opaque, pure blue
    canvas.fillRect(3, 2, 1, 1, hexColour(0xFFFFFF));      // painted, yet the key's own place
    const Picture p = canvas.resolve(true);
    ASSERT_EQ(p.surface.width, 4);
    ASSERT_EQ(p.surface.height, 3);
    EXPECT_EQ(pixel(p, 0, 0), keyColour);
    EXPECT_EQ(pixel(p, 0, 1), 0x0000FFu);
    EXPECT_EQ(pixel(p, 0, 2), keyColour);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(pixel(p, 1, y), 0xFF0000u);
        EXPECT_EQ(pixel(p, 2, y), 0xFF0000u);
    }
    EXPECT_EQ(pixel(p, 3, 0), keyColour);
    EXPECT_EQ(pixel(p, 3, 2), keyColour) << "the bottom-right pixel is always the key";
}

TEST(Canvas, PaintNeverResolvesToTheKeyAndOpaquePicturesAverageOverBlack)
{
    Canvas keyed(3, 3, 2);
    keyed.fillRect(-10, -10, 100, 100, hexColour(keyColour)); // far past every edge
    const Picture k = keyed.resolve(true);
    for (size_t i = 0; i + 1 < k.surface.pixels.size(); ++i)
        EXPECT_NE(k.surface.pixels[i], keyColour) << "pixel " << i;
    EXPECT_EQ(k.surface.pixels.back(), keyColour);

    Canvas opaque(2, 1, 2);
    opaque.fillRect(0, 0, 0.5f, 1, hexColour(0xFFFFFF));
    const Picture o = opaque.resolve(false);
    EXPECT_EQ(pixel(o, 0, 0), 0x808080u);
    EXPECT_EQ(pixel(o, 1, 0), 0x000000u) << "an opaque picture has no key";
}

TEST(Canvas, SilhouetteDarkensOnlyPixelsWithinTheRimOfTransparentOnes)
{
    Canvas canvas(5, 5, 1);
    canvas.fillRect(0, 0, 4, 4, hexColour(0xC8C8C8));
    const Picture painted = canvas.resolve(true);
    Picture p = painted;
    darkenSilhouette(p, 0.5f, 1);
    EXPECT_EQ(pixel(p, 1, 1), 0xC8C8C8u) << "inside";
    EXPECT_EQ(pixel(p, 0, 0), 0xC8C8C8u) << "the picture's border is not a transparent neighbour";
    EXPECT_EQ(pixel(p, 3, 1), 0x646464u) << "beside the transparent column";
    EXPECT_EQ(pixel(p, 1, 3), 0x646464u) << "above the transparent row";
    EXPECT_EQ(pixel(p, 4, 4), keyColour);

    // A rim two pixels wide, as a picture at drawing scale 2 has: steps across and down add up.
    Picture wide = painted;
    darkenSilhouette(wide, 0.5f, 2);
    EXPECT_EQ(pixel(wide, 2, 0), 0x646464u) << "two columns from the transparent one";
    EXPECT_EQ(pixel(wide, 2, 2), 0x646464u)
        << "one step across and one down from the transparent ones";
    EXPECT_EQ(pixel(wide, 1, 1), 0xC8C8C8u) << "three steps away";
    EXPECT_EQ(pixel(wide, 3, 3), 0x646464u) << "darkened once, not once per transparent neighbour";
}

TEST(Canvas, AtDrawingScaleTwoShapesCoverTheSameShareOfAPictureTwiceAsLarge)
{
    Canvas canvas(4, 3, 4, 2);
    EXPECT_EQ(canvas.width(), 4) << "sizes stay in picture units";
    EXPECT_EQ(canvas.samples(), 4) << "2 x 2 samples in each of the 2 x 2 pixels of a unit";
    canvas.fillRect(1, 0, 2, 3, hexColour(0xFF0000));
    canvas.fillRect(0, 1, 0.75f, 1, hexColour(0x0000FF)); // a pixel and a half across
    const Picture p = canvas.resolve(true);
    ASSERT_EQ(p.surface.width, 8);
    ASSERT_EQ(p.surface.height, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool red = x >= 2 && x < 6;
            const bool blue = x < 2 && y >= 2 && y < 4;
            EXPECT_EQ(pixel(p, x, y), red    ? 0xFF0000u
                                      : blue ? 0x0000FFu
                                             : keyColour)
                << x << "," << y;
        }
}

TEST(IconFile, IsAValidPngWhoseAlphaComesFromTheKey)
{
    Picture picture;
    picture.keyed = true;
    picture.surface.width = 3;
    picture.surface.height = 2;
    picture.surface.pixels = {0x102030, keyColour, 0xFFFFFF, 0x000000, 0x405060, keyColour};
    const std::string path = testFolder() + "icon.png";
    ASSERT_TRUE(writeIconFile(path, picture));
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::vector<uint8_t> idat;
    std::vector<std::string> chunks;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = bigEndian(file, at);
        ASSERT_LE(at + 12 + length, file.size());
        const std::string type(file.begin() + static_cast<long>(at) + 4,
                               file.begin() + static_cast<long>(at) + 8);
        chunks.push_back(type);
        const uLong crc = crc32(0, file.data() + at + 4, length + 4);
        EXPECT_EQ(crc, bigEndian(file, at + 8 + length)) << type << " checksum";
        if (type == "IHDR") {
            EXPECT_EQ(bigEndian(file, at + 8), 3u);
            EXPECT_EQ(bigEndian(file, at + 12), 2u);
            EXPECT_EQ(file[at + 16], 8);
            EXPECT_EQ(file[at + 17], 6) << "RGBA";
        }
        if (type == "IDAT")
            idat.insert(idat.end(), file.begin() + static_cast<long>(at) + 8,
                        file.begin() + static_cast<long>(at + 8 + length));
        at += 12 + length;
    }
    EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    std::vector<uint8_t> raw(2 * (1 + 3 * 4));
    uLongf rawLength = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawLength, idat.data(), idat.size()), Z_OK);
    ASSERT_EQ(rawLength, raw.size());
    const std::vector<uint8_t> expected = {0,    0x10, 0x20, 0x30, 255, 0, 0, 0, 0,
                                           0xFF, 0xFF, 0xFF, 255,  0,   0, 0, 0, 255,
                                           0x40, 0x50, 0x60, 255,  0,   0, 0, 0};
    EXPECT_EQ(raw, expected);
}
