// One race: set-up, frame, finish and teardown.
#include "game/race_loop.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "audio/race_sound.h"
#include "controls/player_controls.h"
#include "field/opponent_driving.h"
#include "game/controls_screen.h"
#include "game/game.h"
#include "game/ghost_car.h"
#include "game/kept_replays.h"
#include "game/race_happenings.h"
#include "game/replay_file.h"
#include "game/race_input.h"
#include "game/race_rumble.h"
#include "game/race_setup.h"
#include "game/result_screen.h"
#include "game/screen_loop.h"
#include "objects/game_object.h"
#include "objects/world_update.h"
#include "core/errors.h"
#include "core/files.h"
#include "core/user_folders.h"
#include "platform/window.h"
#include "race/frame_timer.h"
#include "race/race_events.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "race/track_code.h"
#include "render/race_frame.h"
#include "track/track.h"

namespace {

// Every car's z at the start and at the end of the current frame: 2 x carCount floats, the start
// values first, owned by the race loop from set-up to teardown. The finish test ranks the cars by
// the moment in the frame at which each crossed the line.
float* carZ = nullptr;

// The replay of the race that runs: into recordPath when races are recorded (recordRacesTo),
// else, in the game, into a new file of the kept replays (keptPath, kept_replays.h).
std::string recordPath;
std::string keptPath;
ReplayWriter recorder;
bool replayWritten = false;

// The ghost vantor-run races against (raceAgainstGhost); null for the game's own.
const Replay* toolGhost = nullptr;

// The replay being watched, and the clock reading its race is at (what the timer reads).
const Replay* watched = nullptr;
std::size_t watchedFrames = 0; // frames of it played so far
uint32_t watchedClock = 0;

uint32_t watchedRaceClock(void* /*context*/) { return watchedClock; }

// Adds the frame that ran to the replay: its clock reading, the controls it read, and where the
// player's car stands after it.
void recordFrame(const RaceControls& controls)
{
    if (!recorder.isOpen()) {
        return;
    }
    const RaceState& race = raceState;
    ReplayFrame frame;
    frame.clock = static_cast<uint32_t>(race.frameTimer->lastClock);
    frame.controls = replayControlsOf(controls);
    frame.x = race.cars[0]->position.x;
    frame.y = race.cars[0]->position.y;
    frame.z = race.cars[0]->position.z;
    recorder.add(frame);
}

// Tells on standard error, in one line, that the game's replay at `path` cannot be written, with
// the platform's last error (none: its folder could not be made); the race goes on without it.
void tellReplayNotKept(const std::string& path)
{
    const char* reason = lastPlatformError();
    std::fprintf(stderr, "vantor: the race's replay %s cannot be written: %s\n", path.c_str(),
                 reason != nullptr ? reason : "its folder cannot be made");
    std::fflush(stderr);
    clearLastPlatformError();
}

// Starts the replay of the race just set up: vantor-run's file, or in the game a new kept replay.
// A watched replay records nothing.
void beginReplay()
{
    replayWritten = false;
    keptPath.clear();
    const std::string code = encodeTrackCode(raceState.seed, raceSettings);
    const auto startClock = static_cast<uint32_t>(raceState.frameTimer->lastClock);
    if (!recordPath.empty()) {
        recorder.begin(recordPath, code, startClock);
    } else if (!gameOptions.recordsFolder.empty()) {
        keptPath = newRaceReplayPath(gameOptions.recordsFolder, code);
        if (!makeFolders(replayFolder(gameOptions.recordsFolder)) ||
            !recorder.begin(keptPath, code, startClock)) {
            tellReplayNotKept(keptPath);
            keptPath.clear();
        }
    }
}

// The ghost of the race just set up: vantor-run's, or in the game the best kept replay of the
// track when there is one and the player has not turned ghosts off. A kept replay that cannot be
// read is told in one line on standard error, and the race has no ghost.
void startRaceGhost()
{
    if (toolGhost != nullptr) {
        startGhost(*toolGhost);
        return;
    }
    Replay best;
    if (!gameOptions.recordsFolder.empty() && playerControls.settings.ghosts) {
        const std::string path = bestReplayPath(gameOptions.recordsFolder,
                                                encodeTrackCode(raceState.seed, raceSettings));
        std::string why;
        std::error_code missing;
        if (std::filesystem::exists(pathFromUtf8(path), missing) &&
            !readReplayFile(path, &best, &why)) {
            std::fprintf(stderr, "vantor: the ghost's replay %s %s; no ghost drives\n",
                         path.c_str(), why.c_str());
            std::fflush(stderr);
        }
    }
    startGhost(std::move(best));
}

// A fresh key press while a replay is watched ends it (the every-screen keys keep their work).
void watchOnKeyDown(Window* /*window*/, uint32_t /*code*/)
{
    if (raceState.raceRunning) {
        endRace();
    }
}

// Runs the race just set up until it ends: the loop's own record of the cars' places, the race
// handlers, the sound, the frames.
void runSetUpRace(Window* window)
{
    carZ = allocateOrFatal(__LINE__, "Out of memory for the field of cars",
                           [] { return new float[2 * raceState.carCount](); });
    window->callbacks.onPaint = raceOnPaint;
    window->callbacks.onDestroy = raceOnDestroy;
    window->callbacks.onKeyDown = watched != nullptr ? watchOnKeyDown : nullptr;
    startRaceSound();
    runFrames(window, &raceState.raceRunning);
}

} // namespace

