// The whole game on the headless backend, through its real screens: start-up and the full-screen
// question, the main menu's keys and limits, a race from the controls screen to the result
// screen, Escape in a race, the window closed on every screen with everything freed, the race
// seeded from the clock, long frames cut short, and the finishing place.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/controls_screen.h"
#include "race/frame_timer.h"
#include "game/game.h"
#include "game/keys_screen.h"
#include "game/main_menu.h"
#include "game/race_loop.h"
#include "race/race_settings.h"
#include "race/race_state.h"
#include "game/result_screen.h"
#include "objects/game_object.h"
#include "pictures/bitmap.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"
#include "platform/box/own_box.h"
#include "track/random.h"
#include "track/track.h"
#include "track/track_generation.h"
#include "auto_driver.h"
#include "race_player.h"

namespace {

using Screen = GameScreen;

void press(HeadlessBackend& backend, uint32_t key)
{
    backend.keyDown(key);
    backend.keyUp(key);
}

// Runs the game with a script called at the start of every pump; the script gets the backend and
// the screen that runs. A pump budget keeps a broken game from running forever.
struct ScriptedGame {
    using Script = std::function<void(HeadlessBackend&, Screen)>;

    HeadlessBackend backend;
    int exitStatus = -1;
    int pumps = 0;

    void run(Script script, int pumpBudget = 20000)
    {
        backend.setFrameStep(16);
        backend.setPumpHook([this, script, pumpBudget](HeadlessBackend& b) {
            if (++pumps > pumpBudget) {
                ADD_FAILURE() << "the game still runs after " << pumpBudget << " pumps";
                b.closeRequest();
                return;
            }
            script(b, currentGameScreen());
        });
        exitStatus = runGame(&backend);
    }
};

// Everything a race or a screen made is freed again, and the window is gone.
void expectEverythingReleased(const ScriptedGame& game, const PictureCounts& before)
{
    EXPECT_EQ(game.exitStatus, 0);
    EXPECT_FALSE(game.backend.isOpen());
    const PictureCounts after = livePictureCounts();
    EXPECT_EQ(after.bitmaps, before.bitmaps);
    EXPECT_EQ(after.spriteLevels, before.spriteLevels);
    EXPECT_EQ(after.fonts, before.fonts);
    EXPECT_EQ(liveGameObjectCount(), 0);
    EXPECT_FALSE(raceState.raceRunning);
    const void* left[] = {raceState.frameTimer,
                          raceState.camera,
                          raceState.skyLayer,
                          raceState.track,
                          raceState.cars,
                          raceState.opponentDrivers,
                          raceState.raceFont,
                          raceState.hudGaugeFullLeft,
                          raceState.hudGaugeEmptyRight,
                          mainMenu.menuFont,
                          controlsScreen.font,
                          keysScreen.font,
                          keysScreen.arrow,
                          resultScreen.resultLine};
    for (const void* pointer : left)
        EXPECT_EQ(pointer, nullptr);
}

// The six menu indices in menu order, one digit each.
std::string settings()
{
    std::string digits;
    for (int32_t index :
         {raceSettings.trackLength, raceSettings.hillSteepness, raceSettings.turnSharpness,
          raceSettings.numCompetitors, raceSettings.aiCarSpeed, raceSettings.gridSpacing})
        digits += static_cast<char>('0' + index);
    return digits;
}

// True when some pixel of the frame is not black.
bool showsSomething(const Surface& frame)
{
    for (uint32_t pixel : frame.pixels) {
        if (pixel != 0)
            return true;
    }
    return false;
}

} // namespace

