#pragma once
// Background panel filled with a gradient; a container for other controls.
// The gradient is drawn once per size into a pixmap: the panel is repainted
// beneath every transparent instrument on it whenever one of them changes.
#include <QColor>
#include <QPixmap>
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
    GradientStyle gradientStyle() const { return style_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void invalidate();

    QPixmap cache_;
    QColor from_ = QColor(0, 0, 128);
    QColor to_ = QColor(0, 0, 0);
    GradientStyle style_ = gsHorizontal1;
};
