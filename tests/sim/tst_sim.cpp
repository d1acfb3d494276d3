// The controller emulator: command parser and stored state, live frames and
// the engine model, injected faults, the pty transport and the executable.

#include "PtyClient.h"
#include "emulator/ControllerModel.h"
#include "emulator/Emulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <set>

using qsim::ControllerModel;
using Bytes = std::vector<uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

// How long a test waits for an answer it expects: the emulator answers within
// milliseconds, but on a busy machine its thread, or its process, may wait
// its turn. Reading ends as soon as the bytes are there.
constexpr double AnswerMs = 5000;

int rnd(double v) {
    return static_cast<int>(std::nearbyint(v));
}
int u16(const std::array<uint8_t, 37>& b, int at) {
    return b[at] | (b[at + 1] << 8);
}

Bytes feed(ControllerModel& m, const Bytes& bytes, double t = 0) {
    Bytes last;
    for (uint8_t b : bytes) {
        Bytes a = m.receive(b, t);
        if (!a.empty()) last = a;
    }
    return last;
}

Bytes readBlock(ControllerModel& m, double t = 0) {
    return m.receive(0x09, t);
}

// The parameters as the program decodes them from a block (its decoding rules).
struct Decoded {
    int switchTemp, lowTime, highTime, tpsHundredths, switchRpm, lambdaHundredths, stepMin, stepMax,
        stepStart;
    int maxGasRpm;
    bool maxGasOff;
    int switchDelay, rpmDelta, cutoffRpm, cutoffStep, startDelay, stepOpening, belowTps, aboveTps, probeKind;
    int ignition;
    uint8_t flags;
};

Decoded decode(const std::array<uint8_t, 37>& b) {
    Decoded d{};
    const int ignition = u16(b, 32);
    static const int k[] = {19200, 9600, 4800, 4000, 3200, 2400};
    const double c = ignition <= 5 ? k[ignition] : 4800;
    auto speed = [c](int raw) { return rnd(rnd(c * 800 / (raw ? raw : 1)) / 100.0) * 100; };
    d.switchTemp = 2 * b[0] - 222;
    const int t1 = rnd(u16(b, 1) * 1000 / 244.0);
    d.lowTime = rnd(t1 / 50.0) * 50;
    d.highTime = rnd((u16(b, 3) * 1000 / 244.0 - t1) / 50.0) * 50;
    d.tpsHundredths = b[5] * 5;
    d.switchRpm = speed(u16(b, 6));
    d.flags = b[8];
    d.lambdaHundredths = rnd(rnd(b[9] * 500 / 255.0) / 5.0) * 5;
    d.stepMin = 255 - b[10];
    d.stepMax = 255 - b[11];
    d.stepStart = 255 - b[12];
    d.maxGasOff = u16(b, 13) == 1;
    d.maxGasRpm = d.maxGasOff ? 5000 : speed(u16(b, 13) ? u16(b, 13) : 2);
    d.switchDelay = rnd(u16(b, 15) * 512 * 0.008 * 0.1) * 10;
    const int bb = rnd(800.0 / d.switchRpm * c);
    d.rpmDelta = rnd((d.switchRpm - rnd(c * 800 / (u16(b, 17) + bb))) / 100.0) * 100;
    d.cutoffRpm = speed(u16(b, 19));
    d.cutoffStep = 255 - b[21];
    d.startDelay = rnd(b[22] * 0.2);
    d.stepOpening = b[27];
    d.belowTps = rnd(25 - u16(b, 28) / 2650.0);
    d.aboveTps = rnd(25 - u16(b, 34) / 2650.0);
    const bool inv = b[8] & 0x02;
    d.probeKind = b[31] == 0 ? (inv ? 2 : 1) : b[31] == 1 ? (inv ? 4 : 0) : b[31] == 2 ? 3 : 0;
    d.ignition = ignition;
    return d;
}

// The program's full write of the default parameters, constant 4800 (flags all clear).
Bytes defaultWriteSequence() {
    return {0xAA, 0x1E, 0x01, 0x0B, 0x00, 0x0F, 25,   0x08, 0x80, 0x07, 0x07, 25,   0x14, 0x25, 0x02,
            0x0B, 0x00, 0x16, 0x80, 0x02, 0x12, 245,  55,   0x13, 155,  0x06, 0x7A, 0x00, 0xF4, 0x00,
            0x1A, 0x7A, 0x00, 0xF4, 0x00, 0x19, 5,    0x0B, 0x00, 0x17, 225,  0x18, 0x00, 0x0A, 0x1B,
            30,   0x0B, 0x00, 0x20, 0xBC, 0xE3, 0x1C, 0xAE, 0xC4, 0x15, 24,   0x00, 0x0B, 0x00, 0x0B,
            0x00, 0x0B, 0x00, 0x0B, 0x00, 0x05, 111,  0xAA, 0x23, 1,    0x0A};
}

// Runs the model for `ms` from `t`, polling every 50 ms like the live page; returns the frames.
std::vector<Bytes> run(ControllerModel& m, double& t, double ms) {
    std::vector<Bytes> frames;
    for (const double end = t + ms; t < end; t += 50)
        frames.push_back(m.receive(0x02, t));
    return frames;
}

int framePeriod(const Bytes& f) {
    return f[4] | (f[5] << 8);
}
int frameStepper(const Bytes& f) {
    return 255 - f[6];
}

} // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void defaultBlockBytes();
    void defaultBlockDecodesToDefaults_data();
    void defaultBlockDecodesToDefaults();
    void writeCommandsReadBack_data();
    void writeCommandsReadBack();
    void defaultWriteLeavesInitialBlock();
    void fullWriteOfOtherValues();
    void valueBytesThatLookLikeCommands();
    void thresholdAndClosingByte();
    void ignitionWrite();
    void unknownBytesIgnored();
    void incompleteCommandExpires();

    void liveFrameLayout_data();
    void liveFrameLayout();
    void gasLevelBySensorKind();
    void idleAndThrottle();
    void periodThroughTrueIgnition();
    void petrolUntilSwitchOver();
    void switchOverWaitsForStartDelayAndTemperature();
    void lambdaSwingsOnGas();
    void temperatureWarmsUp();

    void faults();
    void commandLine();

    void ptyEndToEnd();
    void ptyPacingAndDelay();
    void ptyLongRunKeepsBoundedHistory();
    void unplugAndReplugAtStablePath();
    void executable();
};

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

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
