// Decoding BMP files with SDL's reader, after our own check of the file.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/picture_file.h"

namespace {

// The largest file worth reading: the biggest accepted picture at 32 bits per pixel, with the
// longest header, colour masks and palette.
constexpr long largestFileBytes =
    14 + 124 + 12 + 1024 + static_cast<long>(largestPictureSide) * largestPictureSide * 4;

struct FreeSurface {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, FreeSurface>;

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

PictureRead failure()
{
    return std::strstr(SDL_GetError(), "Out of memory") ? PictureRead::OutOfMemory
                                                        : PictureRead::Unreadable;
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
    if (size > static_cast<std::size_t>(largestFileBytes) || !bmpFileLooksSound(data, size)) {
        return PictureRead::Unreadable;
    }
    SDL_ClearError();
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr) {
        return failure();
    }
    SurfacePtr loaded(SDL_LoadBMP_RW(stream, 1));
    if (!loaded) {
        return failure();
    }
    SurfacePtr converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!converted) {
        return failure();
    }
    loaded.reset();
    const int width = converted->w;
    const int height = converted->h;
    picture->pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (SDL_LockSurface(converted.get()) != 0) {
        return failure();
    }
    const auto* rows = static_cast<const uint8_t*>(converted->pixels);
    for (int y = 0; y < height; ++y) {
        uint32_t* out = picture->pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::memcpy(out, rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(converted->pitch),
                    static_cast<std::size_t>(width) * sizeof(uint32_t));
        for (int x = 0; x < width; ++x) {
            out[x] &= 0x00FFFFFFu;
        }
    }
    SDL_UnlockSurface(converted.get());
    picture->width = width;
    picture->height = height;
    return PictureRead::Loaded;
}
