#include "widgets/THalfRoundMeter.h"

#include "widgets/DialPaint.h"
#include "widgets/InstrumentPaint.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

THalfRoundMeter::THalfRoundMeter(QWidget* parent) : TAnalogGauge(parent) {
    scale_.Steps = 6;
    scale_.SubSteps = 2;
    scale_.ValueFormat = QStringLiteral("0");
}

void THalfRoundMeter::paintGauge(QPainter& p) {
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (area.width() < 10 || area.height() < 10) return;
    // Body: upper half disc plus a strip for the read-out; total height 1.42 R.
    const double R = std::min(area.width() / 2.1, area.height() / 1.5);
    const double bodyW = R * 2.1, bodyH = R * 1.5;
    const QRectF body(area.center().x() - bodyW / 2, area.center().y() - bodyH / 2, bodyW, bodyH);
    const QRectF inner = ipaint::panelFrame(p, body, face_);

    dial::Geometry g;
    g.radius = R * 0.9;
    g.centre = QPointF(inner.center().x(), inner.top() + R * 0.05 + g.radius * 1.08);
    g.startDeg = 180;
    g.sweepDeg = -180;
    const double r = g.radius;
    dial::scale(p, g, model_, scale_);

    const QPointF c = g.centre;
    if (model_.has(opName1)) {
        ipaint::caption(p, QRectF(c.x() - r * 0.4, c.y() - r * 0.5, r * 0.8, r * 0.2), model_.signal.Name1,
                        fontUnit_, fontUnitColor_, r * 0.19);
    }
    const double boxH = std::min(r * 0.28, inner.bottom() - c.y() - r * 0.06);
    const QRectF box(c.x() - r * 0.5, c.y() + r * 0.12, r * 1.0, std::max(4.0, boxH));
    ipaint::readout(p, box, valueText(), font_, fontColor_, alarm());

    dial::pointer(p, g, pointerFraction(), r * 0.93, r * 0.12, scale_);
}
