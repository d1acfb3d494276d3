#include "tst_controller.h"

void TestController::timelines_data() {
    QTest::addColumn<Exchange>("exchange");
    QTest::addColumn<bool>("startOpen");
    QTest::addColumn<qint64>("lateUs");
    QTest::addColumn<QStringList>("expected");
    const QString open = QStringLiteral("open /dev/ttyS0");
    struct Row {
        const char* name;
        Exchange exchange;
        bool startOpen;
        QStringList expected;
    };
    const Row rows[] = {
        {"ReadVersion", Version, true, {"close", open, "tx 01", "sleep 3", "sleep 20", "rx 8", "close"}},
        {"ReadVersion closed", Version, false, {open, "tx 01", "sleep 3", "sleep 20", "rx 8", "close"}},
        {"ReadAnalogCapability", Capability, true, {"close", open, "tx 01", "sleep 3", "sleep 200", "rx 8"}},
        {"ReadFeatureVersion", Feature, false, {open, "tx 01", "sleep 3", "sleep 400", "rx 8", "close"}},
        {"ReadAnalogThreshold",
         ThresholdRead,
         true,
         {"tx AA", "sleep 3", "sleep 50", "tx 22", "sleep 3", "sleep 50", "rx 2", "tx 0A", "sleep 3"}},
        {"WriteAnalogThreshold",
         ThresholdWrite,
         true,
         {"close", open, "tx AA", "sleep 3", "sleep 20", "tx 23", "sleep 3", "sleep 20", "tx 78", "sleep 3",
          "sleep 20"}},
        {"ReadIgnition", Ignition, false, {open, "tx 09", "sleep 3", "sleep 100", "rx 37", "close"}},
        {"ReadParameterBlock",
         Block,
         false,
         {open, "tx AA", "sleep 3", "sleep 50", "tx 22", "sleep 3", "sleep 50", "rx 2", "tx 0A", "sleep 3",
          "close", open, "tx 09", "sleep 3", "sleep 300", "rx 37", "close"}},
        {"PollLiveFrame", Poll, true, {"tx 02", "sleep 3", "sleep 20", "rx 9"}},
        {"WriteIgnition", IgnitionWrite, true, {"tx 1F", "sleep 3", "tx 03", "sleep 3", "tx 00", "sleep 3"}},
    };
    // Answers that take most of their exchange's wait (the shortest is 20 ms
    // after the byte's 3) are still that exchange's: nothing is dropped and
    // the wire carries the same bytes and pauses.
    for (qint64 late : {qint64(0), qint64(21000)})
        for (const Row& r : rows)
            QTest::addRow("%s%s", r.name, late ? ", answers 21 ms late" : "")
                << r.exchange << r.startOpen << late << r.expected;
}

void TestController::timelines() {
    QFETCH(Exchange, exchange);
    QFETCH(bool, startOpen);
    QFETCH(qint64, lateUs);
    QFETCH(QStringList, expected);
    LinkRig r;
    r.port.responder = Answers();
    r.ctl.ReadVersion(); // version 6: 9-byte frames
    r.port.answerDelayUs = lateUs;
    r.ctl.setAnalogThreshold(QStringLiteral("120"));
    if (startOpen) QVERIFY(r.ch.OpenPort());
    r.clearLog();
    bool leavesOpen = startOpen;
    switch (exchange) {
    case Version:
        r.ctl.ReadVersion();
        leavesOpen = false;
        break;
    case Capability:
        r.ctl.ReadAnalogCapability();
        leavesOpen = true;
        break;
    case Feature:
        r.ctl.ReadFeatureVersion();
        leavesOpen = false;
        break;
    case ThresholdRead:
        r.ctl.ReadAnalogThreshold();
        break;
    case ThresholdWrite:
        QVERIFY(r.ctl.WriteAnalogThreshold());
        leavesOpen = true;
        break;
    case Ignition:
        QVERIFY(r.ctl.ReadIgnition());
        leavesOpen = false;
        break;
    case Block:
        QVERIFY(r.ctl.ReadParameterBlock().has_value());
        leavesOpen = false;
        break;
    case Poll:
        QVERIFY(r.ctl.PollLiveFrame());
        break;
    case IgnitionWrite:
        r.ctl.WriteIgnition(3);
        break;
    }
    QCOMPARE(r.events(), expected);
    QCOMPARE(r.ch.isOpen(), leavesOpen);
}

