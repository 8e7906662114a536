// One race frame: sky, road, place, gauges, countdown.
#include "render/race_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "race/frame_timer.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "pictures/text.h"
#include "platform/window.h"
#include "render/road.h"

namespace {

constexpr float cloudStartX[4] = {-60.0f, 120.0f, 300.0f, 520.0f};
constexpr float cloudStartY[4] = {20.0f, 90.0f, 40.0f, 110.0f};

// The two speed gauges filled by the player's z speed: each full picture up to the fill, its
// empty picture beyond, the left one from the left screen edge, the right one from the right (the
// wide view's edges, in its top corners).
void drawGauges(Window* window, const RaceState& race)
{
    // The pictures follow the drawing scale as they are drawn; the race itself stays as it is.
    Bitmap* fullLeft = race.hudGaugeFullLeft;
    Bitmap* emptyLeft = race.hudGaugeEmptyLeft;
    Bitmap* fullRight = race.hudGaugeFullRight;
    Bitmap* emptyRight = race.hudGaugeEmptyRight;
    const int left = -screenMargin(window);
    const int right = screenWidth + screenMargin(window);
    const int fill = gaugeFill(race.cars[0]->velocity.z, fullLeft->info.width);
    // Pictures of unequal width can ask for a region of negative width here; the region drawing
    // draws nothing unless at least one pixel by one remains.
    drawBitmapRegion(window, fullLeft, 0, 0, left, 0, fill, fullLeft->info.height);
    drawBitmapRegion(window, emptyLeft, fill, 0, left + fill, 0, emptyLeft->info.width - fill,
                     emptyLeft->info.height);
    drawBitmapRegion(window, fullRight, fullRight->info.width - fill, 0, right - fill, 0, fill,
                     fullRight->info.height);
    drawBitmapRegion(window, emptyRight, 0, 0, right - emptyRight->info.width, 0,
                     emptyRight->info.width - fill, fullRight->info.height);
}

// The number 3, 2, 1 while the countdown runs, then "GO!", as the race step took it.
void drawStartSequence(Window* window, BitmapFont* font, int32_t step)
{
    char text[16];
    std::memset(text, 0, sizeof text);
    if (step > 0) {
        std::snprintf(text, sizeof text, "%i", step);
    } else if (step == 0) {
        std::snprintf(text, sizeof text, "GO!");
    } else {
        return;
    }
    drawCentredText(window, font, text, screenCentreY - font->cellHeight / 2);
}

} // namespace

SkyLayer* createSkyLayer(Window* window)
{
    auto* layer =
        allocateOrFatal(__LINE__, "Out of memory for the sky", [] { return new SkyLayer{}; });
    layer->sky = loadBitmap(window, "gfx\\bgr\\sky.bmp", 0);
    layer->cloud = loadBitmap(window, "gfx\\bgr\\cloud.bmp", 1);
    layer->skySides = loadBitmap(window, "gfx\\bgr\\skySides.bmp", 0);
    for (int i = 0; i < 4; ++i) {
        layer->cloudX[i] = cloudStartX[i];
        layer->cloudY[i] = cloudStartY[i];
    }
    return layer;
}

void freeSkyLayer(SkyLayer* layer)
{
    for (Bitmap** picture :
         {&layer->sky, &layer->cloud, &layer->skySides, &layer->sideCuts[0], &layer->sideCuts[1]}) {
        if (*picture != nullptr) {
            freeBitmap(*picture);
            *picture = nullptr;
        }
    }
}

void driftClouds(SkyLayer* layer, float averageFrameSeconds)
{
    // The screen's width: the clouds never drift further than it in one frame, and one that
    // leaves at the right edge comes back at the left.
    constexpr auto width = static_cast<float>(screenWidth);
    float shift = averageFrameSeconds * 19.5f;
    if (shift < -width) {
        shift = -width;
    }
    if (shift > width) {
        shift = width;
    }
    const float w = layer->cloud != nullptr ? static_cast<float>(layer->cloud->info.width) : 0.0f;
    for (float& x : layer->cloudX) {
        x += shift;
        if (x >= width) {
            x -= w + width;
        }
        if (x < -w) {
            x += w + width;
        }
    }
}

namespace {

// Cuts the sky's sides to `shown` screen pixels each, the left one ending and the right one
// starting at the middle of skySides, unless the cuts in hand are of that width and of the
// picture's scale. skySides follows the drawing scale first.
void cutSkySides(Window* window, SkyLayer* layer, int shown)
{
    followDrawingScale(window, layer->skySides);
    Bitmap*& left = layer->sideCuts[0];
    Bitmap*& right = layer->sideCuts[1];
    if (left != nullptr && left->info.width == shown && left->scale == layer->skySides->scale) {
        return;
    }
    for (Bitmap* cut : {left, right}) {
        if (cut != nullptr) {
            freeBitmap(cut);
        }
    }
    const int half = layer->skySides->info.width / 2;
    left = cutBitmapColumns(*layer->skySides, half - shown, shown);
    right = cutBitmapColumns(*layer->skySides, half, shown);
}

} // namespace

