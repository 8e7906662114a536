// The road seen from the race camera: brushes, projection, crests, clipping, objects in depth
// order. Expected pixels are worked out by hand from the projection
//   x = trunc(320 + 320 dx / d), y = trunc(240 - 240 dy / d),
// filled by pixel centres (left and top edges in, right and bottom out).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "objects/game_object.h"
#include "render/road.h"
#include "render_support.h"

using render_support::flatTrack;
using render_support::sentinel;
using render_support::TestSprite;
using render_support::TestWindow;
using render_support::trackThrough;

namespace {

// Colours of the shades the tests meet, each channel trunc(shade x factor).
constexpr uint32_t ground247 = 0xD6D6DE; // 214.89, 214.89, 222.3
constexpr uint32_t ground251 = 0xDADAE1; // 218.37, 218.37, 225.9
constexpr uint32_t ground254 = 0xDCDCE4; // 220.98, 220.98, 228.6
constexpr uint32_t road251 = 0x323232;   // 50.2 (and 50.6 at 253, 50.8 at 254)
constexpr uint32_t line251 = 0xC8C83E;   // 200.8, 200.8, 62.75
constexpr uint32_t dash251 = 0xC8C8C8;

// The road brushes exist for the test and the race state points at its track and camera.
class RoadTest : public ::testing::Test {
protected:
    void SetUp() override { createRoadBrushes(); }
    void TearDown() override
    {
        deleteRoadBrushes();
        freeTrack(&track);
    }
    void useTrack(Track* t)
    {
        track = t;
        raceState.track = track;
        raceState.camera = camera;
    }
    void drawFrom(float x, float y, float z)
    {
        camera[0] = x;
        camera[1] = y;
        camera[2] = z;
        sortVisibleObjects(raceState.track, raceState.camera);
        drawRoad(&w.window, raceState);
    }
    bool anyPixel(uint32_t colour) const
    {
        for (uint32_t p : w.window.backBuffer.pixels) {
            if (p == colour) {
                return true;
            }
        }
        return false;
    }
    // Files the objects in the segment's bucket in the given order.
    void fileObjects(uint32_t segment, const std::vector<GameObject*>& objects)
    {
        TrackSegment* s = track->segments[segment];
        s->objectCount = static_cast<uint32_t>(objects.size());
        for (std::size_t i = 0; i < objects.size(); ++i) {
            s->objects[i] = objects[i];
        }
    }

