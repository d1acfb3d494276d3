// The live pages against the emulator over a pty, driven by object names.
#include "live/LiveDecode.h"
#include "live/ui/ObrotyPage.h"
#include "live/ui/WizualizacjaPage.h"
#include "params/ui/ReadingsFeed.h"
#include "support/EmulatorRig.h"
#include "ui/ReadingsPanel.h"
#include "widgets/TRoundMeter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

namespace {
QString text(QWidget& page, const char* name) {
    QLabel* l = page.findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
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
LiveFrame pollAnswered(EmulatorRig& rig, WizualizacjaPage&, int frames) {
    return pollAnswered(rig, frames, [&](const LiveFrame& f) { rig.liveSession.TimerWizTimer(f); });
}
LiveFrame pollAnswered(EmulatorRig& rig, ObrotyPage&, int frames) {
    return pollAnswered(rig, frames, [&](const LiveFrame& f) { rig.liveSession.TimerObrTimer(f); });
}
void enterAndPoll(EmulatorRig& rig, WizualizacjaPage& page) {
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
};

void TestLivePages::liveShowsEmulatorValues() {
    EmulatorRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    WizualizacjaPage page(rig.models());
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
    WizualizacjaPage page(rig.models());
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
    WizualizacjaPage page(rig.models());
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
    WizualizacjaPage page(rig.models());
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
    ObrotyPage page(rig.models());
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
static void leave(EmulatorRig& rig, ObrotyPage& page) {
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
    ObrotyPage page(rig.models());
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
    ObrotyPage page(rig.models());
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
    ObrotyPage page(rig.models());
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

QTEST_MAIN(TestLivePages)
#include "tst_livepages.moc"