void drawSky(Window* window, const RaceState& race)
{
    SkyLayer* layer = race.skyLayer;
    // Only the rows the ground will not cover: the sky under the road is never seen.
    const int k = window->drawingScale;
    const int skyRows = (groundCoverTop(window, race) + k - 1) / k;
    if (layer->sky != nullptr) {
        drawBitmapRegion(window, layer->sky, 0, 0, 0, 0, layer->sky->info.width, skyRows);
    }
    // The wide view's margins: the sky beyond each side, its left half left of the layout and its
    // right half right of it.
    const int margin = screenMargin(window);
    if (margin > 0 && layer->skySides != nullptr) {
        const int shown = std::min(margin, layer->skySides->info.width / 2);
        cutSkySides(window, layer, shown);
        drawBitmapRegion(window, layer->sideCuts[0], 0, 0, -shown, 0, shown, skyRows);
        drawBitmapRegion(window, layer->sideCuts[1], 0, 0, screenWidth, 0, shown, skyRows);
    }
    // A cloud's place is made whole at the drawing scale, so that it drifts by single pixels.
    // A cloud goes round in steps of the screen's and its own width together: in the margins it
    // shows also one round before and after, where it has just left or is about to come in.
    const auto scale = static_cast<float>(k);
    const int round = layer->cloud != nullptr ? (screenWidth + layer->cloud->info.width) * k : 0;
    for (int i = 3; i >= 0; --i) {
        const auto x = static_cast<int>(std::trunc(layer->cloudX[i] * scale));
        const auto y = static_cast<int>(std::trunc(layer->cloudY[i] * scale));
        drawBitmapAt(window, layer->cloud, x, y);
        if (margin > 0) {
            drawBitmapAt(window, layer->cloud, x - round, y);
            drawBitmapAt(window, layer->cloud, x + round, y);
        }
    }
}

int currentPlace()
{
    const float playerZ = raceState.cars[0]->position.z;
    int place = 1;
    for (uint32_t i = 1; i < raceState.carCount; ++i) {
        if (raceState.cars[i]->position.z >= playerZ) {
            ++place;
        }
    }
    return place;
}

const char* placeSuffix(int32_t place)
{
    if (place >= 10 && place <= 20) {
        return "th";
    }
    switch (place % 10) {
    case 1: return "st";
    case 2: return "nd";
    case 3: return "rd";
    default: return "th";
    }
}

void formatPlace(int place, char text[16])
{
    std::memset(text, 0, 16);
    std::snprintf(text, 16, "%i%s", place, placeSuffix(place));
}

int gaugeFill(float speed, int gaugeWidth)
{
    const auto width = static_cast<float>(gaugeWidth);
    const float fill = std::fabs(speed) * 1.3333333e-05f * width;
    // Compared before the conversion, so that any speed, however large, gives the full gauge.
    if (!(fill < width)) {
        return gaugeWidth;
    }
    return static_cast<int>(std::trunc(fill));
}

void stepRaceDisplay(RaceState* race)
{
    driftClouds(race->skyLayer, race->averageFrameSeconds);
    race->place = currentPlace();
    sortVisibleObjects(race->track, race->camera);
    const float elapsed = race->frameTimer->elapsedSeconds;
    if (race->countdownSeconds > 0.0f) {
        race->countdownStep = static_cast<int32_t>(std::trunc(race->countdownSeconds)) + 1;
        race->countdownSeconds -= elapsed;
    } else if (race->goSeconds > 0.0f) {
        race->countdownStep = 0;
        race->goSeconds -= elapsed;
    } else {
        race->countdownStep = -1;
    }
}

void drawRaceFrame(Window* window, const RaceState& race)
{
    drawSky(window, race);
    drawRoad(window, race);

    BitmapFont* font = race.raceFont;
    char text[16];
    formatPlace(race.place, text);
    drawCentredText(window, font, text, 0);

    drawGauges(window, race);
    drawStartSequence(window, font, race.countdownStep);
}

void placeCamera()
{
    const Obj_Car* player = raceState.cars[0];
    float* camera = raceState.camera;
    camera[0] = player->velocity.x * 0.025f + player->position.x;
    camera[1] = player->position.y + 1000.0f;
    camera[2] = player->position.z - 1500.0f;
}

void loadRaceHud(Window* window)
{
    raceState.raceFont = makeBitmapFont(window, "gfx\\font\\font1.bmp");
    raceState.hudGaugeFullLeft = loadBitmap(window, "gfx\\hud\\guageFullLeft.bmp", 1);
    raceState.hudGaugeFullRight = loadBitmap(window, "gfx\\hud\\guageFullRight.bmp", 1);
    raceState.hudGaugeEmptyLeft = loadBitmap(window, "gfx\\hud\\guageEmptyLeft.bmp", 1);
    raceState.hudGaugeEmptyRight = loadBitmap(window, "gfx\\hud\\guageEmptyRight.bmp", 1);
}

void freeRaceHud()
{
    for (Bitmap** gauge : {&raceState.hudGaugeFullLeft, &raceState.hudGaugeFullRight,
                           &raceState.hudGaugeEmptyLeft, &raceState.hudGaugeEmptyRight}) {
        if (*gauge != nullptr) {
            freeBitmap(*gauge);
            *gauge = nullptr;
        }
    }
    freeBitmapFont(raceState.raceFont);
    raceState.raceFont = nullptr;
}
