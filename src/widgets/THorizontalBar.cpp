#include "widgets/THorizontalBar.h"

#include "widgets/InstrumentPaint.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

THorizontalBar::THorizontalBar(QWidget* parent) : TAnalogGauge(parent) {
    model_.sectors.Sector1To = 400;
    model_.sectors.Sector2From = 400;
    model_.sectors.Sector2To = 600;
    model_.sectors.Sector3From = 600;
}

void THorizontalBar::setBarStyle(BarStyle s) {
    if (bar_.Style == s) return;
    bar_.Style = s;
    invalidateStatic();
}

void THorizontalBar::writeStaticKey(StaticKey& k) const {
    k.append(bar_.Style);
    addColour(k, bar_.Color);
    addColour(k, bar_.BkColor);
    k.append(bar_.minHeight);
    k.append(bar_.minWidth);
}

THorizontalBar::Layout THorizontalBar::layout() const {
    Layout l;
    l.area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (l.area.width() < 8 || l.area.height() < 6) return l;
    l.ok = true;
    // Same inner rectangle the frame painter returns.
    const double bw = std::clamp(std::min(l.area.width(), l.area.height()) * 0.04, 1.5, 5.0);
    QRectF inner = l.area.adjusted(bw, bw, -bw, -bw);
    l.inner = inner;
    const double h = inner.height();
    l.pad = std::max(1.5, h * 0.1);
    const double pad = l.pad;
    inner.adjust(pad, pad, -pad, -pad);

    // Caption on the left, value read-out on the right, when there is room.
    if (model_.has(opName1) && !model_.signal.Name1.isEmpty() && inner.width() > h * 5) {
        const double cw = std::min(inner.width() * 0.2, h * 2.6);
        l.caption = QRectF(inner.left(), inner.top(), cw, inner.height());
        inner.setLeft(inner.left() + cw + pad);
    }
    if (inner.width() > h * 3.2) {
        const double rw = std::min(inner.width() * 0.3, h * 2.8);
        l.readout = QRectF(inner.right() - rw, inner.top(), rw, inner.height());
        inner.setRight(l.readout.left() - pad);
    }

    l.track = inner;
    const bool strip = model_.has(opSector);
    const double stripH = strip ? std::max(2.0, l.track.height() * 0.2 + model_.sectors.WidthOffset) : 0.0;
    if (strip) {
        l.track.setBottom(l.track.bottom() - stripH - std::max(1.0, pad * 0.5) - model_.sectors.Offset);
        l.strip =
            QRectF(l.track.left(), l.track.bottom() + std::max(1.0, pad * 0.5), l.track.width(), stripH);
    }
    l.in = l.track.adjusted(1, 1, -1, -1);
    const double segW = std::max(3.0, l.in.height() * 0.45);
    l.segments = std::max(1, int(l.in.width() / segW));
    return l;
}

double THorizontalBar::indicatorTravel() const {
    const Layout l = layout();
    return l.ok ? l.in.width() : 0.0;
}

qint64 THorizontalBar::indicatorStep() const {
    if (bar_.Style != bsLED_Bar) return TAnalogGauge::indicatorStep();
    // One brush per segment, kept with the layers.
    return std::lround(pointerFraction() * litBrushes_.size());
}

void THorizontalBar::paintStatic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    ipaint::panelFrame(p, l.area, face_);
    if (!l.caption.isEmpty()) {
        ipaint::caption(p, l.caption, model_.signal.Name1, fontUnit_, fontUnitColor_, l.inner.height() * 0.55,
                        Qt::AlignLeft | Qt::AlignVCenter);
    }
    p.save();
    p.setPen(QPen(QColor(20, 22, 26), 1.0));
    p.setBrush(bar_.BkColor);
    p.drawRect(l.track);
    p.restore();
}

void THorizontalBar::layersChanged() {
    litBrushes_.clear();
    unlitBrushes_.clear();
    fillMade_ = false;
    const Layout l = layout();
    if (!l.ok || bar_.Style != bsLED_Bar) return;
    const bool strip = model_.has(opSector);
    for (int i = 0; i < l.segments; ++i) {
        const double pm = (i + 0.5) * 1000.0 / l.segments;
        const int sector = model_.sectorIndexForPerMille(int(pm));
        const QColor c = strip && sector ? model_.sectors.color(sector) : bar_.Color;
        litBrushes_.append(QBrush(c));
        unlitBrushes_.append(QBrush(ipaint::mixed(c, bar_.BkColor, 0.8)));
    }
}

