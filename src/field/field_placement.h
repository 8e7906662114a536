#pragma once
// Populating a new track: trees and rocks beside the road, oil spills on it, the two finish signs
// and the starting grid with a driver record for every opponent. The race set-up calls the four
// operations once per race, in this order, after the track was generated and the object lists
// were emptied; with one seed of the random source they always give the same field.
// Every object made here is added to the object lists, which own it.

// For every segment, each side of the road gets a tree or rock with a chance of 0.7, placed
// 1024 to 21024 units outside the road edge at the segment's middle. Reads raceState.track.
void placeScenery();

// From segment 8 on, each segment gets an oil spill on the road with a chance of 0.01, in the
// first half of the segment. Reads raceState.track.
void placeOilSpills();

// The two finish signs, one each side of the road at the finish line, 80 segments before the end
// of the track. Draws nothing from the random source. Reads raceState.track.
void placeFinishSigns();

// The player's grid place, the first: where the field starts and from where the brake works.
inline constexpr float gridStartZ = 4096.0f;

// Puts raceState.carCount cars on the grid, the player's first at z = 4096, each next one `gridGap`
// further on, alternating left and right lane. The opponent in grid place i gets the power
// 17000 - (carCount - i) * opponentPowerCutPerPlace - opponentPowerCut. Fills raceState.cars and
// raceState.opponentDrivers (allocated by the caller; the race owns the driver records).
void placeGrid(float opponentPowerCut, float opponentPowerCutPerPlace, float gridGap);
