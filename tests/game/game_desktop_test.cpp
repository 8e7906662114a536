// The real game executable on the SDL desktop backend, played on a virtual X display (Xvfb) with
// xdotool: the full-screen question answered No (in the system's box, or in the game's window
// when the system cannot show one), then menu -> controls -> race -> Escape -> result -> menu ->
// Escape. The game must end by itself with status 0 after showing frames. It runs with no sound
// device (SDL's dummy audio driver): silent, it says so in one line and plays on. Its settings
// file, in the test's own XDG_CONFIG_HOME, makes W the throttle: the car drives on W, and the
// file is the same afterwards. And the question's own faults: its window closed under a window
// manager ends the game, and a key held down to answer it does not act on the menu.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "desktop_game.h"
#include "test_folder.h"
#include "xvfb_display.h"

namespace {

using namespace std::chrono_literals;

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

// Starts the game built in VANTOR_BUILD_DIR on the display DISPLAY names, without a sound device
// (SDL's dummy audio driver), its output in `logFile`; -1 when there is no game to start.
pid_t startGame(const std::string& logFile)
{
    const char* buildDir = std::getenv("VANTOR_BUILD_DIR");
    if (buildDir == nullptr) {
        ADD_FAILURE() << "VANTOR_BUILD_DIR is not set";
        return -1;
    }
    const std::string game = std::string(buildDir) + "/src/game/vantor";
    if (!std::filesystem::exists(game)) {
        ADD_FAILURE() << "no game at " << game;
        return -1;
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Only leaks of the game's own code count; the desktop libraries keep a few buffers.
    const std::string suppressions =
        (std::filesystem::current_path() / "tests" / "game" / "desktop_leaks.supp").string();
    setenv("LSAN_OPTIONS", ("suppressions=" + suppressions).c_str(), 1);
    return startProgram({game}, logFile);
}

// The xdotool command that finds the game's window (waiting for it) and acts on it.
const std::string gameWindow = "xdotool search --sync --name '^Vantor \\(Version 1\\.02\\)$' ";

} // namespace

TEST(DesktopGame, PlaysMenuControlsRaceResultAndQuitsWithStatusZero)
{
    const std::string folder = testFolder();
    XvfbDisplay xvfb(screenWidth, screenHeight);
    ASSERT_TRUE(xvfb.running()) << xvfb.failure();
    const std::string& display = xvfb.name();
    // The player's settings: W accelerates, Up no longer does.
    const std::string config = folder + "config";
    std::filesystem::create_directories(config + "/vantor");
    const std::string settings = "# by hand\n[keys]\naccelerate = W\n";
    std::ofstream(config + "/vantor/vantor.ini") << settings;
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string logFile = folder + "game.log";
    const pid_t pid = startGame(logFile);
    ASSERT_GT(pid, 0);

    // The full-screen question: Escape picks No, in the system's box or in the game's window.
    const Question question = findQuestion(display, logFile, 20s);
    const std::string& window = gameWindow;
    bool answered = false;
    if (!question.box.empty()) {
        answered = onDisplay(display, "xdotool windowfocus --sync " + question.box +
                                          " key --delay 100 Escape");
    } else if (!question.inWindow.empty()) {
        // Not a failure: the game asked in its own window. Say why the system's box was missing.
        std::printf("No system message box on this display; the game said: %s\n",
                    question.inWindow.c_str());
        answered = onDisplay(display, window + "windowfocus --sync key --delay 100 Escape");
    }
    bool focused = answered && onDisplay(display, window + "windowfocus --sync");
    std::this_thread::sleep_for(500ms);
    const long menuPixels = litPixels(display);
    // Menu -> controls -> race; the speed gauge at the top left is empty on the grid.
    focused = focused && onDisplay(display, window + "windowfocus --sync key --delay 300 "
                                                     "Return Return");
    std::this_thread::sleep_for(500ms);
    const std::string gauge = "180x36+4+4"; // the bars, where no sky shows through
    const std::string gaugeOnTheGrid = shownPixels(display, gauge);
    // W held through the countdown and some driving fills the gauge.
    focused = focused && onDisplay(display, "xdotool keydown w sleep 4.5");
    const long racePixels = litPixels(display);
    const std::string gaugeDriving = shownPixels(display, gauge);
    // Escape ends the race, Enter leaves the result screen, Escape leaves the menu.
    focused = focused && onDisplay(display, "xdotool keyup w key --delay 600 Escape Return "
                                            "Escape");

    bool ended = false;
    const int status = waitForExit(pid, 20000ms, &ended);
    if (!ended) {
        stopProcess(pid);
    }
    EXPECT_TRUE(answered) << "the full-screen question never showed; the game wrote:\n"
                          << readFile(logFile);
    EXPECT_TRUE(focused) << "the game window could not be driven";
    EXPECT_TRUE(ended) << "the game did not end after Escape on the menu";
    EXPECT_EQ(status, 0);
    EXPECT_GT(menuPixels, 1000) << "the menu showed nothing";
    EXPECT_GT(racePixels, screenWidth * 100) << "the race showed nothing";
    EXPECT_EQ(gaugeOnTheGrid.size(), 180u * 36u * 3u) << "the gauge could not be read";
    EXPECT_TRUE(gaugeDriving != gaugeOnTheGrid)
        << "W did not drive the car: the gauge stayed empty";
    EXPECT_EQ(readFile(config + "/vantor/vantor.ini"), settings);
    std::ifstream log(logFile);
    int soundLines = 0;
    for (std::string line; std::getline(log, line);) {
        soundLines += line.find("no sound") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(soundLines, 1) << "one line tells that the game plays without sound";
}

TEST(DesktopGame, CopiedBesideAnEmptyPicturesFolderStopsWithTheReportNamingWhereItLooked)
{
    const char* buildDir = std::getenv("VANTOR_BUILD_DIR");
    ASSERT_NE(buildDir, nullptr) << "VANTOR_BUILD_DIR is not set";
    // An installed game's pictures would be found from anywhere, as they should be.
    if (std::filesystem::exists(VANTOR_INSTALLED_DATA "/gfx/font/font1sm.bmp")) {
        GTEST_SKIP() << "the game is installed in " VANTOR_INSTALLED_DATA
                        ", whose pictures a copy finds";
    }
    const std::string folder = testFolder();
    const std::string game = folder + "vantor";
    std::filesystem::copy_file(std::string(buildDir) + "/src/game/vantor", game);
    std::filesystem::create_directories(folder + "gfx");

    XvfbDisplay xvfb(screenWidth, screenHeight);
    ASSERT_TRUE(xvfb.running()) << xvfb.failure();
    const std::string& display = xvfb.name();
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string suppressions =
        (std::filesystem::current_path() / "tests" / "game" / "desktop_leaks.supp").string();
    setenv("LSAN_OPTIONS", ("suppressions=" + suppressions).c_str(), 1);
    const std::string logFile = folder + "game.log";
    // The server takes its first clients a moment after it starts on a busy machine.
    for (int tries = 0; tries < 50 && !onDisplay(display, "xdpyinfo"); ++tries) {
        std::this_thread::sleep_for(200ms);
    }
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const pid_t pid = startProgram({game}, logFile);
    std::filesystem::current_path(before);
    ASSERT_GT(pid, 0);

    // The report waits for OK: in the system's box, or in the game's window without one.
    const std::string report = "Fatal program error";
    bool ended = false;
    int status = -1;
    for (int tries = 0; tries < 40 && !ended; ++tries) {
        const std::string box = windowInTree(display, "\"" + report + "\"");
        if (!box.empty()) {
            onDisplay(display, "xdotool windowfocus --sync " + box + " key Return");
        } else if (readFile(logFile).find("The system cannot show a message box") !=
                   std::string::npos) {
            onDisplay(display, "xdotool search --sync --name '^Vantor' windowfocus --sync key "
                               "Return");
        }
        status = waitForExit(pid, 500ms, &ended);
    }
    if (!ended) {
        stopProcess(pid);
    }
    const std::string log = readFile(logFile);
    EXPECT_TRUE(ended) << "the game went on without its pictures; it wrote:\n" << log;
    EXPECT_EQ(status, 1);
    EXPECT_NE(log.find("The game's pictures were not found: no place searched holds "
                       "gfx/font/font1sm.bmp"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(folder + "gfx"), std::string::npos) << "the report names the copy's folder";
}

TEST(DesktopGame, PackagedGameStartsFromTheRootFolderAndFindsItsPictures)
{
    // The Debian package made by scripts/package.sh, unpacked in the test's folder as dpkg would
    // lay it out under /: the game finds its pictures beside its own installed folder.
    std::string package;
    const std::filesystem::path packages = std::filesystem::current_path() / "build" / "packages";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(packages, error)) {
        if (entry.path().extension() == ".deb") {
            package = entry.path().string();
        }
    }
    if (package.empty()) {
        GTEST_SKIP() << "no package in " << packages.string() << " (scripts/package.sh makes it)";
    }
    const std::string folder = testFolder();
    const std::string root = folder + "root";
    ASSERT_EQ(std::system(("dpkg-deb -x '" + package + "' '" + root + "'").c_str()), 0);
    for (const char* file :
         {"/usr/games/vantor", "/usr/share/vantor/gfx/font/font1sm.bmp",
          "/usr/share/vantor/gfx-2x/font/font1sm.bmp", "/usr/share/vantor/gfx-4x/bgr/sky.bmp",
          "/usr/share/man/man6/vantor.6.gz", "/usr/share/doc/vantor/copyright",
          "/usr/share/applications/vantor.desktop",
          "/usr/share/icons/hicolor/64x64/apps/vantor.png"}) {
        EXPECT_TRUE(std::filesystem::exists(root + file)) << file << " is not in the package";
    }
    EXPECT_NE(readFile(root + "/usr/share/applications/vantor.desktop").find("Exec=/usr/games/vantor"),
              std::string::npos);

    XvfbDisplay xvfb(screenWidth, screenHeight);
    ASSERT_TRUE(xvfb.running()) << xvfb.failure();
    const std::string& display = xvfb.name();
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string logFile = folder + "game.log";
    for (int tries = 0; tries < 50 && !onDisplay(display, "xdpyinfo"); ++tries) {
        std::this_thread::sleep_for(200ms);
    }
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path("/");
    const pid_t pid = startProgram({root + "/usr/games/vantor"}, logFile);
    std::filesystem::current_path(before);
    ASSERT_GT(pid, 0);

    const Question question = findQuestion(display, logFile, 20s);
    const std::string window = "xdotool search --sync --name '^Vantor \\(Version 1\\.02\\)$' ";
    bool answered = false;
    if (!question.box.empty()) {
        answered = onDisplay(display, "xdotool windowfocus --sync " + question.box +
                                          " key --delay 100 Escape");
    } else if (!question.inWindow.empty()) {
        answered = onDisplay(display, window + "windowfocus --sync key --delay 100 Escape");
    }
    std::this_thread::sleep_for(500ms);
    const long menuPixels = litPixels(display);
    const bool quit = answered && onDisplay(display, window + "windowfocus --sync key Escape");
    bool ended = false;
    const int status = waitForExit(pid, 20000ms, &ended);
    if (!ended) {
        stopProcess(pid);
    }
    EXPECT_TRUE(answered && quit) << readFile(logFile);
    EXPECT_TRUE(ended);
    EXPECT_EQ(status, 0) << readFile(logFile);
    EXPECT_GT(menuPixels, 1000) << "the menu showed nothing: its pictures were not found";
}

TEST(DesktopGame, ClosingTheWindowAtTheQuestionInTheWindowEndsTheGame)
{
    // Without core fonts SDL's own box cannot be shown: the game asks in its window, and the
    // window manager closes that window on Alt+F4.
    const std::string folder = testFolder();
    XvfbDisplay xvfb(screenWidth, screenHeight, false);
    ASSERT_TRUE(xvfb.running()) << xvfb.failure();
    WindowManager manager(folder);
    if (manager.notInstalled()) {
        GTEST_SKIP() << manager.failure();
    }
    ASSERT_TRUE(manager.running()) << manager.failure();
    const std::string logFile = folder + "game.log";
    const pid_t pid = startGame(logFile);
    ASSERT_GT(pid, 0);
    const Question question = findQuestion(xvfb.name(), logFile, 20s);
    const bool closed = !question.inWindow.empty() &&
                        onDisplay(xvfb.name(), gameWindow + "windowfocus --sync") &&
                        onDisplay(xvfb.name(), "xdotool key alt+F4");
    const auto closedAt = std::chrono::steady_clock::now();
    bool ended = false;
    const int status = waitForExit(pid, 10000ms, &ended);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - closedAt);
    if (!ended) {
        stopProcess(pid);
    }
    EXPECT_TRUE(closed) << "the question never showed in the window; the game wrote:\n"
                        << readFile(logFile);
    EXPECT_TRUE(ended) << "the game went on without its window";
    EXPECT_EQ(status, 0);
    std::printf("The game ended %lld ms after its window was closed at the question.\n",
                static_cast<long long>(took.count()));
}

// A key held down to answer the full-screen question, in the system's box or in the game's
// window, and let go on the menu, does nothing there: the game still runs, and one Escape ends
// it. Escape held answers No (and would quit the menu); Enter held answers Yes (and would start
// a race, where one Escape ends nothing).
struct HeldAnswer {
    bool systemBox;
    const char* key;
    const char* seconds;
};

void PrintTo(const HeldAnswer& held, std::ostream* out)
{
    *out << held.key << " held " << held.seconds << " s in "
         << (held.systemBox ? "the system's box" : "the game's own box");
}

class KeyHeldThroughTheQuestion : public testing::TestWithParam<HeldAnswer> {};

TEST_P(KeyHeldThroughTheQuestion, DoesNotActOnTheMenu)
{
    const HeldAnswer held = GetParam();
    const std::string folder = testFolder();
    XvfbDisplay xvfb(screenWidth, screenHeight, held.systemBox);
    ASSERT_TRUE(xvfb.running()) << xvfb.failure();
    const std::string& display = xvfb.name();
    const std::string logFile = folder + "game.log";
    const pid_t pid = startGame(logFile);
    ASSERT_GT(pid, 0);
    const Question question = findQuestion(display, logFile, 20s);
    if (held.systemBox && question.box.empty()) {
        stopProcess(pid);
        GTEST_SKIP() << "SDL's own box cannot be shown on this display: " << question.inWindow;
    }
    const std::string target = held.systemBox ? "xdotool windowfocus --sync " + question.box + " "
                                              : gameWindow + "windowfocus --sync ";
    const bool pressed = (!question.box.empty() || !question.inWindow.empty()) &&
                         onDisplay(display, target + "keydown " + held.key + " sleep " +
                                                held.seconds + " keyup " + held.key + " sleep 1");
    int status = 0;
    const bool stillRan = waitpid(pid, &status, WNOHANG) == 0;
    const bool escaped =
        stillRan && onDisplay(display, gameWindow + "windowfocus --sync key Escape");
    bool ended = !stillRan; // reaped already when it ended early
    status = stillRan ? waitForExit(pid, 10000ms, &ended) : -1;
    if (!ended) {
        stopProcess(pid);
    }
    EXPECT_TRUE(pressed) << "the question never showed; the game wrote:\n" << readFile(logFile);
    EXPECT_TRUE(stillRan) << held.key << " held through the question quit the game";
    EXPECT_TRUE(escaped);
    EXPECT_TRUE(ended) << "one Escape did not end the game: " << held.key
                       << " held through the question went past the menu";
    EXPECT_EQ(status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    InBothBoxes, KeyHeldThroughTheQuestion,
    testing::Values(HeldAnswer{true, "Escape", "1"}, HeldAnswer{true, "Return", "3"},
                    HeldAnswer{false, "Escape", "1"}, HeldAnswer{false, "Return", "3"}),
    [](const testing::TestParamInfo<HeldAnswer>& answer) {
        return std::string(answer.param.systemBox ? "SystemBox" : "GamesOwnBox") + answer.param.key;
    });
