#pragma once
// Half-round meter: 180° scale over a digital read-out.
#include "widgets/DialPaint.h"
#include "widgets/TAnalogGauge.h"

#include <QRectF>

class THalfRoundMeter : public TAnalogGauge {
    Q_OBJECT
public:
    explicit THalfRoundMeter(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(220, 150); }

protected:
    void paintStatic(QPainter& p) override;
    void paintDynamic(QPainter& p) override;
    double indicatorTravel() const override;
    Readout readout() const override;
    QRectF indicatorBounds(double fraction) const override;

private:
    struct Layout {
        bool ok = false;
        QRectF body;
        dial::Geometry g;
    };
    Layout layout() const;

    dial::Pointer pointer_;
};
