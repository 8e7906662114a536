#pragma once
// Listening to mixed sound in tests: the loudness of one frequency, the pitch of a periodic
// sound, and where a sound starts. Samples are interleaved 16-bit stereo at soundRate, as the
// mixer writes them.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/sound.h"

namespace sound_support {

// Left and right averaged, from `start` seconds for `seconds`, as doubles.
inline std::vector<double> monoSpan(const std::vector<int16_t>& stereo, double start,
                                    double seconds)
{
    const auto first = static_cast<size_t>(start * soundRate);
    const auto count = static_cast<size_t>(seconds * soundRate);
    std::vector<double> mono;
    for (size_t i = first; i < first + count && 2 * i + 1 < stereo.size(); ++i)
        mono.push_back((stereo[2 * i] + stereo[2 * i + 1]) * 0.5);
    return mono;
}

// The strength of frequency `hz` in the span (the Goertzel filter), in sample units.
inline double toneStrength(const std::vector<double>& mono, double hz)
{
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * hz / soundRate);
    double s1 = 0.0;
    double s2 = 0.0;
    for (double x : mono) {
        const double s0 = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return std::sqrt(std::max(0.0, power)) / static_cast<double>(std::max<size_t>(1, mono.size()));
}

// The fundamental of a periodic span between `lowest` and `highest` hertz, from its
// autocorrelation: the shortest lag whose correlation comes within 10 % of the best one.
inline double pitchOf(const std::vector<double>& mono, double lowest, double highest)
{
    const auto shortest = static_cast<size_t>(soundRate / highest);
    const auto longest = static_cast<size_t>(soundRate / lowest);
    if (mono.size() <= 2 * longest)
        return 0.0;
    std::vector<double> correlation(longest + 2, 0.0);
    double best = 0.0;
    for (size_t lag = shortest; lag <= longest + 1; ++lag) {
        double sum = 0.0;
        for (size_t i = 0; i + lag < mono.size(); ++i)
            sum += mono[i] * mono[i + lag];
        correlation[lag] = sum / static_cast<double>(mono.size() - lag);
        best = std::max(best, correlation[lag]);
    }
    for (size_t lag = shortest + 1; lag <= longest; ++lag) {
        if (correlation[lag] >= 0.9 * best && correlation[lag] >= correlation[lag - 1] &&
            correlation[lag] >= correlation[lag + 1])
            return static_cast<double>(soundRate) / static_cast<double>(lag);
    }
    return 0.0;
}

// The seconds at which a tone of `hz` starts sounding: blocks of 20 ms whose strength rises
// above `fraction` of the strongest block's; the tone counts as sounding until it falls below a
// third of that again, so a fading tone that flickers around the line starts only once.
inline std::vector<double> toneOnsets(const std::vector<int16_t>& stereo, double hz, double seconds,
                                      double fraction)
{
    constexpr double block = 0.02;
    std::vector<double> strengths;
    for (double t = 0.0; t + block <= seconds; t += block)
        strengths.push_back(toneStrength(monoSpan(stereo, t, block), hz));
    const double strongest = *std::max_element(strengths.begin(), strengths.end());
    std::vector<double> onsets;
    bool sounding = false;
    for (size_t i = 0; i < strengths.size(); ++i) {
        if (!sounding && strengths[i] > fraction * strongest) {
            onsets.push_back(static_cast<double>(i) * block);
            sounding = true;
        } else if (sounding && strengths[i] < fraction * strongest / 3.0) {
            sounding = false;
        }
    }
    return onsets;
}

} // namespace sound_support
