// The game's own mixer of loop slots and one-shot clips.
#include "core/exact_maths.h"
#include "audio/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// How far a loop's gains and rate move toward their targets per sample: time constants of about
// 15 ms for loudness and 30 ms for pitch, long enough to never click, short enough to follow
// the game frame by frame.
constexpr float gainGlide = 1.0f / (0.015f * static_cast<float>(soundRate));
constexpr float rateGlide = 1.0f / (0.030f * static_cast<float>(soundRate));
// A gain below this is silence.
constexpr float inaudible = 1e-5f;
// The whole mix's fade on mute and unmute: 10 ms.
constexpr float masterStep = 1.0f / (0.010f * static_cast<float>(soundRate));
// Room left above the loudest single voice, so that several together rarely reach full scale.
constexpr float headroom = 0.5f;

// Equal-power panning: the left and right gains of `volume` at `pan` (-1 left to +1 right).
void panGains(float volume, float pan, float* left, float* right)
{
    const float clamped = std::clamp(pan, -1.0f, 1.0f);
    const float volumeClamped = std::clamp(volume, 0.0f, 1.0f);
    const double angle = (static_cast<double>(clamped) + 1.0) * 0.78539816339744831;
    *left = volumeClamped * static_cast<float>(cosineOf(angle));
    *right = volumeClamped * static_cast<float>(sineOf(angle));
}

bool clipExists(const SoundBank* bank, int32_t clip)
{
    return clip >= 0 && static_cast<size_t>(clip) < bank->clips.size() &&
           !bank->clips[static_cast<size_t>(clip)].samples.empty();
}

} // namespace

SoundMixer::SoundMixer(const SoundBank* soundBank) : bank(soundBank) {}

void SoundMixer::setLoop(Loop& loop, const LoopVoice& voice)
{
    const int32_t clip = clipExists(bank, voice.clip) ? voice.clip : -1;
    float left = 0.0f;
    float right = 0.0f;
    if (clip >= 0)
        panGains(voice.volume, voice.pan, &left, &right);
    const bool silentNow = loop.left < inaudible && loop.right < inaudible;
    if (clip != loop.clip) {
        if (silentNow || loop.clip < 0) {
            loop.clip = clip;
            loop.nextClip = -1;
            loop.position = 0.0;
        } else {
            // Fade the old clip out first; the new one starts once it is silent.
            loop.nextClip = clip;
            loop.targetLeft = 0.0f;
            loop.targetRight = 0.0f;
            loop.targetRate = std::max(voice.rate, 0.0f);
            return;
        }
    }
    loop.nextClip = -1;
    loop.targetLeft = left;
    loop.targetRight = right;
    loop.targetRate = std::max(voice.rate, 0.0f);
    // A voice that starts from silence starts at its own pitch instead of gliding to it.
    if (silentNow)
        loop.rate = loop.targetRate;
}

void SoundMixer::startShot(const OneShot& shot)
{
    if (!clipExists(bank, shot.clip) || shot.volume <= 0.0f)
        return;
    // A free slot, or else the clip nearest its end gives way.
    Shot* slot = &shots[0];
    double furthest = -1.0;
    for (Shot& candidate : shots) {
        if (candidate.clip < 0) {
            slot = &candidate;
            break;
        }
        const double length =
            static_cast<double>(bank->clips[static_cast<size_t>(candidate.clip)].samples.size());
        const double done = candidate.position / length;
        if (done > furthest) {
            furthest = done;
            slot = &candidate;
        }
    }
    slot->clip = shot.clip;
    slot->position = 0.0;
    slot->rate = std::max(shot.rate, 0.01f);
    panGains(shot.volume, shot.pan, &slot->left, &slot->right);
}

void SoundMixer::apply(const SoundFrame& frame)
{
    if (frame.setsLoops) {
        for (int i = 0; i < loopVoiceCount; ++i) {
            wanted[i] = frame.loops[i];
            setLoop(loops[i], frame.loops[i]);
        }
    }
    for (int i = 0; i < std::min(frame.shotCount, maxShotsPerFrame); ++i)
        startShot(frame.shots[i]);
}

void SoundMixer::setMuted(bool muted) { masterTarget = muted ? 0.0f : 1.0f; }

void SoundMixer::mixLoop(Loop& loop, size_t frames)
{
    if (loop.clip < 0)
        return;
    const std::vector<float>& samples = bank->clips[static_cast<size_t>(loop.clip)].samples;
    const auto length = static_cast<double>(samples.size());
    const size_t last = samples.size() - 1;
    float rate = loop.rate;
    float left = loop.left;
    float right = loop.right;
    double position = loop.position;
    for (size_t i = 0; i < frames; ++i) {
        rate += (loop.targetRate - rate) * rateGlide;
        left += (loop.targetLeft - left) * gainGlide;
        right += (loop.targetRight - right) * gainGlide;
        const auto index = static_cast<size_t>(position);
        const float fraction = static_cast<float>(position - static_cast<double>(index));
        const float a = samples[index];
        const float b = samples[index == last ? 0 : index + 1];
        const float value = a + (b - a) * fraction;
        mixLeft[i] += value * left;
        mixRight[i] += value * right;
        position += static_cast<double>(rate);
        while (position >= length)
            position -= length;
    }
    loop.rate = rate;
    loop.left = left;
    loop.right = right;
    loop.position = position;
    if (loop.targetLeft == 0.0f && loop.targetRight == 0.0f && left < inaudible &&
        right < inaudible) {
        loop.left = 0.0f;
        loop.right = 0.0f;
        if (loop.nextClip >= 0) {
            // The old clip has faded out: the slot goes on with the one asked for last.
            const int32_t slot = static_cast<int32_t>(&loop - loops);
            loop.clip = -1;
            setLoop(loop, wanted[slot]);
        }
    }
}

