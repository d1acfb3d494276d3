#pragma once
#include "link/Numeric.h"

namespace widgets {

// Pixel positions and sizes: the program's one rounding (ties to even), as int.
inline int roundPx(double v) {
    return static_cast<int>(::roundEven(v));
}

} // namespace widgets
