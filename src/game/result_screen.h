#pragma once
// The result screen after every race that ended with the window open: a picture of a win, a
// loss or a quit, its headline, the finishing place in words and the prompt to press Enter. Beside
// them, on rows of their own: the race's track code and time with the track's record, and the key
// that races the same track again.

#include <cstdint>
#include <string>

struct Bitmap;
struct BitmapFont;
struct Window;

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
    bool raceAgain = false;          // the player asked for the same track again
};
extern ResultScreen resultScreen;

// Writes the sentence for finishing place `place` into `line` (capacity bytes, zero-filled
// first): "You did not finish!" for a place of 0 or below, else "You came " + place + suffix + ".".
void buildResultLine(int32_t place, char* line, int capacity);

// Runs the screen for the race state's finishPosition until Enter (or the race-again key) is
// pressed or the window is destroyed. A finished race is added to the records in
// `recordsFolder` (records_file.h; empty: no records are kept) first. Called only by runRace after
// the race was torn down, only while the window exists. Returns whether the player asked to race
// the same track again.
bool runResultScreen(Window* window, const std::string& recordsFolder);

// The screen's handlers, installed in the window's slots while it runs.
// onPaint: clears the back buffer and draws the picture in its three grey frames, the headline,
// the bars, the result line and the prompt.
void resultOnPaint(Window* window);
// onKeyDown: confirm (Enter unless the player changed it) ends the screen, race again (R) ends it
// asking for the same track; every other key is ignored.
void resultOnKeyDown(Window* window, uint32_t code);
// onDestroy: ends the screen.
void resultOnDestroy(Window* window);
