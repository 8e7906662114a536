#pragma once
// What the game hands the platform to be heard. The game's sound code makes a SoundBank of clips
// once and, every race frame (and on menu keys), a SoundFrame: the targets of the continuous
// voices and the clips to start now. The platform only mixes; what is heard and how loud is the
// game's decision. Every sample is mono float, -1 to 1, at soundRate.

#include <cstdint>
#include <vector>

// Samples per second of every clip and of the mixed stereo output.
inline constexpr int soundRate = 44100;
// Continuous voices (engines, tyres in snow, the oil hiss), each in a fixed slot.
inline constexpr int loopVoiceCount = 8;
// Clips one SoundFrame can start; further ones are left out.
inline constexpr int maxShotsPerFrame = 16;

// One sound: mono samples at soundRate.
struct SoundClip {
    std::vector<float> samples;
};

// Every clip the game plays, by number. Made once by the game's sound code and kept, unchanged,
// for the whole run: the platform reads it (from its audio thread on the desktop) until exit.
struct SoundBank {
    std::vector<SoundClip> clips;
};

// A continuous voice: its clip played round and round. The mixer glides from the voice's current
// rate, volume and pan to these in a few hundredths of a second, so a change never clicks.
struct LoopVoice {
    int32_t clip = -1;   // the clip in the bank; -1 is silence
    float rate = 1.0f;   // playback speed: 2 sounds an octave higher
    float volume = 0.0f; // 0 to 1
    float pan = 0.0f;    // -1 left, 0 centre, +1 right
};

// A clip played once from its start.
struct OneShot {
    int32_t clip = -1;
    float volume = 1.0f;
    float pan = 0.0f;
    float rate = 1.0f;
};

// What one game frame asks of the sound.
struct SoundFrame {
    // true: the loop slots take the targets below; false: they keep the ones they have (the
    // screens around the race only start clips).
    bool setsLoops = false;
    LoopVoice loops[loopVoiceCount];
    int shotCount = 0;
    OneShot shots[maxShotsPerFrame];

    // Adds a clip to start, unless the frame already holds maxShotsPerFrame.
    void start(const OneShot& shot)
    {
        if (shotCount < maxShotsPerFrame)
            shots[shotCount++] = shot;
    }
};
