#pragma once
// Segmented LED bar. The bar is drawn twice, once with every segment lit
// and once with none, into pixmaps kept until the size or a setting changes;
// a paint copies each segment's cell from the one its state calls for, and a
// new position repaints only the cells of segments that changed.
#include "widgets/LedBarModel.h"

#include <QPixmap>
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

    // Times the two pictures were drawn (a new size or new settings).
    int barRenderCount() const { return renders_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void settingChanged();
    // The bar with every segment unlit (0), lit (1) or as the position says (-1).
    void paintBar(QPainter& p, int state) const;
    // Device pixels of segment i's cell: every pixel its LED touches, and no
    // pixel another LED touches.
    QRect cell(int i, qreal dpr) const;
    void updateCell(int i);

    LedBarModel m_;
    QPixmap lit_, unlit_;
    int renders_ = 0;
};
