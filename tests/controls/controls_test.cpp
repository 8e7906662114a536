// The game's controls: the names of keys and controller inputs, the keys screen's changes to the
// bindings, the settings file read and written back, and the controls on a window: the
// controller's layouts, the every-screen keys and the race's held actions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/input_names.h"
#include "controls/player_controls.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "test_folder.h"
#include "tool_run.h"

namespace {

const BindingList& keysOf(const Settings& settings, Action action)
{
    return settings.bindings.keys[indexOf(action)];
}

std::vector<uint32_t> listed(const BindingList& list)
{
    return std::vector<uint32_t>(std::begin(list), std::begin(list) + bindingCount(list));
}

} // namespace

TEST(InputNames, EveryKeyAndControllerInputReadsBackFromItsNameInAnyCase)
{
    for (uint32_t code = 1; code < 256; ++code) {
        const std::string name = keyName(code);
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        uint32_t read = 0;
        EXPECT_TRUE(parseKeyName(name, &read) && read == code) << name;
        EXPECT_TRUE(parseKeyName(lower, &read) && read == code) << lower;
    }
    for (uint32_t code = padCodeBase; code < inputCodeCount; ++code) {
        uint32_t read = 0;
        EXPECT_TRUE(parsePadName(padName(code), &read) && read == code) << padName(code);
    }
    EXPECT_EQ(keyName(keyEnter | withAlt), "Alt+Enter");
    EXPECT_EQ(keyName('W' | withCtrl | withShift), "Shift+Ctrl+W");
    EXPECT_EQ(keyName(0x68), "Keypad8");
    EXPECT_EQ(keyName(0x92), "Key146");

    const std::pair<const char*, uint32_t> spellings[] = {
        {"w", 'W'},
        {" Up", 0},
        {"ESC", keyEscape},
        {"return", keyEnter},
        {"control+a", 'A' | withCtrl},
        {"ALT+enter", keyEnter | withAlt},
        {"Shift", keyShift},
        {"alt+shift+F12", keyF12 | withAlt | withShift},
        {"keypad0", 0x60},
        {"F1", 0x70},
        {"F13", 0},
        {"Keypad10", 0},
        {"Key0", 0},
        {"Key256", 0},
        {"Alt+", 0},
        {"+W", 0},
        {"W W", 0},
        {"", 0},
    };
    for (const auto& [text, code] : spellings) {
        uint32_t read = 0;
        EXPECT_EQ(parseKeyName(text, &read), code != 0) << text;
        EXPECT_EQ(read, code) << text;
    }
    uint32_t pad = 0;
    EXPECT_TRUE(parsePadName("righttrigger", &pad));
    EXPECT_EQ(pad, padCode(PadInput::RightTrigger));
    EXPECT_FALSE(parsePadName("Trigger", &pad));

    EXPECT_EQ(screenName(keyEscape), "ESC");
    EXPECT_EQ(screenName(keyEnter | withAlt), "ALT+ENTER");
    EXPECT_EQ(screenName(0x68), "KEYPAD 8");
    EXPECT_EQ(screenName(padCode(PadInput::RightTrigger)), "RT");
    EXPECT_EQ(screenName(padCode(PadInput::DpadLeft)), "D-LEFT");
}

