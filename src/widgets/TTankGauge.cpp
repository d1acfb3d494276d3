#include "widgets/TTankGauge.h"

#include "widgets/InstrumentPaint.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

TTankGauge::TTankGauge(QWidget* parent) : TAnalogGauge(parent) {
    model_.signal.ValueFormat = QStringLiteral("0");
    model_.options = opUnit;
}

void TTankGauge::writeStaticKey(StaticKey& k) const {
    k.append(tank_.Style);
    addColour(k, tank_.Color);
    addColour(k, tank_.BkColor);
    addColour(k, tank_.PenColor);
    k.append(tank_.PenWidth);
    k.append(tank_.CraterWidth);
    addColour(k, pph_);
}

TTankGauge::Layout TTankGauge::layout() const {
    Layout l;
    l.area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (l.area.width() < 12 || l.area.height() < 16) return l;
    l.ok = true;
    // Same inner rectangle the frame painter returns.
    const double bw = std::clamp(std::min(l.area.width(), l.area.height()) * 0.04, 1.5, 5.0);
    const QRectF inner = l.area.adjusted(bw, bw, -bw, -bw);
    l.u = std::min(inner.width(), inner.height());
    l.pad = l.u * 0.08;
    const double pad = l.pad;

    // Read-out below the tank, caption above it.
    const double boxH = std::clamp(inner.height() * 0.18, 8.0, l.u * 0.3);
    l.readout = QRectF(inner.left() + pad, inner.bottom() - pad * 0.7 - boxH, inner.width() - 2 * pad, boxH);
    double top = inner.top() + pad * 0.6;
    if (model_.has(opName1) && !model_.signal.Name1.isEmpty()) {
        l.caption = QRectF(inner.left() + pad, top, inner.width() - 2 * pad, boxH * 0.8);
        top = l.caption.bottom() + pad * 0.3;
    }
    l.neckH = l.u * 0.07;
    l.tank = QRectF(inner.left() + pad * 1.4, top + l.neckH, inner.width() - pad * 2.8,
                    l.readout.top() - pad * 0.7 - (top + l.neckH));
    l.tankOk = l.tank.height() >= 6;
    l.pw = std::max(1.0, double(tank_.PenWidth) * l.u / 120.0);
    return l;
}

double TTankGauge::indicatorTravel() const {
    const Layout l = layout();
    return l.tankOk ? l.tank.height() : 0.0;
}

static QPainterPath tankBody(const QRectF& tank) {
    const double rad = std::min(tank.width(), tank.height()) * 0.08;
    QPainterPath body;
    body.addRoundedRect(tank, rad, rad);
    return body;
}

void TTankGauge::paintStatic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    ipaint::panelFrame(p, l.area, face_);
    if (!l.caption.isEmpty())
        ipaint::caption(p, l.caption, model_.signal.Name1, fontUnit_, fontUnitColor_,
                        l.readout.height() * 0.7);
    if (!l.tankOk) return;

    p.save();
    const QRectF& tank = l.tank;
    // Filler neck.
    const double neckW = tank.width() * std::clamp(tank_.CraterWidth, 5, 90) / 100.0;
    const QRectF neck(tank.center().x() - neckW / 2, tank.top() - l.neckH, neckW, l.neckH + l.pw);
    p.setPen(QPen(tank_.PenColor, l.pw));
    p.setBrush(tank_.BkColor.darker(110));
    p.drawRect(neck);
    p.setBrush(tank_.BkColor);
    p.drawPath(tankBody(tank));
    p.restore();
}

void TTankGauge::layersChanged() {
    const Layout l = layout();
    body_ = l.tankOk ? tankBody(l.tank) : QPainterPath();
    fillMade_ = false;
}

double TTankGauge::levelAt(const Layout& l, double fraction) const {
    const QRectF inside = l.tank.adjusted(l.pw / 2, l.pw / 2, -l.pw / 2, -l.pw / 2);
    return inside.bottom() - inside.height() * fraction;
}

QRectF TTankGauge::levelBounds(const Layout& l, double top, double bottom) const {
    // The surface line's half width above the top, and antialiased edges.
    const double m = std::max(1.0, l.pw * 0.8) / 2 + 2;
    return QRectF(QPointF(l.tank.left(), top), QPointF(l.tank.right(), bottom)).adjusted(-m, -m, m, m);
}

