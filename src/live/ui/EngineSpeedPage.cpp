#include "live/ui/EngineSpeedPage.h"
#include "core/Controls.h"

#include "live/IgnitionPage.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParameterModel.h"
#include "ui/Instruments.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"
#include "widgets/TReadout.h"
#include "widgets/TRoundMeter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using Id = ctl::ControlId;

EngineSpeedPage::EngineSpeedPage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(ctl::name(Id::ObrotyTab));

    // Backgrounds: the whole page, the choice column and the meter column.
    // Designed 756 pixels wide: every layout's page control holds it scaled.
    // The captions' boxes hold their text in the type the layouts give them
    // (20 points for the two captions at this size), in every language.
    gradPanel1_ = ctl::make<TGradientPanel>(Id::GradPanel1, this);
    gradPanel4_ = ctl::make<TGradientPanel>(Id::GradPanel4, gradPanel1_);
    gradPanel5_ = ctl::make<TGradientPanel>(Id::GradPanel5, gradPanel1_);
    for (TGradientPanel* g : {gradPanel1_, gradPanel4_, gradPanel5_})
        liveui::setLightGradient(g);

    QWidget* left = gradPanel4_;
    label91_ = liveui::makeLabel(left, Id::Label91, QStringLiteral("Wybor ukladu zapłonowego"), 15, true);
    label91_->setWordWrap(true);
    comboBox2_ = ctl::make<QComboBox>(Id::ComboBox2, left);
    comboBox2_->addItems(live::ignitionSystemItems());
    QFont cf = comboBox2_->font();
    cf.setPointSize(11);
    comboBox2_->setFont(cf);
    comboBox2_->setCurrentIndex(m_.live.ignitionChoice());

    wyborUkladuLabel_ = liveui::makeLabel(
        left, Id::WyborUkladuLabel,
        QStringLiteral(
            "Wybierz rodzaj układu zapłonowego, tak aby wartość pokazywana była zgodna z faktycznymi "
            "obrotami silnika samochodu"),
        13, false);
    wyborUkladuLabel_->setWordWrap(true);
    wyborUkladuLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    odczytUkladuButt_ = ctl::make<TColorButton>(Id::OdczytUkladuButt, left);
    odczytUkladuButt_->setText(QStringLiteral("Odczyt układu zapłonowego"));
    QFont bf = odczytUkladuButt_->font();
    bf.setPointSize(10);
    bf.setBold(true);
    odczytUkladuButt_->setFont(bf);
    connect(odczytUkladuButt_, &TColorButton::clicked, this, [this] {
        m_.liveSession.OdczytUkladuButtClick();
        comboBox2_->setFocus();
    });

    groupBoxAnalog_ = ctl::make<QGroupBox>(Id::GroupBoxAnalog, left);
    progAnalogTxt_ = liveui::makeLabel(groupBoxAnalog_, Id::ProgAnalogTxt,
                                       QStringLiteral("Próg analogowy obrotów"), 10, true);
    edit23_ = ctl::make<QComboBox>(Id::Edit23, groupBoxAnalog_);
    edit23_->setEditable(true);
    edit23_->addItems(live::analogThresholdItems());
    edit23_->lineEdit()->setMaxLength(3);
    edit23_->setInsertPolicy(QComboBox::NoInsert);
    edit23_->setEditText(m_.params.pageValue(ParamId::AnalogThreshold));
    groupBoxAnalog_->setVisible(m_.liveSession.analogCapable());

    gauge1_ = ctl::make<TRoundMeter>(Id::gauge1, gradPanel5_);
    liveui::setupSpeedMeter(gauge1_, QStringLiteral("Obroty"));
    panelobroty_ = liveui::makePanel(gradPanel5_, Id::Panelobroty, 22);
    panelobroty_->setText(QStringLiteral("0"));

    // The fitter's choices go to the session; the controller gets them when the page is left.
    connect(comboBox2_, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_.liveSession.chooseIgnition(index); });
    connect(edit23_, &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_.liveSession.setThreshold(t, false); });
    connect(edit23_->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& t) { m_.liveSession.setThreshold(t, true); });
    connect(edit23_, &QComboBox::activated, this,
            [this] { m_.liveSession.setThreshold(edit23_->currentText(), true); });
    connect(&m_.live, &LiveModel::ignitionChoiceChanged, this, &EngineSpeedPage::showIgnitionChoice);
    connect(&m_.params, &ParameterModel::pageValueChanged, this, [this](ParamId id) {
        if (id != ParamId::AnalogThreshold) return;
        const QString t = m_.params.pageValue(id);
        if (edit23_->currentText() != t) edit23_->setEditText(t);
    });
    connect(&m_.params, &ParameterModel::filled, this, [this] {
        const QString t = m_.params.pageValue(ParamId::AnalogThreshold);
        if (!t.isEmpty() && edit23_->currentText() != t) edit23_->setEditText(t);
    });
    connect(&m_.liveSession, &LiveSession::analogCapabilityChanged, groupBoxAnalog_, &QGroupBox::setVisible);
    connect(&m_.liveSession, &LiveSession::engineSpeedRead, this, [this](const live::SpeedReadout& s) {
        gauge1_->setDigit(s.digit);
        panelobroty_->setText(s.panel);
    });
}

void EngineSpeedPage::showIgnitionChoice(int index) {
    if (comboBox2_->currentIndex() != index) comboBox2_->setCurrentIndex(index);
}

void EngineSpeedPage::enterPage() {
    m_.liveSession.enterEngineSpeedPage();
    comboBox2_->setFocus();
}

void EngineSpeedPage::leaveSteps() {
    // On a controller with the threshold, the fitter's choice in Edit23 reaches
    // it however the page is left, before the ignition write.
    m_.liveSession.leaveEngineSpeedPage();
}
