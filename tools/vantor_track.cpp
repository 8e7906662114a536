// vantor-track SEED SEGMENTS HILLMIN HILLMAX TURNMIN TURNMAX
//
// Seeds the race's random source with SEED, generates a track with the other five settings as
// the race set-up would, and writes its segment end points to standard output as CSV:
// "point,height,left,right", then one row per point j = 0 .. n (point j is segment j's near end,
// point n the last segment's far end), each value printed with %.9g so that it reads back as the
// exact float. Bad arguments print the usage line to standard error and exit with status 2; a
// failed write exits with status 1.
//
// vantor-track --code SEED L,H,T,C,S,G   prints the track code of that seed and those settings
// vantor-track --decode CODE             prints "seed N settings L,H,T,C,S,G" of a track code
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cfloat>
#include <cstdlib>
#include <string>

#include "core/files.h"
#include "race/track_code.h"
#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"
#include "tool_arguments.h"

namespace {

// A finite float in decimal (or C hexadecimal) notation, nothing before or after it.
bool parseFloat(const char* text, float* value)
{
    if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text)) != 0) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const float result = std::strtof(text, &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(result)) {
        return false;
    }
    *value = result;
    return true;
}

int usage()
{
    std::fputs("usage: vantor-track SEED SEGMENTS HILLMIN HILLMAX TURNMIN TURNMAX\n"
               "       vantor-track --code SEED L,H,T,C,S,G\n"
               "       vantor-track --decode CODE\n",
               stderr);
    return 2;
}

// --code and --decode: between a seed with its settings and the track code that holds them.
int trackCode(int argc, char** argv)
{
    const std::string mode = argv[1];
    if (mode == "--code" && argc == 4) {
        uint64_t seed = 0;
        RaceSettings settings;
        if (!parseNumber(argv[2], 0, UINT32_MAX, &seed)) {
            usage();
            return refuseArgument("vantor-track", argv[2]);
        }
        if (!parseSettingsList(argv[3], &settings)) {
            usage();
            return refuseArgument("vantor-track", argv[3]);
        }
        std::printf("%s\n", encodeTrackCode(static_cast<uint32_t>(seed), settings).c_str());
    } else if (mode == "--decode" && argc == 3) {
        uint32_t seed = 0;
        RaceSettings s;
        std::string why;
        if (!decodeTrackCode(argv[2], &seed, &s, &why)) {
            std::fprintf(stderr, "vantor-track: %s is no track code: it %s\n", argv[2],
                         why.c_str());
            return 2;
        }
        std::printf("seed %u settings %d,%d,%d,%d,%d,%d\n", seed, s.trackLength, s.hillSteepness,
                    s.turnSharpness, s.numCompetitors, s.aiCarSpeed, s.gridSpacing);
    } else {
        usage();
        return refuseArgument("vantor-track", (mode + " with " + std::to_string(argc - 2) +
                                               " arguments")
                                                  .c_str());
    }
    return standardOutputWritten("vantor-track") ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    Utf8Arguments arguments = startCommandLineProgram(argc, argv);
    argv = arguments.pointers.data();
    if (argc >= 2 && std::string(argv[1]).starts_with("--")) {
        return trackCode(argc, argv);
    }
    if (argc != 7) {
        usage();
        return refuseArgument("vantor-track",
                              (std::to_string(argc - 1) + " given, six needed").c_str());
    }
    uint64_t seed = 0;
    uint64_t segments = 0;
    for (int a = 1; a <= 2; ++a) {
        if (!parseNumber(argv[a], 0, UINT32_MAX, a == 1 ? &seed : &segments)) {
            usage();
            return refuseArgument("vantor-track", argv[a]);
        }
    }
    float bounds[4] = {};
    for (int b = 0; b < 4; ++b) {
        if (!parseFloat(argv[3 + b], &bounds[b])) {
            usage();
            return refuseArgument("vantor-track", argv[3 + b]);
        }
    }
    // Every hill (and bend) adds its size, at most the larger bound plus the bounds' spread, to
    // all points after it: bounds whose sum over the segments could pass the float range would
    // print infinite or undefined heights (and edges), so they are refused.
    for (int pair = 0; pair < 2; ++pair) {
        const double lo = std::fabs(static_cast<double>(bounds[2 * pair]));
        const double hi = std::fabs(static_cast<double>(bounds[2 * pair + 1]));
        if ((lo + hi) * 2.0 * (static_cast<double>(segments) + 1.0) >
            static_cast<double>(FLT_MAX)) {
            usage();
            return refuseArgument("vantor-track",
                                  (std::string(argv[3 + 2 * pair]) + " " + argv[4 + 2 * pair] +
                                   " (too large for " + argv[2] + " segments)")
                                      .c_str());
        }
    }

    seedRandom(static_cast<uint32_t>(seed));
    Track* track =
        generateTrack(static_cast<uint32_t>(segments), bounds[0], bounds[1], bounds[2], bounds[3]);

    std::printf("point,height,left,right\n");
    for (uint32_t j = 0; j < track->segmentCount; ++j) {
        const TrackSegment* s = track->segments[j];
        std::printf("%u,%.9g,%.9g,%.9g\n", j, static_cast<double>(s->nearHeight),
                    static_cast<double>(s->nearLeft), static_cast<double>(s->nearRight));
    }
    const TrackSegment* last = track->segments[track->segmentCount - 1];
    std::printf("%u,%.9g,%.9g,%.9g\n", track->segmentCount, static_cast<double>(last->farHeight),
                static_cast<double>(last->farLeft), static_cast<double>(last->farRight));
    freeTrack(&track);

    return standardOutputWritten("vantor-track") ? 0 : 1;
}
