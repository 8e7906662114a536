// Decoding BMP files with SDL's reader; the picture loader has checked the file before.
#include <SDL.h>

#include <cstring>
#include <memory>
#include <new>

#include "platform/bmp_decoder.h"

namespace {

struct FreeSurface {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, FreeSurface>;

// A file SDL could not decode; its running out of memory is thrown as a new-expression's is.
PictureRead failure()
{
    if (std::strstr(SDL_GetError(), "Out of memory")) {
        throw std::bad_alloc();
    }
    return PictureRead::Unreadable;
}

} // namespace

PictureRead decodeCheckedBmp(const uint8_t* data, std::size_t size, PicturePixels* picture)
{
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
        uint32_t* out =
            picture->pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::memcpy(out,
                    rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(converted->pitch),
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
