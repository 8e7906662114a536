// The result screen after a race.
#include "game/result_screen.h"

#include <cstdio>
#include <cstring>

#include "audio/game_sounds.h"
#include "game/kept_replays.h"
#include "game/records_file.h"
#include "controls/input_names.h"
#include "race/race_settings.h"
#include "race/track_code.h"
#include "race/race_state.h"
#include "game/screen_loop.h"
#include "gfx/raster.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "controls/player_controls.h"
#include "core/errors.h"
#include "platform/window.h"
#include "render/race_frame.h"

ResultScreen resultScreen;

namespace {

constexpr int resultLineBytes = 256;

// Appends `piece` to the zero-terminated text in `line`, never writing past `capacity` bytes.
void appendBounded(char* line, int capacity, const char* piece)
{
    const size_t used = std::strlen(line);
    const size_t room = static_cast<size_t>(capacity) - used;
    if (room > 1) {
        std::strncat(line, piece, room - 1);
    }
}

// The one-pixel frame whose corner pixels (x0, y0) and (x1, y1), in screen pixels, both belong to
// it, drawn at the window's drawing scale: k nested outlines, each screen pixel a k by k block.
void drawScreenFrame(Window* window, int x0, int y0, int x1, int y1, Pen pen)
{
    const int k = window->drawingScale;
    x0 += screenMargin(window);
    x1 += screenMargin(window);
    for (int i = 0; i < k; ++i) {
        drawRectangleOutline(&window->backBuffer, x0 * k + i, y0 * k + i, x1 * k + k - 1 - i,
                             y1 * k + k - 1 - i, pen);
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

namespace {

// The lines the result screen adds: the race's code and time, the record and the race-again key,
// the watch key. A finished race goes into the records and its replay is kept.
void buildRaceLines(ResultScreen* screen, const std::string& recordsFolder,
                    const std::string& recordedReplay)
{
    const RaceState& race = raceState;
    const std::string code = encodeTrackCode(race.seed, raceSettings);
    screen->raceLine = "CODE " + code;
    screen->replayPath.clear();
    std::string record;
    if (race.finishPosition > 0) {
        screen->raceLine += "  TIME " + formatRaceTime(race.raceMilliseconds);
        if (!recordsFolder.empty()) {
            Records records = loadRecords(recordsFolder);
            const RecordOutcome outcome = addFinishedRace(
                &records, RaceRecord{code, race.raceMilliseconds, race.finishPosition,
                                     race.carCount, raceRecordTime()});
            saveRecords(recordsFolder, records);
            record = !outcome.hadRecord   ? "FIRST TIME HERE"
                     : outcome.newBestTime ? "NEW RECORD!"
                                           : "RECORD " + formatRaceTime(outcome.previousTime);
            if (!recordedReplay.empty()) {
                screen->replayPath =
                    keepRaceReplay(recordsFolder, recordedReplay, code, outcome.newBestTime);
            }
        }
    }
    screen->recordLine = (record.empty() ? "" : record + "  ") +
                         screenName(firstKeyOf(Action::MenuRaceAgain)) + " RACES AGAIN";
    screen->watchLine = screen->replayPath.empty()
                            ? ""
                            : screenName(firstKeyOf(Action::MenuWatch)) + " WATCHES THE REPLAY";
}

} // namespace

void takeRaceResult(const std::string& recordsFolder, const std::string& recordedReplay)
{
    ResultScreen& screen = resultScreen;
    screen.place = raceState.finishPosition;
    screen.seed = raceState.seed;
    buildRaceLines(&screen, recordsFolder, recordedReplay);
}

ResultChoice runResultScreen(Window* window)
{
    ResultScreen& screen = resultScreen;
    const int32_t place = screen.place;
    screen.choice = ResultChoice::Menu;
    screen.resultRunning = true;
    loadScreenFrame(window, &screen.bar, &screen.font);
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
    screen.resultLine = allocateOrFatal(__LINE__, "Out of memory for the result line",
                                        [] { return new char[resultLineBytes]; });
    buildResultLine(place, screen.resultLine, resultLineBytes);

    runScreen(window, ScreenHandlers{resultOnPaint, resultOnKeyDown, resultOnDestroy},
              &screen.resultRunning);

    freeBitmap(screen.resultPicture);
    screen.resultPicture = nullptr;
    freeScreenFrame(&screen.bar, &screen.font);
    delete[] screen.resultLine;
    screen.resultLine = nullptr;
    screen.headline = nullptr;
    return isWindowAlive(window) ? screen.choice : ResultChoice::Menu;
}

void resultOnPaint(Window* window)
{
    const ResultScreen& screen = resultScreen;
    const int h = screen.font->cellHeight;
    clearScreen(window);

    const int a = screen.resultPicture->info.width / 2;
    const int b = screen.resultPicture->info.height / 2;
    const int x = screenCentreX - a;
    const int y = screenCentreY - b;
    const int right = screenCentreX + a;
    const int bottom = screenCentreY + b;
    drawBitmap(window, screen.resultPicture, x, y);
    // Three grey frames, lightest innermost; both corner pixels of each belong to it.
    drawScreenFrame(window, x, y, right, bottom, solidPen(0x969696));
    drawScreenFrame(window, x - 1, y - 1, right + 1, bottom + 1, solidPen(0x646464));
    drawScreenFrame(window, x - 2, y - 2, right + 2, bottom + 2, solidPen(0x3C3C3C));

    drawCentredText(window, screen.font, screen.headline, h);
    drawScreenBars(window, screen.bar, screen.font);
    drawCentredText(window, screen.font, screen.resultLine, screenHeight - 3 * h);
    drawCentredText(window, screen.font, "Press enter to continue.", screenHeight - h);
    // The added rows: under the top bar, and between the result and the prompt.
    drawCentredText(window, screen.font, screen.raceLine.c_str(), 4 * h);
    drawCentredText(window, screen.font, screen.recordLine.c_str(), screenHeight - 2 * h);
    // And the watch key, between the lower bar and the result.
    drawCentredText(window, screen.font, screen.watchLine.c_str(), screenHeight - 4 * h);
}

void resultOnKeyDown(Window* window, uint32_t code)
{
    ResultScreen& screen = resultScreen;
    const Action action = menuActionOf(window, code);
    const bool watch = action == Action::MenuWatch && !screen.replayPath.empty();
    if (action == Action::MenuConfirm || action == Action::MenuRaceAgain || watch) {
        playMenuConfirm(window);
        screen.choice = watch                             ? ResultChoice::Watch
                        : action == Action::MenuRaceAgain ? ResultChoice::RaceAgain
                                                          : ResultChoice::Menu;
        screen.resultRunning = false;
    }
}

void resultOnDestroy(Window* /*window*/) { resultScreen.resultRunning = false; }
