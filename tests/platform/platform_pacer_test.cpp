// Pacing of presents where vertical sync does not hold them back. Only lower bounds on time are
// checked: a sleep never ends early, however busy the machine is.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/present_pacer.h"

using namespace std::chrono_literals;

TEST(PresentPacer, WithoutVerticalSyncEveryPresentWaitsOneRefresh)
{
    PresentPacer pacer;
    auto started = PresentPacer::Clock::now();
    pacer.start(4ms, true);
    for (int i = 0; i < 25; ++i) {
        pacer.afterPresent();
    }
    EXPECT_TRUE(pacer.pacing());
    EXPECT_GE(PresentPacer::Clock::now() - started, 25 * 4ms);
}

TEST(PresentPacer, PresentsThatKeepComingBackTooSoonArePacedFromTheTenth)
{
    PresentPacer pacer;
    pacer.start(20ms, false);
    for (int i = 0; i < 9; ++i) {
        pacer.afterPresent();
    }
    EXPECT_FALSE(pacer.pacing());
    pacer.afterPresent();
    EXPECT_TRUE(pacer.pacing());
    auto pacedFrom = PresentPacer::Clock::now();
    for (int i = 0; i < 5; ++i) {
        pacer.afterPresent();
    }
    EXPECT_GE(PresentPacer::Clock::now() - pacedFrom, 4 * 20ms);
}

TEST(PresentPacer, PresentsHeldBackByTheDisplayAreNeverPaced)
{
    PresentPacer pacer;
    pacer.start(2ms, false);
    for (int i = 0; i < 15; ++i) {
        std::this_thread::sleep_for(2ms); // as a present waiting for vertical sync would
        pacer.afterPresent();
        // One quick present in between does not count as a run.
        if (i == 7) {
            pacer.afterPresent();
        }
    }
    EXPECT_FALSE(pacer.pacing());
}
