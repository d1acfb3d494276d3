#include "live/ui/LivePage.h"
#include "core/Controls.h"

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
#include "widgets/TReadout.h"
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

using Id = ctl::ControlId;

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
    setObjectName(ctl::name(Id::WizualizacjaTab));

    gradPanel2_ = ctl::make<TGradientPanel>(Id::GradPanel2, this);
    liveui::setLightGradient(gradPanel2_);
    buildInstruments(gradPanel2_);

    groupBox10_ = ctl::make<QGroupBox>(Id::GroupBox10, gradPanel2_);
    groupBox10_->setGeometry(2, 252, ChartBoxW, 224);
    buildChart(groupBox10_);

    // Over the chart, which is frozen anyway while the controller is silent.
    transerrorLabel_ = ctl::make<QLabel>(Id::TranserrorLabel, gradPanel2_);
    // Two lines of its large type fit over the chart.
    transerrorLabel_->setGeometry(2 + ChartX, 252 + ChartY + 30, ChartW, 120);
    transerrorLabel_->setAlignment(Qt::AlignCenter);
    transerrorLabel_->setWordWrap(true);
    transerrorLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont ef = transerrorLabel_->font();
    ef.setPointSize(18);
    ef.setBold(true);
    transerrorLabel_->setFont(ef);
    QPalette ep = transerrorLabel_->palette();
    ep.setColor(QPalette::WindowText, tColor(live::ColorRed));
    transerrorLabel_->setPalette(ep);
    transerrorLabel_->raise();

    // Across the chart's top while a log plays instead of the controller.
    replayLabel_ = new QLabel(gradPanel2_);
    replayLabel_->setObjectName(QStringLiteral("ReplayLabel"));
    // Two lines: the file's name is long, and so is the caption in some languages.
    replayLabel_->setGeometry(2 + ChartX, 252 + ChartY, ChartW, 44);
    replayLabel_->setAlignment(Qt::AlignCenter);
    replayLabel_->setWordWrap(true);
    replayLabel_->setAutoFillBackground(true);
    replayLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    {
        QFont f = replayLabel_->font();
        f.setPointSize(10);
        f.setBold(true);
        replayLabel_->setFont(f);
        QPalette p = replayLabel_->palette();
        p.setColor(QPalette::Window, QColor(255, 200, 64));
        p.setColor(QPalette::WindowText, Qt::black);
        replayLabel_->setPalette(p);
    }
    replayLabel_->hide();
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
    refreshTransmissionError();
}

