#include "LinkRig.h"

#include <QTimer>
#include <QtTest>

namespace {
// Version 6: nine-byte frames without a checksum.
QByteArray versionSix(std::uint8_t b) {
    return b == 0x01 ? QByteArray("\x06QX\x04\x03\x00\x5E\x00", 8) : QByteArray();
}
} // namespace

class TestSerialChannel : public QObject {
    Q_OBJECT
private slots:
    void traceShowsBytesPausesAndStrayDrops();
    void oversizedAnswerIsTakenInTwoReceives();
    void silentReceiveKeepsBufferAndShowsNoAnswer();
    void silentPollLimit();
    void openFailureReportsOnceProbeSilently();
    void permissionDeniedNamesDialoutGroup();
    void failedOpenLeavesNoPortOpen();
    void closedPortSendsAndReceivesNothing();
    void everyByteIsFollowedByThreeMs();
    void devicePaths_data();
    void devicePaths();
    void bytesWaitingBeforeASendAreDropped();
    void framesAreNeverTwoAnswers_data();
    void framesAreNeverTwoAnswers();
    void lostDeviceIsClosedReportedAndReopened();
    void unmappedComOpensOnlyWhenListed_data();
    void unmappedComOpensOnlyWhenListed();
};

void TestSerialChannel::oversizedAnswerIsTakenInTwoReceives() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort());
    QByteArray data;
    for (int i = 0; i < 300; ++i)
        data.append(char((i * 7 + 3) & 0xFF));
    r.port.inject(data);

    SerialChannel::Receive first = r.ch.ReceiveAnswer();
    QVERIFY(first.ok);
    QCOMPARE(first.count, 256);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(int(r.ch.AnswerByte(i)), int(quint8(data[i])));

    SerialChannel::Receive second = r.ch.ReceiveAnswer();
    QCOMPARE(second.count, 44);
    for (int i = 0; i < 44; ++i)
        QCOMPARE(int(r.ch.AnswerByte(i)), int(quint8(data[256 + i])));
    for (int i = 44; i < 256; ++i)
        QCOMPARE(int(r.ch.AnswerByte(i)), int(quint8(data[i])));
    QCOMPARE(r.port.bytesWaiting(), 0);
}

void TestSerialChannel::silentReceiveKeepsBufferAndShowsNoAnswer() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort());
    QByteArray data;
    for (int i = 0; i < 256; ++i)
        data.append(char(255 - i));
    r.port.inject(data);
    r.ch.ReceiveAnswer();
    QCOMPARE(r.obs.panel.last(), QString());
    const auto before = r.ch.buffer();

    const SerialChannel::Receive silent = r.ch.ReceiveAnswer();
    QVERIFY(silent.ok);
    QCOMPARE(silent.count, 0);
    QVERIFY(r.ch.buffer() == before);
    QCOMPARE(r.obs.panel.last(), QStringLiteral("Brak odpowiedzi"));

    r.port.inject(QByteArray("\x05", 1));
    QCOMPARE(r.ch.ReceiveAnswer().count, 1);
    QCOMPARE(r.obs.panel.last(), QString());
    QCOMPARE(int(r.ch.AnswerByte(0)), 5);
    QCOMPARE(int(r.ch.AnswerByte(1)), 254);
}

