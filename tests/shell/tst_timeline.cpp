// The link on its worker thread sends exactly what the synchronous protocol
// sends: the same bytes, pauses, opens and closes, against the emulator on a
// pseudo-terminal, for start-up, a full write, a live poll and a round trip of
// the real main window through the parameters page.
#include "core/PollTimers.h"
#include "emulator/Emulator.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParamTable.h"
#include "params/ParameterJobs.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/WriteGate.h"
#include "params/WriteSequence.h"
#include "shell/Startup.h"
#include "shell/ui/MainWindow.h"
#include "support/FakeLink.h"

#include <QtTest>
#include <mutex>

namespace {

// One recorded timeline; the worker thread appends, the test reads once idle.
struct Timeline {
    std::vector<LinkEvent> events;

    // The program's side: a link whose port and clock record into this timeline.
    ControllerLink::PortFactory port() {
        return [this] { return std::make_unique<RecordingPort>(std::make_unique<QtSerialPort>(), &events); };
    }
    ControllerLink::ClockFactory clock() {
        return [this] { return std::make_unique<RecordingClock>(std::make_unique<SystemClock>(), &events); };
    }
    // Without the live polls (tx 02, its byte gap, 20 ms, a receive): the
    // procedures alone, which polls may come between.
    QStringList withoutPolls() const {
        const QStringList all = describe(events);
        QStringList out;
        for (int i = 0; i < all.size(); ++i) {
            if (all[i] == QLatin1String("tx 02") && i + 3 < all.size() &&
                all[i + 1] == QLatin1String("sleep 3") && all[i + 2] == QLatin1String("sleep 20") &&
                all[i + 3].startsWith(QLatin1String("rx"))) {
                i += 3;
                continue;
            }
            out << all[i];
        }
        return out;
    }
};

struct Emu {
    qsim::Emulator emu{5, 3};
    QString path;
    Emu() {
        std::string err;
        if (!emu.openPty(&err) || !emu.start()) qFatal("emulator: %s", err.c_str());
        path = QString::fromStdString(emu.devicePath());
    }
};

// The synchronous path: the protocol called directly on this thread.
struct Direct {
    Timeline t;
    RecordingPort port{std::make_unique<QtSerialPort>(), &t.events};
    RecordingClock clock{std::make_unique<SystemClock>(), &t.events};
    SerialChannel ch{port, clock};
    Controller c{ch};
    explicit Direct(const QString& device) { ch.setDevicePath(1, device); }
};

// The same through the facade, with the models the pages use.
struct ViaLink {
    Timeline t;
    params::WriteGate gate{nullptr};
    ControllerLink link{t.port(), t.clock()};
    ShellModel shell;
    ParameterModel params;
    params::ParameterSession session{link, gate, params, {}};
    LiveModel live{link, params};
    LiveSession liveSession{link, live, params, gate};
    explicit ViaLink(const QString& device) {
        link.setDevicePath(1, device);
        waitIdle();
        t.events.clear();
    }
    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!link.busy() && link.heldActions() == 0, 10000); }
};

// Answers compared as arrived or not: how many bytes a receive finds depends
// on the other process's timing, not on the sender.
QStringList normalised(QStringList events) {
    for (QString& e : events)
        if (e.startsWith(QLatin1String("rx ")))
            e = e == QLatin1String("rx 0") ? QStringLiteral("rx none") : QStringLiteral("rx some");
    return events;
}

// The two sides match when the emulator answered every exchange in its time.
// On a busy machine it may miss one, and the protocol's retry sends more: such
// a pair runs again; a difference of the sender's own shows in every run.
constexpr int BusyRuns = 5;

} // namespace

class TestTimeline : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void fullWrite();
    void livePoll();
    void pageRoundTrip();
};

void TestTimeline::startUp() {
    for (int run = 1;; ++run) {
        Emu e;
        Direct d(e.path);
        d.c.ReadFeatureVersion();
        if (d.c.ReadAnalogCapability()) d.c.ReadAnalogThreshold();
        d.c.ReadVersion();
        d.c.ReadIgnition();
        d.ch.ClosePort();
        d.ch.OpenPort();
        d.port.close(); // the port opens exclusively: the other side's turn
        d.t.events.pop_back();

        ViaLink v(e.path);
        Models m{v.link, v.params, v.gate, v.session, v.live, v.liveSession, v.shell};
        shell::runStartupExchanges(m);
        v.waitIdle();
        v.link.stopAllPolling();
        v.waitIdle();
        const QStringList via = normalised(v.t.withoutPolls()), direct = normalised(d.t.withoutPolls());
        if (via != direct && run < BusyRuns) continue;
        QCOMPARE(via, direct);
        QVERIFY(d.t.events.size() > 20);
        return;
    }
}

