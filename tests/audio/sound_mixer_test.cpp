// The game's mixer on clips made here: a loop that changes pitch and loudness never clicks, a
// muted mix is exact silence until unmuted, a one-shot plays once where the recording put it (also
// after the clock wrapped), a recording mixed piece by piece gives the samples of one render, and
// a loop slot handed a new clip fades the old one out first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/sound_mixer.h"
#include "sound_support.h"

namespace {

// Clip 0: one period of a 100 Hz sine (a loop); clip 1: 0.1 s of a 1 kHz sine (a one-shot).
SoundBank testBank()
{
    SoundBank bank;
    bank.clips.resize(2);
    for (int n = 0; n < 441; ++n)
        bank.clips[0].samples.push_back(static_cast<float>(std::sin(2.0 * M_PI * n / 441.0)));
    for (int n = 0; n < 4410; ++n)
        bank.clips[1].samples.push_back(
            static_cast<float>(std::sin(2.0 * M_PI * 1000.0 * n / soundRate)));
    return bank;
}

SoundFrame loopFrame(float rate, float volume, float pan = 0.0f)
{
    SoundFrame frame;
    frame.setsLoops = true;
    frame.loops[0] = LoopVoice{0, rate, volume, pan};
    return frame;
}

std::vector<int16_t> render(SoundMixer& mixer, double seconds)
{
    std::vector<int16_t> out(2 * static_cast<size_t>(seconds * soundRate));
    mixer.render(out.data(), out.size() / 2);
    return out;
}

// The largest jump between neighbouring samples of one channel.
int largestStep(const std::vector<int16_t>& stereo)
{
    int largest = 0;
    for (size_t i = 2; i < stereo.size(); ++i)
        largest = std::max(largest, std::abs(stereo[i] - stereo[i - 2]));
    return largest;
}

} // namespace

TEST(SoundMixer, LoopStartsAndChangesPitchAndLoudnessWithoutClicks)
{
    const SoundBank bank = testBank();
    SoundMixer mixer(&bank);
    std::vector<int16_t> all;
    // From silence to full, then three times the pitch at half the loudness, then silence.
    for (const SoundFrame& frame :
         {loopFrame(1.0f, 1.0f), loopFrame(3.0f, 0.5f), loopFrame(3.0f, 0.0f)}) {
        mixer.apply(frame);
        const std::vector<int16_t> part = render(mixer, 0.2);
        all.insert(all.end(), part.begin(), part.end());
    }
    // The steepest a smooth sine of this mix can be: 300 Hz at the loudness of the 100 Hz one.
    const double peak = 32767.0 * 0.5 * std::sqrt(0.5);
    const double smoothest = peak * 2.0 * M_PI * 300.0 / soundRate;
    EXPECT_LE(largestStep(all), static_cast<int>(1.2 * smoothest) + 2);
    // The pitch did change: 100 Hz first, 300 Hz after the change has settled.
    EXPECT_NEAR(sound_support::pitchOf(sound_support::monoSpan(all, 0.1, 0.08), 50, 1000), 100.0,
                2.0);
    EXPECT_NEAR(sound_support::pitchOf(sound_support::monoSpan(all, 0.3, 0.08), 50, 1000), 300.0,
                6.0);
    // And it faded out completely.
    EXPECT_TRUE(mixer.quiet());
    const std::vector<int16_t> after = render(mixer, 0.05);
    EXPECT_EQ(largestStep(after), 0);
}

TEST(SoundMixer, MutedMixIsExactSilenceAndUnmutingBringsTheSoundBack)
{
    const SoundBank bank = testBank();
    SoundMixer mixer(&bank);
    mixer.apply(loopFrame(1.0f, 1.0f, -0.5f));
    render(mixer, 0.1);
    mixer.setMuted(true);
    const std::vector<int16_t> fading = render(mixer, 0.01);
    EXPECT_LE(largestStep(fading), 2000) << "muting must fade, not cut";
    SoundFrame shot;
    shot.start(OneShot{1, 1.0f, 0.0f, 1.0f});
    mixer.apply(shot); // started while muted: unheard
    const std::vector<int16_t> muted = render(mixer, 0.05);
    for (int16_t sample : muted)
        ASSERT_EQ(sample, 0);
    mixer.setMuted(false);
    render(mixer, 0.06); // the fade in, and the rest of the clip started while muted
    const std::vector<int16_t> back = render(mixer, 0.05);
    int loudest = 0;
    for (int16_t sample : back)
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    EXPECT_GT(loudest, 5000);
    // Panned halfway left: the left channel is the louder one.
    double left = 0.0;
    double right = 0.0;
    for (size_t i = 0; i < back.size(); i += 2) {
        left += std::abs(back[i]);
        right += std::abs(back[i + 1]);
    }
    EXPECT_GT(left, 2.0 * right);
}

