#include "live/ui/LogChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {
// The live chart's background and grid colours, so that a drive looks as it did on the page.
const QColor Background(255, 255, 202);
const QColor Grid(192, 192, 192);
const QColor SwitchOverColor(0, 128, 0);
const QColor BrokenColor(220, 0, 0);
constexpr int Margin = 6;
constexpr int DragThreshold = 4;
} // namespace

LogChart::LogChart(live::LogView& view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName(QStringLiteral("LogChart"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LogChart::setTraces(const QVector<Trace>& traces) {
    traces_ = traces;
    update();
}

void LogChart::setMarkerCaptions(const QString& switchOver, const QString& brokenFrame) {
    switchOverCaption_ = switchOver;
    brokenCaption_ = brokenFrame;
    update();
}

void LogChart::setMessage(const QString& text) {
    message_ = text;
    update();
}

QRect LogChart::plotRect() const {
    const int line = fontMetrics().height();
    return rect().adjusted(Margin, line + Margin, -Margin, -(line + Margin));
}

void LogChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QRect r = plotRect();
    p.fillRect(r, Background);
    if (view_.empty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, message_);
    } else {
        // Four divisions across, as the live chart's scales have them.
        p.setPen(Grid);
        for (int i = 1; i < 4; ++i)
            p.drawLine(r.left(), r.top() + r.height() * i / 4, r.right(), r.top() + r.height() * i / 4);
        paintAxis(p, r);
        paintMarkers(p, r);
        p.save();
        p.setClipRect(r);
        for (const Trace& t : traces_)
            paintTrace(p, r, t);
        p.restore();
        const double cx = r.left() + view_.xOf(view_.cursor(), r.width());
        if (cx >= r.left() && cx <= r.right()) {
            p.setPen(QPen(palette().color(QPalette::WindowText), 1));
            p.drawLine(QPointF(cx, r.top()), QPointF(cx, r.bottom()));
        }
        paintLegend(p, r);
    }
    p.setPen(Qt::gray);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(r.adjusted(-2, -2, 1, 1));
    }
}

void LogChart::paintTrace(QPainter& p, const QRect& r, const Trace& t) {
    const int column = view_.plotted(t.column);
    view_.decimate(column, r.width(), bands_);
    if (bands_.isEmpty()) return;
    const live::LogView::Scale s = view_.scaleOf(column);
    const double k = r.height() / (s.hi - s.lo);
    const double bottom = r.bottom();
    auto y = [&](float v) { return bottom - (double(v) - s.lo) * k; };
    // Neighbouring pixel columns join by one vertical stroke each, filled as a
    // rectangle: stroking thousands of short lines costs ten times as much.
    // Rows further apart than a pixel are joined by lines.
    spans_.clear();
    lines_.clear();
    for (qsizetype i = 0; i < bands_.size(); ++i) {
        const live::LogView::Band& b = bands_[i];
        const double x = r.left() + double(b.x);
        float lo = b.lo, hi = b.hi;
        if (i > 0) {
            const live::LogView::Band& prev = bands_[i - 1];
            if (b.x - prev.x <= 1.5f) {
                lo = std::min(lo, prev.last);
                hi = std::max(hi, prev.last);
            } else {
                lines_.append(QLineF(r.left() + double(prev.x), y(prev.last), x, y(b.first)));
            }
        }
        const int top = int(std::floor(y(hi)));
        spans_.append(QRect(int(x) - 1, top - 1, 2, std::max(2, int(std::ceil(y(lo))) - top + 1)));
    }
    for (const QRect& span : spans_)
        p.fillRect(span, t.color);
    if (lines_.isEmpty()) return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(t.color, 2));
    p.drawLines(lines_);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void LogChart::paintAxis(QPainter& p, const QRect& r) {
    const QFontMetrics fm = fontMetrics();
    const qint64 step = view_.tickStep(r.width(), fm.horizontalAdvance(QStringLiteral("00:00:00.0")) + 24);
    const qint64 origin = view_.first();
    // Ticks at whole steps from the start of the drive.
    qint64 t = origin + ((view_.begin() - origin + step - 1) / step) * step;
    for (; t <= view_.end(); t += step) {
        const int x = r.left() + int(std::lround(view_.xOf(t, r.width())));
        p.setPen(Grid);
        p.drawLine(x, r.top(), x, r.bottom());
        p.setPen(palette().color(QPalette::WindowText));
        const QString text = live::LogView::timeText(t - origin, step);
        const int w = fm.horizontalAdvance(text);
        p.drawText(std::clamp(x - w / 2, r.left(), r.right() - w), r.bottom() + fm.ascent() + 3, text);
    }
}

void LogChart::paintMarkers(QPainter& p, const QRect& r) {
    p.setPen(QPen(BrokenColor, 1));
    for (int x : view_.markerColumns(view_.brokenFrames(), r.width()))
        p.drawLine(r.left() + x, r.bottom() - 7, r.left() + x, r.bottom());
    p.setPen(QPen(SwitchOverColor, 1.5, Qt::DashLine));
    for (int x : view_.markerColumns(view_.switchOvers(), r.width())) {
        p.drawLine(r.left() + x, r.top(), r.left() + x, r.bottom());
        const QPoint tip(r.left() + x, r.top());
        p.setBrush(SwitchOverColor);
        p.drawPolygon(QPolygon({tip, tip + QPoint(-4, -6), tip + QPoint(4, -6)}));
    }
    p.setBrush(Qt::NoBrush);
}

