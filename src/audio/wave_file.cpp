// WAV files of mixed sound, written as the sound is mixed.
#include "audio/wave_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/errors.h"
#include "platform/sound.h"

namespace {

constexpr uint32_t channels = 2;
constexpr uint32_t frameBytes = channels * sizeof(int16_t);
constexpr size_t headerBytes = 44;

// Stores `value` as `bytes` little-endian bytes at `out`.
void put(unsigned char* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

// The 44-byte header of a file holding `dataBytes` bytes of samples.
void header(unsigned char* out, uint32_t dataBytes)
{
    std::memcpy(out, "RIFF", 4);
    put(out + 4, 36 + dataBytes, 4);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    put(out + 16, 16, 4); // size of the format chunk
    put(out + 20, 1, 2);  // PCM
    put(out + 22, channels, 2);
    put(out + 24, soundRate, 4);
    put(out + 28, soundRate * frameBytes, 4);
    put(out + 32, frameBytes, 2);
    put(out + 34, 16, 2); // bits per sample
    std::memcpy(out + 36, "data", 4);
    put(out + 40, dataBytes, 4);
}

} // namespace

WaveWriter::WaveWriter(uint64_t dataLimit)
    : limit(std::min(dataLimit, waveDataLimit) / frameBytes * frameBytes)
{
}

WaveWriter::~WaveWriter() { abandon(); }

bool WaveWriter::fail(const char* reason)
{
    setLastPlatformError(reason);
    failed = true;
    return false;
}

bool WaveWriter::open(const std::string& path)
{
    namespace fs = std::filesystem;
    abandon();
    failed = false;
    written = 0;
    std::error_code error;
    fs::path target(path);
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        writingPath = finalPath = path;
    } else {
        if (fs::exists(status) && fs::is_symlink(fs::symlink_status(target, error))) {
            const fs::path linked = fs::canonical(target, error);
            if (!error)
                target = linked;
        }
        finalPath = target.string();
        writingPath = finalPath + waveUnfinishedSuffix;
    }
    file = std::fopen(writingPath.c_str(), "wb");
    if (file == nullptr)
        return fail(std::strerror(errno));
    unsigned char start[headerBytes];
    header(start, 0);
    if (std::fwrite(start, 1, sizeof start, file) != sizeof start) {
        fail(std::strerror(errno));
        abandon();
        return false;
    }
    return true;
}

WaveAppend WaveWriter::append(const int16_t* samples, size_t frames)
{
    if (file == nullptr || failed)
        return WaveAppend::Failed;
    const uint64_t room = (limit - written) / frameBytes;
    const auto taken = static_cast<size_t>(std::min<uint64_t>(frames, room));
    // Turned into little-endian bytes a piece at a time.
    constexpr size_t pieceFrames = 4096;
    unsigned char bytes[pieceFrames * frameBytes];
    for (size_t done = 0; done < taken;) {
        const size_t count = std::min(pieceFrames, taken - done);
        for (size_t i = 0; i < count * channels; ++i)
            put(bytes + 2 * i, static_cast<uint16_t>(samples[channels * done + i]), 2);
        const size_t size = count * frameBytes;
        if (std::fwrite(bytes, 1, size, file) != size) {
            fail(std::strerror(errno));
            return WaveAppend::Failed;
        }
        written += size;
        done += count;
    }
    return taken < frames ? WaveAppend::Full : WaveAppend::Written;
}

bool WaveWriter::finish()
{
    if (file == nullptr)
        return fail("no file is open");
    if (failed) {
        // The failure was told when it happened.
        abandon();
        return false;
    }
    unsigned char sizes[headerBytes];
    header(sizes, static_cast<uint32_t>(written));
    const bool patched =
        std::fseek(file, 4, SEEK_SET) == 0 && std::fwrite(sizes + 4, 1, 4, file) == 4 &&
        std::fseek(file, 40, SEEK_SET) == 0 && std::fwrite(sizes + 40, 1, 4, file) == 4;
    const int patchErrno = errno;
    const bool closed = std::fclose(file) == 0;
    const int closeErrno = errno;
    file = nullptr;
    if (!patched || !closed) {
        removeUnfinished();
        return fail(std::strerror(patched ? closeErrno : patchErrno));
    }
    if (writingPath != finalPath) {
        std::error_code error;
        std::filesystem::rename(writingPath, finalPath, error);
        if (error) {
            removeUnfinished();
            return fail(error.message().c_str());
        }
    }
    return true;
}

void WaveWriter::abandon()
{
    if (file == nullptr)
        return;
    std::fclose(file);
    file = nullptr;
    removeUnfinished();
}

void WaveWriter::removeUnfinished()
{
    if (writingPath != finalPath)
        std::remove(writingPath.c_str());
}
