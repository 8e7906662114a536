// The race frame around the road: sky and clouds, the place text, the speed gauges and the start
// countdown. The pictures are one colour each and the font's glyph cells are one colour per
// character, so what was drawn, and where, can be read back from the pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "race/frame_timer.h"
#include "objects/game_object.h"
#include "render/race_frame.h"
#include "render_support.h"

using render_support::onePictureColour;
using render_support::readText;
using render_support::TestWindow;

namespace {

constexpr uint32_t skyColour = 0x3060C0;
constexpr uint32_t cloudColour = 0xF0F0F0;
constexpr uint32_t fullLeft = 0x00FF00;
constexpr uint32_t emptyLeft = 0x004000;
constexpr uint32_t fullRight = 0x0000FF;
constexpr uint32_t emptyRight = 0x000040;

// A race state with a sky, clouds 100 x 20, a readable font, four gauge pictures and a field of
// cars, but no track: drawRaceFrame draws everything but the road.
class RaceFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        raceState.skyLayer = createSkyLayer(&w.window);
        freeSkyLayer(raceState.skyLayer);
        raceState.skyLayer->sky = onePictureColour(&w.window, "sky", 640, 480, skyColour, 0);
        raceState.skyLayer->cloud = onePictureColour(&w.window, "cloud", 100, 20, cloudColour, 1);
        raceState.track = nullptr;
        raceState.camera = camera;
        raceState.raceFont = render_support::readableFont();
        raceState.frameTimer = &timer;
        raceState.averageFrameSeconds = 0.0f;
        raceState.countdownSeconds = 0.0f;
        raceState.goSeconds = 0.0f;
        setGauges(100, 100, 100, 100);
        setField(8);
    }
    void TearDown() override
    {
        freeSkyLayer(raceState.skyLayer);
        delete raceState.skyLayer;
        freeBitmapFont(raceState.raceFont);
        freeGauges();
    }
    void setGauges(int fullLeftWidth, int emptyLeftWidth, int fullRightWidth, int emptyRightWidth)
    {
        freeGauges();
        raceState.hudGaugeFullLeft =
            onePictureColour(&w.window, "fl", fullLeftWidth, 10, fullLeft, 1);
        raceState.hudGaugeEmptyLeft =
            onePictureColour(&w.window, "el", emptyLeftWidth, 10, emptyLeft, 1);
        raceState.hudGaugeFullRight =
            onePictureColour(&w.window, "fr", fullRightWidth, 10, fullRight, 1);
        raceState.hudGaugeEmptyRight =
            onePictureColour(&w.window, "er", emptyRightWidth, 10, emptyRight, 1);
    }
    void freeGauges()
    {
        for (Bitmap** gauge : {&raceState.hudGaugeFullLeft, &raceState.hudGaugeEmptyLeft,
                               &raceState.hudGaugeFullRight, &raceState.hudGaugeEmptyRight}) {
            if (*gauge != nullptr) {
                freeBitmap(*gauge);
                *gauge = nullptr;
            }
        }
    }
    // The player at z = 4096, every opponent 1000 further on than the one before, as on the grid.
    void setField(uint32_t count)
    {
        cars.clear();
        carTable.clear();
        for (uint32_t i = 0; i < count; ++i) {
            const float z = 4096.0f + 1000.0f * static_cast<float>(i);
            cars.push_back(std::make_unique<Obj_Car>(Vec3{0.0f, 200.0f, z}, noViews, 17000.0f));
            carTable.push_back(cars.back().get());
        }
        raceState.cars = carTable.data();
        raceState.carCount = count;
    }
    void frame()
    {
        w.clear();
        stepRaceDisplay(&raceState);
        drawRaceFrame(&w.window, raceState);
    }

    render_support::RaceStateGuard guard;
    TestWindow w;
    float camera[3] = {0.0f, 1000.0f, -1500.0f};
    FrameTimer timer{1000, 0, 0, 0.0f, nullptr, nullptr};
    Sprite* noViews[7] = {};
    std::vector<std::unique_ptr<Obj_Car>> cars;
    std::vector<Obj_Car*> carTable;
};

