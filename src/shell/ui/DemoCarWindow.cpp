#include "shell/ui/DemoCarWindow.h"

#include "core/SystemTexts.h"
#include "emulator/Emulator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QSlider* slider(const QString& name, int min, int max, int value, QWidget* parent) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    s->setPageStep(qMax(1, (max - min) / 10));
    s->setFocusPolicy(Qt::StrongFocus);
    return s;
}

QWidget* withValue(QSlider* s, QLabel* value, QWidget* parent) {
    auto* w = new QWidget(parent);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(s, 1);
    value->setMinimumWidth(56);
    h->addWidget(value);
    return w;
}
} // namespace

DemoCarWindow::DemoCarWindow(qsim::Emulator& emulator, QWidget* parent)
    : QWidget(parent, Qt::Tool), emu_(emulator) {
    setObjectName(QStringLiteral("DemoCarWindow"));
    setWindowTitle(systemtext::text(systemtext::DemoTitle));

    const qsim::EngineInputs in = emu_.withModel([](qsim::ControllerModel& m) { return m.inputs(); });

    engineOn_ = new QCheckBox(systemtext::text(systemtext::DemoEngineOn), this);
    engineOn_->setObjectName(QStringLiteral("engineOnCheck"));
    engineOn_->setChecked(in.engineOn);

    throttle_ = slider(QStringLiteral("throttleSlider"), 0, 100, qRound(in.throttle * 100), this);
    throttleValue_ = new QLabel(this);
    forceTemp_ = new QCheckBox(systemtext::text(systemtext::DemoForceTemp), this);
    forceTemp_->setObjectName(QStringLiteral("forceTempCheck"));
    forceTemp_->setToolTip(systemtext::text(systemtext::DemoForceTempTip));
    forceTemp_->setChecked(in.forcedTempC > -273);
    temp_ = slider(QStringLiteral("tempSlider"), -20, 110,
                   in.forcedTempC > -273 ? qRound(in.forcedTempC) : qRound(in.ambientC), this);
    tempValue_ = new QLabel(this);
    warmUp_ = new QPushButton(systemtext::text(systemtext::DemoWarmUp), this);
    warmUp_->setObjectName(QStringLiteral("warmUpButton"));
    warmUp_->setToolTip(systemtext::text(systemtext::DemoWarmUpTip));
    cold_ = new QPushButton(systemtext::text(systemtext::DemoCold), this);
    cold_->setObjectName(QStringLiteral("coldEngineButton"));
    cold_->setToolTip(systemtext::text(systemtext::DemoColdTip));

    reducer_ = slider(QStringLiteral("reducerSlider"), 0, 100, qRound(in.reducer * 100), this);
    reducer_->setToolTip(systemtext::text(systemtext::DemoReducerTip));
    reducerValue_ = new QLabel(this);

    switchPetrol_ = new QRadioButton(systemtext::text(systemtext::DemoSwitchPetrol), this);
    switchPetrol_->setObjectName(QStringLiteral("switchPetrolRadio"));
    switchAuto_ = new QRadioButton(systemtext::text(systemtext::DemoSwitchAuto), this);
    switchAuto_->setObjectName(QStringLiteral("switchAutoRadio"));
    (in.gasSwitch ? switchAuto_ : switchPetrol_)->setChecked(true);
    auto* switchBox = new QWidget(this);
    auto* switchLay = new QHBoxLayout(switchBox);
    switchLay->setContentsMargins(0, 0, 0, 0);
    switchLay->addWidget(switchPetrol_);
    switchLay->addWidget(switchAuto_);
    switchLay->addStretch(1);

    gas_ = slider(QStringLiteral("gasSlider"), 0, 100, qRound(in.gasLevel * 100), this);
    gasValue_ = new QLabel(this);

    ignition_ = new QComboBox(this);
    ignition_->setObjectName(QStringLiteral("ignitionCombo"));
    ignition_->addItems({systemtext::text(systemtext::IgnitionCoilPerCylinder),
                         systemtext::text(systemtext::IgnitionDoubleCoil),
                         systemtext::text(systemtext::Ignition4), systemtext::text(systemtext::Ignition5),
                         systemtext::text(systemtext::Ignition6), systemtext::text(systemtext::Ignition8)});
    ignition_->setCurrentIndex(qBound(0, in.trueIgnition, 5));

    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("demoStateLabel"));
    state_->setTextFormat(Qt::PlainText);
    state_->setMinimumHeight(state_->fontMetrics().lineSpacing() * 3);

    auto* form = new QFormLayout;
    auto* throttleLabel = new QLabel(systemtext::text(systemtext::DemoThrottle), this);
    throttleLabel->setBuddy(throttle_);
    form->addRow(throttleLabel, withValue(throttle_, throttleValue_, this));
    form->addRow(QString(), forceTemp_);
    auto* tempLabel = new QLabel(systemtext::text(systemtext::DemoTemp), this);
    tempLabel->setBuddy(temp_);
    form->addRow(tempLabel, withValue(temp_, tempValue_, this));
    auto* warmRow = new QWidget(this);
    auto* warmLay = new QHBoxLayout(warmRow);
    warmLay->setContentsMargins(0, 0, 0, 0);
    warmLay->addWidget(warmUp_);
    warmLay->addWidget(cold_);
    warmLay->addStretch(1);
    form->addRow(QString(), warmRow);
    auto* reducerLabel = new QLabel(systemtext::text(systemtext::DemoReducer), this);
    reducerLabel->setBuddy(reducer_);
    form->addRow(reducerLabel, withValue(reducer_, reducerValue_, this));
    form->addRow(systemtext::text(systemtext::DemoSwitch), switchBox);
    auto* gasLabel = new QLabel(systemtext::text(systemtext::DemoGasLevel), this);
    gasLabel->setBuddy(gas_);
    form->addRow(gasLabel, withValue(gas_, gasValue_, this));
    auto* ignLabel = new QLabel(systemtext::text(systemtext::DemoIgnition), this);
    ignLabel->setBuddy(ignition_);
    form->addRow(ignLabel, ignition_);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(engineOn_);
    lay->addLayout(form);
    lay->addWidget(state_);
    setTabOrder(engineOn_, throttle_);
    setTabOrder(throttle_, forceTemp_);
    setTabOrder(forceTemp_, temp_);
    setTabOrder(temp_, warmUp_);
    setTabOrder(warmUp_, cold_);
    setTabOrder(cold_, reducer_);
    setTabOrder(reducer_, switchPetrol_);
    setTabOrder(switchPetrol_, switchAuto_);
    setTabOrder(switchAuto_, gas_);
    setTabOrder(gas_, ignition_);

    connect(engineOn_, &QCheckBox::toggled, this, &DemoCarWindow::applyInputs);
    connect(forceTemp_, &QCheckBox::toggled, this, &DemoCarWindow::applyInputs);
    connect(throttle_, &QSlider::valueChanged, this, &DemoCarWindow::applyInputs);
    connect(temp_, &QSlider::valueChanged, this, &DemoCarWindow::applyInputs);
    connect(reducer_, &QSlider::valueChanged, this, &DemoCarWindow::applyInputs);
    connect(switchAuto_, &QRadioButton::toggled, this, &DemoCarWindow::applyInputs);
    connect(gas_, &QSlider::valueChanged, this, &DemoCarWindow::applyInputs);
    connect(ignition_, &QComboBox::currentIndexChanged, this, &DemoCarWindow::applyInputs);
    connect(warmUp_, &QPushButton::clicked, this, &DemoCarWindow::warmUp);
    connect(cold_, &QPushButton::clicked, this, &DemoCarWindow::coldEngine);

    refresh_ = new QTimer(this);
    refresh_->setInterval(250);
    connect(refresh_, &QTimer::timeout, this, &DemoCarWindow::refreshState);
    refresh_->start();
    applyInputs();
    // As wide as its longest caption and buttons need in the window's language.
    setFixedWidth(std::max(400, sizeHint().width()));
}

