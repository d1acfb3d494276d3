// Parameter files, the comparison with the controller and the print page in
// the real main window against the emulated controller on a pseudo-terminal,
// with quendrix-cli reading and checking the same controller.
#include "emulator/Emulator.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/PrintSheet.h"
#include "params/ui/DrukowaniePage.h"
#include "params/ui/ParametryPage.h"
#include "shell/ShellTexts.h"
#include "shell/ui/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using Kind = ParametryPage::FileDialogKind;

struct Message {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};

struct Run {
    int code = -1;
    QString out;
    QString err;
};

// The defaults with a value changed on every kind of line; engine speeds the
// constant of "4 cylindry" (4800) turns into whole periods.
QByteArray carFile() {
    QByteArray f = parameterFileBytes(defaultParameterSet());
    f.replace("\r\n100:0\r\n", "\r\n100:2\r\n")
        .replace("\r\n102:2000\r\n", "\r\n102:3000\r\n")
        .replace("\r\n103:0\r\n", "\r\n103:1\r\n")
        .replace("\r\n111:10\r\n", "\r\n111:20\r\n")
        .replace("\r\n112:200\r\n", "\r\n112:180\r\n")
        .replace("\r\n118:0\r\n", "\r\n118:1\r\n")
        .replace("\r\n119:30\r\n", "\r\n119:40\r\n")
        .replace("\r\n123:0\r\n", "\r\n123:1\r\n")
        .replace("\r\n124:1\r\n", "\r\n124:0\r\n");
    return f;
}

struct Rig {
    QTemporaryDir dir;
    std::unique_ptr<qsim::Emulator> emu;
    std::unique_ptr<MainWindow> form;
    ParametryPage* params = nullptr;
    DrukowaniePage* print = nullptr;
    std::vector<Message> messages;
    QStringList questions; // asked before a read replaced unwritten values
    ParametryPage::Edits answer = ParametryPage::Edits::Discard;
    QString nextPath; // what the next file dialog returns; empty: cancelled
    QList<Kind> asked;
    std::vector<PrintSheet> printed;

