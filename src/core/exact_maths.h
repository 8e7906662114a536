#pragma once
// The sine, cosine, exponential, power and arc cosine of the race and its sound, computed by our
// own code from additions, multiplications and divisions alone, so that Linux, Windows and the
// browser give the same race bit for bit whatever their C maths library.
//
// Each works in double-double arithmetic (a value carried as the unevaluated sum of two doubles,
// about 106 bits) and rounds once at the end, so its result is the double nearest the true value
// unless that value lies within some 2^-90 of its size from a rounding boundary. glibc's
// functions round to nearest in practice too; the tests compare the two bit for bit on every
// argument the race and its sound use. Results below 2^-1022 (which the game never meets) are
// rounded twice.
//
// Called by the track generation, the physics, the car's view and the sound synthesis, in place
// of std::sin, std::cos, std::exp, std::pow and std::acos.

// sin(x) and cos(x), x in radians, |x| < 2^20.
double sineOf(double x);
double cosineOf(double x);

// e^x; 0 below -745, +infinity above 709.8.
double exponentialOf(double x);

// base^exponent for base > 0 with |exponent * ln(base)| < 700; 1 when exponent is 0.
double powerOf(double base, double exponent);

// acos(x) in radians for -1 <= x <= 1, from pi to 0.
double arcCosineOf(double x);
