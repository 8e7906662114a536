// Whole races without their window loop: 32 cars driven for 60 simulated seconds on each track
// length, the lists and buckets kept consistent throughout, and every object gone at the end.
#include <gtest/gtest.h>

#include <cmath>

#include "game/race_setup.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "objects/world_update.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "field/opponent_driving.h"
#include "track/track.h"

namespace {

// Every listed object knows its entry and stands in its segment's bucket (unless full); every
// bucket entry is a listed object filed there.
void expectConsistentLists()
{
    const Track* track = raceState.objectTrack;
    for (uint32_t i = 0; i < raceState.movingObjectCount; ++i) {
        const GameObject* o = raceState.movingObjects[i];
        ASSERT_EQ(o->listIndex, static_cast<int32_t>(i));
        ASSERT_GE(o->segmentIndex, 0);
        ASSERT_LT(static_cast<uint32_t>(o->segmentIndex), track->segmentCount);
        ASSERT_TRUE(std::isfinite(o->position.x) && std::isfinite(o->position.y) &&
                    std::isfinite(o->position.z));
    }
    ASSERT_EQ(raceState.movingObjects[raceState.movingObjectCount], nullptr);
    for (uint32_t s = 0; s < track->segmentCount; ++s) {
        const TrackSegment* segment = track->segments[s];
        ASSERT_LE(segment->objectCount, segmentObjectCapacity);
        for (uint32_t k = 0; k < segment->objectCount; ++k)
            ASSERT_EQ(segment->objects[k]->segmentIndex, static_cast<int32_t>(s));
        ASSERT_EQ(segment->objects[segment->objectCount], nullptr);
    }
}

} // namespace

TEST(RaceSoak, ThirtyTwoCarsRaceSixtySecondsAndLeaveNothingBehind)
{
    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    create(&window);
    const int64_t liveBefore = liveGameObjectCount();
    for (int32_t length = 0; length < 3; ++length) {
        RaceSettings settings;
        settings.trackLength = length;
        settings.numCompetitors = 3;
        settings.aiCarSpeed = 2;
        settings.gridSpacing = 0;
        backend.setClock(1234u + static_cast<uint32_t>(length));
        setUpRace(&window, raceParameters(settings));
        ASSERT_EQ(raceState.carCount, 32u);
        // The player's car is driven by the same rules, so that it races too.
        OpponentDriver player{raceState.cars[0], raceState.track, 0.0f, 0.0f};

        float frameSeconds = 1.0f / 60.0f;
        for (int frame = 0; frame < 60 * 60; ++frame) {
            // Frame times wander between 4 and 100 ms, as a busy machine gives them.
            frameSeconds = 0.004f + std::fmod(frameSeconds * 7.3f + 0.011f, 0.096f);
            raceState.averageFrameSeconds = frameSeconds;
            driveOpponent(&player);
            for (uint32_t i = 0; i + 1 < raceState.carCount; ++i)
                driveOpponent(raceState.opponentDrivers[i]);
            updateWorld();
            if (frame % 300 == 0)
                expectConsistentLists();
        }
        expectConsistentLists();
        EXPECT_GT(raceState.cars[0]->position.z, 100000.0f) << "the player's car raced";
        tearDownRace();
        EXPECT_EQ(liveGameObjectCount(), liveBefore) << "track length " << length;
        EXPECT_EQ(raceState.track, nullptr);
        EXPECT_EQ(raceState.cars, nullptr);
        EXPECT_EQ(raceState.opponentDrivers, nullptr);
    }
    releaseWindow(&window);
}
