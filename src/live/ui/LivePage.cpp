#include "live/ui/LivePage.h"

#include "core/Numeric.h"
#include "core/TextKeys.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/LogView.h"
#include "ui/Instruments.h"
#include "widgets/FollowColours.h"
#include "widgets/TColor.h"
#include "widgets/TGauge.h"
#include "widgets/TGradientPanel.h"
#include "widgets/THalfRoundMeter.h"
#include "widgets/TLedBar.h"
#include "widgets/TLedLamp.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TSweepChart.h"
#include "widgets/TTankGauge.h"
#include "widgets/TThermometer.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QResizeEvent>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {
constexpr unsigned ChartBackground = 0xCAFFFF;
constexpr unsigned GridShown = 0xC0C0C0;
constexpr unsigned LampOn = 43008;
// Chart geometry inside GroupBox10: 8 × 4 grid squares of 50 pixels (the
// squares grow with the chart in the larger screen-size layouts). The page is
// designed 774 pixels wide: every layout's page control holds it scaled.
constexpr int ChartX = 150;
constexpr int ChartY = 8;
constexpr int ChartW = 400;
constexpr int ChartH = 200;

// Two columns of switches right of the chart, wide enough for their bold
// captions in every language at 640 x 480 ("LAMBDA", "MŘÍŽKA", "GRIGLIA"):
// the chart's box reaches nearly to the page control's edge for them.
constexpr int ChartBoxW = 772;
constexpr int TraceSwitchW = 106;
constexpr int GridColumnX = TraceSwitchW + 2;
constexpr int GridColumnW = 104;

QCheckBox* makeCheck(QWidget* parent, const QString& name, const QString& text, int x, int y, int w,
                     bool checked) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setGeometry(x, y, w, 24);
    QFont f = c->font();
    f.setBold(true);
    c->setFont(f);
    c->setChecked(checked);
    return c;
}
} // namespace

