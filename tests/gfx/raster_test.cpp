// The software raster against pictures worked out by hand: which pixels each shape covers, how
// every edge clips, and that no coordinate, however extreme, writes outside the surface.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>

#include "gfx/raster.h"
#include "picture_support.h"

using picture_support::expectArt;
using picture_support::Palette;

namespace {

constexpr uint32_t bg = 0x102030;
constexpr uint32_t fill = 0xAA0000;
constexpr uint32_t edge = 0x00BB00;
const Palette colours{{'.', bg}, {'#', fill}, {'o', edge}};

Surface canvas(int w, int h)
{
    Surface s;
    resizeSurface(&s, w, h);
    fillSurface(&s, bg);
    return s;
}

} // namespace

TEST(Rectangle, FillCoversPixelCentresInsideAndLeavesRightAndBottomEdgesOut)
{
    Surface s = canvas(6, 5);
    drawRectangle(&s, 1, 1, 4, 3, solidBrush(fill), noPen());
    expectArt(s, {"......", ".###..", ".###..", "......", "......"}, colours, "rect_fill");

    Surface swapped = canvas(6, 5);
    drawRectangle(&swapped, 4, 3, 1, 1, solidBrush(fill), noPen());
    picture_support::expectSamePixels(swapped, s, "rect_swapped_corners");

    Surface fractional = canvas(6, 5);
    drawRectangle(&fractional, 0.6, 0.5, 3.4, 2.5, solidBrush(fill), noPen());
    expectArt(fractional, {".##...", ".##...", "......", "......", "......"}, colours,
              "rect_fraction");

    Surface empty = canvas(6, 5);
    drawRectangle(&empty, 2, 1, 2, 4, solidBrush(fill), solidPen(edge));
    drawRectangle(&empty, 1, 3, 5, 3, solidBrush(fill), solidPen(edge));
    drawRectangle(&empty, 1, 1, 4, 3, hollowBrush(), noPen());
    expectArt(empty, {"......", "......", "......", "......", "......"}, colours, "rect_empty");
}

TEST(Rectangle, PenOutlinesTheFilledPixelsAndHollowBrushKeepsTheInside)
{
    Surface s = canvas(6, 5);
    drawRectangle(&s, 0, 0, 5, 4, solidBrush(fill), solidPen(edge));
    expectArt(s, {"ooooo.", "o###o.", "o###o.", "ooooo.", "......"}, colours, "rect_pen");

    Surface hollow = canvas(6, 5);
    drawRectangle(&hollow, 1, 1, 4, 4, hollowBrush(), solidPen(edge));
    expectArt(hollow, {"......", ".ooo..", ".o.o..", ".ooo..", "......"}, colours, "rect_hollow");
}

TEST(Rectangle, ClipsOnEveryEdgeAndSurvivesExtremeCorners)
{
    Surface s = canvas(6, 5);
    drawRectangle(&s, -2, 1, 8, 4, solidBrush(fill), solidPen(edge));
    expectArt(s, {"......", "oooooo", "######", "oooooo", "......"}, colours, "rect_clip_sides");

    Surface tall = canvas(6, 5);
    drawRectangle(&tall, 1, -7, 4, 30, solidBrush(fill), solidPen(edge));
    expectArt(tall, {".o#o..", ".o#o..", ".o#o..", ".o#o..", ".o#o.."}, colours, "rect_clip_ends");

    Surface all = canvas(6, 5);
    drawRectangle(&all, INT_MIN, INT_MIN, INT_MAX, INT_MAX, solidBrush(fill), solidPen(edge));
    drawRectangle(&all, 1e300, -1e300, -1e300, 1e300, solidBrush(fill), solidPen(edge));
    expectArt(all, {"######", "######", "######", "######", "######"}, colours, "rect_extreme");

    Surface none = canvas(6, 5);
    drawRectangle(&none, 6, 0, 1e30, 5, solidBrush(fill), solidPen(edge));
    drawRectangle(&none, -1e30, 5, 0, 1e30, solidBrush(fill), solidPen(edge));
    drawRectangle(&none, std::nan(""), 0, 3, 3, solidBrush(fill), solidPen(edge));
    drawRectangle(&none, 0, 0, std::numeric_limits<double>::infinity(), 3, solidBrush(fill),
                  noPen());
    expectArt(none, {"......", "......", "......", "......", "......"}, colours, "rect_outside");

    Surface nothing;
    drawRectangle(&nothing, 0, 0, 10, 10, solidBrush(fill), solidPen(edge));
    EXPECT_TRUE(nothing.pixels.empty());
}

