// Building and freeing a race.
#include "game/race_setup.h"

#include "field/field_placement.h"
#include "field/opponent_driving.h"
#include "game/race_happenings.h"
#include "objects/object_lists.h"
#include "core/errors.h"
#include "platform/window.h"
#include "race/frame_timer.h"
#include "race/race_events.h"
#include "race/race_graphics.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "render/race_frame.h"
#include "render/road.h"
#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

// The frame timer reads the window's platform clock.
uint32_t windowClock(void* window) { return readClock(static_cast<Window*>(window)); }

template <class T>
T* allocateArray(uint32_t count)
{
    return allocateOrFatal(__LINE__, "Out of memory for the field of cars",
                           [count] { return new T[count](); });
}

// The seed fixNextRaceSeed asked for, until a race is set up with it.
bool nextRaceSeedFixed = false;
uint32_t nextRaceSeed = 0;

} // namespace

void fixNextRaceSeed(uint32_t seed)
{
    nextRaceSeedFixed = true;
    nextRaceSeed = seed;
}

bool nextRaceSeedIsFixed(uint32_t* seed)
{
    *seed = nextRaceSeed;
    return nextRaceSeedFixed;
}

void setUpRace(Window* window, const RaceParameters& requested, FrameClock clock,
               void* clockContext)
{
    RaceParameters parameters = requested;
    applyRaceMinimums(&parameters);

    RaceState& race = raceState;
    race.carCount = parameters.carCount;
    race.cars = allocateArray<Obj_Car*>(parameters.carCount);
    race.opponentDrivers = allocateArray<OpponentDriver*>(parameters.carCount - 1);

    race.raceRunning = true;
    race.raceWindow = window;
    race.frameTimer = nullptr;
    race.camera = nullptr;
    race.skyLayer = nullptr;
    race.track = nullptr;
    race.averageFrameSeconds = 0.0f;
    race.frameSecondsSum = 0.0f;
    race.framesSummed = 0;

    // Shapes of the race are drawn filled and without outlines; the road passes its fills to the
    // raster with every call, so the window keeps no brush or pen to switch here.

    race.frameTimer = clock != nullptr ? createFrameTimer(clock, clockContext)
                                       : createFrameTimer(windowClock, window);
    // The clock's reading, as ever, unless the race was asked for by its track code.
    race.seed = nextRaceSeedFixed ? nextRaceSeed : static_cast<uint32_t>(race.frameTimer->lastClock);
    nextRaceSeedFixed = false;
    seedRandom(race.seed);
    race.camera = allocateArray<float>(3);
    race.camera[0] = 0.0f;
    race.camera[1] = 384.0f;
    race.camera[2] = 0.0f;
    race.skyLayer = createSkyLayer(window);
    race.track = generateTrack(parameters.segmentCount, parameters.hillMin, parameters.hillMax,
                               parameters.turnMin, parameters.turnMax);
    createRoadBrushes();
    emptyObjectLists(race.track);
    loadRaceGraphics(window);
    loadRaceHud(window);
    placeScenery();
    placeOilSpills();
    placeFinishSigns();
    placeGrid(parameters.opponentPowerCut, parameters.opponentPowerCutPerPlace, parameters.gridGap);
    race.countdownSeconds = 2.99999f;
    race.goSeconds = 1.5f;
    race.countdownStep = -1;
    race.finishPosition = -1;
    race.going = false;
    race.goClock = 0;
    race.raceMilliseconds = 0;
    clearRaceEvents();
    resetRaceHappenings();
    tick(race.frameTimer);
    tick(race.frameTimer);
}

void tearDownRace()
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

    for (uint32_t i = 0; i + 1 < race.carCount; ++i) {
        delete race.opponentDrivers[i];
        race.opponentDrivers[i] = nullptr;
    }
    delete[] race.opponentDrivers;
    race.opponentDrivers = nullptr;
    delete[] race.cars;
    race.cars = nullptr;

    deleteRoadBrushes();
    clearObjects();
    freeRaceGraphics();
    freeRaceHud();
    race.raceRunning = false;
}
