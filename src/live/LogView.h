#pragma once
#include "live/LogFile.h"

#include <QString>
#include <QVector>
#include <array>
#include <memory>

namespace live {

// What the log viewer shows of a loaded log: the time window over the drive,
// the cursor, each column reduced to its lowest and highest value per pixel
// column, the scales and the markers. Plain logic: the window only paints it.
class LogView {
public:
    static constexpr qint64 MinSpanMs = 200;

    void setLog(std::shared_ptr<const LogData> log);
    const LogData* log() const { return log_.get(); }
    bool empty() const { return !log_ || log_->rows() == 0; }

    qint64 first() const { return empty() ? 0 : log_->timeMs.front(); }
    qint64 last() const { return empty() ? 0 : log_->timeMs.back(); }
    // The window shown, [begin, end] in log milliseconds.
    qint64 begin() const { return begin_; }
    qint64 end() const { return end_; }
    qint64 span() const { return end_ - begin_; }

    void showAll();
    // Clamped to the drive; never narrower than MinSpanMs (nor wider than the drive).
    void setWindow(qint64 begin, qint64 end);
    // factor < 1 zooms in; the time at anchor keeps its place on screen.
    void zoom(double factor, qint64 anchor);
    // Moves the window by spans times its width (negative: to the start).
    void pan(double spans);

    qint64 cursor() const { return cursor_; }
    // The row the cursor reads: the last at or before it.
    int cursorRow() const;
    // To the last row at or before ms (the first row before the drive); the
    // window follows when the cursor leaves it.
    void setCursor(qint64 ms);
    // By pixels' worth of the window at width, and by one row at least.
    void stepCursor(int pixels, int width);

    // Pixel x of a time and the time at a pixel x, for a plot width pixels wide.
    double xOf(qint64 ms, int width) const;
    qint64 timeAt(double x, int width) const;

    // One pixel column of a column's values: the lowest, highest, first and
    // last value of its rows. x is the pixel column's middle; the row just
    // before the window and just after it come as points outside 0..width.
    struct Band {
        float x, lo, hi, first, last;
    };
    void decimate(int column, int width, QVector<Band>& out) const;

    // The column drawn for a column: the chart's trace position for lambda,
    // TPS, engine speed and stepper when the log has it, else the column itself.
    int plotted(int column) const;
    struct Scale {
        double lo, hi;
    };
    Scale scaleOf(int plottedColumn) const;
    // The four chart traces (lambda, TPS, engine speed, stepper); -1 for one the log lacks.
    std::array<int, 4> chartColumns() const;
    // Columns offered for ticking: all but the trace positions.
    bool offered(int column) const;

    // Times of the switch-overs from petrol to gas and of frames that were not whole.
    const QVector<qint64>& switchOvers() const { return switchOvers_; }
    const QVector<qint64>& brokenFrames() const { return broken_; }
    // Pixel columns of the markers inside the window, each once.
    QVector<int> markerColumns(const QVector<qint64>& times, int width) const;
    // Next or previous marker time of either kind after / before the cursor; the cursor itself if none.
    qint64 nextMarker(int direction) const;

    // Time axis: a step of 1, 2 or 5 × 10^n ms that gives labels about minPixels apart.
    qint64 tickStep(int width, int minPixels) const;
    // "h:mm:ss" over an hour, else "m:ss", with tenths or hundredths when the step needs them.
    static QString timeText(qint64 ms, qint64 step);

private:
    std::shared_ptr<const LogData> log_;
    qint64 begin_ = 0;
    qint64 end_ = 0;
    qint64 cursor_ = 0;
    QVector<qint64> switchOvers_;
    QVector<qint64> broken_;
    QVector<Scale> ranges_; // each column's own lowest and highest value
};

} // namespace live
