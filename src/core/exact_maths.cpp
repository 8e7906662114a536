// Sine, cosine, exponential, power and arc cosine in double-double arithmetic. Every step is an
// IEEE addition, subtraction, multiplication, division or square root of doubles, never fused
// (the library is built with -ffp-contract=off), so every system computes the same bits. The
// only library calls, std::nearbyint, std::frexp and std::ldexp, are exact by definition.
#include "core/exact_maths.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// A value carried as hi + lo, |lo| at most half an ulp of hi.
struct Wide {
    double hi;
    double lo;
};

// a + b exactly, for any a and b.
constexpr Wide twoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly, for |a| >= |b|.
constexpr Wide quickTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

// a * b exactly (Dekker's product; |a|, |b| below 2^996).
constexpr Wide twoProduct(double a, double b)
{
    constexpr double splitter = 134217729.0; // 2^27 + 1
    const double ca = splitter * a;
    const double aHi = ca - (ca - a);
    const double aLo = a - aHi;
    const double cb = splitter * b;
    const double bHi = cb - (cb - b);
    const double bLo = b - bHi;
    const double p = a * b;
    return {p, ((aHi * bHi - p) + aHi * bLo + aLo * bHi) + aLo * bLo};
}

constexpr Wide add(Wide a, Wide b)
{
    Wide s = twoSum(a.hi, b.hi);
    const Wide t = twoSum(a.lo, b.lo);
    s = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(s.hi, s.lo + t.lo);
}

constexpr Wide negate(Wide a) { return {-a.hi, -a.lo}; }

constexpr Wide subtract(Wide a, Wide b) { return add(a, negate(b)); }

