// vantor-run --seed N --settings L,H,T,C,S,G --drive none|up|auto [--step MS] [--frames MAX]
//            [--shot FRAME:FILE ...] [--trace FILE]
//
// Plays one race of the real game on the headless backend, through the real screens and keys:
// the full-screen question is answered No, the six settings are picked on the main menu with the
// arrow keys, Enter starts the race, Enter leaves the controls screen and the result screen, and
// Escape leaves the menu afterwards. The virtual clock reads N when the race set-up creates its
// timer, so the race seeds its random source with N exactly as the game does; from then on every
// frame moves the clock by MS milliseconds (default 16).
//
// Driving, through the keys only: `none` touches nothing, `up` holds Up, `auto` holds Up and steers
// with Left and Right towards the middle of the road ahead.
//
// Race frames are numbered from 1 (the first frame of the countdown). `--frames MAX` ends the race
// with Escape after MAX frames (default 100000). `--shot FRAME:FILE` writes race frame FRAME as a
// BMP file; FRAME may also be `menu` (the menu with the settings picked), `controls` or `result`
// (the first frame of those screens). `--trace FILE` writes the player's car after every race
// frame that leaves the race running as CSV "frame,seconds,x,y,z,speed,place": seconds of race
// clock since the set-up, position and forward speed in world units, and the place shown on the
// screen.
//
// The last line on standard output is "result: place P of C, frames F" when the player finished,
// "result: quit" when the race was left with Escape, or "result: unfinished after F frames" when
// MAX frames passed first. The same arguments always give the same output, byte for byte.
// Bad arguments print the usage to standard error with status 2; a file that cannot be written
// gives status 1.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "auto_driver.h"
#include "tool_arguments.h"
#include "game/controls_screen.h"
#include "game/frame_timer.h"
#include "game/game.h"
#include "game/main_menu.h"
#include "game/race_settings.h"
#include "game/race_state.h"
#include "game/result_screen.h"
#include "objects/game_object.h"
#include "platform/errors.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"
#include "platform/picture_writer.h"
#include "render/race_frame.h"

namespace {

enum class Drive { None, Up, Auto };

// Which picture a --shot asks for: a race frame, or the first frame of a screen.
enum class ShotKind { RaceFrame, Menu, Controls, Result };

struct Shot {
    ShotKind kind = ShotKind::RaceFrame;
    uint64_t frame = 0;
    std::string file;
    bool taken = false;
};

struct Options {
    uint32_t seed = 0;
    RaceSettings settings;
    Drive drive = Drive::None;
    uint32_t stepMs = 16;
    uint64_t maxFrames = 100000;
    std::vector<Shot> shots;
    std::string tracePath;
};

int usage()
{
    std::fputs(
        "usage: vantor-run --seed N --settings L,H,T,C,S,G --drive none|up|auto\n"
        "                  [--step MS] [--frames MAX] [--shot FRAME:FILE ...] [--trace FILE]\n"
        "  N      random seed of the race, 0 to 4294967295\n"
        "  L,H,T  track length, hill steepness, turn sharpness: 0 to 2 each\n"
        "  C      competitors: 0 to 3 (8, 16, 24 or 32 cars)\n"
        "  S,G    opponent speed, grid spacing: 0 to 2 each\n"
        "  MS     clock step per frame in milliseconds, 1 to 1000 (default 16)\n"
        "  MAX    race frames before the race is left with Escape, at least 1 (default 100000)\n"
        "  FRAME  a race frame from 1, or menu, controls or result\n",
        stderr);
    return 2;
}

// "FRAME:FILE".
bool parseShot(const char* text, Shot* shot)
{
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr || colon[1] == '\0')
        return false;
    const std::string frame(text, colon);
    shot->file = colon + 1;
    if (frame == "menu") {
        shot->kind = ShotKind::Menu;
    } else if (frame == "controls") {
        shot->kind = ShotKind::Controls;
    } else if (frame == "result") {
        shot->kind = ShotKind::Result;
    } else {
        shot->kind = ShotKind::RaceFrame;
        return parseNumber(frame.c_str(), 1, UINT64_MAX / 2, &shot->frame);
    }
    return true;
}

