// Loading pictures: every BMP layout gives the same pixels, damaged or hostile files give the
// empty picture, colour keys mark the right pixels, and Sprites build their halved levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "bmp_writer.h"
#include "pictures/bitmap.h"
#include "core/errors.h"
#include "pictures/picture_file.h"
#include "pictures/sprite_draw.h"
#include "platform/window.h"

using namespace picture_support;

namespace {

constexpr uint32_t red = 0xFF0000;
constexpr uint32_t cyan = 0x00FFFF;

// 13 by 5 (odd rows exercise the padding) in two colours that every depth holds exactly.
Surface twoColourImage()
{
    Surface s;
    s.width = 13;
    s.height = 5;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            s.pixels.push_back((x * 3 + y * 7) % 5 == 0 ? cyan : red);
        }
    }
    return s;
}

std::vector<uint32_t> sixteenColours()
{
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < 16; ++i) {
        palette.push_back(((i * 0x1F) & 0xFF) << 16 | (255 - i * 13) << 8 | (i * 0x35 & 0xFF));
    }
    return palette;
}

Surface sixteenColourImage()
{
    const std::vector<uint32_t> palette = sixteenColours();
    Surface s;
    s.width = 7;
    s.height = 3;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            s.pixels.push_back(palette[static_cast<std::size_t>((x + 3 * y) % 16)]);
        }
    }
    return s;
}

std::string saveInTestFolder(const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::string path = testFolder() + name;
    writeFile(path, bytes);
    return path;
}

Window testWindow()
{
    Window w{};
    return w;
}

void expectEmpty(Bitmap* bitmap, const std::string& what)
{
    EXPECT_EQ(bitmap->picture, nullptr) << what;
    EXPECT_EQ(bitmap->mask, nullptr) << what;
    EXPECT_EQ(bitmap->info.width, 0) << what;
    EXPECT_EQ(bitmap->info.height, 0) << what;
    EXPECT_TRUE(bitmap->pixels.empty()) << what;
}

} // namespace

TEST(BmpFiles, EveryLayoutLoadsToTheSamePixels)
{
    const Surface two = twoColourImage();
    const Surface sixteen = sixteenColourImage();
    struct Case {
        const char* name;
        BmpLayout layout;
        bool sixteenColours;
    };
    const Case cases[] = {
        {"bpp1", {1, false, 0, false}, false},    {"bpp4", {4, false, 0, false}, false},
        {"bpp8", {8, false, 0, false}, false},    {"bpp16", {16, false, 0, false}, false},
        {"bpp24", {24, false, 0, false}, false},  {"bpp32", {32, false, 0, false}, false},
        {"topdown8", {8, true, 0, false}, false}, {"topdown24", {24, true, 0, false}, false},
        {"rle8", {8, false, 1, false}, false},    {"rle4", {4, false, 2, false}, false},
        {"short24", {24, false, 0, true}, false}, {"short8", {8, false, 0, true}, false},
        {"pal4", {4, false, 0, false}, true},     {"pal8", {8, false, 0, false}, true},
        {"palrle4", {4, false, 2, false}, true},  {"palrle8", {8, false, 1, false}, true},
        {"palshort4", {4, false, 0, true}, true},
    };
    Window window = testWindow();
    for (const Case& c : cases) {
        const Surface& image = c.sixteenColours ? sixteen : two;
        const std::vector<uint32_t> palette =
            c.sixteenColours ? sixteenColours() : std::vector<uint32_t>{red, cyan};
        const std::string path =
            saveInTestFolder(std::string(c.name) + ".bmp", makeBmp(image, palette, c.layout));
        Bitmap* bitmap = loadBitmap(&window, path.c_str(), 0);
        ASSERT_NE(bitmap->picture, nullptr) << c.name;
        EXPECT_EQ(bitmap->info.width, image.width) << c.name;
        EXPECT_EQ(bitmap->info.height, image.height) << c.name;
        expectSamePixels(*bitmap->picture, image, c.name);
        freeBitmap(bitmap);
    }

    // Literal pixels inside run-length data: 4 pixels given one by one, then the end.
    std::vector<uint8_t> literal =
        makeBmp(sixteenColourImage(), sixteenColours(), {8, false, 1, false});
    const std::size_t offset = literal[10];
    literal.resize(offset);
    for (uint8_t b : {0, 4, 3, 1, 4, 1, 0, 1}) {
        literal.push_back(b);
    }
    literal[18] = 4;
    literal[22] = 1;
    Bitmap* bitmap = loadBitmap(&window, saveInTestFolder("literal.bmp", literal).c_str(), 0);
    ASSERT_NE(bitmap->picture, nullptr);
    const std::vector<uint32_t> palette = sixteenColours();
    EXPECT_EQ(bitmap->picture->pixels,
              (std::vector<uint32_t>{palette[3], palette[1], palette[4], palette[1]}));
    freeBitmap(bitmap);
}

