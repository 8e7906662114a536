#pragma once
// Text drawn from a picture font: one picture of 8 columns by 16 rows of glyph cells, the cell in
// column c and row r holding character code 8 r + c. Every character takes one cell; the font
// picture's colours are the text's colours, transparent where the picture has its key colour.
// The race uses "gfx\\font\\font1.bmp", the menu, controls and result screens
// "gfx\\font\\font1sm.bmp".

struct Window;
struct Bitmap;

// A picture font (heap record made by makeBitmapFont, released by freeBitmapFont).
struct BitmapFont {
    Bitmap* bitmap = nullptr; // the font picture, colour-keyed, owned
    int cellWidth = 0;        // picture width / 8
    int cellHeight = 0;       // picture height / 16
};

// Loads the font picture at path (as loadBitmap) and sizes its cells. A missing picture gives a
// font with an empty picture and cells of size 0, which draws nothing. The caller owns the font.
BitmapFont* makeBitmapFont(Window* window, const char* path);

// Releases the font and its picture; harmless for null.
void freeBitmapFont(BitmapFont* font);

// Draws the NUL-terminated byte string with its first cell's top-left corner at (x, y) in the
// back buffer, one cell per byte, left to right; a byte's top bit is ignored (0xC1 draws "A").
// No line breaks or special characters: every byte draws its cell and advances one cell.
// Nothing for a null window or text or an empty text. The font must not be null.
// A text is (bytes x cellWidth) by cellHeight pixels.
void drawText(Window* window, BitmapFont* font, const char* text, int x, int y);

// Draws the text centred on the screen with its top at y: its first cell starts at x = 320 -
// (bytes x cellWidth) / 2, the half taken in integers. The screens' headings and prompts and the
// race's place and countdown are drawn so.
void drawCentredText(Window* window, BitmapFont* font, const char* text, int y);
