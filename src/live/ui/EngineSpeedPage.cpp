#include "live/ui/EngineSpeedPage.h"
#include "core/Controls.h"

#include "live/IgnitionPage.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParameterModel.h"
#include "ui/Instruments.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"
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
    GradPanel1 = new TGradientPanel(this);
    GradPanel1->setObjectName(ctl::name(Id::GradPanel1));
    GradPanel1->setGeometry(0, 0, 795, 490);
    GradPanel4 = new TGradientPanel(GradPanel1);
    GradPanel4->setObjectName(ctl::name(Id::GradPanel4));
    GradPanel4->setGeometry(6, 6, 370, 470);
    GradPanel5 = new TGradientPanel(GradPanel1);
    GradPanel5->setObjectName(ctl::name(Id::GradPanel5));
    GradPanel5->setGeometry(382, 6, 370, 470);
    for (TGradientPanel* g : {GradPanel1, GradPanel4, GradPanel5})
        liveui::setLightGradient(g);

    QWidget* left = GradPanel4;
    Label91 = liveui::makeLabel(left, ctl::name(Id::Label91), QStringLiteral("Wybor ukladu zapłonowego"), 8,
                                6, 354, 80, 15, true);
    Label91->setWordWrap(true);
    ComboBox2 = new QComboBox(left);
    ComboBox2->setObjectName(ctl::name(Id::ComboBox2));
    ComboBox2->addItems(live::ignitionSystemItems());
    ComboBox2->setGeometry(12, 92, 300, 30);
    QFont cf = ComboBox2->font();
    cf.setPointSize(11);
    ComboBox2->setFont(cf);
    ComboBox2->setCurrentIndex(m_.live.ignitionChoice());

    WyborUkladuLabel = liveui::makeLabel(
        left, ctl::name(Id::WyborUkladuLabel),
        QStringLiteral(
            "Wybierz rodzaj układu zapłonowego, tak aby wartość pokazywana była zgodna z faktycznymi "
            "obrotami silnika samochodu"),
        8, 130, 354, 196, 13, false);
    WyborUkladuLabel->setWordWrap(true);
    WyborUkladuLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OdczytUkladuButt = new TColorButton(left);
    OdczytUkladuButt->setObjectName(ctl::name(Id::OdczytUkladuButt));
    OdczytUkladuButt->setText(QStringLiteral("Odczyt układu zapłonowego"));
    OdczytUkladuButt->setGeometry(12, 330, 300, 44);
    QFont bf = OdczytUkladuButt->font();
    bf.setPointSize(10);
    bf.setBold(true);
    OdczytUkladuButt->setFont(bf);
    connect(OdczytUkladuButt, &TColorButton::clicked, this, [this] {
        m_.liveSession.OdczytUkladuButtClick();
        ComboBox2->setFocus();
    });

    GroupBoxAnalog = new QGroupBox(left);
    GroupBoxAnalog->setObjectName(ctl::name(Id::GroupBoxAnalog));
    GroupBoxAnalog->setGeometry(12, 382, 340, 80);
    ProgAnalogTxt = liveui::makeLabel(GroupBoxAnalog, ctl::name(Id::ProgAnalogTxt),
                                      QStringLiteral("Próg analogowy obrotów"), 8, 10, 324, 26, 10, true);
    Edit23 = new QComboBox(GroupBoxAnalog);
    Edit23->setObjectName(ctl::name(Id::Edit23));
    Edit23->setEditable(true);
    Edit23->addItems(live::analogThresholdItems());
    Edit23->lineEdit()->setMaxLength(3);
    Edit23->setInsertPolicy(QComboBox::NoInsert);
    Edit23->setGeometry(12, 42, 120, 28);
    Edit23->setEditText(m_.params.pageValue(ParamId::AnalogThreshold));
    GroupBoxAnalog->setVisible(m_.liveSession.analogCapable());

    gauge1 = new TRoundMeter(GradPanel5);
    gauge1->setObjectName(ctl::name(Id::gauge1));
    gauge1->setGeometry(15, 10, 340, 340);
    liveui::setupSpeedMeter(gauge1, QStringLiteral("Obroty"));
    Panelobroty = liveui::makePanel(GradPanel5, ctl::name(Id::Panelobroty), 95, 366, 180, 50, 22);
    Panelobroty->setText(QStringLiteral("0"));

    // The fitter's choices go to the session; the controller gets them when the page is left.
    connect(ComboBox2, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_.liveSession.chooseIgnition(index); });
    connect(Edit23, &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_.liveSession.setThreshold(t, false); });
    connect(Edit23->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& t) { m_.liveSession.setThreshold(t, true); });
    connect(Edit23, &QComboBox::activated, this,
            [this] { m_.liveSession.setThreshold(Edit23->currentText(), true); });
    connect(&m_.live, &LiveModel::ignitionChoiceChanged, this, &EngineSpeedPage::showIgnitionChoice);
    connect(&m_.params, &ParameterModel::pageValueChanged, this, [this](ParamId id) {
        if (id != ParamId::AnalogThreshold) return;
        const QString t = m_.params.pageValue(id);
        if (Edit23->currentText() != t) Edit23->setEditText(t);
    });
    connect(&m_.params, &ParameterModel::filled, this, [this] {
        const QString t = m_.params.pageValue(ParamId::AnalogThreshold);
        if (!t.isEmpty() && Edit23->currentText() != t) Edit23->setEditText(t);
    });
    connect(&m_.liveSession, &LiveSession::analogCapabilityChanged, GroupBoxAnalog, &QGroupBox::setVisible);
    connect(&m_.liveSession, &LiveSession::engineSpeedRead, this, [this](const live::SpeedReadout& s) {
        gauge1->setDigit(s.digit);
        liveui::setTextIfChanged(Panelobroty, s.panel);
    });
}

void EngineSpeedPage::showIgnitionChoice(int index) {
    if (ComboBox2->currentIndex() != index) ComboBox2->setCurrentIndex(index);
}

void EngineSpeedPage::enterPage() {
    m_.liveSession.enterEngineSpeedPage();
    ComboBox2->setFocus();
}

void EngineSpeedPage::leaveSteps() {
    // On a controller with the threshold, the fitter's choice in Edit23 reaches
    // it however the page is left, before the ignition write.
    m_.liveSession.leaveEngineSpeedPage();
}
