#pragma once
// Writes mixed sound to a WAV file while it is being mixed: 16-bit PCM, two channels, soundRate
// samples per second. Used by vantor-run's --audio, which hands over each piece of a race's sound
// as it is mixed, so that a recording of any length takes a small, fixed amount of memory.
//
// The file is written whole or not at all (core/atomic_file.h): a failed or abandoned recording
// never leaves a half file under the name asked for.
//
// Typical use:
//   WaveWriter wave;
//   if (!wave.open(path)) ... lastPlatformError() says why
//   wave.append(samples, frames);   // as often as sound is mixed
//   if (!wave.finish()) ... lastPlatformError() says why

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/atomic_file.h"

// The most sample bytes a WAV file can hold, in whole stereo frames: its sizes are 32-bit, and
// the size of the whole file's contents counts the 36 bytes of header after it as well. Just under
// 4 GiB: 6 h 45 min of sound.
inline constexpr uint64_t waveDataLimit = (UINT32_MAX - 36) / 4 * 4;

// What became of sound handed to WaveWriter::append.
enum class WaveAppend {
    Written, // all of it is in the file
    Full,    // the file reached its limit: what fitted is in the file, the rest is left out
    Failed,  // the file could not be written (the platform's last error says why)
};

class WaveWriter {
public:
    // `dataLimit`: the most sample bytes the file takes, rounded down to whole stereo frames (at
    // most waveDataLimit; tests give less, to reach it quickly).
    explicit WaveWriter(uint64_t dataLimit = waveDataLimit);
    // A file still open is abandoned.
    ~WaveWriter();
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;

    // Starts the file at `path` (UTF-8), with a header that says "no sound yet". False (with the
    // platform's last error set to the system's reason) when it cannot be created.
    bool open(const std::string& path);
    // Appends `frames` stereo frames, interleaved left, right (2 x frames values). Once the file
    // is full, or after a failure, nothing more is written.
    WaveAppend append(const int16_t* samples, size_t frames);
    // Writes the sizes into the header, closes the file and gives it its name. False (with the
    // platform's last error set) when any of that, or an earlier append, failed: the file is
    // then removed. A full file is finished like any other.
    bool finish();
    // Closes and removes the unfinished file; the name asked for is left as it was.
    void abandon();

    bool isOpen() const { return file.isOpen(); }
    // Sample bytes in the file so far.
    uint64_t dataBytes() const { return written; }

private:
    uint64_t limit;
    AtomicFile file;
    uint64_t written = 0;
};
