#include "widgets/TColorButton.h"

#include <algorithm>

#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

TColorButton::TColorButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

namespace {
// Above and below the caption together: less for small type, where a column
// of buttons must share a small window's height.
int verticalPadding(const QFontMetrics& fm) {
    return std::clamp(fm.height() * 3 / 4, 8, 14);
}
} // namespace

QSize TColorButton::sizeHint() const {
    const QFontMetrics fm(font());
    const QRect br = fm.boundingRect(QRect(0, 0, 400, 200), multiline_ ? Qt::TextWordWrap : 0, text());
    return QSize(br.width() + 24, br.height() + verticalPadding(fm));
}

int TColorButton::heightForWidth(int width) const {
    const QFontMetrics fm(font());
    // The caption's rectangle is 6 pixels in from each side (paintEvent).
    const QRect br = fm.boundingRect(QRect(0, 0, std::max(1, width - 12), 2000),
                                     multiline_ ? Qt::TextWordWrap : 0, text());
    return br.height() + verticalPadding(fm);
}

void TColorButton::setBackColor(const QColor& c) {
    if (colors_.back == c) return;
    colors_.back = c;
    update();
}

void TColorButton::setForeColor(const QColor& c) {
    if (fore_ == c) return;
    fore_ = c;
    update();
}

void TColorButton::setHoverColor(const QColor& c) {
    if (colors_.hover == c) return;
    colors_.hover = c;
    update();
}

void TColorButton::setMultiline(bool on) {
    if (multiline_ == on) return;
    multiline_ = on;
    updateGeometry();
    update();
}

void TColorButton::setAlignment(Qt::Alignment a) {
    if (align_ == a) return;
    align_ = a;
    update();
}

void TColorButton::enterEvent(QEnterEvent* event) {
    colors_.enter();
    update();
    QAbstractButton::enterEvent(event);
}

void TColorButton::leaveEvent(QEvent* event) {
    colors_.leave();
    update();
    QAbstractButton::leaveEvent(event);
}

void TColorButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (isEnabled()) animateClick();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TColorButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void TColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool down = isDown();
    const QColor back = colors_.back;

    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, down ? back.darker(112) : back.lighter(112));
    g.setColorAt(1, down ? back.lighter(104) : back.darker(112));
    p.setPen(QPen(QColor(40, 40, 45), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    // Bevel: light top-left, dark bottom-right; swapped while pressed.
    const QRectF b = r.adjusted(1, 1, -1, -1);
    const QColor light(255, 255, 255, 170), dark(0, 0, 0, 90);
    p.setPen(QPen(down ? dark : light, 1.0));
    p.drawLine(b.topLeft(), b.topRight());
    p.drawLine(b.topLeft(), b.bottomLeft());
    p.setPen(QPen(down ? light : dark, 1.0));
    p.drawLine(b.bottomLeft(), b.bottomRight());
    p.drawLine(b.topRight(), b.bottomRight());

    QRectF tr = r.adjusted(6, 3, -6, -3);
    if (down) tr.translate(1, 1);
    const int flags = int(align_) | (multiline_ ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine));
    // Shrink the caption rather than clip it when the layout makes the button small.
    QFont f = font();
    for (int i = 0; i < 20; ++i) {
        const QRectF need = QFontMetricsF(f).boundingRect(tr, flags, text());
        if (need.width() <= tr.width() + 0.5 && need.height() <= tr.height() + 0.5) break;
        const double px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
        if (px <= 6) break;
        f.setPixelSize(int(px) - 1);
    }
    p.setFont(f);
    if (isEnabled()) {
        p.setPen(fore_);
        p.drawText(tr, flags, text());
    } else {
        // Embossed caption of a disabled button.
        p.setPen(QColor(255, 255, 255));
        p.drawText(tr.translated(1, 1), flags, text());
        p.setPen(QColor(128, 128, 128));
        p.drawText(tr, flags, text());
    }
    if (hasFocus()) {
        QPen fp(QColor(20, 20, 20), 1.0, Qt::DotLine);
        p.setPen(fp);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), 2, 2);
    }
}
