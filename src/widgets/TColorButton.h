#pragma once
// Push button drawn in its own colours, with a hover colour. Focusable;
// Space, Enter and Return press it when it has the focus.
#include "widgets/HoverColors.h"

#include <QAbstractButton>

class TColorButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // A multi-line caption takes as many lines as the width leaves it.
    bool hasHeightForWidth() const override { return multiline_; }
    int heightForWidth(int width) const override;

    void setBackColor(const QColor& c);
    QColor backColor() const { return colors_.back; }
    void setForeColor(const QColor& c);
    QColor foreColor() const { return fore_; }
    void setHoverColor(const QColor& c);
    QColor hoverColor() const { return colors_.hover; }
    void setMultiline(bool on);
    bool multiline() const { return multiline_; }
    void setAlignment(Qt::Alignment a);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    HoverColors colors_;
    QColor fore_ = QColor(0, 0, 0);
    bool multiline_ = false;
    Qt::Alignment align_ = Qt::AlignCenter;
};
