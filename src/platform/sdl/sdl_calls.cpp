// How a failed SDL call becomes the platform's last error.
#include "platform/sdl/sdl_calls.h"

#include <SDL.h>

#include <string>

#include "core/errors.h"

void beginSdlCall() { SDL_ClearError(); }

void recordSdlFailure(const char* call)
{
    std::string text = call;
    text += ": ";
    const char* sdlText = SDL_GetError();
    text += (sdlText && *sdlText) ? sdlText : "failed";
    setLastPlatformError(text.c_str());
}
