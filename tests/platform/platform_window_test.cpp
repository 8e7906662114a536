// The Window on the scripted backend: the pump's dispatch, closing, held keys, the reports, the
// game's own message box, controllers, the keys the game takes ahead of the screens and the
// full-screen switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "platform/box/own_box.h"

namespace {

// What the handlers saw, in order, shared by the plain-function slots below.
std::vector<std::string> seen;
HeadlessBackend* scriptBackend = nullptr;

void logKeyDown(Window*, uint32_t key) { seen.push_back("down " + std::to_string(key)); }
void logKeyUp(Window*, uint32_t key) { seen.push_back("up " + std::to_string(key)); }
void logMouseDown(Window*, int x, int y, int button)
{
    seen.push_back("mousedown " + std::to_string(x) + "," + std::to_string(y) + " " +
                   std::to_string(button));
}
void logMouseMove(Window*, int x, int y)
{
    seen.push_back("move " + std::to_string(x) + "," + std::to_string(y));
}
void logDestroy(Window*) { seen.push_back("destroy"); }
void logClose(Window*) { seen.push_back("close"); }
// Records the cursor the backend shows and the presents made when the frame is drawn.
void logPaint(Window* window)
{
    seen.push_back("paint cursor " + std::to_string(scriptBackend->cursor()) + " presents " +
                   std::to_string(scriptBackend->presentCount()));
    std::fill(window->backBuffer.pixels.begin(), window->backBuffer.pixels.end(), 0x00123456u);
}
void destroyOnKey(Window* window, uint32_t) { destroyWindow(window); }
void clearSlotsOnKey(Window* window, uint32_t key)
{
    seen.push_back("clearing at " + std::to_string(key));
    window->callbacks = WindowCallbacks{};
}
void requestAgainInPaint(Window* window)
{
    seen.push_back("paint");
    requestRepaint(window);
}

class WindowOnScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        seen.clear();
        scriptBackend = &backend;
        window.backend = &backend;
        showReportsIn(&window);
        create(&window);
    }
    void TearDown() override
    {
        releaseWindow(&window);
        scriptBackend = nullptr;
    }

    HeadlessBackend backend;
    Window window{};
};

} // namespace

TEST_F(WindowOnScript, CreateOpensACentredWindowWithABlackBackBufferAndTheArrow)
{
    EXPECT_TRUE(isWindowAlive(&window));
    EXPECT_TRUE(backend.isOpen());
    EXPECT_EQ(backend.title(), "Untitled window");
    EXPECT_EQ(clientWidth(&window), 640);
    EXPECT_EQ(clientHeight(&window), 480);
    ASSERT_EQ(window.backBuffer.width, 640);
    ASSERT_EQ(window.backBuffer.height, 480);
    ASSERT_EQ(window.backBuffer.pixels.size(), 640u * 480u);
    EXPECT_TRUE(std::all_of(window.backBuffer.pixels.begin(), window.backBuffer.pixels.end(),
                            [](uint32_t p) { return p == 0; }));
    EXPECT_EQ(window.cursorKind, 1);
    EXPECT_EQ(backend.cursor(), 1);
    // 1920 x 1080 desktop, outer 646 x 509: (960 - 323, 540 - 254).
    EXPECT_EQ(backend.windowX(), 637);
    EXPECT_EQ(backend.windowY(), 286);

    setWindowTitle(&window, "Vantor (Version 1.02)");
    EXPECT_EQ(backend.title(), "Vantor (Version 1.02)");

    // Odd desktop and frame sizes halve toward zero.
    backend.setDesktopSize(1366, 768);
    backend.setFrameSize(7, 29);
    centreOnDesktop(&window);
    EXPECT_EQ(backend.windowX(), 683 - 323);
    EXPECT_EQ(backend.windowY(), 384 - 254);
}

