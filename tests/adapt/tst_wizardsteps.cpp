// The wizard's logic: its arithmetic and commands, each step's ticks and the
// flow between the steps, driven with synthetic live frames.
#include "WizardRig.h"
#include "adapt/Adaptation.h"
#include "adapt/Bar.h"
#include "live/LiveDecode.h"

#include <QTest>

using namespace adapt;
using namespace wizardrig;

Q_DECLARE_METATYPE(adapt::Bytes)
Q_DECLARE_METATYPE(std::optional<adapt::Bytes>)

namespace {

bool sendsCommand(const std::vector<Bytes>& commands, std::uint8_t code) {
    for (const Bytes& c : commands)
        if (!c.empty() && c[0] == code) return true;
    return false;
}

bool sendsCommand(const Reaction& r, std::uint8_t code) {
    std::vector<Bytes> commands;
    for (const LinkAction& a : r.actions)
        commands.insert(commands.end(), a.group.begin(), a.group.end());
    return sendsCommand(commands, code);
}

} // namespace

class TestWizardSteps : public QObject {
    Q_OBJECT
private slots:
    void setupBytes_data();
    void setupBytes();
    void unknownFlagsSendNoFlagsCommand();
    void probeKindByRich_data();
    void probeKindByRich();
    void lambdaTimeUnits_data();
    void lambdaTimeUnits();
    void derivedValues();
    void stepOpeningTable();
    void finalWriteFlags_data();
    void finalWriteFlags();
    void barMarkers();

    void warmUpAndIgnition();
    void tpsThreshold_data();
    void tpsThreshold();
    void enterOnUnfinishedStepDoesNothing();
    void backLandsOnPreviousStep_data();
    void backLandsOnPreviousStep();
    void probeCalibration();
    void switchOverWaitsBeforeForward();
    void reducerNeedsRichMixture();
    void stepperPhasesCountOnlyTheirSpeeds();
    void stepperLearningAndFinalWrite();
    void leavingStepOneWritesIgnition();
};

void TestWizardSteps::setupBytes_data() {
    QTest::addColumn<int>("rich");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("sensor20k");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("flags");
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("flagsAfter");
    QTest::newRow("step 6 entry, 1 V probe, rising TPS, manual, 20k")
        << 46 << 25 << 1 << false << true << 79 << 80 << 81 << 0xFF
        << Bytes{0x1E, 0x01, 0x0B, 0xFD, 0x0F, 25,   0x08, 0x80, 0x07, 0x07, 250,  0x14, 0x25, 0x02, 0x0B,
                 0xF9, 0x16, 0x80, 0x02, 0x19, 5,    0x0B, 0xF8, 0x15, 24,   0x00, 0x0B, 0xF0, 0x0B, 0xB0,
                 0x1B, 0x00, 0x20, 0x16, 0xEE, 0x1C, 0x08, 0xCF, 0x0B, 0xA0, 0x17, 235,  0x18, 0x00, 0x0A,
                 0x0B, 0xA0, 0x12, 0xB0, 0xAF, 0x13, 0xAE, 0x06, 0xC3, 0x00, 0x86, 0x01, 0x0A}
        << 0xA0;
    QTest::newRow("step 8 entry, 5 V probe, falling TPS, automatic, 90R")
        << 200 << 100 << 0 << true << false << 10 << 200 << 80 << 0x00
        << Bytes{0x1E, 0x00, 0x0B, 0x00, 0x0F, 100,  0x08, 0x80, 0x07, 0x07, 0,    0x14, 0x25, 0x02, 0x0B,
                 0x00, 0x16, 0x80, 0x02, 0x19, 5,    0x0B, 0x01, 0x15, 24,   0x00, 0x0B, 0x01, 0x0B, 0x01,
                 0x1B, 0x00, 0x20, 0x16, 0xEE, 0x1C, 0x08, 0xCF, 0x0B, 0x11, 0x17, 235,  0x18, 0x00, 0x0A,
                 0x0B, 0x11, 0x12, 0xF5, 0x37, 0x13, 0xAF, 0x06, 0xC3, 0x00, 0x86, 0x01, 0x0A}
        << 0x11;
}

