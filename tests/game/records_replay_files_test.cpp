// The records and replay files: what a race leaves behind comes back as it was written, and a
// damaged, truncated or foreign file is refused with its reason, never read as something else and
// never lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/records_file.h"
#include "game/replay_file.h"
#include "race/track_code.h"
#include "test_folder.h"

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

RaceRecord race(const std::string& code, uint32_t time, int32_t place)
{
    return RaceRecord{code, time, place, 16, "2026-12-08T04:10:00"};
}

} // namespace

TEST(RecordsFile, BestTimeAndPlaceAreKeptPerTrackAndTheLastTwentyRacesInOrder)
{
    const std::string a = encodeTrackCode(7, RaceSettings{});
    const std::string b = encodeTrackCode(8, RaceSettings{});
    Records records;
    RecordOutcome first = addFinishedRace(&records, race(a, 90000, 5));
    EXPECT_FALSE(first.hadRecord);
    EXPECT_TRUE(first.newBestTime && first.newBestPlace);
    RecordOutcome slower = addFinishedRace(&records, race(a, 95000, 2));
    EXPECT_TRUE(slower.hadRecord);
    EXPECT_EQ(slower.previousTime, 90000u);
    EXPECT_FALSE(slower.newBestTime);
    EXPECT_TRUE(slower.newBestPlace);
    addFinishedRace(&records, race(b, 70000, 1));
    ASSERT_NE(recordOf(records, a), nullptr);
    EXPECT_EQ(recordOf(records, a)->bestTime, 90000u);
    EXPECT_EQ(recordOf(records, a)->bestPlace, 2);
    for (uint32_t i = 0; i < 25; ++i) {
        addFinishedRace(&records, race(b, 80000 + i, 3));
    }
    ASSERT_EQ(records.races.size(), 20u);
    EXPECT_EQ(records.races.front().time, 80005u);
    EXPECT_EQ(records.races.back().time, 80024u);

    Records read;
    std::string why;
    ASSERT_TRUE(parseRecords(formatRecords(records), &read, &why)) << why;
    EXPECT_EQ(formatRecords(read), formatRecords(records));
    EXPECT_EQ(formatRaceTime(83456), "1:23.45");
    EXPECT_EQ(formatRaceTime(0), "0:00.00");
}

TEST(RecordsFile, ADamagedFileIsMovedAsideWholeAndNewRecordsBegin)
{
    const std::string folder = testFolder() + "data";
    // No file at all: empty records, and nothing is made until something is saved.
    EXPECT_TRUE(loadRecords(folder).races.empty());
    EXPECT_FALSE(std::filesystem::exists(folder));
    Records records;
    addFinishedRace(&records, race(encodeTrackCode(7, RaceSettings{}), 90000, 5));
    ASSERT_TRUE(saveRecords(folder, records));
    const std::string good = readAll(folder + "/records");
    EXPECT_EQ(loadRecords(folder).tracks.size(), 1u);

    // Every kind of damage: a byte changed, the end cut off, another version, another file.
    std::string changed = good;
    changed[good.find("90000")] = '1';
    std::string otherVersion = good;
    otherVersion.replace(otherVersion.find("vantor-records 1"), 16, "vantor-records 2");
    const std::vector<std::string> damaged = {changed, good.substr(0, good.size() - 5),
                                              otherVersion, "\x89PNG\r\n", ""};
    for (const std::string& bytes : damaged) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        writeAll(folder + "/records", bytes);
        testing::internal::CaptureStderr();
        const Records loaded = loadRecords(folder);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(loaded.tracks.empty() && loaded.races.empty());
        EXPECT_NE(said.find("the records file " + folder + "/records cannot be read"),
                  std::string::npos)
            << said;
        EXPECT_FALSE(std::filesystem::exists(folder + "/records"));
        int aside = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_EQ(name.rfind("records.damaged-", 0), 0u) << name;
            EXPECT_EQ(readAll(entry.path().string()), bytes) << "kept byte for byte";
            EXPECT_NE(said.find(name), std::string::npos) << "the line names where it is kept";
            ++aside;
        }
        EXPECT_EQ(aside, 1);
    }
    // Two damaged files in the same second keep both.
    writeAll(folder + "/records", "again");
    testing::internal::CaptureStderr();
    loadRecords(folder);
    testing::internal::GetCapturedStderr();
    int kept = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++kept;
    }
    EXPECT_EQ(kept, 2);
}

