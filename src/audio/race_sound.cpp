// The race's sound, frame by frame.
#include "audio/race_sound.h"

#include <algorithm>
#include <cmath>

#include "core/exact_maths.h"
#include "audio/game_sounds.h"
#include "controls/race_controls.h"
#include "objects/game_object.h"
#include "platform/window.h"
#include "race/frame_timer.h"
#include "race/race_events.h"
#include "race/race_state.h"

namespace {

// The player's top speed on the road, world units per second.
constexpr float topSpeed = 61800.0f;
// Off-road top speed: the snow is loudest from here on.
constexpr float snowSpeed = 8000.0f;
// Opponents and events farther than this from the player's car are not heard.
constexpr float hearingDistance = 25000.0f;
// The throttle's effect on the engine follows the key in about this many seconds.
constexpr float throttleSeconds = 0.15f;
// The oil hiss fades with this time constant after the last oil.
constexpr float hissSeconds = 0.6f;
// One frame starts at most this many hit sounds and snow puffs (the loudest are not chosen: the
// first ones of the frame are).
constexpr int hitsPerFrame = 4;
constexpr int puffsPerFrame = 2;

RaceSound raceSound;

// How loud something `distance` from the player's car is, 1 at the car and 0 at hearingDistance.
float distanceGain(float distance)
{
    const float near = std::max(0.0f, 1.0f - distance / hearingDistance);
    return near * near;
}

float distanceTo(const Obj_Car& player, float x, float z)
{
    const float dx = x - player.position.x;
    const float dz = z - player.position.z;
    return std::sqrt(dx * dx + dz * dz);
}

// Left or right by the place on screen: the sideways offset seen from the camera, as the
// projection draws it (320 + 320 * dx / depth); behind the camera, by the sideways offset alone.
float panOf(const float* camera, float x, float z)
{
    const float dx = x - camera[0];
    const float depth = z - camera[2];
    const float offset = depth >= 1.0f ? dx / depth : dx / 1500.0f;
    return std::clamp(offset, -1.0f, 1.0f);
}

} // namespace

void RaceSound::reset() { *this = RaceSound{}; }

float RaceSound::engineRate(float speed, float throttle)
{
    const float fraction = std::min(1.0f, std::fabs(speed) / topSpeed);
    return 1.0f + 3.2f * fraction + 0.25f * throttle;
}

float RaceSound::engineVolume(float speed, float throttle)
{
    const float fraction = std::min(1.0f, std::fabs(speed) / topSpeed);
    return 0.45f + 0.25f * fraction + 0.2f * throttle;
}

SoundFrame RaceSound::silence()
{
    SoundFrame frame;
    frame.setsLoops = true;
    return frame;
}