void TestWizardSteps::setupBytes() {
    QFETCH(int, rich);
    QFETCH(int, threshold);
    QFETCH(int, direction);
    QFETCH(bool, automatic);
    QFETCH(bool, sensor20k);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, start);
    QFETCH(int, flags);
    QFETCH(Bytes, bytes);
    QFETCH(int, flagsAfter);
    SetupInputs in;
    in.ignitionConstant = 4800;
    in.rich = rich;
    in.probeThreshold = threshold;
    in.tpsDirectionFlag = direction;
    in.tpsToWrite = direction ? 250 : 0;
    in.gearbox = automatic ? Gearbox::Automatic : Gearbox::Manual;
    in.reserve = sensor20k ? ReserveSensor::Sensor20k : ReserveSensor::Sensor90R;
    in.lower = lower;
    in.upper = upper;
    in.start = start;
    in.flags = std::uint8_t(flags);
    const CommandGroup g = adaptationSetup(in);
    QCOMPARE(g.bytes(), bytes);
    QCOMPARE(g.flags, std::optional<std::uint8_t>(std::uint8_t(flagsAfter)));
}

void TestWizardSteps::unknownFlagsSendNoFlagsCommand() {
    SetupInputs in;
    const CommandGroup setup = adaptationSetup(in);
    QVERIFY(!sendsCommand(setup.commands, 0x0B));
    QCOMPARE(int(setup.commands.size()), 24 - 7); // seven flags rows left out
    QVERIFY(!setup.flags);
    FinalInputs fin;
    fin.temperatureSensor = true;
    QVERIFY(!sendsCommand(finalWrite(fin).commands, 0x0B));

    // Through the steps: a controller whose block was never read keeps its flags.
    Rig rig;
    rig.toStep(5);
    rig.w.setHeldFlags(std::nullopt);
    const Reaction entry = rig.forward();
    QCOMPARE(rig.w.step(), 6);
    QVERIFY(sendsCommand(entry, 0x12));
    QVERIFY(!sendsCommand(entry, 0x0B));
}

void TestWizardSteps::probeKindByRich_data() {
    QTest::addColumn<int>("rich");
    QTest::addColumn<std::optional<Bytes>>("command");
    const std::optional<Bytes> none;
    QTest::newRow("0 - 1 V") << 60 << std::optional<Bytes>(Bytes{0x1E, 1});
    QTest::newRow("0.8 - 1.6 V from") << 61 << std::optional<Bytes>(Bytes{0x1E, 2});
    QTest::newRow("0.8 - 1.6 V to") << 83 << std::optional<Bytes>(Bytes{0x1E, 2});
    QTest::newRow("gap from") << 84 << none;
    QTest::newRow("gap") << 100 << none;
    QTest::newRow("gap to") << 128 << none;
    QTest::newRow("0 - 5 V") << 129 << std::optional<Bytes>(Bytes{0x1E, 0});
}

void TestWizardSteps::probeKindByRich() {
    QFETCH(int, rich);
    QFETCH(std::optional<Bytes>, command);
    QCOMPARE(probeKindCommand(rich), command);
    SetupInputs in;
    in.rich = rich;
    QCOMPARE(sendsCommand(adaptationSetup(in).commands, 0x1E), command.has_value());
}

void TestWizardSteps::lambdaTimeUnits_data() {
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("units");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("800") << 800 << 195;
    QTest::newRow("1600") << 1600 << 390;
    QTest::newRow("700") << 700 << 171;
    QTest::newRow("1400") << 1400 << 342;
    QTest::newRow("4000") << 4000 << 976;
    // Exact ties: these fall to the lower integer, the others go to even.
    for (int t : {375, 875, 1375, 1875, 2875, 3375, 3875})
        QTest::addRow("tie %d down", t) << t << t * 244 / 1000;
    QTest::newRow("tie 2375 even") << 2375 << 580;
    QTest::newRow("tie 125 even") << 125 << 30;
    QTest::newRow("tie 625 even") << 625 << 152;
}

