#include "widgets/TRoundMeter.h"

#include "widgets/DialPaint.h"
#include "widgets/InstrumentPaint.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

TRoundMeter::TRoundMeter(QWidget* parent) : TAnalogGauge(parent) {
    scale_.Steps = 8;
    scale_.SubSteps = 2;
}

void TRoundMeter::paintGauge(QPainter& p) {
    const QRectF area = QRectF(rect());
    const double side = std::min(area.width(), area.height());
    if (side < 8) return;
    const QRectF outer(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    const double ring = side * 0.045;
    ipaint::roundBezel(p, outer.adjusted(1, 1, -1, -1), ring);

    const QRectF faceRect = outer.adjusted(ring + 1, ring + 1, -ring - 1, -ring - 1);
    const QColor face = ipaint::legibleFace(face_, scale_.FontColor);
    QRadialGradient fg(faceRect.center(), faceRect.width() * 0.6);
    fg.setColorAt(0.0, face.lighter(104));
    fg.setColorAt(0.85, face);
    fg.setColorAt(1.0, face.darker(118));
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    p.drawEllipse(faceRect);

    dial::Geometry g;
    g.centre = faceRect.center();
    g.radius = faceRect.width() / 2 * 0.86;
    g.startDeg = 225;
    g.sweepDeg = -270;
    const double R = g.radius;
    dial::scale(p, g, model_, scale_);

    const QPointF c = g.centre;
    if (model_.has(opName1)) {
        ipaint::caption(p, QRectF(c.x() - R * 0.4, c.y() - R * 0.42, R * 0.8, R * 0.19), model_.signal.Name1,
                        fontUnit_, fontUnitColor_, R * 0.17);
    }
    const QRectF box(c.x() - R * 0.4, c.y() + R * 0.46, R * 0.8, R * 0.28);
    ipaint::readout(p, box, valueText(), font_, fontColor_, alarm());

    dial::pointer(p, g, pointerFraction(), R * 0.93, R * 0.2, scale_);
}
