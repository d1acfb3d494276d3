#include "adapt/ui/AutoadaptacjaPage.h"

#include "adapt/ui/ReactionRunner.h"
#include "adapt/ui/SensorPicture.h"
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "live/ui/Instruments.h"
#include "params/ParameterModel.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGradientPanel.h"
#include "widgets/THorizontalBar.h"
#include "widgets/TLedLamp.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TThermometer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

void setShown(QWidget* w, bool shown) {
    if (w->isHidden() == shown) w->setVisible(shown);
}

void setChecked(QAbstractButton* b, bool on) {
    if (b->isChecked() == on) return;
    const QSignalBlocker block(b);
    b->setChecked(on);
}

void showSpeed(TRoundMeter* meter, QLabel* panel, const adapt::SpeedView& v) {
    meter->setDigit(v.digit);
    liveui::setTextIfChanged(panel, v.panel.isEmpty() ? QStringLiteral("0") : v.panel);
}

// A step's bar as the wizard holds it: ranges, options, digit (or a value written directly).
void showBar(THorizontalBar* w, const adapt::Bar& b, int options) {
    SignalSettings& s = w->signalSettings();
    const adapt::BarRange& r = b.range();
    if (s.DigitalFrom != r.digitalFrom || s.DigitalTo != r.digitalTo || s.ValueFrom != r.valueFrom ||
        s.ValueTo != r.valueTo) {
        s.DigitalFrom = r.digitalFrom;
        s.DigitalTo = r.digitalTo;
        s.ValueFrom = r.valueFrom;
        s.ValueTo = r.valueTo;
        w->settingsChanged();
    }
    w->setOptions(options);
    if (const std::optional<double> v = b.directValue()) {
        if (w->value() != *v) w->setValue(*v);
        return;
    }
    w->setDigit(b.digit());
    // A value written directly before stays until a new digit; the wizard's bar has moved on.
    const double shown = w->model().valueForDigit(b.digit());
    if (w->value() != shown) w->setValue(shown);
}

