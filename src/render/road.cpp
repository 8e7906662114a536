// The road seen from the race camera.
#include "render/road.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "race/race_state.h"
#include "render/camera.h"
#include "objects/game_object.h"
#include "pictures/sprite_draw.h"
#include "platform/window.h"
#include "track/track.h"

Brush roadBrushes[roadShadeCount];
Brush groundBrushes[roadShadeCount];
Brush lineBrushes[roadShadeCount];
Brush dashBrushes[roadShadeCount];

namespace {

// trunc(shade x factor) in single precision: one colour channel of a shaded brush.
uint32_t channel(int shade, float factor)
{
    return static_cast<uint32_t>(std::trunc(static_cast<float>(shade) * factor));
}

Brush shadedBrush(int shade, float red, float green, float blue)
{
    return solidBrush(channel(shade, red) << 16 | channel(shade, green) << 8 |
                      channel(shade, blue));
}

// The parts of the screen the road is drawn in, each on its own (screenParts): the 4:3 layout,
// and the two margins of the wide view.
struct RoadParts {
    ColumnRange parts[3];
    int count = 0;
};

// A strip of the road between two depths: its left and right x at the near end on row nearY and
// at the far end, whose row is drawn one screen pixel (`lift` back-buffer pixels) higher than
// projected; x counted from the layout's left edge.
void fillStrip(Surface* surface, const RoadParts& where, float nearA, float nearB, float nearY,
               float farA, float farB, float farY, double lift, Brush brush)
{
    const double farRow = static_cast<double>(farY) - lift;
    const PointF corners[4] = {
        {static_cast<double>(nearA), static_cast<double>(nearY)},
        {static_cast<double>(nearB), static_cast<double>(nearY)},
        {static_cast<double>(farB), farRow},
        {static_cast<double>(farA), farRow},
    };
    for (int i = 0; i < where.count; ++i) {
        fillPolygonIn(surface, where.parts[i], corners, 4, brush);
    }
}

float between(float nearValue, float farValue, float t)
{
    return nearValue + (farValue - nearValue) * t;
}

// The segments drawRoad draws from the camera at `camera`, farthest `*last` down to `*first`;
// false when there are none (no track, a camera that is not a place on the map, or one beyond
// either end of the track).
bool visibleSegments(const Track* track, const float* camera, int64_t* first, int64_t* last)
{
    if (track == nullptr || camera == nullptr) {
        return false;
    }
    // A camera that is not a place on the map (never the case in a race) shows no road.
    if (!std::isfinite(camera[0]) || !std::isfinite(camera[1]) || !std::isfinite(camera[2])) {
        return false;
    }
    // Signed throughout: a camera behind the start gives a negative last segment, never a huge
    // unsigned one.
    *first = std::max<int64_t>(segmentIndexAt(camera[2]), 0);
    *last = std::min<int64_t>(segmentIndexAt(camera[2] + drawDistance), track->segmentCount - 1);
    return *last >= 0 && *first < track->segmentCount && *last >= *first;
}

// The screen rows (at the camera's drawing scale) of a segment's near end, clipped at the near
// plane, and of its far end, with the distance of the clipped near end and the share of the
// segment cut off at the near plane (0 when none is); false when the segment shows only its
// objects: the camera below the plane of its surface sees only its underside (the far side of a
// crest), and a far end less than one unit ahead (the camera within a unit of the segment's end,
// or past it) has no meaningful projection.
bool segmentRows(const TrackSegment& s, const Camera& view, float* nearY, float* farY,
                 float* nearDistance, float* nearCut)
{
    const bool facesAway =
        (view.y - s.farHeight) * s.normalY + (view.z - s.farZ) * s.normalZ < 0.0f;
    float dn = s.nearZ - view.z;
    const float df = s.farZ - view.z;
    if (facesAway || !(df >= nearPlane)) {
        return false;
    }
    float nearHeight = s.nearHeight - view.y;
    const float farHeight = s.farHeight - view.y;
    *nearCut = 0.0f;
    if (dn < nearPlane) {
        *nearCut = (nearPlane - dn) / (df - dn);
        nearHeight = between(nearHeight, farHeight, *nearCut);
        dn = nearPlane;
    }
    *nearY = roadScreenY(view, nearHeight, dn);
    *farY = roadScreenY(view, farHeight, df);
    *nearDistance = dn;
    return true;
}

} // namespace

