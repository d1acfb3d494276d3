#include "widgets/TFlatCheckBox.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

TFlatCheckBox::TFlatCheckBox(QWidget* parent) : QCheckBox(parent) {}

TFlatCheckBox::TFlatCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

QSize TFlatCheckBox::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(checkSize_ + spacing_ + fm.horizontalAdvance(text()) + 6,
                 std::max(checkSize_, fm.height()) + 4);
}

void TFlatCheckBox::setColor(const QColor& c) {
    if (color_ == c) return;
    color_ = c;
    update();
}

void TFlatCheckBox::setFontColor(const QColor& c) {
    if (fontColor_ == c) return;
    fontColor_ = c;
    update();
}

void TFlatCheckBox::setSpacing(int s) {
    if (spacing_ == s) return;
    spacing_ = s;
    update();
}

void TFlatCheckBox::setWordWrap(bool on) {
    if (wordWrap_ == on) return;
    wordWrap_ = on;
    update();
}

// The whole control is clickable, caption included.
bool TFlatCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void TFlatCheckBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (color_.isValid()) p.fillRect(rect(), color_);
    // The box grows with large layout fonts so it stays in proportion to the caption.
    const int s = std::min(std::max(checkSize_, fontMetrics().height() * 3 / 4), height() - 2);
    const QRectF box(1.5, (height() - s) / 2.0 + 0.5, s - 1, s - 1);
    p.setPen(QPen(isEnabled() ? QColor(40, 40, 45) : QColor(140, 140, 140), 1.0));
    p.setBrush(isDown() ? QColor(220, 220, 220) : QColor(255, 255, 255));
    p.drawRect(box);
    if (checkState() == Qt::Checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + box.width() * 0.2, box.top() + box.height() * 0.52);
        tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.76);
        tick.lineTo(box.left() + box.width() * 0.82, box.top() + box.height() * 0.25);
        p.setPen(
            QPen(QColor(20, 20, 20), std::max(1.5, s * 0.15), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    } else if (checkState() == Qt::PartiallyChecked) {
        p.fillRect(box.adjusted(3, 3, -3, -3), QColor(128, 128, 128));
    }
    const QRect tr(s + spacing_ + 2, 0, width() - s - spacing_ - 2, height());
    p.setPen(isEnabled() ? fontColor_ : QColor(128, 128, 128));
    p.setFont(font());
    p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | (wordWrap_ ? Qt::TextWordWrap : 0), text());
    if (hasFocus()) {
        p.setPen(QPen(QColor(20, 20, 20), 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(tr).adjusted(-1.5, 1.5, -0.5, -1.5));
    }
}
