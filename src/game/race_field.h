#pragma once
// A race's track and field without the race's window, screens or loop: what the developer tools,
// the soak tests and the benchmarks run races on. The steps and their order of random draws are
// those of the race set-up: seed, generate the track, empty the object lists, then scenery, oil
// spills, finish signs and grid.

#include <cstdint>

struct RaceParameters;

// Seeds the random source with `seed`, generates the track into raceState.track, empties the
// object lists onto it, allocates raceState.cars and raceState.opponentDrivers for the car count
// (raised to the race minimums like the grid gap) and places the field. The race graphics must be
// loaded (or their table filled) first. Undo with freeRaceField.
void buildRaceField(uint32_t seed, const RaceParameters& parameters);

// Deletes the opponents' driver records (clearing each entry), then the drivers array, then the
// cars array; the cars themselves belong to the object lists. Race teardown and freeRaceField.
void freeDriversAndCars();

// Frees what buildRaceField made: the driver records, both arrays, every game object, the track.
// Every pointer it frees is set to null.
void freeRaceField();
