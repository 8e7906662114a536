// The scripted player of one race.
#include "race_player.h"

#include "game/replay_file.h"

#include "auto_driver.h"
#include "controls/input_names.h"
#include "controls/player_controls.h"
#include "game/controls_screen.h"
#include "game/keys_screen.h"
#include "race/race_state.h"
#include "game/result_screen.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"

namespace {

// The modifier keys a key binding asks for, in the order they are pressed.
constexpr struct {
    uint32_t flag;
    uint32_t key;
} modifierKeys[] = {{withShift, keyShift}, {withCtrl, keyCtrl}, {withAlt, keyAlt}};

// Presses or lets go of a key binding as a player would: its modifiers held around its key.
void holdBinding(HeadlessBackend& backend, uint32_t binding, bool held)
{
    for (const auto& modifier : modifierKeys) {
        if (held && (binding & modifier.flag) != 0)
            backend.keyDown(modifier.key);
    }
    if (held) {
        backend.keyDown(plainKey(binding));
    } else {
        backend.keyUp(plainKey(binding));
    }
    for (const auto& modifier : modifierKeys) {
        if (!held && (binding & modifier.flag) != 0)
            backend.keyUp(modifier.key);
    }
}

void press(HeadlessBackend& backend, Action action)
{
    holdBinding(backend, firstKeyOf(action), true);
    holdBinding(backend, firstKeyOf(action), false);
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
    if (keysScreen.keysRunning)
        return GameScreen::Keys;
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
        const Action action = targets[row] < 1 ? Action::MenuLeft : Action::MenuRight;
        const int32_t presses = targets[row] < 1 ? 1 - targets[row] : targets[row] - 1;
        for (int32_t i = 0; i < presses; ++i)
            press(backend, action);
        if (row < 5)
            press(backend, Action::MenuDown);
    }
}

void RacePlayer::hold(HeadlessBackend& backend, Action action, bool held)
{
    bool& state = heldNow[indexOf(action)];
    if (held == state)
        return;
    holdBinding(backend, firstKeyOf(action), held);
    state = held;
}

void RacePlayer::drive(HeadlessBackend& backend)
{
    if (plan.drive == Drive::Replay) {
        const RaceControls held = raceControlsOf(
            frames < plan.replay->frames.size() ? plan.replay->frames[frames].controls : 0);
        hold(backend, Action::Accelerate, held.accelerate);
        hold(backend, Action::Brake, held.brake);
        hold(backend, Action::SteerLeft, held.steerLeft);
        hold(backend, Action::SteerRight, held.steerRight);
        hold(backend, Action::GiveUp, held.giveUp);
        return;
    }
    if (plan.drive == Drive::None)
        return;
    hold(backend, Action::Accelerate, true);
    if (plan.drive != Drive::Auto)
        return;
    const Steer steer =
        autoSteer(*raceState.cars[0], raceState.track, static_cast<float>(plan.stepMs) * 0.001f);
    hold(backend, Action::SteerRight, steer == Steer::Right);
    hold(backend, Action::SteerLeft, steer == Steer::Left);
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
            press(backend, Action::MenuBack);
        } else if (!settingsPicked) {
            pickSettings(backend);
            settingsPicked = true;
        } else {
            if (!menuShown && screenShown)
                screenShown(backend, GameScreen::Menu);
            menuShown = true;
            press(backend, Action::MenuConfirm);
        }
        break;
    case GameScreen::Keys: press(backend, Action::MenuBack); break;
    case GameScreen::Controls:
        if (!controlsShown && screenShown)
            screenShown(backend, GameScreen::Controls);
        controlsShown = true;
        // The race set-up reads the clock right after this pump: it seeds the race with it.
        backend.setClock(plan.seed);
        press(backend, Action::MenuConfirm);
        return;
    case GameScreen::Race:
        lastPumpRan = true;
        if (frames >= plan.maxFrames) {
            limitReached = true;
            press(backend, Action::GiveUp);
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
            hold(backend, Action::Accelerate, false);
            hold(backend, Action::SteerLeft, false);
            hold(backend, Action::SteerRight, false);
            hold(backend, Action::Brake, false);
            hold(backend, Action::GiveUp, false);
        } else {
            if (!resultShown && screenShown)
                screenShown(backend, GameScreen::Result);
            resultShown = true;
            press(backend, Action::MenuConfirm);
        }
        break;
    }
    backend.advanceClock(plan.stepMs);
}