void LogChart::paintLegend(QPainter& p, const QRect& r) {
    const QFontMetrics fm = fontMetrics();
    int x = r.left();
    const int y = r.top() - Margin / 2 - fm.descent();
    auto item = [&](const QColor& c, const QString& text) {
        if (text.isEmpty()) return;
        p.setPen(c);
        const QString shown = fm.elidedText(text, Qt::ElideRight, std::max(0, r.right() - x));
        p.drawText(x, y, shown);
        x += fm.horizontalAdvance(shown) + fm.horizontalAdvance(QStringLiteral("   "));
    };
    for (const Trace& t : traces_)
        item(t.color.darker(130), t.name);
    if (!view_.switchOvers().isEmpty()) item(SwitchOverColor, switchOverCaption_);
    if (!view_.brokenFrames().isEmpty()) item(BrokenColor, brokenCaption_);
    // The cursor's time, at its foot.
    const QString at = live::LogView::timeText(view_.cursor() - view_.first(), 10);
    const double cx = r.left() + view_.xOf(view_.cursor(), r.width());
    if (cx >= r.left() && cx <= r.right()) {
        const int w = fm.horizontalAdvance(at) + 6;
        const QRect box(std::clamp(int(cx) - w / 2, r.left(), r.right() - w), r.bottom() - fm.height() - 1, w,
                        fm.height());
        p.fillRect(box, palette().color(QPalette::WindowText));
        p.setPen(palette().color(QPalette::Window));
        p.drawText(box, Qt::AlignCenter, at);
    }
}

void LogChart::moveCursorTo(qint64 ms) {
    view_.setCursor(ms);
    update();
    emit cursorMoved();
}

qint64 LogChart::zoomAnchor() const {
    const qint64 c = view_.cursor();
    return c >= view_.begin() && c <= view_.end() ? c : view_.begin() + view_.span() / 2;
}

void LogChart::keyPressEvent(QKeyEvent* e) {
    if (view_.empty()) return QWidget::keyPressEvent(e);
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int width = plotRect().width();
    switch (e->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Up:
        view_.zoom(0.5, zoomAnchor());
        break;
    case Qt::Key_Minus:
    case Qt::Key_Down:
        view_.zoom(2.0, zoomAnchor());
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int dir = e->key() == Qt::Key_Left ? -1 : 1;
        if (ctrl)
            view_.pan(0.1 * dir);
        else {
            view_.stepCursor(dir * (e->modifiers() & Qt::ShiftModifier ? 20 : 1), width);
            emit cursorMoved();
        }
        break;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const qint64 before = view_.begin();
        view_.pan(e->key() == Qt::Key_PageUp ? -0.9 : 0.9);
        moveCursorTo(view_.cursor() + view_.begin() - before);
        break;
    }
    case Qt::Key_Home:
        moveCursorTo(view_.first());
        break;
    case Qt::Key_End:
        moveCursorTo(view_.last());
        break;
    case Qt::Key_0:
        view_.showAll();
        break;
    case Qt::Key_N:
    case Qt::Key_P:
        moveCursorTo(view_.nextMarker(e->key() == Qt::Key_N ? 1 : -1));
        break;
    default:
        return QWidget::keyPressEvent(e);
    }
    update();
}

void LogChart::wheelEvent(QWheelEvent* e) {
    if (view_.empty()) return;
    const QRect r = plotRect();
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0) return;
    if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) {
        view_.pan(-0.1 * notches);
    } else {
        const qint64 at = view_.timeAt(e->position().x() - r.left(), r.width());
        view_.zoom(std::pow(0.8, notches), at);
    }
    update();
    e->accept();
}

void LogChart::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || view_.empty()) return QWidget::mousePressEvent(e);
    pressed_ = true;
    dragging_ = false;
    pressPos_ = e->position().toPoint();
    pressBegin_ = view_.begin();
}

void LogChart::mouseMoveEvent(QMouseEvent* e) {
    if (!pressed_) return;
    const int dx = e->position().toPoint().x() - pressPos_.x();
    if (!dragging_ && std::abs(dx) < DragThreshold) return;
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    const QRect r = plotRect();
    const qint64 shift = std::llround(double(dx) * double(view_.span()) / std::max(1, r.width()));
    view_.setWindow(pressBegin_ - shift, pressBegin_ - shift + view_.span());
    update();
}

void LogChart::mouseReleaseEvent(QMouseEvent* e) {
    if (!pressed_ || e->button() != Qt::LeftButton) return;
    pressed_ = false;
    unsetCursor();
    if (!dragging_) {
        // The row nearest to the click.
        const qint64 t = view_.timeAt(e->position().x() - plotRect().left(), plotRect().width());
        const live::LogData& log = *view_.log();
        const int after = log.firstRowFrom(t);
        const bool later =
            after < log.rows() && (after == 0 || log.timeMs[after] - t < t - log.timeMs[after - 1]);
        moveCursorTo(later ? log.timeMs[after] : t);
    }
    dragging_ = false;
}
