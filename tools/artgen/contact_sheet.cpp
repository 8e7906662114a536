// The contact sheet for reviewing the art: every picture on a checkerboard with its name, then
// the pictures put together the way the race, the menu, the controls and the result screens show
// them (pictures reduced and stretched by nearest pixel from halved levels, as the game does).
// At drawing scale k the screens are 640k x 480k and every screen position is k times the one at
// scale 1; world sizes still come from the scale-1 picture sizes.
#include <algorithm>
#include <cmath>
#include <map>

#include "noise.h"
#include "pictures.h"

namespace
{

using Levels = std::vector<Surface>;

uint32_t &at(Surface &s, int x, int y)
{
    return s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
}

uint32_t at(const Surface &s, int x, int y)
{
    return s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
}

Surface blank(int width, int height, uint32_t colour)
{
    Surface s;
    s.width = width;
    s.height = height;
    s.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), colour);
    return s;
}

// Copies the sx, sy, sw x sh part of `src` stretched onto x, y, w x h of `dst` (nearest pixel),
// skipping key-coloured pixels when the picture is keyed.
void stretch(Surface &dst, const Surface &src, bool keyed, int sx, int sy, int sw, int sh, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return;
    const uint32_t key = keyed ? at(src, src.width - 1, src.height - 1) : 0xFFFFFFFFu;
    for (int row = std::max(0, -y); row < h && y + row < dst.height; ++row) {
        const int srcRow = sy + static_cast<int>(static_cast<int64_t>(row) * sh / h);
        for (int col = std::max(0, -x); col < w && x + col < dst.width; ++col) {
            const uint32_t p = at(src, sx + static_cast<int>(static_cast<int64_t>(col) * sw / w), srcRow);
            if (p != key)
                at(dst, x + col, y + row) = p;
        }
    }
}

void blit(Surface &dst, const Picture &picture, int x, int y)
{
    const Surface &s = picture.surface;
    stretch(dst, s, picture.keyed, 0, 0, s.width, s.height, x, y, s.width, s.height);
}

// The halved levels the game makes of a sprite: nearest pixel, the key kept at the bottom right.
Levels reductions(const Surface &full)
{
    Levels levels = {full};
    for (int i = 1; (std::max(full.width, full.height) >> i) > 0; ++i) {
        const int w = std::max(1, full.width >> i), h = std::max(1, full.height >> i);
        Surface level = blank(w, h, 0);
        const double sx = static_cast<double>(full.width) / w, sy = static_cast<double>(full.height) / h;
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                at(level, c, r) = at(full, std::min(full.width - 1, static_cast<int>(c * sx)),
                                     std::min(full.height - 1, static_cast<int>(r * sy)));
        level.pixels.back() = full.pixels.back();
        levels.push_back(std::move(level));
    }
    return levels;
}

// Draws a sprite at a w x h target from the largest level that fits inside it.
void drawSprite(Surface &dst, const Levels &levels, int x, int y, int w, int h)
{
    if (w <= 2 || h <= 0)
        return;
    size_t level = 0;
    while (level + 1 < levels.size() && (levels[level].width > w || levels[level].height > h))
        ++level;
    const Surface &s = levels[level];
    stretch(dst, s, true, 0, 0, s.width, s.height, x, y, w, h);
}

struct Camera {
    float x, y, z;
};

// A world object of ow x oh world units centred at (px, py, pz), as the race projects it.
void drawObject(Surface &dst, const Levels &levels, const Camera &camera, float px, float py, float pz, float ow,
                float oh, int scale)
{
    const float depth = pz - camera.z;
    if (depth < 1)
        return;
    const float k = 1 / depth;
    const float sw = ow * k * 320, sh = oh * k * 240;
    const float left = (px - camera.x) * k * 320 + 320 - sw * 0.5f;
    const float top = (py - camera.y) * (-1 / depth) * 240 + 240 - sh * 0.5f;
    const float s = static_cast<float>(scale);
    auto round = [](float v) {
        return static_cast<int>(v - std::trunc(v) >= 0.5f ? std::trunc(v) + 1 : std::trunc(v));
    };
    drawSprite(dst, levels, round(left * s), round(top * s), round(sw * s), round(sh * s));
}

// Text in a picture font: cell (c, r) of the 8 x 16 grid holds code 8r + c.
void drawText(Surface &dst, const Picture &font, const std::string &text, int x, int y)
{
    const int cw = font.surface.width / 8, ch = font.surface.height / 16;
    for (char c : text) {
        const int code = c & 0x7F;
        stretch(dst, font.surface, true, (code & 7) * cw, (code >> 3) * ch, cw, ch, x, y, cw, ch);
        x += cw;
    }
}

