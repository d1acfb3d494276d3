#include "tst_widgets.h"

void TstWidgets::colourValues() {
    QCOMPARE(tColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(tColor(43008), QColor(0, 168, 0));
    QCOMPARE(tColor(0x4080FF), QColor(255, 128, 64));
    QCOMPARE(tColorValue(QColor(0x12, 0x34, 0x56)), 0x563412u);
    QCOMPARE(tColorValue(tColor(0xCAFFFF)), 0xCAFFFFu);
}

void TstWidgets::speedMeterAtThreeThousand() {
    TRoundMeter m;
    setupSpeed(m);
    m.setDigit(3000);
    QCOMPARE(m.value(), 3.0);
    QCOMPARE(m.valueText(), QString("3.0"));
    QCOMPARE(m.pointerFraction(), 0.375);
    QCOMPARE(m.model().perMille(), 375);
    QCOMPARE(m.sectorIndexForDigit(), 2);
    m.setOptions(opUnit | opSector);
    QCOMPARE(m.valueText(), QString("3.0 RPM"));
    // The pointer stops at the scale ends.
    m.setDigit(9000);
    QCOMPARE(m.pointerFraction(), 1.0);
    m.setDigit(-50);
    QCOMPARE(m.pointerFraction(), 0.0);
    QCOMPARE(m.sectorIndexForDigit(), 0);
    // A value written directly moves the pointer too.
    m.setValue(2.0);
    QCOMPARE(m.pointerFraction(), 0.25);
}

void TstWidgets::sectorIndex_data() {
    QTest::addColumn<int>("digit");
    QTest::addColumn<int>("sector");
    QTest::newRow("bottom") << 0 << 1;
    QTest::newRow("80 per mille, shared bound goes to sector 1") << 640 << 1;
    QTest::newRow("81 per mille") << 648 << 2;
    QTest::newRow("820 per mille") << 6560 << 2;
    QTest::newRow("821 per mille") << 6568 << 3;
    QTest::newRow("top") << 8000 << 3;
    QTest::newRow("below range") << -8 << 0;   // -1 per mille
    QTest::newRow("above range") << 8008 << 0; // 1001 per mille
    QTest::newRow("rounds 374.5 to even") << 2996 << 2;
}

void TstWidgets::sectorIndex() {
    QFETCH(int, digit);
    QFETCH(int, sector);
    THorizontalBar bar;
    setupSpeed(bar);
    bar.setDigit(digit);
    QCOMPARE(bar.sectorIndexForDigit(), sector);

    // A gap between sectors gives no sector colour.
    GaugeModel g;
    g.sectors.Sector1To = 100;
    g.sectors.Sector2From = 200;
    QCOMPARE(g.sectorIndexForPerMille(150), 0);
    QCOMPARE(g.sectorIndexForPerMille(100), 1);
    QCOMPARE(g.sectorIndexForPerMille(200), 2);
}

void TstWidgets::zeroRawSpanIsSafe() {
    TRoundMeter m;
    m.signalSettings().DigitalFrom = 5;
    m.signalSettings().DigitalTo = 5;
    m.signalSettings().ValueFrom = 1.5;
    m.setDigit(7);
    QCOMPARE(m.value(), 1.5);
    QCOMPARE(m.model().perMille(), 0);
    m.resetMarkers();
    QCOMPARE(m.minMarkerPosition(), 0);
    QImage img(120, 120, QImage::Format_ARGB32);
    m.resize(img.size());
    m.render(&img);
}

void TstWidgets::valueFormat_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("decimals"); // what the value is rounded to
    QTest::newRow("##0.0 3") << "##0.0" << 3.0 << "3.0" << 1;
    QTest::newRow("##0.0 0") << "##0.0" << 0.0 << "0.0" << 1;
    QTest::newRow("##0.0 rounds") << "##0.0" << 12.36 << "12.4" << 1;
    QTest::newRow("##0.0 large") << "##0.0" << 1234.56 << "1234.6" << 1;
    QTest::newRow("##0.0 negative") << "##0.0" << -2.25 << "-2.2" << 1;
    QTest::newRow("##0.0 no minus zero") << "##0.0" << -0.04 << "0.0" << 1;
    QTest::newRow("0 rounds up") << "0" << 2.6 << "3" << 0;
    QTest::newRow("0 rounds down") << "0" << 2.4 << "2" << 0;
    QTest::newRow("0 zero") << "0" << 0.0 << "0" << 0;
    QTest::newRow("0 negative") << "0" << -30.0 << "-30" << 0;
    QTest::newRow("0.00") << "0.00" << 0.471 << "0.47" << 2;
    QTest::newRow("optional decimals") << "0.##" << 1.5 << "1.5" << 2;
    QTest::newRow("no digits") << "ab" << 5.0 << "ab" << -1;
    QTest::newRow("literal suffix") << "0 x" << 7.0 << "7 x" << 0;
}