    explicit Rig(int version = 8) {
        emu = std::make_unique<qsim::Emulator>(version, 2);
        std::string err;
        if (!emu->openPty(&err) || !emu->start()) qFatal("emulator: %s", err.c_str());
    }
    ~Rig() {
        form.reset();
        emu->stop();
    }
    void open() {
        MainWindow::Setup setup;
        const QString device = QString::fromStdString(emu->devicePath());
        setup.configureLink = [device](ControllerLink& link) {
            link.setDevicePath(1, device);
            link.setSelectedPort(QStringLiteral("com1"));
        };
        form = std::make_unique<MainWindow>(setup);
        params = form->findChild<ParametryPage*>();
        print = form->findChild<DrukowaniePage*>();
        params->setMessageHandler([this](QMessageBox::Icon i, const QString& c, const QString& t) {
            messages.push_back({i, c, t});
        });
        params->setQuestionHandler([this](const QString& t) {
            questions << t;
            return answer;
        });
        params->setFileChooser([this](Kind k) {
            asked << k;
            return nextPath;
        });
        print->setPrintHandler([this](const PrintSheet& s) { printed.push_back(s); });
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        waitIdle();
    }
    // The window lets go of the port, so that quendrix-cli can use it.
    void close() {
        waitIdle();
        form.reset();
    }
    void waitIdle() const {
        QTRY_VERIFY_WITH_TIMEOUT(!form->link().busy() && form->link().heldActions() == 0, 10000);
    }
    void key(Qt::Key k) {
        QTest::keyClick(form.get(), k);
        waitIdle();
    }
    template <class T> T* w(const char* name) const {
        T* x = form->findChild<T*>(QString::fromLatin1(name));
        if (!x) qFatal("no control %s", name);
        return x;
    }
    QLineEdit* edit(const char* n) const { return w<QLineEdit>(n); }
    QComboBox* combo(const char* n) const { return w<QComboBox>(n); }
    QCheckBox* check(const char* n) const { return w<QCheckBox>(n); }
    QString label(const char* n) const { return w<QLabel>(n)->text(); }
    void click(const char* button) {
        QAbstractButton* b = w<QAbstractButton>(button);
        QTest::mouseClick(b, Qt::LeftButton);
        waitIdle();
    }
    // Types into a field and leaves it, as the fitter does.
    void type(const char* field, const QString& text) {
        QLineEdit* e = edit(field);
        e->setFocus(Qt::TabFocusReason);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Tab);
    }
    QString panel() const { return form->shell().message(); }
    const ParameterSet& page() const { return form->params().page(); }
    QByteArray pageFile() const { return parameterFileBytes(page()); }

    QString path(const QString& name) const { return dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    Run cli(const QStringList& args) const {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        const QString bin =
            qEnvironmentVariable("QUENDRIX_BIN", QCoreApplication::applicationDirPath() + "/../../src");
        p.start(bin + "/quendrix-cli",
                QStringList{"--port", QString::fromStdString(emu->devicePath())} + args);
        Run r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    std::vector<qsim::ReceivedCommand> commands() {
        return emu->withModel([](qsim::ControllerModel& m) { return m.commands(); });
    }
    void clearCommands() {
        emu->withModel([](qsim::ControllerModel& m) {
            m.clearCommands();
            return 0;
        });
    }
};

// Every visible label and button of a page shows its whole caption, and no
// two of them overlap.
void checkFits(QWidget* page) {
    QList<QWidget*> shown;
    for (QWidget* x : page->findChildren<QWidget*>()) {
        if (!x->isVisibleTo(page)) continue;
        if (auto* l = qobject_cast<QLabel*>(x)) {
            if (l->text().isEmpty()) continue;
            if (!l->wordWrap())
                QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()),
                         qPrintable(l->objectName()));
            shown << l;
        } else if (auto* b = qobject_cast<QAbstractButton*>(x)) {
            if (qobject_cast<QCheckBox*>(b)) continue;
            shown << b;
        }
    }
    for (QWidget* a : shown) {
        const QRect ra(a->mapTo(page, QPoint(0, 0)), a->size());
        QVERIFY2(page->rect().contains(ra), qPrintable(a->objectName()));
        for (QWidget* b : shown) {
            if (a == b || a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
            const QRect rb(b->mapTo(page, QPoint(0, 0)), b->size());
            QVERIFY2(!ra.intersects(rb), qPrintable(a->objectName() + " / " + b->objectName()));
        }
    }
}

} // namespace

class TestParamWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { QApplication::restoreOverrideCursor(); }
    void pageSavesWhatTheCliReads();
    void saveAndLoadThroughTheButtons();
    void fileWithAnErrorChangesNothing();
    void loadedFileIsWrittenOnTheWayToTheLivePage();
    void valuesTheControllerCannotHoldAreNotWritten();
    void historyRestoresTheBlockByteExact();
    void compareListsDifferencesAndWritesNothing();
    void printPageThroughTheWindow();
    void screenshotsFit();

private:
    QTemporaryDir settings_;
};

void TestParamWindow::initTestCase() {
    QVERIFY(settings_.isValid());
    qputenv("QUENDRIX_SETTINGS", settings_.filePath("settings.ini").toUtf8()); // never the user's own
    qputenv("QUENDRIX_HISTORY", settings_.filePath("history").toUtf8());       // nor restore points
}

