// Picture-font text.
#include "pictures/text.h"

#include <climits>
#include <cstring>

#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "core/errors.h"
#include "platform/window.h"

BitmapFont* makeBitmapFont(Window* window, const char* path)
{
    auto* font =
        allocateOrFatal(__LINE__, "Out of memory for a font", [] { return new BitmapFont{}; });
    countFontMade();
    font->bitmap = loadBitmap(window, path, 1);
    font->cellWidth = font->bitmap->info.width / 8;
    font->cellHeight = font->bitmap->info.height / 16;
    return font;
}

void freeBitmapFont(BitmapFont* font)
{
    if (font == nullptr) {
        return;
    }
    if (font->bitmap != nullptr) {
        freeBitmap(font->bitmap);
    }
    delete font;
    countFontFreed();
}

void drawText(Window* window, BitmapFont* font, const char* text, int x, int y)
{
    if (window == nullptr || text == nullptr) {
        return;
    }
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned code = static_cast<unsigned char>(*c) & 0x7Fu;
        const int column = static_cast<int>(code & 7u);
        const int row = static_cast<int>(code >> 3);
        drawBitmapRegion(window, font->bitmap, column * font->cellWidth, row * font->cellHeight, x,
                         y, font->cellWidth, font->cellHeight);
        if (x > INT_MAX - font->cellWidth) {
            return; // every further cell lies beyond any surface
        }
        x += font->cellWidth;
    }
}

void drawCentredText(Window* window, BitmapFont* font, const char* text, int y)
{
    const int width = static_cast<int>(std::strlen(text)) * font->cellWidth;
    drawText(window, font, text, screenCentreX - width / 2, y);
}
