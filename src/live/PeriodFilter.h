#pragma once
#include <array>

// Four-slot moving average of engine periods shared by every speed display.
// The first four samples after a reset pass unsmoothed; after that the mean of
// the four held samples is returned before the new one replaces the oldest.
class PeriodFilter {
public:
    void reset() { count_ = 0; }
    int push(int sample);
    int count() const { return count_; }

private:
    std::array<int, 4> slots_{};
    int count_ = 0;
};
