#pragma once
// One race frame in the back buffer, built back to front: the sky with four drifting clouds, the
// road with every object, the player's place at the top centre, the two speed gauges in the top
// corners and the start countdown (3, 2, 1, then "GO!") in the middle of the screen.
// The race is stepped, then drawn: the race frame handler places the camera, lets
// stepRaceDisplay advance what the frame shows (clouds, place, countdown, the order of each
// segment's objects), and then calls drawRaceFrame, which reads the race without changing it.

#include <cstdint>

struct Bitmap;
struct RaceState;
struct Window;

// The sky and cloud backdrop: one per race on the heap, held in raceState.skyLayer. Made by
// createSkyLayer at race set-up; at teardown freeSkyLayer frees its pictures and the race deletes
// the record.
struct SkyLayer {
    float cloudX[4]; // screen x of each cloud's left edge; drift every frame
    float cloudY[4]; // screen y of each cloud's top edge; never change
    Bitmap* sky;     // "gfx\bgr\sky.bmp", opaque
    Bitmap* cloud;   // "gfx\bgr\cloud.bmp", colour-keyed
    // "gfx\bgr\skySides.bmp", opaque: the sky beyond the sides of sky.bmp for the wide view,
    // 240 screen pixels of each (the left side, then the right), as high as the sky.
    Bitmap* skySides;
    // The left and the right side as drawn in the view's margins, each cut from skySides to the
    // margin's width so that its rows hold just the columns shown. Made by drawSky, again when
    // the margin or the scale of skySides changes; null until the wide view is first drawn.
    Bitmap* sideCuts[2];
};

// Loads the sky (first), the cloud picture and the sky's sides, and puts the clouds at x -60,
// 120, 300, 520 and y 20, 90, 40, 110. A missing picture gives an empty one, which draws nothing.
// The caller owns the record (delete) and its pictures (freeSkyLayer).
SkyLayer* createSkyLayer(Window* window);

// Frees the sky, the cloud, the sky's sides and their cuts, each only if present, and clears the
// pointers. The record itself stays for the caller to delete.
void freeSkyLayer(SkyLayer* layer);

// Moves the clouds of `layer` by averageFrameSeconds x 19.5 pixels (at most 640 either way),
// wrapping one that reaches x = 640 round to the left edge. The race step calls it once a frame.
void driftClouds(SkyLayer* layer, float averageFrameSeconds);

// Draws race.skyLayer's sky at the top-left corner, down to where the road's ground will cover
// every row below (groundCoverTop), and the clouds over it, cloud 0 last. In the wide view the
// sky's sides fill the margins, and each cloud shows there also where it was one round of its
// drift earlier and later. The sides are drawn from the layer's sideCuts, which drawSky makes
// (owned by the layer) on the first wide frame and again when the margin or the drawing scale
// changes. The race frame draws the road next.
void drawSky(Window* window, const RaceState& race);

// The player's place: 1 + the number of opponents (cars 1 to carCount - 1) whose z is at least
// the player's (car 0); an opponent exactly level counts as ahead.
int currentPlace();

// The two letters after a place: "th" for 10 to 20, otherwise "st", "nd" or "rd" for a last digit
// of 1, 2 or 3, and "th" for every other place. The race's running place and the result screen's
// finishing place both use it.
const char* placeSuffix(int32_t place);

// Writes the place as shown, "1st" ... "32nd": the number, then its placeSuffix. `text` holds
// 16 bytes.
void formatPlace(int place, char text[16]);

// The width in pixels of the filled part of each speed gauge at z speed `speed` (either sign) for
// a gauge picture `gaugeWidth` pixels wide: trunc(|speed| x 1.3333333e-05 x width), at most the
// width, so the gauge is full from 75000 units per second.
int gaugeFill(float speed, int gaugeWidth);

// The race step's share of the picture, once a frame after the world update and the camera and
// before the frame is drawn: drifts the clouds (driftClouds), takes the running place
// (currentPlace), sorts the objects of the segments in view (sortVisibleObjects), and takes the
// start sequence's step to show (3, 2, 1 while countdownSeconds is above 0, then 0 for "GO!" while
// goSeconds is, then -1) before counting that one down by the frame timer's elapsedSeconds.
void stepRaceDisplay(RaceState* race);

// Composes the whole frame from `race` into the window's back buffer, changing nothing in the
// race: sky, road, place text, gauges, countdown step. In the wide view the gauges sit in the
// wide screen's top corners, the place and countdown in its middle.
void drawRaceFrame(Window* window, const RaceState& race);

// Puts raceState.camera 1000 above and 1500 behind the player's car (car 0), 0.025 s of its
// sideways speed ahead sideways. The race frame calls it after the world update, before drawing.
void placeCamera();

// Loads the head-up display's pictures into raceState, in the race set-up's order: the race font
// "gfx\font\font1.bmp", then the gauges full left, full right, empty left, empty right.
void loadRaceHud(Window* window);
// Frees them in the race teardown's order (the four gauges, then the font), each pointer cleared.
void freeRaceHud();