void createRoadBrushes()
{
    for (int shade = 0; shade < roadShadeCount; ++shade) {
        roadBrushes[shade] = shadedBrush(shade, 0.2f, 0.2f, 0.2f);
        groundBrushes[shade] = shadedBrush(shade, 0.87f, 0.87f, 0.9f);
        lineBrushes[shade] = shadedBrush(shade, 0.8f, 0.8f, 0.25f);
        dashBrushes[shade] = shadedBrush(shade, 0.8f, 0.8f, 0.8f);
    }
}

void deleteRoadBrushes()
{
    for (int shade = 0; shade < roadShadeCount; ++shade) {
        roadBrushes[shade] = hollowBrush();
        groundBrushes[shade] = hollowBrush();
        lineBrushes[shade] = hollowBrush();
        dashBrushes[shade] = hollowBrush();
    }
}

int roadShade(float nearDistance)
{
    return static_cast<int>(std::trunc(255.0f / (nearDistance * 0.000005f + 1.0f)));
}

void sortVisibleObjects(const Track* track, const float* camera)
{
    int64_t first = 0;
    int64_t last = 0;
    if (!visibleSegments(track, camera, &first, &last)) {
        return;
    }
    for (int64_t i = last; i >= first; --i) {
        sortSegmentObjects(track->segments[i]);
    }
}

void drawRoad(Window* window, const RaceState& race)
{
    int64_t first = 0;
    int64_t last = 0;
    if (!visibleSegments(race.track, race.camera, &first, &last)) {
        return;
    }
    // The ghost is drawn among the objects of the segment it stands in.
    const int64_t ghostSegment =
        race.ghost.shown && race.cars != nullptr
            ? std::min<int64_t>(segmentIndexAt(race.ghost.z), race.track->segmentCount - 1)
            : -1;
    for (int64_t i = last; i >= first; --i) {
        drawSegment(*race.track->segments[i], window, race.camera,
                    i == ghostSegment ? &race : nullptr);
    }
}

void drawGhost(Window* window, const float* camera, const RaceState& race)
{
    const Obj_Car& car = *race.cars[0];
    PixelRect box;
    if (objectScreenRect(cameraAt(camera, window), Vec3{race.ghost.x, race.ghost.y, race.ghost.z},
                         car.size.width, car.size.height, &box)) {
        drawSprite(window, car.views[carViewIndex(race.ghost.headingX, race.ghost.headingZ)], box.x,
                   box.y, box.w, box.h, SpriteLook::SeeThrough);
    }
}

int groundCoverTop(const Window* window, const RaceState& race)
{
    const int height = window->backBuffer.height;
    int64_t first = 0;
    int64_t last = 0;
    if (height < 1 || !visibleSegments(race.track, race.camera, &first, &last)) {
        return height;
    }
    const Camera view = cameraAt(race.camera, window);
    // Every band runs across the whole width: a row inside any of them is covered.
    std::vector<bool> covered(static_cast<std::size_t>(height), false);
    for (int64_t i = last; i >= first; --i) {
        float nearY = 0.0f;
        float farY = 0.0f;
        float dn = 0.0f;
        float cut = 0.0f;
        if (!segmentRows(*race.track->segments[i], view, &nearY, &farY, &dn, &cut) ||
            groundBrushes[roadShade(dn)].hollow) {
            continue;
        }
        const float top = farY - view.drawingScale;
        const float from = std::max(std::min(top, nearY), 0.0f);
        const float to = std::min(std::max(top, nearY), static_cast<float>(height));
        for (auto row = static_cast<int>(from); static_cast<float>(row) < to; ++row) {
            covered[static_cast<std::size_t>(row)] = true;
        }
    }
    int top = height;
    while (top > 0 && covered[static_cast<std::size_t>(top - 1)]) {
        --top;
    }
    return top;
}

