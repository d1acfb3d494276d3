#pragma once
// The parameters page driven through its real widgets, with the controller
// link replaced by FakePort/FakeClock so every write is checked byte by byte.
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "params/ParamTable.h"
#include "params/ParameterJobs.h"
#include "params/ParameterModel.h"
#include "params/Validation.h"
#include "params/ui/ParametersPage.h"
#include "support/ModelsRig.h"
#include "support/ParamBlocks.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};

// The block a controller holds after the default set was written with the
// ignition "4 cylindry" (constant 4800).
inline QByteArray defaultBlock() {
    const ParameterBlock b = defaultParameterBlock();
    return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size()));
}

struct Rig : ModelsRig {
    std::vector<Message> messages;
    QStringList questions; // asked before a read replaced unwritten values
    ParametersPage::Edits answer = ParametersPage::Edits::Discard;
    QByteArray block = defaultBlock();
    int version = 4;
    std::unique_ptr<QWidget> window;
    ParametersPage* page = nullptr;

    Rig() {
        port.responder = [this](std::uint8_t b) -> QByteArray {
            if (b == 0x01) return QByteArray(1, char(version)) + QByteArray(7, '\0');
            if (b == 0x09) return block;
            return {};
        };
        window = std::make_unique<QWidget>();
        QFont font(QStringLiteral("Arial")); // as the main window sets it
        font.setPixelSize(11);
        window->setFont(font);
        window->resize(799, 480);
        page = new ParametersPage(models(), window.get());
        page->resize(799, 480);
        page->setMessageHandler([this](QMessageBox::Icon i, const QString& c, const QString& t) {
            messages.push_back({i, c, t});
        });
        page->setQuestionHandler([this](const QString& t) {
            questions << t;
            return answer;
        });
        // The main window's hidden menu entries "Dalej" and "Cofnij".
        auto* dalej = new QAction(window.get());
        dalej->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
        QObject::connect(dalej, &QAction::triggered, page, &ParametersPage::dalejPressed);
        window->addAction(dalej);
        auto* cofnij = new QAction(window.get());
        cofnij->setShortcut(QKeySequence(Qt::Key_Backspace));
        QObject::connect(cofnij, &QAction::triggered, page, &ParametersPage::cofnijPressed);
        window->addAction(cofnij);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T> T* w(const char* name) const {
        T* x = page->findChild<T*>(QString::fromLatin1(name));
        if (!x) qFatal("no control %s", name);
        return x;
    }
    QLineEdit* edit(const char* n) const { return w<QLineEdit>(n); }
    QComboBox* combo(const char* n) const { return w<QComboBox>(n); }
    QCheckBox* check(const char* n) const { return w<QCheckBox>(n); }
    QLabel* label(const char* n) const { return w<QLabel>(n); }
    QString focused() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    void focus(const char* n) {
        QWidget* x = w<QWidget>(n);
        x->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(x->hasFocus());
    }
    // Enters the page as the shell does after its common steps.
    void enter() {
        page->enterPage();
        waitIdle();
    }
    // What went out, once everything posted has run.
    std::vector<std::uint8_t> sent() const {
        waitIdle();
        return port.sentBytes();
    }
    bool polling() const { return link.isPolling(QStringLiteral("TimerParamOdcz")); }
    QString threshold() const { return params.pageValue(ParamId::AnalogThreshold); }
    // The automatic write a page change runs.
    void automaticWrite() {
        params.setWritten(false);
        paramSession.automaticWrite();
        waitIdle();
    }
    void clearLog() { log.clear(); }
    // Bytes sent after the first occurrence of a command in the write sequence.
    static QByteArray after(const std::vector<std::uint8_t>& bytes, std::uint8_t cmd, int n) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == cmd && i + n < bytes.size()) {
                QByteArray out;
                for (int k = 1; k <= n; ++k)
                    out.append(char(bytes[i + k]));
                return out;
            }
        return {};
    }
    bool wroteSequence() const {
        const auto b = sent();
        bool prefix = false;
        for (auto x : b) {
            if (x == 0xAA) prefix = true;
            if (prefix && x == 0x0A) return true;
        }
        return false;
    }
};

inline bool highlighted(QLabel* l) {
    return l->autoFillBackground();
}

} // namespace

class TestParametersPage : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::restoreOverrideCursor(); }

    void startState();
    void enterReadsFillsAndPolls();
    void checksOnLeaving_data();
    void checksOnLeaving();
    void keyFilters();
    void unreadableTextShowsMessage();
    void pasteIsFilteredAsTyping();
    void pairRulesOnPage();
    void enterInEditChecksWritesAndMovesOn();
    void enterInMaxRpmWritesUncorrectedValue();
    void checkBoxReactions();
    void fillKeepsReadLambdaTimes();
    void listChangeEnablesDelta();
    void writtenFlagEvents();
    void pageKeyWalk();
    void pageKeysSkipDisabledAndHidden();
    void enterOpensListAndClosingEnterWrites();
    void closingEnterInTpsListLeavesFlagCleared();
    void listClosedOtherwiseThenEnterDoesNothing();
    void enterOnButtonRunsItsAction();
    void backspaceIsLeftAndDelete();
    void commentsAndPanel();
    void highlightOfSharedLabels();
    void labelClicks();
    void writeButtonBytes();
    void resetLoadsDefaultsAndWrites();
    void readButton();
    void readFailureKeepsThePage();
    void fieldsTheControllerHoldsOtherwiseAreMarked();
    void automaticWriteHook();
    void enterInCheckBoxWritesAndMovesOn();
    void writeMessagesAfterTheSequence();
    void defaultOptionReadsWithoutWriting();
    void leaveChecks_data();
    void leaveChecks();
    void render();
    void historyHeadingsFit();
};
