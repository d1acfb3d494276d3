#include "widgets/InstrumentPaint.h"

#include "widgets/Logging.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace ipaint {

QFont sized(const QFont& base, double pixelSize) {
    QFont f = base;
    f.setPixelSize(std::max(1, int(pixelSize + 0.5)));
    return f;
}

QFont fitted(const QFont& base, const QString& text, const QRectF& box, double maxPixel) {
    double px = std::min(maxPixel, box.height());
    QFont f = sized(base, px);
    for (int i = 0; i < 12 && px > 5; ++i) {
        QFontMetricsF fm(f);
        const double w = fm.horizontalAdvance(text);
        if (w <= box.width() && fm.height() <= box.height() * 1.25) break;
        const double ratio = w > 0 ? box.width() / w : 1.0;
        px = std::max(5.0, std::min(px * 0.92, px * ratio));
        f = sized(base, px);
    }
    // Measured again only when asked for: this runs in paint events.
    if (lcWidgets().isDebugEnabled() && QFontMetricsF(f).horizontalAdvance(text) > box.width())
        qCDebug(lcWidgets) << "text does not fit:" << text << box;
    return f;
}

QColor mixed(const QColor& a, const QColor& b, double t) {
    const QColor x = a.toRgb(), y = b.toRgb();
    return QColor(int(x.red() + (y.red() - x.red()) * t), int(x.green() + (y.green() - x.green()) * t),
                  int(x.blue() + (y.blue() - x.blue()) * t));
}

double luma(const QColor& c) {
    const QColor r = c.toRgb();
    return 0.299 * r.red() + 0.587 * r.green() + 0.114 * r.blue();
}

QColor legibleFace(const QColor& face, const QColor& ink) {
    if (std::fabs(luma(face) - luma(ink)) >= 90) return face;
    return luma(ink) > 128 ? QColor(34, 38, 46) : QColor(246, 246, 242);
}

void roundBezel(QPainter& p, const QRectF& outer, double ringWidth) {
    p.save();
    p.setPen(Qt::NoPen);
    QLinearGradient g(outer.topLeft(), outer.bottomRight());
    g.setColorAt(0.0, QColor(250, 250, 252));
    g.setColorAt(0.45, QColor(150, 155, 165));
    g.setColorAt(1.0, QColor(60, 62, 70));
    p.setBrush(g);
    p.drawEllipse(outer);
    const QRectF inner = outer.adjusted(ringWidth, ringWidth, -ringWidth, -ringWidth);
    QLinearGradient g2(inner.bottomRight(), inner.topLeft());
    g2.setColorAt(0.0, QColor(245, 245, 248));
    g2.setColorAt(1.0, QColor(70, 72, 80));
    p.setBrush(g2);
    const double w2 = ringWidth * 0.35;
    p.drawEllipse(inner.adjusted(-w2, -w2, w2, w2));
    p.restore();
}

QRectF panelFrame(QPainter& p, const QRectF& r, const QColor& face) {
    p.save();
    const double bw = std::clamp(std::min(r.width(), r.height()) * 0.04, 1.5, 5.0);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(235, 236, 240));
    g.setColorAt(1.0, QColor(110, 112, 122));
    p.setPen(QPen(QColor(60, 62, 70), 1.0));
    p.setBrush(g);
    const double rad = bw * 1.5;
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), rad, rad);
    const QRectF inner = r.adjusted(bw, bw, -bw, -bw);
    QLinearGradient f(inner.topLeft(), inner.bottomLeft());
    f.setColorAt(0.0, face.lighter(106));
    f.setColorAt(1.0, face.darker(106));
    p.setPen(QPen(QColor(90, 92, 100), 0.8));
    p.setBrush(f);
    p.drawRoundedRect(inner, rad * 0.6, rad * 0.6);
    p.restore();
    return inner;
}

