// The web backend's input: the page's key, mouse, focus and button events through Emscripten's
// html5 callbacks, turned into the game's events; the gamepads of the Gamepad API, read at every
// pump, and their rumble.
#include "platform/web/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>

#include "platform/web/browser_input.h"

namespace {

const char* const canvasTarget = "#canvas";

WebBackend* backendOf(void* userData) { return static_cast<WebBackend*>(userData); }

EM_BOOL onKey(int eventType, const EmscriptenKeyboardEvent* key, void* userData)
{
    const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    // Shortcuts with Ctrl or the system key stay the browser's (reload, close the tab, ...).
    if (key->ctrlKey || key->metaKey) {
        return EM_FALSE;
    }
    return backendOf(userData)->keyEvent(down, key->key, key->code);
}

EM_BOOL onMouse(int eventType, const EmscriptenMouseEvent* mouse, void* userData)
{
    PlatformEvent::Kind kind = PlatformEvent::Kind::MouseMove;
    if (eventType == EMSCRIPTEN_EVENT_MOUSEDOWN) {
        kind = PlatformEvent::Kind::MouseDown;
    } else if (eventType == EMSCRIPTEN_EVENT_MOUSEUP) {
        kind = PlatformEvent::Kind::MouseUp;
    }
    backendOf(userData)->mouseEvent(kind, mouse->button, static_cast<double>(mouse->targetX),
                                    static_cast<double>(mouse->targetY));
    return kind != PlatformEvent::Kind::MouseMove;
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void* userData)
{
    backendOf(userData)->focusLost();
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* change, void* userData)
{
    if (change->hidden) {
        backendOf(userData)->focusLost();
    }
    return EM_FALSE;
}

EM_BOOL onFullscreenChange(int, const EmscriptenFullscreenChangeEvent* change, void* userData)
{
    backendOf(userData)->fullscreenChanged(change->isFullscreen != 0);
    return EM_FALSE;
}

EM_BOOL onGamepadConnected(int, const EmscriptenGamepadEvent*, void* userData)
{
    backendOf(userData)->gamepadConnected();
    return EM_FALSE;
}

EM_BOOL onFullscreenButton(int, const EmscriptenMouseEvent*, void* userData)
{
    backendOf(userData)->fullscreenButton();
    return EM_TRUE;
}

EM_BOOL onPictureButton(int, const EmscriptenMouseEvent*, void* userData)
{
    backendOf(userData)->askForPicture();
    return EM_TRUE;
}

// The game's mouse button number of a browser button, 0 for buttons the game does not know.
int buttonOf(int browserButton)
{
    switch (browserButton) {
    case 0: return 1;
    case 1: return 4;
    case 2: return 2;
    default: return 0;
    }
}

// clang-format off
// Shakes every gamepad that can, both motors at `strength` (0 to 1).
EM_JS(void, shakeGamepads, (double strength, int milliseconds), {
    const pads = navigator.getGamepads ? navigator.getGamepads() : [];
    for (const pad of pads) {
        if (pad && pad.vibrationActuator && pad.vibrationActuator.playEffect) {
            pad.vibrationActuator
                .playEffect('dual-rumble', {
                    duration: milliseconds,
                    strongMagnitude: strength,
                    weakMagnitude: strength,
                })
                .catch(() => {});
        }
    }
});

// The browser's full screen of the game area switched on or off, within the click that asks.
EM_JS(void, switchPageFullscreenNow, (), {
    const request = document.fullscreenElement ? document.exitFullscreen()
                                               : Module.vantorPage.area.requestFullscreen();
    request.catch((error) => console.warn('Full screen could not be switched: ' + error.message));
});
// clang-format on

} // namespace

void WebBackend::listen(bool on)
{
    void* self = on ? this : nullptr;
    const auto window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    const auto key = on ? onKey : nullptr;
    const auto mouse = on ? onMouse : nullptr;
    emscripten_set_keydown_callback(window, self, EM_TRUE, key);
    emscripten_set_keyup_callback(window, self, EM_TRUE, key);
    emscripten_set_mousedown_callback(canvasTarget, self, EM_TRUE, mouse);
    emscripten_set_mouseup_callback(canvasTarget, self, EM_TRUE, mouse);
    emscripten_set_mousemove_callback(canvasTarget, self, EM_TRUE, mouse);
    emscripten_set_blur_callback(window, self, EM_TRUE, on ? onBlur : nullptr);
    emscripten_set_visibilitychange_callback(self, EM_TRUE, on ? onVisibility : nullptr);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, self, EM_TRUE,
                                             on ? onFullscreenChange : nullptr);
    emscripten_set_gamepadconnected_callback(self, EM_TRUE, on ? onGamepadConnected : nullptr);
    emscripten_set_click_callback("#fullscreen", self, EM_TRUE, on ? onFullscreenButton : nullptr);
    emscripten_set_click_callback("#picture", self, EM_TRUE, on ? onPictureButton : nullptr);
}