void TestParamWindow::pageSavesWhatTheCliReads() {
    Rig r;
    // The controller holds a car's set (written by the command-line tool).
    r.writeFile("car.qx4", carFile());
    Run run = r.cli({"write", r.path("car.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    run = r.cli({"read", r.path("cli.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    QCOMPARE(r.readFile("cli.qx4"), carFile());

    r.open();
    r.key(Qt::Key_F2); // the parameters page reads the block
    r.nextPath = r.path("page.qx4");
    r.click("ZapiszButtPlik");
    QCOMPARE(r.asked, QList<Kind>{Kind::Save});
    QVERIFY(r.messages.empty());
    QCOMPARE(r.readFile("page.qx4"), r.readFile("cli.qx4"));
}

void TestParamWindow::saveAndLoadThroughTheButtons() {
    Rig r;
    r.open();
    r.key(Qt::Key_F2);
    const QByteArray read = r.pageFile();

    // The fitter changes every kind of control.
    r.type("Edit3", "3000");
    r.combo("ComboBox1")->setCurrentIndex(2);
    r.check("CheckBox15")->click();
    r.type("Edit16", "40");
    r.check("CheckBox13_3")->click(); // both lambda times become 0
    r.combo("ComboBox9")->setFocus();
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Down);
    QVERIFY(r.edit("Edit10")->isEnabled());
    const QByteArray edited = r.pageFile();
    for (const char* line : {"102:3000", "100:2", "118:1", "119:40", "117:1", "115:0", "116:0", "109:1"})
        QVERIFY2(edited.contains(QByteArray("\r\n") + line + "\r\n"), line);

    // Enter on the focused file button saves.
    r.nextPath = r.path("car.qx4");
    QAbstractButton* save = r.w<QAbstractButton>("ZapiszButtPlik");
    save->setFocus();
    QTRY_VERIFY(save->hasFocus());
    QTest::keyClick(save, Qt::Key_Return);
    r.waitIdle();
    QCOMPARE(r.readFile("car.qx4"), edited);

    // The controller's values back on the page, then the file through its button.
    r.click("odczButPic");
    QCOMPARE(r.pageFile(), read);
    QVERIFY(!r.edit("Edit16")->isEnabled());
    r.form->shell().setMessage({});
    r.click("OdczytButtPlik");
    QCOMPARE(r.asked, (QList<Kind>{Kind::Save, Kind::Open}));
    QCOMPARE(r.pageFile(), edited);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("3000"));
    QCOMPARE(r.combo("ComboBox1")->currentIndex(), 2);
    QVERIFY(r.check("CheckBox15")->isChecked() && r.edit("Edit16")->isEnabled() &&
            r.edit("Edit17")->isEnabled());
    QCOMPARE(r.edit("Edit16")->text(), QStringLiteral("40"));
    QVERIFY(r.check("CheckBox13_3")->isChecked());
    QCOMPARE(r.edit("Edit13_1")->text() + "/" + r.edit("Edit13_2")->text(), QStringLiteral("0/0"));
    QVERIFY(r.edit("Edit10")->isEnabled());
    QCOMPARE(r.form->params().origin(), ParameterModel::Origin::File);
    QVERIFY(r.form->params().automaticWriteAllowed());
    QCOMPARE(r.panel(), QString::fromUtf8("Wczytano plik parametrów car.qx4"));
    QVERIFY(r.messages.empty());

    // Cancelled dialogs change nothing; a file that cannot be created is named with the reason.
    r.nextPath.clear();
    r.type("Edit3", "2500");
    r.click("OdczytButtPlik");
    r.click("ZapiszButtPlik");
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2500"));
    QVERIFY(r.messages.empty());
    r.nextPath = r.path("missing/car.qx4");
    r.click("ZapiszButtPlik");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::Critical);
    QVERIFY2(r.messages[0].text.contains(r.nextPath) && r.messages[0].text.size() > r.nextPath.size() + 20,
             qPrintable(r.messages[0].text));
    QVERIFY(!QFile::exists(r.nextPath));
}