TEST(GameStart, TitlesTheWindowAsksTheQuestionAndEndsWithStatusZeroOnEscape)
{
    const PictureCounts before = livePictureCounts();
    ScriptedGame game;
    bool sawMenu = false;
    game.run([&](HeadlessBackend& b, Screen screen) {
        if (screen == Screen::Menu && b.presentCount() > 0) {
            sawMenu = true;
            EXPECT_EQ(b.title(), "Vantor (Version 1.02)");
            EXPECT_EQ(b.clientWidthShown(), 640);
            EXPECT_EQ(b.clientHeightShown(), 480);
            // Centred on the 1920 x 1080 desktop with a 6 x 29 frame.
            EXPECT_EQ(b.windowX(), 1920 / 2 - 646 / 2);
            EXPECT_EQ(b.windowY(), 1080 / 2 - 509 / 2);
            EXPECT_TRUE(showsSomething(b.lastFrame()));
            b.keyDown(keyEscape);
        }
    });
    EXPECT_TRUE(sawMenu);
    ASSERT_EQ(game.backend.shownBoxes().size(), 1u);
    const auto& question = game.backend.shownBoxes()[0];
    EXPECT_EQ(question.kind, MessageBoxKind::Question);
    EXPECT_EQ(question.caption, "Vantor (Version 1.02) : Run game in fullscreen mode.");
    EXPECT_EQ(question.text,
              "Do you want to run the game in fullscreen mode? \nPeformance may be degraded on "
              "some machines in fullscreen mode, on others it may increase.");
    EXPECT_FALSE(game.backend.isFullscreen());
    expectEverythingReleased(game, before);
}

TEST(GameStart, WithoutTheSystemsBoxTheQuestionIsAskedInTheWindowWithTheGamesFont)
{
    const PictureCounts before = livePictureCounts();
    ScriptedGame game;
    game.backend.failMessageBoxes = true;
    const char* caption = "Vantor (Version 1.02) : Run game in fullscreen mode.";
    const char* text =
        "Do you want to run the game in fullscreen mode? \nPeformance may be degraded on "
        "some machines in fullscreen mode, on others it may increase.";
    // The small font's cells are 16 x 24.
    const BoxLayout layout = layoutBox(640, 480, 16, 24, MessageBoxKind::Question, caption, text);
    bool asked = false;
    bool sawMenu = false;
    testing::internal::CaptureStderr();
    game.run([&](HeadlessBackend& b, Screen screen) {
        if (!asked && b.presentCount() > 0) {
            asked = true;
            // The caption's first letter, "V", is written in the title band with the game's font.
            const Surface& frame = b.lastFrame();
            int lit = 0;
            for (int y = layout.captionTop; y < layout.captionTop + 24; ++y) {
                for (int x = layout.textLeft; x < layout.textLeft + 16; ++x) {
                    lit += frame.pixels[static_cast<size_t>(y) * 640 + x] != 0x0030408Cu ? 1 : 0;
                }
            }
            EXPECT_GT(lit, 10) << "no letter in the title band";
            const PixelRect& yes = layout.buttons[0];
            b.mouseDown(yes.x + 5, yes.y + 5, 1);
            return;
        }
        if (asked && screen == Screen::Menu && b.presentCount() > 3) {
            sawMenu = true;
            EXPECT_TRUE(b.isFullscreen()) << "the answer Yes did not reach the game";
            EXPECT_EQ(b.cursor(), 0);
            b.keyDown(keyEscape);
        }
    });
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(sawMenu);
    EXPECT_TRUE(game.backend.shownBoxes().empty());
    EXPECT_NE(written.find("The system cannot show a message box"), std::string::npos) << written;
    expectEverythingReleased(game, before);
}

TEST(GameStart, ClosingTheWindowAtTheQuestionInTheWindowEndsTheGame)
{
    // The window closed while the game asks in it, and the session's request to end at the same
    // moment: the game ends with status 0, no menu run in a window that is gone.
    const PictureCounts before = livePictureCounts();
    ScriptedGame game;
    game.backend.failMessageBoxes = true;
    bool closed = false;
    int pumpsAfter = 0;
    testing::internal::CaptureStderr();
    game.run([&](HeadlessBackend& b, Screen) {
        if (closed) {
            ++pumpsAfter;
        } else if (b.presentCount() > 0) {
            closed = true;
            b.closeRequest();
            b.closeRequest();
        }
    });
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(closed);
    EXPECT_EQ(pumpsAfter, 0) << "the game went on after its window was closed";
    EXPECT_FALSE(game.backend.isFullscreen());
    expectEverythingReleased(game, before);
}

