// The desktop backend for real: each test starts its own Xvfb server, opens the game's window on
// it and checks it from outside with xwininfo and xdotool. Every wait has a deadline.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "controls/player_controls.h"
#include "platform/sdl/sdl_backend.h"
#include "core/errors.h"
#include "platform/box/own_box.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "test_folder.h"
#include "xvfb_display.h"

namespace {

constexpr const char* gameTitle = "Vantor (Version 1.02)";

std::vector<uint32_t> keysDown;
std::vector<uint32_t> keysUp;
std::vector<std::string> mouseSeen;

void recordKeyDown(Window*, uint32_t key) { keysDown.push_back(key); }
void recordKeyUp(Window*, uint32_t key) { keysUp.push_back(key); }
void recordMouseDown(Window*, int x, int y, int button)
{
    mouseSeen.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(button));
}

// What xwininfo says about the game's window: its id and its size, 0 when not found.
struct SeenWindow {
    std::string id;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The text after `label` up to the next space or end of line ("" when the label is missing).
std::string fieldAfter(const std::string& text, const std::string& label)
{
    size_t at = text.find(label);
    if (at == std::string::npos) {
        return "";
    }
    at += label.size();
    size_t end = text.find_first_of(" \n", at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

SeenWindow lookAtWindow()
{
    std::string info = runCommand(std::string("xwininfo -name '") + gameTitle + "' 2>/dev/null");
    SeenWindow seen;
    seen.id = fieldAfter(info, "Window id: ");
    auto number = [&](const char* label) {
        std::string text = fieldAfter(info, label);
        return text.empty() ? 0 : std::atoi(text.c_str());
    };
    seen.x = number("Absolute upper-left X:  ");
    seen.y = number("Absolute upper-left Y:  ");
    seen.width = number("Width: ");
    seen.height = number("Height: ");
    return seen;
}

class SdlWindowOnXvfb : public ::testing::Test {
protected:
    // Starts the server with the given screen (and a window manager on it when asked) and opens
    // the game's window on it as start-up does.
    void openOn(int screenWidth, int screenHeight, bool managed = false)
    {
        keysDown.clear();
        keysUp.clear();
        mouseSeen.clear();
        display = std::make_unique<XvfbDisplay>(screenWidth, screenHeight);
        if (!display->running()) {
            GTEST_SKIP() << display->failure();
        }
        if (managed) {
            manager = std::make_unique<WindowManager>(testFolder());
            if (manager->notInstalled()) {
                GTEST_SKIP() << manager->failure();
            }
            ASSERT_TRUE(manager->running()) << manager->failure();
        }
        // SDL's own software renderer, which the backend sets aside for the window's own
        // surface: Mesa's software GL, probed otherwise, is far slower under the sanitizers and
        // keeps allocations the leak checker reports.
        setenv("SDL_RENDER_DRIVER", "software", 1);
        SdlBackendOptions options;
        options.messageBoxes = false; // nobody watches this display
        backend = std::make_unique<SdlBackend>(options);
        window.backend = backend.get();
        showReportsIn(&window);
        create(&window);
        // The game's own keys of every screen (F10, F11 and Alt+Enter, F12) as the game has them.
        startControls(&window, nullptr);
        setWindowTitle(&window, gameTitle);
        sizeClientArea(&window);
        centreOnDesktop(&window);
        window.callbacks.onKeyDown = recordKeyDown;
        window.callbacks.onKeyUp = recordKeyUp;
        window.callbacks.onMouseDown = recordMouseDown;
    }

    void TearDown() override
    {
        if (backend) {
            releaseWindow(&window);
            backend.reset();
        }
        manager.reset();
        display.reset();
    }

    // Runs frames of the screen loop until `done` holds or 5 s have passed.
    template <typename Done>
    bool runFramesUntil(Done done)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            requestRepaint(&window);
            pumpMessages(&window);
            if (done()) {
                return true;
            }
        }
        return false;
    }

    void runFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            requestRepaint(&window);
            pumpMessages(&window);
        }
    }

    // Types `keys` (xdotool's names) into the focused window: each arrives pressed and released,
    // in order, as the virtual key of `expected`.
    void expectTyped(const std::string& keys, const std::vector<uint32_t>& expected)
    {
        SeenWindow seen = lookAtWindow();
        ASSERT_FALSE(seen.id.empty());
        runCommand("xdotool windowfocus --sync " + seen.id);
        runCommand("xdotool key --delay 20 " + keys);
        EXPECT_TRUE(runFramesUntil([&] { return keysUp.size() >= expected.size(); }));
        EXPECT_EQ(keysDown, expected);
        EXPECT_EQ(keysUp, expected);
    }

    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<WindowManager> manager;
    std::unique_ptr<SdlBackend> backend;
    Window window{};
};

} // namespace

