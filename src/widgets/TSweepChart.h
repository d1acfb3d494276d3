#pragma once
// Four-trace chart that wipes and restarts at the left (it does not scroll).
// Samples are drawn into an off-screen image; painting only copies it. The
// empty chart with its grid is kept as an image too (until the size or the
// colours change), so a wipe is a copy. While its timer samples, a sample
// reaches the screen with the window's next repaint (the instruments repaint
// with every poll), at the latest with the next sample: the chart does not
// add a repaint of the whole window of its own each time.
#include "widgets/SweepModel.h"

#include <array>

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class TSweepChart : public QWidget {
    Q_OBJECT
public:
    explicit TSweepChart(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(265, 220); }

    // Written by the live poll as plain fields; the next sample uses them.
    int Position_a = 0, Position_b = 0, Position_c = 0, Position_d = 0;
    bool channel_a = true, channel_b = false, channel_c = false, channel_d = false;
    QColor Linecolor_a = QColor(255, 0, 0);
    QColor Linecolor_b = QColor(255, 0, 255);
    QColor Linecolor_c = QColor(255, 128, 64);
    QColor Linecolor_d = QColor(0, 255, 255);
    QColor Color = QColor(255, 255, 202);
    QColor Gridcolor = QColor(192, 192, 192);
    QColor Basecolor = QColor(128, 128, 128);
    int Gridsize = 54;

    // Sample period in units of 10 ms.
    void setInterval(int tensOfMs);
    int interval() const { return interval_; }
    void setActive(bool on);
    bool isActive() const { return active_; }
    const QTimer& sampleTimer() const { return timer_; }

    // One sample of every shown trace; the timer calls it.
    void sampleTick();
    // New values were written. While they come at least as often as samples
    // are due, the sample nearest its due time is taken with them, in the same
    // wake-up of the program, and the timer only stands by for when they stop.
    void valuesArrived();
    int currentX() const { return model_.x(); }
    // Clears to Color with the grid and restarts at the left.
    void clearChart();
    const QImage& image() const { return image_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureImage();
    void wipe();

    SweepModel model_;
    QImage image_;
    // The empty chart, and what it was drawn with.
    QImage grid_;
    QColor gridBack_, gridLines_;
    int gridSize_ = 0;
    // A pen per trace, made again only when its colour changes.
    std::array<QPen, 4> pens_;
    // Open on image_ from one sample to the next: beginning a painter costs
    // more than the sample's lines. Ended before image_ changes.
    QPainter samplePainter_;
    // Drawn into the image but not yet asked to be repainted, and the window
    // whose repaints it joins.
    void showSample(const QRect& r);
    void flushPending();
    QRect pending_;
    QPointer<QWidget> watched_;
    void timerSample();
    QTimer timer_;
    QElapsedTimer sinceSample_, sinceValues_;
    qint64 valueSpacing_ = -1; // ms between the last two value arrivals
    int interval_ = 5;
    bool active_ = false;
};
