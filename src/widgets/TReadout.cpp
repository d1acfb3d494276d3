#include "widgets/TReadout.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

TReadout::TReadout(QWidget* parent) : QFrame(parent) {
    // Every pixel is painted from the panel's image: nothing below needs repainting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TReadout::setText(const QString& text) {
    if (text == text_) return;
    if (!isVisible()) {
        text_ = text;
        return;
    }
    const QRect before = glyphs_.bounds(font(), contentsRect(), text_);
    text_ = text;
    update((before | glyphs_.bounds(font(), contentsRect(), text_)) & contentsRect());
}

int TReadout::frameKey() const {
    return frameStyle() | lineWidth() << 16 | midLineWidth() << 24;
}

void TReadout::renderFace(qreal dpr) {
    QPixmap face(QSize(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr))));
    if (face.isNull()) return;
    face.setDevicePixelRatio(dpr);
    faceBrush_ = palette().brush(backgroundRole());
    faceFrame_ = frameKey();
    QPainter p(&face);
    p.fillRect(rect(), faceBrush_);
    drawFrame(&p);
    p.end();
    face_ = face;
    ++faceRenders_;
}

void TReadout::paintEvent(QPaintEvent* e) {
    const qreal dpr = devicePixelRatioF();
    // Compared rather than told: the frame's setters announce nothing.
    if (face_.isNull() || face_.devicePixelRatio() != dpr || faceFrame_ != frameKey() ||
        faceBrush_ != palette().brush(backgroundRole()))
        renderFace(dpr);
    QPainter p(this);
    for (const QRect& r : e->region())
        p.drawPixmap(r.topLeft(), face_, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr).toRect());
    if (text_.isEmpty()) return;
    p.setClipRect(contentsRect() & e->rect());
    const QColor ink = palette().color(foregroundRole());
    if (GlyphText::usable(p, text_)) {
        glyphs_.draw(p, font(), ink, contentsRect(), text_);
        return;
    }
    p.setFont(font());
    p.setPen(ink);
    p.drawText(contentsRect(), Qt::AlignCenter, text_);
}

void TReadout::changeEvent(QEvent* e) {
    QFrame::changeEvent(e);
    if (e->type() == QEvent::StyleChange) face_ = QPixmap();
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) update();
}

void TReadout::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    face_ = QPixmap();
}
