// The keys screen: the race actions' keys and controller inputs, changed by the player.
#include "game/keys_screen.h"

#include <algorithm>
#include <string>

#include "audio/game_sounds.h"
#include "controls/input_names.h"
#include "controls/player_controls.h"
#include "game/screen_loop.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

KeysScreen keysScreen;

namespace {

// The columns, in font cells from the left: the action, its keys, its controller inputs; and
// the characters each column shows at most.
constexpr int keysColumn = 14;
constexpr int padsColumn = 25;
constexpr size_t keysWidth = padsColumn - keysColumn - 1;
constexpr size_t padsWidth = 40 - padsColumn;

// The y of row `row` (0 to 4) under the column headings, a row and a half apart.
int rowY(int row, int cellHeight) { return static_cast<int>(cellHeight * (5.5 + 1.5 * row)); }

// The screen name of the first key bound to a menu action, for the help lines.
std::string menuKeyName(Action action)
{
    return screenName(playerControls.settings.bindings.keys[indexOf(action)][0]);
}

std::string cut(std::string text, size_t width)
{
    text.resize(std::min(text.size(), width));
    return text;
}

} // namespace

void runKeysScreen(Window* window)
{
    KeysScreen& screen = keysScreen;
    screen.keysRunning = true;
    screen.selectedRow = 0;
    screen.waiting = false;
    screen.pickingCode = 0;
    loadScreenFrame(window, &screen.bar, &screen.font);
    screen.arrow = loadBitmap(window, "gfx\\menu\\arrow.bmp", 1);
    window->callbacks.onKeyUp = keysOnKeyUp;
    runScreen(window, ScreenHandlers{keysOnPaint, keysOnKeyDown, keysOnDestroy},
              &screen.keysRunning);
    window->callbacks.onKeyUp = nullptr;

    freeBitmap(screen.arrow);
    screen.arrow = nullptr;
    freeScreenFrame(&screen.bar, &screen.font);
}

void keysOnPaint(Window* window)
{
    const KeysScreen& screen = keysScreen;
    const Bindings& bindings = playerControls.settings.bindings;
    const int w = screen.font->cellWidth;
    const int h = screen.font->cellHeight;
    clearScreen(window);
    drawCentredText(window, screen.font, "CHANGE KEYS", h);
    drawScreenBars(window, screen.bar, screen.font);
    drawText(window, screen.font, "KEYS", keysColumn * w, 4 * h);
    drawText(window, screen.font, "CONTROLLER", padsColumn * w, 4 * h);
    for (int row = 0; row < raceActionCount; ++row) {
        const int y = rowY(row, h);
        const bool picked = screen.waiting && row == screen.selectedRow;
        drawText(window, screen.font, actionLabel(actionAt(row)), 2 * w, y);
        drawText(window, screen.font,
                 picked ? "?" : cut(screenNames(bindings.keys[row]), keysWidth).c_str(),
                 keysColumn * w, y);
        drawText(window, screen.font,
                 picked ? "?" : cut(screenNames(bindings.pads[row]), padsWidth).c_str(),
                 padsColumn * w, y);
    }
    drawBitmap(window, screen.arrow, 10, rowY(screen.selectedRow, h));
    if (screen.waiting) {
        drawCentredText(window, screen.font, "PRESS A KEY OR A BUTTON", screenHeight - 3 * h);
        drawCentredText(window, screen.font, "ESC CANCELS.", screenHeight - h);
        return;
    }
    const std::string change = menuKeyName(Action::MenuConfirm) + " CHANGES, BACKSPACE RESETS";
    const std::string back = menuKeyName(Action::MenuBack) + " RETURNS TO THE MENU.";
    drawCentredText(window, screen.font, change.c_str(), screenHeight - 3 * h);
    drawCentredText(window, screen.font, back.c_str(), screenHeight - h);
}

void keysOnKeyDown(Window* window, uint32_t code)
{
    KeysScreen& screen = keysScreen;
    if (code == keyBackspace) {
        screen.waiting = false;
        restoreRaceControls();
        playMenuConfirm(window);
        return;
    }
    if (screen.waiting) {
        if (code == screen.pickingCode) {
            return; // the key that picked the row, repeating
        }
        screen.waiting = false;
        if (code != keyEscape) {
            changeRaceControl(actionAt(screen.selectedRow), code);
            playMenuConfirm(window);
        }
        return;
    }
    const int32_t rowBefore = screen.selectedRow;
    switch (menuActionOf(window, code)) {
    case Action::MenuUp: screen.selectedRow = std::max(screen.selectedRow - 1, 0); break;
    case Action::MenuDown:
        screen.selectedRow = std::min(screen.selectedRow + 1, raceActionCount - 1);
        break;
    case Action::MenuConfirm:
        screen.waiting = true;
        screen.pickingCode = code;
        playMenuTick(window);
        break;
    case Action::MenuBack: screen.keysRunning = false; break;
    default: break;
    }
    if (screen.selectedRow != rowBefore) {
        playMenuTick(window);
    }
}

void keysOnKeyUp(Window* /*window*/, uint32_t code)
{
    if (code == keysScreen.pickingCode) {
        keysScreen.pickingCode = 0;
    }
}

void keysOnDestroy(Window* /*window*/) { keysScreen.keysRunning = false; }
