// The parameters page driven through its real widgets, with the controller
// link replaced by FakePort/FakeClock so every write is checked byte by byte.
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "params/ParamTable.h"
#include "params/ParameterJobs.h"
#include "params/ParameterModel.h"
#include "params/Validation.h"
#include "params/ui/ParametryPage.h"
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
QByteArray defaultBlock() {
    const ParameterBlock b = defaultParameterBlock();
    return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size()));
}

struct Rig : ModelsRig {
    std::vector<Message> messages;
    QStringList questions; // asked before a read replaced unwritten values
    ParametryPage::Edits answer = ParametryPage::Edits::Discard;
    QByteArray block = defaultBlock();
    int version = 4;
    std::unique_ptr<QWidget> window;
    ParametryPage* page = nullptr;

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
        page = new ParametryPage(models(), window.get());
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
        QObject::connect(dalej, &QAction::triggered, page, &ParametryPage::dalejPressed);
        window->addAction(dalej);
        auto* cofnij = new QAction(window.get());
        cofnij->setShortcut(QKeySequence(Qt::Key_Backspace));
        QObject::connect(cofnij, &QAction::triggered, page, &ParametryPage::cofnijPressed);
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

bool highlighted(QLabel* l) {
    return l->autoFillBackground();
}

} // namespace

class TestParametryPage : public QObject {
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
};

void TestParametryPage::startState() {
    Rig r;
    QCOMPARE(r.page->objectName(), QStringLiteral("ParametryTab"));
    for (const char* g : {"GroupBox20", "GroupBox9", "GroupBox14", "GroupBox22", "GroupBox8", "GroupBox21"})
        QVERIFY2(r.page->findChild<QWidget*>(g), g);
    QVERIFY(r.page->findChild<QWidget*>("GroupBox1"));
    QVERIFY(r.page->findChild<QLabel*>("info"));
    QCOMPARE(r.w<QAbstractButton>("odczButPic")->text(), QString::fromUtf8("odczyt parametrów"));
    QCOMPARE(r.w<QAbstractButton>("ZapButPic")->text(), QString::fromUtf8("Zapisz parametry"));
    QCOMPARE(r.w<QAbstractButton>("ResButt")->text(), QString::fromUtf8("Reset parametrów"));
    QCOMPARE(r.combo("ComboBox1")->count(), 5);
    QCOMPARE(r.combo("ComboBox1")->itemText(3), QStringLiteral("0,8 - 1,6 [V]"));
    QCOMPARE(r.combo("ComboBox21")->itemText(0), QStringLiteral("20K"));
    // Two check boxes have captions of their own besides their caption labels.
    QCOMPARE(r.check("CheckBox8_2")->text(), QString::fromUtf8("Wyłącz max. obroty"));
    QCOMPARE(r.check("CheckBox22_2")->text(), QString::fromUtf8("Włącz czujnik temperatury"));
    QVERIFY(!r.edit("Edit10")->isEnabled());
    QVERIFY(!r.edit("Edit16")->isEnabled());
    QVERIFY(!r.edit("Edit17")->isEnabled());
}

void TestParametryPage::enterReadsFillsAndPolls() {
    Rig r;
    r.enter();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QCOMPARE(r.edit("Edit8_1")->text(), QStringLiteral("7000"));
    QCOMPARE(r.edit("Edit2")->text(), QStringLiteral("0,50"));
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("500"));
    QCOMPARE(r.edit("Edit11_1")->text(), QStringLiteral("10"));
    QCOMPARE(r.edit("Edit11_2")->text(), QStringLiteral("200"));
    QCOMPARE(r.combo("ComboBox1")->currentIndex(), 0);
    QVERIFY(r.polling());
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));
    QCOMPARE(r.shell.message(), QStringLiteral("Rodzaj sondy lambda")); // its focus display ran
    QCOMPARE(r.page->lastListNumber(), 1);
    // Version 4: temperature features shown.
    QVERIFY(r.live.temperatureCapable());
    QVERIFY(r.edit("Edit22_1")->isVisibleTo(r.page));
    QVERIFY(r.check("CheckBox22_2")->isVisibleTo(r.page));

    Rig old;
    old.version = 3;
    old.enter();
    QVERIFY(!old.live.temperatureCapable());
    QVERIFY(!old.edit("Edit22_1")->isVisibleTo(old.page));
    QVERIFY(!old.label("minprzelbgLabel")->isVisibleTo(old.page));
}

void TestParametryPage::checksOnLeaving_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Edit2 5") << "Edit2"
                             << "5"
                             << "4,9";
    QTest::newRow("Edit2 2") << "Edit2"
                             << "2"
                             << "2,00";
    QTest::newRow("Edit2 0") << "Edit2"
                             << "0"
                             << "0,1";
    QTest::newRow("Edit5 12") << "Edit5"
                              << "12"
                              << "9,9";
    QTest::newRow("Edit5 1.5 typed") << "Edit5"
                                     << "1.5"
                                     << "1,50";
    QTest::newRow("Edit14 empty") << "Edit14"
                                  << ""
                                  << "1";
    QTest::newRow("Edit14 099") << "Edit14"
                                << "099"
                                << "50";
    QTest::newRow("Edit14 007") << "Edit14"
                                << "007"
                                << "007";
    QTest::newRow("Edit19 50") << "Edit19"
                               << "50"
                               << "100";
    QTest::newRow("Edit19 99999") << "Edit19"
                                  << "99999"
                                  << "10000";
    QTest::newRow("Edit22_1 99") << "Edit22_1"
                                 << "99"
                                 << "99";
    QTest::newRow("Edit18 1") << "Edit18"
                              << "1"
                              << "2";
    QTest::newRow("Edit6 25") << "Edit6"
                              << "25"
                              << "24";
    QTest::newRow("Edit7 0") << "Edit7"
                             << "0"
                             << "1";
    QTest::newRow("Edit12 0") << "Edit12"
                              << "0"
                              << "1";
    QTest::newRow("Edit13_1 900 keeps") << "Edit13_1"
                                        << "900"
                                        << "900";
    QTest::newRow("Edit13_2 4500") << "Edit13_2"
                                   << "4500"
                                   << "4000";
    QTest::newRow("Edit3 9000") << "Edit3"
                                << "9000"
                                << "6900";
    QTest::newRow("Edit8_1 1500") << "Edit8_1"
                                  << "1500"
                                  << "2100";
    QTest::newRow("Edit11_1 250") << "Edit11_1"
                                  << "250"
                                  << "200";
    QTest::newRow("Edit11_2 5") << "Edit11_2"
                                << "5"
                                << "10";
}

