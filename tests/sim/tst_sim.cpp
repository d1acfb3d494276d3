#include "tst_sim.h"

void TestSim::defaultBlockBytes() {
    const auto b = ControllerModel::defaultBlock(2);
    QCOMPARE(u16(b, 6), 1920);
    QCOMPARE(u16(b, 13), 549);
    QCOMPARE(u16(b, 1), 122);
    QCOMPARE(u16(b, 3), 244);
    QCOMPARE(int(b[9]), 25);
    QCOMPARE(int(b[31]), 1);
    QCOMPARE(int(b[8]), 0);
    QCOMPARE(u16(b, 32), 2);
    QCOMPARE(u16(b, 28), 50350);
    QCOMPARE(u16(b, 34), 58300);
    QCOMPARE(u16(b, 15), 24);
    QCOMPARE(int(b[10]), 245);
    QCOMPARE(int(b[11]), 55);
    QCOMPARE(int(b[12]), 155);
    QCOMPARE(int(b[21]), 225);
    QCOMPARE(int(b[22]), 5);
    QCOMPARE(int(b[27]), 30);
    QCOMPARE(int(b[0]), 111);
    QCOMPARE(int(b[5]), 25);
    QCOMPARE(u16(b, 19), 2560);
    QCOMPARE(u16(b, 17), 640);

    ControllerModel m;
    QCOMPARE(m.block(), b);
    QCOMPARE(m.flags(), uint8_t(0));
    QCOMPARE(m.analogThreshold(), uint8_t(1));
    QCOMPARE(m.versionCode(), 5);
    QCOMPARE(m.storedIgnition(), 2);
    const Bytes answer = readBlock(m);
    QCOMPARE(answer, Bytes(b.begin(), b.end()));
}

void TestSim::defaultBlockDecodesToDefaults_data() {
    QTest::addColumn<int>("ignition");
    for (int i = 0; i <= 5; ++i)
        QTest::addRow("ignition %d", i) << i;
}

void TestSim::defaultBlockDecodesToDefaults() {
    QFETCH(int, ignition);
    const Decoded d = decode(ControllerModel::defaultBlock(ignition));
    QCOMPARE(d.ignition, ignition);
    QCOMPARE(d.probeKind, 0);
    QCOMPARE(d.lambdaHundredths, 50);
    QCOMPARE(d.switchRpm, 2000);
    QCOMPARE(d.flags & 0x01, 0); // TpsKind 0
    QCOMPARE(d.tpsHundredths, 125);
    QCOMPARE(d.aboveTps, 3);
    QCOMPARE(d.belowTps, 6);
    QCOMPARE(d.maxGasRpm, 7000);
    QVERIFY(!d.maxGasOff);
    QCOMPARE(d.flags & 0x04, 0); // RpmKind 0
    QCOMPARE(d.rpmDelta, 500);
    QCOMPARE(d.stepMin, 10);
    QCOMPARE(d.stepMax, 200);
    QCOMPARE(d.stepStart, 100);
    QCOMPARE(d.startDelay, 1);
    QCOMPARE(d.lowTime, 500);
    QCOMPARE(d.highTime, 500);
    QCOMPARE(d.flags & 0x10, 0); // CutoffOn off
    QCOMPARE(d.cutoffStep, 30);
    QCOMPARE(d.cutoffRpm, 1500);
    QCOMPARE(d.stepOpening, 30);
    QCOMPARE(d.switchDelay, 100);
    QCOMPARE(d.flags & 0x40, 0); // ControllerMode 0
    QCOMPARE(d.flags & 0x80, 0); // ReserveSensorKind 1 "90R"
    QCOMPARE(d.flags & 0x08, 0); // TempSensorOn off
    QCOMPARE(d.switchTemp, 0);
}