void SoundMixer::mixShot(Shot& shot, size_t frames)
{
    const std::vector<float>& samples = bank->clips[static_cast<size_t>(shot.clip)].samples;
    const auto last = static_cast<double>(samples.size() - 1);
    double position = shot.position;
    for (size_t i = 0; i < frames; ++i) {
        if (position >= last) {
            shot.clip = -1;
            return;
        }
        const auto index = static_cast<size_t>(position);
        const float fraction = static_cast<float>(position - static_cast<double>(index));
        const float value = samples[index] + (samples[index + 1] - samples[index]) * fraction;
        mixLeft[i] += value * shot.left;
        mixRight[i] += value * shot.right;
        position += static_cast<double>(shot.rate);
    }
    shot.position = position;
}

void SoundMixer::render(int16_t* out, size_t frames)
{
    while (frames > 0) {
        const size_t block = std::min(frames, blockFrames);
        std::fill(mixLeft, mixLeft + block, 0.0f);
        std::fill(mixRight, mixRight + block, 0.0f);
        for (Loop& loop : loops)
            mixLoop(loop, block);
        for (Shot& shot : shots) {
            if (shot.clip >= 0)
                mixShot(shot, block);
        }
        for (size_t i = 0; i < block; ++i) {
            if (master < masterTarget)
                master = std::min(masterTarget, master + masterStep);
            else if (master > masterTarget)
                master = std::max(masterTarget, master - masterStep);
            const float gain = master * headroom;
            const float left = std::clamp(mixLeft[i] * gain, -1.0f, 1.0f);
            const float right = std::clamp(mixRight[i] * gain, -1.0f, 1.0f);
            out[2 * i] = static_cast<int16_t>(std::lrint(left * 32767.0f));
            out[2 * i + 1] = static_cast<int16_t>(std::lrint(right * 32767.0f));
        }
        out += 2 * block;
        frames -= block;
    }
}

bool SoundMixer::quiet() const
{
    if (master != masterTarget)
        return false;
    for (const Loop& loop : loops) {
        if (loop.clip >= 0 && (loop.left > 0.0f || loop.right > 0.0f || loop.targetLeft > 0.0f ||
                               loop.targetRight > 0.0f))
            return false;
    }
    for (const Shot& shot : shots) {
        if (shot.clip >= 0)
            return false;
    }
    return true;
}

RecordingMixer::RecordingMixer(const SoundBank* bank, uint32_t originMilliseconds, Sink handOn)
    : mixer(bank), origin(originMilliseconds), sink(std::move(handOn)), piece(2 * pieceFrames)
{
}

void RecordingMixer::mixTo(uint64_t frames)
{
    // Pieces of whole mixing blocks: the mixer's blocks fall where they would in one render call
    // of the whole span, so the samples are the same however the span is cut.
    static_assert(pieceFrames % SoundMixer::blockFrames == 0);
    while (mixed < frames) {
        const auto count = static_cast<size_t>(std::min<uint64_t>(frames - mixed, pieceFrames));
        mixer.render(piece.data(), count);
        sink(piece.data(), count);
        mixed += count;
    }
}

void RecordingMixer::take(const RecordedSound& call)
{
    const auto since = static_cast<int32_t>(call.milliseconds - origin);
    mixTo(static_cast<uint64_t>(std::max(0, since)) * soundRate / 1000);
    switch (call.kind) {
    case RecordedSound::Kind::Frame: mixer.apply(call.frame); break;
    case RecordedSound::Kind::Mute: mixer.setMuted(true); break;
    case RecordedSound::Kind::Unmute: mixer.setMuted(false); break;
    }
}

void RecordingMixer::finish(double tailSeconds)
{
    const uint64_t limit = mixed + static_cast<uint64_t>(tailSeconds * soundRate);
    while (!mixer.quiet() && mixed < limit)
        mixTo(std::min(limit, mixed + 1024));
}

std::vector<int16_t> mixRecording(const SoundBank& bank, const std::vector<RecordedSound>& calls,
                                  uint32_t originMilliseconds, double tailSeconds)
{
    std::vector<int16_t> samples;
    RecordingMixer mixing(&bank, originMilliseconds, [&](const int16_t* piece, size_t frames) {
        samples.insert(samples.end(), piece, piece + 2 * frames);
    });
    for (const RecordedSound& call : calls)
        mixing.take(call);
    mixing.finish(tailSeconds);
    return samples;
}
