// Error reports of the window platform: texts, captions and what happens after each box.
#include "core/errors.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/files.h"
#include "core/user_folders.h"

namespace {

ReportBox reportBox = nullptr;
bool lastErrorSet = false;
std::string lastErrorText;

// The module every report names, as the build records its path.
constexpr const char* reportModule = ".\\_Source\\Window";
// Room for a fatal or fault report with its terminating zero.
constexpr std::size_t reportBytes = 4095;

// The report "OPENING.\_Source\Window' at line LINE: 'TEXT'" in `report`, built without the
// heap so that a report of running out of memory can still be shown.
void moduleReport(char (&report)[reportBytes], const char* opening, unsigned line, const char* text)
{
    std::snprintf(report, sizeof report, "%s%s' at line %u: '%s'", opening, reportModule, line,
                  text ? text : "");
}

void showReport(MessageBoxKind kind, const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (reportBox) {
        reportBox(kind, caption, text);
    }
}

} // namespace

void setReportBox(ReportBox box) { reportBox = box; }

void fatalError(unsigned line, const char* text)
{
    char report[reportBytes];
    moduleReport(report, "Fatal program error in module '", line, text);
    showReport(MessageBoxKind::Fatal, "Fatal program error", report);
    std::exit(1);
}

void programFault(unsigned line, const char* text)
{
    char report[reportBytes];
    moduleReport(report, "Program fault in module '", line, text);
    showReport(MessageBoxKind::Fault, "Program fault", report);
}

void nonFatalReport(const char* text)
{
    showReport(MessageBoxKind::Warning, "A non fatal program error has occured", text);
}

void setLastPlatformError(const char* description)
{
    if (!description || !*description) {
        clearLastPlatformError();
        return;
    }
    lastErrorSet = true;
    lastErrorText = description;
}

void clearLastPlatformError()
{
    lastErrorSet = false;
    lastErrorText.clear();
}

const char* lastPlatformError() { return lastErrorSet ? lastErrorText.c_str() : nullptr; }

void keepReportsInLogFile()
{
#ifdef _WIN32
    const std::string folder = settingsFolder();
    if (folder.empty() || !makeFolders(folder)) {
        return;
    }
    // Binary, as every file the game writes: the log reads the same as on Linux.
    if (_wfreopen(wideFromUtf8(folder + "\\vantor.log").c_str(), L"wb", stderr) != nullptr) {
        std::setvbuf(stderr, nullptr, _IONBF, 0);
    }
#endif
}
