// The object lists and segment buckets: compact lists, filing and its clamps, full buckets and
// lists, queued removal, snow puffs and car views.
#include <gtest/gtest.h>

#include <cfloat>

#include "objects/world_update.h"
#include "sim_support.h"

using sim_test::RaceTrackTest;

namespace {

TrackSegment* segment(int index) { return raceState.objectTrack->segments[index]; }

} // namespace

TEST_F(RaceTrackTest, RemovalKeepsListsAndBucketsCompact)
{
    GameObject* a = addTree(-5000.0f, 1500.0f);
    GameObject* b = addTree(-6000.0f, 1500.0f);
    GameObject* c = addTree(-7000.0f, 4500.0f);
    ASSERT_EQ(raceState.staticObjectCount, 3u);
    ASSERT_EQ(segment(0)->objectCount, 2u);

    removeObject(a);
    // The last entry moved into the hole and knows its new place.
    EXPECT_EQ(raceState.staticObjectCount, 2u);
    EXPECT_EQ(raceState.staticObjects[0], c);
    EXPECT_EQ(c->listIndex, 0);
    EXPECT_EQ(raceState.staticObjects[1], b);
    EXPECT_EQ(raceState.staticObjects[2], nullptr);
    EXPECT_EQ(segment(0)->objectCount, 1u);
    EXPECT_EQ(segment(0)->objects[0], b);
    EXPECT_EQ(segment(0)->objects[1], nullptr);

    // Removing the only object of a bucket, and the last entry of a list.
    removeObject(c);
    EXPECT_EQ(segment(1)->objectCount, 0u);
    EXPECT_EQ(segment(1)->objects[0], nullptr);
    removeObject(b);
    EXPECT_EQ(raceState.staticObjectCount, 0u);
    EXPECT_EQ(raceState.staticObjects[0], nullptr);
    EXPECT_EQ(liveGameObjectCount(), liveBefore);
}

TEST_F(RaceTrackTest, FilingClampsToTheTrackAndTestsBehindTheStartFirst)
{
    Obj_Car* car = addCar(0.0f, 4096.0f);
    const auto fileAt = [car](float z) {
        unfileFromSegment(segment(car->segmentIndex), car);
        car->position.z = z;
        fileInSegment(car);
        return car->segmentIndex;
    };
    EXPECT_EQ(fileAt(-500.0f), 0);
    EXPECT_EQ(fileAt(1.0e9f), 255);
    EXPECT_EQ(fileAt(2999.0f), 0);
    EXPECT_EQ(fileAt(3001.0f), 1);
    // A car reversed behind the start stands in segment 0, not in the run-out at the far end
    // (comparing a negative index with the unsigned count would put it there).
    EXPECT_EQ(fileAt(-3000.0f), 0);
    EXPECT_EQ(fileAt(-90000.0f), 0);
    EXPECT_EQ(fileAt(-1.0e30f), 0);
    EXPECT_EQ(segment(255)->objectCount, 0u);
    EXPECT_EQ(segment(0)->objects[0], car);
}

TEST_F(RaceTrackTest, AFullBucketLeavesTheObjectListedButUnfiled)
{
    for (int i = 0; i < 32; ++i)
        addTree(-5000.0f - static_cast<float>(i), 7500.0f);
    GameObject* extra = addTree(5000.0f, 7500.0f);
    EXPECT_EQ(segment(2)->objectCount, 32u);
    EXPECT_EQ(segment(2)->objects[32], nullptr);
    EXPECT_EQ(extra->segmentIndex, 2);
    EXPECT_EQ(extra->listIndex, 32);
    for (int i = 0; i < 32; ++i)
        EXPECT_NE(segment(2)->objects[i], extra);
    // Unfiling an object that is not in the bucket changes nothing.
    unfileFromSegment(segment(2), extra);
    EXPECT_EQ(segment(2)->objectCount, 32u);
}

TEST_F(RaceTrackTest, AnObjectRefusedByAFullListIsDestroyedNotLeaked)
{
    // Stand-in for 65535 listed objects: the list's count alone decides.
    raceState.staticObjectCount = maxListedObjects;
    const int64_t live = liveGameObjectCount();
    auto* spill = new Obj_OilSpill({0.0f, 100.0f, 1500.0f}, nullptr);
    EXPECT_EQ(liveGameObjectCount(), live + 1);
    EXPECT_FALSE(addObject(spill));
    EXPECT_EQ(liveGameObjectCount(), live);
    EXPECT_EQ(segment(0)->objectCount, 0u);
    raceState.staticObjectCount = 0;

    EXPECT_FALSE(addObject(nullptr));
    // Removing an object that was never listed leaves it alone.
    auto* loose = new Obj_OilSpill({0.0f, 100.0f, 1500.0f}, nullptr);
    removeObject(loose);
    EXPECT_EQ(liveGameObjectCount(), live + 1);
    delete loose;
}

