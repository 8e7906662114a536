#pragma once
// The game's own mixer: plays the loop slots and one-shot clips of the SoundFrames it is given
// and mixes them into 16-bit stereo at soundRate. Both backends use it: the desktop backend runs
// it in SDL2_mixer's music hook on the audio thread, the headless backend mixes its recording
// into a WAV file with it. Its arithmetic depends only on the frames and where in the stream they
// arrive, so the same frames at the same places always give the same samples.
//
// Who calls what: one thread at a time. The owner applies frames and mutes between calls to
// render; nothing here locks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/sound.h"

class SoundMixer {
public:
    // `bank` (not owned) must outlive the mixer.
    explicit SoundMixer(const SoundBank* bank);

    // New targets for the loop slots (when the frame sets them) and the clips to start, heard
    // from the next rendered sample on.
    void apply(const SoundFrame& frame);
    // Muting fades the whole mix out in 10 ms and then gives exact zeros; unmuting fades it in.
    // The voices play on meanwhile, so unmuting finds them where they would be.
    void setMuted(bool muted);
    // Mixes `frames` stereo frames into `out` (2 x frames values, left first).
    void render(int16_t* out, size_t frames);
    // render mixes in blocks of this many stereo frames, counted from the start of each call; a
    // loop slot that has faded out takes its next clip at a block's end. Spans cut into render
    // calls at whole blocks give the same samples as one call.
    static constexpr size_t blockFrames = 256;
    // True when nothing sounds: no loop with volume or fading, no clip playing, no fade of the
    // whole mix under way.
    bool quiet() const;

private:
    struct Loop {
        int32_t clip = -1;
        int32_t nextClip = -1; // the clip to switch to once this one has faded out
        double position = 0.0;
        float rate = 1.0f;
        float left = 0.0f;
        float right = 0.0f;
        float targetRate = 1.0f;
        float targetLeft = 0.0f;
        float targetRight = 0.0f;
    };
    struct Shot {
        int32_t clip = -1; // -1: this slot plays nothing
        double position = 0.0;
        float rate = 1.0f;
        float left = 0.0f;
        float right = 0.0f;
    };
    static constexpr int shotSlots = 24;

    void setLoop(Loop& loop, const LoopVoice& voice);
    void startShot(const OneShot& shot);
    void mixLoop(Loop& loop, size_t frames);
    void mixShot(Shot& shot, size_t frames);

    const SoundBank* bank;
    Loop loops[loopVoiceCount];
    LoopVoice wanted[loopVoiceCount]; // the last targets asked for each slot
    Shot shots[shotSlots];
    float master = 1.0f;
    float masterTarget = 1.0f;
    float mixLeft[blockFrames] = {};
    float mixRight[blockFrames] = {};
};

// One call the game made on the sound, as the headless backend records it: a frame, or the
// mute switched on or off, with the virtual clock's reading at the call.
struct RecordedSound {
    enum class Kind { Frame, Mute, Unmute };
    uint32_t milliseconds = 0;
    Kind kind = Kind::Frame;
    SoundFrame frame;
};

// Mixes a recording as the desktop would have played it, one call at a time as the calls are
// made, and hands the mixed sound on piece by piece: a recording of any length takes the same
// small memory. Each call takes effect at the sample of its clock reading, counted from
// `originMilliseconds` (sample 0) as the race's frame timer counts: modulo 2^32, so that a clock
// that wraps around goes on counting forwards; readings up to 2^31 ms before the origin are
// earlier calls, which take effect at sample 0. The same calls always give the same samples,
// however the mixed sound is handed on.
//
// Typical use (vantor-run's --audio, mixRecording):
//   RecordingMixer mixing(&bank, origin, [&](const int16_t* samples, size_t frames) { ... });
//   mixing.take(call); ...          // every call, in the order made
//   mixing.finish(5.0);
class RecordingMixer {
public:
    // Receives the next `frames` stereo frames of the mix (2 x frames values, left first), valid
    // until it returns; never more than pieceFrames at once.
    using Sink = std::function<void(const int16_t* samples, size_t frames)>;
    static constexpr size_t pieceFrames = 16384;

    // `bank` (not owned) must outlive the mixer.
    RecordingMixer(const SoundBank* bank, uint32_t originMilliseconds, Sink handOn);
    // Mixes up to the sample of `call`'s clock reading, handing it on, then lets the call take
    // effect.
    void take(const RecordedSound& call);
    // After the last call: mixes on until everything is quiet, at most `tailSeconds` longer.
    void finish(double tailSeconds);
    // Stereo frames handed on so far.
    uint64_t framesMixed() const { return mixed; }

private:
    void mixTo(uint64_t frames);

    SoundMixer mixer;
    uint32_t origin;
    Sink sink;
    uint64_t mixed = 0;
    std::vector<int16_t> piece;
};

// The whole recording mixed at once by a RecordingMixer, for the tests and benchmarks: returns
// interleaved 16-bit stereo samples at soundRate.
std::vector<int16_t> mixRecording(const SoundBank& bank, const std::vector<RecordedSound>& calls,
                                  uint32_t originMilliseconds, double tailSeconds);
