// vantor-frame [--scale K] [--aspect W:H] SEED L,H,T,C,S,G Z OUT.bmp [SPEED [SECONDS]]
//
// Draws one race frame without a display and writes it as a bitmap file. The race is set up as
// the game sets it up, from a seed of the random source and the six main-menu indices (track
// length, hills, turns, competitors, opponent speed, grid spacing; the first choice of each is 0),
// with the pictures from gfx. The player's car is then moved to distance Z (negative is behind the
// start), keeping its place on the road, and given forward speed SPEED (units per second, default
// 0, which the gauges show); SECONDS is the time since the countdown began (default 10: the race
// is running and no countdown is shown; 0 shows "3", 3.5 "GO!"). The camera is placed behind the
// car as in a race. `--scale K` draws the frame at drawing scale K (1 to 4, default 1): the picture
// is K times 640 x 480 pixels, drawn with the pictures painted for that scale; the race is the
// same at every scale. `--aspect W:H` draws it for a screen of that shape (default 4:3): the wide
// view, 480 high and as wide as the shape asks (854 for 16:9, at most 1120), times K. The two
// options come first, in either order. Bad arguments print the usage line to standard error and
// exit with status 2; a failed write exits with status 1.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <cstdlib>
#include <cstring>

#include "game/race_moment.h"
#include "game/race_setup.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "pictures/picture_file.h"
#include "core/errors.h"
#include "core/files.h"
#include "platform/headless/headless_backend.h"
#include "pictures/picture_writer.h"
#include "platform/window.h"
#include "render/race_frame.h"
#include "tool_arguments.h"

namespace {

int usage()
{
    std::fputs("usage: vantor-frame [--scale K] [--aspect W:H] SEED L,H,T,C,S,G Z OUT.bmp"
               " [SPEED [SECONDS]]\n"
               "  K        drawing scale, 1 to 4 (default 1): a picture K times 640 x 480\n"
               "  W:H      the screen's shape (default 4:3): 16:9 draws 854 x 480 times K\n"
               "  SEED     random seed, 0 to 4294967295\n"
               "  L,H,T    track length, hill steepness, turn sharpness: 0 to 2\n"
               "  C        competitors: 0 to 3 (8, 16, 24 or 32 cars)\n"
               "  S,G      opponent speed, grid spacing: 0 to 2\n"
               "  Z        the player's distance along the track, world units\n"
               "  OUT.bmp  the picture file to write\n"
               "  SPEED    the player's forward speed, units per second (default 0)\n"
               "  SECONDS  time since the countdown began (default 10)\n",
               stderr);
    return 2;
}

// A finite decimal number, the whole text.
bool parseReal(const char* text, float* value)
{
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Utf8Arguments arguments = startCommandLineProgram(argc, argv);
    argv = arguments.pointers.data();
    // The optional leading "--scale K" and "--aspect W:H", each at most once; the positional
    // arguments follow them.
    uint64_t scale = 1;
    int width = screenWidth;
    bool scaleGiven = false;
    bool aspectGiven = false;
    int first = 1;
    while (first < argc && std::strncmp(argv[first], "--", 2) == 0) {
        const std::string name = argv[first];
        const bool isScale = name == "--scale";
        bool* given = isScale ? &scaleGiven : &aspectGiven;
        const bool known = isScale || name == "--aspect";
        const bool valueGiven = first + 1 < argc;
        const bool right = known && !*given && valueGiven &&
                           (isScale ? parseNumber(argv[first + 1], 1, largestDrawingScale, &scale)
                                    : parseAspect(argv[first + 1], &width));
        if (!right) {
            usage();
            std::string wrong = name;
            if (known) {
                wrong += valueGiven ? std::string(" ") + argv[first + 1] : " without a value";
            }
            if (known && valueGiven && *given) {
                wrong += " (given twice)";
            }
            return refuseArgument("vantor-frame", wrong.c_str());
        }
        *given = true;
        first += 2;
    }
    const int count = argc - first;
    char** const given = argv + first;
    if (count < 4 || count > 6) {
        usage();
        return refuseArgument("vantor-frame",
                              (std::to_string(count) + " given, four to six needed").c_str());
    }
    uint64_t seed = 0;
    RaceSettings settings;
    float z = 0.0f;
    float speed = 0.0f;
    float seconds = 10.0f;
    const char* wrong = !parseNumber(given[0], 0, UINT32_MAX, &seed) ? given[0]
                        : !parseSettingsList(given[1], &settings)    ? given[1]
                        : !parseReal(given[2], &z)                   ? given[2]
                        : given[3][0] == '\0'                        ? "an empty OUT.bmp"
                        : count > 4 && !parseReal(given[4], &speed)  ? given[4]
                        : count > 5 && (!parseReal(given[5], &seconds) || seconds < 0.0f) ? given[5]
                                                                                          : nullptr;
    if (wrong != nullptr) {
        usage();
        return refuseArgument("vantor-frame", wrong);
    }
    const char* out = given[3];
    requirePictureFolder();

    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    backend.setDrawingScale(static_cast<int>(scale));
    backend.setViewWidth(width);
    create(&window);
    // The race seeds its random source from the clock.
    backend.setClock(static_cast<uint32_t>(seed));
    setUpRace(&window, raceParameters(settings));
    moveCarTo(0, z);
    raceState.cars[0]->velocity.z = speed;
    raceState.countdownSeconds = 2.99999f - seconds;
    if (raceState.countdownSeconds <= 0.0f)
        raceState.goSeconds = 1.5f + raceState.countdownSeconds;
    placeCamera();
    stepRaceDisplay(&raceState);
    drawRaceFrame(&window, raceState);
    const bool written = writePictureFile(out, window.backBuffer);
    tearDownRace();
    releaseWindow(&window);
    if (!written) {
        const char* reason = lastPlatformError();
        std::fprintf(stderr, "vantor-frame: cannot write %s: %s\n", out,
                     reason != nullptr ? reason : "unknown error");
        return 1;
    }
    return 0;
}
