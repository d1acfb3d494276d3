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

void TTankGauge::setTankColor(const QColor& c) {
    tank_.Color = c;
    update();
}

void TTankGauge::paintGauge(QPainter& p) {
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (area.width() < 12 || area.height() < 16) return;
    const QRectF inner = ipaint::panelFrame(p, area, face_);
    const double u = std::min(inner.width(), inner.height());
    const double pad = u * 0.08;

    // Read-out below the tank, caption above it.
    const double boxH = std::clamp(inner.height() * 0.18, 8.0, u * 0.3);
    QRectF box(inner.left() + pad, inner.bottom() - pad * 0.7 - boxH, inner.width() - 2 * pad, boxH);
    ipaint::readout(p, box, valueText(), fontValue_, fontValueColor_, alarm());
    double top = inner.top() + pad * 0.6;
    if (model_.has(opName1) && !model_.signal.Name1.isEmpty()) {
        const QRectF cap(inner.left() + pad, top, inner.width() - 2 * pad, boxH * 0.8);
        ipaint::caption(p, cap, model_.signal.Name1, fontUnit_, fontUnitColor_, boxH * 0.7);
        top = cap.bottom() + pad * 0.3;
    }
    const double neckH = u * 0.07;
    QRectF tank(inner.left() + pad * 1.4, top + neckH, inner.width() - pad * 2.8,
                box.top() - pad * 0.7 - (top + neckH));
    if (tank.height() < 6) return;

    p.save();
    const double pw = std::max(1.0, double(tank_.PenWidth) * u / 120.0);
    // Filler neck.
    const double neckW = tank.width() * std::clamp(tank_.CraterWidth, 5, 90) / 100.0;
    const QRectF neck(tank.center().x() - neckW / 2, tank.top() - neckH, neckW, neckH + pw);
    p.setPen(QPen(tank_.PenColor, pw));
    p.setBrush(tank_.BkColor.darker(110));
    p.drawRect(neck);

    const double rad = std::min(tank.width(), tank.height()) * 0.08;
    QPainterPath body;
    body.addRoundedRect(tank, rad, rad);
    p.setBrush(tank_.BkColor);
    p.drawPath(body);

    const double f = pointerFraction();
    const QColor fill = indicatorColor(tank_.Color);
    if (f > 0) {
        const QRectF inside = tank.adjusted(pw / 2, pw / 2, -pw / 2, -pw / 2);
        const QRectF lvl(inside.left(), inside.bottom() - inside.height() * f, inside.width(),
                         inside.height() * f);
        QLinearGradient g(lvl.topLeft(), lvl.topRight());
        g.setColorAt(0, fill.darker(125));
        g.setColorAt(0.35, fill.lighter(135));
        g.setColorAt(1, fill.darker(140));
        p.save();
        p.setClipPath(body);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(lvl);
        p.setPen(QPen(fill.lighter(170), std::max(1.0, pw * 0.8)));
        p.drawLine(lvl.topLeft(), lvl.topRight());
        p.restore();
    }
    // Quarter marks on the wall.
    p.setPen(QPen(pph_, std::max(1.0, pw * 0.7)));
    for (int i = 1; i < 4; ++i) {
        const double y = tank.bottom() - tank.height() * i / 4.0;
        const double len = tank.width() * (i == 2 ? 0.2 : 0.12);
        p.drawLine(QPointF(tank.left(), y), QPointF(tank.left() + len, y));
        p.drawLine(QPointF(tank.right() - len, y), QPointF(tank.right(), y));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(tank_.PenColor, pw));
    p.drawPath(body);
    p.restore();
}
