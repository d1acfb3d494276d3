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

// The needle's outline at a shift (the shadow is the same outline moved).
static void needleOutline(QPointF (&poly)[5], const Geometry& g, double deg, double length, double tail,
                          QPointF shift) {
    const double half = g.radius * 0.035;
    poly[0] = pointAt(g, length, deg) + shift;
    poly[1] = pointAt(g, half, deg + 90) + shift;
    poly[2] = pointAt(g, tail, deg + 180 + 5) + shift;
    poly[3] = pointAt(g, tail, deg + 180 - 5) + shift;
    poly[4] = pointAt(g, half, deg - 90) + shift;
}

static QPointF shadowShift(const Geometry& g) {
    return QPointF(g.radius * 0.02, g.radius * 0.03);
}

static double hubRadius(const Geometry& g) {
    return g.radius * 0.09;
}

static QRadialGradient hubGradient(const Geometry& g) {
    const double hub = hubRadius(g);
    QRadialGradient hg(g.centre - QPointF(hub * 0.4, hub * 0.4), hub * 1.6);
    hg.setColorAt(0, QColor(240, 240, 245));
    hg.setColorAt(0.5, QColor(120, 124, 132));
    hg.setColorAt(1, QColor(30, 32, 38));
    return hg;
}

void pointer(QPainter& p, const Geometry& g, double fraction, double length, double tail,
             const ScaleSettings& s) {
    const double R = g.radius;
    const double deg = angleFor(g, fraction);
    QPointF poly[5];
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    needleOutline(poly, g, deg, length, tail, shadowShift(g));
    p.drawPolygon(poly, 5);
    p.setBrush(s.PointerColor);
    p.setPen(QPen(s.PointerColor.darker(140), std::max(0.8, R * 0.006)));
    needleOutline(poly, g, deg, length, tail, QPointF(0, 0));
    p.drawPolygon(poly, 5);

    const double hub = hubRadius(g);
    p.setBrush(hubGradient(g));
    p.setPen(QPen(QColor(20, 20, 25), std::max(0.8, R * 0.008)));
    p.drawEllipse(g.centre, hub, hub);
    p.restore();
}

void Pointer::setup(const Geometry& g, double length, double tail, const QColor& colour) {
    if (made_ && g.centre == g_.centre && g.radius == g_.radius && g.startDeg == g_.startDeg &&
        g.sweepDeg == g_.sweepDeg && length == length_ && tail == tail_ && colour == colour_)
        return;
    made_ = true;
    g_ = g;
    length_ = length;
    tail_ = tail;
    colour_ = colour;
    shadow_ = QBrush(QColor(0, 0, 0, 55));
    needle_ = QBrush(colour);
    needlePen_ = QPen(colour.darker(140), std::max(0.8, g.radius * 0.006));
    hub_ = QBrush(hubGradient(g));
    hubPen_ = QPen(QColor(20, 20, 25), std::max(0.8, g.radius * 0.008));
    imageFraction_ = -1;
    image_ = QImage();
    hubImage_ = QImage();
}

