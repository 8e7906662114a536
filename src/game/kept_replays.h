#pragma once
// The replays the game keeps of the player's finished races, in the folder "replays" beside the
// records in the data folder (records_file.h):
//   best-CODE.vrp                   the fastest finished race on each track code, always kept
//   race-YYYYMMDD-HHMMSS-CODE.vrp   the other races, named by the local time of their start; only
//                                   the newest keptRaceReplays stay
// Every file is a replay file (replay_file.h), written whole or not at all.

#include <cstddef>
#include <string>

// How many replays of races that set no record stay.
inline constexpr std::size_t keptRaceReplays = 20;

// The replays' folder in the data folder `dataFolder`.
std::string replayFolder(const std::string& dataFolder);
// Where the best race on track `code` is kept.
std::string bestReplayPath(const std::string& dataFolder, const std::string& code);
// The name a race on track `code` starting now is recorded under (the local date and time).
std::string newRaceReplayPath(const std::string& dataFolder, const std::string& code);

// Called by the result screen once a finished race's replay was written whole at `recorded` (a
// newRaceReplayPath): when the race was the fastest on its track it becomes the track's best
// replay, taking the place of the one before; then every race replay but the newest
// keptRaceReplays is removed. Returns where the replay is kept now. A file that cannot be moved
// or removed is told in one line on standard error and left as it is.
std::string keepRaceReplay(const std::string& dataFolder, const std::string& recorded,
                           const std::string& code, bool fastest);
