// live_bench [--seconds N] [--shot DIR] [--widgets] [--record FILE] [--hidden | --chart-paused |
// --chart-only] live_bench --replay FILE [--repeat K] [--widgets] Runs the live page WizualizacjaTab against
// quendrix-sim for N seconds (30 by default) offscreen, and prints as the last line
//   polls_per_s=… cpu_pct=… rss_mb=… paint_ms_p99=…
// CPU and memory are this process's own (the line before splits the CPU by
// thread); the emulator runs in its own process. With --shot, ObrotyTab and
// WizualizacjaTab are also saved as PNG files; --record writes the frames the
// page received, one a line. Where the CPU goes: --hidden polls with the
// window hidden (nothing is painted), --chart-paused stops the chart's own
// samples, --chart-only runs the chart with no polling.
//
// --replay feeds recorded frames to the page without timers: for each frame
// the link's signal, a repaint, one chart sample and a repaint, K times over.
// The work is the same on every run, so under
//   valgrind --tool=callgrind --instr-atstart=no build/bench/live_bench --replay …
// the instruction counts of the replay alone can be compared between builds
// (bench/live/live_callgrind.sh divides them per frame).
#include "core/PollTimers.h"
#include "core/ShellModel.h"
#include "link/Clock.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/ui/EngineSpeedPage.h"
#include "live/ui/LivePage.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/WriteGate.h"
#include "support/SimProcess.h"
#include "support/ThreadCpu.h"
#include "widgets/TSweepChart.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define LIVE_BENCH_CALLGRIND 1
#endif

