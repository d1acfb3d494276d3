#pragma once
// The wizard's steps one by one: what a step's entry resets and what one poll
// of its timer shows and learns. The flow between the steps, the timers and
// the link actions are Wizard's.
#include "adapt/WizardTypes.h"
#include "live/PeriodFilter.h"

#include <optional>
#include <vector>

namespace adapt {

// Engine speed as every step shows it: the shared period filter and the
// ignition constant.
struct SpeedChain {
    PeriodFilter filter;
    int ignitionConstant = 4800;
    // Pushes the frame's period through the filter; the speed when the
    // constant and the filtered period are both non-zero.
    std::optional<int> push(const LiveFrame& frame);
};
// Meter digit := speed; panel := speed rounded to 50.
void showSpeed(SpeedView& view, int speed);

// Step 1: warm engine and the ignition system.
class TermStep {
public:
    TermView view;
    void enter(bool temperatureCapable, bool sensorOn);
    // One tick: the temperature poll, then (with the constant taken from the
    // list index when it is valid) the engine-speed poll. A poll that failed
    // changes nothing.
    void tick(SpeedChain& chain, const LiveFrame& temperaturePoll, const LiveFrame* speedPoll);
};

// Step 2: TPS threshold.
class TpsStep {
public:
    TpsView view;
    std::optional<int> idleReading; // TPS byte at the step's start
    int speedReading = 0;
    TpsThreshold learnt{0, 1, 250};

    void enter();
    void entryPolled(const LiveFrame& frame);
    // True when the threshold has been learnt in this tick (the timer stops).
    bool tick(SpeedChain& chain, const LiveFrame& frame);
};

// Step 3: lambda probe.
class ProbeStep {
public:
    ProbeView view;
    int counter = 0;
    int scaleTenths = ScaleOneVolt;
    bool fiveVoltFlag = false; // the last sampled lambda byte was 80 or more
    ProbeValues learnt{0, 0, 0};

    void enter();
    void tick(SpeedChain& chain, const LiveFrame& frame);
};

// Step 6: petrol to gas.
class SwitchOverStep {
public:
    SwitchOverView view;
    int position = 0;
    void enter();
    // True when the stepper has left 0 in this tick (the timer stops).
    bool tick(SpeedChain& chain, const LiveFrame& frame);
    void settled() { view.forwardEnabled = true; }
};

// Step 7: reducer regulation.
class ReducerStep {
public:
    ReducerView view;
    void enter(bool fiveVoltProbe);
    void tick(const LiveFrame& frame);
};

// Stepper limits, start position and lambda times: set by the entries of
// steps 6 and 8, learnt by step 8, written at the end.
struct AdaptValues {
    int lower = 79;
    int upper = 80;
    int start = 81;
    int t1 = 800;
    int t2 = 800;
    int tpsToWrite = 250;
};

// Lengths of rich and lean runs of the lambda byte, in ticks.
class RunMeter {
public:
    static constexpr std::size_t MaxRuns = 300;
    enum class Side { None, Rich, Lean };
    // Lists emptied, lengths 0, no last side.
    void reset();
    void sample(int lambda, int mid);
    const std::vector<int>& richRuns() const { return rich_; }
    const std::vector<int>& leanRuns() const { return lean_; }
    Side lastSide() const { return last_; }

private:
    std::vector<int> rich_;
    std::vector<int> lean_;
    int richLength_ = 0;
    int leanLength_ = 0;
    Side last_ = Side::None;
};

// Step 8: stepper lower and upper limits.
class StepperStep {
public:
    static constexpr int Samples = 300;
    StepperView view;
    int counter = 0;
    RunMeter runs;

    void enter();
    // Phase 1 at idle; true when the lower limit has been learnt (phase 2 begins).
    bool tickIdle(SpeedChain& chain, const LiveFrame& frame, AdaptValues& values);
    // Phase 2 above 2000; mid divides rich from lean lambda bytes. True when done.
    bool tickSpeed(SpeedChain& chain, const LiveFrame& frame, AdaptValues& values, int mid);
};

} // namespace adapt
