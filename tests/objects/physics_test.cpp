// The world update and the collisions: top speed, frame-rate independence, ground contact,
// solid obstacles at every frame time, mass exchanges, oil contacts and the zero time step.
#include <gtest/gtest.h>

#include <cmath>

#include "objects/collisions.h"
#include "objects/world_update.h"
#include "sim_support.h"

using sim_test::RaceTrackTest;

namespace {

class LongTrackTest : public RaceTrackTest {
protected:
    uint32_t segmentCountForTest() const override { return 1024; }
};

// Takes the mover out of its bucket and makes one collision-tested move, as updateWorld does.
void move(GameObject* mover)
{
    unfileFromSegment(raceState.objectTrack->segments[mover->segmentIndex], mover);
    moveWithCollisions(mover);
    fileInSegment(mover);
}

float frontOf(const GameObject* object) { return object->position.z + object->size.length * 0.5f; }

float backOf(const GameObject* object) { return object->position.z - object->size.length * 0.5f; }

} // namespace

TEST_F(LongTrackTest, FullThrottleOnALevelStraightApproachesTheSpeedOfTheConstants)
{
    const float dt = 1.0f / 60.0f;
    Obj_Car* car = addCar(0.0f, 4096.0f);
    // Per frame: v = (v + 17000 dt) * 0.8^dt * 0.95^dt, whose fixed point is the top speed.
    const auto keep =
        static_cast<double>(static_cast<float>(std::pow(0.8, static_cast<double>(dt))) *
                            static_cast<float>(std::pow(0.95, static_cast<double>(dt))));
    const double topSpeed = 17000.0 * static_cast<double>(dt) * keep / (1.0 - keep);
    EXPECT_NEAR(topSpeed, 61800.0, 100.0);

    float previous = 0.0f;
    for (int frame = 0; frame < 30 * 60; ++frame) {
        car->accel.z = car->power;
        updateWorld();
        ASSERT_GE(car->velocity.z, previous) << "frame " << frame;
        ASSERT_LE(car->velocity.z, topSpeed * 1.0001) << "frame " << frame;
        ASSERT_EQ(car->velocity.y, 0.0f) << "level road takes all vertical speed";
        ASSERT_EQ(car->position.y, 200.0f) << "the box stands on the road";
        ASSERT_EQ(car->accel.z, 0.0f) << "the update clears what the driver asked for";
        previous = car->velocity.z;
    }
    EXPECT_NEAR(car->velocity.z, topSpeed, topSpeed * 0.001);
    EXPECT_EQ(car->position.x, 0.0f);
}

TEST_F(RaceTrackTest, DragAndFrictionScaleWithTheFrameTime)
{
    struct Coasted {
        float vx, vz, distance;
    };
    // Two half frames slow a coasting car as much as one whole frame, on and off the road.
    for (const float x : {0.0f, 4000.0f}) {
        const auto coast = [this, x](float dt, int frames) {
            restart();
            raceState.averageFrameSeconds = dt;
            Obj_Car* car = addCar(x, 10000.0f);
            car->velocity = {1500.0f, 0.0f, 30000.0f};
            for (int frame = 0; frame < frames; ++frame)
                updateWorld();
            return Coasted{car->velocity.x, car->velocity.z, car->position.z - 10000.0f};
        };
        const Coasted whole = coast(1.0f / 30.0f, 1);
        const Coasted halves = coast(1.0f / 60.0f, 2);
        EXPECT_NEAR(halves.vz, whole.vz, 30000.0f * 1e-5f) << "x " << x;
        EXPECT_NEAR(halves.vx, whole.vx, 1500.0f * 1e-5f) << "x " << x;
        const float friction = static_cast<float>(std::pow(x == 0.0f ? 0.95 : 0.15, 1.0 / 30.0));
        const float drag = static_cast<float>(std::pow(0.8, static_cast<double>(1.0f / 30.0f)));
        EXPECT_FLOAT_EQ(whole.vz, 30000.0f * drag * friction) << "x " << x;
        // The distances differ only by where in the frame the damping falls.
        EXPECT_NEAR(halves.distance, whole.distance, 30.0f) << "x " << x;

        // Over a second, sixty frames and thirty double frames end at the same speed.
        EXPECT_NEAR(coast(1.0f / 60.0f, 60).vz, coast(1.0f / 30.0f, 30).vz, 30000.0f * 1e-4f);
    }
}