LivePage::LivePage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(QStringLiteral("WizualizacjaTab"));

    GradPanel2 = new TGradientPanel(this);
    GradPanel2->setObjectName(QStringLiteral("GradPanel2"));
    GradPanel2->setGeometry(0, 0, 795, 490);
    liveui::setLightGradient(GradPanel2);
    buildInstruments(GradPanel2);

    GroupBox10 = new QGroupBox(GradPanel2);
    GroupBox10->setObjectName(QStringLiteral("GroupBox10"));
    GroupBox10->setGeometry(2, 252, ChartBoxW, 224);
    buildChart(GroupBox10);

    // Over the chart, which is frozen anyway while the controller is silent.
    TranserrorLabel = new QLabel(GradPanel2);
    TranserrorLabel->setObjectName(QStringLiteral("TranserrorLabel"));
    // Two lines of its large type fit over the chart.
    TranserrorLabel->setGeometry(2 + ChartX, 252 + ChartY + 30, ChartW, 120);
    TranserrorLabel->setAlignment(Qt::AlignCenter);
    TranserrorLabel->setWordWrap(true);
    TranserrorLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont ef = TranserrorLabel->font();
    ef.setPointSize(18);
    ef.setBold(true);
    TranserrorLabel->setFont(ef);
    QPalette ep = TranserrorLabel->palette();
    ep.setColor(QPalette::WindowText, tColor(live::ColorRed));
    TranserrorLabel->setPalette(ep);
    TranserrorLabel->raise();

    // Across the chart's top while a log plays instead of the controller.
    ReplayLabel = new QLabel(GradPanel2);
    ReplayLabel->setObjectName(QStringLiteral("ReplayLabel"));
    // Two lines: the file's name is long, and so is the caption in some languages.
    ReplayLabel->setGeometry(2 + ChartX, 252 + ChartY, ChartW, 44);
    ReplayLabel->setAlignment(Qt::AlignCenter);
    ReplayLabel->setWordWrap(true);
    ReplayLabel->setAutoFillBackground(true);
    ReplayLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    {
        QFont f = ReplayLabel->font();
        f.setPointSize(10);
        f.setBold(true);
        ReplayLabel->setFont(f);
        QPalette p = ReplayLabel->palette();
        p.setColor(QPalette::Window, QColor(255, 200, 64));
        p.setColor(QPalette::WindowText, Qt::black);
        ReplayLabel->setPalette(p);
    }
    ReplayLabel->hide();
    replayClock_ = new QTimer(this);
    replayClock_->setInterval(250);
    connect(replayClock_, &QTimer::timeout, this, &LivePage::refreshReplay);

    applyProbeKindScaling(-1);
    refreshPetrolGasCaption();
    applyFeatures(m_.live.features());

    connect(&m_.liveSession, &LiveSession::liveRead, this, &LivePage::showReadings);
    connect(&m_.liveSession, &LiveSession::livePageRead, this, [this](bool ok) {
        if (!ok) m_.shell.setMessage(m_.shell.text(textkey::ReadFailed));
        applyProbeKindScaling();
    });
    connect(&m_.live, &LiveModel::transmissionErrorChanged, this, &LivePage::refreshTransmissionError);
    connect(&m_.live, &LiveModel::frameErrorChanged, this, &LivePage::refreshTransmissionError);
    connect(&m_.shell, &ShellModel::textsChanged, this, &LivePage::refreshTransmissionError);
    connect(&m_.live, &LiveModel::petrolChanged, this, [this] { refreshPetrolGasCaption(); });
    connect(&m_.live, &LiveModel::featuresChanged, this, &LivePage::applyFeatures);
    connect(&m_.shell, &ShellModel::textsChanged, this, [this] { refreshPetrolGasCaption(); });
    connect(&m_.liveSession.recorder(), &live::Recorder::started, this, &LivePage::refreshRecording);
    connect(&m_.liveSession.recorder(), &live::Recorder::stopped, this, &LivePage::refreshRecording);
    connect(&m_.shell, &ShellModel::textsChanged, this, &LivePage::refreshRecording);
    connect(&m_.liveSession, &LiveSession::replayingChanged, this, [this](bool on) {
        if (on)
            replayClock_->start();
        else
            replayClock_->stop();
        refreshReplay();
        refreshTransmissionError();
    });
    connect(&m_.shell, &ShellModel::textsChanged, this, &LivePage::refreshReplay);
    refreshRecording();
}

