#include "widgets/TAnalogGauge.h"

#include <QBackingStore>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>

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
    layersMade_ = false;
    base_ = alarmBase_ = overlay_ = QPixmap();
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
    return std::llround(pointerFraction() * std::max(1.0, travel_) * 4.0);
}

const QString& TAnalogGauge::shownText(bool withUnit) const {
    TextMemo& m = texts_[withUnit ? 1 : 0];
    const double v = model_.value();
    const SignalSettings& s = model_.signal;
    const QString& unit = withUnit && model_.has(opUnit) ? s.ValueUnit : QString();
    const bool sameFormat = m.valid && m.format == s.ValueFormat && m.unit == unit;
    if (!sameFormat) {
        m.decimals = formatDecimals(s.ValueFormat);
        m.scale = std::pow(10.0, std::max(0, m.decimals));
    }
    // Only the rounded value shows: a value that rounds alike keeps its text.
    // NaN never equals itself: such a value is simply formatted again.
    const double key = m.decimals < 0 ? v : std::nearbyint(std::fabs(v) * m.scale);
    if (!sameFormat || m.key != key || m.negative != (v < 0)) {
        m.valid = true;
        m.key = key;
        m.negative = v < 0;
        m.format = s.ValueFormat;
        m.unit = unit;
        m.text = formatValue(v, s.ValueFormat);
        if (!unit.isEmpty()) m.text += QLatin1Char(' ') + unit;
    }
    return m.text;
}

TAnalogGauge::Shown TAnalogGauge::shownNow() const {
    Shown s;
    s.step = indicatorStep();
    s.text = shownText(readout_spec_.withUnit);
    s.alarm = alarm();
    s.sector = model_.has(opSector) ? model_.sectorIndex() : 0;
    s.fraction = pointerFraction();
    return s;
}

void TAnalogGauge::updateIfShownChanged() {
    // Only against layers drawn from the settings in force can a part be
    // repainted alone; settings changed through the references repaint all.
    if (!shownValid_ || !layersCurrent(false)) {
        update();
        return;
    }
    // Compared with what was last painted, so small steps that each look the
    // same still add up to a repaint once the pointer would visibly move.
    const Shown now = shownNow();
    if (now == shown_) return;
    if (now.text != shown_.text || now.alarm != shown_.alarm) {
        const Readout& r = readout_spec_;
        if (!r.box.isEmpty()) {
            update(ipaint::ReadoutPainter::bounds(r.box).toAlignedRect());
            update(readout_.textBounds(r.box, shown_.text, r.font).toAlignedRect());
            update(readout_.textBounds(r.box, now.text, r.font).toAlignedRect());
        }
    }
    if (now.step != shown_.step || now.sector != shown_.sector)
        updateIndicator(shown_.fraction, now.fraction, now.sector != shown_.sector);
}

void TAnalogGauge::updateIndicator(double from, double to, bool) {
    update(indicatorBounds(from).toAlignedRect());
    update(indicatorBounds(to).toAlignedRect());
}

bool TAnalogGauge::needsPaint(const QRectF& r) const {
    return !painting_ || paintRegion_.intersects(r.toAlignedRect());
}

void TAnalogGauge::paintReadout(QPainter& p, const Readout& r) {
    if (r.box.isEmpty()) return;
    const QString& text = shownText(r.withUnit);
    if (!needsPaint(ipaint::ReadoutPainter::bounds(r.box)) &&
        !needsPaint(readout_.textBounds(r.box, text, r.font)))
        return;
    if (!boxBaked_) ipaint::ReadoutPainter::paintBox(p, r.box, r.ink, alarm());
    readout_.paintText(p, r.box, text, r.font, r.ink);
}

TAnalogGauge::Inputs TAnalogGauge::inputs() const {
    Inputs in;
    in.size = size();
    in.dpr = devicePixelRatioF();
    in.signal = model_.signal;
    in.sectors = model_.sectors;
    in.scale = scale_;
    in.limitLower = model_.limitLower;
    in.limitUpper = model_.limitUpper;
    in.options = model_.options;
    in.font = font_;
    in.fontUnit = fontUnit_;
    in.fontValue = fontValue_;
    in.fontColor = fontColor_;
    in.fontUnitColor = fontUnitColor_;
    in.fontValueColor = fontValueColor_;
    in.face = face_;
    writeStaticKey(in.extra);
    return in;
}

