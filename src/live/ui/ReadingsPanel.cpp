#include "live/ui/ReadingsPanel.h"

#include "live/LiveDecode.h"
#include "live/ui/Instruments.h"
#include "live/ui/LiveViews.h"
#include "live/ui/WizualizacjaPage.h"
#include "shell/Session.h"
#include "widgets/TColor.h"
#include "widgets/TLedBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>

namespace {
QLabel* caption(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
QLabel* value(QWidget* parent, const QString& name) {
    auto* l = new QLabel(QStringLiteral("0"), parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(70);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}
} // namespace

ReadingsPanel::ReadingsPanel(Session& session, QWidget* parent) : QGroupBox(parent), session_(session) {
    setObjectName(QStringLiteral("GroupBox1"));
    LiveViews::of(session_).readings = this;

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(3);
    int row = 0;
    auto addRow = [&](QLabel*& cap, QLabel*& val, const char* capName, const QString& text,
                      const char* valName) {
        cap = caption(this, QString::fromLatin1(capName), text);
        val = value(this, QString::fromLatin1(valName));
        grid->addWidget(cap, row, 0);
        grid->addWidget(val, row, 1);
        ++row;
    };
    addRow(LambdaLabel, ZmiennaLambda, "LambdaLabel", QStringLiteral("Lambda"), "ZmiennaLambda");
    ZmiennaLambda->setText(QStringLiteral("0.00"));
    LEDMeter2 = new TLedBar(this);
    LEDMeter2->setObjectName(QStringLiteral("LEDMeter2"));
    LEDMeter2->setNumDigits(20);
    LEDMeter2->setSingleLED(true);
    LEDMeter2->setDirection(Direction::mdRight);
    LEDMeter2->setFixedHeight(18);
    LEDMeter2->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    grid->addWidget(LEDMeter2, row++, 0, 1, 2);
    addRow(ZmiennaTPSLabel, ZmiennaTPS, "ZmiennaTPSLabel", QStringLiteral("TPS"), "ZmiennaTPS");
    ZmiennaTPS->setText(QStringLiteral("0.00"));
    addRow(ZmiennaTemperaturaLabel, ZmiennaTemperatura, "ZmiennaTemperaturaLabel",
           QStringLiteral("Temperatura"), "ZmiennaTemperatura");
    addRow(ZmiennaPoziomGazuLabel, ZmiennaPoziomGazu, "ZmiennaPoziomGazuLabel", QStringLiteral("Poziom Gazu"),
           "ZmiennaPoziomGazu");
    // Hidden in the window definition.
    ZmiennaPoziomGazuLabel->setVisible(false);
    ZmiennaPoziomGazu->setVisible(false);
    addRow(ZmiennaObrotyLabel, ZmiennaObroty, "ZmiennaObrotyLabel", QStringLiteral("Obroty"),
           "ZmiennaObroty");
    addRow(ZmiennaSilnikKrokowyLabel, ZmiennaSilnikKrokowy, "ZmiennaSilnikKrokowyLabel",
           QStringLiteral("Silnik Krokowy"), "ZmiennaSilnikKrokowy");
    addRow(aktZasilanieLabel, ZmiennaGazBenzyna, "aktZasilanieLabel", QStringLiteral("Aktualne zasilanie"),
           "ZmiennaGazBenzyna");
    grid->setRowStretch(row, 1);
    refreshPetrolGasCaption();
    applyProbeKindScaling(-1);

    if (session_.timers.TimerParamOdcz)
        connect(session_.timers.TimerParamOdcz, &QTimer::timeout, this, &ReadingsPanel::TimerParamOdczTimer);
}

void ReadingsPanel::applyProbeKindScaling() {
    applyProbeKindScaling(currentProbeKind(session_));
}

void ReadingsPanel::applyProbeKindScaling(int probeKind) {
    const live::ProbeScale s = live::probeScale(probeKind);
    upperEnd_ = s.upperEnd;
    liveui::applyLedScale(LEDMeter2, s);
    if (WizualizacjaPage* live = LiveViews::of(session_).live) live->applyChartScale(s);
}

void ReadingsPanel::showEvent(QShowEvent* e) {
    QGroupBox::showEvent(e);
    applyProbeKindScaling();
}

void ReadingsPanel::showTemperatureInstruments(bool visible) {
    ZmiennaTemperatura->setVisible(visible);
    ZmiennaTemperaturaLabel->setVisible(visible);
}

void ReadingsPanel::refreshPetrolGasCaption() {
    const bool petrol = LiveViews::of(session_).petrol;
    liveui::setTextIfChanged(ZmiennaGazBenzyna, petrol ? petrolText(session_) : gasText(session_));
    const QColor colour = tColor(petrol ? live::ColorRed : live::ColorGreen);
    if (ZmiennaGazBenzyna->palette().color(QPalette::WindowText) != colour) {
        QPalette p = ZmiennaGazBenzyna->palette();
        p.setColor(QPalette::WindowText, colour);
        ZmiennaGazBenzyna->setPalette(p);
    }
}

void ReadingsPanel::TimerParamOdczTimer() {
    // Shown whatever the poll reports: this panel decodes the buffer as it is.
    session_.controller.PollLiveFrame();
    const live::Readings r = decodeReceivedFrame(session_);

    liveui::setTextIfChanged(ZmiennaLambda, r.lambdaVolts);
    LEDMeter2->setPosition(live::lambdaLedPosition(upperEnd_, r.lambdaRaw));
    liveui::setTextIfChanged(ZmiennaTPS, r.tpsVolts);
    if (r.temperature) {
        if (WizualizacjaPage* live = LiveViews::of(session_).live)
            live->setThermometerDigit(*r.temperatureRaw);
        liveui::setTextIfChanged(ZmiennaTemperatura, QString::number(*r.temperature));
    }
    if (r.gas)
        liveui::setTextIfChanged(ZmiennaPoziomGazu, QString::number(r.gas->percent) + QStringLiteral(" %"));
    if (r.speedPanel) liveui::setTextIfChanged(ZmiennaObroty, QString::number(*r.speedPanel));
    liveui::setTextIfChanged(ZmiennaSilnikKrokowy, QString::number(r.stepper));
    LiveViews::of(session_).petrol = r.petrol;
    refreshPetrolGasCaption();
}
