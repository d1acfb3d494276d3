// The live pages against the emulator over a pty, driven by object names.
#include "LiveRig.h"
#include "live/LiveDecode.h"
#include "live/ui/ObrotyPage.h"
#include "live/ui/ReadingsPanel.h"
#include "live/ui/WizualizacjaPage.h"
#include "widgets/TRoundMeter.h"

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
// Enters the live page as a page change does, then polls by hand (the timer
// stays stopped so each poll is the test's own) until the filter is full.
void enterAndPoll(LiveRig& rig, WizualizacjaPage& page) {
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.session.timers.TimerWiz->stop();
    for (int i = 0; i < 5; ++i)
        page.TimerWizTimer();
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
};

void TestLivePages::liveShowsEmulatorValues() {
    LiveRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    WizualizacjaPage page(rig.session);
    rig.commonPageChangeSteps();
    page.enterPage();
    QVERIFY(rig.session.timers.TimerWiz->isActive());
    QVERIFY(rig.session.channel.isOpen());
    QVERIFY(rig.session.written);
    rig.session.timers.TimerWiz->stop();
    QVERIFY(rig.session.temperatureCapable);
    for (int i = 0; i < 6; ++i)
        page.TimerWizTimer();

    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(digit(page, "Gauge4"), 34);
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));
    QCOMPARE(digit(page, "obrotomierz"), 3000);
    QCOMPARE(text(page, "paneltemp"), QStringLiteral("61"));
    QCOMPARE(digit(page, "AbThermometer1"), 142);
    const Controller& c = rig.session.controller;
    QCOMPARE(text(page, "Panel6"), live::lambdaVoltsText(c.frameByte(0)));
    QCOMPARE(text(page, "Panel4"), QString::number(255 - c.frameByte(6)));
    QCOMPARE(digit(page, "Gauge2"), 255 - c.frameByte(6));
}

void TestLivePages::silentControllerFreezesAndShowsError() {
    LiveRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2);
    WizualizacjaPage page(rig.session);
    enterAndPoll(rig, page);
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));

    rig.model([](qsim::ControllerModel& m) {
        m.faults().silent = true;
        m.inputs().throttle = 0.9;
        m.inputs().forcedRpm = 5000;
    });
    // One silent poll is 14 empty receives: no error yet.
    page.TimerWizTimer();
    QCOMPARE(rig.session.channel.silenceCounter(), 14);
    QCOMPARE(text(page, "TranserrorLabel"), QString());
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));
    // The 21st empty receive shows the label.
    page.TimerWizTimer();
    QVERIFY(rig.session.channel.silenceCounter() > 20);
    QCOMPARE(text(page, "TranserrorLabel"), rig.session.text(10390));
    QVERIFY(!rig.session.text(10390).isEmpty());
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));

    rig.model([](qsim::ControllerModel& m) { m.faults().silent = false; });
    page.TimerWizTimer();
    QCOMPARE(text(page, "TranserrorLabel"), QString());
    page.TimerWizTimer();
    QCOMPARE(text(page, "Panel5"), QStringLiteral("4.10"));
}

void TestLivePages::wrongChecksumChangesNothing() {
    LiveRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2);
    WizualizacjaPage page(rig.session);
    enterAndPoll(rig, page);
    const QString lambda = text(page, "Panel6");
    rig.model([](qsim::ControllerModel& m) {
        m.faults().wrongChecksum = true;
        m.inputs().throttle = 0.9;
        m.inputs().forcedRpm = 5000;
    });
    for (int i = 0; i < 3; ++i)
        page.TimerWizTimer();
    QCOMPARE(text(page, "Panel5"), QStringLiteral("1.70"));
    QCOMPARE(text(page, "Panel1"), QStringLiteral("3000"));
    QCOMPARE(text(page, "Panel6"), lambda);
    QCOMPARE(digit(page, "Gauge4"), 34);
    QCOMPARE(text(page, "TranserrorLabel"), QString()); // the frames did arrive
    rig.model([](qsim::ControllerModel& m) { m.faults().wrongChecksum = false; });
    page.TimerWizTimer();
    QCOMPARE(text(page, "Panel5"), QStringLiteral("4.10"));
}