void TestParamWindow::fileWithAnErrorChangesNothing() {
    Rig r;
    r.open();
    r.key(Qt::Key_F2);
    const QByteArray before = r.pageFile();

    // A good change before the bad line: the whole file is refused.
    QByteArray bad = before;
    bad.replace("\r\n102:2000\r\n", "\r\n102:2600\r\n").replace("\r\n103:0\r\n", "\r\n103:x\r\n");
    r.writeFile("bad.qx4", bad);
    r.nextPath = r.path("bad.qx4");
    r.form->shell().setMessage({});
    r.click("OdczytButtPlik");
    QCOMPARE(r.pageFile(), before);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QCOMPARE(r.messages.size(), std::size_t(1));
    const QString text = r.messages[0].text;
    // In the window's language (Polish here), not the file reader's English.
    QVERIFY2(text.contains(r.nextPath) && text.contains(QString::fromUtf8("wiersz 8")) &&
                 text.contains("103:x") && text.contains(r.form->shell().text(31021).arg("x")) &&
                 !text.contains("valid"),
             qPrintable(text));
    QVERIFY(r.panel().isEmpty());
    QCOMPARE(r.form->params().origin(), ParameterModel::Origin::Controller);

    // A file without parameters says so; nothing is loaded.
    r.messages.clear();
    r.writeFile("empty.qx4", "#---x\r\n");
    r.nextPath = r.path("empty.qx4");
    r.click("OdczytButtPlik");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, r.form->shell().text(textkey::FileWithoutParameters).arg(r.nextPath));
    QCOMPARE(r.pageFile(), before);
    QVERIFY(r.panel().isEmpty());

    // Lines too short to hold a key: one message each, the rest loads.
    r.messages.clear();
    QByteArray shortLines = before;
    shortLines.replace("\r\n102:2000\r\n", "\r\n102:2600\r\n\r\nab\r\n");
    r.writeFile("short.qx4", shortLines);
    r.nextPath = r.path("short.qx4");
    r.click("OdczytButtPlik");
    QCOMPARE(r.messages.size(), std::size_t(2));
    for (const Message& m : r.messages)
        QCOMPARE(m.text, QString::fromUtf8("Błąd w pliku"));
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2600"));
}

void TestParamWindow::loadedFileIsWrittenOnTheWayToTheLivePage() {
    Rig r;
    r.writeFile("car.qx4", carFile());
    r.open();
    r.key(Qt::Key_F2);
    r.nextPath = r.path("car.qx4");
    r.click("OdczytButtPlik");
    r.key(Qt::Key_F3); // the automatic write of a page change
    r.close();
    Run run = r.cli({"diff", r.path("car.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));

    // After an explicit write, a file whose check boxes change nothing still
    // leaves values the controller does not hold: they are written too.
    QByteArray other = carFile();
    other.replace("\r\n102:3000\r\n", "\r\n102:2500\r\n").replace("\r\n119:40\r\n", "\r\n119:50\r\n");
    r.writeFile("other.qx4", other);
    r.open();
    r.key(Qt::Key_F2);
    r.click("ZapButPic");
    QVERIFY(r.form->params().written());
    r.nextPath = r.path("other.qx4");
    r.click("OdczytButtPlik");
    QVERIFY(!r.form->params().written());
    r.key(Qt::Key_F4);
    r.close();
    run = r.cli({"diff", r.path("other.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
}

void TestParamWindow::valuesTheControllerCannotHoldAreNotWritten() {
    Rig r;
    QByteArray file = carFile();
    file.replace("\r\n113:100\r\n", "\r\n113:300\r\n")
        .replace("\r\n114:1\r\n", "\r\n114:200\r\n")
        .replace("\r\n101:0,50\r\n", "\r\n101:7,77\r\n")
        .replace("\r\n111:20\r\n", "\r\n111:-5\r\n")
        .replace("\r\n112:180\r\n", "\r\n112:999\r\n");
    r.writeFile("wrapped.qx4", file);
    r.open();
    r.key(Qt::Key_F2);
    const auto before = r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); });
    r.nextPath = r.path("wrapped.qx4");
    r.click("OdczytButtPlik"); // loading stays lenient
    QCOMPARE(r.edit("Edit12")->text(), QStringLiteral("300"));
    QCOMPARE(r.edit("Edit2")->text(), QStringLiteral("7,77"));
    r.clearCommands();
    r.click("ZapButPic");
    // One message naming every value with its range; nothing went out.
    QCOMPARE(r.messages.size(), std::size_t(1));
    const QString said = r.messages[0].text;
    for (const char* value : {"= 300 (", "= 200 (", "= 7,77 (", "= -5 (", "= 999 ("})
        QVERIFY2(said.contains(QString::fromLatin1(value)), qPrintable(said));
    QCOMPARE(said.count(QStringLiteral("(zakres ")), 5);
    QCOMPARE(r.panel(), said);
    for (const qsim::ReceivedCommand& c : r.commands())
        QVERIFY2(c.code != 0x1E && c.code != 0x13, qPrintable(QString::number(c.code, 16)));
    QVERIFY(r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); }) == before);
    // ... nor on the way to the live page.
    r.key(Qt::Key_F3);
    QVERIFY(r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); }) == before);
}