void TestParametryPage::checksOnLeaving() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Rig r;
    r.enter();
    QLineEdit* e = r.edit(qPrintable(field));
    r.focus(qPrintable(field));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, typed);
    QTest::keyClick(e, Qt::Key_Tab);
    QVERIFY(!e->hasFocus());
    QCOMPARE(e->text(), expected);
    QVERIFY(r.messages.empty());
}

void TestParametryPage::keyFilters() {
    Rig r;
    r.enter();
    QLineEdit* e2 = r.edit("Edit2");
    r.focus("Edit2");
    e2->clear();
    QTest::keyClicks(e2, "1.2");
    QCOMPARE(e2->text(), QStringLiteral("1,2"));
    QTest::keyClicks(e2, "a");
    QCOMPARE(e2->text(), QStringLiteral("1,2"));
    QLineEdit* e3 = r.edit("Edit3");
    r.focus("Edit3");
    e3->clear();
    QTest::keyClicks(e3, "1x.,-2 ");
    QCOMPARE(e3->text(), QStringLiteral("12"));
    // Ctrl+V pastes nothing into a field.
    QApplication::clipboard();
    e3->selectAll();
    QTest::keyClick(e3, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(e3, Qt::Key_End);
    QTest::keyClick(e3, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e3->text(), QStringLiteral("12"));
    // Max length holds typed characters.
    QLineEdit* e22 = r.edit("Edit22_1");
    r.focus("Edit22_1");
    e22->clear();
    QTest::keyClicks(e22, "100");
    QCOMPARE(e22->text(), QStringLiteral("10"));
    e22->selectAll(); // a selection is replaced, so it leaves room
    QTest::keyClicks(e22, "7");
    QCOMPARE(e22->text(), QStringLiteral("7"));
    QLineEdit* e19 = r.edit("Edit19");
    r.focus("Edit19");
    e19->clear();
    QTest::keyClicks(e19, "1234567");
    QCOMPARE(e19->text(), QStringLiteral("12345"));
    QLineEdit* e2b = r.edit("Edit2");
    r.focus("Edit2");
    e2b->clear();
    QTest::keyClicks(e2b, "1.2345");
    QCOMPARE(e2b->text(), QStringLiteral("1,23"));
    // A decoded value longer than the typing limit is shown whole.
    ParameterSet decoded = r.params.set();
    decoded[ParamId::SwitchTemp] = QStringLiteral("-222");
    r.params.fill(decoded, ParameterModel::Origin::Controller);
    QCOMPARE(e22->text(), QStringLiteral("-222"));
}

void TestParametryPage::unreadableTextShowsMessage() {
    Rig r;
    r.enter();
    QLineEdit* e = r.edit("Edit3");
    r.focus("Edit3");
    e->setText(QStringLiteral("12a")); // as a loaded file may leave it
    QTest::keyClick(e, Qt::Key_Tab);
    QCOMPARE(e->text(), QStringLiteral("12a"));
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, QString::fromUtf8("'12a' nie jest poprawną liczbą"));

    // Enter with such a text shows the message and writes nothing.
    r.messages.clear();
    r.focus("Edit3");
    r.clearLog();
    QTest::keyClick(e, Qt::Key_Return);
    QCOMPARE(r.messages.size(), std::size_t(1));
    QVERIFY(!r.wroteSequence());

    // The message follows the language; a pair rule's partner that is no whole
    // number has its own wording.
    r.shell.texts().set(31020, QStringLiteral("'%1' is not a valid number"));
    r.shell.texts().set(31021, QStringLiteral("'%1' is not a valid whole number"));
    r.messages.clear();
    r.focus("Edit3");
    QTest::keyClick(e, Qt::Key_Tab);
    QCOMPARE(r.messages.back().text, QStringLiteral("'12a' is not a valid number"));
    r.edit("Edit8_1")->setText(QStringLiteral("5x"));
    e->setText(QStringLiteral("3000"));
    r.messages.clear();
    r.focus("Edit3");
    QTest::keyClick(e, Qt::Key_Tab);
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, QStringLiteral("'5x' is not a valid whole number"));
}

