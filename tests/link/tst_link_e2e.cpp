// The real port over pseudo-terminals: against the controller emulator, and
// against a bare peer for the port's own behaviour. Runs in real time.
#include "emulator/Emulator.h"
#include "link/Controller.h"
#include "link/QtSerialPort.h"
#include "link/SerialChannel.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A member of the test class: outside the anonymous namespace.
struct Observer : LinkObserver {
    QList<PortError> boxes;
    void portOpenFailed(const PortError& e) override { boxes << e; }
};

namespace {

// A pseudo-terminal whose master side the test drives by hand.
struct RawPty {
    int master = -1, slave = -1;
    QString path;
    bool open() {
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return false;
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        path = QString::fromLocal8Bit(ttyname(slave));
        return true;
    }
    ~RawPty() {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
    }
};

} // namespace

class TestLinkE2e : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void readVersion();
    void readParameterBlock();
    void pollLiveFrame();
    void wrongChecksum();
    void writeIgnition();
    void silentController();
    void truncatedAnswers();
    void portTakesAtMost256BytesPerReceive();
    void byteGoesOutWithoutEventLoop();
    void missingDevice();
    void portIsOpenedExclusively();

private:
    std::unique_ptr<qsim::Emulator> emu_;
    std::unique_ptr<QtSerialPort> port_;
    SystemClock clock_;
    Observer obs_;
    std::unique_ptr<SerialChannel> ch_;
    std::unique_ptr<Controller> ctl_;
};

void TestLinkE2e::init() {
    emu_ = std::make_unique<qsim::Emulator>(5, 2);
    std::string err;
    QVERIFY2(emu_->openPty(&err), err.c_str());
    QVERIFY(emu_->start());
    port_ = std::make_unique<QtSerialPort>();
    obs_ = Observer();
    ch_ = std::make_unique<SerialChannel>(*port_, clock_, &obs_);
    ch_->setDevicePath(1, QString::fromStdString(emu_->devicePath()));
    ctl_ = std::make_unique<Controller>(*ch_);
}

void TestLinkE2e::cleanup() {
    ctl_.reset();
    ch_.reset();
    port_.reset();
    emu_.reset();
}

void TestLinkE2e::readVersion() {
    ctl_->ReadVersion();
    QVERIFY(obs_.boxes.isEmpty());
    QCOMPARE(ctl_->versionCode(), 5);
    QVERIFY(ctl_->controllerPresent());
    QVERIFY(!ch_->isOpen());
}

void TestLinkE2e::readParameterBlock() {
    emu_->withModel([](qsim::ControllerModel& m) {
        m.setAnalogThreshold(130);
        m.setStoredIgnition(4);
    });
    const auto expected = emu_->withModel([](qsim::ControllerModel& m) { return m.block(); });
    const std::optional<ParameterBlock> b = ctl_->ReadParameterBlock();
    QVERIFY(b.has_value());
    for (int i = 0; i < Controller::BlockSize; ++i)
        QCOMPARE(int((*b)[i]), int(expected[i]));
    QCOMPARE(ctl_->analogThreshold(), QStringLiteral("130"));
    QCOMPARE(ctl_->ignitionIndex(), 4);
    QCOMPARE(ctl_->ignitionConstant(), 3200);
    QCOMPARE(int(ctl_->flags()), int(expected[8]));
}

void TestLinkE2e::pollLiveFrame() {
    ctl_->ReadVersion();
    QVERIFY(ch_->OpenPort());
    // Five answered polls: on a busy machine the emulator may miss a poll's time.
    int answered = 0;
    for (int polls = 0; answered < 5 && polls < 50; ++polls) {
        if (!ctl_->PollLiveFrame()) continue;
        ++answered;
        QCOMPARE(ch_->silenceCounter(), 0);
        int sum = 0;
        for (int k = 0; k < 7; ++k)
            sum += ctl_->frameByte(k);
        QCOMPARE(sum % 256, int(ctl_->frameByte(7)));
    }
    QCOMPARE(answered, 5);
    // Nothing left over to spoil the next poll.
    QTest::qWait(30);
    QCOMPARE(port_->bytesWaiting(), 0);
}

void TestLinkE2e::wrongChecksum() {
    ctl_->ReadVersion();
    emu_->withModel([](qsim::ControllerModel& m) { m.faults().wrongChecksum = true; });
    QVERIFY(ch_->OpenPort());
    QVERIFY(!ctl_->PollLiveFrame());
    // The frame did arrive: the silence counter is not raised.
    QCOMPARE(ch_->silenceCounter(), 0);
}

void TestLinkE2e::writeIgnition() {
    QVERIFY(ch_->OpenPort());
    ctl_->WriteIgnition(4);
    QTRY_COMPARE_WITH_TIMEOUT(emu_->withModel([](qsim::ControllerModel& m) { return m.storedIgnition(); }), 4,
                              2000);
    ch_->ClosePort();
    QVERIFY(ctl_->ReadIgnition());
    QCOMPARE(ctl_->ignitionIndex(), 4);
}