double THorizontalBar::indicatorEdge(const Layout& l, double fraction) const {
    if (bar_.Style != bsLED_Bar) return l.in.left() + l.in.width() * fraction;
    return l.in.left() + l.in.width() / l.segments * std::lround(fraction * l.segments);
}

TAnalogGauge::Readout THorizontalBar::readout() const {
    const Layout l = layout();
    if (!l.ok) return {};
    return {l.readout, fontValue_, fontValueColor_, true};
}

QRectF THorizontalBar::indicatorBounds(double fraction) const {
    const Layout l = layout();
    if (!l.ok) return QRectF();
    const double right = bar_.Style == bsLED_Bar ? l.in.right() : indicatorEdge(l, fraction);
    return QRectF(QPointF(l.in.left(), l.in.top()), QPointF(right, l.in.bottom())).adjusted(-2, -2, 2, 2);
}

void THorizontalBar::updateIndicator(double from, double to, bool recoloured) {
    const Layout l = layout();
    if (!l.ok) return;
    // The bar's shading runs top to bottom and the segments keep their
    // colours: only what lies between the two ends changes, unless the bar
    // took a new colour.
    const double a = indicatorEdge(l, from), b = indicatorEdge(l, to);
    const double left = recoloured && bar_.Style != bsLED_Bar ? l.in.left() : std::min(a, b);
    update(QRectF(QPointF(left, l.in.top()), QPointF(std::max(a, b), l.in.bottom()))
               .adjusted(-2, -2, 2, 2)
               .toAlignedRect());
}

void THorizontalBar::paintDynamic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    paintReadout(p, {l.readout, fontValue_, fontValueColor_, true});

    const QRectF& in = l.in;
    const double f = pointerFraction();
    p.setPen(Qt::NoPen);
    if (bar_.Style == bsLED_Bar) {
        const int n = l.segments;
        if (litBrushes_.size() != n) layersChanged();
        const double w = in.width() / n;
        const int lit = int(std::lround(f * n));
        for (int i = 0; i < n; ++i) {
            const QRectF seg(in.left() + i * w + w * 0.12, in.top() + 1, w * 0.76, in.height() - 2);
            if (!needsPaint(seg.adjusted(-1, -1, 1, 1))) continue;
            p.setBrush(i >= lit ? unlitBrushes_[i] : litBrushes_[i]);
            p.drawRect(seg);
        }
    } else if (f > 0) {
        const QRectF fr(in.left(), in.top(), in.width() * f, in.height());
        if (!needsPaint(fr.adjusted(-1, -1, 1, 1))) return;
        const QColor fill = indicatorColor(bar_.Color);
        if (!fillMade_ || fill != fillColour_) {
            // The shading depends on the track's height only, not on the value.
            QLinearGradient g(fr.topLeft(), fr.bottomLeft());
            g.setColorAt(0.0, fill.lighter(150));
            g.setColorAt(0.45, fill);
            g.setColorAt(1.0, fill.darker(150));
            fillBrush_ = QBrush(g);
            fillColour_ = fill;
            fillMade_ = true;
        }
        p.setBrush(fillBrush_);
        p.drawRect(fr);
    }
}

bool THorizontalBar::hasStaticOverlay() const {
    return model_.has(opLimit) || model_.has(opSector);
}

void THorizontalBar::paintStaticOverlay(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    p.save();
    // Limit marks across the track, over the bar.
    if (model_.has(opLimit)) {
        p.setPen(QPen(QColor(230, 20, 20), std::max(1.5, l.in.height() * 0.08)));
        for (double v : {model_.limitLower, model_.limitUpper}) {
            const double x = l.in.left() + l.in.width() * model_.fractionForValue(v);
            p.drawLine(QPointF(x, l.track.top() - l.pad * 0.5), QPointF(x, l.track.bottom() + l.pad * 0.5));
        }
    }
    if (!l.strip.isEmpty()) {
        const QRectF& sr = l.strip;
        p.setPen(Qt::NoPen);
        for (int s = 1; s <= 3; ++s) {
            const double f0 = std::clamp(model_.sectors.from(s) / 1000.0, 0.0, 1.0);
            const double f1 = std::clamp(model_.sectors.to(s) / 1000.0, 0.0, 1.0);
            if (f1 <= f0) continue;
            p.setBrush(model_.sectors.color(s));
            p.drawRect(QRectF(sr.left() + sr.width() * f0, sr.top(), sr.width() * (f1 - f0), sr.height()));
        }
    }
    p.restore();
}
