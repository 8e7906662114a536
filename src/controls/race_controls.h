#pragma once
// What the player holds in one race frame, as actions. The race loop reads it once at the start
// of every frame (readRaceControls, player_controls.h) and hands the same value to everything in
// the frame that follows the player: the car (game/race_input.h) and the engine's sound
// (audio/race_sound.h).

struct RaceControls {
    bool accelerate = false;
    bool brake = false;
    bool steerLeft = false;
    bool steerRight = false;
    bool giveUp = false;

    bool operator==(const RaceControls&) const = default;
};
