#pragma once
// Round meter: 270° scale, pointer, caption and digital read-out.
#include "widgets/DialPaint.h"
#include "widgets/TAnalogGauge.h"

#include <QRectF>

class TRoundMeter : public TAnalogGauge {
    Q_OBJECT
public:
    explicit TRoundMeter(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(200, 200); }

protected:
    void paintStatic(QPainter& p) override;
    void paintDynamic(QPainter& p) override;
    double indicatorTravel() const override;
    Readout readout() const override;
    QRectF indicatorBounds(double fraction) const override;

private:
    struct Layout {
        bool ok = false;
        QRectF outer;
        double ring = 0;
        QRectF face;
        dial::Geometry g;
    };
    Layout layout() const;
    // The pointer set up for the layout in force.
    dial::Pointer& pointer(const Layout& l);

    dial::Pointer pointer_;
};
