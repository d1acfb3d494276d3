#include "tst_widgets.h"

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
QWidget* makeReadout() {
    auto* r = new TReadout;
    r->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    r->setLineWidth(2);
    QFont f = r->font();
    f.setPointSize(14);
    f.setBold(true);
    r->setFont(f);
    return r;
}
void readoutShare(QWidget* w, double f) {
    // Past the scale, digits that are shaped as a whole line, not drawn one
    // by one; near zero, a long text that the next, short one must clear.
    auto* r = static_cast<TReadout*>(w);
    if (f > 1)
        r->setText(QStringLiteral("\u0661\u0662\u0663"));
    else
        r->setText(f < 0.1 ? QString::number(8000 * f, 'f', 2) + QStringLiteral(" rpm")
                           : QString::number(8000 * f, 'f', 0));
}
void readoutRecolour(QWidget* w, int k) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, QColor(120 * (k - 1), 250, 0));
    p.setColor(QPalette::Window, QColor(16, 24 * k, 40));
    w->setPalette(p);
}
void readoutUnannounced(QWidget* w, int k) {
    auto* r = static_cast<TReadout*>(w);
    QFont f = r->font();
    f.setPointSize(14 + 6 * k);
    r->setFont(f);
    r->setFrameStyle(QFrame::Panel | QFrame::Raised);
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
    QTest::newRow("readout") << Rig{makeReadout, readoutShare, readoutRecolour, readoutUnannounced};
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

void TstWidgets::needleImageMatchesDirectPainting_data() {
    QTest::addColumn<int>("dpr");
    QTest::addColumn<double>("sweep");
    QTest::newRow("round") << 1 << -270.0;
    QTest::newRow("round, ratio 2") << 2 << -270.0;
    QTest::newRow("half") << 1 << -180.0;
    QTest::newRow("half, ratio 2") << 2 << -180.0;
}

// The needle drawn into its own image and copied lands where painting it
// straight over the dial puts it: only rounding in its antialiased edges differs.
void TstWidgets::needleImageMatchesDirectPainting() {
    QFETCH(int, dpr);
    QFETCH(double, sweep);
    dial::Geometry g;
    g.centre = QPointF(90.3, 88.6);
    g.radius = 68.8;
    g.startDeg = sweep < -200 ? 225 : 180;
    g.sweepDeg = sweep;
    dial::Pointer needle;
    needle.setup(g, g.radius * 0.93, g.radius * 0.2, QColor(220, 30, 20));
    for (double f : {0.0, 0.137, 0.5, 0.861, 1.0}) {
        QImage direct(QSize(180, 180) * dpr, QImage::Format_ARGB32_Premultiplied);
        direct.setDevicePixelRatio(dpr);
        direct.fill(QColor(246, 246, 242));
        QImage copied = direct;
        {
            QPainter p(&direct);
            p.setRenderHint(QPainter::Antialiasing);
            needle.paint(p, f);
        }
        {
            QPainter p(&copied);
            QPoint at;
            QRect area;
            const QImage& img = needle.image(f, dpr, &at, &area);
            p.setClipRect(area);
            p.drawImage(at, img);
        }
        int worst = 0;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x) {
                const QRgb a = direct.pixel(x, y), b = copied.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        QVERIFY2(worst <= 4, qPrintable(QStringLiteral("at %1 differs by %2").arg(f).arg(worst)));
        QVERIFY(countDifferent(copied, QColor(246, 246, 242).rgb()) > 100 * dpr * dpr);
    }
}
