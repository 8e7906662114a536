// The records file: best times and places per track code, and the last races.
#include "game/records_file.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/atomic_file.h"
#include "core/checksum.h"
#include "core/errors.h"
#include "core/files.h"
#include "race/race_settings.h"
#include "race/track_code.h"

namespace {

constexpr const char* heading =
    "# Vantor records: the best time and place on each track, and the last races finished.\n";
constexpr const char* versionLine = "vantor-records 1";
// The longest records file worth reading: far more than raceRecordsKept races and thousands of
// tracks make.
constexpr std::uintmax_t largestRecordsBytes = 4 * 1024 * 1024;

bool validCode(const std::string& code)
{
    uint32_t seed = 0;
    RaceSettings settings;
    std::string why;
    return decodeTrackCode(code, &seed, &settings, &why) && code.size() == 10 &&
           code.find_first_not_of("0123456789ABCDEFGHJKMNPQRSTVWXYZ") == std::string::npos;
}

bool validWhen(const std::string& when)
{
    if (when.size() != 19) {
        return false;
    }
    for (std::size_t i = 0; i < when.size(); ++i) {
        const char expected = i == 4 || i == 7 ? '-' : i == 10 ? 'T' : i == 13 || i == 16 ? ':' : '0';
        if (expected == '0' ? (when[i] < '0' || when[i] > '9') : when[i] != expected) {
            return false;
        }
    }
    return true;
}

// The local time now as "YYYYMMDD-HHMMSS" (compact, for file names) or "YYYY-MM-DDTHH:MM:SS".
std::string localTime(bool compact)
{
    const std::tm local = localTimeOf(std::time(nullptr));
    char text[32];
    if (compact) {
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    } else {
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    }
    return text;
}

void sayOnStderr(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

} // namespace

RecordOutcome addFinishedRace(Records* records, const RaceRecord& race)
{
    RecordOutcome outcome;
    TrackRecord* track = nullptr;
    for (TrackRecord& t : records->tracks) {
        if (t.code == race.code) {
            track = &t;
        }
    }
    if (track == nullptr) {
        records->tracks.push_back(TrackRecord{race.code, race.time, race.place});
        outcome.newBestTime = true;
        outcome.newBestPlace = true;
    } else {
        outcome.hadRecord = true;
        outcome.previousTime = track->bestTime;
        outcome.previousPlace = track->bestPlace;
        outcome.newBestTime = race.time < track->bestTime;
        outcome.newBestPlace = race.place < track->bestPlace;
        if (outcome.newBestTime) {
            track->bestTime = race.time;
        }
        if (outcome.newBestPlace) {
            track->bestPlace = race.place;
        }
    }
    records->races.push_back(race);
    if (records->races.size() > raceRecordsKept) {
        records->races.erase(records->races.begin(),
                             records->races.end() - static_cast<std::ptrdiff_t>(raceRecordsKept));
    }
    return outcome;
}

const TrackRecord* recordOf(const Records& records, const std::string& code)
{
    for (const TrackRecord& t : records.tracks) {
        if (t.code == code) {
            return &t;
        }
    }
    return nullptr;
}

std::string formatRecords(const Records& records)
{
    std::string text = heading;
    text += versionLine;
    text += '\n';
    char line[128];
    for (const TrackRecord& t : records.tracks) {
        std::snprintf(line, sizeof line, "best %s %" PRIu32 " %" PRId32 "\n", t.code.c_str(),
                      t.bestTime, t.bestPlace);
        text += line;
    }
    for (const RaceRecord& r : records.races) {
        std::snprintf(line, sizeof line, "race %s %" PRIu32 " %" PRId32 " %" PRIu32 " %s\n",
                      r.code.c_str(), r.time, r.place, r.cars, r.when.c_str());
        text += line;
    }
    std::snprintf(line, sizeof line, "checksum %08" PRIx32 "\n",
                  crc32Finish(crc32Update(crc32Start, text.data(), text.size())));
    return text + line;
}

bool parseRecords(const std::string& text, Records* records, std::string* why)
{
    const std::size_t sumAt = text.rfind("checksum ");
    if (sumAt == std::string::npos || (sumAt > 0 && text[sumAt - 1] != '\n')) {
        *why = "it has no checksum line";
        return false;
    }
    uint32_t stored = 0;
    char end = 0;
    if (std::sscanf(text.c_str() + sumAt, "checksum %8" SCNx32 "%c", &stored, &end) != 2 ||
        end != '\n' || sumAt + 18 != text.size()) {
        *why = "its checksum line is damaged";
        return false;
    }
    if (stored != crc32Finish(crc32Update(crc32Start, text.data(), sumAt))) {
        *why = "its checksum does not match";
        return false;
    }
    Records read;
    std::istringstream lines(text.substr(0, sumAt));
    std::string line;
    int number = 0;
    bool versionSeen = false;
    while (std::getline(lines, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto bad = [&](const char* what) {
            *why = "line " + std::to_string(number) + ": " + what;
            return false;
        };
        if (!versionSeen) {
            if (line != versionLine) {
                return bad("it is not a records file of this game's version");
            }
            versionSeen = true;
            continue;
        }
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "best") {
            TrackRecord t;
            int64_t time = -1;
            int64_t place = 0;
            std::string rest;
            if (!(words >> t.code >> time >> place) || (words >> rest) || !validCode(t.code) ||
                time < 0 || time > UINT32_MAX || place < 1 || place > 32 ||
                recordOf(read, t.code) != nullptr) {
                return bad("a track's record is damaged");
            }
            t.bestTime = static_cast<uint32_t>(time);
            t.bestPlace = static_cast<int32_t>(place);
            read.tracks.push_back(t);
        } else if (kind == "race") {
            RaceRecord r;
            int64_t time = -1;
            int64_t place = 0;
            int64_t cars = 0;
            std::string rest;
            if (!(words >> r.code >> time >> place >> cars >> r.when) || (words >> rest) ||
                !validCode(r.code) || time < 0 || time > UINT32_MAX || place < 1 ||
                cars < place || cars > 32 || !validWhen(r.when) ||
                read.races.size() >= raceRecordsKept) {
                return bad("a race's record is damaged");
            }
            r.time = static_cast<uint32_t>(time);
            r.place = static_cast<int32_t>(place);
            r.cars = static_cast<uint32_t>(cars);
            read.races.push_back(r);
        } else {
            return bad("it is no record");
        }
    }
    if (!versionSeen) {
        *why = "it holds no version line";
        return false;
    }
    *records = std::move(read);
    return true;
}

Records loadRecords(const std::string& folder)
{
    namespace fs = std::filesystem;
    const fs::path path = pathFromUtf8(folder) / "records";
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        return Records{};
    }
    std::string why;
    Records records;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) {
        why = error.message();
    } else if (size > largestRecordsBytes) {
        why = "it is larger than any records file";
    } else {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in && !in.eof()) {
            why = std::strerror(errno);
        } else if (parseRecords(text.str(), &records, &why)) {
            return records;
        }
    }
    // Never lost: the file is kept aside under a name no other file has.
    const std::string stamp = fileNameTime();
    fs::path aside = pathFromUtf8(folder) / ("records.damaged-" + stamp);
    for (int n = 2; fs::exists(fs::symlink_status(aside, error)); ++n) {
        aside = pathFromUtf8(folder) / ("records.damaged-" + stamp + "-" + std::to_string(n));
    }
    fs::rename(path, aside, error);
    sayOnStderr("vantor: the records file " + utf8FromPath(path) + " cannot be read (" + why + "); " +
                (error ? "it stays where it is (it cannot be moved aside: " + error.message() + ")"
                       : "it is kept as " + utf8FromPath(aside)) +
                ", and new records begin");
    return Records{};
}

bool saveRecords(const std::string& folder, const Records& records)
{
    namespace fs = std::filesystem;
    const fs::path path = pathFromUtf8(folder) / "records";
    std::error_code error;
    fs::create_directories(pathFromUtf8(folder), error);
    const std::string text = formatRecords(records);
    AtomicFile file;
    if (file.open(utf8FromPath(path)) && file.write(text.data(), text.size()) && file.commit()) {
        return true;
    }
    const char* reason = lastPlatformError();
    sayOnStderr("vantor: the records file " + utf8FromPath(path) + " cannot be written (" +
                (reason != nullptr ? reason : "no reason given") + ")");
    clearLastPlatformError();
    return false;
}

std::string raceRecordTime() { return localTime(false); }

std::string fileNameTime() { return localTime(true); }

std::string formatRaceTime(uint32_t milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%" PRIu32 ":%02" PRIu32 ".%02" PRIu32,
                  milliseconds / 60000, milliseconds / 1000 % 60, milliseconds / 10 % 100);
    return text;
}
