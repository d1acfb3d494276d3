#pragma once
// The real main window against quendrix-sim as COM1, for the benchmarks that
// measure the window.
#include "link/ControllerLink.h"
#include "shell/ui/MainWindow.h"
#include "support/SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>

// The emulator as a version-5 controller with the throttle part open.
inline bool startSim(SimProcess& sim) {
    if (!sim.start(QCoreApplication::applicationDirPath(),
                   {QStringLiteral("--version-code"), QStringLiteral("5")}))
        return false;
    sim.command("throttle 0.3");
    return true;
}

// A window set-up whose COM1 is the emulator's pseudo-terminal.
inline MainWindow::Setup setupOnSim(const SimProcess& sim) {
    MainWindow::Setup setup;
    const QString pty = sim.pty();
    setup.configureLink = [pty](ControllerLink& link) {
        link.setDevicePath(1, pty);
        link.setSelectedPort(QStringLiteral("com1"));
    };
    return setup;
}

// Until the link has nothing running or held; false after timeoutMs.
inline bool waitIdle(MainWindow& w, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (w.link().busy() || w.link().heldActions() > 0) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}
