// WAV files of mixed sound, written as the sound is mixed.
#include "audio/wave_file.h"

#include <algorithm>
#include <cstring>

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

bool WaveWriter::open(const std::string& path)
{
    written = 0;
    unsigned char start[headerBytes];
    header(start, 0);
    return file.open(path) && file.write(start, sizeof start);
}

WaveAppend WaveWriter::append(const int16_t* samples, size_t frames)
{
    if (!file.isOpen())
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
        if (!file.write(bytes, size))
            return WaveAppend::Failed;
        written += size;
        done += count;
    }
    return taken < frames ? WaveAppend::Full : WaveAppend::Written;
}

bool WaveWriter::finish()
{
    unsigned char sizes[headerBytes];
    header(sizes, static_cast<uint32_t>(written));
    // A failed append or open leaves the file failed: commit then removes it.
    if (file.isOpen()) {
        file.writeAt(4, sizes + 4, 4) && file.writeAt(40, sizes + 40, 4);
    }
    return file.commit();
}

void WaveWriter::abandon() { file.abandon(); }