void TstWidgets::valueFormat() {
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(int, decimals);
    QCOMPARE(formatValue(value, format), text);
    QCOMPARE(formatDecimals(format), decimals);
}

void TstWidgets::sameDigitDoesNothing() {
    GaugeModel g;
    g.signal.DigitalTo = 8000;
    g.signal.ValueTo = 8.0;
    QVERIFY(g.setDigit(3000));
    g.resetMarkers();
    // The range changes; the same digit again must not record a new value.
    g.signal.DigitalTo = 4000;
    QVERIFY(!g.setDigit(3000));
    QCOMPARE(g.maxMarkerValue(), 3.0);
    QVERIFY(g.setDigit(3001));
    QVERIFY(g.maxMarkerValue() > 6.0);
}

void TstWidgets::markers() {
    TRoundMeter m;
    setupSpeed(m);
    m.setDigit(3000);
    m.resetMarkers();
    QCOMPARE(m.minMarkerPosition(), 375);
    QCOMPARE(m.maxMarkerPosition(), 375);
    QCOMPARE(m.minMarkerValue(), 3.0);

    m.setDigit(2000);
    m.setDigit(5000);
    m.setDigit(4000);
    QCOMPARE(m.minMarkerPosition(), 250);
    QCOMPARE(m.maxMarkerPosition(), 625);
    QCOMPARE(m.maxMarkerValue(), 5.0);

    // Positions are limited to 0..1000, values are not.
    m.setDigit(9000);
    m.setDigit(-800);
    QCOMPARE(m.maxMarkerPosition(), 1000);
    QCOMPARE(m.maxMarkerValue(), 9.0);
    QCOMPARE(m.minMarkerPosition(), 0);
    QCOMPARE(m.minMarkerValue(), -0.8);

    // A range change later keeps the positions given.
    m.setDigit(4000);
    m.resetMarkers();
    m.setDigit(6000);
    m.signalSettings().DigitalTo = 12000;
    m.signalSettings().ValueTo = 12.0;
    QCOMPARE(m.minMarkerPosition(), 500);
    QCOMPARE(m.maxMarkerPosition(), 750);
    m.setDigit(7200); // 600 per mille of the new range, value 7.2
    QCOMPARE(m.maxMarkerPosition(), 600);
    QCOMPARE(m.minMarkerPosition(), 500);
}

void TstWidgets::ledBarZones_data() {
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("lit");
    // Expected colour per segment: 1..3 lit zone colour, -1..-3 dimmed zone colour.
    QTest::addColumn<QList<int>>("colours");
    auto row = [](int z2, int z3, int litTo, bool single) {
        QList<int> c;
        for (int i = 0; i < 20; ++i) {
            const int zone = i < z2 ? 1 : i < z3 ? 2 : 3;
            const bool on = single ? i == litTo - 1 : i < litTo;
            c << (on ? zone : -zone);
        }
        return c;
    };
    QTest::newRow("position 25") << 0 << 50 << 25 << false << 10 << row(8, 12, 10, false);
    QTest::newRow("single LED") << 0 << 50 << 25 << true << 10 << row(8, 12, 10, true);
    QTest::newRow("full") << 0 << 50 << 50 << false << 20 << row(8, 12, 20, false);
    QTest::newRow("over full") << 0 << 50 << 80 << false << 20 << row(8, 12, 20, false);
    QTest::newRow("zero") << 0 << 50 << 0 << false << 0 << row(8, 12, 0, false);
    QTest::newRow("single at zero") << 0 << 50 << 0 << true << 0 << row(8, 12, 0, true);
    QTest::newRow("position not reduced by min") << 10 << 60 << 25 << false << 10 << row(8, 12, 10, false);
    QTest::newRow("empty span") << 50 << 50 << 25 << false << 0 << row(0, 0, 0, false);
    QTest::newRow("negative span") << 50 << 0 << 25 << false << 0 << row(0, 0, 0, false);
    QTest::newRow("rounding 12.5 to even") << 0 << 80 << 50 << false << 12 << row(5, 8, 12, false);
}

