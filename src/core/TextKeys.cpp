#include "core/TextKeys.h"

QString shortened(const QString& text, int maxChars) {
    if (text.size() <= maxChars) return text;
    const QString gap = QStringLiteral(" … ");
    const qsizetype keep = qMax<qsizetype>(2, maxChars - gap.size());
    return text.left(keep - keep / 3) + gap + text.right(keep / 3);
}