TEST(RectangleOutline, IncludesBothCornerPixelsAndClips)
{
    Surface s = canvas(6, 5);
    drawRectangleOutline(&s, 4, 3, 1, 1, solidPen(edge));
    drawRectangleOutline(&s, 5, 0, 5, 0, solidPen(fill));
    expectArt(s, {".....#", ".oooo.", ".o..o.", ".oooo.", "......"}, colours, "outline");

    Surface clipped = canvas(6, 5);
    drawRectangleOutline(&clipped, INT_MIN, 1, 3, INT_MAX, solidPen(edge));
    drawRectangleOutline(&clipped, INT_MIN, INT_MIN, INT_MAX, INT_MAX, solidPen(fill));
    drawRectangleOutline(&clipped, 0, 0, 5, 4, noPen());
    expectArt(clipped, {"......", "oooo..", "...o..", "...o..", "...o.."}, colours, "outline_clip");
}

TEST(Polygon, FillsPixelCentresWithLeftAndTopEdgesInside)
{
    const PointF square[4] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
    Surface s = canvas(6, 5);
    fillPolygon(&s, square, 4, solidBrush(fill));
    expectArt(s, {"......", ".###..", ".###..", "......", "......"}, colours, "poly_square");

    // Two triangles sharing a diagonal cover every pixel exactly once.
    const PointF upper[3] = {{0, 0}, {6, 0}, {0, 6}};
    const PointF lower[3] = {{6, 0}, {6, 6}, {0, 6}};
    Surface a = canvas(6, 6);
    Surface b = canvas(6, 6);
    fillPolygon(&a, upper, 3, solidBrush(fill));
    fillPolygon(&b, lower, 3, solidBrush(fill));
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        EXPECT_NE(a.pixels[i] == fill, b.pixels[i] == fill) << "pixel " << i;
    }
    // Centres exactly on the shared diagonal belong to the triangle whose left edge it is.
    expectArt(a, {"#####.", "####..", "###...", "##....", "#.....", "......"}, colours,
              "poly_upper");
}

TEST(Polygon, CrossedQuadFillsByEvenOddRule)
{
    const PointF bowTie[4] = {{0, 0}, {6, 4}, {6, 0}, {0, 4}};
    Surface s = canvas(6, 5);
    fillPolygon(&s, bowTie, 4, solidBrush(fill));
    expectArt(s, {"#....#", "##..##", "##..##", "#....#", "......"}, colours, "poly_bowtie");
}

TEST(Polygon, FarVerticesClipWithoutMovingVisibleEdges)
{
    const PointF column[4] = {{3, -1e15}, {4, -1e15}, {4, 1e15}, {3, 1e15}};
    Surface s = canvas(6, 5);
    fillPolygon(&s, column, 4, solidBrush(fill));
    expectArt(s, {"...#..", "...#..", "...#..", "...#..", "...#.."}, colours, "poly_column");

    const PointF huge[3] = {{-1e9, -1}, {1e9, -1}, {0, 1e9}};
    Surface all = canvas(6, 5);
    fillPolygon(&all, huge, 3, solidBrush(fill));
    expectArt(all, {"######", "######", "######", "######", "######"}, colours, "poly_huge");

    const PointF bad[4] = {{0, 0}, {std::nan(""), 0}, {5, 5}, {0, 5}};
    const PointF beyond[4] = {{0, 0}, {1e300, 0}, {5, 5}, {0, 5}};
    const PointF flat[4] = {{0, 2}, {6, 2}, {6, 2}, {0, 2}};
    const PointF outside[4] = {{6, 0}, {9, 0}, {9, 5}, {6, 5}};
    Surface none = canvas(6, 5);
    fillPolygon(&none, bad, 4, solidBrush(fill));
    fillPolygon(&none, beyond, 4, solidBrush(fill));
    fillPolygon(&none, flat, 4, solidBrush(fill));
    fillPolygon(&none, outside, 4, solidBrush(fill));
    expectArt(none, {"......", "......", "......", "......", "......"}, colours, "poly_none");
}

