#include "shell/Layouts.h"

#include <QTest>

using namespace shell::layout;

class TestLayouts : public QObject {
    Q_OBJECT
private slots:
    void layoutForWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("item");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("title");
        QTest::addColumn<QList<int>>("param"); // F, E, C, R; empty: none
        QTest::addColumn<QRect>("pc1");        // null: design bounds
        QTest::addColumn<QRect>("pc2");
        QTest::addColumn<QSize>("window"); // invalid: unchanged

        QTest::newRow("640") << 640 << 1 << 0.7 << 8 << 14 << QList<int>{8, 160, 240, 640}
                             << QRect(2, 0, 632, 390) << QRect(8, 25, 609, 330) << QSize(640, 460);
        QTest::newRow("720 against 640")
            << 720 << 2 << 0.9 << 8 << 16 << QList<int>{8, 160, 240, 640} << QRect(2, 0, 717, 490)
            << QRect(8, 25, 690, 420) << QSize(730, 560);
        QTest::newRow("800") << 800 << 3 << 1.0 << 12 << 18 << QList<int>{12, 236, 316, 800} << QRect()
                             << QRect() << QSize(800, 580);
        QTest::newRow("1024") << 1024 << 4 << 1.3 << 16 << 20 << QList<int>{16, 310, 420, 1024}
                              << QRect(2, 0, 1015, 676) << QRect(25, 49, 960, 555) << QSize(1024, 745);
        QTest::newRow("1152") << 1152 << 5 << 1.468 << 16 << 20 << QList<int>{16, 300, 470, 1152}
                              << QRect(2, 0, 1147, 763) << QRect(25, 49, 1085, 630) << QSize(1124, 860);
        QTest::newRow("1280") << 1280 << 6 << 1.608 << 16 << 20 << QList<int>{21, 415, 534, 1280}
                              << QRect(2, 0, 1304, 933) << QRect(25, 49, 1235, 850) << QSize(1260, 1000);
        QTest::newRow("1600 as 1280")
            << 1600 << 6 << 1.608 << 16 << 20 << QList<int>{21, 415, 534, 1280} << QRect(2, 0, 1304, 933)
            << QRect(25, 49, 1235, 850) << QSize(1278, 1000);
        QTest::newRow("1366: design sizes")
            << 1366 << 3 << 1.0 << 12 << 18 << QList<int>{} << QRect() << QRect() << QSize();
        QTest::newRow("1920: design sizes")
            << 1920 << 3 << 1.0 << 12 << 18 << QList<int>{} << QRect() << QRect() << QSize();
    }

    void layoutForWidth() {
        QFETCH(int, width);
        const Layout l = forWidth(width);
        QTEST(l.item, "item");
        QFETCH(double, scale);
        QVERIFY(qAbs(l.scale - scale) < 1e-9);
        QTEST(l.baseFont, "base");
        QTEST(l.titleFont, "title");
        QFETCH(QList<int>, param);
        QCOMPARE(l.paramPage.has_value(), !param.isEmpty());
        if (l.paramPage)
            QCOMPARE((QList<int>{l.paramPage->font, l.paramPage->fieldColumn, l.paramPage->groupWidth,
                                 l.paramPage->referenceWidth}),
                     param);
        QTEST(l.pageControl1.value_or(QRect()), "pc1");
        QTEST(l.pageControl2.value_or(QRect()), "pc2");
        QTEST(l.window, "window");
        QCOMPARE(menuItem(l.item), menuItem(forItem(l.item).item));
    }

    // The start layout by the screen's available area, not its width alone.
    void startLayoutByAvailableArea_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<int>("width");
        QTest::newRow("1280x800 laptop: 1024") << QSize(1280, 800) << QRect(0, 0, 1280, 770) << 1024;
        QTest::newRow("1280x1024 with a task bar") << QSize(1280, 1024) << QRect(0, 0, 1280, 994) << 1280;
        QTest::newRow("1024x768 with a task bar") << QSize(1024, 768) << QRect(0, 0, 1024, 738) << 1024;
        QTest::newRow("1024x768, a task bar at the side")
            << QSize(1024, 768) << QRect(60, 0, 964, 768) << 800;
        QTest::newRow("1152x864") << QSize(1152, 864) << QRect(0, 0, 1152, 834) << 1152;
        QTest::newRow("1600x1200: 1600") << QSize(1600, 1200) << QRect(0, 0, 1600, 1170) << 1600;
        QTest::newRow("1600x900: 1152") << QSize(1600, 900) << QRect(0, 0, 1600, 870) << 1152;
        QTest::newRow("1366x768: own width") << QSize(1366, 768) << QRect(0, 0, 1366, 738) << 1366;
        QTest::newRow("1280x720: 800") << QSize(1280, 720) << QRect(0, 0, 1280, 690) << 800;
        QTest::newRow("1366x600, a tall task bar: 720") << QSize(1366, 600) << QRect(0, 0, 1366, 540) << 720;
        QTest::newRow("800x600") << QSize(800, 600) << QRect(0, 0, 800, 570) << 800;
        QTest::newRow("640x480") << QSize(640, 480) << QRect(0, 0, 640, 450) << 640;
        QTest::newRow("smaller than any: 640") << QSize(600, 400) << QRect(0, 0, 600, 380) << 640;
    }

    void startLayoutByAvailableArea() {
        QFETCH(QSize, screen);
        QFETCH(QRect, available);
        QTEST(startWidth(screen, available), "width");
    }

    void windowRules() {
        // 1366 screen: the start layout keeps the window as it is and checks 800x600.
        const WindowRule wide = windowRule(1366, QSize(1366, 768));
        QVERIFY(wide.mode == WindowRule::Mode::Unchanged);
        QCOMPARE(menuItem(forWidth(1366).item), QStringLiteral("CzcionkaDuza"));
        // 1600 screen: the 1280 layout in a centred 1278 x 1000 window, even on a 1600 screen.
        const WindowRule big = windowRule(1600, QSize(1600, 1200));
        QVERIFY(big.mode == WindowRule::Mode::Centred);
        QCOMPARE(big.size, QSize(1278, 1000));
        QCOMPARE(big.position, QPoint(161, 100));
        // The layout of the screen's own width fills the screen.
        QVERIFY(windowRule(1024, QSize(1024, 768)).mode == WindowRule::Mode::FullScreen);
        // A smaller layout on a wider screen: fixed size, no zoom box.
        const WindowRule small = windowRule(800, QSize(1024, 768));
        QVERIFY(small.mode == WindowRule::Mode::Fixed);
        QCOMPARE(small.size, QSize(800, 580));
        QCOMPARE(fullScreenGeometry(QSize(1024, 768), QRect(0, 0, 1024, 738)), QRect(2, 2, 1024, 738));
        // Centring rounds each half on its own: 1366/2 - 801/2 -> 683 - 400 (400.5 to even).
        QCOMPARE(centred(QSize(1366, 768), QSize(801, 590)), QPoint(283, 89));
    }

    void rounding() {
        QCOMPARE(roundHalfEven(2.5), 2);
        QCOMPARE(roundHalfEven(3.5), 4);
        QCOMPARE(roundHalfEven(-0.5), 0);
        QCOMPARE(scaled(QRect(1, 3, 5, 7), 0.5), QRect(0, 2, 2, 4));
        // The factors are 48-bit reals just below 0.7 and 0.9, so these products round down.
        QCOMPARE(roundHalfEven(forWidth(640).scale * 25), 17);
        QCOMPARE(roundHalfEven(forWidth(720).scale * 25), 22);
        QCOMPARE(real48(0.5), 0.5);
        QVERIFY(qAbs(real48(1.468) - 1.468) < 1e-11);
    }

    void paramPageNumbers_data() {
        QTest::addColumn<int>("font");
        QTest::addColumn<QList<int>>("fonts");   // field, combo, long label, check label
        QTest::addColumn<QList<int>>("heights"); // left column then right column
        QTest::addColumn<QSize>("window");
        QTest::addColumn<int>("infoFont");
        QTest::addColumn<int>("leftColumn");
        QTest::newRow("F 8") << 8 << QList<int>{10, 10, 8, 7} << QList<int>{103, 63, 194, 135, 85, 63}
                             << QSize(644, 460) << 12 << 4;
        QTest::newRow("F 12") << 12 << QList<int>{12, 9, 12, 10} << QList<int>{121, 73, 227, 157, 100, 73}
                              << QSize(800, 590) << 16 << 20;
        QTest::newRow("F 16") << 16 << QList<int>{12, 11, 16, 13} << QList<int>{147, 90, 276, 192, 122, 90}
                              << QSize(1000, 760) << 20 << 20;
        QTest::newRow("F 21") << 21 << QList<int>{15, 14, 16, 16} << QList<int>{196, 119, 369, 256, 162, 119}
                              << QSize(1260, 1024) << 23 << 20;
    }

    void paramPageNumbers() {
        QFETCH(int, font);
        const ParamPageMetrics m = paramPageMetrics(font);
        QFETCH(QList<int>, fonts);
        QFETCH(QList<int>, heights);
        QCOMPARE((QList<int>{m.fieldFont(), m.comboFont(), m.longLabelFont(), m.checkLabelFont()}), fonts);
        const GroupHeights g = groupHeights(font);
        QCOMPARE((QList<int>{g.left[0], g.left[1], g.left[2], g.right[0], g.right[1], g.right[2]}), heights);
        QTEST(m.window, "window");
        QTEST(m.infoFont, "infoFont");
        QTEST(m.leftColumn, "leftColumn");
        QCOMPARE(m.infoRightGap, font == 8 ? 20 : 30);
        QCOMPARE(rightColumnLeft(640), 281);
        QCOMPARE(rightColumnLeft(800), 351);
    }

    void fontsByKind() {
        const Layout small = forWidth(640), big = forWidth(1280);
        // Labels: base size, plain below 10 points.
        FontSizes f = fontsFor(ControlKind::Label, QStringLiteral("Label26"), small);
        QCOMPARE(f.main, 8);
        QVERIFY(f.plain);
        f = fontsFor(ControlKind::Label, QStringLiteral("Label26"), big);
        QCOMPARE(f.main, 16);
        QVERIFY(!f.plain);
        QCOMPARE(fontsFor(ControlKind::Label, QStringLiteral("Label105"), big).main, 20);  // title
        QCOMPARE(fontsFor(ControlKind::Label, QStringLiteral("Label11"), big).main, 29);   // 1.608 x 18
        QCOMPARE(fontsFor(ControlKind::Label, QStringLiteral("Label89"), small).main, 14); // 0.7 x 20
        QCOMPARE(fontsFor(ControlKind::Label, QStringLiteral("TranserrorLabel"), big).main,
                 32); // twice the base
        // Meters: the engine-speed meter reads two points larger; units one less.
        f = fontsFor(ControlKind::RoundMeter, QStringLiteral("obrotomierz"), big);
        QCOMPARE(f.main, 18);
        QCOMPARE(f.unit, 17);
        f = fontsFor(ControlKind::HalfMeter, QStringLiteral("Gauge4"), big);
        QCOMPARE(f.main, 16);
        QCOMPARE(f.scale, 16);
        QCOMPARE(f.unit, 15);
        QCOMPARE(fontsFor(ControlKind::Lamp, QStringLiteral("GasLed"), big).lampHeight, 40);
        QCOMPARE(fontsFor(ControlKind::VerticalGauge, QStringLiteral("Gauge3"), big).main, 18);
        QCOMPARE(fontsFor(ControlKind::NoFont, QStringLiteral("Scope1"), big).main, 0);
        // Kinds decided by name.
        QVERIFY(kindByName(QStringLiteral("SRCheckBox5")) == ControlKind::PositionOnly);
        QVERIFY(kindByName(QStringLiteral("Thermometer1")) == ControlKind::Thermometer);
        QVERIFY(kindByName(QStringLiteral("GasLed")) == ControlKind::Lamp);
        QVERIFY(kindByName(QStringLiteral("GradPanel2")) == ControlKind::NoFont);
        QVERIFY(!kindByName(QStringLiteral("Label26")));
    }
};

QTEST_GUILESS_MAIN(TestLayouts)
#include "tst_layouts.moc"
