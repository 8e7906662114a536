// The vantor-soak tool's own failures: bad or repeated arguments give the usage and status 2, and
// standard output that cannot be written fails the run.
#include <gtest/gtest.h>

#include <string>

#include "tool_run.h"

TEST(VantorSoakTool, RefusesBadOrRepeatedArgumentsWithTheUsage)
{
    tool_run::expectRefused("tools/vantor-soak",
                            {"--races", "--races 0", "--races 1 --frames", "--wet 1",
                             "--races 4294967296", "--seed 18446744073709551617",
                             "--races 1 --races 2"},
                            "usage: vantor-soak [--races N] [--frames MAX] [--seed S]");
    tool_run::expectRefusalNames("tools/vantor-soak", "--races 1 --races 2",
                                 "--races 2 (given twice)");
}

TEST(VantorSoakTool, FailsWhenItsReportCannotBeWritten)
{
    const tool_run::ToolRun run =
        tool_run::runTool("tools/vantor-soak", "--races 1 --frames 20 >/dev/full");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("vantor-soak: cannot write standard output"), std::string::npos)
        << run.err;
}