void TestWizardSteps::lambdaTimeUnits() {
    QFETCH(int, ms);
    QFETCH(int, units);
    QCOMPARE(adapt::lambdaTimeUnits(ms), units);
}

void TestWizardSteps::derivedValues() {
    QCOMPARE(lambdaTimesCommand(800, 800), (Bytes{0x06, 0xC3, 0x00, 0x86, 0x01}));
    const Bytes fallback{0x06, 171, 0x00, 0x56, 0x01}; // 700 and 1400 ms
    QCOMPARE(lambdaTimesCommand(4001, 0), fallback);
    QCOMPARE(lambdaTimesCommand(2000, 2001), fallback);
    QCOMPARE(lambdaTimesCommand(-1, 800), fallback);
    QCOMPARE(lambdaTimesCommand(4000, 0), (Bytes{0x06, 0xD0, 0x03, 0xD0, 0x03}));

    // Stepper limits from marker positions.
    QCOMPARE(stepperLower(500), 124);
    QCOMPARE(stepperUpperStart(900, 124), (UpperStart{255, 215})); // U 276 before its limit
    QCOMPARE(stepperLower(196), 48);                               // 48.5 to even
    QCOMPARE(stepperLower(1000), 247);
    QCOMPARE(stepperUpperStart(0, 100), (UpperStart{0, 40})); // U below L: S from the negative span

    // Lambda times: all but the last run, over the number of runs.
    QCOMPARE(lambdaTime({}, 800), 800);
    QCOMPARE(lambdaTime({7}, 800), 800);
    QCOMPARE(lambdaTime({3, 5}, 800), 128);    // 3 / 2 x 85 = 127.5
    QCOMPARE(lambdaTime({4, 4, 9}, 800), 227); // 8 / 3 x 85 = 226.7

    // Probe: a lean byte of 45 in 1 V mode is marker 750, lean 45, shown 0.88.
    const ProbeValues oneVolt = probeValues(750, 767, ScaleOneVolt);
    QCOMPARE(oneVolt, (ProbeValues{45, 46, 45}));
    QCOMPARE(live::lambdaVoltsText(oneVolt.lean), QString("0.88"));
    QCOMPARE(probeValues(39, 1000, ScaleFiveVolt), (ProbeValues{10, 256, 133}));
}

void TestWizardSteps::stepOpeningTable() {
    const int metal[] = {2, 3, 5, 7, 9};
    const int plastic[] = {3, 5, 7, 9, 11};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(stepOpening(Capacity(c), Manifold::Metal), metal[c]);
        QCOMPARE(stepOpening(Capacity(c), Manifold::Plastic), plastic[c]);
    }
}

void TestWizardSteps::finalWriteFlags_data() {
    QTest::addColumn<bool>("sensor");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("sent");
    QTest::newRow("sensor on") << true << 5 << 0x88;
    QTest::newRow("version 3 has no sensor") << true << 3 << 0x80;
    QTest::newRow("sensor off") << false << 5 << 0x80;
}

void TestWizardSteps::finalWriteFlags() {
    QFETCH(bool, sensor);
    QFETCH(int, version);
    QFETCH(int, sent);
    FinalInputs in{15,
                   48,
                   176,
                   125,
                   251,
                   167,
                   Capacity::From2To3,
                   Manifold::Plastic,
                   sensor,
                   version,
                   std::uint8_t(0x88)};
    const auto f = std::uint8_t(sent);
    QCOMPARE(finalWrite(in).bytes(), (Bytes{0x07, 15, 0x12, 207, 79, 0x13, 130, 0x06, 0x3D, 0x00, 0x66, 0x00,
                                            0x1B, 9, 0x0B, f, 0x0B, f, 0x0A}));
    QCOMPARE(finalWrite(in).flags, std::optional<std::uint8_t>(f));
}

