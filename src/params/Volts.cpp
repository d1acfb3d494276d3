#include "params/Volts.h"

QString voltsText(int hundredths) {
    const QString digits =
        QString::number(hundredths < 0 ? 0 : hundredths).rightJustified(3, QLatin1Char('0'));
    return digits.left(1) + QLatin1Char(',') + digits.mid(1, 2);
}

int voltsHundredths(const QString& text) {
    auto digit = [&text](int i) { return text.at(i).unicode() - '0'; };
    auto isDigit = [&text](int i) {
        return text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
    };
    if (text.isEmpty() || !isDigit(0)) return -1;
    if (text.size() >= 2 && text.at(1) != QLatin1Char(',') && text.at(1) != QLatin1Char('.')) return -1;
    for (int i = 2; i < text.size(); ++i)
        if (!isDigit(i)) return -1;
    int h = digit(0) * 100;
    if (text.size() >= 3) h += digit(2) * 10;
    if (text.size() >= 4) h += digit(3);
    return h;
}
