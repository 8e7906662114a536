#pragma once
// The collision-tested move of one object for one frame: axis by axis, against the objects filed
// in its own and the two adjacent segments.

class GameObject;

// Segments beyond the adjacent ones that one move may reach (a car at top speed with the longest
// frame time covers a little over two segments).
inline constexpr int farSegmentLimit = 5;
// Room for the neighbours of a mover: the buckets of its own, the two adjacent and the far
// segments, and the closing null entry.
inline constexpr int neighbourCapacity = (3 + farSegmentLimit) * 32 + 1;

// Collects the objects of the mover's segment bucket, then of the previous and of the next
// segment's (where they exist), into `neighbours`. When the move to `targetZ` takes the mover's
// leading face beyond the adjacent segment, the buckets from there on in the direction of travel
// follow, up to the segment after the one it reaches (at most farSegmentLimit of them), so that
// a fast mover cannot pass through what stands there. Ends the list with a null entry and returns
// how many objects it collected. The mover is not in its bucket while it moves.
int gatherNeighbours(const GameObject* mover, float targetZ,
                     GameObject* (&neighbours)[neighbourCapacity]);

// Moves the mover from its position toward position + velocity * dt (dt = averageFrameSeconds),
// stopping at the faces of solid objects in its way, exchanging velocities by mass with what it
// hit and calling onContact on both sides of every meeting (solid or not). Called by updateWorld
// for each moving object with a non-zero velocity, after it was taken out of its bucket. With a
// time step of 0 nothing is met.
void moveWithCollisions(GameObject* mover);