void LivePage::buildInstruments(QWidget* a) {
    // Caption boxes hold their text in the type the layouts give them (up to
    // 12 points at this size, bold), in every language: long captions wrap.
    // Lambda: LED bar with the lean label above and the rich label below.
    Label75 =
        liveui::makeLabel(a, QStringLiteral("Label75"), QStringLiteral("Lambda"), 0, 2, 80, 24, 10, true);
    Label71 =
        liveui::makeLabel(a, QStringLiteral("Label71"), QStringLiteral("Uboga"), 0, 28, 80, 24, 9, true);
    LEDMeter1 = new TLedBar(a);
    LEDMeter1->setObjectName(QStringLiteral("LEDMeter1"));
    LEDMeter1->setGeometry(22, 54, 36, 136);
    LEDMeter1->setNumDigits(20);
    LEDMeter1->setSingleLED(true);
    LEDMeter1->setDirection(Direction::mdUp);
    Label30 =
        liveui::makeLabel(a, QStringLiteral("Label30"), QStringLiteral("Bogata"), 0, 192, 80, 24, 9, true);
    label71DesignTop_ = Label71->y();
    label30DesignTop_ = Label30->y();
    ledDesignHeight_ = LEDMeter1->height();
    Panel6 = liveui::makePanel(a, QStringLiteral("Panel6"), 4, 218, 72, 28, 13);
    Panel6->setText(QStringLiteral("0.00"));

    // TPS.
    Gauge4 = new THalfRoundMeter(a);
    Gauge4->setObjectName(QStringLiteral("Gauge4"));
    Gauge4->setGeometry(82, 22, 148, 130);
    {
        liveui::setSignal(Gauge4, 0, 240, 0, 12, QStringLiteral("##0.0"), QStringLiteral("V"),
                          QStringLiteral("TPS"));
        auto& sec = Gauge4->sectorSettings();
        sec.Sector1From = 0;
        sec.Sector1To = 1000;
        // One sector over the whole scale: the other two are empty.
        sec.Sector2From = sec.Sector2To = sec.Sector3From = sec.Sector3To = 1001;
        Gauge4->scaleSettings().Steps = 6;
        Gauge4->setOptions(opName1 | opUnit | opSector);
    }
    Panel5 = liveui::makePanel(a, QStringLiteral("Panel5"), 111, 160, 90, 28, 13);
    Panel5->setText(QStringLiteral("0.00"));

    // Engine speed.
    obrotomierz = new TRoundMeter(a);
    obrotomierz->setObjectName(QStringLiteral("obrotomierz"));
    obrotomierz->setGeometry(232, 2, 178, 178);
    liveui::setupSpeedMeter(obrotomierz, QStringLiteral("Obroty"));
    Panel1 = liveui::makePanel(a, QStringLiteral("Panel1"), 271, 188, 100, 30, 14);
    Panel1->setText(QStringLiteral("0"));

    // Stepper: tank, open/closed marks, position and the petrol/gas lamp.
    Label25 = liveui::makeLabel(a, QStringLiteral("Label25"), QStringLiteral("Silnik krokowy"), 412, 0, 146,
                                48, 10, true);
    Label25->setWordWrap(true);
    Gauge2 = new TTankGauge(a);
    Gauge2->setObjectName(QStringLiteral("Gauge2"));
    Gauge2->setGeometry(416, 50, 56, 126);
    liveui::setSignal(Gauge2, 0, 255, 0, 255, QStringLiteral("0"), QStringLiteral("STEPS"));
    // The narrow tank's read-out shows the number alone, large enough to read;
    // the caption above says what it counts.
    Gauge2->setOptions(Gauge2->options() & ~opUnit);
    Label47 =
        liveui::makeLabel(a, QStringLiteral("Label47"), QStringLiteral("Otwarty"), 474, 50, 84, 24, 9, false);
    Label47->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label27 = liveui::makeLabel(a, QStringLiteral("Label27"), QStringLiteral("Zamknięty"), 474, 152, 84, 24,
                                9, false);
    Label27->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel4 = liveui::makePanel(a, QStringLiteral("Panel4"), 412, 182, 64, 28, 13);
    Panel4->setText(QStringLiteral("0"));
    GasLed = new TLedLamp(a);
    GasLed->setObjectName(QStringLiteral("GasLed"));
    GasLed->setGeometry(412, 214, 146, 32);
    GasLed->setColorOn(tColor(LampOn));
    GasLed->setColorOff(tColor(live::ColorRed));
    GasLed->setLedHeight(25);
    {
        QFont f = GasLed->font();
        f.setPointSize(11);
        f.setBold(true);
        GasLed->setFont(f);
    }

    // Reducer temperature.
    Label42 = liveui::makeLabel(a, QStringLiteral("Label42"), QStringLiteral("Temperatura reduktora"), 560, 0,
                                112, 48, 8, true);
    Label42->setWordWrap(true);
    Thermometer1 = new TThermometer(a);
    Thermometer1->setObjectName(QStringLiteral("Thermometer1"));
    Thermometer1->setGeometry(576, 52, 80, 158);
    liveui::setSignal(Thermometer1, 96, 155, -30, 90, QStringLiteral("0"), QStringLiteral("°C"));
    // A number every 30 °C: fewer, larger scale numbers on the slim instrument.
    Thermometer1->scaleSettings().Steps = 4;
    paneltemp = liveui::makePanel(a, QStringLiteral("paneltemp"), 581, 216, 70, 28, 13);
    paneltemp->setText(QStringLiteral("0"));

    // Gas level.
    Label26 = liveui::makeLabel(a, QStringLiteral("Label26"), QStringLiteral("Poziom gazu w zbiorniku"), 672,
                                0, 84, 72, 8, true);
    Label26->setWordWrap(true);
    Gauge3 = new TGauge(a);
    Gauge3->setObjectName(QStringLiteral("Gauge3"));
    Gauge3->setGeometry(694, 76, 40, 168);
    Gauge3->setForeColor(tColor(live::ColorGreen));
    {
        QFont f = Gauge3->font();
        f.setPointSize(10);
        f.setBold(true);
        Gauge3->setFont(f);
    }
}

