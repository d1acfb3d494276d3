#include "widgets/DialPaint.h"

#include "widgets/GaugeModel.h"
#include "widgets/InstrumentPaint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>

namespace dial {

double angleFor(const Geometry& g, double fraction) {
    return g.startDeg + g.sweepDeg * fraction;
}

QPointF pointAt(const Geometry& g, double radius, double deg) {
    const double a = qDegreesToRadians(deg);
    return g.centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

static void arcBand(QPainter& p, const Geometry& g, double rOuter, double width, double f0, double f1,
                    const QColor& c) {
    if (f1 <= f0) return;
    const double rMid = rOuter - width / 2;
    QRectF box(g.centre.x() - rMid, g.centre.y() - rMid, 2 * rMid, 2 * rMid);
    QPen pen(c, width, Qt::SolidLine, Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double a0 = angleFor(g, f0);
    const double span = g.sweepDeg * (f1 - f0);
    p.drawArc(box, int(std::lround(a0 * 16)), int(std::lround(span * 16)));
}

void scale(QPainter& p, const Geometry& g, const GaugeModel& m, const ScaleSettings& s) {
    const double R = g.radius;
    p.save();

    if (m.has(opSector)) {
        const double inset = m.sectors.Offset;
        const double w = R * 0.085 + m.sectors.WidthOffset;
        for (int i = 1; i <= 3; ++i) {
            const double f0 = std::clamp(m.sectors.from(i) / 1000.0, 0.0, 1.0);
            const double f1 = std::clamp(m.sectors.to(i) / 1000.0, 0.0, 1.0);
            arcBand(p, g, R * 0.985 - inset, w, f0, f1, m.sectors.color(i));
        }
    }

    const int steps = std::max(1, s.Steps);
    const int sub = std::max(1, s.SubSteps);
    const double lineW = std::max(1.0, R * 0.018);
    if (s.DrawLine) {
        QRectF box(g.centre.x() - R, g.centre.y() - R, 2 * R, 2 * R);
        p.setPen(QPen(s.Color, lineW * 0.8, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(box, int(std::lround(g.startDeg * 16)), int(std::lround(g.sweepDeg * 16)));
    }
    for (int i = 0; i <= steps * sub; ++i) {
        const bool major = i % sub == 0;
        const double deg = angleFor(g, double(i) / (steps * sub));
        const double len = major ? R * 0.15 : R * 0.075;
        p.setPen(QPen(s.Color, major ? lineW * 1.6 : lineW, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(pointAt(g, R, deg), pointAt(g, R - len, deg));
    }

    // Scale numbers: one size for all, so the biggest label fits its slot.
    const double span = m.signal.ValueTo - m.signal.ValueFrom;
    QString widest;
    QStringList labels;
    for (int i = 0; i <= steps; ++i) {
        labels << formatValue(m.signal.ValueFrom + span * i / steps, s.ValueFormat);
        if (labels.last().size() > widest.size()) widest = labels.last();
    }
    const double slot = std::min(R * 0.34, 2 * M_PI * R * 0.62 * std::fabs(g.sweepDeg) / 360.0 / steps * 0.9);
    QFont nf = ipaint::fitted(s.Font, widest, QRectF(0, 0, slot, R * 0.2), R * 0.16);
    p.setFont(nf);
    p.setPen(s.FontColor);
    QFontMetricsF fm(nf);
    for (int i = 0; i <= steps; ++i) {
        const double deg = angleFor(g, double(i) / steps);
        const double a = qDegreesToRadians(deg);
        const double w = fm.horizontalAdvance(labels[i]);
        const double h = fm.ascent() * 0.9;
        // Keep each label just inside the major ticks whatever its angle.
        const double inset = std::fabs(std::cos(a)) * w / 2 + std::fabs(std::sin(a)) * h / 2 + R * 0.04;
        const QPointF c = pointAt(g, R * 0.85 - inset, deg);
        p.drawText(QRectF(c.x() - w / 2 - 2, c.y() - fm.height() / 2, w + 4, fm.height()), Qt::AlignCenter,
                   labels[i]);
    }

    if (m.has(opLimit)) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(215, 20, 20));
        for (double v : {m.limitLower, m.limitUpper}) {
            const double deg = angleFor(g, m.fractionForValue(v));
            QPolygonF tri;
            tri << pointAt(g, R * 1.0, deg) << pointAt(g, R * 1.1, deg + 4.5)
                << pointAt(g, R * 1.1, deg - 4.5);
            p.drawPolygon(tri);
        }
    }
    p.restore();
}

void pointer(QPainter& p, const Geometry& g, double fraction, double length, double tail,
             const ScaleSettings& s) {
    const double R = g.radius;
    const double deg = angleFor(g, fraction);
    const double half = R * 0.035;
    auto needle = [&](QPointF shift) {
        QPolygonF poly;
        poly << pointAt(g, length, deg) + shift << pointAt(g, half, deg + 90) + shift
             << pointAt(g, tail, deg + 180 + 5) + shift << pointAt(g, tail, deg + 180 - 5) + shift
             << pointAt(g, half, deg - 90) + shift;
        return poly;
    };
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawPolygon(needle(QPointF(R * 0.02, R * 0.03)));
    p.setBrush(s.PointerColor);
    p.setPen(QPen(s.PointerColor.darker(140), std::max(0.8, R * 0.006)));
    p.drawPolygon(needle(QPointF(0, 0)));

    const double hub = R * 0.09;
    QRadialGradient hg(g.centre - QPointF(hub * 0.4, hub * 0.4), hub * 1.6);
    hg.setColorAt(0, QColor(240, 240, 245));
    hg.setColorAt(0.5, QColor(120, 124, 132));
    hg.setColorAt(1, QColor(30, 32, 38));
    p.setBrush(hg);
    p.setPen(QPen(QColor(20, 20, 25), std::max(0.8, R * 0.008)));
    p.drawEllipse(g.centre, hub, hub);
    p.restore();
}

} // namespace dial
