#pragma once
// Background panel filled with a gradient; a container for other controls.
#include <QColor>
#include <QWidget>

enum GradientStyle { gsHorizontal1 };

class TGradientPanel : public QWidget {
    Q_OBJECT
public:
    explicit TGradientPanel(QWidget* parent = nullptr);

    void setColorFrom(const QColor& c);
    void setColorTo(const QColor& c);
    QColor colorFrom() const { return from_; }
    QColor colorTo() const { return to_; }
    void setStyle(GradientStyle s);
    GradientStyle gradientStyle() const { return style_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor from_ = QColor(0, 0, 128);
    QColor to_ = QColor(0, 0, 0);
    GradientStyle style_ = gsHorizontal1;
};