TEST(Bindings, TheNewKeyOfARaceActionSwapsWithTheRaceActionThatHadIt)
{
    Bindings bindings = defaultBindings();
    EXPECT_TRUE(raceKeysAreDefault(bindings));
    bindRaceInput(&bindings, Action::Accelerate, 'W');
    EXPECT_EQ(listed(bindings.keys[indexOf(Action::Accelerate)]), std::vector<uint32_t>{'W'});
    EXPECT_FALSE(raceKeysAreDefault(bindings));

    // W goes to brake: accelerate takes brake's Space.
    bindRaceInput(&bindings, Action::Brake, 'W');
    EXPECT_EQ(listed(bindings.keys[indexOf(Action::Brake)]), std::vector<uint32_t>{'W'});
    EXPECT_EQ(listed(bindings.keys[indexOf(Action::Accelerate)]), std::vector<uint32_t>{keySpace});
    // Up leaves the race, but the menu keeps it: the menus are another screen.
    bindRaceInput(&bindings, Action::SteerLeft, keyUp);
    EXPECT_EQ(listed(bindings.keys[indexOf(Action::MenuUp)]), std::vector<uint32_t>{keyUp});

    // A controller input changes the controller's list only; A was accelerate's second input.
    bindRaceInput(&bindings, Action::Brake, padCode(PadInput::A));
    EXPECT_EQ(listed(bindings.pads[indexOf(Action::Brake)]),
              std::vector<uint32_t>{padCode(PadInput::A)});
    EXPECT_EQ(
        listed(bindings.pads[indexOf(Action::Accelerate)]),
        (std::vector<uint32_t>{padCode(PadInput::RightTrigger), padCode(PadInput::LeftTrigger)}));
    EXPECT_EQ(listed(bindings.keys[indexOf(Action::Brake)]), std::vector<uint32_t>{'W'});

    // The other action holds the former first input already: the taken input just leaves it.
    bindings.pads[indexOf(Action::Brake)][1] = padCode(PadInput::RightTrigger);
    bindRaceInput(&bindings, Action::Accelerate, padCode(PadInput::A));
    EXPECT_EQ(listed(bindings.pads[indexOf(Action::Brake)]),
              std::vector<uint32_t>{padCode(PadInput::RightTrigger)});

    bindings.keys[indexOf(Action::MenuConfirm)][0] = keySpace;
    restoreRaceDefaults(&bindings);
    for (int i = 0; i < raceActionCount; ++i) {
        EXPECT_EQ(listed(bindings.keys[i]), listed(defaultBindings().keys[i])) << i;
        EXPECT_EQ(listed(bindings.pads[i]), listed(defaultBindings().pads[i])) << i;
    }
    EXPECT_EQ(bindings.keys[indexOf(Action::MenuConfirm)][0], keySpace) << "not a race action";
}