void TestSim::writeCommandsReadBack_data() {
    QTest::addColumn<Bytes>("command");
    QTest::addColumn<int>("offset"); // first block byte written, -1 none
    struct Row {
        const char* name;
        Bytes cmd;
        int offset;
    };
    const Row rows[] = {
        {"0x1E ProbeKind", {0x1E, 0x02}, 31},
        {"0x0B flags", {0x0B, 0xD9}, 8},
        {"0x0F LambdaThreshold", {0x0F, 0x33}, 9},
        {"0x08 SwitchRpm", {0x08, 0x34, 0x12}, 6},
        {"0x07 TpsThreshold", {0x07, 0x3C}, 5},
        {"0x14 MaxGasRpm", {0x14, 0x01, 0x00}, 13},
        {"0x16 RpmDelta", {0x16, 0xFE, 0xFF}, 17},
        {"0x12 StepMin StepMax", {0x12, 0xB0, 0xAF}, 10},
        {"0x13 StepStart", {0x13, 0xAE}, 12},
        {"0x06 lambda times", {0x06, 0x01, 0x02, 0x03, 0x04}, 1},
        {"0x19 StartDelay", {0x19, 0x32}, 22},
        {"0x17 CutoffStep", {0x17, 0x14}, 21},
        {"0x18 CutoffRpm", {0x18, 0x00, 0x0F}, 19},
        {"0x1B StepOpening", {0x1B, 0x02}, 27},
        {"0x20 StepSpeedAboveTps", {0x20, 0x16, 0xEE}, 34},
        {"0x1C StepSpeedBelowTps", {0x1C, 0x08, 0xCF}, 28},
        {"0x15 SwitchDelay", {0x15, 0x10, 0x27}, 15},
        {"0x05 SwitchTemp", {0x05, 0x88}, 0},
        {"0x1F ignition", {0x1F, 0x05, 0x00}, 32},
        {"0x1A second pair", {0x1A, 0x11, 0x00, 0x22, 0x00}, -1},
    };
    for (const Row& r : rows) {
        QTest::addRow("%s", r.name) << r.cmd << r.offset;
        Bytes prefixed = r.cmd;
        prefixed.insert(prefixed.begin(), 0xAA);
        QTest::addRow("AA %s", r.name) << prefixed << r.offset;
    }
}

void TestSim::writeCommandsReadBack() {
    QFETCH(Bytes, command);
    QFETCH(int, offset);
    ControllerModel m;
    const auto before = m.block();
    QVERIFY(feed(m, command).empty()); // writes have no answer
    const bool prefixed = command[0] == 0xAA;
    const Bytes values(command.begin() + (prefixed ? 2 : 1), command.end());
    QCOMPARE(int(values.size()), ControllerModel::valueByteCount(command[prefixed ? 1 : 0]));

    Bytes expected(before.begin(), before.end());
    for (size_t i = 0; offset >= 0 && i < values.size(); ++i)
        expected[offset + i] = values[i];
    QCOMPARE(readBlock(m), expected);
    if (offset < 0) QCOMPARE(m.secondLambdaPair(), (std::array<uint8_t, 4>{0x11, 0x00, 0x22, 0x00}));

    QCOMPARE(int(m.commands().size()), 2); // the write, then the block request
    QCOMPARE(m.commands()[0].prefixed, prefixed);
    QCOMPARE(m.commands()[0].values, values);
}

void TestSim::defaultWriteLeavesInitialBlock() {
    for (int version : {3, 4, 5, 8}) {
        ControllerModel m(version, 2);
        const auto initial = m.block();
        QVERIFY(feed(m, defaultWriteSequence()).empty());
        QCOMPARE(m.block(), initial);
        QCOMPARE(m.closingCount(), 1);
        QCOMPARE(m.analogThreshold(), uint8_t(1));
        QCOMPARE(m.secondLambdaPair(), (std::array<uint8_t, 4>{122, 0, 244, 0}));
    }
}

void TestSim::fullWriteOfOtherValues() {
    // The wizard's set-up group with its own values, unprefixed, then 0x0A.
    ControllerModel m;
    const Bytes group = {0x1E, 0x00, 0x0B, 0x80, 0x0F, 0x40, 0x08, 0x00, 0x06, 0x07,
                         0x10, 0x12, 0x80, 0x00, 0x19, 0x0A, 0x13, 0x0A, 0x0A};
    feed(m, group, 5);
    const auto b = m.block();
    QCOMPARE(int(b[31]), 0);
    QCOMPARE(int(b[8]), 0x80);
    QCOMPARE(int(b[9]), 0x40);
    QCOMPARE(u16(b, 6), 0x0600);
    QCOMPARE(int(b[5]), 0x10);
    QCOMPARE(int(b[10]), 0x80);
    QCOMPARE(int(b[11]), 0x00);
    QCOMPARE(int(b[22]), 0x0A);
    QCOMPARE(int(b[12]), 0x0A);
    QCOMPARE(m.closingCount(), 1);
    const Decoded d = decode(b);
    QCOMPARE(d.probeKind, 1);
    QCOMPARE(d.stepMin, 127);
    QCOMPARE(d.startDelay, 2);
}