TEST(MainMenu, ArrowKeysMoveWithinEveryLimitAndNothingWraps)
{
    ScriptedGame game;
    int step = 0;
    game.run([&](HeadlessBackend& b, Screen screen) {
        ASSERT_EQ(screen, Screen::Menu);
        switch (step++) {
        case 0:
            // Fresh start: row 0, every setting at "NORMAL".
            EXPECT_EQ(mainMenu.menuSelectedRow, 0);
            EXPECT_EQ(settings(), "111111");
            // Up on row 0 does nothing; on every row three Lefts stop at 0.
            press(b, keyUp);
            for (int row = 0; row < 6; ++row) {
                for (int i = 0; i < 3; ++i)
                    press(b, keyLeft);
                press(b, keyDown);
            }
            // Down on row 5 did nothing: row 5 stays.
            break;
        case 1:
            EXPECT_EQ(mainMenu.menuSelectedRow, 5);
            EXPECT_EQ(settings(), "000000");
            // Back up with five Rights on every row: each stops at its top index.
            for (int row = 5; row >= 0; --row) {
                for (int i = 0; i < 5; ++i)
                    press(b, keyRight);
                press(b, keyUp);
            }
            break;
        case 2:
            EXPECT_EQ(mainMenu.menuSelectedRow, 0);
            EXPECT_EQ(settings(), "222322");
            // Keys the menu does not know change nothing.
            press(b, 'A');
            press(b, 0x20);
            break;
        case 3:
            EXPECT_EQ(mainMenu.menuSelectedRow, 0);
            EXPECT_EQ(settings(), "222322");
            b.keyDown(keyEscape);
            break;
        default: ADD_FAILURE() << "the menu did not end on Escape"; b.closeRequest();
        }
    });
    EXPECT_EQ(game.exitStatus, 0);
    EXPECT_FALSE(game.backend.isOpen());
}

