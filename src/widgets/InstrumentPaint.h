#pragma once
// Drawing helpers shared by the instruments: everything is sized from the
// rectangle it is given so the instruments scale with their widget.
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace ipaint {

// base with its pixel size set; keeps family, weight and style.
QFont sized(const QFont& base, double pixelSize);
// Largest pixel size (up to maxPixel) at which text fits into box.
QFont fitted(const QFont& base, const QString& text, const QRectF& box, double maxPixel);
QColor dimmed(const QColor& c, double factor);
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
// Text centred in box, shrunk to fit.
void caption(QPainter& p, const QRectF& box, const QString& text, const QFont& font, const QColor& color,
             double maxPixel, int flags = 0);

} // namespace ipaint
