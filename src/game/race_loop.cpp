// One race: set-up, frame, finish and teardown.
#include "game/race_loop.h"

#include <new>

#include "game/controls_screen.h"
#include "race/frame_timer.h"
#include "game/race_field.h"
#include "game/race_input.h"
#include "game/race_rumble.h"
#include "race/race_events.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "game/result_screen.h"
#include "game/screen_loop.h"
#include "objects/game_object.h"
#include "objects/object_lists.h"
#include "objects/world_update.h"
#include "pictures/bitmap.h"
#include "platform/errors.h"
#include "pictures/text.h"
#include "platform/window.h"
#include "render/race_frame.h"
#include "race/race_graphics.h"
#include "render/road.h"
#include "field/field_placement.h"
#include "field/opponent_driving.h"
#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

// Every car's z at the start and at the end of the current frame: 2 x carCount floats, the start
// values first, owned by the race from set-up to teardown. The finish test ranks the cars by the
// moment in the frame at which each crossed the line.
float* carZ = nullptr;

// The frame timer reads the window's platform clock.
uint32_t windowClock(void* window)
{
    return readClock(static_cast<Window*>(window));
}

template <class T>
T* allocateArray(uint32_t count)
{
    T* array = new (std::nothrow) T[count]();
    if (array == nullptr) {
        fatalError(__LINE__, "Out of memory for the field of cars");
    }
    return array;
}

} // namespace

void runRace(uint32_t carCount, Window* window, uint32_t segmentCount, float hillMin,
             float hillMax, float turnMin, float turnMax, float opponentPowerCut,
             float opponentPowerCutPerPlace, float gridGap)
{
    if (!isWindowAlive(window)) {
        return;
    }
    runControlsScreen(window);
    if (!isWindowAlive(window)) {
        return;
    }

    RaceParameters minimums{};
    minimums.carCount = carCount;
    minimums.gridGap = gridGap;
    applyRaceMinimums(&minimums);
    carCount = minimums.carCount;
    gridGap = minimums.gridGap;

    RaceState& race = raceState;
    race.carCount = carCount;
    race.cars = allocateArray<Obj_Car*>(carCount);
    race.opponentDrivers = allocateArray<OpponentDriver*>(carCount - 1);
    carZ = allocateArray<float>(2 * carCount);

    race.raceRunning = true;
    race.raceWindow = window;
    race.frameTimer = nullptr;
    race.camera = nullptr;
    race.skyLayer = nullptr;
    race.track = nullptr;
    race.averageFrameSeconds = 0.0f;
    race.frameSecondsSum = 0.0f;
    race.framesSummed = 0;

    window->callbacks.onPaint = raceOnPaint;
    window->callbacks.onDestroy = raceOnDestroy;

    // Shapes of the race are drawn filled and without outlines; the road passes its fills to the
    // raster with every call, so the window keeps no brush or pen to switch here.

    race.frameTimer = createFrameTimer(windowClock, window);
    seedRandom(static_cast<uint32_t>(race.frameTimer->lastClock));
    race.camera = allocateArray<float>(3);
    race.camera[0] = 0.0f;
    race.camera[1] = 384.0f;
    race.camera[2] = 0.0f;
    race.skyLayer = createSkyLayer(window);
    race.track = generateTrack(segmentCount, hillMin, hillMax, turnMin, turnMax);
    createRoadBrushes();
    emptyObjectLists(race.track);
    loadRaceGraphics(window);
    loadRaceHud(window);
    placeScenery();
    placeOilSpills();
    placeFinishSigns();
    placeGrid(opponentPowerCut, opponentPowerCutPerPlace, gridGap);
    race.countdownSeconds = 2.99999f;
    race.goSeconds = 1.5f;
    race.finishPosition = -1;
    clearRaceEvents();
    // The time spent loading must not reach the first frame.
    tick(race.frameTimer);
    tick(race.frameTimer);

    runFrames(window, &race.raceRunning);

    if (isWindowAlive(window)) {
        runResultScreen(window);
    }
}

void raceOnPaint(Window* window)
{
    RaceState& race = raceState;
    tick(race.frameTimer);
    clearRaceEvents();
    race.framesSummed += 1;
    race.frameSecondsSum += race.frameTimer->elapsedSeconds;
    if (race.framesSummed == 8) {
        race.averageFrameSeconds = race.frameSecondsSum * 0.125f;
        race.frameSecondsSum = 0.0f;
        race.framesSummed = 0;
    }

    pollRaceKeys();
    if (!race.raceRunning) {
        return; // Escape tore the race down
    }

    for (uint32_t i = 0; i + 1 < race.carCount; ++i) {
        driveOpponent(race.opponentDrivers[i]);
    }

    for (uint32_t i = 0; i < race.carCount; ++i) {
        carZ[i] = race.cars[i]->position.z;
    }
    if (race.countdownSeconds <= 0.0f) {
        updateWorld();
    }

    placeCamera();
    drawRaceFrame(window);
    rumbleForPlayerHits(window);

    const auto finishDistance =
        static_cast<float>(race.track->segmentCount - 80) * segmentLength;
    if (race.cars[0]->position.z > finishDistance) {
        float* endZ = carZ + race.carCount;
        for (uint32_t i = 0; i < race.carCount; ++i) {
            endZ[i] = race.cars[i]->position.z;
        }
        race.finishPosition = finishingPlace(carZ, endZ, race.carCount, finishDistance);
        endRace();
    }
}

void endRace()
{
    RaceState& race = raceState;
    delete[] race.camera;
    race.camera = nullptr;
    delete race.frameTimer;
    race.frameTimer = nullptr;

    freeSkyLayer(race.skyLayer);
    delete race.skyLayer;
    race.skyLayer = nullptr;

    freeTrack(&race.track);

    freeDriversAndCars();
    delete[] carZ;
    carZ = nullptr;

    deleteRoadBrushes();
    clearObjects();
    freeRaceGraphics();

    freeRaceHud();

    race.raceWindow->callbacks.onPaint = nullptr;
    race.raceWindow->callbacks.onDestroy = nullptr;
    race.raceRunning = false;
}

void raceOnDestroy(Window* /*window*/)
{
    if (raceState.raceRunning) {
        endRace();
    }
}

int32_t finishingPlace(const float* startZ, const float* endZ, uint32_t carCount,
                       float finishDistance)
{
    // The fraction of its frame's move at which a car reached the line.
    const auto crossingMoment = [&](uint32_t car) {
        const auto start = static_cast<double>(startZ[car]);
        return (static_cast<double>(finishDistance) - start) /
               (static_cast<double>(endZ[car]) - start);
    };
    const double playerMoment = crossingMoment(0);
    int32_t place = 1;
    for (uint32_t i = 1; i < carCount; ++i) {
        const bool crossedBefore = startZ[i] > finishDistance;
        const bool crossedNow = !crossedBefore && endZ[i] > finishDistance;
        if (crossedBefore || (crossedNow && crossingMoment(i) <= playerMoment)) {
            ++place;
        }
    }
    return place;
}