TEST(ReplayFile, ARaceComesBackFrameForFrameAndEveryDamageIsRefusedWithItsReason)
{
    const std::string folder = testFolder();
    const std::string path = folder + "race.vantor-replay";
    const std::string code = encodeTrackCode(4294967295u, RaceSettings{0, 1, 1, 0, 1, 1});
    ReplayWriter writer;
    ASSERT_TRUE(writer.begin(path, code, 4294967295u));
    EXPECT_FALSE(std::filesystem::exists(path)) << "no file under its name before the end";
    std::vector<ReplayFrame> frames;
    for (uint32_t i = 0; i < 300; ++i) {
        frames.push_back(ReplayFrame{4294967295u + 16 * (i + 1), static_cast<uint8_t>(i % 32),
                                     static_cast<float>(i) * 0.5f, -1.25f,
                                     static_cast<float>(i) * 333.25f});
        ASSERT_TRUE(writer.add(frames.back()));
    }
    ASSERT_TRUE(writer.finish());
    Replay replay;
    std::string why;
    ASSERT_TRUE(readReplayFile(path, &replay, &why)) << why;
    EXPECT_EQ(replay.code, code);
    EXPECT_EQ(replay.startClock, 4294967295u);
    ASSERT_EQ(replay.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(replay.frames[i].clock, frames[i].clock);
        EXPECT_EQ(replay.frames[i].controls, frames[i].controls);
        EXPECT_EQ(replay.frames[i].z, frames[i].z);
    }

    const std::string good = readAll(path);
    const std::string bad = folder + "bad";
    const auto refusal = [&](const std::string& bytes) {
        writeAll(bad, bytes);
        Replay r;
        std::string reason;
        EXPECT_FALSE(readReplayFile(bad, &r, &reason));
        EXPECT_TRUE(r.frames.empty());
        return reason;
    };
    // Cut anywhere (every length through the header and the first frames, then every 13th):
    // never read as a shorter race.
    for (std::size_t length = 0; length < good.size(); length += length < 80 ? 1 : 13) {
        const std::string reason = refusal(good.substr(0, length));
        EXPECT_TRUE(reason == "is truncated" || reason == "is not a replay file") << length;
    }
    // Any one byte changed anywhere is caught.
    for (std::size_t at = 0; at < good.size(); at += at < 40 ? 1 : 29) {
        std::string changed = good;
        changed[at] = static_cast<char>(changed[at] ^ 0x20);
        EXPECT_FALSE(refusal(changed).empty()) << at;
    }
    std::string later = good;
    later[8] = 2;
    EXPECT_EQ(refusal(later), "is a replay of version 2, newer than this game's");
    EXPECT_EQ(refusal(good + "x"), "is damaged: it goes on after its end");
    std::string changedFrame = good;
    changedFrame[40] = static_cast<char>(changedFrame[40] ^ 1);
    EXPECT_EQ(refusal(changedFrame), "is damaged: its checksum does not match");
    Replay none;
    EXPECT_FALSE(readReplayFile(folder + "missing", &none, &why));
    EXPECT_EQ(why, "cannot be read: No such file or directory");

    // A writer let go before the end leaves nothing behind.
    {
        ReplayWriter abandoned;
        ASSERT_TRUE(abandoned.begin(folder + "abandoned", code, 1));
        abandoned.add(frames[0]);
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "abandoned"));
    EXPECT_FALSE(std::filesystem::exists(folder + "abandoned.partial"));
}