QWidget* LivePage::buildScalePanel(QWidget* parent, const QString& name, int x,
                                   const std::array<QString, 5>& values, const QString& caption,
                                   const QString& captionName, std::array<QLabel*, 5>* labels,
                                   const std::array<QString, 5>& labelNames) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(x, 0, 36, 224);
    QFont f = panel->font();
    f.setPointSize(8);
    f.setBold(true);
    for (int i = 0; i < 5; ++i) {
        // Level with the grid lines: bottom, quarters, top of the chart.
        const int y = ChartY + ChartH - i * ChartH / 4;
        auto* l = new QLabel(values[static_cast<std::size_t>(i)], panel);
        l->setObjectName(labelNames[static_cast<std::size_t>(i)]);
        if (labels) (*labels)[static_cast<std::size_t>(i)] = l;
        l->setFont(f);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(0, std::clamp(y - 8, 0, 224 - 16), 33, 16);
    }
    if (!caption.isEmpty()) {
        auto* c = new QLabel(caption, panel);
        c->setObjectName(captionName);
        c->setFont(f);
        c->setAlignment(Qt::AlignCenter);
        // Between the top two scale numbers.
        c->setGeometry(0, ChartY + ChartH / 8 - 8, 36, 16);
    }
    return panel;
}

void LivePage::buildChart(QGroupBox* box) {
    GradPanel3 = new TGradientPanel(box);
    GradPanel3->setObjectName(QStringLiteral("GradPanel3"));
    GradPanel3->setGeometry(0, 0, box->width(), box->height());
    liveui::setLightGradient(GradPanel3);

    QWidget* g = GradPanel3;
    // The scale labels by the names the skins colour them by: the four
    // captions Label48 ... Label51, the TPS numbers Label52, the speed and
    // stepper numbers Label53.
    const QString tps = QStringLiteral("Label52"), other = QStringLiteral("Label53");
    Panel2 = buildScalePanel(g, QStringLiteral("Panel2"), 4, live::probeScale(0).scale, QStringLiteral("V"),
                             QStringLiteral("Label48"), &WykresLambdaY,
                             {QStringLiteral("WykresLambdaY1"), QStringLiteral("WykresLambdaY2"),
                              QStringLiteral("WykresLambdaY3"), QStringLiteral("WykresLambdaY4"),
                              QStringLiteral("WykresLambdaY5")});
    Panel7 =
        buildScalePanel(g, QStringLiteral("Panel7"), 40, {"0", "3", "6", "9", "12"}, QStringLiteral("TPS"),
                        QStringLiteral("Label49"), nullptr, {tps, tps, tps, tps, tps});
    Panel3 =
        buildScalePanel(g, QStringLiteral("Panel3"), 76, {"0", "2", "4", "6", "8"}, QStringLiteral("RPM"),
                        QStringLiteral("Label50"), nullptr, {other, other, other, other, other});
    Panel8 = buildScalePanel(g, QStringLiteral("Panel8"), 112, {"0", "64", "128", "192", "255"},
                             QStringLiteral("STEP"), QStringLiteral("Label51"), nullptr,
                             {other, other, other, other, other});

    Scope1 = new TSweepChart(g);
    Scope1->setObjectName(QStringLiteral("Scope1"));
    Scope1->setGeometry(ChartX, ChartY, ChartW, ChartH);
    // The chart covers its whole rectangle: nothing beneath it needs repainting.
    Scope1->setAttribute(Qt::WA_OpaquePaintEvent);
    Scope1->Color = tColor(ChartBackground);
    Scope1->Gridcolor = tColor(GridShown);
    Scope1->Gridsize = ChartH / 4;
    // Four squares high whatever size the layout gives the chart, so the grid
    // stays level with the scale numbers.
    Scope1->installEventFilter(this);
    Scope1->Linecolor_a = tColor(0x0000FF);
    Scope1->Linecolor_b = tColor(0xFF00FF);
    Scope1->Linecolor_c = tColor(0x4080FF);
    Scope1->Linecolor_d = tColor(0xFFFF00);
    Scope1->Position_a = Scope1->Position_b = Scope1->Position_c = Scope1->Position_d = 1;
    Scope1->setInterval(5);

    const int cx = ChartX + ChartW + 8;
    CheckBox39 =
        makeCheck(g, QStringLiteral("CheckBox39"), QStringLiteral("&LAMBDA"), cx, 4, TraceSwitchW, true);
    CheckBox40 =
        makeCheck(g, QStringLiteral("CheckBox40"), QStringLiteral("&TPS"), cx, 28, TraceSwitchW, false);
    CheckBox41 =
        makeCheck(g, QStringLiteral("CheckBox41"), QStringLiteral("&RPM"), cx, 52, TraceSwitchW, false);
    CheckBox42 =
        makeCheck(g, QStringLiteral("CheckBox42"), QStringLiteral("&STEP"), cx, 76, TraceSwitchW, false);
    CheckBox10 = makeCheck(g, QStringLiteral("CheckBox10"), QStringLiteral("S&IATKA"), cx + GridColumnX, 4,
                           GridColumnW, true);
    SpeedButton4 = new QToolButton(g);
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
    SpeedButton4->setText(QStringLiteral("&PAUZA"));
    SpeedButton4->setCheckable(true);
    SpeedButton4->setGeometry(cx + GridColumnX, 30, GridColumnW, 28);
    NagrywajButt = new QToolButton(g);
    NagrywajButt->setObjectName(QStringLiteral("NagrywajButt"));
    NagrywajButt->setCheckable(true);
    NagrywajButt->setGeometry(cx + GridColumnX, 64, GridColumnW, 28);
    connect(NagrywajButt, &QToolButton::clicked, this, &LivePage::NagrywajButtClick);

    UpDown1 = new QSpinBox(g);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(1, 4);
    UpDown1->setWrapping(false);
    UpDown1->setValue(1);
    UpDown1->setGeometry(cx, 108, 44, 26);
    WykresLambdaX = liveui::makeLabel(g, QStringLiteral("WykresLambdaX"), live::timeBase(1).text, cx + 48,
                                      108, 146, 26, 10, true);
    WykresLambdaX->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    PodpisWykresLambda = liveui::makeLabel(g, QStringLiteral("PodpisWykresLambda"),
                                           QStringLiteral("CZASY LAMBDA:"), cx, 142, 194, 24, 10, true);
    PodpisWykresLambda->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label67 =
        liveui::makeLabel(g, QStringLiteral("Label67"), QStringLiteral("TH: "), cx, 168, 40, 24, 10, true);
    Label43 =
        liveui::makeLabel(g, QStringLiteral("Label43"), lambdaTimes_.highText(), cx + 40, 168, 80, 24, 10);
    Label28 =
        liveui::makeLabel(g, QStringLiteral("Label28"), QStringLiteral("TL: "), cx, 192, 40, 24, 10, true);
    Label44 =
        liveui::makeLabel(g, QStringLiteral("Label44"), lambdaTimes_.lowText(), cx + 40, 192, 80, 24, 10);
    for (QLabel* l : {Label67, Label43, Label28, Label44})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // What the skins leave unnamed takes the colour of its neighbour they
    // name: the lambda times that of their captions, the lambda scale that of
    // the other scale numbers, the trace switches that of the chart's captions.
    followTextColour(Label67, Label43);
    followTextColour(Label28, Label44);
    if (auto* numbers = Panel3->findChild<QLabel*>(QStringLiteral("Label53")))
        for (QLabel* l : WykresLambdaY)
            followTextColour(numbers, l);
    for (QWidget* c : {static_cast<QWidget*>(CheckBox39), static_cast<QWidget*>(CheckBox40),
                       static_cast<QWidget*>(CheckBox41), static_cast<QWidget*>(CheckBox42),
                       static_cast<QWidget*>(CheckBox10)})
        followTextColour(PodpisWykresLambda, c);

    connect(CheckBox39, &QCheckBox::toggled, this, &LivePage::CheckBox39Click);
    connect(CheckBox40, &QCheckBox::toggled, this, &LivePage::CheckBox40Click);
    connect(CheckBox41, &QCheckBox::toggled, this, &LivePage::CheckBox41Click);
    connect(CheckBox42, &QCheckBox::toggled, this, &LivePage::CheckBox42Click);
    connect(CheckBox10, &QCheckBox::toggled, this, &LivePage::CheckBox10Click);
    connect(SpeedButton4, &QToolButton::toggled, this, &LivePage::SpeedButton4Click);
    connect(UpDown1, &QSpinBox::valueChanged, this, &LivePage::UpDown1Click);
    CheckBox39Click();
    CheckBox40Click();
    CheckBox41Click();
    CheckBox42Click();
}

