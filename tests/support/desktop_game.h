#pragma once
// Driving a real game executable on a virtual X display (xvfb_display.h), shared by the window
// tests of the Linux game and of the Windows game under Wine: start and stop it, wait for its
// end, type keys, find its windows and read the screen. Nothing here installs anything.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// Starts a program with the arguments (the environment is the caller's); its standard output and
// error go to `logFile`. The child's pid.
pid_t startProgram(const std::vector<std::string>& arguments, const std::string& logFile);

// Waits up to `limit` for the process to end; its exit status, or -1 if it still runs or was
// killed by a signal (*ended tells which).
int waitForExit(pid_t pid, std::chrono::milliseconds limit, bool* ended);

// Ends the process: SIGTERM, then SIGKILL after 3 s.
void stopProcess(pid_t pid);

// Runs a shell command on the display, bounded to 30 s; true when it succeeded.
bool onDisplay(const std::string& display, const std::string& command);

// The whole of a file, empty when it cannot be read.
std::string readFile(const std::string& path);

// The id of the window whose line in the window tree contains `title` (quotes included); empty
// if there is none.
std::string windowInTree(const std::string& display, const std::string& title);

// Where the full-screen question shows: the system's box (its window id), or the game's own
// window when the game wrote to `logFile` that the system could not show one (the line it
// wrote). Waits up to `limit`; both empty when neither happened.
struct Question {
    std::string box;
    std::string inWindow;
};
Question findQuestion(const std::string& display, const std::string& logFile,
                      std::chrono::milliseconds limit);

// What the display shows of the whole screen, or of `area` ("WxH+X+Y") of the game's window (the
// window titled "Vantor (Version 1.02)"): its pixels as 8-bit RGB, empty when they cannot be read.
std::string shownPixels(const std::string& display, const std::string& area = "");

// How many pixels of the whole screen are not black.
long litPixels(const std::string& display);