TEST_F(WindowOnScript, PumpDeliversEventsInOrderThenOnePaintWithCursorFirstAndPresentAfter)
{
    window.callbacks.onKeyDown = logKeyDown;
    window.callbacks.onKeyUp = logKeyUp;
    window.callbacks.onMouseDown = logMouseDown;
    window.callbacks.onMouseMove = logMouseMove;
    window.callbacks.onPaint = logPaint;
    window.cursorKind = 2; // a screen chose the cross; the paint shows it before drawing

    requestRepaint(&window);
    requestRepaint(&window);
    backend.keyDown(0x26);
    backend.mouseMove(65535, 3);
    backend.mouseDown(10, 20, 4);
    backend.keyUp(0x26);
    pumpMessages(&window);

    std::vector<std::string> expected{"down 38", "move 65535,3", "mousedown 10,20 4", "up 38",
                                      "paint cursor 2 presents 0"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(backend.presentCount(), 1);
    ASSERT_EQ(backend.lastFrame().pixels.size(), 640u * 480u);
    EXPECT_EQ(backend.lastFrame().pixels[0], 0x00123456u);
    EXPECT_FALSE(window.repaintRequested);

    // No new request: the next pump paints nothing.
    pumpMessages(&window);
    EXPECT_EQ(backend.presentCount(), 1);
    EXPECT_EQ(seen.size(), expected.size());
}

TEST_F(WindowOnScript, ARepaintAskedForDuringPaintWaitsForTheNextPump)
{
    window.callbacks.onPaint = requestAgainInPaint;
    requestRepaint(&window);
    pumpMessages(&window);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_TRUE(window.repaintRequested);
    pumpMessages(&window);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(backend.presentCount(), 2);
}

TEST_F(WindowOnScript, CloseWithoutOnCloseDestroysTheWindowAndCallsOnDestroyOnce)
{
    window.callbacks.onDestroy = logDestroy;
    window.callbacks.onKeyDown = logKeyDown;
    window.callbacks.onPaint = logPaint;
    requestRepaint(&window);
    backend.closeRequest();
    backend.keyDown(13); // after the close: never delivered
    pumpMessages(&window);

    EXPECT_EQ(seen, std::vector<std::string>{"destroy"});
    EXPECT_FALSE(isWindowAlive(&window));
    EXPECT_FALSE(backend.isOpen());
    EXPECT_EQ(backend.presentCount(), 0);

    // Destroying again, or pumping a dead window, does nothing.
    destroyWindow(&window);
    requestRepaint(&window);
    pumpMessages(&window);
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(WindowOnScript, CloseWithOnCloseLeavesTheWindowToTheScreen)
{
    window.callbacks.onClose = logClose;
    window.callbacks.onDestroy = logDestroy;
    backend.closeRequest();
    pumpMessages(&window);
    EXPECT_EQ(seen, std::vector<std::string>{"close"});
    EXPECT_TRUE(isWindowAlive(&window));
}

TEST_F(WindowOnScript, HandlersThatDestroyOrClearSlotsStopWhatFollows)
{
    window.callbacks.onKeyDown = clearSlotsOnKey;
    window.callbacks.onKeyUp = logKeyUp;
    window.callbacks.onPaint = logPaint;
    requestRepaint(&window);
    backend.keyDown(65);
    backend.keyUp(65);
    pumpMessages(&window);
    // The slots were cleared by the first handler: neither the key-up nor the paint ran a handler,
    // but the frame was still presented.
    EXPECT_EQ(seen, std::vector<std::string>{"clearing at 65"});
    EXPECT_EQ(backend.presentCount(), 1);

    window.callbacks.onKeyDown = destroyOnKey;
    window.callbacks.onKeyUp = logKeyUp;
    window.callbacks.onPaint = logPaint;
    requestRepaint(&window);
    backend.keyDown(27);
    backend.keyUp(27);
    pumpMessages(&window);
    EXPECT_FALSE(isWindowAlive(&window));
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(backend.presentCount(), 1);
}

TEST_F(WindowOnScript, HeldKeysFollowKeyEventsRepeatsAndFocusLoss)
{
    int downs = 0;
    static int* counter = nullptr;
    counter = &downs;
    window.callbacks.onKeyDown = [](Window*, uint32_t) { ++*counter; };

    backend.keyDown(0x25);
    backend.keyDown(0x25); // automatic repeats arrive as further key-downs
    backend.keyDown(0x25);
    backend.keyDown(0x20);
    pumpMessages(&window);
    EXPECT_EQ(downs, 4);
    EXPECT_TRUE(isKeyHeld(&window, 0x25));
    EXPECT_TRUE(isKeyHeld(&window, 0x20));
    EXPECT_FALSE(isKeyHeld(&window, 0x27));

    backend.keyUp(0x20);
    pumpMessages(&window);
    EXPECT_FALSE(isKeyHeld(&window, 0x20));
    EXPECT_TRUE(isKeyHeld(&window, 0x25));

    backend.focusLost();
    pumpMessages(&window);
    EXPECT_FALSE(isKeyHeld(&window, 0x25));

    // Codes beyond the table reach the slot but are never held, and asking for them is safe.
    backend.keyDown(0x1234);
    pumpMessages(&window);
    EXPECT_EQ(downs, 5);
    EXPECT_FALSE(isKeyHeld(&window, 0x1234));
    counter = nullptr;
}

TEST_F(WindowOnScript, FullScreenAcceptedKeepsTheBackBufferAndRefusedReportsAFault)
{
    setFullscreen(&window);
    EXPECT_TRUE(window.fullscreen);
    EXPECT_TRUE(backend.isFullscreen());
    EXPECT_EQ(window.backBuffer.width, 640);
    EXPECT_EQ(window.backBuffer.height, 480);
    EXPECT_TRUE(backend.shownBoxes().empty());

    HeadlessBackend refusing;
    refusing.refuseFullscreen = true;
    Window windowed{};
    windowed.backend = &refusing;
    showReportsIn(&windowed);
    create(&windowed);
    testing::internal::CaptureStderr();
    setFullscreen(&windowed);
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(windowed.fullscreen);
    EXPECT_FALSE(refusing.isFullscreen());
    EXPECT_TRUE(isWindowAlive(&windowed));
    ASSERT_EQ(refusing.shownBoxes().size(), 1u);
    const HeadlessBackend::ShownBox& box = refusing.shownBoxes()[0];
    EXPECT_EQ(box.kind, MessageBoxKind::Fault);
    EXPECT_EQ(box.caption, "Program fault");
    EXPECT_EQ(box.text.rfind("Program fault in module '.\\_Source\\Window' at line ", 0), 0u)
        << box.text;
    EXPECT_NE(box.text.find(": 'Window::setFullscreen() - Failed to set specified display mode'"),
              std::string::npos)
        << box.text;
    EXPECT_NE(written.find(box.text), std::string::npos);
    // The refusal was reported; the next warning does not show it again.
    EXPECT_EQ(lastPlatformError(), nullptr);
    releaseWindow(&windowed);
}

TEST_F(WindowOnScript, PresentFailureShowsOneWarningAndTheGameGoesOn)
{
    backend.failPresent = true;
    testing::internal::CaptureStderr();
    presentBackBuffer(&window);
    testing::internal::GetCapturedStderr();
    backend.failPresent = false;
    presentBackBuffer(&window);
    ASSERT_EQ(backend.shownBoxes().size(), 1u);
    const HeadlessBackend::ShownBox& box = backend.shownBoxes()[0];
    EXPECT_EQ(box.kind, MessageBoxKind::Warning);
    EXPECT_EQ(box.caption, "A non fatal program error has occured");
    EXPECT_EQ(box.text,
              "Blit back buffer to front buffer:headless: the script refused the present");
    EXPECT_FALSE(window.messageBoxShown);
    EXPECT_EQ(backend.presentCount(), 1);
}

TEST_F(WindowOnScript, LastErrorWarningIsSilentWhenClearAndShownOnceWhenSet)
{
    clearLastPlatformError();
    reportLastError(&window, "context");
    EXPECT_TRUE(backend.shownBoxes().empty());
    EXPECT_EQ(lastPlatformError(), nullptr);

    setLastPlatformError("No such file or directory");
    testing::internal::CaptureStderr();
    reportLastError(&window, "gfx\\menu\\arrow.bmp");
    reportLastError(&window, "gfx\\menu\\arrow.bmp");
    std::string written = testing::internal::GetCapturedStderr();
    ASSERT_EQ(backend.shownBoxes().size(), 1u);
    EXPECT_EQ(backend.shownBoxes()[0].text, "gfx\\menu\\arrow.bmp:No such file or directory");
    EXPECT_EQ(
        written,
        "A non fatal program error has occured: gfx\\menu\\arrow.bmp:No such file or directory\n");
}

TEST(WindowReports, FatalReportNamesModuleAndLineThenEndsWithStatusOne)
{
    EXPECT_EXIT(fatalError(7, "x"), testing::ExitedWithCode(1),
                "Fatal program error: Fatal program error in module '\\.\\\\_Source\\\\Window' "
                "at line 7: 'x'");
}

TEST(WindowReports, FaultReportGoesOnWithItsCaption)
{
    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    showReportsIn(&window);
    create(&window);
    testing::internal::CaptureStderr();
    programFault(12, "y");
    std::string written = testing::internal::GetCapturedStderr();
    releaseWindow(&window);
    ASSERT_EQ(backend.shownBoxes().size(), 1u);
    EXPECT_EQ(backend.shownBoxes()[0].caption, "Program fault");
    EXPECT_EQ(backend.shownBoxes()[0].text,
              "Program fault in module '.\\_Source\\Window' at line 12: 'y'");
    EXPECT_EQ(written,
              "Program fault: Program fault in module '.\\_Source\\Window' at line 12: 'y'\n");
}

TEST(WindowReports, WindowThatCannotOpenEndsTheProgramWithTheFatalReport)
{
    EXPECT_EXIT(
        {
            HeadlessBackend backend;
            backend.failOpen = true;
            Window window{};
            window.backend = &backend;
            showReportsIn(&window);
            create(&window);
        },
        testing::ExitedWithCode(1), "at line [0-9]+: 'Failed creating window'");
}

namespace {

// The middle of a button of the game's own box, for a window without a font (8 x 16 cells)
// drawing at `scale`.
void clickButton(HeadlessBackend& backend, MessageBoxKind kind, const char* caption,
                 const char* text, size_t button, int scale = 1)
{
    const BoxLayout layout = layoutBox(640 * scale, 480 * scale, 8, 16, kind, caption, text);
    const PixelRect& rect = layout.buttons.at(button);
    backend.mouseMove(rect.x + rect.w / 2, rect.y + rect.h / 2);
    backend.mouseDown(rect.x + rect.w / 2, rect.y + rect.h / 2, 1);
    backend.mouseUp(rect.x + rect.w / 2, rect.y + rect.h / 2, 1);
}

// Answers the game's own box with `answer` once it has been shown, then lets the script go on.
void answerOnceShown(HeadlessBackend& backend, std::function<void(HeadlessBackend&)> answer)
{
    backend.setPumpHook([answer](HeadlessBackend& b) {
        if (b.presentCount() > 0) {
            answer(b);
            b.setPumpHook(nullptr);
        }
    });
}

constexpr const char* questionCaption = "Vantor (Version 1.02) : Run game in fullscreen mode.";
constexpr const char* questionText =
    "Do you want to run the game in fullscreen mode? \nPeformance may "
    "be degraded on some machines in fullscreen mode, on others it "
    "may increase.";

} // namespace

TEST_F(WindowOnScript, WithoutTheSystemsBoxTheQuestionIsAskedInTheWindowAndAnsweredByKeysOrMouse)
{
    backend.failMessageBoxes = true;
    std::fill(window.backBuffer.pixels.begin(), window.backBuffer.pixels.end(), 0x00808080u);
    window.callbacks.onKeyDown = logKeyDown;
    window.cursorKind = 0;

    // Y answers Yes; the picture under the box and the screen's slots come back, the pointer
    // showed while the box was open.
    answerOnceShown(backend, [](HeadlessBackend& b) { b.keyDown('Y'); });
    testing::internal::CaptureStderr();
    EXPECT_TRUE(askYesNo(&window, questionCaption, questionText));
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_NE(written.find("The system cannot show a message box (headless: the script refused the "
                           "message box); the game shows it in its window."),
              std::string::npos)
        << written;
    EXPECT_TRUE(backend.shownBoxes().empty());
    EXPECT_TRUE(seen.empty()) << "the screen saw a key meant for the box";
    EXPECT_EQ(window.callbacks.onKeyDown, logKeyDown);
    EXPECT_EQ(backend.cursor(), 1);
    EXPECT_EQ(window.backBuffer.pixels[0], 0x00808080u);
    EXPECT_FALSE(isKeyHeld(&window, 'Y'));
    EXPECT_FALSE(window.messageBoxShown);
    // The shown frame: the picture dimmed around the panel, the title band in the box's colours.
    const BoxLayout layout =
        layoutBox(640, 480, 8, 16, MessageBoxKind::Question, questionCaption, questionText);
    const Surface& shown = backend.lastFrame();
    EXPECT_EQ(shown.pixels[0], 0x00404040u);
    EXPECT_EQ(
        shown.pixels[static_cast<size_t>(layout.titleBand.y + 2) * 640 + layout.titleBand.x + 2],
        0x0030408Cu);

    // Enter takes the highlighted button: Yes first, No after Right.
    answerOnceShown(backend, [](HeadlessBackend& b) {
        b.keyDown(0x27);
        b.keyDown(13);
    });
    EXPECT_FALSE(askYesNo(&window, questionCaption, questionText));
    answerOnceShown(backend, [](HeadlessBackend& b) { b.keyDown(27); });
    EXPECT_FALSE(askYesNo(&window, questionCaption, questionText));
    answerOnceShown(backend, [](HeadlessBackend& b) {
        clickButton(b, MessageBoxKind::Question, questionCaption, questionText, 0);
    });
    EXPECT_TRUE(askYesNo(&window, questionCaption, questionText));
    answerOnceShown(backend, [](HeadlessBackend& b) {
        clickButton(b, MessageBoxKind::Question, questionCaption, questionText, 1);
    });
    EXPECT_FALSE(askYesNo(&window, questionCaption, questionText));
    // A controller's A is Enter in a box.
    answerOnceShown(backend, [](HeadlessBackend& b) { b.controller(ControllerState{padA}); });
    EXPECT_TRUE(askYesNo(&window, questionCaption, questionText));

    // At drawing scale 3 the box fills the larger back buffer and the pointer still finds its
    // buttons.
    backend.setDrawingScale(3);
    requestRepaint(&window);
    pumpMessages(&window);
    for (size_t button : {1u, 0u}) {
        answerOnceShown(backend, [button](HeadlessBackend& b) {
            clickButton(b, MessageBoxKind::Question, questionCaption, questionText, button, 3);
        });
        EXPECT_EQ(askYesNo(&window, questionCaption, questionText), button == 0);
    }
}

TEST_F(WindowOnScript, WithoutTheSystemsBoxReportsShowInTheWindowAndStillGoToStderr)
{
    backend.failMessageBoxes = true;
    answerOnceShown(backend, [](HeadlessBackend& b) { b.keyDown(13); });
    setLastPlatformError("No such file or directory");
    testing::internal::CaptureStderr();
    reportLastError(&window, "gfx\\menu\\arrow.bmp");
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        written.find("A non fatal program error has occured: gfx\\menu\\arrow.bmp:No such file or "
                     "directory\n"),
        std::string::npos)
        << written;
    EXPECT_EQ(lastPlatformError(), nullptr);
    EXPECT_GT(backend.presentCount(), 0);
    const BoxLayout layout =
        layoutBox(640, 480, 8, 16, MessageBoxKind::Warning, "A non fatal program error has occured",
                  "gfx\\menu\\arrow.bmp:No such file or directory");
    EXPECT_EQ(layout.buttonLabels, std::vector<std::string>{"OK"});

    // A present that fails ends the box at once (nobody could see it): the game goes on.
    backend.failPresent = true;
    testing::internal::CaptureStderr();
    programFault(12, "y");
    testing::internal::GetCapturedStderr();
    backend.failPresent = false;
    EXPECT_TRUE(isWindowAlive(&window));

    // Closing the window while a box is open answers it, then closes the window as usual.
    window.callbacks.onDestroy = logDestroy;
    answerOnceShown(backend, [](HeadlessBackend& b) { b.closeRequest(); });
    testing::internal::CaptureStderr();
    programFault(13, "z");
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(isWindowAlive(&window));
    EXPECT_EQ(seen, std::vector<std::string>{"destroy"});
}

TEST_F(WindowOnScript, ControllersPressAndReleaseTheirInputsAsKeysOfTheirOwn)
{
    window.callbacks.onKeyDown = logKeyDown;
    window.callbacks.onKeyUp = logKeyUp;
    const auto code = [](PadInput input) { return std::to_string(padCode(input)); };
    backend.controller(ControllerState{padDown, 0, 0, 0, 0});
    backend.controller(ControllerState{padDown | padA, 0, 0, 0, 0});
    backend.controller(ControllerState{0, 0, 0, 0, 0});
    backend.controller(ControllerState{padB, 0, 0, 0, 0});
    pumpMessages(&window);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "down " + code(PadInput::DpadDown), "down " + code(PadInput::A),
                        "up " + code(PadInput::A), "up " + code(PadInput::DpadDown),
                        "down " + code(PadInput::B)}));

    // The stick and the triggers count past the dead zone, and stay held while they are.
    seen.clear();
    backend.controller(ControllerState{0, -20000, 0, 0, 30000});
    pumpMessages(&window);
    EXPECT_EQ(seen, (std::vector<std::string>{"up " + code(PadInput::B),
                                              "down " + code(PadInput::StickLeft),
                                              "down " + code(PadInput::RightTrigger)}));
    EXPECT_TRUE(isKeyHeld(&window, padCode(PadInput::StickLeft)));
    EXPECT_TRUE(isKeyHeld(&window, padCode(PadInput::RightTrigger)));
    EXPECT_FALSE(isKeyHeld(&window, padCode(PadInput::StickUp)));
    EXPECT_FALSE(isKeyHeld(&window, padCode(PadInput::LeftTrigger)));

    // Losing the focus forgets the controllers as it forgets the keyboard.
    backend.controller(ControllerState{padX, 0, 0, 0, 0});
    backend.focusLost();
    pumpMessages(&window);
    EXPECT_FALSE(isKeyHeld(&window, padCode(PadInput::X)));
    EXPECT_FALSE(isKeyHeld(&window, padCode(PadInput::StickLeft)));
}