void drawSegment(const TrackSegment& segment, Window* window, const float* camera,
                 const RaceState* ghostOf)
{
    const TrackSegment& s = segment;
    const Camera view = cameraAt(camera, window);
    const float cx = view.x;
    const float cy = view.y;
    const float cz = view.z;
    const auto projectX = [&view](float dx, float d) { return roadScreenX(view, dx, d); };
    const auto projectY = [&view](float dy, float d) { return roadScreenY(view, dy, d); };

    float nearY = 0.0f;
    float farY = 0.0f;
    float dn = 0.0f;
    float nearCut = 0.0f;
    if (segmentRows(s, view, &nearY, &farY, &dn, &nearCut)) {
        const float df = s.farZ - cz;
        // Everything relative to the camera, in local copies: the track itself never changes.
        float nearLeft = s.nearLeft - cx;
        float nearRight = s.nearRight - cx;
        const float farLeft = s.farLeft - cx;
        const float farRight = s.farRight - cx;
        float nearLeftLine[2] = {s.nearLeftLine[0] - cx, s.nearLeftLine[1] - cx};
        float nearRightLine[2] = {s.nearRightLine[0] - cx, s.nearRightLine[1] - cx};
        const float farLeftLine[2] = {s.farLeftLine[0] - cx, s.farLeftLine[1] - cx};
        const float farRightLine[2] = {s.farRightLine[0] - cx, s.farRightLine[1] - cx};
        float dashNear[2] = {s.dashNear[0] - cx, s.dashNear[1] - cx};
        const float dashFar[2] = {s.dashFar[0] - cx, s.dashFar[1] - cx};
        float dashNearHeight = s.dashNearHeight - cy;
        const float dashFarHeight = s.dashFarHeight - cy;
        float dnd = s.dashNearZ - cz;
        const float dfd = s.dashFarZ - cz;

        // The part of the road behind the near plane is cut off (the rows already are).
        if (nearCut > 0.0f) {
            nearLeft = between(nearLeft, farLeft, nearCut);
            nearRight = between(nearRight, farRight, nearCut);
            for (int k = 0; k < 2; ++k) {
                nearLeftLine[k] = between(nearLeftLine[k], farLeftLine[k], nearCut);
                nearRightLine[k] = between(nearRightLine[k], farRightLine[k], nearCut);
            }
        }
        // The dash wholly behind the near plane is hidden; one that crosses it is cut off there.
        const bool dashShown = dfd >= nearPlane;
        if (dashShown && dnd < nearPlane) {
            const float t = (nearPlane - dnd) / (dfd - dnd);
            dashNear[0] = between(dashNear[0], dashFar[0], t);
            dashNear[1] = between(dashNear[1], dashFar[1], t);
            dashNearHeight = between(dashNearHeight, dashFarHeight, t);
            dnd = nearPlane;
        }

        const int shade = roadShade(dn);
        Surface* surface = &window->backBuffer;
        const auto k = static_cast<double>(view.drawingScale);
        RoadParts where;
        where.count = screenParts(window, where.parts);

        // The band of ground runs across the whole screen and two pixels beyond its right edge.
        drawRectangle(surface, 0.0, static_cast<double>(farY) - k, (clientWidth(window) + 2.0) * k,
                      static_cast<double>(nearY), groundBrushes[shade], noPen());
        fillStrip(surface, where, projectX(nearLeft, dn), projectX(nearRight, dn), nearY,
                  projectX(farLeft, df), projectX(farRight, df), farY, k, roadBrushes[shade]);
        if (dn < lineDistance) {
            fillStrip(surface, where, projectX(nearLeftLine[0], dn), projectX(nearLeftLine[1], dn),
                      nearY, projectX(farLeftLine[0], df), projectX(farLeftLine[1], df), farY, k,
                      lineBrushes[shade]);
            fillStrip(surface, where, projectX(nearRightLine[0], dn),
                      projectX(nearRightLine[1], dn), nearY, projectX(farRightLine[0], df),
                      projectX(farRightLine[1], df), farY, k, lineBrushes[shade]);
            if (dashShown) {
                fillStrip(surface, where, projectX(dashNear[0], dnd), projectX(dashNear[1], dnd),
                          projectY(dashNearHeight, dnd), projectX(dashFar[0], dfd),
                          projectX(dashFar[1], dfd), projectY(dashFarHeight, dfd), k,
                          dashBrushes[shade]);
            }
        }
    }
    // The ghost goes before the first object no farther than it: at the player's own place it
    // stays behind the player's car.
    bool ghostDrawn = ghostOf == nullptr;
    for (uint32_t i = 0; i < segment.objectCount; ++i) {
        if (!ghostDrawn && segment.objects[i]->position.z <= ghostOf->ghost.z) {
            drawGhost(window, camera, *ghostOf);
            ghostDrawn = true;
        }
        drawObject(window, camera, *segment.objects[i]);
    }
    if (!ghostDrawn) {
        drawGhost(window, camera, *ghostOf);
    }
}

void sortSegmentObjects(TrackSegment* segment)
{
    GameObject** objects = segment->objects;
    const uint32_t k = segment->objectCount;
    for (uint32_t i = 0; i < k; ++i) {
        for (uint32_t j = 0; j < k; ++j) {
            if (objects[i]->position.z > objects[j]->position.z) {
                std::swap(objects[i], objects[j]);
            }
        }
    }
}

void drawObject(Window* window, const float* camera, const GameObject& object)
{
    PixelRect box;
    if (objectScreenRect(cameraAt(camera, window), object.position, object.size.width,
                         object.size.height, &box)) {
        drawSprite(window, object.currentSprite(), box.x, box.y, box.w, box.h);
    }
}
