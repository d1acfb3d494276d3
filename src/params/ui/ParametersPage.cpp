#include "params/ui/ParametersPage.h"
#include "core/Controls.h"

#include "core/DataPaths.h"
#include "core/SessionTexts.h"
#include "core/TextKeys.h"
#include "live/LiveModel.h"
#include "params/KeyboardMap.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/Validation.h"
#include "params/ui/DifferencesDialog.h"
#include "params/ui/HistoryDialog.h"
#include "params/ui/PageTexts.h"
#include "params/ui/ParametersPageParts.h"
#include "widgets/TColorButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Id = ctl::ControlId;

using namespace parametrypage;

ParametersPage::ParametersPage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(ctl::name(Id::ParametryTab));
    buildControls();
    buildLayout();
    connectReactions();
    setTabOrderChain();
    fillFrom(m_.params.page());
    applyFeatures(m_.live.features());

    connect(&m_.params, &ParameterModel::filled, this, [this] { fillFrom(m_.params.page()); });
    connect(&m_.params, &ParameterModel::marksChanged, this, &ParametersPage::showMarks);
    connect(&m_.live, &LiveModel::featuresChanged, this, &ParametersPage::applyFeatures);

    // What the session's exchanges bring.
    params::ParameterSession& session = m_.paramSession;
    session.setCaptions([this](ParamId id) { return caption(id); });
    session.setItems([this](ParamId id, int item) {
        const ParamDef& d = paramDef(id);
        return pagetexts::text(m_.shell, pagetexts::listItemKey(d.control, item), d.items.value(item));
    });
    connect(&m_.shell, &ShellModel::textsChanged, &session, &params::ParameterSession::rewordMarks);
    connect(&session, &params::ParameterSession::message, this,
            [this](params::ParameterSession::Severity s, const QString& caption, const QString& text) {
                using S = params::ParameterSession::Severity;
                const QMessageBox::Icon icon = s == S::Critical      ? QMessageBox::Critical
                                               : s == S::Warning     ? QMessageBox::Warning
                                               : s == S::Information ? QMessageBox::Information
                                                                     : QMessageBox::NoIcon;
                showMessage(icon, caption, text);
            });
    connect(&session, &params::ParameterSession::featureVersionRead, this,
            [this](int code) { m_.live.setVersionCode(code >= 0 ? code : m_.live.versionCode()); });
    connect(&session, &params::ParameterSession::ignitionRead, &m_.live, &LiveModel::setIgnitionChoice);
    connect(&session, &params::ParameterSession::wizardFinished, this, [this] {
        m_.shell.keyboardFlag = false;
        control(ctl::name(Id::ComboBox1))->setFocus(Qt::OtherFocusReason);
    });
    connect(&session, &params::ParameterSession::compared, this, &ParametersPage::showDifferences);
    connect(&session, &params::ParameterSession::restorePointsListed, this, &ParametersPage::showHistory);
    connect(&session, &params::ParameterSession::compareFailed, this,
            [this](const QString& text) { showMessage(QMessageBox::Warning, compare_->text(), text); });
}

// ---------------------------------------------------------------- access

QLineEdit* ParametersPage::edit(const QString& name) const {
    return qobject_cast<QLineEdit*>(control(name));
}
QComboBox* ParametersPage::combo(const QString& name) const {
    return qobject_cast<QComboBox*>(control(name));
}
QCheckBox* ParametersPage::checkBox(const QString& name) const {
    return qobject_cast<QCheckBox*>(control(name));
}

QString ParametersPage::textOf(const QString& name) const {
    if (QLineEdit* le = edit(name)) return le->text();
    return {};
}

bool ParametersPage::commentsOn() const {
    return !commentsOff_->isChecked();
}

