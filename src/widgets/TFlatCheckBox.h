#pragma once
// Check box drawn flat: a plain 13-pixel box and the caption beside it.
#include <QCheckBox>

class TFlatCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TFlatCheckBox(QWidget* parent = nullptr);
    explicit TFlatCheckBox(const QString& text, QWidget* parent = nullptr);
    QSize sizeHint() const override;

    void setColor(const QColor& c); // background; invalid = transparent
    QColor color() const { return color_; }
    void setFontColor(const QColor& c);
    QColor fontColor() const { return fontColor_; }
    void setSpacing(int s);
    void setWordWrap(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QColor color_;
    QColor fontColor_ = QColor(0, 0, 0);
    int checkSize_ = 13;
    int spacing_ = 4;
    bool wordWrap_ = false;
};