void TestSerialChannel::silentPollLimit() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort());
    for (int i = 1; i <= 20; ++i) {
        QCOMPARE(r.ch.ReceivePolled().count, 0);
        QCOMPARE(r.ch.silenceCounter(), i);
    }
    QVERIFY(!r.obs.label.contains(QStringLiteral("Brak odpowiedzi")));

    r.ch.ReceivePolled();
    QCOMPARE(r.obs.label.last(), QStringLiteral("Brak odpowiedzi"));
    r.ch.ReceivePolled();
    QCOMPARE(r.obs.label.last(), QStringLiteral("Brak odpowiedzi"));

    r.port.inject(QByteArray(9, '\x01'));
    QCOMPARE(r.ch.ReceivePolled().count, 9);
    QCOMPARE(r.obs.label.last(), QString());
    QCOMPARE(r.ch.silenceCounter(), 0);

    // The count starts again: twenty more silent polls do not show the label.
    r.obs.label.clear();
    for (int i = 0; i < 20; ++i)
        r.ch.ReceivePolled();
    QVERIFY(!r.obs.label.contains(QStringLiteral("Brak odpowiedzi")));
    // A plain receive does not count.
    r.ch.ReceiveAnswer();
    QCOMPARE(r.ch.silenceCounter(), 20);
    r.ch.ReceivePolled();
    QCOMPARE(r.obs.label.last(), QStringLiteral("Brak odpowiedzi"));
}

void TestSerialChannel::openFailureReportsOnceProbeSilently() {
    LinkRig r;
    QVERIFY(!r.ch.OpenPort(QStringLiteral("com2")));
    QCOMPARE(r.obs.failures.size(), 1);
    const PortError e = r.obs.failures.first();
    QCOMPARE(e.port, QStringLiteral("com2"));
    QCOMPARE(e.device, QStringLiteral("/dev/ttyS1"));
    QCOMPARE(e.reason, QStringLiteral("No such file or directory"));
    QCOMPARE(e.failure, PortFailure::NotFound);
    QVERIFY(!r.ch.isOpen());

    QVERIFY(!r.ch.ProbePort(QStringLiteral("com2")));
    QCOMPARE(r.obs.failures.size(), 1);
    QVERIFY(r.ch.ProbePort(QStringLiteral("com1")));
    QCOMPARE(r.obs.failures.size(), 1);
    QCOMPARE(r.obs.opened, QStringList{QStringLiteral("com1")});
}

void TestSerialChannel::permissionDeniedNamesDialoutGroup() {
    LinkRig r;
    r.port.denied << QStringLiteral("/dev/ttyUSB0");
    r.ch.setDevicePath(1, QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(!r.ch.OpenPort());
    QCOMPARE(r.obs.failures.size(), 1);
    QCOMPARE(r.obs.failures.first().device, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(r.obs.failures.first().reason, QStringLiteral("Permission denied"));
    QCOMPARE(r.obs.failures.first().failure, PortFailure::PermissionDenied);
}

void TestSerialChannel::failedOpenLeavesNoPortOpen() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort(QStringLiteral("com1")));
    QVERIFY(!r.ch.OpenPort(QStringLiteral("com5")));
    QVERIFY(!r.ch.isOpen());
    QVERIFY(!r.ch.SendByte(0x02));
}

void TestSerialChannel::closedPortSendsAndReceivesNothing() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort());
    r.port.inject(QByteArray("\x07\x08", 2));
    r.ch.ClosePort();
    QVERIFY(!r.ch.isOpen());
    QVERIFY(!r.ch.SendByte(0x01));
    const SerialChannel::Receive rx = r.ch.ReceiveAnswer();
    QVERIFY(!rx.ok);
    QCOMPARE(rx.count, 0);
    QCOMPARE(int(r.ch.AnswerByte(0)), 0);
    QCOMPARE(r.obs.panel.last(), QStringLiteral("Brak odpowiedzi"));
    QVERIFY(!r.ch.ReceivePolled().ok);
    QCOMPARE(r.ch.silenceCounter(), 1);
}

void TestSerialChannel::everyByteIsFollowedByThreeMs() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort());
    r.clearLog();
    const qint64 t0 = r.clock.nowUs();
    QVERIFY(r.ch.SendByte(0xAA));
    QVERIFY(r.ch.SendByte(0x22));
    QCOMPARE(r.events(), QStringList({"tx AA", "sleep 3", "tx 22", "sleep 3"}));
    QCOMPARE(r.clock.nowUs() - t0, qint64(6000));
    // The pause is kept even when the byte could not be sent.
    r.ch.ClosePort();
    r.clearLog();
    r.ch.SendByte(0x01);
    QCOMPARE(r.events(), QStringList({"sleep 3"}));
}