bool enterKey(const QKeyEvent* e) {
    return (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
           (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

AutoadaptacjaPage::AutoadaptacjaPage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(QStringLiteral("AutoadaptacjaTab"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    auto* bg = new TGradientPanel(this);
    bg->setObjectName(QStringLiteral("GradPanel8"));
    liveui::setLightGradient(bg);
    lay->addWidget(bg);

    Label11 = new QLabel(bg);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setGeometry(25, 2, 745, 34);
    QFont tf = Label11->font();
    tf.setPointSize(18);
    tf.setBold(true);
    Label11->setFont(tf);
    Label11->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    pageControl2_ = new QTabWidget(bg);
    pageControl2_->setObjectName(QStringLiteral("PageControl2"));
    pageControl2_->setGeometry(25, 40, 745, 444);
    buildSteps();

    adaptui::ReactionRunner::Hooks hooks;
    hooks.entryPolled = [this](const adapt::LiveFrame& f) { return wizard_.entryPolled(f); };
    hooks.ignitionRead = [this](const adaptui::IgnitionResult& r) {
        if (r.ok) {
            // The stored system selects both lists, as every ignition read does.
            m_.live.setIgnitionChoice(r.index);
            m_.live.setWizardIgnitionChoice(r.index);
            wizard_.ignitionRead(r.index, r.flags);
        } else if (r.flags) {
            wizard_.setHeldFlags(r.flags);
        }
    };
    hooks.resume = [this](int token) { return wizard_.resume(token); };
    hooks.markNotWritten = [this] { m_.params.setWritten(false); };
    hooks.finish = [this] {
        active_ = false; // the parameters page takes over without a page change
        m_.shell.finishWizard();
    };
    hooks.changed = [this] { showView(); };
    runner_ = new adaptui::ReactionRunner(m_.link, std::move(hooks), this);

    wireControls();
    showFeatures();
    showView();
}

AutoadaptacjaPage::~AutoadaptacjaPage() = default;

bool AutoadaptacjaPage::reactionRunning() const {
    return entering_ || runner_->running();
}

void AutoadaptacjaPage::wireControls() {
    for (int i = 0; i < adapt::StepCount; ++i) {
        const int step = i + 1;
        connect(forward_[i], &QAbstractButton::clicked, this, [this, step] { press(step, true); });
        if (back_[i])
            connect(back_[i], &QAbstractButton::clicked, this, [this, step] { press(step, false); });
    }
    connect(pageControl2_, &QTabWidget::currentChanged, this, [this](int index) {
        if (switchingTab_ || index < 0) return;
        act([this, index] { return wizard_.selectTab(index + 1); });
    });

    // Step 1: the ignition list and the temperature-sensor switch.
    ComboTerm->installEventFilter(this);
    connect(ComboTerm, &QComboBox::currentIndexChanged, this, [this](int index) {
        wizard_.setIgnitionIndex(index);
        m_.live.setWizardIgnitionChoice(index);
    });
    connect(&m_.live, &LiveModel::wizardIgnitionChoiceChanged, this, [this](int index) {
        if (wizard_.view().term.ignitionIndex != index) wizard_.setIgnitionIndex(index);
        showView();
    });
    connect(WlCzujtTempCheckAd, &QCheckBox::clicked, this, [this](bool on) {
        wizard_.setTemperatureSensor(on);
        // The parameters page's switch follows; the bit goes out with the final write.
        m_.params.setValue(ParamId::TempSensorOn, on ? QStringLiteral("1") : QStringLiteral("0"));
        showView();
    });
    connect(&m_.params, &ParameterModel::pageValueChanged, this, [this](ParamId id) {
        if (id != ParamId::TempSensorOn || wizard_.temperatureSensorOn() == sensorOnInParameters()) return;
        wizard_.setTemperatureSensor(sensorOnInParameters());
        showView();
    });

    // Steps 4 and 5: the car's description.
    connect(SRCheckbox8, &QCheckBox::clicked, this, [this](bool on) {
        wizard_.clickGearbox(adapt::Gearbox::Manual, on);
        showView();
    });
    connect(srcheckbox9, &QCheckBox::clicked, this, [this](bool on) {
        wizard_.clickGearbox(adapt::Gearbox::Automatic, on);
        showView();
    });
    connect(SRCheckBox1, &QCheckBox::clicked, this, [this](bool on) {
        wizard_.clickManifold(adapt::Manifold::Metal, on);
        showView();
    });
    connect(srcheckbox2, &QCheckBox::clicked, this, [this](bool on) {
        wizard_.clickManifold(adapt::Manifold::Plastic, on);
        showView();
    });
    for (int i = 0; i < 5; ++i)
        connect(capacity_[i], &QRadioButton::clicked, this, [this, i] {
            wizard_.selectCapacity(adapt::Capacity(i));
            showView();
        });
    auto reserve = [this](adapt::ReserveSensor s) {
        wizard_.selectReserveSensor(s);
        showView();
    };
    connect(SRCheckBox10, &QCheckBox::clicked, this, [reserve] { reserve(adapt::ReserveSensor::Sensor20k); });
    connect(Image4, &SensorPicture::clicked, this, [reserve] { reserve(adapt::ReserveSensor::Sensor20k); });
    connect(SRCheckBox11, &QCheckBox::clicked, this, [reserve] { reserve(adapt::ReserveSensor::Sensor90R); });
    connect(Image5, &SensorPicture::clicked, this, [reserve] { reserve(adapt::ReserveSensor::Sensor90R); });

    connect(&m_.link, &ControllerLink::framesPolled, this, &AutoadaptacjaPage::onFrames);
    connect(&m_.live, &LiveModel::featuresChanged, this, [this] { showFeatures(); });
    connect(&m_.shell, &ShellModel::textsChanged, this, [this] { showTitle(); });
}

// ---------------------------------------------------------------- page hooks

void AutoadaptacjaPage::enterPage() {
    runner_->cancel();
    active_ = true;
    entering_ = true;
    const int generation = ++entryGeneration_;
    struct EntryRead {
        int versionCode = 0;
        std::optional<std::uint8_t> flags;
    };
    // The port opened and closed again, as the entry does before the ignition read;
    // the version code the page change has just read decides step 1's forward button.
    m_.link.call<EntryRead>(
        this,
        [](Controller& c) {
            c.channel().OpenPort();
            EntryRead e{c.versionCode(), c.knownFlags()};
            c.channel().ClosePort();
            return e;
        },
        [this, generation](const EntryRead& e) {
            if (generation != entryGeneration_) return;
            entering_ = false;
            run(wizard_.enter({e.versionCode, sensorOnInParameters(), e.flags}));
            if (isVisible()) ComboTerm->setFocus(Qt::OtherFocusReason);
        });
}

void AutoadaptacjaPage::leaveSteps() {
    // Whatever the steps still meant to do belongs to the page being left.
    runner_->cancel();
    active_ = false;
    entering_ = false;
    ++entryGeneration_;
    // The ignition write (while step 1's timer polls) and every step timer
    // stopped, posted now: the page change that follows finds no wizard poll
    // running, so the ignition goes out once.
    runner_->runDetached(wizard_.leave());
    showView();
}

void AutoadaptacjaPage::act(std::function<adapt::Reaction()> action) {
    m_.link.whenIdle(this, [this, action = std::move(action)] {
        // A page change asked for before this action may have run first.
        if (active_) run(action());
    });
}

void AutoadaptacjaPage::stepForward() {
    act([this] { return wizard_.pressForward(); });
}

void AutoadaptacjaPage::stepBack() {
    act([this] { return wizard_.back(); });
}

void AutoadaptacjaPage::press(int step, bool forward) {
    act([this, step, forward] {
        if (wizard_.step() != step) return adapt::Reaction{}; // a button of a step no longer shown
        return forward ? wizard_.pressForward() : wizard_.back();
    });
}

bool AutoadaptacjaPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ComboTerm) {
        // Enter in the list is the list's own key (ComboTermKeyDown), not the menu's "Dalej".
        if (event->type() == QEvent::ShortcutOverride && enterKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress && enterKey(static_cast<QKeyEvent*>(event))) {
            act([this] { return wizard_.comboTermEnter(); });
            return true;
        }
    }
    // A click on a check box's caption clicks the box.
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* label = qobject_cast<QLabel*>(watched)) {
            auto* box = qobject_cast<QAbstractButton*>(label->buddy());
            const auto* me = static_cast<QMouseEvent*>(event);
            if (box && box->isEnabled() && me->button() == Qt::LeftButton) {
                box->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- driving the wizard

void AutoadaptacjaPage::run(const adapt::Reaction& reaction) {
    runner_->run(reaction);
    showView();
}

void AutoadaptacjaPage::onFrames(const QString& name, const QVector<LiveFrame>& frames) {
    const std::optional<adapt::Timer> timer = adaptui::timerForPoll(name);
    if (!timer || !active_) return;
    // No tick while the wizard's last reaction is still being carried out: its
    // exchanges or its pause come first, and a step left meanwhile must not tick.
    if (reactionRunning()) return;
    std::vector<adapt::LiveFrame> polls;
    polls.reserve(std::size_t(frames.size()));
    for (const LiveFrame& f : frames)
        polls.push_back(adaptui::wizardFrame(f));
    run(wizard_.tick(*timer, polls));
}

bool AutoadaptacjaPage::sensorOnInParameters() const {
    const ParamId id = ParamId::TempSensorOn;
    // Until the parameters page has been filled, the controller's block says it.
    const QString v =
        m_.params.origin() == ParameterModel::Origin::None ? m_.params.set()[id] : m_.params.pageValue(id);
    return v == QLatin1String("1");
}

// ---------------------------------------------------------------- showing the view

void AutoadaptacjaPage::showStep(int step) {
    const int index = std::clamp(step, 1, adapt::StepCount) - 1;
    const bool changed = pageControl2_->currentIndex() != index || !pageControl2_->isTabVisible(index);
    switchingTab_ = true;
    pageControl2_->setTabVisible(index, true);
    pageControl2_->setCurrentIndex(index);
    for (int i = 0; i < adapt::StepCount; ++i)
        if (i != index && pageControl2_->isTabVisible(i)) pageControl2_->setTabVisible(i, false);
    switchingTab_ = false;
    showTitle();
    if (!changed || !isVisible()) return;
    // The keyboard starts on the new step's own choices; Enter and Backspace work from anywhere.
    switch (index + 1) {
    case 1:
        ComboTerm->setFocus(Qt::OtherFocusReason);
        break;
    case 4:
        SRCheckbox8->setFocus(Qt::OtherFocusReason);
        break;
    case 5:
        (SRCheckBox10->isChecked() ? SRCheckBox10 : SRCheckBox11)->setFocus(Qt::OtherFocusReason);
        break;
    default:
        pageControl2_->setFocus(Qt::OtherFocusReason);
        break;
    }
}

void AutoadaptacjaPage::showTitle() {
    liveui::setTextIfChanged(Label11, pageControl2_->tabText(pageControl2_->currentIndex()));
}

void AutoadaptacjaPage::showFeatures() {
    const bool shown = m_.live.features().temperatureControls;
    setShown(WlCzujtTempCheckAd, shown);
    setShown(WlCzujtTempAd, shown);
}

void AutoadaptacjaPage::showView() {
    const adapt::WizardView& v = wizard_.view();
    showStep(v.step == 0 ? 1 : v.step);
    for (int i = 0; i < adapt::StepCount; ++i)
        forward_[i]->setEnabled(v.forwardEnabled(i + 1));

    // Step 1
    // Byte 0 is no reading (nothing polled yet, or a silent controller), not -222 °C.
    if (v.term.thermometer != 0) AdaptTherm->setDigit(v.term.thermometer);
    showSpeed(ObrTerm, PanelTerm, v.term.speed);
    if (ComboTerm->currentIndex() != v.term.ignitionIndex) {
        const QSignalBlocker block(ComboTerm);
        ComboTerm->setCurrentIndex(v.term.ignitionIndex);
    }
    setChecked(WlCzujtTempCheckAd, v.term.sensorChecked);

    // Step 2
    showSpeed(AdaptObr1, Adapt2PanelObr, v.tps.speed);
    liveui::setTextIfChanged(TPSdolny, v.tps.idleText);
    liveui::setTextIfChanged(TPSgorny, v.tps.speedText);
    liveui::setTextIfChanged(TPSprog, v.tps.thresholdText);
    DbLed4->setChecked(v.tps.lamp);
    setShown(Label56, v.tps.doneShown);

    // Step 3
    showSpeed(ObrSondy, Adapt4PanelObr, v.probe.speed);
    liveui::setTextIfChanged(PUboga, v.probe.leanText);
    liveui::setTextIfChanged(PBogata, v.probe.richText);
    liveui::setTextIfChanged(PProg, v.probe.thresholdText);
    showBar(lambdabar, v.probe.bar, opSector);
    if (!v.probe.barEnd.isEmpty()) liveui::setTextIfChanged(Ad4LabelV, v.probe.barEnd);
    showBar(miernik, v.probe.progress, opUnit);
    LED1->setChecked(v.probe.lamp);
    setShown(Label87, v.probe.doneShown);

    // Steps 4 and 5
    setChecked(SRCheckbox8, v.car.gearbox == adapt::Gearbox::Manual);
    setChecked(srcheckbox9, v.car.gearbox == adapt::Gearbox::Automatic);
    for (int i = 0; i < 5; ++i)
        setChecked(capacity_[i], v.car.capacity == adapt::Capacity(i));
    setChecked(SRCheckBox1, v.car.manifold == adapt::Manifold::Metal);
    setChecked(srcheckbox2, v.car.manifold == adapt::Manifold::Plastic);
    const bool r20k = v.car.reserve == adapt::ReserveSensor::Sensor20k;
    setChecked(SRCheckBox10, r20k);
    setChecked(SRCheckBox11, !r20k);
    Image4->setSelected(r20k);
    Image5->setSelected(!r20k);

    // Step 6
    showSpeed(ObrPrzedRed, PanellPrzedRed, v.switchOver.speed);
    LedPrzedRed->setChecked(v.switchOver.lamp);
    setShown(NastapiloPrzejscieBGLABEL, v.switchOver.switchedShown);

    // Step 7
    showBar(LambdabarRR, v.reducer.bar, v.reducer.barOptions.value_or(designBarOptions_));
    LedRR->setChecked(v.reducer.lamp);

    // Step 8
    const adapt::StepperView& s = v.stepper;
    showSpeed(ObrMinMax, PanelObrMinMax, s.speed);
    liveui::setTextIfChanged(PanelMin, s.minText);
    liveui::setTextIfChanged(PanelMax, s.maxText);
    liveui::setTextIfChanged(PanelStart, s.startText);
    LedMin->setChecked(s.minLamp);
    LedMax->setChecked(s.maxLamp);
    showBar(LambdaBarObr1, s.bar, s.barOptions.value_or(opSector));
    showBar(LambdaBarObr2, s.progress, opUnit);
    setShown(Label70, s.idleHintShown);
    setShown(Label76, s.speedHintShown);
    setShown(KomunikatKoncowy, s.doneShown);
}
