#include "widgets/THalfRoundMeter.h"

#include "widgets/InstrumentPaint.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

THalfRoundMeter::THalfRoundMeter(QWidget* parent) : TAnalogGauge(parent) {
    scale_.Steps = 6;
    scale_.SubSteps = 2;
    scale_.ValueFormat = QStringLiteral("0");
}

THalfRoundMeter::Layout THalfRoundMeter::layout() const {
    Layout l;
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (area.width() < 10 || area.height() < 10) return l;
    l.ok = true;
    // Body: the upper half of the dial plus a strip for the read-out.
    const double r = std::min(area.width() / 2.3, area.height() / 1.66);
    const double bodyW = r * 2.3, bodyH = r * 1.66;
    l.body = QRectF(area.center().x() - bodyW / 2, area.center().y() - bodyH / 2, bodyW, bodyH);
    l.g.radius = r;
    l.g.centre = QPointF(l.body.center().x(), l.body.top() + r * 1.17);
    l.g.startDeg = 180;
    l.g.sweepDeg = -180;
    return l;
}

double THalfRoundMeter::indicatorTravel() const {
    const Layout l = layout();
    return l.ok ? l.g.radius * 0.93 * std::fabs(l.g.sweepDeg) * M_PI / 180.0 : 0.0;
}

void THalfRoundMeter::paintStatic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    ipaint::panelFrame(p, l.body, ipaint::legibleFace(face_, scale_.FontColor));
    dial::scale(p, l.g, model_, scale_);
    const QPointF c = l.g.centre;
    const double r = l.g.radius;
    if (model_.has(opName1)) {
        ipaint::caption(p, QRectF(c.x() - r * 0.35, c.y() - r * 0.42, r * 0.7, r * 0.2), model_.signal.Name1,
                        fontUnit_, fontUnitColor_, r * 0.19);
    }
}

TAnalogGauge::Readout THalfRoundMeter::readout() const {
    const Layout l = layout();
    if (!l.ok) return {};
    const QPointF c = l.g.centre;
    const double r = l.g.radius;
    return {QRectF(c.x() - r * 0.45, c.y() + r * 0.14, r * 0.9, r * 0.28), font_, fontColor_, true};
}

QRectF THalfRoundMeter::indicatorBounds(double fraction) const {
    const Layout l = layout();
    return l.ok ? dial::pointerBounds(l.g, fraction, l.g.radius * 0.93, l.g.radius * 0.12) : QRectF();
}

void THalfRoundMeter::paintDynamic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    paintReadout(p, readout());
    pointer_.setup(l.g, l.g.radius * 0.93, l.g.radius * 0.12, scale_.PointerColor);
    const double f = pointerFraction();
    if (!needsPaint(pointer_.bounds(f))) return;
    if (const int dpr = wholeRatio(p)) {
        QPoint at;
        QRect area;
        const QImage& img = pointer_.image(f, dpr, &at, &area);
        copyImage(p, at, img, area);
    } else {
        pointer_.paint(p, f);
    }
}
