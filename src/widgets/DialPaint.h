#pragma once
// Dial drawing shared by the round (270°) and half-round (180°) meters.
#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPen>
#include <QPointF>
#include <QRectF>

class QPainter;
class GaugeModel;
struct ScaleSettings;

namespace dial {

struct Geometry {
    QPointF centre;
    double radius = 0;     // radius of the scale's outer tick edge
    double startDeg = 225; // angle of the scale start (counter-clockwise from 3 o'clock)
    double sweepDeg = -270;
};

double angleFor(const Geometry& g, double fraction);
QPointF pointAt(const Geometry& g, double radius, double deg);

// Sectors, ticks, scale line, numbers and limit marks.
void scale(QPainter& p, const Geometry& g, const GaugeModel& m, const ScaleSettings& s);
// Needle and hub.
void pointer(QPainter& p, const Geometry& g, double fraction, double length, double tail,
             const ScaleSettings& s);

// Every pixel the needle (with its shadow) and hub at fraction may touch.
QRectF pointerBounds(const Geometry& g, double fraction, double length, double tail);

// The same needle and hub for a meter that repaints with every new value:
// pens and brushes are made once per geometry and colour, and bounds() says
// which pixels the needle at a share of the scale may touch.
class Pointer {
public:
    // Takes the geometry, needle lengths and colour in force; cheap when unchanged.
    void setup(const Geometry& g, double length, double tail, const QColor& colour);
    void paint(QPainter& p, double fraction) const;
    QRectF bounds(double fraction) const { return pointerBounds(g_, fraction, length_, tail_); }
    // The needle at fraction drawn alone into an image (for a device pixel
    // ratio of dpr, a whole number), to be drawn at *at, of which only the
    // part inside *area holds the needle (the rest is stale). The first layer is
    // put into the empty image and the opaque needle over it with the
    // Source mode, which the raster engine fills in the painting thread:
    // over the window, a tall needle's fill is split among pool threads, and
    // on a busy machine waiting for them costs more than the fill itself.
    const QImage& image(double fraction, int dpr, QPoint* at, QRect* area);

private:
    Geometry g_;
    double length_ = 0, tail_ = 0;
    QColor colour_;
    bool made_ = false;
    QBrush shadow_, needle_, hub_;
    QPen needlePen_, hubPen_;
    QImage image_;
    QRect imageRect_; // what image_ covers
    QRect imageArea_; // where in it the needle at imageFraction_ is
    double imageFraction_ = -1;
    // The hub, the same at every value, drawn once.
    QImage hubImage_;
    QPoint hubAt_;
};

} // namespace dial
