// The controller link's worker thread and its GUI facade over the in-memory
// port: order of jobs, results on the GUI thread, held actions, superseded
// results, polling, and that the worker sends exactly what the synchronous
// protocol sends.
#include "link/ControllerLink.h"
#include "link/LinkDispatcher.h"
#include "support/FakeLink.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>

namespace {

// One link over a fake port and clock that the test owns.
struct Rig {
    std::vector<LinkEvent> log;
    FakeClock clock{&log};
    FakePort port{clock, &log};
    ControllerLink link{[this] { return std::make_unique<PortProxy>(port); },
                        [this] { return std::make_unique<ClockProxy>(clock); }};

    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!link.busy() && link.heldActions() == 0, 5000); }
};

QByteArray frame9(int first) {
    QByteArray f;
    int sum = 0;
    for (int i = 0; i < 7; ++i) {
        f.append(char(first + i));
        sum += first + i;
    }
    f.append(char(sum & 0xFF));
    f.append('\0');
    return f;
}

} // namespace

class TestControllerLink : public QObject {
    Q_OBJECT
private slots:
    void jobsRunInOrderOnTheWorker();
    void heldActionsWaitForEverythingBefore();
    void supersededResultsAreDropped();
    void pollingDeliversFramesUntilStopped();
    void workerSendsWhatTheProtocolSends();
    void destructionFinishesPostedJobs();
    void pollingWaitsForAPortThatWentAway();
    void pollingLearnsAControllerSwitchedOnLater();
    void threadLoopServesTimersAndCalls();
};

void TestControllerLink::jobsRunInOrderOnTheWorker() {
    Rig r;
    QStringList ran, done;
    QThread* gui = QThread::currentThread();
    bool workOffGui = true, doneOnGui = true;
    for (int i = 0; i < 3; ++i) {
        r.link.run(
            this,
            [&, i](Controller&) {
                ran << QString::number(i);
                workOffGui = workOffGui && QThread::currentThread() != gui;
            },
            [&, i] {
                done << QString::number(i);
                doneOnGui = doneOnGui && QThread::currentThread() == gui;
            });
    }
    QVERIFY(r.link.busy());
    r.waitIdle();
    QCOMPARE(ran, (QStringList{"0", "1", "2"}));
    QCOMPARE(done, ran);
    QVERIFY(workOffGui);
    QVERIFY(doneOnGui);

    // A result travels back with the job.
    int version = -1;
    r.port.responder = [](std::uint8_t b) { return b == 0x01 ? QByteArray("\x07\0", 2) : QByteArray(); };
    r.link.call<int>(
        this,
        [](Controller& c) {
            c.ReadVersion();
            return c.versionCode();
        },
        [&](const int& v) { version = v; });
    r.waitIdle();
    QCOMPARE(version, 7);
    QCOMPARE(r.link.state().versionCode, 7);
    QVERIFY(r.link.state().controllerPresent);
}

void TestControllerLink::heldActionsWaitForEverythingBefore() {
    Rig r;
    QSemaphore gate;
    QStringList order;
    r.link.run(
        this, [&](Controller&) { gate.acquire(); }, [&] { order << "job"; });
    r.link.whenIdle(this, [&] {
        order << "first";
        // An action's own jobs keep the next action waiting too.
        r.link.run(
            this, [&](Controller&) { gate.acquire(); }, [&] { order << "first's job"; });
    });
    r.link.whenIdle(this, [&] { order << "second"; });
    QTest::qWait(50);
    QVERIFY(order.isEmpty());
    QCOMPARE(r.link.heldActions(), 2);
    gate.release();
    QTRY_COMPARE(order, (QStringList{"job", "first"}));
    QTest::qWait(50);
    QCOMPARE(order.size(), 2);
    gate.release();
    r.waitIdle();
    QCOMPARE(order, (QStringList{"job", "first", "first's job", "second"}));

    // Idle: an action runs at once.
    bool ran = false;
    r.link.whenIdle(this, [&] { ran = true; });
    QVERIFY(ran);
}

