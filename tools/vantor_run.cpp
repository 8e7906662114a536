// vantor-run --seed N --settings L,H,T,C,S,G --drive none|up|auto [--step MS] [--frames MAX]
//            [--shot FRAME:FILE ...] [--trace FILE] [--audio FILE.wav] [--scale K] [--keys FILE]
//            [--aspect W:H]
// vantor-run --track CODE --drive ...   the same, with the seed and settings of a track code
// vantor-run --replay FILE ...            the race of a replay file, played back
// vantor-run ... --ghost FILE              the race against the ghost of a replay of its track
//
// `--record FILE` writes the race's replay (game/replay_file.h): its track code, clock readings
// and controls. `--replay FILE` plays one back with its seed, settings, clock step and controls,
// giving byte for byte the trace, shots and sound of the run that recorded it; a damaged,
// truncated or foreign file is named with what is wrong (status 2). A replay of a race whose seed
// was fixed (a track code or a race again in the game) is raced on its code's seed all the same.
// `--ghost FILE` races against the ghost of a replay of the same track (its code the race's): the
// replay's car drawn see-through where it was at each moment, changing nothing of the race (the
// trace, the sound and the result are those without it; only the pictures show it).
//
// Plays one race of the real game on the headless backend, through the real screens and keys:
// the full-screen question is answered No, the six settings are picked on the main menu with the
// arrow keys, Enter starts the race, Enter leaves the controls screen and the result screen, and
// Escape leaves the menu afterwards. The virtual clock reads N when the race set-up creates its
// timer, so the race seeds its random source with N exactly as the game does; from then on every
// frame moves the clock by MS milliseconds (default 16).
//
// Driving, through the keys only: `none` touches nothing, `up` holds Up, `auto` holds Up and steers
// with Left and Right towards the middle of the road ahead. `--keys FILE` reads FILE as the game
// reads the player's settings file (its lines that cannot be read told on standard error), and
// every key pressed, on the screens and in the race, is then the first one FILE binds to its
// action (with "accelerate = W", `up` holds W). Without it the game's own keys count.
//
// Race frames are numbered from 1 (the first frame of the countdown). `--frames MAX` ends the race
// with Escape after MAX frames (default 100000). `--shot FRAME:FILE` writes race frame FRAME as a
// BMP file; FRAME may also be `menu` (the menu with the settings picked), `controls` or `result`
// (the first frame of those screens). `--trace FILE` writes the player's car after every race
// frame that leaves the race running as CSV "frame,seconds,x,y,z,speed,place": seconds of race
// clock since the set-up, position and forward speed in world units, and the place shown on the
// screen.
// `--audio FILE.wav` writes the race's whole sound, mixed as the desktop plays it, as a 16-bit
// stereo WAV file at 44100 samples per second. Its first sample is the race set-up's clock
// reading (the trace's 0 seconds), so the trace's seconds give the place in the file, also when
// the clock wraps around during the race; it runs on after the race until every sound has ended.
// The sound goes to the file as it is mixed, under a temporary name beside it until the file is
// whole. A file holds at most 4 GiB (6 h 45 min): a longer sound is cut there, which is told, the
// race playing on for the other outputs, and gives status 1.
// `--scale K` draws every frame, and so every shot, at drawing scale K (1 to 4, default 1): K times
// 640 x 480 pixels, with the pictures painted for that scale. The race, its trace and its output
// are the same at every scale.
// `--aspect W:H` draws every frame for a screen of that shape (default 4:3): the wide view, 480
// high and as wide as the shape asks (768 for 16:10, 854 for 16:9, 1120 for 21:9), times K. The
// 4:3 picture is its middle 640 columns; the race, its trace and its output are the same at
// every shape.
//
// The last line on standard output is "result: place P of C, frames F" when the player finished,
// "result: quit" when the race was left with Escape, or "result: unfinished after F frames" when
// MAX frames passed first. The same arguments always give the same output, byte for byte.
// Bad arguments print the usage to standard error with status 2, two outputs on one file among
// them (however the paths are written); a file that cannot be written gives status 1.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "race/frame_timer.h"
#include "game/game.h"
#include "race/race_state.h"
#include "game/race_loop.h"
#include "game/race_setup.h"
#include "game/replay_file.h"
#include "race/track_code.h"
#include "objects/game_object.h"
#include "core/errors.h"
#include "core/files.h"
#include "platform/headless/headless_backend.h"
#include "audio/sound_mixer.h"
#include "audio/wave_file.h"
#include "platform/window.h"
#include "pictures/picture_writer.h"
#include "race_player.h"
#include "tool_arguments.h"
#include "render/race_frame.h"

