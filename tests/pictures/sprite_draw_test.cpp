// Drawing pictures into the back buffer: transparent composition over a known background,
// unscaled and stretched, clipped at each edge; level choice; picture-font text.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "bmp_writer.h"
#include "gfx/raster.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/window.h"

using namespace picture_support;

namespace {

constexpr uint32_t background = 0x303030;
constexpr uint32_t key = 0xFF00FF;

// A window whose back buffer is w by h pixels of the background colour.
struct TestWindow {
    Window window{};
    TestWindow(int w, int h)
    {
        window.clientW = w;
        window.clientH = h;
        resizeSurface(&window.backBuffer, w, h);
        fillSurface(&window.backBuffer, background);
    }
    Window* operator&() { return &window; }
    const Surface& pixels() const { return window.backBuffer; }
};

const Palette colours{{'.', background}, {'a', 0x000001}, {'b', 0x000002}, {'c', 0x000004},
                      {'d', 0x000010},   {'f', 0x000040}, {'k', key}};

// 3 by 2, transparent in its middle bottom and bottom-right pixels:  abc / dkk
Bitmap* keyedPicture()
{
    const Surface s = surfaceFromArt({"abc", "dkk"}, colours);
    return bitmapFromPixels(s.pixels.data(), s.width, s.height);
}

} // namespace

TEST(DrawBitmap, ShowsOpaquePixelsOverTheBackgroundAndClipsOnEachEdge)
{
    Bitmap* picture = keyedPicture();
    TestWindow w(6, 4);
    drawBitmap(&w, picture, 1, 1);
    expectArt(w.pixels(), {"......", ".abc..", ".d....", "......"}, colours, "bitmap_plain");

    TestWindow edges(6, 4);
    drawBitmap(&edges, picture, -1, -1); // left and top cut
    drawBitmap(&edges, picture, 4, 3);   // right and bottom cut
    drawBitmap(&edges, picture, INT_MAX, INT_MIN);
    drawBitmap(&edges, picture, INT_MIN, INT_MAX);
    expectArt(edges.pixels(), {"......", "......", "......", "....ab"}, colours, "bitmap_edges");
    // At (-1, -1) only the transparent end of the bottom row would be on screen.
    freeBitmap(picture);
}

TEST(DrawBitmap, OpaquePictureCopiesEveryPixelAndEmptyPictureDrawsNothing)
{
    const Surface s = surfaceFromArt({"abc", "dkk"}, colours);
    Bitmap* keyed = bitmapFromPixels(s.pixels.data(), s.width, s.height);
    keyed->mask.reset(); // the same picture loaded opaque: its white stands where the key was
    TestWindow w(4, 3);
    drawBitmap(&w, keyed, 0, 0);
    expectArt(w.pixels(), {"abc.", "dww.", "...."},
              {{'.', background}, {'a', 1}, {'b', 2}, {'c', 4}, {'d', 0x10}, {'w', 0xFFFFFF}},
              "opaque");
    freeBitmap(keyed);

    Bitmap* empty = bitmapFromPixels(nullptr, 0, 0);
    TestWindow none(4, 3);
    drawBitmap(&none, empty, 0, 0);
    drawBitmap(&none, nullptr, 0, 0);
    drawBitmapRegion(&none, empty, 0, 0, 0, 0, 2, 2);
    drawBitmapScaled(&none, empty, 0, 0, 4, 3);
    expectArt(none.pixels(), {"....", "....", "...."}, colours, "empty_picture");
    freeBitmap(empty);
}

TEST(DrawBitmapRegion, ClampsTheSourceCornerThenTheSize)
{
    Bitmap* picture = keyedPicture();
    TestWindow w(6, 3);
    drawBitmapRegion(&w, picture, 1, 0, 0, 0, 2, 2);  // "bc" / "kk"
    drawBitmapRegion(&w, picture, -5, 0, 3, 0, 1, 2); // column 0
    drawBitmapRegion(&w, picture, 9, -2, 5, 0, 4, 4); // last column, one wide
    drawBitmapRegion(&w, picture, 0, 1, 1, 2, 9, 9);  // bottom row, cut to the picture
    expectArt(w.pixels(), {"bc.a.c", "...d..", ".d...."}, colours, "region");

    // Sizes that end below 1 draw nothing (gauges of unequal width ask for negative widths).
    TestWindow none(6, 3);
    drawBitmapRegion(&none, picture, 0, 0, 0, 0, -3, 2);
    drawBitmapRegion(&none, picture, 0, 0, 0, 0, 2, 0);
    drawBitmapRegion(&none, picture, 2, 0, 0, 0, INT_MIN, INT_MIN);
    drawBitmapRegion(&none, picture, INT_MAX, INT_MIN, 3, 0, INT_MAX, INT_MAX); // "c" / "k"
    expectArt(none.pixels(), {"...f..", "......", "......"}, {{'.', background}, {'f', 0x000004}},
              "region_degenerate");
    freeBitmap(picture);
}

