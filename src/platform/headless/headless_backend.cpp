// The scripted backend: a virtual clock, a queue of scripted events, recorded message boxes and
// the last presented frame kept in memory.
#include "platform/headless/headless_backend.h"

#include <utility>

#include "core/errors.h"

void HeadlessBackend::setClock(uint32_t milliseconds) { clock = milliseconds; }

void HeadlessBackend::advanceClock(uint32_t milliseconds) { clock += milliseconds; }

void HeadlessBackend::setFrameStep(uint32_t milliseconds) { frameStep = milliseconds; }

void HeadlessBackend::queueEvent(const PlatformEvent& event) { events.push_back(event); }

void HeadlessBackend::keyDown(uint32_t virtualKey)
{
    queueEvent({PlatformEvent::Kind::KeyDown, virtualKey, 0, 0, 0, {}});
}

void HeadlessBackend::keyUp(uint32_t virtualKey)
{
    queueEvent({PlatformEvent::Kind::KeyUp, virtualKey, 0, 0, 0, {}});
}

void HeadlessBackend::closeRequest() { queueEvent({PlatformEvent::Kind::Close, 0, 0, 0, 0, {}}); }

void HeadlessBackend::focusLost() { queueEvent({PlatformEvent::Kind::FocusLost, 0, 0, 0, 0, {}}); }

void HeadlessBackend::mouseMove(int x, int y)
{
    queueEvent({PlatformEvent::Kind::MouseMove, 0, x, y, 0, {}});
}

void HeadlessBackend::mouseDown(int x, int y, int button)
{
    queueEvent({PlatformEvent::Kind::MouseDown, 0, x, y, button, {}});
}

void HeadlessBackend::mouseUp(int x, int y, int button)
{
    queueEvent({PlatformEvent::Kind::MouseUp, 0, x, y, button, {}});
}

void HeadlessBackend::controller(const ControllerState& state)
{
    PlatformEvent event;
    event.kind = PlatformEvent::Kind::Controller;
    event.pad = state;
    queueEvent(event);
}

void HeadlessBackend::queueAnswer(bool yes) { answers.push_back(yes); }

void HeadlessBackend::setDefaultAnswer(bool yes) { defaultAnswer = yes; }

void HeadlessBackend::setPumpHook(PumpHook hook) { pumpHook = std::move(hook); }

void HeadlessBackend::setDesktopSize(int width, int height)
{
    desktopW = width;
    desktopH = height;
}

void HeadlessBackend::setFrameSize(int extraWidth, int extraHeight)
{
    frameW = extraWidth;
    frameH = extraHeight;
}

bool HeadlessBackend::openWindow(const char* title, int clientWidth, int clientHeight)
{
    if (failOpen) {
        failOpen = false;
        setLastPlatformError("headless: the script refused to open the window");
        return false;
    }
    open = true;
    windowTitle = title ? title : "";
    clientW = clientWidth;
    clientH = clientHeight;
    posX = 0;
    posY = 0;
    fullscreen = false;
    pumping = false;
    return true;
}

void HeadlessBackend::closeWindow()
{
    open = false;
    fullscreen = false;
}

void HeadlessBackend::setTitle(const char* title) { windowTitle = title ? title : ""; }

void HeadlessBackend::desktopSize(int* width, int* height)
{
    *width = desktopW;
    *height = desktopH;
}

void HeadlessBackend::windowOuterSize(int* width, int* height)
{
    *width = clientW + frameW;
    *height = clientH + frameH;
}

void HeadlessBackend::moveWindow(int x, int y)
{
    posX = x;
    posY = y;
}

bool HeadlessBackend::pollEvent(PlatformEvent* event)
{
    if (!pumping) {
        pumping = true;
        if (pumpHook) {
            // The hook may replace itself; keep the running one alive until it returns.
            PumpHook running = pumpHook;
            running(*this);
        }
    }
    if (events.empty()) {
        pumping = false;
        return false;
    }
    *event = events.front();
    events.pop_front();
    return true;
}

void HeadlessBackend::discardInput()
{
    std::erase_if(events, [](const PlatformEvent& event) {
        using Kind = PlatformEvent::Kind;
        return event.kind == Kind::KeyDown || event.kind == Kind::MouseDown ||
               event.kind == Kind::MouseUp || event.kind == Kind::MouseMove;
    });
}

bool HeadlessBackend::present(const Surface& backBuffer)
{
    if (failPresent) {
        setLastPlatformError("headless: the script refused the present");
        return false;
    }
    if (keepingFrames) {
        frame = backBuffer;
    }
    ++presents;
    clock += frameStep;
    return true;
}

void HeadlessBackend::setCursor(int kind) { cursorKind = kind; }

bool HeadlessBackend::setFullscreen(bool on)
{
    if (refuseFullscreen) {
        setLastPlatformError("headless: the script refused full screen");
        return false;
    }
    fullscreen = on;
    ++fullscreenCalls;
    return true;
}

void HeadlessBackend::askForPicture() { ++pictures; }

BoxAnswer HeadlessBackend::showMessageBox(MessageBoxKind kind, const char* caption,
                                          const char* text)
{
    if (failMessageBoxes) {
        setLastPlatformError("headless: the script refused the message box");
        return BoxAnswer::NotShown;
    }
    boxes.push_back({kind, caption ? caption : "", text ? text : ""});
    if (kind != MessageBoxKind::Question) {
        return BoxAnswer::No;
    }
    bool yes = defaultAnswer;
    if (!answers.empty()) {
        yes = answers.front();
        answers.pop_front();
    }
    return yes ? BoxAnswer::Yes : BoxAnswer::No;
}

void HeadlessBackend::rumble(float strength, uint32_t milliseconds)
{
    shakes.push_back({strength, milliseconds});
}

uint32_t HeadlessBackend::milliseconds() { return clock; }

void HeadlessBackend::recordSound(bool on)
{
    recordingSound = on;
    if (on) {
        recording.clear();
        // A recording that starts muted is heard muted from its start.
        if (muted)
            recording.push_back(RecordedSound{clock, RecordedSound::Kind::Mute, SoundFrame{}});
    }
}

void HeadlessBackend::startSound(const SoundBank* soundBank) { bank = soundBank; }

void HeadlessBackend::setSoundListener(SoundListener listener)
{
    soundListener = std::move(listener);
}

void HeadlessBackend::heard(const RecordedSound& call)
{
    if (recordingSound)
        recording.push_back(call);
    if (soundListener)
        soundListener(call);
}

void HeadlessBackend::playSound(const SoundFrame& played)
{
    ++soundFrames;
    heard(RecordedSound{clock, RecordedSound::Kind::Frame, played});
}

void HeadlessBackend::muteSound(bool on)
{
    muted = on;
    heard(RecordedSound{clock, on ? RecordedSound::Kind::Mute : RecordedSound::Kind::Unmute,
                        SoundFrame{}});
}