void TestParamWindow::historyRestoresTheBlockByteExact() {
    Rig r;
    qputenv("QUENDRIX_HISTORY", r.path("history").toUtf8()); // the points of this test alone
    r.writeFile("car.qx4", carFile());
    r.open();
    auto block = [&r] { return r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); }); };
    const auto original = block();
    // A file written, then a typed value: a restore point before each.
    r.key(Qt::Key_F2);
    r.nextPath = r.path("car.qx4");
    r.click("OdczytButtPlik");
    r.click("ZapButPic");
    r.type("Edit3", "3500");
    r.click("ZapButPic");
    QVERIFY(block() != original);

    // Reached from the comparison with Tab, run with Enter.
    auto* compare = r.w<QWidget>("PorownajButt");
    compare->setFocus();
    QTRY_VERIFY(compare->hasFocus());
    QTest::keyClick(compare, Qt::Key_Tab);
    QVERIFY(r.w<QWidget>("HistoriaButt")->hasFocus());
    QTest::keyClick(r.w<QWidget>("HistoriaButt"), Qt::Key_Return);
    r.waitIdle();
    QDialog* dialog = r.params->historyDialog();
    QVERIFY(dialog && dialog->isVisible());
    auto* table = dialog->findChild<QTableWidget*>("HistoriaTabela");
    QCOMPARE(table->rowCount(), 2); // newest first
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Zapisz parametry"));
    QCOMPARE(table->item(0, 3)->text(), QString::fromUtf8("Obroty dla przejścia B/G"));
    QVERIFY2(table->item(1, 3)->text().contains(QString::fromUtf8("Rodzaj sondy lambda")),
             qPrintable(table->item(1, 3)->text()));
    checkFits(dialog);
    if (const QString dir = qEnvironmentVariable("QUENDRIX_SHOT_DIR"); !dir.isEmpty())
        dialog->grab().save(dir + "/historia.png");

    // The point before the file: its bytes go back, and the block reads back as kept.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    r.waitIdle();
    QVERIFY(!r.params->historyDialog());
    QVERIFY(block() == original);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QVERIFY2(r.panel().startsWith(QString::fromUtf8("Przywrócono punkt z ")) &&
                 r.panel().endsWith(QString::fromUtf8("sterownik ma znów jego bajty.")),
             qPrintable(r.panel()));
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::Information);
}

