// One race: set-up, frame, finish and teardown.
#include "game/race_loop.h"

#include "audio/race_sound.h"
#include "controls/player_controls.h"
#include "field/opponent_driving.h"
#include "game/controls_screen.h"
#include "game/game.h"
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

// The replay of the race that runs, when races are recorded (recordRacesTo).
std::string recordPath;
ReplayWriter recorder;
bool replayWritten = false;

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
    frame.controls = static_cast<uint8_t>((controls.accelerate ? replayAccelerate : 0) |
                                          (controls.brake ? replayBrake : 0) |
                                          (controls.steerLeft ? replaySteerLeft : 0) |
                                          (controls.steerRight ? replaySteerRight : 0) |
                                          (controls.giveUp ? replayGiveUp : 0));
    frame.x = race.cars[0]->position.x;
    frame.y = race.cars[0]->position.y;
    frame.z = race.cars[0]->position.z;
    recorder.add(frame);
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
        if (!recordPath.empty()) {
            replayWritten = false;
            recorder.begin(recordPath, encodeTrackCode(raceState.seed, raceSettings),
                           static_cast<uint32_t>(raceState.frameTimer->lastClock));
        }
        carZ = allocateOrFatal(__LINE__, "Out of memory for the field of cars",
                               [] { return new float[2 * raceState.carCount](); });
        window->callbacks.onPaint = raceOnPaint;
        window->callbacks.onDestroy = raceOnDestroy;

        startRaceSound();

        runFrames(window, &raceState.raceRunning);

        if (isWindowAlive(window)) {
            again = runResultScreen(window, gameOptions.recordsFolder);
            if (again) {
                fixNextRaceSeed(raceState.seed);
            }
        }
    }
}

void raceOnPaint(Window* window)
{
    RaceState& race = raceState;
    tick(race.frameTimer);
    clearRaceEvents();
    race.framesSummed += 1;
    race.frameSecondsSum += race.frameTimer->elapsedSeconds;
    if (race.framesSummed == 8) {
        race.averageFrameSeconds = race.frameSecondsSum * 0.125f;
        race.frameSecondsSum = 0.0f;
        race.framesSummed = 0;
    }

    const RaceControls controls = readRaceControls(window);
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
    if (recorder.isOpen()) {
        replayWritten = recorder.finish();
    }
    Window* window = raceState.raceWindow;
    silenceRaceSound(window);
    tearDownRace();
    delete[] carZ;
    carZ = nullptr;
    window->callbacks.onPaint = nullptr;
    window->callbacks.onDestroy = nullptr;
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
