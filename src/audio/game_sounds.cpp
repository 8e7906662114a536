// The game's sounds, synthesised from sines and noise.
#include "audio/game_sounds.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "core/exact_maths.h"
#include "platform/window.h"

namespace {

constexpr double twoPi = 6.283185307179586;
constexpr double rate = soundRate;

// The sounds' own noise source (never the race's random source): xorshift, -1 to 1.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t state;
};

size_t samplesOf(double seconds) { return static_cast<size_t>(seconds * rate); }

// Scales the clip so that its loudest sample is `peak`.
void normalise(std::vector<float>& samples, float peak)
{
    float loudest = 0.0f;
    for (float s : samples)
        loudest = std::max(loudest, std::fabs(s));
    if (loudest > 0.0f) {
        for (float& s : samples)
            s *= peak / loudest;
    }
}

// An engine loop: four firing cycles at engineBaseHz (an exact number of samples each, so the
// loop joins without a seam), harmonic h at strength 1 / h^tilt, the four cycles slightly
// uneven as a real engine's are. `oddBoost` raises the odd harmonics for a buzzier engine.
std::vector<float> engineLoop(double tilt, double oddBoost)
{
    const auto period =
        static_cast<size_t>(rate / static_cast<double>(engineBaseHz)); // 900 samples
    double strengths[13] = {};
    for (int h = 1; h <= 12; ++h) {
        strengths[h] = (h % 2 == 1 ? 1.0 + oddBoost : 1.0) / powerOf(static_cast<double>(h), tilt);
    }
    std::vector<float> samples(4 * period);
    for (size_t n = 0; n < samples.size(); ++n) {
        const double cycle = static_cast<double>(n) / static_cast<double>(period);
        double value = 0.0;
        for (int h = 1; h <= 12; ++h) {
            value += strengths[h] * sineOf(twoPi * h * cycle + 0.7 * h * h);
        }
        // One firing in four a little stronger: the engine's rumble.
        value *= 1.0 + 0.08 * sineOf(twoPi * cycle / 4.0);
        samples[n] = static_cast<float>(value);
    }
    normalise(samples, 0.9f);
    return samples;
}

// A noise loop of `seconds`, shaped by `shape` (called per sample with the raw noise, returns the
// filtered value); its last fifth is faded into its start so that the loop joins seamlessly.
template <class Shape>
std::vector<float> noiseLoop(double seconds, uint32_t seed, Shape shape)
{
    const size_t length = samplesOf(seconds);
    const size_t overlap = length / 5;
    Noise noise(seed);
    std::vector<float> raw(length + overlap);
    for (float& s : raw)
        s = shape(noise.next());
    std::vector<float> samples(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(length));
    for (size_t i = 0; i < overlap; ++i) {
        const float in = static_cast<float>(i) / static_cast<float>(overlap);
        samples[i] = raw[i] * in + raw[length + i] * (1.0f - in);
    }
    normalise(samples, 0.8f);
    return samples;
}

// Snow: low, grainy crunch; noise through a low-pass, its loudness flickering grain by grain.
std::vector<float> snowLoop()
{
    float low = 0.0f;
    float grain = 0.0f;
    Noise grains(99);
    size_t n = 0;
    return noiseLoop(1.0, 7, [&](float white) {
        low += (white - low) * 0.12f;
        if (n++ % 441 == 0)
            grain = 0.4f + 0.6f * std::fabs(grains.next());
        return low * grain;
    });
}

// Oil: a bright hiss; the difference of successive noise samples, gently smoothed.
std::vector<float> hissLoop()
{
    float previous = 0.0f;
    float smooth = 0.0f;
    return noiseLoop(1.0, 11, [&](float white) {
        const float high = white - previous;
        previous = white;
        smooth += (high - smooth) * 0.5f;
        return smooth;
    });
}

// The amplitude envelope of a struck or played sound: `attack` seconds up, then an exponential
// fall with time constant `decay`.
double envelope(double t, double attack, double decay)
{
    if (t < attack)
        return t / attack;
    return exponentialOf(-(t - attack) / decay);
}

// Fades the clip's last `seconds` to zero, so that it ends without a click.
void fadeEnd(std::vector<float>& samples, double seconds)
{
    const size_t fade = std::min(samples.size(), samplesOf(seconds));
    for (size_t i = 0; i < fade; ++i)
        samples[samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);
}

// A heavy thud: a low sine falling from 110 to 40 Hz, with a short burst of dull noise.
std::vector<float> thud()
{
    std::vector<float> samples(samplesOf(0.4));
    Noise noise(3);
    float low = 0.0f;
    double phase = 0.0;
    for (size_t n = 0; n < samples.size(); ++n) {
        const double t = static_cast<double>(n) / rate;
        const double hz = 40.0 + 70.0 * exponentialOf(-t / 0.06);
        phase += twoPi * hz / rate;
        low += (noise.next() - low) * 0.05f;
        samples[n] = static_cast<float>(sineOf(phase) * envelope(t, 0.002, 0.09) +
                                        3.0 * static_cast<double>(low) * envelope(t, 0.001, 0.025));
    }
    normalise(samples, 1.0f);
    fadeEnd(samples, 0.02);
    return samples;
}

