// The SDL backend's message boxes: SDL's own, with the game's captions and texts.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include "core/errors.h"
#include "platform/sdl/sdl_calls.h"

BoxAnswer SdlBackend::showMessageBox(MessageBoxKind kind, const char* caption, const char* text)
{
    if (!options.messageBoxes) {
        return BoxAnswer::No;
    }
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0,
         "OK"},
    };
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    bool question = kind == MessageBoxKind::Question;
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (kind) {
    case MessageBoxKind::Fatal: flags |= SDL_MESSAGEBOX_ERROR; break;
    case MessageBoxKind::Fault:
    case MessageBoxKind::Warning: flags |= SDL_MESSAGEBOX_WARNING; break;
    case MessageBoxKind::Question: flags |= SDL_MESSAGEBOX_INFORMATION; break;
    }
    SDL_MessageBoxData box{};
    box.flags = flags;
    // The fatal report belongs to no window; the others belong to the game's.
    box.window = kind == MessageBoxKind::Fatal ? nullptr : window;
    box.title = caption ? caption : "";
    box.message = text ? text : "";
    box.numbuttons = question ? 2 : 1;
    box.buttons = question ? yesNoButtons : okButton;
    int pressed = 0;
    beginSdlCall();
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        // No dialog helper and no fonts for SDL's own box, for instance; SDL says which.
        recordSdlFailure("SDL_ShowMessageBox");
        return BoxAnswer::NotShown;
    }
    return question && pressed == 1 ? BoxAnswer::Yes : BoxAnswer::No;
}