void ParametersPage::showMessage(QMessageBox::Icon icon, const QString& caption, const QString& fullText) {
    const QString text = shortened(fullText);
    if (messageHandler_) {
        messageHandler_(icon, caption, text);
        return;
    }
    // A wait cursor over a message box would hide that the program waits for the fitter.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    if (busy) QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------- transfers

void ParametersPage::fillFrom(const ParameterSet& set) {
    filling_ = true;
    // Check boxes first: their reactions set dependent fields (the Bosch box
    // sets both lambda times), and the values of the set must win over them.
    for (ParamId id : bindings()) {
        if (QCheckBox* box = checkBox(controlOf(id))) box->setChecked(flagOn(set[id]));
    }
    for (ParamId id : bindings()) {
        const QString name = controlOf(id);
        const QString& value = set[id];
        if (QLineEdit* le = edit(name)) {
            le->setText(value);
        } else if (QComboBox* cb = combo(name)) {
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            cb->setCurrentIndex(ok && index >= 0 && index < cb->count() ? index : -1);
        }
    }
    edit(ctl::name(Id::Edit10))->setEnabled(combo(ctl::name(Id::ComboBox9))->currentIndex() > 0);
    const bool cutoff = set[ParamId::CutoffOn] == QLatin1String("1");
    edit(ctl::name(Id::Edit16))->setEnabled(cutoff);
    edit(ctl::name(Id::Edit17))->setEnabled(cutoff);
    filling_ = false;
    for (ParamId id : bindings())
        pushToModel(controlOf(id));
}

void ParametersPage::pushToModel(const QString& name) {
    // While the page is being filled the controls pass through values the set
    // does not hold (a check box's reaction); the model takes the end result.
    if (filling_) return;
    if (const ParamDef* d = paramByControl(name)) {
        QString value;
        if (QLineEdit* le = edit(name))
            value = le->text();
        else if (QComboBox* cb = combo(name))
            value = QString::number(cb->currentIndex());
        else if (QCheckBox* box = checkBox(name))
            value = box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        m_.params.setPageValue(d->id, value);
    }
}

// ---------------------------------------------------------------- exchanges

QString ParametersPage::caption(ParamId id) const {
    const ParamDef& d = paramDef(id);
    const QString source = d.labels.empty() ? QString() : d.labels.front().name;
    return pagetexts::text(m_.shell, pagetexts::captionKey(source), d.label);
}

ParametersPage::Edits ParametersPage::askAboutUnwritten() {
    const std::vector<ParamId> unwritten = m_.params.unwrittenValues();
    if (unwritten.empty()) return Edits::Discard;
    namespace st = params::sessiontext;
    const params::ParameterSession& session = m_.paramSession;
    const QString text = shortened(session.text(st::UnwrittenQuestion).arg(session.captions(unwritten)));
    if (questionHandler_) return questionHandler_(text);
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quendrix"), text, QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("NiezapisaneBox"));
    box.setTextFormat(Qt::PlainText);
    QPushButton* write = box.addButton(session.text(st::UnwrittenWrite), QMessageBox::YesRole);
    QPushButton* discard = box.addButton(session.text(st::UnwrittenDiscard), QMessageBox::NoRole);
    QPushButton* keep = box.addButton(session.text(st::UnwrittenKeep), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    return box.clickedButton() == write     ? Edits::Write
           : box.clickedButton() == discard ? Edits::Discard
                                            : Edits::Keep;
}

void ParametersPage::applyFeatures(const live::VersionFeatures& f) {
    for (Id name : {Id::CheckBox22_2, Id::Edit22_1})
        control(ctl::name(name))->setVisible(f.temperatureControls);
    for (Id name : {Id::checkbox22_2_label, Id::minprzelbgLabel})
        labels_.value(ctl::name(name))->setVisible(f.temperatureControls);
}

void ParametersPage::showMarks() {
    for (ParamId id : bindings()) {
        QWidget* w = control(controlOf(id));
        const FieldMark* mark = m_.params.markOf(id);
        const bool marked = mark != nullptr;
        if (w->property("marked").toBool() == marked && (!marked || w->toolTip() == mark->message)) continue;
        w->setProperty("marked", marked);
        w->setToolTip(marked ? mark->message : QString());
        // A frame and a warm background stand out under every skin.
        w->setStyleSheet(marked ? QStringLiteral("background-color: #ffd27f; border: 2px solid #c03000;")
                                : QString());
    }
    if (const keyboard::EntryControl* e = keyboard::entryControl(focused_)) {
        QString comment;
        if (e->commentKey) comment = m_.shell.text(e->commentKey, e->comment);
        showInfo(focused_, comment);
    }
}

void ParametersPage::showInfo(const QString& control, const QString& comment) {
    QString text = commentsOn() ? comment : QString();
    // A marked field's warning shows whether comments are on or not.
    if (const ParamDef* d = paramByControl(control))
        if (const FieldMark* mark = m_.params.markOf(d->id))
            text = text.isEmpty() ? mark->message : text + QStringLiteral("\n") + mark->message;
    info_->setText(text);
}

void ParametersPage::enterPage() {
    m_.paramSession.enterPage(askAboutUnwritten());
    QWidget* first = control(ctl::name(Id::ComboBox1));
    if (first->hasFocus())
        focusDisplay(first->objectName());
    else
        first->setFocus(Qt::OtherFocusReason);
}

void ParametersPage::odczButPicClick() {
    const Edits edits = askAboutUnwritten();
    if (edits != Edits::Keep) {
        if (!m_.shell.keyboardFlag) control(ctl::name(Id::ComboBox1))->setFocus(Qt::OtherFocusReason);
        m_.paramSession.read(edits);
    }
    m_.shell.keyboardFlag = false;
}

void ParametersPage::ZapButPicClick() {
    const bool keyboard = m_.shell.keyboardFlag;
    if (!keyboard) control(ctl::name(Id::ComboBox1))->setFocus(Qt::OtherFocusReason);
    m_.paramSession.write(keyboard ? params::ParameterSession::WriteKind::Keyboard
                                   : params::ParameterSession::WriteKind::Button);
    m_.shell.keyboardFlag = false;
}

void ParametersPage::ResButtClick() {
    if (!m_.shell.keyboardFlag) control(ctl::name(Id::ComboBox1))->setFocus(Qt::OtherFocusReason);
    m_.paramSession.reset();
    m_.shell.keyboardFlag = false;
}

void ParametersPage::finishWizard() {
    m_.paramSession.finishWizard();
}

// ---------------------------------------------------------------- files

QString ParametersPage::chooseFile(FileDialogKind kind) {
    if (fileChooser_) return fileChooser_(kind);
    const bool save = kind == FileDialogKind::Save;
    QAbstractButton* button =
        buttons_.value(save ? ctl::name(Id::ZapiszButtPlik) : ctl::name(Id::OdczytButtPlik));
    QFileDialog dialog(this, button->text(), shell::parameterDialogFolder(save),
                       m_.shell.text(textkey::ParameterFiles));
    const QStringList labels = fileBoxLabels(m_.shell, save);
    for (int i = 0; i < labels.size(); ++i)
        dialog.setLabelText(QFileDialog::DialogLabel(i), labels[i]);
    dialog.setObjectName(save ? ctl::name(Id::SaveParametry) : ctl::name(Id::OtworzParam));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("qx4"));
    // The save dialog asks before replacing a file (QFileDialog's default).
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void ParametersPage::ZapiszButtPlikClick() {
    const QString path = chooseFile(FileDialogKind::Save);
    if (path.isEmpty()) return;
    QString error;
    if (!saveParameterFile(path, m_.params.page(), &error))
        showMessage(QMessageBox::Critical, QStringLiteral("Quendrix"), error);
}

void ParametersPage::OdczytButtPlikClick() {
    const QString path = chooseFile(FileDialogKind::Open);
    if (path.isEmpty()) return;
    m_.paramSession.loadFile(path, m_.live.temperatureCapable());
}

// ---------------------------------------------------------------- comparison

void ParametersPage::fitCompareCaption() {
    const QString caption =
        pagetexts::text(m_.shell, pagetexts::CompareCaption, QString::fromUtf8("Porównaj ze sterownikiem"));
    if (compare_->text() != caption) compare_->setText(caption);
    const QString historyCaption = m_.paramSession.text(params::sessiontext::HistoryCaption);
    if (historyButton_->text() != historyCaption) historyButton_->setText(historyCaption);
    // A caption longer than the button is wide goes onto more lines: the
    // button is as tall as they need (its caption sits 6 px in from each side
    // and 3 px from top and bottom).
    const int width = std::max(compare_->width(), 120) - 14;
    const QRect need = compare_->fontMetrics().boundingRect(QRect(0, 0, width, 400),
                                                            Qt::TextWordWrap | Qt::AlignCenter, caption);
    compare_->setMinimumHeight(std::max(28, need.height() + 10));
}

void ParametersPage::PorownajButtClick() {
    m_.paramSession.compare();
}

void ParametersPage::showDifferences(const std::vector<ParamDifference>& differences,
                                     const QStringList& marked) {
    if (differences_) differences_->close();
    // Fields whose bytes the page cannot show are never "the same".
    const QString markedNote =
        marked.isEmpty()
            ? QString()
            : m_.paramSession.text(params::sessiontext::CompareMarked).arg(marked.join(QStringLiteral(", ")));
    if (differences.empty() && marked.isEmpty()) {
        showMessage(QMessageBox::Information, compare_->text(),
                    pagetexts::text(m_.shell, pagetexts::CompareSame,
                                    QString::fromUtf8("Strona pokazuje te same parametry co sterownik.")));
        return;
    }
    if (differences.empty()) {
        showMessage(QMessageBox::Warning, compare_->text(), markedNote);
        return;
    }
    const QStringList headers = {
        pagetexts::text(m_.shell, pagetexts::CompareParameter, QStringLiteral("Parametr")),
        pagetexts::text(m_.shell, pagetexts::ComparePage, QStringLiteral("Na stronie")),
        pagetexts::text(m_.shell, pagetexts::CompareController, QStringLiteral("W sterowniku"))};
    differences_ = makeDifferencesDialog(this, compare_->text(), headers, differences,
                                         m_.paramSession.text(params::sessiontext::CompareClose), markedNote);
    differences_->show();
}

void ParametersPage::HistoriaButtClick() {
    m_.paramSession.listRestorePoints();
}

void ParametersPage::showHistory(const std::vector<params::ParameterSession::PointRow>& rows) {
    if (historyDialog_) historyDialog_->close();
    if (rows.empty()) {
        showMessage(QMessageBox::Information, historyButton_->text(),
                    m_.paramSession.text(params::sessiontext::HistoryNone));
        return;
    }
    historyDialog_ = makeHistoryDialog(this, m_.paramSession, rows, [this](int id) {
        m_.paramSession.whenIdle(this, [this, id] { m_.paramSession.restorePoint(id); });
    });
    historyDialog_->show();
}

void ParametersPage::DefaultOptionClick() {
    m_.paramSession.defaultSettings(askAboutUnwritten());
}

// ---------------------------------------------------------------- checks

bool ParametersPage::runCheck(QLineEdit* field, bool enter) {
    const validation::FieldRule* rule = validation::fieldRule(field->objectName());
    if (!rule || checking_) return true;
    checking_ = true;
    const validation::Checked r =
        validation::checkField(*rule, field->text(), enter, [this](const QString& n) { return textOf(n); });
    if (r.text != field->text()) field->setText(r.text);
    if (!r.ok())
        showMessage(QMessageBox::Critical, QStringLiteral("Quendrix"),
                    validation::faultMessage(r, m_.shell.text(textkey::NotFloat),
                                             m_.shell.text(textkey::NotInteger)));
    checking_ = false;
    return r.ok();
}

bool ParametersPage::checkOnLeave(QLineEdit* field) {
    return runCheck(field, false);
}
bool ParametersPage::checkOnEnter(QLineEdit* field) {
    return runCheck(field, true);
}

bool ParametersPage::leaveByTab() {
    // The field being edited is left by this click too; its check comes first.
    if (auto* le = qobject_cast<QLineEdit*>(QApplication::focusWidget()); le && isAncestorOf(le))
        if (!checkOnLeave(le)) return false;

    const validation::LeaveResult r = validation::leaveChecks(
        textOf(ctl::name(Id::Edit11_1)), textOf(ctl::name(Id::Edit11_2)), textOf(ctl::name(Id::Edit12)),
        textOf(ctl::name(Id::Edit14)), textOf(ctl::name(Id::Edit2)), textOf(ctl::name(Id::Edit18)));
    for (const validation::LeaveMessage& m : r.messages)
        showMessage(QMessageBox::Critical, QStringLiteral("Quendrix"), m_.shell.text(m.textKey) + m.suffix);
    return r.allowed;
}
