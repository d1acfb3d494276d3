#include "adapt/ui/SensorPicture.h"

#include "core/SystemTexts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {
const QColor Ink(40, 48, 60);
const QColor Liquid(176, 208, 236);
const QColor LiquidEdge(70, 120, 175);
const QColor Metal(150, 158, 168);
const QColor Paper(252, 252, 248);
const QColor Chosen(0, 150, 60);
const QSizeF Canvas(250, 160);

// The tank in section with its liquid; returns the surface height.
double tankSection(QPainter& p, const QRectF& tank, double level) {
    const double surface = tank.bottom() - tank.height() * level;
    QPainterPath body;
    body.addRoundedRect(tank, 8, 8);
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(tank.left(), surface, tank.width(), tank.bottom() - surface), Liquid);
    p.setPen(QPen(LiquidEdge, 1.2));
    p.drawLine(QPointF(tank.left(), surface), QPointF(tank.right(), surface));
    p.restore();
    p.setPen(QPen(Ink, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    return surface;
}

void caption(QPainter& p, const QRectF& box, const QString& text, int pixelSize, bool bold) {
    QFont f = p.font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(Ink);
    p.drawText(box, Qt::AlignCenter, text);
}
} // namespace

SensorPicture::SensorPicture(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    setCursor(Qt::PointingHandCursor);
}

void SensorPicture::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void SensorPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void SensorPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 250 x 160 canvas scaled to the widget, texts included, so the
    // screen-size layouts shrink or grow the picture as a whole.
    const double k = std::min(width() / Canvas.width(), height() / Canvas.height());
    p.translate((width() - Canvas.width() * k) / 2, (height() - Canvas.height() * k) / 2);
    p.scale(k, k);
    const QRectF card = QRectF(QPointF(0, 0), Canvas).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(selected_ ? Chosen : QColor(170, 176, 184), selected_ ? 3.0 : 1.0));
    p.setBrush(Paper);
    p.drawRoundedRect(card, 6, 6);
    const QRectF area = card.adjusted(10, 10, -10, -10);
    if (kind_ == Kind::Resistive20k)
        paintResistive(p, area);
    else
        paintReed(p, area);
}

// A float on an arm turns the wiper of a rheostat in the sender's head: the
// resistance follows the level over the whole tank.
void SensorPicture::paintResistive(QPainter& p, const QRectF& a) const {
    const QRectF tank(a.left(), a.top() + 14, a.width() * 0.52, a.height() - 14);
    const double surface = tankSection(p, tank, 0.45);

    // Sender head on the tank's top wall, with the arm's pivot below it.
    const QPointF pivot(tank.left() + tank.width() * 0.24, tank.top() + tank.height() * 0.16);
    p.setPen(QPen(Ink, 2.0));
    p.setBrush(Metal);
    p.drawRect(QRectF(pivot.x() - 12, tank.top() - 10, 24, 10));
    p.drawLine(QPointF(pivot.x(), tank.top()), pivot);
    const QPointF floatCentre(tank.left() + tank.width() * 0.74, surface - 3);
    p.setPen(QPen(Ink, 2.4));
    p.drawLine(pivot, floatCentre);
    p.setBrush(Qt::white);
    p.setPen(QPen(Ink, 1.8));
    p.drawEllipse(floatCentre, 15, 8);
    p.setBrush(Ink);
    p.drawEllipse(pivot, 3.2, 3.2);

    // Rheostat symbol: resistor with the wiper arrow across it.
    const double y = tank.top() + tank.height() * 0.30;
    const QRectF res(tank.right() + 22, y - 9, a.right() - tank.right() - 34, 18);
    p.setPen(QPen(Ink, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(pivot.x(), tank.top() - 10), QPointF(pivot.x(), a.top() + 4));
    p.drawLine(QPointF(pivot.x(), a.top() + 4), QPointF(res.left() - 10, a.top() + 4));
    p.drawLine(QPointF(res.left() - 10, a.top() + 4), QPointF(res.left() - 10, y));
    p.drawLine(QPointF(res.left() - 10, y), QPointF(res.left(), y));
    p.drawLine(QPointF(res.right(), y), QPointF(res.right() + 8, y));
    p.drawRect(res);
    const QPointF from(res.left() + 4, res.bottom() + 10);
    const QPointF to(res.right() - 4, res.top() - 10);
    p.drawLine(from, to);
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to + QPointF(-9.5, 1.5));
    head.lineTo(to + QPointF(-4.0, 7.5));
    head.closeSubpath();
    p.setBrush(Ink);
    p.drawPath(head);

    caption(p, QRectF(res.left() - 12, res.bottom() + 16, res.width() + 24, 28), QStringLiteral("0 – 20 kΩ"),
            15, true);
    caption(p, QRectF(res.left() - 12, res.bottom() + 44, res.width() + 24, 20),
            systemtext::text(systemtext::FloatAndResistor), 11, false);
}

