#pragma once
#include <QString>

// Parameter volts are held as texts of one digit, a decimal comma and two
// digits ("0,50", "1,25"); the controller side works in hundredths of a volt.

// The hundredths written with at least three digits (leading zeros added), then
// the first digit, a comma and the second and third digits: 50 -> "0,50",
// 125 -> "1,25". A value of 1000 or more does not fit: 1000 -> "1,00" (the
// fourth digit is dropped). Negative values are taken as 0.
QString voltsText(int hundredths);

// The text read back as first digit x 100 + third x 10 + fourth; a missing third
// or fourth character counts as 0 ("2" -> 200, "0,1" -> 10, "4,9" -> 490).
// Returns -1 for a text that is not a volts text: empty, not starting with a
// digit, a second character other than the decimal comma (a "." is taken as a
// comma), or any further character that is not a digit ("12,5", "a,50",
// " 1,25", "1,2x"). Characters after the fourth are ignored when they are digits.
int voltsHundredths(const QString& text);
