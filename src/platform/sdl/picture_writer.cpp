// Writes pictures through SDL's own bitmap writer, so the files are exactly what SDL's loader
// (and any other BMP reader) expects.
#include "platform/picture_writer.h"

#include <SDL.h>

#include <cstddef>
#include <string>

#include "platform/errors.h"

bool writePictureFile(const char *path, const Surface &picture)
{
    if (path == nullptr || picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
        setLastPlatformError("Cannot write an empty or inconsistent picture");
        return false;
    }
    // 0x00RRGGBB pixels are SDL's RGB888 layout; without an alpha channel SDL saves 24 bits.
    // SDL only reads the pixels, the cast merely satisfies its signature.
    SDL_Surface *surface =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t *>(picture.pixels.data()), picture.width, picture.height,
                                           32, picture.width * 4, SDL_PIXELFORMAT_RGB888);
    if (surface == nullptr) {
        setLastPlatformError(SDL_GetError());
        return false;
    }
    const bool written = SDL_SaveBMP_RW(surface, SDL_RWFromFile(path, "wb"), 1) == 0;
    if (!written)
        setLastPlatformError((std::string(path) + ": " + SDL_GetError()).c_str());
    SDL_FreeSurface(surface);
    return written;
}
