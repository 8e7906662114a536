#pragma once
// One frame of the race's physics: every moving object's own behaviour, the integration of what
// its driver asked for, gravity, air drag, the collision-tested move, ground contact with road or
// off-road friction, and its filing in the segment it ends in.

class GameObject;

// Advances every object of movingObjects by one time step of averageFrameSeconds. Called by the
// race frame once the countdown is over, after the drivers have set the cars' accel (which it
// clears). Objects appended during the walk (snow puffs) are updated in the same frame; removals
// asked for during the walk are carried out after it.
void updateWorld();

// Ground contact after a move: an object whose box reaches below the road is set back on it, loses
// its vertical speed in the measure of the slope of the segment it stood in before the move, and
// is slowed by road or off-road friction. `roadFriction` and `offRoadFriction` are the velocity
// factors kept this frame (0.95^dt and 0.15^dt).
void settleOnGround(GameObject* object, float roadFriction, float offRoadFriction);