TEST_F(RaceTrackTest, GroundContactFollowsTheSlopeAndStopsAtExactContact)
{
    // Segment 2 rises 1000 over its 3000: normalZ = -1000 / sqrt(3000^2 + 1000^2).
    useTrack(sim_test::makeTrack(256, [](uint32_t j) { return j >= 3 ? 1000.0f : 0.0f; }));
    raceState.averageFrameSeconds = 0.1f;
    const float road = static_cast<float>(std::pow(0.95, 0.1));
    const float offRoad = static_cast<float>(std::pow(0.15, 0.1));
    Obj_Car* car = addCar(0.0f, 7500.0f);
    ASSERT_EQ(car->segmentIndex, 2);
    car->velocity = {0.0f, -1000.0f, 100.0f};
    car->position.y -= 50.0f; // sunk into the road
    settleOnGround(car, road, offRoad);
    EXPECT_FLOAT_EQ(car->position.y, heightAt(raceState.track, 7500.0f) + 200.0f);
    const double slope = std::pow(1000.0 / std::sqrt(3000.0 * 3000.0 + 1000.0 * 1000.0), 0.05);
    EXPECT_NEAR(car->velocity.y, -1000.0 * slope * static_cast<double>(road), 0.01);
    EXPECT_NEAR(slope, 0.944, 0.001);
    EXPECT_FLOAT_EQ(car->velocity.z, 100.0f * road);

    // Off the road the stronger friction applies.
    car->position = {3000.0f, 0.0f, 1500.0f};
    car->velocity = {0.0f, 0.0f, 100.0f};
    settleOnGround(car, road, offRoad);
    EXPECT_FLOAT_EQ(car->velocity.z, 100.0f * offRoad);

    // A box whose bottom is exactly at road height does not touch: no friction at all.
    car->position = {0.0f, 200.0f, 1500.0f};
    settleOnGround(car, road, offRoad);
    EXPECT_FLOAT_EQ(car->velocity.z, 100.0f * offRoad);
}

TEST_F(RaceTrackTest, RestingCarSinksByOneGravityStepAndIsSetBack)
{
    Obj_Car* car = addCar(0.0f, 10000.0f);
    car->velocity = {10.0f, 0.0f, 20.0f};
    updateWorld();
    EXPECT_EQ(car->position.y, 200.0f);
    EXPECT_EQ(car->velocity.y, 0.0f);
    EXPECT_LT(car->velocity.x, 10.0f);
    EXPECT_LT(car->velocity.z, 20.0f);
    EXPECT_EQ(car->accel.x, 0.0f);

    // Nothing at all moves with a zero time step, though update runs and accel is cleared.
    raceState.averageFrameSeconds = 0.0f;
    const Vec3 before = car->position;
    car->accel = {5000.0f, 0.0f, 17000.0f};
    updateWorld();
    EXPECT_EQ(car->position.z, before.z);
    EXPECT_EQ(car->position.x, before.x);
    EXPECT_EQ(car->accel.z, 0.0f);
}

TEST_F(LongTrackTest, ACarNeverPassesThroughATreeAtAnyFrameTimeUpToATenth)
{
    const float frameTimes[] = {1.0f / 240.0f, 1.0f / 60.0f, 1.0f / 30.0f, 0.05f, 0.075f, 0.1f};
    for (const float dt : frameTimes) {
        for (int start = 0; start < 12; ++start) {
            raceState.averageFrameSeconds = dt;
            // The tree stands in the middle of segment 40; the car comes at top speed from
            // various distances, so that it meets the tree at every phase of its frames.
            Obj_SolidObstacle* tree = addTree(0.0f, 121500.0f);
            Obj_Car* car = addCar(0.0f, 60000.0f + static_cast<float>(start) * 777.0f);
            car->velocity.z = 61000.0f;
            const float face = backOf(tree);
            for (int frame = 0; frame * dt < 3.0f; ++frame) {
                car->accel.z = car->power;
                updateWorld();
                ASSERT_LE(frontOf(car), face + 0.01f)
                    << "dt " << dt << " start " << start << " frame " << frame;
            }
            EXPECT_NEAR(frontOf(car), face, 0.01f) << "dt " << dt << " start " << start;
            EXPECT_EQ(tree->position.z, 121500.0f);
            restart();
        }
    }
}

