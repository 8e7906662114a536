// The vantor-track tool: refuses bad arguments with the usage line and status 2, and writes the
// generated track as CSV that reads back to the exact floats.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string output; // standard output and standard error together
};

// Runs the built tool with the given arguments (already quoted for the shell).
ToolRun runTool(const std::string& arguments)
{
    const char* buildDir = std::getenv("VANTOR_BUILD_DIR");
    EXPECT_NE(buildDir, nullptr) << "VANTOR_BUILD_DIR is not set";
    const std::string command = std::string(buildDir != nullptr ? buildDir : ".") +
                                "/tools/vantor-track " + arguments + " 2>&1";
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
    return run;
}

} // namespace

TEST(VantorTrackTool, RefusesBadArgumentsWithTheUsageLine)
{
    const char* bad[] = {
        "",                                      // no arguments
        "1 2048 6000 32500 6000",                // one too few
        "1 2048 6000 32500 6000 32500 7",        // one too many
        "-1 2048 6000 32500 6000 32500",         // negative seed
        "4294967296 2048 6000 32500 6000 32500", // seed beyond 32 bits
        "1x 2048 6000 32500 6000 32500",         // trailing garbage
        "1 two 6000 32500 6000 32500",           // not a number
        "1 99999999999 6000 32500 6000 32500",   // count beyond 32 bits
        "1 2048 6000 32500 6000 nan",            // not finite
        "1 2048 inf 32500 6000 32500",           // not finite
        "1 2048 6000 1e39 6000 32500",           // beyond float
        "1 2048 6000 32500 6000.5.5 32500",      // trailing garbage
        "1 2048 '' 32500 6000 32500",            // empty
        "1 2048 ' 6000' 32500 6000 32500",       // leading space
    };
    for (const char* arguments : bad) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.status, 2) << "arguments: " << arguments;
        EXPECT_EQ(run.output.rfind(
                      "usage: vantor-track SEED SEGMENTS HILLMIN HILLMAX TURNMIN TURNMAX", 0),
            0u)
            << "arguments: " << arguments << "\noutput: " << run.output;
    }
}

TEST(VantorTrackTool, WritesEveryPointOfTheClampedTrackAsExactFloats)
{
    const ToolRun run = runTool("4000000000 100 3500 20000 8000 35000");
    ASSERT_EQ(run.status, 0) << run.output;

    seedRandom(4000000000u);
    Track* track = generateTrack(100, 3500.0f, 20000.0f, 8000.0f, 35000.0f);
    ASSERT_EQ(track->segmentCount, 256u);

    std::istringstream lines(run.output);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "point,height,left,right");
    uint32_t rows = 0;
    while (std::getline(lines, line)) {
        unsigned point = 0;
        float height = 0.0f;
        float left = 0.0f;
        float right = 0.0f;
        ASSERT_EQ(std::sscanf(line.c_str(), "%u,%f,%f,%f", &point, &height, &left, &right), 4)
            << line;
        ASSERT_EQ(point, rows);
        const TrackSegment* s = track->segments[point < 256 ? point : 255];
        EXPECT_EQ(height, point < 256 ? s->nearHeight : s->farHeight) << line;
        EXPECT_EQ(left, point < 256 ? s->nearLeft : s->farLeft) << line;
        EXPECT_EQ(right, point < 256 ? s->nearRight : s->farRight) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 257u); // points 0 to 256
    freeTrack(&track);
}