TEST_F(SdlWindowOnXvfb, WindowHasTheTitleAndTheLargestWholeScaleThatFits)
{
    openOn(1920, 1080);
    runFrames(3);
    SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty()) << "no window titled " << gameTitle;
    EXPECT_EQ(backend->scale(), 2);
    // No graphics hardware draws here: frames go through the window's own surface.
    EXPECT_TRUE(backend->showsThroughWindowSurface());
    EXPECT_EQ(backend->rendererName(), "window surface");
    EXPECT_EQ(seen.width, 1280);
    EXPECT_EQ(seen.height, 960);
    EXPECT_EQ(clientWidth(&window), 640);
    EXPECT_EQ(clientHeight(&window), 480);
}

TEST_F(SdlWindowOnXvfb, SmallDesktopKeepsScaleOne)
{
    openOn(1024, 768);
    runFrames(3);
    SeenWindow seen = lookAtWindow();
    EXPECT_EQ(backend->scale(), 1);
    EXPECT_EQ(seen.width, 640);
    EXPECT_EQ(seen.height, 480);
}

TEST_F(SdlWindowOnXvfb, KeysSentToTheWindowReachTheSlotsAsVirtualKeys)
{
    openOn(1920, 1080);
    runFrames(3);
    expectTyped("Left Up Right Down Return KP_Enter Escape space a 5",
                {0x25, 0x26, 0x27, 0x28, 13, 13, 27, 0x20, 'A', '5'});
    EXPECT_FALSE(isKeyHeld(&window, 0x25));

    // A key held down repeats as further key-downs and counts as held until it is released.
    keysDown.clear();
    keysUp.clear();
    runCommand("xdotool keydown Up");
    EXPECT_TRUE(runFramesUntil([] { return keysDown.size() >= 3; }));
    EXPECT_TRUE(isKeyHeld(&window, 0x26));
    runCommand("xdotool keyup Up");
    EXPECT_TRUE(runFramesUntil([] { return !keysUp.empty(); }));
    EXPECT_FALSE(isKeyHeld(&window, 0x26));
    EXPECT_GE(keysDown.size(), 3u);
    EXPECT_EQ(keysUp, std::vector<uint32_t>{0x26});
}

TEST_F(SdlWindowOnXvfb, KeypadArrowsWithNumLockOffAreTheArrows)
{
    openOn(1920, 1080);
    runFrames(3);
    // NumLock is off on a fresh server: the keypad's 8, 2, 4, 6 and Enter.
    expectTyped("KP_Up KP_Down KP_Left KP_Right KP_Enter", {0x26, 0x28, 0x25, 0x27, 13});
}

TEST_F(SdlWindowOnXvfb, MouseButtonsArriveInScreenPixels)
{
    openOn(1920, 1080);
    runFrames(3);
    SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty());
    // At scale 2, window pixel (201, 101) is screen pixel (100, 50), whichever picture is shown.
    runCommand("xdotool mousemove --window " + seen.id + " 201 101 click 1 mousemove --window " +
               seen.id + " 1279 959 click 3");
    EXPECT_TRUE(runFramesUntil([] { return mouseSeen.size() >= 2; }));
    EXPECT_EQ(mouseSeen, (std::vector<std::string>{"100,50 1", "639,479 2"}));
}

