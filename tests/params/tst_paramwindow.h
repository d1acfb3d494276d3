#pragma once
// Parameter files, the comparison with the controller and the print page in
// the real main window against the emulated controller on a pseudo-terminal,
// with quendrix-cli reading and checking the same controller.
#include "emulator/Emulator.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/PrintSheet.h"
#include "params/ui/PrintPage.h"
#include "params/ui/ParametersPage.h"
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

using Kind = ParametersPage::FileDialogKind;

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
inline QByteArray carFile() {
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
    ParametersPage* params = nullptr;
    PrintPage* print = nullptr;
    std::vector<Message> messages;
    QStringList questions; // asked before a read replaced unwritten values
    ParametersPage::Edits answer = ParametersPage::Edits::Discard;
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
        params = form->findChild<ParametersPage*>();
        print = form->findChild<PrintPage*>();
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
inline void checkFits(QWidget* page) {
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