TEST(BmpFiles, DamagedOrHostileFilesGiveTheEmptyPictureSilently)
{
    const std::vector<uint8_t> good8 = makeBmp(twoColourImage(), {red, cyan}, {8, false, 0, false});
    const std::vector<uint8_t> good24 = makeBmp(twoColourImage(), {}, {24, false, 0, false});
    const std::vector<uint8_t> goodRle =
        makeBmp(sixteenColourImage(), sixteenColours(), {8, false, 1, false});
    auto with32 = [](std::vector<uint8_t> bytes, std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        }
        return bytes;
    };
    auto with16 = [](std::vector<uint8_t> bytes, std::size_t at, uint16_t value) {
        bytes[at] = static_cast<uint8_t>(value);
        bytes[at + 1] = static_cast<uint8_t>(value >> 8);
        return bytes;
    };
    const std::size_t rleData = goodRle[10];
    auto rle = [&](std::vector<uint8_t> codes) {
        std::vector<uint8_t> bytes(goodRle.begin(),
                                   goodRle.begin() + static_cast<std::ptrdiff_t>(rleData));
        bytes.insert(bytes.end(), codes.begin(), codes.end());
        return bytes;
    };
    const std::string text = "This is not a picture at all, just some words.";
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"text", std::vector<uint8_t>(text.begin(), text.end())},
        {"signature", with16(good24, 0, 0x4D42 ^ 0x0101)},
        {"header_size", with32(good24, 14, 41)},
        {"zero_width", with32(good24, 18, 0)},
        {"negative_width", with32(good24, 18, static_cast<uint32_t>(-13))},
        {"zero_height", with32(good24, 22, 0)},
        {"lowest_height", with32(good24, 22, 0x80000000u)},
        {"absurd_width", with32(good24, 18, 100000)},
        {"absurd_height", with32(good24, 22, 8193)},
        {"absurd_top_down", with32(good24, 22, static_cast<uint32_t>(-8193))},
        {"huge_both", with32(with32(good24, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF)},
        {"depth_2", with16(good24, 28, 2)},
        {"depth_0", with16(good24, 28, 0)},
        {"jpeg_inside", with32(good24, 30, 4)},
        {"rle8_on_24", with32(good24, 30, 1)},
        {"rle_top_down", with32(goodRle, 22, static_cast<uint32_t>(-3))},
        {"too_many_colours", with32(good8, 46, 300)},
        {"palette_past_end", with32(with32(good8, 46, 256), 10, 14 + 40 + 1024)},
        {"index_outside_palette",
         [&] {
             std::vector<uint8_t> b = good8;
             b[b[10]] = 2; // two colours, index 2
             return b;
         }()},
        {"pixels_before_palette_end", with32(good8, 10, 14 + 40 + 4)},
        {"offset_past_end", with32(good24, 10, 100000)},
        {"rle_run_past_row", rle({8, 1, 0, 1})},
        {"rle_no_end", rle({7, 1, 0, 0, 7, 2})},
        {"rle_index_outside", rle({7, 20, 0, 1})},
        {"rle_move_outside", rle({0, 2, 9, 0, 0, 1})},
        {"rle_literal_past_data", rle({0, 6, 1, 2})},
        {"rle_literal_past_row", rle({0, 8, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1})},
        {"rle_rows_past_bottom", rle({0, 0, 0, 0, 0, 0, 1, 1, 0, 1})},
        // A few bytes that claim more pixels than the largest picture the game ships (the sky
        // at drawing scale 4, 2560 x 1920) would cost hundreds of megabytes once loaded.
        {"rle_claims_8192_square", with32(with32(rle({0, 1}), 18, 8192), 22, 8192)},
        {"rle_one_column_past_the_largest", with32(with32(rle({0, 1}), 18, 2561), 22, 1920)},
    };
    const std::vector<uint8_t> largest = with32(with32(rle({0, 1}), 18, 2560), 22, 1920);
    EXPECT_TRUE(bmpFileIsWellFormed(largest.data(), largest.size()));
    Window window = testWindow();
    const PictureCounts before = livePictureCounts();
    for (const Case& c : cases) {
        const std::string path = saveInTestFolder(std::string(c.name) + ".bmp", c.bytes);
        for (uint8_t transparent : {0, 1}) {
            Bitmap* bitmap = loadBitmap(&window, path.c_str(), transparent);
            expectEmpty(bitmap, c.name);
            freeBitmap(bitmap);
        }
        EXPECT_EQ(lastPlatformError(), nullptr) << c.name;
    }
    EXPECT_EQ(livePictureCounts().bitmaps, before.bitmaps);
}

