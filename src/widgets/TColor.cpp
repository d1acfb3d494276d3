#include "widgets/TColor.h"

QColor tColor(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

unsigned tColorValue(const QColor& c) {
    const QColor rgb = c.toRgb();
    return unsigned(rgb.red()) | (unsigned(rgb.green()) << 8) | (unsigned(rgb.blue()) << 16);
}
