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
    addRow(lambdaLabel_, zmiennaLambda_, Id::LambdaLabel, QStringLiteral("Lambda"), Id::ZmiennaLambda);
    zmiennaLambda_->setText(QStringLiteral("0.00"));
    ledMeter2_ = ctl::make<TLedBar>(Id::LEDMeter2, this);
    ledMeter2_->setNumDigits(20);
    ledMeter2_->setSingleLED(true);
    ledMeter2_->setDirection(Direction::mdRight);
    ledMeter2_->setFixedHeight(18);
    ledMeter2_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    grid->addWidget(ledMeter2_, row++, 0, 1, 2);
    addRow(zmiennaTPSLabel_, zmiennaTPS_, Id::ZmiennaTPSLabel, QStringLiteral("TPS"), Id::ZmiennaTPS);
    zmiennaTPS_->setText(QStringLiteral("0.00"));
    addRow(zmiennaTemperaturaLabel_, zmiennaTemperatura_, Id::ZmiennaTemperaturaLabel,
           QStringLiteral("Temperatura"), Id::ZmiennaTemperatura);
    addRow(zmiennaPoziomGazuLabel_, zmiennaPoziomGazu_, Id::ZmiennaPoziomGazuLabel,
           QStringLiteral("Poziom Gazu"), Id::ZmiennaPoziomGazu);
    // Hidden in the window definition.
    zmiennaPoziomGazuLabel_->setVisible(false);
    zmiennaPoziomGazu_->setVisible(false);
    addRow(zmiennaObrotyLabel_, zmiennaObroty_, Id::ZmiennaObrotyLabel, QStringLiteral("Obroty"),
           Id::ZmiennaObroty);
    addRow(zmiennaSilnikKrokowyLabel_, zmiennaSilnikKrokowy_, Id::ZmiennaSilnikKrokowyLabel,
           QStringLiteral("Silnik Krokowy"), Id::ZmiennaSilnikKrokowy);
    // The fuel in use under its caption: the panel is narrow and "Benzyna" in bold must fit.
    aktZasilanieLabel_ =
        caption(this, ctl::name(Id::aktZasilanieLabel), QStringLiteral("Aktualne zasilanie"));
    zmiennaGazBenzyna_ = value(this, ctl::name(Id::ZmiennaGazBenzyna));
    grid->addWidget(aktZasilanieLabel_, row++, 0, 1, 2);
    grid->addWidget(zmiennaGazBenzyna_, row++, 0, 1, 2);
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
    const int digits = QFontMetrics(zmiennaObroty_->font()).horizontalAdvance(QStringLiteral("0000"));
    for (QLabel* v : {zmiennaLambda_, zmiennaTPS_, zmiennaTemperatura_, zmiennaPoziomGazu_, zmiennaObroty_,
                      zmiennaSilnikKrokowy_})
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
    liveui::applyLedScale(ledMeter2_, s);
}

void ReadingsPanel::showTemperature(bool shown) {
    zmiennaTemperatura_->setVisible(shown);
    zmiennaTemperaturaLabel_->setVisible(shown);
}

void ReadingsPanel::showFuel(bool petrol, const QString& caption) {
    liveui::setTextIfChanged(zmiennaGazBenzyna_, caption);
    const QColor colour = tColor(petrol ? live::ColorRed : live::ColorGreen);
    if (zmiennaGazBenzyna_->palette().color(QPalette::WindowText) != colour) {
        QPalette p = zmiennaGazBenzyna_->palette();
        p.setColor(QPalette::WindowText, colour);
        zmiennaGazBenzyna_->setPalette(p);
    }
}

void ReadingsPanel::showReadings(const live::Readings& r) {
    liveui::setTextIfChanged(zmiennaLambda_, r.lambdaVolts);
    ledMeter2_->setPosition(live::lambdaLedPosition(upperEnd_, r.lambdaRaw));
    liveui::setTextIfChanged(zmiennaTPS_, r.tpsVolts);
    if (r.temperature) liveui::setTextIfChanged(zmiennaTemperatura_, QString::number(*r.temperature));
    if (r.gas)
        liveui::setTextIfChanged(zmiennaPoziomGazu_, QString::number(r.gas->percent) + QStringLiteral(" %"));
    if (r.speedPanel) liveui::setTextIfChanged(zmiennaObroty_, QString::number(*r.speedPanel));
    liveui::setTextIfChanged(zmiennaSilnikKrokowy_, QString::number(r.stepper));
}