bool parseOptions(int argc, char** argv, Options* options)
{
    bool haveSeed = false;
    bool haveSettings = false;
    bool haveDrive = false;
    for (int i = 1; i < argc; i += 2) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[i + 1];
        uint64_t number = 0;
        if (name == "--seed" && !haveSeed) {
            if (!parseNumber(value, 0, UINT32_MAX, &number))
                return false;
            options->seed = static_cast<uint32_t>(number);
            haveSeed = true;
        } else if (name == "--settings" && !haveSettings) {
            if (!parseSettingsList(value, &options->settings))
                return false;
            haveSettings = true;
        } else if (name == "--drive" && !haveDrive) {
            const std::string drive = value;
            if (drive == "none") {
                options->drive = Drive::None;
            } else if (drive == "up") {
                options->drive = Drive::Up;
            } else if (drive == "auto") {
                options->drive = Drive::Auto;
            } else {
                return false;
            }
            haveDrive = true;
        } else if (name == "--step") {
            if (!parseNumber(value, 1, 1000, &number))
                return false;
            options->stepMs = static_cast<uint32_t>(number);
        } else if (name == "--frames") {
            if (!parseNumber(value, 1, UINT64_MAX / 2, &number))
                return false;
            options->maxFrames = number;
        } else if (name == "--shot") {
            Shot shot;
            if (!parseShot(value, &shot))
                return false;
            options->shots.push_back(shot);
        } else if (name == "--trace") {
            if (*value == '\0')
                return false;
            options->tracePath = value;
        } else {
            return false;
        }
    }
    return haveSeed && haveSettings && haveDrive;
}

// The player's script: reacts at the start of every pump of the game's message loop to the
// screen that runs, presses keys, moves the clock and records what the game showed.
class Player {
public:
    Player(Options& runOptions, std::FILE* traceFile) : options(runOptions), trace(traceFile) {}

    void onPump(HeadlessBackend& backend);

    bool writeFailed = false;
    bool limitReached = false;
    bool raceEnded = false;
    uint64_t raceFrames = 0;
    int32_t finishPosition = -1;
    uint32_t carCount = 0;

private:
    enum class Screen { Menu, Controls, Race, Result };

    static Screen currentScreen();
    void takeShots(const HeadlessBackend& backend, ShotKind kind, uint64_t frame);
    void traceFrame();
    void pickSettings(HeadlessBackend& backend);
    void drive(HeadlessBackend& backend);
    void holdKey(HeadlessBackend& backend, uint32_t key, bool held, bool* state);

    Options& options; // its shots are marked as they are taken
    std::FILE* trace;
    bool settingsPicked = false;
    bool menuShotTaken = false;
    bool controlsShotTaken = false;
    bool lastPumpRan = false; // the previous pump ran a race frame
    bool upHeld = false;
    bool leftHeld = false;
    bool rightHeld = false;
};

Player::Screen Player::currentScreen()
{
    if (raceState.raceRunning)
        return Screen::Race;
    if (controlsScreen.controlsRunning)
        return Screen::Controls;
    if (resultScreen.resultRunning)
        return Screen::Result;
    return Screen::Menu;
}

void Player::takeShots(const HeadlessBackend& backend, ShotKind kind, uint64_t frame)
{
    for (Shot& shot : options.shots) {
        if (shot.taken || shot.kind != kind || (kind == ShotKind::RaceFrame && shot.frame != frame))
            continue;
        shot.taken = true;
        if (!writePictureFile(shot.file.c_str(), backend.lastFrame())) {
            const char* reason = lastPlatformError();
            std::fprintf(stderr, "vantor-run: cannot write %s: %s\n", shot.file.c_str(),
                         reason != nullptr ? reason : "unknown error");
            writeFailed = true;
        }
    }
}

void Player::traceFrame()
{
    if (trace == nullptr)
        return;
    const Obj_Car* car = raceState.cars[0];
    const auto seconds = static_cast<double>(
                             static_cast<uint32_t>(raceState.frameTimer->lastClock) - options.seed) /
                         1000.0;
    std::fprintf(trace, "%llu,%.3f,%.9g,%.9g,%.9g,%.9g,%d\n",
                 static_cast<unsigned long long>(raceFrames), seconds,
                 static_cast<double>(car->position.x), static_cast<double>(car->position.y),
                 static_cast<double>(car->position.z), static_cast<double>(car->velocity.z),
                 currentPlace());
}

// Walks the six rows from the top: Left or Right until the wanted index, then Down.
void Player::pickSettings(HeadlessBackend& backend)
{
    const RaceSettings& wanted = options.settings;
    const int32_t targets[6] = {wanted.trackLength,    wanted.hillSteepness, wanted.turnSharpness,
                                wanted.numCompetitors, wanted.aiCarSpeed,    wanted.gridSpacing};
    for (int row = 0; row < 6; ++row) {
        // Every setting starts at index 1 ("NORMAL"): at most one Left, or Right up to twice.
        const uint32_t key = targets[row] < 1 ? keyLeft : keyRight;
        const int32_t presses = targets[row] < 1 ? 1 - targets[row] : targets[row] - 1;
        for (int32_t i = 0; i < presses; ++i) {
            backend.keyDown(key);
            backend.keyUp(key);
        }
        if (row < 5) {
            backend.keyDown(keyDown);
            backend.keyUp(keyDown);
        }
    }
}

