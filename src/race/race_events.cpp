// The race's events of the current frame.
#include "race/race_events.h"

RaceEvents raceEvents;

void clearRaceEvents()
{
    raceEvents.count = 0;
    raceEvents.dropped = 0;
}

void publishRaceEvent(const RaceEvent& event)
{
    if (raceEvents.count == raceEventCapacity) {
        ++raceEvents.dropped;
        return;
    }
    raceEvents.events[raceEvents.count++] = event;
}
