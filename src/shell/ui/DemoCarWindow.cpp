#include "shell/ui/DemoCarWindow.h"

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
    setWindowTitle(QStringLiteral("Symulowany samochód (demo)"));

    const qsim::EngineInputs in = emu_.withModel([](qsim::ControllerModel& m) { return m.inputs(); });

    engineOn_ = new QCheckBox(QStringLiteral("&Silnik pracuje"), this);
    engineOn_->setObjectName(QStringLiteral("engineOnCheck"));
    engineOn_->setChecked(in.engineOn);

    throttle_ = slider(QStringLiteral("throttleSlider"), 0, 100, qRound(in.throttle * 100), this);
    throttleValue_ = new QLabel(this);
    forceTemp_ = new QCheckBox(QStringLiteral("&Ustaw temperaturę"), this);
    forceTemp_->setObjectName(QStringLiteral("forceTempCheck"));
    forceTemp_->setToolTip(QStringLiteral("Bez zaznaczenia silnik nagrzewa się sam podczas pracy."));
    forceTemp_->setChecked(in.forcedTempC > -273);
    temp_ = slider(QStringLiteral("tempSlider"), -20, 110,
                   in.forcedTempC > -273 ? qRound(in.forcedTempC) : qRound(in.ambientC), this);
    tempValue_ = new QLabel(this);
    warmUp_ = new QPushButton(QStringLiteral("&Rozgrzej silnik"), this);
    warmUp_->setObjectName(QStringLiteral("warmUpButton"));
    warmUp_->setToolTip(QStringLiteral("Temperatura zwolniona: pracujący silnik nagrzewa się sam."));
    cold_ = new QPushButton(QStringLiteral("&Zimny silnik"), this);
    cold_->setObjectName(QStringLiteral("coldEngineButton"));
    cold_->setToolTip(QStringLiteral("Temperatura ustawiona na temperaturę otoczenia."));

    reducer_ = slider(QStringLiteral("reducerSlider"), 0, 100, qRound(in.reducer * 100), this);
    reducer_->setToolTip(QStringLiteral("Śruba reduktora: w lewo mieszanka uboga, w prawo bogata."));
    reducerValue_ = new QLabel(this);

    switchPetrol_ = new QRadioButton(QStringLiteral("&benzyna"), this);
    switchPetrol_->setObjectName(QStringLiteral("switchPetrolRadio"));
    switchAuto_ = new QRadioButton(QStringLiteral("&auto"), this);
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
    ignition_->addItems({QStringLiteral("Cewka na cylinder"), QStringLiteral("Podwójna cewka"),
                         QStringLiteral("4 cylindry"), QStringLiteral("5 cylindry"),
                         QStringLiteral("6 cylindry"), QStringLiteral("8 cylindry")});
    ignition_->setCurrentIndex(qBound(0, in.trueIgnition, 5));

    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("demoStateLabel"));
    state_->setTextFormat(Qt::PlainText);
    state_->setMinimumHeight(state_->fontMetrics().lineSpacing() * 3);

    auto* form = new QFormLayout;
    auto* throttleLabel = new QLabel(QStringLiteral("&Gaz (pedał):"), this);
    throttleLabel->setBuddy(throttle_);
    form->addRow(throttleLabel, withValue(throttle_, throttleValue_, this));
    form->addRow(QString(), forceTemp_);
    auto* tempLabel = new QLabel(QStringLiteral("&Temperatura:"), this);
    tempLabel->setBuddy(temp_);
    form->addRow(tempLabel, withValue(temp_, tempValue_, this));
    auto* warmRow = new QWidget(this);
    auto* warmLay = new QHBoxLayout(warmRow);
    warmLay->setContentsMargins(0, 0, 0, 0);
    warmLay->addWidget(warmUp_);
    warmLay->addWidget(cold_);
    warmLay->addStretch(1);
    form->addRow(QString(), warmRow);
    auto* reducerLabel = new QLabel(QStringLiteral("Śruba r&eduktora:"), this);
    reducerLabel->setBuddy(reducer_);
    form->addRow(reducerLabel, withValue(reducer_, reducerValue_, this));
    form->addRow(QStringLiteral("Przełącznik B/G:"), switchBox);
    auto* gasLabel = new QLabel(QStringLiteral("&Poziom gazu w zbiorniku:"), this);
    gasLabel->setBuddy(gas_);
    form->addRow(gasLabel, withValue(gas_, gasValue_, this));
    auto* ignLabel = new QLabel(QStringLiteral("Rzeczywisty układ zapło&nowy:"), this);
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
    setFixedWidth(400);
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
    state_->setText(QStringLiteral("Obroty: %1 1/min   Temperatura: %2 °C\n"
                                   "Sonda lambda: %3 V   TPS: %4 V\n"
                                   "Silnik krokowy: %5   Zasilanie: %6")
                        .arg(qRound(st.rpm))
                        .arg(st.tempC, 0, 'f', 1)
                        .arg(st.lambdaVolts, 0, 'f', 2)
                        .arg(st.tpsVolts, 0, 'f', 2)
                        .arg(st.stepper)
                        .arg(st.onGas ? QStringLiteral("gaz") : QStringLiteral("benzyna")));
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
