// Pacing presents to the display's refresh rate where vertical sync does not.
#include "platform/present_pacer.h"

#include <thread>

namespace {

// Presents that come back this many times in a row sooner than three quarters of a refresh show
// that vertical sync, though offered, does not hold them back.
constexpr int quickPresentsForPacing = 10;

} // namespace

void PresentPacer::start(Clock::duration period, bool pacing)
{
    refreshPeriod = period;
    pacingNow = pacing;
    quickPresents = 0;
    lastPresent = Clock::now();
    nextPresent = lastPresent;
}

void PresentPacer::afterPresent()
{
    Clock::time_point now = Clock::now();
    if (!pacingNow) {
        // Vertical sync holds every present until the next refresh; presents that keep coming
        // back much sooner show that it does not, whatever the driver claimed.
        if ((now - lastPresent) * 4 < refreshPeriod * 3) {
            if (++quickPresents >= quickPresentsForPacing) {
                pacingNow = true;
                nextPresent = now;
            }
        } else {
            quickPresents = 0;
        }
    }
    if (pacingNow) {
        nextPresent += refreshPeriod;
        if (nextPresent > now) {
            std::this_thread::sleep_until(nextPresent);
            now = Clock::now();
        } else {
            // A slow frame: no sleep, and the next period counts from here.
            nextPresent = now;
        }
    }
    lastPresent = now;
}
