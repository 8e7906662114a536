// vantor-soak [--races N] [--frames MAX] [--seed S]
//
// Plays N races of the real game (default 200) back to back in one process on the headless
// backend, each a whole game from start-up through the menu, the controls screen, the race and
// the result screen to the end. Every race has its own settings, random seed, clock step and
// ending, chosen by a generator of the soak's own started from S (default 1), so the same
// arguments always play the same races: about one race in eight is left with Escape part-way,
// one in eight is ended by closing the window part-way, and the rest are driven by the automatic
// driver to the finish or to MAX race frames (default 1500), where they are left with Escape.
//
// After every race the live counts of game objects, bitmaps, sprites and fonts must be back to
// zero. Memory must not grow: from 50 races on, the mean memory after the last 20 races may
// exceed the mean after races 10 to 29 by at most 4 MiB. Without AddressSanitizer the memory is
// the resident size, which stays within 1 MiB. Under AddressSanitizer it is the heap the game
// holds (the sanitizer's count of allocated bytes): the resident size there follows the
// sanitizer's quarantine of freed memory, which each compiler's sanitizer fills at its own pace
// (gcc's within the first races, clang's much later) and which says nothing about the game.
// One line per race, then a summary; status 0 when every check held, 1 otherwise (also when
// standard output cannot be written), 2 for bad arguments, which print the usage.
#ifdef _WIN32
// windows.h first: psapi.h builds on it.
#include <windows.h>

#include <psapi.h>
#else
#include <unistd.h>
#endif

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/files.h"
#include "game/game.h"
#include "objects/game_object.h"
#include "pictures/bitmap.h"
#include "platform/headless/headless_backend.h"
#include "race_player.h"
#include "tool_arguments.h"

#if defined(__SANITIZE_ADDRESS__)
#define VANTOR_SOAK_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOR_SOAK_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef VANTOR_SOAK_ADDRESS_SANITIZER
// The bytes the program holds on the heap now, from both compilers' AddressSanitizer runtime
// (declared here: not every installation carries the sanitizer's headers).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {
constexpr double growthToleranceKiB = 4096.0;
constexpr uint64_t memoryFirstRace = 10;  // the first race of the early window
constexpr uint64_t memoryWindow = 20;     // races in each window
constexpr uint64_t memoryLeastRaces = 50; // fewer races leave the memory unjudged

// The soak's own choice of races (splitmix64): independent of the game's random source, which
// each race seeds for itself.
struct SoakRandom {
    uint64_t state;
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number from 0 to count - 1.
    uint32_t below(uint32_t count) { return static_cast<uint32_t>(next() % count); }
};

