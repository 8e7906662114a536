// A race's track and field without its window.
#include "game/race_field.h"

#include <new>

#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/object_lists.h"
#include "platform/errors.h"
#include "field/field_placement.h"
#include "field/opponent_driving.h"
#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

void buildRaceField(uint32_t seed, const RaceParameters& requested)
{
    RaceParameters parameters = requested;
    applyRaceMinimums(&parameters);
    raceState.carCount = parameters.carCount;
    raceState.cars = new (std::nothrow) Obj_Car*[parameters.carCount]();
    raceState.opponentDrivers = new (std::nothrow) OpponentDriver*[parameters.carCount - 1]();
    if (raceState.cars == nullptr || raceState.opponentDrivers == nullptr)
        fatalError(__LINE__, "Out of memory for the field of cars");
    seedRandom(seed);
    raceState.track = generateTrack(parameters.segmentCount, parameters.hillMin, parameters.hillMax,
                                    parameters.turnMin, parameters.turnMax);
    emptyObjectLists(raceState.track);
    placeScenery();
    placeOilSpills();
    placeFinishSigns();
    placeGrid(parameters.opponentPowerCut, parameters.opponentPowerCutPerPlace, parameters.gridGap);
}

void freeDriversAndCars()
{
    for (uint32_t i = 0; i + 1 < raceState.carCount; ++i) {
        delete raceState.opponentDrivers[i];
        raceState.opponentDrivers[i] = nullptr;
    }
    delete[] raceState.opponentDrivers;
    raceState.opponentDrivers = nullptr;
    delete[] raceState.cars;
    raceState.cars = nullptr;
}

void freeRaceField()
{
    freeDriversAndCars();
    clearObjects();
    freeTrack(&raceState.track);
}