void TestTimeline::fullWrite() {
    for (int run = 1;; ++run) {
        Emu e;
        ParameterSet set = defaultParameterSet();
        set[ParamId::SwitchRpm] = QStringLiteral("2500");
        set[ParamId::CutoffOn] = QStringLiteral("1");
        const auto before = e.emu.withModel([](qsim::ControllerModel& m) { return m.block(); });
        Direct d(e.path);
        d.c.ReadParameterBlock(); // the flags byte is known before a write
        d.t.events.clear();
        WriteParameters(d.c, set, nullptr);
        // The controller as it was, for the same write again.
        e.emu.withModel([&](qsim::ControllerModel& m) {
            m.setBlock(before);
            return 0;
        });

        ViaLink v(e.path);
        v.link.run(nullptr, [&v](Controller& c) { params::readBlock(c, v.gate); });
        v.waitIdle();
        v.t.events.clear();
        v.link.call<params::GateReport>(nullptr,
                                        [&v, set](Controller& c) {
                                            return params::writeThroughGate(
                                                c, v.gate, QStringLiteral("Zapisz parametry"), set,
                                                params::SetOrigin::Controller);
                                        },
                                        {});
        v.waitIdle();
        const QStringList via = describe(v.t.events), direct = describe(d.t.events);
        if (via != direct && run < BusyRuns) continue;
        QCOMPARE(via, direct);
        QVERIFY(describe(d.t.events).contains(QStringLiteral("tx 0A")));
        return;
    }
}

void TestTimeline::livePoll() {
    for (int run = 1;; ++run) {
        Emu e;
        // Features, version and ignition system known, as after any page's entry reads.
        Direct d(e.path);
        d.c.ReadFeatureVersion();
        d.c.ReadVersion();
        d.c.ReadIgnition();
        d.ch.OpenPort();
        d.t.events.clear();
        d.c.PollLiveFrame();
        d.port.close();
        d.t.events.pop_back();

        ViaLink v(e.path);
        v.link.run(nullptr, [](Controller& c) {
            c.ReadFeatureVersion();
            c.ReadVersion();
            c.ReadIgnition();
            c.channel().OpenPort();
        });
        v.waitIdle();
        v.t.events.clear();
        int ticks = 0;
        QObject::connect(&v.link, &ControllerLink::framesPolled,
                         [&](const QString&, const QVector<LiveFrame>&) {
                             if (++ticks == 1) v.link.stopAllPolling();
                         });
        v.link.startPolling(polltimer::name(polltimer::Wiz), polltimer::Wiz.intervalMs);
        QTRY_COMPARE(ticks, 1);
        v.waitIdle();
        QTest::qWait(120); // no second tick after the stop
        QCOMPARE(ticks, 1);
        const QStringList via = normalised(describe(v.t.events)), direct = normalised(describe(d.t.events));
        if (via != direct && run < BusyRuns) continue;
        QCOMPARE(via, direct);
        return;
    }
}

void TestTimeline::pageRoundTrip() {
    for (int run = 1;; ++run) {
        // The real window: engine-speed page -> parameters page -> engine-speed page.
        Emu e;
        Timeline t;
        MainWindow::Setup setup;
        setup.makePort = t.port();
        setup.makeClock = t.clock();
        const QString path = e.path;
        setup.configureLink = [path](ControllerLink& link) {
            link.setDevicePath(1, path);
            link.setSelectedPort(QStringLiteral("com1"));
        };
        MainWindow w(setup);
        auto idle = [&] { QTRY_VERIFY_WITH_TIMEOUT(!w.link().busy() && w.link().heldActions() == 0, 10000); };
        idle();
        t.events.clear();
        w.selectPageFromMenu(shell::Page::Parametry);
        idle();
        QTest::qWait(250); // a readings poll or two
        const ParameterSet read = w.params().page();
        w.selectPageFromMenu(shell::Page::Obroty);
        idle();
        w.link().stopAllPolling();
        w.link().run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
        idle();
        t.events.pop_back(); // that close is the test's own

        // The synchronous path, step by step as the page changes make it:
        // leaving the engine-speed page (its ignition choice on the open port, the
        // version read, the port closed); entering the parameters page (block
        // read, feature version, port opened); leaving it (version read, port
        // closed); entering the engine-speed page (the set just read written back,
        // the ignition read, the port opened, the threshold check).
        Direct s(e.path);
        s.ch.OpenPort();
        s.t.events.clear();
        s.c.WriteIgnition(3);
        s.c.ReadVersion();
        s.ch.ClosePort();
        s.c.ReadParameterBlock();
        s.c.ReadFeatureVersion();
        s.ch.OpenPort();
        s.c.ReadVersion();
        s.ch.ClosePort();
        WriteParameters(s.c, read, nullptr);
        s.c.ReadIgnition();
        s.ch.OpenPort();
        if (s.c.ReadAnalogCapability()) s.c.ReadAnalogThreshold();

        const QStringList via = normalised(t.withoutPolls()), direct = normalised(s.t.withoutPolls());
        if (via != direct && run < BusyRuns) continue;
        QCOMPARE(via, direct);
        QVERIFY(t.withoutPolls().contains(QStringLiteral("tx 0A"))); // the automatic write went out
        return;
    }
}

QTEST_MAIN(TestTimeline)
#include "tst_timeline.moc"
