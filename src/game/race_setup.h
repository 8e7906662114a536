#pragma once
// Building and freeing a race: the one set-up and the one teardown, each in the race's fixed
// order. The race loop runs its races on them, and so do the developer tools, the tests and the
// benchmarks, so that every one of them sees the race the player gets.

#include <cstdint>

#include "race/frame_timer.h"

struct RaceParameters;
struct Window;

// Builds everything a race needs into raceState, in this order: the car count and the grid gap
// raised to the race minimums; carCount stored and the `cars` and `opponentDrivers` arrays
// allocated; raceRunning set, raceWindow = window, timer, camera, sky layer and track cleared and
// the frame-time mean zeroed; the frame timer on the window's clock; the random source seeded with
// the timer's first reading; the camera at (0, 384, 0); the sky layer; the track; the road
// brushes; the object lists emptied onto the track; the race graphics set; the race font and the
// four gauges; the field (scenery, oil spills, finish signs, grid); the countdown (2.99999, then
// 1.5 of "GO!", finishPosition -1); and two ticks of the timer, so that the time spent loading
// never reaches the first frame. The seed is the clock's reading at the timer's start, or the one
// fixNextRaceSeed asked for (raceState.seed keeps it). The window's handlers are the caller's. A
// tool or test that wants a chosen race sets its headless clock to the seed first. Undo with
// tearDownRace. Running out of memory gives the fatal report. The timer reads `clock` (with
// `clockContext`) when one is given, the window's clock otherwise: a replay watched gives the clock
// it was raced with.
void setUpRace(Window* window, const RaceParameters& parameters, FrameClock clock = nullptr,
               void* clockContext = nullptr);

// The next race set up is seeded with `seed` rather than the clock's reading (a track code's seed,
// or the last race's for a race again); only that race. Called by the game's start with a track
// code and by the result screen.
void fixNextRaceSeed(uint32_t seed);
// Whether the next race's seed is fixed, and which (*seed); the controls screen shows its code.
bool nextRaceSeedIsFixed(uint32_t* seed);

// Frees what setUpRace made, in this order, each pointer cleared: camera, timer, sky layer,
// track, the opponents' driver records and both arrays, road brushes, every game object, race
// graphics set, gauges, race font; then clears raceRunning. The window's handlers are the
// caller's.
void tearDownRace();
