#include "widgets/LedBarModel.h"

#include "widgets/WidgetMath.h"

#include <algorithm>

using widgets::roundPx;

int LedBarModel::litCount() const {
    const double span = double(Max) - double(Min);
    if (span <= 0 || NumDigits <= 0) return 0;
    return std::clamp(roundPx(double(NumDigits) * Position / span), 0, NumDigits);
}

int LedBarModel::startFor(int value) const {
    const double span = double(Max) - double(Min);
    if (span <= 0 || value <= 0) return 0;
    return roundPx(double(NumDigits) * value / span);
}

int LedBarModel::zone2Start() const {
    return startFor(StartColor2);
}

int LedBarModel::zone3Start() const {
    return startFor(StartColor3);
}

int LedBarModel::zoneOf(int i) const {
    if (i < zone2Start()) return 1;
    if (i < zone3Start()) return 2;
    return 3;
}

bool LedBarModel::isLit(int i) const {
    const int lit = litCount();
    return SingleLED ? i == lit - 1 : i < lit;
}

QColor LedBarModel::zoneColor(int zone) const {
    return zone == 1 ? ColorLED1 : zone == 2 ? ColorLED2 : ColorLED3;
}

QColor LedBarModel::dimmedColor(int zone) const {
    const QColor c = zoneColor(zone).toRgb();
    const double f = 0.1 + 0.05 * (9 - std::clamp(LEDContrast, 0, 9));
    return QColor(int(c.red() * f), int(c.green() * f), int(c.blue() * f));
}

QColor LedBarModel::segmentColor(int i) const {
    const int zone = zoneOf(i);
    return isLit(i) ? zoneColor(zone) : dimmedColor(zone);
}