// Paste (context menu, middle button), drops and input methods insert only
// what typing would, and no more than the typing limit; texts the program sets
// are shown whole.
void TestParametryPage::pasteIsFilteredAsTyping() {
    Rig r;
    r.enter();
    struct Case {
        const char* field;
        QString pasted;
        QString shown;
    };
    const QString arabic = QString::fromUtf8("\u0661\u0662\u0663");
    const Case cases[] = {
        {"Edit3", QStringLiteral("abc"), QString()},
        {"Edit3", QStringLiteral("1e4"), QStringLiteral("14")},
        {"Edit3", arabic, QString()},
        {"Edit19", QStringLiteral("123456789"), QStringLiteral("12345")},
        {"Edit2", QStringLiteral("0.75 V"), QStringLiteral("0,75")},
        {"Edit5", QStringLiteral("-1e4"), QStringLiteral("14")},
    };
    for (const Case& c : cases) {
        QLineEdit* e = r.edit(c.field);
        r.focus(c.field);
        e->clear();
        QApplication::clipboard()->setText(c.pasted);
        e->paste(); // the context menu's "Paste"
        QCOMPARE(e->text(), c.shown);
        e->clear();
        e->insert(c.pasted); // what a middle click or a drop does
        QCOMPARE(e->text(), c.shown);
        e->clear();
        QInputMethodEvent commit;
        commit.setCommitString(c.pasted);
        QApplication::sendEvent(e, &commit);
        QCOMPARE(e->text(), c.shown);
    }
    // Every edit field of the page, through a real drop and Shift+Insert: only
    // what its key filter lets through, no more than its typing limit.
    QStringList shownOnly;
    for (QLineEdit* e : r.page->findChildren<QLineEdit*>()) {
        const validation::FieldRule* rule = validation::fieldRule(e->objectName());
        QVERIFY2(rule, qPrintable(e->objectName()));
        if (!e->isEnabled()) {
            shownOnly << e->objectName();
            continue;
        }
        const QString shown =
            QString(rule->kind == validation::Kind::Decimal ? "1,59" : "159").left(rule->maxLength);
        r.focus(e->objectName().toLatin1().constData());
        e->clear();
        QMimeData mime;
        mime.setText(QStringLiteral("a-1.5e 9"));
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e, &enter);
        QDragMoveEvent move(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e, &move);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e, &drop);
        QCOMPARE(e->text(), shown);
        e->clear();
        QApplication::clipboard()->setText(QStringLiteral("a-1.5e 9"));
        QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier); // a paste key: nothing, as Ctrl+V
        QCOMPARE(e->text(), QString());
    }
    // Every field rule has its field, and only those that show values are left out.
    QCOMPARE(r.page->findChildren<QLineEdit*>().size(), qsizetype(validation::fieldRules().size()));
    shownOnly.sort();
    QCOMPARE(shownOnly, (QStringList{"Edit10", "Edit16", "Edit17"}));

    // Pasted into the middle of a field: the field's own text stays around it.
    QLineEdit* e3 = r.edit("Edit3");
    r.focus("Edit3");
    e3->setText(QStringLiteral("19"));
    e3->setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("x0-"));
    e3->paste();
    QCOMPARE(e3->text(), QStringLiteral("109"));
    QCOMPARE(e3->cursorPosition(), 2);
    // Leaving the field with a pasted number is checked as a typed one.
    r.messages.clear();
    QTest::keyClick(e3, Qt::Key_Tab);
    QCOMPARE(e3->text(), QStringLiteral("1000"));
    QVERIFY(r.messages.empty());
    // The program's own texts are not filtered: a loaded file's malformed or
    // over-long value shows as it is until the field's check runs.
    QLineEdit* e10 = r.edit("Edit10");
    e10->setText(QStringLiteral("70000"));
    QCOMPARE(e10->text(), QStringLiteral("70000"));
    r.edit("Edit2")->setText(QStringLiteral("1.2e"));
    QCOMPARE(r.edit("Edit2")->text(), QStringLiteral("1.2e"));
}

