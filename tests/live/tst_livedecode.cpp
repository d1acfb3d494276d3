#include "live/LiveDecode.h"
#include "live/PeriodFilter.h"

#include <QTest>

using namespace live;

class TestLiveDecode : public QObject {
    Q_OBJECT
private slots:
    void voltsRule_data();
    void voltsRule();
    void voltsOfRaw_data();
    void voltsOfRaw();
    void lambdaChart_data();
    void lambdaChart();
    void traces_data();
    void traces();
    void ledFloors_data();
    void ledFloors();
    void temperature_data();
    void temperature();
    void gas_data();
    void gas();
    void gasUnknownKind();
    void speed_data();
    void speed();
    void probeScaleTable_data();
    void probeScaleTable();
    void timeBaseSteps_data();
    void timeBaseSteps();
    void lambdaTimes();
    void periodFilter();
    void frameByteMeaning();
};

void TestLiveDecode::voltsRule_data() {
    QTest::addColumn<double>("v");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0.00";
    QTest::newRow("4.999 is the next volt") << 4.999 << "5.00";
    QTest::newRow("lands on 4.99") << 4.99 << "5.00";
    QTest::newRow("0.995 is one volt") << 0.995 << "1.00";
    QTest::newRow("truncated, not rounded") << 2.509 << "2.50";
    QTest::newRow("one digit hundredths") << 3.051 << "3.05";
    QTest::newRow("twelve") << 12.5 << "12.50";
}

void TestLiveDecode::voltsRule() {
    QFETCH(double, v);
    QFETCH(QString, text);
    QCOMPARE(voltsText(v), text);
}

void TestLiveDecode::voltsOfRaw_data() {
    QTest::addColumn<bool>("lambda");
    QTest::addColumn<int>("raw");
    QTest::addColumn<QString>("text");
    QTest::newRow("lambda 0") << true << 0 << "0.00";
    QTest::newRow("lambda 1") << true << 1 << "0.01";
    QTest::newRow("lambda 50") << true << 50 << "0.98";
    QTest::newRow("lambda 51") << true << 51 << "1.00";
    QTest::newRow("lambda 128") << true << 128 << "2.50";
    QTest::newRow("lambda 254") << true << 254 << "4.98";
    QTest::newRow("lambda 255") << true << 255 << "5.00";
    QTest::newRow("tps 1") << false << 1 << "0.05";
    QTest::newRow("tps 7") << false << 7 << "0.35";
    QTest::newRow("tps 23") << false << 23 << "1.15";
    QTest::newRow("tps 199") << false << 199 << "9.95";
    QTest::newRow("tps 240") << false << 240 << "12.00";
    QTest::newRow("tps 255") << false << 255 << "12.75";
}

void TestLiveDecode::voltsOfRaw() {
    QFETCH(bool, lambda);
    QFETCH(int, raw);
    QFETCH(QString, text);
    QCOMPARE(lambda ? lambdaVoltsText(raw) : tpsVoltsText(raw), text);
}

void TestLiveDecode::lambdaChart_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("trace");
    QTest::newRow("kind 3 raw 82") << 3 << 82 << 255 << 94;
    QTest::newRow("kind 3 tie to even") << 3 << 41 << 128 << 47;
    QTest::newRow("kind 0 times five") << 0 << 10 << 50 << 18;
    QTest::newRow("kind 4 times five") << 4 << 10 << 50 << 18;
    QTest::newRow("other kind times five") << 9 << 10 << 50 << 18;
    QTest::newRow("kind 1 unchanged") << 1 << 200 << 200 << 73;
    QTest::newRow("kind 2 unchanged") << 2 << 200 << 200 << 73;
    QTest::newRow("raw 0 floors at 1") << 1 << 0 << 0 << 1;
}

void TestLiveDecode::lambdaChart() {
    QFETCH(int, kind);
    QFETCH(int, raw);
    QFETCH(int, value);
    QFETCH(int, trace);
    QCOMPARE(lambdaChartValue(kind, raw), value);
    QCOMPARE(lambdaTrace(value), trace);
}

