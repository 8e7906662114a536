// The race heard. First the frame's sound worked out from a hand-made race: the nearest
// opponents quieter with distance and panned by their place on screen, keeping their slots; the
// race events turned into their sounds. Then whole races of the real game on the headless
// backend, mixed as the desktop plays them: the engine's pitch rises with speed, the countdown
// gives three tones and a higher fourth, a hit frame is followed by its hit sound, muting gives
// silence, and the menu ticks and confirms.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/game_sounds.h"
#include "audio/race_sound.h"
#include "game/game.h"
#include "objects/game_object.h"
#include "platform/headless/headless_backend.h"
#include "audio/sound_mixer.h"
#include "platform/virtual_keys.h"
#include "race/race_events.h"
#include "race/race_state.h"
#include "race_player.h"
#include "sound_support.h"

namespace {

// A race of four cars in the open: the player at z 10000 with the camera 1500 behind, an
// opponent ahead on the right, one farther ahead on the left, one out of hearing.
struct HandMadeRace {
    std::unique_ptr<RaceState> race = std::make_unique<RaceState>();
    std::vector<std::unique_ptr<Obj_Car>> cars;
    Obj_Car* carList[4] = {};
    float camera[3] = {0.0f, 1200.0f, 8500.0f};

    HandMadeRace()
    {
        const Vec3 places[4] = {
            {0, 200, 10000}, {2000, 200, 14000}, {-2000, 200, 20000}, {0, 200, 60000}};
        for (int i = 0; i < 4; ++i) {
            cars.push_back(std::make_unique<Obj_Car>(places[i], nullptr, 17000.0f));
            carList[i] = cars.back().get();
        }
        race->cars = carList;
        race->carCount = 4;
        race->camera = camera;
    }
};

// The opponent engines of a frame, by slot: volume and pan (volume 0 for an empty slot).
std::vector<LoopVoice> opponentVoices(const SoundFrame& frame)
{
    std::vector<LoopVoice> voices;
    for (int slot = RaceSound::firstOpponentSlot; slot < loopVoiceCount; ++slot)
        voices.push_back(frame.loops[slot]);
    return voices;
}

RaceEvents eventsOf(std::initializer_list<RaceEvent> list)
{
    RaceEvents events{};
    for (const RaceEvent& event : list)
        events.events[events.count++] = event;
    return events;
}

RaceEvent event(RaceEvent::Kind kind, bool player, float strength = 0.0f, int32_t value = 0,
                bool carHit = false, float z = 10000.0f)
{
    RaceEvent e;
    e.kind = kind;
    e.player = player;
    e.strength = strength;
    e.value = value;
    e.carHit = carHit;
    e.z = z;
    return e;
}

// The clips a frame starts.
std::vector<int32_t> clipsStarted(const SoundFrame& frame)
{
    std::vector<int32_t> clips;
    for (int i = 0; i < frame.shotCount; ++i)
        clips.push_back(frame.shots[i].clip);
    return clips;
}

// One whole game of `plan` with the sound recorded from its start; `watch` sees every race frame
// after it was shown (its events still in raceEvents) with the clock reading of that frame.
struct RecordedRace {
    HeadlessBackend backend;
    std::vector<int16_t> mix;

    RecordedRace(const RacePlan& plan,
                 const std::function<void(HeadlessBackend&, uint64_t frame)>& watch = {})
    {
        backend.setDefaultAnswer(false);
        backend.recordSound(true);
        RacePlayer player(plan);
        player.raceFrameShown = [&](const HeadlessBackend&, uint64_t frame) {
            if (watch)
                watch(backend, frame);
        };
        backend.setPumpHook([&player](HeadlessBackend& b) { player.onPump(b); });
        runGame(&backend);
        EXPECT_NE(backend.soundBank(), nullptr);
    }

    // The recording from the race's set-up (the clock at `plan.seed`), mixed.
    void mixFrom(uint32_t origin, const std::vector<RecordedSound>& calls)
    {
        mix = mixRecording(*backend.soundBank(), calls, origin, 5.0);
    }
};

RacePlan plan(uint32_t seed, RaceSettings settings, Drive drive, uint64_t frames)
{
    RacePlan p;
    p.seed = seed;
    p.settings = settings;
    p.drive = drive;
    p.maxFrames = frames;
    return p;
}

} // namespace

