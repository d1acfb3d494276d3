// live_bench [--seconds N] [--shot DIR] [--widgets]
// Runs the live page WizualizacjaTab against quendrix-sim for N seconds (30 by
// default) offscreen, and prints as the last line
//   polls_per_s=… cpu_pct=… rss_mb=… paint_ms_p99=…
// CPU and memory are this process's own; the emulator runs in its own process.
// With --shot, ObrotyTab and WizualizacjaTab are also saved as PNG files.
#include "link/Clock.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/ui/ObrotyPage.h"
#include "live/ui/WizualizacjaPage.h"
#include "params/ParameterModel.h"
#include "shell/PollTimers.h"
#include "shell/ShellModel.h"
#include "support/SimProcess.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

class TimingApp : public QApplication {
public:
    using QApplication::QApplication;
    std::vector<double> frameMs;
    // Paint time per widget (--widgets): where a frame's time goes.
    bool perWidget = false;
    QHash<QString, std::vector<double>> widgetMs;
    bool measuring = false;
    bool notify(QObject* o, QEvent* e) override {
        if (measuring && perWidget && e->type() == QEvent::Paint) {
            QElapsedTimer t;
            t.start();
            const bool r = QApplication::notify(o, e);
            widgetMs[o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                               : o->objectName()]
                .push_back(t.nsecsElapsed() / 1e6);
            return r;
        }
        // A top-level's update request repaints every dirty widget of the window:
        // its duration is the cost of one frame.
        if (!measuring || e->type() != QEvent::UpdateRequest || !o->isWidgetType())
            return QApplication::notify(o, e);
        QElapsedTimer t;
        t.start();
        const bool r = QApplication::notify(o, e);
        frameMs.push_back(t.nsecsElapsed() / 1e6);
        return r;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApp app(argc, argv);
    int seconds = 30;
    QString shotDir;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--seconds") && i + 1 < args.size()) seconds = args[++i].toInt();
        if (args[i] == QLatin1String("--shot") && i + 1 < args.size()) shotDir = args[++i];
        if (args[i] == QLatin1String("--widgets")) app.perWidget = true;
    }

    SimProcess sim;
    if (!sim.start(QCoreApplication::applicationDirPath(),
                   {QStringLiteral("--version-code"), QStringLiteral("5")}))
        return 1;
    auto command = [&](const QByteArray& c) { sim.command(c); };
    command("throttle 0.3");

    ControllerLink link([] { return std::make_unique<QtSerialPort>(); },
                        [] { return std::make_unique<SystemClock>(); });
    ShellModel shell;
    ParameterModel params;
    LiveModel live(link, params);
    LiveSession session(link, live, params);
    const Models models{link, params, live, session, shell};
    link.setDevicePath(1, sim.pty());
    link.setSelectedPort(QStringLiteral("com1"));

    QWidget window;
    window.resize(795, 480);
    auto* page = new WizualizacjaPage(models, &window);
    page->setGeometry(0, 0, 795, 480);
    auto* obroty = new ObrotyPage(models, nullptr);
    obroty->resize(795, 480);
    window.show();

    page->enterPage();
    // The entry's reads finish before the measurement starts, as they did when
    // they blocked the window.
    while (link.busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    int polls = 0;
    QObject::connect(&link, &ControllerLink::framesPolled,
                     [&](const QString& name, const QVector<LiveFrame>&) {
                         if (name == polltimer::name(polltimer::Wiz)) ++polls;
                     });

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
    run.start();
    app.measuring = true;
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    app.measuring = false;
    const double elapsed = run.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    const double rss = rssKb() / 1024.0;
    driver.stop();

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

    for (auto it = app.widgetMs.begin(); it != app.widgetMs.end(); ++it) {
        std::vector<double> w = it.value();
        std::sort(w.begin(), w.end());
        double sum = 0;
        for (double v : w)
            sum += v;
        std::printf("  %-22s paints=%5zu total_ms=%8.1f p50=%.3f max=%.3f\n", qPrintable(it.key()), w.size(),
                    sum, w[w.size() / 2], w.back());
    }
    std::vector<double> f = app.frameMs;
    std::sort(f.begin(), f.end());
    const double p99 = f.empty() ? 0.0 : f[std::min(f.size() - 1, static_cast<std::size_t>(f.size() * 0.99))];
    const double p50 = f.empty() ? 0.0 : f[f.size() / 2];
    const double worst = f.empty() ? 0.0 : f.back();
    std::printf("frames=%zu seconds=%.1f cpu_s=%.2f paint_ms_p50=%.3f paint_ms_max=%.3f\n", f.size(), elapsed,
                cpu, p50, worst);
    std::printf("polls_per_s=%.2f cpu_pct=%.2f rss_mb=%.1f paint_ms_p99=%.3f\n", polls / elapsed,
                100.0 * cpu / elapsed, rss, p99);
    delete obroty;
    return 0;
}
