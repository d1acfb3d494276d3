#include "adapt/Steps.h"

using Id = ctl::ControlId;

#include "link/Controller.h"
#include "live/LiveDecode.h"

namespace adapt {

namespace {

constexpr int WarmTemperature = 130;    // byte 2 above this: engine warm
constexpr int TpsSpeedDisplay = 3000;   // step 2 counts from this speed display
constexpr int ProbeSpeedDisplay = 1600; // step 3 samples from this speed display
constexpr int ProbeSamplesDone = 100;   // counter in steps of 2: 50 samples
constexpr int FiveVoltByte = 80;        // a lambda byte this high means a 0-5 V probe
constexpr int RichByte = 30;            // step 7: above this the mixture is rich
constexpr int IdleDisplayBelow = 1300;  // step 8, phase 1
constexpr int SpeedDisplayAbove = 2000; // step 8, phase 2

constexpr BarRange OneVoltBar{0, 60, 0.0, 60.0};
constexpr BarRange FiveVoltBar{0, 255, 0.0, 255.0};

QString number(int v) {
    return QString::number(v);
}

int stepperPosition(const LiveFrame& f) {
    return live::stepperPosition(f[6]);
}

} // namespace

Bytes Reaction::sentBytes() const {
    Bytes out;
    for (const LinkAction& a : actions)
        for (const Bytes& c : a.group)
            out.insert(out.end(), c.begin(), c.end());
    return out;
}

bool WizardView::forwardEnabled(int n) const {
    switch (n) {
    case 1:
        return term.forwardEnabled;
    case 2:
        return tps.forwardEnabled;
    case 3:
        return probe.forwardEnabled;
    case 4:
    case 5:
        return true; // ParSamButton and OczkaButton are never disabled
    case 6:
        return switchOver.forwardEnabled;
    case 7:
        return reducer.forwardEnabled;
    case 8:
        return stepper.forwardEnabled;
    default:
        return false;
    }
}

const StepInfo& stepInfo(int number) {
    static const StepInfo steps[] = {
        {1, Id::adaptterm, "Ad2 - termometr", Id::termbutton, std::nullopt, Timer::AdaptTerm},
        {2, Id::AdaptTps, "Ad2 - ustalenie progu TPS", Id::tpsbutton, Id::CofnijAD2, Timer::UstTpsProg},
        {3, Id::adaptsonda, "Kalibracja Sondy Lambda", Id::SondButton, Id::CofnijAD3, Timer::KalibSonda},
        {4, Id::adapt5, "Wybór parametrow samochodu", Id::ParSamButton, Id::CofnijAD4, std::nullopt},
        {5, Id::adapt6, "Wybór oczka", Id::OczkaButton, Id::CofnijAD5, std::nullopt},
        {6, Id::przedreduktorem, "Przejscie z benzyny na gaz", Id::przedreduktbutton, Id::CofnijAD6,
         Timer::PrzedRed},
        {7, Id::Regulacjareduktora, "regulacja reduktora", Id::RRbutton, Id::CofnijAD7, Timer::RR},
        {8, Id::MinMaxTab, "Kalibracja silnika krokowego", Id::MinMaxButton, Id::CofnijAD8, Timer::MinMax1},
    };
    const int i = number < 1 ? 0 : number > StepCount ? StepCount - 1 : number - 1;
    return steps[i];
}

QString placeholderText() {
    return QStringLiteral(".......");
}

// ---------------------------------------------------------------- speed

std::optional<int> SpeedChain::push(const LiveFrame& frame) {
    const int filtered = filter.push(live::enginePeriod(frame[4], frame[5]));
    return live::engineSpeed(ignitionConstant, filtered);
}

void showSpeed(SpeedView& view, int speed) {
    view.digit = speed;
    view.panel = number(live::speedDisplay(speed));
}

// ---------------------------------------------------------------- step 1

void TermStep::enter(bool temperatureCapable, bool sensorOn) {
    // Without a temperature input there is nothing to wait for.
    view.forwardEnabled = !temperatureCapable;
    view.sensorSwitchShown = temperatureCapable;
    view.sensorChecked = sensorOn;
}

void TermStep::tick(SpeedChain& chain, const LiveFrame& temperaturePoll, const LiveFrame* speedPoll) {
    if (temperaturePoll.ok) {
        view.thermometer = temperaturePoll[2];
        if (temperaturePoll[2] > WarmTemperature) view.forwardEnabled = true;
    }
    if (view.ignitionIndex >= 0 && view.ignitionIndex <= 5)
        chain.ignitionConstant = Controller::ignitionConstantForIndex(view.ignitionIndex);
    if (!speedPoll || !speedPoll->ok) return;
    if (const std::optional<int> speed = chain.push(*speedPoll)) showSpeed(view.speed, *speed);
}

// ---------------------------------------------------------------- step 2

void TpsStep::enter() {
    view.doneShown = false;
    view.idleText.clear();
    view.speedText.clear();
    view.thresholdText.clear();
    view.lamp = false;
    view.forwardEnabled = false;
    idleReading.reset();
}

void TpsStep::entryPolled(const LiveFrame& frame) {
    // A failed poll leaves the idle reading to the first good tick (and a tick
    // that took it is not overruled by a late answer).
    if (!frame.ok || idleReading) return;
    idleReading = frame[1];
    view.idleText = live::tpsVoltsText(*idleReading);
}

bool TpsStep::tick(SpeedChain& chain, const LiveFrame& frame) {
    if (!frame.ok) return false;
    if (!idleReading) entryPolled(frame);
    const std::optional<int> speed = chain.push(frame);
    if (!speed) return false;
    showSpeed(view.speed, *speed);
    if (live::speedDisplay(*speed) < TpsSpeedDisplay) return false;

    speedReading = frame[1];
    view.speedText = live::tpsVoltsText(speedReading);
    learnt = tpsThreshold(*idleReading, speedReading);
    view.thresholdText = live::tpsVoltsText(learnt.threshold);
    view.lamp = true;
    view.forwardEnabled = true;
    view.doneShown = true;
    return true;
}

// ---------------------------------------------------------------- step 3

void ProbeStep::enter() {
    view.leanText = view.richText = view.thresholdText = placeholderText();
    view.forwardEnabled = false;
    counter = 0;
    scaleTenths = ScaleOneVolt;
    view.bar.setRange(OneVoltBar);
    // A new calibration measures this run's extremes only.
    view.bar.clearMarkers();
    view.barEnd = QStringLiteral("1 V");
    view.lamp = false;
    view.progress.setValue(3.0);
    view.doneShown = false;
}

void ProbeStep::tick(SpeedChain& chain, const LiveFrame& frame) {
    if (!frame.ok) return;
    const std::optional<int> speed = chain.push(frame);
    if (!speed) return;
    showSpeed(view.speed, *speed);
    if (live::speedDisplay(*speed) < ProbeSpeedDisplay) return;

    if (counter < ProbeSamplesDone) {
        counter += 2;
        view.progress.setDigit(counter);
        fiveVoltFlag = false;
        const int lambda = frame[0];
        if (lambda >= FiveVoltByte) {
            fiveVoltFlag = true;
            view.bar.setRange(FiveVoltBar);
            scaleTenths = ScaleFiveVolt;
            view.barEnd = QStringLiteral("5 V");
        }
        view.bar.setDigit(lambda);
    }
    if (counter >= ProbeSamplesDone) {
        view.progress.setDigit(0);
        learnt = probeValues(view.bar.lowestPosition(), view.bar.highestPosition(), scaleTenths);
        view.leanText = live::lambdaVoltsText(learnt.lean);
        view.richText = live::lambdaVoltsText(learnt.rich);
        view.thresholdText = live::lambdaVoltsText(learnt.threshold);
        view.lamp = true;
        view.forwardEnabled = true;
        view.doneShown = true;
    }
}

// ---------------------------------------------------------------- step 6

void SwitchOverStep::enter() {
    view.forwardEnabled = false;
    view.switchedShown = false;
    view.lamp = false;
}

bool SwitchOverStep::tick(SpeedChain& chain, const LiveFrame& frame) {
    if (!frame.ok) return false;
    const std::optional<int> speed = chain.push(frame);
    if (!speed) return false;
    showSpeed(view.speed, *speed);
    position = stepperPosition(frame);
    if (position == 0) return false;
    view.lamp = true;
    view.switchedShown = true;
    return true;
}

// ---------------------------------------------------------------- step 7

void ReducerStep::enter(bool fiveVoltProbe) {
    view.lamp = false;
    view.forwardEnabled = false;
    view.barOptions = BarOption::Sector;
    view.bar.setRange(fiveVoltProbe ? FiveVoltBar : BarRange{0, 50, 0.0, 50.0});
    view.bar.setDigit(0);
}

void ReducerStep::tick(const LiveFrame& frame) {
    if (!frame.ok) return;
    view.bar.setDigit(frame[0]);
    if (frame[0] > RichByte) {
        view.forwardEnabled = true;
        view.lamp = true;
    }
}

// ---------------------------------------------------------------- step 8

void RunMeter::reset() {
    rich_.clear();
    lean_.clear();
    richLength_ = leanLength_ = 0;
    last_ = Side::None;
}

void RunMeter::sample(int lambda, int mid) {
    if (lambda < mid) {
        if (last_ == Side::Rich) {
            if (rich_.size() < MaxRuns) rich_.push_back(richLength_);
            richLength_ = 0;
        }
        ++leanLength_;
        last_ = Side::Lean;
    } else {
        if (last_ == Side::Lean) {
            if (lean_.size() < MaxRuns) lean_.push_back(leanLength_);
            leanLength_ = 0;
        }
        ++richLength_;
        last_ = Side::Rich;
    }
}

void StepperStep::enter() {
    view.barOptions = 0;
    view.forwardEnabled = false;
    view.minText = view.maxText = view.startText = placeholderText();
    view.minLamp = view.maxLamp = false;
    view.bar.setRange(FiveVoltBar);
    view.bar.setDigit(255);
    view.bar.resetMarkers();
    view.progress.setDigit(3);
    counter = 0;
    // A repeated calibration must not start with a run left over from the last one.
    runs.reset();
    view.doneShown = false;
    view.idleHintShown = true;
    view.speedHintShown = false;
}

bool StepperStep::tickIdle(SpeedChain& chain, const LiveFrame& frame, AdaptValues& values) {
    if (!frame.ok) return false;
    const std::optional<int> speed = chain.push(frame);
    if (!speed) return false;
    showSpeed(view.speed, *speed);
    if (live::speedDisplay(*speed) >= IdleDisplayBelow) return false;

    if (counter < Samples) {
        ++counter;
        view.progress.setDigit(static_cast<int>(roundRatio(counter, 3)));
        const int p = stepperPosition(frame);
        view.bar.setDigit(p);
        view.minText = number(p);
        return false;
    }
    values.lower = stepperLower(view.bar.lowestPosition());
    view.minText = number(values.lower);
    view.minLamp = true;
    view.bar.setDigit(0);
    view.bar.resetMarkers();
    view.progress.setDigit(0);
    counter = 0;
    view.speedHintShown = true;
    view.idleHintShown = false;
    return true;
}

bool StepperStep::tickSpeed(SpeedChain& chain, const LiveFrame& frame, AdaptValues& values, int mid) {
    if (!frame.ok) return false;
    const std::optional<int> speed = chain.push(frame);
    if (!speed) return false;
    showSpeed(view.speed, *speed);
    if (live::speedDisplay(*speed) <= SpeedDisplayAbove) return false;

    if (counter < Samples) {
        ++counter;
        view.progress.setDigit(static_cast<int>(roundRatio(counter, 3)));
        const int p = stepperPosition(frame);
        view.bar.setDigit(p);
        view.maxText = number(p);
        runs.sample(frame[0], mid);
        return false;
    }
    const UpperStart us = stepperUpperStart(view.bar.highestPosition(), values.lower);
    values.upper = us.upper;
    values.start = us.start;
    view.maxText = number(values.upper);
    view.startText = number(values.start);
    view.maxLamp = true;
    view.forwardEnabled = true;
    view.doneShown = true;
    view.speedHintShown = false;
    view.progress.setDigit(0);
    values.t1 = lambdaTime(runs.richRuns(), values.t1);
    values.t2 = lambdaTime(runs.leanRuns(), values.t2);
    return true;
}

} // namespace adapt
