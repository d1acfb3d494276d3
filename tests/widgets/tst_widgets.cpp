// Rules of the instrument widgets: value mapping, sectors, markers, LED bar
// zones, chart sweep geometry, button hover colours, lamp flashing, the
// cached static parts of the meters, repaints only on visible change, and a
// painting smoke test of every widget.
#include "widgets/GaugeModel.h"
#include "widgets/InstrumentPaint.h"
#include "widgets/LedBarModel.h"
#include "widgets/SweepModel.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGauge.h"
#include "widgets/TGradientPanel.h"
#include "widgets/THalfRoundMeter.h"
#include "widgets/THorizontalBar.h"
#include "widgets/TLedBar.h"
#include "widgets/TLedLamp.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TSweepChart.h"
#include "widgets/TTankGauge.h"
#include "widgets/TThermometer.h"

#include <QEnterEvent>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The engine-speed meter as the live page sets it up.
void setupSpeed(TAnalogGauge& m) {
    auto& s = m.signalSettings();
    s.DigitalFrom = 0;
    s.DigitalTo = 8000;
    s.ValueFrom = 0;
    s.ValueTo = 8.0;
    s.ValueFormat = "##0.0";
    s.ValueUnit = "RPM";
    s.Name1 = "Obroty";
    auto& sec = m.sectorSettings();
    sec.Sector1From = 0;
    sec.Sector1To = 80;
    sec.Sector2From = 80;
    sec.Sector2To = 820;
    sec.Sector3From = 820;
    sec.Sector3To = 1000;
    m.setLimitLower(0.6);
    m.setLimitUpper(6.5);
    m.scaleSettings().Steps = 8;
    m.scaleSettings().SubSteps = 2;
}

int countDifferent(const QImage& img, QRgb background) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != background) ++n;
    return n;
}

int countColour(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

QImage shot(QWidget& w) {
    QImage img(w.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    w.render(&img);
    return img;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    // Delivers pending update requests and returns the paints they caused.
    int settle() {
        paints = 0;
        QTest::qWait(30);
        return paints;
    }
};

TAnalogGauge* makeGauge(const QString& kind) {
    if (kind == "round") return new TRoundMeter;
    if (kind == "half") return new THalfRoundMeter;
    if (kind == "thermo") return new TThermometer;
    if (kind == "tank") return new TTankGauge;
    return new THorizontalBar;
}

} // namespace

class TstWidgets : public QObject {
    Q_OBJECT
private slots:
    void colourValues();
    void speedMeterAtThreeThousand();
    void sectorIndex_data();
    void sectorIndex();
    void zeroRawSpanIsSafe();
    void valueFormat_data();
    void valueFormat();
    void sameDigitDoesNothing();
    void markers();
    void ledBarZones_data();
    void ledBarZones();
    void ledBarWidgetDirections();
    void sweepYFormula_data();
    void sweepYFormula();
    void sweepGeometry();
    void chartWidget();
    void buttonHoverRestores();
    void buttonKeyboard();
    void flatCheckBoxToggles();
    void lampsShareOneFlashTimer();
    void gaugeProgressLimited();
    void skinFontsStayLegible();
    void cachedMeterFollowsSettings_data();
    void cachedMeterFollowsSettings();
    void meterRepaintsOnlyWhenShownChanges();
    void screenMatchesFullRepaint_data();
    void screenMatchesFullRepaint();
    void sameValueDoesNotRepaint();
    void gradientPanelFollowsColoursAndSize();
    void paintSmoke_data();
    void paintSmoke();
};

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
    QTest::newRow("##0.0 3") << "##0.0" << 3.0 << "3.0";
    QTest::newRow("##0.0 0") << "##0.0" << 0.0 << "0.0";
    QTest::newRow("##0.0 rounds") << "##0.0" << 12.36 << "12.4";
    QTest::newRow("##0.0 large") << "##0.0" << 1234.56 << "1234.6";
    QTest::newRow("##0.0 negative") << "##0.0" << -2.25 << "-2.2";
    QTest::newRow("##0.0 no minus zero") << "##0.0" << -0.04 << "0.0";
    QTest::newRow("0 rounds up") << "0" << 2.6 << "3";
    QTest::newRow("0 rounds down") << "0" << 2.4 << "2";
    QTest::newRow("0 zero") << "0" << 0.0 << "0";
    QTest::newRow("0 negative") << "0" << -30.0 << "-30";
    QTest::newRow("0.00") << "0.00" << 0.471 << "0.47";
    QTest::newRow("optional decimals") << "0.##" << 1.5 << "1.5";
    QTest::newRow("literal suffix") << "0 x" << 7.0 << "7 x";
}

