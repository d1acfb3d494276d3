#include "widgets/GlyphText.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace {

// Latin, Greek, Cyrillic, punctuation and signs look the same drawn one by
// one as in a laid-out line. Marks, joining scripts and surrogate pairs need
// shaping.
bool drawnAlone(QChar c) {
    if (c.isSurrogate() || c.isMark() || !c.isPrint()) return false;
    const char16_t u = c.unicode();
    return u < 0x0300 || (u >= 0x0370 && u < 0x0530) || (u >= 0x2000 && u < 0x2070) ||
           (u >= 0x20A0 && u < 0x20D0) || (u >= 0x2100 && u < 0x2300);
}

} // namespace

bool GlyphText::usable(const QString& text) {
    for (QChar c : text)
        if (!drawnAlone(c)) return false;
    return true;
}

bool GlyphText::usable(const QPainter& p, const QString& text) {
    const qreal dpr = p.device() ? p.device()->devicePixelRatio() : 1.0;
    const QTransform& t = p.worldTransform();
    // Images of characters land on whole pixels only.
    if (dpr != std::floor(dpr) || dpr < 1 || t.type() > QTransform::TxTranslate ||
        t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()))
        return false;
    return usable(text);
}

void GlyphText::use(const QFont& font) {
    if (haveFont_ && font == font_) return;
    font_ = font;
    haveFont_ = true;
    glyphs_.clear();
    const QFontMetricsF fm(font);
    ascent_ = fm.ascent();
    lineHeight_ = fm.ascent() + fm.descent();
}

GlyphText::Glyph& GlyphText::glyph(QChar c) {
    auto it = glyphs_.find(c.unicode());
    if (it == glyphs_.end()) {
        Glyph g;
        g.c = c;
        const QFontMetricsF fm(font_);
        g.advance = fm.horizontalAdvance(c);
        // The ink, or the advance and line where it is less, and a pixel for
        // antialiasing: no more is copied with every value.
        const QRectF ink = fm.boundingRect(c).translated(0, ascent_);
        const QRectF cell(0, 0, g.advance, lineHeight_);
        g.box = (ink.isEmpty() ? cell : ink | cell).adjusted(-1, -1, 1, 1).toAlignedRect();
        it = glyphs_.insert(c.unicode(), g);
    }
    return it.value();
}

const QImage& GlyphText::imageOf(Glyph& g) {
    if (g.image.isNull()) {
        g.image = QImage(g.box.size() * dpr_, QImage::Format_ARGB32_Premultiplied);
        g.image.setDevicePixelRatio(dpr_);
        g.image.fill(Qt::transparent);
        QPainter p(&g.image);
        p.setFont(font_);
        p.setPen(ink_);
        p.drawText(QPointF(-g.box.left(), ascent_ - g.box.top()), QString(g.c));
        ++renders_;
    }
    return g.image;
}

void GlyphText::place(const QRectF& box, const QString& text) {
    placed_.clear();
    // Every glyph before any is kept: an insertion may move those found earlier.
    qreal width = 0;
    for (QChar c : text)
        width += glyph(c).advance;
    qreal x = box.left() + (box.width() - width) / 2;
    const int top = int(std::lround(box.top() + (box.height() - lineHeight_) / 2));
    for (QChar c : text) {
        Glyph& g = *glyphs_.find(c.unicode());
        placed_.append({&g, QPoint(int(std::lround(x)), top) + g.box.topLeft()});
        x += g.advance;
    }
}

QRect GlyphText::bounds(const QFont& font, const QRectF& box, const QString& text) {
    if (text.isEmpty()) return QRect();
    if (!usable(text)) return box.toAlignedRect();
    use(font);
    place(box, text);
    QRect r;
    for (const auto& [g, at] : placed_)
        r |= QRect(at, g->box.size());
    return r;
}

void GlyphText::draw(QPainter& p, const QFont& font, const QColor& ink, const QRectF& box,
                     const QString& text) {
    use(font);
    const qreal dpr = p.device() ? p.device()->devicePixelRatio() : 1.0;
    if (ink != ink_ || dpr != dpr_) {
        for (Glyph& g : glyphs_)
            g.image = QImage();
        ink_ = ink;
        dpr_ = dpr;
    }
    place(box, text);
    for (const auto& [g, at] : placed_)
        p.drawImage(at, imageOf(*g));
}