TEST(BmpFiles, EveryTruncationGivesTheEmptyPicture)
{
    Window window = testWindow();
    for (const std::vector<uint8_t>& whole :
         {makeBmp(twoColourImage(), {}, {24, false, 0, false}),
          makeBmp(sixteenColourImage(), sixteenColours(), {4, false, 2, false})}) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const std::string path = saveInTestFolder(
                "cut.bmp", std::vector<uint8_t>(
                               whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
            Bitmap* bitmap = loadBitmap(&window, path.c_str(), 1);
            expectEmpty(bitmap, "cut at " + std::to_string(length));
            freeBitmap(bitmap);
        }
    }
}

TEST(PicturePaths, GamePathsUseBackslashesAndMissingFilesAreSilent)
{
    const std::string path =
        saveInTestFolder("pic.bmp", makeBmp(twoColourImage(), {}, {24, false, 0, false}));
    std::string gamePath = path;
    for (char& c : gamePath) {
        c = c == '/' ? '\\' : c;
    }
    gamePath[0] = '/';
    EXPECT_EQ(findPictureFile(gamePath.c_str()), path);

    Window window = testWindow();
    Bitmap* found = loadBitmap(&window, gamePath.c_str(), 1);
    EXPECT_NE(found->picture, nullptr);
    freeBitmap(found);

    testing::internal::CaptureStderr();
    Bitmap* missing = loadBitmap(&window, "gfx\\nowhere\\missing.bmp", 1);
    Bitmap* none = loadBitmap(&window, nullptr, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    expectEmpty(missing, "missing");
    expectEmpty(none, "null path");
    EXPECT_FALSE(window.messageBoxShown);
    freeBitmap(missing);
    freeBitmap(none);

    // The working folder first, then beside the executable and its parents.
    const std::vector<std::string> folders = pictureSearchFolders();
    ASSERT_GE(folders.size(), 3u);
    EXPECT_EQ(folders.front(), "");
    EXPECT_NE(std::find(folders.begin(), folders.end(), std::string(VANTOR_BUILD_TESTS_DIR) + "/"),
              folders.end());
}

TEST(PicturePaths, AnEmptyOrUnreadableCopyIsPassedOverForTheNextPlacesCopy)
{
    // The working folder is searched first; the repository's gfx, found beside the test, holds
    // the good copies.
    const std::filesystem::path folder = std::filesystem::absolute(testFolder());
    std::filesystem::create_directories(folder / "gfx" / "hud");
    writeFile((folder / "gfx" / "hud" / "guageEmptyLeft.bmp").string(), {});
    const std::string unreadable = (folder / "gfx" / "hud" / "guageFullLeft.bmp").string();
    writeFile(unreadable, makeBmp(twoColourImage(), {}, {24, false, 0, false}));
    std::filesystem::permissions(unreadable, std::filesystem::perms::none);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const std::string empty = findPictureFile("gfx\\hud\\guageEmptyLeft.bmp");
    const std::string closed = findPictureFile("gfx\\hud\\guageFullLeft.bmp");
    std::filesystem::current_path(before);

    EXPECT_NE(empty, "");
    EXPECT_NE(empty, "gfx/hud/guageEmptyLeft.bmp");
    // Whoever may read every file (the superuser) reads this one too.
    if (std::FILE* file = std::fopen(unreadable.c_str(), "rb")) {
        std::fclose(file);
    } else {
        EXPECT_NE(closed, "");
        EXPECT_NE(closed, "gfx/hud/guageFullLeft.bmp");
    }
    std::filesystem::permissions(unreadable, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder);
}

TEST(PicturePaths, AScaledPictureComesFromItsScalesFolderOrFallsBackToScaleOneSilently)
{
    // The working folder is the first search folder: lay out gfx and gfx-2x in the test's own
    // folder and look from there, in a group of pictures that no real set has.
    const std::filesystem::path folder = std::filesystem::absolute(testFolder());
    const std::vector<uint8_t> bytes = makeBmp(twoColourImage(), {}, {24, false, 0, false});
    std::filesystem::create_directories(folder / "gfx" / "lookup");
    std::filesystem::create_directories(folder / "gfx-2x" / "lookup");
    writeFile((folder / "gfx" / "lookup" / "arrow.bmp").string(), bytes);
    writeFile((folder / "gfx" / "lookup" / "bar.bmp").string(), bytes);
    writeFile((folder / "gfx-2x" / "lookup" / "arrow.bmp").string(), bytes);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);

    testing::internal::CaptureStderr();
    const ScaledPictureFile sharp = findScaledPictureFile("gfx\\lookup\\arrow.bmp", 2);
    const ScaledPictureFile missingAtThree = findScaledPictureFile("gfx\\lookup\\arrow.bmp", 3);
    const ScaledPictureFile missingAtTwo = findScaledPictureFile("gfx\\lookup\\bar.bmp", 2);
    const ScaledPictureFile scaleOne = findScaledPictureFile("gfx\\lookup\\arrow.bmp", 1);
    const ScaledPictureFile tooLarge = findScaledPictureFile("gfx\\lookup\\arrow.bmp", 5);
    const ScaledPictureFile nowhere = findScaledPictureFile("gfx\\lookup\\nowhere.bmp", 2);
    const ScaledPictureFile none = findScaledPictureFile(nullptr, 2);
    std::filesystem::current_path(before);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_EQ(sharp.path, "gfx-2x/lookup/arrow.bmp");
    EXPECT_EQ(sharp.scale, 2);
    for (const ScaledPictureFile& fallback : {missingAtThree, scaleOne, tooLarge}) {
        EXPECT_EQ(fallback.path, "gfx/lookup/arrow.bmp");
        EXPECT_EQ(fallback.scale, 1) << "the caller enlarges the scale-1 picture";
    }
    EXPECT_EQ(missingAtTwo.path, "gfx/lookup/bar.bmp");
    EXPECT_EQ(missingAtTwo.scale, 1);
    EXPECT_EQ(nowhere.path, "");
    EXPECT_EQ(none.path, "");
    std::filesystem::remove_all(folder);
}