void TestSerialChannel::devicePaths_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("mapping"); // "n=path" or empty
    QTest::addColumn<QString>("device");
#ifdef Q_OS_WIN
    QTest::newRow("com1") << "com1"
                          << ""
                          << "COM1";
    QTest::newRow("com8") << "com8"
                          << ""
                          << "COM8";
#else
    for (int n = 1; n <= 8; ++n)
        QTest::newRow(qPrintable(QStringLiteral("com%1").arg(n)))
            << QStringLiteral("com%1").arg(n) << QString() << QStringLiteral("/dev/ttyS%1").arg(n - 1);
    QTest::newRow("upper case name") << "COM3"
                                     << ""
                                     << "/dev/ttyS2";
#endif
    QTest::newRow("mapped") << "com1"
                            << "1=/dev/ttyUSB0"
                            << "/dev/ttyUSB0";
    QTest::newRow("other port mapped") << "com2"
                                       << "1=/dev/ttyUSB0"
#ifdef Q_OS_WIN
                                       << "COM2";
#else
                                       << "/dev/ttyS1";
#endif
}

void TestSerialChannel::devicePaths() {
    QFETCH(QString, port);
    QFETCH(QString, mapping);
    QFETCH(QString, device);
    LinkRig r;
    if (!mapping.isEmpty()) r.ch.setDevicePath(mapping.section('=', 0, 0).toInt(), mapping.section('=', 1));
    QCOMPARE(r.ch.devicePath(port), device);
    r.port.existing = QStringList{device};
    r.ch.setSelectedPort(port);
    QCOMPARE(r.ch.selectedPort(), port.toLower());
    r.clearLog();
    QVERIFY(r.ch.OpenPort());
    QCOMPARE(r.events(), QStringList{QStringLiteral("open ") + device});
}

void TestSerialChannel::bytesWaitingBeforeASendAreDropped() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort());
    r.port.responder = [](std::uint8_t b) { return b == 0x01 ? QByteArray("\x05\x06", 2) : QByteArray(); };
    r.port.inject(QByteArray("\x11\x22\x33", 3)); // late bytes of an earlier answer
    r.clearLog();
    QVERIFY(r.ch.SendByte(0x01));
    const SerialChannel::Receive got = r.ch.ReceiveAnswer();
    QCOMPARE(got.count, 2);
    QCOMPARE(int(r.ch.AnswerByte(0)), 5);
    // Dropping sends nothing: the wire carries the command alone, once the
    // line has been quiet long enough for the rest of a stray answer to go.
    QCOMPARE(r.events(), (QStringList{"drop 3", "sleep 10", "tx 01", "sleep 3", "rx 2"}));
    // Nothing waiting: nothing dropped, nothing recorded.
    r.clearLog();
    QVERIFY(r.ch.SendByte(0x0A));
    QCOMPARE(r.events(), (QStringList{"tx 0A", "sleep 3"}));
    // The tail of an answer still coming is dropped with it.
    r.clearLog();
    r.port.inject(QByteArray("\x11\x22", 2));
    for (int i = 0; i < 3; ++i) // three more stray bytes, 4 ms apart
        r.port.injectAfter(QByteArray(1, char(0x30 + i)), 4000 * (i + 1));
    QVERIFY(r.ch.SendByte(0x01));
    QCOMPARE(r.events(), (QStringList{"drop 2", "sleep 10", "drop 2", "sleep 10", "drop 1", "sleep 10",
                                      "tx 01", "sleep 3"}));
}

void TestSerialChannel::framesAreNeverTwoAnswers_data() {
    QTest::addColumn<int>("lateMs");
    QTest::addColumn<int>("pauseAfter");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("shown"); // most polls show their frame
    QTest::newRow("late") << 50 << 0 << 0 << true;
    QTest::newRow("late, stops 15 ms mid-way") << 50 << 4 << 15 << true;
    QTest::newRow("prompt, stops 15 ms mid-way") << 0 << 5 << 15 << true;
    QTest::newRow("very late, stops 12 ms") << 180 << 3 << 12 << true;
    // Longer than an answer may stop: cut short, none is a frame.
    QTest::newRow("late, stops 60 ms mid-way") << 50 << 4 << 60 << false;
}