TEST_F(SdlWindowOnXvfb, FullScreenOnAndOffLeavesAWorkingWindow)
{
    openOn(1920, 1080);
    runFrames(3);
    setFullscreen(&window);
    EXPECT_TRUE(window.fullscreen);
    runFrames(5);
    EXPECT_TRUE(isWindowAlive(&window));
    // The wide view of the 16:9 display.
    EXPECT_EQ(clientWidth(&window), 854);
    EXPECT_EQ(clientHeight(&window), 480);
    // The window really covers the display, even with no window manager to honour the request.
    const SeenWindow covering = lookAtWindow();
    EXPECT_EQ(covering.width, 1920);
    EXPECT_EQ(covering.height, 1080);

    ASSERT_TRUE(backend->setFullscreen(false));
    runFrames(5);
    SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty());
    EXPECT_EQ(seen.width, 1280);
    EXPECT_EQ(seen.height, 960);
    EXPECT_EQ(clientWidth(&window), 640);

    runCommand("xdotool windowfocus --sync " + seen.id);
    runCommand("xdotool key Escape");
    EXPECT_TRUE(runFramesUntil([] { return !keysUp.empty(); }));
    EXPECT_EQ(keysDown, std::vector<uint32_t>{27});
}

TEST_F(SdlWindowOnXvfb, F11AndAltEnterSwitchFullScreenAndBackToTheSamePlace)
{
    openOn(1920, 1080);
    runFrames(3);
    const SeenWindow before = lookAtWindow();
    ASSERT_FALSE(before.id.empty());
    runCommand("xdotool windowfocus --sync " + before.id);
    for (const char* key : {"F11", "alt+Return"}) {
        runCommand(std::string("xdotool key ") + key);
        EXPECT_TRUE(runFramesUntil([&] { return window.fullscreen; })) << key;
        runFrames(3);
        const SeenWindow covering = lookAtWindow();
        EXPECT_EQ(covering.width, 1920) << key;
        EXPECT_EQ(covering.height, 1080) << key;
        EXPECT_EQ(window.cursorKind, 0);

        runCommand(std::string("xdotool key ") + key);
        EXPECT_TRUE(runFramesUntil([&] { return !window.fullscreen; })) << key;
        runFrames(3);
        const SeenWindow after = lookAtWindow();
        EXPECT_EQ(after.x, before.x) << key;
        EXPECT_EQ(after.y, before.y) << key;
        EXPECT_EQ(after.width, before.width) << key;
        EXPECT_EQ(after.height, before.height) << key;
        EXPECT_EQ(window.cursorKind, 1);
    }
    // The comfort keys never reach the screens: Alt+Enter is no Enter.
    EXPECT_EQ(std::count(keysDown.begin(), keysDown.end(), 13u), 0);
    EXPECT_EQ(std::count(keysDown.begin(), keysDown.end(), 0x7Au), 0);
}

TEST_F(SdlWindowOnXvfb, FullScreenRoundTripsUnderAWindowManagerPutTheWindowBackWhereItWas)
{
    // openbox frames the window (a title bar above, a border round it) and takes full screen
    // itself; each way back must give the frame its old place, however often and however fast.
    openOn(1920, 1080, true);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    runFrames(5);
    const SeenWindow before = lookAtWindow();
    ASSERT_FALSE(before.id.empty());
    runCommand("xdotool windowfocus --sync " + before.id);
    auto place = [](const SeenWindow& seen) {
        return std::to_string(seen.x) + "," + std::to_string(seen.y) + " " +
               std::to_string(seen.width) + "x" + std::to_string(seen.height);
    };
    for (int trip = 1; trip <= 20; ++trip) {
        const char* key = trip % 2 == 1 ? "F11" : "alt+Return";
        runCommand(std::string("xdotool key ") + key);
        ASSERT_TRUE(runFramesUntil([&] { return window.fullscreen; })) << key;
        runCommand(std::string("xdotool key ") + key);
        ASSERT_TRUE(runFramesUntil([&] { return !window.fullscreen; })) << key;
        runFrames(2);
        const SeenWindow after = lookAtWindow();
        ASSERT_EQ(place(after), place(before)) << "after round trip " << trip;
    }
    // Keys typed while no frame runs wait together: the window ends in the state the last one
    // asks for, full screen after an odd number, and still comes back to its place.
    runCommand("xdotool key --delay 20 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11");
    runFrames(30);
    EXPECT_TRUE(window.fullscreen);
    runCommand("xdotool key F11");
    ASSERT_TRUE(runFramesUntil([&] { return !window.fullscreen; }));
    runFrames(2);
    EXPECT_EQ(place(lookAtWindow()), place(before));
    std::printf("Window at %s before and after 21 full-screen round trips and a burst of 11 keys "
                "under openbox.\n",
                place(before).c_str());
}