TEST(PicturePaths, APictureLoadsAtTheWindowsScaleOnlyWhereItIsThatScaleTimesTheScaleOnePicture)
{
    const std::filesystem::path folder = std::filesystem::absolute(testFolder());
    const Surface one = twoColourImage(); // 13 by 5
    Surface two;                          // the same painted twice as large: 26 by 10
    two.width = 26;
    two.height = 10;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 26; ++x) {
            two.pixels.push_back(x % 2 == y % 2 ? cyan : red);
        }
    }
    const auto bmp = [](const Surface& s) { return makeBmp(s, {}, {24, false, 0, false}); };
    std::filesystem::create_directories(folder / "gfx" / "lookup");
    std::filesystem::create_directories(folder / "gfx-2x" / "lookup");
    writeFile((folder / "gfx" / "lookup" / "fits.bmp").string(), bmp(one));
    writeFile((folder / "gfx-2x" / "lookup" / "fits.bmp").string(), bmp(two));
    // Painted at another size: a scale-2 picture of a different scale-1 picture.
    writeFile((folder / "gfx" / "lookup" / "stale.bmp").string(), bmp(one));
    writeFile((folder / "gfx-2x" / "lookup" / "stale.bmp").string(), bmp(one));
    // Only at scale 2: the race never sees it, at any scale.
    writeFile((folder / "gfx-2x" / "lookup" / "lonely.bmp").string(), bmp(two));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);

    Window window{};
    window.drawingScale = 2;
    resizeSurface(&window.backBuffer, 26, 10);
    Bitmap* sharp = loadBitmap(&window, "gfx\\lookup\\fits.bmp", 0);
    Bitmap* enlarged = loadBitmap(&window, "gfx\\lookup\\stale.bmp", 0);
    Bitmap* lonely = loadBitmap(&window, "gfx\\lookup\\lonely.bmp", 0);
    Sprite sprite;
    loadSprite(&window, "gfx\\lookup\\fits.bmp", &sprite);

    // Sizes are the scale-1 picture's at every scale; the pixels are the scale's own.
    EXPECT_EQ(sharp->scale, 2);
    EXPECT_EQ(sharp->info.width, 13);
    EXPECT_EQ(sharp->info.height, 5);
    EXPECT_EQ(sharp->picture->width, 26);
    EXPECT_EQ(enlarged->scale, 1);
    EXPECT_EQ(enlarged->info.width, 13);
    expectEmpty(lonely, "a scaled picture without its scale-1 picture");
    EXPECT_EQ(sprite.width, 13);
    EXPECT_EQ(sprite.height, 5);
    EXPECT_EQ(sprite.levelCount, 5u) << "26, 13, 6, 3 and 1 pixels wide";

    // Drawn at scale 2, the sharp picture shows its own pixels and the scale-1 one each of its
    // pixels as a 2 by 2 block.
    drawBitmap(&window, sharp, 0, 0);
    EXPECT_EQ(window.backBuffer.pixels, two.pixels);
    drawBitmap(&window, enlarged, 0, 0);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 26; ++x) {
            ASSERT_EQ(window.backBuffer.pixels[static_cast<std::size_t>(y * 26 + x)],
                      one.pixels[static_cast<std::size_t>(y / 2 * 13 + x / 2)])
                << x << "," << y;
        }
    }

    // A cut keeps its columns at the picture's scale: screen columns 3 to 7 are the scale-2
    // picture's columns 6 to 15, every row of them. Columns not all within the picture cut
    // nothing.
    Bitmap* cut = cutBitmapColumns(*sharp, 3, 5);
    EXPECT_EQ(cut->scale, 2);
    EXPECT_EQ(cut->info.width, 5);
    EXPECT_EQ(cut->info.height, 5);
    ASSERT_EQ(cut->picture->width, 10);
    ASSERT_EQ(cut->picture->height, 10);
    EXPECT_EQ(cut->mask, nullptr);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(cut->picture->pixels[static_cast<std::size_t>(y * 10 + x)],
                      two.pixels[static_cast<std::size_t>(y * 26 + x + 6)])
                << x << "," << y;
        }
    }
    for (const auto& [x, w] : {std::pair{9, 5}, {-1, 2}, {0, 0}, {13, 1}}) {
        Bitmap* none = cutBitmapColumns(*sharp, x, w);
        expectEmpty(none, "columns outside the picture");
        freeBitmap(none);
    }
    freeBitmap(cut);

    // Back at scale 1 (the classic picture), drawing loads the scale-1 pictures again: the same
    // record, the same size in screen pixels, and the Sprite's levels made anew.
    window.drawingScale = 1;
    drawBitmap(&window, sharp, 0, 0);
    drawSprite(&window, &sprite, 0, 0, 13, 5);
    EXPECT_EQ(sharp->scale, 1);
    EXPECT_EQ(sharp->picture->width, 13);
    EXPECT_EQ(sharp->info.width, 13);
    EXPECT_EQ(sprite.width, 13);
    EXPECT_EQ(sprite.levelCount, 4u) << "13, 6, 3 and 1 pixels wide";
    EXPECT_EQ(sprite.levels[0]->picture->width, 13);
    std::filesystem::current_path(before);
    freeSprite(&sprite);
    for (Bitmap* b : {sharp, enlarged, lonely}) {
        freeBitmap(b);
    }
    std::filesystem::remove_all(folder);
}

