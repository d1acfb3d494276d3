#include "widgets/SweepModel.h"

#include "widgets/WidgetMath.h"

int SweepModel::yFor(int height, int position) {
    return height - widgets::roundPx(height * position / 100.0);
}

SweepStep SweepModel::tick(int width, int height, const std::array<int, 4>& positions,
                           const std::array<bool, 4>& shown) {
    SweepStep step;
    for (int t = 0; t < 4; ++t) {
        const int y = yFor(height, positions[t]);
        // A trace that has no earlier point starts flat at its first sample.
        const int from = prevY_[t] < 0 ? y : prevY_[t];
        if (shown[t]) step.lines.push_back(SweepLine{t, x_, from, x_ + kStep, y});
        prevY_[t] = y;
    }
    if (x_ < width - kStep) {
        x_ += kStep;
    } else {
        x_ = kStartX;
        step.wiped = true;
    }
    return step;
}

void SweepModel::restart() {
    x_ = kStartX;
    prevY_ = {-1, -1, -1, -1};
}

bool SweepModel::valuesPace(long long spacing, int periodMs) {
    return spacing >= 0 && spacing <= periodMs + periodMs / 4;
}

bool SweepModel::sampleWithValues(long long spacing, long long sinceSample, int periodMs) {
    if (!valuesPace(spacing, periodMs)) return false;
    return sinceSample < 0 || sinceSample >= periodMs - spacing / 2;
}
