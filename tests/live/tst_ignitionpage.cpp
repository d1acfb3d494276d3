#include "link/Controller.h"
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
    int period = 2048;

    Rig() {
        port.responder = [this](std::uint8_t b) -> QByteArray {
            if (b == 0x01) return QByteArray(1, char(version)) + QByteArray(1, '\0');
            if (b == 0x02) {
                QByteArray f(8, '\0');
                f[4] = char(period & 0xFF);
                f[5] = char(period >> 8);
                f[6] = char(200);
                return f;
            }
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
    void pollFollowsTheList();
    void pollKeepsConstantWithoutSelection();
    void pollZeroPeriodKeepsReadout();
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

void TestIgnitionPage::pollFollowsTheList() {
    Rig r;
    PeriodFilter filter;
    r.channel.OpenPort();
    std::optional<SpeedReadout> s = pollEngineSpeed(r.controller, filter, 0);
    QVERIFY(s);
    QCOMPARE(s->digit, 7500);
    QCOMPARE(s->panel, QStringLiteral("7500"));
    QCOMPARE(r.controller.ignitionConstant(), 19200);
    // The very next poll follows a changed list index.
    s = pollEngineSpeed(r.controller, filter, 5);
    QCOMPARE(s->digit, 938);
    QCOMPARE(s->panel, QStringLiteral("950"));
    QCOMPARE(r.controller.ignitionIndex(), 5);
    // Nothing but live polls went out: the list is written only when the page is left.
    for (std::uint8_t b : r.port.sentBytes())
        QCOMPARE(b, std::uint8_t(0x02));
}

void TestIgnitionPage::pollKeepsConstantWithoutSelection() {
    Rig r;
    PeriodFilter filter;
    r.channel.OpenPort();
    pollEngineSpeed(r.controller, filter, 1);
    const std::optional<SpeedReadout> s = pollEngineSpeed(r.controller, filter, -1);
    QCOMPARE(r.controller.ignitionConstant(), 9600);
    QCOMPARE(s->digit, 3750);
}

void TestIgnitionPage::pollZeroPeriodKeepsReadout() {
    Rig r;
    r.period = 0;
    PeriodFilter filter;
    r.channel.OpenPort();
    QVERIFY(!pollEngineSpeed(r.controller, filter, 0).has_value());
    // A silent controller: the buffer keeps the last frame, the filter still advances.
    r.period = 2048;
    r.channel.OpenPort();
    QVERIFY(pollEngineSpeed(r.controller, filter, 0).has_value());
    QCOMPARE(filter.count(), 2);
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
