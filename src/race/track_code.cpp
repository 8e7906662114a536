// Track codes: seed and settings in nine base-32 digits and a check digit.
#include "race/track_code.h"

#include <cctype>
#include <string_view>

namespace {

constexpr std::string_view alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int base = 32;
constexpr int valueDigits = trackCodeLength - 1;
// How many settings combinations there are: 3 x 3 x 3 x 4 x 3 x 3.
constexpr uint64_t settingsCombinations = 972;

// The nine value digits hold 45 bits. The value is spread over all of them by an invertible
// multiplication and addition modulo 2^45, so that the small seeds of races started soon after
// the game (the clock's milliseconds) do not all give codes of zeros, and neighbouring seeds
// give codes that differ everywhere.
constexpr uint64_t valueMask = (uint64_t{1} << 45) - 1;
constexpr uint64_t spreadFactor = (0x1B873593A35ull & valueMask) | 1;
constexpr uint64_t spreadOffset = 0x0F2C8D41E17ull & valueMask;

// The multiplicative inverse of an odd factor modulo 2^45 (Newton's iteration doubles the
// correct low bits each step).
constexpr uint64_t inverseOf(uint64_t factor)
{
    uint64_t inverse = factor;
    for (int step = 0; step < 6; ++step) {
        inverse *= 2 - factor * inverse;
    }
    return inverse & valueMask;
}
constexpr uint64_t unspreadFactor = inverseOf(spreadFactor);
static_assert(((spreadFactor * unspreadFactor) & valueMask) == 1);

// The digit value of a typed character, -1 when it is none.
int digitOf(char typed)
{
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
    if (c == 'O') {
        c = '0';
    } else if (c == 'I' || c == 'L') {
        c = '1';
    }
    const std::size_t at = alphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// The check digit of the value digits (most significant first): Luhn's method in base 32, which
// tells every single changed digit and every swap of two different neighbours but 0 and 31.
int checkDigit(const int* digits, int count)
{
    int sum = 0;
    bool doubled = true; // the rightmost value digit is doubled
    for (int i = count - 1; i >= 0; --i) {
        int v = digits[i];
        if (doubled) {
            v *= 2;
            v = v / base + v % base;
        }
        sum += v;
        doubled = !doubled;
    }
    return (base - sum % base) % base;
}

} // namespace

std::string encodeTrackCode(uint32_t seed, const RaceSettings& settings)
{
    uint64_t index = 0;
    RaceSettings copy = settings;
    for (int i = 0; i < raceSettingCount; ++i) {
        index = index * static_cast<uint64_t>(largestSettingIndex[i] + 1) +
                static_cast<uint64_t>(settingAt(copy, i));
    }
    uint64_t value =
        ((uint64_t{seed} * settingsCombinations + index) * spreadFactor + spreadOffset) & valueMask;
    int digits[valueDigits] = {};
    for (int i = valueDigits - 1; i >= 0; --i) {
        digits[i] = static_cast<int>(value % base);
        value /= base;
    }
    std::string code;
    for (int d : digits) {
        code += alphabet[static_cast<std::size_t>(d)];
    }
    code += alphabet[static_cast<std::size_t>(checkDigit(digits, valueDigits))];
    return code;
}

bool decodeTrackCode(const std::string& code, uint32_t* seed, RaceSettings* settings,
                     std::string* why)
{
    if (code.size() != static_cast<std::size_t>(trackCodeLength)) {
        *why = "is " + std::to_string(code.size()) + " characters long, a track code has " +
               std::to_string(trackCodeLength);
        return false;
    }
    int digits[trackCodeLength] = {};
    for (int i = 0; i < trackCodeLength; ++i) {
        digits[i] = digitOf(code[static_cast<std::size_t>(i)]);
        if (digits[i] < 0) {
            const unsigned char c = static_cast<unsigned char>(code[static_cast<std::size_t>(i)]);
            *why = std::isprint(c) ? "has '" + std::string(1, static_cast<char>(c)) +
                                         "', which no track code holds"
                                   : "has a character no track code holds";
            return false;
        }
    }
    if (checkDigit(digits, valueDigits) != digits[valueDigits]) {
        *why = "does not check out: a character is mistyped";
        return false;
    }
    uint64_t spread = 0;
    for (int i = 0; i < valueDigits; ++i) {
        spread = spread * base + static_cast<uint64_t>(digits[i]);
    }
    const uint64_t value = ((spread - spreadOffset) * unspreadFactor) & valueMask;
    if (value / settingsCombinations > UINT32_MAX) {
        *why = "holds no track";
        return false;
    }
    uint64_t index = value % settingsCombinations;
    RaceSettings read;
    for (int i = raceSettingCount - 1; i >= 0; --i) {
        const auto choices = static_cast<uint64_t>(largestSettingIndex[i] + 1);
        settingAt(read, i) = static_cast<int32_t>(index % choices);
        index /= choices;
    }
    *seed = static_cast<uint32_t>(value / settingsCombinations);
    *settings = read;
    return true;
}
