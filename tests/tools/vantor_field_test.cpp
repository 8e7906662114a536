// The vantor-field tool: refuses bad arguments with the usage and status 2, and writes the field
// that the race set-up places for the seed and the menu indices, row for row.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/race_setup.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "race/race_graphics.h"
#include "test_folder.h"
#include "tool_run.h"

TEST(VantorFieldTool, RefusesBadArgumentsWithTheUsage)
{
    tool_run::expectRefused("tools/vantor-field",
                            {"", "1 1 1 1 1 1", "1 1 1 1 1 1 1 1", "4294967296 1 1 1 1 1 1",
                             "1 3 1 1 1 1 1", "1 1 1 4 1 1 1", "1 1 1 1 1 1 3", "1 1 -0 1 1 1 1",
                             "1 1 '' 1 1 1 1", "18446744073709551617 1 1 1 1 1 1"},
                            "usage: vantor-field SEED L H T C S G");
    tool_run::expectRefusalNames("tools/vantor-field", "1 1 1 4 1 1 1", "4");
}

TEST(VantorFieldTool, RefusesToRunWithoutThePicturesAndFailsWhenItsOutputCannotBeWritten)
{
    const tool_run::ToolRun bare =
        tool_run::runToolWithoutPictures("tools/vantor-field", "1 1 1 1 1 1 1");
    EXPECT_EQ(bare.status, 1);
    EXPECT_NE(bare.err.find("The game's pictures were not found"), std::string::npos) << bare.err;
    EXPECT_NE(bare.err.find(testFolder() + "bare/gfx"), std::string::npos) << bare.err;

    const tool_run::ToolRun full =
        tool_run::runTool("tools/vantor-field", "1 1 1 1 1 1 1 >/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("vantor-field: cannot write standard output"), std::string::npos)
        << full.err;
}

TEST(VantorFieldTool, WritesTheFieldTheRaceSetUpPlaces)
{
    const tool_run::ToolRun run = tool_run::runTool("tools/vantor-field", "3000000000 0 2 0 0 2 0");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = tool_run::lines(run.out);
    ASSERT_GE(rows.size(), 11u);
    EXPECT_EQ(rows[0], "kind,x,y,z,width,height,length,power");

    // The same field built here, with the same pictures.
    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    create(&window);
    RaceSettings settings;
    settings.trackLength = 0;
    settings.hillSteepness = 2;
    settings.turnSharpness = 0;
    settings.numCompetitors = 0;
    settings.aiCarSpeed = 2;
    settings.gridSpacing = 0;
    backend.setClock(3000000000u);
    setUpRace(&window, raceParameters(settings));
    std::vector<const GameObject*> objects;
    for (uint32_t i = 0; i < raceState.staticObjectCount; ++i)
        objects.push_back(raceState.staticObjects[i]);
    for (uint32_t i = 0; i < raceState.movingObjectCount; ++i)
        objects.push_back(raceState.movingObjects[i]);
    ASSERT_EQ(rows.size(), objects.size() + 1);
    for (size_t i = 0; i < objects.size(); ++i) {
        const GameObject* o = objects[i];
        float values[7] = {};
        char kind[8] = {};
        ASSERT_EQ(std::sscanf(rows[i + 1].c_str(), "%7[a-z],%f,%f,%f,%f,%f,%f,%f", kind, &values[0],
                              &values[1], &values[2], &values[3], &values[4], &values[5],
                              &values[6]),
                  8)
            << rows[i + 1];
        EXPECT_EQ(values[0], o->position.x) << rows[i + 1];
        EXPECT_EQ(values[1], o->position.y) << rows[i + 1];
        EXPECT_EQ(values[2], o->position.z) << rows[i + 1];
        EXPECT_EQ(values[3], o->size.width) << rows[i + 1];
        EXPECT_EQ(values[5], o->size.length) << rows[i + 1];
        const auto* car = dynamic_cast<const Obj_Car*>(o);
        EXPECT_EQ(values[6], car != nullptr ? car->power : 0.0f) << rows[i + 1];
        const std::string k = kind;
        if (car != nullptr)
            EXPECT_EQ(k, "car");
        else if (dynamic_cast<const Obj_OilSpill*>(o) != nullptr)
            EXPECT_EQ(k, "oil");
        else
            EXPECT_TRUE(k == "tree" || k == "rock" || k == "sign") << k;
    }
    // Eight cars last, the two signs just before them, "FAST" powers, the player 17000.
    const size_t n = rows.size();
    EXPECT_EQ(rows[n - 9].rfind("sign,", 0), 0u);
    EXPECT_EQ(rows[n - 10].rfind("sign,", 0), 0u);
    EXPECT_EQ(rows[n - 8].substr(rows[n - 8].rfind(',') + 1), "17000");
    EXPECT_EQ(rows[n - 7].substr(rows[n - 7].rfind(',') + 1), "15300");
    EXPECT_EQ(rows[n - 1].substr(rows[n - 1].rfind(',') + 1), "15900");
    tearDownRace();
    releaseWindow(&window);
}