void LivePage::applyProbeKindScaling() {
    applyProbeKindScaling(m_.live.probeKind());
}

void LivePage::applyProbeKindScaling(int probeKind) {
    const live::ProbeScale s = live::probeScale(probeKind);
    upperEnd_ = s.upperEnd;
    liveui::applyLedScale(LEDMeter1, s);
    if (s.labels != live::ProbeScale::Labels::Unchanged) {
        // The layout scales the bar with the window; its height gives the factor in force.
        const double factor = static_cast<double>(LEDMeter1->height()) / ledDesignHeight_;
        const bool swapped = s.labels == live::ProbeScale::Labels::Swapped;
        const int top30 =
            static_cast<int>(roundEven((swapped ? label71DesignTop_ : label30DesignTop_) * factor));
        const int top71 =
            static_cast<int>(roundEven((swapped ? label30DesignTop_ : label71DesignTop_) * factor));
        Label30->move(Label30->x(), top30);
        Label71->move(Label71->x(), top71);
    }
    applyChartScale(s);
}

void LivePage::applyChartScale(const live::ProbeScale& scale) {
    for (std::size_t i = 0; i < WykresLambdaY.size(); ++i)
        liveui::setTextIfChanged(WykresLambdaY[i], scale.scale[i]);
}

void LivePage::applyFeatures(const live::VersionFeatures& f) {
    Thermometer1->setVisible(f.temperatureInstruments);
    paneltemp->setVisible(f.temperatureInstruments);
    Label42->setVisible(f.temperatureInstruments);
}