TEST(DrawBitmapScaled, StretchesAndClipsEachEdgeByTheSourceRatio)
{
    Bitmap* picture = keyedPicture();
    TestWindow w(8, 5);
    drawBitmapScaled(&w, picture, 1, 1, 6, 4);
    expectArt(w.pixels(), {"........", ".aabbcc.", ".aabbcc.", ".dd.....", ".dd....."}, colours,
              "scaled");

    // Left and top: the source loses trunc(ratio x overhang); the rest stretches over what is left.
    TestWindow leftTop(8, 5);
    drawBitmapScaled(&leftTop, picture, -2, -1, 6, 4);
    expectArt(leftTop.pixels(), {"bbcc....", "bbcc....", "........", "........", "........"},
              colours, "scaled_left_top");

    // Sizes that end below 1, or boxes wholly outside, draw nothing.
    TestWindow none(8, 5);
    drawBitmapScaled(&none, picture, 0, 0, 0, 4);
    drawBitmapScaled(&none, picture, 0, 0, 6, -1);
    drawBitmapScaled(&none, picture, -6, 0, 6, 4);
    drawBitmapScaled(&none, picture, 0, 5, 6, 4);
    drawBitmapScaled(&none, picture, 8, 0, 6, 4);
    drawBitmapScaled(&none, picture, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    drawBitmapScaled(&none, picture, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    EXPECT_EQ(none.pixels().pixels, std::vector<uint32_t>(40, background));
    freeBitmap(picture);
}

TEST(DrawBitmapScaled, WorkedExampleOfTheLeftClip)
{
    // 100 wide drawn 200 wide at x = -10: the source starts at column 5 with width 95 and lands
    // at 0 with width 190, so back-buffer column j shows source column 5 + j / 2.
    std::vector<uint32_t> ramp(100);
    for (uint32_t i = 0; i < 100; ++i) {
        ramp[i] = i;
    }
    ramp[99] = 0xFFFFFF;
    Bitmap* picture = bitmapFromPixels(ramp.data(), 100, 1);
    TestWindow w(640, 1);
    drawBitmapScaled(&w, picture, -10, 0, 200, 1);
    for (uint32_t j : {0u, 1u, 2u, 3u, 100u, 187u}) {
        EXPECT_EQ(w.pixels().pixels[j], 5 + j / 2) << "column " << j;
    }
    EXPECT_EQ(w.pixels().pixels[190], background);

    // Right and bottom: only the part up to the last client column and row, from the matching
    // part of the source.
    TestWindow rightBottom(8, 5);
    Bitmap* small = keyedPicture();
    drawBitmapScaled(&rightBottom, small, 4, 3, 6, 4);
    expectArt(rightBottom.pixels(), {"........", "........", "........", "....aabb", "....aabb"},
              colours, "scaled_right_bottom");
    freeBitmap(small);
    freeBitmap(picture);
}

// The wide view: a screen 854 pixels wide whose layout starts at back-buffer column 107. Whole
// pictures land 107 columns to the right of where the 4:3 view puts them; a stretched picture
// across the layout's left edge shows in the layout exactly the columns the 4:3 view shows, and
// the rest of itself in the margin.
TEST(DrawBitmapScaled, TheWideViewKeepsTheLayoutsColumnsAndDrawsTheRestInTheMargins)
{
    std::vector<uint32_t> ramp(100);
    for (uint32_t i = 0; i < 100; ++i) {
        ramp[i] = i + 1;
    }
    ramp[99] = 0xFFFFFF;
    Bitmap* picture = bitmapFromPixels(ramp.data(), 100, 1);
    TestWindow narrow(640, 1);
    TestWindow wide(854, 1);
    ASSERT_EQ(screenMargin(&wide), 107);
    for (Window* w : {&narrow, &wide}) {
        drawBitmapScaled(w, picture, -37, 0, 151, 1);
        drawBitmapScaled(w, picture, 600, 0, 77, 1);
    }
    const std::vector<uint32_t>& shown = wide.pixels().pixels;
    EXPECT_TRUE(std::equal(shown.begin() + 107, shown.begin() + 747, narrow.pixels().pixels.begin()))
        << "the layout's columns are those of the 4:3 view";
    // Back-buffer column 107 - 37 = 70 starts the first picture, 747 - 40 = 707 the second; each
    // runs on into the margin up to its own right end.
    EXPECT_EQ(shown[69], background);
    EXPECT_EQ(shown[70], 1u);
    EXPECT_NE(shown[106], background);
    EXPECT_NE(shown[747], background);
    EXPECT_EQ(shown[107 + 600 + 76], 99u);
    EXPECT_EQ(shown[107 + 600 + 77], background);

    // Whole pictures and cut ones are placed on the screen, the layout's x = 0 at column 107.
    TestWindow placed(854, 1);
    drawBitmap(&placed, picture, -107, 0);
    drawBitmapRegion(&placed, picture, 10, 0, 700, 0, 5, 1);
    EXPECT_EQ(placed.pixels().pixels[0], 1u);
    EXPECT_EQ(placed.pixels().pixels[98], 99u);
    EXPECT_EQ(placed.pixels().pixels[807], 11u);
    EXPECT_EQ(placed.pixels().pixels[811], 15u);
    EXPECT_EQ(placed.pixels().pixels[812], background);
    freeBitmap(picture);
}

TEST(DrawBitmapRegionStretched, StretchesTheRegionOverTheRectangleInScreenPixels)
{
    Bitmap* picture = keyedPicture();
    TestWindow w(8, 5);
    // Column 0 ("a", "d") over four columns; the middle bottom pixel, transparent, shows nothing.
    drawBitmapRegionStretched(&w, picture, 0, 0, 1, 2, 1, 1, 4, 2);
    drawBitmapRegionStretched(&w, picture, 1, 0, 2, 2, 5, 3, 2, 2);
    expectArt(w.pixels(), {"........", ".aaaa...", ".dddd...", ".....bc.", "........"}, colours,
              "region_stretched");
    // A region not wholly inside the picture, or of no size, draws nothing.
    TestWindow none(8, 5);
    drawBitmapRegionStretched(&none, picture, 2, 0, 2, 1, 0, 0, 4, 2);
    drawBitmapRegionStretched(&none, picture, -1, 0, 1, 1, 0, 0, 4, 2);
    drawBitmapRegionStretched(&none, picture, 0, 0, 1, 1, 0, 0, 0, 2);
    EXPECT_EQ(none.pixels().pixels, std::vector<uint32_t>(40, background));
    freeBitmap(picture);
}

namespace {

// A Sprite loaded from a w by h file, keyed on its bottom-right pixel: a checkerboard (red at
// even x + y) or all red.
void loadSpriteFile(Window* window, int w, int h, bool checker, Sprite* sprite)
{
    Surface image;
    image.width = w;
    image.height = h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.pixels.push_back(checker && (x + y) % 2 ? 0x00AA00 : 0xAA0000);
        }
    }
    image.pixels.back() = key;
    const std::string path = testFolder() + "sprite.bmp";
    writeFile(path, bmp24(image));
    loadSprite(window, path.c_str(), sprite);
    ASSERT_EQ(sprite->loaded, 1);
}

uint32_t at(const TestWindow& w, int x, int y)
{
    return w.pixels().pixels[static_cast<std::size_t>(y * w.pixels().width + x)];
}

} // namespace

