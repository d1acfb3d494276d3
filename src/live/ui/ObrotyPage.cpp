#include "live/ui/ObrotyPage.h"

#include "link/ControllerLink.h"
#include "live/IgnitionPage.h"
#include "live/LiveJobs.h"
#include "live/LiveModel.h"
#include "live/ui/Instruments.h"
#include "params/ParameterModel.h"
#include "shell/PollTimers.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"
#include "widgets/TRoundMeter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

ObrotyPage::ObrotyPage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(QStringLiteral("ObrotyTab"));

    // Backgrounds: the whole page, the choice column and the meter column.
    // Designed 756 pixels wide: every layout's page control holds it scaled.
    // The captions' boxes hold their text in the type the layouts give them
    // (20 points for the two captions at this size), in every language.
    GradPanel1 = new TGradientPanel(this);
    GradPanel1->setObjectName(QStringLiteral("GradPanel1"));
    GradPanel1->setGeometry(0, 0, 795, 490);
    GradPanel4 = new TGradientPanel(GradPanel1);
    GradPanel4->setObjectName(QStringLiteral("GradPanel4"));
    GradPanel4->setGeometry(6, 6, 370, 470);
    GradPanel5 = new TGradientPanel(GradPanel1);
    GradPanel5->setObjectName(QStringLiteral("GradPanel5"));
    GradPanel5->setGeometry(382, 6, 370, 470);
    for (TGradientPanel* g : {GradPanel1, GradPanel4, GradPanel5})
        liveui::setLightGradient(g);

    QWidget* left = GradPanel4;
    Label91 = liveui::makeLabel(left, QStringLiteral("Label91"), QStringLiteral("Wybor ukladu zapłonowego"),
                                8, 6, 354, 80, 15, true);
    Label91->setWordWrap(true);
    ComboBox2 = new QComboBox(left);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems(live::ignitionSystemItems());
    ComboBox2->setGeometry(12, 92, 300, 30);
    QFont cf = ComboBox2->font();
    cf.setPointSize(11);
    ComboBox2->setFont(cf);
    ComboBox2->setCurrentIndex(m_.live.ignitionChoice());

    WyborUkladuLabel = liveui::makeLabel(
        left, QStringLiteral("WyborUkladuLabel"),
        QStringLiteral(
            "Wybierz rodzaj układu zapłonowego, tak aby wartość pokazywana była zgodna z faktycznymi "
            "obrotami silnika samochodu"),
        8, 130, 354, 196, 13, false);
    WyborUkladuLabel->setWordWrap(true);
    WyborUkladuLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OdczytUkladuButt = new TColorButton(left);
    OdczytUkladuButt->setObjectName(QStringLiteral("OdczytUkladuButt"));
    OdczytUkladuButt->setText(QStringLiteral("Odczyt układu zapłonowego"));
    OdczytUkladuButt->setGeometry(12, 330, 300, 44);
    QFont bf = OdczytUkladuButt->font();
    bf.setPointSize(10);
    bf.setBold(true);
    OdczytUkladuButt->setFont(bf);
    connect(OdczytUkladuButt, &TColorButton::clicked, this,
            [this] { m_.link.whenIdle(this, [this] { OdczytUkladuButtClick(); }); });

    GroupBoxAnalog = new QGroupBox(left);
    GroupBoxAnalog->setObjectName(QStringLiteral("GroupBoxAnalog"));
    GroupBoxAnalog->setGeometry(12, 382, 340, 80);
    ProgAnalogTxt = liveui::makeLabel(GroupBoxAnalog, QStringLiteral("ProgAnalogTxt"),
                                      QStringLiteral("Próg analogowy obrotów"), 8, 10, 324, 26, 10, true);
    Edit23 = new QComboBox(GroupBoxAnalog);
    Edit23->setObjectName(QStringLiteral("Edit23"));
    Edit23->setEditable(true);
    Edit23->addItems(live::analogThresholdItems());
    Edit23->lineEdit()->setMaxLength(3);
    Edit23->setInsertPolicy(QComboBox::NoInsert);
    Edit23->setGeometry(12, 42, 120, 28);
    Edit23->setEditText(m_.params.pageValue(ParamId::AnalogThreshold));
    GroupBoxAnalog->setVisible(false);

    gauge1 = new TRoundMeter(GradPanel5);
    gauge1->setObjectName(QStringLiteral("gauge1"));
    gauge1->setGeometry(15, 10, 340, 340);
    liveui::setupSpeedMeter(gauge1, QStringLiteral("Obroty"));
    Panelobroty = liveui::makePanel(GradPanel5, QStringLiteral("Panelobroty"), 95, 366, 180, 50, 22);
    Panelobroty->setText(QStringLiteral("0"));

    // The fitter's choices go to the models; the controller gets them when the page is left.
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_.live.setIgnitionChoice(index);
        // Every poll of this page converts with the constant of the list's choice.
        if (index >= 0 && index <= 5)
            m_.link.run(nullptr, [index](Controller& c) { c.setIgnitionIndex(index); });
    });
    connect(Edit23, &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_.params.setPageValue(ParamId::AnalogThreshold, t); });
    connect(Edit23->lineEdit(), &QLineEdit::textEdited, this, [this] { thresholdEdited_ = true; });
    connect(Edit23, &QComboBox::activated, this, [this] { thresholdEdited_ = true; });
    connect(&m_.live, &LiveModel::ignitionChoiceChanged, this, &ObrotyPage::showIgnitionChoice);
    connect(&m_.params, &ParameterModel::pageValueChanged, this, [this](ParamId id) {
        if (id != ParamId::AnalogThreshold) return;
        const QString t = m_.params.pageValue(id);
        if (Edit23->currentText() != t) Edit23->setEditText(t);
    });
    connect(&m_.params, &ParameterModel::filled, this, [this] {
        const QString t = m_.params.pageValue(ParamId::AnalogThreshold);
        if (!t.isEmpty() && Edit23->currentText() != t) Edit23->setEditText(t);
    });
    connect(&m_.link, &ControllerLink::stateChanged, this,
            [this](const LinkState& s) { GroupBoxAnalog->setVisible(s.analogCapable); });
    connect(&m_.link, &ControllerLink::framesPolled, this, &ObrotyPage::onFrames);
}

