// The real game executable on the SDL desktop backend, played on a virtual X display (Xvfb) with
// xdotool: the full-screen question answered No (in the system's box, or in the game's window
// when the system cannot show one), then menu -> controls -> race -> Escape -> result -> menu ->
// Escape. The game must end by itself with status 0 after showing frames. It runs with no sound
// device (SDL's dummy audio driver): silent, it says so in one line and plays on. Its settings
// file, in the test's own XDG_CONFIG_HOME, makes W the throttle: the car drives on W, and the
// file is the same afterwards.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "test_folder.h"
#include "xvfb_display.h"

namespace {

using namespace std::chrono_literals;

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

// Starts a program with the arguments; its standard output and error go to `logFile`.
pid_t startProgram(const std::vector<std::string>& arguments, const std::string& logFile)
{
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
        dup2(log, 1);
        dup2(log, 2);
    }
    for (int fd = 3; fd < 256; ++fd) {
        close(fd);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// Waits up to `limit` for the process to end; its exit status, or -1 if it still runs or was
// killed by a signal.
int waitForExit(pid_t pid, std::chrono::milliseconds limit, bool* ended)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            *ended = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(50ms);
    }
    *ended = false;
    return -1;
}

void stopProcess(pid_t pid)
{
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    bool ended = false;
    waitForExit(pid, 3000ms, &ended);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// Runs a shell command on the display, bounded in time; true when it succeeded.
bool onDisplay(const std::string& display, const std::string& command)
{
    const std::string line = "DISPLAY=" + display + " timeout 30 " + command + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

// The whole of a text file, empty when it cannot be read.
std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The id of the window whose line in the window tree contains `title` (quotes included); empty if
// there is none. The question box's title is a UTF-8 name, which the search of xdotool does not
// read, so the tree is asked instead.
std::string windowInTree(const std::string& display, const std::string& title)
{
    const std::string command = "DISPLAY=" + display + " xwininfo -root -tree 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "";
    }
    std::string found;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        const std::string text = line;
        if (found.empty() && text.find(title) != std::string::npos) {
            const size_t begin = text.find("0x");
            found = text.substr(begin, text.find(' ', begin) - begin);
        }
    }
    pclose(pipe);
    return found;
}

// Where the full-screen question shows: the system's box (its window id), or the game's own
// window when the game wrote that the system could not show one (the line it wrote, with SDL's
// reason). Waits up to 20 s; both empty when neither happened.
struct Question {
    std::string box;
    std::string inWindow;
};
Question findQuestion(const std::string& display, const std::string& logFile)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    Question question;
    while (std::chrono::steady_clock::now() < deadline) {
        question.box =
            windowInTree(display, "\"Vantor (Version 1.02) : Run game in fullscreen mode.\"");
        if (!question.box.empty()) {
            return question;
        }
        const std::string log = readFile(logFile);
        const size_t at = log.find("The system cannot show a message box");
        if (at != std::string::npos) {
            question.inWindow = log.substr(at, log.find('\n', at) - at);
            return question;
        }
        std::this_thread::sleep_for(200ms);
    }
    return question;
}

// What the display shows of the whole screen, or of `area` ("WxH+X+Y") of the game's window: its
// pixels as 8-bit RGB, empty when they cannot be read.
std::string shownPixels(const std::string& display, const std::string& area = "")
{
    const std::string from =
        area.empty() ? "-window root"
                     : "-window \"$(xdotool search --name '^Vantor \\(Version 1\\.02\\)$' | "
                       "head -1)\" -crop " +
                           area;
    const std::string command =
        "DISPLAY=" + display + " timeout 30 import -silent " + from + " -depth 8 rgb:- 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "";
    }
    std::string pixels;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        pixels.append(buffer, got);
    }
    pclose(pipe);
    return pixels;
}

// How many pixels of the whole screen are not black.
long litPixels(const std::string& display)
{
    const std::string pixels = shownPixels(display);
    long lit = 0;
    for (size_t i = 0; i + 2 < pixels.size(); i += 3) {
        lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0 ? 1 : 0;
    }
    return lit;
}

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
    // The player's settings: W accelerates, Up no longer does.
    const std::string config = folder + "config";
    std::filesystem::create_directories(config + "/vantor");
    const std::string settings = "# by hand\n[keys]\naccelerate = W\n";
    std::ofstream(config + "/vantor/vantor.ini") << settings;
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string logFile = folder + "game.log";
    const pid_t pid = startProgram({game}, logFile);
    ASSERT_GT(pid, 0);

    // The full-screen question: Escape picks No, in the system's box or in the game's window.
    const Question question = findQuestion(display, logFile);
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