void TestWizardSteps::barMarkers() {
    Bar bar({0, 60, 0.0, 60.0});
    QVERIFY(!bar.markersSet());
    bar.setDigit(45);
    bar.setDigit(20);
    QCOMPARE(bar.lowestPosition(), 333);
    QCOMPARE(bar.highestPosition(), 750);
    // A new range leaves the markers where they were; later digits use the new one.
    bar.setRange({0, 255, 0.0, 255.0});
    QCOMPARE(bar.highestPosition(), 750);
    bar.setDigit(100);
    QCOMPARE(bar.highestPosition(), 392);
    bar.setDigit(300);
    QCOMPARE(bar.highestPosition(), 1000); // limited
    QCOMPARE(bar.lowestPosition(), 333);

    bar.resetMarkers(); // the current digit is both markers
    QCOMPARE(bar.lowestPosition(), 1000);
    QVERIFY(!bar.setDigit(300)); // the same digit again moves nothing
    bar.clearMarkers();
    QVERIFY(bar.setDigit(300)); // but starts cleared markers
    QCOMPARE(bar.lowestPosition(), 1000);
}

void TestWizardSteps::warmUpAndIgnition() {
    for (int version : {3, 4}) {
        Rig rig;
        const Reaction entry = rig.run(rig.w.enter({version, false, std::uint8_t(0)}));
        QCOMPARE(entry.actions, (std::vector<LinkAction>{LinkAction::make(Kind::MarkNotWritten),
                                                         LinkAction::make(Kind::ReadIgnition),
                                                         LinkAction::make(Kind::OpenPort),
                                                         LinkAction::start(Timer::AdaptTerm)}));
        rig.w.ignitionRead(2, std::uint8_t(0));
        QCOMPARE(rig.w.view().term.forwardEnabled, version == 3);
        QCOMPARE(rig.w.view().term.sensorSwitchShown, version == 4);
        // Byte 2 is compared on both; a failed poll shows nothing.
        rig.tick(Timer::AdaptTerm, frame(20, 10, 140, periodFor(800), 0, false));
        QCOMPARE(rig.w.view().term.thermometer, 0);
        rig.tick(Timer::AdaptTerm, frame(20, 10, 130, periodFor(800), 0));
        QCOMPARE(rig.w.view().term.thermometer, 130);
        QCOMPARE(rig.w.view().term.forwardEnabled, version == 3);
        QVERIFY(rig.w.comboTermEnter().empty() == (version == 4));
    }

    Rig rig;
    rig.start();
    rig.w.setIgnitionIndex(4); // constant 3200 from the next tick on
    rig.tick(Timer::AdaptTerm, frame(20, 10, 131, periodFor(2000, 3200), 0));
    QCOMPARE(rig.w.view().term.speed.digit, 2000);
    QCOMPARE(rig.w.view().term.speed.panel, QString("2000"));
    QVERIFY(rig.w.view().term.forwardEnabled);
    const Reaction r = rig.run(rig.w.comboTermEnter());
    QCOMPARE(r.actions,
             (std::vector<LinkAction>{
                 LinkAction::stop(Timer::AdaptTerm), LinkAction::write({{0x1F, 4, 0}}, WriteKind::Ignition),
                 LinkAction::make(Kind::ClosePort), LinkAction::make(Kind::OpenPort),
                 LinkAction::make(Kind::PollEntry), LinkAction::start(Timer::UstTpsProg)}));
    QCOMPARE(rig.w.step(), 2);
    QVERIFY(!rig.w.timerEnabled(Timer::AdaptTerm)); // a step's timer polls only while it is shown
}