void TstWidgets::ledBarZones() {
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, position);
    QFETCH(bool, single);
    QFETCH(int, lit);
    QFETCH(QList<int>, colours);
    TLedBar bar;
    bar.setNumDigits(20);
    bar.setMin(min);
    bar.setMax(max);
    bar.setStartColor2(20);
    bar.setStartColor3(30);
    bar.setColorLED1(tColor(0x00FF00));
    bar.setColorLED2(tColor(0x00FFFF));
    bar.setColorLED3(tColor(0x0000FF));
    bar.setSingleLED(single);
    bar.setPosition(position);
    QCOMPARE(bar.litCount(), lit);
    const LedBarModel& m = bar.model();
    for (int i = 0; i < 20; ++i) {
        const int c = colours[i];
        const QColor want = c > 0 ? m.zoneColor(c) : m.dimmedColor(-c);
        QVERIFY2(bar.segmentColor(i) == want, qPrintable(QString("segment %1").arg(i)));
    }
    // Dimmed colours must differ from lit ones, or nothing could be read.
    QVERIFY(m.dimmedColor(1) != m.zoneColor(1));
}

void TstWidgets::ledBarWidgetDirections() {
    TLedBar bar;
    bar.resize(40, 202);
    bar.setNumDigits(20);
    bar.setDirection(Direction::mdUp);
    QVERIFY(bar.segmentRect(0).center().y() > bar.segmentRect(19).center().y());
    QVERIFY(bar.segmentRect(0).bottom() > 195);
    bar.setDirection(Direction::mdDown);
    QVERIFY(bar.segmentRect(0).top() < 5);
    bar.resize(202, 20);
    bar.setDirection(Direction::mdRight);
    QVERIFY(bar.segmentRect(0).left() < 5);
    QCOMPARE(bar.segmentRect(3).width(), 10.0);
    bar.setDirection(Direction::mdLeft);
    QVERIFY(bar.segmentRect(0).right() > 195);

    // The lit segment shows on screen where the model says (rightward bar, position 25 of 50).
    bar.setDirection(Direction::mdRight);
    bar.setMax(50);
    bar.setStartColor2(20);
    bar.setStartColor3(30);
    bar.setPosition(25);
    bar.setSingleLED(true);
    QImage img(bar.size(), QImage::Format_RGB32);
    bar.render(&img);
    const QPoint c9 = bar.segmentRect(9).center().toPoint();
    const QColor want = bar.segmentColor(9);
    const QColor got = img.pixelColor(c9);
    QVERIFY2(std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) < 120,
             qPrintable(got.name() + " vs " + want.name()));
    QVERIFY(img.pixelColor(bar.segmentRect(3).center().toPoint()).green() < want.green() / 2 + 40);
}

void TstWidgets::sweepYFormula_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("y");
    QTest::newRow("bottom") << 200 << 0 << 200;
    QTest::newRow("top") << 200 << 100 << 0;
    QTest::newRow("37 percent") << 200 << 37 << 126;
    QTest::newRow("tie 37.5 to even") << 150 << 25 << 112;
    QTest::newRow("tie 12.5 to even") << 50 << 25 << 38;
}

void TstWidgets::sweepYFormula() {
    QFETCH(int, height);
    QFETCH(int, position);
    QFETCH(int, y);
    QCOMPARE(SweepModel::yFor(height, position), y);
}

void TstWidgets::sweepGeometry() {
    SweepModel m;
    const std::array<bool, 4> onlyA{{true, false, false, false}};
    std::array<int, 4> pos{{50, 10, 10, 10}};
    QList<int> starts;
    bool wiped = false;
    int lastY = -1;
    for (int i = 0; i < 200 && !wiped; ++i) {
        pos[0] = i % 2 ? 20 : 80;
        const SweepStep s = m.tick(265, 100, pos, onlyA);
        QCOMPARE(int(s.lines.size()), 1);
        const SweepLine& l = s.lines[0];
        QCOMPARE(l.trace, 0);
        QCOMPARE(l.x1 - l.x0, 4);
        QCOMPARE(l.y1, SweepModel::yFor(100, pos[0]));
        if (lastY >= 0) QCOMPARE(l.y0, lastY); // continues from the previous point
        lastY = l.y1;
        starts << l.x0;
        wiped = s.wiped;
    }
    QVERIFY(wiped);
    QCOMPARE(starts.size(), 66);
    QCOMPARE(starts.first(), 2);
    QCOMPARE(starts.last(), 262);
    QCOMPARE(m.x(), 2);
    // Hidden traces draw nothing but still follow their positions.
    const SweepStep none = m.tick(265, 100, pos, {{false, false, false, false}});
    QVERIFY(none.lines.empty());
    QCOMPARE(m.x(), 6);
}

