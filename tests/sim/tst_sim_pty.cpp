#include "tst_sim.h"

void TestSim::faults() {
    ControllerModel m;
    const Bytes frame = m.receive(0x02, 0);

    m.faults().silent = true;
    QVERIFY(m.receive(0x01, 0).empty());
    QVERIFY(m.receive(0x09, 0).empty());
    QVERIFY(feed(m, {0xAA, 0x22}).empty());
    feed(m, {0x13, 0x42}); // writes are still taken
    QCOMPARE(int(m.block()[12]), 0x42);
    m.faults() = {};

    m.faults().answerEveryN = 3;
    std::vector<bool> answered;
    for (int i = 0; i < 7; ++i)
        answered.push_back(!m.receive(0x02, 0).empty());
    QCOMPARE(answered, (std::vector<bool>{false, false, true, false, false, true, false}));
    m.faults().answerEveryN = 2; // a new setting counts afresh
    QVERIFY(m.receive(0x01, 0).empty());
    QCOMPARE(int(m.receive(0x01, 0).size()), 8);
    m.faults() = {};

    // The other way round: one answer in N lost, over every kind of request.
    m.faults().loseEveryN = 3;
    answered.clear();
    for (std::uint8_t request : {0x02, 0x01, 0x09, 0x02, 0x02, 0x09, 0x02})
        answered.push_back(!m.receive(request, 0).empty());
    QCOMPARE(answered, (std::vector<bool>{true, true, false, true, true, false, true}));
    m.faults() = {};

    m.faults().truncateTo = 4;
    const Bytes block = m.receive(0x09, 0);
    QCOMPARE(block, Bytes(m.block().begin(), m.block().begin() + 4));
    m.faults().truncateTo = 0;
    QVERIFY(m.receive(0x01, 0).empty());
    m.faults() = {};

    m.faults().wrongChecksum = true;
    const Bytes bad = m.receive(0x02, 0);
    QCOMPARE(int(bad.size()), 9);
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += bad[i];
    QVERIFY(bad[7] != sum % 256);
    QCOMPARE(Bytes(bad.begin(), bad.begin() + 7), Bytes(frame.begin(), frame.begin() + 7));
    m.faults() = {};

    m.faults().noiseBytes = 3;
    const Bytes after = m.receive(0x02, 0);
    QCOMPARE(int(after.size()), 12);
    QCOMPARE(Bytes(after.begin(), after.begin() + 9), m.liveFrame());
    m.faults().noiseBytes = -5;
    const Bytes before = m.receive(0x02, 0);
    QCOMPARE(int(before.size()), 14);
    QCOMPARE(Bytes(before.begin() + 5, before.end()), m.liveFrame());
    m.faults() = {};

    m.faults().silent = true;
    m.faults().onlyCommand = 0x02;
    QVERIFY(m.receive(0x02, 0).empty());
    QCOMPARE(int(m.receive(0x01, 0).size()), 8);
    QCOMPARE(int(m.receive(0x09, 0).size()), 37);
}

void TestSim::commandLine() {
    qsim::Emulator e;
    std::string reply;
    QVERIFY(e.handleCommandLine("throttle 0.3", &reply));
    QVERIFY(e.handleCommandLine("rpm 2500"));
    QVERIFY(e.handleCommandLine("engine off"));
    QVERIFY(e.handleCommandLine("temp 60"));
    QVERIFY(e.handleCommandLine("ignition 4"));
    QVERIFY(e.handleCommandLine("gas 0.5"));
    QVERIFY(e.handleCommandLine("silent on"));
    QVERIFY(e.handleCommandLine("every 4"));
    QVERIFY(e.handleCommandLine("lose 5"));
    QVERIFY(e.handleCommandLine("truncate 3"));
    QVERIFY(e.handleCommandLine("checksum bad"));
    QVERIFY(e.handleCommandLine("noise -2"));
    QVERIFY(e.handleCommandLine("delay 30"));
    QVERIFY(e.handleCommandLine("version 4"));
    QVERIFY(e.handleCommandLine("threshold 30"));
    e.withModel([](ControllerModel& m) {
        QCOMPARE(m.inputs().throttle, 0.3);
        QCOMPARE(m.inputs().forcedRpm, 2500);
        QVERIFY(!m.inputs().engineOn);
        QCOMPARE(m.inputs().forcedTempC, 60.0);
        QCOMPARE(m.inputs().trueIgnition, 4);
        QCOMPARE(m.inputs().gasLevel, 0.5);
        QVERIFY(m.faults().silent);
        QCOMPARE(m.faults().answerEveryN, 4);
        QCOMPARE(m.faults().loseEveryN, 5);
        QCOMPARE(m.faults().truncateTo, 3);
        QVERIFY(m.faults().wrongChecksum);
        QCOMPARE(m.faults().noiseBytes, -2);
        QCOMPARE(m.faults().delayMs, 30);
        QCOMPARE(m.versionCode(), 4);
        QCOMPARE(m.analogThreshold(), uint8_t(30));
    });
    QVERIFY(e.handleCommandLine("rpm auto"));
    QVERIFY(e.handleCommandLine("temp auto"));
    QVERIFY(e.handleCommandLine("silent off"));
    e.withModel([](ControllerModel& m) {
        QCOMPARE(m.inputs().forcedRpm, -1);
        QVERIFY(m.inputs().forcedTempC < -273);
        QVERIFY(!m.faults().silent);
    });
    QVERIFY(e.handleCommandLine("status", &reply));
    QVERIFY(reply.find("rpm=") != std::string::npos);

    for (const char* bad : {"throttle 2", "throttle x", "rpm -5", "engine maybe", "ignition 6", "frobnicate",
                            "gas", "throttle 0.5 1"}) {
        QVERIFY2(!e.handleCommandLine(bad, &reply), bad);
        QVERIFY(reply.rfind("error", 0) == 0);
    }
    e.withModel([](ControllerModel& m) { QCOMPARE(m.inputs().throttle, 0.3); });
    QVERIFY(!e.quitRequested());
    QVERIFY(e.handleCommandLine("quit"));
    QVERIFY(e.quitRequested());
}

