// Reading picture files: the whole file into memory, our own check of every byte of it, and only
// then our own reader (bmp_reader.h).
#include "pictures/picture_file.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/files.h"

namespace {

// The largest file worth reading: the biggest accepted picture at 32 bits per pixel, with the
// longest header, colour masks and palette.
constexpr long largestFileBytes =
    14 + 124 + 12 + 1024 + static_cast<long>(largestPicturePixels) * 4;

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool readWholeFile(const std::string& path, std::vector<uint8_t>* bytes)
{
    std::unique_ptr<std::FILE, CloseFile> file(openFile(path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return false;
    }
    const long size = std::ftell(file.get());
    if (size <= 0 || size > largestFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return false;
    }
    bytes->resize(static_cast<std::size_t>(size));
    return std::fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size();
}

} // namespace

PictureRead readPictureFile(const std::string& fileSystemPath, PicturePixels* picture)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(fileSystemPath, &bytes)) {
        return PictureRead::Unreadable;
    }
    return readPictureBytes(bytes.data(), bytes.size(), picture);
}

bool readPictureSize(const std::string& fileSystemPath, int* width, int* height)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(fileSystemPath, &bytes) ||
        !bmpFileIsWellFormed(bytes.data(), bytes.size())) {
        return false;
    }
    // After the 14-byte file header: the info header's size, then the width and height, two
    // bytes each in the oldest (12-byte) header and four in every later one.
    const uint8_t* info = bytes.data() + 14;
    const auto le = [info](int at, int count) {
        uint32_t v = 0;
        for (int i = count - 1; i >= 0; --i) {
            v = v << 8 | info[at + i];
        }
        return v;
    };
    if (le(0, 4) == 12) {
        *width = static_cast<int>(le(4, 2));
        *height = static_cast<int>(le(6, 2));
    } else {
        *width = static_cast<int>(static_cast<int32_t>(le(4, 4)));
        *height = std::abs(static_cast<int>(static_cast<int32_t>(le(8, 4))));
    }
    return true;
}

PictureRead readPictureBytes(const uint8_t* data, std::size_t size, PicturePixels* picture)
{
    if (size > static_cast<std::size_t>(largestFileBytes) || !bmpFileIsWellFormed(data, size)) {
        return PictureRead::Unreadable;
    }
    return decodeWellFormedBmp(data, size, picture);
}
