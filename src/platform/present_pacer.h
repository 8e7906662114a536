#pragma once
// Keeps a loop of presents from running faster than the display refreshes when vertical sync
// does not hold it back (a display without it, such as Xvfb, or a driver that claims it and
// returns at once), so that a screen loop, which never sleeps itself, does not burn a core.
// The desktop backend owns one and calls afterPresent() after every present.

#include <chrono>

class PresentPacer {
public:
    using Clock = std::chrono::steady_clock;

    // Starts afresh for a new window: `period` is one refresh of its display; `pacing` is true
    // when the display offers no vertical sync at all.
    void start(Clock::duration period, bool pacing);
    // After each present: notices presents that keep coming back sooner than a refresh and from
    // then on sleeps until one refresh period after the previous present.
    void afterPresent();
    // Whether presents are paced here now.
    bool pacing() const { return pacingNow; }

private:
    Clock::duration refreshPeriod{};
    bool pacingNow = false;
    Clock::time_point lastPresent{};
    Clock::time_point nextPresent{};
    int quickPresents = 0;
};
