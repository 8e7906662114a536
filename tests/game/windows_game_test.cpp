// The Windows game (scripts/windows.sh) under Wine on a virtual X display, as a Windows player
// meets it: vantor.exe copied alone with its pictures into a folder whose name is not ASCII and
// started from another folder, so it finds its pictures beside itself. The system's full-screen
// question answered No, the menu, a race with Up held and F12 pressed, Escape, the result, the
// menu, Escape: status 0. Its sound plays through Wine to an ALSA file device; its reports go to
// vantor.log in the roaming application data, the picture into the Pictures folder. Without a
// sound device it says so in one line and plays on. Skipped where Wine or the build is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "core/files.h"
#include "desktop_game.h"
#include "test_folder.h"
#include "wine_run.h"
#include "xvfb_display.h"

namespace {

using namespace std::chrono_literals;

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

// The game and its scale-1 pictures, copied into `folder`; the copy's path.
std::string copyOfTheGame(const std::string& folder)
{
    const std::filesystem::path place = pathFromUtf8(folder);
    std::filesystem::create_directories(place);
    const std::string build = windowsBuildFolder();
    std::filesystem::copy_file(build + "/src/game/vantor.exe", place / "vantor.exe");
    std::filesystem::copy(build + "/gfx", place / "gfx", std::filesystem::copy_options::recursive);
    return utf8FromPath(place / "vantor.exe");
}

// Makes the ALSA default device of `home` write every sound to `soundFile`.
void homeHearingInto(const std::string& home, const std::string& soundFile)
{
    std::ofstream(home + "/.asoundrc") << "pcm.!default {\n    type file\n    slave.pcm \"null\"\n"
                                       << "    file \"" << soundFile << "\"\n    format \"raw\"\n}\n";
}

// How often `part` occurs in `text`.
int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// How many of the bytes of a file are not zero.
long soundingBytes(const std::string& path)
{
    long sounding = 0;
    for (char byte : readFile(path)) {
        sounding += byte != 0 ? 1 : 0;
    }
    return sounding;
}

// Answers the full-screen question in the system's box with Escape (No) and waits (up to 30 s)
// until Wine has closed the box: only then does the game go on to its menu.
bool answerNo(const std::string& display, const Question& question)
{
    if (question.box.empty() ||
        !onDisplay(display, "xdotool windowfocus --sync " + question.box + " key Escape")) {
        return false;
    }
    for (int tries = 0; tries < 60; ++tries) {
        if (windowInTree(display, question.box + " ").empty()) {
            return true;
        }
        std::this_thread::sleep_for(500ms);
    }
    return false;
}

// Waits (up to 30 s) until the screen shows something and stays the same for a second: the game
// under Wine takes keys only once its screen is up. The lit pixels then, or 0.
long steadyScreen(const std::string& display)
{
    long previous = -1;
    for (int tries = 0; tries < 60; ++tries) {
        const long lit = litPixels(display);
        if (lit > 1000 && lit == previous) {
            return lit;
        }
        previous = lit;
        std::this_thread::sleep_for(500ms);
    }
    return 0;
}

// A Wine prefix, a home folder and an Xvfb display of the test's own; skipped where Wine or the
// Windows build is missing.
class WindowsGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string why = whyWindowsProgramsCannotRun();
        if (!why.empty()) {
            GTEST_SKIP() << why;
        }
        folder = testFolder();
        ASSERT_TRUE(useOwnWinePrefix(folder + "wine"));
        user = wineUserFolder(folder + "wine");
        gameLog = user + "/AppData/Roaming/Vantor/vantor.log";
        std::filesystem::create_directories(folder + "home");
        setenv("HOME", (folder + "home").c_str(), 1);
        xvfb = std::make_unique<XvfbDisplay>(screenWidth, screenHeight);
        ASSERT_TRUE(xvfb->running()) << xvfb->failure();
        display = xvfb->name();
    }

    // Starts `game` through Wine from the test's folder and answers the full-screen question
    // No in Wine's message box; false when the question never showed.
    bool startAndAnswer(const std::string& game)
    {
        const std::filesystem::path before = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        pid = startProgram({"wine", game}, folder + "wine.log");
        std::filesystem::current_path(before);
        return pid > 0 && answerNo(display, findQuestion(display, gameLog, 90s));
    }

    // Waits up to a minute for the game to end (ending it otherwise) and for Wine to go; the
    // game's exit status, or -1 when it did not end by itself (*ended false).
    int finish(bool* ended)
    {
        const int status = waitForExit(pid, 60000ms, ended);
        if (!*ended) {
            stopProcess(pid);
        }
        endWine();
        return status;
    }

    std::string folder;
    std::string user;    // the Windows user's folder in the prefix
    std::string gameLog; // the game's vantor.log in the roaming application data
    std::unique_ptr<XvfbDisplay> xvfb;
    std::string display;
    pid_t pid = -1;
};

} // namespace

