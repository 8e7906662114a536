// Field placement from known seeds (first draws of seed 1: 41, 18467, 6334, 26500, 19169, 15724,
// 11478, 29358; of seed 0: 38, 7719, 21238, 2437) and the opponents' driving.
#include <gtest/gtest.h>

#include <cmath>

#include "objects/world_update.h"
#include "sim_support.h"
#include "field/field_placement.h"
#include "field/opponent_driving.h"
#include "track/random.h"

using sim_test::RaceTrackTest;

namespace {

class FieldTest : public RaceTrackTest {
protected:
    void TearDown() override
    {
        for (OpponentDriver*& driver : drivers)
            delete driver;
        RaceTrackTest::TearDown();
    }

    // Room for a grid of `count` cars, as the race set-up allocates it.
    void allocateGrid(uint32_t count)
    {
        cars.assign(count, nullptr);
        drivers.assign(count - 1, nullptr);
        raceState.carCount = count;
        raceState.cars = cars.data();
        raceState.opponentDrivers = drivers.data();
    }

    Sprite* slot(int index) { return raceGraphics.slots[index]; }

    std::vector<Obj_Car*> cars;
    std::vector<OpponentDriver*> drivers;
};

const Obj_SolidObstacle* obstacle(uint32_t entry)
{
    return dynamic_cast<const Obj_SolidObstacle*>(raceState.staticObjects[entry]);
}

} // namespace

TEST_F(FieldTest, SceneryFromSeedOne)
{
    seedRandom(1);
    placeScenery();
    // Segment 0, left: 41 passes the 0.35 test, 18467 mod 4 = 3 picks the rock (13 x 23 px),
    // 6334 gives the offset 0.09665065 * 40000 = 3866.0259. Right: 26500 fails the test.
    const Obj_SolidObstacle* rock = obstacle(0);
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->sprite, slot(3));
    EXPECT_FLOAT_EQ(rock->position.x, -2250.0f - 1024.0f - 3866.0259f);
    EXPECT_EQ(rock->position.y, 23.0f * 16.0f * 0.5f);
    EXPECT_EQ(rock->position.z, 1500.0f);
    EXPECT_EQ(rock->size.width, 13.0f * 16.0f);
    // Segment 1, left: 19169 passes, 15724 mod 4 = 0 picks tree 1 (10 x 20 px), 11478 gives
    // 0.17514305 * 40000 = 7005.7222. Right: 29358 fails. Segment 2: 26962 and 24464 both fail.
    const Obj_SolidObstacle* tree = obstacle(1);
    EXPECT_EQ(tree->sprite, slot(0));
    EXPECT_FLOAT_EQ(tree->position.x, -2250.0f - 1024.0f - 7005.7222f);
    EXPECT_EQ(tree->position.z, 4500.0f);
    EXPECT_EQ(obstacle(2)->position.z, 10500.0f);

    // Over the whole track about 70% of the sides get one, each 1024 to 21024 outside the
    // edge; one right of the road is as long as it is wide.
    const uint32_t count = raceState.staticObjectCount;
    EXPECT_GT(count, 512u * 60 / 100);
    EXPECT_LT(count, 512u * 80 / 100);
    for (uint32_t i = 0; i < count; ++i) {
        const Obj_SolidObstacle* o = obstacle(i);
        ASSERT_NE(o, nullptr) << "entry " << i << " is not a tree or rock";
        const bool left = o->position.x < 0.0f;
        const float outside = left ? -2250.0f - o->position.x : o->position.x - 2250.0f;
        EXPECT_GE(outside, 1024.0f);
        EXPECT_LT(outside, 21024.0f);
        EXPECT_EQ(o->size.length, left ? 512.0f : o->size.width);
        EXPECT_EQ(std::fmod(o->position.z, 3000.0f), 1500.0f);
    }
}

