#include "widgets/TAnalogGauge.h"

#include <QDataStream>
#include <QIODevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

TAnalogGauge::TAnalogGauge(QWidget* parent) : QWidget(parent) {
    font_.setBold(true);
    fontUnit_.setBold(true);
    fontValue_.setBold(true);
    scale_.Font.setBold(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TAnalogGauge::setDigit(int d) {
    if (model_.setDigit(d)) updateIfShownChanged();
}

void TAnalogGauge::setValue(double v) {
    model_.setValue(v);
    updateIfShownChanged();
}

void TAnalogGauge::setLimitLower(double v) {
    if (model_.limitLower == v) return;
    model_.limitLower = v;
    invalidateStatic();
}

void TAnalogGauge::setLimitUpper(double v) {
    if (model_.limitUpper == v) return;
    model_.limitUpper = v;
    invalidateStatic();
}

void TAnalogGauge::setOptions(int options) {
    if (model_.options == options) return;
    model_.options = options;
    invalidateStatic();
}

void TAnalogGauge::setValueFontColor(const QColor& c) {
    if (fontColor_ == c) return;
    fontColor_ = c;
    update();
}

void TAnalogGauge::setFontUnitColor(const QColor& c) {
    if (fontUnitColor_ == c) return;
    fontUnitColor_ = c;
    invalidateStatic();
}

void TAnalogGauge::setFontValueColor(const QColor& c) {
    if (fontValueColor_ == c) return;
    fontValueColor_ = c;
    update();
}

void TAnalogGauge::setScaleFontColor(const QColor& c) {
    if (scale_.FontColor == c) return;
    scale_.FontColor = c;
    invalidateStatic();
}

void TAnalogGauge::setFaceColor(const QColor& c) {
    if (face_ == c) return;
    face_ = c;
    invalidateStatic();
}

void TAnalogGauge::settingsChanged() {
    invalidateStatic();
}

void TAnalogGauge::invalidateStatic() {
    key_.clear();
    base_ = QPixmap();
    overlay_ = QPixmap();
    shownValid_ = false;
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

double TAnalogGauge::indicatorTravel() const {
    return std::max(width(), height());
}

qint64 TAnalogGauge::indicatorStep() const {
    return std::llround(pointerFraction() * std::max(1.0, indicatorTravel()) * 4.0);
}

TAnalogGauge::Shown TAnalogGauge::shownNow() const {
    Shown s;
    s.step = indicatorStep();
    s.text = valueText();
    s.alarm = alarm();
    s.sector = model_.has(opSector) ? model_.sectorIndex() : 0;
    return s;
}

void TAnalogGauge::updateIfShownChanged() {
    // Compared with what was last painted, so small steps that each look the
    // same still add up to a repaint once the pointer would visibly move.
    if (shownValid_ && shownNow() == shown_) return;
    update();
}

QByteArray TAnalogGauge::staticKey() const {
    QByteArray key;
    key.reserve(512);
    QDataStream s(&key, QIODevice::WriteOnly);
    s << size() << devicePixelRatioF();
    const SignalSettings& g = model_.signal;
    s << g.DigitalFrom << g.DigitalTo << g.ValueFrom << g.ValueTo << g.ValueFormat << g.ValueUnit << g.Name1
      << g.Name2;
    const SectorSettings& c = model_.sectors;
    s << c.Sector1From << c.Sector1To << c.Sector2From << c.Sector2To << c.Sector3From << c.Sector3To
      << c.Sector1Color << c.Sector2Color << c.Sector3Color << c.Offset << c.WidthOffset;
    s << scale_.Steps << scale_.SubSteps << scale_.ValueFormat << scale_.Font << scale_.FontColor
      << scale_.Color << scale_.PointerColor << scale_.DrawLine << scale_.PosLeftTop;
    s << model_.limitLower << model_.limitUpper << model_.options;
    s << font_ << fontUnit_ << fontValue_ << fontColor_ << fontUnitColor_ << fontValueColor_ << face_;
    writeStaticKey(s);
    return key;
}

QPixmap TAnalogGauge::renderLayer(bool overlay) {
    const qreal dpr = devicePixelRatioF();
    QPixmap pm(QSize(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr))));
    if (pm.isNull()) return pm;
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (overlay)
        paintStaticOverlay(p);
    else
        paintStatic(p);
    return pm;
}

void TAnalogGauge::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    invalidateStatic();
}

void TAnalogGauge::paintEvent(QPaintEvent*) {
    // The settings are public references, so they are compared rather than
    // trusting every caller to announce a change.
    QByteArray key = staticKey();
    if (key != key_) {
        key_ = std::move(key);
        base_ = renderLayer(false);
        overlay_ = hasStaticOverlay() ? renderLayer(true) : QPixmap();
        ++staticRenders_;
    }
    QPainter p(this);
    if (!base_.isNull()) p.drawPixmap(0, 0, base_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintDynamic(p);
    if (!overlay_.isNull()) p.drawPixmap(0, 0, overlay_);
    shown_ = shownNow();
    shownValid_ = true;
}