// A part of a wider surface draws exactly what a surface as wide as the part would: road-like
// quadrilaterals with whole-pixel corners far off both sides (the clipping that moves vertices),
// and the parts beside it touch only their own columns.
TEST(Polygon, APartOfASurfaceDrawsAsASurfaceAsWideAsThePart)
{
    constexpr int width = 64;
    constexpr int margin = 21;
    const ColumnRange middle{margin, 0, width};
    const ColumnRange left{margin, -margin, 0};
    const ColumnRange right{margin, width, width + margin};
    uint32_t state = 12345;
    auto next = [&state](int range) {
        state = state * 1103515245u + 12345u;
        return static_cast<double>(static_cast<int>((state >> 8) % static_cast<uint32_t>(range)));
    };
    for (int round = 0; round < 400; ++round) {
        // Near corners on a row below the middle, far apart and often far off the surface; far
        // corners near the horizon.
        const double nearY = 24 + next(30);
        const double farY = nearY - 1 - next(20);
        const double spread = round % 3 == 0 ? 400000 : 200;
        const PointF quad[4] = {{-next(static_cast<int>(spread)) - 10, nearY},
                                {width + next(static_cast<int>(spread)) + 10, nearY},
                                {next(width), farY},
                                {next(width) - next(20), farY}};
        Surface alone = canvas(width, 48);
        fillPolygon(&alone, quad, 4, solidBrush(fill));
        Surface wide = canvas(width + 2 * margin, 48);
        fillPolygonIn(&wide, middle, quad, 4, solidBrush(fill));
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < wide.width; ++x) {
                const uint32_t want =
                    x < margin || x >= margin + width
                        ? bg
                        : alone.pixels[static_cast<size_t>(y * width + x - margin)];
                ASSERT_EQ(wide.pixels[static_cast<size_t>(y * wide.width + x)], want)
                    << "round " << round << " at " << x << "," << y;
            }
        }
        Surface sides = canvas(width + 2 * margin, 48);
        fillPolygonIn(&sides, left, quad, 4, solidBrush(fill));
        fillPolygonIn(&sides, right, quad, 4, solidBrush(fill));
        for (int y = 0; y < 48; ++y) {
            for (int x = margin; x < margin + width; ++x) {
                ASSERT_EQ(sides.pixels[static_cast<size_t>(y * sides.width + x)], bg)
                    << "round " << round << " at " << x << "," << y;
            }
        }
    }
    // By hand: a triangle across both edges of a 4-column part at origin 2 of an 8-column surface.
    const PointF triangle[3] = {{-2, 0}, {6, 0}, {2, 4}};
    Surface s = canvas(8, 4);
    fillPolygonIn(&s, ColumnRange{2, 0, 4}, triangle, 3, solidBrush(fill));
    expectArt(s, {"..####..", "..####..", "..###...", "...#...."}, colours, "poly_part");
    // A part reaching beyond the surface is cut at its edges.
    Surface cut = canvas(8, 4);
    fillPolygonIn(&cut, ColumnRange{2, -9, 90}, triangle, 3, solidBrush(fill));
    expectArt(cut, {"#######.", ".#####..", "..###...", "...#...."}, colours, "poly_part_cut");
}

TEST(Line, DrawsOnePixelPerStepAndLeavesTheEndOut)
{
    Surface s = canvas(6, 5);
    drawLine(&s, 0, 0, 4, 0, solidPen(fill));
    drawLine(&s, 5, 4, 1, 2, solidPen(edge));
    drawLine(&s, 2, 2, 2, 2, solidPen(fill));
    drawLine(&s, 0, 1, 0, 4, noPen());
    expectArt(s, {"####..", "......", "......", "..oo..", "....oo"}, colours, "line_steps");
}

