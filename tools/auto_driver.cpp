// The automatic driver's steering.
#include "auto_driver.h"

#include <cmath>

#include "objects/game_object.h"
#include "track/track.h"

Steer autoSteer(const Obj_Car& car, const Track* track, float frameSeconds)
{
    const float speed = car.velocity.z;
    const float ahead = car.position.z + 3000.0f + std::fabs(speed) * 0.3f;
    const float middle = (leftEdgeAt(track, ahead) + rightEdgeAt(track, ahead)) * 0.5f;
    const float wantedSideways = (middle - car.position.x) * 2.0f;
    const float steerStep = 1.35f * std::fabs(speed) * frameSeconds;
    const float error = wantedSideways - car.velocity.x;
    if (!(steerStep > 0.0f) || std::fabs(error) <= steerStep * 0.5f) {
        return Steer::None;
    }
    // Steering pushes sideways in the direction of the forward speed's sign.
    const bool pushRight = (error > 0.0f) == (speed > 0.0f);
    return pushRight ? Steer::Right : Steer::Left;
}
