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
    // Body: the upper half of the dial plus a strip for the read-out.
    const double r = std::min(area.width() / 2.3, area.height() / 1.66);
    const double bodyW = r * 2.3, bodyH = r * 1.66;
    const QRectF body(area.center().x() - bodyW / 2, area.center().y() - bodyH / 2, bodyW, bodyH);
    ipaint::panelFrame(p, body, ipaint::legibleFace(face_, scale_.FontColor));

    dial::Geometry g;
    g.radius = r;
    g.centre = QPointF(body.center().x(), body.top() + r * 1.17);
    g.startDeg = 180;
    g.sweepDeg = -180;
    dial::scale(p, g, model_, scale_);

    const QPointF c = g.centre;
    if (model_.has(opName1)) {
        ipaint::caption(p, QRectF(c.x() - r * 0.35, c.y() - r * 0.42, r * 0.7, r * 0.2), model_.signal.Name1,
                        fontUnit_, fontUnitColor_, r * 0.19);
    }
    const QRectF box(c.x() - r * 0.45, c.y() + r * 0.14, r * 0.9, r * 0.28);
    ipaint::readout(p, box, valueText(), font_, fontColor_, alarm());

    dial::pointer(p, g, pointerFraction(), r * 0.93, r * 0.12, scale_);
}