void TestLinkE2e::silentController() {
    QVERIFY(ctl_->ReadIgnition()); // a real block first, so the buffer holds its bytes
    emu_->withModel([](qsim::ControllerModel& m) {
        m.setStoredIgnition(0);
        m.faults().silent = true;
    });
    ctl_->ReadVersion();
    QCOMPARE(ctl_->versionCode(), 0);
    QVERIFY(!ctl_->controllerPresent());

    QVERIFY(!ctl_->ReadIgnition());
    QCOMPARE(ctl_->ignitionIndex(), 2);
    QVERIFY(!ctl_->ReadParameterBlock().has_value());

    QVERIFY(ch_->OpenPort());
    QElapsedTimer t;
    t.start();
    QVERIFY(!ctl_->PollLiveFrame());
    QVERIFY(t.elapsed() >= 14 * 23);
    QCOMPARE(ch_->silenceCounter(), 14);
}

void TestLinkE2e::truncatedAnswers() {
    emu_->withModel([](qsim::ControllerModel& m) {
        m.setStoredIgnition(5);
        m.faults().truncateTo = 20;
    });
    QVERIFY(!ctl_->ReadIgnition());
    QCOMPARE(ctl_->ignitionIndex(), 2);
    QCOMPARE(ctl_->ignitionConstant(), 4800);
    QVERIFY(!ctl_->ReadParameterBlock().has_value());
    QCOMPARE(ctl_->ignitionIndex(), 2);

    emu_->withModel([](qsim::ControllerModel& m) { m.faults().truncateTo = -1; });
    QVERIFY(ctl_->ReadIgnition());
    QCOMPARE(ctl_->ignitionIndex(), 5);
}

void TestLinkE2e::portTakesAtMost256BytesPerReceive() {
    RawPty pty;
    QVERIFY(pty.open());
    QtSerialPort port;
    SerialChannel ch(port, clock_);
    ch.setDevicePath(1, pty.path);
    QVERIFY(ch.OpenPort());
    QByteArray data;
    for (int i = 0; i < 300; ++i)
        data.append(char((i * 13 + 1) & 0xFF));
    QCOMPARE(::write(pty.master, data.constData(), data.size()), ssize_t(data.size()));
    clock_.sleepMs(50);

    QCOMPARE(ch.ReceiveAnswer().count, 256);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(int(ch.AnswerByte(i)), int(quint8(data[i])));
    const SerialChannel::Receive rest = ch.ReceiveAnswer();
    QVERIFY(rest.ok);
    QCOMPARE(rest.count, 44);
    for (int i = 0; i < 44; ++i)
        QCOMPARE(int(ch.AnswerByte(i)), int(quint8(data[256 + i])));
    for (int i = 44; i < 256; ++i)
        QCOMPARE(int(ch.AnswerByte(i)), int(quint8(data[i])));
    QCOMPARE(ch.ReceiveAnswer().count, 0);

    // Bytes that trickle in between two receives are all taken by the second.
    QCOMPARE(::write(pty.master, "\x01\x02", 2), ssize_t(2));
    clock_.sleepMs(10);
    QCOMPARE(port.bytesWaiting(), 2);
    QCOMPARE(::write(pty.master, "\x03", 1), ssize_t(1));
    clock_.sleepMs(10);
    QCOMPARE(ch.ReceiveAnswer().count, 3);
    QCOMPARE(int(ch.AnswerByte(2)), 3);
}

void TestLinkE2e::byteGoesOutWithoutEventLoop() {
    RawPty pty;
    QVERIFY(pty.open());
    QtSerialPort port;
    SerialChannel ch(port, clock_);
    ch.setDevicePath(1, pty.path);
    QVERIFY(ch.OpenPort());
    QVERIFY(ch.SendByte(0x5A));
    QVERIFY(ch.SendByte(0x0A));
    fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    // The pty hands bytes over through the kernel's own queue: they show on the
    // master side shortly after the write returned, not at once.
    char got[4] = {};
    ssize_t n = 0;
    QElapsedTimer t;
    t.start();
    while (n < 2 && t.elapsed() < 5000) {
        const ssize_t r = ::read(pty.master, got + n, sizeof got - size_t(n));
        if (r > 0)
            n += r;
        else
            QThread::msleep(1);
    }
    QCOMPARE(n, ssize_t(2));
    QCOMPARE(int(quint8(got[0])), 0x5A);
    QCOMPARE(int(quint8(got[1])), 0x0A);
    ch.ClosePort();
    QVERIFY(!ch.SendByte(0x01));
    QVERIFY(!ch.ReceiveAnswer().ok);
}

void TestLinkE2e::missingDevice() {
    ch_->setDevicePath(2, QStringLiteral("/dev/quendrix-no-such-port"));
    QVERIFY(!ch_->OpenPort(QStringLiteral("com2")));
    QCOMPARE(obs_.boxes.size(), 1);
    QCOMPARE(obs_.boxes.first().device, QStringLiteral("/dev/quendrix-no-such-port"));
    QVERIFY(!obs_.boxes.first().reason.isEmpty());
    QCOMPARE(obs_.boxes.first().failure, PortFailure::NotFound);
    QVERIFY(!ch_->ProbePort(QStringLiteral("com2")));
    QCOMPARE(obs_.boxes.size(), 1);
}

void TestLinkE2e::portIsOpenedExclusively() {
    QVERIFY(ch_->OpenPort());
    QtSerialPort second;
    QString reason;
    PortFailure failure = PortFailure::Other;
    QVERIFY(!second.open(QString::fromStdString(emu_->devicePath()), &reason, &failure));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(failure, PortFailure::Busy); // not the want of rights the dialout hint is for
    ch_->ClosePort();
    QVERIFY(second.open(QString::fromStdString(emu_->devicePath()), &reason, &failure));
}

QTEST_GUILESS_MAIN(TestLinkE2e)
#include "tst_link_e2e.moc"