// Values every 50 ms take the samples of every time base (50-200 ms) at the
// right frames; values slower than samples leave them to the timer.
void TstWidgets::sweepPacedByValues() {
    const struct {
        long long spacing, sinceSample;
        int period;
        bool now;
    } rows[] = {
        {-1, -1, 50, false},  // the first values: no spacing known
        {50, -1, 50, true},   // no sample yet
        {50, 50, 50, true},   // due
        {48, 47, 50, true},   // a little early: the next would be later
        {50, 24, 50, false},  // half way: the next values are nearer
        {55, 52, 50, true},   // late values still pace
        {70, 70, 50, false},  // slower than samples: the timer samples
        {50, 50, 100, false}, // every other frame for 100 ms
        {50, 100, 100, true},  {50, 100, 150, false}, {50, 150, 150, true},
        {50, 150, 200, false}, {50, 200, 200, true},
    };
    for (const auto& r : rows)
        QVERIFY2(SweepModel::sampleWithValues(r.spacing, r.sinceSample, r.period) == r.now,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(r.spacing).arg(r.sinceSample).arg(r.period)));
}

void TstWidgets::chartWidget() {
    TSweepChart chart;
    chart.resize(265, 100);
    chart.setInterval(5);
    QCOMPARE(chart.interval(), 5);
    QCOMPARE(chart.sampleTimer().interval(), 50);
    QVERIFY(!chart.sampleTimer().isActive());
    chart.setActive(true);
    QVERIFY(chart.sampleTimer().isActive());
    chart.setActive(false);
    QVERIFY(!chart.sampleTimer().isActive());
    chart.setInterval(20);
    QCOMPARE(chart.sampleTimer().interval(), 200);

    chart.Gridsize = 54;
    chart.clearChart();
    const QImage& img = chart.image();
    QCOMPARE(img.pixelColor(54, 30), chart.Gridcolor);
    QCOMPARE(img.pixelColor(30, 99), chart.Gridcolor);
    QCOMPARE(img.pixelColor(30, 99 - 54), chart.Gridcolor);
    QCOMPARE(img.pixelColor(30, 30), chart.Color);

    // A flat trace at 50 % draws across y = 50 in its colour.
    chart.channel_a = true;
    chart.Position_a = 50;
    chart.Linecolor_a = QColor(255, 0, 0);
    chart.sampleTick();
    chart.sampleTick();
    QCOMPARE(chart.currentX(), 10);
    QCOMPARE(chart.image().pixelColor(5, 50), QColor(255, 0, 0));
    // Fields written between samples take effect at the next one.
    chart.Linecolor_a = QColor(0, 0, 255);
    chart.sampleTick();
    QCOMPARE(chart.image().pixelColor(12, 50), QColor(0, 0, 255));
    for (int i = 0; i < 63; ++i)
        chart.sampleTick(); // the 66th step of the sweep wipes
    QCOMPARE(chart.currentX(), 2);
    QCOMPARE(chart.image().pixelColor(5, 50), chart.Color);

    // While its timer samples, a sample reaches the screen with the window's
    // next repaint, or when sampling stops.
    QWidget top;
    top.resize(260, 100);
    auto* live = new TSweepChart(&top);
    live->setGeometry(0, 0, 200, 100);
    auto* other = new TLedBar(&top);
    other->setGeometry(220, 0, 30, 100);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    live->setInterval(100); // a second: the test takes the samples itself
    live->setActive(true);
    auto screen = [&] {
        return top.screen()
            ->grabWindow(top.winId(), 0, 0, 200, 100)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    for (int v : {10, 90, 30}) {
        live->Position_a = v;
        live->sampleTick();
        other->setPosition(v);
        QTest::qWait(20);
        QCOMPARE(screen(), live->image());
    }
    live->Position_a = 60;
    live->sampleTick();
    live->setActive(false);
    QTest::qWait(20);
    QCOMPARE(screen(), live->image());
}

void TstWidgets::buttonHoverRestores() {
    TColorButton b;
    b.setBackColor(QColor(10, 20, 30));
    b.setHoverColor(QColor(200, 200, 0));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&b, &enter);
    QCOMPARE(b.backColor(), QColor(200, 200, 0));
    // A skin changes the background while the mouse is over the button.
    b.setBackColor(QColor(0, 0, 255));
    QCOMPARE(b.backColor(), QColor(0, 0, 255));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&b, &leave);
    QCOMPARE(b.backColor(), QColor(10, 20, 30));
    // A second leave changes nothing.
    QCoreApplication::sendEvent(&b, &leave);
    QCOMPARE(b.backColor(), QColor(10, 20, 30));
}

