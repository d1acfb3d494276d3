#include "adapt/ui/WizardPage.h"
#include "core/Controls.h"

#include "adapt/ui/SensorPicture.h"
#include "live/LiveModel.h"
#include "ui/Instruments.h"
#include "widgets/FitText.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGradientPanel.h"
#include "widgets/THorizontalBar.h"
#include "widgets/TLedLamp.h"
#include "widgets/TReadout.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TThermometer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using Id = ctl::ControlId;

namespace {

void setShown(QWidget* w, bool shown) {
    if (w->isHidden() == shown) w->setVisible(shown);
}

void setChecked(QAbstractButton* b, bool on) {
    if (b->isChecked() == on) return;
    const QSignalBlocker block(b);
    b->setChecked(on);
}

void showSpeed(TRoundMeter* meter, TReadout* panel, const adapt::SpeedView& v) {
    meter->setDigit(v.digit);
    panel->setText(v.panel.isEmpty() ? QStringLiteral("0") : v.panel);
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

WizardPage::WizardPage(Models models, params::WriteGate& gate, QWidget* parent)
    : QWidget(parent), m_(models), session_(new adapt::WizardSession(models, gate, this)) {
    setObjectName(ctl::name(Id::AutoadaptacjaTab));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    auto* bg = ctl::make<TGradientPanel>(Id::GradPanel8, this);
    liveui::setLightGradient(bg);
    lay->addWidget(bg);

    label11_ = ctl::make<QLabel>(Id::Label11, bg);
    QFont tf = label11_->font();
    tf.setPointSize(18);
    tf.setBold(true);
    label11_->setFont(tf);
    label11_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fitTextToBox(label11_);

    pageControl2_ = ctl::make<QTabWidget>(Id::PageControl2, bg);
    // The title stands above the steps' tabs in every layout (their bounds
    // come from two tables): it ends where the tabs begin.
    label11_->installEventFilter(this);
    pageControl2_->installEventFilter(this);
    buildSteps();

    connect(session_, &adapt::WizardSession::changed, this, &WizardPage::showView);
    connect(session_, &adapt::WizardSession::entered, this, [this] {
        if (isVisible()) comboTerm_->setFocus(Qt::OtherFocusReason);
    });
    // Queued: the box waits for the fitter outside the link's callback.
    connect(
        session_, &adapt::WizardSession::writeLost, this,
        [this](const QString& text) {
            if (message_)
                message_(text);
            else
                QMessageBox::warning(this, QStringLiteral("Quendrix"), text);
        },
        Qt::QueuedConnection);
    wireControls();
    showFeatures();
    showView();
}

WizardPage::~WizardPage() = default;

void WizardPage::wireControls() {
    adapt::WizardSession* s = session_;
    for (int i = 0; i < adapt::StepCount; ++i) {
        const int step = i + 1;
        connect(forward_[i], &QAbstractButton::clicked, this, [s, step] { s->press(step, true); });
        if (back_[i])
            connect(back_[i], &QAbstractButton::clicked, this, [s, step] { s->press(step, false); });
    }
    connect(pageControl2_, &QTabWidget::currentChanged, this, [this, s](int index) {
        if (switchingTab_ || index < 0) return;
        s->selectTab(index + 1);
    });

    // Step 1: the ignition list and the temperature-sensor switch.
    comboTerm_->installEventFilter(this);
    connect(comboTerm_, &QComboBox::currentIndexChanged, this, [s](int index) { s->chooseIgnition(index); });
    connect(wlCzujtTempCheckAd_, &QCheckBox::clicked, this, [s](bool on) { s->chooseTemperatureSensor(on); });

    // Steps 4 and 5: the car's description.
    using adapt::Gearbox, adapt::Manifold, adapt::ReserveSensor;
    connect(srCheckBox8_, &QCheckBox::clicked, this, [s](bool on) { s->clickGearbox(Gearbox::Manual, on); });
    connect(srCheckBox9_, &QCheckBox::clicked, this,
            [s](bool on) { s->clickGearbox(Gearbox::Automatic, on); });
    connect(srCheckBox1_, &QCheckBox::clicked, this, [s](bool on) { s->clickManifold(Manifold::Metal, on); });
    connect(srCheckBox2_, &QCheckBox::clicked, this,
            [s](bool on) { s->clickManifold(Manifold::Plastic, on); });
    for (int i = 0; i < 5; ++i)
        connect(capacity_[i], &QRadioButton::clicked, this,
                [s, i] { s->selectCapacity(adapt::Capacity(i)); });
    auto reserve = [s](ReserveSensor r) { s->selectReserveSensor(r); };
    connect(srCheckBox10_, &QCheckBox::clicked, this, [reserve] { reserve(ReserveSensor::Sensor20k); });
    connect(image4_, &SensorPicture::clicked, this, [reserve] { reserve(ReserveSensor::Sensor20k); });
    connect(srCheckBox11_, &QCheckBox::clicked, this, [reserve] { reserve(ReserveSensor::Sensor90R); });
    connect(image5_, &SensorPicture::clicked, this, [reserve] { reserve(ReserveSensor::Sensor90R); });

    connect(&m_.live, &LiveModel::featuresChanged, this, [this] { showFeatures(); });
    connect(&m_.shell, &ShellModel::textsChanged, this, [this] { showTitle(); });
}

// ---------------------------------------------------------------- page hooks

void WizardPage::enterPage() {
    session_->enter();
}

void WizardPage::leaveSteps() {
    session_->leave();
}

void WizardPage::stepForward() {
    session_->forward();
}

void WizardPage::stepBack() {
    session_->back();
}

bool WizardPage::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == label11_ || watched == pageControl2_) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        const int room = pageControl2_->y() - label11_->y();
        if (room > 0 && label11_->height() > room) label11_->resize(label11_->width(), room);
    }
    if (watched == comboTerm_) {
        // Enter in the list is the list's own key (ComboTermKeyDown), not the menu's "Dalej".
        if (event->type() == QEvent::ShortcutOverride && enterKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress && enterKey(static_cast<QKeyEvent*>(event))) {
            session_->comboTermEnter();
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

// ---------------------------------------------------------------- showing the view

void WizardPage::showStep(int step) {
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
        comboTerm_->setFocus(Qt::OtherFocusReason);
        break;
    case 4:
        srCheckBox8_->setFocus(Qt::OtherFocusReason);
        break;
    case 5:
        (srCheckBox10_->isChecked() ? srCheckBox10_ : srCheckBox11_)->setFocus(Qt::OtherFocusReason);
        break;
    default:
        pageControl2_->setFocus(Qt::OtherFocusReason);
        break;
    }
}

void WizardPage::showTitle() {
    liveui::setTextIfChanged(label11_, pageControl2_->tabText(pageControl2_->currentIndex()));
}

void WizardPage::showFeatures() {
    const bool shown = m_.live.features().temperatureControls;
    setShown(wlCzujtTempCheckAd_, shown);
    setShown(wlCzujtTempAd_, shown);
}

void WizardPage::showView() {
    const adapt::WizardView& v = session_->view();
    showStep(v.step == 0 ? 1 : v.step);
    for (int i = 0; i < adapt::StepCount; ++i)
        forward_[i]->setEnabled(v.forwardEnabled(i + 1));

    // Step 1
    // Byte 0 is no reading (nothing polled yet, or a silent controller), not -222 °C.
    if (v.term.thermometer != 0) adaptTherm_->setDigit(v.term.thermometer);
    showSpeed(obrTerm_, panelTerm_, v.term.speed);
    if (comboTerm_->currentIndex() != v.term.ignitionIndex) {
        const QSignalBlocker block(comboTerm_);
        comboTerm_->setCurrentIndex(v.term.ignitionIndex);
    }
    setChecked(wlCzujtTempCheckAd_, v.term.sensorChecked);

    // Step 2
    showSpeed(adaptObr1_, adapt2PanelObr_, v.tps.speed);
    tpsDolny_->setText(v.tps.idleText);
    tpsGorny_->setText(v.tps.speedText);
    tpsProg_->setText(v.tps.thresholdText);
    dbLed4_->setChecked(v.tps.lamp);
    setShown(label56_, v.tps.doneShown);

    // Step 3
    showSpeed(obrSondy_, adapt4PanelObr_, v.probe.speed);
    pUboga_->setText(v.probe.leanText);
    pBogata_->setText(v.probe.richText);
    pProg_->setText(v.probe.thresholdText);
    showBar(lambdaBar_, v.probe.bar, opSector);
    if (!v.probe.barEnd.isEmpty()) liveui::setTextIfChanged(ad4LabelV_, v.probe.barEnd);
    showBar(miernik_, v.probe.progress, opUnit);
    led1_->setChecked(v.probe.lamp);
    setShown(label87_, v.probe.doneShown);

    // Steps 4 and 5
    setChecked(srCheckBox8_, v.car.gearbox == adapt::Gearbox::Manual);
    setChecked(srCheckBox9_, v.car.gearbox == adapt::Gearbox::Automatic);
    for (int i = 0; i < 5; ++i)
        setChecked(capacity_[i], v.car.capacity == adapt::Capacity(i));
    setChecked(srCheckBox1_, v.car.manifold == adapt::Manifold::Metal);
    setChecked(srCheckBox2_, v.car.manifold == adapt::Manifold::Plastic);
    const bool r20k = v.car.reserve == adapt::ReserveSensor::Sensor20k;
    setChecked(srCheckBox10_, r20k);
    setChecked(srCheckBox11_, !r20k);
    image4_->setSelected(r20k);
    image5_->setSelected(!r20k);

    // Step 6
    showSpeed(obrPrzedRed_, panellPrzedRed_, v.switchOver.speed);
    ledPrzedRed_->setChecked(v.switchOver.lamp);
    setShown(nastapiloPrzejscieBgLabel_, v.switchOver.switchedShown);

    // Step 7
    showBar(lambdabarRR_, v.reducer.bar, v.reducer.barOptions.value_or(designBarOptions_));
    ledRR_->setChecked(v.reducer.lamp);

    // Step 8
    const adapt::StepperView& s = v.stepper;
    showSpeed(obrMinMax_, panelObrMinMax_, s.speed);
    panelMin_->setText(s.minText);
    panelMax_->setText(s.maxText);
    panelStart_->setText(s.startText);
    ledMin_->setChecked(s.minLamp);
    ledMax_->setChecked(s.maxLamp);
    showBar(lambdaBarObr1_, s.bar, s.barOptions.value_or(opSector));
    showBar(lambdaBarObr2_, s.progress, opUnit);
    setShown(label70_, s.idleHintShown);
    setShown(label76_, s.speedHintShown);
    setShown(komunikatKoncowy_, s.doneShown);
}
