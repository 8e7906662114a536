#pragma once
// Helpers of the race-drawing tests: a headless 640x480 window, tracks built by hand from their
// segment end points, one-colour pictures and Sprites written as BMP files and loaded the way the
// game loads them, a font whose every glyph cell is one colour (so a drawn text can be read back
// from the pixels), and a back buffer read as runs of colour.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "race/race_state.h"
#include "gfx/raster.h"
#include "picture_support.h"
#include "pictures/bitmap.h"
#include "platform/headless/headless_backend.h"
#include "pictures/text.h"
#include "platform/window.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace render_support {

// What the back buffer holds before a test draws: a colour no road, picture or text uses.
constexpr uint32_t sentinel = 0x123456;

// The key colour of every test picture (its bottom-right pixel): drawn nowhere.
constexpr uint32_t keyColour = 0xFF00FF;

// A live headless window whose back buffer is filled with the sentinel.
struct TestWindow {
    HeadlessBackend backend;
    Window window{};

    TestWindow()
    {
        window.backend = &backend;
        create(&window);
        clear();
    }
    ~TestWindow() { releaseWindow(&window); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    void clear() { fillSurface(&window.backBuffer, sentinel); }
    uint32_t at(int x, int y) const
    {
        return window.backBuffer.pixels[static_cast<std::size_t>(y * window.backBuffer.width + x)];
    }
    // Row y as runs "colour@first" in hex, e.g. "dadae1@0 323232@137 ...".
    std::string runs(int y) const
    {
        std::ostringstream out;
        out << std::hex;
        uint32_t previous = 0;
        for (int x = 0; x < window.backBuffer.width; ++x) {
            const uint32_t c = at(x, y);
            if (x == 0 || c != previous) {
                out << (x == 0 ? "" : " ") << c << "@" << std::dec << x << std::hex;
                previous = c;
            }
        }
        return out.str();
    }
};

// A track of points.size() - 1 segments through the given end points (point i at z = 3000 i),
// with lines, dash and normals as generation makes them. Freed by freeTrack.
inline Track* trackThrough(const std::vector<TrackPoint>& points)
{
    const auto count = static_cast<uint32_t>(points.size() - 1);
    auto* track = new Track{count, new TrackSegment*[count]};
    for (uint32_t i = 0; i < count; ++i) {
        track->segments[i] = buildSegment(i, points[i], points[i + 1]);
    }
    return track;
}

// A level, straight road 4500 wide centred on x = 0, `count` segments long.
inline Track* flatTrack(uint32_t count)
{
    return trackThrough(std::vector<TrackPoint>(count + 1, TrackPoint{0.0f, -2250.0f, 2250.0f}));
}

// A w x h picture of one colour (its bottom-right pixel the key colour) saved as a BMP file in
// the test's folder; returns the file's path.
inline std::string pictureFile(const std::string& name, int w, int h, uint32_t colour)
{
    Surface s;
    s.width = w;
    s.height = h;
    s.pixels.assign(static_cast<std::size_t>(w * h), colour);
    s.pixels.back() = keyColour;
    const std::string path = testFolder() + name + ".bmp";
    picture_support::writeFile(path, picture_support::bmp24(s));
    return path;
}

// A loaded picture of one colour: colour-keyed (its bottom-right pixel transparent) or opaque.
inline Bitmap* onePictureColour(Window* window, const std::string& name, int w, int h,
                                uint32_t colour, uint8_t transparent)
{
    return loadBitmap(window, pictureFile(name, w, h, colour).c_str(), transparent);
}

// A loaded Sprite of one colour, freed (levels and record) when the holder goes.
struct TestSprite {
    Sprite sprite{};
    TestSprite(Window* window, const std::string& name, int w, int h, uint32_t colour)
    {
        loadSprite(window, pictureFile(name, w, h, colour).c_str(), &sprite);
    }
    ~TestSprite() { freeSprite(&sprite); }
    TestSprite(const TestSprite&) = delete;
    TestSprite& operator=(const TestSprite&) = delete;
};

// A font of 4 x 4 pixel cells in which the cell of character c is all colour glyphBase + c.
constexpr uint32_t glyphBase = 0x100000;
constexpr int glyphSide = 4;
inline BitmapFont* readableFont()
{
    const int w = 8 * glyphSide;
    const int h = 16 * glyphSide;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            pixels[static_cast<std::size_t>(y * w + x)] =
                glyphBase + static_cast<uint32_t>((y / glyphSide) * 8 + x / glyphSide);
        }
    }
    auto* font = new BitmapFont{};
    countFontMade();
    font->bitmap = bitmapFromPixels(pixels.data(), w, h);
    font->cellWidth = glyphSide;
    font->cellHeight = glyphSide;
    return font;
}

// The text drawn with readableFont whose first cell's top-left corner is at (x, y): characters
// are read cell by cell until a pixel that is no glyph.
inline std::string readText(const TestWindow& w, int x, int y)
{
    std::string text;
    for (;; x += glyphSide) {
        if (x >= w.window.backBuffer.width) {
            break;
        }
        const uint32_t c = w.at(x, y);
        if (c < glyphBase || c >= glyphBase + 127) {
            break;
        }
        text += static_cast<char>(c - glyphBase);
    }
    return text;
}

// Saves the race-state fields a test changes and puts them back afterwards, so that tests never
// see each other's race.
struct RaceStateGuard {
    RaceState* saved = new RaceState(raceState);
    ~RaceStateGuard()
    {
        raceState = *saved;
        delete saved;
    }
    RaceStateGuard() = default;
    RaceStateGuard(const RaceStateGuard&) = delete;
    RaceStateGuard& operator=(const RaceStateGuard&) = delete;
};

} // namespace render_support
