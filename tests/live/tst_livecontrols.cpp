// The live page's own controls, without a controller: probe-kind scaling and
// the chart's check boxes, pause button and time base.
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "live/ui/LivePage.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/ui/ReadingsFeed.h"
#include "support/ModelsRig.h"
#include "ui/ReadingsPanel.h"
#include "widgets/TColor.h"
#include "widgets/TLedBar.h"
#include "widgets/TLedLamp.h"
#include "widgets/TSweepChart.h"

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace {
using Rig = ModelsRig;
template <class T> T* child(QWidget& w, const char* name) {
    return w.findChild<T*>(QString::fromLatin1(name));
}
} // namespace

class TestLiveControls : public QObject {
    Q_OBJECT
private slots:
    void probeKindScaling_data();
    void probeKindScaling();
    void readingsPanelScalesItsBarOnEveryFill();
    void traceCheckBoxes();
    void gridAndPause();
    void timeBase();
    void petrolCaptionFollowsLanguage();
};

void TestLiveControls::probeKindScaling_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("swapped");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("start2");
    QTest::addColumn<QString>("y5");
    QTest::newRow("0-1 V") << 0 << true << 50 << 20 << "1,0";
    QTest::newRow("0-5 V") << 1 << false << 290 << 120 << "5,0";
    QTest::newRow("5-0 V") << 2 << true << 290 << 120 << "5,0";
    QTest::newRow("0,8-1,6 V") << 3 << false << 96 << 35 << "1,6";
    QTest::newRow("1-0 V") << 4 << false << 50 << 20 << "1,0";
}

void TestLiveControls::probeKindScaling() {
    QFETCH(int, kind);
    QFETCH(bool, swapped);
    QFETCH(int, max);
    QFETCH(int, start2);
    QFETCH(QString, y5);
    Rig rig;
    LivePage page(rig.models());
    // Design: "Uboga" (Label71) above the bar, "Bogata" (Label30) below it.
    page.applyProbeKindScaling(1);
    const int lean = child<QLabel>(page, "Label71")->y();
    const int rich = child<QLabel>(page, "Label30")->y();
    QVERIFY(lean < rich);
    page.applyProbeKindScaling(kind);
    QCOMPARE(child<QLabel>(page, "Label30")->y(), swapped ? lean : rich);
    QCOMPARE(child<QLabel>(page, "Label71")->y(), swapped ? rich : lean);
    auto* bar = child<TLedBar>(page, "LEDMeter1");
    QCOMPARE(bar->min(), 0);
    QCOMPARE(bar->max(), max);
    QCOMPARE(bar->startColor2(), start2);
    const QColor lime = tColor(0x00FF00), red = tColor(0x0000FF);
    const bool inverted = kind == 2 || kind == 4;
    QCOMPARE(bar->colorLED1(), inverted ? red : lime);
    QCOMPARE(bar->colorLED3(), inverted ? lime : red);
    QCOMPARE(child<QLabel>(page, "WykresLambdaY1")->text(), QStringLiteral("0,0"));
    QCOMPARE(child<QLabel>(page, "WykresLambdaY5")->text(), y5);
    // Another kind keeps the labels where they are.
    page.applyProbeKindScaling(7);
    QCOMPARE(child<QLabel>(page, "Label30")->y(), swapped ? lean : rich);
    QCOMPARE(bar->max(), 50);
}

void TestLiveControls::readingsPanelScalesItsBarOnEveryFill() {
    Rig rig;
    LivePage page(rig.models());
    ReadingsPanel panel;
    feedReadingsPanel(panel, rig.models());
    panel.show(); // shown before the read, as the parameters page is
    ParameterSet set = defaultParameterSet();
    for (const auto& [kind, max] : {std::pair{"3", 96}, std::pair{"1", 290}, std::pair{"4", 50}}) {
        set[ParamId::ProbeKind] = QString::fromLatin1(kind);
        rig.params.fill(set, ParameterModel::Origin::Controller);
        QCOMPARE(child<TLedBar>(panel, "LEDMeter2")->max(), max);
    }
    // The live page's own bar is scaled on its own entry, not by the panel.
    QCOMPARE(child<TLedBar>(page, "LEDMeter1")->max(), 50);
}