void TestWizardSteps::tpsThreshold_data() {
    QTest::addColumn<int>("idle");
    QTest::addColumn<int>("speedByte");
    QTest::addColumn<int>("period"); // at ignition index 4, constant 3200
    QTest::addColumn<bool>("done");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("directionByte");
    QTest::newRow("rising") << 40 << 140 << 826 << true << 50 << 250;
    QTest::newRow("falling") << 200 << 100 << 826 << true << 190 << 0;
    QTest::newRow("not moving") << 80 << 80 << 826 << true << 80 << 250;
    QTest::newRow("2980 shows 3000") << 40 << 140 << 859 << true << 50 << 250;
    QTest::newRow("2970 shows 2950") << 40 << 140 << 862 << false << 0 << 250;
}

void TestWizardSteps::tpsThreshold() {
    QFETCH(int, idle);
    QFETCH(int, speedByte);
    QFETCH(int, period);
    QFETCH(bool, done);
    QFETCH(int, threshold);
    QFETCH(int, directionByte);
    Rig rig;
    rig.start();
    rig.w.setIgnitionIndex(4);
    rig.tick(Timer::AdaptTerm, frame(20, idle, 140, period, 0));
    rig.forward();
    rig.w.entryPolled(frame(20, idle, 140, period, 0));
    QCOMPARE(rig.w.view().tps.idleText, live::tpsVoltsText(idle));
    const Reaction r = rig.tick(Timer::UstTpsProg, frame(20, speedByte, 140, period, 0), 3);
    const TpsView& v = rig.w.view().tps;
    QCOMPARE(v.speed.panel.toInt() >= 3000, done);
    QCOMPARE(v.forwardEnabled, done);
    QCOMPARE(v.lamp, done);
    QCOMPARE(v.doneShown, done);
    QCOMPARE(rig.w.timerEnabled(Timer::UstTpsProg), !done);
    QCOMPARE(r.actions == std::vector<LinkAction>{LinkAction::stop(Timer::UstTpsProg)}, done);
    if (!done) return;
    QCOMPARE(v.speedText, live::tpsVoltsText(speedByte));
    QCOMPARE(v.thresholdText, live::tpsVoltsText(threshold));
    QCOMPARE(rig.w.learnt().tps.threshold, threshold);
    QCOMPARE(rig.w.learnt().tps.directionByte, directionByte);
}

void TestWizardSteps::enterOnUnfinishedStepDoesNothing() {
    Rig rig;
    rig.toStep(2);
    rig.tick(Timer::UstTpsProg, frame(20, 60, 140, periodFor(2000), 0), 10);
    QVERIFY(rig.w.pressForward().empty());
    QCOMPARE(rig.w.step(), 2);
    rig.toStep(8);
    QVERIFY(rig.w.pressForward().empty()); // nor before the stepper limits are learnt
    QCOMPARE(rig.w.step(), 8);
}

void TestWizardSteps::backLandsOnPreviousStep_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("timer"); // started by the re-entered step, -1 none
    QTest::addColumn<bool>("setup");
    QTest::addColumn<bool>("ignition");
    QTest::newRow("2 starts step 1 afresh") << 2 << int(Timer::AdaptTerm) << false << false;
    QTest::newRow("3 presses termbutton") << 3 << int(Timer::UstTpsProg) << false << true;
    QTest::newRow("4 presses tpsbutton") << 4 << int(Timer::KalibSonda) << false << false;
    QTest::newRow("5 presses SondButton") << 5 << -1 << false << false;
    QTest::newRow("6 presses ParSamButton") << 6 << -1 << false << false;
    QTest::newRow("7 presses OczkaButton") << 7 << int(Timer::PrzedRed) << true << false;
    QTest::newRow("8 presses przedreduktbutton") << 8 << int(Timer::RR) << false << false;
}