TEST(Line, ClipsFromExtremeEndPoints)
{
    Surface s = canvas(6, 5);
    drawLine(&s, INT_MIN, INT_MIN, INT_MAX, INT_MAX, solidPen(fill));
    expectArt(s, {"#.....", ".#....", "..#...", "...#..", "....#."}, colours, "line_diagonal");

    Surface flat = canvas(6, 5);
    drawLine(&flat, INT_MAX, 3, INT_MIN, 3, solidPen(fill));
    drawLine(&flat, 1, INT_MIN, 1, INT_MAX, solidPen(edge));
    drawLine(&flat, -100, -1, 100, -1, solidPen(edge));
    expectArt(flat, {".o....", ".o....", ".o....", "#o####", ".o...."}, colours, "line_extreme");
}

namespace {

// A 3 by 2 source: distinct colours so every sample shows where it came from.
Surface source3x2()
{
    return picture_support::surfaceFromArt({"abc", "def"}, {{'a', 0x000001},
                                                            {'b', 0x000002},
                                                            {'c', 0x000004},
                                                            {'d', 0x000010},
                                                            {'e', 0x000020},
                                                            {'f', 0x000040}});
}

const Palette sampleColours{{'.', 0},        {'a', 0x000001}, {'b', 0x000002}, {'c', 0x000004},
                            {'d', 0x000010}, {'e', 0x000020}, {'f', 0x000040}, {'x', 0x000100}};

Surface blank(int w, int h)
{
    Surface s;
    resizeSurface(&s, w, h);
    return s;
}

} // namespace

