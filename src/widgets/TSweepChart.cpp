#include "widgets/TSweepChart.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

TSweepChart::TSweepChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(interval_ * 10);
    connect(&timer_, &QTimer::timeout, this, &TSweepChart::timerSample);
}

void TSweepChart::setInterval(int tensOfMs) {
    // A new interval restarts a running timer: only when it really is new.
    if (interval_ == std::max(1, tensOfMs)) return;
    interval_ = std::max(1, tensOfMs);
    timer_.setInterval(interval_ * 10);
}

void TSweepChart::timerSample() {
    sampleTick();
    // No values took the sample: the timer keeps the time base again.
    if (timer_.interval() != interval_ * 10) timer_.start(interval_ * 10);
}

void TSweepChart::valuesArrived() {
    valueSpacing_ = sinceValues_.isValid() ? sinceValues_.restart() : -1;
    if (!sinceValues_.isValid()) sinceValues_.start();
    if (!timer_.isActive()) return;
    const int period = interval_ * 10;
    // Values slower than samples: the timer samples between them.
    if (!SweepModel::valuesPace(valueSpacing_, period)) return;
    if (SweepModel::sampleWithValues(valueSpacing_, sinceSample_.isValid() ? sinceSample_.elapsed() : -1,
                                     period))
        sampleTick();
    // The values pace the samples; the timer stands by for when they stop,
    // a little later than the next values are expected, so it never comes first.
    timer_.start(period + period / 2);
}

void TSweepChart::setActive(bool on) {
    if (active_ == on && timer_.isActive() == on) return;
    active_ = on;
    if (on) {
        timer_.start();
    } else {
        timer_.stop();
        flushPending();
    }
}

void TSweepChart::showSample(const QRect& r) {
    // Called by hand, the chart shows each sample at once.
    if (!timer_.isActive()) {
        update(r);
        return;
    }
    const bool stale = !pending_.isNull();
    pending_ |= r;
    if (watched_ != window()) {
        if (watched_) watched_->removeEventFilter(this);
        watched_ = window();
        watched_->installEventFilter(this);
    }
    // No repaint since the last sample: both go now.
    if (stale) flushPending();
}

void TSweepChart::flushPending() {
    if (pending_.isNull()) return;
    update(pending_);
    pending_ = QRect();
}

bool TSweepChart::eventFilter(QObject* watched, QEvent* event) {
    // The window is about to repaint: the samples drawn since join in.
    if (watched == watched_ && event->type() == QEvent::UpdateRequest) flushPending();
    return QWidget::eventFilter(watched, event);
}

void TSweepChart::ensureImage() {
    const QSize s = size().expandedTo(QSize(1, 1));
    if (image_.size() == s) return;
    if (samplePainter_.isActive()) samplePainter_.end();
    image_ = QImage(s, QImage::Format_RGB32);
    wipe();
    model_.restart();
}

void TSweepChart::wipe() {
    // The colours and grid are plain fields: compared, not announced.
    if (grid_.size() != image_.size() || gridBack_ != Color || gridLines_ != Gridcolor ||
        gridSize_ != Gridsize) {
        grid_ = QImage(image_.size(), QImage::Format_RGB32);
        grid_.fill(Color);
        QPainter p(&grid_);
        const int w = grid_.width(), h = grid_.height();
        if (Gridsize > 0) {
            p.setPen(QPen(Gridcolor, 1));
            for (int x = 0; x < w; x += Gridsize)
                p.drawLine(x, 0, x, h - 1);
            for (int y = h - 1; y >= 0; y -= Gridsize)
                p.drawLine(0, y, w - 1, y);
        }
        gridBack_ = Color;
        gridLines_ = Gridcolor;
        gridSize_ = Gridsize;
    }
    // Shared until the next sample draws into it.
    if (samplePainter_.isActive()) samplePainter_.end();
    image_ = grid_;
}

void TSweepChart::clearChart() {
    ensureImage();
    wipe();
    model_.restart();
    update();
}

void TSweepChart::sampleTick() {
    sinceSample_.start();
    ensureImage();
    const std::array<int, 4> pos{{Position_a, Position_b, Position_c, Position_d}};
    const std::array<bool, 4> shown{{channel_a, channel_b, channel_c, channel_d}};
    const std::array<const QColor*, 4> colors{{&Linecolor_a, &Linecolor_b, &Linecolor_c, &Linecolor_d}};
    const SweepStep step = model_.tick(image_.width(), image_.height(), pos, shown);
    if (!step.lines.empty()) {
        if (!samplePainter_.isActive()) {
            samplePainter_.begin(&image_);
            samplePainter_.setRenderHint(QPainter::Antialiasing);
        }
        QPainter& p = samplePainter_;
        int top = image_.height(), bottom = 0, left = image_.width(), right = 0;
        for (const SweepLine& l : step.lines) {
            QPen& pen = pens_[static_cast<std::size_t>(l.trace)];
            const QColor& c = *colors[static_cast<std::size_t>(l.trace)];
            // Square ends close the joints of a trace as round ones do, and keep
            // the raster engine's own line drawing instead of outlining each piece.
            if (pen.color() != c || pen.widthF() != 2 || pen.capStyle() != Qt::SquareCap)
                pen = QPen(c, 2, Qt::SolidLine, Qt::SquareCap);
            p.setPen(pen);
            p.drawLine(l.x0, l.y0, l.x1, l.y1);
            top = std::min({top, l.y0, l.y1});
            bottom = std::max({bottom, l.y0, l.y1});
            left = std::min(left, l.x0);
            right = std::max(right, l.x1);
        }
        if (!step.wiped) showSample(QRect(left - 2, top - 2, right - left + 5, bottom - top + 5));
    }
    if (step.wiped) {
        pending_ = QRect();
        wipe();
        update();
    }
}

void TSweepChart::resizeEvent(QResizeEvent*) {
    ensureImage();
}

void TSweepChart::paintEvent(QPaintEvent* e) {
    ensureImage();
    QPainter p(this);
    p.drawImage(e->rect(), image_, e->rect());
}