void TestLiveDecode::traces_data() {
    QTest::addColumn<QString>("trace");
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("pos");
    QTest::newRow("tps 0") << "tps" << 0 << 1;
    QTest::newRow("tps 1 below one") << "tps" << 1 << 1;
    QTest::newRow("tps 5") << "tps" << 5 << 2;
    QTest::newRow("tps 240") << "tps" << 240 << 96;
    QTest::newRow("rpm 40 tie down") << "rpm" << 40 << 1;
    QTest::newRow("rpm 120 tie up") << "rpm" << 120 << 2;
    QTest::newRow("rpm 3000") << "rpm" << 3000 << 38;
    QTest::newRow("rpm 8000") << "rpm" << 8000 << 100;
    QTest::newRow("step 0") << "step" << 0 << 1;
    QTest::newRow("step 128") << "step" << 128 << 50;
    QTest::newRow("step 255") << "step" << 255 << 100;
}

void TestLiveDecode::traces() {
    QFETCH(QString, trace);
    QFETCH(int, in);
    QFETCH(int, pos);
    const int got = trace == QLatin1String("tps")   ? tpsTrace(in)
                    : trace == QLatin1String("rpm") ? speedTrace(in)
                                                    : stepperTrace(in);
    QCOMPARE(got, pos);
}

void TestLiveDecode::ledFloors_data() {
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("pos");
    QTest::newRow("290 floor") << 290 << 3 << 10;
    QTest::newRow("290 above") << 290 << 200 << 200;
    QTest::newRow("50 floor") << 50 << 0 << 2;
    QTest::newRow("50 above") << 50 << 25 << 25;
    QTest::newRow("96 floor") << 96 << 1 << 4;
    QTest::newRow("96 at floor") << 96 << 4 << 4;
    QTest::newRow("other no floor") << 100 << 0 << 0;
}

void TestLiveDecode::ledFloors() {
    QFETCH(int, upper);
    QFETCH(int, raw);
    QFETCH(int, pos);
    QCOMPARE(lambdaLedPosition(upper, raw), pos);
}

void TestLiveDecode::temperature_data() {
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("celsius");
    QTest::newRow("110") << 110 << 0;
    QTest::newRow("115 tie to even") << 115 << 10;
    QTest::newRow("125 tie to even") << 125 << 28;
    QTest::newRow("96 scale bottom") << 96 << -27;
    QTest::newRow("155 scale top") << 155 << 86;
    QTest::newRow("0") << 0 << -209;
}

void TestLiveDecode::temperature() {
    QFETCH(int, raw);
    QFETCH(int, celsius);
    QCOMPARE(temperatureCelsius(raw), celsius);
}

void TestLiveDecode::gas_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("low");
    QTest::newRow("90R 40 clamps to 35") << 1 << 40 << 88 << false;
    QTest::newRow("90R 35") << 1 << 35 << 88 << false;
    QTest::newRow("90R 5 red") << 1 << 5 << 12 << true;
    QTest::newRow("90R 6 green") << 1 << 6 << 15 << false;
    QTest::newRow("90R 21 tie to even") << 1 << 21 << 52 << false;
    QTest::newRow("90R 0") << 1 << 0 << 0 << true;
    QTest::newRow("20K 250") << 0 << 250 << 0 << true;
    QTest::newRow("20K 255") << 0 << 255 << 0 << true;
    QTest::newRow("20K 246 counts as empty") << 0 << 246 << 0 << true;
    QTest::newRow("20K 245") << 0 << 245 << 2 << true;
    QTest::newRow("20K 211 red") << 0 << 211 << 14 << true;
    QTest::newRow("20K 210 green") << 0 << 210 << 14 << false;
    QTest::newRow("20K 103 tie to even") << 0 << 103 << 52 << false;
    QTest::newRow("20K 19 tie to even") << 0 << 19 << 82 << false;
    QTest::newRow("20K 15") << 0 << 15 << 84 << false;
    QTest::newRow("20K 14 counts as 10") << 0 << 14 << 86 << false;
    QTest::newRow("20K 0 counts as 10") << 0 << 0 << 86 << false;
}

