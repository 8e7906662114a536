#pragma once
// A file written whole or not at all: the bytes go to a temporary file beside it (its name with
// unfinishedFileSuffix added) and take the file's name only when every byte is written, so that
// a failed, abandoned or interrupted write never leaves a half file under the name asked for, and
// an earlier file of that name stays as it was until then. A name that is a link is followed: the
// temporary file goes beside the file it names, which is then replaced. A name that is something
// other than a file (a device such as /dev/null) is written in place.
//
// Used by every writer of the game's long or precious outputs: the WAV recording, replays, the
// records and the settings file. Typical use:
//   AtomicFile out;
//   if (!out.open(path)) ... lastPlatformError() says why
//   out.write(bytes, count);           // as often as needed, streamed
//   out.writeAt(0, header, size);      // an earlier part written again (sizes known at the end)
//   if (!out.commit()) ... lastPlatformError() says why

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// What the temporary name adds to the file's name.
inline constexpr char unfinishedFileSuffix[] = ".partial";

class AtomicFile {
public:
    AtomicFile() = default;
    // A file still open is abandoned.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Starts writing the file at `path` (UTF-8), abandoning one still open. False (with the
    // platform's last error set to the system's reason) when it cannot be created.
    bool open(const std::string& path);
    // Appends `size` bytes. False (the platform's last error set) when they could not be written;
    // after a failure nothing more is written and commit fails.
    bool write(const void* data, std::size_t size);
    // Writes `size` bytes again at `offset` from the file's start (bytes written before), then
    // goes on appending at the end. False as for write.
    bool writeAt(uint64_t offset, const void* data, std::size_t size);
    // Closes the file and gives it its name. False (the platform's last error set) when that, or
    // an earlier write, failed: the unfinished file is then removed.
    bool commit();
    // Closes and removes the unfinished file; the name asked for is left as it was.
    void abandon();

    bool isOpen() const { return file != nullptr; }

private:
    // Sets the platform's last error to `reason` and marks the file failed; returns false.
    bool fail(const char* reason);
    // Removes the file written under its temporary name (nothing when written in place).
    void removeUnfinished();

    std::FILE* file = nullptr;
    std::string finalPath;   // the name the finished file takes
    std::string writingPath; // the name it is written under meanwhile (finalPath when in place)
    bool failed = false;
};
