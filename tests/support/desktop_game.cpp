// Driving a real game executable on a virtual X display: starting and stopping it, typing and
// looking at the screen through the X tools (xdotool, xwininfo, ImageMagick's import).
#include "desktop_game.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

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

bool onDisplay(const std::string& display, const std::string& command)
{
    const std::string line = "DISPLAY=" + display + " timeout 30 " + command + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The question box's title is a UTF-8 name, which the search of xdotool does not read, so the
// window tree is asked instead.
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

Question findQuestion(const std::string& display, const std::string& logFile,
                      std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
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

std::string shownPixels(const std::string& display, const std::string& area)
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

long litPixels(const std::string& display)
{
    const std::string pixels = shownPixels(display);
    long lit = 0;
    for (size_t i = 0; i + 2 < pixels.size(); i += 3) {
        lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0 ? 1 : 0;
    }
    return lit;
}

