// The replays the game keeps of finished races: the best per track and the newest others, watched
// from the result screen as they were raced, and the best run driving beside the field as a ghost
// car that changes nothing of the race.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "controls/player_controls.h"
#include "game/game.h"
#include "game/kept_replays.h"
#include "game/main_menu.h"
#include "game/replay_file.h"
#include "game/result_screen.h"
#include "objects/game_object.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"
#include "race/race_state.h"
#include "race/track_code.h"
#include "race_player.h"
#include "test_folder.h"
#include "tool_run.h"

namespace {

const RaceSettings shortTrack{0, 1, 1, 0, 1, 1};

// What one game of one race showed.
struct Played {
    std::vector<Vec3> raced;   // the player's car after each race frame that left the race on
    std::vector<Vec3> watched; // the same while the replay was watched
    int ghostFrames = 0;       // race frames that showed the ghost
    std::string watchLine;     // the result screen's watch line
    std::string replayPath;    // where the race's replay was kept
    bool backOnResult = false; // the result screen came back after watching
};

// Plays one race on the short track (seed 7 on the clock) with the automatic driver and the clock
// stepping `stepMs` every frame (33 ms finishes in 56.86 s, 25 ms in 57.20 s), with `options`. With
// `watchFor` above 0 the player presses W on the result screen and watches the replay for that
// many frames (all of it when larger) before pressing a key, then Enter goes back to the menu.
Played play(const GameOptions& options, uint32_t stepMs, int watchFor = 0)
{
    RacePlan plan;
    plan.seed = 7;
    plan.settings = shortTrack;
    plan.drive = Drive::Auto;
    plan.stepMs = stepMs;
    RacePlayer player(plan);
    Played played;
    player.raceFrameShown = [&played](const HeadlessBackend&, uint64_t) {
        if (raceState.raceRunning) {
            played.raced.push_back(raceState.cars[0]->position);
            played.ghostFrames += raceState.ghost.shown ? 1 : 0;
        }
    };
    enum class Phase { Racing, Watching, Done } phase = Phase::Racing;
    bool watchPainted = false;
    HeadlessBackend backend;
    backend.setPumpHook([&](HeadlessBackend& b) {
        if (phase == Phase::Racing && watchFor > 0 && resultScreen.resultRunning &&
            !resultScreen.watchLine.empty()) {
            played.watchLine = resultScreen.watchLine;
            played.replayPath = resultScreen.replayPath;
            phase = Phase::Watching;
            b.keyDown('W');
            b.keyUp('W');
        } else if (phase == Phase::Watching) {
            if (raceState.raceRunning) {
                // The pump that set the replay's race up drew no frame yet.
                if (watchPainted) {
                    played.watched.push_back(raceState.cars[0]->position);
                }
                watchPainted = true;
                if (static_cast<int>(played.watched.size()) == watchFor) {
                    b.keyDown(' ');
                    b.keyUp(' ');
                }
            } else if (resultScreen.resultRunning && watchPainted) {
                played.backOnResult = true;
                phase = Phase::Done;
            }
        } else {
            if (phase == Phase::Racing && resultScreen.resultRunning) {
                played.watchLine = resultScreen.watchLine;
                played.replayPath = resultScreen.replayPath;
            }
            player.onPump(b);
        }
        b.advanceClock(phase == Phase::Watching ? 5 : 0);
    });
    EXPECT_EQ(runGame(&backend, options), 0);
    return played;
}

bool samePlaces(const Vec3& a, const ReplayFrame& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The same places, frame by frame, bit for bit.
bool sameRun(const std::vector<Vec3>& a, const std::vector<Vec3>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Vec3& p, const Vec3& q) {
        return p.x == q.x && p.y == q.y && p.z == q.z;
    });
}

