// Read, edit, write and read again against the controller emulator on a
// pseudo-terminal, through the real serial port and clock.
#include "emulator/Emulator.h"
#include "link/Clock.h"
#include "link/Controller.h"
#include "link/QtSerialPort.h"
#include "link/SerialChannel.h"
#include "params/BlockCodec.h"
#include "params/ParamTable.h"
#include "params/RestorePoints.h"
#include "params/WriteGate.h"
#include "params/WriteSequence.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

struct Messages : WriteMessageSink {
    void writeMessage(const QString& text, const QString& caption) override {
        shown << caption + ": " + text;
    }
    QStringList shown;
};

struct Line {
    std::unique_ptr<qsim::Emulator> emu;
    QtSerialPort port;
    SystemClock clock;
    SerialChannel channel{port, clock};
    Controller controller{channel};
    Messages messages;
    QString error;

    Line() {
        emu = std::make_unique<qsim::Emulator>(5, 2);
        std::string err;
        if (!emu->openPty(&err) || !emu->start()) {
            error = QString::fromStdString(err);
            return;
        }
        channel.setDevicePath(1, QString::fromStdString(emu->devicePath()));
        channel.setSelectedPort(QStringLiteral("com1"));
    }
    ~Line() {
        channel.ClosePort();
        emu->stop();
    }
    ParameterBlock block() {
        return emu->withModel([](qsim::ControllerModel& m) { return m.block(); });
    }
    int closings() {
        return emu->withModel([](qsim::ControllerModel& m) { return m.closingCount(); });
    }
    void clearCommands() {
        emu->withModel([](qsim::ControllerModel& m) {
            m.clearCommands();
            return 0;
        });
    }
};

#define NEED_LINE(line)                                                                                      \
    if (!(line).error.isEmpty()) QSKIP(qPrintable(QStringLiteral("no pseudo-terminal: ") + (line).error))

} // namespace

class TestParamSim : public QObject {
    Q_OBJECT
private slots:
    void readGivesTheDefaults();
    void writingTheDefaultsKeepsTheBlock();
    void editedValuesComeBack();
    void restoreBringsTheBlockBack();
    void traceOfAWriteShowsItsStepsAndPauses();
};

void TestParamSim::readGivesTheDefaults() {
    Line line;
    NEED_LINE(line);
    ParameterSet s;
    QVERIFY(readParameters(line.controller, s));
    QVERIFY(s == defaultParameterSet());
    QCOMPARE(line.controller.ignitionConstant(), 4800);
}

void TestParamSim::writingTheDefaultsKeepsTheBlock() {
    Line line;
    NEED_LINE(line);
    const ParameterBlock initial = line.block();
    ParameterSet s;
    QVERIFY(readParameters(line.controller, s));
    line.clearCommands();
    WriteParameters(line.controller, s, &line.messages);
    QTRY_COMPARE(line.closings(), 1);
    QVERIFY(line.messages.shown.isEmpty());
    const ParameterBlock after = line.block();
    for (int i = 0; i < Controller::BlockSize; ++i)
        QCOMPARE(int(after[static_cast<std::size_t>(i)]), int(initial[static_cast<std::size_t>(i)]));
}

