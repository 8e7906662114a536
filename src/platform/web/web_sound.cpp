// The web backend's sound: the game's own mixer on the page's thread, its output scheduled as Web
// Audio buffers by the audio clock.
#include "platform/web/web_backend.h"

#include <emscripten.h>

#include <cstdio>

#include "platform/sound.h"

namespace {

// The mixed sound queued ahead of the audio clock: when less than the low mark is left at a
// present, as much is mixed as fills it to the high mark. A few frames of the display either way,
// so that a late frame never leaves the speakers without sound, in a buffer every third frame or
// so; what the game starts is heard about 0.06 s later.
constexpr double soundLowSeconds = 0.04;
constexpr double soundHighSeconds = 0.09;

// clang-format off
// Opens the page's audio at the mixer's rate; false when the browser has no Web Audio.
EM_JS(int, openPageSound, (int rate), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
        return 0;
    }
    try {
        Module.vantorSound = { context: new Context({ sampleRate: rate }), start: 0, queued: 0 };
        Module.vantorSound.context.onstatechange = () => Module.vantorPage.writeReadings();
        Module.vantorPage.writeReadings();
        return 1;
    } catch (error) {
        console.warn('No sound: ' + error.message);
        return 0;
    }
});

EM_JS(void, resumePageSound, (), {
    const sound = Module.vantorSound;
    if (sound && sound.context.state == 'suspended') {
        sound.context.resume();
    }
});

// How many stereo frames to mix now: none while the sound queued reaches `low` seconds past the
// audio clock (or the sound is suspended), otherwise as many as make it reach `high`. After a gap
// (the start, or a page that was hidden) the queue starts again a little after the clock.
EM_JS(int, pageSoundFramesWanted, (double low, double high, int rate), {
    const sound = Module.vantorSound;
    if (!sound || sound.context.state != 'running') {
        return 0;
    }
    const now = sound.context.currentTime;
    const end = sound.start + sound.queued / rate;
    if (end < now) {
        sound.start = now + 0.01;
        sound.queued = 0;
    } else if (end >= now + low) {
        return 0;
    }
    return Math.max(0, Math.round((now + high - sound.start) * rate) - sound.queued);
});

// Schedules `frames` mixed stereo frames (two channels of floats at `left` and `right`) right
// after those queued before.
EM_JS(void, queuePageSound, (const float* left, const float* right, int frames, int rate), {
    const sound = Module.vantorSound;
    const buffer = sound.context.createBuffer(2, frames, rate);
    buffer.copyToChannel(HEAPF32.subarray(left >> 2, (left >> 2) + frames), 0);
    buffer.copyToChannel(HEAPF32.subarray(right >> 2, (right >> 2) + frames), 1);
    const source = sound.context.createBufferSource();
    source.buffer = buffer;
    source.connect(sound.context.destination);
    source.start(sound.start + sound.queued / rate);
    sound.queued += frames;
});
// clang-format on

} // namespace

void WebBackend::startSound(const SoundBank* bank)
{
    if (mixer || bank == nullptr) {
        return;
    }
    if (!openPageSound(soundRate)) {
        std::fprintf(stderr, "vantor: no sound (the browser offers no Web Audio); the game plays "
                             "on silent\n");
        std::fflush(stderr);
        return;
    }
    mixer = std::make_unique<SoundMixer>(bank);
    mixer->setMuted(mutedWanted);
}

void WebBackend::playSound(const SoundFrame& frame)
{
    if (!mixer) {
        return;
    }
    if (page.soundRuns != 0) {
        mixer->apply(frame);
        return;
    }
    // Suspended until the player's first key or click: the engines' targets are kept, the clips
    // are dropped rather than all heard at once when the sound starts.
    SoundFrame loopsOnly = frame;
    loopsOnly.shotCount = 0;
    mixer->apply(loopsOnly);
}

void WebBackend::muteSound(bool muted)
{
    mutedWanted = muted;
    if (mixer) {
        mixer->setMuted(muted);
    }
}

void WebBackend::wakeSound()
{
    if (mixer) {
        resumePageSound();
    }
}

void WebBackend::feedSound()
{
    if (!mixer) {
        return;
    }
    const int frames = pageSoundFramesWanted(soundLowSeconds, soundHighSeconds, soundRate);
    if (frames <= 0) {
        return;
    }
    const size_t count = static_cast<size_t>(frames);
    mixed.resize(2 * count);
    left.resize(count);
    right.resize(count);
    mixer->render(mixed.data(), count);
    for (size_t i = 0; i < count; ++i) {
        left[i] = static_cast<float>(mixed[2 * i]) / 32768.0f;
        right[i] = static_cast<float>(mixed[2 * i + 1]) / 32768.0f;
    }
    queuePageSound(left.data(), right.data(), frames, soundRate);
}
