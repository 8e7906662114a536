// The two picture fonts: 8 columns by 16 rows of glyph cells, cell (c, r) holding character code
// 8r + c. The race font is large, yellow and outlined so that it reads over sky, snow and road;
// the screen font is smaller and white, for the black menu, controls and result screens.
#include <algorithm>

#include "pictures.h"

namespace
{

struct FontLook {
    int cellWidth;
    int cellHeight;
    float pixelSize;
    float outline;
    Colour top, bottom, outlineColour;
};

Picture paintFont(const TypeFace &face, const FontLook &look, int scale)
{
    Canvas canvas(look.cellWidth * 8, look.cellHeight * 16, 4, scale);
    const float cw = static_cast<float>(look.cellWidth), ch = static_cast<float>(look.cellHeight);
    const float cap = face.capHeight(look.pixelSize), descent = face.descent(look.pixelSize);
    // Capitals and descenders centred in the cell.
    const float baselineOffset = (ch - cap - descent) * 0.5f + cap;
    for (int code = 33; code < 127; ++code) {
        const float cellX = cw * static_cast<float>(code % 8), cellY = ch * static_cast<float>(code / 8);
        const char text[] = {static_cast<char>(code), 0};
        TypeFace::Style style;
        style.pixelSize = look.pixelSize;
        style.outline = look.outline;
        style.outlineColour = look.outlineColour;
        style.fill = [&look, cellY, ch](float, float y) {
            return Paint{mix(look.top, look.bottom, std::clamp((y - cellY) / ch, 0.0f, 1.0f)), 1};
        };
        style.clipX = cellX;
        style.clipY = cellY;
        style.clipW = cw;
        style.clipH = ch;
        const float advance = face.textWidth(text, look.pixelSize);
        face.draw(canvas, text, cellX + (cw - advance) * 0.5f, cellY + baselineOffset, style);
    }
    return canvas.resolve(true);
}

} // namespace

std::vector<NamedPicture> paintFonts(const Typefaces &type, int scale)
{
    const FontLook race{32, 48, 42, 2.5f, hexColour(0xFFF6A0), hexColour(0xFF8A18), hexColour(0x0C0A1C)};
    const FontLook screen{16, 24, 22, 1.0f, hexColour(0xFFFFFF), hexColour(0xA8C0E8), hexColour(0x000000)};
    return {{"font/font1.bmp", paintFont(type.mono, race, scale)},
            {"font/font1sm.bmp", paintFont(type.mono, screen, scale)}};
}
