#pragma once
// The six race settings of the main menu and their translation into the numbers a race is run
// with (track length, hills, turns, cars, opponent speed, grid spacing).

#include <cstdint>

// The menu's six indices, each 0..2 (numCompetitors 0..3); every one starts at 1 ("NORMAL").
struct RaceSettings {
    int32_t trackLength = 1;
    int32_t hillSteepness = 1;
    int32_t turnSharpness = 1;
    int32_t numCompetitors = 1;
    int32_t aiCarSpeed = 1;
    int32_t gridSpacing = 1;
};

// The six settings in the menu's order (track length, hill steepness, turn sharpness,
// competitors, opponent speed, grid spacing) and the largest index of each.
inline constexpr int raceSettingCount = 6;
inline constexpr int32_t largestSettingIndex[raceSettingCount] = {2, 2, 2, 3, 2, 2};

// Setting `index` (0..5, in the menu's order) of `settings`.
int32_t& settingAt(RaceSettings& settings, int index);

// The one set of settings the menu shows and changes.
extern RaceSettings raceSettings;

// What a race is run with.
struct RaceParameters {
    uint32_t carCount;              // cars on the grid, the player's included
    uint32_t segmentCount;          // track segments of 3000 units
    float hillMin, hillMax;         // bounds of one hill's height change
    float turnMin, turnMax;         // bounds of one bend's sideways shift
    float opponentPowerCut;         // power every opponent loses
    float opponentPowerCutPerPlace; // further power lost per grid place behind the leader
    float gridGap;                  // distance between neighbouring grid places
};

// Whether every index lies in its range, 0 to its largestSettingIndex.
bool raceSettingsValid(const RaceSettings& settings);

// The parameters the menu's Enter hands to the race for valid `settings`.
RaceParameters raceParameters(const RaceSettings& settings);

// The race set-up's floor on what it is handed: at least 2 cars and a grid gap of at least 512.
void applyRaceMinimums(RaceParameters* parameters);