void TstWidgets::valueFormat() {
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatValue(value, format), text);
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

void TstWidgets::paintSmoke_data() {
    QTest::addColumn<QString>("kind");
    for (const char* k : {"round", "half", "bar", "ledbar-style", "thermo", "tank", "ledbar", "lamp", "chart",
                          "gauge", "gradient", "button", "check"})
        QTest::newRow(k) << QString(k);
}

void TstWidgets::paintSmoke() {
    QFETCH(QString, kind);
    std::unique_ptr<QWidget> w;
    if (kind == "round" || kind == "half") {
        TAnalogGauge* g = kind == "round" ? static_cast<TAnalogGauge*>(new TRoundMeter)
                                          : static_cast<TAnalogGauge*>(new THalfRoundMeter);
        setupSpeed(*g);
        g->setOptions(opLimit | opOverflow | opSector | opUnit | opName1);
        g->setDigit(7000);
        w.reset(g);
    } else if (kind == "bar" || kind == "ledbar-style") {
        auto* b = new THorizontalBar;
        b->barSettings().Style = kind == "bar" ? bsBar : bsLED_Bar;
        b->setOptions(opSector | opUnit | opName1 | opLimit);
        b->signalSettings().Name1 = "Lambda";
        b->setDigit(500);
        w.reset(b);
    } else if (kind == "thermo") {
        auto* t = new TThermometer;
        t->signalSettings().DigitalFrom = 96;
        t->signalSettings().DigitalTo = 155;
        t->signalSettings().ValueFrom = -30;
        t->signalSettings().ValueTo = 90;
        t->setOptions(opUnit | opSector | opName1 | opLimit);
        t->setDigit(130);
        w.reset(t);
    } else if (kind == "tank") {
        auto* t = new TTankGauge;
        t->signalSettings().DigitalTo = 255;
        t->signalSettings().ValueTo = 255;
        t->setDigit(100);
        w.reset(t);
    } else if (kind == "ledbar") {
        auto* l = new TLedBar;
        l->setPosition(40);
        w.reset(l);
    } else if (kind == "lamp") {
        auto* l = new TLedLamp;
        l->setCaption("Benzyna");
        l->setChecked(true);
        w.reset(l);
    } else if (kind == "chart") {
        auto* c = new TSweepChart;
        c->Position_a = 40;
        c->sampleTick();
        w.reset(c);
    } else if (kind == "gauge") {
        auto* g = new TGauge;
        g->setProgress(50);
        w.reset(g);
    } else if (kind == "gradient") {
        w.reset(new TGradientPanel);
    } else if (kind == "button") {
        auto* b = new TColorButton;
        b->setText("Reset parametrów");
        b->setMultiline(true);
        w.reset(b);
    } else {
        auto* c = new TFlatCheckBox("20K");
        c->setChecked(true);
        w.reset(c);
    }
    const QRgb sentinel = qRgb(1, 2, 3);
    for (const QSize size : {QSize(60, 40), QSize(320, 260)}) {
        w->resize(size);
        if (auto* c = qobject_cast<TSweepChart*>(w.get())) c->sampleTick();
        QImage img(size, QImage::Format_RGB32);
        img.fill(sentinel);
        w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        const int drawn = countDifferent(img, sentinel);
        QVERIFY2(drawn > std::min(size.width() * size.height() / 50, 150),
                 qPrintable(QString::number(drawn)));
    }
    // Degenerate sizes must not crash.
    w->resize(1, 1);
    QImage tiny(1, 1, QImage::Format_RGB32);
    w->render(&tiny);
}