void TestParamWindow::compareListsDifferencesAndWritesNothing() {
    Rig r;
    r.open();
    r.key(Qt::Key_F2);
    QAbstractButton* compare = r.w<QAbstractButton>("PorownajButt");
    QCOMPARE(compare->text(), QString::fromUtf8("Porównaj ze sterownikiem"));
    r.click("PorownajButt");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::Information);
    QCOMPARE(r.messages[0].text, QString::fromUtf8("Strona pokazuje te same parametry co sterownik."));
    QVERIFY(!r.params->differencesDialog());

    r.type("Edit3", "3000");
    r.combo("ComboBox20")->setCurrentIndex(1);
    // Of two fields under one caption, the row says which it is.
    const QString stepMax = r.edit("Edit11_2")->text(), lambdaLow = r.edit("Edit13_1")->text();
    const QString newMax = stepMax == "250" ? "240" : "250", newLow = lambdaLow == "100" ? "200" : "100";
    r.type("Edit11_2", newMax);
    r.type("Edit13_1", newLow);
    const QByteArray shown = r.pageFile();
    r.clearCommands();
    // Reached with the keyboard right after the five page buttons; Enter runs it.
    r.w<QWidget>("ZapiszButtPlik")->setFocus();
    QTRY_VERIFY(r.w<QWidget>("ZapiszButtPlik")->hasFocus());
    QTest::keyClick(r.w<QWidget>("ZapiszButtPlik"), Qt::Key_Tab);
    QVERIFY(compare->hasFocus());
    QTest::keyClick(compare, Qt::Key_Return);
    r.waitIdle();
    QDialog* dialog = r.params->differencesDialog();
    QVERIFY(dialog && dialog->isVisible());
    auto* table = dialog->findChild<QTableWidget*>("PorownanieTabela");
    QVERIFY(table);
    QStringList rows;
    for (int i = 0; i < table->rowCount(); ++i)
        rows << table->item(i, 0)->text() + " | " + table->item(i, 1)->text() + " | " +
                    table->item(i, 2)->text();
    QCOMPARE(rows, (QStringList{QString::fromUtf8("Obroty dla przejścia B/G | 3000 | 2000"),
                                "Min. i Max. silnika krok. - maksimum | " + newMax + " | " + stepMax,
                                "Czas sondy Lambda - stan niski | " + newLow + " | " + lambdaLow,
                                QString::fromUtf8("Tryb pracy sterownika | dynamiczna | ekonomiczna")}));
    QCOMPARE(dialog->findChild<QDialogButtonBox*>()->buttons().constFirst()->text(),
             QStringLiteral("Zamknij"));
    // The page keeps its values and nothing went to the controller but the read.
    QCOMPARE(r.pageFile(), shown);
    for (const qsim::ReceivedCommand& c : r.commands())
        QVERIFY2(c.code == 0x01 || c.code == 0x02 || c.code == 0x09 || c.code == 0x22 || c.code == 0x0A,
                 qPrintable(QString::number(c.code, 16)));
    QVERIFY(r.form->link().isPolling(QStringLiteral("TimerParamOdcz")));

    // A field whose bytes the page cannot show (TPS 10,05 V shows "1,00") is
    // never "the same": it is listed, and the marked fields are named.
    dialog->close();
    r.emu->withModel([](qsim::ControllerModel& m) {
        auto b = m.block();
        b[5] = 201;
        m.setBlock(b);
        return 0;
    });
    r.click("odczButPic");
    r.messages.clear();
    r.click("PorownajButt");
    QVERIFY(r.messages.empty());
    dialog = r.params->differencesDialog();
    QVERIFY(dialog && dialog->isVisible());
    table = dialog->findChild<QTableWidget*>("PorownanieTabela");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text() + " | " + table->item(0, 1)->text() + " | " +
                 table->item(0, 2)->text(),
             QString::fromUtf8("Próg czujnika TPS | 1,00 | 1,00 (inne bajty)"));
    QVERIFY(dialog->findChild<QLabel*>("PorownanieUwaga")
                ->text()
                .endsWith(QString::fromUtf8("Próg czujnika TPS")));

    // No answer: said so, the page stays.
    dialog->close();
    r.emu->withModel([](qsim::ControllerModel& m) {
        m.faults().silent = true;
        return 0;
    });
    r.messages.clear();
    r.click("PorownajButt");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, r.form->shell().text(31000));
}