void TestParametryPage::pairRulesOnPage() {
    Rig r;
    r.enter();
    r.edit("Edit8_1")->setText("5000");
    r.focus("Edit3");
    r.edit("Edit3")->setText("9000");
    QTest::keyClick(r.edit("Edit3"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("4900"));

    r.edit("Edit3")->setText("2000");
    r.focus("Edit8_1");
    r.edit("Edit8_1")->setText("2000");
    QTest::keyClick(r.edit("Edit8_1"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit8_1")->text(), QStringLiteral("2100"));

    r.edit("Edit11_2")->setText("200");
    r.focus("Edit11_1");
    r.edit("Edit11_1")->setText("250");
    QTest::keyClick(r.edit("Edit11_1"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit11_1")->text(), QStringLiteral("200"));

    r.edit("Edit11_1")->setText("10");
    r.focus("Edit11_2");
    r.edit("Edit11_2")->setText("5");
    QTest::keyClick(r.edit("Edit11_2"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit11_2")->text(), QStringLiteral("10"));
}

void TestParametryPage::enterInEditChecksWritesAndMovesOn() {
    Rig r;
    r.enter();
    r.focus("Edit13_1");
    r.edit("Edit13_1")->setText("900");
    r.clearLog();
    QTest::keyClick(r.edit("Edit13_1"), Qt::Key_Return);
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("500"));
    QVERIFY(r.wroteSequence());
    // Written with the corrected value: 500 and 500 ms.
    QCOMPARE(Rig::after(r.sent(), 0x06, 4), QByteArray::fromHex("7a00f400"));
    QCOMPARE(r.focused(), QStringLiteral("Edit13_2"));
    QVERIFY(r.params.written());
    QVERIFY(!r.shell.keyboardFlag);
    // The next field's comment, and the write's outcome once it is known.
    QCOMPARE(r.label("info")->text(), QString::fromUtf8("Czas stanu wysokiego lambda [0;4000 ms]"));
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    QVERIFY(r.polling());
    QVERIFY(r.port.isOpen());
}

void TestParametryPage::enterInMaxRpmWritesUncorrectedValue() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("2000");
    r.focus("Edit8_1");
    r.edit("Edit8_1")->setText("1500");
    r.clearLog();
    QTest::keyClick(r.edit("Edit8_1"), Qt::Key_Return);
    // 1500 rpm at 4800: period 2560 = 0x0A00, written before the pair rule runs.
    QCOMPARE(Rig::after(r.sent(), 0x14, 2), QByteArray::fromHex("000a"));
    // Moving on applied rule M.
    QCOMPARE(r.focused(), QStringLiteral("CheckBox8_2"));
    QCOMPARE(r.edit("Edit8_1")->text(), QStringLiteral("2100"));
}

void TestParametryPage::checkBoxReactions() {
    Rig r;
    r.enter();
    r.params.setWritten(true);
    r.edit("Edit13_1")->setText("300");
    r.edit("Edit13_2")->setText("700");
    r.check("CheckBox13_3")->setChecked(true);
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("0"));
    QCOMPARE(r.edit("Edit13_2")->text(), QStringLiteral("0"));
    QCOMPARE(r.params.set()[ParamId::LambdaBosch], QStringLiteral("1"));
    QVERIFY(!r.params.written());
    r.check("CheckBox13_3")->setChecked(false);
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("500"));
    QCOMPARE(r.edit("Edit13_2")->text(), QStringLiteral("500"));
    QCOMPARE(r.params.set()[ParamId::LambdaBosch], QStringLiteral("0"));

    r.params.setWritten(true);
    QTest::mouseClick(r.check("CheckBox15"), Qt::LeftButton);
    QVERIFY(r.check("CheckBox15")->isChecked());
    QVERIFY(r.edit("Edit16")->isEnabled());
    QVERIFY(r.edit("Edit17")->isEnabled());
    QCOMPARE(r.params.set()[ParamId::CutoffOn], QStringLiteral("1"));
    QVERIFY(!r.params.written());
    r.check("CheckBox15")->setChecked(false);
    QVERIFY(!r.edit("Edit16")->isEnabled());

    r.params.setWritten(true);
    r.check("CheckBox22_2")->setChecked(true);
    QCOMPARE(r.params.set()[ParamId::TempSensorOn], QStringLiteral("1"));
    QVERIFY(!r.params.written());
    r.check("CheckBox22_2")->setChecked(false);
    QCOMPARE(r.params.set()[ParamId::TempSensorOn], QStringLiteral("0"));

    r.params.setWritten(true);
    r.check("CheckBox8_2")->setChecked(true);
    QVERIFY(!r.params.written());
    QVERIFY(r.edit("Edit8_1")->isEnabled());
}

void TestParametryPage::fillKeepsReadLambdaTimes() {
    Rig r;
    r.check("CheckBox13_3")->setChecked(true); // from an earlier Bosch read
    ParameterSet set = defaultParameterSet();
    set[ParamId::LambdaLowTime] = "300";
    set[ParamId::LambdaHighTime] = "700";
    set[ParamId::LambdaBosch] = "0";
    set[ParamId::CutoffOn] = "1";
    set[ParamId::RpmKind] = "1";
    r.params.fill(set, ParameterModel::Origin::Controller);
    QVERIFY(!r.check("CheckBox13_3")->isChecked());
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("300"));
    QCOMPARE(r.edit("Edit13_2")->text(), QStringLiteral("700"));
    QVERIFY(r.edit("Edit16")->isEnabled());
    QVERIFY(r.edit("Edit10")->isEnabled());
    // Take from the page gives the same set back.
    r.params.collect();
    QCOMPARE(r.params.set()[ParamId::LambdaLowTime], QStringLiteral("300"));
    QCOMPARE(r.params.set()[ParamId::RpmKind], QStringLiteral("1"));
    QCOMPARE(r.params.set()[ParamId::AnalogThreshold], QStringLiteral("1"));
}

void TestParametryPage::listChangeEnablesDelta() {
    Rig r;
    r.enter();
    // By program: no change reaction.
    r.combo("ComboBox9")->setCurrentIndex(1);
    QVERIFY(!r.edit("Edit10")->isEnabled());
    r.combo("ComboBox9")->setCurrentIndex(0);
    // By the fitter (arrow key on the closed list).
    r.focus("ComboBox9");
    r.params.setWritten(true);
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Down);
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 1);
    QVERIFY(r.edit("Edit10")->isEnabled());
    QVERIFY(!r.params.written());
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Up);
    QVERIFY(!r.edit("Edit10")->isEnabled());
    // Typing does not select an item.
    QTest::keyClicks(r.combo("ComboBox9"), "m");
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 0);
}

void TestParametryPage::writtenFlagEvents() {
    Rig r;
    r.enter();
    r.params.setWritten(true);
    QTest::mouseClick(r.edit("Edit5"), Qt::LeftButton);
    QVERIFY(!r.params.written());

    r.params.setWritten(true);
    r.focus("Edit6");
    QTest::keyClicks(r.edit("Edit6"), "5"); // typing alone keeps the flag
    QVERIFY(r.params.written());

    r.focus("ComboBox4");
    r.params.setWritten(true);
    QTest::keyClicks(r.combo("ComboBox4"), "x");
    QVERIFY(!r.params.written());

    r.params.setWritten(true);
    r.focus("ComboBox1");
    QVERIFY(r.params.written()); // receiving the focus is not a change
    r.focus("ComboBox20");
    QVERIFY(!r.params.written());
    r.params.setWritten(true);
    r.focus("ComboBox21");
    QVERIFY(!r.params.written());
}

void TestParametryPage::pageKeyWalk() {
    Rig r;
    r.enter();
    r.check("CheckBox15")->setChecked(true);
    r.params.fill(r.params.set(),
                  ParameterModel::Origin::Controller); // keeps cutoff on; delta needs "malejące"
    r.combo("ComboBox9")->setCurrentIndex(1);
    r.edit("Edit10")->setEnabled(true);
    const QStringList order = {
        "ComboBox1", "Edit2",        "Edit13_1", "Edit13_2", "CheckBox13_3", "ComboBox4", "Edit5",
        "Edit3",     "ComboBox9",    "Edit10",   "Edit14",   "Edit19",       "Edit8_1",   "CheckBox8_2",
        "Edit22_1",  "CheckBox22_2", "Edit11_1", "Edit11_2", "Edit12",       "Edit7",     "Edit6",
        "Edit18",    "CheckBox15",   "Edit16",   "Edit17",   "ComboBox20",   "ComboBox21"};
    QCOMPARE(order.size(), 27);
    r.focus("ComboBox1");
    const int index1 = r.combo("ComboBox1")->currentIndex();
    for (int i = 1; i <= 27; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        QCOMPARE(r.focused(), order[i % 27]);
    }
    for (int i = 26; i >= -1; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
        QCOMPARE(r.focused(), order[(i + 27) % 27]);
    }
    // Lists consume the keys: their selection never changed.
    QCOMPARE(r.combo("ComboBox1")->currentIndex(), index1);
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 1);
}

