#pragma once
// A virtual X display for tests and benchmarks of the desktop backend: an Xvfb server started on
// a free display number (from VANTOR_FIRST_DISPLAY on when it is set), with DISPLAY pointing at
// it while the object lives. Nothing is
// installed here; when Xvfb is missing, running() is false and failure() says why.

#include <string>
#include <sys/types.h>

class XvfbDisplay {
public:
    // Starts Xvfb with one screen of width x height at 24 bits and waits (at most 5 s) for it.
    XvfbDisplay(int width, int height);
    // Stops the server (SIGTERM, then SIGKILL after 2 s) and restores DISPLAY.
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool running() const { return pid > 0; }
    const std::string& failure() const { return why; }
    // ":N", the value DISPLAY has while the server runs.
    const std::string& name() const { return displayName; }

private:
    pid_t pid = -1;
    std::string displayName;
    std::string why;
    bool hadDisplay = false;
    std::string previousDisplay;
};

// Runs a shell command under a 10-second limit and returns what it wrote to standard output.
std::string runCommand(const std::string& command);
