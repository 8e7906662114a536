// vantor-track SEED SEGMENTS HILLMIN HILLMAX TURNMIN TURNMAX
//
// Seeds the race's random source with SEED, generates a track with the other five settings as
// the race set-up would, and writes its segment end points to standard output as CSV:
// "point,height,left,right", then one row per point j = 0 .. n (point j is segment j's near end,
// point n the last segment's far end), each value printed with %.9g so that it reads back as the
// exact float. Bad arguments print the usage line to standard error and exit with status 2; a
// failed write exits with status 1.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

// An unsigned 32-bit decimal: digits only (no sign, no spaces), at most 4294967295.
bool parseUnsigned(const char* text, uint32_t* value)
{
    if (*text == '\0') {
        return false;
    }
    uint64_t result = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
        result = result * 10 + static_cast<uint64_t>(*c - '0');
        if (result > UINT32_MAX) {
            return false;
        }
    }
    *value = static_cast<uint32_t>(result);
    return true;
}

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
    std::fputs("usage: vantor-track SEED SEGMENTS HILLMIN HILLMAX TURNMIN TURNMAX\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        return usage();
    }
    uint32_t seed = 0;
    uint32_t segments = 0;
    float bounds[4] = {};
    if (!parseUnsigned(argv[1], &seed) || !parseUnsigned(argv[2], &segments)) {
        return usage();
    }
    for (int b = 0; b < 4; ++b) {
        if (!parseFloat(argv[3 + b], &bounds[b])) {
            return usage();
        }
    }

    seedRandom(seed);
    Track* track = generateTrack(segments, bounds[0], bounds[1], bounds[2], bounds[3]);

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

    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::perror("vantor-track: writing the track");
        return 1;
    }
    return 0;
}
