// The result screen after a race.
#include "game/result_screen.h"

#include <cstdio>
#include <cstring>

#include "audio/game_sounds.h"
#include "race/race_state.h"
#include "game/screen_loop.h"
#include "gfx/raster.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "render/race_frame.h"

ResultScreen resultScreen;

namespace {

constexpr int resultLineBytes = 256;

// Centred text starts half its width left of the middle (integer arithmetic).
int centredX(const char* text, int cellWidth)
{
    return 320 - (static_cast<int>(std::strlen(text)) * cellWidth) / 2;
}

// Appends `piece` to the zero-terminated text in `line`, never writing past `capacity` bytes.
void appendBounded(char* line, int capacity, const char* piece)
{
    const size_t used = std::strlen(line);
    const size_t room = static_cast<size_t>(capacity) - used;
    if (room > 1) {
        std::strncat(line, piece, room - 1);
    }
}

} // namespace

void buildResultLine(int32_t place, char* line, int capacity)
{
    std::memset(line, 0, static_cast<size_t>(capacity));
    if (place <= 0) {
        appendBounded(line, capacity, "You did not finish!");
        return;
    }
    char number[16] = {};
    std::snprintf(number, sizeof number, "%i", place);
    appendBounded(line, capacity, "You came ");
    appendBounded(line, capacity, number);
    appendBounded(line, capacity, placeSuffix(place));
    appendBounded(line, capacity, ".");
}

void runResultScreen(Window* window)
{
    ResultScreen& screen = resultScreen;
    const int32_t place = raceState.finishPosition;
    screen.resultRunning = true;
    screen.bar = loadBitmap(window, "gfx\\menu\\menuBar1.bmp", 1);
    screen.font = makeBitmapFont(window, "gfx\\font\\font1sm.bmp");
    if (place <= 0) {
        screen.resultPicture = loadBitmap(window, "gfx\\menu\\raceQuit.bmp", 0);
        screen.headline = "Feeling a bit peckish?";
    } else if (place == 1) {
        screen.resultPicture = loadBitmap(window, "gfx\\menu\\raceWon.bmp", 0);
        screen.headline = "You rock! Lets celebrate!";
    } else {
        screen.resultPicture = loadBitmap(window, "gfx\\menu\\raceLost.bmp", 0);
        screen.headline = "Too slow! Try again.";
    }
    screen.resultLine = new char[resultLineBytes];
    buildResultLine(place, screen.resultLine, resultLineBytes);

    runScreen(window, ScreenHandlers{resultOnPaint, resultOnKeyDown, resultOnDestroy}, &screen.resultRunning);

    freeBitmap(screen.bar);
    screen.bar = nullptr;
    freeBitmap(screen.resultPicture);
    screen.resultPicture = nullptr;
    freeBitmapFont(screen.font);
    screen.font = nullptr;
    delete[] screen.resultLine;
    screen.resultLine = nullptr;
    screen.headline = nullptr;
}

void resultOnPaint(Window* window)
{
    const ResultScreen& screen = resultScreen;
    const int w = screen.font->cellWidth;
    const int h = screen.font->cellHeight;
    clearScreen(window);

    const int a = screen.resultPicture->info.width / 2;
    const int b = screen.resultPicture->info.height / 2;
    const int x = 320 - a;
    const int y = 240 - b;
    const int right = 320 + a;
    const int bottom = 240 + b;
    drawBitmap(window, screen.resultPicture, x, y);
    // Three grey frames, lightest innermost; both corner pixels of each belong to it.
    Surface* back = &window->backBuffer;
    drawRectangleOutline(back, x, y, right, bottom, solidPen(0x969696));
    drawRectangleOutline(back, x - 1, y - 1, right + 1, bottom + 1, solidPen(0x646464));
    drawRectangleOutline(back, x - 2, y - 2, right + 2, bottom + 2, solidPen(0x3C3C3C));

    drawText(window, screen.font, screen.headline, centredX(screen.headline, w), h);
    drawBitmap(window, screen.bar, 0, 3 * h);
    drawBitmap(window, screen.bar, 0, 480 - 5 * h);
    drawText(window, screen.font, screen.resultLine, centredX(screen.resultLine, w), 480 - 3 * h);
    drawText(window, screen.font, "Press enter to continue.", 320 - (24 * w) / 2, 480 - h);
}

void resultOnKeyDown(Window* window, uint32_t virtualKey)
{
    if (virtualKey == keyEnter) {
        playMenuConfirm(window);
        resultScreen.resultRunning = false;
    }
}

void resultOnDestroy(Window* /*window*/)
{
    resultScreen.resultRunning = false;
}
