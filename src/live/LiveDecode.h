#pragma once
// What the fields of a live frame mean on screen: volts texts, chart trace
// positions, gas level, engine speed, stepper position and the scalings that
// depend on the lambda probe kind. Plain functions so the pages only apply them.
#include "core/Readings.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace live {

// Volts text of a value: whole volts, ".", two truncated hundredths; 99
// hundredths count as the next whole volt so that 4.999 reads "5.00".
QString voltsText(double volts);
// The same for raw × num / den computed exactly, so that values such as
// 0.35 never truncate to 0.34 through binary rounding.
QString voltsText(int raw, int num, int den);
inline QString lambdaVoltsText(int raw) {
    return voltsText(raw, 5, 255);
}
inline QString tpsVoltsText(int raw) {
    return voltsText(raw, 12, 240);
}

// Lambda byte converted for the chart by the probe kind (0..4).
int lambdaChartValue(int probeKind, int raw);
// Trace positions in percent of the chart height, at least 1.
int lambdaTrace(int chartValue);
int tpsTrace(int raw);
int speedTrace(int speed);
int stepperTrace(int position);

// Reducer temperature in degrees Celsius.
int temperatureCelsius(int raw);

// Gas level in the tank by the reserve-sensor kind (0 "20K", 1 "90R").
std::optional<GasLevel> gasLevel(int reserveSensorKind, int raw);

// Engine speed from the filtered period; nullopt when the constant or the
// period is zero (the displays keep their values). Below 300 it is 0.
std::optional<int> engineSpeed(int ignitionConstant, int filteredPeriod);
// Speed rounded to 50, as the panels show it.
int speedDisplay(int speed);

inline int stepperPosition(std::uint8_t byte6) {
    return 255 - byte6;
}
inline int enginePeriod(std::uint8_t low, std::uint8_t high) {
    return low + 256 * high;
}

// The bar scaling of a probe kind (core/Readings.h).
ProbeScale probeScale(int probeKind);

// Chart time base of UpDown1's position 1..4 (clamped).
struct TimeBase {
    QString text;
    int interval; // units of 10 ms
};
TimeBase timeBase(int position);

// Length of the last completed rich (high) and lean (low) stretch of the
// lambda trace, counted 25 per poll.
class LambdaTimes {
public:
    // One poll with trace A's position. True when a label text changed.
    bool update(int position);
    QString highText() const { return highText_; } // Label43
    QString lowText() const { return lowText_; }   // Label44
    int high() const { return high_; }
    int low() const { return low_; }

private:
    int high_ = 0;
    int low_ = 0;
    QString highText_ = QStringLiteral("0");
    QString lowText_ = QStringLiteral("0");
};

// What decoding a frame needs to know of the controller.
struct FrameContext {
    bool temperatureCapable = false;
    int probeKind = 0;
    int reserveSensorKind = 0;
    int ignitionConstant = 0;
};

// Decodes bytes 0..6 of the frame; the period goes through the caller's filter
// first (pass the filtered period).
Readings decodeFrame(const std::array<std::uint8_t, 7>& frame, int filteredPeriod, const FrameContext& ctx);

} // namespace live