TEST_F(RaceFrameTest, CloudsDriftWrapAndDrawOverTheSky)
{
    SkyLayer* sky = raceState.skyLayer;
    const float startX[4] = {-60.0f, 120.0f, 300.0f, 520.0f};
    const float startY[4] = {20.0f, 90.0f, 40.0f, 110.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sky->cloudX[i], startX[i]);
        EXPECT_EQ(sky->cloudY[i], startY[i]);
    }
    // Still time: the clouds stay. Cloud 0 covers columns 0 to 39 of rows 20 to 39.
    frame();
    EXPECT_EQ(w.runs(20), "f0f0f0@0 3060c0@40");

    // One second a frame moves them 19.5 pixels; cloud 3 reaches 639.5, then 659 wraps round to
    // 659 - 740 = -81, its right edge 19 pixels into the screen.
    raceState.averageFrameSeconds = 1.0f;
    frame();
    EXPECT_EQ(sky->cloudX[0], -40.5f);
    EXPECT_EQ(w.at(59, 20), cloudColour); // trunc(-40.5) = -40: columns 0 to 59
    EXPECT_EQ(w.at(60, 20), skyColour);
    EXPECT_EQ(sky->cloudX[3], 539.5f);
    sky->cloudX[3] = 639.5f;
    frame();
    EXPECT_EQ(sky->cloudX[3], 659.0f - 740.0f);
    EXPECT_EQ(w.at(18, 110), cloudColour);
    EXPECT_EQ(w.at(19, 110), skyColour);

    // A frame of 100 seconds moves a cloud no more than 640 pixels: 159 + 640 wraps to 59.
    // Backwards time moves them back, wrapping past the left edge.
    raceState.averageFrameSeconds = 100.0f;
    frame();
    EXPECT_EQ(sky->cloudX[1], 159.0f + 640.0f - 740.0f);
    raceState.averageFrameSeconds = -100.0f;
    frame();
    EXPECT_EQ(sky->cloudX[1], 59.0f - 640.0f + 740.0f);
}

TEST_F(RaceFrameTest, PlaceTextCountsLevelOpponentsAheadAndTakesItsSuffix)
{
    const std::vector<std::string> expected = {
        "1st",  "2nd",  "3rd",  "4th",  "5th",  "6th",  "7th",  "8th",  "9th",  "10th", "11th",
        "12th", "13th", "14th", "15th", "16th", "17th", "18th", "19th", "20th", "21st", "22nd",
        "23rd", "24th", "25th", "26th", "27th", "28th", "29th", "30th", "31st", "32nd"};
    for (int place = 1; place <= 32; ++place) {
        char text[16];
        formatPlace(place, text);
        EXPECT_EQ(std::string(text), expected[static_cast<std::size_t>(place - 1)]);
    }

    // On the grid the player starts behind every opponent.
    EXPECT_EQ(currentPlace(), 8);
    frame();
    EXPECT_EQ(readText(w, 320 - 3 * 4 / 2, 0), "8th");
    EXPECT_EQ(w.at(320 - 3 * 4 / 2 - 1, 0), skyColour);

    // Passing five opponents, drawing level with a sixth: level counts as ahead.
    cars[0]->position.z = cars[6]->position.z;
    EXPECT_EQ(currentPlace(), 3);
    cars[0]->position.z += 0.5f;
    EXPECT_EQ(currentPlace(), 2);

    // A four-letter place is centred as four cells.
    setField(32);
    cars[0]->position.z = cars[20]->position.z + 1.0f;
    frame();
    EXPECT_EQ(readText(w, 320 - 4 * 4 / 2, 0), "12th");
}

TEST_F(RaceFrameTest, GaugesFillWithSpeedFromTheScreenEdges)
{
    // Full from 75000 either way, however fast (no overflow on the way to an integer).
    EXPECT_EQ(gaugeFill(74999.0f, 100), 99);
    EXPECT_EQ(gaugeFill(-3.0e38f, 100), 100);

    // Row 5 lies below the place text and above the clouds. The bottom-right pixel of each
    // gauge picture is its transparent key, so row 5 shows every drawn column.
    Obj_Car* player = cars[0].get();
    frame();
    EXPECT_EQ(w.runs(5), "4000@0 3060c0@100 40@540");
    player->velocity.z = 37500.0f;
    frame();
    EXPECT_EQ(w.runs(5), "ff00@0 4000@50 3060c0@100 40@540 ff@590");
    player->velocity.z = -90000.0f;
    frame();
    EXPECT_EQ(w.runs(5), "ff00@0 3060c0@100 ff@540");
}

