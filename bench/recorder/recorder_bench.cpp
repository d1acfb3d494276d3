// recorder_bench [--seconds N] [--rounds K] [--dir DIR] [--shot DIR]
// The drive log against quendrix-sim (9600 Bd on a pseudo-terminal), offscreen,
// with the live page WizualizacjaTab shown:
//  1. fast log: recording with the fast log on for N seconds (10 by default);
//     the frames the page's poll received (answered polls) are counted as
//     they arrive and compared with the rows the files hold afterwards;
//  2. the live page at its usual pace, K rounds (3 by default) of N/2 seconds
//     without and N/2 seconds with the recorder, alternated so that a busy
//     machine weighs on both alike.
// Prints as its last line
//   frames_per_s=… lost_frames=… cpu_pct=…
// (cpu_pct: this process during the fast log, % of one core) and before it the
// page's CPU without and with the recorder. With --shot, the log viewer on the
// fast log's file and the live page replaying it are saved as PNG files.
#include "link/Clock.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/LogFile.h"
#include "live/ui/LogViewer.h"
#include "live/ui/LivePage.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/WriteGate.h"
#include "core/PollTimers.h"
#include "core/ShellModel.h"
#include "support/SimProcess.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// The event loop, idle when nothing is due (processEvents would spin).
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void waitIdle(ControllerLink& link) {
    QElapsedTimer t;
    t.start();
    while ((link.busy() || link.heldActions() > 0) && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int seconds = 10;
    int rounds = 3;
    QString dir, shotDir;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--seconds"))
            seconds = std::max(2, args[++i].toInt());
        else if (args[i] == QLatin1String("--rounds"))
            rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--dir"))
            dir = args[++i];
        else if (args[i] == QLatin1String("--shot"))
            shotDir = args[++i];
    }
    QTemporaryDir tmp;
    if (dir.isEmpty()) dir = tmp.path();

    SimProcess sim;
    if (!sim.start(QCoreApplication::applicationDirPath(),
                   {QStringLiteral("--version-code"), QStringLiteral("5")}))
        return 1;
    sim.command("throttle 0.3");

    params::WriteGate gate(nullptr);
    ControllerLink link([] { return std::make_unique<QtSerialPort>(); },
                        [] { return std::make_unique<SystemClock>(); });
    ShellModel shell;
    ParameterModel params;
    params::ParameterSession session(link, gate, params, {});
    LiveModel live(link, params);
    LiveSession liveSession(link, live, params, gate);
    const Models models{link, params, gate, session, live, liveSession, shell};
    link.setDevicePath(1, sim.pty());
    link.setSelectedPort(QStringLiteral("com1"));

    QWidget window;
    window.resize(795, 480);
    auto* page = new LivePage(models, &window);
    page->setGeometry(0, 0, 795, 480);
    window.show();
    page->enterPage();
    waitIdle(link);

    // Frames that brought bytes while recording: what the files must hold.
    const QString wiz = polltimer::name(polltimer::Wiz);
    qint64 received = 0;
    QObject::connect(&link, &ControllerLink::framesPolled,
                     [&](const QString& name, const QVector<LiveFrame>& fs) {
                         if (name != wiz || !liveSession.recorder().recording()) return;
                         for (const LiveFrame& f : fs)
                             received += f.received > 0;
                     });
    // The fitter blips the throttle: every instrument keeps moving.
    QTimer driver;
    int step = 0;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        static const char* const throttles[] = {"0.2", "0.5", "0.8", "0.4", "0.1", "0.6"};
        sim.command(QByteArray("throttle ") + throttles[step++ % 6]);
    });
    driver.start(2000);
    runFor(1000);

    // 1. Fast log.
    liveSession.setFastLog(true);
    if (!liveSession.startRecording(dir)) {
        std::fprintf(stderr, "cannot record: %s\n", qPrintable(liveSession.recorder().errorString()));
        return 1;
    }
    runFor(500); // the poll restarts at its new pace
    const qint64 received0 = received;
    const qint64 rows0 = liveSession.recorder().rowsRecorded();
    QElapsedTimer run;
    run.start();
    const double cpu0 = cpuSeconds();
    runFor(seconds * 1000);
    const double fastCpu = cpuSeconds() - cpu0;
    const double fastSeconds = run.nsecsElapsed() / 1e9;
    const qint64 fastFrames = received - received0;
    const qint64 fastRows = liveSession.recorder().rowsRecorded() - rows0;
    liveSession.stopRecording();
    const QString csv = liveSession.recorder().csvPath();
    const live::LogData csvLog = live::readLog(csv);
    const live::LogData mslLog = live::readLog(liveSession.recorder().mslPath());
    const qint64 lost = std::max<qint64>(received - csvLog.rows(), received - mslLog.rows()) +
                        liveSession.recorder().rowsDropped();
    liveSession.setFastLog(false);
    const auto whole = std::count(csvLog.whole.begin(), csvLog.whole.end(), quint8(1));
    std::printf(
        "fast log: %lld frames in %.1f s, %lld rows recorded meanwhile; files %d / %d rows (%lld whole) "
        "of %lld frames\n",
        static_cast<long long>(fastFrames), fastSeconds, static_cast<long long>(fastRows), csvLog.rows(),
        mslLog.rows(), static_cast<long long>(whole), static_cast<long long>(received));

    // 2. The page at its usual pace, without and with the recorder.
    runFor(1000);
    double cpuOff = 0, cpuOn = 0, secOff = 0, secOn = 0;
    for (int r = 0; r < rounds; ++r)
        for (bool on : {false, true}) {
            if (on && !liveSession.startRecording(dir)) return 1;
            runFor(300);
            QElapsedTimer t;
            t.start();
            const double c0 = cpuSeconds();
            runFor(seconds * 500);
            (on ? cpuOn : cpuOff) += cpuSeconds() - c0;
            (on ? secOn : secOff) += t.nsecsElapsed() / 1e9;
            liveSession.stopRecording();
        }
    driver.stop();
    if (!shotDir.isEmpty()) {
        QDir().mkpath(shotDir);
        LogViewer viewer(shell);
        viewer.resize(1000, 600);
        viewer.setLiveSession(&liveSession);
        viewer.show();
        if (viewer.openLog(csv)) {
            viewer.view().setCursor((viewer.view().first() + viewer.view().last()) / 2);
            runFor(300);
            viewer.grab().save(QDir(shotDir).filePath(QStringLiteral("log-viewer-recorded.png")));
            liveSession.startReplay(viewer.log(), QFileInfo(csv).fileName());
            liveSession.replay().setSpeed(2);
            runFor(4000);
            page->grab().save(QDir(shotDir).filePath(QStringLiteral("live-replaying.png")));
            viewer.grab().save(QDir(shotDir).filePath(QStringLiteral("log-viewer-replaying.png")));
            liveSession.stopReplay();
        }
    }
    link.stopAllPolling();
    const double pctOff = 100.0 * cpuOff / secOff, pctOn = 100.0 * cpuOn / secOn;
    std::printf(
        "live page at 20 polls/s: cpu_pct_recorder_off=%.2f cpu_pct_recorder_on=%.2f difference=%.2f\n",
        pctOff, pctOn, pctOn - pctOff);
    std::printf("frames_per_s=%.1f lost_frames=%lld cpu_pct=%.2f\n", fastFrames / fastSeconds,
                static_cast<long long>(lost), 100.0 * fastCpu / fastSeconds);
    return 0;
}
