#pragma once
// The two gas-level sensors the fitter chooses between, drawn as line art:
// the resistive float sender (20k) and the reed-contact reserve switch (90R).
// A click selects the sensor, as the check box beside it does.
#include <QColor>
#include <QWidget>

class SensorPicture : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Resistive20k, Reed90R };
    explicit SensorPicture(Kind kind, QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(240, 160); }

    Kind kind() const { return kind_; }
    // Drawn with a highlighted frame while its sensor is the chosen one.
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintResistive(class QPainter& p, const QRectF& area) const;
    void paintReed(class QPainter& p, const QRectF& area) const;

    Kind kind_;
    bool selected_ = false;
};
