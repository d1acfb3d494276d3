#pragma once
// Round meter: 270° scale, pointer, caption and digital read-out.
#include "widgets/TAnalogGauge.h"

class TRoundMeter : public TAnalogGauge {
    Q_OBJECT
public:
    explicit TRoundMeter(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(200, 200); }

protected:
    void paintGauge(QPainter& p) override;
};
