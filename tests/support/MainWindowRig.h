#pragma once
// The real main window against the emulated controller on a pseudo-terminal,
// on a settings store of its own (QUENDRIX_SETTINGS, set by the suite) and a
// screen and serial-device list the test chooses. Header only: suites that use
// it link quendrix_shell_ui and quendrix_sim.
#include "emulator/Emulator.h"
#include "params/ui/ParametersPage.h"
#include "shell/ui/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTabWidget>
#include <QtTest>
#include <memory>

struct MainWindowRig {
    struct Options {
        int version = 8;
        bool silent = false;
        // Start from the store as the last window left it (a restart); a
        // fresh store otherwise.
        bool keepSettings = false;
        LayoutApplier::Screen screen{QSize(1366, 768), QRect(0, 0, 1366, 738)};
        // The serial devices the Port menu lists; none unless the test says.
        std::function<QList<SerialDevice>()> devices = [] { return QList<SerialDevice>{}; };
        // Where the ports live; by default COM1 is the emulator.
        std::function<void(ControllerLink&, const QString& pty)> configureLink;
    };

    std::unique_ptr<qsim::Emulator> emu;
    std::unique_ptr<MainWindow> form;
    QStringList messages;  // the parameters page's message boxes
    QStringList questions; // its questions before a read replaces unwritten values
    ParametersPage::Edits answer = ParametersPage::Edits::Discard;
    QStringList shellMessages; // the window's own message boxes (language, skin, settings)

    static QString settingsPath() { return qEnvironmentVariable("QUENDRIX_SETTINGS"); }
    // The program takes its lang/, skins/ and help/ from another folder until destroyed.
    struct DataFolder {
        QByteArray previous = qgetenv("QUENDRIX_DATA");
        explicit DataFolder(const QString& path) { qputenv("QUENDRIX_DATA", path.toUtf8()); }
        ~DataFolder() { qputenv("QUENDRIX_DATA", previous); }
    };
    static void copyFolder(const QString& from, const QString& to) {
        QDir().mkpath(to);
        for (const QString& f : QDir(from).entryList(QDir::Files))
            QFile::copy(QDir(from).filePath(f), QDir(to).filePath(f));
    }

    explicit MainWindowRig(int version = 8, bool silent = false) : MainWindowRig(make(version, silent)) {}
    explicit MainWindowRig(const Options& o) {
        if (!o.keepSettings) QFile::remove(settingsPath());
        emu = std::make_unique<qsim::Emulator>(o.version, 3);
        std::string err;
        if (!emu->openPty(&err) || !emu->start()) qFatal("emulator: %s", err.c_str());
        emu->withModel([silent = o.silent](qsim::ControllerModel& m) {
            m.faults().silent = silent;
            m.inputs().engineOn = true;
            return 0;
        });
        MainWindow::Setup setup;
        const QString path = pty();
        auto configure = o.configureLink;
        setup.configureLink = [path, configure](ControllerLink& link) {
            if (configure) return configure(link, path);
            link.setDevicePath(1, path);
            link.setSelectedPort(QStringLiteral("com1"));
        };
        const LayoutApplier::Screen screen = o.screen;
        setup.screen = [screen] { return screen; };
        setup.serialDevices = o.devices;
        setup.message = [this](QMessageBox::Icon, const QString& text) { shellMessages << text; };
        form = std::make_unique<MainWindow>(setup);
        // Message boxes of the parameters page (write checks) are recorded, not shown.
        form->findChild<ParametersPage*>()->setMessageHandler(
            [this](QMessageBox::Icon, const QString&, const QString& text) { messages << text; });
        form->findChild<ParametersPage*>()->setQuestionHandler([this](const QString& text) {
            questions << text;
            return answer;
        });
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) qWarning("main window not exposed");
        waitIdle(); // the start-up exchanges
    }
    ~MainWindowRig() {
        form.reset();
        emu->stop();
    }
    static Options make(int version, bool silent) {
        Options o;
        o.version = version;
        o.silent = silent;
        return o;
    }

    QString pty() const { return QString::fromStdString(emu->devicePath()); }
    void waitIdle() const {
        QTRY_VERIFY_WITH_TIMEOUT(!form->link().busy() && form->link().heldActions() == 0, 10000);
    }
    bool polling(const char* timer) const { return form->link().isPolling(QString::fromLatin1(timer)); }
    // A key or menu command, and everything it started.
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(form.get(), k, m);
        waitIdle();
    }
    QAction* item(const char* name) const { return form->menuItem(QString::fromLatin1(name)); }
    template <class T = QWidget> T* w(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QString current() const { return form->pageControl()->currentWidget()->objectName(); }
    // Closes the window the way its close box does: the settings are saved.
    void close() {
        form->close();
        QCoreApplication::processEvents();
    }
};
