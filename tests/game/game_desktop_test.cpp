// The real game executable on the SDL desktop backend, played on a virtual X display (Xvfb) with
// xdotool: the full-screen question answered No (in the system's box, or in the game's window
// when the system cannot show one), then menu -> controls -> race -> Escape -> result -> menu ->
// Escape. The game must end by itself with status 0 after showing frames. It runs with no sound
// device (SDL's dummy audio driver): silent, it says so in one line and plays on.
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

} // namespace

TEST(DesktopGame, PlaysMenuControlsRaceResultAndQuitsWithStatusZero)
{
    const char* buildDir = std::getenv("VANTOR_BUILD_DIR");
    ASSERT_NE(buildDir, nullptr) << "VANTOR_BUILD_DIR is not set";
    const std::string game = std::string(buildDir) + "/src/game/vantor";
    ASSERT_TRUE(std::filesystem::exists(game)) << game;
    const std::string folder = testFolder();

    XvfbDisplay xvfb(screenWidth, screenHeight);
    ASSERT_TRUE(xvfb.running()) << xvfb.failure();
    const std::string& display = xvfb.name();
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Only leaks of the game's own code count; the desktop libraries keep a few buffers.
    const std::string suppressions =
        (std::filesystem::current_path() / "tests" / "game" / "desktop_leaks.supp").string();
    setenv("LSAN_OPTIONS", ("suppressions=" + suppressions).c_str(), 1);
    const std::string logFile = folder + "game.log";
    const pid_t pid = startProgram({game}, logFile);
    ASSERT_GT(pid, 0);

    // The full-screen question: Escape picks No, in the system's box or in the game's window.
    const Question question = findQuestion(display, logFile, 20s);
    const std::string window = "xdotool search --sync --name '^Vantor \\(Version 1\\.02\\)$' ";
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
    // Menu -> controls -> race, then Up held through the countdown and some driving.
    focused = focused && onDisplay(display, window + "windowfocus --sync key --delay 300 "
                                                     "Return Return");
    focused = focused && onDisplay(display, "xdotool keydown Up sleep 4.5");
    const long racePixels = litPixels(display);
    // Escape ends the race, Enter leaves the result screen, Escape leaves the menu.
    focused = focused && onDisplay(display, "xdotool keyup Up key --delay 600 Escape Return "
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