void TestControllerLink::supersededResultsAreDropped() {
    Rig r;
    QSemaphore gate;
    bool oldDelivered = false, newDelivered = false, workRan = false;
    r.link.run(
        this,
        [&](Controller&) {
            gate.acquire();
            workRan = true;
        },
        [&] { oldDelivered = true; });
    r.link.supersede();
    r.link.run(this, {}, [&] { newDelivered = true; });
    gate.release();
    r.waitIdle();
    QVERIFY(workRan); // the exchange itself is never skipped
    QVERIFY(!oldDelivered);
    QVERIFY(newDelivered);

    // A receiver that has gone gets nothing either.
    bool delivered = false;
    auto* receiver = new QObject;
    r.link.run(
        receiver, [&](Controller&) { gate.acquire(); }, [&] { delivered = true; });
    delete receiver;
    gate.release();
    r.waitIdle();
    QVERIFY(!delivered);
}

void TestControllerLink::pollingDeliversFramesUntilStopped() {
    Rig r;
    r.port.responder = [](std::uint8_t b) {
        if (b == 0x01) return QByteArray("\x05\0", 2);
        if (b == 0x02) return frame9(10);
        return QByteArray();
    };
    r.link.run(nullptr, [](Controller& c) {
        c.ReadVersion();
        c.channel().OpenPort();
    });
    QList<QVector<LiveFrame>> got;
    connect(&r.link, &ControllerLink::framesPolled, this,
            [&](const QString& name, const QVector<LiveFrame>& f) {
                if (name == QLatin1String("TimerTest")) got << f;
            });
    r.link.startPolling(QStringLiteral("TimerTest"), 5, 2);
    QVERIFY(r.link.isPolling(QStringLiteral("TimerTest")));
    QTRY_VERIFY(got.size() >= 3);
    QVERIFY(!r.link.busy()); // polling is not a procedure
    const QVector<LiveFrame> tick = got.first();
    QCOMPARE(tick.size(), 2);
    for (const LiveFrame& f : tick) {
        QCOMPARE(f.length, 9);
        QVERIFY(f.ok);
        QCOMPARE(f.received, 9);
        QCOMPARE(int(f[0]), 10);
        QCOMPARE(int(f[6]), 16);
    }

    r.link.stopPolling(QStringLiteral("TimerTest"));
    QVERIFY(!r.link.isPolling(QStringLiteral("TimerTest")));
    const int n = got.size();
    QTest::qWait(100);
    QCOMPARE(got.size(), n); // nothing after the stop, not even frames already on their way
}

void TestControllerLink::workerSendsWhatTheProtocolSends() {
    // The same exchanges on the worker and called directly give the same
    // timeline of bytes, pauses, opens and closes.
    auto script = [](Controller& c) {
        c.ReadFeatureVersion();
        if (c.ReadAnalogCapability()) c.ReadAnalogThreshold();
        c.ReadVersion();
        c.ReadIgnition();
        c.channel().ClosePort();
        c.channel().OpenPort();
        c.PollLiveFrame();
        c.WriteIgnition(4);
        c.ReadParameterBlock();
    };
    auto responder = [](std::uint8_t b) {
        if (b == 0x01) return QByteArray("\x08\0\0\0\0\0\0\0", 8);
        if (b == 0x02) return frame9(1);
        if (b == 0x09) return QByteArray(37, '\x02');
        if (b == 0x22) return QByteArray("\0\x82", 2);
        return QByteArray();
    };

    std::vector<LinkEvent> direct;
    {
        FakeClock clock(&direct);
        FakePort port(clock, &direct);
        port.responder = responder;
        SerialChannel ch(port, clock);
        Controller c(ch);
        script(c);
    }

    Rig r;
    r.port.responder = responder;
    r.link.run(nullptr, script);
    r.waitIdle();
    QCOMPARE(describe(r.log), describe(direct));
    QVERIFY(describe(direct).size() > 40);
}

