// The race's frame timer.
#include "race/frame_timer.h"

#include "core/errors.h"

FrameTimer* createFrameTimer(FrameClock clock, void* clockContext)
{
    auto* timer = allocateOrFatal(__LINE__, "Out of memory for the frame timer", [&] {
        return new FrameTimer{1000, 0, 0, 0.0f, clock, clockContext};
    });
    tick(timer);
    tick(timer);
    return timer;
}

void tick(FrameTimer* timer)
{
    const uint32_t reading = timer->clock(timer->clockContext);
    // The difference modulo 2^32, read as signed: a step back of the clock is negative.
    const auto difference = static_cast<int32_t>(reading - static_cast<uint32_t>(timer->lastClock));
    timer->elapsedTicks = difference < 0 ? 0 : difference;
    timer->lastClock = static_cast<int32_t>(reading);
    const float seconds = static_cast<float>(static_cast<uint32_t>(timer->elapsedTicks)) /
                          static_cast<float>(timer->ticksPerSecond);
    timer->elapsedSeconds = seconds < longestFrameSeconds ? seconds : longestFrameSeconds;
}
