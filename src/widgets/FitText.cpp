#include "widgets/FitText.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace {

constexpr qreal SmallestPoints = 6.0;

bool fits(const QFont& f, const QString& text, const QSize& room) {
    const QFontMetrics fm(f);
    return fm.horizontalAdvance(text) <= room.width() && fm.height() <= room.height();
}

class Fitter : public QObject {
public:
    explicit Fitter(QLabel* label) : QObject(label), label_(label) { label->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != label_ || event->type() != QEvent::Paint || label_->wordWrap()) return false;
        const QString text = label_->text();
        const QRect room = label_->contentsRect().adjusted(label_->margin(), label_->margin(),
                                                           -label_->margin(), -label_->margin());
        QFont f = label_->font();
        if (text.isEmpty() || fits(f, text, room.size())) return false;
        qreal points = f.pointSizeF() > 0 ? f.pointSizeF() : QFontInfo(f).pointSizeF();
        while (points > SmallestPoints) {
            points -= 0.5;
            f.setPointSizeF(points);
            if (fits(f, text, room.size())) break;
        }
        QPainter p(label_);
        p.setFont(f);
        const int flags = int(label_->alignment()) | (label_->buddy() ? int(Qt::TextShowMnemonic) : 0);
        label_->style()->drawItemText(&p, room, flags, label_->palette(), label_->isEnabled(), text,
                                      label_->foregroundRole());
        return true;
    }

private:
    QLabel* label_;
};

} // namespace

void fitTextToBox(QLabel* label) {
    if (label) new Fitter(label);
}