void TstWidgets::buttonKeyboard() {
    TColorButton b;
    b.setText("Zapisz");
    QVERIFY(b.focusPolicy() & Qt::TabFocus);
    QSignalSpy spy(&b, &TColorButton::clicked);
    QTest::keyClick(&b, Qt::Key_Space);
    QCOMPARE(spy.count(), 1);
    QTest::keyClick(&b, Qt::Key_Return);
    QTRY_COMPARE(spy.count(), 2);
    QTest::keyClick(&b, Qt::Key_Enter);
    QTRY_COMPARE(spy.count(), 3);
    b.setEnabled(false);
    QTest::keyClick(&b, Qt::Key_Return);
    QTest::qWait(250);
    QCOMPARE(spy.count(), 3);
}

void TstWidgets::flatCheckBoxToggles() {
    TFlatCheckBox c("90R");
    c.resize(120, 22);
    QSignalSpy toggled(&c, &QCheckBox::toggled);
    QSignalSpy clicked(&c, &QCheckBox::clicked);
    QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(80, 11)); // on the caption
    QVERIFY(c.isChecked());
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(clicked.count(), 1);
    c.setChecked(false); // by program: toggled, not clicked
    QCOMPARE(toggled.count(), 2);
    QCOMPARE(clicked.count(), 1);
}

void TstWidgets::lampsShareOneFlashTimer() {
    auto a = std::make_unique<TLedLamp>();
    auto b = std::make_unique<TLedLamp>();
    QVERIFY(!TLedLamp::flashTimer()->isActive());
    a->setChecked(true);
    QVERIFY(a->isLit());
    a->setFlashing(true);
    b->setFlashing(true);
    b->setFrequency(ff8Hz);
    QVERIFY(TLedLamp::flashTimer()->isActive());
    // The 8 Hz lamp changes state, whatever its checked state says.
    const bool first = b->isLit();
    QTRY_VERIFY_WITH_TIMEOUT(b->isLit() != first, 2000);
    const bool firstA = a->isLit();
    QTRY_VERIFY_WITH_TIMEOUT(a->isLit() != firstA, 3000);
    b.reset(); // a flashing lamp destroyed must leave the timer safe
    QVERIFY(TLedLamp::flashTimer()->isActive());
    QTest::qWait(50);
    a->setFlashing(false);
    QVERIFY(!TLedLamp::flashTimer()->isActive());
    QVERIFY(a->isLit()); // back to its checked state
}

void TstWidgets::gaugeProgressLimited() {
    TGauge g;
    g.setProgress(63);
    QCOMPARE(g.progress(), 63);
    g.setProgress(150);
    QCOMPARE(g.progress(), 100);
    g.setProgress(-5);
    QCOMPARE(g.progress(), 0);
}

void TstWidgets::skinFontsStayLegible() {
    const QColor light(246, 246, 242);
    QCOMPARE(ipaint::legibleFace(light, Qt::black), light);
    QVERIFY(ipaint::luma(ipaint::legibleFace(light, Qt::white)) < 80);
    QVERIFY(ipaint::luma(ipaint::legibleFace(QColor(30, 30, 30), QColor(20, 20, 20))) > 200);

    // A meter whose scale numbers a skin made white paints a dark dial.
    TRoundMeter m;
    m.resize(200, 200);
    m.setScaleFontColor(Qt::white);
    QImage img(m.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    m.render(&img);
    QVERIFY(ipaint::luma(img.pixelColor(100, 60)) < 100);
    m.setScaleFontColor(Qt::black);
    m.render(&img);
    QVERIFY(ipaint::luma(img.pixelColor(100, 60)) > 180);
}

QTEST_MAIN(TstWidgets)
