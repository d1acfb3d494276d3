#include "link/Controller.h"
#include "link/LinkState.h"
#include "link/SerialChannel.h"
#include "live/IgnitionPage.h"
#include "live/PeriodFilter.h"
#include "support/FakeLink.h"

#include <QTest>

using namespace live;

namespace {
struct Rig {
    std::vector<LinkEvent> log;
    FakeClock clock{&log};
    FakePort port{clock, &log};
    SerialChannel channel{port, clock};
    Controller controller{channel};
    int version = 8;

    Rig() {
        port.responder = [this](std::uint8_t b) -> QByteArray {
            if (b == 0x01) return QByteArray(1, char(version)) + QByteArray(1, '\0');
            return {};
        };
    }
    QStringList events() const { return describe(log, false); }
};
} // namespace

class TestIgnitionPage : public QObject {
    Q_OBJECT
private slots:
    void lists();
    void features_data();
    void features();
    void engineSpeedTick_data();
    void engineSpeedTick();
    void leaveWritesChosenThresholdAndKeepsPortOpen();
    void leaveThresholdIsLowByte();
    void leaveBelowVersion8WritesNoThreshold();
    void leaveWithNonNumericThresholdSendsNothing();
};

void TestIgnitionPage::lists() {
    const QStringList ign = ignitionSystemItems();
    QCOMPARE(ign.size(), 6);
    QCOMPARE(ign.first(), QStringLiteral("Cewka na cylinder"));
    QCOMPARE(ign.last(), QStringLiteral("8 cylindry"));
    const QStringList thr = analogThresholdItems();
    QCOMPARE(thr.size(), 26);
    QCOMPARE(thr.mid(0, 3), (QStringList{"1", "10", "20"}));
    QCOMPARE(thr.last(), QStringLiteral("250"));
}

void TestIgnitionPage::features_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("capable");
    QTest::addColumn<bool>("instruments");
    QTest::newRow("0") << 0 << true << false << false;
    QTest::newRow("3 checked") << 3 << true << false << false;
    QTest::newRow("4 checked") << 4 << true << true << true;
    QTest::newRow("4 unchecked") << 4 << false << true << false;
    QTest::newRow("8 checked") << 8 << true << true << true;
    QTest::newRow("255 unchecked") << 255 << false << true << false;
}

void TestIgnitionPage::features() {
    QFETCH(int, version);
    QFETCH(bool, checked);
    QFETCH(bool, capable);
    QFETCH(bool, instruments);
    const VersionFeatures f = versionFeatures(version, checked);
    QCOMPARE(f.temperatureCapable, capable);
    QCOMPARE(f.temperatureControls, capable);
    QCOMPARE(f.temperatureInstruments, instruments);
}

void TestIgnitionPage::engineSpeedTick_data() {
    // Ticks on one page: the list index and whether its frame was good, the
    // period the frame carries; what gauge1 and Panelobroty show after it
    // ("-" keeps the read-out).
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QList<bool>>("good");
    QTest::addColumn<QList<int>>("periods");
    QTest::addColumn<QStringList>("shown");
    // 19200 x 800 / 2048 = 7500; the very next tick follows a changed list:
    // 2400 gives 937.5, 938 on the meter and 950 in the panel.
    QTest::newRow("list") << QList<int>{0, 5} << QList<bool>{true, true} << QList<int>{2048, 2048}
                          << QStringList{"7500/7500", "938/950"};
    // An index outside the list keeps the constant in force (9600 after "1").
    QTest::newRow("no index") << QList<int>{1, -1} << QList<bool>{true, true} << QList<int>{2048, 2048}
                              << QStringList{"3750/3750", "3750/3750"};
    // A zero period leaves the read-out.
    QTest::newRow("zero") << QList<int>{0} << QList<bool>{true} << QList<int>{0} << QStringList{"-"};
    // So does a frame cut short, out of step or with a wrong checksum, and it
    // stays out of the filter: the tick after it is the mean of four 2048s
    // (with its 60000 held it would be 929).
    QTest::newRow("bad frame") << QList<int>{0, 0, 0, 0, 0, 0}
                               << QList<bool>{true, true, true, true, false, true}
                               << QList<int>{2048, 2048, 2048, 2048, 60000, 2048}
                               << QStringList{"7500/7500", "7500/7500", "7500/7500",
                                              "7500/7500", "-",         "7500/7500"};
    // Below 300 shows 0.
    QTest::newRow("slow") << QList<int>{5} << QList<bool>{true} << QList<int>{6425} << QStringList{"0/0"};
}

