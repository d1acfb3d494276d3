// The live pages against the emulator over a pty, driven by object names.
#include "live/LiveDecode.h"
#include "live/LogFile.h"
#include "live/ui/EngineSpeedPage.h"
#include "live/ui/LivePage.h"
#include "live/ui/LogViewer.h"
#include "params/ui/ReadingsFeed.h"
#include "support/EmulatorRig.h"
#include "ui/ReadingsPanel.h"
#include "widgets/TRoundMeter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

namespace {
// A caption's or a read-out's text.
QString text(QWidget& page, const char* name) {
    QWidget* l = page.findChild<QWidget*>(QString::fromLatin1(name));
    return l ? l->property("text").toString() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
}
int digit(QWidget& page, const char* name) {
    TAnalogGauge* g = page.findChild<TAnalogGauge*>(QString::fromLatin1(name));
    return g ? g->digit() : -1;
}
// Enters the live page as a page change does, then polls by hand (the
// page's own polling stopped so each poll is the test's) until the filter is full.
void enter(EmulatorRig& rig, PageHooks& page) {
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.waitIdle();
    rig.link.stopAllPolling();
}
// Polls by hand, each frame to `show`, until `frames` polls were answered: on
// a busy machine the emulator may miss a poll's time, as a slow controller
// would. The last answered frame.
template <class Show> LiveFrame pollAnswered(EmulatorRig& rig, int frames, Show show) {
    LiveFrame last;
    for (int answered = 0, polls = 0; answered < frames && polls < 10 * frames; ++polls) {
        const LiveFrame f = rig.poll();
        show(f);
        if (f.ok) {
            last = f;
            ++answered;
        }
    }
    return last;
}
LiveFrame pollAnswered(EmulatorRig& rig, LivePage&, int frames) {
    return pollAnswered(rig, frames, [&](const LiveFrame& f) { rig.liveSession.TimerWizTimer(f); });
}
LiveFrame pollAnswered(EmulatorRig& rig, EngineSpeedPage&, int frames) {
    return pollAnswered(rig, frames, [&](const LiveFrame& f) { rig.liveSession.TimerObrTimer(f); });
}
void enterAndPoll(EmulatorRig& rig, LivePage& page) {
    enter(rig, page);
    QVERIFY(pollAnswered(rig, page, 5).ok);
}
} // namespace

class TestLivePages : public QObject {
    Q_OBJECT
private slots:
    void liveShowsEmulatorValues();
    void silentControllerFreezesAndShowsError();
    void wrongChecksumChangesNothing();
    void readingsPanelShowsTheFrame();
    void temperatureInstrumentsFollowVersion_data();
    void temperatureInstrumentsFollowVersion();
    void listChangeChangesNextPoll();
    void leavingWritesIgnition();
    void leavingWritesChosenThresholdOnVersion8();
    void readIgnitionSystemButton();
    void recordingAcrossPagesUntilThePortIsLost();
    void replayDrivesTheInstrumentsWithoutPolling();
    void fastLogRecordsMoreThanThePageShows();
};

void TestLivePages::liveShowsEmulatorValues() {
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    LivePage page(rig.models());
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.waitIdle();
    QCOMPARE(rig.link.activePolls(), QStringList{QStringLiteral("TimerWiz")});
    QVERIFY(rig.link.state().portOpen);
    rig.link.stopAllPolling();
    QVERIFY(rig.live.temperatureCapable());
    const LiveFrame last = pollAnswered(rig, page, 6);
    QVERIFY(last.ok);

    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(digit(page, "Gauge4"), 34);
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));
    QCOMPARE(digit(page, "obrotomierz"), 3000);
    QCOMPARE(text(page, "paneltemp"), QStringLiteral("61"));
    QCOMPARE(digit(page, "Thermometer1"), 142);
    QCOMPARE(text(page, "Panel6"), live::lambdaVoltsText(last[0]));
    QCOMPARE(text(page, "Panel4"), QString::number(255 - last[6]));
    QCOMPARE(digit(page, "Gauge2"), 255 - last[6]);
}

