#include "live/ui/ObrotyPage.h"

#include "live/IgnitionPage.h"
#include "live/ui/Instruments.h"
#include "live/ui/LiveViews.h"
#include "shell/Session.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"
#include "widgets/TRoundMeter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

ObrotyPage::ObrotyPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("ObrotyTab"));
    LiveViews::of(session_).obroty = this;

    // Backgrounds: the whole page, the choice column and the meter column.
    AbGradient1 = new TGradientPanel(this);
    AbGradient1->setObjectName(QStringLiteral("AbGradient1"));
    AbGradient1->setGeometry(0, 0, 795, 490);
    AbGradient4 = new TGradientPanel(AbGradient1);
    AbGradient4->setObjectName(QStringLiteral("AbGradient4"));
    AbGradient4->setGeometry(10, 10, 380, 460);
    AbGradient5 = new TGradientPanel(AbGradient1);
    AbGradient5->setObjectName(QStringLiteral("AbGradient5"));
    AbGradient5->setGeometry(400, 10, 385, 460);
    for (TGradientPanel* g : {AbGradient1, AbGradient4, AbGradient5})
        liveui::setLightGradient(g);

    QWidget* left = AbGradient4;
    Label91 = liveui::makeLabel(left, QStringLiteral("Label91"), QStringLiteral("Wybor ukladu zapłonowego"),
                                15, 12, 350, 32, 15, true);
    ComboBox2 = new QComboBox(left);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems(live::ignitionSystemItems());
    ComboBox2->setGeometry(15, 52, 300, 30);
    QFont cf = ComboBox2->font();
    cf.setPointSize(11);
    ComboBox2->setFont(cf);
    ComboBox2->setCurrentIndex(session_.controller.ignitionIndex());

    WyborUkladuLabel = liveui::makeLabel(
        left, QStringLiteral("WyborUkladuLabel"),
        QStringLiteral(
            "Wybierz rodzaj układu zapłonowego, tak aby wartość pokazywana była zgodna z faktycznymi "
            "obrotami silnika samochodu"),
        15, 96, 350, 110, 13, false);
    WyborUkladuLabel->setWordWrap(true);
    WyborUkladuLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OdczytUkladuButt = new TColorButton(left);
    OdczytUkladuButt->setObjectName(QStringLiteral("OdczytUkladuButt"));
    OdczytUkladuButt->setText(QStringLiteral("Odczyt układu zapłonowego"));
    OdczytUkladuButt->setGeometry(15, 222, 260, 44);
    QFont bf = OdczytUkladuButt->font();
    bf.setPointSize(10);
    bf.setBold(true);
    OdczytUkladuButt->setFont(bf);
    connect(OdczytUkladuButt, &TColorButton::clicked, this, &ObrotyPage::OdczytUkladuButtClick);

    GroupBoxAnalog = new QGroupBox(left);
    GroupBoxAnalog->setObjectName(QStringLiteral("GroupBoxAnalog"));
    GroupBoxAnalog->setGeometry(15, 286, 300, 80);
    ProgAnalogTxt = liveui::makeLabel(GroupBoxAnalog, QStringLiteral("ProgAnalogTxt"),
                                      QStringLiteral("Próg analogowy obrotów"), 12, 14, 280, 22, 10, true);
    Edit23 = new QComboBox(GroupBoxAnalog);
    Edit23->setObjectName(QStringLiteral("Edit23"));
    Edit23->setEditable(true);
    Edit23->addItems(live::analogThresholdItems());
    Edit23->lineEdit()->setMaxLength(3);
    Edit23->setInsertPolicy(QComboBox::NoInsert);
    Edit23->setGeometry(12, 42, 120, 26);
    Edit23->setEditText(session_.controller.analogThreshold());
    GroupBoxAnalog->setVisible(false);

    gauge1 = new TRoundMeter(AbGradient5);
    gauge1->setObjectName(QStringLiteral("gauge1"));
    gauge1->setGeometry(22, 10, 340, 340);
    liveui::setupSpeedMeter(gauge1, QStringLiteral("Obroty"));
    Panelobroty = liveui::makePanel(AbGradient5, QStringLiteral("Panelobroty"), 102, 366, 180, 50, 22);
    Panelobroty->setText(QStringLiteral("0"));

    // Hooks through which the other pages and the window reach this page.
    session_.showIgnitionIndex = [this](int index) { ComboBox2->setCurrentIndex(index); };
    session_.chosenIgnitionIndex = [this] { return ComboBox2->currentIndex(); };
    session_.analogThresholdText = [this] { return Edit23->currentText(); };
    session_.setAnalogThresholdText = [this](const QString& t) { Edit23->setEditText(t); };
    session_.showAnalogGroup = [this](bool v) { GroupBoxAnalog->setVisible(v); };

    if (session_.timers.TimerObr)
        connect(session_.timers.TimerObr, &QTimer::timeout, this, &ObrotyPage::TimerObrTimer);
}

ObrotyPage::~ObrotyPage() {
    // The hooks capture this page; nobody may call them once it is gone.
    session_.showIgnitionIndex = nullptr;
    session_.chosenIgnitionIndex = nullptr;
    session_.analogThresholdText = nullptr;
    session_.setAnalogThresholdText = nullptr;
    session_.showAnalogGroup = nullptr;
}

void ObrotyPage::readIgnitionIntoCombos() {
    session_.controller.ReadIgnition();
    ComboBox2->setCurrentIndex(session_.controller.ignitionIndex());
    if (session_.showWizardIgnitionIndex) session_.showWizardIgnitionIndex(ComboBox2->currentIndex());
}

void ObrotyPage::analogThresholdStartup() {
    const bool available = session_.controller.ReadAnalogCapability();
    GroupBoxAnalog->setVisible(available);
    if (!available) return;
    session_.controller.ReadAnalogThreshold();
    Edit23->setEditText(session_.controller.analogThreshold());
}

void ObrotyPage::applyVersionDependentControls() {
    ::applyVersionDependentControls(session_);
}

void ObrotyPage::enterPage() {
    if (!session_.written && session_.collectAndWriteParameters) session_.collectAndWriteParameters();
    readIgnitionIntoCombos();
    session_.channel.OpenPort();
    if (session_.timers.TimerObr) session_.timers.TimerObr->start();
    session_.written = true;
    ComboBox2->setFocus();
    analogThresholdStartup();
}

bool ObrotyPage::leaveByTab() {
    const QString threshold = Edit23->currentText().trimmed();
    if (live::writeThresholdOnLeave(session_.controller, threshold))
        session_.params[ParamId::AnalogThreshold] = threshold;
    GroupBoxAnalog->setVisible(session_.controller.analogCapable());
    // The port stays open: the page change's ignition write follows.
    return true;
}

void ObrotyPage::TimerObrTimer() {
    const std::optional<live::SpeedReadout> r =
        live::pollEngineSpeed(session_.controller, session_.periodFilter, ComboBox2->currentIndex());
    if (!r) return;
    gauge1->setDigit(r->digit);
    liveui::setTextIfChanged(Panelobroty, r->panel);
}

void ObrotyPage::OdczytUkladuButtClick() {
    if (session_.timers.TimerObr) session_.timers.TimerObr->stop();
    analogThresholdStartup();
    session_.channel.ClosePort();
    applyVersionDependentControls();
    session_.controller.ReadVersion();
    readIgnitionIntoCombos();
    session_.channel.OpenPort();
    if (session_.timers.TimerObr) session_.timers.TimerObr->start();
    ComboBox2->setFocus();
}
