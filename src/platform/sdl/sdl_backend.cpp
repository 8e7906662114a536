// The desktop backend on SDL2: window, renderer and streaming texture or the window's own
// surface, event translation, controllers, cursors, desktop full screen, message boxes, pictures
// kept with F12 and the pacing of presents without vertical sync.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "gfx/surface.h"
#include "platform/errors.h"
#include "platform/sdl/screenshot.h"
#include "platform/window.h"

namespace {

// Room left around the scaled client area for the window's frame and title bar, and for the
// panels the usable desktop may not account for.
constexpr int frameAllowanceW = 16;
constexpr int frameAllowanceH = 64;
// The refresh rate assumed when the display does not tell its own.
constexpr int defaultRefreshHz = 60;
// Before an SDL call whose failure we report: forget earlier SDL errors, so that what is read
// after a failure belongs to this call alone.
void beginSdlCall() { SDL_ClearError(); }

// After that call failed: the platform's last error becomes SDL's own description. The system's
// error number is left out: SDL's libraries set it along the way even when they succeed, so its
// text would tell a stale reason ("Resource temporarily unavailable") beside SDL's.
void recordSdlFailure(const char* call)
{
    std::string text = call;
    text += ": ";
    const char* sdlText = SDL_GetError();
    text += (sdlText && *sdlText) ? sdlText : "failed";
    setLastPlatformError(text.c_str());
}

// Marks a physical key whose press was a comfort key (F11, F12, Alt+Enter): its release gives
// no event either.
constexpr uint32_t swallowedKey = 0xFFFFFFFFu;

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

#if defined(__SANITIZE_ADDRESS__)
// Sanitized builds: the session bus library that SDL's video loads keeps one buffer for the
// whole process in a way the leak checker cannot follow; it is not the game's to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
#endif

SdlBackend::SdlBackend(const SdlBackendOptions& chosen)
    : options(chosen), started(Clock::now()), classic(chosen.classic)
{
}

// SDL's video stays up until the process ends: quitting it would unload the system libraries
// it opened, leaving their own allocations behind where no tool can trace them.
SdlBackend::~SdlBackend()
{
    if (soundOpen) {
        Mix_HookMusic(nullptr, nullptr);
        Mix_CloseAudio();
    }
    closeWindow();
}

bool SdlBackend::openWindow(const char* title, int clientWidth, int clientHeight)
{
    closeWindow();
    if (!videoStarted) {
        // Ctrl-C ends the game as it ends any program, instead of arriving as an SDL quit event.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // Closing the window arrives once, as the window's own close event.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        // The back buffer is scaled nearest-pixel, never smoothed.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        // The window's own surface, used only where no graphics hardware draws, goes straight to
        // the display; left to its default, SDL would carry it through a software OpenGL too.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        beginSdlCall();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
            recordSdlFailure("SDL_InitSubSystem");
            return false;
        }
        // With no display SDL falls back to a video driver that shows nothing. Unless the player
        // asked for it by name, that is no window at all.
        const char* driver = SDL_GetCurrentVideoDriver();
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        bool invisible =
            driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
        if (invisible && !(asked && std::strcmp(asked, driver) == 0)) {
            std::string text = "no display to open a window on (SDL found only its ";
            text += driver;
            text += " video driver)";
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            setLastPlatformError(text.c_str());
            return false;
        }
        videoStarted = true;
        // Controllers are a comfort: without them the game goes on with the keyboard. Those
        // already plugged in arrive as plug-in events like later ones.
        controllersStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    }

    scaleFactor = options.scale;
    if (scaleFactor <= 0) {
        SDL_Rect usable{};
        scaleFactor = 1;
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
            scaleFactor = std::max(1, std::min((usable.w - frameAllowanceW) / clientWidth,
                                               (usable.h - frameAllowanceH) / clientHeight));
        }
    }

    beginSdlCall();
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              clientWidth * scaleFactor, clientHeight * scaleFactor,
                              SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        recordSdlFailure("SDL_CreateWindow");
        scaleFactor = 0;
        return false;
    }
    const auto makeRenderer = [this] {
        beginSdlCall();
        renderer = SDL_CreateRenderer(window, -1, options.vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
        if (!renderer) {
            recordSdlFailure("SDL_CreateRenderer");
            closeWindow();
        }
        return renderer != nullptr;
    };
    if (!makeRenderer()) {
        return false;
    }
    if (rendererIsSoftware()) {
        // The processor would draw the texture anyway, through many more steps than a copy
        // into the window's own surface. Where the system offers no such surface (a Wayland
        // desktop, say), a new renderer and its texture it is after all.
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
        if (!SDL_GetWindowSurface(window) && !makeRenderer()) {
            return false;
        }
    }
    SDL_RendererInfo info{};
    // The window's own surface has no vertical sync: its presents pace themselves.
    bool vsync = false;
    if (!renderer) {
        renderName = "window surface";
    } else if (SDL_GetRendererInfo(renderer, &info) == 0) {
        renderName = info.name ? info.name : "";
        vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    if (renderer && !makeTexture(clientWidth, clientHeight)) {
        closeWindow();
        return false;
    }
    SDL_DisplayMode mode{};
    int refreshHz = defaultRefreshHz;
    if (SDL_GetCurrentDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window)), &mode) == 0 &&
        mode.refresh_rate > 0) {
        refreshHz = mode.refresh_rate;
    }
    pacer.start(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / refreshHz,
                !vsync);

    arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    crossCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
    cursorShown = -1;
    fullscreen = false;
    // Until the first present, the picture is the client area's size.
    pictureW = clientWidth;
    pictureH = clientHeight;
    pressedKeys.assign(SDL_NUM_SCANCODES, 0);
    SDL_RaiseWindow(window);
    return true;
}