void TstWidgets::cachedMeterFollowsSettings_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    QTest::newRow("round") << "round" << QSize(220, 220);
    QTest::newRow("half") << "half" << QSize(220, 150);
    QTest::newRow("thermo") << "thermo" << QSize(90, 240);
    QTest::newRow("bar") << "bar" << QSize(260, 44);
    QTest::newRow("tank") << "tank" << QSize(130, 160);
}

void TstWidgets::cachedMeterFollowsSettings() {
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    std::unique_ptr<TAnalogGauge> g(makeGauge(kind));
    setupSpeed(*g);
    g->setOptions(opSector | opName1 | opUnit | opLimit);
    g->resize(size);
    g->setDigit(3000);
    const QImage a = shot(*g);
    const int renders = g->staticRenderCount();
    QVERIFY(renders >= 1);
    // Nothing changed: the cached parts are reused and the picture is the same.
    QCOMPARE(shot(*g), a);
    QCOMPARE(g->staticRenderCount(), renders);

    // An announced change of a static part is drawn.
    const QRgb blue = qRgb(0, 0, 255);
    auto* tank = dynamic_cast<TTankGauge*>(g.get());
    if (tank)
        tank->tankSettings().BkColor = QColor(blue);
    else
        g->sectorSettings().Sector2Color = QColor(blue);
    QCOMPARE(countColour(a, blue), 0);
    g->settingsChanged();
    const QImage b = shot(*g);
    QVERIFY(b != a);
    QVERIFY2(countColour(b, blue) > 20, qPrintable(QString::number(countColour(b, blue))));
    QCOMPARE(g->staticRenderCount(), renders + 1);

    // A change made through the settings without announcing it is noticed too.
    if (tank)
        tank->tankSettings().PenColor = QColor(255, 0, 255);
    else
        g->sectorSettings().Sector1Color = QColor(255, 0, 255);
    const QImage c = shot(*g);
    QVERIFY(c != b);
    QCOMPARE(g->staticRenderCount(), renders + 2);

    // A new end of the scale moves the numbers (and the pointer).
    g->signalSettings().ValueTo = 16.0;
    g->settingsChanged();
    QVERIFY(shot(*g) != c);

    // A new size is drawn at that size, not stretched from the old one.
    g->resize(size * 2);
    const QImage big = shot(*g);
    QCOMPARE(big.size(), size * 2);
    QVERIFY(countColour(big, blue) > countColour(b, blue) * 2);
}

void TstWidgets::meterRepaintsOnlyWhenShownChanges() {
    TRoundMeter m;
    setupSpeed(m);
    m.setOptions(opName1 | opUnit | opSector | opLimit);
    m.resize(200, 200);
    m.setDigit(3000);
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    PaintCounter counter;
    m.installEventFilter(&counter);
    counter.settle();

    m.setDigit(3000);
    QCOMPARE(counter.settle(), 0);
    // One rpm: the same read-out and a pointer shift far below a pixel.
    m.setDigit(3001);
    QCOMPARE(counter.settle(), 0);
    QCOMPARE(m.digit(), 3001);
    m.setDigit(3000);
    QCOMPARE(counter.settle(), 0);

    // Small steps that each look the same add up to a visible move.
    int paints = 0;
    for (int d = 3001; d <= 3040; ++d) {
        m.setDigit(d);
        paints += counter.settle();
    }
    QVERIFY(paints > 0);
    QVERIFY2(paints < 20, qPrintable(QString::number(paints)));

    // A new read-out is painted at once.
    m.setDigit(3100);
    QVERIFY(counter.settle() > 0);
    QCOMPARE(m.valueText(), QStringLiteral("3.1 RPM"));
    // So is a settings change, and a value written directly.
    m.settingsChanged();
    QVERIFY(counter.settle() > 0);
    m.setValue(5.0);
    QVERIFY(counter.settle() > 0);
    m.setValue(5.0);
    QCOMPARE(counter.settle(), 0);
    // Same limit again: nothing to draw.
    m.setLimitUpper(6.5);
    QCOMPARE(counter.settle(), 0);
    m.setLimitUpper(7.0);
    QVERIFY(counter.settle() > 0);
}