namespace {

// Which picture a --shot asks for: a race frame, or the first frame of a screen.
enum class ShotKind { RaceFrame, Menu, Controls, Result };

struct Shot {
    ShotKind kind = ShotKind::RaceFrame;
    uint64_t frame = 0;
    std::string file;
    bool taken = false;
};

struct Options {
    RacePlan plan;
    std::vector<Shot> shots;
    std::string tracePath;
    std::string audioPath;
    uint64_t scale = 1;          // the drawing scale
    int viewWidth = screenWidth; // the screen's width in screen pixels (--aspect)
    std::string keysPath;        // the settings file read as the game's, empty for none
    std::string recordPath;      // --record: the replay file the race is written to
    std::string replayPath;      // --replay: the replay file the race is played from
    Replay replay;               // what --replay read
    bool seedFixed = false;      // the replay's race was seeded with its code's seed, not its clock
    uint32_t codeSeed = 0;       // that seed
    std::string ghostPath;       // --ghost: the replay whose ghost drives
    Replay ghost;                // what --ghost read
};

int usage()
{
    std::fputs(
        "usage: vantor-run --seed N --settings L,H,T,C,S,G --drive none|up|auto\n"
        "       vantor-run --track CODE --drive none|up|auto (and the options below)\n"
        "       vantor-run --replay FILE (and the options below but --frames)\n"
        "                  [--step MS] [--frames MAX] [--shot FRAME:FILE ...] [--trace FILE]\n"
        "                  [--audio FILE.wav] [--scale K] [--keys FILE] [--aspect W:H]\n"
        "  N      random seed of the race, 0 to 4294967295\n"
        "  L,H,T  track length, hill steepness, turn sharpness: 0 to 2 each\n"
        "  C      competitors: 0 to 3 (8, 16, 24 or 32 cars)\n"
        "  S,G    opponent speed, grid spacing: 0 to 2 each\n"
        "  MS     clock step per frame in milliseconds, 1 to 1000 (default 16)\n"
        "  MAX    race frames before the race is left with Escape, at least 1 (default 100000)\n"
        "  FRAME  a race frame from 1, or menu, controls or result\n"
        "  K      drawing scale, 1 to 4 (default 1): every frame K times 640 x 480\n"
        "  FILE   (--keys) a settings file whose keys the race is played with\n"
        "  CODE   a track code (vantor-track --code): the race's seed and settings\n"
        "  --record FILE  writes the race's replay; --replay FILE plays one back\n"
        "  --ghost FILE   races against the ghost of a replay of the same track\n"
        "  W:H    the screen's shape (default 4:3): 16:9 draws every frame 854 x 480 times K\n",
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

// Reads the options into `options`. Returns "" when they are complete and right, otherwise the
// argument that was wrong (or the missing option) for the refusal to name.
std::string parseOptions(int argc, char** argv, Options* options)
{
    std::vector<std::string> seen;
    for (int i = 1; i < argc; i += 2) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return name + " without a value";
        const char* value = argv[i + 1];
        const std::string wrong = name + " " + value;
        // Only --shot may be given more than once.
        if (name != "--shot") {
            for (const std::string& earlier : seen) {
                if (earlier == name)
                    return wrong + " (given twice)";
            }
            seen.push_back(name);
        }
        uint64_t number = 0;
        if (name == "--seed") {
            if (!parseNumber(value, 0, UINT32_MAX, &number))
                return wrong;
            options->plan.seed = static_cast<uint32_t>(number);
        } else if (name == "--settings") {
            if (!parseSettingsList(value, &options->plan.settings))
                return wrong;
        } else if (name == "--drive") {
            const std::string drive = value;
            if (drive == "none") {
                options->plan.drive = Drive::None;
            } else if (drive == "up") {
                options->plan.drive = Drive::Up;
            } else if (drive == "auto") {
                options->plan.drive = Drive::Auto;
            } else {
                return wrong;
            }
        } else if (name == "--step") {
            if (!parseNumber(value, 1, 1000, &number))
                return wrong;
            options->plan.stepMs = static_cast<uint32_t>(number);
        } else if (name == "--frames") {
            if (!parseNumber(value, 1, UINT64_MAX / 2, &number))
                return wrong;
            options->plan.maxFrames = number;
        } else if (name == "--shot") {
            Shot shot;
            if (!parseShot(value, &shot))
                return wrong;
            options->shots.push_back(shot);
        } else if (name == "--scale") {
            if (!parseNumber(value, 1, largestDrawingScale, &options->scale))
                return wrong;
        } else if (name == "--aspect") {
            if (!parseAspect(value, &options->viewWidth))
                return wrong;
        } else if (name == "--trace" || name == "--audio") {
            if (*value == '\0')
                return wrong;
            (name == "--trace" ? options->tracePath : options->audioPath) = value;
        } else if (name == "--keys") {
            if (*value == '\0')
                return wrong;
            options->keysPath = value;
        } else if (name == "--ghost") {
            if (*value == '\0')
                return wrong;
            options->ghostPath = value;
        } else if (name == "--record" || name == "--replay") {
            if (*value == '\0')
                return wrong;
            (name == "--record" ? options->recordPath : options->replayPath) = value;
            if (name == "--replay") {
                // The replay holds the seed, the settings, the clock and the driving.
                for (const char* held : {"--seed", "--settings", "--drive", "--frames", "--step"}) {
                    if (std::find(seen.begin(), seen.end(), held) != seen.end())
                        return wrong + " (the replay holds the race: " + held + " too)";
                    seen.push_back(held);
                }
            }
        } else if (name == "--track") {
            // The code holds both the seed and the settings.
            for (const char* held : {"--seed", "--settings"}) {
                if (std::find(seen.begin(), seen.end(), held) != seen.end())
                    return wrong + " (the code holds the seed and settings: " + held + " too)";
                seen.push_back(held);
            }
            std::string why;
            if (!decodeTrackCode(value, &options->plan.seed, &options->plan.settings, &why))
                return wrong + " (it " + why + ")";
        } else {
            return wrong;
        }
    }
    if (!options->replayPath.empty()) {
        std::string why;
        if (!readReplayFile(options->replayPath, &options->replay, &why))
            return options->replayPath + " " + why;
        if (!decodeTrackCode(options->replay.code, &options->plan.seed, &options->plan.settings,
                             &why))
            return options->replayPath + " holds no track: it " + why;
        // The clock reads the race's start at its set-up; a race of a fixed seed (a track code, a
        // race again) was seeded with its code's seed instead of that reading.
        options->seedFixed = options->plan.seed != options->replay.startClock;
        options->codeSeed = options->plan.seed;
        options->plan.seed = options->replay.startClock;
        options->plan.drive = Drive::Replay;
        options->plan.replay = &options->replay;
        // The replay ends the race; the limit only stops one that would outlive it.
        options->plan.maxFrames = options->replay.frames.size() + 1;
        // The clock moves between frames as it did: a replay of vantor-run's steps once more
        // moves it by its step after every frame (the trace's seconds and the sound's times).
        const std::vector<ReplayFrame>& frames = options->replay.frames;
        const uint32_t step = frames.size() >= 2 ? frames[1].clock - frames[0].clock
                              : frames.empty()   ? 16u
                                                 : frames[0].clock - options->replay.startClock;
        for (std::size_t i = 1; i < frames.size(); ++i) {
            if (frames[i].clock - frames[i - 1].clock != step || step < 1 || step > 1000)
                return options->replayPath +
                       " was played with a changing clock step; vantor-run plays back races of "
                       "one step (--step)";
        }
        options->plan.stepMs = step;
    }
    for (const char* needed : {"--seed", "--settings", "--drive"}) {
        if (std::find(seen.begin(), seen.end(), needed) == seen.end())
            return std::string("missing ") + needed;
    }
    if (!options->ghostPath.empty()) {
        std::string why;
        if (!readReplayFile(options->ghostPath, &options->ghost, &why))
            return options->ghostPath + " " + why;
        const std::string code = encodeTrackCode(
            options->seedFixed ? options->codeSeed : options->plan.seed, options->plan.settings);
        if (options->ghost.code != code)
            return options->ghostPath + " is a replay of track " + options->ghost.code +
                   ", not of this race's track " + code;
    }
    std::vector<std::string> outputs;
    for (const Shot& shot : options->shots)
        outputs.push_back(shot.file);
    for (const std::string* path : {&options->tracePath, &options->audioPath, &options->recordPath}) {
        if (!path->empty())
            outputs.push_back(*path);
    }
    // The sound is written under a temporary name beside its own until it is whole.
    if (!options->audioPath.empty())
        outputs.push_back(options->audioPath + unfinishedFileSuffix);
    return outputsOnOneFile(outputs);
}

// Tells on standard error that `path` could not be written, with the platform's last error as the
// reason. The failure is told here: the last error is cleared, so that it does not reach the
// game's next report.
void tellCannotWrite(const std::string& path)
{
    const char* reason = lastPlatformError();
    std::fprintf(stderr, "vantor-run: cannot write %s: %s\n", path.c_str(),
                 reason != nullptr ? reason : "unknown error");
    clearLastPlatformError();
}

// Writes the shots of one kind (and race frame) that are due, from the frame shown last.
bool takeShots(Options& options, const HeadlessBackend& backend, ShotKind kind, uint64_t frame)
{
    bool written = true;
    for (Shot& shot : options.shots) {
        if (shot.taken || shot.kind != kind || (kind == ShotKind::RaceFrame && shot.frame != frame))
            continue;
        shot.taken = true;
        if (!writePictureFile(shot.file.c_str(), backend.lastFrame())) {
            tellCannotWrite(shot.file);
            written = false;
        }
    }
    return written;
}

void traceFrame(std::FILE* trace, uint32_t seed, uint64_t frame)
{
    const Obj_Car* car = raceState.cars[0];
    const auto seconds =
        static_cast<double>(static_cast<uint32_t>(raceState.frameTimer->lastClock) - seed) / 1000.0;
    std::fprintf(
        trace, "%llu,%.3f,%.9g,%.9g,%.9g,%.9g,%d\n", static_cast<unsigned long long>(frame),
        seconds, static_cast<double>(car->position.x), static_cast<double>(car->position.y),
        static_cast<double>(car->position.z), static_cast<double>(car->velocity.z), currentPlace());
}

// The race's sound for --audio, written to its file as it is mixed. Static, so that a fatal
// report, which ends the program at once, still removes the unfinished file.
WaveWriter soundFile;

// Plays the race with its shots, trace (when `trace` is not null) and sound (when soundFile is
// open), and prints the result. False when an output could not be written or the sound did not
// fit in its file.
bool playRace(Options& options, std::FILE* trace)
{
    bool failed = false;
    HeadlessBackend backend;
    backend.setDefaultAnswer(false);
    backend.setDrawingScale(static_cast<int>(options.scale));
    backend.setViewWidth(options.viewWidth);
    RacePlayer player(options.plan);
    player.raceFrameShown = [&](const HeadlessBackend& b, uint64_t frame) {
        failed = !takeShots(options, b, ShotKind::RaceFrame, frame) || failed;
        if (trace != nullptr && raceState.raceRunning)
            traceFrame(trace, options.plan.seed, frame);
    };
    player.screenShown = [&](const HeadlessBackend& b, GameScreen screen) {
        const ShotKind kind = screen == GameScreen::Menu       ? ShotKind::Menu
                              : screen == GameScreen::Controls ? ShotKind::Controls
                                                               : ShotKind::Result;
        failed = !takeShots(options, b, kind, 0) || failed;
    };

    // The sound stops going into the file once it is full or could not be written; the race
    // plays on for its other outputs.
    bool soundFull = false;
    bool soundFailed = false;
    const auto keepSound = [&](const int16_t* samples, size_t frames) {
        if (soundFull || soundFailed)
            return;
        const WaveAppend kept = soundFile.append(samples, frames);
        if (kept == WaveAppend::Full) {
            soundFull = true;
            std::fprintf(stderr,
                         "vantor-run: %s holds only the first %.3f seconds of the race's sound: "
                         "a WAV file holds at most 4 GiB\n",
                         options.audioPath.c_str(),
                         static_cast<double>(soundFile.dataBytes() / 4) / soundRate);
        } else if (kept == WaveAppend::Failed) {
            soundFailed = true;
            tellCannotWrite(options.audioPath);
        }
    };
    std::optional<RecordingMixer> mixing;
    backend.setPumpHook([&](HeadlessBackend& b) {
        // The race set-up has just read the clock: the sound is mixed from this moment.
        if (soundFile.isOpen() && !mixing && raceState.raceRunning && b.soundBank() != nullptr) {
            mixing.emplace(b.soundBank(), options.plan.seed, keepSound);
            b.setSoundListener([&](const RecordedSound& call) {
                if (!soundFull && !soundFailed)
                    mixing->take(call);
            });
        }
        player.onPump(b);
        // A frame is copied out of the window only while a picture of it may be asked for.
        b.keepFrames(std::any_of(options.shots.begin(), options.shots.end(),
                                 [](const Shot& shot) { return !shot.taken; }));
    });
    GameOptions game;
    game.settingsFile = options.keysPath.empty() ? nullptr : options.keysPath.c_str();
    recordRacesTo(options.recordPath);
    raceAgainstGhost(options.ghostPath.empty() ? nullptr : &options.ghost);
    if (options.seedFixed)
        fixNextRaceSeed(options.codeSeed);
    runGame(&backend, game);
    if (!options.recordPath.empty() && !lastReplayWritten()) {
        const char* reason = lastPlatformError();
        std::fprintf(stderr, "vantor-run: cannot write %s: %s\n", options.recordPath.c_str(),
                     reason != nullptr ? reason : "the race never began");
        clearLastPlatformError();
        failed = true;
    }

    if (soundFile.isOpen()) {
        if (mixing && !soundFull && !soundFailed)
            mixing->finish(5.0);
        if (!soundFile.finish() && !soundFailed) {
            tellCannotWrite(options.audioPath);
            soundFailed = true;
        }
        failed = failed || soundFull || soundFailed;
    }

    for (const Shot& shot : options.shots) {
        if (!shot.taken) {
            std::fprintf(stderr, "vantor-run: %s was not written: that frame was never shown\n",
                         shot.file.c_str());
            failed = true;
        }
    }

    switch (player.outcome()) {
    case RaceOutcome::FrameLimit:
        std::printf("result: unfinished after %llu frames\n",
                    static_cast<unsigned long long>(options.plan.maxFrames));
        break;
    case RaceOutcome::Finished:
        std::printf("result: place %d of %u, frames %llu\n", player.finishPosition(),
                    player.carCount(), static_cast<unsigned long long>(player.raceFrames()));
        break;
    default: std::printf("result: quit\n"); break;
    }
    return !failed;
}

} // namespace

int main(int argc, char** argv)
{
    Utf8Arguments arguments = startCommandLineProgram(argc, argv);
    argv = arguments.pointers.data();
    Options options;
    const std::string wrong = parseOptions(argc, argv, &options);
    if (!wrong.empty()) {
        usage();
        return refuseArgument("vantor-run", wrong.c_str());
    }

    // Both files are made before the race, so that one that cannot be written costs no race.
    if (!options.audioPath.empty() && !soundFile.open(options.audioPath)) {
        tellCannotWrite(options.audioPath);
        return 1;
    }
    std::FILE* trace = nullptr;
    if (!options.tracePath.empty()) {
        trace = openFile(options.tracePath, "wb");
        if (trace == nullptr) {
            std::fprintf(stderr, "vantor-run: cannot write %s: %s\n", options.tracePath.c_str(),
                         std::strerror(errno));
            soundFile.abandon();
            return 1;
        }
        std::fputs("frame,seconds,x,y,z,speed,place\n", trace);
    }

    bool played = false;
    try {
        played = playRace(options, trace);
    } catch (const std::bad_alloc&) {
        // The trace keeps the frames played so far; the sound file is not finished.
        std::fputs("vantor-run: out of memory\n", stderr);
        soundFile.abandon();
    }
    if (trace != nullptr && std::fclose(trace) != 0) {
        std::fprintf(stderr, "vantor-run: cannot write %s\n", options.tracePath.c_str());
        played = false;
    }
    return played && standardOutputWritten("vantor-run") ? 0 : 1;
}
