#pragma once
// Lettering for artgen: glyphs rendered with FreeType from the DejaVu fonts of the system and
// painted onto a canvas at sample resolution, with an optional outline. Used by the font sheets,
// the finish sign, the key layout and the contact sheet's labels.

#include <string>
#include <string_view>

#include "canvas.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// One font file, opened for the life of the object. Construction ends the program with a clear
// message when FreeType or the file is missing.
class TypeFace
{
public:
    explicit TypeFace(const std::string &path);
    ~TypeFace();
    TypeFace(const TypeFace &) = delete;
    TypeFace &operator=(const TypeFace &) = delete;

    // The advance of `text` in output pixels at `pixelSize` (the font's em in output pixels).
    float textWidth(std::string_view text, float pixelSize) const;
    // Height of a capital above the baseline and depth of a descender below it, in output pixels.
    float capHeight(float pixelSize) const;
    float descent(float pixelSize) const;

    // How one piece of text is painted.
    struct Style {
        float pixelSize = 16;
        Shader fill;
        float outline = 0; // outline width in output pixels, 0 for none
        Colour outlineColour;
        // Painting is confined to this rectangle (output pixels); an empty one means the canvas.
        float clipX = 0, clipY = 0, clipW = 0, clipH = 0;
    };
    // Paints `text` with its first glyph's origin at (x, baseline) and returns the x after it.
    float draw(Canvas &canvas, std::string_view text, float x, float baseline, const Style &style) const;

private:
    FT_LibraryRec_ *library_ = nullptr;
    FT_FaceRec_ *face_ = nullptr;
};

// Where the DejaVu fonts live; artgen's --fonts option overrides it.
std::string defaultFontFolder();