void TestIgnitionPage::engineSpeedTick() {
    QFETCH(QList<int>, indexes);
    QFETCH(QList<bool>, good);
    QFETCH(QList<int>, periods);
    QFETCH(QStringList, shown);
    PeriodFilter filter;
    int constant = 4800;
    for (int i = 0; i < indexes.size(); ++i) {
        LiveFrame f;
        f.ok = good[i];
        f.bytes[4] = std::uint8_t(periods[i] & 0xFF);
        f.bytes[5] = std::uint8_t(periods[i] >> 8);
        constant = ignitionConstantForChoice(indexes[i], constant);
        const std::optional<SpeedReadout> s = live::engineSpeedTick(f, filter, constant);
        QCOMPARE(s ? QStringLiteral("%1/%2").arg(s->digit).arg(s->panel) : QStringLiteral("-"), shown[i]);
    }
}

void TestIgnitionPage::leaveWritesChosenThresholdAndKeepsPortOpen() {
    Rig r;
    r.channel.OpenPort();
    r.controller.setAnalogThreshold(QStringLiteral("40")); // what the controller held
    r.log.clear();
    QVERIFY(writeThresholdOnLeave(r.controller, QStringLiteral("120")));
    const QStringList expected{// threshold check
                               "close", "open /dev/ttyS0", "tx 01", "sleep 200", "rx 2",
                               // command mode around the threshold write
                               "close", "open /dev/ttyS0", "sleep 20", "tx AA", "close", "open /dev/ttyS0",
                               "tx AA", "sleep 20", "tx 23", "sleep 20", "tx 78", "sleep 20", "sleep 20",
                               "tx 0A"};
    QCOMPARE(r.events(), expected);
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.controller.analogThreshold(), QStringLiteral("120"));
    // The ignition write of the page change that follows reaches the controller.
    r.log.clear();
    r.controller.WriteIgnition(3);
    QCOMPARE(r.port.sentBytes(), (std::vector<std::uint8_t>{0x1F, 0x03, 0x00}));
}

void TestIgnitionPage::leaveThresholdIsLowByte() {
    Rig r;
    r.channel.OpenPort();
    r.log.clear();
    QVERIFY(writeThresholdOnLeave(r.controller, QStringLiteral("260")));
    const std::vector<std::uint8_t> sent = r.port.sentBytes();
    QCOMPARE(sent, (std::vector<std::uint8_t>{0x01, 0xAA, 0xAA, 0x23, 0x04, 0x0A}));
}

void TestIgnitionPage::leaveBelowVersion8WritesNoThreshold() {
    Rig r;
    r.version = 7;
    r.channel.OpenPort();
    r.log.clear();
    QVERIFY(!writeThresholdOnLeave(r.controller, QStringLiteral("120")));
    QCOMPARE(r.port.sentBytes(), (std::vector<std::uint8_t>{0x01}));
    QVERIFY(r.port.isOpen());
}

void TestIgnitionPage::leaveWithNonNumericThresholdSendsNothing() {
    Rig r;
    r.channel.OpenPort();
    r.log.clear();
    QVERIFY(!writeThresholdOnLeave(r.controller, QStringLiteral("x1")));
    QCOMPARE(r.port.sentBytes(), (std::vector<std::uint8_t>{0x01}));
    QVERIFY(r.port.isOpen());
}

QTEST_APPLESS_MAIN(TestIgnitionPage)
#include "tst_ignitionpage.moc"