SoundFrame RaceSound::hear(const RaceState& race, const RaceEvents& events, bool throttle,
                           float seconds)
{
    SoundFrame frame;
    frame.setsLoops = true;
    const Obj_Car& player = *race.cars[0];
    const float speed = std::fabs(player.velocity.z);

    // The player's engine: two timbres at one pitch, the throttle fading between them.
    const float follow = std::min(1.0f, seconds / throttleSeconds);
    throttleLevel += ((throttle ? 1.0f : 0.0f) - throttleLevel) * follow;
    const float rate = engineRate(speed, throttleLevel);
    const float volume = engineVolume(speed, throttleLevel);
    frame.loops[engineSlot] = LoopVoice{clipEngineThrottle, rate, volume * throttleLevel, 0.0f};
    frame.loops[coastSlot] =
        LoopVoice{clipEngineCoast, rate, volume * (1.0f - throttleLevel), 0.0f};

    // The frame's events: first the start sequence and the finish, which must never be crowded
    // out, then hits, puffs, oil and the road.
    hissLevel *= static_cast<float>(exponentialOf(static_cast<double>(-seconds / hissSeconds)));
    for (uint32_t i = 0; i < events.count; ++i) {
        const RaceEvent& event = events.events[i];
        if (event.kind == RaceEvent::Kind::Countdown) {
            frame.start(
                OneShot{event.value > 0 ? clipCountdownTone : clipGoTone, 0.7f, 0.0f, 1.0f});
        } else if (event.kind == RaceEvent::Kind::Finish) {
            frame.start(
                OneShot{event.value == 1 ? clipWinPhrase : clipPlacePhrase, 0.8f, 0.0f, 1.0f});
        }
    }
    int hits = 0;
    int puffs = 0;
    for (uint32_t i = 0; i < events.count; ++i) {
        const RaceEvent& event = events.events[i];
        const float gain = event.player ? 1.0f : distanceGain(distanceTo(player, event.x, event.z));
        const float pan = event.player ? 0.0f : panOf(race.camera, event.x, event.z);
        switch (event.kind) {
        case RaceEvent::Kind::Hit: {
            if (event.strength < softestHitSpeed || gain <= 0.0f || hits == hitsPerFrame)
                break;
            ++hits;
            // Harder hits are louder and a little deeper.
            const float hardness = hitHardness(event.strength);
            frame.start(OneShot{event.carHit ? clipKnock : clipThud,
                                gain * (0.25f + 0.75f * hardness), pan, 1.1f - 0.2f * hardness});
            break;
        }
        case RaceEvent::Kind::SnowPuff:
            if (gain > 0.0f && puffs < puffsPerFrame) {
                ++puffs;
                frame.start(OneShot{clipSnowPuff, 0.3f * gain, pan, 1.0f});
            }
            break;
        case RaceEvent::Kind::Oil:
            if (event.player)
                hissLevel = 1.0f;
            break;
        case RaceEvent::Kind::LeftRoad: offRoad = true; break;
        case RaceEvent::Kind::RejoinedRoad: offRoad = false; break;
        case RaceEvent::Kind::Countdown:
        case RaceEvent::Kind::Finish: break;
        }
    }

    // Tyres: snow while off the road, louder with speed; the hiss while the car slides.
    if (offRoad) {
        const float snow = std::min(1.0f, speed / snowSpeed);
        frame.loops[snowSlot] = LoopVoice{clipSnow, 0.8f + 0.4f * snow, 0.7f * snow, 0.0f};
    }
    if (hissLevel > 0.001f) {
        const float slide = std::min(1.0f, 0.3f + std::fabs(player.velocity.x) / 6000.0f);
        frame.loops[hissSlot] = LoopVoice{clipOilHiss, 1.0f, 0.5f * hissLevel * slide, 0.0f};
    }

    // The nearest opponents within hearing, each keeping its slot while it stays among them.
    int32_t nearest[opponentSlots] = {};
    float nearestDistance[opponentSlots] = {};
    int found = 0;
    for (uint32_t car = 1; car < race.carCount; ++car) {
        const Obj_Car& opponent = *race.cars[car];
        const float distance = distanceTo(player, opponent.position.x, opponent.position.z);
        if (distance >= hearingDistance)
            continue;
        // Insertion into the short list, nearest first.
        int place = found < opponentSlots ? found++ : opponentSlots;
        while (place > 0 && nearestDistance[place - 1] > distance) {
            if (place < opponentSlots) {
                nearest[place] = nearest[place - 1];
                nearestDistance[place] = nearestDistance[place - 1];
            }
            --place;
        }
        if (place < opponentSlots) {
            nearest[place] = static_cast<int32_t>(car);
            nearestDistance[place] = distance;
        }
    }
    bool placed[opponentSlots] = {};
    for (int32_t& slot : slotCar) {
        const int32_t* kept = std::find(nearest, nearest + found, slot);
        if (kept == nearest + found)
            slot = -1;
        else
            placed[kept - nearest] = true;
    }
    for (int n = 0; n < found; ++n) {
        if (!placed[n])
            *std::find(slotCar, slotCar + opponentSlots, -1) = nearest[n];
    }
    for (int slot = 0; slot < opponentSlots; ++slot) {
        if (slotCar[slot] < 0)
            continue;
        const Obj_Car& opponent = *race.cars[slotCar[slot]];
        const float distance = distanceTo(player, opponent.position.x, opponent.position.z);
        frame.loops[firstOpponentSlot + slot] =
            LoopVoice{clipOpponentEngine, engineRate(opponent.velocity.z, 1.0f),
                      0.6f * distanceGain(distance),
                      panOf(race.camera, opponent.position.x, opponent.position.z)};
    }
    return frame;
}

void startRaceSound() { raceSound.reset(); }

void hearRaceFrame(Window* window, const RaceControls& controls)
{
    const RaceState& race = raceState;
    playSound(window, raceSound.hear(race, raceEvents, controls.accelerate,
                                     race.frameTimer->elapsedSeconds));
}

void silenceRaceSound(Window* window) { playSound(window, RaceSound::silence()); }