void TestSerialChannel::framesAreNeverTwoAnswers() {
    QFETCH(int, lateMs);
    QFETCH(int, pauseAfter);
    QFETCH(int, pauseMs);
    QFETCH(bool, shown);
    // Every request is answered that late, at 9600 baud. The version request
    // is waited for as long as a poll tries (180 ms: the eighth look), and
    // the repeats of a poll are answered too: a receive could find the end of
    // one answer and the start of the next, nine bytes that look like a frame.
    // Each answer carries its own number in all nine bytes.
    LinkRig r;
    int answers = 0;
    r.port.responder = [&](std::uint8_t b) {
        return b == 0x02 ? QByteArray(9, char(++answers)) : versionSix(b);
    };
    r.port.answerDelayUs = lateMs * 1000;
    r.port.answerByteUs = 1040;
    r.ctl.ReadVersion();
    QCOMPARE(r.ctl.versionCode(), 6);
    r.port.answerPauseAfter = pauseAfter;
    r.port.answerPauseUs = pauseMs * 1000;
    QVERIFY(r.ch.OpenPort());
    int good = 0;
    for (int tick = 0; tick < 60; ++tick) {
        if (r.ctl.PollLiveFrame()) {
            ++good;
            for (int i = 1; i < 9; ++i)
                QCOMPARE(int(r.ctl.frameByte(i)), int(r.ctl.frameByte(0)));
        }
        r.clock.advanceUs((tick % 4) * 9000); // the timer's next tick, early or late
    }
    if (shown) QVERIFY2(good > 40, qPrintable(QString::number(good)));
}

void TestSerialChannel::lostDeviceIsClosedReportedAndReopened() {
    LinkRig r;
    QVERIFY(r.ch.OpenPort());
    QVERIFY(!r.ch.reopenWanted());
    r.port.unplug();
    QVERIFY(!r.ch.SendByte(0x02));
    QVERIFY(!r.ch.isOpen());
    QCOMPARE(r.obs.lost.size(), 1);
    QCOMPARE(r.obs.lost.first().port, QStringLiteral("com1"));
    QCOMPARE(r.obs.lost.first().device, QStringLiteral("/dev/ttyS0"));
    QVERIFY(!r.obs.lost.first().reason.isEmpty());
    // Further exchanges on the closed port report nothing more.
    QVERIFY(!r.ch.SendByte(0x02));
    QVERIFY(!r.ch.ReceivePolled().ok);
    QCOMPARE(r.obs.lost.size(), 1);

    // Gone from the system: tries fail without a message.
    QVERIFY(r.ch.reopenWanted());
    QVERIFY(!r.ch.reopen());
    QVERIFY(r.obs.failures.isEmpty());
    // Back at the same path.
    r.port.plugIn();
    QVERIFY(r.ch.reopen());
    QVERIFY(r.ch.isOpen());
    QVERIFY(!r.ch.reopenWanted());
    QCOMPARE(r.obs.opened.last(), QStringLiteral("com1"));

    // A receive is where a poll finds it gone too.
    r.port.unplug(false);
    QVERIFY(!r.ch.ReceiveAnswer().ok);
    QCOMPARE(r.obs.lost.size(), 2);
    QVERIFY(r.ch.reopen()); // the path stayed
    // A port closed on purpose is not wanted open.
    r.ch.ClosePort();
    QVERIFY(!r.ch.reopenWanted());
    QVERIFY(!r.ch.reopen());
    // A failed open wants it.
    r.port.existing.clear();
    QVERIFY(!r.ch.OpenPort());
    QVERIFY(r.ch.reopenWanted());
}

