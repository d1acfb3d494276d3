#pragma once
// Drawing helpers shared by the instruments: everything is sized from the
// rectangle it is given so the instruments scale with their widget.
#include "widgets/GlyphText.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPen>
#include <QRectF>
#include <QString>

class QPainter;

namespace ipaint {

// base with its pixel size set; keeps family, weight and style.
QFont sized(const QFont& base, double pixelSize);
// Largest pixel size (up to maxPixel) at which text fits into box.
QFont fitted(const QFont& base, const QString& text, const QRectF& box, double maxPixel);
QColor mixed(const QColor& a, const QColor& b, double t);

// face, or a light/dark substitute when ink would not stand out on it (a
// skin may give light scale fonts meant for a dark page).
QColor legibleFace(const QColor& face, const QColor& ink);
double luma(const QColor& c);

// Metal ring around a round face.
void roundBezel(QPainter& p, const QRectF& outer, double ringWidth);
// Raised frame with a brushed surface; returns the inner rectangle.
QRectF panelFrame(QPainter& p, const QRectF& r, const QColor& face);
// Dark digital read-out with the text centred in it.
void readout(QPainter& p, const QRectF& box, const QString& text, const QFont& font, const QColor& textColor,
             bool alarm);
// The same read-out in two parts, for one that is repainted with every new
// value: the box (kept with an instrument's static parts, since it changes
// only with the alarm) and the text over it. The brushes, pens and the type
// fitted to each text are made once (again when the box, type or colours
// change), so a repaint builds none of them.
class ReadoutPainter {
public:
    static void paintBox(QPainter& p, const QRectF& box, const QColor& textColor, bool alarm);
    void paintText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                   const QColor& textColor);
    // Every pixel the box may touch.
    static QRectF bounds(const QRectF& box);
    // Every pixel the text may touch (a text too long for a small box runs out of it).
    QRectF textBounds(const QRectF& box, const QString& text, const QFont& font);

private:
    struct Fit {
        QFont font;
        QRectF extent;
    };
    const Fit& fit(const QRectF& box, const QString& text, const QFont& font);

    bool made_ = false;
    QRectF box_;
    QFont font_;
    QRectF textBox_;
    QHash<QString, Fit> fitted_;
    QPen ink_;
    GlyphText glyphs_;
};

// Text centred in box, shrunk to fit.
void caption(QPainter& p, const QRectF& box, const QString& text, const QFont& font, const QColor& color,
             double maxPixel, int flags = 0);

} // namespace ipaint
