// The SDL backend's presenting: the back buffer shown through a streaming texture or the window's
// own surface, its shape kept, with or without vertical sync; the drawing scale the window asks
// for; mouse positions mapped back into the back buffer.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "gfx/surface.h"
#include "platform/sdl/sdl_calls.h"
#include "platform/window.h"

bool SdlBackend::makeTexture(int width, int height)
{
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    textureW = 0;
    textureH = 0;
    beginSdlCall();
    // 0x00RRGGBB in a 32-bit word, exactly the back buffer's pixels.
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    if (!texture) {
        recordSdlFailure("SDL_CreateTexture");
        return false;
    }
    textureW = width;
    textureH = height;
    smoothTexture = false;
    return true;
}

bool SdlBackend::rendererIsSoftware()
{
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) {
        return false;
    }
    if ((info.flags & SDL_RENDERER_SOFTWARE) != 0) {
        return true;
    }
    if (!info.name || std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    // The OpenGL renderer leaves its context current: ask it who draws.
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int glRenderer = 0x1F01;
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const auto* drawnBy =
        getString ? reinterpret_cast<const char*>(getString(glRenderer)) : nullptr;
    if (!drawnBy) {
        return false;
    }
    const std::string name = drawnBy;
    return name.find("llvmpipe") != std::string::npos ||
           name.find("softpipe") != std::string::npos ||
           name.find("Software Rasterizer") != std::string::npos ||
           name.find("swrast") != std::string::npos;
}

void SdlBackend::outputSize(int* width, int* height)
{
    *width = 0;
    *height = 0;
    if (renderer) {
        SDL_GetRendererOutputSize(renderer, width, height);
    } else if (window) {
        SDL_GetWindowSizeInPixels(window, width, height);
    }
}

PictureFit SdlBackend::pictureFit(int width, int height)
{
    int outW = 0;
    int outH = 0;
    outputSize(&outW, &outH);
    if (outW < 1 || outH < 1) {
        PictureFit fit;
        fit.rect = PixelRect{0, 0, std::max(1, width), std::max(1, height)};
        return fit;
    }
    return fitPicture(outW, outH, width, height, fullscreen);
}

void SdlBackend::toBackBuffer(int windowX, int windowY, int* x, int* y)
{
    const int shownW = std::max(1, pictureW);
    const int shownH = std::max(1, pictureH);
    const PictureFit fit = pictureFit(shownW, shownH);
    // The pointer comes in the window's units; on a HiDPI display its real pixels are more.
    int windowW = 0;
    int windowH = 0;
    int outW = 0;
    int outH = 0;
    if (window) {
        SDL_GetWindowSize(window, &windowW, &windowH);
        outputSize(&outW, &outH);
    }
    const int64_t pixelX =
        windowW > 0 && outW > 0 ? static_cast<int64_t>(windowX) * outW / windowW : windowX;
    const int64_t pixelY =
        windowH > 0 && outH > 0 ? static_cast<int64_t>(windowY) * outH / windowH : windowY;
    // A pointer over the black bars counts as the nearest edge of the picture.
    *x = static_cast<int>(
        std::clamp<int64_t>((pixelX - fit.rect.x) * shownW / fit.rect.w, 0, shownW - 1));
    *y = static_cast<int>(
        std::clamp<int64_t>((pixelY - fit.rect.y) * shownH / fit.rect.h, 0, shownH - 1));
}