TEST_F(FieldTest, OilSpillsFromSeedZero)
{
    seedRandom(0);
    placeOilSpills();
    // Segment 8 (the first one tried): 38 passes the 0.005 test; 7719 places it at
    // 0.11778439 * 3000 = 353.35318 into the segment; 21238 gives d = 0.3240711 * 7400 = 2398.1262.
    ASSERT_GE(raceState.staticObjectCount, 1u);
    const GameObject* spill = raceState.staticObjects[0];
    EXPECT_NE(dynamic_cast<const Obj_OilSpill*>(spill), nullptr);
    EXPECT_FLOAT_EQ(spill->position.z, 24000.0f + 353.35318f);
    EXPECT_FLOAT_EQ(spill->position.x, -2250.0f + 2398.1262f + 400.0f);

    // Never before segment 8, always in the first half of its segment, wholly on the road.
    restart();
    seedRandom(12345);
    for (int pass = 0; pass < 20; ++pass)
        placeOilSpills();
    const uint32_t count = raceState.staticObjectCount;
    EXPECT_GT(count, 20u * 248 / 200); // about 1% of 248 segments, 20 times
    EXPECT_LT(count, 20u * 248 * 2 / 100);
    for (uint32_t i = 0; i < count; ++i) {
        const GameObject* o = raceState.staticObjects[i];
        EXPECT_GE(o->position.z, 24000.0f);
        EXPECT_LT(std::fmod(o->position.z, 3000.0f), 1500.0f);
        EXPECT_GE(o->position.x - 400.0f, -2250.0f);
        EXPECT_LE(o->position.x + 400.0f, 2250.0f);
    }
}

TEST_F(FieldTest, FinishSignsFlankTheFinishLineWithoutDrawing)
{
    seedRandom(99);
    placeFinishSigns();
    EXPECT_EQ(randomState(), 99u);
    ASSERT_EQ(raceState.staticObjectCount, 2u);
    // The finish-sign picture is 15 x 25 px: boxes 480 x 800 x 256, 1.5 widths outside the edges.
    for (uint32_t i = 0; i < 2; ++i) {
        const Obj_SolidObstacle* sign = obstacle(i);
        EXPECT_EQ(sign->position.z, 176.0f * 3000.0f);
        EXPECT_EQ(sign->size.width, 480.0f);
        EXPECT_EQ(sign->sprite, slot(raceSlotFinishSign));
    }
    EXPECT_EQ(obstacle(0)->position.x, -2970.0f);
    EXPECT_EQ(obstacle(1)->position.x, 2970.0f);
}

TEST_F(FieldTest, PicturesThatFailedToLoadGiveZeroSizedObstacles)
{
    for (int i = 0; i < raceSpriteCount; ++i)
        graphics.sprites[i] = Sprite{};
    seedRandom(1);
    placeScenery();
    placeFinishSigns();
    const Obj_SolidObstacle* rock = obstacle(0);
    EXPECT_EQ(rock->size.width, 0.0f);
    EXPECT_EQ(rock->position.y, 0.0f);
    EXPECT_FLOAT_EQ(rock->position.x, -2250.0f - 1024.0f - 3866.0259f); // same draws
}

TEST_F(FieldTest, GridFromSeedOne)
{
    allocateGrid(8);
    seedRandom(1);
    placeGrid(1500.0f, 175.0f, 2048.0f);
    const int rows[8] = {41 % 4,    18467 % 4, 6334 % 4,  26500 % 4,
                         19169 % 4, 15724 % 4, 11478 % 4, 29358 % 4};
    ASSERT_EQ(raceState.movingObjectCount, 8u);
    for (uint32_t i = 0; i < 8; ++i) {
        const Obj_Car* car = cars[i];
        const float z = 4096.0f + 2048.0f * static_cast<float>(i);
        EXPECT_EQ(raceState.movingObjects[i], car) << "grid order, the player first";
        EXPECT_EQ(car->position.z, z);
        EXPECT_EQ(car->position.x, i % 2 == 0 ? -1125.0f : 1125.0f);
        EXPECT_EQ(car->views, raceGraphics.carViews[rows[i]]);
        EXPECT_EQ(car->power,
                  i == 0 ? 17000.0f : 17000.0f - static_cast<float>(8 - i) * 175.0f - 1500.0f);
        if (i >= 1) {
            EXPECT_EQ(drivers[i - 1]->car, car);
        }
    }

    // "FAST" with 32 cars: the weakest opponent has 12900, the leader 15900.
    restart();
    for (OpponentDriver*& driver : drivers)
        delete driver;
    allocateGrid(32);
    placeGrid(1000.0f, 100.0f, 512.0f);
    EXPECT_EQ(cars[1]->power, 12900.0f);
    EXPECT_EQ(cars[31]->power, 15900.0f);
}

