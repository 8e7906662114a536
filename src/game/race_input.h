#pragma once
// The player's controls during a race: the frame's RaceControls (read once per frame by the race
// loop, controls/player_controls.h) written straight into the player's car (car 0 of
// raceState.cars).

struct RaceControls;

// Writes the controls held this frame into the player's car in this order, a later one
// overwriting what an earlier one wrote: steer left and right, a sideways accel of -/+1.35 x the
// forward speed; accelerate, a forward accel of the car's power; brake, -6000 from the grid place
// (z 4096) on, a dead stop behind it. Returns whether the player gives up: the caller ends the
// race at once (give up is read last, so nothing happens between it and the end of the race).
// Called only by raceOnPaint while the race runs.
bool applyRaceControls(const RaceControls& controls);