TEST(DrawSprite, PicksTheLargestLevelThatFitsAndStretchesIt)
{
    TestWindow w(64, 48);
    Sprite sprite;
    loadSpriteFile(&w, 64, 32, true, &sprite);

    // 40 by 40 uses level 1 (32 by 16): even columns of even rows, all red, stretched.
    drawSprite(&w, &sprite, 0, 0, 40, 40);
    EXPECT_EQ(at(w, 0, 0), 0xAA0000u);
    EXPECT_EQ(at(w, 1, 0), 0xAA0000u);
    EXPECT_EQ(at(w, 38, 39), 0xAA0000u);
    EXPECT_EQ(at(w, 39, 39), background); // the level's transparent bottom-right pixel
    EXPECT_EQ(at(w, 40, 0), background);

    // 64 by 32 uses level 0 unscaled: the checkerboard itself.
    TestWindow full(64, 48);
    drawSprite(&full, &sprite, 0, 0, 64, 32);
    EXPECT_EQ(at(full, 0, 0), 0xAA0000u);
    EXPECT_EQ(at(full, 1, 0), 0x00AA00u);
    EXPECT_EQ(at(full, 63, 31), background);

    // 3 by 1 uses level 5 (2 by 1): one red pixel and the key, stretched to 3.
    TestWindow tiny(4, 1);
    drawSprite(&tiny, &sprite, 0, 0, 3, 1);
    EXPECT_EQ(tiny.pixels().pixels,
              (std::vector<uint32_t>{0xAA0000, 0xAA0000, background, background}));

    TestWindow none(8, 4);
    for (int width : {0, 1, 2, -3, INT_MIN}) {
        drawSprite(&none, &sprite, 0, 0, width, 4);
    }
    drawSprite(&none, &sprite, 0, 0, 8, 0);
    drawSprite(&none, &sprite, 0, 0, 8, -4);
    drawSprite(nullptr, &sprite, 0, 0, 8, 4);
    Sprite unloaded;
    drawSprite(&none, &unloaded, 0, 0, 8, 4);
    EXPECT_EQ(none.pixels().pixels, std::vector<uint32_t>(32, background));

    // At scale 2 the smallest box drawn is 5 by 1 back-buffer pixels (2.5 by 0.5 screen pixels),
    // so the scene holds the same objects as at scale 1.
    TestWindow sharp(8, 4);
    sharp.window.drawingScale = 2;
    drawSprite(&sharp, &sprite, 0, 0, 4, 4);
    drawSprite(&sharp, &sprite, 0, 0, 8, 0);
    EXPECT_EQ(sharp.pixels().pixels, std::vector<uint32_t>(32, background));
    drawSprite(&sharp, &sprite, 0, 0, 5, 1);
    EXPECT_EQ(at(sharp, 0, 0), 0xAA0000u);
    freeSprite(&sprite);
}

