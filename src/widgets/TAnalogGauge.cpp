#include "widgets/TAnalogGauge.h"

#include <QPainter>

TAnalogGauge::TAnalogGauge(QWidget* parent) : QWidget(parent) {
    font_.setBold(true);
    fontUnit_.setBold(true);
    fontValue_.setBold(true);
    scale_.Font.setBold(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TAnalogGauge::setDigit(int d) {
    if (model_.setDigit(d)) update();
}

void TAnalogGauge::setValue(double v) {
    model_.setValue(v);
    update();
}

void TAnalogGauge::setLimitLower(double v) {
    model_.limitLower = v;
    update();
}

void TAnalogGauge::setLimitUpper(double v) {
    model_.limitUpper = v;
    update();
}

void TAnalogGauge::setOptions(int options) {
    model_.options = options;
    update();
}

void TAnalogGauge::setValueFontColor(const QColor& c) {
    fontColor_ = c;
    update();
}

void TAnalogGauge::setFontUnitColor(const QColor& c) {
    fontUnitColor_ = c;
    update();
}

void TAnalogGauge::setFontValueColor(const QColor& c) {
    fontValueColor_ = c;
    update();
}

void TAnalogGauge::setScaleFontColor(const QColor& c) {
    scale_.FontColor = c;
    update();
}

void TAnalogGauge::setFaceColor(const QColor& c) {
    face_ = c;
    update();
}

QColor TAnalogGauge::indicatorColor(const QColor& fallback) const {
    if (!model_.has(opSector)) return fallback;
    const int s = model_.sectorIndex();
    return s == 0 ? fallback : model_.sectors.color(s);
}

bool TAnalogGauge::alarm() const {
    return model_.has(opOverflow) &&
           (model_.overLimit() || model_.underLimit() || model_.value() > model_.signal.ValueTo ||
            model_.value() < model_.signal.ValueFrom);
}

void TAnalogGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintGauge(p);
}
