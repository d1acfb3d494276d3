#pragma once
#include "core/PageHooks.h"
#include "core/ShellModel.h"
#include "params/Encoding.h"
#include "params/ParameterSession.h"
#include "params/ParameterSet.h"

#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QAbstractButton;
class QDialog;
class QGroupBox;
class QVBoxLayout;
class ReadingsPanel;
class TColorButton;
struct ParamDifference;
namespace shell::layout {
struct ParamPageNumbers;
}
namespace live {
struct VersionFeatures;
}

// The parameters page "Parametry systemu": the 27 entry controls of the
// parameter set in six group boxes, the read / write / reset buttons, the
// comment area and the readings panel. Entry rules live in params/Validation,
// the keyboard facts in params/KeyboardMap; this class only wires them to the
// widgets and runs the exchanges with the controller.
class ParametersPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit ParametersPage(Models models, QWidget* parent = nullptr);

    void enterPage() override;
    bool leaveByTab() override;

    // The hidden menu entries "Dalej" (Enter) and "Cofnij" (Backspace) while this page is shown.
    void dalejPressed();
    void cofnijPressed();

    // Buttons.
    void odczButPicClick();
    void ZapButPicClick();
    void ResButtClick();
    // Parameter files: the page's contents saved as they stand, or a file
    // checked whole and then loaded into the page (nothing is sent).
    void ZapiszButtPlikClick();
    void OdczytButtPlikClick();
    // "Porównaj ze sterownikiem": reads the controller's block and lists the
    // parameters whose page value differs; the page and the controller stay as they are.
    void PorownajButtClick();
    // The list of differences last shown (null when none is open).
    QDialog* differencesDialog() const { return differences_; }
    // "Historia": the restore points, one of them restored from the list.
    void HistoriaButtClick();
    QDialog* historyDialog() const { return historyDialog_; }
    // The parameter side of the "Domyślne ustawienia" menu command: block read,
    // page filled, port opened. Nothing is written.
    void DefaultOptionClick();
    // The wizard's finishing on this page: block read, version-dependent
    // controls, fill, then the write of what was read, by the one rule of
    // automatic writes; the readings poll runs afterwards.
    void finishWizard();

    bool commentsOn() const;
    // The screen-size layout's numbers: font sizes by control kind, the field
    // column and the group width; the page's Qt layouts place the rest.
    void applyLayoutNumbers(const shell::layout::ParamPageNumbers& numbers);
    // The highlight colour may change with the skin; re-applies it to the focused field's label.
    void refreshLabelHighlight();

    // Every message box of the page goes through this; tests replace it.
    using MessageHandler =
        std::function<void(QMessageBox::Icon icon, const QString& caption, const QString& text)>;
    void setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }
    void showMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);
    // Before a read replaces values the controller never got, the fitter is
    // asked: write them, discard them, or keep the page. Tests replace it.
    using Edits = params::ParameterSession::Edits;
    using QuestionHandler = std::function<Edits(const QString& text)>;
    void setQuestionHandler(QuestionHandler handler) { questionHandler_ = std::move(handler); }

    // The file dialogs OtworzParam and SaveParametry; tests replace them. An
    // empty path means the dialog was cancelled.
    enum class FileDialogKind { Open, Save };
    using FileChooser = std::function<QString(FileDialogKind kind)>;
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }

    // Page state of the keyboard handling (read by tests and the shell).
    bool openListFlag() const { return openList_; }
    int lastListNumber() const { return lastList_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildLayout();
    void sizeFields();
    void connectReactions();
    void setTabOrderChain();

    QWidget* control(const QString& name) const { return controls_.value(name); }
    QLineEdit* edit(const QString& name) const;
    QComboBox* combo(const QString& name) const;
    QCheckBox* checkBox(const QString& name) const;
    QString textOf(const QString& name) const;

    void fillFrom(const ParameterSet& set);
    void pushToModel(const QString& control);
    void applyFeatures(const live::VersionFeatures& f);
    // Fields that cannot show what the controller holds: highlighted, with the
    // controller's value in their tool tip and, when focused, in the comment area.
    void showMarks();
    // The comment area for a focused control: its comment (when comments are
    // on) and the warning of a marked field.
    void showInfo(const QString& control, const QString& comment);
    // What to do with the page's unwritten values before a read replaces them.
    Edits askAboutUnwritten();
    // A parameter's caption in the current language.
    QString caption(ParamId id) const;

    // Field checks; false when the text could not be read (a message was shown).
    bool checkOnLeave(QLineEdit* field);
    bool checkOnEnter(QLineEdit* field);
    bool runCheck(QLineEdit* field, bool enter);

    void focusDisplay(const QString& name);
    void clearHighlights();
    void highlightLabels(const QString& control);
    void moveByPageKey(QWidget* from, bool down);
    void listActivated(QComboBox* list);
    void closingEnter(QComboBox* list);
    void labelClicked(const QString& label);

    bool filterEditKey(QLineEdit* field, QKeyEvent* key);
    bool handleEntryKey(QWidget* w, QKeyEvent* key);

    QString chooseFile(FileDialogKind kind);
    void showDifferences(const std::vector<ParamDifference>& differences, const QStringList& marked);
    void showHistory(const std::vector<params::ParameterSession::PointRow>& rows);
    // The compare button's caption in the current language, on as many lines as it needs.
    void fitCompareCaption();

    // Enter's write: only with the focus inside the page and the page filled.
    void keyboardWrite();

    Models m_;
    QHash<QString, QWidget*> controls_;
    QHash<QString, QLabel*> labels_;
    QHash<QString, QAbstractButton*> buttons_;
    QList<QLabel*> captionColumn_; // the labels in the groups' first column
    QList<QGroupBox*> groups_;
    QVBoxLayout* rightColumn_ = nullptr;
    QStringList tabOrder_;
    QLabel* info_ = nullptr;
    QCheckBox* commentsOff_ = nullptr;
    ReadingsPanel* readings_ = nullptr;
    TColorButton* compare_ = nullptr;
    TColorButton* historyButton_ = nullptr;
    QPointer<QDialog> differences_;
    QPointer<QDialog> historyDialog_;
    FileChooser fileChooser_;
    QString focused_; // entry control that last received the focus
    bool openList_ = false;
    int lastList_ = 0;
    bool checking_ = false;
    bool filling_ = false;
    MessageHandler messageHandler_;
    QuestionHandler questionHandler_;
};