TEST_F(WindowsGame, UnderWineAsksShowsTheMenuRacesKeepsAPictureAndQuitsWithStatusZero)
{
    const std::string game = copyOfTheGame(folder + "Spiele Zoë/Vantor");
    const std::string soundFile = folder + "sound.raw";
    homeHearingInto(folder + "home", soundFile);

    const bool answered = startAndAnswer(game);
    const std::string window = "xdotool search --sync --name '^Vantor \\(Version 1\\.02\\)$' ";
    bool focused = answered && onDisplay(display, window + "windowfocus --sync");
    const long menuPixels = steadyScreen(display);
    focused = focused && onDisplay(display, window + "windowfocus --sync key --delay 300 "
                                                     "Return Return");
    focused = focused && onDisplay(display, "xdotool keydown Up sleep 4.5 key F12 sleep 1");
    const long racePixels = litPixels(display);
    focused = focused && onDisplay(display, "xdotool keyup Up key --delay 600 Escape Return "
                                            "Escape");
    bool ended = false;
    const int status = finish(&ended);

    const std::string reports = readFile(gameLog);
    EXPECT_TRUE(answered) << "the full-screen question never showed; Wine wrote:\n"
                          << readFile(folder + "wine.log") << "\nthe game wrote:\n" << reports;
    EXPECT_TRUE(focused) << "the game window could not be driven";
    EXPECT_TRUE(ended) << "the game did not end after Escape on the menu";
    EXPECT_EQ(status, 0);
    EXPECT_GT(menuPixels, 1000) << "the menu showed nothing";
    EXPECT_GT(racePixels, screenWidth * 100) << "the race showed nothing";
    EXPECT_EQ(occurrences(reports, "no sound"), 0) << reports;
    EXPECT_GT(soundingBytes(soundFile), 100000) << "the race was not heard";
    EXPECT_EQ(occurrences(reports, "Picture saved: C:\\users\\"), 1) << reports;
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(user + "/Pictures")) {
        pictures += entry.path().extension() == ".png" ? 1 : 0;
    }
    EXPECT_EQ(pictures, 1) << "F12 keeps one picture in the Pictures folder";
}

TEST_F(WindowsGame, UnderWineWithoutASoundDeviceSaysSoInOneLineAndQuitsWithStatusZero)
{
    // The home has no .asoundrc: this machine has no sound card, so ALSA offers no device.
    const bool answered = startAndAnswer(windowsBuildFolder() + "/src/game/vantor.exe");
    const bool quit =
        answered && steadyScreen(display) > 0 &&
        onDisplay(display, "xdotool search --sync --name '^Vantor \\(Version 1\\.02\\)$' "
                           "windowfocus --sync key --delay 500 Escape");
    bool ended = false;
    const int status = finish(&ended);
    const std::string reports = readFile(gameLog);
    EXPECT_TRUE(answered && quit) << reports;
    EXPECT_TRUE(ended);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(occurrences(reports, "no sound ("), 1) << reports;
}