TEST(ClearScreen, BlackensTheWholeBackBufferAtEveryScale)
{
    TestWindow w(6, 4);
    w.window.clientW = 3;
    w.window.clientH = 2;
    w.window.drawingScale = 2;
    clearScreen(&w);
    EXPECT_EQ(w.pixels().pixels, std::vector<uint32_t>(24, 0));
}

namespace {

// A font picture 130 by 384 (cells 16 by 24; two spare columns on the right hold the key):
// every cell is filled with the colour code + 1, except the space, which is transparent.
BitmapFont* makeTestFont(Window* window)
{
    Surface image;
    image.width = 130;
    image.height = 384;
    image.pixels.assign(130 * 384, key);
    for (int y = 0; y < 384; ++y) {
        for (int x = 0; x < 128; ++x) {
            const uint32_t code = static_cast<uint32_t>(8 * (y / 24) + x / 16);
            image.pixels[static_cast<std::size_t>(y * 130 + x)] = code == 32 ? key : code + 1;
        }
    }
    const std::string path = testFolder() + "font.bmp";
    writeFile(path, bmp24(image));
    return makeBitmapFont(window, path.c_str());
}

} // namespace

TEST(DrawText, PutsOneCellPerByteLeftToRight)
{
    TestWindow w(640, 480);
    const long fontsBefore = livePictureCounts().fonts;
    BitmapFont* font = makeTestFont(&w);
    EXPECT_EQ(font->cellWidth, 16);
    EXPECT_EQ(font->cellHeight, 24);

    drawText(&w, font, "GO!", 100, 50);
    EXPECT_EQ(at(w, 100, 50), 'G' + 1u);
    EXPECT_EQ(at(w, 115, 73), 'G' + 1u);
    EXPECT_EQ(at(w, 116, 50), 'O' + 1u);
    EXPECT_EQ(at(w, 132, 50), '!' + 1u);
    EXPECT_EQ(at(w, 147, 73), '!' + 1u);
    EXPECT_EQ(at(w, 148, 50), background);
    EXPECT_EQ(at(w, 100, 74), background);
    EXPECT_EQ(at(w, 99, 50), background);

    // The top bit is ignored; a space is a transparent cell; a line feed draws its own cell.
    drawText(&w, font, "\xC1 \n", 0, 200);
    EXPECT_EQ(at(w, 0, 200), 'A' + 1u);
    EXPECT_EQ(at(w, 16, 200), background);
    EXPECT_EQ(at(w, 32, 200), '\n' + 1u);

    // Text running off the edges is clipped; nothing for empty or null text or window.
    TestWindow none(640, 480);
    drawText(&none, font, "", 0, 0);
    drawText(&none, font, nullptr, 0, 0);
    drawText(nullptr, font, "A", 0, 0);
    drawText(&none, font, "AAAA", INT_MAX - 20, 0);
    drawText(&none, font, "AAAA", INT_MIN, INT_MIN);
    EXPECT_EQ(none.pixels().pixels, std::vector<uint32_t>(640 * 480, background));
    drawText(&none, font, "AB", -16, 470);
    EXPECT_EQ(at(none, 0, 470), 'B' + 1u);
    EXPECT_EQ(at(none, 15, 479), 'B' + 1u);

    freeBitmapFont(font);
    EXPECT_EQ(livePictureCounts().fonts, fontsBefore);
}

TEST(DrawText, FontWithoutPictureHasEmptyCellsAndDrawsNothing)
{
    TestWindow w(64, 48);
    BitmapFont* font = makeBitmapFont(&w, "gfx\\font\\nothere.bmp");
    EXPECT_EQ(font->cellWidth, 0);
    EXPECT_EQ(font->cellHeight, 0);
    drawText(&w, font, "GO!", 0, 0);
    EXPECT_EQ(w.pixels().pixels, std::vector<uint32_t>(64 * 48, background));
    freeBitmapFont(font);
}
