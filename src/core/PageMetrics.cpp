#include "core/PageMetrics.h"

#include <cmath>

namespace shell::layout {

double real48(double x) {
    if (x == 0.0 || !std::isfinite(x)) return x;
    int exp = 0;
    const double m = std::frexp(x, &exp); // 0.5 <= |m| < 1
    return std::ldexp(std::nearbyint(std::ldexp(m, 40)), exp - 40);
}

int roundHalfEven(double x) {
    const double r = std::nearbyint(x); // the default rounding mode: to nearest, ties to even
    return static_cast<int>(r);
}

QRect scaled(const QRect& d, double f) {
    return QRect(roundHalfEven(d.x() * f), roundHalfEven(d.y() * f), roundHalfEven(d.width() * f),
                 roundHalfEven(d.height() * f));
}

ParamPageMetrics paramPageMetrics(int font) {
    ParamPageMetrics m;
    m.font = font;
    switch (font) {
    case 8:
        m.s = -2, m.r = -2, m.p = 0, m.q = 1;
        m.groupFactor = 0.9;
        m.window = QSize(644, 460);
        m.leftColumn = 4;
        m.infoRightGap = 20;
        m.groupGap = 2;
        break;
    case 16:
        m.s = 4, m.r = 5, m.p = 0, m.q = 3;
        m.groupFactor = 1.28;
        m.window = QSize(1000, 760);
        m.groupGap = 8;
        break;
    case 21:
        m.s = 6, m.r = 7, m.p = 5, m.q = 5;
        m.groupFactor = 1.707;
        m.window = QSize(1260, 1024);
        m.groupGap = 10;
        break;
    default: // 12
        m.font = 12;
        m.s = 0, m.r = 3, m.p = 0, m.q = 2;
        m.groupFactor = 1.05;
        m.window = QSize(800, 590);
        m.groupGap = 6;
        break;
    }
    m.infoFont = m.font == 21 ? m.font + 2 : m.font + 4;
    return m;
}

int rightColumnLeft(int referenceWidth) {
    return roundHalfEven(referenceWidth * 25.0 / 57.0);
}

GroupHeights groupHeights(int font) {
    const double f = real48(paramPageMetrics(font).groupFactor);
    GroupHeights g{};
    const int left[] = {115, 70, 216};
    const int right[] = {150, 95, 70};
    for (int i = 0; i < 3; ++i) {
        g.left[i] = roundHalfEven(left[i] * f);
        g.right[i] = roundHalfEven(right[i] * f);
    }
    return g;
}

} // namespace shell::layout
