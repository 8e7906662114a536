#pragma once
// The collision-tested move of one object for one frame: axis by axis, against the objects filed
// in its own and the two adjacent segments.

class GameObject;

// Room for the neighbours of a mover: three buckets of 32 and the closing null entry.
inline constexpr int neighbourCapacity = 128;

// Collects the objects of the mover's segment bucket, then of the previous and of the next
// segment's (where they exist), into `neighbours`, ending with a null entry. Returns how many it
// collected (at most 96). The mover is not in its bucket while it moves.
int gatherNeighbours(const GameObject* mover, GameObject* (&neighbours)[neighbourCapacity]);

// Moves the mover from its position toward position + velocity * dt (dt = averageFrameSeconds),
// stopping at the faces of solid objects in its way, exchanging velocities by mass with what it
// hit and calling onContact on both sides of every meeting (solid or not). Called by updateWorld
// for each moving object with a non-zero velocity, after it was taken out of its bucket. With a
// time step of 0 nothing is met.
void moveWithCollisions(GameObject* mover);
