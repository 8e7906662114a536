// The cost of showing one frame: one present of the 640x480 back buffer through the desktop
// backend at scale 1 and 2, with SDL's own choice of renderer and with its software renderer
// (both the window's own surface where no graphics hardware draws);
// the scripted backend's present (a plain copy) beside them as the floor; and the share of a
// core that a loop of presents takes when presents wait for the display.
//
// Runs on the display in DISPLAY, or starts its own Xvfb (1920x1080) when there is none.
// Typical: build/release/bench/present_bench --benchmark_repetitions=10
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>
#include <sys/resource.h>

#include "gfx/surface.h"
#include "core/errors.h"
#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_backend.h"
#include "xvfb_display.h"

namespace {

// A back buffer of 640k x 480k pixels.
Surface gameFrame(int k = 1)
{
    Surface frame;
    frame.width = 640 * k;
    frame.height = 480 * k;
    frame.pixels.assign(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height),
                        0x00203040u);
    return frame;
}

// CPU seconds used by the whole process (every thread, also the renderer's).
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Opens a desktop window at `scale` with the renderer chosen by SDL (software: false) or SDL's
// software renderer; presents never wait for the display unless `vsync`.
std::unique_ptr<SdlBackend> openDesktop(benchmark::State& state, int scale, bool software,
                                        bool vsync)
{
    if (software) {
        setenv("SDL_RENDER_DRIVER", "software", 1);
    } else {
        unsetenv("SDL_RENDER_DRIVER");
    }
    SdlBackendOptions options;
    options.scale = scale;
    options.messageBoxes = false;
    options.vsync = vsync;
    auto backend = std::make_unique<SdlBackend>(options);
    if (!backend->openWindow("Vantor present benchmark", 640, 480)) {
        const char* why = lastPlatformError();
        state.SkipWithError(why ? why : "no window");
        return nullptr;
    }
    state.SetLabel(backend->rendererName());
    return backend;
}

void drainEvents(SdlBackend& backend)
{
    PlatformEvent event;
    while (backend.pollEvent(&event)) {
    }
}

// state.range(0): scale; state.range(1): 1 for SDL's software renderer, 0 for SDL's choice.
void desktopPresent(benchmark::State& state)
{
    auto backend = openDesktop(state, static_cast<int>(state.range(0)), state.range(1) != 0, false);
    if (!backend) {
        return;
    }
    Surface frame = gameFrame();
    for (int i = 0; i < 10; ++i) { // first presents set up the renderer's buffers
        backend->present(frame);
    }
    drainEvents(*backend);
    for (auto _ : state) {
        frame.pixels[0] ^= 1u; // a new frame every time
        if (!backend->present(frame)) {
            state.SkipWithError("present failed");
            break;
        }
    }
    drainEvents(*backend);
}

void headlessPresent(benchmark::State& state)
{
    HeadlessBackend backend;
    backend.openWindow("Vantor present benchmark", 640, 480);
    Surface frame = gameFrame();
    for (auto _ : state) {
        frame.pixels[0] ^= 1u;
        backend.present(frame);
        benchmark::DoNotOptimize(backend.lastFrame().pixels.data());
    }
}

// Presents that wait for the display: the frame rate reached and the share of one core the
// process used meanwhile, every thread of the renderer included (an unpaced loop would use a
// whole core). state.range(0): scale; state.range(1): as for desktopPresent; state.range(2): 1
// for the sharp picture (a back buffer of the window's own size), 0 for the classic 640x480.
void pacedPresentCpu(benchmark::State& state)
{
    auto backend = openDesktop(state, static_cast<int>(state.range(0)), state.range(1) != 0, true);
    if (!backend) {
        return;
    }
    Surface frame = gameFrame(state.range(2) != 0 ? static_cast<int>(state.range(0)) : 1);
    backend->present(frame);
    double cpuStart = processCpuSeconds();
    auto wallStart = std::chrono::steady_clock::now();
    int64_t frames = 0;
    for (auto _ : state) {
        frame.pixels[0] ^= 1u;
        backend->present(frame);
        drainEvents(*backend);
        ++frames;
    }
    double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    double cpu = processCpuSeconds() - cpuStart;
    state.counters["frames_per_s"] = static_cast<double>(frames) / wall;
    state.counters["core_share_pct"] = 100.0 * cpu / wall;
    state.counters["paced_by_us"] = backend->pacesPresents() ? 1 : 0;
}

double minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double maximum(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

} // namespace

BENCHMARK(desktopPresent)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"scale", "software"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->ComputeStatistics("min", minimum)
    ->ComputeStatistics("max", maximum);
BENCHMARK(headlessPresent)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", minimum)
    ->ComputeStatistics("max", maximum);
BENCHMARK(pacedPresentCpu)
    ->ArgsProduct({{1, 2}, {0, 1}, {0, 1}})
    ->ArgNames({"scale", "software", "sharp"})
    ->Iterations(180)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    std::unique_ptr<XvfbDisplay> display;
    if (!std::getenv("DISPLAY")) {
        display = std::make_unique<XvfbDisplay>(1920, 1080);
        if (!display->running()) {
            std::fprintf(stderr, "No display and no Xvfb: %s\n", display->failure().c_str());
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
