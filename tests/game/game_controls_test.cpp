// The player's keys in the whole game on the headless backend: a race driven with rebound keys is
// the race of the game's own keys; the keys screen rebinds, swaps and restores, and the settings
// file then holds it with the player's comments; a file with a line the game cannot read is told
// and never written; no file is made while nothing changes; the controls screen writes the
// player's keys when they are not the game's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "controls/player_controls.h"
#include "game/game.h"
#include "game/keys_screen.h"
#include "objects/game_object.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"
#include "race/race_state.h"
#include "race_player.h"
#include "test_folder.h"
#include "tool_run.h"

namespace {

void press(HeadlessBackend& backend, uint32_t key)
{
    backend.keyDown(key);
    backend.keyUp(key);
}

// Plays one race with the automatic driver for `frames` frames and the settings file at `path`
// (null for none); returns the player's car after every race frame as "x,z,speed".
std::vector<std::string> driveRace(const char* path, uint64_t frames)
{
    RacePlan plan;
    plan.seed = 2024;
    plan.drive = Drive::Auto;
    plan.maxFrames = frames;
    RacePlayer player(plan);
    std::vector<std::string> trace;
    player.raceFrameShown = [&trace](const HeadlessBackend&, uint64_t) {
        if (!raceState.raceRunning)
            return;
        const Obj_Car& car = *raceState.cars[0];
        char line[96];
        std::snprintf(line, sizeof line, "%.9g,%.9g,%.9g", static_cast<double>(car.position.x),
                      static_cast<double>(car.position.z), static_cast<double>(car.velocity.z));
        trace.push_back(line);
    };
    HeadlessBackend backend;
    backend.setPumpHook([&player](HeadlessBackend& b) { player.onPump(b); });
    EXPECT_EQ(runGame(&backend, GameOptions{path, "", ""}), 0);
    return trace;
}

// Runs the game with the settings file at `path` and a script called at the start of every pump
// with the screen that runs; a pump budget keeps a broken game from running forever.
void runScripted(const char* path, const std::function<void(HeadlessBackend&, GameScreen)>& script)
{
    HeadlessBackend backend;
    backend.setFrameStep(16);
    int pumps = 0;
    backend.setPumpHook([&](HeadlessBackend& b) {
        if (++pumps > 5000) {
            ADD_FAILURE() << "the game still runs after 5000 pumps";
            b.closeRequest();
            return;
        }
        script(b, currentGameScreen());
    });
    EXPECT_EQ(runGame(&backend, GameOptions{path, "", ""}), 0);
}

} // namespace

TEST(ReboundKeys, WAndTheSteeringOfTheFileDriveTheSameRaceAsTheGamesOwnKeys)
{
    const std::string path = testFolder() + "vantor.ini";
    tool_run::writeFile(path, "[keys]\naccelerate = W\nleft = A\nright = D\n");
    const std::vector<std::string> own = driveRace(nullptr, 700);
    const std::vector<std::string> rebound = driveRace(path.c_str(), 700);
    EXPECT_EQ(playerControls.settings.bindings.keys[indexOf(Action::Accelerate)][0], 'W');
    ASSERT_EQ(own.size(), 700u);
    EXPECT_NE(own.front(), own.back()) << "the car drove";
    EXPECT_EQ(rebound, own);

    // Up is no throttle any more: held through the race, the car stays on the grid.
    float startZ = -1.0f;
    float endZ = -1.0f;
    int frames = 0;
    runScripted(path.c_str(), [&](HeadlessBackend& b, GameScreen screen) {
        switch (screen) {
        case GameScreen::Menu: press(b, frames == 0 ? keyEnter : keyEscape); break;
        case GameScreen::Controls: press(b, keyEnter); break;
        case GameScreen::Race:
            if (++frames == 1) {
                startZ = raceState.cars[0]->position.z;
            } else if (frames == 400) {
                endZ = raceState.cars[0]->position.z;
                press(b, keyEscape);
            }
            b.keyDown(keyUp);
            break;
        case GameScreen::Keys:
        case GameScreen::Result:
            b.keyUp(keyUp);
            press(b, keyEnter);
            break;
        }
    });
    EXPECT_EQ(frames, 400);
    EXPECT_EQ(endZ, startZ);
}

