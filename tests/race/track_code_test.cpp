// Track codes: every seed and settings come back from their code, and what a player mistypes is
// caught with a reason rather than read as another track.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>

#include "race/track_code.h"

namespace {

bool sameSettings(RaceSettings a, RaceSettings b)
{
    for (int i = 0; i < raceSettingCount; ++i) {
        if (settingAt(a, i) != settingAt(b, i)) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(TrackCode, EverySettingsCombinationAndSeedComesBackFromItsTenCharacterCode)
{
    const uint32_t seeds[] = {0u, 1u, 7u, 123456789u, 2147483648u, 4294967294u, 4294967295u};
    int combinations = 0;
    RaceSettings s;
    for (s.trackLength = 0; s.trackLength <= 2; ++s.trackLength)
        for (s.hillSteepness = 0; s.hillSteepness <= 2; ++s.hillSteepness)
            for (s.turnSharpness = 0; s.turnSharpness <= 2; ++s.turnSharpness)
                for (s.numCompetitors = 0; s.numCompetitors <= 3; ++s.numCompetitors)
                    for (s.aiCarSpeed = 0; s.aiCarSpeed <= 2; ++s.aiCarSpeed)
                        for (s.gridSpacing = 0; s.gridSpacing <= 2; ++s.gridSpacing) {
                            ++combinations;
                            for (uint32_t seed : seeds) {
                                const std::string code = encodeTrackCode(seed, s);
                                ASSERT_EQ(code.size(), 10u);
                                EXPECT_EQ(code.find_first_not_of(
                                              "0123456789ABCDEFGHJKMNPQRSTVWXYZ"),
                                          std::string::npos)
                                    << code;
                                uint32_t readSeed = 0;
                                RaceSettings read{0, 0, 0, 0, 0, 0};
                                std::string why;
                                ASSERT_TRUE(decodeTrackCode(code, &readSeed, &read, &why))
                                    << code << ": " << why;
                                EXPECT_EQ(readSeed, seed) << code;
                                EXPECT_TRUE(sameSettings(read, s)) << code;
                            }
                        }
    EXPECT_EQ(combinations, 972);
    // Neighbouring seeds and settings give different codes.
    EXPECT_NE(encodeTrackCode(7, RaceSettings{}), encodeTrackCode(8, RaceSettings{}));
    RaceSettings longer;
    longer.trackLength = 2;
    EXPECT_NE(encodeTrackCode(7, RaceSettings{}), encodeTrackCode(7, longer));
}

TEST(TrackCode, MistypedCodesAreRefusedWithAReasonAndLookAlikesAreReadAsMeant)
{
    const std::string code = encodeTrackCode(3141592653u, RaceSettings{2, 0, 1, 3, 2, 0});
    uint32_t seed = 5;
    RaceSettings settings;
    std::string why;

    // Every single character changed to any other of the alphabet is caught.
    const std::string alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
    for (std::size_t at = 0; at < code.size(); ++at) {
        for (char c : alphabet) {
            if (c == code[at]) {
                continue;
            }
            std::string typo = code;
            typo[at] = c;
            EXPECT_FALSE(decodeTrackCode(typo, &seed, &settings, &why)) << typo;
        }
    }
    EXPECT_EQ(why, "does not check out: a character is mistyped");
    EXPECT_EQ(seed, 5u) << "a refused code changes nothing";
    // Two different neighbours swapped are caught (0 with Z aside).
    for (std::size_t at = 0; at + 1 < code.size(); ++at) {
        std::string swapped = code;
        std::swap(swapped[at], swapped[at + 1]);
        if (swapped != code && !(swapped[at] == '0' && swapped[at + 1] == 'Z') &&
            !(swapped[at] == 'Z' && swapped[at + 1] == '0')) {
            EXPECT_FALSE(decodeTrackCode(swapped, &seed, &settings, &why)) << swapped;
        }
    }

    EXPECT_FALSE(decodeTrackCode(code.substr(0, 9), &seed, &settings, &why));
    EXPECT_EQ(why, "is 9 characters long, a track code has 10");
    EXPECT_FALSE(decodeTrackCode(code.substr(0, 9) + "U", &seed, &settings, &why));
    EXPECT_EQ(why, "has 'U', which no track code holds");
    EXPECT_FALSE(decodeTrackCode("", &seed, &settings, &why));
    // Nine Z's are more than any seed and settings make.
    std::string biggest = "ZZZZZZZZZ0";
    for (char c : alphabet) {
        biggest[9] = c;
        if (decodeTrackCode(biggest, &seed, &settings, &why) || why != "does not check out: a "
                                                                        "character is mistyped") {
            break;
        }
    }
    EXPECT_EQ(why, "holds no track");

    // Lower case, and O, I, L for the digits they look like.
    std::string typed = code;
    for (char& c : typed) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    ASSERT_TRUE(decodeTrackCode(typed, &seed, &settings, &why)) << why;
    EXPECT_EQ(seed, 3141592653u);
    const std::string withZero = encodeTrackCode(0, RaceSettings{});
    std::string lookAlike = withZero;
    for (char& c : lookAlike) {
        if (c == '0') {
            c = 'O';
        } else if (c == '1') {
            c = 'l';
        }
    }
    ASSERT_TRUE(decodeTrackCode(lookAlike, &seed, &settings, &why)) << lookAlike << ": " << why;
    EXPECT_EQ(seed, 0u);
}