void ObrotyPage::showIgnitionChoice(int index) {
    if (ComboBox2->currentIndex() != index) ComboBox2->setCurrentIndex(index);
}

void ObrotyPage::enterPage() {
    live::postReadIgnition(m_.link, m_.live, this);
    m_.link.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
    m_.link.startPolling(polltimer::name(polltimer::Obr), polltimer::Obr.intervalMs);
    ComboBox2->setFocus();
    live::postAnalogThreshold(m_.link, m_.params, this);
}

void ObrotyPage::leaveSteps() {
    // On a controller with the threshold, the fitter's choice in Edit23 reaches
    // it however the page is left, before the ignition write. A threshold
    // never read (the set holds none), loaded nor typed is only the list's
    // start item: not written.
    const bool known = thresholdEdited_ || !m_.params.set()[ParamId::AnalogThreshold].isEmpty();
    if (m_.link.state().analogCapable && known)
        live::postThresholdOnLeave(m_.link, m_.params, Edit23->currentText());
}

void ObrotyPage::onFrames(const QString& timer, const QVector<LiveFrame>& frames) {
    if (timer != polltimer::name(polltimer::Obr)) return;
    for (const LiveFrame& f : frames)
        TimerObrTimer(f);
}

void ObrotyPage::TimerObrTimer(const LiveFrame& frame) {
    // A frame cut short, out of step or with a wrong checksum is no reading.
    if (!frame.ok) return;
    // The constant follows the list's choice; an index outside it keeps the last one.
    const int index = ComboBox2->currentIndex();
    const int constant = index >= 0 && index <= 5 ? Controller::ignitionConstantForIndex(index)
                                                  : m_.link.state().ignitionConstant;
    const live::Readings r = m_.live.decode(frame, constant);
    if (!r.speed) return;
    gauge1->setDigit(*r.speed);
    liveui::setTextIfChanged(Panelobroty, QString::number(*r.speedPanel));
}

void ObrotyPage::OdczytUkladuButtClick() {
    m_.link.stopPolling(polltimer::name(polltimer::Obr));
    live::postAnalogThreshold(m_.link, m_.params, this);
    m_.link.run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
    live::postVersionFeatures(m_.link, m_.live, this);
    m_.link.run(nullptr, [](Controller& c) { c.ReadVersion(); });
    live::postReadIgnition(m_.link, m_.live, this);
    m_.link.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
    m_.link.startPolling(polltimer::name(polltimer::Obr), polltimer::Obr.intervalMs);
    ComboBox2->setFocus();
}