void TestWizardSteps::backLandsOnPreviousStep() {
    QFETCH(int, from);
    QFETCH(int, timer);
    QFETCH(bool, setup);
    QFETCH(bool, ignition);
    Rig rig;
    rig.toStep(from);
    QCOMPARE(rig.w.step(), from);
    QCOMPARE(rig.w.view().tps.idleText.isEmpty(), from == 2); // step 2 read its idle TPS
    const Reaction r = rig.run(rig.w.back());
    QCOMPARE(rig.w.step(), from - 1);
    QCOMPARE(r.actions.front().kind, Kind::StopPolling);
    for (int t = 0; t < TimerCount; ++t)
        QCOMPARE(rig.w.timerEnabled(Timer(t)), t == timer);
    QCOMPARE(sendsCommand(r, 0x12), setup);
    QCOMPARE(r.sentBytes() == (Bytes{0x1F, 2, 0}), ignition);
    QCOMPARE(has(r, Kind::ReadIgnition), from == 2);
    if (from != 3) return;
    // Step 2 again from its beginning.
    const TpsView& v = rig.w.view().tps;
    QVERIFY(v.idleText.isEmpty() && v.speedText.isEmpty() && v.thresholdText.isEmpty());
    QVERIFY(!v.lamp && !v.forwardEnabled && !v.doneShown);
    QVERIFY(has(r, Kind::PollEntry));
}

void TestWizardSteps::probeCalibration() {
    Rig rig;
    rig.toStep(3);
    ProbeView v = rig.w.view().probe;
    QCOMPARE(v.leanText, QString("......."));
    QCOMPARE(v.progress.directValue(), std::optional<double>(3.0));
    // Only ticks showing 1600 or more sample; the others neither count nor reset.
    int counted = 0, skipped = 0;
    auto tickAt = [&](int rpm, int lambda) {
        const int before = rig.w.view().probe.progress.digit();
        rig.tick(Timer::KalibSonda, frame(lambda, 30, 140, periodFor(rpm), 0));
        const ProbeView& p = rig.w.view().probe;
        if (p.speed.panel.toInt() < 1600) {
            ++skipped;
            QCOMPARE(p.progress.digit(), before);
        } else if (++counted < 50) {
            QCOMPARE(p.progress.digit(), before + 2);
        }
    };
    for (int i = 0; i < 20; ++i)
        tickAt(2000, i % 2 ? 45 : 10);
    for (int i = 0; i < 10; ++i)
        tickAt(1000, 30);
    while (!rig.w.view().probe.forwardEnabled && counted + skipped < 100)
        tickAt(2000, 30);
    QCOMPARE(counted, 50);
    QVERIFY(skipped >= 5);
    v = rig.w.view().probe;
    QVERIFY(v.forwardEnabled && v.lamp && v.doneShown);
    QCOMPARE(v.progress.digit(), 0);
    QCOMPARE(rig.w.learnt().probe, (ProbeValues{10, 45, 27})); // markers 167 and 750
    QCOMPARE(v.richText, QString("0.88"));
    QCOMPARE(v.barEnd, QString("1 V"));

    // Again from step 4: fresh markers, and one byte of 80 switches to 5 V for good.
    rig.forward();
    rig.run(rig.w.back());
    QCOMPARE(rig.w.step(), 3);
    for (int i = 0; i < 50; ++i)
        rig.tick(Timer::KalibSonda, frame(i == 10 ? 200 : 20 + i % 2 * 10, 30, 140, periodFor(2000), 0));
    const Learnt l = rig.w.learnt();
    QCOMPARE(l.probeScaleTenths, ScaleFiveVolt);
    QVERIFY(!l.probeFiveVolt); // the flag follows the last sample
    QCOMPARE(rig.w.view().probe.barEnd, QString("5 V"));
    QCOMPARE(rig.w.view().probe.bar.range(), (BarRange{0, 255, 0.0, 255.0}));
    // Lowest 20 while at 0..60 (333), highest 200 at 0..255 (784).
    QCOMPARE(l.probe, (ProbeValues{85, 201, 143}));
}

