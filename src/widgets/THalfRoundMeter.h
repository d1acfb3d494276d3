#pragma once
// Half-round meter: 180° scale over a digital read-out.
#include "widgets/TAnalogGauge.h"

class THalfRoundMeter : public TAnalogGauge {
    Q_OBJECT
public:
    explicit THalfRoundMeter(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(220, 150); }

protected:
    void paintGauge(QPainter& p) override;
};
