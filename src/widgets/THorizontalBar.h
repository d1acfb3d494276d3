#pragma once
// Horizontal bar: a solid or segmented bar with sector strip and read-out.
#include "widgets/TAnalogGauge.h"

class THorizontalBar : public TAnalogGauge {
    Q_OBJECT
public:
    explicit THorizontalBar(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(240, 40); }

    BarSettings& barSettings() { return bar_; }
    void setBarStyle(BarStyle s);
    void setBarColor(const QColor& c);
    void setBarBkColor(const QColor& c);

protected:
    void paintGauge(QPainter& p) override;

private:
    BarSettings bar_;
};