void TestLiveControls::traceCheckBoxes() {
    Rig rig;
    LivePage page(rig.models());
    auto* chart = child<TSweepChart>(page, "Scope1");
    QVERIFY(child<QCheckBox>(page, "CheckBox39")->isChecked());
    QVERIFY(chart->channel_a);
    QVERIFY(!child<QWidget>(page, "Panel2")->isHidden());
    struct Row {
        const char* box;
        const char* panel;
        bool TSweepChart::*channel;
    };
    const Row rows[] = {{"CheckBox39", "Panel2", &TSweepChart::channel_a},
                        {"CheckBox40", "Panel7", &TSweepChart::channel_b},
                        {"CheckBox41", "Panel3", &TSweepChart::channel_c},
                        {"CheckBox42", "Panel8", &TSweepChart::channel_d}};
    for (const Row& r : rows) {
        auto* box = child<QCheckBox>(page, r.box);
        const bool before = box->isChecked();
        QCOMPARE(chart->*r.channel, before);
        QCOMPARE(child<QWidget>(page, r.panel)->isHidden(), !before);
        // Setting the state by program reacts as a click does.
        box->setChecked(!before);
        QCOMPARE(chart->*r.channel, !before);
        QCOMPARE(child<QWidget>(page, r.panel)->isHidden(), before);
    }
}

void TestLiveControls::gridAndPause() {
    Rig rig;
    LivePage page(rig.models());
    page.resize(795, 490);
    page.show();
    auto* chart = child<TSweepChart>(page, "Scope1");
    QCOMPARE(chart->Gridcolor, tColor(0xC0C0C0));
    child<QCheckBox>(page, "CheckBox10")->setChecked(false);
    QCOMPARE(chart->Gridcolor, tColor(0xCAFFFF));
    QCOMPARE(chart->Gridcolor, chart->Color);
    child<QCheckBox>(page, "CheckBox10")->setChecked(true);
    QCOMPARE(chart->Gridcolor, tColor(0xC0C0C0));

    QVERIFY(chart->isActive());
    child<QToolButton>(page, "SpeedButton4")->click();
    QVERIFY(!chart->isActive());
    child<QToolButton>(page, "SpeedButton4")->click();
    QVERIFY(chart->isActive());
    page.hide();
    QVERIFY(!chart->isActive());
}

void TestLiveControls::timeBase() {
    Rig rig;
    LivePage page(rig.models());
    auto* chart = child<TSweepChart>(page, "Scope1");
    auto* updown = child<QSpinBox>(page, "UpDown1");
    QCOMPARE(chart->interval(), 5);
    QCOMPARE(child<QLabel>(page, "WykresLambdaX")->text(), QStringLiteral("0,5 s / dz"));
    updown->setValue(3);
    QCOMPARE(chart->interval(), 15);
    QCOMPARE(child<QLabel>(page, "WykresLambdaX")->text(), QStringLiteral("1,5 s / dz"));
    updown->setValue(9); // no wrap beyond 4
    QCOMPARE(updown->value(), 4);
    QCOMPARE(chart->interval(), 20);
    QCOMPARE(child<QLabel>(page, "WykresLambdaX")->text(), QStringLiteral("2,0 s / dz"));
}

void TestLiveControls::petrolCaptionFollowsLanguage() {
    Rig rig;
    LivePage page(rig.models());
    // Petrol until a frame says gas.
    QVERIFY(rig.live.petrol());
    auto* lamp = child<TLedLamp>(page, "GasLed");
    QCOMPARE(lamp->caption(), QStringLiteral("Benzyna"));
    rig.shell.texts().set(10408, QStringLiteral("Petrol"));
    rig.shell.textsReloaded();
    QCOMPARE(lamp->caption(), QStringLiteral("Petrol"));
    QVERIFY(!lamp->isChecked());
    QCOMPARE(lamp->captionColor(), tColor(0x0000FF));
    rig.shell.texts().set(10409, QStringLiteral("LPG"));
    rig.live.setPetrol(false);
    QCOMPARE(lamp->caption(), QStringLiteral("LPG"));
    QVERIFY(lamp->isChecked());
    QCOMPARE(lamp->captionColor(), child<QLabel>(page, "Label47")->palette().color(QPalette::WindowText));
}

QTEST_MAIN(TestLiveControls)
#include "tst_livecontrols.moc"
