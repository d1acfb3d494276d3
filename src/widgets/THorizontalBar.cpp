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
    bar_.Style = s;
    update();
}

void THorizontalBar::setBarColor(const QColor& c) {
    bar_.Color = c;
    update();
}

void THorizontalBar::setBarBkColor(const QColor& c) {
    bar_.BkColor = c;
    update();
}

void THorizontalBar::paintGauge(QPainter& p) {
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (area.width() < 8 || area.height() < 6) return;
    QRectF inner = ipaint::panelFrame(p, area, face_);
    const double h = inner.height();
    const double pad = std::max(1.5, h * 0.1);
    inner.adjust(pad, pad, -pad, -pad);

    // Caption on the left, value read-out on the right, when there is room.
    if (model_.has(opName1) && !model_.signal.Name1.isEmpty() && inner.width() > h * 5) {
        const double cw = std::min(inner.width() * 0.2, h * 2.6);
        ipaint::caption(p, QRectF(inner.left(), inner.top(), cw, inner.height()), model_.signal.Name1,
                        fontUnit_, fontUnitColor_, h * 0.55, Qt::AlignLeft | Qt::AlignVCenter);
        inner.setLeft(inner.left() + cw + pad);
    }
    if (inner.width() > h * 3.2) {
        const double rw = std::min(inner.width() * 0.3, h * 2.8);
        const QRectF box(inner.right() - rw, inner.top(), rw, inner.height());
        ipaint::readout(p, box, valueText(), fontValue_, fontValueColor_, alarm());
        inner.setRight(box.left() - pad);
    }

    QRectF track = inner;
    const bool strip = model_.has(opSector);
    const double stripH = strip ? std::max(2.0, track.height() * 0.2 + model_.sectors.WidthOffset) : 0.0;
    if (strip) track.setBottom(track.bottom() - stripH - std::max(1.0, pad * 0.5) - model_.sectors.Offset);

    p.save();
    p.setPen(QPen(QColor(20, 22, 26), 1.0));
    p.setBrush(bar_.BkColor);
    p.drawRect(track);
    const QRectF in = track.adjusted(1, 1, -1, -1);
    const double f = pointerFraction();
    const QColor fill = indicatorColor(bar_.Color);
    p.setPen(Qt::NoPen);
    if (bar_.Style == bsLED_Bar) {
        const double segW = std::max(3.0, in.height() * 0.45);
        const int n = std::max(1, int(in.width() / segW));
        const double w = in.width() / n;
        const int lit = int(std::lround(f * n));
        for (int i = 0; i < n; ++i) {
            const double pm = (i + 0.5) * 1000.0 / n;
            const int sector = model_.sectorIndexForPerMille(int(pm));
            QColor c = strip && sector ? model_.sectors.color(sector) : bar_.Color;
            if (i >= lit) c = ipaint::mixed(c, bar_.BkColor, 0.8);
            p.setBrush(c);
            p.drawRect(QRectF(in.left() + i * w + w * 0.12, in.top() + 1, w * 0.76, in.height() - 2));
        }
    } else if (f > 0) {
        const QRectF fr(in.left(), in.top(), in.width() * f, in.height());
        QLinearGradient g(fr.topLeft(), fr.bottomLeft());
        g.setColorAt(0.0, fill.lighter(150));
        g.setColorAt(0.45, fill);
        g.setColorAt(1.0, fill.darker(150));
        p.setBrush(g);
        p.drawRect(fr);
    }
    // Limit marks across the track.
    if (model_.has(opLimit)) {
        p.setPen(QPen(QColor(230, 20, 20), std::max(1.5, in.height() * 0.08)));
        for (double v : {model_.limitLower, model_.limitUpper}) {
            const double x = in.left() + in.width() * model_.fractionForValue(v);
            p.drawLine(QPointF(x, track.top() - pad * 0.5), QPointF(x, track.bottom() + pad * 0.5));
        }
    }
    if (strip) {
        const QRectF sr(track.left(), track.bottom() + std::max(1.0, pad * 0.5), track.width(), stripH);
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
