// Running the Windows build through Wine in a test.
#include "wine_run.h"

#include <cstdlib>
#include <filesystem>

std::string windowsBuildFolder()
{
    const char* folder = std::getenv("VANTOR_WINDOWS_BUILD_DIR");
    return folder ? folder : "";
}

std::string whyWindowsProgramsCannotRun()
{
    if (std::system("command -v wine >/dev/null 2>&1") != 0) {
        return "Wine is not installed (scripts/windows.sh installs it)";
    }
    const std::string build = windowsBuildFolder();
    if (build.empty() || !std::filesystem::exists(build + "/src/game/vantor.exe") ||
        !std::filesystem::exists(build + "/wine/system.reg")) {
        return "no Windows build with its Wine prefix in '" + build +
               "' (scripts/windows.sh makes it)";
    }
    return "";
}

bool useOwnWinePrefix(const std::string& prefix)
{
    const std::string command = "tests/support/wine_prefix.sh '" + windowsBuildFolder() +
                                "/wine' '" + prefix + "'";
    if (std::system(command.c_str()) != 0) {
        return false;
    }
    setenv("WINEPREFIX", prefix.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    return true;
}

void endWine()
{
    // wineserver -k ends whatever of the prefix still runs; -w waits for the server to go.
    const int status = std::system("timeout 30 wineserver -k >/dev/null 2>&1; timeout 30 wineserver -w");
    static_cast<void>(status);
}

std::string wineUserFolder(const std::string& prefix)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(prefix + "/drive_c/users", error)) {
        if (entry.path().filename() != "Public") {
            return entry.path().string();
        }
    }
    return "";
}
