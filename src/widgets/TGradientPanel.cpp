#include "widgets/TGradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

TGradientPanel::TGradientPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGradientPanel::setColorFrom(const QColor& c) {
    from_ = c;
    update();
}

void TGradientPanel::setColorTo(const QColor& c) {
    to_ = c;
    update();
}

void TGradientPanel::setStyle(GradientStyle s) {
    style_ = s;
    update();
}

void TGradientPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // gsHorizontal1: the colour runs from the left edge to the right edge.
    QLinearGradient g(QPointF(0, 0), QPointF(width(), 0));
    g.setColorAt(0, from_);
    g.setColorAt(1, to_);
    p.fillRect(rect(), g);
}
