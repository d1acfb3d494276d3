#pragma once
#include <QColor>

// The program keeps colours as 32-bit values with red in the low byte
// (0x00BBGGRR). These convert between that form and QColor.
QColor tColor(unsigned bgr);
unsigned tColorValue(const QColor& c);
