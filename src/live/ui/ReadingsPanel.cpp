#include "live/ui/ReadingsPanel.h"

#include "live/LiveDecode.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/ui/Instruments.h"
#include "params/ParameterModel.h"
#include "shell/ShellTexts.h"
#include "widgets/TColor.h"
#include "widgets/TLedBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>

namespace {
QLabel* caption(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    // The panel may stand in a narrow column: a long caption takes two lines.
    l->setWordWrap(true);
    return l;
}
QLabel* value(QWidget* parent, const QString& name) {
    auto* l = new QLabel(QStringLiteral("0"), parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}
} // namespace

ReadingsPanel::ReadingsPanel(Models models, QWidget* parent) : QGroupBox(parent), m_(models) {
    setObjectName(QStringLiteral("GroupBox1"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
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
    // The fuel in use under its caption: the panel is narrow and "Benzyna" in bold must fit.
    aktZasilanieLabel =
        caption(this, QStringLiteral("aktZasilanieLabel"), QStringLiteral("Aktualne zasilanie"));
    ZmiennaGazBenzyna = value(this, QStringLiteral("ZmiennaGazBenzyna"));
    grid->addWidget(aktZasilanieLabel, row++, 0, 1, 2);
    grid->addWidget(ZmiennaGazBenzyna, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    setTextSize(0);
    refreshPetrolGasCaption();
    applyProbeKindScaling(-1);
    applyFeatures(m_.live.features());

    connect(&m_.liveSession, &LiveSession::panelRead, this, &ReadingsPanel::showReadings);
    // The bar follows the probe kind of every fill of the page.
    connect(&m_.params, &ParameterModel::filled, this, [this] { applyProbeKindScaling(); });
    connect(&m_.live, &LiveModel::featuresChanged, this, &ReadingsPanel::applyFeatures);
    connect(&m_.live, &LiveModel::petrolChanged, this, [this] { refreshPetrolGasCaption(); });
    connect(&m_.shell, &ShellModel::textsChanged, this, [this] { refreshPetrolGasCaption(); });
}

void ReadingsPanel::setTextSize(int points) {
    QList<QWidget*> texts{this};
    for (QLabel* l : findChildren<QLabel*>())
        texts << l;
    for (QWidget* w : texts) {
        if (points <= 0) break; // the window's type as it is
        QFont f = w->font();
        f.setPointSize(points);
        w->setFont(f);
    }
    // The values' column as wide as four digits, so it does not jump while
    // they change; the captions take the rest and wrap when it is too little.
    const int digits = QFontMetrics(ZmiennaObroty->font()).horizontalAdvance(QStringLiteral("0000"));
    for (QLabel* v : {ZmiennaLambda, ZmiennaTPS, ZmiennaTemperatura, ZmiennaPoziomGazu, ZmiennaObroty,
                      ZmiennaSilnikKrokowy})
        v->setMinimumWidth(digits);
}

void ReadingsPanel::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    // A wrapped caption needs its second line: the panel asks for the height
    // its width takes rather than being squeezed by the buttons below it.
    const int h = layout()->totalHeightForWidth(width());
    if (h > 0 && minimumHeight() != h) setMinimumHeight(h);
}

void ReadingsPanel::applyProbeKindScaling() {
    applyProbeKindScaling(m_.live.probeKind());
}

void ReadingsPanel::applyProbeKindScaling(int probeKind) {
    const live::ProbeScale s = live::probeScale(probeKind);
    upperEnd_ = s.upperEnd;
    liveui::applyLedScale(LEDMeter2, s);
}

void ReadingsPanel::applyFeatures(const live::VersionFeatures& f) {
    ZmiennaTemperatura->setVisible(f.temperatureInstruments);
    ZmiennaTemperaturaLabel->setVisible(f.temperatureInstruments);
}

void ReadingsPanel::refreshPetrolGasCaption() {
    const bool petrol = m_.live.petrol();
    liveui::setTextIfChanged(ZmiennaGazBenzyna,
                             petrol ? m_.shell.text(textkey::Petrol, QStringLiteral("Benzyna"))
                                    : m_.shell.text(textkey::Gas, QStringLiteral("Gaz")));
    const QColor colour = tColor(petrol ? live::ColorRed : live::ColorGreen);
    if (ZmiennaGazBenzyna->palette().color(QPalette::WindowText) != colour) {
        QPalette p = ZmiennaGazBenzyna->palette();
        p.setColor(QPalette::WindowText, colour);
        ZmiennaGazBenzyna->setPalette(p);
    }
}

void ReadingsPanel::showReadings(const live::Readings& r) {
    liveui::setTextIfChanged(ZmiennaLambda, r.lambdaVolts);
    LEDMeter2->setPosition(live::lambdaLedPosition(upperEnd_, r.lambdaRaw));
    liveui::setTextIfChanged(ZmiennaTPS, r.tpsVolts);
    if (r.temperature) liveui::setTextIfChanged(ZmiennaTemperatura, QString::number(*r.temperature));
    if (r.gas)
        liveui::setTextIfChanged(ZmiennaPoziomGazu, QString::number(r.gas->percent) + QStringLiteral(" %"));
    if (r.speedPanel) liveui::setTextIfChanged(ZmiennaObroty, QString::number(*r.speedPanel));
    liveui::setTextIfChanged(ZmiennaSilnikKrokowy, QString::number(r.stepper));
}
