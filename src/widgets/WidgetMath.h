#pragma once
#include <cmath>

namespace widgets {

// Scaled values are rounded to the nearest integer with ties to even, as the
// controller software always did (banker's rounding).
inline int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace widgets