void TestWizardSteps::switchOverWaitsBeforeForward() {
    Rig rig;
    rig.toStep(6);
    Reaction r = rig.w.tick(Timer::PrzedRed, {frame(20, 10, 140, periodFor(800), 0)});
    QVERIFY(r.empty());
    r = rig.w.tick(Timer::PrzedRed, {frame(20, 10, 140, periodFor(800), 80)});
    QCOMPARE(r.actions.size(), std::size_t(3));
    QCOMPARE(r.actions[0], LinkAction::stop(Timer::PrzedRed));
    QCOMPARE(r.actions[1], LinkAction::pause(2000));
    QCOMPARE(r.actions[2].kind, Kind::Resume);
    const SwitchOverView& v = rig.w.view().switchOver;
    QVERIFY(v.lamp && v.switchedShown && !v.forwardEnabled);
    rig.w.resume(r.actions[2].value - 1); // stale: from an earlier entry
    QVERIFY(!rig.w.view().switchOver.forwardEnabled);
    rig.w.resume(r.actions[2].value);
    QVERIFY(rig.w.view().switchOver.forwardEnabled);
    rig.forward();
    QCOMPARE(rig.w.step(), 7);
    QVERIFY(!rig.w.view().switchOver.switchedShown);
}

void TestWizardSteps::reducerNeedsRichMixture() {
    Rig rig;
    rig.toStep(7);
    const ReducerView& v = rig.w.view().reducer;
    QCOMPARE(v.bar.range(), (BarRange{0, 50, 0.0, 50.0})); // a 1 V probe
    QCOMPARE(v.barOptions, std::optional<int>(BarOption::Sector));
    rig.tick(Timer::RR, frame(30, 10, 140, periodFor(800), 80), 5);
    QVERIFY(!rig.w.view().reducer.forwardEnabled && !rig.w.view().reducer.lamp);
    rig.tick(Timer::RR, frame(31, 10, 140, periodFor(800), 80));
    rig.tick(Timer::RR, frame(5, 10, 140, periodFor(800), 80));
    QVERIFY(rig.w.view().reducer.forwardEnabled && rig.w.view().reducer.lamp); // stays
    QCOMPARE(rig.w.view().reducer.bar.digit(), 5);
}

void TestWizardSteps::stepperPhasesCountOnlyTheirSpeeds() {
    Rig rig;
    rig.toStep(8);
    rig.run(rig.w.selectTab(8)); // entered afresh, with an empty period filter
    QVERIFY(rig.w.timerEnabled(Timer::MinMax1));
    QVERIFY(rig.w.view().stepper.idleHintShown);
    // Phase 1 needs a speed display below 1300: 1280 shows 1300.
    rig.tick(Timer::MinMax1, frame(20, 10, 140, periodFor(1280), 60), 400);
    QCOMPARE(rig.w.view().stepper.progress.digit(), 3);
    int ticks = 0;
    while (rig.w.timerEnabled(Timer::MinMax1) && ticks < 400) {
        rig.tick(Timer::MinMax1, frame(20, 10, 140, periodFor(800), 60));
        ++ticks;
    }
    QVERIFY2(ticks > 300 && ticks <= 305, qPrintable(QString::number(ticks)));
    QVERIFY(rig.w.timerEnabled(Timer::MinMax2));
    QVERIFY(rig.w.view().stepper.minLamp && rig.w.view().stepper.speedHintShown);

    // Phase 2 needs more than 2000: exactly 2000 never counts, 2050 does.
    rig.tick(Timer::MinMax2, frame(20, 10, 140, periodFor(2000), 120), 400);
    QCOMPARE(rig.w.view().stepper.progress.digit(), 0);
    ticks = 0;
    while (rig.w.timerEnabled(Timer::MinMax2) && ticks < 400) {
        rig.tick(Timer::MinMax2, frame(ticks < 150 ? 46 : 5, 10, 140, periodFor(2050), 120));
        ++ticks;
    }
    QVERIFY2(ticks > 300 && ticks <= 305, qPrintable(QString::number(ticks)));
    QVERIFY(rig.w.view().stepper.forwardEnabled && rig.w.view().stepper.doneShown);
    // One rich run and no finished lean run: both times stay 800.
    QCOMPARE(rig.w.learnt().richRuns.size(), std::size_t(1));
    QCOMPARE(rig.w.learnt().values.t1, 800);
    QCOMPARE(rig.w.learnt().values.t2, 800);
}