TEST(SettingsFile, ReadsEverySectionInAnyCaseBesideCommentsAndBlankLines)
{
    const std::string path = testFolder() + "vantor.ini";
    tool_run::writeFile(path, "# Vantor\n"
                              "\n"
                              "  [Keys]  \n"
                              "; WASD\n"
                              "Accelerate = w , Up\n"
                              "\tleft=A\n"
                              "full_screen = F11, Alt+Return\n"
                              "[controller]\n"
                              "brake = LeftShoulder\n"
                              "give_up = none\n"
                              "[GAME]\n"
                              "look = Classic\n"
                              "sound = OFF\n"
                              "volume = 0\n"
                              "view = 4:3\n"
                              "ghost = Off\n");
    testing::internal::CaptureStderr();
    const SettingsFile file = readSettingsFile(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const Settings& s = file.asRead;
    EXPECT_EQ(listed(keysOf(s, Action::Accelerate)), (std::vector<uint32_t>{'W', keyUp}));
    EXPECT_EQ(listed(keysOf(s, Action::SteerLeft)), std::vector<uint32_t>{'A'});
    EXPECT_EQ(listed(keysOf(s, Action::FullScreen)),
              (std::vector<uint32_t>{keyF11, keyEnter | withAlt}));
    EXPECT_EQ(listed(keysOf(s, Action::Brake)), std::vector<uint32_t>{keySpace}) << "default";
    EXPECT_EQ(listed(s.bindings.pads[indexOf(Action::Brake)]),
              std::vector<uint32_t>{padCode(PadInput::LeftShoulder)});
    EXPECT_EQ(bindingCount(s.bindings.pads[indexOf(Action::GiveUp)]), 0);
    EXPECT_TRUE(s.classicLook);
    EXPECT_FALSE(s.soundOn);
    EXPECT_EQ(s.volume, 0);
    EXPECT_FALSE(s.wideView);
    EXPECT_FALSE(s.ghosts);
    EXPECT_TRUE(file.writable);
}

TEST(SettingsFile, ALineThatCannotBeReadIsToldByFileAndLineAndTheFileIsNeverWritten)
{
    const std::string path = testFolder() + "vantor.ini";
    const std::string text = "[keys]\n"
                             "accelerate = W\n"
                             "brake = Foo\n"
                             "left =\n"
                             "right = A, B, C, D, E\n"
                             "jump = J\n"
                             "menu_keys\n"
                             "[game]\n"
                             "volume = 101\n"
                             "look = sharp\n"
                             "look = classic\n"
                             "view = tall\n"
                             "[colours]\n"
                             "sky = blue\n"
                             "[keys\n";
    tool_run::writeFile(path, "mute = N\n" + text);
    testing::internal::CaptureStderr();
    SettingsFile file = readSettingsFile(path);
    const std::string told = testing::internal::GetCapturedStderr();
    const std::string expected =
        path + ":1: \"mute = N\" is in no section ([keys], [controller] or [game])\n" + path +
        ":4: no key is named \"Foo\"; brake keeps its default\n" + path +
        ":5: a key name is missing; left keeps its default\n" + path +
        ":6: more than 4 keys; right keeps its default\n" + path +
        ":7: no setting is named \"jump\" in [keys]; the line is kept as it is\n" + path +
        ":8: \"menu_keys\" is not \"name = value\"\n" + path +
        ":10: volume is a whole number from 0 to 100; volume keeps its default\n" + path +
        ":12: look is set on line 11 already, which holds\n" + path +
        ":13: view is \"wide\" or \"4:3\"; view keeps its default\n" + path +
        ":14: no section is named [colours]; its lines are kept as they are\n" + path +
        ":16: a section's name ends with \"]\"\n";
    EXPECT_EQ(told, expected);
    const Settings& s = file.asRead;
    EXPECT_EQ(listed(keysOf(s, Action::Accelerate)), std::vector<uint32_t>{'W'});
    EXPECT_EQ(listed(keysOf(s, Action::Brake)), std::vector<uint32_t>{keySpace});
    EXPECT_EQ(listed(keysOf(s, Action::SteerLeft)), std::vector<uint32_t>{keyLeft});
    EXPECT_EQ(listed(keysOf(s, Action::SteerRight)), std::vector<uint32_t>{keyRight});
    EXPECT_EQ(listed(keysOf(s, Action::Mute)), std::vector<uint32_t>{keyM});
    EXPECT_EQ(s.volume, 100);
    EXPECT_FALSE(s.classicLook);
    EXPECT_TRUE(s.wideView);
    EXPECT_FALSE(file.writable);
    EXPECT_EQ(file.firstUnreadLine, 1);

    Settings changed = file.asRead;
    bindRaceInput(&changed.bindings, Action::Brake, 'B');
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeSettingsFile(&file, changed));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              path + ": The change is not saved, as line 1 could not be read; it holds until the "
                     "game ends.\n");
    EXPECT_EQ(tool_run::readFile(path), "mute = N\n" + text);

    // A file that cannot be read at all: told once, the defaults hold, never written.
    const std::string folder = testFolder() + "folder.ini";
    std::filesystem::create_directory(folder);
    testing::internal::CaptureStderr();
    SettingsFile unreadable = readSettingsFile(folder);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              folder + ": the settings file cannot be read (it is a folder); the game keeps its "
                       "defaults and never writes it\n");
    EXPECT_EQ(unreadable.asRead, Settings{});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeSettingsFile(&unreadable, changed));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(SettingsFile, WritingChangesOnlyTheChangedLinesAddsTheNewOnesAndKeepsEverythingElse)
{
    const std::string path = testFolder() + "vantor.ini";
    tool_run::writeFile(path, "# My keys: the left hand only.\n"
                              "[keys]\n"
                              "# the throttle\n"
                              "accelerate = w   # the left hand\n"
                              "brake = Space\n"
                              "\n"
                              "; a newer game's section\n"
                              "[records] ; kept\n"
                              "best = 1:02\n"
                              "[controller]\n"
                              "unknown_action = A\n");
    testing::internal::CaptureStderr();
    SettingsFile file = readSettingsFile(path);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(file.writable);
    Settings settings = file.asRead;
    bindRaceInput(&settings.bindings, Action::Accelerate, 'E');
    bindRaceInput(&settings.bindings, Action::SteerLeft, 'S');
    bindRaceInput(&settings.bindings, Action::Accelerate, padCode(PadInput::RightShoulder));
    settings.volume = 50;
    ASSERT_TRUE(writeSettingsFile(&file, settings));
    EXPECT_EQ(tool_run::readFile(path), "# My keys: the left hand only.\n"
                                        "[keys]\n"
                                        "# the throttle\n"
                                        "accelerate = E   # the left hand\n"
                                        "brake = Space\n"
                                        "left = S\n"
                                        "\n"
                                        "; a newer game's section\n"
                                        "[records] ; kept\n"
                                        "best = 1:02\n"
                                        "[controller]\n"
                                        "unknown_action = A\n"
                                        "accelerate = RightShoulder\n"
                                        "\n"
                                        "[game]\n"
                                        "volume = 50\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
    EXPECT_EQ(file.asRead, settings) << "the file as written is the file as read";

    // Back to the defaults: the lines stay, with the defaults' values.
    restoreRaceDefaults(&settings.bindings);
    ASSERT_TRUE(writeSettingsFile(&file, settings));
    testing::internal::CaptureStderr();
    SettingsFile again = readSettingsFile(path);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(again.asRead, settings);
    EXPECT_NE(tool_run::readFile(path).find("accelerate = RightTrigger, A\n"), std::string::npos);

    // A file with Windows line ends keeps them.
    tool_run::writeFile(path, "[keys]\r\nbrake = B\r\n");
    file = readSettingsFile(path);
    settings = file.asRead;
    bindRaceInput(&settings.bindings, Action::Brake, 'N');
    ASSERT_TRUE(writeSettingsFile(&file, settings));
    EXPECT_EQ(tool_run::readFile(path), "[keys]\r\nbrake = N\r\n");
}

TEST(SettingsFile, NothingIsMadeUntilSomethingChangesAndThenTheFoldersAreMadeToo)
{
    const std::string path = testFolder() + "config/vantor/vantor.ini";
    SettingsFile file = readSettingsFile(path);
    EXPECT_TRUE(file.lines.empty());
    EXPECT_EQ(file.asRead, Settings{});
    ASSERT_TRUE(writeSettingsFile(&file, Settings{}));
    EXPECT_FALSE(std::filesystem::exists(testFolder() + "config")) << "nothing changed";

    Settings settings;
    bindRaceInput(&settings.bindings, Action::GiveUp, 'Q');
    ASSERT_TRUE(writeSettingsFile(&file, settings));
    EXPECT_EQ(tool_run::readFile(path), "[keys]\ngive_up = Q\n");

    // No path at all (no home folder): told, nothing written.
    SettingsFile nowhere = readSettingsFile("");
    nowhere.path.clear();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeSettingsFile(&nowhere, settings));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The change is not saved, as no settings folder is known (HOME is not set); it "
              "holds until the game ends.\n");
}

