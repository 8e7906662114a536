#pragma once
// The player's controls during a race: five keys polled once per frame through the window's
// held-key table, each writing straight into the player's car (car 0 of raceState.cars).

// Reads Left, Right, Up, Space and Escape in that order; a later key overwrites what an earlier
// one wrote. Left/Right: sideways accel of -/+1.35 x the forward speed; Up: forward accel of the
// car's power; Space: brake at -6000 from the grid place (z 4096) on, a dead stop behind it.
// Returns whether Escape is held: the player quits the race, and the caller ends it at once
// (Escape is read last, so nothing happens between the key and the end of the race). Called only
// by raceOnPaint while the race runs.
bool pollRaceKeys();
