#pragma once
// What a race sounds like, worked out on the game thread once per race frame from the race state
// and the frame's race events, and handed to the backend as a SoundFrame. The sound output (an
// audio thread on the desktop) only ever sees those frames, never the race.
//
// Loop slots of the frame: the player's engine (pulling and coasting, cross-faded by the
// throttle), tyres in snow, the hiss on oil, and the nearest opponents' engines.

#include <cstdint>

#include "platform/sound.h"

struct RaceControls;
struct RaceEvents;
struct RaceState;
struct Window;

class RaceSound {
public:
    // The loop slots.
    static constexpr int engineSlot = 0;
    static constexpr int coastSlot = 1;
    static constexpr int snowSlot = 2;
    static constexpr int hissSlot = 3;
    static constexpr int firstOpponentSlot = 4;
    static constexpr int opponentSlots = loopVoiceCount - firstOpponentSlot;

    // Forgets everything of an earlier race. Called at race set-up.
    void reset();
    // This frame's sound: `race` during a race frame (its cars and camera), the frame's `events`,
    // whether the player holds the throttle, and the frame's real seconds (for the fades).
    SoundFrame hear(const RaceState& race, const RaceEvents& events, bool throttle, float seconds);
    // A frame that silences every loop: the race is over.
    static SoundFrame silence();

    // The pitch (playback rate of the engine clips) and loudness of an engine at forward `speed`
    // (world units per second; the sign is ignored) with the throttle at `throttle` (0 to 1).
    static float engineRate(float speed, float throttle);
    static float engineVolume(float speed, float throttle);

private:
    // Opponents heard in the opponent slots: their entry in `cars`, or -1.
    int32_t slotCar[opponentSlots] = {-1, -1, -1, -1};
    bool offRoad = false;
    float throttleLevel = 0.0f; // the throttle as the engine follows it, 0 to 1
    float hissLevel = 0.0f;     // 1 when the player's car slid onto oil, fading
};

// The game's one RaceSound, driven by the race loop:
// at set-up,
void startRaceSound();
// at the end of every race frame (the frame's events published, the finish included), with the
// controls the frame read (the throttle is the accelerate action held),
void hearRaceFrame(Window* window, const RaceControls& controls);
// and at teardown, which silences the race's loops.
void silenceRaceSound(Window* window);
