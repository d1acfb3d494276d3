#include "widgets/TThermometer.h"

#include "widgets/InstrumentPaint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

TThermometer::TThermometer(QWidget* parent) : TAnalogGauge(parent) {
    bar_.Color = QColor(220, 30, 30);
    bar_.BkColor = QColor(240, 242, 245);
    scale_.Steps = 6;
    scale_.SubSteps = 2;
    scale_.ValueFormat = QStringLiteral("0");
    model_.signal.ValueFormat = QStringLiteral("0");
}

void TThermometer::writeStaticKey(StaticKey& k) const {
    k.append(bar_.Style);
    addColour(k, bar_.Color);
    addColour(k, bar_.BkColor);
    k.append(bar_.minHeight);
    k.append(bar_.minWidth);
    k.append(spacing_);
}

TThermometer::Layout TThermometer::layout() const {
    Layout l;
    l.area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (l.area.width() < 12 || l.area.height() < 30) return l;
    l.ok = true;
    // Same inner rectangle the frame painter returns.
    const double bw = std::clamp(std::min(l.area.width(), l.area.height()) * 0.04, 1.5, 5.0);
    l.inner = l.area.adjusted(bw, bw, -bw, -bw);
    const QRectF& inner = l.inner;
    const double unit = std::min(inner.width() / 2.6, inner.height() / 8.0);
    l.unit = unit;

    // Read-out on top, caption above it when asked for.
    double top = inner.top() + unit * 0.2;
    if (model_.has(opName1) && !model_.signal.Name1.isEmpty()) {
        l.caption = QRectF(inner.left() + 2, top, inner.width() - 4, unit * 0.6);
        top = l.caption.bottom() + unit * 0.1;
    }
    l.readout = QRectF(inner.left() + inner.width() * 0.1, top, inner.width() * 0.8, unit * 0.75);
    l.top = l.readout.bottom() + unit * 0.45;

    l.tubeW = unit * 0.42;
    l.bulbR = unit * 0.5;
    l.tubeX = inner.left() + inner.width() * 0.27 - l.tubeW / 2;
    l.bulbC = QPointF(l.tubeX + l.tubeW / 2, inner.bottom() - unit * 0.2 - l.bulbR);
    l.colBottom = l.bulbC.y() - l.bulbR * 0.9;
    l.scaleTop = l.top + l.tubeW * 0.6;
    return l;
}

double TThermometer::indicatorTravel() const {
    const Layout l = layout();
    return l.ok ? l.colBottom - l.scaleTop : 0.0;
}

void TThermometer::paintStatic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    ipaint::panelFrame(p, l.area, ipaint::legibleFace(face_, scale_.FontColor));
    const QRectF& inner = l.inner;
    const double unit = l.unit;
    if (!l.caption.isEmpty())
        ipaint::caption(p, l.caption, model_.signal.Name1, fontUnit_, fontUnitColor_, unit * 0.55);

    const double tubeW = l.tubeW, tubeX = l.tubeX;
    const QPointF bulbC = l.bulbC;
    const double colBottom = l.colBottom, scaleTop = l.scaleTop;

    p.save();
    // Glass.
    QPainterPath glass;
    glass.addRoundedRect(QRectF(tubeX, l.top, tubeW, bulbC.y() - l.top), tubeW / 2, tubeW / 2);
    glass.addEllipse(bulbC, l.bulbR, l.bulbR);
    glass.setFillRule(Qt::WindingFill);
    p.setPen(QPen(QColor(90, 95, 105), std::max(1.0, unit * 0.04)));
    p.setBrush(bar_.BkColor);
    p.drawPath(glass.simplified());

    // Scale to the right of the column.
    const int steps = std::max(1, scale_.Steps);
    const int sub = std::max(1, scale_.SubSteps);
    const double x0 = tubeX + tubeW + spacing_ + unit * 0.08;
    const double lineW = std::max(1.0, unit * 0.05);
    p.setPen(Qt::NoPen);
    if (model_.has(opSector)) {
        for (int s = 1; s <= 3; ++s) {
            const double f0 = std::clamp(model_.sectors.from(s) / 1000.0, 0.0, 1.0);
            const double f1 = std::clamp(model_.sectors.to(s) / 1000.0, 0.0, 1.0);
            if (f1 <= f0) continue;
            p.setBrush(model_.sectors.color(s));
            const double y1 = colBottom - (colBottom - scaleTop) * f1;
            const double y0 = colBottom - (colBottom - scaleTop) * f0;
            p.drawRect(QRectF(x0, y1, unit * 0.12 + model_.sectors.WidthOffset, y0 - y1));
        }
    }
    const double tx = x0 + unit * 0.14;
    if (scale_.DrawLine) {
        p.setPen(QPen(scale_.Color, lineW));
        p.drawLine(QPointF(tx, scaleTop), QPointF(tx, colBottom));
    }
    for (int i = 0; i <= steps * sub; ++i) {
        const bool major = i % sub == 0;
        const double y = colBottom - (colBottom - scaleTop) * i / (steps * sub);
        p.setPen(QPen(scale_.Color, major ? lineW * 1.4 : lineW));
        p.drawLine(QPointF(tx, y), QPointF(tx + (major ? unit * 0.3 : unit * 0.16), y));
    }
    const double span = model_.signal.ValueTo - model_.signal.ValueFrom;
    QString widest;
    for (int i = 0; i <= steps; ++i) {
        const QString t = formatValue(model_.signal.ValueFrom + span * i / steps, scale_.ValueFormat);
        if (t.size() > widest.size()) widest = t;
    }
    const double nx = tx + unit * 0.36;
    const double stepH = (colBottom - scaleTop) / steps;
    QFont nf =
        ipaint::fitted(scale_.Font, widest, QRectF(0, 0, inner.right() - nx - 2, stepH * 0.9), unit * 0.62);
    p.setFont(nf);
    p.setPen(scale_.FontColor);
    const double th = QFontMetricsF(nf).height();
    for (int i = 0; i <= steps; ++i) {
        const double y = colBottom - stepH * i;
        const QString t = formatValue(model_.signal.ValueFrom + span * i / steps, scale_.ValueFormat);
        p.drawText(QRectF(nx, y - th / 2, inner.right() - nx, th), Qt::AlignLeft | Qt::AlignVCenter, t);
    }
    if (model_.has(opLimit)) {
        p.setPen(QPen(QColor(230, 20, 20), lineW * 1.6));
        for (double v : {model_.limitLower, model_.limitUpper}) {
            const double y = colBottom - (colBottom - scaleTop) * model_.fractionForValue(v);
            p.drawLine(QPointF(tubeX - unit * 0.12, y), QPointF(tubeX, y));
        }
    }
    p.restore();
}