bool WebBackend::keyEvent(bool down, const char* key, const char* code)
{
    // Browsers let a page start its sound only from a key press or click.
    wakeSound();
    uint32_t virtualKey = virtualKeyOfBrowserKey(key, code);
    auto pressed = pressedKeys.find(code);
    if (down) {
        pressedKeys[code] = virtualKey;
    } else if (pressed != pressedKeys.end()) {
        // A release gives the key its press gave, whatever NumLock or Shift say now.
        virtualKey = pressed->second;
        pressedKeys.erase(pressed);
    }
    if (virtualKey == 0) {
        return false;
    }
    // Automatic repeats arrive as further key-downs, as the screens expect.
    events.push_back(
        {down ? PlatformEvent::Kind::KeyDown : PlatformEvent::Kind::KeyUp, virtualKey, 0, 0, 0, {}});
    return true;
}

void WebBackend::mouseEvent(PlatformEvent::Kind kind, int browserButton, double x, double y)
{
    if (kind == PlatformEvent::Kind::MouseDown) {
        wakeSound();
    }
    PlatformEvent event;
    event.kind = kind;
    if (kind != PlatformEvent::Kind::MouseMove) {
        event.button = buttonOf(browserButton);
        if (event.button == 0) {
            return;
        }
    }
    // The canvas holds the back buffer pixel for pixel, shown at the size the page gave it.
    double shownW = 0.0;
    double shownH = 0.0;
    emscripten_get_element_css_size(canvasTarget, &shownW, &shownH);
    const double toPictureX = shownW > 0.0 ? pictureW / shownW : 1.0;
    const double toPictureY = shownH > 0.0 ? pictureH / shownH : 1.0;
    event.x = std::clamp(static_cast<int>(x * toPictureX), 0, std::max(0, pictureW - 1));
    event.y = std::clamp(static_cast<int>(y * toPictureY), 0, std::max(0, pictureH - 1));
    events.push_back(event);
}

void WebBackend::focusLost()
{
    pressedKeys.clear();
    events.push_back({PlatformEvent::Kind::FocusLost, 0, 0, 0, 0, {}});
}

void WebBackend::fullscreenButton()
{
    wakeSound();
    switchPageFullscreenNow();
}

void WebBackend::fullscreenChanged(bool fullscreen)
{
    // The game's own switches set fullscreenSet first; any other switch is news to the Window.
    if (fullscreen != fullscreenSet) {
        fullscreenSet = fullscreen;
        events.push_back(
            {PlatformEvent::Kind::FullscreenChanged, fullscreen ? 1u : 0u, 0, 0, 0, {}});
    }
}

void WebBackend::gamepadConnected() { gamepadsSeen = true; }

void WebBackend::askForPicture()
{
    // The picture is taken at the next present, exactly as the player sees it.
    pictureWanted = true;
}

bool WebBackend::pollEvent(PlatformEvent* event)
{
    if (!open) {
        return false;
    }
    // Browsers tell of a gamepad once one of its buttons was pressed; until then none is read.
    if (events.empty() && gamepadsSeen) {
        pollGamepads();
    }
    if (events.empty()) {
        return false;
    }
    *event = events.front();
    events.pop_front();
    return true;
}

void WebBackend::discardInput()
{
    // Key releases stay, so that the Window learns which keys were let go.
    std::erase_if(events, [](const PlatformEvent& event) {
        using Kind = PlatformEvent::Kind;
        return event.kind == Kind::KeyDown || event.kind == Kind::MouseDown ||
               event.kind == Kind::MouseUp || event.kind == Kind::MouseMove;
    });
}

void WebBackend::pollGamepads()
{
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        return;
    }
    ControllerState state;
    const int count = emscripten_get_num_gamepads();
    for (int index = 0; index < count; ++index) {
        EmscriptenGamepadEvent reading{};
        if (emscripten_get_gamepad_status(index, &reading) != EMSCRIPTEN_RESULT_SUCCESS ||
            !reading.connected || std::strcmp(reading.mapping, "standard") != 0) {
            continue;
        }
        BrowserGamepad pad;
        for (int button = 0; button < std::min(reading.numButtons, BrowserGamepad::buttonCount);
             ++button) {
            pad.pressed[button] = reading.digitalButton[button] != 0;
            pad.value[button] = reading.analogButton[button];
        }
        for (int axis = 0; axis < std::min(reading.numAxes, BrowserGamepad::axisCount); ++axis) {
            pad.axes[axis] = reading.axis[axis];
        }
        mergeControllerState(&state, controllerStateOf(pad));
    }
    // The game hears of a change only: a stick that trembles inside one state says nothing.
    if (state == lastPad) {
        return;
    }
    lastPad = state;
    PlatformEvent event;
    event.kind = PlatformEvent::Kind::Controller;
    event.pad = state;
    events.push_back(event);
}

void WebBackend::rumble(float strength, uint32_t milliseconds)
{
    shakeGamepads(static_cast<double>(std::clamp(strength, 0.0f, 1.0f)),
                  static_cast<int>(std::min<uint32_t>(milliseconds, 10000)));
}
