// The main menu.
#include "game/main_menu.h"

#include <string>

#include "audio/game_sounds.h"
#include "controls/input_names.h"
#include "controls/player_controls.h"
#include "game/keys_screen.h"
#include "game/race_loop.h"
#include "race/race_settings.h"
#include "game/screen_loop.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/window.h"

MainMenu mainMenu;

namespace {

// One row per race setting, in the settings' order.
constexpr int rowCount = raceSettingCount;

// What each row shows: its label and its value texts by index.
struct MenuRow {
    const char* label;
    const char* values[4];
};

constexpr MenuRow menuRows[rowCount] = {
    {"TRACK LENGHT ", {"SHORT ", "NORMAL", "LONG  ", nullptr}},
    {"HILL STEEPNESS", {"GENTLE", "NORMAL", "STEEP ", nullptr}},
    {"TURN SHARPNESS", {"GENTLE", "NORMAL", "SHARP ", nullptr}},
    {"NUM COMPETITORS ", {"8 ", "16", "24", "32"}},
    {"AI CAR SPEED ", {"SLOW", "NORMAL", "FAST", nullptr}},
    {"GRID SPACING ", {"NEAR", "NORMAL", "FAR", nullptr}},
};

// The setting shown in `row`, in the order of the menu's rows.
int32_t* settingOfRow(int32_t row) { return &settingAt(raceSettings, row); }

constexpr ScreenHandlers menuHandlers{menuOnPaint, menuOnKeyDown, menuOnDestroy};

// Runs a screen (a race, or the keys screen) from the menu; the menu comes back only if the
// window survived it.
void runFromMenu(Window* window, void (*screen)(Window* window))
{
    clearScreenHandlers(window);
    screen(window);
    if (isWindowAlive(window)) {
        installScreenHandlers(window, menuHandlers);
    } else {
        mainMenu.menuRunning = false;
    }
}

// Confirm: the race runs inside this call.
void startRace(Window* window) { runRace(window, raceParameters(raceSettings)); }

// The line under the settings that names the key of the keys screen: "PRESS K TO CHANGE KEYS".
std::string keysLine()
{
    return std::string("PRESS ")
        .append(screenName(firstKeyOf(Action::MenuKeys)))
        .append(" TO CHANGE KEYS");
}

// The line under it that names the ghost key and what it does now: "F2 TURNS GHOSTS OFF".
std::string ghostsLine()
{
    return screenName(firstKeyOf(Action::MenuGhosts))
        .append(playerControls.settings.ghosts ? " TURNS GHOSTS OFF" : " TURNS GHOSTS ON");
}

} // namespace

int menuRowY(int row, int cellHeight)
{
    static constexpr double rowFactors[rowCount] = {4.5, 6, 7.5, 9, 10.5, 12};
    return static_cast<int>(cellHeight * rowFactors[row]);
}

void runMainMenu(Window* window, const RaceSettings& startSettings)
{
    MainMenu& menu = mainMenu;
    menu.menuRunning = true;
    menu.menuSelectedRow = 0;
    raceSettings = startSettings;
    loadScreenFrame(window, &menu.menuBar, &menu.menuFont);
    menu.menuArrow = loadBitmap(window, "gfx\\menu\\arrow.bmp", 1);
    runScreen(window, menuHandlers, &menu.menuRunning);

    freeBitmap(menu.menuArrow);
    menu.menuArrow = nullptr;
    freeScreenFrame(&menu.menuBar, &menu.menuFont);
}

void menuOnPaint(Window* window)
{
    const MainMenu& menu = mainMenu;
    const int w = menu.menuFont->cellWidth;
    const int h = menu.menuFont->cellHeight;
    clearScreen(window);
    drawCentredText(window, menu.menuFont, "VANTOR", h);
    drawScreenBars(window, menu.menuBar, menu.menuFont);
    drawBitmap(window, menu.menuArrow, 10, menuRowY(menu.menuSelectedRow, h));
    for (int row = 0; row < rowCount; ++row) {
        const int y = menuRowY(row, h);
        drawText(window, menu.menuFont, menuRows[row].label, 2 * w, y);
        drawText(window, menu.menuFont, menuRows[row].values[*settingOfRow(row)], 475, y);
    }
    // The keys screen's line, on its own below the settings: a row and a half below the last.
    drawCentredText(window, menu.menuFont, keysLine().c_str(), static_cast<int>(h * 13.5));
    // The ghost key's, over the help lines below the lower bar.
    drawCentredText(window, menu.menuFont, ghostsLine().c_str(), screenHeight - 4 * h);
    drawCentredText(window, menu.menuFont, "USE ARROW KEYS TO MODIFY", screenHeight - 3 * h);
    drawCentredText(window, menu.menuFont, "ENTER BEGINS, ESC QUITS.", screenHeight - h);
}

void menuOnKeyDown(Window* window, uint32_t code)
{
    MainMenu& menu = mainMenu;
    int32_t* setting = settingOfRow(menu.menuSelectedRow);
    const int32_t rowBefore = menu.menuSelectedRow;
    const int32_t settingBefore = *setting;
    switch (menuActionOf(window, code)) {
    case Action::MenuConfirm:
        playMenuConfirm(window);
        runFromMenu(window, startRace);
        break;
    case Action::MenuBack: menu.menuRunning = false; break;
    case Action::MenuKeys:
        playMenuConfirm(window);
        runFromMenu(window, runKeysScreen);
        break;
    case Action::MenuGhosts:
        playMenuConfirm(window);
        switchGhosts();
        break;
    case Action::MenuUp:
        if (menu.menuSelectedRow > 0) {
            --menu.menuSelectedRow;
        }
        break;
    case Action::MenuDown:
        if (menu.menuSelectedRow < rowCount - 1) {
            ++menu.menuSelectedRow;
        }
        break;
    case Action::MenuLeft:
        if (*setting > 0) {
            --*setting;
        }
        break;
    case Action::MenuRight:
        if (*setting < largestSettingIndex[menu.menuSelectedRow]) {
            ++*setting;
        }
        break;
    default: break;
    }
    if (menu.menuSelectedRow != rowBefore || *setting != settingBefore) {
        playMenuTick(window);
    }
}

void menuOnDestroy(Window* /*window*/) { mainMenu.menuRunning = false; }