bool TAnalogGauge::layersCurrent(bool withRatio) const {
    if (!layersMade_) return false;
    // Compared in place with every value inputs() takes: asked with every
    // value shown, so nothing is copied on the way.
    const Inputs& in = inputs_;
    if (in.size != size() || (withRatio && in.dpr != devicePixelRatioF()) ||
        in.limitLower != model_.limitLower || in.limitUpper != model_.limitUpper ||
        in.options != model_.options || in.fontColor != fontColor_ || in.fontUnitColor != fontUnitColor_ ||
        in.fontValueColor != fontValueColor_ || in.face != face_)
        return false;
    if (!(in.signal == model_.signal) || !(in.sectors == model_.sectors) || !(in.scale == scale_) ||
        in.font != font_ || in.fontUnit != fontUnit_ || in.fontValue != fontValue_)
        return false;
    extraNow_.clear();
    writeStaticKey(extraNow_);
    return extraNow_ == in.extra;
}

// True when every pixel of img that r may touch is opaque.
static bool opaqueUnder(const QImage& img, const QRectF& r) {
    const qreal dpr = img.devicePixelRatio();
    const QRect px = QRectF(r.topLeft() * dpr, r.size() * dpr).toAlignedRect();
    if (px.isEmpty() || !img.rect().contains(px)) return false;
    for (int y = px.top(); y <= px.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = px.left(); x <= px.right(); ++x)
            if (qAlpha(line[x]) != 255) return false;
    }
    return true;
}

QPixmap TAnalogGauge::renderLayer(bool overlay, bool inAlarm) {
    const qreal dpr = devicePixelRatioF();
    QImage img(QSize(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr))),
               QImage::Format_ARGB32_Premultiplied);
    if (img.isNull()) return QPixmap();
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    auto painter = [](QImage& on) {
        auto p = std::make_unique<QPainter>(&on);
        p->setRenderHint(QPainter::Antialiasing);
        p->setRenderHint(QPainter::TextAntialiasing);
        return p;
    };
    if (overlay) {
        paintStaticOverlay(*painter(img));
    } else {
        paintStatic(*painter(img));
        const Readout r = readout();
        boxBaked_ = !r.box.isEmpty() && opaqueUnder(img, ipaint::ReadoutPainter::bounds(r.box));
        if (boxBaked_) ipaint::ReadoutPainter::paintBox(*painter(img), r.box, r.ink, inAlarm);
    }
    return QPixmap::fromImage(std::move(img));
}

void TAnalogGauge::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    invalidateStatic();
}

int TAnalogGauge::wholeRatio(const QPainter& p) {
    const qreal dpr = p.device() ? p.device()->devicePixelRatio() : 1.0;
    const QTransform& t = p.worldTransform();
    const bool whole = t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
                       t.dy() == std::floor(t.dy()) && dpr == std::floor(dpr) && dpr >= 1;
    return whole ? int(dpr) : 0;
}

void TAnalogGauge::copyImage(QPainter& p, const QPoint& at, const QImage& img, const QRect& area) const {
    if (!painting_) {
        p.save();
        p.setClipRect(area, Qt::IntersectClip);
        p.drawImage(at, img);
        p.restore();
        return;
    }
    for (const QRect& r : paintRegion_) {
        const QRect part = r & area;
        if (part.isEmpty()) continue;
        p.setClipRect(part);
        p.drawImage(at, img);
    }
    p.setClipping(false);
}

void TAnalogGauge::copyLayer(QPainter& p, const QPixmap& layer) const {
    if (layer.isNull()) return;
    // The raster engine copies an image straight only inside a rectangular
    // clip; inside the paint's region it blends line by line, and hands tall
    // copies out to other threads. So each rectangle of the region is copied
    // alone, to the same pixels.
    for (const QRect& r : paintRegion_) {
        p.setClipRect(r);
        p.drawPixmap(0, 0, layer);
    }
    p.setClipping(false);
}

void TAnalogGauge::paintEvent(QPaintEvent* e) {
    // The settings are public references, so they are compared rather than
    // trusting every caller to announce a change.
    if (!layersCurrent()) {
        inputs_ = inputs();
        layersMade_ = true;
        alarmBase_ = QPixmap();
        base_ = renderLayer(false);
        overlay_ = hasStaticOverlay() ? renderLayer(true) : QPixmap();
        ++staticRenders_;
        readout_spec_ = readout();
        travel_ = indicatorTravel();
        layersChanged();
    }
    QPainter p(this);
    // Painted into the window's backing store, not rendered into an image:
    // only then does the screen show what is painted now.
    QBackingStore* store = window()->backingStore();
    const bool onScreen = store && p.paintEngine() && p.paintEngine()->paintDevice() == store->paintDevice();
    paintRegion_ = e->region();
    painting_ = true;
    const bool inAlarm = alarm();
    if (inAlarm && alarmBase_.isNull() && boxBaked_) alarmBase_ = renderLayer(false, true);
    const QPixmap& base = inAlarm && !alarmBase_.isNull() ? alarmBase_ : base_;
    copyLayer(p, base);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintDynamic(p);
    copyLayer(p, overlay_);
    painting_ = false;
    if (onScreen) {
        shown_ = shownNow();
        shownValid_ = true;
    }
}
