#pragma once
// One race, from the controls screen to the result screen: the set-up that builds everything a
// race needs, the per-frame work in raceOnPaint, and the teardown that frees it all again.

#include <cstdint>
#include <string>

struct RaceParameters;
struct Window;

// Runs a whole race with the menu's translated settings: the controls screen, the race set-up
// (setUpRace, raised to the race minimums), the race loop, the teardown and, if the window still
// exists, the result screen. Called by the main menu's Enter with its handlers cleared. A window
// that no longer exists at the start or after the controls screen ends the call before anything
// is made.
void runRace(Window* window, const RaceParameters& parameters);

// Streams every race from now on into a replay file at `path` (replay_file.h): begun at the
// race's set-up, a frame added for each race frame (its clock reading, the controls it read and
// the player's place after it), finished when the race ends, finished or given up. An empty path
// stops it. vantor-run's --record uses it.
void recordRacesTo(const std::string& path);
// Whether the last race's replay was written whole; when not, the platform's last error says why.
bool lastReplayWritten();

// Tears the race down (tearDownRace, which clears raceRunning), frees the loop's own record of
// the cars' places and clears the window's race handlers. Called only while raceRunning is true:
// by raceOnPaint at the finish or when the player gives up, and by raceOnDestroy.
void endRace();

// The race frame, installed as onPaint: timer and 8-frame mean, controls, opponents, world update
// once the countdown is over, camera, drawing, finish test.
void raceOnPaint(Window* window);

// Installed as onDestroy: ends the race if it runs.
void raceOnDestroy(Window* window);

// The player's finishing place in the frame in which the player (car 0) crossed the finish line
// at z = finishDistance (its start z at most the line, its end z beyond it). startZ and endZ hold
// every car's z at the start and the end of that frame. An opponent that had already crossed (start
// z beyond the line) is ahead; one that crossed in the same frame is ahead when it reached the line
// at the same or an earlier moment of the frame (the fraction of its move at which it crossed); all
// others are behind.
int32_t finishingPlace(const float* startZ, const float* endZ, uint32_t carCount,
                       float finishDistance);
