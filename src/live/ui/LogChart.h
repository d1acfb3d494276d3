#pragma once
#include "live/LogView.h"

#include <QColor>
#include <QLineF>
#include <QWidget>

// The log viewer's plot: the ticked columns over the window of the drive, each
// reduced to one vertical stroke per pixel column, the switch-over and
// broken-frame markers, the time axis and the cursor. Zoom, pan and cursor by
// mouse (wheel, drag, click) and by keys:
//   + / - (also Up / Down)      zoom in / out around the cursor
//   Left / Right (Shift: ×20)   cursor by a pixel's worth, at least one row
//   Ctrl+Left / Ctrl+Right      pan by a tenth of the window
//   PgUp / PgDn                 pan by most of a window, the cursor along
//   Home / End                  cursor to the start / end of the drive
//   0                           the whole drive
//   N / P                       cursor to the next / previous marker
class LogChart : public QWidget {
    Q_OBJECT
public:
    struct Trace {
        int column; // in the log's columns
        QColor color;
        QString name;
    };

    explicit LogChart(live::LogView& view, QWidget* parent = nullptr);

    void setTraces(const QVector<Trace>& traces);
    const QVector<Trace>& traces() const { return traces_; }
    void setMarkerCaptions(const QString& switchOver, const QString& brokenFrame);
    // Shown instead of a plot while the view has no log.
    void setMessage(const QString& text);
    // The plot area (pixels) inside the widget.
    QRect plotRect() const;

signals:
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void paintTrace(QPainter& p, const QRect& r, const Trace& t);
    void paintAxis(QPainter& p, const QRect& r);
    void paintMarkers(QPainter& p, const QRect& r);
    void paintLegend(QPainter& p, const QRect& r);
    void moveCursorTo(qint64 ms);
    qint64 zoomAnchor() const;

    live::LogView& view_;
    QVector<Trace> traces_;
    QString switchOverCaption_;
    QString brokenCaption_;
    QString message_;
    // Reused between paints: a paint allocates nothing once they have grown.
    QVector<live::LogView::Band> bands_;
    QVector<QRect> spans_;
    QVector<QLineF> lines_;
    QPoint pressPos_;
    qint64 pressBegin_ = 0;
    bool pressed_ = false;
    bool dragging_ = false;
};
