// Reading picture files: the whole file into memory, our own check of every byte of it, and only
// then the platform's decoder.
#include "pictures/picture_file.h"

#include <cstdio>
#include <memory>

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
    std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
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

PictureRead readPictureBytes(const uint8_t* data, std::size_t size, PicturePixels* picture)
{
    if (size > static_cast<std::size_t>(largestFileBytes) || !bmpFileIsWellFormed(data, size)) {
        return PictureRead::Unreadable;
    }
    return decodeCheckedBmp(data, size, picture);
}