void TestLivePages::silentControllerFreezesAndShowsError() {
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2);
    LivePage page(rig.models());
    enterAndPoll(rig, page);
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));

    rig.model([](qsim::ControllerModel& m) {
        m.faults().silent = true;
        m.inputs().throttle = 0.9;
        m.inputs().forcedRpm = 5000;
    });
    // One silent poll is 14 empty receives: no error yet.
    rig.liveSession.TimerWizTimer(rig.poll());
    QCOMPARE(rig.silenceCounter(), 14);
    QCOMPARE(text(page, "TranserrorLabel"), QString());
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));
    // The 21st empty receive shows the label.
    rig.liveSession.TimerWizTimer(rig.poll());
    QVERIFY(rig.silenceCounter() > 20);
    QTRY_COMPARE(text(page, "TranserrorLabel"), rig.shell.text(10390));
    QVERIFY(!rig.shell.text(10390).isEmpty());
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));

    rig.model([](qsim::ControllerModel& m) { m.faults().silent = false; });
    QVERIFY(pollAnswered(rig, page, 1).ok);
    QTRY_COMPARE(text(page, "TranserrorLabel"), QString());
    QVERIFY(pollAnswered(rig, page, 1).ok);
    QCOMPARE(text(page, "Panel5"), QStringLiteral("4.10"));
}

void TestLivePages::wrongChecksumChangesNothing() {
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2);
    LivePage page(rig.models());
    enterAndPoll(rig, page);
    const QString lambda = text(page, "Panel6");
    rig.model([](qsim::ControllerModel& m) {
        m.faults().wrongChecksum = true;
        m.inputs().throttle = 0.9;
        m.inputs().forcedRpm = 5000;
    });
    for (int i = 0; i < 3; ++i)
        rig.liveSession.TimerWizTimer(rig.poll());
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));
    QCOMPARE(text(page, "Panel6"), lambda);
    QCOMPARE(digit(page, "Gauge4"), 34);
    QCOMPARE(text(page, "TranserrorLabel"), QString()); // the frames did arrive
    rig.model([](qsim::ControllerModel& m) { m.faults().wrongChecksum = false; });
    QVERIFY(pollAnswered(rig, page, 1).ok);
    QCOMPARE(text(page, "Panel5"), QStringLiteral("4.10"));
}

void TestLivePages::readingsPanelShowsTheFrame() {
    EmulatorRig rig(4, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(2000, 0.3, 2, 60);
    rig.live.setVersionCode(4);
    ParameterSet set;
    set[ParamId::ReserveSensorKind] = QStringLiteral("1");
    rig.params.setFromController(set);
    ReadingsPanel panel;
    feedReadingsPanel(panel, rig.models());
    rig.commonPageChangeSteps();
    rig.link.run(nullptr, [](Controller& c) {
        c.setIgnitionIndex(2);
        c.channel().OpenPort();
    });
    rig.waitIdle();
    const LiveFrame last =
        pollAnswered(rig, 5, [&](const LiveFrame& f) { rig.liveSession.TimerParamOdczTimer(f); });
    QVERIFY(last.ok);
    QCOMPARE(text(panel, "ZmiennaTPS"), QStringLiteral("1.70"));
    QCOMPARE(text(panel, "ZmiennaObroty"), QStringLiteral("2000"));
    QCOMPARE(text(panel, "ZmiennaTemperatura"), QStringLiteral("61"));
    QCOMPARE(text(panel, "ZmiennaSilnikKrokowy"), QString::number(255 - last[6]));
    QVERIFY(text(panel, "ZmiennaPoziomGazu").endsWith(QStringLiteral(" %")));
    const bool petrol = last[6] == 255;
    QCOMPARE(text(panel, "ZmiennaGazBenzyna"), petrol ? QStringLiteral("Benzyna") : QStringLiteral("Gaz"));
}

void TestLivePages::temperatureInstrumentsFollowVersion_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("sensorOn");
    QTest::addColumn<bool>("shown");
    QTest::newRow("3 sensor on") << 3 << true << false;
    QTest::newRow("4 sensor off") << 4 << false << false;
    QTest::newRow("5 sensor on") << 5 << true << true;
}