TEST_F(WindowOnScript, KeysTheGameTakesNeverReachTheScreenNorDoTheirRepeatsOrRelease)
{
    static std::vector<uint32_t>* taken = nullptr;
    std::vector<uint32_t> takenKeys;
    taken = &takenKeys;
    window.takeKey = [](Window*, uint32_t code) {
        taken->push_back(code);
        return code == 0x7A;
    };
    window.callbacks.onKeyDown = logKeyDown;
    window.callbacks.onKeyUp = logKeyUp;
    backend.keyDown(0x7A);
    backend.keyDown(0x7A); // a repeat: the game is not asked again
    backend.keyDown(0x25);
    backend.keyDown(0x25);
    backend.keyUp(0x7A);
    backend.keyUp(0x25);
    backend.controller(ControllerState{padY, 0, 0, 0, 0});
    pumpMessages(&window);
    EXPECT_EQ(takenKeys, (std::vector<uint32_t>{0x7A, 0x25, padCode(PadInput::Y)}));
    EXPECT_EQ(seen, (std::vector<std::string>{"down 37", "down 37", "up 37",
                                              "down " + std::to_string(padCode(PadInput::Y))}));
    taken = nullptr;
}

TEST_F(WindowOnScript, FullScreenSwitchesBothWaysAndARefusalIsNoBox)
{
    toggleFullscreen(&window);
    EXPECT_TRUE(window.fullscreen);
    EXPECT_TRUE(backend.isFullscreen());
    EXPECT_EQ(window.cursorKind, 0);

    toggleFullscreen(&window);
    EXPECT_FALSE(window.fullscreen);
    EXPECT_FALSE(backend.isFullscreen());
    EXPECT_EQ(window.cursorKind, 1);

    // Presses of the full-screen key (F11, as the game's controls take it) waiting together
    // switch once, to the state the last of them asks for.
    window.takeKey = [](Window* w, uint32_t code) {
        if (code != 0x7A) {
            return false;
        }
        askFullscreenToggle(w);
        return true;
    };
    const auto pressF11 = [this] {
        backend.keyDown(0x7A);
        backend.keyUp(0x7A);
    };
    const int switches = backend.fullscreenSwitches();
    for (int press = 0; press < 3; ++press) {
        pressF11();
    }
    pumpMessages(&window);
    EXPECT_TRUE(backend.isFullscreen());
    EXPECT_EQ(backend.fullscreenSwitches(), switches + 1);
    for (int press = 0; press < 4; ++press) {
        pressF11();
    }
    pumpMessages(&window);
    EXPECT_TRUE(window.fullscreen);
    EXPECT_EQ(backend.fullscreenSwitches(), switches + 1);
    pressF11();
    pumpMessages(&window);
    window.takeKey = nullptr;

    backend.refuseFullscreen = true;
    testing::internal::CaptureStderr();
    toggleFullscreen(&window);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written,
              "Full screen could not be switched on (headless: the script refused full screen).\n");
    EXPECT_FALSE(window.fullscreen);
    EXPECT_TRUE(backend.shownBoxes().empty());
    EXPECT_EQ(lastPlatformError(), nullptr);
}

