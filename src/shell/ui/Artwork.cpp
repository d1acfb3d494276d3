#include "shell/ui/Artwork.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace artwork {

namespace {

// A gas cylinder with a valve, the program's emblem, inside rect r.
void drawEmblem(QPainter& p, const QRectF& r) {
    const qreal w = r.width(), h = r.height();
    QRectF body(r.left() + w * 0.18, r.top() + h * 0.22, w * 0.64, h * 0.74);
    QLinearGradient g(body.topLeft(), body.topRight());
    g.setColorAt(0, QColor(0, 90, 40));
    g.setColorAt(0.45, QColor(90, 220, 120));
    g.setColorAt(1, QColor(0, 70, 30));
    p.setPen(QPen(QColor(10, 40, 20), qMax<qreal>(1, w * 0.02)));
    p.setBrush(g);
    p.drawRoundedRect(body, w * 0.22, w * 0.22);
    // valve
    QRectF neck(r.left() + w * 0.42, r.top() + h * 0.08, w * 0.16, h * 0.16);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(neck);
    p.drawRect(QRectF(r.left() + w * 0.30, r.top() + h * 0.04, w * 0.40, h * 0.07));
    // flame
    QPainterPath flame;
    const QPointF c(body.center().x(), body.center().y() + h * 0.05);
    const qreal fh = h * 0.34, fw = w * 0.22;
    flame.moveTo(c.x(), c.y() - fh * 0.6);
    flame.cubicTo(c.x() + fw * 0.9, c.y() - fh * 0.1, c.x() + fw * 0.7, c.y() + fh * 0.45, c.x(),
                  c.y() + fh * 0.45);
    flame.cubicTo(c.x() - fw * 0.7, c.y() + fh * 0.45, c.x() - fw * 0.9, c.y() - fh * 0.1, c.x(),
                  c.y() - fh * 0.6);
    QRadialGradient fg(c + QPointF(0, fh * 0.2), fh * 0.6);
    fg.setColorAt(0, QColor(255, 255, 255));
    fg.setColorAt(0.35, QColor(120, 200, 255));
    fg.setColorAt(1, QColor(20, 60, 220));
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    p.drawPath(flame);
}

void drawTitle(QPainter& p, const QRectF& r, qreal titlePx, qreal subPx, bool subtitle) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(qRound(titlePx));
    // Shrink the title until it fits the space beside the emblem.
    while (f.pixelSize() > 8 &&
           QFontMetricsF(f).horizontalAdvance(QStringLiteral("Quendrix")) > r.width() - 4)
        f.setPixelSize(f.pixelSize() - 1);
    p.setFont(f);
    const QRectF titleRect(r.left(), r.top(), r.width(), r.height() * (subtitle ? 0.62 : 1.0));
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(titleRect.translated(2, 2), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Quendrix"));
    QLinearGradient tg(titleRect.topLeft(), titleRect.bottomLeft());
    tg.setColorAt(0, QColor(255, 255, 160));
    tg.setColorAt(1, QColor(255, 190, 0));
    p.setPen(QPen(QBrush(tg), 1));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Quendrix"));
    if (!subtitle) return;
    QFont s(QStringLiteral("DejaVu Sans"));
    s.setPixelSize(qRound(subPx));
    p.setFont(s);
    p.setPen(QColor(190, 220, 255));
    p.drawText(QRectF(r.left(), titleRect.bottom() + 4, r.width(), r.height() - titleRect.height() - 4),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Sterownik LPG z silnikiem krokowym\nLPG stepper-motor controller"));
}

QPixmap picture(QSize size, bool subtitle) {
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, QColor(10, 30, 110));
    bg.setColorAt(1, QColor(0, 8, 48));
    p.fillRect(pm.rect(), bg);
    // a road running to the horizon
    p.setPen(QPen(QColor(60, 90, 170), 1));
    for (int i = 1; i <= 6; ++i) {
        const qreal y = size.height() * (1.0 - 0.11 * i * i / 6.0);
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
    }
    const qreal side = size.height() * 0.86;
    drawEmblem(p, QRectF(size.height() * 0.07, size.height() * 0.07, side * 0.8, side));
    const QRectF text(side * 0.8 + size.height() * 0.18, size.height() * 0.08,
                      size.width() - side * 0.8 - size.height() * 0.25, size.height() * 0.84);
    drawTitle(p, text, size.height() * (subtitle ? 0.34 : 0.36), size.height() * 0.085, subtitle);
    p.setPen(QPen(QColor(255, 200, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, size.width() - 2, size.height() - 2));
    return pm;
}

} // namespace

QPixmap splashPicture(QSize size) {
    return picture(size, true);
}

QPixmap aboutPicture(QSize size) {
    return picture(size, true);
}

QIcon windowIcon() {
    QIcon icon;
    for (int s : {16, 32, 48, 64}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        drawEmblem(p, QRectF(0, 0, s, s));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace artwork
