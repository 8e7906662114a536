// The SDL backend's input: SDL key events turned into Win32 virtual-key codes, the mouse, focus
// and closing, and the game controllers plugged in or out at any time, with their rumble.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/sdl/sdl_calls.h"

namespace {

// Marks a physical key pressed for the system's box and held past it: its repeats give no event,
// its release gives the key's own.
constexpr uint32_t heldThroughBox = 0xFFFFFFFEu;
// How long after the system's box closed a key that arrives pressed counts as held through it:
// the box answers when a key is let go, or at its first automatic repeat, and the key's next
// repeats reach the game's window as soon as it has the keyboard back, a few hundredths of a
// second later.
constexpr std::chrono::milliseconds boxKeysSettle{200};

// The keypad's keys with NumLock off, as a keyboard without a keypad has them: 8, 2, 4, 6 are
// the arrows, 7 and 1 Home and End, 9 and 3 Page Up and Down, 0 Insert, the point Delete, 5 the
// Win32 "clear" key. 0 for other keys.
uint32_t keypadWithoutNumLock(SDL_Keycode key)
{
    switch (key) {
    case SDLK_KP_8: return 0x26;
    case SDLK_KP_2: return 0x28;
    case SDLK_KP_4: return 0x25;
    case SDLK_KP_6: return 0x27;
    case SDLK_KP_7: return 0x24;
    case SDLK_KP_1: return 0x23;
    case SDLK_KP_9: return 0x21;
    case SDLK_KP_3: return 0x22;
    case SDLK_KP_0: return 0x2D;
    case SDLK_KP_PERIOD: return 0x2E;
    case SDLK_KP_5: return 0x0C;
    default: return 0;
    }
}

// The Win32 virtual-key code of an SDL key, 0 for keys the game has no code for.
uint32_t virtualKeyOf(SDL_Keycode key, bool numLock)
{
    if (!numLock) {
        if (uint32_t code = keypadWithoutNumLock(key)) {
            return code;
        }
    }
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<uint32_t>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<uint32_t>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<uint32_t>(0x70 + (key - SDLK_F1));
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return static_cast<uint32_t>(0x61 + (key - SDLK_KP_1));
    }
    switch (key) {
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER: return 13;
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 0x20;
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return 0x11;
    case SDLK_LALT:
    case SDLK_RALT: return 0x12;
    case SDLK_PAUSE: return 0x13;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    case SDLK_KP_0: return 0x60;
    case SDLK_KP_MULTIPLY: return 0x6A;
    case SDLK_KP_PLUS: return 0x6B;
    case SDLK_KP_MINUS: return 0x6D;
    case SDLK_KP_PERIOD: return 0x6E;
    case SDLK_KP_DIVIDE: return 0x6F;
    case SDLK_SEMICOLON: return 0xBA;
    case SDLK_EQUALS: return 0xBB;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_SLASH: return 0xBF;
    case SDLK_BACKQUOTE: return 0xC0;
    case SDLK_LEFTBRACKET: return 0xDB;
    case SDLK_BACKSLASH: return 0xDC;
    case SDLK_RIGHTBRACKET: return 0xDD;
    case SDLK_QUOTE: return 0xDE;
    default: return 0;
    }
}

// The game's mouse button number of an SDL button, 0 for buttons the game does not know.
int buttonOf(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 4;
    default: return 0;
    }
}

} // namespace

bool SdlBackend::pollEvent(PlatformEvent* event)
{
    if (!videoStarted) {
        return false;
    }
    SDL_Event sdlEvent;
    while (SDL_PollEvent(&sdlEvent)) {
        switch (sdlEvent.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (keyEvent(&sdlEvent.key, event)) {
                return true;
            }
            break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION: {
            if (sdlEvent.type == SDL_CONTROLLERDEVICEADDED) {
                controllerAdded(sdlEvent.cdevice.which);
            } else if (sdlEvent.type == SDL_CONTROLLERDEVICEREMOVED) {
                controllerRemoved(sdlEvent.cdevice.which);
            }
            // The game hears of a change only: a stick that trembles inside one state says nothing.
            ControllerState pad = controllerState();
            if (pad == lastPad) {
                break;
            }
            lastPad = pad;
            event->kind = PlatformEvent::Kind::Controller;
            event->pad = pad;
            return true;
        }
        case SDL_MOUSEMOTION:
            event->kind = PlatformEvent::Kind::MouseMove;
            toBackBuffer(sdlEvent.motion.x, sdlEvent.motion.y, &event->x, &event->y);
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            int button = buttonOf(sdlEvent.button.button);
            if (button == 0) {
                break;
            }
            event->kind = sdlEvent.type == SDL_MOUSEBUTTONDOWN ? PlatformEvent::Kind::MouseDown
                                                               : PlatformEvent::Kind::MouseUp;
            event->button = button;
            toBackBuffer(sdlEvent.button.x, sdlEvent.button.y, &event->x, &event->y);
            return true;
        }
        case SDL_WINDOWEVENT:
            if (sdlEvent.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                event->kind = PlatformEvent::Kind::FocusLost;
                return true;
            }
            if (sdlEvent.window.event == SDL_WINDOWEVENT_CLOSE) {
                event->kind = PlatformEvent::Kind::Close;
                return true;
            }
            break;
        case SDL_AUDIODEVICEREMOVED:
            if (sdlEvent.adevice.iscapture == 0) {
                soundDeviceLost();
            }
            break;
        case SDL_QUIT:
            // The session asks the program to end: the same as closing its window.
            event->kind = PlatformEvent::Kind::Close;
            return true;
        default: break;
        }
    }
    return false;
}