TEST_F(SdlWindowOnXvfb, FullScreenDrawsAtTheLargestScaleThatFitsTheDisplay)
{
    // The window fits twice 640x480; the whole display fits three times (1920x1440 of 2600x1450),
    // in the wide view of its shape: 480 x 2600 / 1450 = 860.7, 860 screen pixels wide.
    openOn(2600, 1450);
    runFrames(3);
    EXPECT_EQ(window.drawingScale, 2);
    toggleFullscreen(&window);
    ASSERT_TRUE(runFramesUntil([&] { return window.drawingScale == 3; }));
    EXPECT_EQ(window.backBuffer.width, 2580);
    EXPECT_EQ(window.backBuffer.height, 1440);
    toggleFullscreen(&window);
    EXPECT_TRUE(runFramesUntil([&] { return window.drawingScale == 2; }));
}

TEST_F(SdlWindowOnXvfb, ResizedWindowKeepsThePicturesShapeAndTheMouseItsPixels)
{
    openOn(1920, 1080);
    runFrames(3);
    const SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty());
    auto fitIs = [&](int x, int y, int w, int h, bool smooth) {
        const PictureFit& fit = backend->lastPictureFit();
        return fit.rect.x == x && fit.rect.y == y && fit.rect.w == w && fit.rect.h == h &&
               fit.smooth == smooth;
    };
    EXPECT_TRUE(fitIs(0, 0, 1280, 960, false));

    // Larger than one whole factor, smaller than two: factor 1, sharp, with black bars above
    // and below; the view takes the window's shape, 480 x 1000 / 700 = 686 wide.
    runCommand("xdotool windowsize " + seen.id + " 1000 700");
    EXPECT_TRUE(runFramesUntil([&] { return fitIs(157, 110, 686, 480, false); }));
    EXPECT_EQ(clientWidth(&window), 686);
    // Smaller than the picture, and taller than 4:3: the 4:3 view scaled down smoothly, its
    // shape kept.
    runCommand("xdotool windowsize " + seen.id + " 500 400");
    EXPECT_TRUE(runFramesUntil(
        [&] { return fitIs(0, 12, 500, 375, false) || fitIs(0, 12, 500, 375, true); }));
    EXPECT_TRUE(backend->lastPictureFit().smooth);
    EXPECT_EQ(clientWidth(&window), 640);
    EXPECT_EQ(clientHeight(&window), 480);

    // The middle of the window is the middle of the picture; the bar above it its top row.
    runCommand("xdotool mousemove --window " + seen.id + " 250 200 click 1 mousemove --window " +
               seen.id + " 10 5 click 1");
    EXPECT_TRUE(runFramesUntil([] { return mouseSeen.size() >= 2; }));
    EXPECT_EQ(mouseSeen, (std::vector<std::string>{"320,240 1", "12,0 1"}));
}

std::string describeRect(const PixelRect& rect)
{
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + " " + std::to_string(rect.w) +
           "x" + std::to_string(rect.h);
}

// What the display shows of the game's window ("root": the whole display), as 0x00RRGGBB pixels
// row by row (empty when it cannot be read).
std::vector<uint32_t> shownPixels(const std::string& windowId, int width, int height)
{
    const std::string rgb =
        runCommand("import -silent -window " + windowId + " -depth 8 rgb:- 2>/dev/null");
    std::vector<uint32_t> pixels;
    if (rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        return pixels;
    }
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        pixels.push_back(static_cast<uint32_t>(static_cast<unsigned char>(rgb[i])) << 16 |
                         static_cast<uint32_t>(static_cast<unsigned char>(rgb[i + 1])) << 8 |
                         static_cast<unsigned char>(rgb[i + 2]));
    }
    return pixels;
}

// Every back-buffer pixel a colour of its own, so that the display tells which one it shows.
void paintPattern(Window* w)
{
    for (int y = 0; y < w->backBuffer.height; ++y) {
        for (int x = 0; x < w->backBuffer.width; ++x) {
            w->backBuffer.pixels[static_cast<size_t>(y * w->backBuffer.width + x)] =
                static_cast<uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | (x >> 8) << 4 |
                                      (y >> 8));
        }
    }
}

