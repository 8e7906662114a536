#pragma once
// Error reports of the window platform: a fatal report that ends the program, a fault report
// after which it goes on, and a non-fatal warning showing the platform's last error.
// Every report is written to stderr and shown in a message box: the system's where it can be
// shown, otherwise the game's own in the window (window_box.h).

#include <cstdint>

struct Window;

// The window whose boxes show the reports; `create` sets it, null shows none (the report still
// goes to stderr). The window is not owned; releaseWindow sets null again.
void setReportWindow(Window* window);

// Shows "Fatal program error in module '.\_Source\Window' at line LINE: 'TEXT'" with caption
// "Fatal program error", then ends the process with status 1. `line` is the caller's __LINE__.
[[noreturn]] void fatalError(unsigned line, const char* text);
// The same report as "Program fault in module '…" with caption "Program fault"; returns.
void programFault(unsigned line, const char* text);
// If the platform's last error is set: shows "CONTEXT:DESCRIPTION" with caption
// "A non fatal program error has occured" (messageBoxShown set while open), then clears it.
void reportLastError(Window* window, const char* context);

// The platform's own last-error value: set only where one of our platform calls fails, never
// from raw errno. The description is copied; an empty or null one clears the value.
void setLastPlatformError(const char* description);
void clearLastPlatformError();
// The current description, or null when no error is set.
const char* lastPlatformError();