namespace {

// Instruction counting only over the measured part (no-ops outside valgrind).
void countInstructions(bool on) {
#ifdef LIVE_BENCH_CALLGRIND
    if (on) {
        CALLGRIND_ZERO_STATS;
        CALLGRIND_START_INSTRUMENTATION;
    } else {
        CALLGRIND_STOP_INSTRUMENTATION;
    }
#else
    Q_UNUSED(on);
#endif
}

struct Stats {
    double p50 = 0, p99 = 0, max = 0, sum = 0;
};

Stats stats(std::vector<double> v) {
    Stats s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.p50 = v[v.size() / 2];
    s.p99 = v[std::min(v.size() - 1, static_cast<std::size_t>(v.size() * 0.99))];
    s.max = v.back();
    for (double x : v)
        s.sum += x;
    return s;
}

class TimingApp : public QApplication {
public:
    using QApplication::QApplication;
    std::vector<double> frameMs;
    // Queued deliveries to the link facade (polled frames, state): the cost of
    // handling a frame on the GUI thread, every connected slot included.
    const QObject* link = nullptr;
    std::vector<double> deliveryMs;
    // Paint time per widget (--widgets): where a frame's time goes.
    bool perWidget = false;
    QHash<QString, std::vector<double>> widgetMs;
    bool measuring = false;
    bool notify(QObject* o, QEvent* e) override {
        if (!measuring) return QApplication::notify(o, e);
        std::vector<double>* into = nullptr;
        if (perWidget && e->type() == QEvent::Paint)
            into = &widgetMs[o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                                       : o->objectName()];
        // A top-level's update request repaints every dirty widget of the window:
        // its duration is the cost of one frame.
        else if (e->type() == QEvent::UpdateRequest && o->isWidgetType())
            into = &frameMs;
        else if (e->type() == QEvent::MetaCall && o == link)
            into = &deliveryMs;
        if (!into) return QApplication::notify(o, e);
        QElapsedTimer t;
        t.start();
        const bool r = QApplication::notify(o, e);
        into->push_back(t.nsecsElapsed() / 1e6);
        return r;
    }
};

// One frame a line: ok, length, bytes received, then the nine bytes, in hex.
void writeFrame(QTextStream& out, const LiveFrame& f) {
    out << int(f.ok) << ' ' << f.length << ' ' << f.received;
    for (std::uint8_t b : f.bytes)
        out << ' ' << QString::number(b, 16);
    out << '\n';
}

std::vector<LiveFrame> readFrames(const QString& path) {
    std::vector<LiveFrame> frames;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return frames;
    while (!file.atEnd()) {
        const QList<QByteArray> t = file.readLine().simplified().split(' ');
        if (t.size() != 12 || t[0].startsWith('#')) continue;
        LiveFrame f;
        f.ok = t[0].toInt() != 0;
        f.length = t[1].toInt();
        f.received = t[2].toInt();
        for (int i = 0; i < 9; ++i)
            f.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(t[3 + i].toUInt(nullptr, 16));
        frames.push_back(f);
    }
    return frames;
}

void printWidgets(const TimingApp& app) {
    for (auto it = app.widgetMs.begin(); it != app.widgetMs.end(); ++it) {
        const Stats s = stats(it.value());
        std::printf("  %-22s paints=%5zu total_ms=%8.1f p50=%.3f max=%.3f\n", qPrintable(it.key()),
                    it.value().size(), s.sum, s.p50, s.max);
    }
}

// Until nothing is left to deliver or paint.
void flush() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApp app(argc, argv);
    int seconds = 30;
    int repeat = 1;
    bool hidden = false, chartPaused = false, chartOnly = false;
    QString shotDir, recordPath, replayPath;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const bool more = i + 1 < args.size();
        if (args[i] == QLatin1String("--seconds") && more) seconds = args[++i].toInt();
        if (args[i] == QLatin1String("--shot") && more) shotDir = args[++i];
        if (args[i] == QLatin1String("--record") && more) recordPath = args[++i];
        if (args[i] == QLatin1String("--replay") && more) replayPath = args[++i];
        if (args[i] == QLatin1String("--repeat") && more) repeat = std::max(1, args[++i].toInt());
        if (args[i] == QLatin1String("--widgets")) app.perWidget = true;
        if (args[i] == QLatin1String("--hidden")) hidden = true;
        if (args[i] == QLatin1String("--chart-paused")) chartPaused = true;
        if (args[i] == QLatin1String("--chart-only")) chartOnly = true;
    }
    std::vector<LiveFrame> replay;
    if (!replayPath.isEmpty()) {
        replay = readFrames(replayPath);
        if (replay.empty()) {
            std::fprintf(stderr, "no frames in %s\n", qPrintable(replayPath));
            return 1;
        }
    }

    SimProcess sim;
    if (!sim.start(QCoreApplication::applicationDirPath(),
                   {QStringLiteral("--version-code"), QStringLiteral("5")}))
        return 1;
    auto command = [&](const QByteArray& c) { sim.command(c); };
    command("throttle 0.3");

    params::WriteGate gate(nullptr);
    ControllerLink link([] { return std::make_unique<QtSerialPort>(); },
                        [] { return std::make_unique<SystemClock>(); });
    app.link = &link;
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
    auto* obroty = new EngineSpeedPage(models, nullptr);
    obroty->resize(795, 480);
    if (!hidden) window.show();

    page->enterPage();
    // The entry's reads finish before the measurement starts, as they did when
    // they blocked the window.
    while (link.busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const QString wiz = polltimer::name(polltimer::Wiz);
    int polls = 0;
    QFile recordFile(recordPath);
    QTextStream record(&recordFile);
    if (!recordPath.isEmpty() && recordFile.open(QIODevice::WriteOnly | QIODevice::Text))
        record << "# ok length received bytes0..8 (hex): frames of the live page's poll\n";
    QObject::connect(&link, &ControllerLink::framesPolled,
                     [&](const QString& name, const QVector<LiveFrame>& fs) {
                         if (name != wiz) return;
                         ++polls;
                         if (recordFile.isOpen())
                             for (const LiveFrame& f : fs)
                                 writeFrame(record, f);
                     });

    if (!replay.empty()) {
        // Frames come from the file only; the chart samples once per frame.
        link.stopAllPolling();
        if (auto* pause = page->findChild<QToolButton*>(QStringLiteral("SpeedButton4")))
            pause->setChecked(true);
        auto* chart = page->findChild<TSweepChart*>(QStringLiteral("Scope1"));
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::vector<double> handleMs;
        app.measuring = true;
        QElapsedTimer run;
        run.start();
        const double cpu0 = cpuSeconds();
        countInstructions(true);
        for (int k = 0; k < repeat; ++k) {
            for (const LiveFrame& f : replay) {
                QElapsedTimer t;
                t.start();
                emit link.framesPolled(wiz, QVector<LiveFrame>{f});
                handleMs.push_back(t.nsecsElapsed() / 1e6);
                flush();
                chart->sampleTick();
                flush();
            }
        }
        countInstructions(false);
        const double cpu = cpuSeconds() - cpu0;
        app.measuring = false;
        printWidgets(app);
        const std::size_t n = replay.size() * static_cast<std::size_t>(repeat);
        const Stats p = stats(app.frameMs), h = stats(handleMs);
        std::printf("replay_frames=%zu paints=%zu cpu_us_per_frame=%.1f handle_ms_p50=%.3f paint_ms_p50=%.3f "
                    "paint_ms_p99=%.3f wall_s=%.2f\n",
                    n, app.frameMs.size(), 1e6 * cpu / double(n), h.p50, p.p50, p.p99,
                    run.nsecsElapsed() / 1e9);
        delete obroty;
        return 0;
    }

    if (chartPaused)
        if (auto* pause = page->findChild<QToolButton*>(QStringLiteral("SpeedButton4")))
            pause->setChecked(true);
    if (chartOnly) link.stopAllPolling();

    // The fitter blips the throttle: every instrument keeps moving.
    QTimer driver;
    int step = 0;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        static const char* const throttles[] = {"0.2", "0.5", "0.8", "0.4", "0.1", "0.6"};
        command(QByteArray("throttle ") + throttles[step++ % 6]);
    });
    driver.start(2000);

    QElapsedTimer run;
    const double cpu0 = cpuSeconds();
    const QMap<QString, double> threads0 = threadCpuNs();
    run.start();
    app.measuring = true;
    countInstructions(true);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    countInstructions(false);
    app.measuring = false;
    const double elapsed = run.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    const QMap<QString, double> threads = threadCpuPct(threads0, threadCpuNs(), elapsed);
    const double rss = rssKb() / 1024.0;
    driver.stop();
    recordFile.close();

    if (!shotDir.isEmpty()) {
        QDir().mkpath(shotDir);
        page->grab().save(QDir(shotDir).filePath(QStringLiteral("wizualizacja.png")));
        link.stopAllPolling();
        obroty->enterPage();
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 1500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        obroty->grab().save(QDir(shotDir).filePath(QStringLiteral("obroty.png")));
    }
    link.stopAllPolling();

    printWidgets(app);
    const Stats f = stats(app.frameMs), d = stats(app.deliveryMs);
    std::printf("frames=%zu seconds=%.1f cpu_s=%.2f paint_ms_p50=%.3f paint_ms_max=%.3f deliveries=%zu "
                "delivery_ms_p50=%.3f delivery_ms_p99=%.3f\n",
                app.frameMs.size(), elapsed, cpu, f.p50, f.max, app.deliveryMs.size(), d.p50, d.p99);
    std::printf("threads:");
    for (auto it = threads.begin(); it != threads.end(); ++it)
        std::printf(" %s=%.2f", qPrintable(QString(it.key()).replace(QLatin1Char(' '), QLatin1Char('_'))),
                    it.value());
    std::printf("\n");
    std::printf("polls_per_s=%.2f cpu_pct=%.2f rss_mb=%.1f paint_ms_p99=%.3f\n", polls / elapsed,
                100.0 * cpu / elapsed, rss, f.p99);
    delete obroty;
    return 0;
}
