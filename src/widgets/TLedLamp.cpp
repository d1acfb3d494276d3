#include "widgets/TLedLamp.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>
#include <QSet>
#include <QTimer>
#include <algorithm>

// Owns the shared flash timer and the lamps that currently flash.
class LampFlasher : public QObject {
public:
    static LampFlasher& instance() {
        static LampFlasher* f = new LampFlasher;
        return *f;
    }
    QTimer* timer() { return &timer_; }
    void add(TLedLamp* l) {
        lamps_.insert(l);
        if (!timer_.isActive()) timer_.start();
        l->flashTick(clock_.elapsed());
    }
    void remove(TLedLamp* l) {
        lamps_.remove(l);
        if (lamps_.isEmpty()) timer_.stop();
    }

private:
    LampFlasher() {
        clock_.start();
        // Ticks fine enough for 8 Hz; the phase comes from the clock, not a tick count.
        timer_.setInterval(20);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 ms = clock_.elapsed();
            const auto lamps = lamps_;
            for (TLedLamp* l : lamps)
                l->flashTick(ms);
        });
    }
    QTimer timer_;
    QElapsedTimer clock_;
    QSet<TLedLamp*> lamps_;
};

TLedLamp::TLedLamp(QWidget* parent) : QWidget(parent) {}

TLedLamp::~TLedLamp() {
    if (flashing_) LampFlasher::instance().remove(this);
}

QTimer* TLedLamp::flashTimer() {
    return LampFlasher::instance().timer();
}

QSize TLedLamp::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(ledHeight_ + spacing_ + fm.horizontalAdvance(caption_) + 6,
                 std::max(ledHeight_, fm.height()) + 4);
}

void TLedLamp::setChecked(bool on) {
    if (checked_ == on) return;
    checked_ = on;
    update();
}

void TLedLamp::setCaption(const QString& text) {
    if (caption_ == text) return;
    caption_ = text;
    updateGeometry();
    update();
}

void TLedLamp::setCaptionColor(const QColor& c) {
    if (captionColorSet_ && captionColor_ == c) return;
    captionColor_ = c;
    captionColorSet_ = true;
    update();
}

void TLedLamp::setColorOn(const QColor& c) {
    if (on_ == c) return;
    on_ = c;
    update();
}

void TLedLamp::setColorOff(const QColor& c) {
    if (off_ == c) return;
    off_ = c;
    update();
}

void TLedLamp::setLedHeight(int h) {
    h = std::max(2, h);
    if (ledHeight_ == h) return;
    ledHeight_ = h;
    updateGeometry();
    update();
}

void TLedLamp::setSpacing(int s) {
    if (spacing_ == s) return;
    spacing_ = s;
    update();
}

void TLedLamp::setFlashing(bool on) {
    if (flashing_ == on) return;
    flashing_ = on;
    if (on)
        LampFlasher::instance().add(this);
    else
        LampFlasher::instance().remove(this);
    update();
}

void TLedLamp::setFrequency(LedFrequency f) {
    if (frequency_ == f) return;
    frequency_ = f;
}

bool TLedLamp::isLit() const {
    return flashing_ ? phaseOn_ : checked_;
}

void TLedLamp::flashTick(qint64 ms) {
    const qint64 half = frequency_ == ff8Hz ? 62 : 500;
    const bool on = (ms / half) % 2 == 0;
    if (on != phaseOn_) {
        phaseOn_ = on;
        update();
    }
}

void TLedLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    const double d = std::min<double>(ledHeight_, r.height() - 2);
    if (d < 2) return;
    const QRectF led(1, (r.height() - d) / 2, d, d);
    const bool lit = isLit();
    const QColor c = lit ? on_ : off_;

    // Bezel, lens and highlight.
    QLinearGradient bz(led.topLeft(), led.bottomRight());
    bz.setColorAt(0, QColor(245, 245, 248));
    bz.setColorAt(1, QColor(70, 72, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(bz);
    p.drawEllipse(led);
    const double rim = std::max(1.0, d * 0.1);
    const QRectF lens = led.adjusted(rim, rim, -rim, -rim);
    QRadialGradient g(lens.center() - QPointF(lens.width() * 0.18, lens.height() * 0.18), lens.width() * 0.7);
    g.setColorAt(0, lit ? c.lighter(170) : c.lighter(115));
    g.setColorAt(0.6, lit ? c : c.darker(130));
    g.setColorAt(1, c.darker(lit ? 150 : 210));
    p.setBrush(g);
    p.setPen(QPen(QColor(30, 30, 35, 160), 0.8));
    p.drawEllipse(lens);
    QRadialGradient hl(lens.center() - QPointF(lens.width() * 0.2, lens.height() * 0.22), lens.width() * 0.3);
    hl.setColorAt(0, QColor(255, 255, 255, lit ? 200 : 110));
    hl.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(hl);
    p.drawEllipse(lens);

    if (!caption_.isEmpty()) {
        p.setFont(font());
        p.setPen(captionColorSet_ ? captionColor_ : palette().color(QPalette::WindowText));
        const QRectF tr(led.right() + spacing_, 0, r.width() - led.right() - spacing_, r.height());
        p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter, caption_);
    }
}
