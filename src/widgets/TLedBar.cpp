#include "widgets/TLedBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

TLedBar::TLedBar(QWidget* parent) : QWidget(parent) {}

#define LEDBAR_SETTER(name, field, type)                                                                     \
    void TLedBar::name(type v) {                                                                             \
        if (m_.field == v) return;                                                                           \
        m_.field = v;                                                                                        \
        update();                                                                                            \
    }

LEDBAR_SETTER(setNumDigits, NumDigits, int)
LEDBAR_SETTER(setMin, Min, int)
LEDBAR_SETTER(setMax, Max, int)
LEDBAR_SETTER(setPosition, Position, int)
LEDBAR_SETTER(setStartColor2, StartColor2, int)
LEDBAR_SETTER(setStartColor3, StartColor3, int)
LEDBAR_SETTER(setColorLED1, ColorLED1, const QColor&)
LEDBAR_SETTER(setColorLED2, ColorLED2, const QColor&)
LEDBAR_SETTER(setColorLED3, ColorLED3, const QColor&)
LEDBAR_SETTER(setLEDContrast, LEDContrast, int)
LEDBAR_SETTER(setColorSeperator, ColorSeperator, const QColor&)
LEDBAR_SETTER(setSingleLED, SingleLED, bool)
LEDBAR_SETTER(setDirection, direction, Direction)

#undef LEDBAR_SETTER

QRectF TLedBar::segmentRect(int i) const {
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    const int n = std::max(1, m_.NumDigits);
    switch (m_.direction) {
    case Direction::mdUp: {
        const double h = r.height() / n;
        return QRectF(r.left(), r.bottom() - (i + 1) * h, r.width(), h);
    }
    case Direction::mdDown: {
        const double h = r.height() / n;
        return QRectF(r.left(), r.top() + i * h, r.width(), h);
    }
    case Direction::mdRight: {
        const double w = r.width() / n;
        return QRectF(r.left() + i * w, r.top(), w, r.height());
    }
    case Direction::mdLeft: {
        const double w = r.width() / n;
        return QRectF(r.right() - (i + 1) * w, r.top(), w, r.height());
    }
    }
    return r;
}

void TLedBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), m_.ColorSeperator);
    const bool vertical = m_.direction == Direction::mdUp || m_.direction == Direction::mdDown;
    for (int i = 0; i < m_.NumDigits; ++i) {
        const QRectF seg = segmentRect(i);
        const double gap = std::max(1.0, (vertical ? seg.height() : seg.width()) * 0.14);
        const QRectF led = vertical ? seg.adjusted(gap, gap / 2, -gap, -gap / 2)
                                    : seg.adjusted(gap / 2, gap, -gap / 2, -gap);
        const QColor c = m_.segmentColor(i);
        QLinearGradient g(vertical ? led.topLeft() : led.topLeft(),
                          vertical ? led.topRight() : led.bottomLeft());
        g.setColorAt(0.0, c.darker(125));
        g.setColorAt(0.4, m_.isLit(i) ? c.lighter(130) : c);
        g.setColorAt(1.0, c.darker(140));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(led, 1.5, 1.5);
    }
}