constexpr Wide multiply(Wide a, Wide b)
{
    const Wide p = twoProduct(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr Wide multiply(Wide a, double b)
{
    const Wide p = twoProduct(a.hi, b);
    return quickTwoSum(p.hi, p.lo + a.lo * b);
}

constexpr Wide divide(Wide a, Wide b)
{
    const double q1 = a.hi / b.hi;
    Wide r = subtract(a, multiply(b, q1));
    const double q2 = r.hi / b.hi;
    r = subtract(r, multiply(b, q2));
    const double q3 = r.hi / b.hi;
    return add(quickTwoSum(q1, q2), Wide{q3, 0.0});
}

// Scales by 2^n exactly (n small, no overflow or underflow on the way).
constexpr Wide scaled(Wide a, double powerOfTwo) { return {a.hi * powerOfTwo, a.lo * powerOfTwo}; }

// The double nearest the value.
constexpr double rounded(Wide a) { return a.hi + a.lo; }

// pi/2 and ln 2 to some 160 bits, as three doubles each.
constexpr double halfPi1 = 0x1.921fb54442d18p+0;
constexpr double halfPi2 = 0x1.1a62633145c07p-54;
constexpr double halfPi3 = -0x1.f1976b7ed8fbcp-110;
constexpr double ln2_1 = 0x1.62e42fefa39efp-1;
constexpr double ln2_2 = 0x1.abc9e3b39803fp-56;
constexpr double ln2_3 = 0x1.7b57a079a1934p-111;
constexpr Wide halfPi{halfPi1, halfPi2};
constexpr Wide pi{2.0 * halfPi1, 2.0 * halfPi2};

// Taylor coefficients: (-1)^n / (2n+1)! for the sine, (-1)^n / (2n)! for the cosine, 1 / n! for
// the exponential, each from n = 1, to double-double precision.
constexpr int sineTerms = 14;
constexpr int exponentialTerms = 10;

template <int Count, int First, int Step, bool Alternating>
constexpr std::array<Wide, Count> inverseFactorials()
{
    std::array<Wide, Count> terms{};
    Wide factorial{1.0, 0.0};
    int n = 1;
    for (int i = 0; i < Count; ++i) {
        const int upTo = First + Step * i;
        while (n < upTo) {
            ++n;
            factorial = multiply(factorial, static_cast<double>(n));
        }
        const Wide term = divide(Wide{1.0, 0.0}, factorial);
        terms[static_cast<size_t>(i)] = Alternating && i % 2 == 0 ? negate(term) : term;
    }
    return terms;
}

constexpr auto sineCoefficients = inverseFactorials<sineTerms, 3, 2, true>();
constexpr auto cosineCoefficients = inverseFactorials<sineTerms, 2, 2, true>();
constexpr auto exponentialCoefficients = inverseFactorials<exponentialTerms, 2, 1, false>();

// 1 / (2n+1) for n = 1 up: the series of atanh.
constexpr int logarithmTerms = 22;
constexpr std::array<Wide, logarithmTerms> oddReciprocals()
{
    std::array<Wide, logarithmTerms> terms{};
    for (int i = 0; i < logarithmTerms; ++i) {
        terms[static_cast<size_t>(i)] = divide(Wide{1.0, 0.0}, Wide{2.0 * (i + 1) + 1.0, 0.0});
    }
    return terms;
}
constexpr auto logarithmCoefficients = oddReciprocals();

// asin(z) = z + sum a_n z^(2n+1), a_n = (2n)! / (4^n (n!)^2 (2n+1)): a first guess in double.
constexpr int arcSineTerms = 26;
constexpr std::array<double, arcSineTerms> arcSineSeries()
{
    std::array<double, arcSineTerms> terms{};
    double central = 1.0; // (2n)! / (4^n (n!)^2)
    for (int n = 1; n <= arcSineTerms; ++n) {
        central = central * (2.0 * n - 1.0) / (2.0 * n);
        terms[static_cast<size_t>(n - 1)] = central / (2.0 * n + 1.0);
    }
    return terms;
}
constexpr auto arcSineCoefficients = arcSineSeries();

// sin r and cos r for |r| up to a little over pi/4.
Wide sineKernel(Wide r)
{
    const Wide r2 = multiply(r, r);
    Wide sum = sineCoefficients[sineTerms - 1];
    for (int i = sineTerms - 2; i >= 0; --i) {
        sum = add(multiply(sum, r2), sineCoefficients[static_cast<size_t>(i)]);
    }
    return add(r, multiply(multiply(r, r2), sum));
}

Wide cosineKernel(Wide r)
{
    const Wide r2 = multiply(r, r);
    Wide sum = cosineCoefficients[sineTerms - 1];
    for (int i = sineTerms - 2; i >= 0; --i) {
        sum = add(multiply(sum, r2), cosineCoefficients[static_cast<size_t>(i)]);
    }
    return add(Wide{1.0, 0.0}, multiply(r2, sum));
}

// x - k pi/2 with k the nearest whole number to x / (pi/2), and k mod 4.
Wide reducedByQuarterTurns(double x, int* quadrant)
{
    const double k = std::nearbyint(x * (1.0 / halfPi1));
    Wide r = subtract(Wide{x, 0.0}, twoProduct(k, halfPi1));
    r = subtract(r, twoProduct(k, halfPi2));
    r = subtract(r, Wide{k * halfPi3, 0.0});
    *quadrant = static_cast<int>(static_cast<int64_t>(k) & 3);
    return r;
}

// e^x for a double-double x inside the range exponentialOf accepts.
double exponentialWide(Wide x)
{
    const double k = std::nearbyint(x.hi * (1.0 / ln2_1));
    Wide r = subtract(x, twoProduct(k, ln2_1));
    r = subtract(r, twoProduct(k, ln2_2));
    r = subtract(r, Wide{k * ln2_3, 0.0});
    // e^r = (e^(r / 1024))^1024: the series on a tiny argument, then ten squarings of 1 + m,
    // carried as m (2m + m^2), which keeps its low bits.
    const Wide s = scaled(r, 1.0 / 1024.0);
    Wide sum = exponentialCoefficients[exponentialTerms - 1];
    for (int i = exponentialTerms - 2; i >= 0; --i) {
        sum = add(multiply(sum, s), exponentialCoefficients[static_cast<size_t>(i)]);
    }
    Wide m = add(s, multiply(multiply(s, s), sum));
    for (int i = 0; i < 10; ++i) {
        m = add(scaled(m, 2.0), multiply(m, m));
    }
    return std::ldexp(rounded(add(Wide{1.0, 0.0}, m)), static_cast<int>(k));
}

// ln x for a positive, finite double.
Wide logarithmWide(double x)
{
    int exponent = 0;
    double m = std::frexp(x, &exponent);
    if (m < 0.70710678118654752) {
        m *= 2.0;
        --exponent;
    }
    // ln m = 2 atanh(s), s = (m - 1) / (m + 1), |s| < 0.172.
    const Wide s = divide(Wide{m - 1.0, 0.0}, twoSum(m, 1.0));
    const Wide s2 = multiply(s, s);
    Wide sum = logarithmCoefficients[logarithmTerms - 1];
    for (int i = logarithmTerms - 2; i >= 0; --i) {
        sum = add(multiply(sum, s2), logarithmCoefficients[static_cast<size_t>(i)]);
    }
    const Wide lnM = scaled(add(s, multiply(multiply(s, s2), sum)), 2.0);
    const double e = exponent;
    const Wide eLn2 = add(twoProduct(e, ln2_1), Wide{e * ln2_2, 0.0});
    return add(eLn2, lnM);
}

// asin z for |z| <= 1/2: the series in double as a first guess, then one Newton step on
// sin y = z in double-double, which squares its error.
Wide arcSineWide(Wide z)
{
    const double z2 = z.hi * z.hi;
    double sum = arcSineCoefficients[arcSineTerms - 1];
    for (int i = arcSineTerms - 2; i >= 0; --i) {
        sum = sum * z2 + arcSineCoefficients[static_cast<size_t>(i)];
    }
    const Wide y{z.hi + z.hi * z2 * sum, 0.0};
    return subtract(y, divide(subtract(sineKernel(y), z), cosineKernel(y)));
}

// sqrt(a) for a double a >= 0, to double-double precision.
Wide squareRootWide(double a)
{
    const double root = std::sqrt(a);
    if (root == 0.0) {
        return {0.0, 0.0};
    }
    const Wide rest = subtract(Wide{a, 0.0}, twoProduct(root, root));
    return quickTwoSum(root, rest.hi / (2.0 * root));
}

} // namespace

double sineOf(double x)
{
    int quadrant = 0;
    const Wide r = reducedByQuarterTurns(x, &quadrant);
    switch (quadrant) {
    case 0: return rounded(sineKernel(r));
    case 1: return rounded(cosineKernel(r));
    case 2: return -rounded(sineKernel(r));
    default: return -rounded(cosineKernel(r));
    }
}

double cosineOf(double x)
{
    int quadrant = 0;
    const Wide r = reducedByQuarterTurns(x, &quadrant);
    switch (quadrant) {
    case 0: return rounded(cosineKernel(r));
    case 1: return -rounded(sineKernel(r));
    case 2: return -rounded(cosineKernel(r));
    default: return rounded(sineKernel(r));
    }
}

double exponentialOf(double x)
{
    if (x > 709.8) {
        return std::numeric_limits<double>::infinity();
    }
    if (x < -745.2) {
        return 0.0;
    }
    return exponentialWide(Wide{x, 0.0});
}

double powerOf(double base, double exponent)
{
    if (exponent == 0.0 || base == 1.0) {
        return 1.0;
    }
    if (base == 0.0) {
        return exponent > 0.0 ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return exponentialWide(multiply(logarithmWide(base), exponent));
}

double arcCosineOf(double x)
{
    if (x >= -0.5 && x <= 0.5) {
        return rounded(subtract(halfPi, arcSineWide(Wide{x, 0.0})));
    }
    // Near +-1: acos x = 2 asin(sqrt((1 - x) / 2)), and pi minus that for -x; 1 - x and 1 + x
    // are exact there.
    const double away = x > 0.0 ? (1.0 - x) * 0.5 : (1.0 + x) * 0.5;
    const Wide angle = scaled(arcSineWide(squareRootWide(away)), 2.0);
    return rounded(x > 0.0 ? angle : subtract(pi, angle));
}