TEST_F(FieldTest, OpponentFollowsTheRoadCentreAndStepsAroundWhatIsAhead)
{
    allocateGrid(2);
    placeGrid(1500.0f, 175.0f, 2048.0f);
    OpponentDriver* driver = drivers[0];
    Obj_Car* car = cars[1];
    // Straight road, nothing near: the target is the centre, kept inside the edges.
    car->position.x = 600.0f;
    car->velocity = {0.0f, 0.0f, 1000.0f};
    followRoad(driver);
    EXPECT_FLOAT_EQ(driver->targetX, 0.0f);
    raceState.averageFrameSeconds = 0.0f;
    const uint32_t state = randomState();
    driveOpponent(driver);
    EXPECT_EQ(car->accel.x, 1000.0f * -1.35f) << "right of the centre: steer left";
    EXPECT_EQ(car->accel.z, car->power);
    EXPECT_EQ(driver->wander, 0.0f);
    seedRandom(state);
    nextRandom(); // with dt 0 only the test draw is made
    const uint32_t afterOneDraw = randomState();
    seedRandom(state);
    car->accel = {};
    driveOpponent(driver);
    EXPECT_EQ(randomState(), afterOneDraw);

    // With dt 2 the 0.25 dt test always passes: a new wander of below 625 every frame.
    raceState.averageFrameSeconds = 2.0f;
    for (int frame = 0; frame < 5; ++frame) {
        const float before = driver->wander;
        driveOpponent(driver);
        EXPECT_NE(driver->wander, before);
        EXPECT_LT(std::fabs(driver->wander), 625.0f);
    }

    // An object straight ahead at 500 pulls the target four fifths of the way to its passing
    // point: this one stands right of the centre, so it is passed on its left.
    Obj_OilSpill spill({car->position.x, 100.0f, car->position.z + 500.0f}, nullptr);
    driver->targetX = 100.0f;
    steerAround(driver, &spill);
    const float passing = car->position.x - 400.0f - 300.0f - 256.0f;
    EXPECT_FLOAT_EQ(driver->targetX, 0.2f * 100.0f + 0.8f * passing);
    steerAround(driver, car); // its own car is ignored
    EXPECT_FLOAT_EQ(driver->targetX, 0.2f * 100.0f + 0.8f * passing);
}

TEST_F(FieldTest, OpponentSteersAroundARockAhead)
{
    // A rock left of the centre, reaching into the car's path 4000 ahead: run straight, the car
    // stops against it; driven, it is taken past on the rock's right, on the road.
    for (const bool driven : {false, true}) {
        restart();
        for (OpponentDriver*& driver : drivers)
            delete driver;
        allocateGrid(2);
        seedRandom(2024);
        placeGrid(1500.0f, 175.0f, 2048.0f);
        Obj_Car* car = cars[1];
        unfileFromSegment(raceState.track->segments[car->segmentIndex], car);
        car->position.x = 0.0f;
        car->position.z = 36000.0f;
        fileInSegment(car);
        Obj_SolidObstacle* rock = addTree(-500.0f, 40000.0f, {700.0f, 800.0f, 512.0f});
        float xAtRock = 0.0f;
        for (int frame = 0; frame < 3 * 60; ++frame) {
            if (driven)
                driveOpponent(drivers[0]);
            else
                car->accel.z = car->power;
            updateWorld();
            if (std::fabs(car->position.z - rock->position.z) < 600.0f)
                xAtRock = car->position.x;
        }
        if (driven) {
            EXPECT_GT(car->position.z, 50000.0f);
            EXPECT_GT(xAtRock - 300.0f, rock->position.x + 350.0f) << "passes right of the rock";
            EXPECT_LT(xAtRock + 300.0f, 2250.0f) << "and stays on the road";
        } else {
            EXPECT_FLOAT_EQ(car->position.z + 128.0f, rock->position.z - 256.0f);
        }
    }
}
