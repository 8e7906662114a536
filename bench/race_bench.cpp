// What a race costs, played through the real game on the headless backend: the whole race frame
// (raceOnPaint: timer, keys, opponents, world update, camera, drawing, finish test), the race
// set-up, and a process start up to the first menu frame, with the floor of one plain copy of
// the 640 x 480 back buffer in the same run.
//
// BM_RaceFrame: whole races on the long, steep, sharp track with 32 cars, driven by the automatic
// driver from the grid to the finish at 60 frames per second of virtual clock. Every call of
// raceOnPaint made by the real race loop is timed; the frames are grouped by where the player's
// car is when the frame starts: the start (the first 5 % of the way, countdown included), around
// a quarter, half and three quarters of the way (within 2.5 % either side) and near the finish
// (the last 5 %), and all frames together (Arg 5).
//
// BM_RaceSetUp: from the controls screen's last frame to the race's first frame, everything
// runRace does in between (timer, track, brushes, lists, race pictures, font, gauges, field), on
// the same track and field, each race left with Escape after its first frame. The controls
// screen's freeing of its pictures and the present of its last frame fall inside the time too.
//
// BM_StartToMenu: spawns first-menu-frame (the game on the headless backend) and times from the
// spawn until it reports its first presented menu frame.
//
// BM_RaceFrameAsThePageTimesIt: the race frame paced and timed as the web page times its own
// (below), for bench/web_bench.sh.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "frame_times.h"
#include "game/controls_screen.h"
#include "game/game.h"
#include "game/race_loop.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "race_player.h"
#include "track/track.h"

extern char** environ;