TEST_F(RaceTrackTest, CarsExchangeVelocitiesByMass)
{
    // Equal masses: the car behind leaves with the slower car's velocity, the struck car takes
    // the other's, all three components; the struck car is not moved now.
    Obj_Car* front = addCar(0.0f, 10456.0f);
    Obj_Car* behind = addCar(100.0f, 10000.0f);
    front->velocity = {0.0f, 0.0f, 10000.0f};
    behind->velocity = {50.0f, -20.0f, 30000.0f};
    move(behind);
    EXPECT_EQ(frontOf(behind), backOf(front));
    EXPECT_EQ(behind->velocity.x, 0.0f);
    EXPECT_EQ(behind->velocity.y, 0.0f);
    EXPECT_EQ(behind->velocity.z, 10000.0f);
    EXPECT_EQ(front->velocity.x, 50.0f);
    EXPECT_EQ(front->velocity.y, -20.0f);
    EXPECT_EQ(front->velocity.z, 30000.0f);
    EXPECT_EQ(front->position.z, 10456.0f);

    // Unequal masses: a car of 60 into one of 20 standing still.
    front->mass = 20.0f;
    front->velocity = {};
    behind->velocity = {0.0f, 0.0f, 30000.0f};
    move(behind);
    EXPECT_FLOAT_EQ(front->velocity.z, 90000.0f);
    EXPECT_FLOAT_EQ(behind->velocity.z, 20000.0f);

    // A static obstacle of mass 1 keeps its place; the car keeps 59/60 of its velocity and
    // rests against the face.
    Obj_SolidObstacle* tree = addTree(-3000.0f, 40000.0f);
    Obj_Car* car = addCar(-3000.0f, 40000.0f - 256.0f - 384.0f);
    car->velocity = {0.0f, 0.0f, 60000.0f};
    move(car);
    EXPECT_EQ(frontOf(car), backOf(tree));
    EXPECT_FLOAT_EQ(car->velocity.z, 59000.0f);
    EXPECT_EQ(tree->velocity.z, 0.0f);

    // Already touching and still pushing: held at the face. With a zero time step nothing is met.
    move(car);
    EXPECT_EQ(frontOf(car), backOf(tree));
    raceState.averageFrameSeconds = 0.0f;
    const float speed = car->velocity.z;
    move(car);
    EXPECT_EQ(car->velocity.z, speed);
}

TEST_F(RaceTrackTest, NearestBlockingObjectWinsAndTiesGoToTheLaterNeighbour)
{
    Obj_Car* car = addCar(0.0f, 7000.0f);
    Obj_SolidObstacle* far = addTree(0.0f, 7800.0f);
    Obj_SolidObstacle* near = addTree(0.0f, 7600.0f);
    car->velocity = {0.0f, 0.0f, 60000.0f};
    move(car);
    EXPECT_EQ(frontOf(car), backOf(near));
    EXPECT_FLOAT_EQ(near->velocity.z, 0.0f);
    (void)far;

    // Two at the same distance, one in the mover's segment and one in the next: the next
    // segment's comes later in the neighbour list, so it is the one answered.
    restart();
    Obj_Car* mover = addCar(0.0f, 2700.0f);
    auto* inOwn = new Obj_Car({0.0f, 200.0f, 2999.0f}, raceGraphics.carViews[0], 0.0f);
    auto* inNext = new Obj_Car({300.0f, 200.0f, 3001.0f}, raceGraphics.carViews[0], 0.0f);
    inOwn->size.length = 254.0f; // both back faces at 2872
    inNext->size.length = 258.0f;
    addObject(inOwn);
    addObject(inNext);
    ASSERT_EQ(inOwn->segmentIndex, 0);
    ASSERT_EQ(inNext->segmentIndex, 1);
    mover->velocity = {0.0f, 0.0f, 30000.0f};
    move(mover);
    EXPECT_EQ(inNext->velocity.z, 30000.0f);
    EXPECT_EQ(inOwn->velocity.z, 0.0f);
}

TEST_F(RaceTrackTest, OilSpillIsMetOnceFromBehindAndOnceFromTheSide)
{
    addObject(new Obj_OilSpill({0.0f, 100.0f, 20000.0f}, nullptr));
    Obj_Car* car = addCar(0.0f, 20000.0f - 400.0f - 128.0f - 100.0f);
    car->velocity = {100.0f, 0.0f, 30000.0f};
    for (int step = 0; step < 4; ++step) {
        move(car); // 500 a step: in, through and out of the spill
        EXPECT_FLOAT_EQ(car->velocity.x, 140.0f) << "step " << step;
    }
    EXPECT_GT(backOf(car), 20400.0f);

    restart();
    raceState.averageFrameSeconds = 0.1f;
    addObject(new Obj_OilSpill({1050.0f, 100.0f, 20000.0f}, nullptr));
    Obj_Car* sliding = addCar(0.0f, 20000.0f);
    sliding->velocity = {3000.0f, 0.0f, 0.0f};
    move(sliding); // right face from 300 to 600, short of the spill's left face at 650
    EXPECT_FLOAT_EQ(sliding->velocity.x, 3000.0f);
    move(sliding); // across it
    EXPECT_FLOAT_EQ(sliding->velocity.x, 4200.0f);
    move(sliding);
    move(sliding);
    EXPECT_FLOAT_EQ(sliding->velocity.x, 4200.0f);
}