void TestLivePages::readingsPanelShowsTheFrame() {
    LiveRig rig(4, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(2000, 0.3, 2, 60);
    rig.session.temperatureCapable = true;
    rig.session.params[ParamId::ReserveSensorKind] = QStringLiteral("1");
    rig.session.controller.setIgnitionIndex(2);
    ReadingsPanel panel(rig.session);
    rig.commonPageChangeSteps();
    rig.session.channel.OpenPort();
    for (int i = 0; i < 5; ++i)
        panel.TimerParamOdczTimer();
    QCOMPARE(text(panel, "ZmiennaTPS"), QStringLiteral("1.70"));
    QCOMPARE(text(panel, "ZmiennaObroty"), QStringLiteral("2000"));
    QCOMPARE(text(panel, "ZmiennaTemperatura"), QStringLiteral("61"));
    QCOMPARE(text(panel, "ZmiennaSilnikKrokowy"), QString::number(255 - rig.session.controller.frameByte(6)));
    QVERIFY(text(panel, "ZmiennaPoziomGazu").endsWith(QStringLiteral(" %")));
    const bool petrol = rig.session.controller.frameByte(6) == 255;
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
    LiveRig rig(version, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2, 60);
    rig.model([&](qsim::ControllerModel& m) {
        auto b = m.block();
        b[8] = static_cast<std::uint8_t>(sensorOn ? (b[8] | 0x08) : (b[8] & ~0x08));
        m.setBlock(b);
    });
    WizualizacjaPage page(rig.session);
    rig.commonPageChangeSteps();
    page.enterPage();
    rig.session.timers.TimerWiz->stop();
    QCOMPARE(rig.session.temperatureCapable, version >= 4);
    for (const char* name : {"AbThermometer1", "paneltemp", "Label42"})
        QCOMPARE(page.findChild<QWidget*>(QString::fromLatin1(name))->isHidden(), !shown);
    page.TimerWizTimer();
    // Without temperature capability byte 2 is the gas level: nothing reaches the thermometer.
    if (version < 4) QCOMPARE(digit(page, "AbThermometer1"), 0);
}

void TestLivePages::listChangeChangesNextPoll() {
    LiveRig rig(5, 2);
    QVERIFY(rig.ok);
    rig.steadyEngine(3000, 0.3, 2);
    ObrotyPage page(rig.session);
    rig.commonPageChangeSteps();
    page.enterPage();
    QVERIFY(rig.session.timers.TimerObr->isActive());
    rig.session.timers.TimerObr->stop();
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), 2);
    QVERIFY(page.findChild<QGroupBox*>(QStringLiteral("GroupBoxAnalog"))->isHidden());
    page.TimerObrTimer();
    page.TimerObrTimer();
    QCOMPARE(text(page, "Panelobroty"), QStringLiteral("3000"));
    QCOMPARE(digit(page, "gauge1"), 3000);
    combo->setCurrentIndex(0); // 19200 instead of 4800
    page.TimerObrTimer();
    QCOMPARE(text(page, "Panelobroty"), QStringLiteral("12000"));
    QCOMPARE(digit(page, "gauge1"), 12000);
    // The controller keeps its setting until the page is left.
    QCOMPARE(rig.emu.withModel([](qsim::ControllerModel& m) { return m.storedIgnition(); }), 2);
}

void TestLivePages::leavingWritesIgnition() {
    LiveRig rig(5, 2);
    QVERIFY(rig.ok);
    ObrotyPage page(rig.session);
    rig.commonPageChangeSteps();
    page.enterPage();
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    combo->setCurrentIndex(4);
    QVERIFY(page.leaveByTab());
    // The page change's first step, as the main window runs it.
    QVERIFY(rig.session.channel.isOpen());
    QVERIFY(rig.session.timers.TimerObr->isActive());
    rig.session.controller.WriteIgnition(rig.session.chosenIgnitionIndex());
    QTRY_COMPARE(rig.emu.withModel([](qsim::ControllerModel& m) { return m.storedIgnition(); }), 4);
}

void TestLivePages::leavingWritesChosenThresholdOnVersion8() {
    LiveRig rig(8, 1);
    QVERIFY(rig.ok);
    rig.model([](qsim::ControllerModel& m) { m.setAnalogThreshold(40); });
    ObrotyPage page(rig.session);
    rig.commonPageChangeSteps();
    page.enterPage();
    QVERIFY(!page.findChild<QGroupBox*>(QStringLiteral("GroupBoxAnalog"))->isHidden());
    QCOMPARE(rig.session.analogThresholdText(), QStringLiteral("40"));
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    QCOMPARE(combo->currentIndex(), 1);
    combo->setCurrentIndex(5);
    page.findChild<QComboBox*>(QStringLiteral("Edit23"))->setEditText(QStringLiteral("120"));
    QVERIFY(page.leaveByTab());
    QVERIFY(rig.session.channel.isOpen());
    rig.session.controller.WriteIgnition(rig.session.chosenIgnitionIndex());
    QTRY_COMPARE(rig.emu.withModel([](qsim::ControllerModel& m) { return int(m.analogThreshold()); }), 120);
    QTRY_COMPARE(rig.emu.withModel([](qsim::ControllerModel& m) { return m.storedIgnition(); }), 5);
    QCOMPARE(rig.session.params[ParamId::AnalogThreshold], QStringLiteral("120"));
}

QTEST_MAIN(TestLivePages)
#include "tst_livepages.moc"
