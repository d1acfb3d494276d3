#pragma once
#include <cmath>

// Every rounding of a scaled value is to the nearest integer, ties to even.
inline long long roundEven(double x) {
    return static_cast<long long>(std::nearbyint(x));
}

// The same rounding of the exact quotient numerator / denominator, worked in
// whole numbers so that a tie is a tie on every platform whatever its
// floating-point precision. The denominator must not be 0.
constexpr long long roundEven(long long numerator, long long denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    long long q = numerator / denominator; // towards zero
    const long long r = numerator % denominator;
    const long long twice = 2 * (r < 0 ? -r : r);
    if (twice > denominator || (twice == denominator && q % 2 != 0)) q += r < 0 ? -1 : 1;
    return q;
}
