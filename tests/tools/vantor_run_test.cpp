// The vantor-run tool: one race of the real game on the headless backend. Bad arguments give the
// usage and status 2, two outputs on one file among them however the paths are written; outputs
// that cannot be written fail the run; a full race with the automatic driver finishes with a place
// in range; the same arguments give the same output, trace, pictures and sound byte for byte; the
// sound lasts as long as the race when the clock wraps; the race, its trace and its result are the
// same at every drawing scale and every screen shape, the wide frames holding the 4:3 frames in
// their middle; the frame limit ends an undriven race, and a shot that was never
// taken fails the run; a settings file's keys drive the same race.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pictures/picture_file.h"
#include "test_folder.h"
#include "tool_run.h"

using tool_run::lines;
using tool_run::readFile;

namespace {

tool_run::ToolRun runTool(const std::string& arguments)
{
    return tool_run::runTool("tools/vantor-run", arguments);
}

} // namespace

TEST(VantorRunTool, RefusesBadArgumentsWithTheUsage)
{
    const std::string race = "--seed 1 --settings 1,1,1,1,1,1 --drive up";
    tool_run::expectRefused("tools/vantor-run",
                            {"",
                             "--settings 1,1,1,1,1,1 --drive up",
                             "--seed 1 --settings 1,1,1,1,1,1",
                             "--seed 1 --seed 2 --settings 1,1,1,1,1,1 --drive up",
                             "--seed 1 --settings 1,1,1,1,1 --drive up",
                             "--seed 1 --settings 1,1,1,1,1,1 --drive fast",
                             race + " --step 0",
                             race + " --frames 0",
                             race + " --shot 0:a",
                             race + " --shot 5",
                             race + " --shot end:a",
                             race + " --trace",
                             race + " --wet",
                             race + " --frames 18446744073709551617",
                             race + " --shot 18446744073709551617:a.bmp",
                             race + " --step 5 --step 6",
                             race + " --trace a.csv --trace b.csv",
                             race + " --shot 5:x.bmp --trace x.bmp",
                             race + " --shot 5:x.bmp --shot menu:x.bmp",
                             race + " --scale 0",
                             race + " --scale 5",
                             race + " --scale ''",
                             race + " --scale two",
                             race + " --scale 2 --scale 2",
                             race + " --keys ''",
                             race + " --keys a.ini --keys b.ini",
                             race + " --aspect 16",
                             race + " --aspect 0:9",
                             race + " --aspect 16:",
                             race + " --aspect 16:9:1",
                             race + " --aspect 100001:9",
                             race + " --aspect wide"},
                            "usage: vantor-run");
    tool_run::expectRefusalNames("tools/vantor-run", race + " --frames 18446744073709551617",
                                 "--frames 18446744073709551617");
    tool_run::expectRefusalNames("tools/vantor-run", race + " --shot 5:x.bmp --trace x.bmp",
                                 "x.bmp (two outputs on one path)");
    tool_run::expectRefusalNames("tools/vantor-run", race + " --scale 5", "--scale 5");
    tool_run::expectRefusalNames("tools/vantor-run", race + " --aspect 0:9", "--aspect 0:9");
}

TEST(VantorRunTool, RefusesToRunWithoutThePicturesAndFailsForOutputsThatCannotBeWritten)
{
    const std::string race = "--seed 7 --settings 1,1,1,1,1,1 --drive none --frames 10";
    const tool_run::ToolRun bare = tool_run::runToolWithoutPictures("tools/vantor-run", race);
    EXPECT_EQ(bare.status, 1);
    EXPECT_NE(bare.err.find("The game's pictures were not found"), std::string::npos) << bare.err;

    const tool_run::ToolRun full = runTool(race + " >/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("vantor-run: cannot write standard output"), std::string::npos)
        << full.err;

    // A shot that cannot be written is told once; the pictures loaded after it do not report it
    // as their own failure.
    const tool_run::ToolRun shot = runTool(race + " --shot 5:/no/such/folder/m.bmp");
    EXPECT_EQ(shot.status, 1);
    EXPECT_NE(shot.err.find("vantor-run: cannot write /no/such/folder/m.bmp"), std::string::npos)
        << shot.err;
    EXPECT_EQ(shot.err.find("non fatal"), std::string::npos) << shot.err;

    // A sound file that cannot be made costs no race; one that fails on the way is told with the
    // system's reason, and the trace still holds every frame.
    const std::string folder = testFolder();
    const tool_run::ToolRun nowhere = runTool(race + " --audio " + folder + "no/such/x.wav");
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("vantor-run: cannot write " + folder + "no/such/x.wav"),
              std::string::npos)
        << nowhere.err;
    EXPECT_EQ(nowhere.out, "");
    const tool_run::ToolRun fullDisk =
        runTool(race + " --audio /dev/full --trace " + folder + "full.csv");
    EXPECT_EQ(fullDisk.status, 1);
    EXPECT_NE(fullDisk.err.find("vantor-run: cannot write /dev/full: No space left on device"),
              std::string::npos)
        << fullDisk.err;
    EXPECT_EQ(fullDisk.out, "result: unfinished after 10 frames\n");
    EXPECT_EQ(lines(readFile(folder + "full.csv")).size(), 11u);
}

