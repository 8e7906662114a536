#pragma once
// Shared set-up of the simulation tests: a hand-made track (level, or with a hill profile), the
// object lists filed onto it, and hand-made Sprites in the race graphics table (no pictures
// needed). Every test built on RaceTrackTest must end with no game object alive.
#include <gtest/gtest.h>

#include <functional>

#include "race/race_state.h"
#include "objects/game_object.h"
#include "objects/object_lists.h"
#include "pictures/bitmap.h"
#include "race/race_graphics.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace sim_test {

// A straight track of n segments whose road runs from x = -2250 to 2250; height(j) gives the
// height of segment end j (level when omitted).
inline Track* makeTrack(uint32_t n, const std::function<float(uint32_t)>& height = {})
{
    auto* track = new Track{n, new TrackSegment*[n]};
    for (uint32_t i = 0; i < n; ++i) {
        const float nearHeight = height ? height(i) : 0.0f;
        const float farHeight = height ? height(i + 1) : 0.0f;
        track->segments[i] =
            buildSegment(i, {nearHeight, -2250.0f, 2250.0f}, {farHeight, -2250.0f, 2250.0f});
    }
    return track;
}

// Sprites of chosen sizes in every slot of the race graphics table, restored afterwards.
class FakeRaceGraphics {
public:
    FakeRaceGraphics()
    {
        saved = raceGraphics;
        for (int i = 0; i < raceSpriteCount; ++i) {
            sprites[i].loaded = 1;
            sprites[i].width = 10 + i; // tree1 10 px wide, tree2 11, tree3 12, rock 13, ...
            sprites[i].height = 20 + i;
            raceGraphics.slots[i] = &sprites[i];
        }
        for (int colour = 0; colour < carColourCount; ++colour)
            for (int view = 0; view < carViewCount; ++view)
                raceGraphics.carViews[colour][view] =
                    &sprites[raceSlotFirstCar + colour * carViewCount + view];
        for (int frame = 0; frame < snowPuffFrameCount; ++frame)
            raceGraphics.snowPuffFrames[frame] = &sprites[raceSlotFirstSnowPuff + frame];
    }
    ~FakeRaceGraphics() { raceGraphics = saved; }
    FakeRaceGraphics(const FakeRaceGraphics&) = delete;
    FakeRaceGraphics& operator=(const FakeRaceGraphics&) = delete;

    Sprite sprites[raceSpriteCount];

private:
    RaceGraphics saved;
};

// A race's object lists on a fresh track of `segments` segments at 60 frames per second.
class RaceTrackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        liveBefore = liveGameObjectCount();
        useTrack(makeTrack(segmentCountForTest()));
    }

    void TearDown() override
    {
        clearObjects();
        freeTrack(&raceState.track);
        EXPECT_EQ(liveGameObjectCount(), liveBefore) << "game objects outlived the race";
    }

    // Replaces the track (and empties the lists); the fixture frees it.
    void useTrack(Track* track)
    {
        clearObjects();
        freeTrack(&raceState.track);
        raceState.track = track;
        emptyObjectLists(track);
        raceState.updatingObjects = false;
        raceState.pendingRemovalCount = 0;
        raceState.averageFrameSeconds = 1.0f / 60.0f;
    }

    // Destroys every object and starts again on a fresh track of the same shape and length.
    void restart() { useTrack(makeTrack(raceState.track->segmentCount)); }

    virtual uint32_t segmentCountForTest() const { return 256; }

    // A listed car standing on the road (box bottom on the ground) at (x, z).
    Obj_Car* addCar(float x, float z, float power = 17000.0f)
    {
        auto* car = new Obj_Car({x, heightAt(raceState.track, z) + 200.0f, z},
                                raceGraphics.carViews[0], power);
        EXPECT_TRUE(addObject(car));
        return car;
    }

    // A listed tree of the given box standing on the road at (x, z). It is wider than a car: a
    // mover only meets what has one of its side faces within the other's extent.
    Obj_SolidObstacle* addTree(float x, float z, BoxSize size = {800.0f, 1600.0f, 512.0f})
    {
        auto* tree = new Obj_SolidObstacle(
            {x, heightAt(raceState.track, z) + size.height * 0.5f, z}, size, &graphics.sprites[0]);
        EXPECT_TRUE(addObject(tree));
        return tree;
    }

    FakeRaceGraphics graphics;
    int64_t liveBefore = 0;
};

} // namespace sim_test