TEST(KeysScreen, RebindsSwapsAndRestoresAndTheFileHoldsItWithItsComments)
{
    const std::string path = testFolder() + "vantor.ini";
    const std::string comments = "# Vantor, set by hand\n"
                                 "[keys]\n"
                                 "# the throttle\n"
                                 "accelerate = Up\n"
                                 "\n"
                                 "[game]\n"
                                 "volume = 80\n";
    tool_run::writeFile(path, comments);
    // One step a pump on the keys screen; `files` keeps the file after chosen steps.
    std::vector<std::function<void(HeadlessBackend&)>> steps = {
        [](HeadlessBackend& b) { press(b, keyEnter); }, // pick accelerate
        [](HeadlessBackend& b) { press(b, 'W'); },      // W: the file is written now
        [](HeadlessBackend& b) { press(b, keyDown); },
        [](HeadlessBackend& b) { press(b, keyEnter); }, // pick brake
        [](HeadlessBackend& b) { press(b, 'W'); },      // W again: accelerate takes Space
        [](HeadlessBackend& b) { press(b, keyDown); },
        [](HeadlessBackend& b) { press(b, keyEnter); },  // pick steer left
        [](HeadlessBackend& b) { press(b, keyEscape); }, // cancelled
        [](HeadlessBackend& b) { press(b, keyEnter); },
        [](HeadlessBackend& b) {
            b.controller(ControllerState{padLeftShoulder, 0, 0, 0, 0});
        },
        [](HeadlessBackend& b) { b.controller(ControllerState{}); },
    };
    std::vector<std::string> files;
    size_t step = 0;
    bool restored = false;
    bool keysShown = false;
    runScripted(path.c_str(), [&](HeadlessBackend& b, GameScreen screen) {
        if (screen == GameScreen::Menu) {
            press(b, keysShown ? keyEscape : 'K');
            return;
        }
        ASSERT_EQ(screen, GameScreen::Keys);
        keysShown = true;
        if (step == 1) {
            EXPECT_TRUE(keysScreen.waiting);
        }
        if (step < steps.size()) {
            steps[step++](b);
            return;
        }
        if (!restored) {
            EXPECT_FALSE(keysScreen.waiting);
            files.push_back(tool_run::readFile(path));
            press(b, keyBackspace);
            restored = true;
            return;
        }
        files.push_back(tool_run::readFile(path));
        press(b, keyEscape);
    });
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], "# Vantor, set by hand\n"
                        "[keys]\n"
                        "# the throttle\n"
                        "accelerate = Space\n"
                        "brake = W\n"
                        "\n"
                        "[game]\n"
                        "volume = 80\n"
                        "\n"
                        "[controller]\n"
                        "left = LeftShoulder\n");
    EXPECT_EQ(files[1], "# Vantor, set by hand\n"
                        "[keys]\n"
                        "# the throttle\n"
                        "accelerate = Up\n"
                        "brake = Space\n"
                        "\n"
                        "[game]\n"
                        "volume = 80\n"
                        "\n"
                        "[controller]\n"
                        "left = DpadLeft, StickLeft\n");
}

