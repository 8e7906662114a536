#pragma once
// The automatic driver of the developer tools and the end-to-end tests: decides, frame by frame,
// which steering key a player holding Up would press to keep the car near the middle of the road.
// It only chooses keys; the caller presses them through the window's events like a player.

class Obj_Car;
struct Track;

enum class Steer { None, Left, Right };

// The steering key for the next frame of `frameSeconds`: the car's sideways speed is aimed at the
// middle of the road a little ahead (further ahead the faster it goes), the more the further off
// the middle it is; Left or Right is held while the sideways speed is more than half a frame's
// steering away from that aim. A standing car cannot steer and gets None.
Steer autoSteer(const Obj_Car& car, const Track* track, float frameSeconds);