void TestSim::valueBytesThatLookLikeCommands() {
    ControllerModel m;
    // Value bytes equal to 0x02, 0x09, 0x01, 0xAA, 0x0A and 0x22 must not be taken as commands.
    QVERIFY(feed(m, {0x08, 0x02, 0x09}).empty());
    QVERIFY(feed(m, {0x0F, 0xAA}).empty());
    QVERIFY(feed(m, {0x12, 0x0A, 0x01}).empty());
    QVERIFY(feed(m, {0xAA, 0x23, 0x22}).empty());
    QVERIFY(feed(m, {0x06, 0x01, 0x02, 0x09, 0xAA}).empty());
    QCOMPARE(m.closingCount(), 0);
    const auto b = m.block();
    QCOMPARE(u16(b, 6), 0x0902);
    QCOMPARE(int(b[9]), 0xAA);
    QCOMPARE(int(b[10]), 0x0A);
    QCOMPARE(int(b[11]), 0x01);
    QCOMPARE(m.analogThreshold(), uint8_t(0x22));
    QCOMPARE(int(b[1]), 0x01);
    QCOMPARE(int(b[4]), 0xAA);
    // And the parser is back in step: a version request is answered.
    QCOMPARE(int(m.receive(0x01, 0).size()), 8);
}

void TestSim::thresholdAndClosingByte() {
    ControllerModel m;
    QCOMPARE(feed(m, {0xAA, 0x22}), (Bytes{0x22, 1}));
    feed(m, {0xAA, 0x23, 200});
    QCOMPARE(m.analogThreshold(), uint8_t(200));
    QCOMPARE(feed(m, {0xAA, 0x22}).at(1), uint8_t(200));
    QCOMPARE(m.closingCount(), 0);
    feed(m, {0x0A});
    feed(m, {0xAA, 0x0A});
    QCOMPARE(m.closingCount(), 2);
    m.setAnalogThreshold(7);
    QCOMPARE(feed(m, {0xAA, 0x22}).at(1), uint8_t(7));
    // 0x22 and 0x23 only mean something after the prefix.
    QVERIFY(feed(m, {0x22}).empty());
    feed(m, {0x23, 0x13, 0x20});
    QCOMPARE(m.analogThreshold(), uint8_t(7));
    QCOMPARE(int(m.block()[12]), 0x20); // 0x13 after the ignored 0x23 was a command
}

void TestSim::ignitionWrite() {
    ControllerModel m;
    feed(m, {0x1F, 0x04, 0x00});
    QCOMPARE(m.storedIgnition(), 4);
    QCOMPARE(u16(m.block(), 32), 4);
    feed(m, {0x1F, 0x01, 0x01});
    QCOMPARE(m.storedIgnition(), 0x0101);
    const Bytes b = readBlock(m);
    QCOMPARE(int(b[32]), 1);
    QCOMPARE(int(b[33]), 1);
    m.setStoredIgnition(0);
    QCOMPARE(int(readBlock(m)[32]), 0);
    QCOMPARE(ControllerModel(5, 5).storedIgnition(), 5);
    QCOMPARE(ControllerModel::ignitionConstant(0), 19200);
    QCOMPARE(ControllerModel::ignitionConstant(5), 2400);
    QCOMPARE(ControllerModel::ignitionConstant(6), 4800);
}

void TestSim::unknownBytesIgnored() {
    ControllerModel m;
    const auto before = m.block();
    for (uint8_t b : {0x00, 0x03, 0x55, 0xFF, 0x22, 0x23, 0x21})
        QVERIFY(m.receive(b, 0).empty());
    QCOMPARE(m.block(), before);
    const auto events = m.takeEvents();
    QVERIFY(std::any_of(events.begin(), events.end(),
                        [](const std::string& e) { return e.find("0x55") != std::string::npos; }));
    QCOMPARE(int(m.receive(0x01, 0).size()), 8);
}

void TestSim::incompleteCommandExpires() {
    ControllerModel m;
    m.receive(0x08, 0);
    m.receive(0x10, 3);
    // The second value byte never comes; much later a block request is a command again.
    QCOMPARE(int(m.receive(0x09, 5000).size()), 37);
    QCOMPARE(u16(m.block(), 6), 1920);
    // Within the pause the program makes, bytes still belong to the command.
    m.receive(0x08, 6000);
    m.receive(0x09, 6020);
    QVERIFY(m.receive(0x02, 6040).empty());
    QCOMPARE(u16(m.block(), 6), 0x0209);
}

