#pragma once
#include <cmath>

// Every rounding of a scaled value is to the nearest integer, ties to even.
inline long long roundEven(double x) {
    return static_cast<long long>(std::nearbyint(x));
}

// The controller's own configuration tool computed its scalings in 80-bit
// extended precision; where a product lands next to a tie (0,50 V x 0.002 x 255)
// only the same precision gives the same byte on the wire.
inline long long roundEvenExt(long double x) {
    return static_cast<long long>(std::nearbyintl(x));
}
