// The parameters page: focus display, page keys, Enter and Backspace.
#include "core/Controls.h"
#include "params/ui/ParametersPage.h"

#include "core/PageMetrics.h"
#include "core/SessionTexts.h"
#include "live/LiveModel.h"
#include "params/KeyboardMap.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/Validation.h"
#include "params/ui/ParametersPageParts.h"
#include "params/ui/PasteFilter.h"
#include "ui/Instruments.h"
#include "ui/ReadingsPanel.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

using Id = ctl::ControlId;

using namespace parametrypage;

// ---------------------------------------------------------------- focus and keys

void ParametersPage::clearHighlights() {
    // Transparent again; the palette (a skin may have set it) is left alone.
    for (const QString& name : keyboard::captionLabels())
        if (QLabel* l = labels_.value(name)) l->setAutoFillBackground(false);
}

void ParametersPage::highlightLabels(const QString& name) {
    clearHighlights();
    const keyboard::EntryControl* e = keyboard::entryControl(name);
    if (!e) return;
    for (const QString& label : e->highlight)
        if (QLabel* l = labels_.value(label)) {
            QPalette p = l->palette();
            p.setColor(QPalette::Window, tColor(m_.shell.labelHighlight));
            l->setPalette(p);
            l->setAutoFillBackground(true);
        }
}

void ParametersPage::refreshLabelHighlight() {
    highlightLabels(focused_);
}

void ParametersPage::focusDisplay(const QString& name) {
    const keyboard::EntryControl* e = keyboard::entryControl(name);
    if (!e) return;
    focused_ = name;
    QString comment;
    if (e->commentKey) {
        comment = m_.shell.text(e->commentKey);
        if (comment.isEmpty()) comment = e->comment;
    }
    showInfo(name, comment);

    highlightLabels(name);

    switch (e->panel) {
    case keyboard::PanelRule::Comment:
        m_.shell.setMessage(comment);
        break;
    case keyboard::PanelRule::Clear:
        m_.shell.setMessage(QString());
        break;
    case keyboard::PanelRule::Keep:
        break;
    }
    lastList_ = e->listNumber;
    if (name == ctl::name(Id::ComboBox20) || name == ctl::name(Id::ComboBox21)) m_.params.setWritten(false);
}