void TestController::versionSilent() {
    LinkRig r;
    // An earlier answer left a version in the buffer; a silent port must still read as none.
    r.ch.setAnswerByte(0, 6);
    r.ctl.ReadVersion();
    QCOMPARE(r.ctl.versionCode(), 0);
    QVERIFY(!r.ctl.controllerPresent());
    QCOMPARE(r.ctl.lastArrival(), Controller::Arrival::None);
    QCOMPARE(r.obs.versions, QList<int>{0});
    QCOMPARE(r.obs.panel.last(), QStringLiteral("Brak odpowiedzi"));
}

void TestController::versionOnlyFromItsOwnAnswer_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("version"); // 0: not taken
    const QByteArray own("\x08QX\x04\x03\x00\x5E\x00", 8);
    QTest::newRow("whole") << own << 8;
    QTest::newRow("first byte only") << own.left(1) << 8;
    QTest::newRow("noise after") << own + QByteArray("\x11", 1) << 0;
    QTest::newRow("noise before") << QByteArray("\x11\x22\x33", 3) + own << 0;
    // A late live frame still on its way when the version was asked for.
    QTest::newRow("late frame in front") << QByteArray("\x10\x20\x30\x40\x50\x60\x70\x80\x00", 9) + own << 0;
}

void TestController::versionOnlyFromItsOwnAnswer() {
    QFETCH(QByteArray, answer);
    QFETCH(int, version);
    // The three requests that ask 0x01 read byte 0 only from an answer that
    // can be the version's alone; the buffer keeps an older answer's version.
    auto respond = [answer](std::uint8_t b) { return b == 0x01 ? answer : QByteArray(); };
    LinkRig r;
    r.port.responder = respond;
    r.ch.setAnswerByte(0, 6);
    r.ctl.ReadVersion();
    QCOMPARE(r.ctl.versionCode(), version);
    QCOMPARE(r.ctl.controllerPresent(), version != 0);
    // Bytes came: a bad answer, not none.
    QCOMPARE(r.ctl.lastArrival(), version ? Controller::Arrival::Whole : Controller::Arrival::Excess);
    r.ch.setAnswerByte(0, 9);
    QCOMPARE(r.ctl.ReadAnalogCapability(), version > 7);
    r.ch.setAnswerByte(0, 5);
    QCOMPARE(r.ctl.ReadFeatureVersion(), version);
    QCOMPARE(r.ctl.featureVersion(), version ? version : -1);
}

void TestController::versionSix() {
    LinkRig r;
    Answers a;
    a.frame = QByteArray("\x01\x02\x03\x04\x05\x06\x07\x99\x00", 9); // checksum would not match
    r.port.responder = a;
    r.ctl.ReadVersion();
    QCOMPARE(r.ctl.versionCode(), 6);
    QVERIFY(r.ctl.controllerPresent());
    QCOMPARE(r.obs.versions, QList<int>{6});
    QCOMPARE(r.ctl.frameLength(), 9);
    QVERIFY(r.ch.OpenPort());
    QVERIFY(r.ctl.PollLiveFrame());

    // A later silent read drops the controller again.
    r.port.responder = nullptr;
    r.ctl.ReadVersion();
    QCOMPARE(r.ctl.versionCode(), 0);
    QVERIFY(!r.ctl.controllerPresent());
    QCOMPARE(r.obs.versions, (QList<int>{6, 0}));
}

void TestController::frameLengths_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("length");
    QTest::newRow("0") << 0 << 8;
    QTest::newRow("3") << 3 << 8;
    QTest::newRow("4") << 4 << 8;
    QTest::newRow("5") << 5 << 9;
    QTest::newRow("8") << 8 << 9;
}

void TestController::frameLengths() {
    QFETCH(int, version);
    QFETCH(int, length);
    LinkRig r;
    Answers a;
    a.version = QByteArray(1, char(version));
    r.port.responder = a;
    r.ctl.ReadVersion();
    QCOMPARE(r.ctl.versionCode(), version);
    QCOMPARE(r.ctl.frameLength(), length);
}