void TThermometer::layersChanged() {
    liquidMade_ = false;
}

double TThermometer::levelAt(const Layout& l, double fraction) const {
    return l.colBottom - (l.colBottom - l.scaleTop) * fraction;
}

QRectF TThermometer::columnBounds(const Layout& l, double top, double bottom) const {
    const double lw = l.tubeW * 0.5;
    return QRectF(QPointF(l.bulbC.x() - lw / 2, top), QPointF(l.bulbC.x() + lw / 2, bottom))
        .adjusted(-2, -2, 2, 2);
}

QRectF TThermometer::bulbBounds(const Layout& l) const {
    const double r = l.bulbR * 0.78 + 2;
    return QRectF(l.bulbC.x() - r, l.bulbC.y() - r, 2 * r, 2 * r);
}

TAnalogGauge::Readout TThermometer::readout() const {
    const Layout l = layout();
    if (!l.ok) return {};
    return {l.readout, fontValue_, fontValueColor_, true};
}

QRectF TThermometer::indicatorBounds(double fraction) const {
    const Layout l = layout();
    if (!l.ok) return QRectF();
    return columnBounds(l, levelAt(l, fraction), l.bulbC.y()) | bulbBounds(l);
}

void TThermometer::updateIndicator(double from, double to, bool recoloured) {
    const Layout l = layout();
    if (!l.ok) return;
    if (recoloured) {
        TAnalogGauge::updateIndicator(from, to, recoloured);
        return;
    }
    // The liquid's shading runs across the column: only the stretch between
    // the two levels changes.
    const double a = levelAt(l, from), b = levelAt(l, to);
    update(columnBounds(l, std::min(a, b), std::max(a, b)).toAlignedRect());
}

void TThermometer::paintDynamic(QPainter& p) {
    const Layout l = layout();
    if (!l.ok) return;
    paintReadout(p, {l.readout, fontValue_, fontValueColor_, true});

    // Liquid column and bulb.
    const QPointF bulbC = l.bulbC;
    const double bulbR = l.bulbR;
    const QColor liquid = indicatorColor(bar_.Color);
    const double level = levelAt(l, pointerFraction());
    const double lw = l.tubeW * 0.5;
    if (!liquidMade_ || liquid != liquid_) {
        QLinearGradient lg(QPointF(bulbC.x() - lw / 2, 0), QPointF(bulbC.x() + lw / 2, 0));
        lg.setColorAt(0, liquid.darker(130));
        lg.setColorAt(0.4, liquid.lighter(140));
        lg.setColorAt(1, liquid.darker(150));
        column_ = QBrush(lg);
        QRadialGradient bg(bulbC - QPointF(bulbR * 0.3, bulbR * 0.3), bulbR * 1.2);
        bg.setColorAt(0, liquid.lighter(160));
        bg.setColorAt(1, liquid.darker(140));
        bulb_ = QBrush(bg);
        liquid_ = liquid;
        liquidMade_ = true;
    }
    p.setPen(Qt::NoPen);
    if (needsPaint(columnBounds(l, level, bulbC.y()))) {
        p.setBrush(column_);
        p.drawRect(QRectF(bulbC.x() - lw / 2, level, lw, bulbC.y() - level));
    }
    if (needsPaint(bulbBounds(l))) {
        p.setBrush(bulb_);
        p.drawEllipse(bulbC, bulbR * 0.78, bulbR * 0.78);
    }
}