// The first word of the file at `path`.
std::string firstWord(const std::string& path)
{
    std::ifstream file(path);
    std::string word;
    file >> word;
    return word;
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(KeptReplays, AFinishedRaceIsKeptAsItsTracksBestAndWatchedAsItWasRaced)
{
    const std::string data = testFolder() + "data";
    const std::string code = encodeTrackCode(7, shortTrack);
    const Played first = play(GameOptions{nullptr, data, ""}, 33, 100000);
    EXPECT_EQ(first.ghostFrames, 0) << "no ghost before the track's first finish";

    EXPECT_EQ(first.watchLine, "W WATCHES THE REPLAY");
    EXPECT_EQ(first.replayPath, bestReplayPath(data, code));
    EXPECT_EQ(filesIn(replayFolder(data)), std::vector<std::string>{"best-" + code + ".vrp"});
    Replay kept;
    std::string why;
    ASSERT_TRUE(readReplayFile(first.replayPath, &kept, &why)) << why;
    EXPECT_EQ(kept.code, code);
    // Every frame of the race is in the replay (the last one ended the race), and watching shows
    // each of them where it was, however fast the clock runs while watching.
    ASSERT_EQ(first.raced.size() + 1, kept.frames.size());
    for (size_t i = 0; i < first.raced.size(); ++i) {
        ASSERT_TRUE(samePlaces(first.raced[i], kept.frames[i])) << "frame " << i + 1;
    }
    ASSERT_EQ(first.watched.size(), first.raced.size());
    for (size_t i = 0; i < first.watched.size(); ++i) {
        ASSERT_TRUE(samePlaces(first.watched[i], kept.frames[i])) << "watched frame " << i + 1;
    }
    EXPECT_TRUE(first.backOnResult);

    // A slower race on the same track is kept beside the best, which stays; the best drives in it
    // as a ghost and changes nothing; a key ends watching it.
    const Played slower = play(GameOptions{nullptr, data, ""}, 25, 40);
    EXPECT_GT(slower.ghostFrames, 1000);
    EXPECT_EQ(slower.watched.size(), 40u);
    EXPECT_TRUE(slower.backOnResult);
    EXPECT_NE(slower.replayPath, first.replayPath);
    EXPECT_EQ(std::filesystem::path(slower.replayPath).parent_path(),
              std::filesystem::path(replayFolder(data)));
    EXPECT_EQ(filesIn(replayFolder(data)).size(), 2u);
    Replay best;
    ASSERT_TRUE(readReplayFile(bestReplayPath(data, code), &best, &why)) << why;
    EXPECT_EQ(best.frames.size(), kept.frames.size());
    const Played unghosted = play(GameOptions{nullptr, "", ""}, 25);
    EXPECT_EQ(unghosted.ghostFrames, 0);
    EXPECT_TRUE(sameRun(unghosted.raced, slower.raced)) << "the ghost changed the race";

    // Ghosts turned off in the settings file: the best stays in its file.
    const std::string settings = testFolder() + "vantor.ini";
    std::ofstream(settings) << "[game]\nghost = off\n";
    const Played off = play(GameOptions{settings.c_str(), data, ""}, 25);
    EXPECT_EQ(off.ghostFrames, 0);
    EXPECT_TRUE(sameRun(off.raced, slower.raced));
}

TEST(KeptReplays, AReplayThatCannotBeWrittenOrReadIsToldAndTheRaceGoesOn)
{
    const std::string code = encodeTrackCode(7, shortTrack);
    // The replays' folder is taken by a file: the race is finished and its record kept, without
    // a replay to watch.
    const std::string blocked = testFolder() + "blocked";
    std::filesystem::create_directories(blocked);
    std::ofstream(replayFolder(blocked)) << "not a folder";
    testing::internal::CaptureStderr();
    const Played unkept = play(GameOptions{nullptr, blocked, ""}, 33);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("vantor: the race's replay " + replayFolder(blocked) + "/race-"),
              std::string::npos)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(unkept.watchLine, "");
    EXPECT_FALSE(unkept.raced.empty());
    EXPECT_TRUE(std::filesystem::exists(blocked + "/records"));

    // A damaged best replay drives no ghost and is told; the race, the track's first finish here,
    // then takes its place.
    const std::string damaged = testFolder() + "damaged";
    std::filesystem::create_directories(replayFolder(damaged));
    std::ofstream(bestReplayPath(damaged, code)) << "VANTORRP but nothing more";
    testing::internal::CaptureStderr();
    const Played ghostless = play(GameOptions{nullptr, damaged, ""}, 25);
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("vantor: the ghost's replay " + bestReplayPath(damaged, code) + " is "),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("; no ghost drives"), std::string::npos) << said;
    EXPECT_EQ(ghostless.ghostFrames, 0);
    EXPECT_EQ(ghostless.watchLine, "W WATCHES THE REPLAY");
    Replay replaced;
    std::string why;
    EXPECT_TRUE(readReplayFile(bestReplayPath(damaged, code), &replaced, &why)) << why;
}