TEST(Race, FirstRaceUsesTheNormalSettingsAndIsSeededFromTheClock)
{
    // The race seeds its random source with the clock reading at its set-up: the same clock
    // gives the same track as generating one from that seed.
    constexpr uint32_t seed = 123456789;
    ScriptedGame game;
    bool checked = false;
    game.run([&](HeadlessBackend& b, Screen screen) {
        switch (screen) {
        case Screen::Menu:
            // Escape is still held from the race: the menu acts on it only when pressed anew.
            if (checked) {
                press(b, keyEscape);
            } else {
                b.keyDown(keyEnter);
            }
            break;
        case Screen::Controls:
            // No present follows the Enter's own frame of this screen when the frame step is 0.
            b.setFrameStep(0);
            b.setClock(seed);
            press(b, keyEnter);
            break;
        case Screen::Race:
            if (!checked) {
                checked = true;
                EXPECT_EQ(static_cast<uint32_t>(raceState.frameTimer->lastClock), seed);
                EXPECT_EQ(raceState.carCount, 16u);
                ASSERT_EQ(raceState.track->segmentCount, 2048u);
                EXPECT_FLOAT_EQ(raceState.cars[1]->position.z - raceState.cars[0]->position.z,
                                4096.0f);
                const uint32_t gameRandom = randomState();
                seedRandom(seed);
                Track* expected = generateTrack(2048, 6000.0f, 32500.0f, 6000.0f, 32500.0f);
                seedRandom(gameRandom);
                for (uint32_t i = 0; i < 2048; i += 97) {
                    EXPECT_EQ(raceState.track->segments[i]->farHeight,
                              expected->segments[i]->farHeight);
                    EXPECT_EQ(raceState.track->segments[i]->farLeft,
                              expected->segments[i]->farLeft);
                }
                freeTrack(&expected);
                b.setFrameStep(16);
            }
            b.keyDown(keyEscape);
            break;
        case Screen::Keys: break; // never opened here
        case Screen::Result: press(b, keyEnter); break;
        }
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(game.exitStatus, 0);
}

TEST(Race, EscapeDuringTheRaceShowsTheQuitResultAndReturnsToTheMenu)
{
    const PictureCounts before = livePictureCounts();
    ScriptedGame game;
    int raceFrames = 0;
    int menuVisits = 0;
    bool sawResult = false;
    int settingAfterRace = -1;
    game.run([&](HeadlessBackend& b, Screen screen) {
        switch (screen) {
        case Screen::Menu:
            if (++menuVisits == 1) {
                press(b, keyLeft); // track length "SHORT "
                press(b, keyEnter);
            } else if (sawResult) {
                settingAfterRace = raceSettings.trackLength;
                b.keyDown(keyEscape);
            }
            break;
        case Screen::Controls:
            // Escape does not leave the controls screen; Enter does.
            press(b, keyEscape);
            press(b, keyEnter);
            break;
        case Screen::Race:
            b.keyDown(keyUp);
            // Past the countdown (3 s at 16 ms a frame) the car moves; then Escape.
            if (++raceFrames == 400) {
                EXPECT_GT(raceState.cars[0]->position.z, 4096.0f);
                b.keyDown(keyEscape);
            }
            break;
        case Screen::Keys: break; // never opened here
        case Screen::Result:
            if (!sawResult) {
                sawResult = true;
                EXPECT_EQ(raceState.finishPosition, -1);
                EXPECT_STREQ(resultScreen.headline, "Feeling a bit peckish?");
                EXPECT_STREQ(resultScreen.resultLine, "You did not finish!");
                // Escape does not leave the result screen either.
                b.keyUp(keyEscape);
                press(b, keyEscape);
            } else {
                press(b, keyEnter);
            }
            break;
        }
    });
    EXPECT_TRUE(sawResult);
    EXPECT_EQ(settingAfterRace, 0);
    expectEverythingReleased(game, before);
}

TEST(Race, LongFramesAreCutToATenthOfASecond)
{
    // A five-second stall during the countdown takes 0.1 s off it, not 5 s, and enters the
    // 8-frame mean as 0.1 s; a clock that steps back gives a frame of no time.
    ScriptedGame game;
    int raceFrames = 0;
    float countdownBefore = 0.0f;
    bool done = false;
    game.run([&](HeadlessBackend& b, Screen screen) {
        switch (screen) {
        case Screen::Menu: b.keyDown(done ? keyEscape : keyEnter); break;
        case Screen::Controls: press(b, keyEnter); break;
        case Screen::Race:
            ++raceFrames;
            if (raceFrames == 8) {
                // Seven frames so far: no block mean yet.
                EXPECT_EQ(raceState.averageFrameSeconds, 0.0f);
                countdownBefore = raceState.countdownSeconds;
                b.advanceClock(5000);
            } else if (raceFrames == 9) {
                EXPECT_NEAR(countdownBefore - raceState.countdownSeconds, 0.1, 1e-5);
                // The block: the first frame (no time: the clock moves when a frame is shown),
                // six frames of 16 ms and the stalled one.
                EXPECT_NEAR(raceState.averageFrameSeconds, (6 * 0.016 + 0.1) * 0.125, 1e-6);
                countdownBefore = raceState.countdownSeconds;
                b.setClock(b.milliseconds() - 2000);
            } else if (raceFrames == 10) {
                EXPECT_EQ(raceState.frameTimer->elapsedSeconds, 0.0f);
                EXPECT_EQ(raceState.countdownSeconds, countdownBefore);
                done = true;
                b.keyDown(keyEscape);
            }
            break;
        case Screen::Keys: break; // never opened here
        case Screen::Result:
            b.keyUp(keyEscape);
            press(b, keyEnter);
            break;
        }
    });
    EXPECT_TRUE(done);
}

TEST(HeldKeys, AKeyHeldIntoTheNextScreenActsThereOnlyWhenPressedAgain)
{
    // Enter held down on the menu leaves it; its repeats do not leave the controls screen too.
    ScriptedGame game;
    int controlsPumps = 0;
    bool raced = false;
    game.run([&](HeadlessBackend& b, Screen screen) {
        if (screen == Screen::Menu) {
            b.keyDown(keyEnter);
        } else if (screen == Screen::Controls) {
            if (++controlsPumps < 30) {
                b.keyDown(keyEnter); // the held key's automatic repeat
            } else if (controlsPumps == 30) {
                b.keyUp(keyEnter);
                b.keyDown(keyEnter); // pressed anew: this one counts
            }
        } else if (screen == Screen::Race) {
            raced = true;
            b.closeRequest();
        }
    });
    EXPECT_GE(controlsPumps, 30);
    EXPECT_TRUE(raced);
}

TEST(HeldKeys, KeysTypedWhileTheQuestionIsShownAreDropped)
{
    // Escape typed at the full-screen question would otherwise quit the game at once.
    ScriptedGame game;
    press(game.backend, keyEscape);
    int menuPumps = 0;
    game.run([&](HeadlessBackend& b, Screen screen) {
        if (screen == Screen::Menu && ++menuPumps == 5) {
            b.closeRequest();
        }
    });
    EXPECT_EQ(menuPumps, 5);
}

TEST(HeldKeys, AKeyHeldToAnswerTheQuestionInTheWindowDoesNotActOnTheMenu)
{
    // Escape held answers No and would quit the menu; Enter held answers Yes and would start a
    // race. Their repeats and release on the menu do nothing; pressed anew, they count.
    for (const uint32_t key : {keyEscape, keyEnter}) {
        ScriptedGame game;
        game.backend.failMessageBoxes = true;
        bool answered = false;
        int menuPumps = 0;
        bool leftTheMenu = false;
        bool fullscreenOnMenu = false;
        testing::internal::CaptureStderr();
        game.run([&](HeadlessBackend& b, Screen screen) {
            if (!answered) {
                if (b.presentCount() > 0) {
                    answered = true;
                    b.keyDown(key);
                }
                return;
            }
            if (screen != Screen::Menu) {
                leftTheMenu = true;
                b.closeRequest();
                return;
            }
            fullscreenOnMenu = b.isFullscreen();
            ++menuPumps;
            if (menuPumps < 40) {
                b.keyDown(key); // the held key's automatic repeat
            } else if (menuPumps == 40) {
                b.keyUp(key);
            } else if (menuPumps == 45) {
                press(b, keyEscape);
            }
        });
        testing::internal::GetCapturedStderr();
        EXPECT_TRUE(answered);
        EXPECT_FALSE(leftTheMenu) << "the key held for the question started a race";
        EXPECT_EQ(menuPumps, 45) << "the menu did not wait for a fresh Escape";
        EXPECT_EQ(fullscreenOnMenu, key == keyEnter) << "Enter answers Yes, Escape No";
        EXPECT_EQ(game.exitStatus, 0);
    }
}

TEST(HeldKeys, AKeyPressedAndReleasedBetweenTwoRaceFramesCountsForOneFrame)
{
    ScriptedGame game;
    int raceFrames = 0;
    float sideSpeedBefore = 0.0f;
    float sideSpeedAfterTap = 0.0f;
    float sideSpeedLater = 0.0f;
    int framesAfterEscape = -1;
    game.run([&](HeadlessBackend& b, Screen screen) {
        switch (screen) {
        case Screen::Menu: press(b, raceFrames == 0 ? keyEnter : keyEscape); break;
        case Screen::Controls: press(b, keyEnter); break;
        case Screen::Race:
            ++raceFrames;
            if (framesAfterEscape >= 0) {
                ++framesAfterEscape;
            }
            b.keyDown(keyUp);
            // Past the countdown the car moves: one tap of Left steers it for one frame.
            if (raceFrames == 300) {
                sideSpeedBefore = raceState.cars[0]->velocity.x;
                press(b, keyLeft);
            } else if (raceFrames == 301) {
                sideSpeedAfterTap = raceState.cars[0]->velocity.x;
            } else if (raceFrames == 303) {
                sideSpeedLater = raceState.cars[0]->velocity.x;
                b.keyUp(keyUp);
                press(b, keyEscape);
                framesAfterEscape = 0;
            } else if (raceFrames > 310) {
                b.closeRequest();
            }
            break;
        case Screen::Keys: break; // never opened here
        case Screen::Result: press(b, keyEnter); break;
        }
    });
    EXPECT_LT(sideSpeedAfterTap, sideSpeedBefore);
    EXPECT_GT(sideSpeedLater, sideSpeedAfterTap) << "the tap steered for one frame only";
    EXPECT_EQ(framesAfterEscape, 0) << "the tap of Escape ended the race at the next frame";
}

// Closing the window on every screen ends the game at once with status 0, no window left and
// every picture, font and game object freed.
class WindowClosed : public testing::TestWithParam<const char*> {};

TEST_P(WindowClosed, EndsTheGameCleanly)
{
    const std::string where = GetParam();
    const PictureCounts before = livePictureCounts();
    ScriptedGame game;
    int raceFrames = 0;
    bool closed = false;
    bool sawResult = false;
    game.run([&](HeadlessBackend& b, Screen screen) {
        ASSERT_FALSE(closed) << "the game went on after the window was closed";
        auto closeHere = [&] {
            closed = true;
            b.closeRequest();
        };
        switch (screen) {
        case Screen::Menu:
            if (where == "menu")
                closeHere();
            else if (where == "keys")
                b.keyDown('K');
            else
                b.keyDown(keyEnter);
            break;
        case Screen::Keys: closeHere(); break;
        case Screen::Controls:
            if (where == "controls")
                closeHere();
            else
                press(b, keyEnter);
            break;
        case Screen::Race:
            ++raceFrames;
            if (where == "countdown" && raceFrames == 20) {
                EXPECT_GT(raceState.countdownSeconds, 0.0f);
                closeHere();
            } else if (where == "race" && raceFrames == 400) {
                EXPECT_LE(raceState.countdownSeconds, 0.0f);
                closeHere();
            } else if (where == "result" && raceFrames == 30) {
                b.keyDown(keyEscape);
            } else {
                b.keyDown(keyUp);
            }
            break;
        case Screen::Result:
            sawResult = true;
            closeHere();
            break;
        }
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(sawResult, where == "result");
    if (where == "controls") {
        EXPECT_EQ(raceFrames, 0) << "a race was built after the window was closed";
    }
    expectEverythingReleased(game, before);
}

INSTANTIATE_TEST_SUITE_P(OnEveryScreen, WindowClosed,
                         testing::Values("menu", "keys", "controls", "countdown", "race",
                                         "result"));

TEST(FinishingPlace, RanksByTheMomentEachCarCrossedTheLine)
{
    constexpr float line = 100000.0f;
    // The opponent reached the line a third into the frame, the player two thirds in, although
    // the player's frame ends further on: the opponent is ahead.
    {
        const float start[] = {line - 100.0f, line - 10.0f};
        const float end[] = {line + 50.0f, line + 20.0f};
        EXPECT_EQ(finishingPlace(start, end, 2, line), 2);
    }
    // The player crossed first, although the opponent ends the frame level with the player.
    {
        const float start[] = {line - 10.0f, line - 100.0f};
        const float end[] = {line + 90.0f, line + 90.0f};
        EXPECT_EQ(finishingPlace(start, end, 2, line), 1);
    }
    // Crossing at the same moment counts as ahead; an opponent past the line before the frame is
    // ahead however slow; one that stays short of the line (or exactly on it) is behind.
    {
        const float start[] = {line - 50.0f, line - 100.0f, line + 1.0f, line - 5.0f, line - 9.0f};
        const float end[] = {line + 50.0f, line + 100.0f, line + 1.0f, line, line - 1.0f};
        EXPECT_EQ(finishingPlace(start, end, 5, line), 3);
    }
}

TEST(FinishingPlace, AgreesWithTheCarsPositionsInARealRace)
{
    // The player drives with the automatic driver on a short track against the slowest
    // opponents. The place must count every opponent that was past the line before the player's
    // last frame, and none that was further back than any car covers in one frame.
    ScriptedGame game;
    std::vector<float> lastZ;
    float finishLine = 0.0f;
    int32_t place = 0;
    uint32_t cars = 0;
    Steer steering = Steer::None;
    game.run(
        [&](HeadlessBackend& b, Screen screen) {
            switch (screen) {
            case Screen::Menu:
                if (place != 0) {
                    b.keyDown(keyEscape);
                } else {
                    press(b, keyLeft); // short track
                    press(b, keyDown);
                    press(b, keyDown);
                    press(b, keyDown);
                    press(b, keyLeft); // 8 cars
                    press(b, keyDown);
                    press(b, keyLeft); // slow opponents
                    press(b, keyEnter);
                }
                break;
            case Screen::Controls: press(b, keyEnter); break;
            case Screen::Race: {
                b.keyDown(keyUp);
                const Steer steer = autoSteer(*raceState.cars[0], raceState.track, 0.016f);
                if (steer != steering) {
                    if (steering != Steer::None)
                        b.keyUp(steering == Steer::Left ? keyLeft : keyRight);
                    if (steer != Steer::None)
                        b.keyDown(steer == Steer::Left ? keyLeft : keyRight);
                    steering = steer;
                }
                cars = raceState.carCount;
                finishLine = static_cast<float>(raceState.track->segmentCount - 80) * 3000.0f;
                lastZ.assign(cars, 0.0f);
                for (uint32_t i = 0; i < cars; ++i)
                    lastZ[i] = raceState.cars[i]->position.z;
                break;
            }
            case Screen::Keys: break; // never opened here
            case Screen::Result:
                place = raceState.finishPosition;
                press(b, keyEnter);
                break;
            }
        },
        40000);
    ASSERT_GE(place, 1) << "the player did not finish";
    ASSERT_EQ(cars, 8u);
    const float longestStep = 120000.0f * 0.1f; // faster than any car, for the longest frame
    int32_t surelyAhead = 0;
    int32_t possiblyAhead = 0;
    for (uint32_t i = 1; i < cars; ++i) {
        surelyAhead += lastZ[i] > finishLine ? 1 : 0;
        possiblyAhead += lastZ[i] > finishLine - longestStep ? 1 : 0;
    }
    EXPECT_GE(place, 1 + surelyAhead);
    EXPECT_LE(place, 1 + possiblyAhead);
    EXPECT_EQ(resultScreen.headline, nullptr); // cleared once the screen ended
}

TEST(ResultScreen, WritesThePlaceInWords)
{
    char line[256];
    const std::pair<int32_t, const char*> cases[] = {
        {-1, "You did not finish!"}, {0, "You did not finish!"}, {1, "You came 1st."},
        {2, "You came 2nd."},        {3, "You came 3rd."},       {4, "You came 4th."},
        {11, "You came 11th."},      {12, "You came 12th."},     {13, "You came 13th."},
        {21, "You came 21st."},      {22, "You came 22nd."},     {23, "You came 23rd."},
    };
    for (const auto& [place, text] : cases) {
        buildResultLine(place, line, sizeof line);
        EXPECT_STREQ(line, text) << "place " << place;
    }
    // A short buffer is never overrun: the sentence is cut and still terminated.
    char shortLine[8];
    buildResultLine(32, shortLine, sizeof shortLine);
    EXPECT_STREQ(shortLine, "You cam");
}
