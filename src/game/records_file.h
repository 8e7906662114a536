#pragma once
// The player's records: the best finishing time and the best place on each track (by track code),
// and the last raceRecordsKept races finished. Kept in the file "records" of the game's data
// folder, plain text that a curious player can read:
//
//   # Vantor records ...
//   vantor-records 1
//   best WGE1QMYXC5 83450 3          code, best time in milliseconds, best place
//   race WGE1QMYXC5 83450 3 16 2026-12-08T04:10:00   code, time, place, cars, when (local)
//   checksum 1a2b3c4d                CRC-32 of every byte before this line
//
// The file is written whole or not at all (core/atomic_file.h). One that cannot be read is never
// overwritten: loadRecords moves it aside and starts afresh.

#include <cstdint>
#include <string>
#include <vector>

// How many finished races the file keeps, newest last.
inline constexpr std::size_t raceRecordsKept = 20;

struct TrackRecord {
    std::string code;       // track code
    uint32_t bestTime = 0;  // milliseconds from "GO!" to the finish line
    int32_t bestPlace = 0;  // 1 for first
};

struct RaceRecord {
    std::string code;
    uint32_t time = 0;  // milliseconds from "GO!" to the finish line
    int32_t place = 0;
    uint32_t cars = 0;  // cars in the race, the player's included
    std::string when;   // local date and time, "YYYY-MM-DDTHH:MM:SS"
};

// Everything the records file holds. Owned by the game (the result screen) or a test.
struct Records {
    std::vector<TrackRecord> tracks; // one per track code, in the order first raced
    std::vector<RaceRecord> races;   // the last raceRecordsKept finished races, oldest first
};

// What one finished race did to its track's records.
struct RecordOutcome {
    bool hadRecord = false;     // the track had been finished before
    uint32_t previousTime = 0;  // its best time before this race (when it had one)
    int32_t previousPlace = 0;
    bool newBestTime = false;   // this race is the fastest on the track (or its first)
    bool newBestPlace = false;
};

// Adds a finished race: it becomes the newest of `races` (the oldest beyond raceRecordsKept
// leaves), and its track's record takes its time and place where they are better.
RecordOutcome addFinishedRace(Records* records, const RaceRecord& race);

// The record of a track, or null when the track has none. Points into `records`.
const TrackRecord* recordOf(const Records& records, const std::string& code);

// The records file's contents as text, and back. parseRecords fills *records and returns true for
// a whole, undamaged file; otherwise says why in *why ("line 4: ...", "its checksum does not
// match") and returns false.
std::string formatRecords(const Records& records);
bool parseRecords(const std::string& text, Records* records, std::string* why);

// The records of the file "records" in `folder`. A missing file gives empty records. A file that
// cannot be read or is damaged is told in one line on stderr and moved aside as
// "records.damaged-YYYYMMDD-HHMMSS" (with "-2", "-3", ... when that name is taken), never deleted
// or overwritten; the records then start empty.
Records loadRecords(const std::string& folder);

// Writes `records` to the file "records" in `folder`, making the folder when it is missing.
// False, with one line on stderr naming the file and why, when it cannot.
bool saveRecords(const std::string& folder, const Records& records);

// The local date and time now as a RaceRecord's `when` holds it.
std::string raceRecordTime();

// The local date and time now as the game's kept files are named by it: "YYYYMMDD-HHMMSS", a
// name every system allows (a damaged records file moved aside, a kept race replay).
std::string fileNameTime();

// Milliseconds as the screens show a race time: "1:23.45" (minutes, seconds, hundredths).
std::string formatRaceTime(uint32_t milliseconds);