#ifdef VANTOR_SOAK_ADDRESS_SANITIZER
constexpr const char* memoryName = "heap in use";
// The heap the game holds, in KiB, as the sanitizer's allocator counts it.
long memoryKiB() { return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024); }
#elif defined(_WIN32)
constexpr const char* memoryName = "resident memory";
// Resident memory of this process in KiB: its working set, as Windows counts it.
long memoryKiB()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}
#else
constexpr const char* memoryName = "resident memory";
// Resident memory of this process in KiB.
long memoryKiB()
{
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return -1;
    long size = 0;
    long resident = 0;
    const int got = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    if (got != 2)
        return -1;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
#endif

// How a race was planned to end, and how it did.
enum class Ending { Driven, EscapePartWay, ClosedPartWay };

const char* endingName(Ending ending)
{
    switch (ending) {
    case Ending::Driven: return "driven";
    case Ending::EscapePartWay: return "Escape part-way";
    case Ending::ClosedPartWay: return "closed part-way";
    }
    return "?";
}

const char* outcomeName(RaceOutcome outcome)
{
    switch (outcome) {
    case RaceOutcome::Finished: return "finished";
    case RaceOutcome::Quit: return "left";
    case RaceOutcome::FrameLimit: return "left with Escape";
    case RaceOutcome::Closed: return "window closed";
    }
    return "?";
}

// The outcome a plan may come to: a race planned to end part-way may be finished before that.
bool outcomeFits(Ending ending, RaceOutcome outcome)
{
    if (outcome == RaceOutcome::Finished)
        return true;
    switch (ending) {
    case Ending::Driven:
    case Ending::EscapePartWay: return outcome == RaceOutcome::FrameLimit;
    case Ending::ClosedPartWay: return outcome == RaceOutcome::Closed;
    }
    return false;
}

// The plan of the next race.
RacePlan chooseRace(SoakRandom& random, uint64_t maxFrames, Ending* ending)
{
    RacePlan plan;
    plan.seed = static_cast<uint32_t>(random.next());
    plan.settings.trackLength = static_cast<int32_t>(random.below(3));
    plan.settings.hillSteepness = static_cast<int32_t>(random.below(3));
    plan.settings.turnSharpness = static_cast<int32_t>(random.below(3));
    plan.settings.numCompetitors = static_cast<int32_t>(random.below(4));
    plan.settings.aiCarSpeed = static_cast<int32_t>(random.below(3));
    plan.settings.gridSpacing = static_cast<int32_t>(random.below(3));
    // Frame times of a fast machine up to a slow one.
    plan.stepMs = 10 + random.below(41);
    plan.drive = Drive::Auto;
    plan.maxFrames = maxFrames;
    const uint32_t choice = random.below(8);
    const uint64_t partWay =
        1 + random.below(static_cast<uint32_t>(maxFrames < 2000 ? maxFrames : 2000));
    *ending = Ending::Driven;
    if (choice == 0) {
        *ending = Ending::EscapePartWay;
        plan.maxFrames = partWay;
        plan.drive = random.below(2) == 0 ? Drive::Up : Drive::None;
    } else if (choice == 1 && partWay < maxFrames) {
        *ending = Ending::ClosedPartWay;
        plan.closeAfterFrame = partWay;
    }
    return plan;
}

int usage()
{
    std::fputs("usage: vantor-soak [--races N] [--frames MAX] [--seed S]\n"
               "  N, MAX, S  1 to 4294967295 each, each option at most once\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    Utf8Arguments arguments = startCommandLineProgram(argc, argv);
    argv = arguments.pointers.data();
    uint64_t races = 200;
    uint64_t maxFrames = 1500;
    uint64_t seed = 1;
    bool given[3] = {};
    for (int i = 1; i < argc; i += 2) {
        const char* name = argv[i];
        if (i + 1 >= argc) {
            usage();
            return refuseArgument("vantor-soak", (std::string(name) + " without a value").c_str());
        }
        const int option = std::strcmp(name, "--races") == 0    ? 0
                           : std::strcmp(name, "--frames") == 0 ? 1
                           : std::strcmp(name, "--seed") == 0   ? 2
                                                                : -1;
        uint64_t* const targets[3] = {&races, &maxFrames, &seed};
        if (option < 0 || given[option] ||
            !parseNumber(argv[i + 1], 1, UINT32_MAX, targets[option])) {
            usage();
            return refuseArgument("vantor-soak",
                                  (std::string(name) + " " + argv[i + 1] +
                                   (option >= 0 && given[option] ? " (given twice)" : ""))
                                      .c_str());
        }
        given[option] = true;
    }

    SoakRandom random{seed};
    const auto started = std::chrono::steady_clock::now();
    std::vector<long> memoryAfter; // KiB after each race
    uint64_t faults = 0;
    uint64_t outcomes[4] = {};
    for (uint64_t race = 1; race <= races; ++race) {
        Ending ending = Ending::Driven;
        const RacePlan plan = chooseRace(random, maxFrames, &ending);
        HeadlessBackend backend;
        backend.setDefaultAnswer(false);
        RacePlayer player(plan);
        backend.setPumpHook([&player](HeadlessBackend& b) { player.onPump(b); });
        const int status = runGame(&backend);

        const PictureCounts pictures = livePictureCounts();
        const int64_t objects = liveGameObjectCount();
        memoryAfter.push_back(memoryKiB());
        const RaceOutcome outcome = player.outcome();
        ++outcomes[static_cast<int>(outcome)];
        const bool placeValid =
            outcome != RaceOutcome::Finished ||
            (player.finishPosition() >= 1 &&
             static_cast<uint32_t>(player.finishPosition()) <= player.carCount());
        const bool clean = status == 0 && !backend.isOpen() && placeValid &&
                           outcomeFits(ending, outcome) && objects == 0 && pictures.bitmaps == 0 &&
                           pictures.spriteLevels == 0 && pictures.fonts == 0;
        if (!clean)
            ++faults;
        const RaceSettings& s = plan.settings;
        std::printf(
            "race %llu: settings %d,%d,%d,%d,%d,%d seed %u step %u ms, %s: %s after "
            "%llu frames; live objects %lld bitmaps %ld sprites %ld fonts %ld; %s %ld KiB%s\n",
            static_cast<unsigned long long>(race), s.trackLength, s.hillSteepness, s.turnSharpness,
            s.numCompetitors, s.aiCarSpeed, s.gridSpacing, plan.seed, plan.stepMs,
            endingName(ending), outcomeName(outcome),
            static_cast<unsigned long long>(player.raceFrames()), static_cast<long long>(objects),
            pictures.bitmaps, pictures.spriteLevels, pictures.fonts, memoryName, memoryAfter.back(),
            clean ? "" : "  <-- FAULT");
        std::fflush(stdout);
    }

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    bool memoryHeld = true;
    if (races >= memoryLeastRaces) {
        const auto meanOf = [&memoryAfter](uint64_t firstRace) {
            double sum = 0.0;
            for (uint64_t race = firstRace; race < firstRace + memoryWindow; ++race)
                sum += static_cast<double>(memoryAfter[race - 1]);
            return sum / static_cast<double>(memoryWindow);
        };
        const double early = meanOf(memoryFirstRace);
        const double late = meanOf(races - memoryWindow + 1);
        memoryHeld = late - early <= growthToleranceKiB;
        std::printf("%s: %ld KiB after race %llu, %ld KiB after race %llu; mean "
                    "%.0f KiB over races %llu-%llu, %.0f KiB over races %llu-%llu (growth "
                    "allowed: %.0f KiB)%s\n",
                    memoryName, memoryAfter[memoryFirstRace - 1],
                    static_cast<unsigned long long>(memoryFirstRace), memoryAfter.back(),
                    static_cast<unsigned long long>(races), early,
                    static_cast<unsigned long long>(memoryFirstRace),
                    static_cast<unsigned long long>(memoryFirstRace + memoryWindow - 1), late,
                    static_cast<unsigned long long>(races - memoryWindow + 1),
                    static_cast<unsigned long long>(races), growthToleranceKiB,
                    memoryHeld ? "" : "  <-- FAULT");
    }
    std::printf(
        "soak: %llu races in %.1f s: %llu finished, %llu left, %llu left with Escape, "
        "%llu closed; %llu faults\n",
        static_cast<unsigned long long>(races), seconds,
        static_cast<unsigned long long>(outcomes[0]), static_cast<unsigned long long>(outcomes[1]),
        static_cast<unsigned long long>(outcomes[2]), static_cast<unsigned long long>(outcomes[3]),
        static_cast<unsigned long long>(faults));
    return faults == 0 && memoryHeld && standardOutputWritten("vantor-soak") ? 0 : 1;
}
