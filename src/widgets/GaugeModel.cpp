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

QString formatValue(double v, const QString& format) {
    if (!std::isfinite(v)) return QStringLiteral("--");
    auto isPattern = [](QChar c) { return c == '0' || c == '#' || c == '.' || c == ','; };
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (isPattern(format[i])) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return format.isEmpty() ? QString::number(v) : format;
    const QString prefix = format.left(first);
    const QString suffix = format.mid(last + 1);
    const QString pattern = format.mid(first, last - first + 1);

    const qsizetype point = pattern.indexOf('.');
    const QString intPart = point < 0 ? pattern : pattern.left(point);
    const QString fracPart = point < 0 ? QString() : pattern.mid(point + 1);
    const int minInt = int(intPart.count('0'));
    const int minFrac = std::min(15, int(fracPart.count('0')));
    const int maxFrac = std::min(15, minFrac + int(fracPart.count('#')));

    // Ties go to the even neighbour, like every other rounding in the program.
    const double scale = std::pow(10.0, maxFrac);
    const double rounded = std::nearbyint(std::fabs(v) * scale) / scale;
    QString text = QString::number(rounded, 'f', maxFrac);
    bool negative = v < 0;
    // "-0.0" is not a reading anyone wants to see.
    if (negative && text.toDouble() == 0.0) negative = false;

    qsizetype dot = text.indexOf('.');
    QString whole = dot < 0 ? text : text.left(dot);
    QString frac = dot < 0 ? QString() : text.mid(dot + 1);
    while (frac.size() > minFrac && frac.endsWith('0'))
        frac.chop(1);
    while (whole.size() < minInt)
        whole.prepend('0');
    if (minInt == 0 && whole == QLatin1String("0")) whole.clear();
    QString out = whole;
    if (!frac.isEmpty()) out += '.' + frac;
    if (out.isEmpty()) out = QStringLiteral("0");
    if (negative) out.prepend('-');
    return prefix + out + suffix;
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