TEST_F(WindowOnScript, FullScreenSwitchedByTheSystemIsFollowedWithoutAskingTheBackend)
{
    // The browser's own Escape, or the page's button: the system switched, the window follows
    // (pointer included) and asks the backend for nothing.
    const int switches = backend.fullscreenSwitches();
    PlatformEvent switched;
    switched.kind = PlatformEvent::Kind::FullscreenChanged;
    switched.key = 1;
    backend.queueEvent(switched);
    pumpMessages(&window);
    EXPECT_TRUE(window.fullscreen);
    EXPECT_EQ(window.cursorKind, 0);
    switched.key = 0;
    backend.queueEvent(switched);
    pumpMessages(&window);
    EXPECT_FALSE(window.fullscreen);
    EXPECT_EQ(window.cursorKind, 1);
    EXPECT_EQ(backend.fullscreenSwitches(), switches);

    // The player's next full-screen key switches from where the system left it.
    toggleFullscreen(&window);
    EXPECT_TRUE(window.fullscreen);
    EXPECT_TRUE(backend.isFullscreen());
}

TEST_F(WindowOnScript, TheBackBufferFollowsTheDrawingScaleAndTheMouseStaysInScreenPixels)
{
    window.callbacks.onPaint = logPaint;
    window.callbacks.onMouseDown = logMouseDown;
    window.callbacks.onMouseMove = logMouseMove;
    // The scale asked for takes effect at the next paint, with a new back buffer presented whole.
    backend.setDrawingScale(3);
    EXPECT_EQ(window.backBuffer.width, 640) << "no new back buffer before the paint";
    backend.mouseDown(301, 152, 1);
    requestRepaint(&window);
    pumpMessages(&window);
    EXPECT_EQ(window.drawingScale, 3);
    EXPECT_EQ(backend.lastFrame().width, 1920);
    EXPECT_EQ(backend.lastFrame().height, 1440);
    EXPECT_EQ(clientWidth(&window), 640) << "the screens still lay out on 640 by 480";
    // Back-buffer pixels in, screen pixels out: (301, 152) and (1919, 1439) at scale 3.
    backend.mouseDown(301, 152, 1);
    backend.mouseMove(1919, 1439);
    pumpMessages(&window);
    EXPECT_EQ(seen.back(), "move 639,479");
    EXPECT_EQ(seen[seen.size() - 2], "mousedown 100,50 1");
    EXPECT_EQ(seen[0], "mousedown 301,152 1") << "the press before the paint came at scale 1";

    // Scales beyond 1 to 4 are bounded; the size of a screen comes back with scale 1.
    for (const auto& [asked, drawn] : {std::pair{9, 4}, std::pair{0, 1}, std::pair{-2, 1}}) {
        backend.setDrawingScale(asked);
        requestRepaint(&window);
        pumpMessages(&window);
        EXPECT_EQ(window.drawingScale, drawn) << asked;
        EXPECT_EQ(backend.lastFrame().width, 640 * drawn) << asked;
    }

    // The classic picture is drawn at scale 1 whatever the backend asks for, from the next paint.
    backend.setDrawingScale(2);
    window.classicLook = true;
    requestRepaint(&window);
    pumpMessages(&window);
    EXPECT_EQ(backend.lastFrame().width, 640);
    window.classicLook = false;
    requestRepaint(&window);
    pumpMessages(&window);
    EXPECT_EQ(backend.lastFrame().width, 1280);
}

