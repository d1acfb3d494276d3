#pragma once
// Tank gauge: a rectangular tank filled to the value, with the read-out.
#include "widgets/TAnalogGauge.h"

#include <QBrush>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

class TTankGauge : public TAnalogGauge {
    Q_OBJECT
public:
    explicit TTankGauge(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(130, 160); }

    TankSettings& tankSettings() { return tank_; }
    // Colour of the level marks on the tank wall.
    QColor& pphColor() { return pph_; }

protected:
    void paintStatic(QPainter& p) override;
    void paintDynamic(QPainter& p) override;
    bool hasStaticOverlay() const override { return true; }
    void paintStaticOverlay(QPainter& p) override;
    void writeStaticKey(StaticKey& k) const override;
    double indicatorTravel() const override;
    Readout readout() const override;
    QRectF indicatorBounds(double fraction) const override;
    void updateIndicator(double from, double to, bool recoloured) override;
    void layersChanged() override;

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
    // The level's top edge at fraction, and what lies around it.
    double levelAt(const Layout& l, double fraction) const;
    QRectF levelBounds(const Layout& l, double top, double bottom) const;

    TankSettings tank_;
    QColor pph_ = QColor(60, 65, 75);
    // Kept for the layout in force: the tank's outline (the level's clip),
    // and the level's shading and surface line per colour.
    QPainterPath body_;
    bool fillMade_ = false;
    QColor fill_;
    QBrush fillBrush_;
    QPen surface_;
};
