// WAV files of mixed sound.
#include "audio/wave_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/errors.h"
#include "core/files.h"
#include "platform/sound.h"

namespace {

// Appends `value` as `bytes` little-endian bytes.
void put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

bool writeWaveFile(const char* path, const std::vector<int16_t>& samples)
{
    const auto dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    const uint32_t channels = 2;
    const uint32_t blockAlign = channels * sizeof(int16_t);
    std::string file;
    file.reserve(44 + dataBytes);
    file += "RIFF";
    put(file, 36 + dataBytes, 4);
    file += "WAVEfmt ";
    put(file, 16, 4); // size of the format chunk
    put(file, 1, 2);  // PCM
    put(file, channels, 2);
    put(file, soundRate, 4);
    put(file, soundRate * blockAlign, 4);
    put(file, blockAlign, 2);
    put(file, 16, 2); // bits per sample
    file += "data";
    put(file, dataBytes, 4);
    for (int16_t sample : samples)
        put(file, static_cast<uint16_t>(sample), 2);

    std::FILE* out = openFile(path, "wb");
    if (out == nullptr) {
        setLastPlatformError(std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    const int writeErrno = errno;
    if (std::fclose(out) != 0 || !written) {
        setLastPlatformError(std::strerror(written ? errno : writeErrno));
        return false;
    }
    return true;
}
