#pragma once
// One race, from the controls screen to the result screen: the set-up that builds everything a
// race needs, the per-frame work in raceOnPaint, and the teardown that frees it all again.

#include <cstdint>
#include <string>

struct RaceParameters;
struct Replay;
struct Window;

// Runs a whole race with the menu's translated settings: the controls screen, the race set-up
// (setUpRace, raised to the race minimums), the race loop, the teardown and, if the window still
// exists, the result screen. Called by the main menu's Enter with its handlers cleared. A window
// that no longer exists at the start or after the controls screen ends the call before anything
// is made. In the game (a records folder in gameOptions) every race is streamed into a new kept
// replay (kept_replays.h), kept when the race is finished and dropped when it is given up; one that
// cannot be written is told in one line on standard error and the race goes on. The best kept
// replay of the track, when there is one and the player's settings let ghosts drive, is raced
// against as a ghost (ghost_car.h). The result screen's watch key plays the race back (watchReplay)
// and comes back to it.
void runRace(Window* window, const RaceParameters& parameters);

// Plays the replay file at `path` (replay_file.h) back in the window as it was raced: the same
// track, the clock readings and controls of each of its frames, drawn and heard as a race is,
// with its gauges and place; it ends with its last frame or at the first fresh key press (the
// every-screen keys keep their work). Nothing is recorded and no ghost drives. A file that cannot
// be read is told in one line on standard error and nothing is played. Called by runRace from the
// result screen.
void watchReplay(Window* window, const std::string& path);

// Streams every race from now on into a replay file at `path` (replay_file.h): begun at the
// race's set-up, a frame added for each race frame (its clock reading, the controls it read and
// the player's place after it), finished when the race ends, finished or given up. An empty path
// stops it. vantor-run's --record uses it.
void recordRacesTo(const std::string& path);
// Whether the last race's replay was written whole; when not, the platform's last error says why.
bool lastReplayWritten();

// Every race from now on is raced against the ghost of `ghost` (owned by the caller, alive while
// races run) instead of the track's kept best one; null goes back to that. vantor-run's --ghost
// uses it.
void raceAgainstGhost(const Replay* ghost);

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
