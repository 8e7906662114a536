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
    static constexpr size_t blockFrames = 256;

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

// Mixes a recording as the desktop would have played it: each call takes effect at the sample of
// its clock reading, counted from `originMilliseconds` (sample 0); calls before the origin take
// effect at sample 0. After the last call the mix runs on until everything is quiet, at most
// `tailSeconds` longer. Returns interleaved 16-bit stereo samples at soundRate.
std::vector<int16_t> mixRecording(const SoundBank& bank, const std::vector<RecordedSound>& calls,
                                  uint32_t originMilliseconds, double tailSeconds);