void TestParametryPage::pageKeysSkipDisabledAndHidden() {
    Rig r;
    r.version = 3;
    r.enter();
    r.focus("ComboBox9");
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_PageDown);
    QCOMPARE(r.focused(), QStringLiteral("Edit14"));
    r.focus("CheckBox8_2");
    QTest::keyClick(r.check("CheckBox8_2"), Qt::Key_PageDown);
    QCOMPARE(r.focused(), QStringLiteral("Edit11_1"));
    r.focus("CheckBox15");
    QTest::keyClick(r.check("CheckBox15"), Qt::Key_PageDown);
    QCOMPARE(r.focused(), QStringLiteral("ComboBox20"));
    QVERIFY(!r.check("CheckBox15")->isChecked());
}

void TestParametryPage::enterOpensListAndClosingEnterWrites() {
    Rig r;
    r.enter();
    r.focus("ComboBox9");
    QCOMPARE(r.page->lastListNumber(), 3);
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Return);
    QVERIFY(r.page->openListFlag());
    QAbstractItemView* view = r.combo("ComboBox9")->view();
    QTRY_VERIFY(view->isVisible());
    r.clearLog();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
    // (Checked before waiting for the write: the offscreen platform deactivates
    // the window once the popup has gone.)
    QVERIFY(r.edit("Edit10")->isEnabled());
    QCOMPARE(r.focused(), QStringLiteral("Edit10"));
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 1);
    QVERIFY(!r.page->openListFlag());
    QVERIFY(r.wroteSequence());
    // RpmKind bit 2 of the flags byte was written.
    QVERIFY(r.link.state().flags & 0x04);
    QVERIFY(r.params.written());
}

void TestParametryPage::closingEnterInTpsListLeavesFlagCleared() {
    Rig r;
    r.enter();
    r.focus("ComboBox4");
    QTest::keyClick(r.combo("ComboBox4"), Qt::Key_Return);
    QAbstractItemView* view = r.combo("ComboBox4")->view();
    QTRY_VERIFY(view->isVisible());
    r.clearLog();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Enter);
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(r.focused(), QStringLiteral("Edit5"));
    QVERIFY(r.wroteSequence());
    QCOMPARE(r.combo("ComboBox4")->currentIndex(), 1);
    QVERIFY(!r.params.written());
}

void TestParametryPage::listClosedOtherwiseThenEnterDoesNothing() {
    Rig r;
    r.enter();
    r.focus("ComboBox1");
    QTest::keyClick(r.combo("ComboBox1"), Qt::Key_Return);
    QAbstractItemView* view = r.combo("ComboBox1")->view();
    QTRY_VERIFY(view->isVisible());
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!view->isVisible());
    QApplication::setActiveWindow(r.window.get());
    QTRY_VERIFY(r.combo("ComboBox1")->hasFocus());
    r.clearLog();
    QTest::keyClick(r.combo("ComboBox1"), Qt::Key_Return);
    QVERIFY(!view->isVisible());
    QVERIFY(!r.wroteSequence());
    // Enter in an edit field writes and clears the open-list flag; the list opens again.
    QApplication::setActiveWindow(r.window.get());
    r.focus("Edit2");
    QTest::keyClick(r.edit("Edit2"), Qt::Key_Return);
    QVERIFY(r.wroteSequence());
    QVERIFY(!r.page->openListFlag());
    r.focus("ComboBox1");
    QTest::keyClick(r.combo("ComboBox1"), Qt::Key_Return);
    QTRY_VERIFY(view->isVisible());
    QTest::keyClick(view, Qt::Key_Escape);
}

void TestParametryPage::enterOnButtonRunsItsAction() {
    Rig r;
    r.enter();
    r.focus("Edit3");
    r.focus("ZapButPic");
    r.clearLog();
    r.params.setWritten(false);
    QTest::keyClick(r.w<QAbstractButton>("ZapButPic"), Qt::Key_Return);
    QVERIFY(r.wroteSequence());
    QVERIFY(r.params.written());
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    // The button's own action moves the focus to ComboBox1.
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));
}

void TestParametryPage::backspaceIsLeftAndDelete() {
    Rig r;
    r.enter();
    QLineEdit* e = r.edit("Edit19");
    r.focus("Edit19");
    e->setText("1234");
    e->setCursorPosition(4);
    QTest::keyClick(e, Qt::Key_Backspace);
    QCOMPARE(e->text(), QStringLiteral("123"));
    QCOMPARE(e->cursorPosition(), 3);
    e->setCursorPosition(1);
    r.page->cofnijPressed();
    QCOMPARE(e->text(), QStringLiteral("23"));
    QCOMPARE(e->cursorPosition(), 0);
}

