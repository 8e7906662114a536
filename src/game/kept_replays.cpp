// The replays the game keeps.
#include "game/kept_replays.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/files.h"
#include "game/records_file.h"

namespace {

constexpr const char* racePrefix = "race-";
constexpr const char* replaySuffix = ".vrp";

// Tells on standard error that the replay at `path` could not be `what` ("moved", "removed").
void tellKeepingFailed(const char* what, const std::string& path, const std::error_code& error)
{
    std::fprintf(stderr, "vantor: the replay %s could not be %s: %s\n", path.c_str(), what,
                 error.message().c_str());
    std::fflush(stderr);
}

// Removes the oldest race replays in `folder` beyond keptRaceReplays. Their names sort by the
// time they were raced.
void removeOldRaceReplays(const std::string& folder)
{
    std::error_code error;
    std::vector<std::string> races;
    for (const auto& entry : std::filesystem::directory_iterator(pathFromUtf8(folder), error)) {
        const std::string name = utf8FromPath(entry.path().filename());
        if (name.starts_with(racePrefix) && name.ends_with(replaySuffix)) {
            races.push_back(name);
        }
    }
    if (races.size() <= keptRaceReplays) {
        return;
    }
    std::sort(races.begin(), races.end());
    for (std::size_t i = 0; i + keptRaceReplays < races.size(); ++i) {
        const std::string path = folder + "/" + races[i];
        if (!std::filesystem::remove(pathFromUtf8(path), error) && error) {
            tellKeepingFailed("removed", path, error);
        }
    }
}

} // namespace

std::string replayFolder(const std::string& dataFolder) { return dataFolder + "/replays"; }

std::string bestReplayPath(const std::string& dataFolder, const std::string& code)
{
    return replayFolder(dataFolder) + "/best-" + code + replaySuffix;
}

std::string newRaceReplayPath(const std::string& dataFolder, const std::string& code)
{
    return replayFolder(dataFolder) + "/" + racePrefix + fileNameTime() + "-" + code +
           replaySuffix;
}

std::string keepRaceReplay(const std::string& dataFolder, const std::string& recorded,
                           const std::string& code, bool fastest)
{
    std::string kept = recorded;
    if (fastest) {
        const std::string best = bestReplayPath(dataFolder, code);
        std::error_code error;
        std::filesystem::rename(pathFromUtf8(recorded), pathFromUtf8(best), error);
        if (error) {
            tellKeepingFailed("moved", recorded, error);
        } else {
            kept = best;
        }
    }
    removeOldRaceReplays(replayFolder(dataFolder));
    return kept;
}
