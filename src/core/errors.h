#pragma once
// Error reports of the game: a fatal report that ends the program, a fault report
// after which it goes on, and a non-fatal warning; the platform's last error; and the game's one
// way of meeting a lack of memory (allocateOrFatal).
// Every report is written to stderr and shown in a message box: the system's where it can be
// shown, otherwise the game's own in the window (platform/box/own_box.h).

#include <cstdint>
#include <new>

// The kinds of message box the game shows: the three reports, and the start-up question.
enum class MessageBoxKind { Fatal, Fault, Warning, Question };

// What shows a report's box besides stderr. The window's `create` installs its own (the system's
// box, or the game's own in the window when the system cannot show one) and releaseWindow removes
// it; with none, reports go to stderr only.
using ReportBox = void (*)(MessageBoxKind kind, const char* caption, const char* text);
void setReportBox(ReportBox box);

// Shows "Fatal program error in module '.\_Source\Window' at line LINE: 'TEXT'" with caption
// "Fatal program error", then ends the process with status 1. `line` is the caller's __LINE__.
[[noreturn]] void fatalError(unsigned line, const char* text);
// Runs `allocate` (which makes something on the heap: a new-expression, a filled container, a
// decoded picture) and returns what it returns. When memory runs out on the way, the fatal report
// with `text` ends the program: nothing the game builds can go on half made. `line` is the
// caller's __LINE__. Every allocation of the game goes through here.
template <typename Allocate>
auto allocateOrFatal(unsigned line, const char* text, Allocate&& allocate) -> decltype(allocate())
{
    try {
        return allocate();
    } catch (const std::bad_alloc&) {
        fatalError(line, text);
    }
}
// The same report as "Program fault in module '…" with caption "Program fault"; returns.
void programFault(unsigned line, const char* text);
// Shows `text` with caption "A non fatal program error has occured" and returns. The window's
// reportLastError builds the text from the platform's last error.
void nonFatalReport(const char* text);

// Called by the game's main once at start. On Windows the game is a windowed program with no
// console, so its standard error (every report, the sound and picture lines) is written to
// vantor.log in the settings folder (core/user_folders.h), made anew at each start; the folder is
// made when missing. Elsewhere standard error stays where it is.
void keepReportsInLogFile();

// The platform's own last-error value: set only where one of our platform calls fails, never
// from raw errno. The description is copied; an empty or null one clears the value.
void setLastPlatformError(const char* description);
void clearLastPlatformError();
// The current description, or null when no error is set.
const char* lastPlatformError();
