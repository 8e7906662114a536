// What a finished race leaves behind: the result screen shows the race's track code, its time and
// the track's record, the records file keeps it, and a track code given at start runs that
// code's track.
#include <gtest/gtest.h>

#include <string>

#include "game/game.h"
#include "game/records_file.h"
#include "game/result_screen.h"
#include "platform/headless/headless_backend.h"
#include "race/race_state.h"
#include "race/track_code.h"
#include "race_player.h"
#include "test_folder.h"

namespace {

struct Finished {
    std::string raceLine;
    std::string recordLine;
    uint32_t seed = 0;
};

// Plays one short race to its finish (seed 7 on the clock, the given settings) with the
// automatic driver and the given options; what the result screen showed.
Finished finishRace(const RaceSettings& settings, const GameOptions& options)
{
    RacePlan plan;
    plan.seed = 7;
    plan.settings = settings;
    plan.drive = Drive::Auto;
    plan.stepMs = 33;
    RacePlayer player(plan);
    Finished finished;
    player.screenShown = [&finished](const HeadlessBackend&, GameScreen screen) {
        if (screen == GameScreen::Result) {
            finished.raceLine = resultScreen.raceLine;
            finished.recordLine = resultScreen.recordLine;
            finished.seed = raceState.seed;
        }
    };
    HeadlessBackend backend;
    backend.setPumpHook([&player](HeadlessBackend& b) { player.onPump(b); });
    EXPECT_EQ(runGame(&backend, options), 0);
    EXPECT_EQ(player.outcome(), RaceOutcome::Finished);
    return finished;
}

} // namespace

TEST(RaceRecords, AFinishedRaceShowsItsCodeAndTimeAndTheRecordsFileKeepsIt)
{
    const std::string folder = testFolder() + "data";
    const RaceSettings shortTrack{0, 1, 1, 0, 1, 1};
    const std::string code = encodeTrackCode(7, shortTrack);

    const Finished first = finishRace(shortTrack, GameOptions{nullptr, folder, ""});
    EXPECT_EQ(first.raceLine.rfind("CODE " + code + "  TIME ", 0), 0u) << first.raceLine;
    EXPECT_EQ(first.recordLine, "FIRST TIME HERE  R RACES AGAIN");
    Records records = loadRecords(folder);
    ASSERT_EQ(records.races.size(), 1u);
    EXPECT_EQ(records.races[0].code, code);
    ASSERT_NE(recordOf(records, code), nullptr);
    const std::string time = formatRaceTime(recordOf(records, code)->bestTime);
    EXPECT_EQ(first.raceLine, "CODE " + code + "  TIME " + time);

    // The same race again: the same time, which is the record, not a new one.
    const Finished second = finishRace(shortTrack, GameOptions{nullptr, folder, ""});
    EXPECT_EQ(second.raceLine, first.raceLine);
    EXPECT_EQ(second.recordLine, "RECORD " + time + "  R RACES AGAIN");
    EXPECT_EQ(loadRecords(folder).races.size(), 2u);

    // Without a records folder (tools and tests) nothing is kept.
    const Finished unrecorded = finishRace(shortTrack, GameOptions{});
    EXPECT_EQ(unrecorded.recordLine, "R RACES AGAIN");
}

TEST(RaceRecords, ATrackCodeGivenAtStartRunsItsTrackAndAMistypedOneIsToldAndIgnored)
{
    const RaceSettings normal{};
    const std::string code = encodeTrackCode(99, RaceSettings{0, 2, 0, 0, 2, 0});
    // The clock reads 7 at the set-up and the player changes no setting on the menu; the code's
    // seed 99 and its settings, which the menu starts with, are raced all the same.
    const Finished coded = finishRace(normal, GameOptions{nullptr, "", code});
    EXPECT_EQ(coded.seed, 99u);
    EXPECT_EQ(coded.raceLine.rfind("CODE " + code, 0), 0u) << coded.raceLine;

    std::string typo = code;
    typo[0] = typo[0] == 'A' ? 'B' : 'A';
    testing::internal::CaptureStderr();
    const Finished mistyped = finishRace(normal, GameOptions{nullptr, "", typo});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(mistyped.seed, 7u) << "the clock's seed, as without a code";
    EXPECT_NE(said.find("vantor: " + typo + " is no track code: it does not check out"),
              std::string::npos)
        << said;
}
