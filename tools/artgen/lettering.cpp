#include "lettering.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#ifndef VANTOR_FONT_FOLDER
#define VANTOR_FONT_FOLDER "/usr/share/fonts/truetype/dejavu"
#endif

std::string defaultFontFolder()
{
    return VANTOR_FONT_FOLDER;
}

TypeFace::TypeFace(const std::string &path)
{
    if (FT_Init_FreeType(&library_) != 0) {
        std::fprintf(stderr, "artgen: FreeType could not be initialised\n");
        std::exit(1);
    }
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
        std::fprintf(stderr,
                     "artgen: cannot open the font '%s'.\n"
                     "Install the Debian package fonts-dejavu-core, or pass --fonts FOLDER.\n",
                     path.c_str());
        FT_Done_FreeType(library_);
        std::exit(1);
    }
}

TypeFace::~TypeFace()
{
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
}

namespace
{

// FreeType sizes are 26.6 fixed point.
FT_F26Dot6 fixed(float pixels)
{
    return static_cast<FT_F26Dot6>(std::lround(pixels * 64.0f));
}

float fromFixed(FT_Pos value)
{
    return static_cast<float>(value) / 64.0f;
}

// A rendered glyph as samples, with a border of `radius` samples: `inside` marks the letter,
// `ring` the letter grown by `radius` (its outline together with the letter).
struct GlyphMask {
    int width = 0, height = 0;
    std::vector<uint8_t> inside, ring;

    size_t index(int col, int row) const
    {
        return static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col);
    }
    bool isInside(int col, int row) const
    {
        return col >= 0 && row >= 0 && col < width && row < height && inside[index(col, row)] != 0;
    }
};

GlyphMask glyphMask(const FT_Bitmap &bitmap, int radius)
{
    GlyphMask mask;
    mask.width = static_cast<int>(bitmap.width) + 2 * radius;
    mask.height = static_cast<int>(bitmap.rows) + 2 * radius;
    mask.inside.assign(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height), 0);
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row)
        for (int col = 0; col < static_cast<int>(bitmap.width); ++col)
            if (bitmap.buffer[row * bitmap.pitch + col] >= 128)
                mask.inside[mask.index(col + radius, row + radius)] = 1;
    mask.ring = mask.inside;
    // Grow the letter by stamping a disc on every edge sample.
    for (int row = 0; row < mask.height; ++row) {
        for (int col = 0; col < mask.width; ++col) {
            if (radius == 0 || !mask.isInside(col, row) ||
                (mask.isInside(col - 1, row) && mask.isInside(col + 1, row) && mask.isInside(col, row - 1) &&
                 mask.isInside(col, row + 1)))
                continue;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx)
                    if (dx * dx + dy * dy <= radius * radius && col + dx >= 0 && row + dy >= 0 &&
                        col + dx < mask.width && row + dy < mask.height)
                        mask.ring[mask.index(col + dx, row + dy)] = 1;
        }
    }
    return mask;
}

} // namespace

float TypeFace::textWidth(std::string_view text, float pixelSize) const
{
    FT_Set_Char_Size(face_, 0, fixed(pixelSize), 72, 72);
    float width = 0;
    for (char c : text) {
        if (FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_NO_HINTING) == 0)
            width += fromFixed(face_->glyph->advance.x);
    }
    return width;
}

float TypeFace::capHeight(float pixelSize) const
{
    FT_Set_Char_Size(face_, 0, fixed(pixelSize), 72, 72);
    FT_Load_Char(face_, 'H', FT_LOAD_NO_HINTING);
    return fromFixed(face_->glyph->metrics.horiBearingY);
}

float TypeFace::descent(float pixelSize) const
{
    FT_Set_Char_Size(face_, 0, fixed(pixelSize), 72, 72);
    FT_Load_Char(face_, 'g', FT_LOAD_NO_HINTING);
    return fromFixed(face_->glyph->metrics.height - face_->glyph->metrics.horiBearingY);
}

float TypeFace::draw(Canvas &canvas, std::string_view text, float x, float baseline, const Style &style) const
{
    const int s = canvas.samples();
    const float sf = static_cast<float>(s);
    // Glyphs are rendered at sample resolution: one glyph pixel is one sample.
    FT_Set_Char_Size(face_, 0, fixed(style.pixelSize * sf), 72, 72);
    const bool clipped = style.clipW > 0 && style.clipH > 0;
    const int clipLeft = clipped ? static_cast<int>(std::lround(style.clipX * sf)) : 0;
    const int clipTop = clipped ? static_cast<int>(std::lround(style.clipY * sf)) : 0;
    const int clipRight =
        clipped ? static_cast<int>(std::lround((style.clipX + style.clipW) * sf)) : canvas.sampleWidth();
    const int clipBottom =
        clipped ? static_cast<int>(std::lround((style.clipY + style.clipH) * sf)) : canvas.sampleHeight();
    const int radius = static_cast<int>(std::lround(style.outline * sf));

    // Outlines first, then the letters, so that no outline covers a neighbouring letter.
    float penX = x * sf;
    for (int pass = radius > 0 ? 0 : 1; pass < 2; ++pass) {
        penX = x * sf;
        for (char c : text) {
            if (FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0)
                continue;
            const FT_GlyphSlot slot = face_->glyph;
            const GlyphMask mask = glyphMask(slot->bitmap, radius);
            const std::vector<uint8_t> &painted = pass == 0 ? mask.ring : mask.inside;
            const int originX = static_cast<int>(std::lround(penX)) + slot->bitmap_left - radius;
            const int originY = static_cast<int>(std::lround(baseline * sf)) - slot->bitmap_top - radius;
            for (int row = 0; row < mask.height; ++row) {
                for (int col = 0; col < mask.width; ++col) {
                    const int sx = originX + col, sy = originY + row;
                    if (painted[mask.index(col, row)] == 0 || sx < clipLeft || sy < clipTop || sx >= clipRight ||
                        sy >= clipBottom)
                        continue;
                    const float px = (static_cast<float>(sx) + 0.5f) / sf, py = (static_cast<float>(sy) + 0.5f) / sf;
                    canvas.blendSample(sx, sy, pass == 0 ? Paint{style.outlineColour, 1} : style.fill(px, py));
                }
            }
            penX += fromFixed(slot->advance.x);
        }
    }
    return penX / sf;
}