TEST(VantorRunTool, RefusesTwoOutputsOnOneFileHoweverThePathsAreWritten)
{
    // In the test's folder: a folder d, a link to the test's folder itself, a file with a second
    // name (a hard link).
    const std::string folder = testFolder();
    std::filesystem::create_directory(folder + "d");
    std::filesystem::create_directory_symlink(".", folder + "here");
    std::ofstream(folder + "a.csv") << "kept";
    std::filesystem::create_hard_link(folder + "a.csv", folder + "b.wav");
    const std::string race = "--seed 1 --settings 1,1,1,1,1,1 --drive up --frames 20 ";
    tool_run::expectRefused(
        "tools/vantor-run",
        {race + "--audio " + folder + "d/same2 --trace " + folder + "d/./same2",
         race + "--audio " + folder + "s3.bmp --shot 10:" + folder + "here//s3.bmp",
         race + "--trace " + folder + "a.csv --audio " + folder + "b.wav",
         race + "--shot 5:" + folder + "d/../x.bmp --shot 6:" + folder + "x.bmp",
         race + "--shot 5:" + folder + "d//x.bmp --audio " + folder + "here/d/x.bmp",
         // The sound's file is written under a temporary name until it is whole.
         race + "--audio " + folder + "s.wav --trace " + folder + "d/../s.wav.partial"},
        "usage: vantor-run");
    tool_run::expectRefusalNames(
        "tools/vantor-run", race + "--audio " + folder + "d/same2 --trace " + folder + "d/./same2",
        folder + "d/./same2 and " + folder + "d/same2 (two outputs on one file)");
    // Nothing was written.
    EXPECT_TRUE(std::filesystem::is_empty(folder + "d"));
    EXPECT_FALSE(std::filesystem::exists(folder + "s3.bmp"));
    EXPECT_FALSE(std::filesystem::exists(folder + "x.bmp"));
    EXPECT_EQ(readFile(folder + "b.wav"), "kept");
}

