// What the sound costs during a race with 32 cars, beside the race frame itself, in one run.
//
// One race on the long, steep, sharp track with 32 cars, driven by the automatic driver at 60
// frames per second of virtual clock for 6000 frames (100 s), the sound recorded by the headless
// backend. Timed:
// - every race frame (raceOnPaint, which works out the frame's sound and hands it over);
// - the frame's sound worked out once more after each frame by a RaceSound of the benchmark's
//   own, from the same race state and events (the game thread's share of the sound);
// - the mixing of the whole recording into 16-bit stereo (the audio thread's share), per second
//   of sound.
// Counters: race_frame_median_us, sound_frame_mean_us, mix_us_per_second, and core_percent: the
// share of one core the sound takes while racing (the frames' sound work at the race's frame rate
// plus the mixing of one second), to be kept at or below 1 %.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "audio/race_sound.h"
#include "controls/player_controls.h"
#include "frame_times.h"
#include "game/game.h"
#include "game/race_loop.h"
#include "platform/headless/headless_backend.h"
#include "audio/sound_mixer.h"
#include "platform/window.h"
#include "race/race_events.h"
#include "race/race_state.h"
#include "race_player.h"

namespace {

FrameTimes raceFrames;

void timedRaceOnPaint(Window* window)
{
    const Instant start = now();
    raceOnPaint(window);
    raceFrames.add(start, now());
}

void BM_SoundDuringRace(benchmark::State& state)
{
    RacePlan plan;
    plan.seed = 20240601;
    plan.settings = RaceSettings{2, 2, 2, 3, 1, 1};
    plan.drive = Drive::Auto;
    plan.stepMs = 16;
    plan.maxFrames = 6000;

    double soundMicroseconds = 0.0;
    uint64_t soundFrames = 0;
    double mixMicroseconds = 0.0;
    double mixedSeconds = 0.0;
    for (auto _ : state) {
        raceFrames = FrameTimes();
        HeadlessBackend backend;
        backend.setDefaultAnswer(false);
        RacePlayer player(plan);
        RaceSound sound;
        bool recording = false;
        player.raceFrameShown = [&](const HeadlessBackend&, uint64_t) {
            if (!raceState.raceRunning)
                return;
            const bool throttle = readRaceControls(raceState.raceWindow).accelerate;
            const Instant start = now();
            const SoundFrame frame = sound.hear(raceState, raceEvents, throttle, 0.016f);
            const Instant end = now();
            benchmark::DoNotOptimize(frame);
            soundMicroseconds += end.cpu - start.cpu;
            ++soundFrames;
        };
        backend.setPumpHook([&](HeadlessBackend& b) {
            if (raceState.raceRunning && !recording) {
                b.recordSound(true);
                recording = true;
                sound.reset();
            }
            if (raceState.raceRunning && raceState.raceWindow->callbacks.onPaint == raceOnPaint)
                raceState.raceWindow->callbacks.onPaint = timedRaceOnPaint;
            player.onPump(b);
        });
        runGame(&backend);

        const Instant start = now();
        const std::vector<int16_t> mix =
            mixRecording(*backend.soundBank(), backend.soundRecording(), plan.seed, 5.0);
        const Instant end = now();
        mixMicroseconds += end.cpu - start.cpu;
        mixedSeconds += static_cast<double>(mix.size() / 2) / soundRate;
    }
    const double soundFrameMean =
        soundMicroseconds / static_cast<double>(std::max<uint64_t>(1, soundFrames));
    const double mixPerSecond = mixMicroseconds / mixedSeconds;
    const double framesPerSecond = 1000.0 / plan.stepMs;
    raceFrames.report(state);
    state.counters["race_frame_median_us"] = state.counters["cpu_median_us"];
    state.counters["sound_frame_mean_us"] = soundFrameMean;
    state.counters["mix_us_per_second"] = mixPerSecond;
    state.counters["core_percent"] =
        (soundFrameMean * framesPerSecond + mixPerSecond) / 1e6 * 100.0;
    state.counters["sound_share_of_race_frame_percent"] =
        (soundFrameMean + mixPerSecond / framesPerSecond) / state.counters["cpu_median_us"] * 100.0;
}
BENCHMARK(BM_SoundDuringRace)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
