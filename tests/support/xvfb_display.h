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
    // Without coreFonts the server has only its two built-in fonts, too few for SDL's own
    // message box: the game then asks its questions in its window.
    XvfbDisplay(int width, int height, bool coreFonts = true);
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

// A window manager (openbox) on the display DISPLAY names while the object lives, for tests of
// the game under one: frames round the windows, Alt+F4. It keeps its cache, settings and output
// (wm.log) in `folder` (the test's own, ending with '/'). Nothing is installed here; when openbox
// is missing (notInstalled() true) or does not come up within 5 s, running() is false and
// failure() says why.
class WindowManager {
public:
    explicit WindowManager(const std::string& folder);
    // Stops openbox (SIGTERM, then SIGKILL after 2 s).
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    bool running() const { return pid > 0; }
    bool notInstalled() const { return missing; }
    const std::string& failure() const { return why; }

private:
    pid_t pid = -1;
    bool missing = false;
    std::string why;
};

// Runs a shell command under a 10-second limit and returns what it wrote to standard output.
std::string runCommand(const std::string& command);
