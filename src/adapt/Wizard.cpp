#include "adapt/Wizard.h"

#include "link/Controller.h"

namespace adapt {

namespace {

using Kind = LinkAction::Kind;

constexpr int SwitchOverPauseMs = 2000; // the fitter sees the switch before moving on
constexpr std::uint8_t CmdIgnition = 0x1F;

bool validIgnitionIndex(int index) {
    return index >= 0 && index <= 5;
}

// A group of commands goes out on a freshly opened port, and the port is
// opened afresh after it.
void addGroup(Reaction& r, const CommandGroup& g, WriteKind kind) {
    r.add(LinkAction::make(Kind::ClosePort));
    r.add(LinkAction::make(Kind::OpenPort));
    r.add(LinkAction::write(g.commands, kind));
    r.add(LinkAction::make(Kind::ClosePort));
    r.add(LinkAction::make(Kind::OpenPort));
}

LinkAction ignitionWrite(int index) {
    return LinkAction::write({{CmdIgnition, static_cast<std::uint8_t>(index), 0}}, WriteKind::Ignition);
}

} // namespace

// ---------------------------------------------------------------- timers

void Wizard::startTimer(Reaction& r, Timer t) {
    timers_[static_cast<std::size_t>(t)] = true;
    r.add(LinkAction::start(t));
}

void Wizard::stopTimer(Reaction& r, Timer t) {
    timers_[static_cast<std::size_t>(t)] = false;
    r.add(LinkAction::stop(t));
}

Reaction Wizard::stopPolling() {
    timers_.fill(false);
    entryPollPending_ = false;
    Reaction r;
    r.add(LinkAction::make(Kind::StopPolling));
    return r;
}

void Wizard::syncViews() {
    view_.term = term_.view;
    view_.tps = tps_.view;
    view_.probe = probe_.view;
    view_.switchOver = switchOver_.view;
    view_.reducer = reducer_.view;
    view_.stepper = stepper_.view;
}

// ---------------------------------------------------------------- entering and leaving

Reaction Wizard::enter(const Entry& entry) {
    versionCode_ = entry.versionCode;
    temperatureSensor_ = entry.temperatureSensorOn;
    flags_ = entry.flags;
    chain_.filter.reset();
    timers_.fill(false);
    Reaction r = startWizard();
    syncViews();
    return r;
}

// Step 1 as on entering the wizard; also the back button of step 2.
Reaction Wizard::startWizard() {
    view_.step = 1;
    ++entrySerial_;
    term_.enter(versionCode_ >= 4, temperatureSensor_);
    Reaction r;
    r.add(LinkAction::make(Kind::MarkNotWritten));
    r.add(LinkAction::make(Kind::ReadIgnition));
    r.add(LinkAction::make(Kind::OpenPort));
    startTimer(r, Timer::AdaptTerm);
    return r;
}

Reaction Wizard::leave() {
    Reaction r;
    if (timerEnabled(Timer::AdaptTerm) && validIgnitionIndex(term_.view.ignitionIndex))
        r.add(ignitionWrite(term_.view.ignitionIndex));
    r.add(stopPolling());
    return r;
}

void Wizard::ignitionRead(int index, std::optional<std::uint8_t> flags) {
    const Controller::Ignition ig = Controller::ignitionFor(index);
    term_.view.ignitionIndex = ig.index;
    chain_.ignitionConstant = ig.constant;
    if (flags) flags_ = flags;
    syncViews();
}

Reaction Wizard::entryPolled(const LiveFrame& frame) {
    if (entryPollPending_ && view_.step == 2) tps_.entryPolled(frame);
    entryPollPending_ = false;
    syncViews();
    return {};
}

Reaction Wizard::resume(int token) {
    if (token == entrySerial_ && view_.step == 6 && switchOver_.view.switchedShown) switchOver_.settled();
    syncViews();
    return {};
}

// ---------------------------------------------------------------- ticks

Reaction Wizard::tick(Timer timer, const std::vector<LiveFrame>& polls) {
    Reaction r;
    if (!timerEnabled(timer) || polls.empty()) return r;
    const LiveFrame& frame = polls.front();
    switch (timer) {
    case Timer::AdaptTerm:
        term_.tick(chain_, frame, polls.size() > 1 ? &polls[1] : nullptr);
        break;
    case Timer::UstTpsProg:
        if (tps_.tick(chain_, frame)) stopTimer(r, Timer::UstTpsProg);
        break;
    case Timer::KalibSonda:
        probe_.tick(chain_, frame);
        break;
    case Timer::PrzedRed:
        if (switchOver_.tick(chain_, frame)) {
            stopTimer(r, Timer::PrzedRed);
            r.add(LinkAction::pause(SwitchOverPauseMs));
            r.add(LinkAction::resume(entrySerial_));
        }
        break;
    case Timer::RR:
        reducer_.tick(frame);
        break;
    case Timer::MinMax1:
        if (stepper_.tickIdle(chain_, frame, values_)) {
            stopTimer(r, Timer::MinMax1);
            startTimer(r, Timer::MinMax2);
        }
        break;
    case Timer::MinMax2: {
        const int mid = static_cast<int>(roundRatio(probe_.learnt.rich + probe_.learnt.threshold, 2));
        if (stepper_.tickSpeed(chain_, frame, values_, mid)) stopTimer(r, Timer::MinMax2);
        break;
    }
    }
    syncViews();
    return r;
}

// ---------------------------------------------------------------- forward and back

Reaction Wizard::pressForward() {
    if (view_.step < 1 || !view_.forwardEnabled(view_.step)) return {};
    Reaction r = forwardFrom(view_.step);
    syncViews();
    return r;
}

Reaction Wizard::comboTermEnter() {
    return view_.step == 1 ? pressForward() : Reaction{};
}

Reaction Wizard::back() {
    const int from = view_.step;
    if (from < 2) return {};
    Reaction r = stopPolling();
    if (from == 2) {
        r.add(startWizard());
    } else {
        if (from == 6) switchOver_.view.switchedShown = false;
        r.add(forwardFrom(from - 2));
    }
    syncViews();
    return r;
}

Reaction Wizard::selectTab(int step) {
    if (step < 1 || step > StepCount) return {};
    Reaction r = stopPolling();
    chain_.filter.reset();
    r.add(LinkAction::make(Kind::ClosePort));
    if (step == 1) {
        r.add(startWizard());
    } else if (step == 4 || step == 5) {
        view_.step = step;
    } else {
        view_.step = step;
        ++entrySerial_;
        r.add(LinkAction::make(Kind::OpenPort));
        r.add(initialise(step));
        startTimer(r, *stepInfo(step).timer);
    }
    syncViews();
    return r;
}

// The forward button of a step, pressed by the fitter or by a back action.
Reaction Wizard::forwardFrom(int step) {
    Reaction r;
    // A step's timer polls only while its step is shown. Left running behind
    // the next step, the timers of steps 1, 3 and 7 would share the line with
    // its own: the stepper step's ticks would then come further apart than
    // 100 ms, and the lambda times it counts in ticks would come out short.
    for (int t = 0; t < TimerCount; ++t)
        if (timers_[static_cast<std::size_t>(t)]) stopTimer(r, Timer(t));
    switch (step) {
    case 1:
        if (validIgnitionIndex(term_.view.ignitionIndex)) r.add(ignitionWrite(term_.view.ignitionIndex));
        r.add(goToTimedStep(2));
        break;
    case 2:
        r.add(goToTimedStep(3));
        break;
    case 3:
    case 4:
        view_.step = step + 1; // the car's description has no timer and sends nothing
        break;
    case 5:
        r.add(goToTimedStep(6));
        break;
    case 6:
        switchOver_.view.switchedShown = false;
        r.add(goToTimedStep(7));
        break;
    case 7:
        r.add(goToTimedStep(8));
        break;
    case 8:
        r.add(finish());
        break;
    default:
        break;
    }
    return r;
}

Reaction Wizard::goToTimedStep(int step) {
    view_.step = step;
    ++entrySerial_;
    Reaction r;
    r.add(LinkAction::make(Kind::ClosePort));
    r.add(LinkAction::make(Kind::OpenPort));
    r.add(initialise(step));
    startTimer(r, *stepInfo(step).timer);
    return r;
}

Reaction Wizard::initialise(int step) {
    Reaction r;
    switch (step) {
    case 2:
        tps_.enter();
        entryPollPending_ = true;
        r.add(LinkAction::make(Kind::PollEntry));
        break;
    case 3:
        probe_.enter();
        break;
    case 6:
        switchOver_.enter();
        values_ = {79, 80, 81, 800, 800, tps_.learnt.directionByte};
        r.add(setupActions());
        break;
    case 7:
        reducer_.enter(probe_.fiveVoltFlag);
        break;
    case 8:
        values_ = {10, 200, 80, 800, 800, tps_.learnt.directionByte};
        r.add(setupActions());
        stepper_.enter();
        break;
    default:
        break;
    }
    return r;
}

Reaction Wizard::setupActions() {
    SetupInputs in;
    in.ignitionConstant = chain_.ignitionConstant;
    in.rich = probe_.learnt.rich;
    in.probeThreshold = probe_.learnt.threshold;
    in.tpsDirectionFlag = tps_.learnt.directionFlag;
    in.tpsToWrite = values_.tpsToWrite;
    in.gearbox = view_.car.gearbox;
    in.reserve = view_.car.reserve;
    in.lower = values_.lower;
    in.upper = values_.upper;
    in.start = values_.start;
    in.t1 = values_.t1;
    in.t2 = values_.t2;
    in.flags = flags_;
    const CommandGroup g = adaptationSetup(in);
    flags_ = g.flags;

    Reaction r;
    addGroup(r, g, WriteKind::Setup);
    return r;
}

Reaction Wizard::finish() {
    values_.tpsToWrite = tps_.learnt.threshold;
    FinalInputs in;
    in.tpsThreshold = values_.tpsToWrite;
    in.lower = values_.lower;
    in.upper = values_.upper;
    in.start = values_.start;
    in.t1 = values_.t1;
    in.t2 = values_.t2;
    in.capacity = view_.car.capacity;
    in.manifold = view_.car.manifold;
    in.temperatureSensor = temperatureSensor_;
    in.versionCode = versionCode_;
    in.flags = flags_;
    const CommandGroup g = finalWrite(in);
    flags_ = g.flags;

    Reaction r;
    addGroup(r, g, WriteKind::Final);
    // The wizard is left for the parameters page: no step timer polls on behind it.
    r.add(stopPolling());
    r.add(LinkAction::make(Kind::ClosePort));
    r.add(LinkAction::make(Kind::MarkNotWritten));
    r.add(LinkAction::make(Kind::Finish));
    return r;
}

void Wizard::writeLost(WriteKind kind) {
    if (kind == WriteKind::Ignition) return;
    // The step cannot go on from a set-up the controller may not hold: its
    // timer stays off and its forward button disabled until it is entered again.
    for (Timer t : {Timer::PrzedRed, Timer::MinMax1, Timer::MinMax2})
        timers_[static_cast<std::size_t>(t)] = false;
    if (view_.step == 8) {
        stepper_.view.forwardEnabled = false;
        stepper_.view.doneShown = false;
        stepper_.view.idleHintShown = false;
        stepper_.view.speedHintShown = false;
    }
    switchOver_.view.forwardEnabled = false;
    syncViews();
}

// ---------------------------------------------------------------- choices

void Wizard::setIgnitionIndex(int index) {
    term_.view.ignitionIndex = index;
    syncViews();
}

void Wizard::setTemperatureSensor(bool on) {
    temperatureSensor_ = on;
    term_.view.sensorChecked = on;
    syncViews();
}

void Wizard::clickGearbox(Gearbox clicked, bool checkedAfterClick) {
    const Gearbox other = clicked == Gearbox::Manual ? Gearbox::Automatic : Gearbox::Manual;
    view_.car.gearbox = checkedAfterClick ? clicked : other;
}

void Wizard::selectCapacity(Capacity capacity) {
    view_.car.capacity = capacity;
}

void Wizard::clickManifold(Manifold clicked, bool checkedAfterClick) {
    const Manifold other = clicked == Manifold::Metal ? Manifold::Plastic : Manifold::Metal;
    view_.car.manifold = checkedAfterClick ? clicked : other;
}

void Wizard::selectReserveSensor(ReserveSensor sensor) {
    view_.car.reserve = sensor;
}

Learnt Wizard::learnt() const {
    Learnt l;
    l.tpsIdle = tps_.idleReading;
    l.tpsSpeed = tps_.speedReading;
    l.tps = tps_.learnt;
    l.probeScaleTenths = probe_.scaleTenths;
    l.probeFiveVolt = probe_.fiveVoltFlag;
    l.probe = probe_.learnt;
    l.values = values_;
    l.richRuns = stepper_.runs.richRuns();
    l.leanRuns = stepper_.runs.leanRuns();
    return l;
}

} // namespace adapt
