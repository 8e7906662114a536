#pragma once
// A race stopped at a chosen moment, without its window loop: the race's pictures, track, field,
// timer and camera, set up as the race does it. The frame tool (vantor-frame), the rendering tests
// and the drawing benchmarks draw race frames from it; a race moment and a running race never
// exist at the same time, as both live in raceState.

#include <cstdint>

struct RaceParameters;
struct Window;

// Loads the race's pictures (loadRacePictures), builds the track and field from `seed` and
// `parameters` (buildRaceField), creates the frame timer on the window's clock and the camera,
// and sets the countdown to its start (2.99999 and 1.5, finishPosition -1). The camera stays at
// (0, 384, 0) until placeCamera. Undo with freeRaceMoment.
void setUpRaceMoment(Window* window, uint32_t seed, const RaceParameters& parameters);

// Frees everything setUpRaceMoment made, each pointer cleared.
void freeRaceMoment();

// Moves car `index` of raceState.cars (0 is the player's) to distance z, keeping its sideways
// place relative to the road's centre and its height above the road, and files it in the segment
// of its new z.
void moveCarTo(uint32_t index, float z);