void TestSim::ptyEndToEnd() {
    qsim::Emulator e(5, 2);
    std::string error;
    QVERIFY2(e.openPty(&error), error.c_str());
    QVERIFY(e.devicePath().rfind("/dev/pts/", 0) == 0);
    QVERIFY(e.start());

    PtyClient c;
    QVERIFY(c.open(e.devicePath()));
    QVERIFY(c.send(0x01));
    const Bytes version = c.readFor(AnswerMs, 8);
    QCOMPARE(int(version.size()), 8);
    QCOMPARE(int(version[0]), 5);
    c.close();

    // The program closes and reopens the port between exchanges.
    QTest::qWait(30);
    QVERIFY(c.open(e.devicePath()));
    QVERIFY(c.send(0x09));
    const Bytes block = c.readFor(AnswerMs, 37);
    QCOMPARE(int(block.size()), 37);
    const auto initial = ControllerModel::defaultBlock(2);
    QCOMPARE(block, Bytes(initial.begin(), initial.end()));

    // A write as the program sends it, 3 ms between bytes, then read back.
    for (uint8_t b : Bytes{0xAA, 0x13, 0x42, 0x0A}) {
        QVERIFY(c.send(b));
        QTest::qWait(3);
    }
    QVERIFY(c.drain(30).empty());
    QVERIFY(c.send(0x09));
    QCOMPARE(int(c.readFor(AnswerMs, 37).at(12)), 0x42);
    QVERIFY(c.send(0x02));
    QCOMPARE(int(c.readFor(AnswerMs, 9).size()), 9);
    QCOMPARE(e.received(), (Bytes{0x01, 0x09, 0xAA, 0x13, 0x42, 0x0A, 0x09, 0x02}));
    e.clearReceived();
    QVERIFY(e.received().empty());
    e.withModel([](ControllerModel& m) { QCOMPARE(m.closingCount(), 1); });
    c.close();
    e.stop();
    QVERIFY(!e.isRunning());
}

// A demo left running all day: the received bytes and the commands kept stay
// bounded, and the newest are always there.
void TestSim::ptyLongRunKeepsBoundedHistory() {
    qsim::Emulator e;
    e.boundHistory();
    QVERIFY(e.openPty());
    QVERIFY(e.start());
    PtyClient c;
    QVERIFY(c.open(e.devicePath()));
    const int total = int(3 * qsim::Emulator::kReceivedKept); // also far more than 2 x kCommandsKept
    for (int i = 0; i < total; ++i) {
        // The closing byte: a command without an answer; the last one is a version request.
        const uint8_t b = i + 1 == total ? 0x01 : 0x0A;
        if (!c.send(b)) {
            QTest::qWait(1); // the line's buffer is full: let the emulator read
            --i;
        }
    }
    QCOMPARE(int(c.readFor(AnswerMs, 8).size()), 8); // everything was taken
    const Bytes got = e.received();
    QVERIFY2(got.size() >= qsim::Emulator::kReceivedKept && got.size() < 2 * qsim::Emulator::kReceivedKept,
             qPrintable(QString::number(got.size())));
    QCOMPARE(int(got.back()), 0x01);
    e.withModel([&](ControllerModel& m) {
        QCOMPARE(m.closingCount(), total - 1);
        QVERIFY(m.commands().size() >= qsim::Emulator::kCommandsKept);
        QVERIFY(m.commands().size() < 2 * qsim::Emulator::kCommandsKept);
        QCOMPARE(int(m.commands().back().code), 0x01);
    });
    c.close();
    e.stop();
}