TEST(Bitmaps, ColourKeyMakesEveryPixelOfTheBottomRightColourTransparent)
{
    constexpr uint32_t key = 0xFF00FF;
    const Surface image = surfaceFromArt({"rkg", "gkk"}, {{'r', red}, {'g', 0x00FF00}, {'k', key}});
    Window window = testWindow();
    const std::string path =
        saveInTestFolder("keyed.bmp", makeBmp(image, {}, {24, false, 0, false}));

    Bitmap* keyed = loadBitmap(&window, path.c_str(), 1);
    ASSERT_NE(keyed->mask, nullptr);
    EXPECT_EQ(keyed->mask->bits, (std::vector<uint8_t>{1, 0, 1, 1, 0, 0}));
    EXPECT_EQ(keyed->pixels,
              (std::vector<uint32_t>{0xFFFF0000, key, 0xFF00FF00, 0xFF00FF00, key, key}));
    expectArt(*keyed->picture, {"rwg", "gww"}, {{'r', red}, {'g', 0x00FF00}, {'w', 0xFFFFFF}},
              "whitened");

    // A cut of a keyed picture keeps its key: columns 1 and 2 of both rows.
    Bitmap* cut = cutBitmapColumns(*keyed, 1, 2);
    ASSERT_NE(cut->mask, nullptr);
    EXPECT_EQ(cut->mask->bits, (std::vector<uint8_t>{0, 1, 0, 0}));
    EXPECT_EQ(cut->pixels, (std::vector<uint32_t>{key, 0xFF00FF00, key, key}));
    expectArt(*cut->picture, {"wg", "ww"}, {{'g', 0x00FF00}, {'w', 0xFFFFFF}}, "cut");
    freeBitmap(cut);
    freeBitmap(keyed);

    Bitmap* opaque = loadBitmap(&window, path.c_str(), 0);
    EXPECT_EQ(opaque->mask, nullptr);
    EXPECT_EQ(opaque->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFFFF00FF, 0xFF00FF00, 0xFF00FF00,
                                                     0xFFFF00FF, 0xFFFF00FF}));
    expectSamePixels(*opaque->picture, image, "opaque");
    freeBitmap(opaque);

    // From pixels: the caller's top bytes stay in the copy; the key ignores them.
    const uint32_t mine[4] = {0x12000001, 0x34000002, 0x56000002, 0x78000002};
    Bitmap* made = bitmapFromPixels(mine, 2, 2);
    EXPECT_EQ(made->pixels, (std::vector<uint32_t>(mine, mine + 4)));
    EXPECT_EQ(made->mask->bits, (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(made->picture->pixels, (std::vector<uint32_t>{1, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}));
    freeBitmap(made);

    Bitmap* nothing = bitmapFromPixels(nullptr, 2, 2);
    expectEmpty(nothing, "null pixels");
    freeBitmap(nothing);
}

TEST(Sprites, LevelsHalveDownToOnePixelAndKeepTheKey)
{
    Window window = testWindow();
    struct Case {
        int w, h;
        std::vector<std::pair<int, int>> sizes;
    };
    const Case cases[] = {
        {64, 32, {{64, 32}, {32, 16}, {16, 8}, {8, 4}, {4, 2}, {2, 1}, {1, 1}}},
        {3, 5, {{3, 5}, {1, 2}, {1, 1}}},
        {1, 1, {{1, 1}}},
    };
    constexpr uint32_t key = 0x0000FE;
    for (const Case& c : cases) {
        // A checkerboard keyed on the bottom-right pixel; sampling alone would not land on it.
        Surface image;
        image.width = c.w;
        image.height = c.h;
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                image.pixels.push_back((x + y) % 2 ? 0x00AA00 : 0xAA0000);
            }
        }
        image.pixels.back() = key;
        const std::string path =
            saveInTestFolder("sprite.bmp", makeBmp(image, {}, {24, false, 0, false}));
        Sprite sprite;
        loadSprite(&window, path.c_str(), &sprite);
        ASSERT_EQ(sprite.loaded, 1);
        EXPECT_EQ(sprite.width, c.w);
        EXPECT_EQ(sprite.height, c.h);
        ASSERT_EQ(sprite.levelCount, c.sizes.size());
        for (std::size_t i = 0; i < c.sizes.size(); ++i) {
            const Bitmap* level = sprite.levels[i];
            EXPECT_EQ(level->info.width, c.sizes[i].first) << c.w << "x" << c.h << " level " << i;
            EXPECT_EQ(level->info.height, c.sizes[i].second) << c.w << "x" << c.h << " level " << i;
            EXPECT_EQ(level->pixels.back() & 0xFFFFFF, key) << "level " << i;
            EXPECT_EQ(level->mask->bits.back(), 0) << "level " << i;
        }
        if (c.w == 64) {
            // Level 1 samples even columns of even rows: all of the first colour.
            EXPECT_EQ(sprite.levels[1]->pixels[5], 0xAA0000u);
            EXPECT_EQ(sprite.levels[1]->pixels[17], 0xAA0000u);
        }
        if (c.w == 1) {
            EXPECT_EQ(sprite.levels[0]->mask->bits, (std::vector<uint8_t>{0}));
        }
        freeSprite(&sprite);
        EXPECT_EQ(sprite.loaded, 0);
        freeSprite(&sprite);
    }
    EXPECT_EQ(livePictureCounts().spriteLevels, 0);
}

