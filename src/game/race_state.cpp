// The one race state.
#include "game/race_state.h"

RaceState raceState{};