TEST(RaceSound, NearestOpponentsAreQuieterWithDistancePannedByScreenPlaceAndKeepTheirSlots)
{
    HandMadeRace hand;
    RaceSound sound;
    const RaceEvents none{};
    const std::vector<LoopVoice> first =
        opponentVoices(sound.hear(*hand.race, none, false, 0.016f));
    const auto right =
        std::find_if(first.begin(), first.end(), [](const LoopVoice& v) { return v.pan > 0.0f; });
    const auto left =
        std::find_if(first.begin(), first.end(), [](const LoopVoice& v) { return v.pan < 0.0f; });
    ASSERT_NE(right, first.end());
    ASSERT_NE(left, first.end());
    EXPECT_EQ(right->clip, clipOpponentEngine);
    EXPECT_GT(right->volume, left->volume) << "the nearer opponent is the louder";
    // On screen the right one is at 320 + 320 * 2000 / 5500: 0.36 of the way to the edge.
    EXPECT_NEAR(right->pan, 2000.0f / 5500.0f, 1e-4f);
    // The one out of hearing has no voice.
    EXPECT_EQ(std::count_if(first.begin(), first.end(),
                            [](const LoopVoice& v) { return v.volume > 0.0f; }),
              2);

    // The left one comes nearer than the right one: both stay in their slots.
    hand.cars[2]->position.z = 11000.0f;
    const std::vector<LoopVoice> second =
        opponentVoices(sound.hear(*hand.race, none, false, 0.016f));
    EXPECT_GT(second[static_cast<size_t>(left - first.begin())].volume,
              second[static_cast<size_t>(right - first.begin())].volume);
    EXPECT_LT(second[static_cast<size_t>(left - first.begin())].pan, 0.0f);
    EXPECT_GT(second[static_cast<size_t>(right - first.begin())].pan, 0.0f);
}

TEST(RaceSound, EventsBecomeTheirSounds)
{
    HandMadeRace hand;
    RaceSound sound;
    using Kind = RaceEvent::Kind;
    // The start sequence and the finish.
    EXPECT_EQ(clipsStarted(sound.hear(*hand.race, eventsOf({event(Kind::Countdown, true, 0, 3)}),
                                      false, 0.016f)),
              std::vector<int32_t>{clipCountdownTone});
    EXPECT_EQ(clipsStarted(sound.hear(*hand.race, eventsOf({event(Kind::Countdown, true, 0, 0)}),
                                      false, 0.016f)),
              std::vector<int32_t>{clipGoTone});
    EXPECT_EQ(clipsStarted(sound.hear(*hand.race, eventsOf({event(Kind::Finish, true, 0, 1)}),
                                      false, 0.016f)),
              std::vector<int32_t>{clipWinPhrase});
    EXPECT_EQ(clipsStarted(sound.hear(*hand.race, eventsOf({event(Kind::Finish, true, 0, 5)}),
                                      false, 0.016f)),
              std::vector<int32_t>{clipPlacePhrase});

    // Hits: a car knocks, an obstacle thuds, harder is louder, far away is quieter, a touch is
    // not heard.
    const SoundFrame hits = sound.hear(
        *hand.race,
        eventsOf({event(Kind::Hit, true, 5000, 0, true), event(Kind::Hit, true, 30000, 0, false),
                  event(Kind::Hit, true, 60000, 0, false),
                  event(Kind::Hit, false, 60000, 0, false, 20000),
                  event(Kind::Hit, true, 300, 0, false)}),
        false, 0.016f);
    ASSERT_EQ(hits.shotCount, 4);
    EXPECT_EQ(hits.shots[0].clip, clipKnock);
    EXPECT_EQ(hits.shots[1].clip, clipThud);
    EXPECT_LT(hits.shots[1].volume, hits.shots[2].volume);
    EXPECT_LT(hits.shots[3].volume, hits.shots[2].volume);

    // Snow while off the road and moving, none back on it; the oil hiss fades after the oil.
    hand.cars[0]->velocity.z = 8000.0f;
    const SoundFrame off =
        sound.hear(*hand.race, eventsOf({event(Kind::LeftRoad, true)}), true, 0.016f);
    EXPECT_EQ(off.loops[RaceSound::snowSlot].clip, clipSnow);
    EXPECT_GT(off.loops[RaceSound::snowSlot].volume, 0.5f);
    const SoundFrame back =
        sound.hear(*hand.race, eventsOf({event(Kind::RejoinedRoad, true)}), true, 0.016f);
    EXPECT_EQ(back.loops[RaceSound::snowSlot].volume, 0.0f);
    const float oil = sound.hear(*hand.race, eventsOf({event(Kind::Oil, true)}), true, 0.016f)
                          .loops[RaceSound::hissSlot]
                          .volume;
    const float later =
        sound.hear(*hand.race, RaceEvents{}, true, 0.5f).loops[RaceSound::hissSlot].volume;
    EXPECT_GT(oil, 0.1f);
    EXPECT_LT(later, 0.6f * oil);
}