TEST_F(SdlWindowOnXvfb, TheDisplayShowsEveryPixelOfTheBackBufferInItsPlace)
{
    openOn(1920, 1080);
    window.callbacks.onPaint = paintPattern;
    runFrames(3);
    const SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty());
    // Each shown pixel against the back-buffer pixel under it (black outside the picture), for
    // the back buffer of the drawing scale `scale` and the screen width `width`.
    auto mismatches = [&](int windowW, int windowH, const PixelRect& place, int scale,
                          int width = 640) {
        const std::vector<uint32_t> shown = shownPixels(seen.id, windowW, windowH);
        if (shown.empty()) {
            return -1;
        }
        Window painted{};
        resizeSurface(&painted.backBuffer, width * scale, 480 * scale);
        paintPattern(&painted);
        const Surface& picture = painted.backBuffer;
        int wrong = 0;
        for (int y = 0; y < windowH; ++y) {
            for (int x = 0; x < windowW; ++x) {
                const bool inside =
                    x >= place.x && x < place.x + place.w && y >= place.y && y < place.y + place.h;
                const uint32_t want =
                    inside ? picture.pixels[static_cast<size_t>(
                                 (y - place.y) * picture.height / place.h * picture.width +
                                 (x - place.x) * picture.width / place.w)]
                           : 0u;
                wrong += shown[static_cast<size_t>(y * windowW + x)] != want ? 1 : 0;
            }
        }
        return wrong;
    };
    // The window at twice the size draws the sharp picture at scale 2, shown pixel for pixel.
    EXPECT_EQ(window.drawingScale, 2);
    EXPECT_EQ(window.backBuffer.width, 1280);
    EXPECT_EQ(mismatches(1280, 960, PixelRect{0, 0, 1280, 960}, 2), 0);
    // F10: the classic picture, 640 by 480 enlarged twice; F10 again: the sharp one.
    runCommand("xdotool windowfocus --sync " + seen.id + " key F10");
    ASSERT_TRUE(runFramesUntil([&] { return window.drawingScale == 1; }));
    runFrames(2);
    EXPECT_EQ(window.backBuffer.width, 640);
    EXPECT_EQ(mismatches(1280, 960, PixelRect{0, 0, 1280, 960}, 1), 0);
    runCommand("xdotool key F10");
    ASSERT_TRUE(runFramesUntil([&] { return window.drawingScale == 2; }));
    EXPECT_TRUE(keysDown.empty()) << "F10 never reaches the screens";
    // A larger window of no whole factor draws at scale 1: the picture of the window's shape at
    // its own size in the middle, bars above and below.
    runCommand("xdotool windowsize " + seen.id + " 1000 700");
    ASSERT_TRUE(runFramesUntil([&] { return backend->lastPictureFit().rect.x == 157; }));
    runFrames(2);
    EXPECT_EQ(window.drawingScale, 1);
    EXPECT_EQ(mismatches(1000, 700, PixelRect{157, 110, 686, 480}, 1, 686), 0);
}

