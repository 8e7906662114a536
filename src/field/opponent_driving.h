#pragma once
// The opponents' driving: once per frame, before the world update (also during the countdown),
// each opponent picks a sideways target (the road centre ahead, kept inside the road, pulled aside
// by nearby objects, plus a random wander) and works the same controls as the player: steering
// of +-1.35 times its forward speed, or none, and always full throttle. It never moves its car
// itself: it only writes the car's accel.

class GameObject;
class Obj_Car;
struct Track;

// One opponent's driving record. Made by placeGrid, owned by the race (deleted at teardown);
// `car` and `track` are not owned.
struct OpponentDriver {
    Obj_Car* car;  // the car this record drives
    Track* track;  // the race's track
    float targetX; // sideways position it steers to, world units
    float wander;  // random sideways bias, below 625 in size
};

// One frame of driving for `driver`'s car, with dt = averageFrameSeconds. Draws from the race's
// random source every frame.
void driveOpponent(OpponentDriver* driver);

// Sets targetX to the mean road centre over the car's position and the next five segment
// lengths, kept far enough inside the road edges for the car's width.
void followRoad(OpponentDriver* driver);

// Pulls targetX toward the point where the car passes `other` (on the side away from the road
// centre), the more the nearer `other` is. The driver's own car is ignored.
void steerAround(OpponentDriver* driver, GameObject* other);