void TestParametryPage::commentsAndPanel() {
    Rig r;
    r.enter();
    QLabel* info = r.label("info");
    r.focus("Edit3");
    QCOMPARE(info->text(), QString::fromUtf8("Próg obrotów przejścia benzyna/gaz [1000;9000 obr/min]"));
    QCOMPARE(r.shell.message(), info->text());
    r.focus("ComboBox21");
    QCOMPARE(r.shell.message(), QString::fromUtf8("Typ szkiełka rezerwy.    1: 90R lub rezerwa;    2: 20K"));
    r.focus("CheckBox8_2"); // keeps the panel
    QCOMPARE(r.shell.message(), QString::fromUtf8("Typ szkiełka rezerwy.    1: 90R lub rezerwa;    2: 20K"));
    QCOMPARE(info->text(), QString::fromUtf8("Maksymalne obroty na gazie [1000;9000 obr/min]"));
    r.focus("CheckBox15"); // empties it
    QCOMPARE(r.shell.message(), QString());
    QCOMPARE(info->text(), QString());

    // A language text replaces the built-in comment.
    r.shell.texts().set(10352, QStringLiteral("Switch-over speed"));
    r.focus("Edit3");
    QCOMPARE(info->text(), QStringLiteral("Switch-over speed"));

    r.check("WylaczkomentarzeCheck")->setChecked(true);
    QCOMPARE(info->text(), QString());
    QVERIFY(!r.page->commentsOn());
    r.focus("Edit12");
    QCOMPARE(info->text(), QString());
    QCOMPARE(r.shell.message(), QString::fromUtf8("Startowa pozycja silnika krokowego [1;255]"));
    r.check("WylaczkomentarzeCheck")->setChecked(false);
    r.focus("Edit18");
    QCOMPARE(info->text(), QString::fromUtf8("Otwarcie silnika krokowego [2;50]"));
}

void TestParametryPage::highlightOfSharedLabels() {
    Rig r;
    r.enter();
    r.shell.labelHighlight = 0x00FF8040; // blue 0xFF, green 0x80, red 0x40
    auto only = [&](QStringList names) {
        for (const char* l : {"Label1", "Label12", "Label14", "Label17", "CheckBox15_Label", "Label3"}) {
            const bool want = names.contains(QString::fromLatin1(l));
            if (highlighted(r.label(l)) != want) return false;
        }
        return true;
    };
    r.focus("Edit11_1");
    QVERIFY(only({"Label12"}));
    QCOMPARE(r.label("Label12")->palette().color(QPalette::Window), QColor(0x40, 0x80, 0xFF));
    r.focus("Edit11_2");
    QVERIFY(only({"Label12"}));
    r.focus("Edit13_1");
    QVERIFY(only({"Label14"}));
    r.focus("Edit13_2");
    QVERIFY(only({"Label14"}));
    r.focus("CheckBox15");
    QVERIFY(only({"Label17", "CheckBox15_Label"}));
    r.focus("Edit3");
    QVERIFY(only({"Label3"}));
    // A skin changes the colour: the focused field's label follows at once,
    // and nothing else of the focus display runs again.
    r.shell.labelHighlight = 0x000000FF;
    r.shell.setMessage(QStringLiteral("kept"));
    r.page->refreshLabelHighlight();
    QCOMPARE(r.label("Label3")->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(r.shell.message(), QStringLiteral("kept"));
}

void TestParametryPage::labelClicks() {
    Rig r;
    r.enter();
    QTest::mouseClick(r.label("Label3"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("Edit3"));
    QTest::mouseClick(r.label("Label14"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("Edit13_1"));
    QTest::mouseClick(r.label("Label10"), Qt::LeftButton); // Edit10 disabled
    QCOMPARE(r.focused(), QStringLiteral("Edit13_1"));
    QTest::mouseClick(r.label("CheckBox8_2_label"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("CheckBox8_2"));
    QVERIFY(!r.check("CheckBox8_2")->isChecked());
    QTest::mouseClick(r.label("Label17"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("CheckBox15"));
    QVERIFY(!r.check("CheckBox15")->isChecked());
    QTest::mouseClick(r.label("minprzelbgLabel"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("CheckBox15"));
}

void TestParametryPage::writeButtonBytes() {
    Rig r;
    r.enter();
    r.focus("Edit5");
    r.clearLog();
    QTest::mouseClick(r.w<QAbstractButton>("ZapButPic"), Qt::LeftButton);
    r.waitIdle();
    const QStringList ev = describe(r.log, false);
    // The poll stops and the port closes before the sequence, and reopens after.
    QVERIFY(!ev.isEmpty());
    QCOMPARE(ev.first(), QStringLiteral("close"));
    QVERIFY(ev.last().startsWith(QStringLiteral("open")));
    const auto b = r.sent();
    QCOMPARE(b.front(), std::uint8_t(0xAA));
    QCOMPARE(Rig::after(b, 0x08, 2), QByteArray::fromHex("8007"));
    QCOMPARE(Rig::after(b, 0x14, 2), QByteArray::fromHex("2502"));
    QCOMPARE(Rig::after(b, 0x06, 4), QByteArray::fromHex("7a00f400"));
    QCOMPARE(b.back(), std::uint8_t(0x0A));
    QVERIFY(r.params.written());
    QVERIFY(r.polling());
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));

    // The limit switched off sends period 1.
    r.check("CheckBox8_2")->setChecked(true);
    r.clearLog();
    r.page->ZapButPicClick();
    QCOMPARE(Rig::after(r.sent(), 0x14, 2), QByteArray::fromHex("0100"));
    QCOMPARE(r.params.set()[ParamId::MaxGasRpmOff], QStringLiteral("1"));
}

void TestParametryPage::resetLoadsDefaultsAndWrites() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.edit("Edit19")->setText("5000");
    r.check("CheckBox15")->setChecked(true);
    r.combo("ComboBox21")->setCurrentIndex(0);
    r.params.setValue(ParamId::AnalogThreshold, QStringLiteral("50"));
    r.clearLog();
    QTest::mouseClick(r.w<QAbstractButton>("ResButt"), Qt::LeftButton);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QCOMPARE(r.edit("Edit19")->text(), QStringLiteral("100"));
    QVERIFY(!r.check("CheckBox15")->isChecked());
    QVERIFY(!r.edit("Edit16")->isEnabled());
    QCOMPARE(r.combo("ComboBox21")->currentIndex(), 1);
    QCOMPARE(r.threshold(), QStringLiteral("1"));
    QVERIFY(r.params.set() == defaultParameterSet());
    QCOMPARE(r.params.origin(), ParameterModel::Origin::Defaults);
    QVERIFY(r.wroteSequence());
    QCOMPARE(Rig::after(r.sent(), 0x08, 2), QByteArray::fromHex("8007"));
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    QVERIFY(r.params.written());
    QVERIFY(!r.shell.keyboardFlag);
    QVERIFY(r.polling());
}

void TestParametryPage::readButton() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.block[6] = char(0x00); // 960 -> 5000 rpm
    r.block[7] = char(0x03);
    r.block[0] = char(136); // 50 °C
    r.clearLog();
    QTest::mouseClick(r.w<QAbstractButton>("odczButPic"), Qt::LeftButton);
    r.waitIdle();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("5000"));
    QCOMPARE(r.edit("Edit22_1")->text(), QStringLiteral("50"));
    // The delta no longer fits the new switch-over speed: the read says so.
    QVERIFY(r.shell.message().startsWith(QStringLiteral("Odczytano parametry")));
    QVERIFY(r.edit("Edit10")->property("marked").toBool());
    QVERIFY(r.polling());
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));
    // Nothing was written.
    for (auto b : r.sent())
        QVERIFY(b != 0x0B && b != 0x08);
}