void TestParamSim::editedValuesComeBack() {
    Line line;
    NEED_LINE(line);
    ParameterSet s;
    QVERIFY(readParameters(line.controller, s));
    const QList<std::pair<ParamId, QString>> edits = {
        {ParamId::ProbeKind, "4"},         {ParamId::LambdaThreshold, "1,20"},
        {ParamId::SwitchRpm, "2500"},      {ParamId::TpsKind, "1"},
        {ParamId::TpsThreshold, "2,40"},   {ParamId::StepSpeedAboveTps, "5"},
        {ParamId::StepSpeedBelowTps, "8"}, {ParamId::MaxGasRpm, "6000"},
        {ParamId::RpmKind, "1"},           {ParamId::RpmDelta, "300"},
        {ParamId::StepMin, "20"},          {ParamId::StepMax, "180"},
        {ParamId::StepStart, "90"},        {ParamId::StartDelay, "5"},
        {ParamId::LambdaLowTime, "300"},   {ParamId::LambdaHighTime, "700"},
        {ParamId::CutoffOn, "1"},          {ParamId::CutoffStep, "40"},
        {ParamId::CutoffRpm, "1800"},      {ParamId::StepOpening, "25"},
        {ParamId::SwitchDelay, "500"},     {ParamId::ControllerMode, "1"},
        {ParamId::ReserveSensorKind, "0"}, {ParamId::TempSensorOn, "1"},
        {ParamId::SwitchTemp, "40"},       {ParamId::AnalogThreshold, "50"},
    };
    for (const auto& [id, text] : edits)
        s[id] = text;
    line.clearCommands();
    WriteParameters(line.controller, s, &line.messages);
    QTRY_COMPARE(line.closings(), 1);
    QVERIFY(line.messages.shown.isEmpty());

    ParameterSet back;
    QVERIFY(readParameters(line.controller, back));
    for (const ParamDef& d : paramTable())
        QCOMPARE(back[d.id], s[d.id]);

    // The speed limit switched off, then on again.
    s[ParamId::MaxGasRpmOff] = QStringLiteral("1");
    WriteParameters(line.controller, s, &line.messages);
    QVERIFY(readParameters(line.controller, back));
    QCOMPARE(back[ParamId::MaxGasRpmOff], QStringLiteral("1"));
    QCOMPARE(back[ParamId::MaxGasRpm], QStringLiteral("5000"));
    s[ParamId::MaxGasRpmOff] = QStringLiteral("0");
    WriteParameters(line.controller, s, &line.messages);
    QVERIFY(readParameters(line.controller, back));
    QCOMPARE(back[ParamId::MaxGasRpmOff], QStringLiteral("0"));
    QCOMPARE(back[ParamId::MaxGasRpm], QStringLiteral("6000"));
}

void TestParamSim::restoreBringsTheBlockBack() {
    using namespace params;
    Line line;
    NEED_LINE(line);
    // A controller set raw, with bytes the page cannot show: 0F 1A, 1C 20 4E,
    // 15 7B 00, 08 2C 01.
    ParameterBlock original = line.block();
    original[9] = 0x1A;
    original[28] = 0x20, original[29] = 0x4E;
    original[15] = 0x7B, original[16] = 0x00;
    original[6] = 0x2C, original[7] = 0x01;
    line.emu->withModel([&](qsim::ControllerModel& m) {
        m.setBlock(original);
        return 0;
    });
    QTemporaryDir dir;
    RestorePointStore store(dir.path());
    WriteGate gate(&store);
    const WriteContext ctx{"Zapisz parametry", "COM1", false};
    line.controller.ReadVersion();

    // The controller silent: the block cannot be kept, nothing is written.
    line.emu->withModel([](qsim::ControllerModel& m) { return m.faults().silent = true; });
    line.clearCommands();
    const GateReport refused =
        gate.writeSet(line.controller, ctx, defaultParameterSet(), SetOrigin::File, nullptr);
    QCOMPARE(refused.verdict.reason, GateVerdict::Reason::NoRestorePoint);
    line.emu->withModel([](qsim::ControllerModel& m) { return m.faults().silent = false; });
    QVERIFY(store.list().empty());
    QCOMPARE(line.block(), original);

    // A write of the set the page shows: the block is read first and kept.
    ParameterSet s;
    QVERIFY(readParameters(line.controller, s));
    s[ParamId::StepOpening] = "60"; // skipped by the write's own check
    s[ParamId::CutoffStep] = "80";
    const GateReport written = gate.writeSet(line.controller, ctx, s, SetOrigin::Controller, nullptr);
    QVERIFY(written.verdict.allowed() && written.outcome.complete);
    QCOMPARE(written.skipped, std::vector<ParamId>{ParamId::StepOpening});
    QCOMPARE(written.restorePoint, 1);
    QCOMPARE(store.load(1)->block, original);
    QVERIFY(line.block() != original);
    QCOMPARE(gate.knownBlock(), std::optional<ParameterBlock>(line.block()));

    // A wizard's set-up: the known block follows the bytes that went out.
    const GateReport setUp = gate.sendCommands(
        line.controller, ctx, {{{0x07, 0xFA}, 20, {ParamId::TpsThreshold}}, {{0x0A}, 0, {}}});
    QVERIFY(setUp.complete());
    QTRY_COMPARE(int(line.block()[5]), 0xFA);
    QCOMPARE(gate.knownBlock(), std::optional<ParameterBlock>(line.block()));
    QCOMPARE(store.list().size(), std::size_t(2));

    // Restore point 1, byte for byte; a byte nothing writes is named.
    ParameterBlock target = store.load(1)->block;
    target[36] = 0x55;
    const RestoreReport restored = gate.restore(line.controller, ctx, target);
    QVERIFY(restored.complete());
    QCOMPARE(restored.restorePoint, 3);
    QCOMPARE(restored.notRestorable, std::vector<int>{36});
    QCOMPARE(line.block(), original);
    QCOMPARE(gate.knownBlock(), std::optional<ParameterBlock>(original));
}

