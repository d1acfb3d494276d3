#pragma once
// Vertical percentage gauge: filled from the bottom, percent in the middle.
#include <QColor>
#include <QWidget>

enum GaugeKind { gkVerticalBar };

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(40, 160); }

    void setProgress(int percent); // limited to 0..100
    int progress() const { return progress_; }
    void setForeColor(const QColor& c);
    void setBackColor(const QColor& c);
    QColor foreColor() const { return fore_; }
    QColor backColor() const { return back_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int progress_ = 0;
    QColor fore_ = QColor(0, 128, 0);
    QColor back_ = QColor(255, 255, 255);
    bool showText_ = true;
};
