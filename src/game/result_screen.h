#pragma once
// The result screen after every race that ended with the window open: a picture of a win, a
// loss or a quit, its headline, the finishing place in words and the prompt to press Enter. Beside
// them, on rows of their own: the race's track code and time with the track's record, the key
// that races the same track again and, when the race's replay was kept, the key that watches it.

#include <cstdint>
#include <string>

struct Bitmap;
struct BitmapFont;
struct Window;

// What the player asked for on the result screen.
enum class ResultChoice {
    Menu,      // confirm: back to the menu
    RaceAgain, // the same track again
    Watch,     // watch the race's replay, then the screen again
};

// The screen's state, alive while runResultScreen runs; null pointers otherwise.
struct ResultScreen {
    bool resultRunning = false;      // the screen's loop runs while it is true
    Bitmap* resultPicture = nullptr; // the won, lost or quit picture, owned
    const char* headline = nullptr;  // the headline of that picture (a constant text)
    char* resultLine = nullptr;      // 256 bytes, the finishing-place sentence, owned
    Bitmap* bar = nullptr;           // "gfx\menu\menuBar1.bmp", owned
    BitmapFont* font = nullptr;      // from "gfx\font\font1sm.bmp", owned
    std::string raceLine;            // "CODE WGE1QMYXC5  TIME 1:23.45"
    std::string recordLine;          // the record and the race-again key
    std::string watchLine;           // "W WATCHES THE REPLAY", empty when no replay was kept
    int32_t place = -1;              // the race's finishPosition
    uint32_t seed = 0;               // the race's seed
    std::string replayPath;          // where the race's replay is kept, empty for none
    ResultChoice choice = ResultChoice::Menu; // what the player asked for
};
extern ResultScreen resultScreen;

// Writes the sentence for finishing place `place` into `line` (capacity bytes, zero-filled
// first): "You did not finish!" for a place of 0 or below, else "You came " + place + suffix + ".".
void buildResultLine(int32_t place, char* line, int capacity);

// Takes the race that just ended from the race state (its place, seed, track code and time):
// a finished race is added to the records in `recordsFolder` (records_file.h; empty: no records
// are kept) and its replay, written whole at `recordedReplay` (empty: none), is kept
// (kept_replays.h); then the screen's added lines are made. Called by runRace after the race was
// torn down, before runResultScreen.
void takeRaceResult(const std::string& recordsFolder, const std::string& recordedReplay);

// Runs the screen for the race takeRaceResult took until confirm, the race-again key or the watch
// key (when a replay was kept) is pressed or the window is destroyed, and returns which (Menu when
// the window is gone). Called only by runRace, only while the window exists; again after each
// replay watched.
ResultChoice runResultScreen(Window* window);

// The screen's handlers, installed in the window's slots while it runs.
// onPaint: clears the back buffer and draws the picture in its three grey frames, the headline,
// the bars, the result line and the prompt.
void resultOnPaint(Window* window);
// onKeyDown: confirm (Enter unless the player changed it) ends the screen, race again (R) ends it
// asking for the same track, watch (W) asking for the replay when one was kept; every other key
// is ignored.
void resultOnKeyDown(Window* window, uint32_t code);
// onDestroy: ends the screen.
void resultOnDestroy(Window* window);