void TestLiveDecode::gas() {
    QFETCH(int, kind);
    QFETCH(int, raw);
    QFETCH(int, percent);
    QFETCH(bool, low);
    const std::optional<GasLevel> g = gasLevel(kind, raw);
    QVERIFY(g.has_value());
    QCOMPARE(g->percent, percent);
    QCOMPARE(g->low, low);
}

void TestLiveDecode::gasUnknownKind() {
    QVERIFY(!gasLevel(-1, 100).has_value());
    QVERIFY(!gasLevel(2, 100).has_value());
}

void TestLiveDecode::speed_data() {
    QTest::addColumn<int>("constant");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("speed"); // -1: displays keep their values
    QTest::addColumn<int>("shown");
    QTest::newRow("coil per cylinder 2048") << 19200 << 2048 << 7500 << 7500;
    QTest::newRow("8 cylinders 2048 tie") << 2400 << 2048 << 938 << 950;
    QTest::newRow("299 shows 0") << 4800 << 12843 << 0 << 0;
    QTest::newRow("300") << 4800 << 12800 << 300 << 300;
    QTest::newRow("324") << 4800 << 11852 << 324 << 300;
    QTest::newRow("325 to even fifty") << 4000 << 9846 << 325 << 300;
    QTest::newRow("zero constant") << 0 << 2048 << -1 << -1;
    QTest::newRow("zero period") << 4800 << 0 << -1 << -1;
}

void TestLiveDecode::speed() {
    QFETCH(int, constant);
    QFETCH(int, period);
    QFETCH(int, speed);
    QFETCH(int, shown);
    const std::optional<int> s = engineSpeed(constant, period);
    if (speed < 0) {
        QVERIFY(!s.has_value());
        return;
    }
    QVERIFY(s.has_value());
    QCOMPARE(*s, speed);
    QCOMPARE(speedDisplay(*s), shown);
}

void TestLiveDecode::probeScaleTable_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("labels");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("start2");
    QTest::addColumn<int>("start3");
    QTest::addColumn<qlonglong>("led1"); // -1 unchanged
    QTest::addColumn<qlonglong>("led3");
    QTest::addColumn<QString>("y2");
    QTest::addColumn<QString>("y5");
    const int sw = int(ProbeScale::Labels::Swapped), de = int(ProbeScale::Labels::Design),
              un = int(ProbeScale::Labels::Unchanged);
    QTest::newRow("0-1 V") << 0 << sw << 50 << 20 << 30 << 0x00FF00LL << 0x0000FFLL << "0,2"
                           << "1,0";
    QTest::newRow("0-5 V") << 1 << de << 290 << 120 << 170 << 0x00FF00LL << 0x0000FFLL << "1,2"
                           << "5,0";
    QTest::newRow("5-0 V") << 2 << sw << 290 << 120 << 170 << 0x0000FFLL << 0x00FF00LL << "1,2"
                           << "5,0";
    QTest::newRow("0,8-1,6 V") << 3 << de << 96 << 35 << 65 << 0x00FF00LL << 0x0000FFLL << "0,4"
                               << "1,6";
    QTest::newRow("1-0 V") << 4 << de << 50 << 20 << 30 << 0x0000FFLL << 0x00FF00LL << "0,2"
                           << "1,0";
    QTest::newRow("other") << 5 << un << 50 << 20 << 30 << -1LL << -1LL << "0,2"
                           << "1,0";
    QTest::newRow("negative") << -1 << un << 50 << 20 << 30 << -1LL << -1LL << "0,2"
                              << "1,0";
}

void TestLiveDecode::probeScaleTable() {
    QFETCH(int, kind);
    QFETCH(int, labels);
    QFETCH(int, upper);
    QFETCH(int, start2);
    QFETCH(int, start3);
    QFETCH(qlonglong, led1);
    QFETCH(qlonglong, led3);
    QFETCH(QString, y2);
    QFETCH(QString, y5);
    const ProbeScale s = probeScale(kind);
    QCOMPARE(int(s.labels), labels);
    QCOMPARE(s.upperEnd, upper);
    QCOMPARE(s.startColor2, start2);
    QCOMPARE(s.startColor3, start3);
    QCOMPARE(s.ledColor1 ? qlonglong(*s.ledColor1) : -1LL, led1);
    QCOMPARE(s.ledColor3 ? qlonglong(*s.ledColor3) : -1LL, led3);
    QCOMPARE(s.scale[0], QStringLiteral("0,0"));
    QCOMPARE(s.scale[1], y2);
    QCOMPARE(s.scale[4], y5);
}