namespace {

// The long track, steepest hills, sharpest turns, 32 cars, normal opponents and grid.
RacePlan benchPlan(uint32_t seed)
{
    RacePlan plan;
    plan.seed = seed;
    plan.settings = RaceSettings{2, 2, 2, 3, 1, 1};
    plan.drive = Drive::Auto;
    plan.stepMs = 16;
    return plan;
}

// The frames of the races played so far, by place in the race (start, 25, 50, 75 %, finish).
constexpr int placeCount = 5;
const char* const placeNames[placeCount + 1] = {"start", "25%", "50%", "75%", "finish", "all"};
FrameTimes racePlaces[placeCount + 1];

// The place of a frame that starts with the player `fraction` of the way to the finish; -1
// between the places.
int placeOf(float fraction)
{
    if (fraction < 0.05f)
        return 0;
    if (fraction >= 0.95f)
        return 4;
    for (int quarter = 1; quarter <= 3; ++quarter) {
        const float centre = 0.25f * static_cast<float>(quarter);
        if (fraction >= centre - 0.025f && fraction <= centre + 0.025f)
            return quarter;
    }
    return -1;
}

// Stands in the window's paint slot for raceOnPaint and times it.
void timedRaceOnPaint(Window* window)
{
    const float finish = static_cast<float>(raceState.track->segmentCount - 80) * segmentLength;
    const int place = placeOf(raceState.cars[0]->position.z / finish);
    const Instant start = now();
    raceOnPaint(window);
    const Instant end = now();
    if (place >= 0)
        racePlaces[place].add(start, end);
    racePlaces[placeCount].add(start, end);
}

// Plays one whole game of `plan` with `hook` called at every pump before the player's script.
RacePlayer playGame(const RacePlan& plan, const std::function<void(HeadlessBackend&)>& hook)
{
    HeadlessBackend backend;
    backend.setDefaultAnswer(false);
    RacePlayer player(plan);
    backend.setPumpHook([&](HeadlessBackend& b) {
        hook(b);
        player.onPump(b);
    });
    runGame(&backend);
    return player;
}

// Three whole races, played once for all the places.
void playTimedRaces()
{
    static bool played = false;
    if (played)
        return;
    played = true;
    for (uint32_t seed : {20240601u, 777u, 31337u}) {
        const RacePlayer player = playGame(benchPlan(seed), [](HeadlessBackend&) {
            if (raceState.raceRunning && raceState.raceWindow->callbacks.onPaint == raceOnPaint)
                raceState.raceWindow->callbacks.onPaint = timedRaceOnPaint;
        });
        if (player.outcome() != RaceOutcome::Finished)
            std::fprintf(stderr, "race_bench: the race of seed %u did not finish\n", seed);
    }
}

// Arg: the place in the race (0 start, 1-3 the quarters, 4 near the finish, 5 all frames).
void BM_RaceFrame(benchmark::State& state)
{
    for (auto _ : state)
        playTimedRaces();
    const auto place = static_cast<size_t>(state.range(0));
    state.SetLabel(placeNames[place]);
    FrameTimes copy = racePlaces[place];
    copy.report(state);
}
BENCHMARK(BM_RaceFrame)->DenseRange(0, placeCount)->Iterations(1)->Unit(benchmark::kMillisecond);

// The race frame as the web page times its own, for bench/web_bench.sh to set beside the page's:
// a race of the menu's middle settings with Up held from the grid, its first 2400 race frames,
// paced as the page is paced, one frame per refresh of a 60 Hz display; each frame timed from the
// game's resuming after the wait to the start of its next pump (events, the race's step and
// drawing, the present, which keeps no copy as the page keeps none). Paced frames find less of
// their data in the caches than frames drawn back to back: they take about twice as long.
// Besides the whole run's counters, `first_median_us` and `later_median_us` are the medians of its
// first and second half (the page's first half is also the time its browser spends compiling the
// race's code into its faster tier).
// Arg: the race's seed.
void BM_RaceFrameAsThePageTimesIt(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const auto refresh = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / 60;
    FrameTimes frames;
    for (auto _ : state) {
        RacePlan plan;
        plan.seed = static_cast<uint32_t>(state.range(0));
        plan.settings = RaceSettings{1, 1, 1, 1, 1, 1};
        plan.drive = Drive::Up;
        plan.stepMs = 16;
        plan.maxFrames = 2400;
        Instant resumed{};
        bool lastInRace = false;
        Clock::time_point nextRefresh = Clock::now();
        playGame(plan, [&](HeadlessBackend& backend) {
            backend.keepFrames(false);
            const bool inRace = raceState.raceRunning;
            if (inRace && lastInRace)
                frames.add(resumed, now());
            lastInRace = inRace;
            nextRefresh = std::max(nextRefresh + refresh, Clock::now());
            std::this_thread::sleep_until(nextRefresh);
            resumed = now();
        });
    }
    const auto half = frames.real.begin() + static_cast<std::ptrdiff_t>(frames.real.size() / 2);
    const auto medianOf = [](std::vector<double> part) {
        if (part.empty())
            return 0.0;
        const auto middle = part.begin() + static_cast<std::ptrdiff_t>(part.size() / 2);
        std::nth_element(part.begin(), middle, part.end());
        return *middle;
    };
    state.counters["first_median_us"] = medianOf({frames.real.begin(), half});
    state.counters["later_median_us"] = medianOf({half, frames.real.end()});
    frames.report(state);
}
BENCHMARK(BM_RaceFrameAsThePageTimesIt)
    ->DenseRange(1, 5)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The time the controls screen's last frame was drawn, and the race set-up times so far.
Instant controlsPainted{};
bool racePending = false;
FrameTimes setUps;

void timedControlsOnPaint(Window* window)
{
    controlsOnPaint(window);
    controlsPainted = now();
    racePending = true;
}

// Arg: none. Each iteration is one race run on its own window from the controls screen.
void BM_RaceSetUp(benchmark::State& state)
{
    setUps = FrameTimes();
    uint32_t seed = 1;
    for (auto _ : state) {
        RacePlan plan = benchPlan(seed++);
        plan.maxFrames = 1;
        HeadlessBackend backend;
        Window window{};
        window.backend = &backend;
        create(&window);
        RacePlayer player(plan);
        backend.setPumpHook([&](HeadlessBackend& b) {
            if (window.callbacks.onPaint == controlsOnPaint)
                window.callbacks.onPaint = timedControlsOnPaint;
            if (racePending && raceState.raceRunning) {
                setUps.add(controlsPainted, now());
                racePending = false;
            }
            player.onPump(b);
        });
        runRace(&window, raceParameters(plan.settings));
        destroyWindow(&window);
        releaseWindow(&window);
    }
    setUps.report(state);
}
BENCHMARK(BM_RaceSetUp)->Iterations(30)->Unit(benchmark::kMillisecond);

// Arg: none. Each iteration spawns the game and waits for its first menu frame.
void BM_StartToMenu(benchmark::State& state)
{
    const std::string program = FIRST_MENU_FRAME_PATH;
    FrameTimes starts;
    for (auto _ : state) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        char* arguments[] = {const_cast<char*>(program.c_str()), nullptr};
        const Instant start = now();
        pid_t child = 0;
        const int spawned =
            posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        char line[8] = {};
        const ssize_t got = spawned == 0 ? read(pipeEnds[0], line, sizeof line) : -1;
        const Instant shown = now();
        close(pipeEnds[0]);
        int status = 0;
        if (spawned == 0)
            waitpid(child, &status, 0);
        if (got < 4 || std::string(line, 4) != "menu" || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("first-menu-frame did not show its menu");
            return;
        }
        starts.add(start, shown);
    }
    // The time passes in the spawned process: this thread's processor time means nothing.
    starts.report(state, false);
}
BENCHMARK(BM_StartToMenu)->Iterations(21)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_CopyBackBufferFloor)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