void SdlBackend::closeWindow()
{
    finishPictures();
    for (SDL_GameController* controller : controllers) {
        SDL_GameControllerClose(controller);
    }
    controllers.clear();
    lastPad = ControllerState{};
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    textureW = 0;
    textureH = 0;
    pictureW = 0;
    pictureH = 0;
    converted.clear();
    converted.shrink_to_fit();
    if (renderer) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    if (arrowCursor) {
        SDL_FreeCursor(arrowCursor);
        arrowCursor = nullptr;
    }
    if (crossCursor) {
        SDL_FreeCursor(crossCursor);
        crossCursor = nullptr;
    }
    renderName.clear();
    scaleFactor = 0;
    fullscreen = false;
}

void SdlBackend::setTitle(const char* title)
{
    if (window) {
        SDL_SetWindowTitle(window, title ? title : "");
    }
}

void SdlBackend::desktopSize(int* width, int* height)
{
    SDL_Rect usable{};
    int display = window ? std::max(0, SDL_GetWindowDisplayIndex(window)) : 0;
    if (videoStarted && SDL_GetDisplayUsableBounds(display, &usable) == 0) {
        *width = usable.w;
        *height = usable.h;
        return;
    }
    // Unknown desktop: as large as the window, so that centring leaves it where it is.
    windowOuterSize(width, height);
}

void SdlBackend::windowOuterSize(int* width, int* height)
{
    *width = 0;
    *height = 0;
    if (!window) {
        return;
    }
    SDL_GetWindowSize(window, width, height);
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    // Without a window manager there is no frame, and SDL says so by failing: the frame is 0.
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0) {
        *width += left + right;
        *height += top + bottom;
    }
}

void SdlBackend::moveWindow(int x, int y)
{
    if (!window || fullscreen) {
        return;
    }
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &usable) != 0) {
        usable = SDL_Rect{};
    }
    int top = 0;
    int left = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) != 0) {
        top = 0;
        left = 0;
    }
    // SDL places the client area; the game places the outer corner.
    SDL_SetWindowPosition(window, usable.x + x + left, usable.y + y + top);
}

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
    // Keys, text and the mouse lie between SDL_KEYDOWN and SDL_MOUSEWHEEL.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
}