TEST_F(RaceTrackTest, SnowPuffAgesAndIsRemovedAfterTheWalkOfItsLastFrame)
{
    raceState.averageFrameSeconds = 0.1f;
    auto* puff = new Obj_SnowPuff(5000.0f, 250.0f, 9000.0f);
    addObject(puff);
    Obj_Car* car = addCar(0.0f, 4096.0f);
    car->velocity.z = 1000.0f;
    updateWorld();
    updateWorld();
    EXPECT_FLOAT_EQ(puff->age, 0.2f);
    EXPECT_EQ(puff->position.z, 9000.0f); // never moved
    EXPECT_EQ(puff->segmentIndex, 3);

    // In the third frame the puff asks for its removal; the car behind it in the list is still
    // updated in that frame, and the puff is gone once the walk is over.
    const float carZ = car->position.z;
    updateWorld();
    EXPECT_GT(car->position.z, carZ);
    EXPECT_EQ(raceState.movingObjectCount, 1u);
    EXPECT_EQ(raceState.movingObjects[0], car);
    EXPECT_EQ(car->listIndex, 0);
    EXPECT_EQ(raceState.pendingRemovalCount, 0u);
    EXPECT_EQ(segment(3)->objectCount, 0u);
    EXPECT_FALSE(raceState.updatingObjects);
}

TEST_F(RaceTrackTest, CarOffTheRoadThrowsUpAPuffEvery500Units)
{
    Obj_Car* car = addCar(0.0f, 4096.0f);
    Track* track = raceState.objectTrack;
    car->velocity.z = 499.0f;
    car->position.x = 3000.0f; // off the road
    EXPECT_EQ(car->update(track, 1.0f), ObjectRequest::none);
    car->position.x = 0.0f; // back on the road: the distance is kept
    EXPECT_EQ(car->update(track, 1.0f), ObjectRequest::none);
    car->position.y += 1.0f; // off the road but in the air: nothing counts
    car->position.x = 3000.0f;
    EXPECT_EQ(car->update(track, 1.0f), ObjectRequest::none);
    car->position.y -= 1.0f;
    car->velocity.z = -1.0f; // one more unit, backwards, off the road
    EXPECT_EQ(car->update(track, 1.0f), ObjectRequest::throwSnowPuff);
    EXPECT_EQ(car->offRoadDistance, 0.0f);

    // A puff made during the world update is updated in the same frame.
    car->offRoadDistance = 499.0f;
    car->velocity.z = 30000.0f;
    updateWorld();
    ASSERT_EQ(raceState.movingObjectCount, 2u);
    EXPECT_EQ(raceState.movingObjects[1]->position.x, 3000.0f);
    EXPECT_FLOAT_EQ(static_cast<Obj_SnowPuff*>(raceState.movingObjects[1])->age, 1.0f / 60.0f);
}

TEST(CarView, FollowsTheDirectionOfTravel)
{
    EXPECT_EQ(carViewIndex(0.0f, 0.0f), 3);
    EXPECT_EQ(carViewIndex(0.0f, 5000.0f), 3);
    EXPECT_EQ(carViewIndex(100.0f, 1000.0f), 4);  // about 5.7 degrees right: "_r"
    EXPECT_EQ(carViewIndex(-100.0f, 1000.0f), 2); // left: "_l"
    EXPECT_EQ(carViewIndex(100.0f, -1000.0f), 2); // backwards toward greater x: mirrored
    EXPECT_EQ(carViewIndex(1000.0f, 1000.0f), 6); // 45 degrees: "_rrr"
    EXPECT_EQ(carViewIndex(1.0f, 0.0f), 6);       // purely sideways
    EXPECT_EQ(carViewIndex(-1.0f, 0.0f), 0);
    EXPECT_EQ(carViewIndex(-1000.0f, -1000.0f), 6);
}

TEST(CarView, VelocitiesTooSmallForADirectionShowTheStraightView)
{
    // Coasting velocities decay toward zero; their squares underflow, which would make the
    // cosine infinite and its angle undefined.
    EXPECT_EQ(carViewIndex(1.0e-30f, 1.0e-30f), 3);
    EXPECT_EQ(carViewIndex(-1.0e-25f, 0.0f), 3);
    EXPECT_EQ(carViewIndex(FLT_TRUE_MIN, 0.0f), 3);
    EXPECT_EQ(carViewIndex(-1.0e-22f, -1.0e-20f), 3); // squared length subnormal
    EXPECT_EQ(carViewIndex(1.0e-19f, 1.0e-18f), 4);   // small but normal: a real direction
    EXPECT_EQ(carViewIndex(FLT_MAX, FLT_MAX), 3);     // squares overflow: no direction either
}
