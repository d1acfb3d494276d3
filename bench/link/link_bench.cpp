// Runs every exchange against the controller emulator over a pseudo-terminal
// with the real port and clock, and a 50 ms timer loop of live polls.
// Prints how far the achieved waits overshoot the requested ones and the poll
// rate; the last line is the summary.
//
//   link_bench [--seconds S] [--rounds N] [--coarse] [--plain-sleep] [--spin-us US]
#include "emulator/Emulator.h"
#include "link/Controller.h"
#include "link/QtSerialPort.h"
#include "link/SerialChannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// The clock the link would have without the final spin: the kernel's sleep alone.
class PlainSleepClock : public Clock {
public:
    void sleepMs(int ms) override {
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    qint64 nowUs() const override { return base_.nowUs(); }

private:
    SystemClock base_;
};

// Records every requested wait and how long it actually took.
class MeasuringClock : public Clock {
public:
    explicit MeasuringClock(Clock& inner) : inner_(inner) {}
    void sleepMs(int ms) override {
        const qint64 t0 = inner_.nowUs();
        inner_.sleepMs(ms);
        const qint64 t1 = inner_.nowUs();
        overshootUs_.push_back(double(t1 - t0) - double(ms) * 1000.0);
    }
    qint64 nowUs() const override { return inner_.nowUs(); }
    std::vector<double>& overshoots() { return overshootUs_; }

private:
    Clock& inner_;
    std::vector<double> overshootUs_;
};

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

struct Options {
    double seconds = 10;
    int rounds = 5;
    bool coarse = false;
    bool plainSleep = false;
    int spinUs = -1;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options o;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--seconds") && hasValue) {
            o.seconds = args[++i].toDouble();
        } else if (a == QLatin1String("--rounds") && hasValue) {
            o.rounds = args[++i].toInt();
        } else if (a == QLatin1String("--spin-us") && hasValue) {
            o.spinUs = args[++i].toInt();
        } else if (a == QLatin1String("--coarse")) {
            o.coarse = true;
        } else if (a == QLatin1String("--plain-sleep")) {
            o.plainSleep = true;
        } else {
            std::fprintf(
                stderr,
                "usage: link_bench [--seconds S] [--rounds N] [--coarse] [--plain-sleep] [--spin-us US]\n");
            return 2;
        }
    }

    qsim::Emulator emu(5, 2);
    std::string err;
    if (!emu.openPty(&err) || !emu.start()) {
        std::fprintf(stderr, "link_bench: emulator: %s\n", err.c_str());
        return 1;
    }

    SystemClock system;
    if (o.spinUs >= 0) system.setSpinUs(o.spinUs);
    PlainSleepClock plain;
    MeasuringClock clock(o.plainSleep ? static_cast<Clock&>(plain) : static_cast<Clock&>(system));
    QtSerialPort port;
    struct : LinkObserver {
        int failures = 0;
        void portOpenFailed(const PortError& e) override {
            ++failures;
            std::fprintf(stderr, "link_bench: %s: %s\n", qPrintable(e.device), qPrintable(e.reason));
        }
    } observer;
    SerialChannel ch(port, clock, &observer);
    ch.setDevicePath(1, QString::fromStdString(emu.devicePath()));
    Controller ctl(ch);

    // Every exchange, in the order the program runs them at start-up and on a parameter read.
    int exchanges = 0, missing = 0;
    QElapsedTimer wall;
    wall.start();
    for (int r = 0; r < o.rounds; ++r) {
        ctl.ReadFeatureVersion();
        if (ctl.ReadAnalogCapability()) ctl.ReadAnalogThreshold();
        ctl.ReadVersion();
        missing += ctl.controllerPresent() ? 0 : 1;
        missing += ctl.ReadIgnition() ? 0 : 1;
        missing += ctl.ReadParameterBlock() ? 0 : 1;
        ctl.WriteAnalogThreshold();
        ch.SendByte(0x0A);
        ch.ClosePort();
        ch.OpenPort();
        for (int i = 0; i < 10; ++i)
            missing += ctl.PollLiveFrame() ? 0 : 1;
        ctl.WriteIgnition(ctl.ignitionIndex());
        ch.ClosePort();
        exchanges += 8 + 10;
    }
    const double exchangeMs = double(wall.elapsed());
    const size_t exchangeWaits = clock.overshoots().size();

    // The live page's loop: a 50 ms timer, one live poll per tick.
    ch.OpenPort();
    int polls = 0, answered = 0;
    qint64 lastTickNs = 0;
    QTimer timer;
    timer.setTimerType(o.coarse ? Qt::CoarseTimer : Qt::PreciseTimer);
    timer.setInterval(50);
    QElapsedTimer loop;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        lastTickNs = loop.nsecsElapsed();
        ++polls;
        answered += ctl.PollLiveFrame() ? 1 : 0;
        if (loop.nsecsElapsed() >= qint64(o.seconds * 1e9)) app.quit();
    });
    loop.start();
    timer.start();
    app.exec();
    const double loopS = double(loop.nsecsElapsed()) / 1e9;
    // Ticks per second, from the timer's start to the start of the last tick.
    const double pollRate = lastTickNs > 0 ? double(polls) * 1e9 / double(lastTickNs) : 0.0;
    ch.ClosePort();

    std::vector<double>& all = clock.overshoots();
    std::vector<double> exOnly(all.begin(), all.begin() + long(exchangeWaits));
    std::printf("exchanges=%d in %.0f ms, answers missing=%d, open failures=%d\n", exchanges, exchangeMs,
                missing, observer.failures);
    std::printf("exchange waits=%zu overshoot_p50_us=%.0f p99_us=%.0f max_us=%.0f\n", exOnly.size(),
                percentile(exOnly, 0.5), percentile(exOnly, 0.99), percentile(exOnly, 1.0));
    std::printf("poll loop: %s timer, %d polls (%d answered) in %.2f s\n", o.coarse ? "coarse" : "precise",
                polls, answered, loopS);
    std::printf("all waits=%zu max_overshoot_ms=%.3f clock=%s\n", all.size(), percentile(all, 1.0) / 1000.0,
                o.plainSleep ? "plain sleep"
                             : qPrintable(QStringLiteral("SystemClock spin %1 us").arg(system.spinUs())));
    std::printf("overshoot_p50_ms=%.3f overshoot_p99_ms=%.3f polls_per_s=%.2f\n",
                percentile(all, 0.5) / 1000.0, percentile(all, 0.99) / 1000.0, pollRate);
    return 0;
}