// The write's steps as the protocol trace shows them, against the sequence
// the controller expects: "?" is a value byte, "20ms" an extra pause (each
// byte's own 3 ms are not listed).
void TestParamSim::traceOfAWriteShowsItsStepsAndPauses() {
    Line line;
    NEED_LINE(line);
    ParameterSet s;
    QVERIFY(readParameters(line.controller, s));
    TraceBuffer trace;
    line.channel.setTrace(&trace);
    trace.setOn(true);
    WriteParameters(line.controller, s, &line.messages);
    trace.setOn(false);
    QVERIFY(line.messages.shown.isEmpty());

    const QStringList expected = {"1: open AA",
                                  "2: 1E ?",
                                  "3: 20ms 0B ?",
                                  "4: 20ms 0F ?",
                                  "5: 20ms 08 ? ?",
                                  "6: 20ms 07 ?",
                                  "7: 20ms 14 ? ?",
                                  "8: 20ms 0B ?",
                                  "9: 20ms 16 ? ?",
                                  "10: 20ms 12 ? ?",
                                  "11: 20ms 13 ?",
                                  "12: 20ms 06 ? ? ? ?",
                                  "13: 20ms 1A 7A 00 F4 00",
                                  "14: 20ms 19 ?",
                                  "15: 20ms 0B ?",
                                  "16: 20ms 17 ?",
                                  "17: 20ms 18 ? ?",
                                  "18: 20ms 1B ?",
                                  "19: 20ms 0B ?",
                                  "20: 20ms 20 ? ?",
                                  "21: 20ms 1C ? ?",
                                  "22: 20ms 15 ? ?",
                                  "23: 20ms 0B ? 0B ?",
                                  "24: 20ms 0B ?",
                                  "25: 20ms 0B ?",
                                  "26: 20ms 05 ?",
                                  "27: 20ms close open AA 20ms 23 20ms ? 20ms",
                                  "28: 20ms 0A close 20ms"};
    QStringList steps;
    qint64 lastSentUs = -1;
    bool pausedSince = false;
    for (const TraceEntry& e : trace.take()) {
        QVERIFY2(e.tag.belongsTo(TraceExchange::WriteStep) && !e.failed,
                 qPrintable(linktrace::line(e, 0, 0, {})));
        const QString prefix = QString::number(e.tag.step) + QLatin1Char(':');
        if (steps.isEmpty() || !steps.last().startsWith(prefix + QLatin1Char(' '))) steps << prefix;
        QString token;
        switch (e.kind) {
        case TraceKind::Opened:
            token = "open";
            break;
        case TraceKind::Closed:
            token = "close";
            break;
        case TraceKind::Pause:
            token = QString::number(e.pauseMs) + "ms";
            break;
        case TraceKind::Sent:
            token = linktrace::hex(e.bytes);
            break;
        default:
            QFAIL(qPrintable("not part of a write: " + linktrace::line(e, 0, 0, {})));
        }
        steps.last() += QLatin1Char(' ') + token;
        if (e.kind == TraceKind::Pause) pausedSince = true;
        if (e.kind != TraceKind::Sent) continue;
        // Each byte is followed by 3 ms, and a step's pause comes on top.
        if (lastSentUs >= 0) QVERIFY(e.us - lastSentUs >= (pausedSince ? 23000 : 3000) - 500);
        lastSentUs = e.us;
        pausedSince = false;
    }
    QCOMPARE(steps.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QStringList want = expected[i].split(' '), got = steps[i].split(' ');
        bool same = want.size() == got.size();
        for (int k = 0; same && k < want.size(); ++k)
            same = want[k] == got[k] || (want[k] == "?" && got[k].size() == 2);
        QVERIFY2(same, qPrintable(steps[i] + "  expected  " + expected[i]));
    }
}

QTEST_GUILESS_MAIN(TestParamSim)
#include "tst_paramsim.moc"
