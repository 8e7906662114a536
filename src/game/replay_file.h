#pragma once
// Replay files: a finished race as it was played, to watch again, to race against as a ghost, and
// for vantor-run to play back. A race comes out the same from the same seed, settings, clock
// readings and controls, so that is all a replay holds, with the player's place after each frame
// for the ghost.
//
// The file, all numbers little-endian:
//   0   "VANTORRP"                 8 bytes
//   8   version, 1                 2 bytes
//   10  header size, 32            2 bytes
//   12  track code                 10 characters (race/track_code.h)
//   22  0                          2 bytes
//   24  clock at the race's start  4 bytes: the reading the race was seeded with
//   28  frame count                4 bytes
//   32  frames, 17 bytes each: the frame's clock reading (4), its controls (1: bit 0 accelerate,
//       1 brake, 2 steer left, 3 steer right, 4 give up), the player's x, y and z after it
//       (3 floats)
//   end CRC-32 (core/checksum.h) of the frames and then the header, 4 bytes (the header is
//       finished last, when the frame count is known)
//
// ReplayWriter streams a race into the file as it is played and gives the file its name only when
// the race is over (core/atomic_file.h); readReplayFile checks a whole file before it is used.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "controls/race_controls.h"
#include "core/atomic_file.h"

inline constexpr uint16_t replayVersion = 1;
// The most frames a replay file may hold: over four hours at 60 frames a second.
inline constexpr uint32_t largestReplayFrames = 1000000;

// The controls of one frame, as bits.
enum ReplayControl : uint8_t {
    replayAccelerate = 1,
    replayBrake = 2,
    replaySteerLeft = 4,
    replaySteerRight = 8,
    replayGiveUp = 16,
};
inline constexpr uint8_t replayControlBits = 31;

// The controls a frame held as a replay keeps them (ReplayControl bits), and back: what the race
// loop records, and what a replay played back holds in each frame.
uint8_t replayControlsOf(const RaceControls& controls);
RaceControls raceControlsOf(uint8_t replayControls);

struct ReplayFrame {
    uint32_t clock = 0;   // the clock reading the race frame's timer took
    uint8_t controls = 0; // ReplayControl bits held in the frame
    float x = 0.0f;       // where the player's car stood after the frame, in world units
    float y = 0.0f;
    float z = 0.0f;
};

// A whole replay, as readReplayFile reads it. Owned by its reader.
struct Replay {
    std::string code;        // the race's track code
    uint32_t startClock = 0; // the clock reading at the race's set-up
    std::vector<ReplayFrame> frames;
};

// Reads and checks the replay file at `path`. On success fills *replay and returns true; on
// failure leaves it empty, puts what is wrong in *why ("cannot be read: No such file or
// directory", "is not a replay file", "is a replay of version 2, newer than this game's",
// "is truncated", "is damaged: its checksum does not match", ...) and returns false. Never reads
// more than a replay of largestReplayFrames can hold.
bool readReplayFile(const std::string& path, Replay* replay, std::string* why);
// The same for an open stream (owned by the caller), read from where it stands to its end; the
// replay file fuzzer feeds its inputs through here.
bool readReplay(std::FILE* file, Replay* replay, std::string* why);

// Streams one race into a replay file. Typical use: begin at the race's set-up, add every race
// frame, finish when the race has ended (or abandon, or let the writer go: an unfinished replay
// leaves nothing behind).
class ReplayWriter {
public:
    // Starts the file at `path` for the race of track code `code` seeded at `startClock`. False
    // (the platform's last error set) when it cannot be created.
    bool begin(const std::string& path, const std::string& code, uint32_t startClock);
    // Adds one race frame. False once the file cannot be written or holds largestReplayFrames.
    bool add(const ReplayFrame& frame);
    // Writes the frame count and checksum and gives the file its name; false (the platform's last
    // error set) when that or an earlier write failed, and the file is then removed.
    bool finish();
    void abandon() { file.abandon(); }
    bool isOpen() const { return file.isOpen(); }
    uint32_t frameCount() const { return frames; }

private:
    AtomicFile file;
    uint32_t crc = 0;
    uint32_t frames = 0;
    bool full = false;
    unsigned char header[32] = {};
};
