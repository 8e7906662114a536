// The ghost car.
#include "game/ghost_car.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "race/frame_timer.h"
#include "race/race_state.h"

namespace {

// The ghost's race, its set-up's clock reading in the race that runs now, and the frame it has
// reached (the last whose moment has come).
Replay ghostRace;
uint32_t raceStartClock = 0;
std::size_t reached = 0;

// Milliseconds from the ghost race's set-up to the end of its frame i.
uint32_t momentOf(std::size_t i) { return ghostRace.frames[i].clock - ghostRace.startClock; }

} // namespace

void startGhost(Replay replay)
{
    ghostRace = std::move(replay);
    raceStartClock = static_cast<uint32_t>(raceState.frameTimer->lastClock);
    reached = 0;
    raceState.ghost = GhostPlace{};
}

void moveGhost()
{
    GhostPlace& ghost = raceState.ghost;
    const std::size_t count = ghostRace.frames.size();
    const uint32_t now = static_cast<uint32_t>(raceState.frameTimer->lastClock) - raceStartClock;
    if (count == 0 || now > momentOf(count - 1)) {
        ghost.shown = false;
        return;
    }
    while (reached + 1 < count && momentOf(reached + 1) <= now) {
        ++reached;
    }
    const ReplayFrame& from = ghostRace.frames[reached];
    const ReplayFrame& to = ghostRace.frames[reached + 1 < count ? reached + 1 : reached];
    // Before its first frame the ghost stands where that frame left it: on the grid.
    float share = 0.0f;
    if (&to != &from && now > momentOf(reached)) {
        share = static_cast<float>(now - momentOf(reached)) /
                static_cast<float>(momentOf(reached + 1) - momentOf(reached));
    }
    ghost.shown = true;
    ghost.x = from.x + (to.x - from.x) * share;
    ghost.y = from.y + (to.y - from.y) * share;
    ghost.z = from.z + (to.z - from.z) * share;
    // Its heading is its move over the frame it is in (over its last one at the end).
    const ReplayFrame& before = ghostRace.frames[reached > 0 ? reached - 1 : 0];
    const bool last = &to == &from;
    ghost.headingX = last ? from.x - before.x : to.x - from.x;
    ghost.headingZ = last ? from.z - before.z : to.z - from.z;
}

void stopGhost()
{
    ghostRace = Replay{};
    reached = 0;
    raceState.ghost = GhostPlace{};
}