TEST(SettingsFile, LivesInXdgConfigHomeOrElseInHomesConfigFolder)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string savedConfig = config ? config : "";
    const std::string savedHome = home ? home : "";
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(settingsFilePath(), "/somewhere/config/vantor/vantor.ini");
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(settingsFilePath(), "/home/player/.config/vantor/vantor.ini");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(settingsFilePath(), "/home/player/.config/vantor/vantor.ini");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(settingsFilePath(), "");
    if (config) {
        setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    }
    if (home) {
        setenv("HOME", savedHome.c_str(), 1);
    }
}

namespace {

// A window on the scripted backend with the player's controls started, the presses that reach
// its screen recorded as the menu actions they stand for.
class ControlsOnScript : public ::testing::Test {
protected:
    void start(const char* settingsPath = nullptr)
    {
        window.backend = &backend;
        create(&window);
        startControls(&window, settingsPath);
        pressed = &menuPresses;
        window.callbacks.onKeyDown = [](Window* w, uint32_t code) {
            const Action action = menuActionOf(w, code);
            pressed->push_back(action == Action::Count ? "-" : actionName(action));
        };
    }
    void TearDown() override
    {
        stopControls(&window);
        releaseWindow(&window);
        pressed = nullptr;
    }
    void tap(uint32_t key)
    {
        backend.keyDown(key);
        backend.keyUp(key);
    }
    // Pumps once, painting, and returns what the window has drawn at.
    int paint()
    {
        requestRepaint(&window);
        pumpMessages(&window);
        return window.drawingScale;
    }

