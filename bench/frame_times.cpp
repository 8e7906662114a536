// Per-frame timing shared by the frame benchmarks.
#include "frame_times.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <utility>

#include "gfx/raster.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"

Instant now()
{
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    const auto real = std::chrono::steady_clock::now().time_since_epoch();
    return {std::chrono::duration<double, std::micro>(real).count(),
            static_cast<double>(cpu.tv_sec) * 1e6 + static_cast<double>(cpu.tv_nsec) * 1e-3};
}

FrameTimes::FrameTimes()
{
    real.reserve(1 << 17);
    cpu.reserve(1 << 17);
}

void FrameTimes::add(Instant start, Instant end)
{
    real.push_back(end.real - start.real);
    cpu.push_back(end.cpu - start.cpu);
}

void FrameTimes::report(benchmark::State& state, bool withCpu)
{
    for (auto* times : {&real, &cpu}) {
        if (times->empty() || (times == &cpu && !withCpu)) {
            break;
        }
        std::sort(times->begin(), times->end());
        const std::size_t n = times->size();
        const std::string name = times == &cpu ? "cpu_" : "";
        state.counters[name + "median_us"] = (*times)[n / 2];
        state.counters[name + "p99_us"] = (*times)[std::min(n - 1, n * 99 / 100)];
    }
    state.counters["frames"] = static_cast<double>(real.size());
}

Instant FrameTimes::medians()
{
    Instant middle{0.0, 0.0};
    for (auto [times, median] : {std::pair{&real, &middle.real}, std::pair{&cpu, &middle.cpu}}) {
        if (!times->empty()) {
            std::sort(times->begin(), times->end());
            *median = (*times)[times->size() / 2];
        }
    }
    return middle;
}

void BM_CopyBackBufferFloor(benchmark::State& state)
{
    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    create(&window);
    Surface picture;
    resizeSurface(&picture, 640, 480);
    fillSurface(&picture, 0x6080C0);
    FrameTimes frames;
    for (auto _ : state) {
        const Instant start = now();
        blit(&window.backBuffer, 0, 0, picture, PixelRect{0, 0, 640, 480}, RasterOp::Copy);
        benchmark::ClobberMemory();
        frames.add(start, now());
    }
    frames.report(state);
    releaseWindow(&window);
}