void TestWizardSteps::stepperLearningAndFinalWrite() {
    Rig rig;
    rig.toStep(8);
    rig.run(rig.w.selectTab(8));
    rig.w.selectCapacity(Capacity::From2To3);
    rig.w.clickManifold(Manifold::Metal, false); // unchecking "Metal" checks "Tworzywo"
    QCOMPARE(rig.w.view().car.manifold, Manifold::Plastic);
    const StepperView& v = rig.w.view().stepper;
    QCOMPARE(v.minText, QString("......."));
    QCOMPARE(v.bar.digit(), 255);

    // Idle: the stepper between 50 and 70; lowest marker 196 gives L 48.
    for (int i = 0; i <= 300; ++i)
        rig.tick(Timer::MinMax1, frame(20, 10, 140, periodFor(800), 50 + i % 21));
    QCOMPARE(v.minText, QString("48"));
    QCOMPARE(v.bar.digit(), 0);
    rig.tick(Timer::MinMax2, frame(46, 10, 140, periodFor(2500), 200), 4); // the filter still shows idle
    QCOMPARE(v.progress.digit(), 0);
    // Speed: the stepper up to 147 (marker 576): U 176, S 125. Lambda 3 ticks rich, 2 lean (mid 36).
    for (int i = 0; i < 300; ++i)
        rig.tick(Timer::MinMax2, frame(i % 5 < 3 ? 46 : 5, 10, 140, periodFor(2500), 100 + i % 48));
    QVERIFY(!v.forwardEnabled);
    rig.tick(Timer::MinMax2, frame(20, 10, 140, periodFor(2500), 0));
    QCOMPARE(v.maxText, QString("176"));
    QCOMPARE(v.startText, QString("125"));
    const Learnt l = rig.w.learnt();
    QCOMPARE(l.richRuns, std::vector<int>(60, 3));
    QCOMPARE(l.leanRuns, std::vector<int>(59, 2));
    QCOMPARE(l.values.t1, 251); // 59 x 3 / 60 x 85
    QCOMPARE(l.values.t2, 167); // 58 x 2 / 59 x 85

    const Reaction fin = rig.forward();
    QCOMPARE(fin.sentBytes(), (Bytes{0x07, 15, 0x12, 207, 79, 0x13, 130, 0x06, 0x3D, 0x00, 0x66, 0x00, 0x1B,
                                     9, 0x0B, 0x88, 0x0B, 0x88, 0x0A}));
    const std::vector<LinkAction> tail(fin.actions.end() - 4, fin.actions.end());
    QCOMPARE(tail, (std::vector<LinkAction>{
                       LinkAction::make(Kind::StopPolling), LinkAction::make(Kind::ClosePort),
                       LinkAction::make(Kind::MarkNotWritten), LinkAction::make(Kind::Finish)}));
    for (int t = 0; t < TimerCount; ++t)
        QVERIFY(!rig.w.timerEnabled(Timer(t)));
}

void TestWizardSteps::leavingStepOneWritesIgnition() {
    Rig rig;
    rig.start();
    rig.w.setIgnitionIndex(5);
    QCOMPARE(rig.w.leave().actions,
             (std::vector<LinkAction>{LinkAction::write({{0x1F, 5, 0}}, WriteKind::Ignition),
                                      LinkAction::make(Kind::StopPolling)}));
    QCOMPARE(rig.w.leave().actions, std::vector<LinkAction>{LinkAction::make(Kind::StopPolling)});
    // Further on, step 1's timer no longer polls: its forward button sent the choice.
    Rig later;
    later.toStep(3);
    QCOMPARE(later.w.leave().actions, std::vector<LinkAction>{LinkAction::make(Kind::StopPolling)});
}

QTEST_GUILESS_MAIN(TestWizardSteps)
#include "tst_wizardsteps.moc"