void SdlBackend::discardInput()
{
    if (!videoStarted) {
        return;
    }
    const Clock::time_point until = Clock::now() + boxKeysSettle;
    for (;;) {
        SDL_PumpEvents();
        SDL_Event taken[16];
        int count = 0;
        while ((count = SDL_PeepEvents(taken, 16, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYDOWN)) > 0) {
            for (int i = 0; i < count; ++i) {
                const auto physical = static_cast<size_t>(taken[i].key.keysym.scancode);
                if (physical < pressedKeys.size()) {
                    pressedKeys[physical] = heldThroughBox;
                }
            }
        }
        // Typed text and the mouse; key releases stay, so that the Window learns which keys
        // were let go.
        SDL_FlushEvents(SDL_TEXTEDITING, SDL_TEXTINPUT);
        SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
        if (Clock::now() >= until) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool SdlBackend::keyEvent(const void* sdlKeyEvent, PlatformEvent* event)
{
    const SDL_KeyboardEvent& key = *static_cast<const SDL_KeyboardEvent*>(sdlKeyEvent);
    const bool down = key.type == SDL_KEYDOWN;
    const size_t physical = static_cast<size_t>(key.keysym.scancode);
    const bool tracked = physical < pressedKeys.size();
    uint32_t code = 0;
    if (tracked && pressedKeys[physical] == heldThroughBox) {
        if (down) {
            return false;
        }
        pressedKeys[physical] = 0;
        code = virtualKeyOf(key.keysym.sym, (key.keysym.mod & KMOD_NUM) != 0);
    } else if (down) {
        code = virtualKeyOf(key.keysym.sym, (key.keysym.mod & KMOD_NUM) != 0);
        if (tracked) {
            pressedKeys[physical] = code;
        }
    } else {
        // A release gives the key its press gave, whatever NumLock says now.
        code = tracked && pressedKeys[physical] != 0
                   ? pressedKeys[physical]
                   : virtualKeyOf(key.keysym.sym, (key.keysym.mod & KMOD_NUM) != 0);
        if (tracked) {
            pressedKeys[physical] = 0;
        }
    }
    if (code == 0) {
        return false;
    }
    // Automatic repeats arrive as further key-downs, as the screens expect.
    event->kind = down ? PlatformEvent::Kind::KeyDown : PlatformEvent::Kind::KeyUp;
    event->key = code;
    return true;
}

void SdlBackend::controllerAdded(int deviceIndex)
{
    if (!SDL_IsGameController(deviceIndex)) {
        return;
    }
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) {
        return;
    }
    // Plug-in events come for controllers already open too (those found at start).
    if (std::find(controllers.begin(), controllers.end(), controller) != controllers.end()) {
        SDL_GameControllerClose(controller);
        return;
    }
    controllers.push_back(controller);
}

void SdlBackend::controllerRemoved(int instanceId)
{
    SDL_GameController* controller = SDL_GameControllerFromInstanceID(instanceId);
    auto found = std::find(controllers.begin(), controllers.end(), controller);
    if (controller && found != controllers.end()) {
        SDL_GameControllerClose(controller);
        controllers.erase(found);
    }
}

ControllerState SdlBackend::controllerState()
{
    struct Binding {
        SDL_GameControllerButton button;
        uint32_t bit;
    };
    static const Binding bindings[] = {
        {SDL_CONTROLLER_BUTTON_A, padA},
        {SDL_CONTROLLER_BUTTON_B, padB},
        {SDL_CONTROLLER_BUTTON_X, padX},
        {SDL_CONTROLLER_BUTTON_Y, padY},
        {SDL_CONTROLLER_BUTTON_BACK, padBack},
        {SDL_CONTROLLER_BUTTON_START, padStart},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, padLeftShoulder},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, padRightShoulder},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, padUp},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, padDown},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, padLeft},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, padRight},
    };
    // The axis value pushed furthest from rest among the controllers.
    auto furthest = [](int16_t current, int16_t value) {
        return std::abs(static_cast<int>(value)) > std::abs(static_cast<int>(current)) ? value
                                                                                       : current;
    };
    ControllerState state;
    for (SDL_GameController* controller : controllers) {
        for (const Binding& binding : bindings) {
            if (SDL_GameControllerGetButton(controller, binding.button)) {
                state.buttons |= binding.bit;
            }
        }
        state.stickX = furthest(state.stickX,
                                SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX));
        state.stickY = furthest(state.stickY,
                                SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
        state.leftTrigger =
            furthest(state.leftTrigger,
                     SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
        state.rightTrigger =
            furthest(state.rightTrigger,
                     SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    }
    return state;
}

void SdlBackend::rumble(float strength, uint32_t milliseconds)
{
    const float clamped = std::clamp(strength, 0.0f, 1.0f);
    const auto motor = static_cast<Uint16>(clamped * 65535.0f);
    for (SDL_GameController* controller : controllers) {
        // A controller without motors refuses; that is no fault of the game's.
        SDL_GameControllerRumble(controller, motor, motor, milliseconds);
    }
}
