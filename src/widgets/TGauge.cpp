#include "widgets/TGauge.h"

#include "widgets/InstrumentPaint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

TGauge::TGauge(QWidget* parent) : QWidget(parent) {}

void TGauge::setProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == progress_) return;
    progress_ = percent;
    update();
}

void TGauge::setForeColor(const QColor& c) {
    if (c == fore_) return;
    fore_ = c;
    update();
}

void TGauge::setBackColor(const QColor& c) {
    if (c == back_) return;
    back_ = c;
    update();
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (r.width() < 3 || r.height() < 3) return;
    p.setPen(QPen(QColor(70, 74, 82), 1.0));
    p.setBrush(back_);
    p.drawRect(r);
    const QRectF in = r.adjusted(1.5, 1.5, -1.5, -1.5);
    const double h = in.height() * progress_ / 100.0;
    const QRectF fill(in.left(), in.bottom() - h, in.width(), h);
    QLinearGradient g(fill.topLeft(), fill.topRight());
    g.setColorAt(0, fore_.darker(120));
    g.setColorAt(0.4, fore_.lighter(135));
    g.setColorAt(1, fore_.darker(140));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(fill);
    // Quarter marks help reading the level at a glance.
    p.setPen(QPen(QColor(0, 0, 0, 90), 1.0));
    for (int i = 1; i < 4; ++i) {
        const double y = in.bottom() - in.height() * i / 4.0;
        p.drawLine(QPointF(in.left(), y), QPointF(in.left() + in.width() * 0.25, y));
    }
    if (showText_) {
        const QString t = QString::number(progress_) + QStringLiteral("%");
        const QRectF tb(in.left() + 1, in.center().y() - in.width() * 0.4, in.width() - 2, in.width() * 0.8);
        QFont f = font();
        f.setBold(true);
        const QFont tf = ipaint::fitted(f, t, tb, std::max(8.0, in.width() * 0.42));
        p.setFont(tf);
        // On a plate of its own, so that neither the level nor the middle
        // quarter mark runs into the figures.
        const QFontMetricsF fm(tf);
        const double pw = std::min(in.width() - 2, fm.horizontalAdvance(t) + 6);
        const QRectF plate(in.center().x() - pw / 2, in.center().y() - fm.height() / 2 - 1, pw,
                           fm.height() + 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 215));
        p.drawRoundedRect(plate, 3, 3);
        p.setPen(QColor(10, 10, 10));
        p.drawText(plate, Qt::AlignCenter, t);
    }
}