TEST(RaceSoundInTheGame, EnginePitchRisesWithSpeed)
{
    // A gentle short track, driven by the automatic driver: from the grid towards top speed.
    const RacePlan race = plan(4242, RaceSettings{0, 0, 0, 0, 1, 2}, Drive::Auto, 700);
    std::vector<std::pair<double, double>> speeds; // seconds from the set-up, speed
    RecordedRace recorded(race, [&](HeadlessBackend& b, uint64_t) {
        if (raceState.raceRunning)
            speeds.emplace_back((b.milliseconds() - race.seed) / 1000.0,
                                raceState.cars[0]->velocity.z);
    });
    // Only the player's engine: the other loops and every clip left out.
    std::vector<RecordedSound> engine;
    for (RecordedSound call : recorded.backend.soundRecording()) {
        if (call.kind != RecordedSound::Kind::Frame || !call.frame.setsLoops)
            continue;
        for (int slot = RaceSound::snowSlot; slot < loopVoiceCount; ++slot)
            call.frame.loops[slot] = LoopVoice{};
        call.frame.shotCount = 0;
        engine.push_back(call);
    }
    recorded.mixFrom(race.seed, engine);

    // The pitch at rest and at each quarter of the speed reached, heard in the mix.
    // Up to the fastest moment (the driver may leave the road later).
    speeds.erase(
        std::max_element(speeds.begin(), speeds.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; }) +
            1,
        speeds.end());
    const double fastest = speeds.back().second;
    ASSERT_GT(fastest, 40000.0);
    std::vector<double> pitches;
    for (double share : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        const auto when = std::find_if(speeds.begin(), speeds.end(),
                                       [&](const auto& s) { return s.second >= share * fastest; });
        ASSERT_NE(when, speeds.end());
        const double start = std::max(0.5, when->first - 0.05);
        pitches.push_back(
            sound_support::pitchOf(sound_support::monoSpan(recorded.mix, start, 0.1), 30, 400));
    }
    for (size_t i = 1; i < pitches.size(); ++i)
        EXPECT_GT(pitches[i], pitches[i - 1] * 1.1) << "quarter " << i;
    // At rest the engine turns over at its idle pitch (throttle held: a little above).
    EXPECT_NEAR(pitches[0], engineBaseHz * RaceSound::engineRate(0.0f, 1.0f), 3.0);
    EXPECT_GT(pitches.back(), 3.0 * pitches[0]);
}

