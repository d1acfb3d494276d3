#pragma once
// Short texts that change with every frame (the read-outs' values), drawn from
// images of their characters: each character is measured and drawn once per
// font, colour and scale, and a text is then only copied together from them,
// never laid out or shaped again.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>

class QPainter;

class GlyphText {
public:
    // True when text can be drawn so on p: whole pixels, and characters
    // that look the same alone as in a line (no marks, no joining scripts).
    static bool usable(const QPainter& p, const QString& text);
    static bool usable(const QString& text);
    // What drawing text in font, centred in box, may touch; box itself for a
    // text that is not usable.
    QRect bounds(const QFont& font, const QRectF& box, const QString& text);
    // Draws text centred in box, as QPainter::drawText(box, Qt::AlignCenter, text)
    // would; only for a usable text.
    void draw(QPainter& p, const QFont& font, const QColor& ink, const QRectF& box, const QString& text);
    // How many character images have been drawn.
    int renders() const { return renders_; }

private:
    struct Glyph {
        QChar c;
        qreal advance = 0;
        QRect box;    // what it inks, from its pen position on the line's top
        QImage image; // of box, made when first drawn
    };
    void use(const QFont& font);
    Glyph& glyph(QChar c);
    const QImage& imageOf(Glyph& g);
    // Each character's image position for text centred in box.
    void place(const QRectF& box, const QString& text);

    QFont font_;
    bool haveFont_ = false;
    QColor ink_;
    qreal dpr_ = 0;
    qreal ascent_ = 0;
    qreal lineHeight_ = 0;
    QHash<char16_t, Glyph> glyphs_;
    QVector<QPair<Glyph*, QPoint>> placed_;
    int renders_ = 0;
};