TEST(KeptReplays, OnlyTheNewestRaceReplaysStayBesideTheBestOnes)
{
    const std::string data = testFolder() + "data";
    const std::string folder = replayFolder(data);
    std::filesystem::create_directories(folder);
    for (int i = 10; i < 40; ++i) {
        std::ofstream(folder + "/race-20260101-0000" + std::to_string(i) + "-AAAA.vrp") << i;
    }
    std::ofstream(folder + "/best-BBBB.vrp") << "best";
    std::ofstream(folder + "/notes.txt") << "mine";
    const std::string newest = folder + "/race-20260102-000000-AAAA.vrp";
    std::ofstream(newest) << "new";

    EXPECT_EQ(keepRaceReplay(data, newest, "AAAA", false), newest);
    std::vector<std::string> left = filesIn(folder);
    ASSERT_EQ(left.size(), keptRaceReplays + 2);
    EXPECT_EQ(left.front(), "best-BBBB.vrp");
    EXPECT_EQ(left[2], "race-20260101-000021-AAAA.vrp") << "the oldest left";
    EXPECT_EQ(left.back(), "race-20260102-000000-AAAA.vrp");

    // The fastest race takes the best replay's place.
    std::ofstream(folder + "/best-AAAA.vrp") << "old best";
    EXPECT_EQ(keepRaceReplay(data, newest, "AAAA", true), folder + "/best-AAAA.vrp");
    EXPECT_EQ(firstWord(folder + "/best-AAAA.vrp"), "new");
}

TEST(KeptReplays, TheMenusGhostKeyTurnsGhostsOffAndOnAndTheSettingsFileKeepsIt)
{
    const std::string settings = testFolder() + "vantor.ini";
    std::vector<std::string> lines;
    int presses = 0;
    HeadlessBackend backend;
    backend.setPumpHook([&](HeadlessBackend& b) {
        if (!mainMenu.menuRunning) {
            return;
        }
        if (presses < 2) {
            lines.push_back(firstWord(settings) +
                            (playerControls.settings.ghosts ? " on" : " off"));
            b.keyDown(keyF2);
            b.keyUp(keyF2);
        } else {
            b.keyDown(keyEscape);
            b.keyUp(keyEscape);
        }
        ++presses;
    });
    EXPECT_EQ(runGame(&backend, GameOptions{settings.c_str(), "", ""}), 0);
    // No file until the first change; then [game] with ghost = off, and on again.
    EXPECT_EQ(lines, (std::vector<std::string>{" on", "[game] off"}));
    std::ifstream file(settings);
    std::string line;
    std::vector<std::string> written;
    while (std::getline(file, line)) {
        written.push_back(line);
    }
    EXPECT_EQ(written, (std::vector<std::string>{"[game]", "ghost = on"}));
}

TEST(KeptReplays, AReplayOfATrackCodesRaceIsPlayedBackByVantorRunOnThatTrack)
{
    // The clock reads 7 at the set-up, the code's seed is 99: the replay's start clock is not its
    // seed, and vantor-run plays it back on the code's track all the same.
    const std::string data = testFolder() + "data";
    const std::string code = encodeTrackCode(99, shortTrack);
    const Played coded = play(GameOptions{nullptr, data, code}, 33);
    ASSERT_EQ(coded.replayPath, bestReplayPath(data, code));
    const std::string trace = testFolder() + "trace.csv";
    const tool_run::ToolRun replayed =
        tool_run::runTool("tools/vantor-run", "--replay " + coded.replayPath + " --trace " + trace);
    ASSERT_EQ(replayed.status, 0) << replayed.err;
    const std::vector<std::string> rows = tool_run::lines(tool_run::readFile(trace));
    ASSERT_EQ(rows.size(), coded.raced.size() + 1);
    for (size_t i = 0; i < coded.raced.size(); ++i) {
        float x = 0;
        float y = 0;
        float z = 0;
        ASSERT_EQ(std::sscanf(rows[i + 1].c_str(), "%*[^,],%*[^,],%g,%g,%g", &x, &y, &z), 3);
        ASSERT_TRUE(x == coded.raced[i].x && y == coded.raced[i].y && z == coded.raced[i].z)
            << "frame " << i + 1 << ": " << rows[i + 1];
    }
}
