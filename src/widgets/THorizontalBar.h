#pragma once
// Horizontal bar: a solid or segmented bar with sector strip and read-out.
#include "widgets/TAnalogGauge.h"

#include <QRectF>

class THorizontalBar : public TAnalogGauge {
    Q_OBJECT
public:
    explicit THorizontalBar(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(240, 40); }

    BarSettings& barSettings() { return bar_; }
    void setBarStyle(BarStyle s);
    void setBarColor(const QColor& c);
    void setBarBkColor(const QColor& c);

protected:
    void paintStatic(QPainter& p) override;
    void paintDynamic(QPainter& p) override;
    bool hasStaticOverlay() const override;
    void paintStaticOverlay(QPainter& p) override;
    void writeStaticKey(QDataStream& s) const override;
    qint64 indicatorStep() const override;
    double indicatorTravel() const override;

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

    BarSettings bar_;
};
