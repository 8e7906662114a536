// What a whole race frame costs: drawRaceFrame (sky, clouds, road, every object in view, place,
// gauges) with 32 cars on a long, steep, sharp track, at several places in the race, the field
// bunched around the player as in a close race, at drawing scales 1, 2 and 4 (a back buffer of
// 640 x 480, 1280 x 960 and 2560 x 1920, drawn with the pictures painted for each), each for a
// 4:3 screen and in the wide view of a 16:9 one (854 x 480 times the scale). Each frame is
// timed on its own, and the median and 99th percentile of the frames are reported, in real time
// (median_us, p99_us) and in the thread's own processor time (cpu_median_us, cpu_p99_us), which a
// machine shared with other work does not inflate. The floor in the same run is one plain copy of
// the 640 x 480 back buffer, timed the same way.
#include <benchmark/benchmark.h>

#include <optional>

#include "frame_times.h"
#include "race/frame_timer.h"
#include "game/race_moment.h"
#include "game/race_setup.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "gfx/raster.h"
#include "objects/game_object.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "render/race_frame.h"
#include "track/track.h"

namespace {

// A race of the longest track with the steepest hills, the sharpest turns and 32 cars, drawn at
// drawing scale `scale` on a screen `width` screen pixels wide. The race is the same at every
// scale and width.
struct BenchRace {
    HeadlessBackend backend;
    Window window{};

    BenchRace(int scale, int width)
    {
        window.backend = &backend;
        backend.setDrawingScale(scale);
        backend.setViewWidth(width);
        create(&window);
        RaceSettings settings;
        settings.trackLength = 2;
        settings.hillSteepness = 2;
        settings.turnSharpness = 2;
        settings.numCompetitors = 3;
        backend.setClock(20240601u); // the race's seed
        setUpRace(&window, raceParameters(settings));
        raceState.countdownSeconds = 0.0f;
        raceState.goSeconds = 0.0f;
        raceState.averageFrameSeconds = 0.016f;
        raceState.frameTimer->elapsedSeconds = 0.016f;
    }
    ~BenchRace()
    {
        tearDownRace();
        releaseWindow(&window);
    }
    BenchRace(const BenchRace&) = delete;
    BenchRace& operator=(const BenchRace&) = delete;

    // The player at `fraction` of the way to the finish, the 31 opponents in the next 30
    // segments ahead of it, moving at racing speed.
    void placeField(float fraction)
    {
        const auto segments = static_cast<float>(raceState.track->segmentCount - 80u);
        const float z = 4096.0f + (segments * 3000.0f - 8192.0f) * fraction;
        for (uint32_t i = 0; i < raceState.carCount; ++i) {
            moveCarTo(i, z + 2900.0f * static_cast<float>(i));
            raceState.cars[i]->velocity.z = 45000.0f;
        }
        placeCamera();
        stepRaceDisplay(&raceState);
    }
};

// A second window showing the same race at the same drawing scale on a 4:3 screen, so that a
// wide frame can be timed against the 4:3 frame of the same moment, one after the other.
struct FourThirdsWindow {
    HeadlessBackend backend;
    Window window{};

    explicit FourThirdsWindow(int scale)
    {
        window.backend = &backend;
        backend.setDrawingScale(scale);
        create(&window);
    }
    ~FourThirdsWindow() { releaseWindow(&window); }
    FourThirdsWindow(const FourThirdsWindow&) = delete;
    FourThirdsWindow& operator=(const FourThirdsWindow&) = delete;
};

// Args: tenths of the way from the start to the finish, the drawing scale, and the screen's width
// in screen pixels (640 for 4:3, 854 for 16:9). A wide frame alternates with the 4:3 frame of the
// same moment, timed apart: besides its own times it reports `ratio` and `cpu_ratio`, its median
// over the 4:3 frame's, a comparison that the drift of a shared machine's speed cannot tilt.
void BM_DrawRaceFrame(benchmark::State& state)
{
    const int scale = static_cast<int>(state.range(1));
    const bool wide = state.range(2) != screenWidth;
    BenchRace race(scale, static_cast<int>(state.range(2)));
    race.placeField(static_cast<float>(state.range(0)) * 0.1f);
    std::optional<FourThirdsWindow> fourThirds;
    if (wide) {
        fourThirds.emplace(scale);
    }
    FrameTimes frames;
    FrameTimes fourThirdsFrames;
    for (auto _ : state) {
        if (wide) {
            const Instant before = now();
            drawRaceFrame(&fourThirds->window, raceState);
            benchmark::ClobberMemory();
            fourThirdsFrames.add(before, now());
        }
        const Instant start = now();
        drawRaceFrame(&race.window, raceState);
        benchmark::ClobberMemory();
        frames.add(start, now());
    }
    if (wide) {
        const Instant mine = frames.medians();
        const Instant theirs = fourThirdsFrames.medians();
        state.counters["ratio"] = mine.real / theirs.real;
        state.counters["cpu_ratio"] = mine.cpu / theirs.cpu;
    }
    frames.report(state);
}
// The three scales and two shapes of one place run one after another, so that the ratios between
// them compare frames drawn moments apart on a machine whose speed drifts.
BENCHMARK(BM_DrawRaceFrame)
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (const int place : {0, 2, 5, 8, 10}) {
            for (const int scale : {1, 2, 4}) {
                for (const int width : {640, 854}) {
                    b->Args({place, scale, width});
                }
            }
        }
    })
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_CopyBackBufferFloor)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
