// The cost of one world update with 32 racing cars on the short, normal and long track.
// Every car (the player's too) is driven by the opponents' rules at 60 frames per second; the
// race starts again every simulated minute. Only updateWorld is timed.
#include <benchmark/benchmark.h>

#include <chrono>

#include "game/race_setup.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/world_update.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "race/race_graphics.h"
#include "field/opponent_driving.h"

namespace {

void updateWorldWith32Cars(benchmark::State& state)
{
    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    create(&window);
    RaceSettings settings;
    settings.trackLength = static_cast<int32_t>(state.range(0));
    settings.numCompetitors = 3;
    const RaceParameters parameters = raceParameters(settings);

    constexpr int framesPerRace = 60 * 60;
    int frame = framesPerRace;
    uint32_t seed = 1;
    OpponentDriver player{};
    for (auto _ : state) {
        if (frame == framesPerRace) {
            if (raceState.raceRunning)
                tearDownRace();
            backend.setClock(seed++); // the race's seed
            setUpRace(&window, parameters);
            player = {raceState.cars[0], raceState.track, 0.0f, 0.0f};
            raceState.averageFrameSeconds = 1.0f / 60.0f;
            frame = 0;
        }
        driveOpponent(&player);
        for (uint32_t i = 0; i + 1 < raceState.carCount; ++i)
            driveOpponent(raceState.opponentDrivers[i]);
        const auto start = std::chrono::steady_clock::now();
        updateWorld();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        ++frame;
    }
    tearDownRace();
    releaseWindow(&window);
}

} // namespace

BENCHMARK(updateWorldWith32Cars)
    ->ArgName("trackLength")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(36000)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