void TestController::checksum_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("result");
    QTest::addColumn<Controller::Arrival>("arrival");
    using A = Controller::Arrival;
    QTest::newRow("v5 sum mod 256") << 5 << sumFrame(0xFF) << true << A::Whole;
    QTest::newRow("v5 sum without mod") << 5 << sumFrame(0x1FF & 0xFE) << false << A::Invalid;
    QTest::newRow("v5 wrong") << 5 << sumFrame(0x00) << false << A::Invalid;
    QTest::newRow("v6 no test") << 6 << sumFrame(0x00) << true << A::Whole;
    QTest::newRow("v4 no test") << 4 << sumFrame(0x00).left(8) << true << A::Whole;
    // Only exactly one frame's bytes make a frame: a short one leaves older
    // bytes in the buffer, a longer one (noise before or after) is out of step.
    QTest::newRow("v5 short") << 5 << sumFrame(0xFF).left(7) << false << A::Short;
    QTest::newRow("v6 short") << 6 << sumFrame(0x00).left(5) << false << A::Short;
    QTest::newRow("v4 nine bytes") << 4 << sumFrame(0x00) << false << A::Excess;
    QTest::newRow("v6 noise after") << 6 << sumFrame(0x00) + QByteArray("\x11\x22\x33", 3) << false
                                    << A::Excess;
    QTest::newRow("v5 noise before") << 5 << QByteArray("\x11\x22\x33", 3) + sumFrame(0xFF) << false
                                     << A::Excess;
}

void TestController::checksum() {
    QFETCH(int, version);
    QFETCH(QByteArray, frame);
    QFETCH(bool, result);
    LinkRig r;
    Answers a;
    a.version = QByteArray(1, char(version));
    a.frame = frame;
    r.port.responder = a;
    r.ctl.ReadVersion();
    QVERIFY(r.ch.OpenPort());
    // An earlier good frame in the buffer must not make a short one whole.
    const QByteArray earlier = sumFrame(0xFF);
    for (int i = 0; i < earlier.size(); ++i)
        r.ch.setAnswerByte(i, quint8(earlier[i]));
    QCOMPARE(r.ctl.PollLiveFrame(), result);
    QTEST(r.ctl.lastArrival(), "arrival");
    QCOMPARE(r.ctl.lastPollReceived(), int(frame.size()));
    for (int i = 0; i < qMin(int(frame.size()), r.ctl.frameLength()); ++i)
        QCOMPARE(int(r.ctl.frameByte(i)), int(quint8(frame[i])));
}

void TestController::pollAttempts_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("answerOn"); // attempt that gets the frame, 0 = none
    QTest::addColumn<bool>("goodChecksum");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("attempts");
    QTest::newRow("v6 first") << 6 << 1 << false << true << 1;
    QTest::newRow("v6 ninth") << 6 << 9 << false << true << 9;
    QTest::newRow("v6 tenth") << 6 << 10 << true << false << 10;
    QTest::newRow("v6 fourteenth") << 6 << 14 << true << false << 14;
    QTest::newRow("v6 never") << 6 << 0 << true << false << 14;
    QTest::newRow("v4 tenth") << 4 << 10 << true << false << 10;
    QTest::newRow("v5 tenth good sum") << 5 << 10 << true << true << 10;
    QTest::newRow("v5 first bad sum") << 5 << 1 << false << false << 1;
    // Nothing arrived: the stale frame in the buffer is no frame, whatever its sum.
    QTest::newRow("v5 never stale good sum") << 5 << 0 << true << false << 14;
}

void TestController::pollAttempts() {
    QFETCH(int, version);
    QFETCH(int, answerOn);
    QFETCH(bool, goodChecksum);
    QFETCH(bool, result);
    QFETCH(int, attempts);
    LinkRig r;
    Answers a;
    a.version = QByteArray(1, char(version));
    r.port.responder = a;
    r.ctl.ReadVersion();
    const QByteArray frame = sumFrame(goodChecksum ? 0xFF : 0x12);
    if (answerOn == 0) {
        // Leave the frame in the buffer from an earlier answer.
        for (int i = 0; i < frame.size(); ++i)
            r.ch.setAnswerByte(i, quint8(frame[i]));
    }
    int polls = 0;
    r.port.responder = [&](std::uint8_t b) {
        if (b != 0x02) return QByteArray();
        return ++polls == answerOn ? frame : QByteArray();
    };
    QVERIFY(r.ch.OpenPort());
    r.port.recordSilentRx = true;
    r.clearLog();
    const qint64 t0 = r.clock.nowUs();
    QCOMPARE(r.ctl.PollLiveFrame(), result);
    QCOMPARE(polls, attempts);
    QStringList one{"tx 02", "sleep 3", "sleep 20", "rx 0"};
    QStringList expected;
    for (int i = 1; i <= attempts; ++i) {
        if (i == answerOn) one.last() = QStringLiteral("rx %1").arg(frame.size());
        expected << one;
    }
    QCOMPARE(r.events(), expected);
    QCOMPARE(r.clock.nowUs() - t0, qint64(attempts) * 23000);
    QCOMPARE(r.ch.silenceCounter(), answerOn == 0 ? 14 : 0);
}