void TestControllerLink::destructionFinishesPostedJobs() {
    std::vector<LinkEvent> log;
    FakeClock clock(&log);
    FakePort port(clock, &log);
    {
        ControllerLink link([&] { return std::make_unique<PortProxy>(port); },
                            [&] { return std::make_unique<ClockProxy>(clock); });
        link.run(nullptr, [](Controller& c) {
            c.channel().OpenPort();
            c.WriteIgnition(3);
        });
    }
    // A write already posted reaches the line although the window closed.
    QCOMPARE(port.sentBytes(), (std::vector<std::uint8_t>{0x1F, 3, 0}));
    QVERIFY(!port.isOpen());
}

void TestControllerLink::pollingWaitsForAPortThatWentAway() {
    Rig r;
    std::atomic<int> version{5};
    r.port.responder = [&version](std::uint8_t b) {
        if (b == 0x01) return QByteArray(1, char(version.load())) + QByteArray(1, '\0');
        if (b == 0x02) return version == 5 ? frame9(10) : frame9(10).left(8);
        if (b == 0x09) {
            QByteArray block(37, '\0');
            block[32] = char(version == 5 ? 2 : 4); // four or six cylinders
            return block;
        }
        return QByteArray();
    };
    r.link.run(nullptr, [](Controller& c) {
        c.ReadVersion();
        c.ReadIgnition();
        c.channel().OpenPort();
    });
    QSignalSpy lost(&r.link, &ControllerLink::portLost);
    QSignalSpy opened(&r.link, &ControllerLink::portOpened);
    QSignalSpy failed(&r.link, &ControllerLink::portOpenFailed);
    int frames = 0;
    connect(&r.link, &ControllerLink::framesPolled, this, [&](const QString&, const QVector<LiveFrame>& f) {
        for (const LiveFrame& one : f)
            frames += one.ok ? 1 : 0;
    });
    r.link.startPolling(QStringLiteral("TimerTest"), 5);
    QTRY_VERIFY(frames > 0);
    r.waitIdle();
    opened.clear();

    // The adapter is pulled out (on the worker, which alone touches the port).
    r.link.run(nullptr, [&](Controller&) { r.port.unplug(); });
    QTRY_COMPARE(lost.size(), 1);
    QTRY_VERIFY(r.link.state().portDown);
    QVERIFY(!r.link.state().portOpen);
    QCOMPARE(lost.first().first().value<PortError>().port, QStringLiteral("com1"));
    QTest::qWait(50);
    const int before = frames;
    QTest::qWait(1500);
    QCOMPARE(frames, before);  // nothing polled into a port that is not there
    QVERIFY(failed.isEmpty()); // tries are silent: the loss was reported once

    // Back at the same path, with another controller behind the adapter:
    // polling goes on by itself within about a second, with the frames and
    // the engine speed of that one.
    QCOMPARE(r.link.state().ignitionIndex, 2);
    QCOMPARE(r.link.state().versionCode, 5);
    version = 4;
    r.link.run(nullptr, [&](Controller&) { r.port.plugIn(); });
    QTRY_VERIFY_WITH_TIMEOUT(!opened.isEmpty(), 3000);
    QTRY_VERIFY(frames > before);
    QVERIFY(!r.link.state().portDown);
    QCOMPARE(r.link.state().versionCode, 4);
    QCOMPARE(r.link.state().ignitionIndex, 4);
    QCOMPARE(lost.size(), 1);
    r.link.stopAllPolling();
    r.waitIdle();
    // About one try a second while it was gone, not one per tick.
    const long tries = std::count_if(r.log.begin(), r.log.end(),
                                     [](const LinkEvent& e) { return e.kind == LinkEvent::OpenFailed; });
    QVERIFY2(tries >= 1 && tries <= 3, qPrintable(QString::number(tries)));
}

