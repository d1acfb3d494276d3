#pragma once
// Dial drawing shared by the round (270°) and half-round (180°) meters.
#include <QPointF>

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

} // namespace dial
