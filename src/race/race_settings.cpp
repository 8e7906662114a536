// The menu's race settings and their translation.
#include "race/race_settings.h"

RaceSettings raceSettings;

namespace {

constexpr uint32_t segmentCounts[3] = {1024, 2048, 4096};
constexpr float hillBounds[3][2] = {{3500.0f, 20000.0f}, {6000.0f, 32500.0f}, {8000.0f, 35000.0f}};
constexpr float turnBounds[3][2] = {{4500.0f, 25000.0f}, {6000.0f, 32500.0f}, {8000.0f, 35000.0f}};
constexpr uint32_t carCounts[4] = {8, 16, 24, 32};
constexpr float powerCuts[3][2] = {{2000.0f, 250.0f}, {1500.0f, 175.0f}, {1000.0f, 100.0f}};
constexpr float gridGaps[3] = {2048.0f, 4096.0f, 8192.0f};

} // namespace

int32_t& settingAt(RaceSettings& settings, int index)
{
    int32_t* const fields[raceSettingCount] = {&settings.trackLength,   &settings.hillSteepness,
                                               &settings.turnSharpness, &settings.numCompetitors,
                                               &settings.aiCarSpeed,    &settings.gridSpacing};
    return *fields[index];
}

bool raceSettingsValid(const RaceSettings& settings)
{
    RaceSettings copy = settings;
    for (int i = 0; i < raceSettingCount; ++i) {
        const int32_t index = settingAt(copy, i);
        if (index < 0 || index > largestSettingIndex[i]) {
            return false;
        }
    }
    return true;
}

RaceParameters raceParameters(const RaceSettings& settings)
{
    RaceParameters parameters{};
    parameters.carCount = carCounts[settings.numCompetitors];
    parameters.segmentCount = segmentCounts[settings.trackLength];
    parameters.hillMin = hillBounds[settings.hillSteepness][0];
    parameters.hillMax = hillBounds[settings.hillSteepness][1];
    parameters.turnMin = turnBounds[settings.turnSharpness][0];
    parameters.turnMax = turnBounds[settings.turnSharpness][1];
    parameters.opponentPowerCut = powerCuts[settings.aiCarSpeed][0];
    parameters.opponentPowerCutPerPlace = powerCuts[settings.aiCarSpeed][1];
    parameters.gridGap = gridGaps[settings.gridSpacing];
    return parameters;
}

void applyRaceMinimums(RaceParameters* parameters)
{
    if (parameters->carCount < 2)
        parameters->carCount = 2;
    if (parameters->gridGap < 512.0f)
        parameters->gridGap = 512.0f;
}
