#pragma once
// The scripted player of the developer tools, the benchmarks and the soak: plays one race of the
// real game on the headless backend through its real screens and keys, pressing for each action
// the first key the player's controls bind to it (controls/player_controls.h; the game's own keys
// unless a settings file changed them). The full-screen question is left to the backend's answer;
// on the main menu the six settings are picked with the menu's left, right and down keys and
// confirm (Enter) starts the race; confirm leaves the controls screen; the race is driven through
// the keys of accelerate and steering; confirm leaves the result screen and back (Escape) then
// leaves the menu, which ends the game.
//
// Typical use:
//   RacePlayer player(plan);
//   backend.setPumpHook([&player](HeadlessBackend& b) { player.onPump(b); });
//   runGame(&backend);
//   player.outcome();

#include <cstdint>
#include <functional>

#include "controls/actions.h"
#include "race/race_settings.h"

class HeadlessBackend;

// How the player drives: `None` touches nothing, `Up` holds the accelerate key (Up), `Auto` holds
// it and steers with the steering keys (Left and Right) towards the middle of the road ahead
// (autoSteer), `Replay` plays a replay back: before each race frame the keys of the actions the
// replay's frame held are held, so that with the replay's seed and clock step the race, its
// pictures and its sound come out as they were.
enum class Drive { None, Up, Auto, Replay };

struct Replay;

// One race to play.
struct RacePlan {
    // The virtual clock reads `seed` when the race set-up creates its timer, so the race seeds
    // its random source with it exactly as the game does.
    uint32_t seed = 0;
    RaceSettings settings; // the six menu indices to pick
    Drive drive = Drive::None;
    uint32_t stepMs = 16;        // the clock moves this many milliseconds every pump
    uint64_t maxFrames = 100000; // race frames before the race is given up (Escape)
    // Race frame after which the window is closed instead (0: never). Closing ends the game.
    uint64_t closeAfterFrame = 0;
    // Drive::Replay: the replay to play (owned by the caller, alive while the game runs).
    const Replay* replay = nullptr;
};

// What the race came to.
enum class RaceOutcome { Finished, Quit, FrameLimit, Closed };

// The screens of the game, told apart by the state each one keeps while it runs.
enum class GameScreen { Menu, Keys, Controls, Race, Result };
GameScreen currentGameScreen();

class RacePlayer {
public:
    explicit RacePlayer(const RacePlan& racePlan) : plan(racePlan) {}

    // The pump hook: reacts to the screen that runs, presses keys and moves the clock.
    void onPump(HeadlessBackend& backend);

    // Called once a race frame has been shown, with its number from 1 (the first frame of the
    // countdown); the race may have ended in that frame.
    std::function<void(const HeadlessBackend&, uint64_t frame)> raceFrameShown;
    // Called once with the first shown frame of each screen: the menu with the settings picked,
    // the controls screen and the result screen.
    std::function<void(const HeadlessBackend&, GameScreen)> screenShown;

    // Valid once runGame has returned.
    RaceOutcome outcome() const;
    uint64_t raceFrames() const { return frames; }
    // The player's finishing place (from 1) and the field's size, when the race was finished.
    int32_t finishPosition() const { return place; }
    uint32_t carCount() const { return cars; }

private:
    void pickSettings(HeadlessBackend& backend);
    void drive(HeadlessBackend& backend);
    // Holds or lets go of the key of a race action, when it is not so already.
    void hold(HeadlessBackend& backend, Action action, bool held);

    RacePlan plan;
    bool settingsPicked = false;
    bool menuShown = false;
    bool controlsShown = false;
    bool resultShown = false;
    bool lastPumpRan = false; // the previous pump ran a race frame
    bool limitReached = false;
    bool closed = false;
    bool raceEnded = false;
    bool heldNow[raceActionCount] = {}; // by race action: its key is held
    uint64_t frames = 0;
    int32_t place = -1;
    uint32_t cars = 0;
};