TEST(Blit, CopiesUnscaledAndClipsOnEveryEdge)
{
    const Surface src = source3x2();
    Surface s = blank(5, 4);
    blit(&s, 1, 1, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    expectArt(s, {".....", ".abc.", ".def.", "....."}, sampleColours, "blit_plain");

    Surface clipped = blank(5, 4);
    blit(&clipped, -1, -1, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    blit(&clipped, 3, 3, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    blit(&clipped, INT_MAX, INT_MIN, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    blit(&clipped, INT_MIN, 0, src, PixelRect{0, 0, INT_MAX, INT_MAX}, RasterOp::Copy);
    expectArt(clipped, {"ef...", ".....", ".....", "...ab"}, sampleColours, "blit_clipped");

    // A source rectangle reaching outside the source copies only the part inside it.
    Surface part = blank(5, 4);
    blit(&part, 0, 0, src, PixelRect{-1, 1, 5, 3}, RasterOp::Copy);
    expectArt(part, {".def.", ".....", ".....", "....."}, sampleColours, "blit_source_outside");
}

TEST(Blit, UnscaledCopyIntoASurfaceLargerThanTheCachesIsExactAtEveryAlignment)
{
    // 2048 x 1100 pixels: as large as a back buffer drawn at scale 3 and up, whose copies take
    // their own path, whole cache lines past the cache. Every starting column modulo 16 (a line
    // of pixels), and copies cut by the right edge and the bottom.
    Surface source;
    resizeSurface(&source, 1001, 3);
    for (std::size_t i = 0; i < source.pixels.size(); ++i) {
        source.pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
    }
    Surface big = canvas(2048, 1100);
    const PixelRect whole{0, 0, 1001, 3};
    std::vector<std::array<int, 2>> places = {{1500, 200}, {-5, 1098}};
    for (int column = 0; column < 16; ++column) {
        places.push_back({column, column * 10});
    }
    for (const auto& at : places) {
        blit(&big, at[0], at[1], source, whole, RasterOp::Copy);
    }
    for (const auto& at : places) {
        for (int y = 0; y < 3 && at[1] + y < 1100; ++y) {
            for (int x = -1; x <= 1001; ++x) {
                const int bx = at[0] + x;
                if (bx < 0 || bx >= 2048) {
                    continue;
                }
                const uint32_t want =
                    x >= 0 && x < 1001 ? source.pixels[static_cast<std::size_t>(y * 1001 + x)] : bg;
                ASSERT_EQ(big.pixels[static_cast<std::size_t>((at[1] + y) * 2048 + bx)], want)
                    << "copy at " << at[0] << "," << at[1] << " pixel " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(big.pixels[static_cast<std::size_t>(3 * 2048)], bg) << "the row below a copy";
}

TEST(Blit, OrAndAndCombineWithTheDestination)
{
    const Surface src = source3x2();
    Surface s = blank(3, 2);
    fillSurface(&s, 0x000100);
    blit(&s, 0, 0, src, PixelRect{0, 0, 3, 2}, RasterOp::Or);
    EXPECT_EQ(s.pixels[0], 0x000101u);
    EXPECT_EQ(s.pixels[5], 0x000140u);
    fillSurface(&s, 0x000030);
    blit(&s, 0, 0, src, PixelRect{0, 0, 3, 2}, RasterOp::And);
    expectArt(s, {"...", "de."}, sampleColours, "blit_and");
}

TEST(Blit, StretchesByNearestPixel)
{
    const Surface src = source3x2();
    Surface grown = blank(7, 4);
    stretchBlit(&grown, PixelRect{0, 0, 6, 4}, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    expectArt(grown, {"aabbcc.", "aabbcc.", "ddeeff.", "ddeeff."}, sampleColours, "stretch_grow");

    Surface shrunk = blank(3, 2);
    stretchBlit(&shrunk, PixelRect{0, 0, 2, 1}, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    expectArt(shrunk, {"ab.", "..."}, sampleColours, "stretch_shrink");

    // Clipping keeps each visible pixel's sample: the same pixels as the unclipped stretch.
    Surface clipped = blank(4, 3);
    stretchBlit(&clipped, PixelRect{-2, -1, 6, 4}, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    expectArt(clipped, {"bbcc", "eeff", "eeff"}, sampleColours, "stretch_clipped");

    Surface none = blank(3, 2);
    stretchBlit(&none, PixelRect{0, 0, 0, 2}, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    stretchBlit(&none, PixelRect{0, 0, -3, 2}, src, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    stretchBlit(&none, PixelRect{0, 0, 3, 2}, src, PixelRect{0, 0, 3, 0}, RasterOp::Copy);
    stretchBlit(&none, PixelRect{0, 0, 3, 2}, Surface{}, PixelRect{0, 0, 3, 2}, RasterOp::Copy);
    expectArt(none, {"...", "..."}, sampleColours, "stretch_empty");
}

TEST(MaskBlit, ConvertsBitsThroughTextAndBackgroundColours)
{
    Mask mask{3, 1, {1, 0, 1}};
    Surface s = blank(3, 1);
    fillSurface(&s, 0x000100);
    stretchMask(&s, PixelRect{0, 0, 3, 1}, mask, PixelRect{0, 0, 3, 1}, 0x000000, 0xFFFFFF,
                RasterOp::Or);
    EXPECT_EQ(s.pixels, (std::vector<uint32_t>{0xFFFFFF, 0x000100, 0xFFFFFF}));
    stretchMask(&s, PixelRect{0, 0, 3, 1}, mask, PixelRect{0, 0, 3, 1}, 0x000002, 0x000001,
                RasterOp::Copy);
    EXPECT_EQ(s.pixels, (std::vector<uint32_t>{1, 2, 1}));
}

TEST(MaskBlit, KeyedCopyEqualsOrMaskThenAndWhitenedPicture)
{
    // Picture white where the mask is 0, as a colour-keyed picture is kept.
    const Surface picture = picture_support::surfaceFromArt(
        {"aWb", "WcW"}, {{'a', 0x123456}, {'b', 0x00FF00}, {'c', 0x000000}, {'W', 0xFFFFFF}});
    const Mask mask{3, 2, {1, 0, 1, 0, 1, 0}};
    for (PixelRect to : {PixelRect{0, 0, 3, 2}, PixelRect{-1, 1, 7, 5}, PixelRect{2, -2, 5, 3}}) {
        Surface twoStep = blank(5, 4);
        Surface onePass = blank(5, 4);
        for (std::size_t i = 0; i < twoStep.pixels.size(); ++i) {
            twoStep.pixels[i] = onePass.pixels[i] = static_cast<uint32_t>(i * 0x0A0B0C) & 0xFFFFFF;
        }
        stretchMask(&twoStep, to, mask, PixelRect{0, 0, 3, 2}, 0x000000, 0xFFFFFF, RasterOp::Or);
        stretchBlit(&twoStep, to, picture, PixelRect{0, 0, 3, 2}, RasterOp::And);
        stretchKeyed(&onePass, to, picture, mask, PixelRect{0, 0, 3, 2});
        picture_support::expectSamePixels(onePass, twoStep, "keyed_equals_two_step");
    }
}

TEST(MaskBlit, KeyedRowsLongerThanSixteenPixelsKeepEveryTransparentPixelAtEverySize)
{
    // 16-pixel runs wholly transparent, wholly opaque and mixed, then a short tail; drawn
    // unscaled, enlarged and reduced, at every column modulo 4 and cut by the left and right
    // edges, each pixel of the result must be the picture's nearest pixel where that is opaque
    // (halfway to it, seen through) and the untouched destination elsewhere.
    constexpr int width = 16 * 3 + 5;
    Surface picture;
    resizeSurface(&picture, width, 2);
    Mask mask{width, 2, std::vector<uint8_t>(static_cast<std::size_t>(width * 2), 0)};
    for (int i = 0; i < width * 2; ++i) {
        const int x = i % width;
        picture.pixels[static_cast<std::size_t>(i)] = static_cast<uint32_t>(i * 0x3F1) | 0x800000;
        const bool opaque = (x >= 16 && x < 32) || (x >= 32 && x < 48 && x % 3 == 0) ||
                            (x >= 48 && x % 2 == 1) || (i >= width && x < 16 && x == 7);
        mask.bits[static_cast<std::size_t>(i)] = opaque ? 1 : 0;
    }
    constexpr int canvasWidth = 140;
    for (const bool seeThrough : {false, true}) {
        for (const PixelRect size : {PixelRect{0, 0, width, 2}, PixelRect{0, 0, 131, 5},
                                     PixelRect{0, 0, 29, 1}, PixelRect{0, 0, 60, 3}}) {
            for (const int x : {0, 1, 2, 3, -9, 40, 100}) {
                Surface s = canvas(canvasWidth, 5);
                const PixelRect to{x, 0, size.w, size.h};
                if (seeThrough) {
                    stretchKeyedSeeThrough(&s, to, picture, mask, PixelRect{0, 0, width, 2});
                } else {
                    stretchKeyed(&s, to, picture, mask, PixelRect{0, 0, width, 2});
                }
                for (int y = 0; y < 5; ++y) {
                    for (int sx = 0; sx < canvasWidth; ++sx) {
                        const int i = sx - x;
                        uint32_t want = bg;
                        if (i >= 0 && i < to.w && y < to.h) {
                            const auto at =
                                static_cast<std::size_t>(y * 2 / to.h * width + i * width / to.w);
                            if (mask.bits[at] != 0) {
                                want = seeThrough ? halfwayColour(bg, picture.pixels[at])
                                                  : picture.pixels[at];
                            }
                        }
                        ASSERT_EQ(s.pixels[static_cast<std::size_t>(y * canvasWidth + sx)], want)
                            << (seeThrough ? "seen through, " : "") << size.w << "x" << size.h
                            << " drawn at " << x << ", pixel " << sx << "," << y;
                    }
                }
            }
        }
    }
}

TEST(MaskBlit, SeenThroughEachOpaquePixelIsHalfwayBetweenPictureAndBackground)
{
    // Halving drops each channel's lowest bit: 0xFF and 0x01 give 0x7F + 0x00.
    EXPECT_EQ(halfwayColour(0xFF0001, 0x01FF00), 0x7F7F00u);
    EXPECT_EQ(halfwayColour(0xFFFFFF, 0xFFFFFF), 0xFEFEFEu);
    EXPECT_EQ(halfwayColour(0x000000, 0x808080), 0x404040u);

    // Stretched twice across, clipped on the left: only the opaque pixels change.
    Surface picture;
    resizeSurface(&picture, 2, 1);
    picture.pixels = {0xFF0000, 0x00FF00};
    const Mask mask{2, 1, {1, 0}};
    Surface s = canvas(4, 1);
    stretchKeyedSeeThrough(&s, PixelRect{-1, 0, 4, 1}, picture, mask, PixelRect{0, 0, 2, 1});
    const uint32_t mixed = halfwayColour(bg, 0xFF0000);
    EXPECT_EQ(mixed, 0x871018u);
    EXPECT_EQ(s.pixels, (std::vector<uint32_t>{mixed, bg, bg, bg}));
}