void TestLiveDecode::timeBaseSteps_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("interval");
    QTest::newRow("1") << 1 << "0,5 s / dz" << 5;
    QTest::newRow("2") << 2 << "1,0 s / dz" << 10;
    QTest::newRow("3") << 3 << "1,5 s / dz" << 15;
    QTest::newRow("4") << 4 << "2,0 s / dz" << 20;
    QTest::newRow("below") << 0 << "0,5 s / dz" << 5;
    QTest::newRow("above") << 7 << "2,0 s / dz" << 20;
}

void TestLiveDecode::timeBaseSteps() {
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(int, interval);
    QCOMPARE(timeBase(position).text, text);
    QCOMPARE(timeBase(position).interval, interval);
}

void TestLiveDecode::lambdaTimes() {
    LambdaTimes t;
    // Three rich polls, two lean, one rich: TH shows 75, then TL shows 50.
    QVERIFY(!t.update(50));
    QVERIFY(!t.update(41));
    QVERIFY(!t.update(90));
    QCOMPARE(t.high(), 75);
    QVERIFY(t.update(40)); // 40 is lean
    QCOMPARE(t.highText(), QStringLiteral("75"));
    QCOMPARE(t.high(), 0);
    QVERIFY(!t.update(10));
    QCOMPARE(t.low(), 50);
    QVERIFY(t.update(60));
    QCOMPARE(t.lowText(), QStringLiteral("50"));
    QCOMPARE(t.highText(), QStringLiteral("75"));
    QCOMPARE(t.high(), 25);
    // A stretch of the same length leaves the label as it is.
    t.update(60);
    t.update(60);
    QVERIFY(!t.update(1));
    QCOMPARE(t.highText(), QStringLiteral("75"));
}

void TestLiveDecode::periodFilter() {
    PeriodFilter f;
    // The first four pass unsmoothed; the fifth returns the mean of the first four.
    QCOMPARE(f.push(1000), 1000);
    QCOMPARE(f.push(2000), 2000);
    QCOMPARE(f.push(3000), 3000);
    QCOMPARE(f.push(4001), 4001);
    QCOMPARE(f.push(9999), 2500); // 10001 / 4 = 2500.25
    QCOMPARE(f.push(0), 4750);    // 2000+3000+4001+9999 = 19000 / 4
    f.reset();
    QCOMPARE(f.push(7), 7);
}

void TestLiveDecode::frameByteMeaning() {
    const std::array<std::uint8_t, 7> frame{51, 20, 120, 200, 0x00, 0x08, 255};
    FrameContext ctx;
    ctx.ignitionConstant = 19200;
    ctx.reserveSensorKind = 1;
    Readings r = decodeFrame(frame, 2048, ctx);
    QCOMPARE(r.lambdaVolts, QStringLiteral("1.00"));
    QCOMPARE(r.tpsVolts, QStringLiteral("1.00"));
    QVERIFY(!r.temperature.has_value());
    QCOMPARE(r.gas->percent, 88); // byte 2 (120) clamped to 35
    QCOMPARE(*r.speed, 7500);
    QCOMPARE(*r.speedTrace, 94);
    QCOMPARE(r.stepper, 0);
    QVERIFY(r.petrol);

    ctx.temperatureCapable = true;
    ctx.reserveSensorKind = 0;
    r = decodeFrame(frame, 0, ctx);
    QCOMPARE(*r.temperatureRaw, 120);
    QCOMPARE(*r.temperature, 19);
    QCOMPARE(r.gas->percent, 18); // byte 3 (200): 50 / 280
    QVERIFY(!r.speed.has_value());

    std::array<std::uint8_t, 7> gas = frame;
    gas[6] = 254;
    r = decodeFrame(gas, 2048, ctx);
    QCOMPARE(r.stepper, 1);
    QVERIFY(!r.petrol);
}

QTEST_APPLESS_MAIN(TestLiveDecode)
#include "tst_livedecode.moc"
