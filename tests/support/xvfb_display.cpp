// Starting and stopping an Xvfb server on a display number nobody uses.
#include "xvfb_display.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// prefix, the number in decimal, suffix: names of displays, sockets and lock files.
std::string numbered(const char* prefix, int number, const char* suffix = "")
{
    std::string text = prefix;
    text += std::to_string(number);
    text += suffix;
    return text;
}

bool exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// Waits up to `limit` for the child to end; true when it did (and was reaped).
bool waitForExit(pid_t child, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The process id written in the display's lock file by the server that runs it, -1 if none.
pid_t lockHolder(int number)
{
    std::ifstream lock(numbered("/tmp/.X", number, "-lock"));
    long holder = -1;
    lock >> holder;
    return lock ? static_cast<pid_t>(holder) : -1;
}

// Ends a child: SIGTERM, then SIGKILL when it is still there after 2 s.
void stopChild(pid_t child)
{
    kill(child, SIGTERM);
    if (!waitForExit(child, std::chrono::seconds(2))) {
        kill(child, SIGKILL);
        waitForExit(child, std::chrono::seconds(2));
    }
}

// Sends the child's output to `log` (nowhere by default) and makes it end with the test, even
// when the test is killed.
void quietChildOfTheTest(const char* log = "/dev/null")
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    int quiet = open(log, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (quiet >= 0) {
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        close(quiet);
    }
}

pid_t startServer(int number, int width, int height, bool coreFonts)
{
    std::string display = numbered(":", number);
    std::string screen = numbered(numbered("", width, "x").c_str(), height, "x24");
    pid_t child = fork();
    if (child == 0) {
        quietChildOfTheTest();
        if (coreFonts) {
            execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
        } else {
            execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
                   "tcp", "-fp", "built-ins", static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    return child;
}

} // namespace

XvfbDisplay::XvfbDisplay(int width, int height, bool coreFonts)
{
    if (const char* current = std::getenv("DISPLAY")) {
        hadDisplay = true;
        previousDisplay = current;
    }
    // Spread concurrent test processes over different numbers, then try a few from there; a
    // machine shared by several people names the first number each may use in
    // VANTOR_FIRST_DISPLAY.
    int first = 200 + static_cast<int>(getpid() % 500);
    if (const char* chosen = std::getenv("VANTOR_FIRST_DISPLAY")) {
        first = std::atoi(chosen);
    }
    for (int number = first; number < first + 8 && pid <= 0; ++number) {
        std::string socket = numbered("/tmp/.X11-unix/X", number);
        if (exists(socket) || exists(numbered("/tmp/.X", number, "-lock"))) {
            continue;
        }
        pid_t child = startServer(number, width, height, coreFonts);
        if (child < 0) {
            why = "fork failed";
            return;
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        bool ready = false;
        bool ended = false;
        while (!ready && !ended && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                ended = true;
                if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
                    why = "Xvfb is not installed (the set-up script installs it)";
                    return;
                }
                why = numbered("Xvfb ended at start on display :", number);
                break;
            }
            // Ours once the server that holds the display's lock is our child: another test
            // may have started one on the same number a moment earlier.
            ready = exists(socket) && lockHolder(number) == child;
            if (!ready) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        if (ready) {
            pid = child;
            displayName = numbered(":", number);
            setenv("DISPLAY", displayName.c_str(), 1);
            why.clear();
        } else if (!ended) {
            kill(child, SIGKILL);
            waitForExit(child, std::chrono::seconds(2));
            why = "Xvfb did not come up within 5 s";
        }
    }
    if (pid <= 0 && why.empty()) {
        why = "no free display number found";
    }
}

XvfbDisplay::~XvfbDisplay()
{
    if (pid > 0) {
        stopChild(pid);
    }
    if (hadDisplay) {
        setenv("DISPLAY", previousDisplay.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

WindowManager::WindowManager(const std::string& folder)
{
    const std::string ready = folder + "wm-ready";
    const pid_t child = fork();
    if (child < 0) {
        why = "fork failed";
        return;
    }
    if (child == 0) {
        quietChildOfTheTest((folder + "wm.log").c_str());
        setenv("XDG_CACHE_HOME", (folder + "wm-cache").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder + "wm-config").c_str(), 1);
        execlp("openbox", "openbox", "--sm-disable", "--startup", ("touch " + ready).c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    // Up once it has taken over the display and run its start-up command: a window mapped
    // earlier, while it was still starting, may never be shown.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            missing = WIFEXITED(status) && WEXITSTATUS(status) == 127;
            why = missing ? "openbox is not installed (the set-up script installs it)"
                          : "openbox ended at start (its output is in " + folder + "wm.log)";
            return;
        }
        if (exists(ready)) {
            pid = child;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    stopChild(child);
    why = "openbox did not come up within 5 s";
}

WindowManager::~WindowManager()
{
    if (pid > 0) {
        stopChild(pid);
    }
}

std::string runCommand(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(("timeout 10 " + command).c_str(), "r");
    if (!pipe) {
        return output;
    }
    char buffer[512];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    pclose(pipe);
    return output;
}
