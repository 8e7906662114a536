#pragma once
// The scripted backend: runs the Window and the whole game with no display, for tests,
// benchmarks and tools. A script (the test or tool that owns the backend) feeds events,
// moves the clock, programs the answers of message boxes and reads back what the game showed.
//
// Typical use:
//   HeadlessBackend backend;
//   backend.setFrameStep(16);                      // each presented frame moves the clock 16 ms
//   backend.setPumpHook([](HeadlessBackend& b) {   // react to the game at every pump
//       if (b.presentCount() == 3) b.keyDown(13);
//   });
//   Window window{}; window.backend = &backend; create(&window); ...
//   backend.lastFrame().pixels[...];               // the frame the window showed last

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "platform/backend.h"
#include "audio/sound_mixer.h"

class HeadlessBackend final : public Backend {
public:
    // One message box the game showed, in the order shown.
    struct ShownBox {
        MessageBoxKind kind;
        std::string caption;
        std::string text;
    };
    // Called at the start of every pump (the first pollEvent after the queue was last found
    // empty), before that pump takes any event; it may queue events, move the clock, etc.
    using PumpHook = std::function<void(HeadlessBackend&)>;

    HeadlessBackend() = default;

    // --- The script's side ---

    // The virtual clock in milliseconds; it starts at 0 and only the script (or presents) moves it.
    void setClock(uint32_t milliseconds);
    void advanceClock(uint32_t milliseconds);
    // Milliseconds added to the clock after every present (0, the default, leaves it alone).
    void setFrameStep(uint32_t milliseconds);

    // Queues events; the next pump delivers them in order. Keys are virtual-key codes.
    void queueEvent(const PlatformEvent& event);
    void keyDown(uint32_t virtualKey);
    void keyUp(uint32_t virtualKey);
    void closeRequest();
    void focusLost();
    void mouseMove(int x, int y);
    void mouseDown(int x, int y, int button);
    void mouseUp(int x, int y, int button);
    // The controllers' merged state after a change (the Window turns it into input codes).
    void controller(const ControllerState& state);
    // Events queued and not yet taken by a pump.
    size_t pendingEvents() const { return events.size(); }

    // Answers for the Yes/No questions, used in order; once they run out every question gets
    // `defaultAnswer` (No unless changed).
    void queueAnswer(bool yes);
    void setDefaultAnswer(bool yes);
    // Every box the system showed so far (fatal, fault, warning and question); none while
    // failMessageBoxes is set.
    const std::vector<ShownBox>& shownBoxes() const { return boxes; }

    void setPumpHook(PumpHook hook);
    // The usable desktop's size (1920 x 1080 unless set) and the frame added around the client
    // area to give the window's outer size (6 x 29 unless set, a captioned window's frame).
    void setDesktopSize(int width, int height);
    // The drawing scale the game is asked to draw at from the next paint on (1 unless set; values
    // outside 1 to 4 are passed on as they are, for the Window to bound).
    void setDrawingScale(int scale) { scaleWanted = scale; }
    // The screen width the game is asked to lay out from the next paint on, in screen pixels (640
    // unless set: the 4:3 view; screenWidthForShape gives the width of a shape). Passed on as it
    // is, for the Window to bound.
    void setViewWidth(int width) { widthWanted = width; }
    void setFrameSize(int extraWidth, int extraHeight);

    // Failure injection: the next openWindow fails, every present fails while set, full screen
    // is refused while set, the system's message boxes cannot be shown while set (as on a desktop
    // with no dialog helper and no fonts for the toolkit's own box). Each failure sets the
    // platform's last error as a real one would.
    bool failOpen = false;
    bool failPresent = false;
    bool refuseFullscreen = false;
    bool failMessageBoxes = false;

    // --- What the game did ---

