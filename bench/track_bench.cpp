// Time to generate a race's track: the menu's three lengths (SHORT, NORMAL, LONG) with NORMAL
// hills and turns, and the longest track the generation allows (65535 segments).
//
// Two cases, because most of the time can go to the memory rather than to the arithmetic:
// - fresh: the previous track is freed before the next is made, so the allocator hands the freed
//   pages back to the system and the new track touches fresh pages, as after a race's teardown;
// - reused: the previous track is freed only after the next one is made, so the new track lands
//   in memory the process already has, which isolates the generation's own work.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

const char* menuName(uint32_t segments)
{
    switch (segments) {
    case 1024: return "SHORT";
    case 2048: return "NORMAL";
    case 4096: return "LONG";
    default: return "longest";
    }
}

Track* generateNormal(uint32_t segments, uint32_t seed)
{
    seedRandom(seed);
    return generateTrack(segments, 6000.0f, 32500.0f, 6000.0f, 32500.0f);
}

void generateFresh(benchmark::State& state)
{
    const uint32_t segments = static_cast<uint32_t>(state.range(0));
    uint32_t seed = 1;
    for (auto _ : state) {
        Track* track = generateNormal(segments, seed++);
        benchmark::DoNotOptimize(track->segments[segments - 1]->farHeight);
        state.PauseTiming();
        freeTrack(&track);
        state.ResumeTiming();
    }
    state.SetLabel(menuName(segments));
}

void generateReused(benchmark::State& state)
{
    const uint32_t segments = static_cast<uint32_t>(state.range(0));
    uint32_t seed = 1;
    Track* previous = generateNormal(segments, seed++);
    for (auto _ : state) {
        Track* track = generateNormal(segments, seed++);
        benchmark::DoNotOptimize(track->segments[segments - 1]->farHeight);
        state.PauseTiming();
        freeTrack(&previous);
        previous = track;
        state.ResumeTiming();
    }
    freeTrack(&previous);
    state.SetLabel(menuName(segments));
}

} // namespace

BENCHMARK(generateFresh)->Arg(1024)->Arg(2048)->Arg(4096)->Arg(65535)->Unit(benchmark::kMicrosecond);
BENCHMARK(generateReused)->Arg(1024)->Arg(2048)->Arg(4096)->Arg(65535)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