TEST(RaceSoundInTheGame, CountdownHitsAndMuteAreHeardInTheMix)
{
    // A short, steep, sharp race of 32 cars on a near grid, held Up: the player runs into the
    // cars ahead and off the road. M mutes at frame 400 and unmutes at frame 500.
    const RacePlan race = plan(77, RaceSettings{0, 2, 2, 3, 1, 0}, Drive::Up, 600);
    struct Hit {
        uint32_t milliseconds;
        bool carHit;
    };
    std::vector<Hit> hits;
    uint32_t muteAt = 0;
    uint32_t unmuteAt = 0;
    RecordedRace recorded(race, [&](HeadlessBackend& b, uint64_t frame) {
        for (uint32_t i = 0; i < raceEvents.count; ++i) {
            const RaceEvent& e = raceEvents.events[i];
            if (e.kind == RaceEvent::Kind::Hit && e.player && e.strength >= 800.0f)
                hits.push_back(Hit{b.milliseconds(), e.carHit});
        }
        if (frame == 400 || frame == 500) {
            (frame == 400 ? muteAt : unmuteAt) = b.milliseconds() + race.stepMs;
            b.keyDown(keyM);
            b.keyUp(keyM);
        }
    });
    recorded.mixFrom(race.seed, recorded.backend.soundRecording());
    const std::vector<int16_t>& mix = recorded.mix;

    // Three tones a second apart as 3, 2, 1 show, then the higher one with "GO!".
    const std::vector<double> low = sound_support::toneOnsets(mix, 520.0, 4.5, 0.3);
    std::vector<double> high = sound_support::toneOnsets(mix, 1040.0, 4.5, 0.3);
    // The controls screen's Enter confirms with a rising blip as the race is set up; its upper
    // note lies near the "GO!" tone.
    std::erase_if(high, [](double t) { return t < 0.2; });
    ASSERT_EQ(low.size(), 3u);
    ASSERT_EQ(high.size(), 1u);
    EXPECT_NEAR(low[0], 0.0, 0.05);
    EXPECT_NEAR(low[1], 1.0, 0.05);
    EXPECT_NEAR(low[2], 2.0, 0.05);
    EXPECT_NEAR(high[0], 3.0, 0.05);

    // Every frame with a hit of the player's car starts a knock (a car) or a thud (anything else).
    ASSERT_FALSE(hits.empty()) << "the race had no hit to hear";
    bool knocked = false;
    for (const Hit& hit : hits) {
        bool heard = false;
        for (const RecordedSound& call : recorded.backend.soundRecording()) {
            if (call.milliseconds != hit.milliseconds || call.kind != RecordedSound::Kind::Frame)
                continue;
            const std::vector<int32_t> clips = clipsStarted(call.frame);
            heard = heard ||
                    std::count(clips.begin(), clips.end(), hit.carHit ? clipKnock : clipThud) > 0;
        }
        EXPECT_TRUE(heard) << "hit at " << hit.milliseconds << " ms";
        knocked = knocked || hit.carHit;
    }
    EXPECT_TRUE(knocked) << "no car was hit";

    // Muted: exact silence from the fade's end to the unmuting; sound before and after.
    ASSERT_GT(unmuteAt, muteAt);
    const auto sampleAt = [&](uint32_t ms, double extra) {
        return 2 * static_cast<size_t>(((ms - race.seed) / 1000.0 + extra) * soundRate);
    };
    ASSERT_LT(sampleAt(unmuteAt, 0.1), mix.size());
    for (size_t i = sampleAt(muteAt, 0.011); i < sampleAt(unmuteAt, 0.0); ++i)
        ASSERT_EQ(mix[i], 0) << "sample " << i / 2;
    const auto loudest = [&](size_t from, size_t to) {
        int most = 0;
        for (size_t i = from; i < to; ++i)
            most = std::max(most, std::abs(static_cast<int>(mix[i])));
        return most;
    };
    EXPECT_GT(loudest(sampleAt(muteAt, -0.1), sampleAt(muteAt, 0.0)), 1000);
    EXPECT_GT(loudest(sampleAt(unmuteAt, 0.02), sampleAt(unmuteAt, 0.1)), 1000);
}

TEST(RaceSoundInTheGame, MenuTicksWhenSomethingChangesAndConfirmsEnter)
{
    HeadlessBackend backend;
    backend.recordSound(true);
    int pumps = 0;
    backend.setPumpHook([&](HeadlessBackend& b) {
        if (++pumps != 2)
            return;
        // Up on the top row and Right at the largest index change nothing: no tick.
        for (uint32_t key : {keyUp, keyDown, keyRight, keyRight, keyLeft, keyEscape}) {
            b.keyDown(key);
            b.keyUp(key);
        }
    });
    runGame(&backend);
    int ticks = 0;
    for (const RecordedSound& call : backend.soundRecording()) {
        for (int32_t clip : clipsStarted(call.frame))
            ticks += clip == clipMenuTick ? 1 : 0;
    }
    EXPECT_EQ(ticks, 3); // Down, the first Right, Left

    // A whole game: Enter confirms on the menu, the controls screen and the result screen.
    RecordedRace game(plan(5, RaceSettings{}, Drive::None, 2));
    int confirms = 0;
    for (const RecordedSound& call : game.backend.soundRecording()) {
        for (int32_t clip : clipsStarted(call.frame))
            confirms += clip == clipMenuConfirm ? 1 : 0;
    }
    EXPECT_EQ(confirms, 3);
}