TEST(VantorRunTool, AutoDriverFinishesAndTheSameArgumentsGiveTheSameBytes)
{
    const std::string folder = testFolder();
    std::string outputs[2];
    std::string traces[2];
    std::string shots[2];
    for (int run = 0; run < 2; ++run) {
        const std::string trace = folder + "trace" + std::to_string(run) + ".csv";
        const std::string shot = folder + "shot" + std::to_string(run) + ".bmp";
        const tool_run::ToolRun result =
            runTool("--seed 2024 --settings 0,1,1,0,0,1 --drive auto --trace " + trace +
                    " --shot 400:" + shot);
        ASSERT_EQ(result.status, 0) << result.err;
        outputs[run] = result.out;
        traces[run] = readFile(trace);
        shots[run] = readFile(shot);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(traces[0], traces[1]);
    EXPECT_EQ(shots[0], shots[1]);

    const std::vector<std::string> output = lines(outputs[0]);
    ASSERT_FALSE(output.empty());
    int place = 0;
    unsigned cars = 0;
    unsigned long long frames = 0;
    ASSERT_EQ(std::sscanf(output.back().c_str(), "result: place %d of %u, frames %llu", &place,
                          &cars, &frames),
              3)
        << output.back();
    EXPECT_EQ(cars, 8u);
    EXPECT_GE(place, 1);
    EXPECT_LE(place, 8);

    // One trace row per frame that left the race running: the finishing frame has none.
    const std::vector<std::string> trace = lines(traces[0]);
    ASSERT_EQ(trace.size(), frames); // the heading and frames 1 to F - 1
    EXPECT_EQ(trace[0], "frame,seconds,x,y,z,speed,place");
    unsigned long long frame = 0;
    double seconds = 0;
    double x = 0;
    double y = 0;
    double z = 0;
    double speed = 0;
    int rowPlace = 0;
    ASSERT_EQ(std::sscanf(trace[1].c_str(), "%llu,%lf,%lf,%lf,%lf,%lf,%d", &frame, &seconds, &x, &y,
                          &z, &speed, &rowPlace),
              7);
    // Frame 1: on the grid, last of eight, 16 ms after the set-up.
    EXPECT_EQ(frame, 1u);
    EXPECT_DOUBLE_EQ(seconds, 0.016);
    EXPECT_EQ(z, 4096.0);
    EXPECT_EQ(rowPlace, 8);
    ASSERT_EQ(std::sscanf(trace.back().c_str(), "%llu,%lf,%lf,%lf,%lf,%lf,%d", &frame, &seconds, &x,
                          &y, &z, &speed, &rowPlace),
              7);
    // The last row before the finish: the car is fast and just short of the line of the short
    // track, (1024 - 80) x 3000.
    EXPECT_EQ(frame, frames - 1);
    EXPECT_LE(z, 944 * 3000.0);
    EXPECT_GT(z, 944 * 3000.0 - 10000.0);
    EXPECT_GT(speed, 20000.0);
}

TEST(VantorRunTool, TheRaceIsTheSameAtEveryDrawingScale)
{
    // A short race of 32 cars driven to the finish at scales 1 to 4, the four at once. Steps of
    // 100 ms keep it to some 700 frames, so that drawing at scale 4 stays quick in a sanitized
    // build.
    const std::string folder = testFolder();
    std::vector<std::string> races;
    for (int k = 1; k <= 4; ++k) {
        const std::string name = folder + "scale" + std::to_string(k);
        races.push_back("--seed 12 --settings 0,1,1,3,1,1 --drive auto --step 100 --scale " +
                        std::to_string(k) + " --trace " + name + ".csv --shot 300:" + name +
                        ".bmp");
    }
    const std::vector<tool_run::ToolRun> runs =
        tool_run::runToolTogether("tools/vantor-run", races);
    std::vector<std::string> traces[5];
    std::string results[5];
    for (int k = 1; k <= 4; ++k) {
        const tool_run::ToolRun& run = runs[static_cast<size_t>(k - 1)];
        ASSERT_EQ(run.status, 0) << "scale " << k << "\n" << run.err;
        // The frames are drawn at the scale asked for.
        const std::string name = folder + "scale" + std::to_string(k);
        int width = 0;
        int height = 0;
        ASSERT_TRUE(readPictureSize(name + ".bmp", &width, &height));
        EXPECT_EQ(width, 640 * k);
        EXPECT_EQ(height, 480 * k);
        traces[k] = lines(readFile(name + ".csv"));
        const std::vector<std::string> output = lines(run.out);
        ASSERT_FALSE(output.empty());
        results[k] = output.back();
    }
    EXPECT_EQ(results[1].rfind("result: place ", 0), 0u) << results[1];
    for (int k = 2; k <= 4; ++k) {
        EXPECT_EQ(results[k], results[1]) << "scale " << k;
        // The first row that differs, rather than the whole trace.
        const auto differs =
            std::mismatch(traces[1].begin(), traces[1].end(), traces[k].begin(), traces[k].end());
        EXPECT_TRUE(differs.first == traces[1].end() && differs.second == traces[k].end())
            << "scale " << k << " leaves the trace of scale 1 at row "
            << differs.first - traces[1].begin() << ": "
            << (differs.first != traces[1].end() ? *differs.first : "(end)") << " against "
            << (differs.second != traces[k].end() ? *differs.second : "(end)");
    }
}

namespace {

PicturePixels readShot(const std::string& path)
{
    PicturePixels picture;
    EXPECT_EQ(readPictureFile(path, &picture), PictureRead::Loaded) << path;
    return picture;
}

// The colour at (x, y), 0xRRGGBB.
uint32_t pixelAt(const PicturePixels& p, int x, int y)
{
    return p.pixels[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)] &
           0xFFFFFFu;
}

// How many pixels of `narrow` (the 4:3 frame) differ from the middle columns of `wide`, leaving
// out the places of the two gauges in the 4:3 frame: the top `gaugeRows` rows of its first and
// last `gaugeColumns` columns, which the wide frame shows in its own corners instead.
int middleDifferences(const PicturePixels& narrow, const PicturePixels& wide, int gaugeColumns,
                      int gaugeRows)
{
    const int margin = (wide.width - narrow.width) / 2;
    int differing = 0;
    for (int y = 0; y < narrow.height; ++y) {
        for (int x = 0; x < narrow.width; ++x) {
            const bool gauge =
                y < gaugeRows && (x < gaugeColumns || x >= narrow.width - gaugeColumns);
            if (!gauge && pixelAt(narrow, x, y) != pixelAt(wide, margin + x, y))
                ++differing;
        }
    }
    return differing;
}

} // namespace