void TestController::ignitionTable_data() {
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<int>("constant");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("blockRejected");
    QTest::newRow("0") << 0 << 0 << 19200 << 0 << false;
    QTest::newRow("1") << 1 << 0 << 9600 << 1 << false;
    QTest::newRow("2") << 2 << 0 << 4800 << 2 << false;
    QTest::newRow("3") << 3 << 0 << 4000 << 3 << false;
    QTest::newRow("4") << 4 << 0 << 3200 << 4 << false;
    QTest::newRow("5") << 5 << 0 << 2400 << 5 << false;
    QTest::newRow("6,0") << 6 << 0 << 4800 << 3 << false;
    QTest::newRow("0,1 (256)") << 0 << 1 << 4800 << 3 << false;
    QTest::newRow("0x0101") << 1 << 1 << 4800 << 3 << true;
    QTest::newRow("0xFFFF") << 0xFF << 0xFF << 4800 << 3 << false;
}

void TestController::ignitionTable() {
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(int, constant);
    QFETCH(int, index);
    QFETCH(bool, blockRejected);

    const Controller::Ignition ig = Controller::ignitionFor(lo + 256 * hi);
    QCOMPARE(ig.constant, constant);
    QCOMPARE(ig.index, index);

    // ReadIgnition never rejects.
    {
        LinkRig r;
        Answers a;
        a.blk = block(lo, hi, 0xA5);
        r.port.responder = a;
        r.ctl.setIgnitionIndex(5);
        QVERIFY(r.ctl.ReadIgnition());
        QCOMPARE(r.ctl.ignitionConstant(), constant);
        QCOMPARE(r.ctl.ignitionIndex(), index);
        QCOMPARE(int(r.ctl.flags()), 0xA5);
    }
    // ReadParameterBlock rejects 0x0101 and then changes nothing.
    {
        LinkRig r;
        Answers a;
        a.blk = block(lo, hi, 0x5A);
        r.port.responder = a;
        r.ctl.setIgnitionIndex(5);
        r.ctl.setFlags(0x11);
        const std::optional<ParameterBlock> b = r.ctl.ReadParameterBlock();
        QCOMPARE(b.has_value(), !blockRejected);
        QCOMPARE(r.ctl.lastArrival(),
                 blockRejected ? Controller::Arrival::Invalid : Controller::Arrival::Whole);
        QCOMPARE(r.ctl.ignitionIndex(), blockRejected ? 5 : index);
        QCOMPARE(r.ctl.ignitionConstant(), blockRejected ? 2400 : constant);
        QCOMPARE(int(r.ctl.flags()), blockRejected ? 0x11 : 0x5A);
        if (b) {
            for (int i = 0; i < 37; ++i)
                QCOMPARE(int((*b)[i]), int(quint8(a.blk[i])));
        }
        // The threshold comes with every parameter read, rejected block or not.
        QCOMPARE(r.ctl.analogThreshold(), QStringLiteral("120"));
    }
}

void TestController::probeKind_data() {
    QTest::addColumn<int>("byte31");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("kind");
    QTest::newRow("0") << 0 << 0x00 << 1;
    QTest::newRow("0 inverted") << 0 << 0x02 << 2;
    QTest::newRow("1") << 1 << 0xFD << 0;
    QTest::newRow("1 inverted") << 1 << 0x02 << 4;
    QTest::newRow("2") << 2 << 0x00 << 3;
    QTest::newRow("2 inverted") << 2 << 0x02 << 3;
    QTest::newRow("other") << 7 << 0x02 << 0;
}

void TestController::probeKind() {
    QFETCH(int, byte31);
    QFETCH(int, flags);
    QFETCH(int, kind);
    QCOMPARE(Controller::probeKindFrom(quint8(byte31), quint8(flags)), kind);
    LinkRig r;
    Answers a;
    a.blk = block(2, 0, quint8(flags), quint8(byte31));
    r.port.responder = a;
    QVERIFY(r.ctl.ReadIgnition());
    QCOMPARE(r.ctl.probeKind(), kind);
}

