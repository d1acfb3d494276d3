#pragma once
// Segmented LED bar.
#include "widgets/LedBarModel.h"

#include <QWidget>

class TLedBar : public QWidget {
    Q_OBJECT
public:
    explicit TLedBar(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(30, 200); }

    void setNumDigits(int n);
    int numDigits() const { return m_.NumDigits; }
    void setMin(int v);
    void setMax(int v);
    int min() const { return m_.Min; }
    int max() const { return m_.Max; }
    void setPosition(int v);
    int position() const { return m_.Position; }
    void setStartColor2(int v);
    void setStartColor3(int v);
    int startColor2() const { return m_.StartColor2; }
    int startColor3() const { return m_.StartColor3; }
    void setColorLED1(const QColor& c);
    void setColorLED2(const QColor& c);
    void setColorLED3(const QColor& c);
    QColor colorLED1() const { return m_.ColorLED1; }
    QColor colorLED2() const { return m_.ColorLED2; }
    QColor colorLED3() const { return m_.ColorLED3; }
    void setLEDContrast(int v);
    void setColorSeperator(const QColor& c);
    void setSingleLED(bool on);
    bool singleLED() const { return m_.SingleLED; }
    void setDirection(Direction d);
    Direction direction() const { return m_.direction; }

    int litCount() const { return m_.litCount(); }
    QColor segmentColor(int i) const { return m_.segmentColor(i); }
    const LedBarModel& model() const { return m_; }
    // Rectangle of segment i (counted in the growth direction) in widget coordinates.
    QRectF segmentRect(int i) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LedBarModel m_;
};
