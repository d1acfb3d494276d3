#include "shell/ui/Application.h"

#include "shell/CommandLine.h"
#include "shell/LanguageFile.h"
#include "shell/SettingsFile.h"
#include "shell/SettingsStore.h"
#include "shell/SingleInstance.h"
#include "shell/ui/DemoCarWindow.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/SplashScreen.h"
#include "shell/ui/TraceWindow.h"

#include "core/DataPaths.h"
#include "core/LanguageKeys.h"
#include "core/LanguageTexts.h"
#include "core/SystemTexts.h"
#include "emulator/Emulator.h"

#include "link/PortMap.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

void printErr(const QString& text) {
    std::fputs(qPrintable(text), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

// A second copy says so in the language the running one was left in, though no
// window has loaded it yet.
void useSavedLanguage() {
    const QString file = shell::openSettings()->value(shell::SettingsStore::LangNazw).toString();
    if (!shell::lang::choiceByFile(file)) return;
    LanguageTexts texts;
    for (const shell::LanguageLine& l :
         shell::readLanguageFile(shell::dataFile(QStringLiteral("lang"), file)).lines)
        if (l.kind == shell::LanguageLine::Kind::Text) texts.set(l.key, l.text);
    systemtext::use(texts);
}
} // namespace

int runQuendrix(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quendrix"));
    QApplication::setApplicationVersion(QStringLiteral(QUENDRIX_VERSION));

    const shell::CommandLine cl = shell::parseCommandLine(QApplication::arguments());
    if (!cl.ok) {
        printErr(QStringLiteral("quendrix: ") + cl.error);
        printErr(cl.helpText);
        return 2;
    }
    if (cl.showHelp) {
        std::fputs(qPrintable(cl.helpText), stdout);
        return 0;
    }

    // A headless render must never wait for a click: in --screenshot runs every
    // box (a port that cannot be opened, a second instance, ...) is reported on
    // stderr and closed with its default answer.
    QTimer boxCloser;
    if (!cl.screenshot.isEmpty()) {
        QObject::connect(&boxCloser, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                printErr(QStringLiteral("quendrix: message closed for the screenshot: ") + box->text());
                box->done(box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::Ok);
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                printErr(QStringLiteral("quendrix: dialog closed for the screenshot: ") +
                         dialog->windowTitle());
                dialog->reject();
            }
        });
        boxCloser.start(300);
    }

    // Taken before the splash shows, reported after it, as the program always did.
    shell::SingleInstance instance;
    const bool alone = instance.acquire();

    auto splash = std::make_unique<SplashScreen>();
    splash->showFor(1000);

    if (!alone) {
        splash.reset();
        useSavedLanguage();
        const QString running = systemtext::text(systemtext::AlreadyRunning);
        printErr(QStringLiteral("quendrix: %1 (%2)").arg(running, instance.lockPath()));
        QMessageBox::information(nullptr, systemtext::text(systemtext::InformationTitle), running,
                                 QMessageBox::Ok);
        return 1;
    }

    std::unique_ptr<qsim::Emulator> emulator;
    if (cl.demo) {
        emulator = std::make_unique<qsim::Emulator>(5, 2);
        emulator->boundHistory(); // the demo may run all day
        std::string err;
        if (!emulator->openPty(&err) || !emulator->start()) {
            splash.reset();
            useSavedLanguage();
            const QString msg = systemtext::text(systemtext::DemoFailed).arg(QString::fromStdString(err));
            printErr(msg);
            QMessageBox::critical(nullptr, QStringLiteral("Quendrix"), msg);
            return 1;
        }
        // The demo car starts with a short run above the switch-over speed, then
        // idles: within a few seconds it runs on gas as a warmed-up car would.
        emulator->withModel([](qsim::ControllerModel& m) {
            m.inputs().engineOn = true;
            m.inputs().throttle = 0.0;
            m.inputs().forcedRpm = 2500;
            return 0;
        });
        QTimer::singleShot(2000, [emu = emulator.get()] {
            emu->withModel([](qsim::ControllerModel& m) {
                m.inputs().forcedRpm = -1;
                return 0;
            });
        });
    }

    MainWindow::Setup setup;
    setup.configureLink = [&](ControllerLink& link) {
        const PortOptions options = parsePortOptions(cl.ports);
        for (auto it = options.map.constBegin(); it != options.map.constEnd(); ++it)
            link.setDevicePath(it.key(), it.value());
        if (options.lastCom > 0) link.setSelectedPort(QStringLiteral("com%1").arg(options.lastCom));
        if (emulator) {
            link.setDevicePath(1, QString::fromStdString(emulator->devicePath()));
            link.setSelectedPort(QStringLiteral("com1"));
        }
    };
    MainWindow form1(setup);
    form1.show();
    splash->hide();
    splash.reset();

    if (cl.trace) form1.protocolTraceClick();
    // The choices of the command line, as their menu items make them.
    if (cl.layoutItem) form1.layoutMenuClick(cl.layoutItem);
    if (!cl.skinCode.isEmpty()) form1.skinMenuClick(cl.skinCode);
    if (!cl.languageFile.isEmpty()) form1.languageMenuClick(cl.languageFile);
    if (cl.page == shell::Page::Drukowanie)
        // As a fitter gets there: its tab shows once the parameters page has been visited.
        form1.selectPageFromMenu(shell::Page::Parametry);
    if (cl.page)
        form1.selectPageFromMenu(*cl.page);
    else if (!cl.dialog.isEmpty())
        form1.selectPageFromMenu(shell::Page::Parametry);
    if (cl.dialog == QLatin1String("historia"))
        // Once the page has read the controller: the button waits for the link as a click does.
        QTimer::singleShot(cl.afterMs / 2, &form1, [&form1] {
            if (auto* b = form1.findChild<QAbstractButton*>(QStringLiteral("HistoriaButt"))) b->click();
        });

    std::unique_ptr<DemoCarWindow> car;
    if (emulator && cl.screenshot.isEmpty()) {
        car = std::make_unique<DemoCarWindow>(*emulator, &form1);
        car->placeBeside(&form1);
        car->show();
    }

    int shotResult = 0;
    if (!cl.screenshot.isEmpty()) {
        QTimer::singleShot(cl.afterMs, &form1, [&] {
            // The window --dialog or --trace opened, when it is open; the main window otherwise.
            QWidget* shown = form1.traceWindow() ? static_cast<QWidget*>(form1.traceWindow()) : &form1;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->objectName() == QLatin1String("HistoriaDialog")) shown = w;
            const QPixmap pm = shown->grab();
            if (!pm.save(cl.screenshot, "PNG")) {
                printErr(QStringLiteral("quendrix: cannot write %1").arg(cl.screenshot));
                shotResult = 1;
            }
            form1.close();
        });
    }
    const int rc = app.exec();
    car.reset();
    return shotResult ? shotResult : rc;
}