namespace {
// One instrument on a panel, driven by steps a fitter's session takes.
struct Rig {
    QWidget* (*make)();
    void (*share)(QWidget*, double);    // the value at a share of the scale
    void (*recolour)(QWidget*, int);    // a setting changed through a setter
    void (*unannounced)(QWidget*, int); // one changed through a reference
};

constexpr int kAll = opName1 | opUnit | opSector | opLimit | opOverflow;

QWidget* gaugeFor(const char* kind, int options) {
    TAnalogGauge* g = makeGauge(kind);
    setupSpeed(*g);
    g->setOptions(options);
    return g;
}

void gaugeShare(QWidget* w, double f) {
    static_cast<TAnalogGauge*>(w)->setDigit(int(std::lround(8000 * f)));
}
void gaugeRecolour(QWidget* w, int k) {
    // The second face lets the panel show through: the read-out is then drawn whole every time.
    static_cast<TAnalogGauge*>(w)->setFaceColor(QColor(40 * k, 200, 120, k == 2 ? 128 : 255));
}
void gaugeUnannounced(QWidget* w, int k) {
    auto* g = static_cast<TAnalogGauge*>(w);
    g->sectorSettings().Sector2Color = QColor(0, 0, 60 * k);
    g->signalSettings().ValueTo = 8.0 + k;
}
void ledShare(QWidget* w, double f) {
    static_cast<TLedBar*>(w)->setPosition(int(std::lround(100 * f)));
}
void ledRecolour(QWidget* w, int k) {
    static_cast<TLedBar*>(w)->setColorLED1(QColor(40 * k, 0, 255));
}
void ledUnannounced(QWidget* w, int k) {
    static_cast<TLedBar*>(w)->setSingleLED(k % 2 == 1);
}
} // namespace

Q_DECLARE_METATYPE(Rig)

void TstWidgets::screenMatchesFullRepaint_data() {
    QTest::addColumn<Rig>("rig");
    QTest::newRow("round") << Rig{[] { return gaugeFor("round", kAll); }, gaugeShare, gaugeRecolour,
                                  gaugeUnannounced};
    QTest::newRow("half") << Rig{[] { return gaugeFor("half", kAll); }, gaugeShare, gaugeRecolour,
                                 gaugeUnannounced};
    QTest::newRow("thermo") << Rig{[] { return gaugeFor("thermo", kAll); }, gaugeShare, gaugeRecolour,
                                   gaugeUnannounced};
    QTest::newRow("tank") << Rig{[] { return gaugeFor("tank", opName1 | opSector | opOverflow); }, gaugeShare,
                                 gaugeRecolour, gaugeUnannounced};
    QTest::newRow("bar") << Rig{[] { return gaugeFor("bar", kAll); }, gaugeShare, gaugeRecolour,
                                gaugeUnannounced};
    QTest::newRow("bar segments") << Rig{[] {
                                             QWidget* b = gaugeFor("bar", kAll);
                                             static_cast<THorizontalBar*>(b)->setBarStyle(bsLED_Bar);
                                             return b;
                                         },
                                         gaugeShare, gaugeRecolour, gaugeUnannounced};
    QTest::newRow("led bar up") << Rig{[] { return static_cast<QWidget*>(new TLedBar); }, ledShare,
                                       ledRecolour, ledUnannounced};
    QTest::newRow("led bar right") << Rig{[] {
                                              auto* l = new TLedBar;
                                              l->setDirection(Direction::mdRight);
                                              return static_cast<QWidget*>(l);
                                          },
                                          ledShare, ledRecolour, ledUnannounced};
}

