#pragma once
// A horizontal bar of a calibration step as the steps see it: its ranges, the
// digit last given to it and its lowest and highest markers. The steps read
// the markers' positions to learn a sensor's extremes, so the marker rules
// live here rather than in the widget that draws the bar.
#include <optional>

namespace adapt {

struct BarRange {
    int digitalFrom = 0;
    int digitalTo = 100;
    double valueFrom = 0.0;
    double valueTo = 100.0;
    bool operator==(const BarRange&) const = default;
};

class Bar {
public:
    Bar() = default;
    explicit Bar(BarRange range) : range_(range) {}

    // A new range moves neither the digit nor the markers: a marker keeps the
    // position it was given under the old range.
    void setRange(BarRange range) { range_ = range; }
    // Setting the digit the bar already shows does nothing (and moves no marker),
    // unless the markers have been cleared or a value was written directly.
    bool setDigit(int digit);
    // Shown as it is until the next digit; markers do not see it.
    void setValue(double value) { direct_ = value; }
    // The current value and position become both the lowest and the highest marker.
    void resetMarkers();
    // No markers: the next digit starts them, whatever digit the bar showed before.
    void clearMarkers() { markers_.reset(); }

    const BarRange& range() const { return range_; }
    int digit() const { return digit_; }
    std::optional<double> directValue() const { return direct_; }
    double value() const;
    // Position of the current digit in per mille of the digital range, 0..1000.
    int position() const;

    bool markersSet() const { return markers_.has_value(); }
    int lowestPosition() const { return markers_ ? markers_->lowPos : 0; }
    int highestPosition() const { return markers_ ? markers_->highPos : 0; }

private:
    struct Markers {
        double low;
        int lowPos;
        double high;
        int highPos;
    };
    void record();

    BarRange range_;
    int digit_ = 0;
    std::optional<double> direct_;
    std::optional<Markers> markers_;
};

} // namespace adapt
