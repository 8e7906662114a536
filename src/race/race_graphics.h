#pragma once
// The race graphics set: every Sprite drawn on the track (scenery, oil spill, finish sign, four
// cars seen from seven angles, six snow-puff frames). The race set-up loads the set with
// loadRaceGraphics; the race teardown frees it with freeRaceGraphics after every object that
// points into it is gone.

struct Window;
struct Sprite;

constexpr int raceSpriteCount = 40;
constexpr int carColourCount = 4;
constexpr int carViewCount = 7;
constexpr int snowPuffFrameCount = 6;

// Slots of the set in load order.
constexpr int raceSlotFirstScenery = 0; // tree1, tree2, tree3, rock1
constexpr int raceSceneryCount = 4;
constexpr int raceSlotOilSpill = 4;
constexpr int raceSlotFinishSign = 5;
constexpr int raceSlotFirstCar = 6;       // per colour: straight, _l, _ll, _lll, _r, _rr, _rrr
constexpr int raceSlotFirstSnowPuff = 34; // snowPuff1 .. snowPuff6

// The picture file of each slot, written as the game writes paths.
extern const char* const raceSpriteFiles[raceSpriteCount];

struct RaceGraphics {
    // One owned Sprite record per picture file, null until loaded and after freeing. A picture that
    // failed to load leaves a Sprite that is not loaded (zero size), which draws nothing.
    Sprite* slots[raceSpriteCount] = {};
    // Per car colour (row 0 = car1), the views from the most-left "_lll" through the straight view
    // at index 3 to the most-right "_rrr". They point into `slots` and own nothing.
    Sprite* carViews[carColourCount][carViewCount] = {};
    // "snowPuff1" to "snowPuff6", frame 0 to 5. They point into `slots` and own nothing.
    Sprite* snowPuffFrames[snowPuffFrameCount] = {};
};

// The one set of the game.
extern RaceGraphics raceGraphics;

// Loads the 40 pictures in slot order as Sprites, then fills carViews and snowPuffFrames.
// No message for a missing picture.
void loadRaceGraphics(Window* window);

// Frees every slot's Sprite and record, then clears the tables. Harmless when nothing is loaded.
void freeRaceGraphics();
