// The race graphics set.
#include "race/race_graphics.h"

#include "pictures/bitmap.h"
#include "core/errors.h"

RaceGraphics raceGraphics;

const char* const raceSpriteFiles[raceSpriteCount] = {
    "gfx\\obs\\tree1.bmp",          "gfx\\obs\\tree2.bmp",          "gfx\\obs\\tree3.bmp",
    "gfx\\obs\\rock1.bmp",          "gfx\\obs\\oilSpill.bmp",       "gfx\\obs\\finishSign.bmp",
    "gfx\\car\\car1.bmp",           "gfx\\car\\car1_l.bmp",         "gfx\\car\\car1_ll.bmp",
    "gfx\\car\\car1_lll.bmp",       "gfx\\car\\car1_r.bmp",         "gfx\\car\\car1_rr.bmp",
    "gfx\\car\\car1_rrr.bmp",       "gfx\\car\\car2.bmp",           "gfx\\car\\car2_l.bmp",
    "gfx\\car\\car2_ll.bmp",        "gfx\\car\\car2_lll.bmp",       "gfx\\car\\car2_r.bmp",
    "gfx\\car\\car2_rr.bmp",        "gfx\\car\\car2_rrr.bmp",       "gfx\\car\\car3.bmp",
    "gfx\\car\\car3_l.bmp",         "gfx\\car\\car3_ll.bmp",        "gfx\\car\\car3_lll.bmp",
    "gfx\\car\\car3_r.bmp",         "gfx\\car\\car3_rr.bmp",        "gfx\\car\\car3_rrr.bmp",
    "gfx\\car\\car4.bmp",           "gfx\\car\\car4_l.bmp",         "gfx\\car\\car4_ll.bmp",
    "gfx\\car\\car4_lll.bmp",       "gfx\\car\\car4_r.bmp",         "gfx\\car\\car4_rr.bmp",
    "gfx\\car\\car4_rrr.bmp",       "gfx\\snowPuff\\snowPuff1.bmp", "gfx\\snowPuff\\snowPuff2.bmp",
    "gfx\\snowPuff\\snowPuff3.bmp", "gfx\\snowPuff\\snowPuff4.bmp", "gfx\\snowPuff\\snowPuff5.bmp",
    "gfx\\snowPuff\\snowPuff6.bmp",
};

namespace {

// Within a colour the files load straight, _l, _ll, _lll, _r, _rr, _rrr; the views run from the
// most-left to the most-right: the file index of each view.
constexpr int fileOfView[carViewCount] = {3, 2, 1, 0, 4, 5, 6};

} // namespace

void loadRaceGraphics(Window* window)
{
    for (int i = 0; i < raceSpriteCount; ++i) {
        auto* sprite = allocateOrFatal(__LINE__, "Out of memory for the race graphics",
                                       [] { return new Sprite{}; });
        loadSprite(window, raceSpriteFiles[i], sprite);
        raceGraphics.slots[i] = sprite;
    }
    for (int colour = 0; colour < carColourCount; ++colour) {
        for (int view = 0; view < carViewCount; ++view) {
            raceGraphics.carViews[colour][view] =
                raceGraphics.slots[raceSlotFirstCar + colour * carViewCount + fileOfView[view]];
        }
    }
    for (int frame = 0; frame < snowPuffFrameCount; ++frame) {
        raceGraphics.snowPuffFrames[frame] = raceGraphics.slots[raceSlotFirstSnowPuff + frame];
    }
}

void freeRaceGraphics()
{
    for (Sprite*& slot : raceGraphics.slots) {
        if (slot != nullptr) {
            freeSprite(slot);
            delete slot;
            slot = nullptr;
        }
    }
    for (auto& row : raceGraphics.carViews) {
        for (Sprite*& view : row) {
            view = nullptr;
        }
    }
    for (Sprite*& frame : raceGraphics.snowPuffFrames) {
        frame = nullptr;
    }
}