// A float with a magnet slides on a rod; near the bottom the magnet closes a
// reed contact: the switch only tells the reserve.
void SensorPicture::paintReed(QPainter& p, const QRectF& a) const {
    const QRectF tank(a.left(), a.top() + 14, a.width() * 0.52, a.height() - 14);
    const double surface = tankSection(p, tank, 0.2);

    const double rodX = tank.center().x();
    p.setPen(QPen(Ink, 2.0));
    p.setBrush(Metal);
    p.drawRect(QRectF(rodX - 12, tank.top() - 10, 24, 10));
    p.setBrush(QColor(222, 226, 230));
    p.drawRect(QRectF(rodX - 3, tank.top(), 6, tank.height() - 8));
    // The contact inside the rod, low down, and the float with its magnet at the surface.
    p.setPen(QPen(Ink, 1.4));
    p.drawLine(QPointF(rodX, tank.bottom() - 30), QPointF(rodX, tank.bottom() - 18));
    const QRectF floatBody(rodX - 20, surface - 8, 40, 14);
    p.setPen(QPen(Ink, 1.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(floatBody, 4, 4);
    p.fillRect(QRectF(floatBody.left() + 4, floatBody.top() + 4, 9, 6), QColor(205, 50, 50));
    p.fillRect(QRectF(floatBody.right() - 13, floatBody.top() + 4, 9, 6), QColor(50, 90, 200));

    // Reed switch symbol: glass capsule, two overlapping reeds, leads.
    const double y = tank.top() + tank.height() * 0.30;
    const double left = tank.right() + 20;
    const double right = a.right() - 4;
    const QRectF glass(left + 12, y - 12, right - left - 24, 24);
    p.setPen(QPen(Ink, 1.6));
    p.setBrush(QColor(236, 244, 250));
    p.drawRoundedRect(glass, 12, 12);
    p.setPen(QPen(Ink, 2.2));
    const double mid = glass.center().x();
    p.drawLine(QPointF(left, y), QPointF(mid + 6, y - 3));
    p.drawLine(QPointF(mid - 6, y + 3), QPointF(right, y));
    p.setPen(QPen(Ink, 1.8));
    p.drawLine(QPointF(rodX + 12, tank.top() - 10), QPointF(rodX + 12, a.top() + 4));
    p.drawLine(QPointF(rodX + 12, a.top() + 4), QPointF(left - 8, a.top() + 4));
    p.drawLine(QPointF(left - 8, a.top() + 4), QPointF(left - 8, y));
    p.drawLine(QPointF(left - 8, y), QPointF(left, y));
    // The magnet that closes it.
    const QRectF magnet(mid - 26, glass.bottom() + 10, 52, 14);
    p.fillRect(QRectF(magnet.left(), magnet.top(), magnet.width() / 2, magnet.height()), QColor(205, 50, 50));
    p.fillRect(QRectF(magnet.center().x(), magnet.top(), magnet.width() / 2, magnet.height()),
               QColor(50, 90, 200));
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(magnet);
    QFont f = p.font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(magnet.left(), magnet.top(), magnet.width() / 2, magnet.height()), Qt::AlignCenter,
               QStringLiteral("N"));
    p.drawText(QRectF(magnet.center().x(), magnet.top(), magnet.width() / 2, magnet.height()),
               Qt::AlignCenter, QStringLiteral("S"));

    caption(p, QRectF(left - 12, magnet.bottom() + 4, right - left + 24, 28), QStringLiteral("90 Ω"), 15,
            true);
    caption(p, QRectF(left - 12, magnet.bottom() + 32, right - left + 24, 20),
            systemtext::text(systemtext::ReedContact), 11, false);
}
