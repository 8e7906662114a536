// The scripted player of one race.
#include "race_player.h"

#include "auto_driver.h"
#include "game/controls_screen.h"
#include "race/race_state.h"
#include "game/result_screen.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"

namespace {

void press(HeadlessBackend& backend, uint32_t key)
{
    backend.keyDown(key);
    backend.keyUp(key);
}

} // namespace

GameScreen currentGameScreen()
{
    if (raceState.raceRunning)
        return GameScreen::Race;
    if (controlsScreen.controlsRunning)
        return GameScreen::Controls;
    if (resultScreen.resultRunning)
        return GameScreen::Result;
    return GameScreen::Menu;
}

RaceOutcome RacePlayer::outcome() const
{
    if (closed)
        return RaceOutcome::Closed;
    if (limitReached)
        return RaceOutcome::FrameLimit;
    if (place >= 1)
        return RaceOutcome::Finished;
    return RaceOutcome::Quit;
}

// Walks the six rows from the top: Left or Right until the wanted index, then Down.
void RacePlayer::pickSettings(HeadlessBackend& backend)
{
    const RaceSettings& wanted = plan.settings;
    const int32_t targets[6] = {wanted.trackLength,    wanted.hillSteepness, wanted.turnSharpness,
                                wanted.numCompetitors, wanted.aiCarSpeed,    wanted.gridSpacing};
    for (int row = 0; row < 6; ++row) {
        // Every setting starts at index 1 ("NORMAL"): at most one Left, or Right up to twice.
        const uint32_t key = targets[row] < 1 ? keyLeft : keyRight;
        const int32_t presses = targets[row] < 1 ? 1 - targets[row] : targets[row] - 1;
        for (int32_t i = 0; i < presses; ++i)
            press(backend, key);
        if (row < 5)
            press(backend, keyDown);
    }
}

void RacePlayer::holdKey(HeadlessBackend& backend, uint32_t key, bool held, bool* state)
{
    if (held == *state)
        return;
    if (held) {
        backend.keyDown(key);
    } else {
        backend.keyUp(key);
    }
    *state = held;
}

void RacePlayer::drive(HeadlessBackend& backend)
{
    if (plan.drive == Drive::None)
        return;
    holdKey(backend, keyUp, true, &upHeld);
    if (plan.drive != Drive::Auto)
        return;
    const Steer steer =
        autoSteer(*raceState.cars[0], raceState.track, static_cast<float>(plan.stepMs) * 0.001f);
    holdKey(backend, keyRight, steer == Steer::Right, &rightHeld);
    holdKey(backend, keyLeft, steer == Steer::Left, &leftHeld);
}

void RacePlayer::onPump(HeadlessBackend& backend)
{
    if (closed)
        return;
    // The previous pump ran a race frame: it has been shown now.
    if (lastPumpRan) {
        lastPumpRan = false;
        if (!limitReached) {
            ++frames;
            if (raceFrameShown)
                raceFrameShown(backend, frames);
            if (frames == plan.closeAfterFrame && raceState.raceRunning) {
                closed = true;
                backend.closeRequest();
                return;
            }
        }
    }

    const GameScreen screen = currentGameScreen();
    switch (screen) {
    case GameScreen::Menu:
        if (raceEnded) {
            press(backend, keyEscape);
        } else if (!settingsPicked) {
            pickSettings(backend);
            settingsPicked = true;
        } else {
            if (!menuShown && screenShown)
                screenShown(backend, GameScreen::Menu);
            menuShown = true;
            press(backend, keyEnter);
        }
        break;
    case GameScreen::Controls:
        if (!controlsShown && screenShown)
            screenShown(backend, GameScreen::Controls);
        controlsShown = true;
        // The race set-up reads the clock right after this pump: it seeds the race with it.
        backend.setClock(plan.seed);
        press(backend, keyEnter);
        return;
    case GameScreen::Race:
        lastPumpRan = true;
        if (frames >= plan.maxFrames) {
            limitReached = true;
            press(backend, keyEscape);
        } else {
            drive(backend);
        }
        break;
    case GameScreen::Result:
        if (!raceEnded) {
            // The screen's first frame is shown by this pump; Enter waits for the next one.
            raceEnded = true;
            place = raceState.finishPosition;
            cars = raceState.carCount;
            // Keys still held from the race are let go, as a player's fingers would be.
            holdKey(backend, keyUp, false, &upHeld);
            holdKey(backend, keyLeft, false, &leftHeld);
            holdKey(backend, keyRight, false, &rightHeld);
        } else {
            if (!resultShown && screenShown)
                screenShown(backend, GameScreen::Result);
            resultShown = true;
            press(backend, keyEnter);
        }
        break;
    }
    backend.advanceClock(plan.stepMs);
}
