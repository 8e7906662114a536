// The vantor-run tool: one race of the real game on the headless backend. Bad arguments give the
// usage and status 2; a full race with the automatic driver finishes with a place in range; the
// same arguments give the same output, trace and pictures byte for byte; the frame limit ends an
// undriven race; shots of every screen are written as 640 x 480 pictures.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/picture_file.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string output; // standard output only
    std::string errors; // standard error
};

std::string temporaryFolder()
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vantor_run_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder.string() + "/";
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs the built tool with the given arguments (already quoted for the shell).
ToolRun runTool(const std::string& arguments)
{
    const char* buildDir = std::getenv("VANTOR_BUILD_DIR");
    EXPECT_NE(buildDir, nullptr) << "VANTOR_BUILD_DIR is not set";
    const std::string errorFile = temporaryFolder() + "stderr.txt";
    const std::string command = std::string(buildDir != nullptr ? buildDir : ".") +
                                "/tools/vantor-run " + arguments + " 2>" + errorFile;
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = readFile(errorFile);
    return run;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

} // namespace

TEST(VantorRunTool, RefusesBadArgumentsWithTheUsage)
{
    const char* bad[] = {
        "",                                                        // nothing
        "--settings 1,1,1,1,1,1 --drive up",                       // no seed
        "--seed 1 --drive up",                                     // no settings
        "--seed 1 --settings 1,1,1,1,1,1",                         // no drive
        "--seed 4294967296 --settings 1,1,1,1,1,1 --drive up",     // seed beyond 32 bits
        "--seed -1 --settings 1,1,1,1,1,1 --drive up",             // negative seed
        "--seed 1 --settings 3,1,1,1,1,1 --drive up",              // track length beyond 2
        "--seed 1 --settings 1,1,1,4,1,1 --drive up",              // competitors beyond 3
        "--seed 1 --settings 1,1,1,1,1 --drive up",                // five settings
        "--seed 1 --settings 1,1,1,1,1,1,1 --drive up",            // seven settings
        "--seed 1 --settings 1,1,1,1,1,1 --drive fast",            // unknown drive
        "--seed 1 --settings 1,1,1,1,1,1 --drive up --step 0",     // no time passes
        "--seed 1 --settings 1,1,1,1,1,1 --drive up --frames 0",   // no frame
        "--seed 1 --settings 1,1,1,1,1,1 --drive up --shot 0:a",   // frames start at 1
        "--seed 1 --settings 1,1,1,1,1,1 --drive up --shot 5",     // no file
        "--seed 1 --settings 1,1,1,1,1,1 --drive up --shot end:a", // unknown screen
        "--seed 1 --settings 1,1,1,1,1,1 --drive up --trace",      // no file
        "--seed 1 --seed 2 --settings 1,1,1,1,1,1 --drive up",     // seed twice
        "--seed 1 --settings 1,1,1,1,1,1 --drive up --wet",        // unknown option
    };
    for (const char* arguments : bad) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.errors.find("usage: vantor-run"), std::string::npos) << arguments;
        EXPECT_TRUE(run.output.empty()) << arguments;
    }
}

TEST(VantorRunTool, AutoDriverFinishesAndTheSameArgumentsGiveTheSameBytes)
{
    const std::string folder = temporaryFolder();
    std::string outputs[2];
    std::string traces[2];
    std::string shots[2];
    for (int run = 0; run < 2; ++run) {
        const std::string trace = folder + "trace" + std::to_string(run) + ".csv";
        const std::string shot = folder + "shot" + std::to_string(run) + ".bmp";
        const ToolRun result = runTool("--seed 2024 --settings 0,1,1,0,0,1 --drive auto --trace " +
                                       trace + " --shot 400:" + shot);
        ASSERT_EQ(result.status, 0) << result.errors;
        outputs[run] = result.output;
        traces[run] = readFile(trace);
        shots[run] = readFile(shot);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(traces[0], traces[1]);
    EXPECT_EQ(shots[0], shots[1]);

    const std::vector<std::string> output = lines(outputs[0]);
    ASSERT_FALSE(output.empty());
    int place = 0;
    unsigned cars = 0;
    unsigned long long frames = 0;
    ASSERT_EQ(std::sscanf(output.back().c_str(), "result: place %d of %u, frames %llu", &place,
                          &cars, &frames),
              3)
        << output.back();
    EXPECT_EQ(cars, 8u);
    EXPECT_GE(place, 1);
    EXPECT_LE(place, 8);

    // One trace row per frame that left the race running: the finishing frame has none.
    const std::vector<std::string> trace = lines(traces[0]);
    ASSERT_EQ(trace.size(), frames); // the heading and frames 1 to F - 1
    EXPECT_EQ(trace[0], "frame,seconds,x,y,z,speed,place");
    unsigned long long frame = 0;
    double seconds = 0;
    double x = 0;
    double y = 0;
    double z = 0;
    double speed = 0;
    int rowPlace = 0;
    ASSERT_EQ(std::sscanf(trace[1].c_str(), "%llu,%lf,%lf,%lf,%lf,%lf,%d", &frame, &seconds, &x,
                          &y, &z, &speed, &rowPlace),
              7);
    // Frame 1: on the grid, last of eight, 16 ms after the set-up.
    EXPECT_EQ(frame, 1u);
    EXPECT_DOUBLE_EQ(seconds, 0.016);
    EXPECT_EQ(z, 4096.0);
    EXPECT_EQ(rowPlace, 8);
    ASSERT_EQ(std::sscanf(trace.back().c_str(), "%llu,%lf,%lf,%lf,%lf,%lf,%d", &frame, &seconds,
                          &x, &y, &z, &speed, &rowPlace),
              7);
    // The last row before the finish: the car is fast and just short of the line of the short
    // track, (1024 - 80) x 3000.
    EXPECT_EQ(frame, frames - 1);
    EXPECT_LE(z, 944 * 3000.0);
    EXPECT_GT(z, 944 * 3000.0 - 10000.0);
    EXPECT_GT(speed, 20000.0);
}

TEST(VantorRunTool, EndsAnUndrivenRaceAfterTheFrameLimitAndWritesEveryScreen)
{
    const std::string folder = temporaryFolder();
    const ToolRun run = runTool("--seed 7 --settings 1,1,1,1,1,1 --drive none --frames 30 "
                                "--shot menu:" + folder + "menu.bmp --shot controls:" + folder +
                                "controls.bmp --shot 30:" + folder + "race.bmp --shot result:" +
                                folder + "result.bmp");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, "result: unfinished after 30 frames\n");
    for (const char* name : {"menu.bmp", "controls.bmp", "race.bmp", "result.bmp"}) {
        PicturePixels picture;
        ASSERT_EQ(readPictureFile(folder + name, &picture), PictureRead::Loaded) << name;
        EXPECT_EQ(picture.width, 640) << name;
        EXPECT_EQ(picture.height, 480) << name;
    }

    // A frame the race never reached is reported and fails the run.
    const ToolRun late = runTool("--seed 7 --settings 1,1,1,1,1,1 --drive none --frames 5 "
                                 "--shot 6:" + folder + "late.bmp");
    EXPECT_EQ(late.status, 1);
    EXPECT_NE(late.errors.find("late.bmp"), std::string::npos);
    EXPECT_EQ(late.output, "result: unfinished after 5 frames\n");
}