TEST(WideView, TheScreensWidthFollowsTheShapeEvenWithinFourThirdsAndTwentyOneNinths)
{
    struct Case {
        int width, height, screen;
    };
    const Case cases[] = {
        {4, 3, 640},
        {16, 10, 768},
        {16, 9, 854},
        {1920, 1080, 854},
        {21, 9, 1120},
        {1706, 960, 854}, // 853.0 lies halfway between 852 and 854: a half goes up
        {1366, 768, 854},
        // Taller than 4:3, wider than 21:9, no shape at all.
        {5, 4, 640},
        {480, 640, 640},
        {32, 9, 1120},
        {0, 1080, 640},
        {1920, 0, 640},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(screenWidthForShape(c.width, c.height), c.screen) << c.width << ":" << c.height;
    }
}

TEST_F(WindowOnScript, TheWideViewWidensTheBackBufferAndTheMouseCountsFromTheLayout)
{
    window.callbacks.onPaint = logPaint;
    window.callbacks.onMouseDown = logMouseDown;
    ColumnRange parts[3];
    EXPECT_EQ(screenParts(&window, parts), 1);
    EXPECT_EQ(parts[0].originX, 0);
    EXPECT_EQ(parts[0].right, 640);

    backend.setDrawingScale(2);
    backend.setViewWidth(854);
    requestRepaint(&window);
    pumpMessages(&window);
    EXPECT_EQ(clientWidth(&window), 854);
    EXPECT_EQ(clientHeight(&window), 480);
    EXPECT_EQ(screenMargin(&window), 107);
    EXPECT_EQ(backend.lastFrame().width, 1708);
    EXPECT_EQ(backend.lastFrame().height, 960);
    // The layout's 1280 columns in the middle, a margin of 214 on each side.
    ASSERT_EQ(screenParts(&window, parts), 3);
    for (const ColumnRange& part : parts)
        EXPECT_EQ(part.originX, 214);
    EXPECT_EQ(parts[0].left, 0);
    EXPECT_EQ(parts[0].right, 1280);
    EXPECT_EQ(parts[1].left, -214);
    EXPECT_EQ(parts[1].right, 0);
    EXPECT_EQ(parts[2].left, 1280);
    EXPECT_EQ(parts[2].right, 1494);
    // The back buffer's left edge is the screen's x = -107; its middle the layout's 320.
    backend.mouseDown(0, 10, 1);
    backend.mouseDown(854, 480, 1);
    backend.mouseDown(1707, 959, 1);
    pumpMessages(&window);
    EXPECT_EQ(std::vector<std::string>(seen.end() - 3, seen.end()),
              (std::vector<std::string>{"mousedown -107,5 1", "mousedown 320,240 1",
                                        "mousedown 746,479 1"}));

    // An odd width is made even, and the width stays within 640 to 1120.
    for (const auto& [asked, shown] :
         {std::pair{855, 854}, std::pair{2000, 1120}, std::pair{100, 640}}) {
        backend.setViewWidth(asked);
        requestRepaint(&window);
        pumpMessages(&window);
        EXPECT_EQ(clientWidth(&window), shown) << asked;
        EXPECT_EQ(backend.lastFrame().width, 2 * shown) << asked;
    }
    // With the wide view off, the screen keeps 640 whatever the backend asks.
    backend.setViewWidth(1120);
    window.wideView = false;
    requestRepaint(&window);
    pumpMessages(&window);
    EXPECT_EQ(clientWidth(&window), 640);
    EXPECT_EQ(screenMargin(&window), 0);
    EXPECT_EQ(backend.lastFrame().width, 1280);
}
