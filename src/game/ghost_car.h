#pragma once
// The ghost car: the player's car of a kept race (a replay, replay_file.h) driving that race again
// beside the field, at the same moment of the race as the player. It is only drawn, see-through
// (render/road.h): it touches nothing, is in no object list, draws no random number and changes
// nothing of the race, so a race comes out the same with it or without it.

#include "game/replay_file.h"

// Called by the race loop right after the race set-up: the ghost of `replay` drives the race that
// was just set up, its moments counted from the set-up's clock reading. The ghost keeps the replay
// until the next start or stopGhost; a replay without frames drives none.
void startGhost(Replay replay);

// Called by the race loop once per race frame, after the timer's tick: puts raceState.ghost where
// the replay's car stood at this moment of its race (the race clock since its set-up), between two
// of its frames in proportion; it stands at its first place before its first frame and is no
// longer shown after its last.
void moveGhost();

// Called by the race teardown path: no ghost drives, raceState.ghost is not shown.
void stopGhost();
