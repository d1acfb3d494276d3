#include "widgets/TGradientPanel.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

TGradientPanel::TGradientPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGradientPanel::setColorFrom(const QColor& c) {
    if (from_ == c) return;
    from_ = c;
    invalidate();
}

void TGradientPanel::setColorTo(const QColor& c) {
    if (to_ == c) return;
    to_ = c;
    invalidate();
}

void TGradientPanel::invalidate() {
    cache_ = QPixmap();
    update();
}

void TGradientPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    cache_ = QPixmap();
}

void TGradientPanel::paintEvent(QPaintEvent* e) {
    const qreal dpr = devicePixelRatioF();
    if (cache_.isNull() || cache_.devicePixelRatio() != dpr) {
        cache_ = QPixmap(QSize(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr))));
        if (!cache_.isNull()) {
            cache_.setDevicePixelRatio(dpr);
            QPainter cp(&cache_);
            // gsHorizontal1: the colour runs from the left edge to the right edge.
            QLinearGradient g(QPointF(0, 0), QPointF(width(), 0));
            g.setColorAt(0, from_);
            g.setColorAt(1, to_);
            cp.fillRect(rect(), g);
        }
    }
    QPainter p(this);
    if (cache_.isNull()) return;
    // Only the dirty rectangles: usually the few instruments that changed.
    // Each inside its own rectangular clip, where the raster engine copies
    // straight instead of blending line by line under the region.
    for (const QRect& r : e->region()) {
        p.setClipRect(r);
        p.drawPixmap(r, cache_, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    }
}