TEST(VantorRunTool, TheWideViewShowsThe4By3FrameInItsMiddleAndTheRaceIsTheSame)
{
    // A short race of 32 cars driven to the finish at 4:3, 16:10, 16:9 and 21:9, and the start
    // of it at scale 2 in 4:3 and 16:9, all at once.
    const std::string folder = testFolder();
    const std::string race = "--seed 12 --settings 0,1,1,3,1,1 --drive auto --step 100 ";
    const std::vector<std::string> aspects = {"4:3", "16:10", "16:9", "21:9"};
    const int widths[] = {640, 768, 854, 1120};
    const std::vector<int> frames = {1, 40, 120, 300, 600};
    std::vector<std::string> runs;
    for (size_t a = 0; a < aspects.size(); ++a) {
        std::string arguments = race + "--aspect " + aspects[a];
        const std::string name = folder + "aspect" + std::to_string(a);
        arguments += " --trace " + name + ".csv --shot menu:" + name +
                     "-menu.bmp --shot result:" + name + "-result.bmp --shot controls:" + name +
                     "-controls.bmp";
        for (int frame : frames)
            arguments += " --shot " + std::to_string(frame) + ":" + name + "-" +
                         std::to_string(frame) + ".bmp";
        runs.push_back(arguments);
    }
    for (const char* aspect : {"4:3", "16:9"})
        runs.push_back(race + "--frames 60 --scale 2 --aspect " + aspect + " --shot 50:" + folder +
                       "scale2-" + (aspect[1] == ':' ? "43" : "169") + ".bmp");
    const std::vector<tool_run::ToolRun> done = tool_run::runToolTogether("tools/vantor-run", runs);
    for (size_t i = 0; i < done.size(); ++i)
        ASSERT_EQ(done[i].status, 0) << runs[i] << "\n" << done[i].err;

    const std::string narrow = folder + "aspect0";
    const std::vector<std::string> narrowTrace = lines(readFile(narrow + ".csv"));
    ASSERT_GT(narrowTrace.size(), 600u);
    EXPECT_EQ(lines(done[0].out).back().rfind("result: place ", 0), 0u) << done[0].out;
    for (size_t a = 1; a < aspects.size(); ++a) {
        const std::string name = folder + "aspect" + std::to_string(a);
        EXPECT_EQ(done[a].out, done[0].out) << aspects[a];
        EXPECT_TRUE(lines(readFile(name + ".csv")) == narrowTrace)
            << aspects[a] << ": the trace differs from that of 4:3";
        for (int frame : frames) {
            // The name's parts appended one by one: GCC 12 warns wrongly of an overlap in
            // "-" + std::to_string(frame).
            std::string shot = "-";
            shot += std::to_string(frame);
            shot += ".bmp";
            const PicturePixels four = readShot(narrow + shot);
            const PicturePixels wide = readShot(name + shot);
            ASSERT_EQ(wide.width, widths[a]) << aspects[a];
            ASSERT_EQ(wide.height, 480);
            EXPECT_EQ(middleDifferences(four, wide, 224, 48), 0)
                << aspects[a] << " frame " << frame;
        }
        // The screens keep their layout in the middle; their bars (rows 72 and 360, 12 high)
        // run from edge to edge.
        for (const char* screen : {"-menu.bmp", "-controls.bmp", "-result.bmp"}) {
            const PicturePixels four = readShot(narrow + screen);
            const PicturePixels wide = readShot(name + screen);
            ASSERT_EQ(wide.width, widths[a]) << aspects[a] << screen;
            const int margin = (wide.width - 640) / 2;
            int differing = 0;
            for (int y = 0; y < 480; ++y) {
                const bool bar = (y >= 72 && y < 84) || (y >= 360 && y < 372);
                for (int x = 0; x < 640 && !bar; ++x)
                    differing += pixelAt(four, x, y) != pixelAt(wide, margin + x, y) ? 1 : 0;
                if (bar) {
                    EXPECT_NE(pixelAt(wide, 0, y), 0u) << aspects[a] << screen << " row " << y;
                    EXPECT_NE(pixelAt(wide, wide.width - 15, y), 0u)
                        << aspects[a] << screen << " row " << y;
                } else {
                    EXPECT_EQ(pixelAt(wide, 0, y), 0u) << aspects[a] << screen << " row " << y;
                }
            }
            EXPECT_EQ(differing, 0) << aspects[a] << screen;
        }
    }
    // At scale 2: the middle 1280 columns of 1708 are the 4:3 frame of 1280.
    const PicturePixels four = readShot(folder + "scale2-43.bmp");
    const PicturePixels wide = readShot(folder + "scale2-169.bmp");
    ASSERT_EQ(wide.width, 1708);
    ASSERT_EQ(wide.height, 960);
    EXPECT_EQ(middleDifferences(four, wide, 448, 96), 0);
}