void ParametersPage::moveByPageKey(QWidget* from, bool down) {
    const QString target = keyboard::pageKeyTarget(
        from ? from->objectName() : QString(), down, tabOrder_, [this](const QString& n) {
            QWidget* w = controls_.contains(n)             ? control(n)
                         : buttons_.contains(n)            ? static_cast<QWidget*>(buttons_.value(n))
                         : n == commentsOff_->objectName() ? commentsOff_
                                                           : nullptr;
            return w && w->isEnabled() && !w->isHidden() && w->isVisibleTo(this);
        });
    if (target.isEmpty()) return;
    QWidget* w = controls_.contains(target)  ? control(target)
                 : buttons_.contains(target) ? static_cast<QWidget*>(buttons_.value(target))
                                             : commentsOff_;
    w->setFocus(down ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void ParametersPage::listActivated(QComboBox* list) {
    m_.params.setWritten(false);
    if (list->objectName() == ctl::name(Id::ComboBox9))
        edit(ctl::name(Id::Edit10))->setEnabled(list->currentIndex() != 0);
}

void ParametersPage::closingEnter(QComboBox* list) {
    const int highlighted = list->view()->currentIndex().row();
    list->hidePopup();
    if (highlighted >= 0) list->setCurrentIndex(highlighted);
    // The highlighted item is the fitter's choice, as a selection with the mouse is.
    listActivated(list);
    keyboardWrite();
    moveByPageKey(list, true);
    openList_ = false;
    // ComboBox4 clears the flag on every character typed into it, this Enter included.
    if (list->objectName() == ctl::name(Id::ComboBox4)) m_.params.setWritten(false);
}

void ParametersPage::labelClicked(const QString& label) {
    if (label == ctl::name(Id::WylaczkomentarzeCheckLabel)) {
        commentsOff_->setFocus(Qt::MouseFocusReason);
        return;
    }
    const QString target = keyboard::labelTarget(label);
    QWidget* w = control(target);
    if (w && w->isEnabled() && w->isVisibleTo(this)) w->setFocus(Qt::MouseFocusReason);
}

void ParametersPage::keyboardWrite() {
    m_.paramSession.whenIdle(this, [this] {
        m_.shell.keyboardFlag = true;
        ZapButPicClick();
    });
}

void ParametersPage::dalejPressed() {
    QWidget* fw = QApplication::focusWidget();
    // A key that comes while the page is still being filled (the wizard has
    // just handed over, or the page was just entered), or while the focus is
    // elsewhere, would write a set the fitter has not seen.
    if (m_.paramSession.filling() || !fw || !isAncestorOf(fw)) return;
    const QString name = fw->objectName();
    if (QAbstractButton* b = buttons_.value(name)) {
        if (b->isEnabled()) b->click();
        return;
    }
    if (lastList_ >= 1 && lastList_ <= 5) {
        if (openList_) return;
        QComboBox* cb = combo(listName(lastList_));
        if (!cb->hasFocus()) cb->setFocus(Qt::OtherFocusReason);
        openList_ = true;
        cb->showPopup();
        return;
    }
    if (QLineEdit* le = edit(name))
        if (!checkOnEnter(le)) return;
    openList_ = false;
    keyboardWrite();
    moveByPageKey(fw, true);
}

void ParametersPage::cofnijPressed() {
    QWidget* fw = QApplication::focusWidget();
    if (!fw || !isAncestorOf(fw)) return;
    if (auto* le = qobject_cast<QLineEdit*>(fw)) {
        le->cursorBackward(false);
        le->del();
        return;
    }
    for (int key : {Qt::Key_Left, Qt::Key_Delete}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(fw, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(fw, &release);
    }
}

bool ParametersPage::filterEditKey(QLineEdit* field, QKeyEvent* key) {
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
        key->matches(QKeySequence::Copy))
        return true;
    if (key->key() == Qt::Key_Backspace) {
        cofnijPressed();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty()) return false;
    const QChar c = text.at(0);
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t') || c == QChar(27))
        return false; // Enter, Tab and Escape are not typing
    const validation::FieldRule* rule = validation::fieldRule(field->objectName());
    const validation::Filter filter = rule && rule->kind == validation::Kind::Decimal
                                          ? validation::Filter::Decimal
                                          : validation::Filter::Digit;
    const std::optional<QChar> pass = validation::filterKey(filter, c);
    if (!pass) return true;
    const bool typing = pass->unicode() != 8 && pass->unicode() != 127;
    if (typing && rule && field->text().size() - field->selectedText().size() >= rule->maxLength) return true;
    if (*pass != c) {
        field->insert(QString(*pass));
        return true;
    }
    return false;
}

bool ParametersPage::handleEntryKey(QWidget* w, QKeyEvent* key) {
    const keyboard::EntryControl* e = keyboard::entryControl(w->objectName());
    if (!e) return false;
    if (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp) {
        moveByPageKey(w, key->key() == Qt::Key_PageDown);
        return true;
    }
    switch (e->kind) {
    case ControlKind::Edit:
        return filterEditKey(static_cast<QLineEdit*>(w), key);
    case ControlKind::List: {
        const QString text = key->text();
        if (text.isEmpty() || text.at(0) == QLatin1Char('\t')) return false;
        // Typing does not select an item in these lists.
        if (e->control == ctl::name(Id::ComboBox4)) m_.params.setWritten(false);
        return text.at(0) != QLatin1Char('\r');
    }
    case ControlKind::Check:
        return false;
    }
    return false;
}

bool ParametersPage::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return QWidget::eventFilter(watched, event);
    if (w == compare_) {
        if (event->type() == QEvent::Resize) fitCompareCaption();
        return QWidget::eventFilter(watched, event);
    }
    const QString name = w->objectName();

    if (name.endsWith(QLatin1String("_view"))) {
        // The popup takes Enter already at the shortcut stage; the key press
        // that follows has nothing left to do.
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (event->type() == QEvent::ShortcutOverride && w->isVisible()) {
                    key->accept();
                    closingEnter(combo(name.chopped(5)));
                }
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

    if (labels_.contains(name) || name == ctl::name(Id::WylaczkomentarzeCheckLabel)) {
        if (event->type() == QEvent::MouseButtonPress) labelClicked(name);
        return QWidget::eventFilter(watched, event);
    }

    if (!controls_.contains(name)) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Returning from a message box or a list's popup is not entering the field.
        if ((reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) || name != focused_)
            focusDisplay(name);
        break;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (auto* le = qobject_cast<QLineEdit*>(w);
            le && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkOnLeave(le);
        break;
    }
    case QEvent::MouseButtonPress:
        if (qobject_cast<QLineEdit*>(w)) m_.params.setWritten(false);
        break;
    case QEvent::KeyPress:
        if (handleEntryKey(w, static_cast<QKeyEvent*>(event))) return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