bool SdlBackend::keyEvent(const void* sdlKeyEvent, PlatformEvent* event)
{
    const SDL_KeyboardEvent& key = *static_cast<const SDL_KeyboardEvent*>(sdlKeyEvent);
    const bool down = key.type == SDL_KEYDOWN;
    const size_t physical = static_cast<size_t>(key.keysym.scancode);
    const bool tracked = physical < pressedKeys.size();
    uint32_t code = 0;
    if (down) {
        const SDL_Keycode sym = key.keysym.sym;
        const bool altEnter =
            (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT);
        if (sym == SDLK_F10 || sym == SDLK_F11 || sym == SDLK_F12 || altEnter) {
            if (tracked) {
                pressedKeys[physical] = swallowedKey;
            }
            if (key.repeat) {
                return false;
            }
            if (sym == SDLK_F10) {
                // The Window asks for the drawing scale before its next paint.
                classic = !classic;
                return false;
            }
            if (sym == SDLK_F12) {
                // The picture is taken at the next present, exactly as the player sees it.
                pictureWanted = true;
                return false;
            }
            event->kind = PlatformEvent::Kind::ToggleFullscreen;
            return true;
        }
        code = virtualKeyOf(sym, (key.keysym.mod & KMOD_NUM) != 0);
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
    if (code == 0 || code == swallowedKey) {
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

void SdlBackend::keepPicture(const Surface& backBuffer)
{
    finishPictures();
    // The writer works on its own copy; the game draws on at once.
    pictureWriter = std::thread([picture = backBuffer, when = std::time(nullptr)] {
        const std::string folder = picturesFolder();
        std::string why = "no home folder to put it in";
        const std::string path = folder.empty() ? "" : newPictureName(folder, when);
        if (!path.empty() && writePng(path, picture, &why)) {
            std::fprintf(stderr, "Picture saved: %s\n", path.c_str());
        } else {
            std::fprintf(stderr, "Warning: the picture could not be saved%s%s (%s).\n",
                         path.empty() ? "" : " as ", path.c_str(), why.c_str());
        }
        std::fflush(stderr);
    });
}

void SdlBackend::finishPictures()
{
    if (pictureWriter.joinable()) {
        pictureWriter.join();
    }
}

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
    if (classic || !window) {
        return 1;
    }
    int outW = 0;
    int outH = 0;
    outputSize(&outW, &outH);
    // The largest whole scale whose picture fits the window or the display: a window opened at
    // whole scale s draws at s, full screen at the largest scale below the display's size.
    const int fits = std::min(outW / screenWidth, outH / screenHeight);
    return std::clamp(fits, 1, largestDrawingScale);
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

void SdlBackend::setCursor(int kind)
{
    if (!window || kind == cursorShown) {
        return;
    }
    cursorShown = kind;
    if (kind == 0) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor* cursor = kind == 2 ? crossCursor : arrowCursor;
    if (cursor) {
        SDL_SetCursor(cursor);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlBackend::restoreWindowedPlace()
{
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowSize(window, windowedW, windowedH);
    SDL_SetWindowPosition(window, windowedX, windowedY);
}

bool SdlBackend::setFullscreen(bool on)
{
    if (!window) {
        setLastPlatformError("full screen: no window is open");
        return false;
    }
    if (on == fullscreen) {
        return true;
    }
    if (on) {
        // Cover the display with a borderless window first: a desktop without a window manager
        // (a bare X server) ignores the full-screen request, and SDL would then draw for the
        // display's size into the smaller window. A window manager takes it full screen as usual.
        SDL_Rect display{};
        beginSdlCall();
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &display) != 0) {
            recordSdlFailure("SDL_GetDisplayBounds");
            return false;
        }
        SDL_GetWindowPosition(window, &windowedX, &windowedY);
        SDL_GetWindowSize(window, &windowedW, &windowedH);
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowPosition(window, display.x, display.y);
        SDL_SetWindowSize(window, display.w, display.h);
    }
    beginSdlCall();
    if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        recordSdlFailure("SDL_SetWindowFullscreen");
        if (on) {
            restoreWindowedPlace();
        }
        return false;
    }
    if (!on) {
        restoreWindowedPlace();
    }
    fullscreen = on;
    return true;
}

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

uint32_t SdlBackend::milliseconds()
{
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    return static_cast<uint32_t>(elapsed.count());
}

// Why our own mixer in SDL2_mixer's music hook rather than SDL2_mixer's channels: the engines
// need a continuous voice whose pitch glides with the car's speed, which SDL2_mixer's chunks
// cannot do, and `vantor-run --audio` must write exactly what a player hears, byte for byte, from
// code we control. So one deterministic mixer serves both; SDL2_mixer opens the device, converts
// to whatever format it needs and runs the hook on its audio thread.
void SdlBackend::startSound(const SoundBank* bank)
{
    if (soundOpen || bank == nullptr) {
        return;
    }
    std::string reason;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        reason = SDL_GetError();
    } else if (const char* driver = SDL_GetCurrentAudioDriver();
               driver != nullptr && std::strcmp(driver, "dummy") == 0) {
        reason = "SDL found only its dummy audio driver";
    } else if (Mix_OpenAudioDevice(soundRate, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
        reason = Mix_GetError();
    }
    if (!reason.empty()) {
        std::fprintf(stderr, "vantor: no sound (%s); the game plays on silent\n", reason.c_str());
        std::fflush(stderr);
        return;
    }
    mixer = std::make_unique<SoundMixer>(bank);
    soundOpen = true;
    Mix_HookMusic(fillSound, this);
}

void SdlBackend::playSound(const SoundFrame& frame)
{
    if (!soundOpen) {
        return;
    }
    // Frames the audio thread has not taken yet are merged: the latest loop targets win, and
    // the clips to start add up.
    std::lock_guard<std::mutex> hold(soundLock);
    if (frame.setsLoops) {
        handedOver.setsLoops = true;
        std::copy(std::begin(frame.loops), std::end(frame.loops), std::begin(handedOver.loops));
    }
    for (int i = 0; i < frame.shotCount; ++i) {
        handedOver.start(frame.shots[i]);
    }
}

void SdlBackend::muteSound(bool muted)
{
    std::lock_guard<std::mutex> hold(soundLock);
    mutedWanted = muted;
}

void SdlBackend::fillSound(void* backend, uint8_t* stream, int bytes)
{
    auto* self = static_cast<SdlBackend*>(backend);
    SoundFrame frame;
    bool muted = false;
    {
        std::lock_guard<std::mutex> hold(self->soundLock);
        frame = self->handedOver;
        muted = self->mutedWanted;
        self->handedOver.setsLoops = false;
        self->handedOver.shotCount = 0;
    }
    self->mixer->setMuted(muted);
    self->mixer->apply(frame);
    // The device was opened as 16-bit stereo with no changes allowed, so the stream is ours.
    self->mixer->render(reinterpret_cast<int16_t*>(stream),
                        static_cast<size_t>(bytes) / (2 * sizeof(int16_t)));
}
