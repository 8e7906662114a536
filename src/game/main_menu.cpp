// The main menu.
#include "game/main_menu.h"

#include "audio/game_sounds.h"
#include "game/race_loop.h"
#include "race/race_settings.h"
#include "game/screen_loop.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

MainMenu mainMenu;

namespace {

constexpr int rowCount = 6;

// What each row shows: its label, its value texts by index, and its largest index.
struct MenuRow {
    const char* label;
    const char* values[4];
    int32_t largest;
};

constexpr MenuRow menuRows[rowCount] = {
    {"TRACK LENGHT ", {"SHORT ", "NORMAL", "LONG  ", nullptr}, 2},
    {"HILL STEEPNESS", {"GENTLE", "NORMAL", "STEEP ", nullptr}, 2},
    {"TURN SHARPNESS", {"GENTLE", "NORMAL", "SHARP ", nullptr}, 2},
    {"NUM COMPETITORS ", {"8 ", "16", "24", "32"}, 3},
    {"AI CAR SPEED ", {"SLOW", "NORMAL", "FAST", nullptr}, 2},
    {"GRID SPACING ", {"NEAR", "NORMAL", "FAR", nullptr}, 2},
};

// The setting shown in `row`, in the order of the menu's rows.
int32_t* settingOfRow(int32_t row)
{
    RaceSettings& s = raceSettings;
    int32_t* const fields[rowCount] = {&s.trackLength,    &s.hillSteepness, &s.turnSharpness,
                                       &s.numCompetitors, &s.aiCarSpeed,    &s.gridSpacing};
    return fields[row];
}

constexpr ScreenHandlers menuHandlers{menuOnPaint, menuOnKeyDown, menuOnDestroy};

// Enter: the race runs inside this call; the menu comes back only if the window survived it.
void startRace(Window* window)
{
    clearScreenHandlers(window);
    const RaceParameters p = raceParameters(raceSettings);
    runRace(p.carCount, window, p.segmentCount, p.hillMin, p.hillMax, p.turnMin, p.turnMax,
            p.opponentPowerCut, p.opponentPowerCutPerPlace, p.gridGap);
    if (isWindowAlive(window)) {
        installScreenHandlers(window, menuHandlers);
    } else {
        mainMenu.menuRunning = false;
    }
}

} // namespace

int menuRowY(int row, int cellHeight)
{
    static constexpr double rowFactors[rowCount] = {4.5, 6, 7.5, 9, 10.5, 12};
    return static_cast<int>(cellHeight * rowFactors[row]);
}

void runMainMenu(Window* window)
{
    MainMenu& menu = mainMenu;
    menu.menuRunning = true;
    menu.menuSelectedRow = 0;
    raceSettings = RaceSettings{};
    menu.menuBar = loadBitmap(window, "gfx\\menu\\menuBar1.bmp", 1);
    menu.menuArrow = loadBitmap(window, "gfx\\menu\\arrow.bmp", 1);
    menu.menuFont = makeBitmapFont(window, "gfx\\font\\font1sm.bmp");
    runScreen(window, menuHandlers, &menu.menuRunning);

    freeBitmap(menu.menuBar);
    menu.menuBar = nullptr;
    freeBitmap(menu.menuArrow);
    menu.menuArrow = nullptr;
    freeBitmapFont(menu.menuFont);
    menu.menuFont = nullptr;
}

void menuOnPaint(Window* window)
{
    const MainMenu& menu = mainMenu;
    const int w = menu.menuFont->cellWidth;
    const int h = menu.menuFont->cellHeight;
    clearScreen(window);
    drawText(window, menu.menuFont, "VANTOR", 320 - (6 * w) / 2, h);
    drawBitmap(window, menu.menuBar, 0, 3 * h);
    drawBitmap(window, menu.menuArrow, 10, menuRowY(menu.menuSelectedRow, h));
    drawBitmap(window, menu.menuBar, 0, 480 - 5 * h);
    for (int row = 0; row < rowCount; ++row) {
        const int y = menuRowY(row, h);
        drawText(window, menu.menuFont, menuRows[row].label, 2 * w, y);
        drawText(window, menu.menuFont, menuRows[row].values[*settingOfRow(row)], 475, y);
    }
    drawText(window, menu.menuFont, "USE ARROW KEYS TO MODIFY", 320 - (24 * w) / 2, 480 - 3 * h);
    drawText(window, menu.menuFont, "ENTER BEGINS, ESC QUITS.", 320 - (24 * w) / 2, 480 - h);
}

void menuOnKeyDown(Window* window, uint32_t virtualKey)
{
    MainMenu& menu = mainMenu;
    int32_t* setting = settingOfRow(menu.menuSelectedRow);
    const int32_t rowBefore = menu.menuSelectedRow;
    const int32_t settingBefore = *setting;
    switch (virtualKey) {
    case keyEnter:
        playMenuConfirm(window);
        startRace(window);
        break;
    case keyEscape:
        menu.menuRunning = false;
        break;
    case keyUp:
        if (menu.menuSelectedRow > 0) {
            --menu.menuSelectedRow;
        }
        break;
    case keyDown:
        if (menu.menuSelectedRow < rowCount - 1) {
            ++menu.menuSelectedRow;
        }
        break;
    case keyLeft:
        if (*setting > 0) {
            --*setting;
        }
        break;
    case keyRight:
        if (*setting < menuRows[menu.menuSelectedRow].largest) {
            ++*setting;
        }
        break;
    default:
        break;
    }
    if (menu.menuSelectedRow != rowBefore || *setting != settingBefore) {
        playMenuTick(window);
    }
}

void menuOnDestroy(Window* /*window*/)
{
    mainMenu.menuRunning = false;
}
