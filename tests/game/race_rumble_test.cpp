// The controller's rumble in a race: one shake per frame for the player's hardest hit, stronger
// for a harder one, and shakes in a real race when the player drives into the field.
#include <gtest/gtest.h>

#include <vector>

#include "game/game.h"
#include "game/race_rumble.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "race/race_events.h"
#include "race_player.h"

namespace {

RaceEvent hit(bool player, float strength)
{
    RaceEvent event;
    event.kind = RaceEvent::Kind::Hit;
    event.player = player;
    event.strength = strength;
    return event;
}

} // namespace

TEST(RaceRumble, ShakesOnceForThePlayersHardestHitOfTheFrame)
{
    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    create(&window);

    struct Frame {
        std::vector<RaceEvent> events;
        float expected; // 0: no shake
    };
    RaceEvent oil;
    oil.kind = RaceEvent::Kind::Oil;
    oil.player = true;
    oil.strength = 50000.0f;
    const Frame frames[] = {
        {{}, 0.0f},
        {{hit(false, 30000.0f), oil}, 0.0f},         // others' hits and other events
        {{hit(true, softestHitSpeed - 1.0f)}, 0.0f}, // a touch
        {{hit(true, softestHitSpeed)}, 0.25f + 0.75f * (softestHitSpeed / hardHitSpeed)},
        {{hit(true, 4000.0f), hit(true, 20000.0f), hit(false, 39000.0f)}, 0.25f + 0.75f * 0.5f},
        {{hit(true, 90000.0f)}, 1.0f},
    };
    size_t shakes = 0;
    for (const Frame& frame : frames) {
        clearRaceEvents();
        for (const RaceEvent& event : frame.events) {
            publishRaceEvent(event);
        }
        rumbleForPlayerHits(&window);
        if (frame.expected == 0.0f) {
            EXPECT_EQ(backend.rumbles().size(), shakes);
            continue;
        }
        ASSERT_EQ(backend.rumbles().size(), ++shakes);
        EXPECT_FLOAT_EQ(backend.rumbles().back().strength, frame.expected);
        EXPECT_EQ(backend.rumbles().back().milliseconds, rumbleMilliseconds);
    }
    clearRaceEvents();
    releaseWindow(&window);
}

TEST(RaceRumble, DrivingIntoTheFieldShakesTheController)
{
    RacePlan plan;
    plan.seed = 4321;
    plan.drive = Drive::Up;
    plan.maxFrames = 900;
    RacePlayer player(plan);
    HeadlessBackend backend;
    backend.setPumpHook([&player](HeadlessBackend& b) { player.onPump(b); });
    EXPECT_EQ(runGame(&backend), 0);
    ASSERT_FALSE(backend.rumbles().empty()) << "full throttle through the grid hit nothing";
    for (const HeadlessBackend::Rumble& shake : backend.rumbles()) {
        EXPECT_GE(shake.strength, 0.25f);
        EXPECT_LE(shake.strength, 1.0f);
    }
}