// Full screen on a 16:9 display draws the wide view (854 x 480 at scale 2) and shows it over the
// whole display, edge to edge; F10's classic picture stays 640 x 480 with bars beside it; a window
// wider than 4:3 takes its shape, a taller one keeps 4:3 with bars above and below.
TEST_F(SdlWindowOnXvfb, AWideDisplayOrWindowGetsTheWideViewEdgeToEdge)
{
    openOn(1920, 1080);
    constexpr uint32_t colour = 0x336699;
    window.callbacks.onPaint = [](Window* w) { fillSurface(&w->backBuffer, colour); };
    runFrames(3);
    const SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty());
    toggleFullscreen(&window);
    ASSERT_TRUE(runFramesUntil([&] { return window.backBuffer.width == 1708; }));
    runFrames(3);
    EXPECT_EQ(window.drawingScale, 2);
    EXPECT_EQ(window.backBuffer.height, 960);
    const PictureFit& fit = backend->lastPictureFit();
    EXPECT_EQ(describeRect(fit.rect), "0,0 1920x1080");
    // The whole display shows the picture: not one pixel of a bar.
    const std::vector<uint32_t> screen = shownPixels("root", 1920, 1080);
    ASSERT_EQ(screen.size(), 1920u * 1080u);
    EXPECT_EQ(std::count(screen.begin(), screen.end(), colour), 1920 * 1080);

    // The classic picture: 640 x 480 enlarged, black bars at the sides.
    runCommand("xdotool windowfocus --sync " + seen.id + " key F10");
    ASSERT_TRUE(runFramesUntil([&] { return window.backBuffer.width == 640; }));
    runFrames(2);
    EXPECT_EQ(describeRect(backend->lastPictureFit().rect), "240,0 1440x1080");
    runCommand("xdotool key F10");
    ASSERT_TRUE(runFramesUntil([&] { return window.backBuffer.width == 1708; }));

    toggleFullscreen(&window);
    // A 16:9 window of 1706 x 960: scale 2, 852 wide so that the sharp picture fits.
    runCommand("xdotool windowsize " + seen.id + " 1706 960");
    ASSERT_TRUE(runFramesUntil([&] { return window.backBuffer.width == 1704; }));
    runFrames(2);
    EXPECT_EQ(window.drawingScale, 2);
    EXPECT_EQ(describeRect(backend->lastPictureFit().rect), "1,0 1704x960");
    EXPECT_FALSE(backend->lastPictureFit().smooth);
    // Taller than 4:3: the 4:3 view with bars above and below.
    runCommand("xdotool windowsize " + seen.id + " 800 900");
    ASSERT_TRUE(runFramesUntil([&] { return window.backBuffer.width == 640; }));
    runFrames(2);
    EXPECT_EQ(describeRect(backend->lastPictureFit().rect), "80,210 640x480");
}

TEST_F(SdlWindowOnXvfb, AWindowTooLargeForASurfaceOfItsOwnSkipsItsFramesAndComesBack)
{
    openOn(1024, 768);
    window.callbacks.onPaint = paintPattern;
    runFrames(3);
    const SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty());
    ASSERT_TRUE(backend->showsThroughWindowSurface());
    testing::internal::CaptureStderr();
    // X sizes are 16 bits: 100000 pixels arrive as 34464. Neither that nor 32767 square fits a
    // surface whose size in bytes SDL counts in an int.
    for (const char* size : {"100000 100000", "32767 32767"}) {
        runCommand("xdotool windowsize " + seen.id + " " + size);
        runFrames(20);
    }
    runCommand("xdotool windowsize " + seen.id + " 800 600");
    const bool back = runFramesUntil([&] {
        const PictureFit& fit = backend->lastPictureFit();
        return fit.rect.x == 80 && fit.rect.y == 60 && fit.rect.w == 640 && fit.rect.h == 480;
    });
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(back) << "the picture did not come back in the smaller window";
    EXPECT_TRUE(isWindowAlive(&window));
    const std::string line = "The window is too large to show the game (34464 x 34464 pixels); "
                             "nothing is shown until it is smaller.\n";
    EXPECT_EQ(written, line) << "one line, not one a frame or one a size";
}

TEST_F(SdlWindowOnXvfb, F12KeepsThePictureAsAPngInThePicturesFolder)
{
    // HOME as a player has it, without a closing slash.
    const std::filesystem::path home = std::filesystem::path(testFolder()).parent_path();
    std::filesystem::create_directories(home / ".config");
    std::filesystem::create_directories(home / "Pictures");
    {
        std::ofstream dirs(home / ".config" / "user-dirs.dirs");
        dirs << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
    }
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    openOn(1024, 768);
    window.callbacks.onPaint = [](Window* w) {
        std::fill(w->backBuffer.pixels.begin(), w->backBuffer.pixels.end(), 0x00336699u);
    };
    runFrames(3);
    const SeenWindow seen = lookAtWindow();
    ASSERT_FALSE(seen.id.empty());
    runCommand("xdotool windowfocus --sync " + seen.id + " key F12");
    testing::internal::CaptureStderr();
    auto taken = [&] {
        return std::filesystem::exists(home / "Pictures") &&
               !std::filesystem::is_empty(home / "Pictures");
    };
    EXPECT_TRUE(runFramesUntil(taken));
    backend->finishPictures();
    const std::string written = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(taken());
    const std::filesystem::path file =
        std::filesystem::directory_iterator(home / "Pictures")->path();
    EXPECT_EQ(file.filename().string().rfind("vantor-", 0), 0u) << file;
    EXPECT_EQ(file.extension(), ".png");
    EXPECT_EQ(written, "Picture saved: " + file.string() + "\n");
    EXPECT_TRUE(keysDown.empty()) << "F12 reached the screen";

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str())) << image.message;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
    EXPECT_EQ(image.width, 640u);
    EXPECT_EQ(image.height, 480u);
    EXPECT_EQ(pixels[0], 0x33);
    EXPECT_EQ(pixels[1], 0x66);
    EXPECT_EQ(pixels[2], 0x99);

    // A home that is no folder: a warning on stderr, the game goes on.
    const std::filesystem::path notAFolder = home / "not-a-folder";
    std::ofstream(notAFolder) << "a file";
    setenv("HOME", notAFolder.c_str(), 1);
    testing::internal::CaptureStderr();
    runCommand("xdotool key F12");
    runFrames(10);
    backend->finishPictures();
    const std::string warned = testing::internal::GetCapturedStderr();
    EXPECT_EQ(warned.rfind("Warning: the picture could not be saved as " + notAFolder.string() +
                               "/vantor-",
                           0),
              0u)
        << warned;
    EXPECT_TRUE(isWindowAlive(&window));
    if (!HasFailure()) {
        std::filesystem::remove_all(home);
    }
}