void TestSim::liveFrameLayout_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("checksum");
    QTest::newRow("3") << 3 << 8 << false;
    QTest::newRow("4") << 4 << 8 << false;
    QTest::newRow("5") << 5 << 9 << true;
    QTest::newRow("6") << 6 << 9 << false;
    QTest::newRow("8") << 8 << 9 << false;
}

void TestSim::liveFrameLayout() {
    QFETCH(int, version);
    QFETCH(int, length);
    QFETCH(bool, checksum);
    ControllerModel m(version, 2);
    m.inputs().gasLevel = 0.5;
    m.inputs().forcedTempC = 57;
    m.inputs().throttle = 0.25;
    double t = 0;
    run(m, t, 3000);
    const Bytes f = m.receive(0x02, t);
    QCOMPARE(int(f.size()), length);
    QCOMPARE(f, m.liveFrame());
    if (checksum) {
        int sum = 0;
        for (int i = 0; i < 7; ++i)
            sum += f[i];
        QCOMPARE(int(f[7]), sum % 256);
    }
    QCOMPARE(int(f[1]), rnd((0.5 + 4.0 * 0.25) * 20)); // 1.5 V
    const int gasByte = version >= 4 ? f[3] : f[2];
    QCOMPARE(gasByte, 20); // "90R": half of 40
    if (version >= 4) {
        QCOMPARE(int(f[2]), rnd(110 + 57 * 10 / 19.0));
        QCOMPARE(rnd((f[2] - 110) * 19 / 10.0), 57);
    } else {
        QCOMPARE(int(f[3]), 0);
    }
}

void TestSim::gasLevelBySensorKind() {
    ControllerModel m(4, 2);
    auto level = [&](double g) {
        m.inputs().gasLevel = g;
        return int(m.liveFrame()[3]);
    };
    QCOMPARE(level(0.0), 0);
    QVERIFY(level(1.0) >= 35); // shown as the 88 % maximum
    feed(m, {0x0B, 0x80});     // "20K"
    QCOMPARE(level(0.0), 250);
    QVERIFY(level(1.0) <= 14);
    QVERIFY(level(0.5) > level(0.8));
}

void TestSim::idleAndThrottle() {
    ControllerModel m;
    double t = 0;
    auto frames = run(m, t, 5000);
    for (const Bytes& f : frames) {
        const double rpm = 4800.0 * 800 / framePeriod(f);
        QVERIFY2(std::fabs(rpm - 800) < 60, qPrintable(QString::number(rpm)));
    }
    QVERIFY(std::fabs(m.state().rpm - 800) < 60);
    QCOMPARE(int(m.liveFrame()[1]), 10); // 0.5 V closed throttle

    m.inputs().throttle = 1.0;
    run(m, t, 100);
    QVERIFY(m.state().rpm < 2500); // inertia: not there at once
    run(m, t, 5000);
    QVERIFY(m.state().rpm > 5500);
    QVERIFY(m.state().rpm < 6500);
    QCOMPARE(int(m.liveFrame()[1]), 90); // 4.5 V
    m.inputs().throttle = 0.0;
    run(m, t, 8000);
    QVERIFY(std::fabs(m.state().rpm - 800) < 60);

    m.inputs().engineOn = false;
    run(m, t, 3000);
    const Bytes off = m.receive(0x02, t);
    QCOMPARE(framePeriod(off), 0xFFFF);
    QCOMPARE(int(off[6]), 255);
    QCOMPARE(m.state().rpm, 0.0);
}

void TestSim::periodThroughTrueIgnition() {
    ControllerModel m(5, 2);
    m.inputs().forcedRpm = 2500;
    double t = 0;
    run(m, t, 200);
    QCOMPARE(framePeriod(m.liveFrame()), 1536); // 4800 * 800 / 2500
    const int constants[] = {19200, 9600, 4800, 4000, 3200, 2400};
    for (int i = 0; i <= 5; ++i) {
        m.inputs().trueIgnition = i;
        run(m, t, 50);
        QCOMPARE(framePeriod(m.liveFrame()), rnd(constants[i] * 800.0 / 2500));
    }
    // The stored ignition does not change what the engine does.
    m.inputs().trueIgnition = 2;
    feed(m, {0x1F, 0x00, 0x00}, t);
    run(m, t, 50);
    QCOMPARE(framePeriod(m.liveFrame()), 1536);
}