void TestLivePages::temperatureInstrumentsFollowVersion() {
    QFETCH(int, version);
    QFETCH(bool, sensorOn);
    QFETCH(bool, shown);
    EmulatorRig rig(version, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    rig.model([&](qsim::ControllerModel& m) {
        auto b = m.block();
        b[8] = static_cast<std::uint8_t>(sensorOn ? (b[8] | 0x08) : (b[8] & ~0x08));
        m.setBlock(b);
    });
    LivePage page(rig.models());
    enter(rig, page);
    QCOMPARE(rig.live.temperatureCapable(), version >= 4);
    for (const char* name : {"Thermometer1", "paneltemp", "Label42"})
        QCOMPARE(page.findChild<QWidget*>(QString::fromLatin1(name))->isHidden(), !shown);
    rig.liveSession.TimerWizTimer(rig.poll());
    // Without temperature capability byte 2 is the gas level: nothing reaches the thermometer.
    if (version < 4) QCOMPARE(digit(page, "Thermometer1"), 0);
}

void TestLivePages::listChangeChangesNextPoll() {
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2);
    EngineSpeedPage page(rig.models());
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.waitIdle();
    QCOMPARE(rig.link.activePolls(), QStringList{QStringLiteral("TimerObr")});
    rig.link.stopAllPolling();
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), 2);
    QVERIFY(page.findChild<QGroupBox*>(QStringLiteral("GroupBoxAnalog"))->isHidden());
    QVERIFY(pollAnswered(rig, page, 2).ok);
    QCOMPARE(text(page, "Panelobroty"), QStringLiteral("3000"));
    QCOMPARE(digit(page, "gauge1"), 3000);
    combo->setCurrentIndex(0); // 19200 instead of 4800
    QVERIFY(pollAnswered(rig, page, 1).ok);
    QCOMPARE(text(page, "Panelobroty"), QStringLiteral("12000"));
    QCOMPARE(digit(page, "gauge1"), 12000);
    // The controller keeps its setting until the page is left.
    QCOMPARE(rig.storedIgnition(), 2);
}

// The page change's first steps, as the navigator runs them when the page is left.
static void leave(EmulatorRig& rig, EngineSpeedPage& page) {
    rig.link.supersede();
    page.leaveSteps();
    const int index = rig.live.ignitionChoice();
    rig.link.stopAllPolling();
    rig.link.run(nullptr, [index](Controller& c) {
        if (!c.channel().isOpen()) c.channel().OpenPort();
        c.WriteIgnition(index);
    });
    rig.waitIdle();
}

void TestLivePages::leavingWritesIgnition() {
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    EngineSpeedPage page(rig.models());
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.waitIdle();
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    combo->setCurrentIndex(4);
    QCOMPARE(rig.live.ignitionChoice(), 4);
    leave(rig, page);
    QTRY_COMPARE(rig.storedIgnition(), 4);
    // Below version 8 there is no threshold to write.
    const std::vector<uint8_t> got = rig.emu.received();
    const std::vector<uint8_t> thresholdWrite{0xAA, 0x23};
    QVERIFY(std::search(got.begin(), got.end(), thresholdWrite.begin(), thresholdWrite.end()) == got.end());
}

void TestLivePages::leavingWritesChosenThresholdOnVersion8() {
    EmulatorRig rig(8, 1);
    QVERIFY(rig.ok);
    rig.model([](qsim::ControllerModel& m) { m.setAnalogThreshold(40); });
    EngineSpeedPage page(rig.models());
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.waitIdle();
    QVERIFY(!page.findChild<QGroupBox*>(QStringLiteral("GroupBoxAnalog"))->isHidden());
    auto* edit23 = page.findChild<QComboBox*>(QStringLiteral("Edit23"));
    QCOMPARE(edit23->currentText(), QStringLiteral("40"));
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    QCOMPARE(combo->currentIndex(), 1);
    combo->setCurrentIndex(5);
    edit23->setEditText(QStringLiteral("120"));
    leave(rig, page);
    QTRY_COMPARE(rig.emu.withModel([](qsim::ControllerModel& m) { return int(m.analogThreshold()); }), 120);
    QTRY_COMPARE(rig.storedIgnition(), 5);
    QCOMPARE(rig.params.set()[ParamId::AnalogThreshold], QStringLiteral("120"));
}