TEST(VantorRunTool, AudioIsTheSameFileForTheSameArgumentsAndChangesNothingElse)
{
    const std::string folder = testFolder();
    const std::string race = "--seed 31 --settings 0,1,1,0,1,1 --drive auto --frames 300 --trace ";
    const tool_run::ToolRun silent = runTool(race + folder + "silent.csv");
    ASSERT_EQ(silent.status, 0) << silent.err;
    std::string sounds[2];
    for (int run = 0; run < 2; ++run) {
        const std::string name = folder + "race" + std::to_string(run);
        const tool_run::ToolRun heard = runTool(race + name + ".csv --audio " + name + ".wav");
        ASSERT_EQ(heard.status, 0) << heard.err;
        EXPECT_EQ(heard.out, silent.out);
        EXPECT_EQ(readFile(name + ".csv"), readFile(folder + "silent.csv"));
        sounds[run] = readFile(name + ".wav");
    }
    EXPECT_EQ(sounds[0], sounds[1]);
    // 16-bit stereo at 44100 per second, from the set-up through the 300 frames of 16 ms.
    const std::string& wav = sounds[0];
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    const auto word = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<unsigned char>(wav[at])) |
               static_cast<uint32_t>(static_cast<unsigned char>(wav[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(wav[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(wav[at + 3])) << 24;
    };
    EXPECT_EQ(word(22) & 0xFFFF, 2u);
    EXPECT_EQ(word(24), 44100u);
    EXPECT_EQ(word(40), wav.size() - 44);
    EXPECT_GE((wav.size() - 44) / 4, 300u * 16u * 441u / 10u);
    // The sound was written under a temporary name, which is gone.
    EXPECT_FALSE(std::filesystem::exists(folder + "race0.wav.partial"));
}

TEST(VantorRunTool, SoundRunsOnWhenTheClockWrapsDuringTheRace)
{
    // The clock reads 2^32 - 1 at the set-up and wraps to 0 a millisecond later: the sound still
    // lasts as long as the race, and is heard to its end.
    const std::string folder = testFolder();
    const tool_run::ToolRun run =
        runTool("--seed 4294967295 --settings 0,1,1,0,1,1 --drive auto --step 33 --frames 300 "
                "--trace " +
                folder + "wrap.csv --audio " + folder + "wrap.wav");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> trace = lines(readFile(folder + "wrap.csv"));
    ASSERT_EQ(trace.size(), 301u);
    double seconds = 0;
    ASSERT_EQ(std::sscanf(trace.back().c_str(), "300,%lf,", &seconds), 1) << trace.back();
    EXPECT_DOUBLE_EQ(seconds, 9.9);

    const std::string wav = readFile(folder + "wrap.wav");
    ASSERT_GT(wav.size(), 44u);
    const size_t frames = (wav.size() - 44) / 4;
    EXPECT_GE(frames, static_cast<size_t>(seconds * 44100));
    EXPECT_LE(frames, static_cast<size_t>((seconds + 5.1) * 44100));
    // The engine is heard in the race's last half second.
    int loudest = 0;
    for (size_t i = static_cast<size_t>((seconds - 0.5) * 44100); i < frames && i < seconds * 44100;
         ++i) {
        const auto sample = static_cast<int16_t>(static_cast<unsigned char>(wav[44 + 4 * i]) |
                                                 static_cast<unsigned char>(wav[45 + 4 * i]) << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    EXPECT_GT(loudest, 1000);
}

TEST(VantorRunTool, EndsAnUndrivenRaceAtTheFrameLimitAndFailsForAShotNeverTaken)
{
    // The menu is shot; frame 6 of a five-frame race never comes, which is reported and fails.
    const std::string folder = testFolder();
    const tool_run::ToolRun run = runTool("--seed 7 --settings 1,1,1,1,1,1 --drive none --frames 5 "
                                          "--shot menu:" +
                                          folder + "menu.bmp --shot 6:" + folder + "late.bmp");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("late.bmp"), std::string::npos);
    EXPECT_EQ(run.out, "result: unfinished after 5 frames\n");
    PicturePixels picture;
    ASSERT_EQ(readPictureFile(folder + "menu.bmp", &picture), PictureRead::Loaded);
    EXPECT_EQ(picture.width, 640);
    EXPECT_EQ(picture.height, 480);
}

TEST(VantorRunTool, KeysFromASettingsFileDriveTheSameRaceAndALineItCannotReadIsTold)
{
    const std::string folder = testFolder();
    const std::string rebound = folder + "wasd.ini";
    const std::string bad = folder + "bad.ini";
    const std::string badText = "[keys]\naccelerate = W\nbrake = Sapce\n";
    {
        std::ofstream(rebound, std::ios::binary) << "[keys]\naccelerate = W\nleft = A\nright = D\n";
        std::ofstream(bad, std::ios::binary) << badText;
    }
    const std::string race = "--seed 31 --settings 1,1,1,0,1,1 --drive auto --frames 600 --trace ";
    const std::vector<tool_run::ToolRun> runs =
        tool_run::runToolTogether("tools/vantor-run", {race + folder + "own.csv",
                                                       race + folder + "wasd.csv --keys " + rebound,
                                                       race + folder + "bad.csv --keys " + bad});
    for (const tool_run::ToolRun& run : runs) {
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, runs[0].out);
    }
    const std::string own = readFile(folder + "own.csv");
    EXPECT_GT(lines(own).size(), 500u);
    EXPECT_EQ(readFile(folder + "wasd.csv"), own) << "W, A and D drive as Up, Left and Right";
    EXPECT_EQ(readFile(folder + "bad.csv"), own) << "the line read holds, brake keeps Space";
    EXPECT_EQ(runs[1].err, "");
    EXPECT_EQ(runs[2].err, bad + ":3: no key is named \"Sapce\"; brake keeps its default\n");
    EXPECT_EQ(readFile(bad), badText);
}

TEST(VantorRunTool, ATrackCodeRunsTheRaceOfItsSeedAndSettingsAndAMistypedOneIsNamed)
{
    const std::string folder = testFolder();
    const tool_run::ToolRun coded = tool_run::runTool("tools/vantor-track", "--code 4294967295 0,1,1,0,1,1");
    ASSERT_EQ(coded.status, 0);
    const std::string code = coded.out.substr(0, 10);
    const tool_run::ToolRun byCode =
        runTool("--track " + code + " --drive auto --frames 900 --trace " + folder + "code.csv");
    const tool_run::ToolRun bySeed = runTool("--seed 4294967295 --settings 0,1,1,0,1,1 --drive auto "
                                             "--frames 900 --trace " + folder + "seed.csv");
    EXPECT_EQ(byCode.status, 0) << byCode.err;
    EXPECT_EQ(byCode.out, bySeed.out);
    EXPECT_EQ(tool_run::readFile(folder + "code.csv"), tool_run::readFile(folder + "seed.csv"));

    std::string typo = code;
    typo[3] = typo[3] == '7' ? '8' : '7';
    const tool_run::ToolRun refused = runTool("--track " + typo + " --drive auto");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--track " + typo + " (it does not check out"), std::string::npos)
        << refused.err;
    EXPECT_EQ(runTool("--track " + code + " --seed 3 --drive auto").status, 2);
}

TEST(VantorRunTool, ARecordedRaceReplaysToTheSameTraceShotsAndSoundAndADamagedReplayIsRefused)
{
    const std::string folder = testFolder();
    const std::vector<std::string> races = {
        "--seed 2024 --settings 0,1,1,0,0,1 --drive auto --step 33",
        "--seed 4294967295 --settings 0,2,2,3,2,0 --drive auto --step 40",
        "--seed 7 --settings 2,0,0,1,1,2 --drive up --frames 400"};
    int n = 0;
    for (const std::string& race : races) {
        const std::string base = folder + std::to_string(++n);
        const std::string outputs = " --shot 200:" + base + "-200.bmp --shot result:" + base +
                                    "-result.bmp --audio " + base + ".wav --trace " + base + ".csv";
        const tool_run::ToolRun recorded = runTool(race + " --record " + base + ".rpl" + outputs);
        ASSERT_EQ(recorded.status, 0) << race << ": " << recorded.err;
        const std::string again = base + "-again";
        const tool_run::ToolRun replayed = runTool(
            "--replay " + base + ".rpl --shot 200:" + again + "-200.bmp --shot result:" + again +
            "-result.bmp --audio " + again + ".wav --trace " + again + ".csv");
        ASSERT_EQ(replayed.status, 0) << race << ": " << replayed.err;
        for (const char* output : {"-200.bmp", "-result.bmp", ".wav", ".csv"}) {
            EXPECT_EQ(tool_run::readFile(base + output), tool_run::readFile(again + output))
                << race << ": " << output << " differs";
        }
    }
    // A damaged or foreign replay: named with what is wrong, status 2, no race.
    std::string bytes = tool_run::readFile(folder + "1.rpl");
    bytes[100] = static_cast<char>(bytes[100] ^ 4);
    tool_run::writeFile(folder + "damaged.rpl", bytes);
    const tool_run::ToolRun damaged = runTool("--replay " + folder + "damaged.rpl");
    EXPECT_EQ(damaged.status, 2);
    EXPECT_NE(damaged.err.find(folder + "damaged.rpl is damaged: its checksum does not match"),
              std::string::npos)
        << damaged.err;
    EXPECT_EQ(runTool("--replay " + folder + "1.csv").status, 2);
    EXPECT_EQ(runTool("--replay " + folder + "1.rpl --seed 3").status, 2);
}

TEST(VantorRunTool, AGhostShowsInTheShotsAndLeavesTheTraceSoundAndResultAsTheyWere)
{
    const std::string folder = testFolder();
    const std::string track = "--seed 7 --settings 0,1,1,0,1,1";
    const std::string best = folder + "best.rpl";
    ASSERT_EQ(runTool(track + " --drive auto --step 33 --record " + best).status, 0);

    // Held Up only, the player falls behind the ghost of the automatic driver's run, which is in
    // sight at frame 110, soon after "GO!".
    const std::string race = track + " --drive up --frames 400 --step 33";
    const auto outputs = [&folder](const std::string& name) {
        return " --trace " + folder + name + ".csv --audio " + folder + name + ".wav --shot 110:" +
               folder + name + "-110.bmp";
    };
    const tool_run::ToolRun alone = runTool(race + outputs("alone"));
    const tool_run::ToolRun ghosted = runTool(race + " --ghost " + best + outputs("ghost"));
    ASSERT_EQ(alone.status, 0) << alone.err;
    ASSERT_EQ(ghosted.status, 0) << ghosted.err;
    EXPECT_EQ(alone.out, ghosted.out);
    for (const char* output : {".csv", ".wav"}) {
        EXPECT_TRUE(readFile(folder + "alone" + output) == readFile(folder + "ghost" + output))
            << output << " differs with the ghost";
    }
    EXPECT_TRUE(readFile(folder + "alone-110.bmp") != readFile(folder + "ghost-110.bmp"))
        << "the ghost is not in the picture";

    // A replay of the race itself drives exactly where the player's car does: the trace of a
    // replay raced against its own ghost is the recording's.
    ASSERT_EQ(
        runTool("--replay " + best + " --ghost " + best + " --trace " + folder + "self.csv").status,
        0);
    ASSERT_EQ(runTool("--replay " + best + " --trace " + folder + "plain.csv").status, 0);
    EXPECT_TRUE(readFile(folder + "self.csv") == readFile(folder + "plain.csv"));

    // The ghost of another track, or a file that is no replay, is refused by name.
    const tool_run::ToolRun other =
        runTool("--seed 8 --settings 0,1,1,0,1,1 --drive up --ghost " + best);
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find(best + " is a replay of track "), std::string::npos) << other.err;
    EXPECT_EQ(runTool(race + " --ghost " + folder + "alone.csv").status, 2);
    EXPECT_EQ(runTool(race + " --ghost " + folder + "missing.rpl").status, 2);
}