    render_support::RaceStateGuard guard;
    TestWindow w;
    Track* track = nullptr;
    float camera[3] = {0.0f, 0.0f, 0.0f};
};

std::unique_ptr<Obj_SolidObstacle> obstacle(float x, float y, float z, float width, float height,
                                            Sprite* sprite)
{
    return std::make_unique<Obj_SolidObstacle>(Vec3{x, y, z}, BoxSize{width, height, 256.0f},
                                               sprite);
}

// Camera 1000 above a level road, 3000 before its start: segment 0 lies 3000 to 6000 ahead,
// its near edge on row 240 + 240000 / 3000 = 320, its far edge on 240 + 40 = 280, drawn from 279.
// At depth 3000 the road edges (+-2250) fall on x = 80 and 560, at 6000 on 200 and 440.
TEST_F(RoadTest, LevelRoadLandsWhereTheProjectionPutsIt)
{
    useTrack(flatTrack(80));
    drawFrom(0.0f, 1000.0f, -3000.0f);

    // Row 300 (centre 300.5): left edge 80 + 19.5 x 120 / 41 = 137.07, left line 140.65 to
    // 144.70, right line 494.30 to 498.35, right edge 502.93. The dash ends above this row.
    EXPECT_EQ(w.runs(300), "dadae1@0 323232@137 c8c83e@141 323232@145 c8c83e@494 323232@498 "
                           "dadae1@503");
    // Row 295: the dash, from (316, 300)-(324, 300) near (depth 3999.99) to (316, 286)-(323, 286)
    // far (depth 5000.01, row 287 drawn from 286): right side 323 + 8.5 / 14 = 323.61.
    EXPECT_EQ(w.runs(295), "dadae1@0 323232@152 c8c83e@155 323232@159 c8c8c8@316 323232@324 "
                           "c8c83e@480 323232@484 dadae1@488");
    // Row 279 is the far edge drawn one pixel higher: still segment 0's shade; row 278 is
    // segment 1's (depth 6000, shade 247).
    EXPECT_EQ(w.runs(279), "dadae1@0 323232@199 c8c83e@201 323232@204 c8c83e@435 323232@438 "
                           "dadae1@441");
    EXPECT_EQ(w.at(0, 278), ground247);
    EXPECT_EQ(w.at(0, 319), ground251);
    // Nothing lies nearer than segment 0's near edge; above the horizon the road leaves nothing.
    for (int y : {320, 400, 479, 0, 200, 239}) {
        EXPECT_EQ(w.runs(y), "123456@0") << "row " << y;
    }
    // The last segment drawn (57, 174000 ahead) reaches row 240.
    EXPECT_NE(w.at(0, 240), sentinel);
}

// Lines and dash stop at segments 25 lengths away: segment 23 is 72000 ahead, segment 24 75000.
// At that distance a 50-unit line is a fifth of a pixel, so both segments get lines and a dash as
// wide as the road's halves and the whole road, which would show if they were drawn.
TEST_F(RoadTest, LinesAndDashOnlyNearerThan75000)
{
    useTrack(flatTrack(80));
    camera[0] = 0.0f;
    camera[1] = 1000.0f;
    camera[2] = -3000.0f;
    for (uint32_t i : {23u, 24u}) {
        TrackSegment* s = track->segments[i];
        for (float* line : {s->nearLeftLine, s->farLeftLine}) {
            line[0] = -2250.0f;
            line[1] = 0.0f;
        }
        for (float* line : {s->nearRightLine, s->farRightLine}) {
            line[0] = 0.0f;
            line[1] = 2250.0f;
        }
        for (float* dash : {s->dashNear, s->dashFar}) {
            dash[0] = -2250.0f;
            dash[1] = 2250.0f;
        }
    }
    const int shade23 = roadShade(72000.0f);
    drawSegment(*track->segments[23], &w.window, camera);
    EXPECT_TRUE(anyPixel(lineBrushes[shade23].colour) || anyPixel(dashBrushes[shade23].colour));
    EXPECT_FALSE(anyPixel(roadBrushes[shade23].colour)); // all covered by the lines and dash

    w.clear();
    const int shade24 = roadShade(75000.0f);
    drawSegment(*track->segments[24], &w.window, camera);
    EXPECT_TRUE(anyPixel(roadBrushes[shade24].colour));
    EXPECT_FALSE(anyPixel(lineBrushes[shade24].colour));
    EXPECT_FALSE(anyPixel(dashBrushes[shade24].colour));
}

// The camera's own segment is cut at depth 1; its dash goes once the camera passes two thirds
// of it; within one unit of its far end it draws nothing at all.
TEST_F(RoadTest, CameraInsideASegment)
{
    useTrack(flatTrack(80));
    // Camera at z = 1500: segment 0's far edge is 1500 ahead, on row 240 + 160 = 400 (from 399);
    // its clipped near edge is 1 ahead, 240000 rows down and 720000 pixels out on each side. All
    // of rows 399 to 479 are road (shade 254 has the same grey as 251).
    drawFrom(0.0f, 1000.0f, 1500.0f);
    for (int y = 399; y < 480; ++y) {
        ASSERT_EQ(w.runs(y), "323232@0") << "row " << y;
    }

    // From 5 above the road the dash (999.99 to 2000.01) stays on screen while any of it is ahead.
    const uint32_t dash = dashBrushes[254].colour;
    camera[1] = 5.0f;
    camera[2] = 1990.0f;
    w.clear();
    drawSegment(*track->segments[0], &w.window, camera);
    EXPECT_TRUE(anyPixel(dash));
    camera[2] = 2000.5f;
    w.clear();
    drawSegment(*track->segments[0], &w.window, camera);
    EXPECT_FALSE(anyPixel(dash));
    EXPECT_TRUE(anyPixel(road251));
}

// A segment whose far end is less than one unit ahead has no meaningful projection and draws
// only its objects. Segment 0 climbs from 0 to 1000 and the camera stands at its far end's
// height: projected as it is, the far edge would land on the horizon and the band would cover
// rows 200 to 238.
TEST_F(RoadTest, SegmentEndingWithinOneUnitDrawsOnlyItsObjects)
{
    useTrack(trackThrough(
        {{0.0f, -2250.0f, 2250.0f}, {1000.0f, -2250.0f, 2250.0f}, {1000.0f, -2250.0f, 2250.0f}}));
    camera[0] = 0.0f;
    camera[1] = 1000.0f;
    for (float z : {2999.0f, 2999.5f, std::nextafter(3000.0f, 0.0f), 3000.0f}) {
        camera[2] = z;
        w.clear();
        drawSegment(*track->segments[0], &w.window, camera);
        if (z == 2999.0f) {
            EXPECT_NE(w.at(0, 239), sentinel); // a far end exactly one unit ahead is drawn
        } else {
            EXPECT_EQ(w.runs(220), "123456@0") << "camera z " << z;
            EXPECT_EQ(w.runs(239), "123456@0") << "camera z " << z;
        }
    }
}

// Level to z = 6000, up 3000 over segment 2, then down 3000 a segment: from 1000 above the road
// at z = -3000 the crest (height 3000, 12000 ahead) is on row 240 - 240 x 2000 / 12000 = 200.
// Every segment beyond it faces away. Two objects stand in segment 4 (road height -1500 at
// z = 13500, 16500 ahead): a short one that the crest hides and a tall one whose top shows.
TEST_F(RoadTest, CrestHidesWhatLiesBehindIt)
{
    std::vector<TrackPoint> points;
    for (int i = 0; i <= 30; ++i) {
        const float h = i <= 2 ? 0.0f : (i == 3 ? 3000.0f : 3000.0f * static_cast<float>(3 - i));
        points.push_back({h, -2250.0f, 2250.0f});
    }
    useTrack(trackThrough(points));
    TestSprite shortPicture(&w.window, "short", 16, 16, 0xFF0000);
    TestSprite tallPicture(&w.window, "tall", 16, 16, 0x00FF00);
    // Short: rows 247 to 277. Tall: 12000 high around y = 4500, 58 pixels left of centre:
    // rows 102 to 276, columns 242 to 280.
    auto hidden = obstacle(0.0f, -500.0f, 13500.0f, 2000.0f, 2000.0f, &shortPicture.sprite);
    auto tall = obstacle(-3000.0f, 4500.0f, 13500.0f, 2000.0f, 12000.0f, &tallPicture.sprite);
    fileObjects(4, {hidden.get(), tall.get()});

    drawFrom(0.0f, 1000.0f, -3000.0f);
    EXPECT_FALSE(anyPixel(0xFF0000));
    EXPECT_EQ(w.at(262, 150), 0x00FF00u);
    EXPECT_EQ(w.at(262, 198), 0x00FF00u);
    EXPECT_NE(w.at(262, 199), 0x00FF00u); // the crest's band starts here
    EXPECT_EQ(w.runs(198), "123456@0 ff00@242 123456@281");
    EXPECT_NE(w.at(320, 199), sentinel);

    // A segment facing away draws only its objects.
    w.clear();
    drawSegment(*track->segments[4], &w.window, camera);
    EXPECT_TRUE(anyPixel(0xFF0000));
    for (uint32_t p : w.window.backBuffer.pixels) {
        ASSERT_TRUE(p == sentinel || p == 0xFF0000 || p == 0x00FF00) << std::hex << p;
    }
}

// Nearer objects cover farther ones, within a segment (its bucket sorted farthest first, for
// good) and across segments (drawn far to near).
TEST_F(RoadTest, ObjectsOverlapInDepthOrder)
{
    useTrack(flatTrack(80));
    TestSprite blue(&w.window, "blue", 16, 16, 0x0000FF);
    TestSprite red(&w.window, "red", 16, 16, 0xFF0000);
    TestSprite green(&w.window, "green", 16, 16, 0x00FF00);
    // Camera at z = -3000. Near: 6500 ahead, columns 296 to 344. Far: 8500 ahead, x = 600,
    // columns 324 to 361. Green: segment 2, 9500 ahead, x = -600, columns 283 to 316.
    auto nearObject = obstacle(0.0f, 600.0f, 3500.0f, 1000.0f, 1000.0f, &blue.sprite);
    auto farObject = obstacle(600.0f, 600.0f, 5500.0f, 1000.0f, 1000.0f, &red.sprite);
    auto fartherObject = obstacle(-600.0f, 600.0f, 6500.0f, 1000.0f, 1000.0f, &green.sprite);
    fileObjects(1, {nearObject.get(), farObject.get()});
    fileObjects(2, {fartherObject.get()});

    drawFrom(0.0f, 1000.0f, -3000.0f);
    EXPECT_EQ(w.at(330, 251), 0x0000FFu); // near over far
    EXPECT_EQ(w.at(355, 251), 0xFF0000u); // far beside it
    EXPECT_EQ(w.at(305, 250), 0x0000FFu); // near over the farther segment's object
    EXPECT_EQ(w.at(290, 250), 0x00FF00u);
    EXPECT_EQ(track->segments[1]->objects[0], farObject.get());
    EXPECT_EQ(track->segments[1]->objects[1], nearObject.get());

    // Any order comes out farthest first.
    std::vector<std::unique_ptr<Obj_SolidObstacle>> objects;
    std::vector<GameObject*> filed;
    for (float z : {3100.0f, 5900.0f, 4000.0f, 3000.0f, 5000.0f, 4000.0f, 3500.0f}) {
        objects.push_back(obstacle(0.0f, 0.0f, z, 10.0f, 10.0f, nullptr));
        filed.push_back(objects.back().get());
    }
    fileObjects(1, filed);
    sortSegmentObjects(track->segments[1]);
    const TrackSegment* s = track->segments[1];
    std::vector<float> order;
    for (uint32_t i = 0; i < s->objectCount; ++i) {
        order.push_back(s->objects[i]->position.z);
    }
    EXPECT_EQ(order,
              (std::vector<float>{5900.0f, 5000.0f, 4000.0f, 4000.0f, 3500.0f, 3100.0f, 3000.0f}));
}

// A wall: level segment 0, then segment 1 climbs 30000 in 3000; the road is only 1000 wide.
// From 1000 up at z = 2000, segment 1 spans rows -1501 (far, 4000 ahead: 240 - 240 x 29000 /
// 4000 = -1500) to 480 (near, 1000 ahead), wider than the screen at both ends; its road runs
// from columns 280-360 at the far edge to 160-480 at the near edge.
TEST_F(RoadTest, ClipsAtEveryScreenEdge)
{
    std::vector<TrackPoint> points{{0.0f, -500.0f, 500.0f}, {0.0f, -500.0f, 500.0f}};
    for (int i = 2; i <= 20; ++i) {
        points.push_back({30000.0f, -500.0f, 500.0f});
    }
    useTrack(trackThrough(points));
    drawFrom(0.0f, 1000.0f, 2000.0f);
    // Row 0: road edges 280 -/+ 120 x 1501.5 / 1981 = 189.05 and 450.95, lines 202.14 to 215.24
    // and 424.76 to 437.86.
    EXPECT_EQ(w.runs(0), "dcdce3@0 323232@189 caca3f@202 323232@215 caca3f@425 323232@438 "
                         "dcdce3@451");
    EXPECT_EQ(w.runs(478), "dcdce3@0 323232@160 caca3f@176 323232@192 caca3f@448 323232@464 "
                           "dcdce3@480");
    // Row 479 is segment 0's far edge, one pixel higher than its projection on row 480; its near
    // edge, cut at depth 1, lies 240000 rows down and 160000 pixels out. Its lines (shade 254)
    // run from 176 and 448, 16 pixels wide.
    EXPECT_EQ(w.runs(479),
              "dcdce4@0 323232@160 cbcb3f@176 323232@192 cbcb3f@448 323232@464 dcdce4@480");

    // Far off the road to either side only snow is seen, whatever the coordinates: every row
    // is one colour.
    for (float x : {1.0e6f, -1.0e6f, 3.0e9f}) {
        w.clear();
        drawFrom(x, 1000.0f, 2000.0f);
        for (int y = 0; y < 480; ++y) {
            const std::string row = w.runs(y);
            ASSERT_EQ(row.find(' '), std::string::npos) << "row " << y << " x " << x << ": " << row;
            ASSERT_NE(w.at(0, y), road251) << "row " << y << " x " << x;
        }
    }
}

} // namespace
