#pragma once
// Track codes: a race's seed and its six settings in ten letters and digits that a player can
// read out, type or share ("8Q4M2Z7KTX"). The same code always gives the same track and field.
// The result and controls screens show the code of the race; `vantor --track CODE` and the tools'
// --track take one back.
//
// The code is nine digits of the base-32 alphabet 0-9 and A-Z without I, L, O and U (letters that
// look like digits or each other), most significant first, holding seed x 972 + the settings'
// mixed-radix index (track length first, grid spacing last), spread over all 45 bits, then one
// check digit. Reading accepts
// lower case, and O, I and L for 0, 1 and 1; the check digit catches any one mistyped character
// and every swap of two different neighbours except 0 with Z.

#include <cstdint>
#include <string>

#include "race/race_settings.h"

// Characters in a track code, check digit included.
inline constexpr int trackCodeLength = 10;

// The code of the race with this seed and these settings, which must be valid
// (raceSettingsValid). Returns ten characters of the alphabet above.
std::string encodeTrackCode(uint32_t seed, const RaceSettings& settings);

// Reads a code typed by a player. On success fills *seed and *settings and returns true; on
// failure leaves them alone, puts why in *why ("is 9 characters long, a track code has 10",
// "has 'U', which no track code holds", "does not check out: a character is mistyped",
// "holds no track") and returns false.
bool decodeTrackCode(const std::string& code, uint32_t* seed, RaceSettings* settings,
                     std::string* why);
