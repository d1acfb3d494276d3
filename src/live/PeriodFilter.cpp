#include "live/PeriodFilter.h"

#include "core/Numeric.h"

int PeriodFilter::push(int sample) {
    if (count_ < 4) {
        slots_[static_cast<std::size_t>(count_++)] = sample;
        return sample;
    }
    const long long sum = static_cast<long long>(slots_[0]) + slots_[1] + slots_[2] + slots_[3];
    const int mean = static_cast<int>(roundEven(static_cast<double>(sum) * 0.25));
    slots_[0] = slots_[1];
    slots_[1] = slots_[2];
    slots_[2] = slots_[3];
    slots_[3] = sample;
    return mean;
}