void TestSim::ptyPacingAndDelay() {
    qsim::Emulator e;
    QVERIFY(e.openPty());
    const QString log = QDir::temp().filePath("test_sim_%1.log").arg(QCoreApplication::applicationPid());
    e.setLogFile(log.toStdString());
    QVERIFY(e.start());
    PtyClient c;
    QVERIFY(c.open(e.devicePath()));

    // 37 bytes at 1.04 ms each cannot all be there before about 37 ms.
    double elapsed = 0;
    QVERIFY(c.send(0x09));
    QCOMPARE(int(c.readFor(AnswerMs, 37, &elapsed).size()), 37);
    QVERIFY2(elapsed >= 30, qPrintable(QString::number(elapsed)));

    e.setByteTimeMs(0);
    QVERIFY(c.send(0x09));
    QCOMPARE(int(c.readFor(AnswerMs, 37).size()), 37);

    e.withModel([](ControllerModel& m) { m.faults().delayMs = 80; });
    QVERIFY(c.send(0x01));
    QVERIFY(c.readFor(50, 1).empty());
    QCOMPARE(int(c.readFor(AnswerMs, 8).size()), 8);

    e.withModel([](ControllerModel& m) { m.faults() = {}; });
    QVERIFY(c.send(0x55));
    QTest::qWait(20);
    e.stop();
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QVERIFY(text.contains("rx 0x09"));
    QVERIFY(text.contains("answer to 0x01"));
    QVERIFY(text.contains("0x55"));
    f.remove();
}

void TestSim::unplugAndReplugAtStablePath() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string stable = dir.filePath("ttyUSB-stable").toStdString();
    qsim::Emulator e(5, 2);
    std::string error;
    QVERIFY(e.openPty(&error));
    QVERIFY2(e.setStablePath(stable, &error), error.c_str());
    QVERIFY(e.start());
    e.withModel([](ControllerModel& m) { m.setAnalogThreshold(77); });

    PtyClient c;
    QVERIFY(c.open(stable));
    QVERIFY(c.send(0x01));
    QCOMPARE(int(c.readFor(AnswerMs, 8).size()), 8);

    // Pulled out: the open handle fails, the path is gone, nothing answers.
    std::string reply;
    QVERIFY(e.handleCommandLine("unplug", &reply));
    QCOMPARE(reply, std::string("ok"));
    QVERIFY(e.isUnplugged());
    QVERIFY(!c.send(0x01) || c.drain(50).empty());
    PtyClient other;
    QVERIFY(!other.open(stable));
    QVERIFY(!e.handleCommandLine("unplug", &reply));
    c.close();

    // Back at the same path, the same controller behind it.
    QVERIFY(e.handleCommandLine("replug", &reply));
    QCOMPARE(reply, "ok " + stable);
    QVERIFY(!e.isUnplugged());
    QVERIFY(c.open(stable));
    QVERIFY(c.send(0xAA));
    QTest::qWait(3);
    QVERIFY(c.send(0x22));
    const Bytes threshold = c.readFor(AnswerMs, 2);
    QCOMPARE(int(threshold.size()), 2);
    QCOMPARE(int(threshold[1]), 77);
    QVERIFY(!e.handleCommandLine("replug", &reply));
    c.close();
    e.stop();
    QVERIFY(QFileInfo(QString::fromStdString(stable)).isSymLink());
}

void TestSim::executable() {
    const QString exe = qEnvironmentVariable("QUENDRIX_SIM");
    if (exe.isEmpty()) QSKIP("QUENDRIX_SIM not set");
    QProcess p;
    p.start(exe, {"--version-code", "4", "--ignition", "3", "--byte-time", "0"});
    QVERIFY(p.waitForStarted());
    QVERIFY(p.waitForReadyRead(5000));
    QString first = QString::fromUtf8(p.readLine()).trimmed();
    QVERIFY2(first.startsWith("pty: /dev/pts/"), qPrintable(first));
    const std::string path = first.mid(5).toStdString();

    PtyClient c;
    QVERIFY(c.open(path));
    QVERIFY(c.send(0x01));
    const Bytes version = c.readFor(AnswerMs, 8);
    QCOMPARE(int(version.size()), 8);
    QCOMPARE(int(version[0]), 4);
    QVERIFY(c.send(0x09));
    const Bytes block = c.readFor(AnswerMs, 37);
    QCOMPARE(int(block.size()), 37);
    QCOMPARE(int(block[32]), 3);
    QVERIFY(c.send(0x02));
    QCOMPARE(int(c.readFor(AnswerMs, 8).size()), 8);

    p.write("silent on\n");
    QVERIFY(p.waitForReadyRead(2000));
    QCOMPARE(QString::fromUtf8(p.readLine()).trimmed(), QString("ok"));
    QVERIFY(c.send(0x01));
    QVERIFY(c.drain(50).empty());

    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);

    QProcess help;
    help.start(exe, {"--help"});
    QVERIFY(help.waitForFinished(5000));
    QCOMPARE(help.exitCode(), 0);
    QVERIFY(help.readAllStandardOutput().contains("--device"));
}