void Player::holdKey(HeadlessBackend& backend, uint32_t key, bool held, bool* state)
{
    if (held == *state)
        return;
    if (held) {
        backend.keyDown(key);
    } else {
        backend.keyUp(key);
    }
    *state = held;
}

void Player::drive(HeadlessBackend& backend)
{
    if (options.drive == Drive::None)
        return;
    holdKey(backend, keyUp, true, &upHeld);
    if (options.drive != Drive::Auto)
        return;
    const Steer steer = autoSteer(*raceState.cars[0], raceState.track,
                                  static_cast<float>(options.stepMs) * 0.001f);
    holdKey(backend, keyRight, steer == Steer::Right, &rightHeld);
    holdKey(backend, keyLeft, steer == Steer::Left, &leftHeld);
}

void Player::onPump(HeadlessBackend& backend)
{
    // The previous pump ran a race frame: it has been shown now.
    if (lastPumpRan) {
        lastPumpRan = false;
        if (!limitReached) {
            ++raceFrames;
            takeShots(backend, ShotKind::RaceFrame, raceFrames);
            if (raceState.raceRunning)
                traceFrame();
        }
    }

    const Screen screen = currentScreen();
    switch (screen) {
    case Screen::Menu:
        if (raceEnded) {
            backend.keyDown(keyEscape);
        } else if (!settingsPicked) {
            pickSettings(backend);
            settingsPicked = true;
        } else {
            if (!menuShotTaken) {
                takeShots(backend, ShotKind::Menu, 0);
                menuShotTaken = true;
            }
            backend.keyDown(keyEnter);
            backend.keyUp(keyEnter);
        }
        break;
    case Screen::Controls:
        if (!controlsShotTaken) {
            takeShots(backend, ShotKind::Controls, 0);
            controlsShotTaken = true;
        }
        // The race set-up reads the clock right after this pump: it seeds the race with it.
        backend.setClock(options.seed);
        backend.keyDown(keyEnter);
        backend.keyUp(keyEnter);
        return;
    case Screen::Race:
        lastPumpRan = true;
        if (raceFrames >= options.maxFrames) {
            limitReached = true;
            backend.keyDown(keyEscape);
        } else {
            drive(backend);
        }
        break;
    case Screen::Result:
        if (!raceEnded) {
            // The screen's first frame is shown by this pump; Enter waits for the next one.
            raceEnded = true;
            finishPosition = raceState.finishPosition;
            carCount = raceState.carCount;
            // Keys still held from the race are let go, as a player's fingers would be.
            holdKey(backend, keyUp, false, &upHeld);
            holdKey(backend, keyLeft, false, &leftHeld);
            holdKey(backend, keyRight, false, &rightHeld);
        } else {
            takeShots(backend, ShotKind::Result, 0);
            backend.keyDown(keyEnter);
            backend.keyUp(keyEnter);
        }
        break;
    }
    backend.advanceClock(options.stepMs);
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, &options))
        return usage();

    std::FILE* trace = nullptr;
    if (!options.tracePath.empty()) {
        trace = std::fopen(options.tracePath.c_str(), "w");
        if (trace == nullptr) {
            std::fprintf(stderr, "vantor-run: cannot write %s: %s\n", options.tracePath.c_str(),
                         std::strerror(errno));
            return 1;
        }
        std::fputs("frame,seconds,x,y,z,speed,place\n", trace);
    }

    HeadlessBackend backend;
    backend.setDefaultAnswer(false);
    Player player(options, trace);
    backend.setPumpHook([&player](HeadlessBackend& b) { player.onPump(b); });
    runGame(&backend);

    bool failed = player.writeFailed;
    if (trace != nullptr && std::fclose(trace) != 0) {
        std::fprintf(stderr, "vantor-run: cannot write %s\n", options.tracePath.c_str());
        failed = true;
    }
    for (const Shot& shot : options.shots) {
        if (!shot.taken) {
            std::fprintf(stderr, "vantor-run: %s was not written: that frame was never shown\n",
                         shot.file.c_str());
            failed = true;
        }
    }

    if (player.limitReached) {
        std::printf("result: unfinished after %llu frames\n",
                    static_cast<unsigned long long>(options.maxFrames));
    } else if (player.finishPosition >= 1) {
        std::printf("result: place %d of %u, frames %llu\n", player.finishPosition,
                    player.carCount, static_cast<unsigned long long>(player.raceFrames));
    } else {
        std::printf("result: quit\n");
    }
    return failed ? 1 : 0;
}