class Library
{
public:
    explicit Library(const std::vector<NamedPicture> &pictures)
    {
        for (const NamedPicture &named : pictures)
            byPath_[named.path] = &named.picture;
    }
    const Picture &operator[](const std::string &path) const { return *byPath_.at(path); }
    const Levels &levels(const std::string &path)
    {
        auto found = levels_.find(path);
        if (found == levels_.end())
            found = levels_.emplace(path, reductions((*this)[path].surface)).first;
        return found->second;
    }

private:
    std::map<std::string, const Picture *> byPath_;
    std::map<std::string, Levels> levels_;
};

// A straight, level stretch of road seen from just behind the player, with scenery, opponents,
// an oil spill, a snow puff, the finish signs far ahead, and the head-up display.
Surface raceView(Library &art, int scale)
{
    const int k = scale;
    const float s = static_cast<float>(scale);
    Surface frame = blank(640 * k, 480 * k, 0);
    blit(frame, art["bgr/sky.bmp"], 0, 0);
    const float cloudX[] = {-60, 120, 300, 520}, cloudY[] = {20, 90, 40, 110};
    for (int i = 3; i >= 0; --i)
        blit(frame, art["bgr/cloud.bmp"], static_cast<int>(cloudX[i] * s), static_cast<int>(cloudY[i] * s));
    const Camera camera{-1125, 1200, 0};
    for (int y = 242 * k; y < 480 * k; ++y) {
        const float depth = 240 * camera.y / (static_cast<float>(y) / s - 240);
        if (depth > 175000)
            continue;
        const float shade = std::trunc(255 / (depth * 0.000005f + 1));
        auto brush = [shade](float r, float g, float b) {
            return (static_cast<uint32_t>(shade * r) << 16) | (static_cast<uint32_t>(shade * g) << 8) |
                   static_cast<uint32_t>(shade * b);
        };
        auto screenX = [&](float x) { return static_cast<int>((320 + 320 * (x - camera.x) / depth) * s); };
        for (int x = 0; x < 640 * k; ++x)
            at(frame, x, y) = brush(0.87f, 0.87f, 0.9f);
        for (int x = std::max(0, screenX(-2250)); x < std::min(640 * k, screenX(2250)); ++x)
            at(frame, x, y) = brush(0.2f, 0.2f, 0.2f);
        if (depth < 75000) {
            for (float edge : {-2250.0f, 2130.0f})
                for (int x = std::max(0, screenX(edge)); x < std::min(640 * k, screenX(edge + 120)); ++x)
                    at(frame, x, y) = brush(0.8f, 0.8f, 0.25f);
            if (std::fmod(depth, 3000.0f) < 1500)
                for (int x = std::max(0, screenX(-50)); x < std::min(640 * k, screenX(50)); ++x)
                    at(frame, x, y) = brush(0.8f, 0.8f, 0.8f);
        }
    }
    struct Placed {
        std::string path;
        float x, y, z, w, h;
    };
    std::vector<Placed> objects;
    ArtRandom random(77);
    const char *scenery[] = {"obs/tree1.bmp", "obs/tree2.bmp", "obs/tree3.bmp", "obs/rock1.bmp"};
    for (int segment = 0; segment < 58; ++segment) {
        for (float side : {-1.0f, 1.0f}) {
            if (random.unit() > 0.7f)
                continue;
            const std::string path = scenery[random.next() % 4];
            const Surface &picture = art[path].surface;
            const float w = static_cast<float>(picture.width / k) * 16, h = static_cast<float>(picture.height / k) * 16;
            objects.push_back({path, side * (2250 + 1024 + random.unit() * 20000), h * 0.5f,
                               static_cast<float>(segment) * 3000 + 1500, w, h});
        }
    }
    const Surface &sign = art["obs/finishSign.bmp"].surface;
    const float signW = static_cast<float>(sign.width / k), signH = static_cast<float>(sign.height / k);
    for (float side : {-1.0f, 1.0f})
        objects.push_back(
            {"obs/finishSign.bmp", side * (2250 + 1.5f * signW * 32), signH * 16, 120000, signW * 32, signH * 32});
    objects.push_back({"obs/oilSpill.bmp", 700, 100, 6500, 800, 200});
    objects.push_back({"snowPuff/snowPuff2.bmp", -3000, 250, 5200, 700, 500});
    objects.push_back({"car/car1.bmp", -1125, 200, 1500, 600, 400});
    objects.push_back({"car/car2_r.bmp", 1125, 200, 3200, 600, 400});
    objects.push_back({"car/car3_ll.bmp", -2700, 200, 5000, 600, 400});
    objects.push_back({"car/car4.bmp", 1125, 200, 9000, 600, 400});
    objects.push_back({"car/car2_l.bmp", -1125, 200, 17000, 600, 400});
    objects.push_back({"car/car3.bmp", 900, 200, 34000, 600, 400});
    objects.push_back({"car/car1_rrr.bmp", -600, 200, 70000, 600, 400});
    std::stable_sort(objects.begin(), objects.end(), [](const Placed &a, const Placed &b) { return a.z > b.z; });
    for (const Placed &o : objects)
        drawObject(frame, art.levels(o.path), camera, o.x, o.y, o.z, o.w, o.h, scale);

    const Picture &fullLeft = art["hud/guageFullLeft.bmp"];
    const int gaugeW = fullLeft.surface.width, gaugeH = fullLeft.surface.height;
    const int fill = gaugeW * 3 / 5;
    stretch(frame, fullLeft.surface, true, 0, 0, fill, gaugeH, 0, 0, fill, gaugeH);
    stretch(frame, art["hud/guageEmptyLeft.bmp"].surface, true, fill, 0, gaugeW - fill, gaugeH, fill, 0, gaugeW - fill,
            gaugeH);
    stretch(frame, art["hud/guageFullRight.bmp"].surface, true, gaugeW - fill, 0, fill, gaugeH, 640 * k - fill, 0, fill,
            gaugeH);
    stretch(frame, art["hud/guageEmptyRight.bmp"].surface, true, 0, 0, gaugeW - fill, gaugeH, 640 * k - gaugeW, 0,
            gaugeW - fill, gaugeH);
    const Picture &font = art["font/font1.bmp"];
    const int cw = font.surface.width / 8, ch = font.surface.height / 16;
    drawText(frame, font, "3rd", 320 * k - 3 * cw / 2, 0);
    drawText(frame, font, "GO!", 320 * k - 3 * cw / 2, 240 * k - ch / 2);
    return frame;
}

