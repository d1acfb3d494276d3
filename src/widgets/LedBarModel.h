#pragma once
// Segment rules of the LED bar, kept apart from painting for tests.
#include <QColor>

enum class Direction { mdDown, mdLeft, mdRight, mdUp };

class LedBarModel {
public:
    int NumDigits = 20;
    int Min = 0;
    int Max = 100;
    int Position = 0;
    int StartColor2 = 50;
    int StartColor3 = 80;
    QColor ColorLED1 = QColor(0, 255, 0);
    QColor ColorLED2 = QColor(255, 255, 0);
    QColor ColorLED3 = QColor(255, 0, 0);
    int LEDContrast = 6; // 0..9: the higher, the darker an unlit segment
    QColor ColorSeperator = QColor(0, 0, 0);
    bool SingleLED = false;
    Direction direction = Direction::mdUp;

    // Segments lit: round(NumDigits * Position / span), 0 when span <= 0.
    // Position is deliberately not reduced by Min.
    int litCount() const;
    int zone2Start() const;
    int zone3Start() const;
    int zoneOf(int segment) const; // 1..3
    bool isLit(int segment) const;
    QColor zoneColor(int zone) const;
    QColor dimmedColor(int zone) const;
    // Colour shown by segment i, counted from 0 in the growth direction.
    QColor segmentColor(int segment) const;

private:
    int startFor(int value) const;
};