TEST(SoundMixer, RecordingPlacesEachCallAtItsClockReadingAndRunsOnUntilQuiet)
{
    const SoundBank bank = testBank();
    std::vector<RecordedSound> calls(1);
    calls[0].milliseconds = 1500; // 500 ms after the origin
    calls[0].frame.start(OneShot{1, 1.0f, 0.0f, 1.0f});
    const std::vector<int16_t> mix = mixRecording(bank, calls, 1000, 5.0);
    size_t first = 0;
    while (first < mix.size() && mix[first] == 0)
        ++first;
    // The clip's first sample is 0 (a sine), so its first sound is its second sample.
    EXPECT_EQ(first / 2, 22050u + 1);
    // It runs until the 0.1 s clip has ended, not the five seconds allowed.
    EXPECT_NEAR(static_cast<double>(mix.size()) / 2.0, 22050.0 + 4410.0, 1100.0);
    EXPECT_EQ(mix, mixRecording(bank, calls, 1000, 5.0));
}

TEST(SoundMixer, RecordingCountsClockReadingsOnAcrossTheClocksWrap)
{
    // The race set up 300 ms before the clock wraps: a clip started 500 ms after the wrap is
    // heard 800 ms into the mix; a call from before the set-up takes effect at its start.
    const SoundBank bank = testBank();
    const uint32_t origin = UINT32_MAX - 299;
    std::vector<RecordedSound> calls(3);
    calls[0].milliseconds = origin - 1000;
    calls[0].kind = RecordedSound::Kind::Mute;
    calls[1].milliseconds = origin;
    calls[1].kind = RecordedSound::Kind::Unmute;
    calls[2].milliseconds = 500;
    calls[2].frame.start(OneShot{1, 1.0f, 0.0f, 1.0f});
    const std::vector<int16_t> mix = mixRecording(bank, calls, origin, 5.0);
    size_t first = 0;
    while (first < mix.size() && mix[first] == 0)
        ++first;
    EXPECT_EQ(first / 2, 35280u + 1);
    EXPECT_NEAR(static_cast<double>(mix.size()) / 2.0, 35280.0 + 4410.0, 1100.0);
}

TEST(SoundMixer, RecordingHandedOnInPiecesGivesTheSamplesOfOneRender)
{
    // A span of several pieces, the loop slot switching from the 100 Hz clip to the 1 kHz one
    // inside it: handed on in pieces, the mix equals one render of the same span, no sample lost,
    // doubled or moved at the seams.
    const SoundBank bank = testBank();
    std::vector<RecordedSound> calls(3);
    calls[0].milliseconds = 1000;
    calls[0].frame = loopFrame(1.0f, 1.0f);
    calls[1].milliseconds = 1250;
    calls[1].frame.setsLoops = true;
    calls[1].frame.loops[0] = LoopVoice{1, 1.0f, 1.0f, 0.0f};
    calls[2].milliseconds = 2250; // the end of the compared span
    calls[2].kind = RecordedSound::Kind::Mute;
    size_t largestPiece = 0;
    std::vector<int16_t> pieces;
    RecordingMixer mixing(&bank, 1000, [&](const int16_t* samples, size_t frames) {
        largestPiece = std::max(largestPiece, frames);
        pieces.insert(pieces.end(), samples, samples + 2 * frames);
    });
    for (const RecordedSound& call : calls)
        mixing.take(call);
    EXPECT_EQ(mixing.framesMixed(), 55125u);
    EXPECT_EQ(largestPiece, RecordingMixer::pieceFrames);

    SoundMixer mixer(&bank);
    mixer.apply(calls[0].frame);
    std::vector<int16_t> whole(2 * 55125);
    mixer.render(whole.data(), 11025);
    mixer.apply(calls[1].frame);
    mixer.render(whole.data() + 2 * 11025, 44100);
    EXPECT_EQ(pieces, whole);
}

TEST(SoundMixer, SlotGivenAnotherClipFadesTheOldOneOutBeforeTheNewOneSounds)
{
    const SoundBank bank = testBank();
    SoundMixer mixer(&bank);
    mixer.apply(loopFrame(1.0f, 1.0f));
    render(mixer, 0.1);
    SoundFrame other;
    other.setsLoops = true;
    other.loops[0] = LoopVoice{1, 1.0f, 1.0f, 0.0f}; // the 1 kHz clip, looped
    mixer.apply(other);
    const std::vector<int16_t> change = render(mixer, 0.3);
    const double smoothest = 32767.0 * 0.5 * std::sqrt(0.5) * 2.0 * M_PI * 1000.0 / soundRate;
    EXPECT_LE(largestStep(change), static_cast<int>(1.2 * smoothest) + 2);
    const std::vector<double> settled = sound_support::monoSpan(change, 0.2, 0.05);
    EXPECT_GT(sound_support::toneStrength(settled, 1000.0),
              10.0 * sound_support::toneStrength(settled, 100.0));
}
