// A race stopped at a chosen moment.
#include "game/race_moment.h"

#include "race/frame_timer.h"
#include "game/race_field.h"
#include "race/race_state.h"
#include "objects/game_object.h"
#include "objects/object_lists.h"
#include "platform/window.h"
#include "render/race_frame.h"
#include "track/track.h"

namespace {

uint32_t windowClock(void* window)
{
    return readClock(static_cast<Window*>(window));
}

float roadCentreAt(const Track* track, float z)
{
    return (leftEdgeAt(track, z) + rightEdgeAt(track, z)) * 0.5f;
}

} // namespace

void setUpRaceMoment(Window* window, uint32_t seed, const RaceParameters& parameters)
{
    raceState.raceWindow = window;
    raceState.frameTimer = createFrameTimer(windowClock, window);
    raceState.camera = new float[3]{0.0f, 384.0f, 0.0f};
    raceState.averageFrameSeconds = 0.0f;
    raceState.frameSecondsSum = 0.0f;
    raceState.framesSummed = 0;
    loadRacePictures(window);
    buildRaceField(seed, parameters);
    raceState.countdownSeconds = 2.99999f;
    raceState.goSeconds = 1.5f;
    raceState.finishPosition = -1;
}

void freeRaceMoment()
{
    delete[] raceState.camera;
    raceState.camera = nullptr;
    delete raceState.frameTimer;
    raceState.frameTimer = nullptr;
    freeRaceField();
    freeRacePictures();
}

void moveCarTo(uint32_t index, float z)
{
    Track* track = raceState.track;
    Obj_Car* car = raceState.cars[index];
    const float fromZ = car->position.z;
    const float sideways = car->position.x - roadCentreAt(track, fromZ);
    const float above = car->position.y - heightAt(track, fromZ);
    if (car->segmentIndex >= 0) {
        unfileFromSegment(track->segments[car->segmentIndex], car);
    }
    car->position = Vec3{roadCentreAt(track, z) + sideways, heightAt(track, z) + above, z};
    fileInSegment(car);
}
