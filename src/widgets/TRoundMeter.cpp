#include "widgets/TRoundMeter.h"

#include "widgets/InstrumentPaint.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

TRoundMeter::TRoundMeter(QWidget* parent) : TAnalogGauge(parent) {
    scale_.Steps = 8;
    scale_.SubSteps = 2;
}

TRoundMeter::Layout TRoundMeter::layout() const {
    Layout l;
    const QRectF area = QRectF(rect());
    const double side = std::min(area.width(), area.height());
    if (side < 8) return l;
    l.ok = true;
    l.outer = QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    l.ring = side * 0.045;
    l.face = l.outer.adjusted(l.ring + 1, l.ring + 1, -l.ring - 1, -l.ring - 1);
    l.g.centre = l.face.center();
    l.g.radius = l.face.width() / 2 * 0.86;
    l.g.startDeg = 225;
    l.g.sweepDeg = -270;
    return l;
}

double TRoundMeter::indicatorTravel() const {
    const Layout l = layout();
    // Arc run by the needle tip.
    return l.ok ? l.g.radius * 0.93 * std::fabs(l.g.sweepDeg) * M_PI / 180.0 : 0.0;
}

void TRoundMeter::paintStatic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    ipaint::roundBezel(p, l.outer.adjusted(1, 1, -1, -1), l.ring);

    const QColor face = ipaint::legibleFace(face_, scale_.FontColor);
    QRadialGradient fg(l.face.center(), l.face.width() * 0.6);
    fg.setColorAt(0.0, face.lighter(104));
    fg.setColorAt(0.85, face);
    fg.setColorAt(1.0, face.darker(118));
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    p.drawEllipse(l.face);

    dial::scale(p, l.g, model_, scale_);

    const QPointF c = l.g.centre;
    const double R = l.g.radius;
    if (model_.has(opName1)) {
        ipaint::caption(p, QRectF(c.x() - R * 0.4, c.y() - R * 0.42, R * 0.8, R * 0.19), model_.signal.Name1,
                        fontUnit_, fontUnitColor_, R * 0.17);
    }
    // The unit is printed on the dial, as on a car's tachometer, so that the
    // read-out keeps its digits large.
    if (model_.has(opUnit) && !model_.signal.ValueUnit.isEmpty()) {
        ipaint::caption(p, QRectF(c.x() - R * 0.45, c.y() + R * 0.22, R * 0.9, R * 0.2),
                        model_.signal.ValueUnit, fontUnit_, fontUnitColor_, R * 0.13);
    }
}

TAnalogGauge::Readout TRoundMeter::readout() const {
    const Layout l = layout();
    if (!l.ok) return {};
    const QPointF c = l.g.centre;
    const double R = l.g.radius;
    // The unit is on the dial: the read-out shows the number alone.
    return {QRectF(c.x() - R * 0.4, c.y() + R * 0.46, R * 0.8, R * 0.28), font_, fontColor_, false};
}

dial::Pointer& TRoundMeter::pointer(const Layout& l) {
    pointer_.setup(l.g, l.g.radius * 0.93, l.g.radius * 0.2, scale_.PointerColor);
    return pointer_;
}

QRectF TRoundMeter::indicatorBounds(double fraction) const {
    const Layout l = layout();
    if (!l.ok) return QRectF();
    return dial::pointerBounds(l.g, fraction, l.g.radius * 0.93, l.g.radius * 0.2);
}

void TRoundMeter::paintDynamic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    paintReadout(p, readout());
    dial::Pointer& needle = pointer(l);
    const double f = pointerFraction();
    if (!needsPaint(needle.bounds(f))) return;
    if (const int dpr = wholeRatio(p)) {
        QPoint at;
        QRect area;
        const QImage& img = needle.image(f, dpr, &at, &area);
        copyImage(p, at, img, area);
    } else {
        needle.paint(p, f);
    }
}
