#pragma once
// The result screen after every race that ended with the window open: a picture of a win, a
// loss or a quit, its headline, the finishing place in words and the prompt to press Enter.

#include <cstdint>

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
};
extern ResultScreen resultScreen;

// Writes the sentence for finishing place `place` into `line` (capacity bytes, zero-filled
// first): "You did not finish!" for a place of 0 or below, else "You came " + place + suffix + ".".
void buildResultLine(int32_t place, char* line, int capacity);

// Runs the screen for the race state's finishPosition until Enter is pressed or the window is
// destroyed. Called only by runRace after the race was torn down, only while the window exists.
void runResultScreen(Window* window);

// The screen's handlers, installed in the window's slots while it runs.
// onPaint: clears the back buffer and draws the picture in its three grey frames, the headline,
// the bars, the result line and the prompt.
void resultOnPaint(Window* window);
// onKeyDown: confirm (Enter unless the player changed it) ends the screen; every other key is
// ignored.
void resultOnKeyDown(Window* window, uint32_t code);
// onDestroy: ends the screen.
void resultOnDestroy(Window* window);
