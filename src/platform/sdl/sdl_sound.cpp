// The SDL backend's sound: the game's own mixer in SDL2_mixer's music hook.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>

#include "platform/sdl/sdl_calls.h"

// Why our own mixer in SDL2_mixer's music hook rather than SDL2_mixer's channels: the engines
// need a continuous voice whose pitch glides with the car's speed, which SDL2_mixer's chunks
// cannot do, and `vantor-run --audio` must write exactly what a player hears, byte for byte, from
// code we control. So one deterministic mixer serves both; SDL2_mixer opens the device, converts
// to whatever format it needs and runs the hook on its audio thread.
void SdlBackend::startSound(const SoundBank* bank)
{
    if (soundOpen || bank == nullptr) {
        return;
    }
    std::string reason;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        reason = SDL_GetError();
    } else if (const char* driver = SDL_GetCurrentAudioDriver();
               driver != nullptr && std::strcmp(driver, "dummy") == 0) {
        reason = "SDL found only its dummy audio driver";
    } else if (Mix_OpenAudioDevice(soundRate, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
        reason = Mix_GetError();
    }
    if (!reason.empty()) {
        sayNoSound(reason.c_str());
        return;
    }
    mixer = std::make_unique<SoundMixer>(bank);
    soundOpen = true;
    Mix_HookMusic(fillSound, this);
}

void SdlBackend::sayNoSound(const char* reason)
{
    std::fprintf(stderr, "vantor: no sound (%s); the game plays on silent\n", reason);
    std::fflush(stderr);
}

void SdlBackend::soundDeviceLost()
{
    if (!soundOpen) {
        return;
    }
    // SDL stopped feeding the device (unplugged, or a file it writes to refused the samples);
    // the reason stayed on SDL's audio thread.
    Mix_HookMusic(nullptr, nullptr);
    Mix_CloseAudio();
    soundOpen = false;
    sayNoSound("the sound device stopped taking sound");
}

void SdlBackend::playSound(const SoundFrame& frame)
{
    if (!soundOpen) {
        return;
    }
    // Frames the audio thread has not taken yet are merged: the latest loop targets win, and
    // the clips to start add up.
    std::lock_guard<std::mutex> hold(soundLock);
    if (frame.setsLoops) {
        handedOver.setsLoops = true;
        std::copy(std::begin(frame.loops), std::end(frame.loops), std::begin(handedOver.loops));
    }
    for (int i = 0; i < frame.shotCount; ++i) {
        handedOver.start(frame.shots[i]);
    }
}

void SdlBackend::muteSound(bool muted)
{
    std::lock_guard<std::mutex> hold(soundLock);
    mutedWanted = muted;
}

void SdlBackend::fillSound(void* backend, uint8_t* stream, int bytes)
{
    auto* self = static_cast<SdlBackend*>(backend);
    SoundFrame frame;
    bool muted = false;
    {
        std::lock_guard<std::mutex> hold(self->soundLock);
        frame = self->handedOver;
        muted = self->mutedWanted;
        self->handedOver.setsLoops = false;
        self->handedOver.shotCount = 0;
    }
    self->mixer->setMuted(muted);
    self->mixer->apply(frame);
    // The device was opened as 16-bit stereo with no changes allowed, so the stream is ours.
    self->mixer->render(reinterpret_cast<int16_t*>(stream),
                        static_cast<size_t>(bytes) / (2 * sizeof(int16_t)));
}
