#pragma once
// The controller's rumble in a race: a short shake when the player's car hits a tree, a rock or
// another car (or is hit by one), stronger for a harder hit. It reads the race's events
// (race/race_events.h) and never changes the race.

struct Window;

// Hits slower than this (closing speed, world units per second) are touches and do not shake;
// at hardHitSpeed and above the shake is at full strength.
constexpr float softestHitSpeed = 800.0f;
constexpr float hardHitSpeed = 40000.0f;
// How long one shake lasts, in milliseconds.
constexpr unsigned rumbleMilliseconds = 150;

// Shakes the controllers once for the hardest of this frame's hits that the player's car took
// part in: strength 0.25 for the softest hit that counts, rising in proportion to the closing
// speed up to 1 at hardHitSpeed. Nothing when there was no such hit. Called by raceOnPaint once
// per frame, after the world update has published its hits.
void rumbleForPlayerHits(Window* window);