void TestParametryPage::readFailureKeepsThePage() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.params.fill(r.params.page(), ParameterModel::Origin::Defaults);
    r.port.responder = nullptr; // the controller is gone
    QTest::mouseClick(r.w<QAbstractButton>("odczButPic"), Qt::LeftButton);
    r.waitIdle();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("3000"));
    QCOMPARE(r.shell.message(), r.shell.text(31000));
    QVERIFY(r.shell.message() != QStringLiteral("Odczytano parametry"));
    QCOMPARE(r.params.origin(), ParameterModel::Origin::Defaults); // not taken as read
}

void TestParametryPage::fieldsTheControllerHoldsOtherwiseAreMarked() {
    Rig r;
    r.block[0] = 0;         // -222 °C: outside the field
    r.block[5] = char(201); // 10,05 V shows as "1,00"
    r.live.setIgnitionChoice(0);
    r.enter();
    QLineEdit* temp = r.edit("Edit22_1");
    QLineEdit* tps = r.edit("Edit5");
    QVERIFY(temp->property("marked").toBool());
    QVERIFY(tps->property("marked").toBool());
    QVERIFY(!r.edit("Edit3")->property("marked").toBool());
    QVERIFY(temp->toolTip().contains(QStringLiteral("-222")));
    QCOMPARE(r.params.markedFields(), 2);
    QVERIFY(!r.params.automaticWriteAllowed());
    QVERIFY(r.shell.message().contains(QStringLiteral("2")));
    // The block's ignition system is the engine-speed page's choice now.
    QCOMPARE(r.live.ignitionChoice(), 2);
    // Focused, the field says what the controller holds, comments on or off.
    r.check("WylaczkomentarzeCheck")->setChecked(true);
    r.focus("Edit5");
    QVERIFY(r.label("info")->text().contains(tps->toolTip()));

    // The fitter's own value takes the mark away.
    r.focus("Edit22_1");
    temp->selectAll();
    QTest::keyClicks(temp, "40");
    QVERIFY(!temp->property("marked").toBool());
    QCOMPARE(r.params.markedFields(), 1);
    // Writing the page is the fitter's decision: what the page shows goes out,
    // and once it has the marks go.
    r.clearLog();
    r.page->ZapButPicClick();
    r.waitIdle();
    QCOMPARE(r.params.markedFields(), 0);
    QVERIFY(!tps->property("marked").toBool());
    // "1,00" as the page shows it, right after the switch-over speed's 08 80 07.
    const auto b = r.sent();
    const std::vector<std::uint8_t> tpsWrite{0x08, 0x80, 0x07, 0x07, 0x14};
    QVERIFY(std::search(b.begin(), b.end(), tpsWrite.begin(), tpsWrite.end()) != b.end());
}

void TestParametryPage::automaticWriteHook() {
    Rig r;
    r.enter();
    r.edit("Edit17")->setText("2400");
    r.clearLog();
    r.automaticWrite();
    QVERIFY(r.params.written());
    QCOMPARE(r.params.set()[ParamId::CutoffRpm], QStringLiteral("2400"));
    // 2400 rpm at 4800: period 1600 = 0x0640.
    QCOMPARE(Rig::after(r.sent(), 0x18, 2), QByteArray::fromHex("4006"));
}

void TestParametryPage::enterInCheckBoxWritesAndMovesOn() {
    Rig r;
    r.enter();
    r.focus("CheckBox13_3");
    QCOMPARE(r.page->lastListNumber(), 0);
    r.clearLog();
    QTest::keyClick(r.check("CheckBox13_3"), Qt::Key_Return);
    QVERIFY(r.wroteSequence());
    QVERIFY(!r.check("CheckBox13_3")->isChecked());
    QCOMPARE(r.focused(), QStringLiteral("ComboBox4"));
}

