// The race graphics set: load order, the car-view and snow-puff tables, a missing view, and a
// teardown that leaves nothing behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "picture_support.h"
#include "pictures/bitmap.h"
#include "platform/window.h"
#include "race/race_graphics.h"

using namespace picture_support;

namespace {

// Runs the test inside its own folder holding a gfx tree, and returns to the old folder after.
struct InFolder {
    std::filesystem::path previous = std::filesystem::current_path();
    explicit InFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~InFolder() { std::filesystem::current_path(previous); }
};

} // namespace

TEST(RaceGraphics, LoadsEverySpriteInOrderAndFillsTheTables)
{
    const std::string folder = testFolder();
    // One view cannot be read. (A file left out entirely would be found in the game's own gfx
    // beside the executable, so this one is present but damaged.)
    const std::string missing = "gfx\\car\\car2_r.bmp";
    for (int i = 0; i < raceSpriteCount; ++i) {
        std::string path = raceSpriteFiles[i];
        for (char& c : path) {
            c = c == '\\' ? '/' : c;
        }
        std::filesystem::create_directories(std::filesystem::path(folder + path).parent_path());
        if (raceSpriteFiles[i] == missing) {
            writeFile(folder + path, {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
            continue;
        }
        // Each file's width tells which one was loaded into a slot.
        Surface image;
        image.width = i + 1;
        image.height = 2;
        image.pixels.assign(static_cast<std::size_t>(2 * (i + 1)), 0x112233);
        writeFile(folder + path, bmp24(image));
    }
    const PictureCounts before = livePictureCounts();
    Window window{};
    {
        InFolder inside(folder);
        loadRaceGraphics(&window);
    }
    for (int i = 0; i < raceSpriteCount; ++i) {
        ASSERT_NE(raceGraphics.slots[i], nullptr) << raceSpriteFiles[i];
        if (raceSpriteFiles[i] == missing) {
            EXPECT_EQ(raceGraphics.slots[i]->loaded, 0);
            EXPECT_EQ(raceGraphics.slots[i]->width, 0);
        } else {
            EXPECT_EQ(raceGraphics.slots[i]->width, i + 1) << raceSpriteFiles[i];
        }
    }
    // Views run from "_lll" to "_rrr"; files load straight, _l, _ll, _lll, _r, _rr, _rrr.
    const int expectedFile[carViewCount] = {3, 2, 1, 0, 4, 5, 6};
    for (int colour = 0; colour < carColourCount; ++colour) {
        for (int view = 0; view < carViewCount; ++view) {
            EXPECT_EQ(raceGraphics.carViews[colour][view],
                      raceGraphics.slots[raceSlotFirstCar + 7 * colour + expectedFile[view]]);
        }
    }
    EXPECT_EQ(raceGraphics.carViews[0][3]->width, raceSlotFirstCar + 1); // car1.bmp
    EXPECT_EQ(raceGraphics.carViews[0][0]->width, raceSlotFirstCar + 4); // car1_lll.bmp
    EXPECT_EQ(raceGraphics.carViews[1][4]->loaded, 0);                   // car2_r.bmp is missing
    EXPECT_EQ(raceGraphics.carViews[1][5]->loaded, 1);
    for (int frame = 0; frame < snowPuffFrameCount; ++frame) {
        EXPECT_EQ(raceGraphics.snowPuffFrames[frame],
                  raceGraphics.slots[raceSlotFirstSnowPuff + frame]);
    }
    EXPECT_EQ(livePictureCounts().spriteLevels - before.spriteLevels, raceSpriteCount - 1);

    freeRaceGraphics();
    freeRaceGraphics();
    for (Sprite* slot : raceGraphics.slots) {
        EXPECT_EQ(slot, nullptr);
    }
    for (auto& row : raceGraphics.carViews) {
        for (Sprite* view : row) {
            EXPECT_EQ(view, nullptr);
        }
    }
    for (Sprite* frame : raceGraphics.snowPuffFrames) {
        EXPECT_EQ(frame, nullptr);
    }
    EXPECT_EQ(livePictureCounts().bitmaps, before.bitmaps);
    EXPECT_EQ(livePictureCounts().spriteLevels, before.spriteLevels);
}
