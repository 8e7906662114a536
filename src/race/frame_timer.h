#pragma once
// The race's frame timer: measures the real time between two frames from the platform's
// millisecond clock. The race set-up creates one per race; the race frame ticks it once per frame.

#include <cstdint>

// Reads the platform clock: milliseconds of real time since start, counting up and wrapping at
// 2^32. `context` is what was given to createFrameTimer (for the game, the race's Window).
using FrameClock = uint32_t (*)(void* context);

// The longest frame the race ever sees, in seconds: a stall (a dragged window, a slow disk) is
// cut to this, so that no car covers more than a few segments in one step.
inline constexpr float longestFrameSeconds = 0.1f;

struct FrameTimer {
    uint32_t ticksPerSecond; // always 1000
    int32_t lastClock;       // clock reading at the last tick
    int32_t elapsedTicks;    // ticks between the last two ticks, never negative
    float elapsedSeconds;    // elapsedTicks / ticksPerSecond, at most longestFrameSeconds
    FrameClock clock;        // where the readings come from
    void* clockContext;      // handed to clock on every reading
};

// Creates a timer reading `clock` (ticksPerSecond 1000, the rest 0) and ticks it twice, so that
// lastClock holds the current reading and elapsedSeconds is near 0. The caller owns the timer
// and frees it with `delete`. Running out of memory gives the fatal report.
FrameTimer* createFrameTimer(FrameClock clock, void* clockContext);

// Reads the clock and measures the time since the previous tick. The difference is taken modulo
// 2^32, so the clock's wrap-around is harmless; a clock that steps back gives 0 ticks, and a
// longer frame than longestFrameSeconds is cut to it.
void tick(FrameTimer* timer);
