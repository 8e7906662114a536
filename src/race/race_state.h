#pragma once
// The race-wide state: one global record that the race set-up fills, the race frame rewrites and
// the teardown frees. The track, simulation and rendering code read it. This header is a leaf
// (forward declarations only) so that every layer can include it.
//
// Ownership: the race set-up creates, and the teardown frees, everything the race section points
// to (timer, camera, sky layer, track, driver records, both arrays, race font, gauge pictures).
// The object lists own every game object of the race; `cars`, the driver records and the segment
// buckets only point at objects.

#include <cstdint>

struct Bitmap;
struct BitmapFont;
struct FrameTimer;
struct OpponentDriver;
struct SkyLayer;
struct Track;
struct Window;
class GameObject;
class Obj_Car;

// How many objects each object list (and the removal queue) can hold.
inline constexpr uint32_t maxListedObjects = 65535;

// The ghost car of a kept race, when one drives beside the field (game/ghost_car.h): where the
// player's car of that race stood at this moment of the race and which way it was moving, in
// world units. It is only drawn, see-through, and takes part in nothing else.
struct GhostPlace {
    bool shown;               // a ghost drives and has not yet passed its race's last frame
    float x, y, z;            // its position
    float headingX, headingZ; // its motion over its last frame, for the car's view
};

struct RaceState {
    // Race section.
    bool raceRunning;                 // true from set-up until endRace
    SkyLayer* skyLayer;               // sky and cloud backdrop, owned by the race
    Window* raceWindow;               // the window the race runs in
    float* camera;                    // camera position x, y, z in world units (3 floats)
    FrameTimer* frameTimer;           // the race's timer
    float averageFrameSeconds;        // mean frame time of the last completed block of 8 frames
    float frameSecondsSum;            // sum of frame times of the current block
    uint32_t framesSummed;            // frames in the current block, 0..7
    BitmapFont* raceFont;             // the race font
    Track* track;                     // the generated track
    float countdownSeconds;           // seconds left in the start countdown
    float goSeconds;                  // seconds left to show "GO!"
    int32_t countdownStep;            // what the frame shows: 3, 2, 1, 0 for "GO!", -1 nothing
    int32_t place;                    // the player's running place, as the frame shows it
    uint32_t seed;                    // what the random source was seeded with at set-up
    bool going;                       // the countdown is over and the world moves
    uint32_t goClock;                 // the clock reading of the first frame that moved it
    uint32_t raceMilliseconds;        // at the finish: milliseconds from then to the finish frame
    int32_t finishPosition;           // -1 until the finish line is passed, then the player's place
    Obj_Car** cars;                   // carCount entries; 0 is the player's car (not owned)
    uint32_t carCount;                // cars including the player's, at least 2
    OpponentDriver** opponentDrivers; // carCount - 1 entries; entry i - 1 drives car i
    Bitmap* hudGaugeFullLeft;
    Bitmap* hudGaugeFullRight;
    Bitmap* hudGaugeEmptyLeft;
    Bitmap* hudGaugeEmptyRight;
    GhostPlace ghost; // the ghost car, written by the race loop, read by drawing

    // Object lists: they own every game object of the race.
    bool updatingObjects;                        // true while updateWorld walks movingObjects
    uint32_t staticObjectCount;                  // entries in use in staticObjects
    uint32_t movingObjectCount;                  // entries in use in movingObjects
    uint32_t pendingRemovalCount;                // entries in use in pendingRemovals
    Track* objectTrack;                          // the track objects are filed in (a copy of track)
    GameObject* staticObjects[maxListedObjects]; // objects that never move
    GameObject* movingObjects[maxListedObjects]; // objects updated every frame, in visiting order
    GameObject* pendingRemovals[maxListedObjects]; // removals asked for during the world update
};

// The one race state; zero and null at program start.
extern RaceState raceState;
