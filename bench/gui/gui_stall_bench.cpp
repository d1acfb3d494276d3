// gui_stall_bench [--seconds N]
// The real main window offscreen against quendrix-sim (a separate process),
// with a 5 ms probe timer on the GUI thread: how long the window stops
// answering while the link works. Three phases: the live page polling for N
// seconds (10 by default); three full writes from the parameters page; the
// live page with the emulator silent for N seconds. The last line is
//   stall_ms_p99_live= stall_ms_p99_write= stall_ms_p99_silent= polls_per_s=
// where a stall is the time between two probe ticks beyond the probe's 5 ms.
#include "core/PollTimers.h"
#include "link/ControllerLink.h"
#include "params/ui/ParametersPage.h"
#include "shell/ui/MainWindow.h"
#include "support/WindowOnSim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int ProbeMs = 5;

// Gaps between probe ticks on the GUI thread while it is recording.
class Probe {
public:
    Probe() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (recording_ && last_ >= 0) gaps_.push_back((now - last_) / 1e6);
            last_ = now;
        });
        clock_.start();
        timer_.start(ProbeMs);
    }
    void record(bool on) {
        recording_ = on;
        last_ = -1;
        if (on) gaps_.clear();
    }
    // p99 of the stall (the gap beyond the probe's own interval), in ms.
    double stallP99() const {
        if (gaps_.empty()) return 0;
        std::vector<double> g = gaps_;
        std::sort(g.begin(), g.end());
        const double p99 = g[std::min(g.size() - 1, static_cast<std::size_t>(g.size() * 0.99))];
        return std::max(0.0, p99 - ProbeMs);
    }
    double stallMax() const {
        return gaps_.empty() ? 0 : std::max(0.0, *std::max_element(gaps_.begin(), gaps_.end()) - ProbeMs);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    bool recording_ = false;
    std::vector<double> gaps_;
};

void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    qputenv("QUENDRIX_SETTINGS", settingsDir.filePath(QStringLiteral("bench.ini")).toUtf8());
    QApplication app(argc, argv);
    int seconds = 10;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i)
        if (args[i] == QLatin1String("--seconds") && i + 1 < args.size()) seconds = args[++i].toInt();

    SimProcess sim;
    if (!startSim(sim)) return 1;
    MainWindow window(setupOnSim(sim));
    window.show();
    auto* page = window.findChild<ParametersPage*>();
    page->setMessageHandler([](QMessageBox::Icon, const QString&, const QString& text) {
        std::fprintf(stderr, "gui_stall_bench: message: %s\n", qPrintable(text));
    });
    if (!waitIdle(window, 10000)) {
        std::fprintf(stderr, "gui_stall_bench: start-up did not finish\n");
        return 1;
    }

    Probe probe;
    int polls = 0;
    QObject::connect(&window.link(), &ControllerLink::framesPolled,
                     [&](const QString& name, const QVector<LiveFrame>&) {
                         if (name == polltimer::name(polltimer::Wiz)) ++polls;
                     });

    // Phase 1: the live page polling.
    window.selectPageFromMenu(shell::Page::Wizualizacja);
    waitIdle(window, 10000);
    runFor(300);
    polls = 0;
    probe.record(true);
    QElapsedTimer live;
    live.start();
    runFor(seconds * 1000);
    const double pollsPerS = polls / (live.nsecsElapsed() / 1e9);
    probe.record(false);
    const double live99 = probe.stallP99();
    const double liveMax = probe.stallMax();

    // Phase 2: three full writes, each the fitter's press of "Zapisz parametry".
    window.selectPageFromMenu(shell::Page::Parametry);
    waitIdle(window, 10000);
    probe.record(true);
    auto* write = window.findChild<QAbstractButton*>(QStringLiteral("ZapButPic"));
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(write, Qt::LeftButton);
        waitIdle(window, 10000);
        runFor(100);
    }
    probe.record(false);
    const double write99 = probe.stallP99();
    const double writeMax = probe.stallMax();

    // Phase 3: the live page with the controller silent.
    window.selectPageFromMenu(shell::Page::Wizualizacja);
    waitIdle(window, 10000);
    runFor(300);
    sim.command("silent on");
    probe.record(true);
    runFor(seconds * 1000);
    probe.record(false);
    const double silent99 = probe.stallP99();
    const double silentMax = probe.stallMax();
    sim.command("silent off");

    window.link().stopAllPolling();
    std::printf("stall_ms_max_live=%.2f stall_ms_max_write=%.2f stall_ms_max_silent=%.2f\n", liveMax,
                writeMax, silentMax);
    std::printf("stall_ms_p99_live=%.2f stall_ms_p99_write=%.2f stall_ms_p99_silent=%.2f polls_per_s=%.2f\n",
                live99, write99, silent99, pollsPerS);
    return 0;
}