void TestController::analogCapability_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("stale");
    QTest::addColumn<bool>("capable");
    QTest::newRow("7") << QByteArray(8, '\x07') << 0 << false;
    QTest::newRow("8") << QByteArray(8, '\x08') << 0 << true;
    QTest::newRow("255") << QByteArray(8, '\xFF') << 0 << true;
    // A silent controller: the last answer in the buffer is not its answer.
    QTest::newRow("silent, stale 9") << QByteArray() << 9 << false;
    QTest::newRow("silent, stale 0") << QByteArray() << 0 << false;
}

void TestController::analogCapability() {
    QFETCH(QByteArray, answer);
    QFETCH(int, stale);
    QFETCH(bool, capable);
    LinkRig r;
    r.ch.setAnswerByte(0, quint8(stale));
    r.port.responder = [answer](std::uint8_t b) { return b == 0x01 ? answer : QByteArray(); };
    QCOMPARE(r.ctl.ReadAnalogCapability(), capable);
    QCOMPARE(r.ctl.analogCapable(), capable);
    QCOMPARE(r.obs.analogGroup, QList<bool>{capable});
    QVERIFY(r.ch.isOpen());
}

void TestController::featureVersionClosesPort() {
    LinkRig r;
    r.port.responder = [](std::uint8_t b) { return b == 0x01 ? QByteArray(8, '\x04') : QByteArray(); };
    QCOMPARE(r.ctl.ReadFeatureVersion(), 4);
    QVERIFY(!r.ch.isOpen());
    // The feature read does not touch the version code.
    QCOMPARE(r.ctl.versionCode(), 0);
}

void TestController::thresholdWrite_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("byte"); // -1: nothing sent
    QTest::newRow("1") << "1" << 1;
    QTest::newRow("250") << "250" << 250;
    QTest::newRow("260") << "260" << 4;
    QTest::newRow("spaces") << " 30 " << 30;
    QTest::newRow("not a number") << "abc" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestController::thresholdWrite() {
    QFETCH(QString, text);
    QFETCH(int, byte);
    LinkRig r;
    r.ctl.setAnalogThreshold(text);
    r.clearLog();
    QCOMPARE(r.ctl.WriteAnalogThreshold(), byte >= 0);
    const std::vector<std::uint8_t> sent = r.port.sentBytes();
    if (byte < 0) {
        QVERIFY(sent.empty());
    } else {
        QCOMPARE(sent, (std::vector<std::uint8_t>{0xAA, 0x23, std::uint8_t(byte)}));
    }
    // No closing byte: the callers send it.
    QVERIFY(std::find(sent.begin(), sent.end(), 0x0A) == sent.end());
}

void TestController::shortAnswersAreNotDecoded_data() {
    QTest::addColumn<int>("arrive");       // bytes of the block that arrive
    QTest::addColumn<QByteArray>("noise"); // before the block (negative count below: after it)
    QTest::addColumn<bool>("before");
    QTest::newRow("silent") << 0 << QByteArray() << true;
    QTest::newRow("1 byte") << 1 << QByteArray() << true;
    QTest::newRow("33 bytes") << 33 << QByteArray() << true;
    QTest::newRow("36 bytes") << 36 << QByteArray() << true;
    // Out of step: every field would be decoded from its neighbour's byte.
    QTest::newRow("3 noise bytes before") << 37 << QByteArray("\x80\x00\x19", 3) << true;
    QTest::newRow("2 late bytes before") << 37 << QByteArray("\x00\x78", 2) << true;
    QTest::newRow("3 noise bytes after") << 37 << QByteArray("\x80\x00\x19", 3) << false;
}

void TestController::shortAnswersAreNotDecoded() {
    QFETCH(int, arrive);
    QFETCH(QByteArray, noise);
    QFETCH(bool, before);
    // The buffer holds an older block whose ignition differs from the controller's state.
    const QByteArray stale = block(0, 0, 0xFF, 0);
    const QByteArray fresh = block(4, 0, 0x00, 1);

    LinkRig r;
    for (int i = 0; i < 37; ++i)
        r.ch.setAnswerByte(i, quint8(stale[i]));
    Answers a;
    a.blk = before ? noise + fresh.left(arrive) : fresh.left(arrive) + noise;
    r.port.responder = a;
    r.ctl.setIgnitionIndex(1);
    r.ctl.setFlags(0x42);

    QVERIFY(!r.ctl.ReadIgnition());
    QCOMPARE(r.ctl.ignitionIndex(), 1);
    QCOMPARE(r.ctl.ignitionConstant(), 9600);
    QCOMPARE(int(r.ctl.flags()), 0x42);
    QCOMPARE(r.ctl.probeKind(), 0);

    QVERIFY(!r.ctl.ReadParameterBlock().has_value());
    QCOMPARE(r.ctl.ignitionIndex(), 1);
    QCOMPARE(int(r.ctl.flags()), 0x42);
    // Nothing, or bytes that are not a block: told apart for the fitter.
    using A = Controller::Arrival;
    QCOMPARE(r.ctl.lastArrival(), arrive == 0 ? A::None : noise.isEmpty() ? A::Short : A::Excess);

    // The whole block decodes.
    a.blk = fresh;
    r.port.responder = a;
    QVERIFY(r.ctl.ReadIgnition());
    QCOMPARE(r.ctl.ignitionIndex(), 4);
    QCOMPARE(r.ctl.ignitionConstant(), 3200);
}

