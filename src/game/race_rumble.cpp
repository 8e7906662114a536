// A shake of the controllers for the player's hits.
#include "game/race_rumble.h"

#include <algorithm>

#include "platform/window.h"
#include "race/race_events.h"

void rumbleForPlayerHits(Window* window)
{
    float hardest = 0.0f;
    for (uint32_t i = 0; i < raceEvents.count; ++i) {
        const RaceEvent& event = raceEvents.events[i];
        if (event.kind == RaceEvent::Kind::Hit && event.player) {
            hardest = std::max(hardest, event.strength);
        }
    }
    if (hardest < softestHitSpeed) {
        return;
    }
    rumbleControllers(window, 0.25f + 0.75f * hitHardness(hardest), rumbleMilliseconds);
}
