#pragma once
// Rules of the instrument widgets: value mapping, sectors, markers, LED bar
// zones, chart sweep geometry, button hover colours, lamp flashing, the
// cached static parts of the meters, repaints only on visible change, and a
// painting smoke test of every widget.
#include "widgets/DialPaint.h"
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
#include "widgets/TReadout.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TSweepChart.h"
#include "widgets/TTankGauge.h"
#include "widgets/TThermometer.h"

#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The engine-speed meter as the live page sets it up.
inline void setupSpeed(TAnalogGauge& m) {
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

inline int countDifferent(const QImage& img, QRgb background) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != background) ++n;
    return n;
}

inline int countColour(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

inline QImage shot(QWidget& w) {
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

inline TAnalogGauge* makeGauge(const QString& kind) {
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
    void sweepPacedByValues();
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
    void needleImageMatchesDirectPainting_data();
    void needleImageMatchesDirectPainting();
    void paintSmoke_data();
    void paintSmoke();
};
