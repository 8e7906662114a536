// The Windows tools (scripts/windows.sh) under Wine write byte for byte what the Linux tools
// write, also into a folder whose name is not ASCII, given on the command line in UTF-8. Skipped
// where Wine or the Windows build is missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/user_folders.h"
#include "desktop_game.h"
#include "test_folder.h"
#include "wine_run.h"

namespace {

// Runs a shell command; its standard output, with the exit status on the last line.
std::string outputOf(const std::string& command, const std::string& folder)
{
    const std::string file = folder + "stdout";
    const int status = std::system((command + " >'" + file + "'").c_str());
    return readFile(file) + "status " + std::to_string(status);
}

} // namespace

TEST(WindowsTools, UnderWineWriteTheLinuxBytesIntoAFolderWithANonAsciiName)
{
    const std::string why = whyWindowsProgramsCannotRun();
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    const char* linuxBuild = std::getenv("VANTOR_BUILD_DIR");
    ASSERT_NE(linuxBuild, nullptr);
    const std::string folder = testFolder();
    ASSERT_TRUE(useOwnWinePrefix(folder + "wine"));
    const std::string linuxOut = folder + "linux/";
    const std::string windowsOut = folder + "Bilder Zoë/日本語/";
    ASSERT_TRUE(makeFolders(linuxOut));
    ASSERT_TRUE(makeFolders(windowsOut));

    // Wine reads the command line in the locale's encoding.
    setenv("LC_ALL", "C.UTF-8", 1);
    const auto both = [&](const std::string& tool, const std::string& arguments) {
        std::string linuxArguments = arguments;
        std::string windowsArguments = arguments;
        for (size_t at; (at = linuxArguments.find("OUT/")) != std::string::npos;) {
            linuxArguments.replace(at, 4, linuxOut);
        }
        for (size_t at; (at = windowsArguments.find("OUT/")) != std::string::npos;) {
            windowsArguments.replace(at, 4, "Z:" + windowsOut);
        }
        EXPECT_EQ(outputOf("wine '" + windowsBuildFolder() + "/tools/" + tool + ".exe' " +
                               windowsArguments,
                           folder),
                  outputOf(std::string("'") + linuxBuild + "/tools/" + tool + "' " + linuxArguments,
                           folder))
            << tool << " " << arguments;
    };
    both("vantor-frame", "11 0,1,2,1,0,1 50000 'OUT/frame.bmp' 12000 3.5");
    both("vantor-run", "--seed 5 --settings 1,2,1,2,1,1 --drive auto --frames 240 --step 25 "
                       "--shot 200:'OUT/shot.bmp' --trace 'OUT/trace.csv' --audio 'OUT/sound.wav'");
    endWine();
    for (const char* name : {"frame.bmp", "shot.bmp", "trace.csv", "sound.wav"}) {
        const std::string written = readFile(windowsOut + name);
        EXPECT_FALSE(written.empty()) << name;
        EXPECT_TRUE(written == readFile(linuxOut + name)) << name << " differs from Linux's";
    }
}
