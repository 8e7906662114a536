// Whole race frames from generated races: many seeds and every extreme setting, with the camera
// wherever a race (or a broken one) could put it. Run under the sanitizers, these catch any
// out-of-range access or overflow in the drawing; they also check what a frame leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "race/frame_timer.h"
#include "game/race_moment.h"
#include "game/race_setup.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "pictures/bitmap.h"
#include "render/race_frame.h"
#include "render_support.h"

using render_support::TestWindow;

namespace {

RaceSettings settingsOf(int l, int h, int t, int c, int s, int g)
{
    RaceSettings settings;
    settings.trackLength = l;
    settings.hillSteepness = h;
    settings.turnSharpness = t;
    settings.numCompetitors = c;
    settings.aiCarSpeed = s;
    settings.gridSpacing = g;
    return settings;
}

// Every bucket of the track lies farthest first, as the drawing leaves the ones it drew; the
// others hold at most what placement put there, so checking the drawn range is enough.
void expectBucketsFarthestFirst(int64_t first, int64_t last)
{
    const Track* track = raceState.track;
    for (int64_t i = std::max<int64_t>(first, 0);
         i <= std::min<int64_t>(last, track->segmentCount - 1); ++i) {
        const TrackSegment* s = track->segments[i];
        for (uint32_t k = 1; k < s->objectCount; ++k) {
            ASSERT_GE(s->objects[k - 1]->position.z, s->objects[k]->position.z) << "segment " << i;
        }
    }
}

// Draws one frame from the camera at (x, y, z) and checks the buckets it drew.
void frameFrom(Window* window, float x, float y, float z)
{
    raceState.camera[0] = x;
    raceState.camera[1] = y;
    raceState.camera[2] = z;
    stepRaceDisplay(&raceState);
    drawRaceFrame(window, raceState);
    if (std::isfinite(z)) {
        expectBucketsFarthestFirst(segmentIndexAt(z), segmentIndexAt(z + 175000.0f));
    }
}

// Frames of one race: the player driven to places along the whole track (and beyond both ends),
// with the camera behind it as in a race and then pushed off the road, high above, below the
// ground and onto the ends of segments; on a screen `width` screen pixels wide at drawing scale
// `scale`.
void drawRace(uint32_t seed, const RaceSettings& settings, int width = 640, int scale = 1)
{
    SCOPED_TRACE(testing::Message()
                 << "seed " << seed << " settings " << settings.trackLength
                 << settings.hillSteepness << settings.turnSharpness << settings.numCompetitors
                 << settings.aiCarSpeed << settings.gridSpacing << " width " << width << " scale "
                 << scale);
    TestWindow w;
    w.backend.setViewWidth(width);
    w.backend.setDrawingScale(scale);
    sizeClientArea(&w.window);
    const PictureCounts picturesBefore = livePictureCounts();
    const int64_t objectsBefore = liveGameObjectCount();
    w.backend.setClock(seed);
    setUpRace(&w.window, raceParameters(settings));
    const float end = static_cast<float>(raceState.track->segmentCount) * 3000.0f;
    raceState.frameTimer->elapsedSeconds = 0.1f;
    raceState.averageFrameSeconds = 0.05f;

    const std::vector<float> places = {
        -1.0e9f,     -5000.0f,      0.0f,         4096.0f,
        end * 0.25f, end * 0.5f,    end * 0.75f,  end - 80.0f * 3000.0f,
        end - 1.0f,  end + 1500.0f, end + 2.0e5f, 1.0e9f};
    for (float z : places) {
        // The whole field around the player, several cars to a segment.
        moveCarTo(0, z);
        for (uint32_t i = 1; i < raceState.carCount; ++i) {
            moveCarTo(i, z + 700.0f * static_cast<float>(i));
        }
        raceState.cars[0]->velocity = Vec3{z * 0.01f, 0.0f, z};
        placeCamera();
        const float* c = raceState.camera;
        frameFrom(&w.window, c[0], c[1], c[2]);
        for (float x : {1.0e6f, -1.0e6f, 3.0e9f, -3.0e38f}) {
            frameFrom(&w.window, x, c[1], c[2]);
        }
        for (float y : {1.0e7f, -1.0e7f, c[1] - 1000.0f, c[1] - 1001.0f}) {
            frameFrom(&w.window, c[0], y, c[2]);
        }
    }
    // The camera on, just before and just beyond segment ends, and within one unit of them.
    const auto segments = static_cast<float>(raceState.track->segmentCount);
    for (float k : {1.0f, 2.0f, std::floor(segments * 0.5f), segments - 1.0f, segments}) {
        const float endZ = k * 3000.0f;
        for (float z : {endZ, std::nextafter(endZ, 0.0f), endZ - 0.5f, endZ - 1.0f, endZ + 0.5f,
                        std::nextafter(endZ, 1.0e9f)}) {
            frameFrom(&w.window, 0.0f, heightAt(raceState.track, z) + 1000.0f, z);
            frameFrom(&w.window, 0.0f, heightAt(raceState.track, z) + 0.001f, z);
        }
    }
    // A camera that is no place at all draws the rest of the frame.
    frameFrom(&w.window, NAN, 0.0f, 0.0f);
    frameFrom(&w.window, 0.0f, INFINITY, 0.0f);
    frameFrom(&w.window, 0.0f, 0.0f, -INFINITY);

    tearDownRace();
    EXPECT_EQ(raceState.skyLayer, nullptr);
    EXPECT_EQ(raceState.raceFont, nullptr);
    EXPECT_EQ(raceState.hudGaugeFullLeft, nullptr);
    EXPECT_EQ(raceState.track, nullptr);
    EXPECT_EQ(raceState.camera, nullptr);
    const PictureCounts picturesAfter = livePictureCounts();
    EXPECT_EQ(picturesAfter.bitmaps, picturesBefore.bitmaps);
    EXPECT_EQ(picturesAfter.spriteLevels, picturesBefore.spriteLevels);
    EXPECT_EQ(picturesAfter.fonts, picturesBefore.fonts);
    EXPECT_EQ(liveGameObjectCount(), objectsBefore);
}

TEST(RenderSoak, ExtremeSettingsManySeeds)
{
    render_support::RaceStateGuard guard;
    for (uint32_t seed : {1u, 2u, 77u, 4096u, 123456789u, 4294967295u}) {
        drawRace(seed, settingsOf(2, 2, 2, 3, 2, 2)); // long, steep, sharp, 32 cars
    }
}

// The wide view at 16:10, 16:9 and 21:9, its margins drawn from every camera above.
TEST(RenderSoak, WideViews)
{
    render_support::RaceStateGuard guard;
    drawRace(3u, settingsOf(2, 2, 2, 3, 2, 2), 768);
    drawRace(4u, settingsOf(1, 2, 2, 3, 2, 0), 854, 2);
    drawRace(5u, settingsOf(0, 2, 2, 2, 1, 1), 1120);
}

TEST(RenderSoak, EverySettingOnce)
{
    render_support::RaceStateGuard guard;
    drawRace(9u, settingsOf(0, 0, 0, 0, 0, 0));
    drawRace(10u, settingsOf(1, 1, 1, 1, 1, 1));
    drawRace(11u, settingsOf(0, 2, 0, 2, 0, 2));
    drawRace(12u, settingsOf(2, 0, 2, 1, 2, 0));
}

} // namespace