struct ScreenText {
    std::string text;
    int x, y;
};

// A black screen with the two bars, the screen font's texts and, centred, one picture. Text
// positions are given at scale 1.
Surface screenView(Library &art, const std::string &centred, const std::vector<ScreenText> &texts, bool frames,
                   int scale)
{
    const int k = scale;
    Surface frame = blank(640 * k, 480 * k, 0);
    const Picture &font = art["font/font1sm.bmp"];
    const int H = font.surface.height / 16 / k;
    if (!centred.empty()) {
        const Picture &picture = art[centred];
        const int a = picture.surface.width / k / 2, b = picture.surface.height / k / 2;
        blit(frame, picture, (320 - a) * k, (240 - b) * k);
        if (frames) {
            // Three grey frames, each one scale-1 pixel wide, the innermost on the picture's own
            // first column and row.
            const uint32_t greys[] = {0x969696, 0x646464, 0x3C3C3C};
            for (int i = 0; i < 3 * k; ++i) {
                const int x0 = (320 - a) * k + k - 1 - i, y0 = (240 - b) * k + k - 1 - i;
                const int x1 = (320 + a) * k + i, y1 = (240 + b) * k + i;
                for (int x = x0; x <= x1; ++x)
                    at(frame, x, y0) = at(frame, x, y1) = greys[i / k];
                for (int y = y0; y <= y1; ++y)
                    at(frame, x0, y) = at(frame, x1, y) = greys[i / k];
            }
        }
    }
    blit(frame, art["menu/menuBar1.bmp"], 0, 3 * H * k);
    blit(frame, art["menu/menuBar1.bmp"], 0, (480 - 5 * H) * k);
    for (const ScreenText &t : texts)
        drawText(frame, font, t.text, t.x * k, t.y * k);
    return frame;
}

// The width and height of a screen-font cell at scale 1.
int screenCellWidth(Library &art, int scale)
{
    return art["font/font1sm.bmp"].surface.width / 8 / scale;
}

int screenCellHeight(Library &art, int scale)
{
    return art["font/font1sm.bmp"].surface.height / 16 / scale;
}

