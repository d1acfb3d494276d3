#include "widgets/GaugeModel.h"

#include "widgets/WidgetMath.h"

#include <algorithm>
#include <cmath>

using widgets::roundPx;

int SectorSettings::from(int sector) const {
    return sector == 1 ? Sector1From : sector == 2 ? Sector2From : Sector3From;
}

int SectorSettings::to(int sector) const {
    return sector == 1 ? Sector1To : sector == 2 ? Sector2To : Sector3To;
}

QColor SectorSettings::color(int sector) const {
    return sector == 1 ? Sector1Color : sector == 2 ? Sector2Color : Sector3Color;
}

namespace {
// The number part of a format: where it lies, its required digits before the
// point and its required and optional ones after it.
struct NumberFormat {
    qsizetype first = -1, last = -1;
    int minInt = 0, minFrac = 0, maxFrac = 0;
};

NumberFormat parseFormat(const QString& format) {
    NumberFormat f;
    auto isPattern = [](QChar c) { return c == '0' || c == '#' || c == '.' || c == ','; };
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (isPattern(format[i])) {
            if (f.first < 0) f.first = i;
            f.last = i;
        }
    }
    int fracZeros = 0, fracHashes = 0;
    bool afterPoint = false;
    for (qsizetype i = f.first; f.first >= 0 && i <= f.last; ++i) {
        const QChar c = format[i];
        if (c == '.' && !afterPoint)
            afterPoint = true;
        else if (c == '0')
            ++(afterPoint ? fracZeros : f.minInt);
        else if (c == '#' && afterPoint)
            ++fracHashes;
    }
    f.minFrac = std::min(15, fracZeros);
    f.maxFrac = std::min(15, f.minFrac + fracHashes);
    return f;
}
} // namespace

int formatDecimals(const QString& format) {
    const NumberFormat f = parseFormat(format);
    return f.first < 0 ? -1 : f.maxFrac;
}

QString formatValue(double v, const QString& format) {
    if (!std::isfinite(v)) return QStringLiteral("--");
    const NumberFormat f = parseFormat(format);
    const qsizetype first = f.first, last = f.last;
    if (first < 0) return format.isEmpty() ? QString::number(v) : format;
    const int minInt = f.minInt, minFrac = f.minFrac, maxFrac = f.maxFrac;

    // Ties go to the even neighbour, like every other rounding in the program.
    const double scale = std::pow(10.0, maxFrac);
    const double rounded = std::nearbyint(std::fabs(v) * scale) / scale;
    const QString text = QString::number(rounded, 'f', maxFrac);
    bool negative = v < 0;
    // "-0.0" is not a reading anyone wants to see.
    if (negative && text.toDouble() == 0.0) negative = false;

    const qsizetype dot = text.indexOf('.');
    const qsizetype whole = dot < 0 ? text.size() : dot;
    qsizetype frac = dot < 0 ? 0 : text.size() - dot - 1;
    while (frac > minFrac && text[dot + frac] == '0')
        --frac;
    const bool noWhole = minInt == 0 && whole == 1 && text[0] == '0';

    const QStringView fmt(format);
    QString out;
    out.reserve(format.size() + text.size() + minInt + 2);
    out += fmt.first(first);
    if (negative) out += '-';
    const qsizetype bodyStart = out.size();
    if (!noWhole) {
        for (qsizetype i = whole; i < minInt; ++i)
            out += '0';
        out += QStringView(text).first(whole);
    }
    if (frac > 0) {
        out += '.';
        out += QStringView(text).sliced(dot + 1, frac);
    }
    if (out.size() == bodyStart) out += '0';
    out += fmt.sliced(last + 1);
    return out;
}

bool GaugeModel::setDigit(int d) {
    if (d == digit_ && !direct_) return false;
    digit_ = d;
    direct_ = false;
    recordMarkers();
    return true;
}

void GaugeModel::setValue(double v) {
    direct_ = true;
    directValue_ = v;
}

double GaugeModel::value() const {
    return direct_ ? directValue_ : valueForDigit(digit_);
}

double GaugeModel::valueForDigit(int d) const {
    const double span = double(signal.DigitalTo) - double(signal.DigitalFrom);
    // A zero raw span has no meaningful mapping; show the bottom of the scale.
    if (span == 0.0) return signal.ValueFrom;
    return signal.ValueFrom + (double(d) - signal.DigitalFrom) * (signal.ValueTo - signal.ValueFrom) / span;
}

int GaugeModel::perMilleForDigit(int d) const {
    const double span = double(signal.DigitalTo) - double(signal.DigitalFrom);
    if (span == 0.0) return 0;
    return roundPx(1000.0 * (double(d) - signal.DigitalFrom) / span);
}

int GaugeModel::sectorIndexForPerMille(int pm) const {
    for (int s = 1; s <= 3; ++s) {
        if (pm >= sectors.from(s) && pm <= sectors.to(s)) return s;
    }
    return 0;
}

double GaugeModel::fractionForValue(double v) const {
    const double span = signal.ValueTo - signal.ValueFrom;
    if (span == 0.0 || !std::isfinite(v)) return 0.0;
    return std::clamp((v - signal.ValueFrom) / span, 0.0, 1.0);
}

double GaugeModel::fraction() const {
    return fractionForValue(value());
}

QString GaugeModel::valueText() const {
    QString t = formatValue(value(), signal.ValueFormat);
    if (has(opUnit) && !signal.ValueUnit.isEmpty()) t += ' ' + signal.ValueUnit;
    return t;
}

bool GaugeModel::overLimit() const {
    return has(opLimit) && value() > limitUpper;
}

bool GaugeModel::underLimit() const {
    return has(opLimit) && value() < limitLower;
}

int GaugeModel::markerPosition() const {
    const double span = double(signal.DigitalTo) - double(signal.DigitalFrom);
    if (span == 0.0) return 0;
    return std::clamp(roundPx((double(digit_) - signal.DigitalFrom) * 1000.0 / span), 0, 1000);
}

void GaugeModel::resetMarkers() {
    minValue_ = maxValue_ = value();
    minPos_ = maxPos_ = markerPosition();
    markersSet_ = true;
}

void GaugeModel::recordMarkers() {
    if (!markersSet_) {
        resetMarkers();
        return;
    }
    const double v = value();
    if (v < minValue_) {
        minValue_ = v;
        minPos_ = markerPosition();
    }
    if (v > maxValue_) {
        maxValue_ = v;
        maxPos_ = markerPosition();
    }
}
