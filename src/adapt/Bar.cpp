#include "adapt/Bar.h"

#include "core/Numeric.h"

#include <algorithm>

namespace adapt {

bool Bar::setDigit(int digit) {
    if (digit == digit_ && !direct_ && markers_) return false;
    digit_ = digit;
    direct_.reset();
    record();
    return true;
}

double Bar::value() const {
    if (direct_) return *direct_;
    const double span = double(range_.digitalTo) - double(range_.digitalFrom);
    if (span == 0.0) return range_.valueFrom;
    return range_.valueFrom +
           (double(digit_) - range_.digitalFrom) * (range_.valueTo - range_.valueFrom) / span;
}

int Bar::position() const {
    const double span = double(range_.digitalTo) - double(range_.digitalFrom);
    if (span == 0.0) return 0;
    const long long p = roundEven((double(digit_) - range_.digitalFrom) * 1000.0 / span);
    return static_cast<int>(std::clamp<long long>(p, 0, 1000));
}

void Bar::resetMarkers() {
    const double v = value();
    const int p = position();
    markers_ = Markers{v, p, v, p};
}

void Bar::record() {
    if (!markers_) {
        resetMarkers();
        return;
    }
    const double v = value();
    if (v < markers_->low) {
        markers_->low = v;
        markers_->lowPos = position();
    }
    if (v > markers_->high) {
        markers_->high = v;
        markers_->highPos = position();
    }
}

} // namespace adapt
