#pragma once
// Thermometer: glass column with bulb, scale beside it and read-out on top.
#include "widgets/TAnalogGauge.h"

#include <QBrush>
#include <QPointF>
#include <QRectF>

class TThermometer : public TAnalogGauge {
    Q_OBJECT
public:
    explicit TThermometer(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(90, 240); }

    BarSettings& barSettings() { return bar_; }
    // Gap between column and scale, pixels.
    int scaleSpacing() const { return spacing_; }

protected:
    void paintStatic(QPainter& p) override;
    void paintDynamic(QPainter& p) override;
    void writeStaticKey(StaticKey& k) const override;
    double indicatorTravel() const override;
    Readout readout() const override;
    QRectF indicatorBounds(double fraction) const override;
    void updateIndicator(double from, double to, bool recoloured) override;
    void layersChanged() override;

private:
    struct Layout {
        bool ok = false;
        QRectF area;
        QRectF inner;
        double unit = 0;
        QRectF caption; // empty when there is no caption
        QRectF readout;
        double top = 0; // top of the glass
        double tubeW = 0, bulbR = 0, tubeX = 0;
        QPointF bulbC;
        double colBottom = 0, scaleTop = 0; // the scale runs over this span
    };
    Layout layout() const;
    double levelAt(const Layout& l, double fraction) const;
    QRectF columnBounds(const Layout& l, double top, double bottom) const;
    QRectF bulbBounds(const Layout& l) const;

    BarSettings bar_;
    int spacing_ = 2;
    // Column and bulb shading for the liquid's colour in force.
    bool liquidMade_ = false;
    QColor liquid_;
    QBrush column_, bulb_;
};