// Background of the read-out: red in alarm; light behind dark digits (from
// a skin), else dark.
static QLinearGradient readoutFace(const QRectF& box, const QColor& textColor, bool alarm) {
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    if (alarm) {
        g.setColorAt(0.0, QColor(120, 10, 10));
        g.setColorAt(1.0, QColor(70, 0, 0));
    } else if (luma(textColor) < 110) {
        g.setColorAt(0.0, QColor(196, 210, 188));
        g.setColorAt(1.0, QColor(222, 232, 214));
    } else {
        g.setColorAt(0.0, QColor(28, 32, 38));
        g.setColorAt(1.0, QColor(52, 58, 66));
    }
    return g;
}

static QPen readoutFrame(const QRectF& box) {
    return QPen(QColor(150, 155, 165), std::max(1.0, box.height() * 0.04));
}

static QRectF readoutText(const QRectF& box) {
    return box.adjusted(box.height() * 0.2, box.height() * 0.08, -box.height() * 0.2, -box.height() * 0.08);
}

void readout(QPainter& p, const QRectF& box, const QString& text, const QFont& font, const QColor& textColor,
             bool alarm) {
    p.save();
    const double rad = box.height() * 0.18;
    p.setPen(readoutFrame(box));
    p.setBrush(readoutFace(box, textColor, alarm));
    p.drawRoundedRect(box, rad, rad);
    const QRectF tb = readoutText(box);
    p.setFont(fitted(font, text, tb, tb.height() * 0.9));
    p.setPen(textColor);
    p.drawText(tb, Qt::AlignCenter, text);
    p.restore();
}

void ReadoutPainter::paintBox(QPainter& p, const QRectF& box, const QColor& textColor, bool alarm) {
    p.save();
    const double rad = box.height() * 0.18;
    p.setPen(readoutFrame(box));
    p.setBrush(readoutFace(box, textColor, alarm));
    p.drawRoundedRect(box, rad, rad);
    p.restore();
}

const ReadoutPainter::Fit& ReadoutPainter::fit(const QRectF& box, const QString& text, const QFont& font) {
    if (!made_ || box != box_ || font != font_) {
        made_ = true;
        box_ = box;
        font_ = font;
        textBox_ = readoutText(box);
        fitted_.clear();
    }
    auto it = fitted_.constFind(text);
    if (it == fitted_.constEnd()) {
        // Values seldom take more than a few hundred texts; a runaway one starts afresh.
        if (fitted_.size() >= 512) fitted_.clear();
        Fit f;
        f.font = fitted(font, text, textBox_, textBox_.height() * 0.9);
        // Glyphs may reach a little past their advances.
        f.extent = QFontMetricsF(f.font).boundingRect(textBox_, Qt::AlignCenter, text).adjusted(-3, -3, 3, 3);
        it = fitted_.insert(text, f);
    }
    return it.value();
}

void ReadoutPainter::paintText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                               const QColor& textColor) {
    const Fit& f = fit(box, text, font);
    if (GlyphText::usable(p, text)) {
        glyphs_.draw(p, f.font, textColor, textBox_, text);
        return;
    }
    if (ink_.color() != textColor) ink_ = QPen(textColor);
    p.setFont(f.font);
    p.setPen(ink_);
    p.drawText(textBox_, Qt::AlignCenter, text);
}

QRectF ReadoutPainter::bounds(const QRectF& box) {
    const double m = readoutFrame(box).widthF() / 2 + 2;
    return box.adjusted(-m, -m, m, m);
}

QRectF ReadoutPainter::textBounds(const QRectF& box, const QString& text, const QFont& font) {
    return fit(box, text, font).extent;
}

void caption(QPainter& p, const QRectF& box, const QString& text, const QFont& font, const QColor& color,
             double maxPixel, int flags) {
    if (text.isEmpty() || box.width() <= 1 || box.height() <= 1) return;
    p.save();
    p.setFont(fitted(font, text, box, maxPixel));
    p.setPen(color);
    p.drawText(box, flags ? flags : int(Qt::AlignCenter), text);
    p.restore();
}

} // namespace ipaint
