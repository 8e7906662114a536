// Error reports of the window platform: texts, captions and what happens after each box.
#include "platform/errors.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/backend.h"

namespace {

ReportBox reportBox = nullptr;
bool lastErrorSet = false;
std::string lastErrorText;

// The module every report names, as the build records its path.
constexpr const char* reportModule = ".\\_Source\\Window";

std::string moduleReport(const char* opening, unsigned line, const char* text)
{
    std::string report = opening;
    report += reportModule;
    report += "' at line ";
    report += std::to_string(line);
    report += ": '";
    report += text ? text : "";
    report += "'";
    return report;
}

void showReport(MessageBoxKind kind, const char* caption, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text.c_str());
    std::fflush(stderr);
    if (reportBox) {
        reportBox(kind, caption, text.c_str());
    }
}

} // namespace

void setReportBox(ReportBox box)
{
    reportBox = box;
}

void fatalError(unsigned line, const char* text)
{
    showReport(MessageBoxKind::Fatal, "Fatal program error",
               moduleReport("Fatal program error in module '", line, text));
    std::exit(1);
}

void programFault(unsigned line, const char* text)
{
    showReport(MessageBoxKind::Fault, "Program fault",
               moduleReport("Program fault in module '", line, text));
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

const char* lastPlatformError()
{
    return lastErrorSet ? lastErrorText.c_str() : nullptr;
}
