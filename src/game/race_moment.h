#pragma once
// A race stopped at a chosen moment: the frame tool (vantor-frame), the rendering tests and the
// drawing benchmarks set a race up (setUpRace) and then put the cars where they want to look.

#include <cstdint>

// Moves car `index` of raceState.cars (0 is the player's) to distance z, keeping its sideways
// place relative to the road's centre and its height above the road, and files it in the segment
// of its new z.
void moveCarTo(uint32_t index, float z);