TEST(KeysScreen, AFileWithALineThatCannotBeReadIsToldAndStaysByteForByte)
{
    const std::string path = testFolder() + "vantor.ini";
    const std::string text = "[keys]\naccelerate = W\nbrake = Sapce\n";
    tool_run::writeFile(path, text);
    bool keysShown = false;
    int keysPumps = 0;
    testing::internal::CaptureStderr();
    runScripted(path.c_str(), [&](HeadlessBackend& b, GameScreen screen) {
        if (screen == GameScreen::Menu) {
            press(b, keysShown ? keyEscape : 'K');
            return;
        }
        keysShown = true;
        switch (keysPumps++) {
        case 0: press(b, keyEnter); break;
        case 1: press(b, 'Q'); break;
        case 2: press(b, keyBackspace); break;
        default: press(b, keyEscape); break;
        }
    });
    const std::string told = testing::internal::GetCapturedStderr();
    const std::string notSaved =
        path + ": The change is not saved, as line 3 could not be read; it holds until the game "
               "ends.\n";
    EXPECT_EQ(told, path + ":3: no key is named \"Sapce\"; brake keeps its default\n" + notSaved +
                        notSaved);
    EXPECT_EQ(tool_run::readFile(path), text);
}

TEST(SettingsFile, NoFileIsMadeWhileNothingChanges)
{
    const std::string path = testFolder() + "config/vantor/vantor.ini";
    bool keysShown = false;
    int frames = 0;
    runScripted(path.c_str(), [&](HeadlessBackend& b, GameScreen screen) {
        switch (screen) {
        case GameScreen::Menu:
            press(b, !keysShown ? 'K' : frames == 0 ? keyEnter : keyEscape);
            break;
        case GameScreen::Keys:
            keysShown = true;
            press(b, keyBackspace); // the defaults already: nothing changes
            press(b, keyEscape);
            break;
        case GameScreen::Controls: press(b, keyEnter); break;
        case GameScreen::Race:
            if (++frames == 10) {
                press(b, keyF10);
                press(b, keyM);
            } else if (frames == 300) {
                press(b, keyEscape);
            }
            b.keyDown(keyUp);
            break;
        case GameScreen::Result: press(b, keyEnter); break;
        }
    });
    EXPECT_TRUE(keysShown);
    EXPECT_EQ(frames, 300);
    EXPECT_FALSE(std::filesystem::exists(testFolder() + "config"));
}

TEST(ControlsScreen, WritesThePlayersKeysUnderTheBarWhenTheyAreNotTheGamesOwn)
{
    // The controls screen's first frame, with the settings file at `path`.
    const auto controlsFrame = [](const char* path) {
        Surface frame;
        int controlsPumps = 0;
        runScripted(path, [&](HeadlessBackend& b, GameScreen screen) {
            if (screen == GameScreen::Menu) {
                press(b, keyEnter);
            } else if (screen == GameScreen::Controls && ++controlsPumps == 2) {
                frame = b.lastFrame(); // the screen's first frame, shown by the pump before
                b.closeRequest();
            }
        });
        return frame;
    };
    const Surface own = controlsFrame(nullptr);
    const std::string path = testFolder() + "vantor.ini";
    tool_run::writeFile(path, "[controller]\nbrake = RightShoulder\n");
    const Surface controllerOnly = controlsFrame(path.c_str());
    tool_run::writeFile(path, "[keys]\naccelerate = W\n");
    const Surface rebound = controlsFrame(path.c_str());
    ASSERT_EQ(own.pixels.size(), 640u * 480u);
    ASSERT_EQ(rebound.pixels.size(), own.pixels.size());
    // Rows drawn differently: only between the lower bar (480 - 5 cells of 24, 12 high) and
    // the prompt (480 - 24).
    int firstRow = 480;
    int lastRow = -1;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (rebound.pixels[static_cast<size_t>(y * 640 + x)] !=
                own.pixels[static_cast<size_t>(y * 640 + x)]) {
                firstRow = std::min(firstRow, y);
                lastRow = std::max(lastRow, y);
            }
        }
    }
    EXPECT_GE(firstRow, 372);
    EXPECT_LT(lastRow, 456);
    EXPECT_GT(lastRow, firstRow) << "the keys were written";
    EXPECT_EQ(controllerOnly.pixels, own.pixels) << "the key layout picture is still true";
}
