// The race's frame timer against a clock the test moves: ordinary frames, a clock that steps
// back, a long stall and the 32-bit wrap.
#include <gtest/gtest.h>

#include "race/frame_timer.h"

namespace {

uint32_t scriptedClock(void* context) { return *static_cast<uint32_t*>(context); }

} // namespace

TEST(FrameTimer, MeasuresFramesAndNeverGoesBackOrStallsTheRace)
{
    uint32_t now = 1000000; // long after start: a fresh timer still sees a frame of about 0
    FrameTimer* timer = createFrameTimer(scriptedClock, &now);
    EXPECT_EQ(timer->ticksPerSecond, 1000u);
    EXPECT_EQ(timer->lastClock, 1000000);
    EXPECT_EQ(timer->elapsedSeconds, 0.0f);

    now += 16;
    tick(timer);
    EXPECT_EQ(timer->elapsedTicks, 16);
    EXPECT_FLOAT_EQ(timer->elapsedSeconds, 0.016f);
    tick(timer); // same reading
    EXPECT_EQ(timer->elapsedTicks, 0);
    EXPECT_EQ(timer->elapsedSeconds, 0.0f);

    // A clock that steps back gives no time at all, not 50 days.
    now -= 100;
    tick(timer);
    EXPECT_EQ(timer->elapsedTicks, 0);
    EXPECT_EQ(timer->elapsedSeconds, 0.0f);
    now += 20;
    tick(timer);
    EXPECT_FLOAT_EQ(timer->elapsedSeconds, 0.02f);

    // A five-second stall counts as the longest frame, a tenth of a second.
    now += 5000;
    tick(timer);
    EXPECT_EQ(timer->elapsedSeconds, 0.1f);
    now += 100;
    tick(timer);
    EXPECT_FLOAT_EQ(timer->elapsedSeconds, 0.1f);

    // Across the clock's wrap from 2^32 - 16 to 16.
    now = 0xFFFFFFF0u;
    tick(timer);
    now = 16;
    tick(timer);
    EXPECT_EQ(timer->elapsedTicks, 32);
    EXPECT_FLOAT_EQ(timer->elapsedSeconds, 0.032f);
    delete timer;
}