void LivePage::refreshPetrolGasCaption() {
    const bool petrol = m_.live.petrol();
    GasLed->setChecked(!petrol);
    GasLed->setCaption(petrol ? m_.shell.text(textkey::Petrol, QStringLiteral("Benzyna"))
                              : m_.shell.text(textkey::Gas, QStringLiteral("Gaz")));
    const QColor c = petrol ? tColor(live::ColorRed) : Label47->palette().color(QPalette::WindowText);
    GasLed->setCaptionColor(c);
}

void LivePage::refreshTransmissionError() {
    QString text;
    if (m_.liveSession.replaying()) {
        // The frames are the log's: the line's state is not what the page shows.
    } else if (m_.live.portDown()) {
        // Since when the controller cannot be reached: the page tells when the link went.
        text = m_.shell.text(textkey::PortDownSince)
                   .arg(shortened(m_.live.downPort(), 60),
                        m_.live.portDownSince().toString(QStringLiteral("HH:mm:ss")));
    } else if (m_.live.frameError()) {
        text = m_.shell.text(textkey::BadFrame);
    } else if (m_.live.transmissionError()) {
        text = m_.shell.text(textkey::NoAnswer);
    }
    liveui::setTextIfChanged(TranserrorLabel, text);
}

void LivePage::enterPage() {
    m_.liveSession.enterLivePage();
    CheckBox41->setFocus();
}

void LivePage::leaveSteps() {
    m_.liveSession.leaveLivePage();
}

void LivePage::NagrywajButtClick() {
    if (m_.liveSession.recorder().recording())
        m_.liveSession.stopRecording();
    else
        m_.liveSession.startRecording();
    refreshRecording(); // a start that failed leaves the button up
}