TAnalogGauge::Readout TTankGauge::readout() const {
    const Layout l = layout();
    if (!l.ok) return {};
    return {l.readout, fontValue_, fontValueColor_, true};
}

QRectF TTankGauge::indicatorBounds(double fraction) const {
    const Layout l = layout();
    if (!l.tankOk) return QRectF();
    return levelBounds(l, levelAt(l, fraction), l.tank.bottom());
}

void TTankGauge::updateIndicator(double from, double to, bool recoloured) {
    const Layout l = layout();
    if (!l.tankOk) return;
    if (recoloured) {
        TAnalogGauge::updateIndicator(from, to, recoloured);
        return;
    }
    // The shading runs across the tank: only the stretch between the two
    // surfaces changes.
    const double a = levelAt(l, from), b = levelAt(l, to);
    update(levelBounds(l, std::min(a, b), std::max(a, b)).toAlignedRect());
}

void TTankGauge::paintDynamic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    paintReadout(p, {l.readout, fontValue_, fontValueColor_, true});
    if (!l.tankOk) return;

    const double f = pointerFraction();
    if (f <= 0) return;
    const double pw = l.pw;
    const QRectF inside = l.tank.adjusted(pw / 2, pw / 2, -pw / 2, -pw / 2);
    const QRectF lvl(inside.left(), inside.bottom() - inside.height() * f, inside.width(),
                     inside.height() * f);
    if (!needsPaint(levelBounds(l, lvl.top(), l.tank.bottom()))) return;
    const QColor fill = indicatorColor(tank_.Color);
    if (!fillMade_ || fill != fill_) {
        // The shading runs across the tank only: the same for every level.
        QLinearGradient g(lvl.topLeft(), lvl.topRight());
        g.setColorAt(0, fill.darker(125));
        g.setColorAt(0.35, fill.lighter(135));
        g.setColorAt(1, fill.darker(140));
        fillBrush_ = QBrush(g);
        surface_ = QPen(fill.lighter(170), std::max(1.0, pw * 0.8));
        fill_ = fill;
        fillMade_ = true;
    }
    // The outline's rounded corners are all the level must be clipped to;
    // a clip path costs more than the level's fill, so a paint that stays
    // clear of their rows does without (the level lies inside the straight
    // walls). The level's fill ends above the bottom wall: the read-out's
    // repaint just below it needs no clip either.
    const double rad = std::min(l.tank.width(), l.tank.height()) * 0.08 + 1;
    const bool corners = needsPaint(QRectF(l.tank.left(), l.tank.top() - 1, l.tank.width(), rad + 1)) ||
                         needsPaint(QRectF(l.tank.left(), inside.bottom() - rad, l.tank.width(), rad));
    // Pen and brush are set by whoever draws next; only the clip is undone.
    if (corners) p.setClipPath(body_);
    p.setPen(Qt::NoPen);
    p.setBrush(fillBrush_);
    p.drawRect(lvl);
    // The surface line (square caps) filled as the rectangle it covers: a
    // rectangle is rasterised directly, a wide pen's line is stroked first.
    const double sw = surface_.widthF();
    p.setBrush(surface_.color());
    p.drawRect(QRectF(lvl.left() - sw / 2, lvl.top() - sw / 2, lvl.width() + sw, sw));
    if (corners) p.setClipping(false);
}

void TTankGauge::paintStaticOverlay(QPainter& p) {
    const Layout l = layout();
    if (!l.tankOk) return;
    const QRectF& tank = l.tank;
    p.save();
    // Quarter marks on the wall, over the level.
    p.setPen(QPen(pph_, std::max(1.0, l.pw * 0.7)));
    for (int i = 1; i < 4; ++i) {
        const double y = tank.bottom() - tank.height() * i / 4.0;
        const double len = tank.width() * (i == 2 ? 0.2 : 0.12);
        p.drawLine(QPointF(tank.left(), y), QPointF(tank.left() + len, y));
        p.drawLine(QPointF(tank.right() - len, y), QPointF(tank.right(), y));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(tank_.PenColor, l.pw));
    p.drawPath(tankBody(tank));
    p.restore();
}