void runRace(Window* window, const RaceParameters& parameters)
{
    // The result screen's race-again key runs the same track once more, from the controls screen.
    bool again = true;
    while (again && isWindowAlive(window)) {
        again = false;
        runControlsScreen(window);
        if (!isWindowAlive(window)) {
            return;
        }

        setUpRace(window, parameters);
        beginReplay();
        startRaceGhost();
        runSetUpRace(window);
        if (!isWindowAlive(window)) {
            return;
        }

        takeRaceResult(gameOptions.recordsFolder, replayWritten ? keptPath : std::string());
        ResultChoice choice = runResultScreen(window);
        // Watching the race comes back to its result screen.
        while (choice == ResultChoice::Watch && isWindowAlive(window)) {
            watchReplay(window, resultScreen.replayPath);
            choice = isWindowAlive(window) ? runResultScreen(window) : ResultChoice::Menu;
        }
        if (choice == ResultChoice::RaceAgain) {
            again = true;
            fixNextRaceSeed(resultScreen.seed);
        }
    }
}

void watchReplay(Window* window, const std::string& path)
{
    Replay replay;
    std::string why;
    uint32_t seed = 0;
    RaceSettings settings;
    if (!readReplayFile(path, &replay, &why) ||
        !decodeTrackCode(replay.code, &seed, &settings, &why)) {
        std::fprintf(stderr, "vantor: the replay %s %s\n", path.c_str(), why.c_str());
        std::fflush(stderr);
        return;
    }
    watched = &replay;
    watchedFrames = 0;
    watchedClock = replay.startClock;
    fixNextRaceSeed(seed);
    setUpRace(window, raceParameters(settings), watchedRaceClock);
    startGhost(Replay{});
    runSetUpRace(window);
    watched = nullptr;
}

void raceAgainstGhost(const Replay* ghost) { toolGhost = ghost; }