void TestLivePages::readIgnitionSystemButton() {
    // "Odczyt układu zapłonowego" reads what the controller holds now, with
    // the page's polling stopped, and the page polls again.
    EmulatorRig rig(8, 1);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 4);
    EngineSpeedPage page(rig.models());
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.waitIdle();
    rig.model([](qsim::ControllerModel& m) {
        m.setStoredIgnition(4);
        m.setAnalogThreshold(70);
    });
    page.findChild<QAbstractButton*>(QStringLiteral("OdczytUkladuButt"))->click();
    rig.waitIdle();
    QCOMPARE(page.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->currentIndex(), 4);
    QCOMPARE(page.findChild<QComboBox*>(QStringLiteral("Edit23"))->currentText(), QStringLiteral("70"));
    QCOMPARE(rig.link.activePolls(), QStringList{QStringLiteral("TimerObr")});
    QTRY_COMPARE(text(page, "Panelobroty"), QStringLiteral("3000"));
}

namespace {
// Every frame the link received that brought bytes, polled by hand or by a
// page's timer: what a log must hold, in order.
struct Sent {
    QVector<LiveFrame> frames;
    explicit Sent(EmulatorRig& rig) {
        QObject::connect(&rig.link, &ControllerLink::framesPolled, &rig.link,
                         [this](const QString&, const QVector<LiveFrame>& fs) {
                             for (const LiveFrame& f : fs)
                                 if (f.received > 0) frames.append(f);
                         });
    }
    template <class Show> auto into(Show show) {
        return [this, show](const LiveFrame& f) {
            if (f.received > 0) frames.append(f);
            show(f);
        };
    }
};
void compareLog(const live::LogData& log, const Sent& sent) {
    QCOMPARE(log.rows(), int(sent.frames.size()));
    const int tps = log.column(live::LogField::Tps), rpm = log.column(live::LogField::RpmShown);
    QVERIFY(tps >= 0 && rpm >= 0);
    for (int i = 0; i < log.rows(); ++i) {
        const LiveFrame& f = sent.frames[i];
        QCOMPARE(log.frame(i),
                 QByteArray(reinterpret_cast<const char*>(f.bytes.data()), std::min(f.received, f.length)));
        QCOMPARE(log.whole[i] != 0, f.ok);
        if (!f.ok) continue;
        QCOMPARE(QString::number(log.columns[tps].values[i], 'f', 2), live::tpsVoltsText(f[1]));
        QCOMPARE(log.columns[rpm].values[i], 3000.f); // as both pages saw it
    }
    for (int i = 1; i < log.rows(); ++i)
        QVERIFY(log.timeMs[i] >= log.timeMs[i - 1]);
}
} // namespace

void TestLivePages::recordingAcrossPagesUntilThePortIsLost() {
    // The fitter records on the live page, goes to the engine-speed page and
    // the adapter is pulled out: every frame up to the loss is in both files,
    // which are closed.
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    QTemporaryDir dir;
    LivePage page(rig.models());
    enter(rig, page);
    auto* button = page.findChild<QToolButton*>(QStringLiteral("NagrywajButt"));
    QVERIFY(button && !button->isChecked());
    rig.liveSession.recorder().setFlushIntervalMs(20);
    QVERIFY(rig.liveSession.startRecording(dir.path()));
    QVERIFY(button->isChecked());
    Sent sent(rig);
    QVERIFY(
        pollAnswered(rig, 6, sent.into([&](const LiveFrame& f) { rig.liveSession.TimerWizTimer(f); })).ok);
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));

    page.leaveSteps();
    EngineSpeedPage obroty(rig.models());
    enter(rig, obroty);
    QVERIFY(
        pollAnswered(rig, 4, sent.into([&](const LiveFrame& f) { rig.liveSession.TimerObrTimer(f); })).ok);
    QVERIFY(rig.liveSession.recorder().recording());

    QSignalSpy stopped(&rig.liveSession.recorder(), &live::Recorder::stopped);
    QVERIFY(rig.emu.unplug());
    rig.poll(); // the poll finds the device gone
    QTRY_COMPARE_WITH_TIMEOUT(stopped.size(), 1, 10000);
    QCOMPARE(stopped[0][0].value<live::Recorder::StopReason>(), live::Recorder::StopReason::PortLost);
    QVERIFY(!button->isChecked());
    QCOMPARE(rig.liveSession.recorder().rowsRecorded(), qint64(sent.frames.size()));
    QVERIFY(rig.emu.replug());
    for (const QString& file : {rig.liveSession.recorder().csvPath(), rig.liveSession.recorder().mslPath()}) {
        const live::LogData log = live::readLog(file);
        QCOMPARE(log.skippedLines, 0); // closed after whole lines
        compareLog(log, sent);
    }
}

