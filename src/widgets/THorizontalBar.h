#pragma once
// Horizontal bar: a solid or segmented bar with sector strip and read-out.
#include "widgets/TAnalogGauge.h"

#include <QBrush>
#include <QList>
#include <QRectF>

class THorizontalBar : public TAnalogGauge {
    Q_OBJECT
public:
    explicit THorizontalBar(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(240, 40); }

    BarSettings& barSettings() { return bar_; }
    void setBarStyle(BarStyle s);

protected:
    void paintStatic(QPainter& p) override;
    void paintDynamic(QPainter& p) override;
    bool hasStaticOverlay() const override;
    void paintStaticOverlay(QPainter& p) override;
    void writeStaticKey(StaticKey& k) const override;
    qint64 indicatorStep() const override;
    double indicatorTravel() const override;
    Readout readout() const override;
    QRectF indicatorBounds(double fraction) const override;
    void updateIndicator(double from, double to, bool recoloured) override;
    void layersChanged() override;

private:
    struct Layout {
        bool ok = false;
        QRectF area;
        QRectF inner;   // inside the frame
        QRectF caption; // empty when there is no caption
        QRectF readout; // empty when there is no room
        QRectF track;
        QRectF in;    // inside the track's outline
        QRectF strip; // sector strip, empty when sectors are off
        double pad = 0;
        int segments = 0; // LED style
    };
    Layout layout() const;
    // Left and right edge of what the indicator covers at fraction.
    double indicatorEdge(const Layout& l, double fraction) const;

    BarSettings bar_;
    // Brushes of the LED segments lit and unlit, and of the bar per colour.
    QList<QBrush> litBrushes_, unlitBrushes_;
    bool fillMade_ = false;
    QColor fillColour_;
    QBrush fillBrush_;
};