// The wide view of a 16:9 screen, 854 wide: the layout starts at column 107. The gauges move out
// to the screen's corners, the sky's sides fill the margins (the left margin shows the 107
// columns left of the sides' middle, the right one the 107 right of it), and a cloud shows in a
// margin also where it is one round of its drift (740 pixels) away; the place stays in the
// middle. A narrower view (16:10, 768 wide) shows the sides' columns nearest their middle.
TEST_F(RaceFrameTest, TheWideViewPutsTheGaugesInItsCornersAndCarriesTheSkyToItsEdges)
{
    // Each column of the sides picture has its own colour: 0x500000 plus the column.
    Surface sides;
    sides.width = 480;
    sides.height = 480;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x) {
            sides.pixels.push_back(0x500000u + static_cast<uint32_t>(x));
        }
    }
    const std::string path = testFolder() + "sides.bmp";
    picture_support::writeFile(path, picture_support::bmp24(sides));
    raceState.skyLayer->skySides = loadBitmap(&w.window, path.c_str(), 0);
    // Row y of the margins should show the sides' columns 240 - left to 239 in its first `left`
    // columns and columns 240 onwards from column firstRight: an L or R for each column that does
    // not, so that "" means both margins are right.
    const auto marginMisses = [&](int y, int left, int firstRight) {
        std::string shown;
        for (int x = 0; x < left; ++x) {
            shown += w.at(x, y) == 0x500000u + static_cast<uint32_t>(240 - left + x) ? "" : "L";
        }
        for (int x = firstRight; x < w.window.backBuffer.width; ++x) {
            shown +=
                w.at(x, y) == 0x500000u + static_cast<uint32_t>(240 + x - firstRight) ? "" : "R";
        }
        return shown;
    };
    w.backend.setViewWidth(854);
    sizeClientArea(&w.window);
    ASSERT_EQ(w.window.backBuffer.width, 854);
    Obj_Car* player = cars[0].get();
    player->velocity.z = 37500.0f;
    frame();
    EXPECT_EQ(w.at(0, 5), fullLeft);
    EXPECT_EQ(w.at(50, 5), emptyLeft);
    EXPECT_EQ(w.at(107, 5), skyColour);
    EXPECT_EQ(w.at(754, 5), emptyRight);
    EXPECT_EQ(w.at(804, 5), fullRight);
    EXPECT_EQ(marginMisses(300, 107, 747), "");
    // Cloud 0 at -60 reaches into the left margin; one round on, at 680, into the right one.
    EXPECT_EQ(w.at(47, 20), cloudColour);
    EXPECT_EQ(w.at(787, 20), cloudColour);
    EXPECT_EQ(readText(w, 107 + 320 - 4 * 3 / 2, 0), "8th");

    w.backend.setViewWidth(768);
    sizeClientArea(&w.window);
    ASSERT_EQ(w.window.backBuffer.width, 768);
    frame();
    EXPECT_EQ(marginMisses(300, 64, 704), "");
    EXPECT_EQ(w.at(64, 300), skyColour);
}

// Gauge pictures of unequal widths ask for regions of negative width; those draw nothing.
TEST_F(RaceFrameTest, GaugesOfUnequalWidthsNeverDrawNegativeRegions)
{
    setGauges(100, 60, 80, 50);
    Obj_Car* player = cars[0].get();
    frame();
    EXPECT_EQ(w.runs(5), "4000@0 3060c0@60 40@590");
    player->velocity.z = 37500.0f;
    frame();
    EXPECT_EQ(w.runs(5), "ff00@0 4000@50 3060c0@60 ff@590");
    player->velocity.z = 75000.0f;
    frame();
    EXPECT_EQ(w.runs(5), "ff00@0 3060c0@100 ff@540 3060c0@620");
}

// Quarter-second frames: 3, 2 and 1 for four frames each (2.99999 counted down by the raw frame
// time, whatever the averaged one), then "GO!" for six frames, then nothing.
TEST_F(RaceFrameTest, CountdownShowsThreeTwoOneThenGo)
{
    raceState.countdownSeconds = 2.99999f;
    raceState.goSeconds = 1.5f;
    timer.elapsedSeconds = 0.25f;
    raceState.averageFrameSeconds = 0.0f;
    std::vector<std::string> shown;
    for (int i = 0; i < 20; ++i) {
        const float goBefore = raceState.goSeconds;
        const bool counting = raceState.countdownSeconds > 0.0f;
        frame();
        if (counting) {
            EXPECT_EQ(raceState.goSeconds, goBefore) << "frame " << i;
        }
        // The number is one cell at 320 - 4 / 2, 240 - 4 / 2; "GO!" three cells from 320 - 6.
        const std::string number = readText(w, 318, 238);
        const std::string go = readText(w, 314, 238);
        shown.push_back(go == "GO!" ? go : number);
        if (go != "GO!" && !number.empty()) {
            EXPECT_EQ(number.size(), 1u);
            EXPECT_EQ(w.at(317, 238), skyColour);
        }
    }
    const std::vector<std::string> expected = {"3",   "3",   "3",   "3",   "2", "2",   "2",
                                               "2",   "1",   "1",   "1",   "1", "GO!", "GO!",
                                               "GO!", "GO!", "GO!", "GO!", "",  ""};
    EXPECT_EQ(shown, expected);
    EXPECT_LE(raceState.countdownSeconds, 0.0f);
    EXPECT_EQ(raceState.goSeconds, 0.0f);
}

} // namespace
