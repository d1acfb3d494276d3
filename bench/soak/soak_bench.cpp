// soak_bench [--seconds N] [--warmup S] [--every S]
// The real main window offscreen on the live page against quendrix-sim (a
// separate process) for N seconds (3600 by default). The process's resident
// memory is sampled every S seconds (10) after a warm-up (S seconds; without
// --warmup 120 s, at most a fifth of the run); its growth is the least-squares slope of those samples.
// Progress goes to stderr; the last line on stdout is
//   rss_growth_kb_per_hour= cpu_pct= polls_per_s=
#include "core/PollTimers.h"
#include "link/ControllerLink.h"
#include "shell/ui/MainWindow.h"
#include "support/WindowOnSim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

// Lets the event loop run (and sleep between events) for that long: a loop
// of processEvents() would spin and measure itself.
void runFor(qint64 ms) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

// Least-squares slope of (seconds, kB) in kB per second.
double slope(const std::vector<std::pair<double, double>>& s) {
    if (s.size() < 2) return 0;
    double mx = 0, my = 0;
    for (const auto& [x, y] : s) {
        mx += x;
        my += y;
    }
    mx /= s.size();
    my /= s.size();
    double num = 0, den = 0;
    for (const auto& [x, y] : s) {
        num += (x - mx) * (y - my);
        den += (x - mx) * (x - mx);
    }
    return den > 0 ? num / den : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    qputenv("QUENDRIX_SETTINGS", settingsDir.filePath(QStringLiteral("soak.ini")).toUtf8());
    QApplication app(argc, argv);
    int seconds = 3600, warmup = -1, every = 10;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--seconds"))
            seconds = args[++i].toInt();
        else if (args[i] == QLatin1String("--warmup"))
            warmup = args[++i].toInt();
        else if (args[i] == QLatin1String("--every"))
            every = args[++i].toInt();
    }
    // The first minutes' allocations (heap, the chart's history) settle
    // before measuring; a short run without a warm-up of its own keeps four
    // fifths for measuring.
    if (warmup < 0) warmup = std::min(120, seconds / 5);
    warmup = std::clamp(warmup, 0, std::max(0, seconds - 10));
    every = std::max(1, every);

    SimProcess sim;
    if (!startSim(sim)) return 1;
    MainWindow window(setupOnSim(sim));
    window.show();
    if (!waitIdle(window, 10000)) {
        std::fprintf(stderr, "soak_bench: start-up did not finish\n");
        return 1;
    }
    long polls = 0, bad = 0;
    QObject::connect(&window.link(), &ControllerLink::framesPolled,
                     [&](const QString& name, const QVector<LiveFrame>& frames) {
                         if (name != polltimer::name(polltimer::Wiz)) return;
                         for (const LiveFrame& f : frames) {
                             ++polls;
                             bad += f.ok ? 0 : 1;
                         }
                     });
    window.selectPageFromMenu(shell::Page::Wizualizacja);
    waitIdle(window, 10000);

    // The engine moves now and then so the instruments and chart keep redrawing.
    QTimer engine;
    int step = 0;
    QObject::connect(&engine, &QTimer::timeout, [&] {
        static const char* throttles[] = {"throttle 0.1", "throttle 0.5", "throttle 0.3", "throttle 0.8"};
        sim.command(throttles[step++ % 4]);
    });
    engine.start(7000);

    runFor(qint64(warmup) * 1000);
    std::vector<std::pair<double, double>> samples;
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = cpuSeconds();
    const long polls0 = polls;
    const double rss0 = rssKb();
    samples.emplace_back(0.0, rss0);
    const qint64 measureMs = qint64(seconds - warmup) * 1000;
    while (wall.elapsed() < measureMs) {
        runFor(std::min<qint64>(qint64(every) * 1000, measureMs - wall.elapsed()));
        const double t = wall.elapsed() / 1000.0;
        samples.emplace_back(t, rssKb());
        if (samples.size() % 30 == 0)
            std::fprintf(stderr, "soak_bench: %.0f s rss_kb=%.0f polls=%ld bad=%ld\n", t,
                         samples.back().second, polls - polls0, bad);
    }
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpuPct = (cpuSeconds() - cpu0) / elapsed * 100.0;
    const double pollsPerS = (polls - polls0) / elapsed;
    const double growth = slope(samples) * 3600.0;
    window.link().stopAllPolling();
    std::printf("rss_start_kb=%.0f rss_end_kb=%.0f measured_s=%.0f warmup_s=%d bad_frames=%ld\n", rss0,
                samples.back().second, elapsed, warmup, bad);
    std::printf("rss_growth_kb_per_hour=%.1f cpu_pct=%.2f polls_per_s=%.2f\n", growth, cpuPct, pollsPerS);
    return 0;
}