bool SdlBackend::presentOnWindowSurface(const Surface& backBuffer)
{
    int windowW = 0;
    int windowH = 0;
    SDL_GetWindowSizeInPixels(window, &windowW, &windowH);
    if (!surfaceBytesFit(windowW, windowH)) {
        // No surface of that size can be made: the frame is skipped, and the player told once
        // until the window is small enough again. A window resized in the middle of a race never
        // stops it with a box.
        if (!surfaceTooLarge) {
            surfaceTooLarge = true;
            std::fprintf(stderr,
                         "The window is too large to show the game (%d x %d pixels); nothing is "
                         "shown until it is smaller.\n",
                         windowW, windowH);
            std::fflush(stderr);
        }
        return true;
    }
    surfaceTooLarge = false;
    beginSdlCall();
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) {
        recordSdlFailure("SDL_GetWindowSurface");
        return false;
    }
    shownFit = fitPicture(surface->w, surface->h, backBuffer.width, backBuffer.height, fullscreen);
    const bool sameFormat =
        surface->format->BitsPerPixel == 32 && surface->format->Rmask == 0x00FF0000u &&
        surface->format->Gmask == 0x0000FF00u && surface->format->Bmask == 0x000000FFu;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        recordSdlFailure("SDL_LockSurface");
        return false;
    }
    if (sameFormat) {
        showPicture(backBuffer, shownFit, static_cast<uint32_t*>(surface->pixels), surface->w,
                    surface->h, surface->pitch / static_cast<int>(sizeof(uint32_t)));
    } else {
        // A display of another depth: placed here first, then converted by SDL.
        converted.resize(static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h));
        showPicture(backBuffer, shownFit, converted.data(), surface->w, surface->h, surface->w);
        SDL_ConvertPixels(surface->w, surface->h, SDL_PIXELFORMAT_RGB888, converted.data(),
                          surface->w * static_cast<int>(sizeof(uint32_t)), surface->format->format,
                          surface->pixels, surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    beginSdlCall();
    if (SDL_UpdateWindowSurface(window) != 0) {
        recordSdlFailure("SDL_UpdateWindowSurface");
        return false;
    }
    return true;
}

int SdlBackend::drawingScale()
{
    if (!window) {
        return 1;
    }
    int outW = 0;
    int outH = 0;
    outputSize(&outW, &outH);
    // A window opened at whole scale s draws at s, full screen at the largest scale below the
    // display's size.
    return drawingScaleFitting(outW, outH);
}

int SdlBackend::viewWidth()
{
    if (!window) {
        return screenWidth;
    }
    int outW = 0;
    int outH = 0;
    outputSize(&outW, &outH);
    const int shaped = screenWidthForShape(outW, outH);
    if (fullscreen) {
        return shaped; // stretched over the display's last fraction of a pixel (fitPicture)
    }
    // A window shows the picture at a whole factor, nearest pixel: it must fit at that factor.
    const int fitting = outW / drawingScale() / 2 * 2;
    return std::max(screenWidth, std::min(shaped, fitting));
}

bool SdlBackend::present(const Surface& backBuffer)
{
    if (!window) {
        setLastPlatformError("present: no window is open");
        return false;
    }
    if (backBuffer.width <= 0 || backBuffer.height <= 0) {
        return true;
    }
    if (pictureWanted) {
        pictureWanted = false;
        keepPicture(backBuffer);
    }
    pictureW = backBuffer.width;
    pictureH = backBuffer.height;
    if (!renderer) {
        if (!presentOnWindowSurface(backBuffer)) {
            return false;
        }
        if (options.vsync) {
            pacer.afterPresent();
        }
        return true;
    }
    if ((backBuffer.width != textureW || backBuffer.height != textureH) &&
        !makeTexture(backBuffer.width, backBuffer.height)) {
        return false;
    }
    beginSdlCall();
    if (SDL_UpdateTexture(texture, nullptr, backBuffer.pixels.data(),
                          backBuffer.width * static_cast<int>(sizeof(uint32_t))) != 0) {
        recordSdlFailure("SDL_UpdateTexture");
        return false;
    }
    shownFit = pictureFit(textureW, textureH);
    if (shownFit.smooth != smoothTexture) {
        // Whole factors stay sharp; any other size is smoothed instead of losing whole rows.
        SDL_SetTextureScaleMode(texture,
                                shownFit.smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        smoothTexture = shownFit.smooth;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    const SDL_Rect target{shownFit.rect.x, shownFit.rect.y, shownFit.rect.w, shownFit.rect.h};
    beginSdlCall();
    if (SDL_RenderCopy(renderer, texture, nullptr, &target) != 0) {
        recordSdlFailure("SDL_RenderCopy");
        return false;
    }
    SDL_RenderPresent(renderer);
    if (options.vsync) {
        pacer.afterPresent();
    }
    return true;
}