TEST(Sprites, FailedLoadLeavesZeroSizesAndNoLevels)
{
    Window window = testWindow();
    const PictureCounts before = livePictureCounts();
    for (const char* path : {"gfx\\nowhere\\tree9.bmp", static_cast<const char*>(nullptr)}) {
        // A record that was not zeroed: every field holds garbage before the load.
        Sprite sprite;
        Bitmap* garbage[1] = {nullptr};
        sprite.loaded = 0xA5;
        sprite.width = 12345;
        sprite.height = -7;
        sprite.levelCount = 99;
        sprite.levels = garbage;
        loadSprite(&window, path, &sprite);
        EXPECT_EQ(sprite.loaded, 0);
        EXPECT_EQ(sprite.width, 0);
        EXPECT_EQ(sprite.height, 0);
        EXPECT_EQ(sprite.levelCount, 0u);
        EXPECT_EQ(sprite.levels, nullptr);
        freeSprite(&sprite);
    }
    Sprite noWindow;
    const std::string path =
        saveInTestFolder("tiny.bmp", makeBmp(twoColourImage(), {}, {24, false, 0, false}));
    loadSprite(nullptr, path.c_str(), &noWindow);
    EXPECT_EQ(noWindow.loaded, 0);
    const PictureCounts after = livePictureCounts();
    EXPECT_EQ(after.bitmaps, before.bitmaps);
    EXPECT_EQ(after.spriteLevels, before.spriteLevels);
}
