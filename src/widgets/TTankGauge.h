#pragma once
// Tank gauge: a rectangular tank filled to the value, with the read-out.
#include "widgets/TAnalogGauge.h"

#include <QRectF>

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
    void paintStatic(QPainter& p) override;
    void paintDynamic(QPainter& p) override;
    bool hasStaticOverlay() const override { return true; }
    void paintStaticOverlay(QPainter& p) override;
    void writeStaticKey(QDataStream& s) const override;
    double indicatorTravel() const override;

private:
    struct Layout {
        bool ok = false;     // frame and read-out
        bool tankOk = false; // room for the tank too
        QRectF area;
        double u = 0, pad = 0;
        QRectF readout;
        QRectF caption; // empty when there is no caption
        double neckH = 0;
        QRectF tank;
        double pw = 0;
    };
    Layout layout() const;

    TankSettings tank_;
    QColor pph_ = QColor(60, 65, 75);
};
