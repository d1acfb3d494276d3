#include "widgets/TLedBar.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

TLedBar::TLedBar(QWidget* parent) : QWidget(parent) {}

#define LEDBAR_SETTER(name, field, type)                                                                     \
    void TLedBar::name(type v) {                                                                             \
        if (m_.field == v) return;                                                                           \
        m_.field = v;                                                                                        \
        settingChanged();                                                                                    \
    }

LEDBAR_SETTER(setNumDigits, NumDigits, int)
LEDBAR_SETTER(setMin, Min, int)
LEDBAR_SETTER(setMax, Max, int)
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

void TLedBar::setPosition(int v) {
    if (m_.Position == v) return;
    const int before = m_.litCount();
    m_.Position = v;
    const int after = m_.litCount();
    if (after == before) return;
    if (m_.SingleLED) {
        updateCell(before - 1);
        updateCell(after - 1);
    } else {
        for (int i = std::min(before, after); i < std::max(before, after); ++i)
            updateCell(i);
    }
}

void TLedBar::settingChanged() {
    lit_ = unlit_ = QPixmap();
    update();
}

void TLedBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lit_ = unlit_ = QPixmap();
}

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

QRect TLedBar::cell(int i, qreal dpr) const {
    // An LED keeps at least half a pixel of its segment's gap on either side,
    // so cells cut at the segments' edges rounded to whole pixels never split
    // an LED's pixels; across the bar a cell spans the whole widget.
    const QRectF s = segmentRect(i);
    const int W = int(std::ceil(width() * dpr)), H = int(std::ceil(height() * dpr));
    if (m_.direction == Direction::mdUp || m_.direction == Direction::mdDown) {
        const int top = int(std::lround(s.top() * dpr)), bottom = int(std::lround(s.bottom() * dpr));
        return QRect(0, top, W, bottom - top);
    }
    const int left = int(std::lround(s.left() * dpr)), right = int(std::lround(s.right() * dpr));
    return QRect(left, 0, right - left, H);
}

void TLedBar::updateCell(int i) {
    if (i < 0 || i >= m_.NumDigits) return;
    const qreal dpr = devicePixelRatioF();
    const QRect c = cell(i, dpr);
    update(QRectF(c.x() / dpr, c.y() / dpr, c.width() / dpr, c.height() / dpr).toAlignedRect());
}

void TLedBar::paintBar(QPainter& p, int state) const {
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), m_.ColorSeperator);
    const bool vertical = m_.direction == Direction::mdUp || m_.direction == Direction::mdDown;
    for (int i = 0; i < m_.NumDigits; ++i) {
        const QRectF seg = segmentRect(i);
        const double gap = std::max(1.0, (vertical ? seg.height() : seg.width()) * 0.14);
        const QRectF led = vertical ? seg.adjusted(gap, gap / 2, -gap, -gap / 2)
                                    : seg.adjusted(gap / 2, gap, -gap / 2, -gap);
        const bool lit = state < 0 ? m_.isLit(i) : state > 0;
        const int zone = m_.zoneOf(i);
        const QColor c = lit ? m_.zoneColor(zone) : m_.dimmedColor(zone);
        QLinearGradient g(vertical ? led.topLeft() : led.topLeft(),
                          vertical ? led.topRight() : led.bottomLeft());
        g.setColorAt(0.0, c.darker(125));
        g.setColorAt(0.4, lit ? c.lighter(130) : c);
        g.setColorAt(1.0, c.darker(140));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(led, 1.5, 1.5);
    }
}

void TLedBar::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    // A see-through separator shows what lies beneath: drawn directly.
    if (m_.ColorSeperator.alpha() < 255) {
        paintBar(p, -1);
        return;
    }
    const qreal dpr = devicePixelRatioF();
    if (lit_.isNull() || lit_.devicePixelRatio() != dpr) {
        const QSize px(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr)));
        if (px.isEmpty()) return;
        for (const int lit : {0, 1}) {
            QImage img(px, QImage::Format_ARGB32_Premultiplied);
            img.setDevicePixelRatio(dpr);
            img.fill(Qt::transparent);
            QPainter ip(&img);
            paintBar(ip, lit);
            ip.end();
            (lit ? lit_ : unlit_) = QPixmap::fromImage(std::move(img));
        }
        ++renders_;
    }
    // Only the dirty part, in device pixels.
    const QRect dirty =
        QRect(QPoint(int(std::floor(e->rect().x() * dpr)), int(std::floor(e->rect().y() * dpr))),
              QPoint(int(std::ceil((e->rect().right() + 1) * dpr)) - 1,
                     int(std::ceil((e->rect().bottom() + 1) * dpr)) - 1)) &
        lit_.rect();
    auto copy = [&](const QPixmap& from, const QRect& px) {
        const QRect r = px & dirty;
        if (!r.isEmpty())
            p.drawPixmap(QRectF(r.x() / dpr, r.y() / dpr, r.width() / dpr, r.height() / dpr), from, r);
    };
    copy(unlit_, dirty);
    for (int i = 0; i < m_.NumDigits; ++i)
        if (m_.isLit(i)) copy(lit_, cell(i, dpr));
}