void TestController::thresholdKeptWithoutAnswer_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("threshold");
    QTest::newRow("silent") << QByteArray() << "120";
    QTest::newRow("one byte") << QByteArray("\x00", 1) << "120";
    QTest::newRow("two bytes") << QByteArray("\x00\xFA", 2) << "250";
    QTest::newRow("zero") << QByteArray("\x09\x00", 2) << "0";
    QTest::newRow("noise before") << QByteArray("\x55\x00\xFA", 3) << "120";
}

void TestController::thresholdKeptWithoutAnswer() {
    QFETCH(QByteArray, answer);
    QFETCH(QString, threshold);
    LinkRig r;
    r.ch.setAnswerByte(1, 99); // stale
    Answers a;
    a.threshold = answer;
    r.port.responder = a;
    r.ctl.setAnalogThreshold(QStringLiteral("120"));
    QVERIFY(r.ch.OpenPort());
    QCOMPARE(r.ctl.ReadAnalogThreshold(), threshold != QLatin1String("120"));
    QCOMPARE(r.ctl.thresholdRead(), threshold != QLatin1String("120"));
    QCOMPARE(r.ctl.analogThreshold(), threshold);
    // The closing byte goes out whatever arrived.
    QCOMPARE(r.port.sentBytes().back(), std::uint8_t(0x0A));
}

void TestController::lateBytesDoNotShiftTheBlock() {
    // Every answer comes 54 ms late: the threshold's after its 50 ms wait,
    // still on the line when the block is asked for. Those two bytes used to
    // end up in front of the block, and the block was decoded (and later
    // written back) one field out of step.
    const QByteArray fresh = block(4, 0, 0x42, 1);
    LinkRig r;
    Answers a;
    a.blk = fresh;
    r.port.responder = a;
    r.port.answerDelayUs = 54000;
    r.port.recordSilentRx = true;
    r.clearLog();
    const std::optional<ParameterBlock> b = r.ctl.ReadParameterBlock();
    QVERIFY(b.has_value());
    for (int i = 0; i < 37; ++i)
        QCOMPARE(int((*b)[i]), int(quint8(fresh[i])));
    QCOMPARE(r.ctl.ignitionIndex(), 4);
    QCOMPARE(int(r.ctl.flags()), 0x42);
    QVERIFY(!r.ctl.thresholdRead());

    // The wire carries what a normal read sends: the late bytes are only
    // dropped, and the line watched until it is quiet before the block is asked for.
    const QString open = QStringLiteral("open /dev/ttyS0");
    const QStringList expected{open,    "tx AA",   "sleep 3",   "sleep 50", "tx 22", "sleep 3", "sleep 50",
                               "rx 0",  "tx 0A",   "sleep 3",   "close",    open,    "drop 2",  "sleep 10",
                               "tx 09", "sleep 3", "sleep 300", "rx 37",    "close"};
    QCOMPARE(r.events(), expected);

    // Late by more than the block's wait leaves: two bytes too many, not decoded.
    r.port.answerDelayUs = 100000;
    QVERIFY(!r.ctl.ReadParameterBlock().has_value());
}

void TestController::buildText() {
    QCOMPARE(Controller::buildText(0, 94), QStringLiteral("94)"));
    QCOMPARE(Controller::buildText(1, 2), QStringLiteral("65538)"));
    QCOMPARE(Controller::buildText(-1, 0), QStringLiteral("?.?"));
    QCOMPARE(Controller::defaultBuildText(),
             Controller::buildText(QUENDRIX_VERSION_PATCH, QUENDRIX_VERSION_TWEAK));
}

QTEST_GUILESS_MAIN(TestController)