    bool isOpen() const { return open; }
    const std::string& title() const { return windowTitle; }
    int clientWidthShown() const { return clientW; }
    int clientHeightShown() const { return clientH; }
    int windowX() const { return posX; }
    int windowY() const { return posY; }
    int cursor() const { return cursorKind; }
    bool isFullscreen() const { return fullscreen; }
    // How many times full screen was switched on or off (accepted requests only).
    int fullscreenSwitches() const { return fullscreenCalls; }
    // A copy of the back buffer as last presented (empty before the first present, and left as
    // it was while frames are not kept) and how many presents succeeded.
    const Surface& lastFrame() const { return frame; }
    // Whether each present keeps that copy (true unless set). A tool that takes no picture of the
    // coming frames switches it off: at drawing scale 2 the copy is a third of a race's time.
    void keepFrames(bool keep) { keepingFrames = keep; }
    int presentCount() const { return presents; }
    // How many pictures of the screen the game asked to keep (the player's picture key).
    int picturesAsked() const { return pictures; }
    // One rumble the game asked for.
    struct Rumble {
        float strength;
        uint32_t milliseconds;
    };
    const std::vector<Rumble>& rumbles() const { return shakes; }

    // The sound: the bank the game started it with (null before), how many frames it handed
    // over, whether it is muted now. While recording is on, every frame and every mute or unmute
    // is kept with the clock's reading, for mixRecording (audio/sound_mixer.h).
    const SoundBank* soundBank() const { return bank; }
    int soundFramesPlayed() const { return soundFrames; }
    bool soundMuted() const { return muted; }
    // Starts (dropping anything recorded before) or stops the recording.
    void recordSound(bool on);
    const std::vector<RecordedSound>& soundRecording() const { return recording; }
    // While a listener is set (an empty one unsets it), every frame and every mute or unmute is
    // handed to it as the game makes the call, with the clock's reading, and kept nowhere: a
    // RecordingMixer fed this way mixes a race of any length in the same small memory.
    using SoundListener = std::function<void(const RecordedSound&)>;
    void setSoundListener(SoundListener listener);

    // --- Backend ---
    bool openWindow(const char* title, int clientWidth, int clientHeight) override;
    void closeWindow() override;
    void setTitle(const char* title) override;
    void desktopSize(int* width, int* height) override;
    void windowOuterSize(int* width, int* height) override;
    void moveWindow(int x, int y) override;
    bool pollEvent(PlatformEvent* event) override;
    void discardInput() override;
    bool present(const Surface& backBuffer) override;
    int drawingScale() override { return scaleWanted; }
    int viewWidth() override { return widthWanted; }
    void setCursor(int kind) override;
    bool setFullscreen(bool on) override;
    void askForPicture() override;
    BoxAnswer showMessageBox(MessageBoxKind kind, const char* caption, const char* text) override;
    void rumble(float strength, uint32_t milliseconds) override;
    uint32_t milliseconds() override;
    void startSound(const SoundBank* soundBank) override;
    void playSound(const SoundFrame& frame) override;
    void muteSound(bool on) override;

private:
    // Keeps `call` in the recording and hands it to the listener, as they are on.
    void heard(const RecordedSound& call);

    uint32_t clock = 0;
    uint32_t frameStep = 0;
    std::deque<PlatformEvent> events;
    std::deque<bool> answers;
    bool defaultAnswer = false;
    std::vector<ShownBox> boxes;
    PumpHook pumpHook;
    bool pumping = false; // a pump is taking events; the hook ran for it
    int desktopW = 1920;
    int desktopH = 1080;
    int frameW = 6;
    int frameH = 29;
    int scaleWanted = 1;
    int widthWanted = 640;

    bool open = false;
    std::string windowTitle;
    int clientW = 0;
    int clientH = 0;
    int posX = 0;
    int posY = 0;
    int cursorKind = -1;
    bool fullscreen = false;
    int fullscreenCalls = 0;
    Surface frame;
    bool keepingFrames = true;
    int presents = 0;
    int pictures = 0;

    const SoundBank* bank = nullptr;
    int soundFrames = 0;
    bool muted = false;
    bool recordingSound = false;
    std::vector<RecordedSound> recording;
    SoundListener soundListener;
    std::vector<Rumble> shakes;
};
