#pragma once
// One race, from the controls screen to the result screen: the set-up that builds everything a
// race needs, the per-frame work in raceOnPaint, and the teardown that frees it all again.

#include <cstdint>

struct Window;

// Runs a whole race with the menu's translated settings: the controls screen, the set-up (timer,
// random seed from the clock, camera, sky, track, brushes, object lists, race pictures, font,
// gauges, field), the race loop, the teardown and, if the window still exists, the result
// screen. Called by the main menu's Enter with its handlers cleared. A window that no longer
// exists at the start or after the controls screen ends the call before anything is made.
// A carCount below 2 becomes 2 and a gridGap below 512 becomes 512.
void runRace(uint32_t carCount, Window* window, uint32_t segmentCount, float hillMin,
             float hillMax, float turnMin, float turnMax, float opponentPowerCut,
             float opponentPowerCutPerPlace, float gridGap);

// Tears the race down in a fixed order (camera, timer, sky, track, driver records and arrays,
// brushes, game objects, race graphics, gauges, font), clears the window's race handlers and
// raceRunning. Called only while raceRunning is true: by raceOnPaint at the finish or when
// pollRaceKeys reports Escape, and by raceOnDestroy.
void endRace();

// The race frame, installed as onPaint: timer and 8-frame mean, keys, opponents, world update
// once the countdown is over, camera, drawing, finish test.
void raceOnPaint(Window* window);

// Installed as onDestroy: ends the race if it runs.
void raceOnDestroy(Window* window);

// The player's finishing place in the frame in which the player (car 0) crossed the finish line
// at z = finishDistance (its start z at most the line, its end z beyond it). startZ and endZ hold every car's z at the start and the end of that
// frame. An opponent that had already crossed (start z beyond the line) is ahead; one that
// crossed in the same frame is ahead when it reached the line at the same or an earlier moment
// of the frame (the fraction of its move at which it crossed); all others are behind.
int32_t finishingPlace(const float* startZ, const float* endZ, uint32_t carCount,
                       float finishDistance);
