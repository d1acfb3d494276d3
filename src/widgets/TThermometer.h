#pragma once
// Thermometer: glass column with bulb, scale beside it and read-out on top.
#include "widgets/TAnalogGauge.h"

class TThermometer : public TAnalogGauge {
    Q_OBJECT
public:
    explicit TThermometer(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(90, 240); }

    BarSettings& barSettings() { return bar_; }
    void setBarColor(const QColor& c);
    // Gap between column and scale, pixels.
    int scaleSpacing() const { return spacing_; }
    void setScaleSpacing(int s);

protected:
    void paintGauge(QPainter& p) override;

private:
    BarSettings bar_;
    int spacing_ = 2;
};