void TestLivePages::replayDrivesTheInstrumentsWithoutPolling() {
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    QTemporaryDir dir;
    LivePage page(rig.models());
    enter(rig, page);
    QVERIFY(rig.liveSession.startRecording(dir.path()));
    QVERIFY(pollAnswered(rig, page, 6).ok);
    rig.liveSession.stopRecording();
    // The engine runs on at other values; the page shows them.
    rig.steadyEngine(5000, 0.9, 2, 60);
    QVERIFY(pollAnswered(rig, page, 6).ok);
    QCOMPARE(text(page, "Panel5"), QStringLiteral("4.10"));
    rig.link.startPolling(polltimer::name(polltimer::Wiz), polltimer::Wiz.intervalMs);

    // The viewer opens the recording and plays it into the page.
    LogViewer viewer(rig.shell);
    QVERIFY(viewer.openLog(rig.liveSession.recorder().csvPath()));
    QCOMPARE(viewer.log()->rows(), 6);
    viewer.setLiveSession(&rig.liveSession);
    QSignalSpy asked(&viewer, &LogViewer::replayRequested);
    viewer.findChild<QAction*>(QStringLiteral("LogReplayPlay"))->trigger();
    QCOMPARE(asked.size(), 1);
    rig.liveSession.startReplay(viewer.log(), QStringLiteral("drive.csv"));
    QTRY_VERIFY(rig.liveSession.replaying());
    QVERIFY(rig.link.activePolls().isEmpty());
    QVERIFY(page.findChild<QLabel*>(QStringLiteral("ReplayLabel"))->isVisibleTo(&page));
    QVERIFY(text(page, "ReplayLabel").contains(QStringLiteral("drive.csv")));
    QTRY_COMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QTRY_COMPARE(text(page, "Panel1"), QStringLiteral("3000"));
    QCOMPARE(digit(page, "obrotomierz"), 3000);
    QTRY_VERIFY(!rig.liveSession.replay().playing()); // the end of the log

    viewer.findChild<QAction*>(QStringLiteral("LogReplayStop"))->trigger();
    QVERIFY(!page.findChild<QLabel*>(QStringLiteral("ReplayLabel"))->isVisibleTo(&page));
    QCOMPARE(rig.link.activePolls(), QStringList{QStringLiteral("TimerWiz")});
    QTRY_COMPARE_WITH_TIMEOUT(text(page, "Panel5"), QStringLiteral("4.10"), 10000);
}

void TestLivePages::fastLogRecordsMoreThanThePageShows() {
    // Fast log on the live page's own polling: every frame goes into the log,
    // the page is given readings at its usual pace at most.
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    QTemporaryDir dir;
    LivePage page(rig.models());
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.waitIdle();
    rig.liveSession.setFastLog(true);
    QVERIFY(!rig.liveSession.fastPolling());
    QVERIFY(rig.liveSession.startRecording(dir.path()));
    QVERIFY(rig.liveSession.fastPolling());
    int shown = 0;
    connect(&rig.liveSession, &LiveSession::liveRead, [&] { ++shown; });
    QElapsedTimer t;
    t.start();
    QTRY_VERIFY_WITH_TIMEOUT(rig.liveSession.recorder().rowsRecorded() >= 60, 20000);
    const qint64 ms = t.elapsed();
    QVERIFY2(shown <= ms / polltimer::Wiz.intervalMs + 2,
             qPrintable(QStringLiteral("%1 in %2 ms").arg(shown).arg(ms)));
    QVERIFY(shown > 0);
    rig.liveSession.stopRecording();
    QVERIFY(!rig.liveSession.fastPolling());
    QCOMPARE(rig.link.activePolls(), QStringList{QStringLiteral("TimerWiz")});
}

QTEST_MAIN(TestLivePages)
#include "tst_livepages.moc"
