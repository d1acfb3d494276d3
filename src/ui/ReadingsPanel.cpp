#include "ui/ReadingsPanel.h"
#include "core/Controls.h"

#include "ui/Instruments.h"
#include "widgets/TColor.h"
#include "widgets/TLedBar.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>

using Id = ctl::ControlId;

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

ReadingsPanel::ReadingsPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName(ctl::name(Id::GroupBox1));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    int row = 0;
    auto addRow = [&](QLabel*& cap, QLabel*& val, Id capName, const QString& text, Id valName) {
        cap = caption(this, ctl::name(capName), text);
        val = value(this, ctl::name(valName));
        grid->addWidget(cap, row, 0);
        grid->addWidget(val, row, 1);
        ++row;
    };
    addRow(LambdaLabel, ZmiennaLambda, Id::LambdaLabel, QStringLiteral("Lambda"), Id::ZmiennaLambda);
    ZmiennaLambda->setText(QStringLiteral("0.00"));
    LEDMeter2 = new TLedBar(this);
    LEDMeter2->setObjectName(ctl::name(Id::LEDMeter2));
    LEDMeter2->setNumDigits(20);
    LEDMeter2->setSingleLED(true);
    LEDMeter2->setDirection(Direction::mdRight);
    LEDMeter2->setFixedHeight(18);
    LEDMeter2->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    grid->addWidget(LEDMeter2, row++, 0, 1, 2);
    addRow(ZmiennaTPSLabel, ZmiennaTPS, Id::ZmiennaTPSLabel, QStringLiteral("TPS"), Id::ZmiennaTPS);
    ZmiennaTPS->setText(QStringLiteral("0.00"));
    addRow(ZmiennaTemperaturaLabel, ZmiennaTemperatura, Id::ZmiennaTemperaturaLabel,
           QStringLiteral("Temperatura"), Id::ZmiennaTemperatura);
    addRow(ZmiennaPoziomGazuLabel, ZmiennaPoziomGazu, Id::ZmiennaPoziomGazuLabel,
           QStringLiteral("Poziom Gazu"), Id::ZmiennaPoziomGazu);
    // Hidden in the window definition.
    ZmiennaPoziomGazuLabel->setVisible(false);
    ZmiennaPoziomGazu->setVisible(false);
    addRow(ZmiennaObrotyLabel, ZmiennaObroty, Id::ZmiennaObrotyLabel, QStringLiteral("Obroty"),
           Id::ZmiennaObroty);
    addRow(ZmiennaSilnikKrokowyLabel, ZmiennaSilnikKrokowy, Id::ZmiennaSilnikKrokowyLabel,
           QStringLiteral("Silnik Krokowy"), Id::ZmiennaSilnikKrokowy);
    // The fuel in use under its caption: the panel is narrow and "Benzyna" in bold must fit.
    aktZasilanieLabel = caption(this, ctl::name(Id::aktZasilanieLabel), QStringLiteral("Aktualne zasilanie"));
    ZmiennaGazBenzyna = value(this, ctl::name(Id::ZmiennaGazBenzyna));
    grid->addWidget(aktZasilanieLabel, row++, 0, 1, 2);
    grid->addWidget(ZmiennaGazBenzyna, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    setTextSize(0);
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

void ReadingsPanel::applyProbeScale(const live::ProbeScale& s) {
    upperEnd_ = s.upperEnd;
    liveui::applyLedScale(LEDMeter2, s);
}

void ReadingsPanel::showTemperature(bool shown) {
    ZmiennaTemperatura->setVisible(shown);
    ZmiennaTemperaturaLabel->setVisible(shown);
}

void ReadingsPanel::showFuel(bool petrol, const QString& caption) {
    liveui::setTextIfChanged(ZmiennaGazBenzyna, caption);
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
