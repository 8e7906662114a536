#pragma once
// Per-frame timing shared by the frame benchmarks: each frame is timed on its own in real time
// and in the thread's processor time (which other work on a shared machine does not inflate),
// and the median and 99th percentile of a run are reported as counters of the benchmark.

#include <benchmark/benchmark.h>

#include <vector>

// Real time and the thread's processor time, in microseconds.
struct Instant {
    double real;
    double cpu;
};
Instant now();

// The times of every frame of a run.
struct FrameTimes {
    std::vector<double> real;
    std::vector<double> cpu;

    FrameTimes();
    void add(Instant start, Instant end);
    // Median and 99th percentile of both as counters `median_us`, `p99_us`, `cpu_median_us`,
    // `cpu_p99_us` (the processor times left out when `withCpu` is false, for times that span
    // other processes), and the frame count as `frames`. Sorts the times. Nothing is reported
    // for an empty run.
    void report(benchmark::State& state, bool withCpu = true);
    // The median real and processor times of the run, in microseconds. Sorts the times.
    Instant medians();
};

// The floor of every frame: one plain copy of a 640 x 480 picture into a window's back buffer,
// timed as a frame.
void BM_CopyBackBufferFloor(benchmark::State& state);
