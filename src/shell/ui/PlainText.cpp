#include "shell/ui/PlainText.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPointer>
#include <QTextDocument>
#include <QToolTip>

namespace {

// A widget's own tool tip, escaped: shown as rich text it reads literally.
class PlainToolTips : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        const QString tip = w->toolTip();
        if (tip.isEmpty()) return false; // lists and tab bars show their items' own
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal), w, {}, w->toolTipDuration());
        return true;
    }
};

} // namespace

namespace plaintext {

void enforce(QWidget* root) {
    static QPointer<PlainToolTips> tips;
    if (!tips && qApp) {
        tips = new PlainToolTips(qApp);
        qApp->installEventFilter(tips);
    }
    if (!root) return;
    for (QLabel* l : root->findChildren<QLabel*>())
        l->setTextFormat(Qt::PlainText);
}

} // namespace plaintext
