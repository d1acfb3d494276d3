#pragma once
#include <cmath>

// Every rounding of a scaled value is to the nearest integer, ties to even.
inline long long roundEven(double x) { return static_cast<long long>(std::nearbyint(x)); }
