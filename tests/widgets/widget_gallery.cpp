// Lays out one of each instrument with realistic readings and saves a PNG.
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

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <cstdlib>

static void speedMeter(TRoundMeter* m) {
    auto& s = m->signalSettings();
    s.DigitalFrom = 0;
    s.DigitalTo = 8000;
    s.ValueFrom = 0;
    s.ValueTo = 8.0;
    s.ValueFormat = "##0.0";
    s.ValueUnit = "RPM";
    s.Name1 = "Obroty";
    auto& sec = m->sectorSettings();
    sec.Sector1From = 0;
    sec.Sector1To = 80;
    sec.Sector2From = 80;
    sec.Sector2To = 820;
    sec.Sector3From = 820;
    sec.Sector3To = 1000;
    sec.Sector1Color = QColor(255, 220, 0);
    sec.Sector2Color = QColor(0, 170, 60);
    sec.Sector3Color = QColor(220, 20, 20);
    m->scaleSettings().Steps = 8;
    m->scaleSettings().SubSteps = 2;
    m->scaleSettings().ValueFormat = "0";
    m->setLimitLower(0.6);
    m->setLimitUpper(6.5);
    m->setOptions(opLimit | opSector | opUnit | opName1);
    m->setDigit(3000);
}

// Second sheet: the analog instruments at awkward sizes and aspect ratios.
static int aspectSheet(const QString& out) {
    TGradientPanel page;
    page.resize(1000, 520);
    page.setColorFrom(QColor(200, 204, 210));
    page.setColorTo(QColor(150, 156, 166));
    const QList<QRect> boxes{{10, 10, 330, 160}, {350, 10, 90, 240}, {450, 10, 140, 60}, {600, 10, 390, 120}};
    int i = 0;
    for (const QRect& r : boxes) {
        auto* m = new TRoundMeter(&page);
        m->setGeometry(r);
        speedMeter(m);
        m->setDigit(1000 + 1500 * i++);
        if (i == 4) { // skin-like fonts: light scale numbers, dark value digits
            m->setScaleFontColor(Qt::white);
            m->scaleSettings().Color = QColor(230, 230, 230);
            m->setFontUnitColor(QColor(255, 255, 160));
            m->setValueFontColor(Qt::black);
        }
    }
    const QList<QRect> halves{{10, 270, 330, 90}, {350, 270, 90, 240}, {450, 270, 200, 240}};
    for (const QRect& r : halves) {
        auto* h = new THalfRoundMeter(&page);
        h->setGeometry(r);
        h->signalSettings().DigitalTo = 240;
        h->signalSettings().ValueTo = 12.0;
        h->signalSettings().ValueUnit = "V";
        h->signalSettings().Name1 = "TPS";
        h->scaleSettings().Steps = 6;
        h->setOptions(opUnit | opName1 | opSector);
        h->setDigit(200);
    }
    auto* t = new TThermometer(&page);
    t->setGeometry(660, 140, 200, 120);
    t->signalSettings().ValueFrom = -30;
    t->signalSettings().ValueTo = 90;
    t->setDigit(500);
    auto* tk = new TTankGauge(&page);
    tk->setGeometry(660, 270, 200, 80);
    tk->setDigit(700);
    auto* b = new THorizontalBar(&page);
    b->setGeometry(660, 360, 330, 20);
    b->setOptions(opSector);
    b->setDigit(300);
    auto* b2 = new THorizontalBar(&page);
    b2->setGeometry(870, 140, 120, 210);
    b2->setDigit(300);
    QImage img(page.size(), QImage::Format_ARGB32);
    page.render(&img);
    return img.save(out) ? 0 : 1;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("widget_gallery.png");
    if (argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("aspect")) return aspectSheet(out);
    const double k = argc > 2 ? std::atof(argv[2]) : 1.0; // scale of the whole page

    auto S = [k](int v) { return int(std::lround(v * k)); };
    TGradientPanel page;
    page.resize(S(1000), S(640));
    page.setColorFrom(tColor(0x00603010));
    page.setColorTo(tColor(0x00201008));
    QFont base = page.font();
    base.setPixelSize(S(13));
    page.setFont(base);

    auto* rpm = new TRoundMeter(&page);
    rpm->setGeometry(S(10), S(10), S(250), S(250));
    speedMeter(rpm);

    auto* tps = new THalfRoundMeter(&page);
    tps->setGeometry(S(270), S(10), S(260), S(180));
    auto& ts = tps->signalSettings();
    ts.DigitalTo = 240;
    ts.ValueTo = 12.0;
    ts.ValueUnit = "V";
    ts.Name1 = "TPS";
    ts.ValueFormat = "##0.0";
    tps->scaleSettings().Steps = 6;
    tps->sectorSettings().Sector1From = 0;
    tps->sectorSettings().Sector1To = 1000;
    tps->sectorSettings().Sector1Color = QColor(0, 170, 60);
    tps->setOptions(opSector | opUnit | opName1);
    tps->setDigit(92);

    auto* tank = new TTankGauge(&page);
    tank->setGeometry(S(540), S(10), S(140), S(180));
    tank->signalSettings().DigitalTo = 255;
    tank->signalSettings().ValueTo = 255;
    tank->signalSettings().ValueFormat = "0";
    tank->signalSettings().ValueUnit = "STEPS";
    tank->setOptions(opUnit);
    tank->setDigit(142);

    auto* therm = new TThermometer(&page);
    therm->setGeometry(S(690), S(10), S(100), S(300));
    therm->signalSettings().DigitalFrom = 96;
    therm->signalSettings().DigitalTo = 155;
    therm->signalSettings().ValueFrom = -30;
    therm->signalSettings().ValueTo = 90;
    therm->signalSettings().ValueFormat = "0";
    therm->signalSettings().ValueUnit = "°C";
    therm->setOptions(opUnit);
    therm->setDigit(139);

    auto* leds = new TLedBar(&page);
    leds->setGeometry(S(800), S(10), S(34), S(300));
    leds->setNumDigits(20);
    leds->setMax(50);
    leds->setStartColor2(20);
    leds->setStartColor3(30);
    leds->setColorLED1(tColor(0x00FF00));
    leds->setColorLED3(tColor(0x0000FF));
    leds->setPosition(25);

    auto* ledsR = new TLedBar(&page);
    ledsR->setGeometry(S(540), S(200), S(140), S(22));
    ledsR->setNumDigits(20);
    ledsR->setMax(50);
    ledsR->setStartColor2(20);
    ledsR->setStartColor3(30);
    ledsR->setSingleLED(true);
    ledsR->setDirection(Direction::mdRight);
    ledsR->setPosition(33);

    auto* gauge3 = new TGauge(&page);
    gauge3->setGeometry(S(850), S(10), S(50), S(300));
    gauge3->setForeColor(tColor(0x008000));
    gauge3->setProgress(63);

    auto* lambda = new THorizontalBar(&page);
    lambda->setGeometry(S(270), S(200), S(260), S(44));
    lambda->signalSettings().DigitalTo = 255;
    lambda->signalSettings().ValueTo = 1.0;
    lambda->signalSettings().ValueFormat = "0.00";
    lambda->signalSettings().ValueUnit = "V";
    lambda->setOptions(opSector | opUnit);
    lambda->setDigit(120);

    auto* level = new THorizontalBar(&page);
    level->setGeometry(S(270), S(250), S(260), S(44));
    level->barSettings().Style = bsLED_Bar;
    level->signalSettings().DigitalTo = 100;
    level->signalSettings().ValueTo = 100;
    level->signalSettings().ValueFormat = "0";
    level->signalSettings().ValueUnit = "%";
    level->signalSettings().Name1 = "Gaz";
    level->setOptions(opSector | opUnit | opName1);
    level->setDigit(72);

    auto* chart = new TSweepChart(&page);
    chart->setGeometry(S(10), S(330), S(530), S(220));
    chart->Gridsize = S(54);
    chart->channel_a = chart->channel_b = chart->channel_c = chart->channel_d = true;
    for (int i = 0; i < chart->width() * 3 / 16; ++i) { // three quarters of a sweep
        chart->Position_a = i % 8 < 4 ? 80 : 12;
        chart->Position_b = 20 + (i / 10) * 4;
        chart->Position_c = 40 + int(10 * std::sin(i / 7.0));
        chart->Position_d = 55;
        chart->sampleTick();
    }

    auto* gas = new TLedLamp(&page);
    gas->setGeometry(S(560), S(330), S(200), S(34));
    gas->setLedHeight(S(25));
    gas->setColorOn(tColor(43008));
    gas->setCaption("Gaz");
    gas->setCaptionColor(Qt::white);
    gas->setChecked(true);
    auto* petrol = new TLedLamp(&page);
    petrol->setGeometry(S(560), S(370), S(200), S(34));
    petrol->setLedHeight(S(25));
    petrol->setCaption("Benzyna");
    petrol->setCaptionColor(tColor(0x0000FF));
    petrol->setChecked(false);

    auto* b1 = new TColorButton(&page);
    b1->setGeometry(S(560), S(420), S(150), S(40));
    b1->setText("Zapisz parametry");
    b1->setBackColor(tColor(0x00C08040));
    b1->setForeColor(Qt::white);
    auto* b2 = new TColorButton(&page);
    b2->setGeometry(S(720), S(420), S(150), S(52));
    b2->setMultiline(true);
    b2->setText("Reset parametrów do ustawień fabrycznych");
    b2->setBackColor(tColor(0x0000FF));
    b2->setForeColor(Qt::white);
    auto* b3 = new TColorButton(&page);
    b3->setGeometry(S(560), S(470), S(150), S(40));
    b3->setText("DALEJ >>");
    b3->setEnabled(false);

    auto* cb1 = new TFlatCheckBox("20K", &page);
    cb1->setGeometry(S(560), S(520), S(120), S(24));
    cb1->setFontColor(Qt::white);
    cb1->setChecked(true);
    auto* cb2 = new TFlatCheckBox("90R", &page);
    cb2->setGeometry(S(690), S(520), S(120), S(24));
    cb2->setFontColor(Qt::white);

    auto* small = new TRoundMeter(&page);
    small->setGeometry(S(910), S(10), S(85), S(85));
    speedMeter(small);

    // Cost of one chart sample with four traces (printed only).
    {
        TSweepChart probe;
        probe.resize(S(530), S(220));
        probe.channel_a = probe.channel_b = probe.channel_c = probe.channel_d = true;
        QElapsedTimer t;
        t.start();
        const int n = 2000;
        for (int i = 0; i < n; ++i) {
            probe.Position_a = (i * 7) % 100;
            probe.Position_b = (i * 3) % 100;
            probe.Position_c = (i * 5) % 100;
            probe.Position_d = 50;
            probe.sampleTick();
        }
        std::printf("chart sample: %.1f us per tick (%d ticks, %dx%d)\n", t.nsecsElapsed() / 1000.0 / n, n,
                    probe.width(), probe.height());
    }

    // Cost of repainting each instrument once (printed only).
    for (QWidget* w : std::initializer_list<QWidget*>{rpm, tps, tank, therm, leds, lambda, level, gauge3}) {
        QImage probe(w->size(), QImage::Format_ARGB32_Premultiplied);
        QElapsedTimer t;
        t.start();
        const int n = 50;
        for (int i = 0; i < n; ++i)
            w->render(&probe);
        std::printf("%-16s %4dx%-4d %.2f ms per paint\n", w->metaObject()->className(), w->width(),
                    w->height(), t.nsecsElapsed() / 1e6 / n);
    }

    QImage img(page.size(), QImage::Format_ARGB32);
    img.fill(Qt::black);
    page.render(&img);
    // Optional crop "x y w h" (in page pixels) to inspect one instrument closely.
    if (argc > 6)
        img = img.copy(S(std::atoi(argv[3])), S(std::atoi(argv[4])), S(std::atoi(argv[5])),
                       S(std::atoi(argv[6])));
    if (!img.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