void LivePage::buildInstruments(QWidget* a) {
    // Caption boxes hold their text in the type the layouts give them (up to
    // 12 points at this size, bold), in every language: long captions wrap.
    // Lambda: LED bar with the lean label above and the rich label below.
    label75_ = liveui::makeLabel(a, Id::Label75, QStringLiteral("Lambda"), 10, true);
    label71_ = liveui::makeLabel(a, Id::Label71, QStringLiteral("Uboga"), 9, true);
    ledMeter1_ = ctl::make<TLedBar>(Id::LEDMeter1, a);
    ledMeter1_->setNumDigits(20);
    ledMeter1_->setSingleLED(true);
    ledMeter1_->setDirection(Direction::mdUp);
    label30_ = liveui::makeLabel(a, Id::Label30, QStringLiteral("Bogata"), 9, true);
    label71DesignTop_ = label71_->y();
    label30DesignTop_ = label30_->y();
    ledDesignHeight_ = ledMeter1_->height();
    panel6_ = liveui::makePanel(a, Id::Panel6, 13);
    panel6_->setText(QStringLiteral("0.00"));

    // TPS.
    gauge4_ = ctl::make<THalfRoundMeter>(Id::Gauge4, a);
    {
        liveui::setSignal(gauge4_, 0, 240, 0, 12, QStringLiteral("##0.0"), QStringLiteral("V"),
                          QStringLiteral("TPS"));
        auto& sec = gauge4_->sectorSettings();
        sec.Sector1From = 0;
        sec.Sector1To = 1000;
        // One sector over the whole scale: the other two are empty.
        sec.Sector2From = sec.Sector2To = sec.Sector3From = sec.Sector3To = 1001;
        gauge4_->scaleSettings().Steps = 6;
        gauge4_->setOptions(opName1 | opUnit | opSector);
    }
    panel5_ = liveui::makePanel(a, Id::Panel5, 13);
    panel5_->setText(QStringLiteral("0.00"));

    // Engine speed.
    obrotomierz_ = ctl::make<TRoundMeter>(Id::obrotomierz, a);
    liveui::setupSpeedMeter(obrotomierz_, QStringLiteral("Obroty"));
    panel1_ = liveui::makePanel(a, Id::Panel1, 14);
    panel1_->setText(QStringLiteral("0"));

    // Stepper: tank, open/closed marks, position and the petrol/gas lamp.
    label25_ = liveui::makeLabel(a, Id::Label25, QStringLiteral("Silnik krokowy"), 10, true);
    label25_->setWordWrap(true);
    gauge2_ = ctl::make<TTankGauge>(Id::Gauge2, a);
    liveui::setSignal(gauge2_, 0, 255, 0, 255, QStringLiteral("0"), QStringLiteral("STEPS"));
    // The narrow tank's read-out shows the number alone, large enough to read;
    // the caption above says what it counts.
    gauge2_->setOptions(gauge2_->options() & ~opUnit);
    label47_ = liveui::makeLabel(a, Id::Label47, QStringLiteral("Otwarty"), 9, false);
    label47_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label27_ = liveui::makeLabel(a, Id::Label27, QStringLiteral("Zamknięty"), 9, false);
    label27_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel4_ = liveui::makePanel(a, Id::Panel4, 13);
    panel4_->setText(QStringLiteral("0"));
    gasLed_ = ctl::make<TLedLamp>(Id::GasLed, a);
    gasLed_->setColorOn(tColor(LampOn));
    gasLed_->setColorOff(tColor(live::ColorRed));
    gasLed_->setLedHeight(25);
    {
        QFont f = gasLed_->font();
        f.setPointSize(11);
        f.setBold(true);
        gasLed_->setFont(f);
    }

    // Reducer temperature.
    label42_ = liveui::makeLabel(a, Id::Label42, QStringLiteral("Temperatura reduktora"), 8, true);
    label42_->setWordWrap(true);
    thermometer1_ = ctl::make<TThermometer>(Id::Thermometer1, a);
    liveui::setSignal(thermometer1_, 96, 155, -30, 90, QStringLiteral("0"), QStringLiteral("°C"));
    // A number every 30 °C: fewer, larger scale numbers on the slim instrument.
    thermometer1_->scaleSettings().Steps = 4;
    panelTemp_ = liveui::makePanel(a, Id::paneltemp, 13);
    panelTemp_->setText(QStringLiteral("0"));

    // Gas level.
    label26_ = liveui::makeLabel(a, Id::Label26, QStringLiteral("Poziom gazu w zbiorniku"), 8, true);
    label26_->setWordWrap(true);
    gauge3_ = ctl::make<TGauge>(Id::Gauge3, a);
    gauge3_->setForeColor(tColor(live::ColorGreen));
    {
        QFont f = gauge3_->font();
        f.setPointSize(10);
        f.setBold(true);
        gauge3_->setFont(f);
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
    gradPanel3_ = ctl::make<TGradientPanel>(Id::GradPanel3, box);
    gradPanel3_->setGeometry(0, 0, box->width(), box->height());
    liveui::setLightGradient(gradPanel3_);

    QWidget* g = gradPanel3_;
    // The scale labels by the names the skins colour them by: the four
    // captions Label48 ... Label51, the TPS numbers Label52, the speed and
    // stepper numbers Label53.
    const QString tps = ctl::name(Id::Label52), other = ctl::name(Id::Label53);
    panel2_ = buildScalePanel(g, ctl::name(Id::Panel2), 4, live::probeScale(0).scale, QStringLiteral("V"),
                              ctl::name(Id::Label48), &WykresLambdaY,
                              {ctl::name(Id::WykresLambdaY1), ctl::name(Id::WykresLambdaY2),
                               ctl::name(Id::WykresLambdaY3), ctl::name(Id::WykresLambdaY4),
                               ctl::name(Id::WykresLambdaY5)});
    panel7_ = buildScalePanel(g, ctl::name(Id::Panel7), 40, {"0", "3", "6", "9", "12"}, QStringLiteral("TPS"),
                              ctl::name(Id::Label49), nullptr, {tps, tps, tps, tps, tps});
    panel3_ = buildScalePanel(g, ctl::name(Id::Panel3), 76, {"0", "2", "4", "6", "8"}, QStringLiteral("RPM"),
                              ctl::name(Id::Label50), nullptr, {other, other, other, other, other});
    panel8_ = buildScalePanel(g, ctl::name(Id::Panel8), 112, {"0", "64", "128", "192", "255"},
                              QStringLiteral("STEP"), ctl::name(Id::Label51), nullptr,
                              {other, other, other, other, other});

    scope1_ = ctl::make<TSweepChart>(Id::Scope1, g);
    scope1_->setGeometry(ChartX, ChartY, ChartW, ChartH);
    // The chart covers its whole rectangle: nothing beneath it needs repainting.
    scope1_->setAttribute(Qt::WA_OpaquePaintEvent);
    scope1_->Color = tColor(ChartBackground);
    scope1_->Gridcolor = tColor(GridShown);
    scope1_->Gridsize = ChartH / 4;
    // Four squares high whatever size the layout gives the chart, so the grid
    // stays level with the scale numbers.
    scope1_->installEventFilter(this);
    scope1_->Linecolor_a = tColor(0x0000FF);
    scope1_->Linecolor_b = tColor(0xFF00FF);
    scope1_->Linecolor_c = tColor(0x4080FF);
    scope1_->Linecolor_d = tColor(0xFFFF00);
    scope1_->Position_a = scope1_->Position_b = scope1_->Position_c = scope1_->Position_d = 1;
    scope1_->setInterval(5);

    const int cx = ChartX + ChartW + 8;
    checkBox39_ =
        makeCheck(g, ctl::name(Id::CheckBox39), QStringLiteral("&LAMBDA"), cx, 4, TraceSwitchW, true);
    checkBox40_ =
        makeCheck(g, ctl::name(Id::CheckBox40), QStringLiteral("&TPS"), cx, 28, TraceSwitchW, false);
    checkBox41_ =
        makeCheck(g, ctl::name(Id::CheckBox41), QStringLiteral("&RPM"), cx, 52, TraceSwitchW, false);
    checkBox42_ =
        makeCheck(g, ctl::name(Id::CheckBox42), QStringLiteral("&STEP"), cx, 76, TraceSwitchW, false);
    checkBox10_ = makeCheck(g, ctl::name(Id::CheckBox10), QStringLiteral("S&IATKA"), cx + GridColumnX, 4,
                            GridColumnW, true);
    speedButton4_ = ctl::make<QToolButton>(Id::SpeedButton4, g);
    speedButton4_->setText(QStringLiteral("&PAUZA"));
    speedButton4_->setCheckable(true);
    speedButton4_->setGeometry(cx + GridColumnX, 30, GridColumnW, 28);
    nagrywajButt_ = ctl::make<QToolButton>(Id::NagrywajButt, g);
    nagrywajButt_->setCheckable(true);
    nagrywajButt_->setGeometry(cx + GridColumnX, 64, GridColumnW, 28);
    connect(nagrywajButt_, &QToolButton::clicked, this, &LivePage::NagrywajButtClick);

    upDown1_ = ctl::make<QSpinBox>(Id::UpDown1, g);
    upDown1_->setRange(1, 4);
    upDown1_->setWrapping(false);
    upDown1_->setValue(1);
    upDown1_->setGeometry(cx, 108, 44, 26);
    wykresLambdaX_ = liveui::makeLabel(g, Id::WykresLambdaX, live::timeBase(1).text,
                                       QRect(cx + 48, 108, 146, 26), 10, true);
    wykresLambdaX_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    podpisWykresLambda_ = liveui::makeLabel(g, Id::PodpisWykresLambda, QStringLiteral("CZASY LAMBDA:"),
                                            QRect(cx, 142, 194, 24), 10, true);
    podpisWykresLambda_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label67_ = liveui::makeLabel(g, Id::Label67, QStringLiteral("TH: "), QRect(cx, 168, 40, 24), 10, true);
    label43_ = liveui::makeLabel(g, Id::Label43, lambdaTimes_.highText(), QRect(cx + 40, 168, 80, 24), 10);
    label28_ = liveui::makeLabel(g, Id::Label28, QStringLiteral("TL: "), QRect(cx, 192, 40, 24), 10, true);
    label44_ = liveui::makeLabel(g, Id::Label44, lambdaTimes_.lowText(), QRect(cx + 40, 192, 80, 24), 10);
    for (QLabel* l : {label67_, label43_, label28_, label44_})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // What the skins leave unnamed takes the colour of its neighbour they
    // name: the lambda times that of their captions, the lambda scale that of
    // the other scale numbers, the trace switches that of the chart's captions.
    followTextColour(label67_, label43_);
    followTextColour(label28_, label44_);
    if (auto* numbers = panel3_->findChild<QLabel*>(ctl::name(Id::Label53)))
        for (QLabel* l : WykresLambdaY)
            followTextColour(numbers, l);
    for (QWidget* c : {static_cast<QWidget*>(checkBox39_), static_cast<QWidget*>(checkBox40_),
                       static_cast<QWidget*>(checkBox41_), static_cast<QWidget*>(checkBox42_),
                       static_cast<QWidget*>(checkBox10_)})
        followTextColour(podpisWykresLambda_, c);

    connect(checkBox39_, &QCheckBox::toggled, this, &LivePage::CheckBox39Click);
    connect(checkBox40_, &QCheckBox::toggled, this, &LivePage::CheckBox40Click);
    connect(checkBox41_, &QCheckBox::toggled, this, &LivePage::CheckBox41Click);
    connect(checkBox42_, &QCheckBox::toggled, this, &LivePage::CheckBox42Click);
    connect(checkBox10_, &QCheckBox::toggled, this, &LivePage::CheckBox10Click);
    connect(speedButton4_, &QToolButton::toggled, this, &LivePage::SpeedButton4Click);
    connect(upDown1_, &QSpinBox::valueChanged, this, &LivePage::UpDown1Click);
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
    liveui::applyLedScale(ledMeter1_, s);
    if (s.labels != live::ProbeScale::Labels::Unchanged) {
        // The layout scales the bar with the window; its height gives the factor in force.
        const double factor = static_cast<double>(ledMeter1_->height()) / ledDesignHeight_;
        const bool swapped = s.labels == live::ProbeScale::Labels::Swapped;
        const int top30 =
            static_cast<int>(roundEven((swapped ? label71DesignTop_ : label30DesignTop_) * factor));
        const int top71 =
            static_cast<int>(roundEven((swapped ? label30DesignTop_ : label71DesignTop_) * factor));
        label30_->move(label30_->x(), top30);
        label71_->move(label71_->x(), top71);
    }
    applyChartScale(s);
}

void LivePage::applyChartScale(const live::ProbeScale& scale) {
    for (std::size_t i = 0; i < WykresLambdaY.size(); ++i)
        liveui::setTextIfChanged(WykresLambdaY[i], scale.scale[i]);
}

void LivePage::applyFeatures(const live::VersionFeatures& f) {
    thermometer1_->setVisible(f.temperatureInstruments);
    panelTemp_->setVisible(f.temperatureInstruments);
    label42_->setVisible(f.temperatureInstruments);
}

void LivePage::refreshPetrolGasCaption() {
    const bool petrol = m_.live.petrol();
    gasLed_->setChecked(!petrol);
    gasLed_->setCaption(petrol ? m_.shell.text(textkey::Petrol, QStringLiteral("Benzyna"))
                               : m_.shell.text(textkey::Gas, QStringLiteral("Gaz")));
    const QColor c = petrol ? tColor(live::ColorRed) : label47_->palette().color(QPalette::WindowText);
    gasLed_->setCaptionColor(c);
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
    liveui::setTextIfChanged(transerrorLabel_, text);
    // It lies over the chart: shown empty, it would be painted with every sample.
    transerrorLabel_->setVisible(!text.isEmpty());
}

void LivePage::enterPage() {
    m_.liveSession.enterLivePage();
    checkBox41_->setFocus();
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
    nagrywajButt_->setChecked(m_.liveSession.recorder().recording());
    const QString caption = m_.shell.text(textkey::Record);
    if (nagrywajButt_->text() != caption) nagrywajButt_->setText(caption);
}

void LivePage::refreshReplay() {
    const bool on = m_.liveSession.replaying();
    replayLabel_->setVisible(on);
    if (!on) return;
    const live::Replay& r = m_.liveSession.replay();
    const qint64 start = r.log() && r.log()->rows() > 0 ? r.log()->timeMs.front() : 0;
    liveui::setTextIfChanged(replayLabel_, m_.shell.text(textkey::Replaying)
                                               .arg(shortened(m_.liveSession.replayName(), 40),
                                                    live::LogView::timeText(r.position() - start, 1000),
                                                    QString::number(r.speed())));
}

void LivePage::showReadings(const live::Readings& r) {
    scope1_->Position_a = r.lambdaTrace;
    if (lambdaTimes_.update(r.lambdaTrace)) {
        liveui::setTextIfChanged(label43_, lambdaTimes_.highText());
        liveui::setTextIfChanged(label44_, lambdaTimes_.lowText());
    }
    panel6_->setText(r.lambdaVolts);
    ledMeter1_->setPosition(live::lambdaLedPosition(upperEnd_, r.lambdaRaw));

    panel5_->setText(r.tpsVolts);
    gauge4_->setDigit(r.tpsRaw);
    scope1_->Position_b = r.tpsTrace;

    if (r.temperature) {
        thermometer1_->setDigit(*r.temperatureRaw);
        panelTemp_->setText(QString::number(*r.temperature));
    }
    if (r.gas) {
        gauge3_->setProgress(r.gas->percent);
        gauge3_->setForeColor(tColor(r.gas->low ? live::ColorRed : live::ColorGreen));
    }
    if (r.speed) {
        obrotomierz_->setDigit(*r.speed);
        scope1_->Position_c = *r.speedTrace;
        panel1_->setText(QString::number(*r.speedPanel));
    }
    gauge2_->setDigit(r.stepper);
    panel4_->setText(QString::number(r.stepper));
    scope1_->Position_d = r.stepperTrace;
    scope1_->valuesArrived();
}

void LivePage::UpDown1Click() {
    const live::TimeBase t = live::timeBase(upDown1_->value());
    liveui::setTextIfChanged(wykresLambdaX_, t.text);
    scope1_->setInterval(t.interval);
}

void LivePage::CheckBox39Click() {
    scope1_->channel_a = checkBox39_->isChecked();
    panel2_->setVisible(checkBox39_->isChecked());
}

void LivePage::CheckBox40Click() {
    scope1_->channel_b = checkBox40_->isChecked();
    panel7_->setVisible(checkBox40_->isChecked());
}

void LivePage::CheckBox41Click() {
    scope1_->channel_c = checkBox41_->isChecked();
    panel3_->setVisible(checkBox41_->isChecked());
}

void LivePage::CheckBox42Click() {
    scope1_->channel_d = checkBox42_->isChecked();
    panel8_->setVisible(checkBox42_->isChecked());
}

void LivePage::CheckBox10Click() {
    scope1_->Gridcolor = tColor(checkBox10_->isChecked() ? GridShown : ChartBackground);
    scope1_->clearChart();
}

void LivePage::SpeedButton4Click() {
    updateChartSampling();
}

void LivePage::updateChartSampling() {
    // A chart nobody can see need not draw: it samples while the page is shown
    // and the pause button is up.
    scope1_->setActive(isVisible() && !speedButton4_->isChecked());
}

bool LivePage::eventFilter(QObject* watched, QEvent* event) {
    // Before the chart makes its new picture: the squares for its new height.
    if (watched == scope1_ && event->type() == QEvent::Resize)
        scope1_->Gridsize = std::max(1, static_cast<QResizeEvent*>(event)->size().height() / 4);
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