void raceOnPaint(Window* window)
{
    RaceState& race = raceState;
    // A watched replay gives each frame the clock reading and controls it was raced with; it ends
    // once they are all played.
    if (watched != nullptr && watchedFrames >= watched->frames.size()) {
        endRace();
        return;
    }
    if (watched != nullptr) {
        watchedClock = watched->frames[watchedFrames].clock;
    }
    tick(race.frameTimer);
    moveGhost();
    clearRaceEvents();
    race.framesSummed += 1;
    race.frameSecondsSum += race.frameTimer->elapsedSeconds;
    if (race.framesSummed == 8) {
        race.averageFrameSeconds = race.frameSecondsSum * 0.125f;
        race.frameSecondsSum = 0.0f;
        race.framesSummed = 0;
    }

    const RaceControls controls = watched != nullptr
                                      ? raceControlsOf(watched->frames[watchedFrames++].controls)
                                      : readRaceControls(window);
    if (applyRaceControls(controls)) {
        recordFrame(controls);
        endRace(); // the player gave up: nothing of the race may be touched after this
        return;
    }

    for (uint32_t i = 0; i + 1 < race.carCount; ++i) {
        driveOpponent(race.opponentDrivers[i]);
    }

    for (uint32_t i = 0; i < race.carCount; ++i) {
        carZ[i] = race.cars[i]->position.z;
    }
    if (race.countdownSeconds <= 0.0f) {
        if (!race.going) {
            // The race's time runs from the first frame the world moves in.
            race.going = true;
            race.goClock = static_cast<uint32_t>(race.frameTimer->lastClock);
        }
        updateWorld();
    }

    placeCamera();
    stepRaceDisplay(&race);
    publishRaceHappenings();
    drawRaceFrame(window, race);
    rumbleForPlayerHits(window);

    const float finishDistance = finishLineZ(race.track);
    const bool finished = race.cars[0]->position.z > finishDistance;
    if (finished) {
        float* endZ = carZ + race.carCount;
        for (uint32_t i = 0; i < race.carCount; ++i) {
            endZ[i] = race.cars[i]->position.z;
        }
        race.finishPosition = finishingPlace(carZ, endZ, race.carCount, finishDistance);
        race.raceMilliseconds = static_cast<uint32_t>(race.frameTimer->lastClock) - race.goClock;
        RaceEvent finish;
        finish.kind = RaceEvent::Kind::Finish;
        finish.player = true;
        finish.value = race.finishPosition;
        publishRaceEvent(finish);
    }
    hearRaceFrame(window, controls);
    recordFrame(controls);
    if (finished) {
        endRace();
    }
}

void recordRacesTo(const std::string& path) { recordPath = path; }

bool lastReplayWritten() { return replayWritten; }

void endRace()
{
    if (recorder.isOpen() && recordPath.empty() && raceState.finishPosition <= 0) {
        // The game keeps the replays of finished races only.
        recorder.abandon();
    } else if (recorder.isOpen()) {
        replayWritten = recorder.finish();
        if (!replayWritten && recordPath.empty()) {
            tellReplayNotKept(keptPath);
        }
    }
    stopGhost();
    Window* window = raceState.raceWindow;
    silenceRaceSound(window);
    tearDownRace();
    delete[] carZ;
    carZ = nullptr;
    window->callbacks.onPaint = nullptr;
    window->callbacks.onDestroy = nullptr;
    window->callbacks.onKeyDown = nullptr;
}

void raceOnDestroy(Window* /*window*/)
{
    if (raceState.raceRunning) {
        endRace();
    }
}

int32_t finishingPlace(const float* startZ, const float* endZ, uint32_t carCount,
                       float finishDistance)
{
    // The fraction of its frame's move at which a car reached the line.
    const auto crossingMoment = [&](uint32_t car) {
        const auto start = static_cast<double>(startZ[car]);
        return (static_cast<double>(finishDistance) - start) /
               (static_cast<double>(endZ[car]) - start);
    };
    const double playerMoment = crossingMoment(0);
    int32_t place = 1;
    for (uint32_t i = 1; i < carCount; ++i) {
        const bool crossedBefore = startZ[i] > finishDistance;
        const bool crossedNow = !crossedBefore && endZ[i] > finishDistance;
        if (crossedBefore || (crossedNow && crossingMoment(i) <= playerMoment)) {
            ++place;
        }
    }
    return place;
}
