#pragma once
#include <cmath>

namespace widgets {

// Pixel positions and sizes: the program's one rounding (to nearest, ties to
// even, as the default floating-point rounding mode does), as int. Kept here
// so the widgets need nothing of the program's other libraries.
inline int roundPx(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace widgets
