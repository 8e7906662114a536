// The one race state.
#include "race/race_state.h"

RaceState raceState{};
