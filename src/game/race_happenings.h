#pragma once
// The race events the race loop itself publishes (race/race_events.h): the start sequence's steps
// as they are shown, and the player's car leaving and rejoining the road.

// Forgets the last race's start sequence and road. Called at race set-up.
void resetRaceHappenings();
// Publishes this frame's happenings. Called by raceOnPaint after stepRaceDisplay took the start
// sequence's step to show, and before the frame is drawn.
void publishRaceHappenings();