TEST_F(SdlWindowOnXvfb, PresentsWaitForTheDisplayEvenWithoutVerticalSync)
{
    openOn(1024, 768);
    runFrames(12); // enough for presents that come back too soon to be noticed
    auto start = std::chrono::steady_clock::now();
    runFrames(30);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    // Xvfb has no vertical sync; 30 frames at the display's rate (60 Hz unless it says otherwise)
    // still take about half a second, where unpaced they would take a few milliseconds.
    EXPECT_GE(took.count(), 30 * 1000 / 60 * 3 / 4);
}

TEST_F(SdlWindowOnXvfb, ASoundDeviceThatStopsTakingTheSoundIsSaidOnceAndTheGameGoesOn)
{
    // SDL's disk driver writing into a full disk: the device opens, then refuses the first
    // samples and SDL drops it.
    const std::filesystem::path full = std::filesystem::path(testFolder()) / "sound.raw";
    std::filesystem::create_symlink("/dev/full", full);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", full.c_str(), 1);
    openOn(1024, 768);
    const SoundBank bank;
    testing::internal::CaptureStderr();
    startSound(&window, &bank);
    const bool openedFirst = backend->soundPlaying();
    const bool stopped = runFramesUntil([&] { return !backend->soundPlaying(); });
    runFrames(10);
    const std::string written = testing::internal::GetCapturedStderr();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    EXPECT_TRUE(openedFirst) << written;
    EXPECT_TRUE(stopped);
    const std::string line =
        "vantor: no sound (the sound device stopped taking sound); the game plays on silent\n";
    const size_t at = written.find(line);
    EXPECT_NE(at, std::string::npos) << written;
    EXPECT_EQ(written.find(line, at + 1), std::string::npos) << "said more than once";
    EXPECT_TRUE(isWindowAlive(&window));
    playSound(&window, SoundFrame{});
}

TEST(SdlWindowWithoutDisplay, CreateEndsWithTheFatalReportAndStatusOne)
{
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("SDL_VIDEODRIVER");
            SdlBackend backend;
            Window window{};
            window.backend = &backend;
            create(&window);
        },
        testing::ExitedWithCode(1),
        "Fatal program error in module '\\.\\\\_Source\\\\Window' at line [0-9]+: 'Failed creating "
        "window'");
}

TEST(SdlWindowReasons, AFailureIsReportedInSdlsOwnWordsAlone)
{
    // A video driver that does not exist: SDL says so, and the system's error number, left over
    // from SDL's search for the driver's libraries, is no part of the reason.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = driver != nullptr ? driver : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    SdlBackendOptions options;
    options.messageBoxes = false;
    SdlBackend backend(options);
    clearLastPlatformError();
    EXPECT_FALSE(backend.openWindow(gameTitle, screenWidth, screenHeight));
    if (driver != nullptr) {
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    ASSERT_NE(lastPlatformError(), nullptr);
    const std::string reason = lastPlatformError();
    EXPECT_EQ(reason.rfind("SDL_InitSubSystem: ", 0), 0u) << reason;
    EXPECT_EQ(reason.find(" ("), std::string::npos) << reason;
    clearLastPlatformError();
}