void TstWidgets::screenMatchesFullRepaint() {
    // What the window shows after every step, drawn by the repaints of only
    // the parts that changed from cached layers, must equal a new widget
    // brought to the same state and drawn whole: a stale cache or a missed
    // part shows as a difference in any pixel.
    QFETCH(Rig, rig);
    // A move too small to see is not drawn by design, and a setting changed
    // through a reference shows with the next value: both are taken with the
    // step after them.
    const std::vector<std::function<void(QWidget*)>> steps{
        [&](QWidget* w) { rig.share(w, 0.3); },
        [&](QWidget* w) { rig.share(w, 0.71); },
        [&](QWidget* w) {
            rig.share(w, 0.7102);
            rig.share(w, 0.71);
        },
        [&](QWidget* w) { rig.share(w, 0.3); },
        [&](QWidget* w) { rig.share(w, 1.2); },
        [&](QWidget* w) { rig.share(w, 0.05); },
        [&](QWidget* w) { rig.share(w, 0.3); },
        [](QWidget* w) { w->resize(w->size() + QSize(37, 23)); },
        [&](QWidget* w) { rig.share(w, 0.55); },
        [&](QWidget* w) { rig.recolour(w, 1); },
        [&](QWidget* w) { rig.share(w, 0.9); },
        [&](QWidget* w) { rig.recolour(w, 2); },
        [&](QWidget* w) {
            rig.unannounced(w, 1);
            rig.share(w, 0.2);
        },
        [&](QWidget* w) { rig.share(w, 0.21); },
    };
    auto onPanel = [&](TGradientPanel& top) {
        top.resize(360, 300);
        top.setColorFrom(QColor(200, 120, 40));
        QWidget* w = rig.make();
        w->setParent(&top);
        w->setGeometry(12, 9, 210, 190);
        return w;
    };
    TGradientPanel top;
    QWidget* live = onPanel(top);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    for (std::size_t k = 0; k < steps.size(); ++k) {
        steps[k](live);
        QTest::qWait(20);
        const QImage shown =
            top.screen()->grabWindow(top.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        TGradientPanel fresh;
        QWidget* w = onPanel(fresh);
        for (std::size_t i = 0; i <= k; ++i)
            steps[i](w);
        const QImage whole = fresh.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(shown == whole, qPrintable(QStringLiteral("differs after step %1").arg(k)));
    }
}

void TstWidgets::sameValueDoesNotRepaint() {
    QWidget top;
    top.resize(400, 300);
    auto* bar = new TLedBar(&top);
    bar->setGeometry(0, 0, 30, 200);
    auto* gauge = new TGauge(&top);
    gauge->setGeometry(40, 0, 40, 160);
    auto* lamp = new TLedLamp(&top);
    lamp->setGeometry(90, 0, 150, 30);
    auto* tank = new TTankGauge(&top);
    tank->setGeometry(250, 0, 64, 142);
    tank->signalSettings().DigitalTo = 255;
    tank->signalSettings().ValueTo = 255;
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    PaintCounter counter;
    for (QWidget* w : std::initializer_list<QWidget*>{bar, gauge, lamp, tank})
        w->installEventFilter(&counter);
    bar->setPosition(40);
    gauge->setProgress(50);
    lamp->setCaption("Gaz");
    tank->setDigit(100);
    QVERIFY(counter.settle() > 0);

    // What a live poll writes every tick when nothing changed.
    bar->setPosition(40);
    gauge->setProgress(50);
    gauge->setForeColor(gauge->foreColor());
    gauge->setBackColor(gauge->backColor());
    lamp->setCaption("Gaz");
    lamp->setChecked(lamp->isChecked());
    lamp->setColorOn(lamp->colorOn());
    lamp->setColorOff(lamp->colorOff());
    lamp->setCaptionColor(QColor(10, 10, 10));
    counter.settle();
    lamp->setCaptionColor(QColor(10, 10, 10));
    tank->setDigit(100);
    tank->setLimitLower(tank->limitLower());
    tank->setOptions(tank->options());
    QCOMPARE(counter.settle(), 0);

    tank->setDigit(200);
    QVERIFY(counter.settle() > 0);
}

void TstWidgets::gradientPanelFollowsColoursAndSize() {
    TGradientPanel p;
    p.resize(100, 40);
    p.setColorFrom(QColor(255, 0, 0));
    p.setColorTo(QColor(0, 0, 255));
    const QImage a = shot(p);
    QVERIFY(a.pixelColor(2, 20).red() > 240);
    QVERIFY(a.pixelColor(97, 20).blue() > 240);
    p.setColorTo(QColor(0, 255, 0));
    const QImage b = shot(p);
    QVERIFY(b.pixelColor(97, 20).green() > 240);
    // Wider: the gradient still ends at the new right edge.
    p.resize(300, 40);
    const QImage c = shot(p);
    QVERIFY(c.pixelColor(297, 20).green() > 240);
    QVERIFY(c.pixelColor(150, 20).green() < 160);
}

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
