#pragma once
// The road seen from the race camera: every visible segment from the farthest to the one under
// the camera, each as a shaded band of snow across the screen, the grey road, two yellow edge
// lines and the light centre dash, followed by the objects filed in that segment, farthest first.
// Painting strictly far to near is the whole occlusion scheme: nearer bands and road cover what
// lies behind a crest, and a segment whose surface faces away from the camera draws only its
// objects.
//
// The camera is raceState.camera (three floats x, y, z in world units); the projection of road
// corners and objects' boxes is the camera's (camera.h).

#include <cstdint>

#include "gfx/raster.h"

class GameObject;
struct RaceState;
struct Track;
struct TrackSegment;
struct Window;

// Segments whose near end lies farther ahead than this are not drawn.
inline constexpr float drawDistance = 175000.0f;
// Edge lines and the dash are drawn only on segments whose clipped near end is nearer than this.
inline constexpr float lineDistance = 75000.0f;
// Nothing nearer to the camera than this is projected; the road is clipped there.
inline constexpr float nearPlane = 1.0f;
// Shades 0 to 255 of each road colour.
inline constexpr int roadShadeCount = 256;

// The four tables of shaded fills, index `shade`: made by createRoadBrushes at race set-up,
// hollow (drawing nothing) before that and after deleteRoadBrushes at race teardown.
extern Brush roadBrushes[roadShadeCount];   // road surface, dark grey
extern Brush groundBrushes[roadShadeCount]; // snow beside the road, bluish white
extern Brush lineBrushes[roadShadeCount];   // edge lines, yellow
extern Brush dashBrushes[roadShadeCount];   // centre dash, light grey

// Fills the four tables: shade s gets, per colour channel, trunc(s x factor) in single precision
// with the factors road (0.2, 0.2, 0.2), ground (0.87, 0.87, 0.9), line (0.8, 0.8, 0.25) and
// dash (0.8, 0.8, 0.8) for red, green and blue. Called once by the race set-up.
void createRoadBrushes();
// Returns all 1024 fills to hollow. Called by the race teardown.
void deleteRoadBrushes();

// The shade of a segment whose clipped near end lies `nearDistance` (at least 1) ahead of the
// camera: trunc(255 / (nearDistance x 0.000005 + 1)), from 254 beside the camera to 136 at the
// draw distance.
int roadShade(float nearDistance);

// The race step's share of the road, after the camera is placed and before the frame is drawn:
// sorts the bucket of every segment drawRoad is about to draw (sortSegmentObjects), so that each
// segment's objects are drawn far to near. Nothing without a track or camera.
void sortVisibleObjects(const Track* track, const float* camera);

// Draws the visible part of race.track as seen from race.camera into the window's back
// buffer, with the ghost car when race.ghost is shown, reading the race without changing it:
// segments trunc((camera z + 175000) / segment length) (at most the last) down to trunc(camera z /
// segment length) (at least 0). Called once per frame by drawRaceFrame, after the sky. Draws
// nothing without a track or camera, or from a camera position that is not finite.
void drawRoad(Window* window, const RaceState& race);

// The first back-buffer row from which the bands of ground that drawRoad is about to draw cover
// every row down to the bottom of the back buffer; its height when the lowest row stays uncovered
// (no track, or a crest with nothing beyond). Each band runs across the whole width, so the sky
// need not be drawn from this row down: drawSky asks for it before the road is drawn.
int groundCoverTop(const Window* window, const RaceState& race);

// Draws one segment (its band, road, lines and dash where visible) and then its objects in their
// bucket's order, seen from `camera` (x, y, z); with `ghostOf`, the ghost car of that race too,
// in its place among them by depth. Reads the segment without changing it. The band
// runs across the whole screen; in the wide view the road, lines and dash are filled in the
// layout and in each margin on their own (screenParts), so the layout's 640k columns are exactly
// those of the 4:3 view and the margins show the road beyond them.
void drawSegment(const TrackSegment& segment, Window* window, const float* camera,
                 const RaceState* ghostOf = nullptr);

// Sorts the segment's bucket in place into descending z (farthest first). The new bucket order
// stays: the drawing and later walks over the bucket see it.
void sortSegmentObjects(TrackSegment* segment);

// Draws the object's current picture stretched over its box as the camera at `camera` (x, y, z)
// sees it (objectScreenRect); nothing where that box is not drawn or the picture is missing.
void drawObject(Window* window, const float* camera, const GameObject& object);

// Draws race.ghost, seen through, as the camera at `camera` sees it: the player's car's picture
// for the ghost's heading over a box of the player's car's size. Needs race.cars.
void drawGhost(Window* window, const float* camera, const RaceState& race);
