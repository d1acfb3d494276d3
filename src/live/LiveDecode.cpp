#include "live/LiveDecode.h"

#include "core/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace live {

namespace {
QString formatVolts(long long whole, long long hundredths) {
    if (hundredths == 99) {
        ++whole;
        hundredths = 0;
    }
    if (hundredths < 0 || hundredths > 99) {
        QString t = QString::number(whole) + QLatin1Char('.');
        if (hundredths < 10) t += QLatin1Char('0');
        return t + QString::number(hundredths);
    }
    // One allocation: the read-outs take a new text with every frame.
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%lld.%02lld", whole, hundredths);
    return QString::fromLatin1(text, n);
}

int atLeastOne(long long v) {
    return v < 1 ? 1 : static_cast<int>(v);
}
} // namespace

QString voltsText(double volts) {
    const double whole = std::trunc(volts);
    const double hundredths = std::trunc((volts - whole) * 100.0);
    return formatVolts(static_cast<long long>(whole), static_cast<long long>(hundredths));
}

QString voltsText(int raw, int num, int den) {
    if (den <= 0) return voltsText(0.0);
    const long long n = static_cast<long long>(raw) * num;
    const long long whole = n / den;
    const long long rest = n % den;
    return formatVolts(whole, rest * 100 / den);
}

int lambdaChartValue(int probeKind, int raw) {
    switch (probeKind) {
    case 1:
    case 2:
        return raw;
    case 3:
        return static_cast<int>(roundEven(raw * 255.0 / 82.0));
    default:
        return static_cast<int>(roundEven(raw * 5.0));
    }
}

int lambdaTrace(int chartValue) {
    return atLeastOne(roundEven(chartValue * 100.0 / 327.0 * 1.2));
}
int tpsTrace(int raw) {
    return atLeastOne(roundEven(raw * 0.4));
}
// Divisions instead of the products by 0.0125 and 0.02: exact ties go to even.
int speedTrace(int speed) {
    return atLeastOne(roundEven(speed / 80.0));
}
int stepperTrace(int position) {
    return atLeastOne(roundEven(position * 100.0 / 255.0));
}

int temperatureCelsius(int raw) {
    return static_cast<int>(roundEven((raw - 110) * 19 / 10.0));
}

std::optional<GasLevel> gasLevel(int reserveSensorKind, int raw) {
    int b = std::max(raw, 0);
    if (reserveSensorKind == 1) { // "90R"
        b = std::min(b, 35);
        return GasLevel{static_cast<int>(roundEven(b * 5 / 2.0)), b < 6};
    }
    if (reserveSensorKind == 0) { // "20K"
        if (250 - b < 5) b = 250;
        if (250 - b > 235) b = 10;
        return GasLevel{static_cast<int>(roundEven((250 - b) * 100 / 280.0)), b > 210};
    }
    return std::nullopt;
}

std::optional<int> engineSpeed(int ignitionConstant, int filteredPeriod) {
    if (ignitionConstant == 0 || filteredPeriod == 0) return std::nullopt;
    const long long speed = roundEven(static_cast<double>(ignitionConstant) * 800.0 / filteredPeriod);
    return speed < 300 ? 0 : static_cast<int>(speed);
}

int speedDisplay(int speed) {
    return static_cast<int>(roundEven(speed / 50.0)) * 50;
}

ProbeScale probeScale(int probeKind) {
    using L = ProbeScale::Labels;
    const std::array<QString, 5> oneVolt{QStringLiteral("0,0"), QStringLiteral("0,2"), QStringLiteral("0,5"),
                                         QStringLiteral("0,8"), QStringLiteral("1,0")};
    const std::array<QString, 5> fiveVolt{QStringLiteral("0,0"), QStringLiteral("1,2"), QStringLiteral("2,5"),
                                          QStringLiteral("3,8"), QStringLiteral("5,0")};
    const std::array<QString, 5> wideBand{QStringLiteral("0,0"), QStringLiteral("0,4"), QStringLiteral("0,8"),
                                          QStringLiteral("1,2"), QStringLiteral("1,6")};
    switch (probeKind) {
    case 0:
        return {L::Swapped, 50, 20, 30, ColorLime, ColorRed, oneVolt};
    case 1:
        return {L::Design, 290, 120, 170, ColorLime, ColorRed, fiveVolt};
    case 2:
        return {L::Swapped, 290, 120, 170, ColorRed, ColorLime, fiveVolt};
    case 3:
        return {L::Design, 96, 35, 65, ColorLime, ColorRed, wideBand};
    case 4:
        return {L::Design, 50, 20, 30, ColorRed, ColorLime, oneVolt};
    default:
        return {L::Unchanged, 50, 20, 30, std::nullopt, std::nullopt, oneVolt};
    }
}

TimeBase timeBase(int position) {
    switch (std::clamp(position, 1, 4)) {
    case 1:
        return {QStringLiteral("0,5 s / dz"), 5};
    case 2:
        return {QStringLiteral("1,0 s / dz"), 10};
    case 3:
        return {QStringLiteral("1,5 s / dz"), 15};
    default:
        return {QStringLiteral("2,0 s / dz"), 20};
    }
}

bool LambdaTimes::update(int position) {
    bool changed = false;
    if (position > 40) {
        if (low_ != 0 && lowText_ != QString::number(low_)) {
            lowText_ = QString::number(low_);
            changed = true;
        }
        low_ = 0;
        high_ += 25;
    } else {
        if (high_ != 0 && highText_ != QString::number(high_)) {
            highText_ = QString::number(high_);
            changed = true;
        }
        high_ = 0;
        low_ += 25;
    }
    return changed;
}

Readings decodeFrame(const std::array<std::uint8_t, 7>& f, int filteredPeriod, const FrameContext& ctx) {
    Readings r;
    r.lambdaRaw = f[0];
    r.lambdaVolts = lambdaVoltsText(f[0]);
    r.lambdaTrace = lambdaTrace(lambdaChartValue(ctx.probeKind, f[0]));
    r.tpsRaw = f[1];
    r.tpsVolts = tpsVoltsText(f[1]);
    r.tpsTrace = tpsTrace(f[1]);
    int gasRaw = f[2];
    if (ctx.temperatureCapable) {
        r.temperatureRaw = f[2];
        r.temperature = temperatureCelsius(f[2]);
        gasRaw = f[3];
    }
    r.gas = gasLevel(ctx.reserveSensorKind, gasRaw);
    r.speed = engineSpeed(ctx.ignitionConstant, filteredPeriod);
    if (r.speed) {
        r.speedTrace = speedTrace(*r.speed);
        r.speedPanel = speedDisplay(*r.speed);
    }
    r.stepper = stepperPosition(f[6]);
    r.stepperTrace = stepperTrace(r.stepper);
    r.petrol = r.stepper == 0;
    return r;
}

} // namespace live
