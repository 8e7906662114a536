// vantor-field SEED L H T C S G
//
// Builds a race's track and field as the race set-up does, from a seed of the random source and
// the six main-menu indices (track length, hills, turns, competitors, opponent speed, grid
// spacing; the first choice of each is 0), with the race graphics loaded from gfx, and writes
// every placed object to standard output as CSV: "kind,x,y,z,width,height,length,power", one row
// per object in the order placement made them (trees and rocks, oil spills, finish signs, cars),
// kind being tree, rock, oil, sign or car and power 0 for all but cars. Values are printed with
// %.9g so that they read back as the exact floats. Bad arguments print the usage line to standard
// error and exit with status 2; a failed write exits with status 1.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/files.h"
#include "game/race_setup.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "pictures/picture_file.h"
#include "platform/headless/headless_backend.h"
#include "platform/window.h"
#include "race/race_graphics.h"
#include "tool_arguments.h"

namespace {

int usage()
{
    std::fputs("usage: vantor-field SEED L H T C S G\n"
               "  SEED  random seed, 0 to 4294967295\n"
               "  L H T track length, hill steepness, turn sharpness: 0 to 2\n"
               "  C     competitors: 0 to 3 (8, 16, 24 or 32 cars)\n"
               "  S G   opponent speed, grid spacing: 0 to 2\n",
               stderr);
    return 2;
}

const char* kindOf(const GameObject& object)
{
    if (dynamic_cast<const Obj_Car*>(&object) != nullptr)
        return "car";
    if (dynamic_cast<const Obj_OilSpill*>(&object) != nullptr)
        return "oil";
    const auto* obstacle = dynamic_cast<const Obj_SolidObstacle*>(&object);
    if (obstacle != nullptr && obstacle->sprite == raceGraphics.slots[raceSlotFinishSign])
        return "sign";
    if (obstacle != nullptr && obstacle->sprite == raceGraphics.slots[raceSlotFirstScenery + 3])
        return "rock";
    return "tree";
}

void printObject(const GameObject& object)
{
    const auto* car = dynamic_cast<const Obj_Car*>(&object);
    const float power = car != nullptr ? car->power : 0.0f;
    std::printf("%s,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g\n", kindOf(object),
                static_cast<double>(object.position.x), static_cast<double>(object.position.y),
                static_cast<double>(object.position.z), static_cast<double>(object.size.width),
                static_cast<double>(object.size.height), static_cast<double>(object.size.length),
                static_cast<double>(power));
}

} // namespace

int main(int argc, char** argv)
{
    Utf8Arguments arguments = startCommandLineProgram(argc, argv);
    argv = arguments.pointers.data();
    if (argc != 8) {
        usage();
        return refuseArgument("vantor-field",
                              (std::to_string(argc - 1) + " given, seven needed").c_str());
    }
    uint64_t seed = 0;
    if (!parseNumber(argv[1], 0, UINT32_MAX, &seed)) {
        usage();
        return refuseArgument("vantor-field", argv[1]);
    }
    RaceSettings settings;
    const int wrongSetting = parseSettings(argv + 2, &settings);
    if (wrongSetting >= 0) {
        usage();
        return refuseArgument("vantor-field", argv[2 + wrongSetting]);
    }
    requirePictureFolder();

    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    create(&window);
    // The race seeds its random source from the clock.
    backend.setClock(static_cast<uint32_t>(seed));
    setUpRace(&window, raceParameters(settings));

    std::printf("kind,x,y,z,width,height,length,power\n");
    for (uint32_t i = 0; i < raceState.staticObjectCount; ++i)
        printObject(*raceState.staticObjects[i]);
    for (uint32_t i = 0; i < raceState.movingObjectCount; ++i)
        printObject(*raceState.movingObjects[i]);

    tearDownRace();
    releaseWindow(&window);
    return standardOutputWritten("vantor-field") ? 0 : 1;
}