void TestSim::petrolUntilSwitchOver() {
    ControllerModel m;
    double t = 0;
    for (const Bytes& f : run(m, t, 10000))
        QCOMPARE(int(f[6]), 255); // idle never reached 2000 rpm
    QVERIFY(!m.state().onGas);

    m.inputs().throttle = 0.5;
    run(m, t, 3000);
    QVERIFY(m.state().onGas);
    m.inputs().throttle = 0.0;
    for (const Bytes& f : run(m, t, 10000)) {
        QVERIFY(frameStepper(f) >= 10);
        QVERIFY(frameStepper(f) <= 200);
    }
    QVERIFY(m.state().onGas); // stays on gas back at idle

    // Narrow limits are kept, whatever the lambda asks for.
    feed(m, {0x12, 255 - 60, 255 - 70}, t);
    std::set<int> seen;
    for (const Bytes& f : run(m, t, 5000)) {
        QVERIFY2(frameStepper(f) >= 60 && frameStepper(f) <= 70,
                 qPrintable(QString::number(frameStepper(f))));
        seen.insert(frameStepper(f));
    }
    QVERIFY(seen.size() > 1); // it regulates

    m.inputs().engineOn = false;
    run(m, t, 2000);
    QCOMPARE(int(m.liveFrame()[6]), 255);
    QVERIFY(!m.state().onGas);
    // A restart needs the switch-over speed again.
    m.inputs().engineOn = true;
    run(m, t, 5000);
    QVERIFY(!m.state().onGas);
}

void TestSim::switchOverWaitsForStartDelayAndTemperature() {
    ControllerModel m;
    m.inputs().forcedRpm = 2500;
    feed(m, {0x19, 50}, 0); // StartDelay 10 s
    double t = 0;
    run(m, t, 9000);
    QVERIFY(!m.state().onGas);
    run(m, t, 1500);
    QVERIFY(m.state().onGas);
    // Started at StepStart 100 half a second ago; regulation moves it one step per 60 ms.
    QVERIFY2(std::abs(m.state().stepper - 100) <= 15, qPrintable(QString::number(m.state().stepper)));

    ControllerModel h;
    h.inputs().forcedRpm = 2500;
    h.inputs().forcedTempC = 40;
    feed(h, {0x05, 136, 0x0B, 0x08}, 0); // SwitchTemp 50 °C, TempSensorOn
    double u = 0;
    run(h, u, 10000);
    QVERIFY(!h.state().onGas);
    h.inputs().forcedTempC = 55;
    run(h, u, 200);
    QVERIFY(h.state().onGas);
}

void TestSim::lambdaSwingsOnGas() {
    ControllerModel m;
    m.inputs().forcedRpm = 2500;
    double t = 0;
    run(m, t, 5000);
    QVERIFY(m.state().onGas);
    int crossings = 0, lo = 255, hi = 0;
    bool rich = m.liveFrame()[0] > 26;
    for (double end = t + 10000; t < end; t += 20) {
        const Bytes f = m.receive(0x02, t);
        lo = std::min<int>(lo, f[0]);
        hi = std::max<int>(hi, f[0]);
        if ((f[0] > 26) != rich) {
            rich = !rich;
            ++crossings;
        }
    }
    QVERIFY2(lo <= rnd(0.2 * 51) && hi >= rnd(0.8 * 51), qPrintable(QString("%1..%2").arg(lo).arg(hi)));
    QVERIFY(hi <= rnd(1.0 * 51));
    // About 1 Hz: two crossings a second, allow a wide margin.
    QVERIFY2(crossings >= 8 && crossings <= 60, qPrintable(QString::number(crossings)));
}

void TestSim::temperatureWarmsUp() {
    ControllerModel m(4, 2);
    double t = 0;
    run(m, t, 100);
    QVERIFY(std::fabs(m.state().tempC - 20) < 1);
    run(m, t, 150000);
    QVERIFY(m.state().tempC > 70);
    QVERIFY(m.state().tempC < 90);
    QCOMPARE(int(m.liveFrame()[2]), rnd(110 + m.state().tempC * 10 / 19));
}

QTEST_GUILESS_MAIN(TestSim)