void DemoCarWindow::applyInputs() {
    const bool on = engineOn_->isChecked();
    const double throttle = throttle_->value() / 100.0;
    const bool forced = forceTemp_->isChecked();
    const double temp = temp_->value();
    const double gas = gas_->value() / 100.0;
    const double reducer = reducer_->value() / 100.0;
    const bool gasSwitch = switchAuto_->isChecked();
    const int ignition = ignition_->currentIndex();
    temp_->setEnabled(forced);
    throttleValue_->setText(QStringLiteral("%1 %").arg(throttle_->value()));
    tempValue_->setText(QStringLiteral("%1 °C").arg(temp_->value()));
    reducerValue_->setText(QString::number(reducer, 'f', 2));
    gasValue_->setText(QStringLiteral("%1 %").arg(gas_->value()));
    emu_.withModel([&](qsim::ControllerModel& m) {
        qsim::EngineInputs& in = m.inputs();
        in.engineOn = on;
        in.throttle = throttle;
        in.forcedTempC = forced ? temp : -1000;
        in.gasLevel = gas;
        in.reducer = reducer;
        in.gasSwitch = gasSwitch;
        if (ignition >= 0) in.trueIgnition = ignition;
        return 0;
    });
    refreshState();
}

void DemoCarWindow::coldEngine() {
    const double ambient = emu_.withModel([](qsim::ControllerModel& m) { return m.inputs().ambientC; });
    temp_->setValue(qRound(ambient));
    forceTemp_->setChecked(true);
    applyInputs();
}

void DemoCarWindow::warmUp() {
    forceTemp_->setChecked(false);
}

void DemoCarWindow::refreshState() {
    const qsim::EngineState st = emu_.withModel([](qsim::ControllerModel& m) { return m.state(); });
    using systemtext::text;
    state_->setText(
        text(systemtext::DemoStateSpeed).arg(qRound(st.rpm)).arg(st.tempC, 0, 'f', 1) + QLatin1Char('\n') +
        text(systemtext::DemoStateProbe).arg(st.lambdaVolts, 0, 'f', 2).arg(st.tpsVolts, 0, 'f', 2) +
        QLatin1Char('\n') +
        text(systemtext::DemoStateStepper)
            .arg(st.stepper)
            .arg(st.onGas ? systemtext::text(systemtext::DemoOnGas)
                          : systemtext::text(systemtext::DemoOnPetrol)));
}

void DemoCarWindow::placeBeside(QWidget* mainWindow) {
    constexpr int Gap = 12;
    adjustSize();
    QRect main = mainWindow->frameGeometry();
    const QScreen* screen = mainWindow->screen();
    if (!screen) {
        move(main.right() + Gap, main.top());
        return;
    }
    const QRect avail = screen->availableGeometry();
    const int total = main.width() + Gap + frameGeometry().width();
    if (main.right() + Gap + frameGeometry().width() > avail.right() && total <= avail.width()) {
        mainWindow->move(avail.left() + (avail.width() - total) / 2, main.top());
        main = mainWindow->frameGeometry();
    }
    int x = main.right() + Gap;
    if (x + frameGeometry().width() > avail.right()) x = avail.right() - frameGeometry().width();
    move(x, main.top());
}