void TestParamWindow::printPageThroughTheWindow() {
    Rig r;
    r.open();
    r.key(Qt::Key_F9); // before the parameters page: captions only
    QCOMPARE(r.form->pageControl()->currentWidget()->objectName(), QStringLiteral("DrukowanieTab"));
    QCOMPARE(r.label("LabelPS"), QStringLiteral("Parametry systemu"));
    QCOMPARE(r.label("Napis03"), QString::fromUtf8("Obroty dla przejścia B/G"));
    QVERIFY(r.label("Par03").isEmpty() && r.label("Par22").isEmpty());

    r.key(Qt::Key_F2);
    r.type("Edit3", "3500"); // not written: the sheet shows what the controller holds
    r.key(Qt::Key_F9);
    QCOMPARE(r.label("Par03"), QStringLiteral("2000"));
    QCOMPARE(r.label("Par01"), QStringLiteral("0 - 1 [V]"));
    QCOMPARE(r.label("Par15"), QStringLiteral("0"));
    QCOMPARE(r.label("Par22"), QStringLiteral("4 cylindry"));

    r.key(Qt::Key_Return); // Enter prints
    QCOMPARE(r.printed.size(), std::size_t(1));
    QCOMPARE(r.printed[0].rows[2].value, QStringLiteral("2000"));
    QCOMPARE(r.printed[0].rows[21].value, QStringLiteral("4 cylindry"));
    QVERIFY(r.printed[0].heading.isEmpty());

    // A loaded file the controller never got prints only when asked, under a
    // heading that names it; its PDF too.
    r.key(Qt::Key_F2);
    r.writeFile("car.qx4", carFile());
    r.nextPath = r.path("car.qx4");
    r.click("OdczytButtPlik");
    r.key(Qt::Key_F9);
    QCOMPARE(r.label("Par03"), QStringLiteral("2000"));
    auto* file = r.w<QCheckBox>("DrukujPlikCheck");
    QVERIFY(file->isVisible() && file->text().contains("car.qx4"));
    file->setChecked(true);
    QCOMPARE(r.label("Par03"), QStringLiteral("3000"));
    QCOMPARE(r.label("NaglowekPliku"), QString::fromUtf8("Plik car.qx4 - nie zapisany w sterowniku"));
    r.key(Qt::Key_Return);
    QCOMPARE(r.printed.back().heading, r.label("NaglowekPliku"));
    QCOMPARE(r.printed.back().rows[2].value, QStringLiteral("3000"));
    // Written (the page kept, not read over), it is the controller's set.
    r.answer = ParametryPage::Edits::Keep;
    r.key(Qt::Key_F2);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("3000"));
    r.click("ZapButPic");
    r.key(Qt::Key_F9);
    QVERIFY(!file->isVisible());
    QCOMPARE(r.label("Par03"), QStringLiteral("3000"));
    QVERIFY(r.label("NaglowekPliku").isEmpty());
}

void TestParamWindow::screenshotsFit() {
    Rig r;
    r.open();
    // The 800 layout on an 800-wide screen: the window takes the screen's width, less its border.
    const int screenWidth = r.form->QWidget::screen()->size().width();
    QCOMPARE(screenWidth, 800);
    QVERIFY2(r.form->width() <= screenWidth && r.form->width() >= screenWidth - 8,
             qPrintable(QString::number(r.form->width())));
    r.key(Qt::Key_F2);
    QWidget* params = r.form->pageControl()->currentWidget();
    const QString dir = qEnvironmentVariable("QUENDRIX_SHOT_DIR");
    if (!dir.isEmpty()) params->grab().save(dir + "/parametry.png");
    checkFits(params);
    if (QTest::currentTestFailed()) return;

    // The compare button's caption fits, on more lines when it must, in every language.
    auto* compare = r.w<QAbstractButton>("PorownajButt");
    const QStringList captions = {"Compare with controller", QString::fromUtf8("Сравнить с контроллером"),
                                  QString::fromUtf8("Porovnat s řídicí jednotkou"),
                                  "Confronta con la centralina",
                                  QString::fromUtf8("Porównaj parametry strony z parametrami w sterowniku")};
    for (const QString& c : captions) {
        r.form->shell().texts().set(31010, c);
        r.form->shell().textsReloaded();
        QTRY_COMPARE(compare->text(), c);
        QApplication::processEvents();
        const QRect room = compare->rect().adjusted(6, 3, -6, -3);
        const QRect need = compare->fontMetrics().boundingRect(room, Qt::TextWordWrap | Qt::AlignCenter, c);
        QVERIFY2(need.width() <= room.width() && need.height() <= room.height(), qPrintable(c));
        checkFits(params);
        if (QTest::currentTestFailed()) return;
    }
    if (!dir.isEmpty()) params->grab().save(dir + "/parametry_long_caption.png");

    r.key(Qt::Key_F9);
    QWidget* printPage = r.form->pageControl()->currentWidget();
    if (!dir.isEmpty()) printPage->grab().save(dir + "/drukowanie.png");
    checkFits(printPage);
}

QTEST_MAIN(TestParamWindow)
#include "tst_paramwindow.moc"