    static inline std::vector<std::string>* pressed = nullptr;
    std::vector<std::string> menuPresses;
    HeadlessBackend backend;
    Window window{};
};

std::string raceNames(const RaceControls& controls)
{
    std::string text;
    const std::pair<bool, const char*> held[] = {{controls.accelerate, "accelerate"},
                                                 {controls.brake, "brake"},
                                                 {controls.steerLeft, "left"},
                                                 {controls.steerRight, "right"},
                                                 {controls.giveUp, "give_up"}};
    for (const auto& [on, name] : held) {
        if (on) {
            text += text.empty() ? "" : " ";
            text += name;
        }
    }
    return text;
}

} // namespace

TEST_F(ControlsOnScript, ControllersStandForTheGamesOwnMenuAndRaceLayouts)
{
    start();
    struct Case {
        const char* what;
        ControllerState state;
        const char* menu; // the menu actions its presses stand for
        const char* race; // the race actions it holds
    };
    const Case cases[] = {
        {"d-pad", {padUp | padLeft, 0, 0, 0, 0}, "menu_up menu_left", "left"},
        {"d-pad down right", {padDown | padRight, 0, 0, 0, 0}, "menu_down menu_right", "right"},
        {"stick", {0, -controllerDeadZone, controllerDeadZone, 0, 0}, "menu_left menu_down", "left"},
        {"A", {padA, 0, 0, 0, 0}, "menu_confirm", "accelerate"},
        {"Start", {padStart, 0, 0, 0, 0}, "menu_confirm", ""},
        {"B", {padB, 0, 0, 0, 0}, "menu_back", ""},
        {"Back", {padBack, 0, 0, 0, 0}, "menu_back", "give_up"},
        {"X", {padX, 0, 0, 0, 0}, "menu_race_again", "brake"},
        {"Y", {padY, 0, 0, 0, 0}, "menu_keys", ""},
        {"triggers", {0, 0, 0, controllerDeadZone, 32767}, "- -", "accelerate brake"},
    };
    for (const Case& c : cases) {
        menuPresses.clear();
        backend.controller(c.state);
        paint();
        std::string menu;
        for (const std::string& name : menuPresses) {
            menu += (menu.empty() ? "" : " ") + name;
        }
        EXPECT_EQ(menu, c.menu) << c.what;
        EXPECT_EQ(raceNames(readRaceControls(&window)), c.race) << c.what;
        backend.controller(ControllerState{});
        paint();
    }
    // The keyboard's arrows, Enter, Escape, Space and K as the menus and the race read them.
    menuPresses.clear();
    for (uint32_t key :
         {keyUp, keyDown, keyLeft, keyRight, keyEnter, keyEscape, keySpace, uint32_t{'K'}}) {
        tap(key);
    }
    paint();
    EXPECT_EQ(menuPresses,
              (std::vector<std::string>{"menu_up", "menu_down", "menu_left", "menu_right",
                                        "menu_confirm", "menu_back", "-", "menu_keys"}));
    for (uint32_t key : {keyUp, keySpace, keyLeft, keyRight, keyEscape}) {
        backend.keyDown(key);
    }
    paint();
    EXPECT_EQ(raceNames(readRaceControls(&window)), "accelerate brake left right give_up");
}