Surface menuView(Library &art, int scale)
{
    const int W = screenCellWidth(art, scale), H = screenCellHeight(art, scale);
    const char *labels[] = {"TRACK LENGHT ",    "HILL STEEPNESS", "TURN SHARPNESS",
                            "NUM COMPETITORS ", "AI CAR SPEED ",  "GRID SPACING "};
    const char *values[] = {"NORMAL", "NORMAL", "NORMAL", "16", "NORMAL", "NORMAL"};
    std::vector<ScreenText> texts = {{"VANTOR", 320 - (6 * W) / 2, H},
                                     {"USE ARROW KEYS TO MODIFY", 320 - (24 * W) / 2, 480 - 3 * H},
                                     {"ENTER BEGINS, ESC QUITS.", 320 - (24 * W) / 2, 480 - H}};
    for (int row = 0; row < 6; ++row) {
        const int y = static_cast<int>(H * (4.5 + 1.5 * row));
        texts.push_back({labels[row], 2 * W, y});
        texts.push_back({values[row], 475, y});
    }
    Surface frame = screenView(art, "", texts, false, scale);
    blit(frame, art["menu/arrow.bmp"], 10 * scale, static_cast<int>(H * 4.5 + 1.5 * H * 1) * scale);
    return frame;
}

Surface controlsView(Library &art, int scale)
{
    const int W = screenCellWidth(art, scale), H = screenCellHeight(art, scale);
    return screenView(
        art, "menu/keyLayout.bmp",
        {{"Game controls", 320 - (13 * W) / 2, H}, {"Press enter to continue.", 320 - (24 * W) / 2, 480 - H}}, false,
        scale);
}

Surface resultView(Library &art, const std::string &picture, const std::string &headline, const std::string &line,
                   int scale)
{
    const int W = screenCellWidth(art, scale), H = screenCellHeight(art, scale);
    return screenView(art, picture,
                      {{headline, 320 - static_cast<int>(headline.size()) * W / 2, H},
                       {line, 320 - static_cast<int>(line.size()) * W / 2, 480 - 3 * H},
                       {"Press enter to continue.", 320 - (24 * W) / 2, 480 - H}},
                      true, scale);
}

Picture label(const TypeFace &sans, const std::string &text, int scale)
{
    const float size = 12;
    Canvas canvas(static_cast<int>(sans.textWidth(text, size)) + 4, 16, 2, scale);
    TypeFace::Style style;
    style.pixelSize = size;
    style.fill = [](float, float) { return Paint{hexColour(0x202020), 1}; };
    sans.draw(canvas, text, 1, 12, style);
    return canvas.resolve(true);
}

} // namespace

Picture paintContactSheet(const std::vector<NamedPicture> &pictures, const Typefaces &type, int scale)
{
    Library art(pictures);
    const int k = scale;
    const int sheetWidth = 1960 * k, pad = 12 * k;
    // Flow the pictures into rows, each picture above its name.
    struct Slot {
        const NamedPicture *named;
        int x, y;
    };
    std::vector<Slot> slots;
    int x = pad, y = pad, rowHeight = 0;
    for (const NamedPicture &named : pictures) {
        const int w = named.picture.surface.width, h = named.picture.surface.height + 18 * k;
        if (x + w + pad > sheetWidth) {
            x = pad;
            y += rowHeight + pad;
            rowHeight = 0;
        }
        slots.push_back({&named, x, y});
        x += w + pad;
        rowHeight = std::max(rowHeight, h);
    }
    const int previewsY = y + rowHeight + pad;
    const std::vector<Surface> views = {
        raceView(art, scale),
        menuView(art, scale),
        controlsView(art, scale),
        resultView(art, "menu/raceWon.bmp", "You rock! Lets celebrate!", "You came 1st.", scale),
        resultView(art, "menu/raceLost.bmp", "Too slow! Try again.", "You came 22nd.", scale),
        resultView(art, "menu/raceQuit.bmp", "Feeling a bit peckish?", "You did not finish!", scale)};
    const int rows = static_cast<int>((views.size() + 2) / 3);
    Picture sheet;
    sheet.surface = blank(sheetWidth, previewsY + rows * (480 * k + pad), 0x707070);
    for (const Slot &slot : slots) {
        const Surface &s = slot.named->picture.surface;
        for (int row = 0; row < s.height; ++row)
            for (int col = 0; col < s.width; ++col)
                at(sheet.surface, slot.x + col, slot.y + row) =
                    ((row / (8 * k) + col / (8 * k)) % 2 == 0) ? 0xC8C8C8 : 0x9A9A9A;
        blit(sheet.surface, slot.named->picture, slot.x, slot.y);
        blit(sheet.surface, label(type.sans, slot.named->path, scale), slot.x, slot.y + s.height + k);
    }
    for (size_t i = 0; i < views.size(); ++i)
        blit(sheet.surface, Picture{views[i], false}, pad + static_cast<int>(i % 3) * (640 * k + pad),
             previewsY + static_cast<int>(i / 3) * (480 * k + pad));
    return sheet;
}