void TestParametryPage::writeMessagesAfterTheSequence() {
    Rig r;
    r.enter();
    r.edit("Edit6")->setText("25"); // set by program: no check has run
    bool closedBeforeMessage = false;
    r.page->setMessageHandler([&](QMessageBox::Icon i, const QString& c, const QString& t) {
        r.messages.push_back({i, c, t});
        // The box does not hold the line up: the whole sequence went out first.
        const auto b = r.port.sentBytes();
        closedBeforeMessage = !b.empty() && b.back() == 0x0A;
    });
    r.clearLog();
    r.page->ZapButPicClick();
    r.waitIdle();
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::NoIcon);
    QCOMPARE(r.messages[0].text, QString::fromUtf8("Prędkość w granicach 1...24"));
    QCOMPARE(r.messages[0].caption, QString::fromUtf8("Błąd"));
    QVERIFY(closedBeforeMessage);
    QVERIFY(r.wroteSequence()); // the sequence still ran to its end
    // ... and the status says what it left out.
    QCOMPARE(r.shell.message(), QString::fromUtf8("Zapisano parametry oprócz: Silnik krok pow. TPS"));
}

void TestParametryPage::defaultOptionReadsWithoutWriting() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.clearLog();
    r.page->DefaultOptionClick();
    r.waitIdle();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QVERIFY(r.port.isOpen());
    for (auto b : r.sent())
        QVERIFY(b != 0x0B && b != 0x08);
}

void TestParametryPage::leaveChecks_data() {
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("lambda");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("defaults") << "10"
                              << "200"
                              << "100"
                              << "1"
                              << "0,50"
                              << "30" << true << QStringList{};
    QTest::newRow("start at min") << "10"
                                  << "200"
                                  << "10"
                                  << "1"
                                  << "0,50"
                                  << "30" << true
                                  << QStringList{"Pozycja startowa silnika krokowego jest równa minimum lub "
                                                 "maksimum."};
    QTest::newRow("start at max, delay 0")
        << "10"
        << "200"
        << "200"
        << "0"
        << "0,50"
        << "30" << false
        << QStringList{"Pozycja startowa silnika krokowego jest równa minimum lub maksimum.",
                       "Opóźnienie startowe musi być większe od zera."};
    QTest::newRow("lambda low") << "10"
                                << "200"
                                << "100"
                                << "1"
                                << "0,05"
                                << "30" << false
                                << QStringList{"Próg sondy lambda musi wynosić co najmniej 0,1 V."};
    QTest::newRow("opening 2") << "10"
                               << "200"
                               << "100"
                               << "1"
                               << "0,50"
                               << "2" << false
                               << QStringList{"Otwarcie silnika krokowego musi wynosić co najmniej 3."};
    QTest::newRow("limits too close") << "10"
                                      << "12"
                                      << "15"
                                      << "1"
                                      << "0,50"
                                      << "30" << false
                                      << QStringList{"Pozycja startowa silnika krokowego musi leżeć między "
                                                     "minimum a maksimum [10 ... 12]"};
    QTest::newRow("nothing read yet") << ""
                                      << ""
                                      << ""
                                      << ""
                                      << ""
                                      << "" << true << QStringList{};
    QTest::newRow("only delay readable")
        << ""
        << ""
        << ""
        << "0"
        << ""
        << "" << false << QStringList{"Opóźnienie startowe musi być większe od zera."};
    QTest::newRow("outside but wide") << "10"
                                      << "200"
                                      << "250"
                                      << "1"
                                      << "0,50"
                                      << "30" << false
                                      << QStringList{"Pozycja startowa silnika krokowego musi leżeć między "
                                                     "minimum a maksimum [10 ... 200]"};
}

void TestParametryPage::leaveChecks() {
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(QString, start);
    QFETCH(QString, delay);
    QFETCH(QString, lambda);
    QFETCH(QString, opening);
    QFETCH(bool, allowed);
    QFETCH(QStringList, texts);
    Rig r;
    r.enter();
    r.edit("Edit11_1")->setText(min);
    r.edit("Edit11_2")->setText(max);
    r.edit("Edit12")->setText(start);
    r.edit("Edit14")->setText(delay);
    r.edit("Edit2")->setText(lambda);
    r.edit("Edit18")->setText(opening);
    QCOMPARE(r.page->leaveByTab(), allowed);
    QStringList got;
    for (const Message& m : r.messages) {
        got << m.text;
        QCOMPARE(m.icon, QMessageBox::Critical);
    }
    QCOMPARE(got, texts);
}

void TestParametryPage::render() {
    Rig r;
    r.window->resize(799, 470);
    r.page->resize(799, 470);
    r.enter();
    r.focus("Edit11_1");
    const QString out = qEnvironmentVariable("QUENDRIX_PARAMS_SHOT");
    // The page fits the window's client area below the tabs.
    QVERIFY(r.page->minimumSizeHint().width() <= 799);
    QVERIFY(r.page->minimumSizeHint().height() <= 470);
    const QImage img = r.page->grab().toImage();
    QVERIFY(!img.isNull());
    if (!out.isEmpty()) img.save(out);
    // Every caption fits its label.
    for (QLabel* l : r.page->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(r.page) || l->wordWrap() || l->text().isEmpty()) continue;
        QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()), qPrintable(l->objectName()));
    }
    // A check box shows its caption whole, or (two with a caption label of
    // their own beside them) only its box.
    const int indicator = r.page->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    for (QCheckBox* c : r.page->findChildren<QCheckBox*>())
        if (c->isVisibleTo(r.page) && c->width() > indicator + 4)
            QVERIFY2(c->width() >= c->sizeHint().width(), qPrintable(c->objectName()));
    // A button's caption fits on its lines.
    for (QAbstractButton* b : r.page->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QCheckBox*>(b)) continue;
        if (b->hasHeightForWidth())
            QVERIFY2(b->height() >= b->heightForWidth(b->width()), qPrintable(b->objectName()));
        else
            QVERIFY2(b->width() >= b->fontMetrics().horizontalAdvance(b->text()),
                     qPrintable(b->objectName()));
    }
}

QTEST_MAIN(TestParametryPage)
#include "tst_parametrypage.moc"
