// Placement of the race field.
#include "field/field_placement.h"

#include "race/race_state.h"
#include "objects/game_object.h"
#include "objects/object_lists.h"
#include "pictures/bitmap.h"
#include "core/errors.h"
#include "race/race_graphics.h"
#include "field/opponent_driving.h"
#include "track/random.h"
#include "track/track.h"

namespace {

// The scenery picture for a draw of the random source: tree 1, 2, 3 or the rock.
Sprite* scenerySprite(int draw)
{
    return raceGraphics.slots[raceSlotFirstScenery + draw % raceSceneryCount];
}

// Adds a static object made here; static lists never fill up at set-up in a real race, but a
// refused object is destroyed by addObject and simply missing from the field.
void placeObstacle(Vec3 position, BoxSize size, Sprite* sprite)
{
    addObject(newGameObject<Obj_SolidObstacle>(position, size, sprite));
}

} // namespace

void placeScenery()
{
    const Track* track = raceState.track;
    for (uint32_t i = 0; i < track->segmentCount; ++i) {
        const auto z = static_cast<float>(static_cast<int64_t>(i) * wholeSegmentLength +
                                          wholeSegmentLength / 2);
        if (unitDraw() <= 0.35f) {
            Sprite* sprite = scenerySprite(nextRandom());
            const float offset = unitDraw() * 40000.0f;
            const float x = leftEdgeAt(track, z) - 1024.0f - offset;
            const auto w = static_cast<float>(sprite->width * 16);
            const auto h = static_cast<float>(sprite->height * 16);
            placeObstacle({x, heightAt(track, z) + h * 0.5f, z}, {w, h, 512.0f}, sprite);
        }
        if (unitDraw() <= 0.35f) {
            Sprite* sprite = scenerySprite(nextRandom());
            const float offset = unitDraw() * 40000.0f;
            const float x = rightEdgeAt(track, z) + 1024.0f + offset;
            const auto w = static_cast<float>(sprite->width * 16);
            const auto h = static_cast<float>(sprite->height * 16);
            placeObstacle({x, heightAt(track, z) + h * 0.5f, z}, {w, h, w}, sprite);
        }
    }
}

void placeOilSpills()
{
    const Track* track = raceState.track;
    for (uint32_t i = 8; i < track->segmentCount; ++i) {
        if (!(unitDraw() <= 0.005f))
            continue;
        const float z = unitDraw() * segmentLength +
                        static_cast<float>(static_cast<int64_t>(i) * wholeSegmentLength);
        const float d = unitDraw() * 7400.0f;
        const float x = leftEdgeAt(track, z) + d + 400.0f;
        addObject(newGameObject<Obj_OilSpill>(Vec3{x, heightAt(track, z) + 100.0f, z},
                                              raceGraphics.slots[raceSlotOilSpill]));
    }
}

void placeFinishSigns()
{
    const Track* track = raceState.track;
    const float z = finishLineZ(track);
    Sprite* sprite = raceGraphics.slots[raceSlotFinishSign];
    const auto w = static_cast<float>(sprite->width);
    const auto h = static_cast<float>(sprite->height);
    const float y = heightAt(track, z) + h * 16.0f;
    const BoxSize size{w * 32.0f, h * 32.0f, 256.0f};
    placeObstacle({leftEdgeAt(track, z) - 1.5f * w * 32.0f, y, z}, size, sprite);
    placeObstacle({rightEdgeAt(track, z) + 1.5f * w * 32.0f, y, z}, size, sprite);
}

void placeGrid(float opponentPowerCut, float opponentPowerCutPerPlace, float gridGap)
{
    Track* track = raceState.track;
    const uint32_t carCount = raceState.carCount;
    for (uint32_t i = 0; i < carCount; ++i) {
        const float z = static_cast<float>(i) * gridGap + gridStartZ;
        const float y = heightAt(track, z) + 200.0f;
        const float x = leftEdgeAt(track, z) + 1125.0f + static_cast<float>((i & 1u) * 2250u);
        Sprite** views = raceGraphics.carViews[nextRandom() % carColourCount];
        const float power =
            i == 0 ? 17000.0f
                   : 17000.0f - static_cast<float>(carCount - i) * opponentPowerCutPerPlace -
                         opponentPowerCut;
        auto* car = newGameObject<Obj_Car>(Vec3{x, y, z}, views, power);
        // Every other part of the race relies on all cars existing.
        if (!addObject(car))
            fatalError(__LINE__, "No room in the object list for a car");
        raceState.cars[i] = car;
        if (i >= 1) {
            raceState.opponentDrivers[i - 1] =
                allocateOrFatal(__LINE__, "Out of memory for an opponent driver", [&] {
                    return new OpponentDriver{car, track, 0.0f, 0.0f};
                });
        }
    }
}
