// The vantor-track tool: refuses bad arguments with the usage line and status 2, and writes the
// generated track as CSV that reads back to the exact floats.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "tool_run.h"
#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

using tool_run::runTool;
using tool_run::ToolRun;

TEST(VantorTrackTool, RefusesBadArgumentsWithTheUsageLine)
{
    tool_run::expectRefused("tools/vantor-track",
                            {"", "1 2048 6000 32500 6000", "1 2048 6000 32500 6000 32500 7",
                             "4294967296 2048 6000 32500 6000 32500",
                             "1x 2048 6000 32500 6000 32500", "1 2048 6000 32500 6000 nan",
                             "1 2048 6000 1e39 6000 32500", "1 2048 6000 32500 6000.5.5 32500",
                             "1 2048 ' 6000' 32500 6000 32500",
                             "18446744073709551617 2048 6000 32500 6000 32500",
                             "1 4096 -3e38 3e38 0 0", "1 4096 0 0 1e35 1e35"},
                            "usage: vantor-track SEED SEGMENTS HILLMIN HILLMAX TURNMIN TURNMAX");
    // Bounds that each are finite but whose sum over the track is not are named as a pair.
    tool_run::expectRefusalNames("tools/vantor-track", "1 4096 -3e38 3e38 0 0", "-3e38 3e38");
    tool_run::expectRefusalNames("tools/vantor-track", "1 4096 0 0 1e35 1e35", "1e35 1e35");
    tool_run::expectRefusalNames("tools/vantor-track", "1 2048 6000 32500 6000 nan", "nan");
}

TEST(VantorTrackTool, WritesEveryPointOfTheClampedTrackAsExactFloats)
{
    const tool_run::ToolRun run =
        runTool("tools/vantor-track", "4000000000 100 3500 20000 8000 35000");
    ASSERT_EQ(run.status, 0) << run.err;

    seedRandom(4000000000u);
    Track* track = generateTrack(100, 3500.0f, 20000.0f, 8000.0f, 35000.0f);
    ASSERT_EQ(track->segmentCount, 256u);

    std::istringstream lines(run.out);
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

TEST(VantorTrackTool, TrackCodesRoundTripAndMistypedOnesAreNamedWithStatusTwo)
{
    const ToolRun coded = runTool("tools/vantor-track", "--code 4294967295 2,0,1,3,2,0");
    ASSERT_EQ(coded.status, 0) << coded.err;
    ASSERT_EQ(coded.out.size(), 11u) << coded.out;
    const std::string code = coded.out.substr(0, 10);
    const ToolRun decoded = runTool("tools/vantor-track", "--decode " + code);
    EXPECT_EQ(decoded.status, 0) << decoded.err;
    EXPECT_EQ(decoded.out, "seed 4294967295 settings 2,0,1,3,2,0\n");

    std::string typo = code;
    typo[4] = typo[4] == 'A' ? 'B' : 'A';
    const ToolRun refused = runTool("tools/vantor-track", "--decode " + typo);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "vantor-track: " + typo +
                               " is no track code: it does not check out: a character is "
                               "mistyped\n");
    tool_run::expectRefused("tools/vantor-track",
                            {"--code 7", "--code 7 1,1,1", "--code -1 1,1,1,1,1,1",
                             "--code 7 1,1,1,4,1,1", "--decode", "--decode A B", "--frob 1"},
                            "usage: vantor-track SEED SEGMENTS HILLMIN HILLMAX TURNMIN TURNMAX");
}
