// The desktop backend on SDL2: window, renderer and streaming texture, event translation,
// cursors, desktop full screen, message boxes and the pacing of presents without vertical sync.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "gfx/surface.h"
#include "platform/errors.h"

namespace {

// Room left around the scaled client area for the window's frame and title bar, and for the
// panels the usable desktop may not account for.
constexpr int frameAllowanceW = 16;
constexpr int frameAllowanceH = 64;
// The refresh rate assumed when the display does not tell its own.
constexpr int defaultRefreshHz = 60;
// Before an SDL call whose failure we report: forget earlier SDL and errno state, so that what is
// read after a failure belongs to this call alone.
void beginSdlCall()
{
    SDL_ClearError();
    errno = 0;
}

// After that call failed: the platform's last error becomes SDL's description, followed by the
// system's when the call itself set errno.
void recordSdlFailure(const char* call)
{
    int callErrno = errno;
    std::string text = call;
    text += ": ";
    const char* sdlText = SDL_GetError();
    text += (sdlText && *sdlText) ? sdlText : "failed";
    if (callErrno != 0) {
        text += " (";
        text += std::strerror(callErrno);
        text += ")";
    }
    setLastPlatformError(text.c_str());
}

// The Win32 virtual-key code of an SDL key, 0 for keys the game has no code for.
uint32_t virtualKeyOf(SDL_Keycode key)
{
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
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
#endif

SdlBackend::SdlBackend(const SdlBackendOptions& chosen) : options(chosen), started(Clock::now())
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
        beginSdlCall();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
            recordSdlFailure("SDL_InitSubSystem");
            return false;
        }
        // With no display SDL falls back to a video driver that shows nothing. Unless the player
        // asked for it by name, that is no window at all.
        const char* driver = SDL_GetCurrentVideoDriver();
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
        if (invisible && !(asked && std::strcmp(asked, driver) == 0)) {
            std::string text = "no display to open a window on (SDL found only its ";
            text += driver;
            text += " video driver)";
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            setLastPlatformError(text.c_str());
            return false;
        }
        videoStarted = true;
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
                              SDL_WINDOW_SHOWN);
    if (!window) {
        recordSdlFailure("SDL_CreateWindow");
        scaleFactor = 0;
        return false;
    }
    beginSdlCall();
    renderer = SDL_CreateRenderer(window, -1, options.vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (!renderer) {
        recordSdlFailure("SDL_CreateRenderer");
        closeWindow();
        return false;
    }
    if (!makeTexture(clientWidth, clientHeight)) {
        closeWindow();
        return false;
    }

    SDL_RendererInfo info{};
    bool vsync = false;
    if (SDL_GetRendererInfo(renderer, &info) == 0) {
        renderName = info.name ? info.name : "";
        vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    SDL_DisplayMode mode{};
    int refreshHz = defaultRefreshHz;
    if (SDL_GetCurrentDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window)), &mode) == 0
        && mode.refresh_rate > 0) {
        refreshHz = mode.refresh_rate;
    }
    pacer.start(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / refreshHz, !vsync);

    arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    crossCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
    cursorShown = -1;
    fullscreen = false;
    SDL_RaiseWindow(window);
    return true;
}

void SdlBackend::closeWindow()
{
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    textureW = 0;
    textureH = 0;
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
        case SDL_KEYUP: {
            // Automatic repeats arrive as further key-downs, as the screens expect.
            uint32_t key = virtualKeyOf(sdlEvent.key.keysym.sym);
            if (key == 0) {
                break;
            }
            event->kind = sdlEvent.type == SDL_KEYDOWN ? PlatformEvent::Kind::KeyDown
                                                       : PlatformEvent::Kind::KeyUp;
            event->key = key;
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
        default:
            break;
        }
    }
    return false;
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
    return true;
}

void SdlBackend::pictureRect(int* x, int* y, int* width, int* height)
{
    int outW = 0;
    int outH = 0;
    if (SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0 || textureW <= 0 || textureH <= 0) {
        *x = 0;
        *y = 0;
        *width = std::max(1, textureW);
        *height = std::max(1, textureH);
        return;
    }
    // The largest size with the back buffer's aspect that fits, centred: black bars on the
    // sides or above and below. A windowed client area is an exact multiple, so no bars.
    if (static_cast<int64_t>(outW) * textureH <= static_cast<int64_t>(outH) * textureW) {
        *width = outW;
        *height = static_cast<int>(static_cast<int64_t>(outW) * textureH / textureW);
    } else {
        *height = outH;
        *width = static_cast<int>(static_cast<int64_t>(outH) * textureW / textureH);
    }
    *width = std::max(1, *width);
    *height = std::max(1, *height);
    *x = (outW - *width) / 2;
    *y = (outH - *height) / 2;
}

void SdlBackend::toBackBuffer(int windowX, int windowY, int* x, int* y)
{
    int rectX = 0;
    int rectY = 0;
    int rectW = 1;
    int rectH = 1;
    if (renderer) {
        pictureRect(&rectX, &rectY, &rectW, &rectH);
    }
    int maxX = std::max(0, textureW - 1);
    int maxY = std::max(0, textureH - 1);
    // A pointer over the black bars counts as the nearest edge of the picture.
    *x = std::clamp(static_cast<int>(static_cast<int64_t>(windowX - rectX) * textureW / rectW), 0, maxX);
    *y = std::clamp(static_cast<int>(static_cast<int64_t>(windowY - rectY) * textureH / rectH), 0, maxY);
}

bool SdlBackend::present(const Surface& backBuffer)
{
    if (!renderer) {
        setLastPlatformError("present: no window is open");
        return false;
    }
    if (backBuffer.width <= 0 || backBuffer.height <= 0) {
        return true;
    }
    if ((backBuffer.width != textureW || backBuffer.height != textureH)
        && !makeTexture(backBuffer.width, backBuffer.height)) {
        return false;
    }
    beginSdlCall();
    if (SDL_UpdateTexture(texture, nullptr, backBuffer.pixels.data(),
                          backBuffer.width * static_cast<int>(sizeof(uint32_t))) != 0) {
        recordSdlFailure("SDL_UpdateTexture");
        return false;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_Rect target{};
    pictureRect(&target.x, &target.y, &target.w, &target.h);
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

bool SdlBackend::showMessageBox(MessageBoxKind kind, const char* caption, const char* text)
{
    if (!options.messageBoxes) {
        return false;
    }
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"},
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
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        return false;
    }
    return question && pressed == 1;
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
