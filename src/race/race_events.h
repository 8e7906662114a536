#pragma once
// The race's events: one stream of what happened in the current race frame, for everything that
// reacts to the race without taking part in it (the sound, a controller's rumble).
//
// How it is used, every race frame:
//   1. The race loop empties the stream at the start of the frame (clearRaceEvents).
//   2. During the frame the simulation and the race loop publish what happens, in the order it
//      happens (publishRaceEvent): collisions publish hits, cars their snow puffs, oil spills the
//      cars sliding onto them, the race loop the countdown, the road left and rejoined, the finish.
//   3. After the simulation, any number of readers walk events[0 .. count) (the race loop calls
//      them at the end of the frame). Readers never remove or change an event: each one reads the
//      whole frame's list for itself, and the list stays as it is until the next frame empties it.
// It lives in the race section's layer, so every layer may read it, and it holds no pointer into
// the race: an event still reads right after the race is torn down.

#include <cstdint>

struct RaceEvent {
    enum class Kind : uint8_t {
        Hit,          // a car struck a solid object, or was struck by a car
        LeftRoad,     // the player's car went off the road
        RejoinedRoad, // the player's car came back onto the road
        Oil,          // a car slid onto an oil spill
        SnowPuff,     // a car driving off the road threw up a puff of snow
        Countdown,    // the start sequence showed a new step
        Finish,       // the player's car passed the finish line
    };
    Kind kind = Kind::Hit;
    bool player = false;   // the player's car took part (Hit: as either side)
    bool carHit = false;   // Hit: the object struck was a car; false for a tree, rock or sign
    float strength = 0.0f; // Hit: the closing speed of the two along the axis of the hit, units/s
    int32_t value = 0;     // Countdown: 3, 2, 1, then 0 for "GO!"; Finish: the player's place
    float x = 0.0f;        // where it happened, world units (Hit: the moving car's position)
    float y = 0.0f;
    float z = 0.0f;
};

// Events one frame can hold; more in one frame are counted in `dropped` and left out.
inline constexpr uint32_t raceEventCapacity = 512;

// How hard a hit is, for everything that answers hits (sound, controller rumble): hits slower
// than softestHitSpeed (closing speed, world units per second) are touches and get no answer; from
// there the answer grows in proportion to the speed, to its full strength at hardHitSpeed.
inline constexpr float softestHitSpeed = 800.0f;
inline constexpr float hardHitSpeed = 40000.0f;

// A hit's hardness from 0 to 1: its closing speed over hardHitSpeed, at most 1.
inline float hitHardness(float strength)
{
    return strength < hardHitSpeed ? strength / hardHitSpeed : 1.0f;
}

struct RaceEvents {
    uint32_t count;   // events of the current frame
    uint32_t dropped; // events of the current frame that did not fit
    RaceEvent events[raceEventCapacity];
};

// The one stream; empty at program start.
extern RaceEvents raceEvents;

// Empties the stream. Called by the race loop at the start of every race frame and at set-up.
void clearRaceEvents();
// Adds an event of the current frame, or counts it as dropped when the stream is full.
void publishRaceEvent(const RaceEvent& event);
