// Writes pictures as uncompressed 24-bit Windows bitmaps: the 14-byte file header, the 40-byte
// information header, then the rows bottom to top, blue-green-red, each padded to four bytes.
#include "pictures/picture_writer.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/files.h"

namespace {

void putLittleEndian(std::vector<uint8_t>* bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) {
        bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool writePictureFile(const char* path, const Surface& picture)
{
    if (path == nullptr || picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() !=
            static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
        setLastPlatformError("Cannot write an empty or inconsistent picture");
        return false;
    }
    const size_t rowBytes = (static_cast<size_t>(picture.width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t pixelBytes = rowBytes * static_cast<size_t>(picture.height);
    constexpr uint32_t headerBytes = 14 + 40;
    if (pixelBytes > UINT32_MAX - headerBytes) {
        setLastPlatformError("Cannot write a picture this large");
        return false;
    }
    // The whole file is held at once; nothing below asks for more room than this.
    std::vector<uint8_t> bytes;
    allocateOrFatal(__LINE__, "Out of memory while writing a picture",
                    [&] { bytes.reserve(headerBytes + pixelBytes); });
    bytes.push_back('B');
    bytes.push_back('M');
    putLittleEndian(&bytes, headerBytes + static_cast<uint32_t>(pixelBytes), 4);
    putLittleEndian(&bytes, 0, 4);           // two reserved words
    putLittleEndian(&bytes, headerBytes, 4); // where the pixels start
    putLittleEndian(&bytes, 40, 4);          // information header size
    putLittleEndian(&bytes, static_cast<uint32_t>(picture.width), 4);
    putLittleEndian(&bytes, static_cast<uint32_t>(picture.height), 4); // positive: bottom-up
    putLittleEndian(&bytes, 1, 2);                                     // planes
    putLittleEndian(&bytes, 24, 2);                                    // bits per pixel
    putLittleEndian(&bytes, 0, 4);                                     // no compression
    putLittleEndian(&bytes, static_cast<uint32_t>(pixelBytes), 4);
    for (int field = 0; field < 4; ++field) {
        putLittleEndian(&bytes, 0, 4); // resolution across and down, palette counts: none
    }
    for (int y = picture.height - 1; y >= 0; --y) {
        const uint32_t* row =
            picture.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(picture.width);
        for (int x = 0; x < picture.width; ++x) {
            putLittleEndian(&bytes, row[x] & 0x00FFFFFFu, 3);
        }
        bytes.resize(bytes.size() + rowBytes - static_cast<size_t>(picture.width) * 3, 0);
    }
    // The reason is taken from the failing call itself, never from an earlier one.
    std::unique_ptr<std::FILE, CloseFile> file(openFile(path, "wb"));
    if (!file) {
        setLastPlatformError((std::string(path) + ": " + std::strerror(errno)).c_str());
        return false;
    }
    errno = 0;
    const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const bool closed = std::fclose(file.release()) == 0;
    if (!complete || !closed) {
        const char* reason = errno != 0 ? std::strerror(errno) : "the file could not be written";
        setLastPlatformError((std::string(path) + ": " + reason).c_str());
        return false;
    }
    return true;
}