void LivePage::refreshRecording() {
    NagrywajButt->setChecked(m_.liveSession.recorder().recording());
    const QString caption = m_.shell.text(textkey::Record);
    if (NagrywajButt->text() != caption) NagrywajButt->setText(caption);
}

void LivePage::refreshReplay() {
    const bool on = m_.liveSession.replaying();
    ReplayLabel->setVisible(on);
    if (!on) return;
    const live::Replay& r = m_.liveSession.replay();
    const qint64 start = r.log() && r.log()->rows() > 0 ? r.log()->timeMs.front() : 0;
    liveui::setTextIfChanged(ReplayLabel, m_.shell.text(textkey::Replaying)
                                              .arg(shortened(m_.liveSession.replayName(), 40),
                                                   live::LogView::timeText(r.position() - start, 1000),
                                                   QString::number(r.speed())));
}

void LivePage::showReadings(const live::Readings& r) {
    Scope1->Position_a = r.lambdaTrace;
    if (lambdaTimes_.update(r.lambdaTrace)) {
        liveui::setTextIfChanged(Label43, lambdaTimes_.highText());
        liveui::setTextIfChanged(Label44, lambdaTimes_.lowText());
    }
    liveui::setTextIfChanged(Panel6, r.lambdaVolts);
    LEDMeter1->setPosition(live::lambdaLedPosition(upperEnd_, r.lambdaRaw));

    liveui::setTextIfChanged(Panel5, r.tpsVolts);
    Gauge4->setDigit(r.tpsRaw);
    Scope1->Position_b = r.tpsTrace;

    if (r.temperature) {
        Thermometer1->setDigit(*r.temperatureRaw);
        liveui::setTextIfChanged(paneltemp, QString::number(*r.temperature));
    }
    if (r.gas) {
        Gauge3->setProgress(r.gas->percent);
        Gauge3->setForeColor(tColor(r.gas->low ? live::ColorRed : live::ColorGreen));
    }
    if (r.speed) {
        obrotomierz->setDigit(*r.speed);
        Scope1->Position_c = *r.speedTrace;
        liveui::setTextIfChanged(Panel1, QString::number(*r.speedPanel));
    }
    Gauge2->setDigit(r.stepper);
    liveui::setTextIfChanged(Panel4, QString::number(r.stepper));
    Scope1->Position_d = r.stepperTrace;
}

void LivePage::UpDown1Click() {
    const live::TimeBase t = live::timeBase(UpDown1->value());
    liveui::setTextIfChanged(WykresLambdaX, t.text);
    Scope1->setInterval(t.interval);
}

void LivePage::CheckBox39Click() {
    Scope1->channel_a = CheckBox39->isChecked();
    Panel2->setVisible(CheckBox39->isChecked());
}

void LivePage::CheckBox40Click() {
    Scope1->channel_b = CheckBox40->isChecked();
    Panel7->setVisible(CheckBox40->isChecked());
}

void LivePage::CheckBox41Click() {
    Scope1->channel_c = CheckBox41->isChecked();
    Panel3->setVisible(CheckBox41->isChecked());
}

void LivePage::CheckBox42Click() {
    Scope1->channel_d = CheckBox42->isChecked();
    Panel8->setVisible(CheckBox42->isChecked());
}

void LivePage::CheckBox10Click() {
    Scope1->Gridcolor = tColor(CheckBox10->isChecked() ? GridShown : ChartBackground);
    Scope1->clearChart();
}

void LivePage::SpeedButton4Click() {
    updateChartSampling();
}

void LivePage::updateChartSampling() {
    // A chart nobody can see need not draw: it samples while the page is shown
    // and the pause button is up.
    Scope1->setActive(isVisible() && !SpeedButton4->isChecked());
}

bool LivePage::eventFilter(QObject* watched, QEvent* event) {
    // Before the chart makes its new picture: the squares for its new height.
    if (watched == Scope1 && event->type() == QEvent::Resize)
        Scope1->Gridsize = std::max(1, static_cast<QResizeEvent*>(event)->size().height() / 4);
    return QWidget::eventFilter(watched, event);
}

void LivePage::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    updateChartSampling();
}

void LivePage::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    updateChartSampling();
}