// A metallic knock: inharmonic partials that die away fast, the highest first, with a click.
std::vector<float> knock()
{
    constexpr double partials[4] = {380.0, 1010.0, 1740.0, 2650.0};
    constexpr double decays[4] = {0.12, 0.08, 0.05, 0.035};
    constexpr double strengths[4] = {1.0, 0.7, 0.5, 0.35};
    std::vector<float> samples(samplesOf(0.35));
    Noise noise(5);
    for (size_t n = 0; n < samples.size(); ++n) {
        const double t = static_cast<double>(n) / rate;
        double value = 0.0;
        for (int p = 0; p < 4; ++p)
            value +=
                strengths[p] * sineOf(twoPi * partials[p] * t) * envelope(t, 0.001, decays[p]);
        value += 0.8 * static_cast<double>(noise.next()) * envelope(t, 0.0005, 0.003);
        samples[n] = static_cast<float>(value);
    }
    normalise(samples, 1.0f);
    fadeEnd(samples, 0.02);
    return samples;
}

// A soft puff: low-passed noise swelling and fading in a fifth of a second.
std::vector<float> snowPuff()
{
    std::vector<float> samples(samplesOf(0.22));
    Noise noise(17);
    float low = 0.0f;
    for (size_t n = 0; n < samples.size(); ++n) {
        const double t = static_cast<double>(n) / rate;
        low += (noise.next() - low) * 0.2f;
        samples[n] = static_cast<float>(static_cast<double>(low) * envelope(t, 0.03, 0.05));
    }
    normalise(samples, 0.8f);
    fadeEnd(samples, 0.02);
    return samples;
}

// How much of a note's second and third harmonics sound with it.
struct Timbre {
    double second = 0.3;
    double third = 0.15;
};

// Adds one played note to `samples` from `start` seconds: a sine with some of its second and third
// harmonics, `length` seconds long, with a quick attack and a decay.
void addNote(std::vector<float>& samples, double start, double hz, double length, double decay,
             Timbre timbre)
{
    const size_t first = samplesOf(start);
    const size_t count = samplesOf(length);
    for (size_t i = 0; i < count && first + i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double tone = sineOf(twoPi * hz * t) +
                            timbre.second * sineOf(twoPi * 2.0 * hz * t) +
                            timbre.third * sineOf(twoPi * 3.0 * hz * t);
        // The last 10 ms of every note fall to zero, so that notes join without clicks.
        const double release = std::min(1.0, (length - t) / 0.01);
        samples[first + i] += static_cast<float>(tone * envelope(t, 0.005, decay) * release);
    }
}

struct Note {
    double hz;
    double length;
};

// Notes one after the other.
template <size_t N>
std::vector<float> phrase(const Note (&notes)[N], double decay, Timbre timbre = Timbre{})
{
    double total = 0.0;
    for (const Note& note : notes)
        total += note.length;
    std::vector<float> samples(samplesOf(total) + 1);
    double start = 0.0;
    for (const Note& note : notes) {
        addNote(samples, start, note.hz, note.length, decay, timbre);
        start += note.length;
    }
    normalise(samples, 0.9f);
    return samples;
}

SoundBank makeBank()
{
    SoundBank bank;
    bank.clips.resize(gameClipCount);
    const auto set = [&](GameClip clip, std::vector<float> samples) {
        bank.clips[static_cast<size_t>(clip)].samples = std::move(samples);
    };
    set(clipEngineThrottle, engineLoop(0.9, 0.0));
    set(clipEngineCoast, engineLoop(1.7, 0.0));
    set(clipOpponentEngine, engineLoop(1.1, 0.6));
    set(clipSnow, snowLoop());
    set(clipOilHiss, hissLoop());
    set(clipThud, thud());
    set(clipKnock, knock());
    set(clipSnowPuff, snowPuff());
    // The countdown's tones: clean beeps between the idling engines' harmonics, so that they
    // stand out over them; "GO!" an octave up, which the lower tones leave alone.
    set(clipCountdownTone, phrase({Note{520.0, 0.22}}, 0.15, Timbre{0.0, 0.1}));
    set(clipGoTone, phrase({Note{1040.0, 0.45}}, 0.3, Timbre{0.0, 0.1}));
    set(clipMenuTick, phrase({Note{1800.0, 0.03}}, 0.008));
    set(clipMenuConfirm, phrase({Note{660.0, 0.07}, Note{990.0, 0.09}}, 0.06));
    // Won: up a major chord to the octave. Any other place: down, slower, to the low tonic.
    set(clipWinPhrase,
        phrase({Note{523.25, 0.12}, Note{659.25, 0.12}, Note{783.99, 0.12}, Note{1046.5, 0.5}},
               0.25));
    set(clipPlacePhrase,
        phrase({Note{392.0, 0.2}, Note{349.23, 0.2}, Note{311.13, 0.2}, Note{261.63, 0.55}}, 0.3));
    return bank;
}

void playClip(Window* window, GameClip clip, float volume)
{
    SoundFrame frame;
    frame.start(OneShot{clip, volume, 0.0f, 1.0f});
    playSound(window, frame);
}

} // namespace

const SoundBank& gameSoundBank()
{
    static const SoundBank bank = makeBank();
    return bank;
}

void playMenuTick(Window* window) { playClip(window, clipMenuTick, 0.5f); }

void playMenuConfirm(Window* window) { playClip(window, clipMenuConfirm, 0.6f); }