void TestSerialChannel::unmappedComOpensOnlyWhenListed_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<bool>("opens");
    QTest::newRow("COM1 listed") << "com1" << false << true;
    QTest::newRow("COM2 not listed") << "com2" << false << false;
    QTest::newRow("COM2 mapped, not listed") << "com2" << true << true;
    QTest::newRow("device path") << "/dev/ttyS1" << false << true;
}

void TestSerialChannel::unmappedComOpensOnlyWhenListed() {
    QFETCH(QString, port);
    QFETCH(bool, mapped);
    QFETCH(bool, opens);
    LinkRig r;
    r.port.existing = QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1")};
    r.port.unlistedComs = {2};
    if (mapped) r.ch.setDevicePath(2, QStringLiteral("/dev/ttyS1"));
    QCOMPARE(r.ch.OpenPort(port), opens);
    QCOMPARE(r.ch.ProbePort(port), opens);
    // A port the system does not list is never touched: /dev/ttyS1 may be a console.
    QCOMPARE(r.events().filter(QStringLiteral("open")).size(), opens ? 2 : 0);
    QCOMPARE(r.obs.failures.size(), opens ? 0 : 1);
    if (!opens) QCOMPARE(r.obs.failures.first().device, QStringLiteral("/dev/ttyS1"));
}

// The trace of a block read whose threshold read meets a stray answer: every
// byte, pause, drop and port event with its exchange, in the text form.
void TestSerialChannel::traceShowsBytesPausesAndStrayDrops() {
    LinkRig r;
    TraceBuffer trace;
    r.ch.setTrace(&trace);
    r.ch.OpenPort(); // not traced: the trace is off
    r.ch.ClosePort();
    trace.setOn(true);
    QByteArray block;
    for (int i = 0; i < Controller::BlockSize; ++i)
        block += char(i);
    r.port.responder = [&](std::uint8_t b) {
        if (b == 0xAA) return QByteArray("\x55\x66", 2); // nothing answers the prefix: stray bytes
        if (b == 0x22) return QByteArray("\x00\x05", 2);
        return b == 0x09 ? block : QByteArray();
    };
    QVERIFY(r.ctl.ReadParameterBlock());
    QVERIFY(r.ctl.thresholdRead());

    const QVector<TraceEntry> entries = trace.take();
    QVERIFY(!entries.isEmpty());
    const TraceNames names;
    QString text = linktrace::header(names) + '\n';
    qint64 previous = entries.first().us;
    for (const TraceEntry& e : entries) {
        text += linktrace::line(e, entries.first().us, previous, names) + '\n';
        previous = e.us;
    }
    const QString expected =
        "    time_us  delta_us  dir    exchange                        mark     bytes\n"
        "          0         0  OPEN   block read                               com1 (/dev/ttyS0)\n"
        "          0         0  TX     block read: threshold read               AA\n"
        "       3000      3000  WAIT   block read: threshold read               50 ms\n"
        "      53000     50000  DROP   block read: threshold read      stray    55 66\n"
        "      53000         0  WAIT   block read: threshold read               10 ms\n"
        "      63000     10000  TX     block read: threshold read               22\n"
        "      66000      3000  WAIT   block read: threshold read               50 ms\n"
        "     116000     50000  RX     block read: threshold read               00 05\n"
        "     116000         0  TX     block read: threshold read               0A\n"
        "     119000      3000  CLOSE  block read\n"
        "     119000         0  OPEN   block read                               com1 (/dev/ttyS0)\n"
        "     119000         0  TX     block read                               09\n"
        "     122000      3000  WAIT   block read                               300 ms\n"
        "     422000    300000  RX     block read                               00 01 02 03 04 05 06 07 08 "
        "09 0A 0B "
        "0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F 20 21 22 23 24\n"
        "     422000         0  CLOSE  block read\n";
    QCOMPARE(text, expected);
}

QTEST_GUILESS_MAIN(TestSerialChannel)
#include "tst_serialchannel.moc"