void TestControllerLink::pollingLearnsAControllerSwitchedOnLater() {
    Rig r;
    std::atomic<bool> on{false};
    r.port.responder = [&on](std::uint8_t b) {
        if (!on) return QByteArray();
        if (b == 0x01) return QByteArray("\x05\0", 2);
        if (b == 0x02) return frame9(10);
        return QByteArray();
    };
    r.link.run(nullptr, [](Controller& c) {
        c.ReadVersion();
        c.channel().OpenPort();
    });
    int good = 0, answered = 0;
    connect(&r.link, &ControllerLink::framesPolled, this, [&](const QString&, const QVector<LiveFrame>& f) {
        for (const LiveFrame& one : f) {
            good += one.ok ? 1 : 0;
            answered += one.received > 0 ? 1 : 0;
        }
    });
    r.link.startPolling(QStringLiteral("TimerTest"), 5);
    r.waitIdle();
    QCOMPARE(r.link.state().versionCode, 0);

    // Its frames of unknown length are not taken; its version is read, and
    // then they are.
    on = true;
    QTRY_VERIFY(answered > 0);
    QTRY_COMPARE(r.link.state().versionCode, 5);
    QTRY_VERIFY(good > 0);
    QVERIFY(r.link.state().portOpen);
    r.link.stopAllPolling();
    r.waitIdle();
    // One read of it (version, features, capability), not one per poll,
    // after the first version read found nobody.
    const auto versionReads = std::count_if(r.log.begin(), r.log.end(), [](const LinkEvent& e) {
        return e.kind == LinkEvent::Tx && e.value == 0x01;
    });
    QCOMPARE(versionReads, 1 + 3);
}

void TestControllerLink::threadLoopServesTimersAndCalls() {
    // The link thread's own loop: two poll timers side by side, one stopped
    // from its own handler; calls posted meanwhile run in the order posted
    // and before any timer; quit ends the loop.
    QThread thread;
    thread.setEventDispatcher(new LinkDispatcher);
    QObject worker;
    worker.moveToThread(&thread);
    std::atomic<int> fast{0}, slow{0};
    QStringList order;
    thread.start();
    QMetaObject::invokeMethod(&worker, [&] {
        auto* a = new QTimer(&worker);
        a->setTimerType(Qt::PreciseTimer);
        connect(a, &QTimer::timeout, [&, a] {
            if (++fast == 5) a->stop();
        });
        a->start(5);
        auto* b = new QTimer(&worker);
        connect(b, &QTimer::timeout, [&] { ++slow; });
        b->start(20);
        order << QStringLiteral("timers");
    });
    for (int i = 0; i < 3; ++i)
        QMetaObject::invokeMethod(&worker, [&, i] { order << QString::number(i); });
    QTRY_VERIFY_WITH_TIMEOUT(fast == 5 && slow >= 3, 10000);
    QTest::qWait(50);
    QCOMPARE(fast.load(), 5);
    // A poll that fell due while a job ran waits for what was posted meanwhile
    // (a procedure's stop of the polls): it never comes between the two.
    std::atomic<int> late{0};
    QMetaObject::invokeMethod(&worker, [&] {
        auto* c = new QTimer(&worker);
        c->setTimerType(Qt::PreciseTimer);
        connect(c, &QTimer::timeout, [&] { ++late; });
        c->start(5);
        QMetaObject::invokeMethod(c, &QTimer::stop, Qt::QueuedConnection);
        QThread::msleep(30);
    });
    QTest::qWait(60);
    QCOMPARE(late.load(), 0);
    QMetaObject::invokeMethod(
        &worker, [&] { qDeleteAll(worker.findChildren<QTimer*>()); }, Qt::BlockingQueuedConnection);
    thread.quit();
    QVERIFY(thread.wait(5000));
    QCOMPARE(order, (QStringList{"timers", "0", "1", "2"}));
}

QTEST_GUILESS_MAIN(TestControllerLink)
#include "tst_controllerlink.moc"