TEST_F(ControlsOnScript, EveryScreenKeysActOnAnyScreenOnceAPressAndNeverReachIt)
{
    start();
    backend.setDrawingScale(2);
    EXPECT_EQ(paint(), 2);
    backend.keyDown(keyF10);
    backend.keyDown(keyF10); // a repeat switches nothing
    EXPECT_EQ(paint(), 1) << "the classic picture";
    backend.keyUp(keyF10);
    tap(keyF10);
    EXPECT_EQ(paint(), 2) << "the sharp picture again";

    tap(keyF11);
    paint();
    EXPECT_TRUE(backend.isFullscreen());
    backend.keyDown(keyAlt);
    tap(keyEnter);
    backend.keyUp(keyAlt);
    paint();
    EXPECT_FALSE(backend.isFullscreen()) << "Alt+Enter";

    tap(keyF12);
    paint();
    EXPECT_EQ(backend.picturesAsked(), 1);
    backend.keyDown(keyM);
    backend.keyDown(keyM);
    paint();
    EXPECT_TRUE(backend.soundMuted());
    backend.keyUp(keyM);
    tap(keyM);
    paint();
    EXPECT_FALSE(backend.soundMuted());
    // Only Alt reached the screen, standing for no menu action.
    EXPECT_EQ(menuPresses, std::vector<std::string>{"-"});
}

TEST_F(ControlsOnScript, TheSettingsFilesKeysLookAndSoundHoldFromTheStart)
{
    const std::string path = testFolder() + "vantor.ini";
    tool_run::writeFile(path, "[keys]\n"
                              "accelerate = W\n"
                              "brake = Shift+B\n"
                              "mute = N\n"
                              "menu_confirm = Space\n"
                              "[game]\n"
                              "look = classic\n"
                              "sound = off\n"
                              "volume = 50\n");
    start(path.c_str());
    backend.setDrawingScale(3);
    EXPECT_EQ(paint(), 1) << "classic";
    EXPECT_TRUE(backend.soundMuted());
    EXPECT_EQ(window.soundVolume, 0.5f);

    backend.keyDown(keyUp);
    backend.keyDown('B');
    paint();
    EXPECT_EQ(raceNames(readRaceControls(&window)), "") << "Up and B alone do nothing";
    backend.keyDown('W');
    backend.keyDown(keyShift);
    paint();
    EXPECT_EQ(raceNames(readRaceControls(&window)), "accelerate brake");

    // N mutes now; M and Enter reach the screen as nothing; Space confirms.
    menuPresses.clear();
    tap('N');
    tap(keyM);
    tap(keyEnter);
    tap(keySpace);
    paint();
    EXPECT_FALSE(backend.soundMuted());
    EXPECT_EQ(menuPresses, (std::vector<std::string>{"-", "-", "menu_confirm"}));

    // Every sound is heard at half its loudness.
    backend.recordSound(true);
    SoundFrame frame;
    frame.setsLoops = true;
    frame.loops[0].volume = 0.8f;
    frame.start(OneShot{1, 1.0f, 0.0f, 1.0f});
    playSound(&window, frame);
    ASSERT_EQ(backend.soundRecording().size(), 1u);
    EXPECT_EQ(backend.soundRecording()[0].frame.loops[0].volume, 0.4f);
    EXPECT_EQ(backend.soundRecording()[0].frame.shots[0].volume, 0.5f);
}