const QImage& Pointer::image(double fraction, int dpr, QPoint* at, QRect* area) {
    if (fraction != imageFraction_ || image_.devicePixelRatio() != dpr) {
        const QRect needle = bounds(fraction).toAlignedRect();
        if (image_.isNull() || image_.devicePixelRatio() != dpr || !imageRect_.contains(needle)) {
            // One canvas for every value: the needle's box changes its size
            // as it turns, and a new image would need a new paint engine.
            QRectF all = needle;
            for (int k = 0; k <= 64; ++k)
                all |= bounds(k / 64.0);
            imageRect_ = all.adjusted(-2, -2, 2, 2).toAlignedRect();
            image_ = QImage(imageRect_.size() * dpr, QImage::Format_ARGB32_Premultiplied);
            image_.setDevicePixelRatio(dpr);
        }
        imageArea_ = needle;
        imageFraction_ = fraction;
        QPainter p(&image_);
        p.translate(-imageRect_.topLeft());
        // Only the needle's box is ever copied out: only it is cleared.
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(needle, Qt::transparent);
        p.setClipRect(needle);
        p.setRenderHint(QPainter::Antialiasing);
        const double deg = angleFor(g_, fraction);
        QPointF poly[5];
        // Into empty pixels Source puts exactly what SourceOver would.
        p.setPen(Qt::NoPen);
        p.setBrush(shadow_);
        needleOutline(poly, g_, deg, length_, tail_, shadowShift(g_));
        p.drawPolygon(poly, 5);
        // Source blends an opaque colour by its coverage, as SourceOver does.
        const bool opaque = colour_.alpha() == 255 && needlePen_.color().alpha() == 255;
        p.setCompositionMode(opaque ? QPainter::CompositionMode_Source
                                    : QPainter::CompositionMode_SourceOver);
        p.setBrush(needle_);
        p.setPen(needlePen_);
        needleOutline(poly, g_, deg, length_, tail_, QPointF(0, 0));
        p.drawPolygon(poly, 5);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (hubImage_.isNull() || hubImage_.devicePixelRatio() != dpr) {
            const double hub = hubRadius(g_);
            const double reach = hub + hubPen_.widthF() / 2 + 2;
            const QRect box =
                QRectF(g_.centre - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)).toAlignedRect();
            hubAt_ = box.topLeft();
            hubImage_ = QImage(box.size() * dpr, QImage::Format_ARGB32_Premultiplied);
            hubImage_.setDevicePixelRatio(dpr);
            hubImage_.fill(Qt::transparent);
            QPainter hp(&hubImage_);
            hp.setRenderHint(QPainter::Antialiasing);
            hp.translate(-hubAt_);
            hp.setBrush(hub_);
            hp.setPen(hubPen_);
            hp.drawEllipse(g_.centre, hub, hub);
        }
        p.drawImage(hubAt_, hubImage_);
    }
    *at = imageRect_.topLeft();
    *area = imageArea_;
    return image_;
}

void Pointer::paint(QPainter& p, double fraction) const {
    const double deg = angleFor(g_, fraction);
    QPointF poly[5];
    p.setPen(Qt::NoPen);
    p.setBrush(shadow_);
    needleOutline(poly, g_, deg, length_, tail_, shadowShift(g_));
    p.drawPolygon(poly, 5);
    p.setBrush(needle_);
    p.setPen(needlePen_);
    needleOutline(poly, g_, deg, length_, tail_, QPointF(0, 0));
    p.drawPolygon(poly, 5);
    const double hub = hubRadius(g_);
    p.setBrush(hub_);
    p.setPen(hubPen_);
    p.drawEllipse(g_.centre, hub, hub);
}

QRectF pointerBounds(const Geometry& g, double fraction, double length, double tail) {
    // The outline's points, each at most a hair from where the painter puts
    // them: the margin below takes that up.
    const double a = qDegreesToRadians(angleFor(g, fraction));
    const double c = std::cos(a), s = std::sin(a);
    const double half = g.radius * 0.035;
    const double c5 = std::cos(qDegreesToRadians(5.0)), s5 = std::sin(qDegreesToRadians(5.0));
    const QPointF reach[5] = {{length * c, -length * s},
                              {-half * s, -half * c},
                              {-tail * (c * c5 - s * s5), tail * (s * c5 + c * s5)},
                              {-tail * (c * c5 + s * s5), tail * (s * c5 - c * s5)},
                              {half * s, half * c}};
    const QPointF shadow = shadowShift(g);
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    for (const QPointF& pt : reach) {
        x0 = std::min({x0, pt.x(), pt.x() + shadow.x()});
        x1 = std::max({x1, pt.x(), pt.x() + shadow.x()});
        y0 = std::min({y0, pt.y(), pt.y() + shadow.y()});
        y1 = std::max({y1, pt.y(), pt.y() + shadow.y()});
    }
    const double hub = hubRadius(g) + std::max(0.8, g.radius * 0.008);
    x0 = std::min(x0, -hub);
    x1 = std::max(x1, hub);
    y0 = std::min(y0, -hub);
    y1 = std::max(y1, hub);
    // Half the needle's outline pen and the edge pixels antialiasing touches.
    const double m = std::max(0.8, g.radius * 0.006) / 2 + 2;
    return QRectF(g.centre + QPointF(x0 - m, y0 - m), g.centre + QPointF(x1 + m, y1 + m));
}

} // namespace dial
