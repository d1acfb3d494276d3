#pragma once
// Tank gauge: a rectangular tank filled to the value, with the read-out.
#include "widgets/TAnalogGauge.h"

class TTankGauge : public TAnalogGauge {
    Q_OBJECT
public:
    explicit TTankGauge(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(130, 160); }

    TankSettings& tankSettings() { return tank_; }
    void setTankColor(const QColor& c);
    // Colour of the level marks on the tank wall.
    QColor& pphColor() { return pph_; }

protected:
    void paintGauge(QPainter& p) override;

private:
    TankSettings tank_;
    QColor pph_ = QColor(60, 65, 75);
};
