#pragma once
// The controller's rumble in a race: a short shake when the player's car hits a tree, a rock or
// another car (or is hit by one), stronger for a harder hit. It reads the race's events
// (race/race_events.h) and never changes the race.

struct Window;

// How long one shake lasts, in milliseconds.
constexpr unsigned rumbleMilliseconds = 150;

// Shakes the controllers once for the hardest of this frame's hits that the player's car took
// part in: strength 0.25 for the softest hit that counts, rising in proportion to the closing
// speed up to 1 at hardHitSpeed (race/race_events.h). Nothing when there was no such hit. Called by
// raceOnPaint once per frame, after the world update has published its hits.
void rumbleForPlayerHits(Window* window);
