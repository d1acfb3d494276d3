#pragma once
// The autoadaptation wizard without its widgets: which step is shown, what
// its forward and back buttons and the Enter and Backspace keys do, which
// step timers run, what each timer tick and step entry shows and sends, and
// the values the steps learn.
//
// WizardSession drives it so:
//  - enter() when the wizard page becomes the main page, leave() before it stops being it;
//  - every 100 ms, for each timer t with timerEnabled(t) (in Timer order), poll
//    pollsPerTick(t) live frames and pass them to tick(t, frames);
//  - run the actions of every Reaction in order; PollEntry, ReadIgnition and
//    Resume report back through entryPolled(), ignitionRead() and resume(), a
//    Write that did not all go out through writeLost();
//  - after every call, show view().
#include "adapt/Steps.h"
#include "adapt/WizardTypes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace adapt {

// Everything the steps have learnt, for the page and for tests.
struct Learnt {
    std::optional<int> tpsIdle;
    int tpsSpeed = 0;
    TpsThreshold tps{0, 1, 250};
    int probeScaleTenths = ScaleOneVolt;
    bool probeFiveVolt = false;
    ProbeValues probe{0, 0, 0};
    AdaptValues values;
    std::vector<int> richRuns;
    std::vector<int> leanRuns;
};

class Wizard {
public:
    // The link values the wizard starts from.
    struct Entry {
        int versionCode = 0;
        bool temperatureSensorOn = false;  // CheckBox22_2 on the parameters page
        std::optional<std::uint8_t> flags; // held flags byte; nullopt when never read
    };

    // Entering the wizard page (after the page change has stopped the timers and
    // closed the port): step 1, its ignition read and its timer.
    Reaction enter(const Entry& entry);
    // The main page is being left: the ignition write when step 1's timer still
    // runs, then every wizard timer stops.
    Reaction leave();

    // Results of the actions that read from the controller.
    void ignitionRead(int ignitionIndex, std::optional<std::uint8_t> flags);
    Reaction entryPolled(const LiveFrame& frame);
    Reaction resume(int token);
    // A Write that did not all go out; what followed it in its reaction is
    // not carried out. A set-up or the final write leaves its step stopped.
    void writeLost(WriteKind kind);

    // One tick of a timer with its polls (two for TimerAdaptTerm, one otherwise).
    // A timer that is not enabled does nothing.
    Reaction tick(Timer timer, const std::vector<LiveFrame>& polls);
    static int pollsPerTick(Timer timer) { return timer == Timer::AdaptTerm ? 2 : 1; }

    // The current step's forward button, or Enter ("Dalej"): only when it is enabled.
    Reaction pressForward();
    // Enter in ComboTerm: the same, on step 1.
    Reaction comboTermEnter();
    // A back button, or Backspace ("Cofnij"): from step 2 step 1 starts afresh;
    // from step n >= 3 the forward button of step n - 2 is pressed.
    Reaction back();
    // A wizard tab selected (PageControl2Change).
    Reaction selectTab(int step);

    // Fitter's choices.
    void setIgnitionIndex(int index);   // ComboTerm; sent by the forward button
    void setTemperatureSensor(bool on); // WlCzujtTempCheckAd
    void setHeldFlags(std::optional<std::uint8_t> flags) { flags_ = flags; }
    // Check-box pairs: the clicked member's state after the click decides.
    void clickGearbox(Gearbox clicked, bool checkedAfterClick);
    void selectCapacity(Capacity capacity);
    void clickManifold(Manifold clicked, bool checkedAfterClick);
    void selectReserveSensor(ReserveSensor sensor);

    const WizardView& view() const { return view_; }
    int step() const { return view_.step; }
    bool timerEnabled(Timer t) const { return timers_[static_cast<std::size_t>(t)]; }
    Learnt learnt() const;
    int ignitionConstant() const { return chain_.ignitionConstant; }
    std::optional<std::uint8_t> heldFlags() const { return flags_; }
    bool temperatureSensorOn() const { return temperatureSensor_; }

private:
    Reaction startWizard();
    Reaction forwardFrom(int step);
    Reaction goToTimedStep(int step);
    Reaction initialise(int step);
    Reaction setupActions();
    Reaction finish();
    Reaction stopPolling();
    void startTimer(Reaction& r, Timer t);
    void stopTimer(Reaction& r, Timer t);
    void syncViews();

    WizardView view_;
    TermStep term_;
    TpsStep tps_;
    ProbeStep probe_;
    SwitchOverStep switchOver_;
    ReducerStep reducer_;
    StepperStep stepper_;
    AdaptValues values_;
    SpeedChain chain_;
    std::array<bool, TimerCount> timers_{};
    int versionCode_ = 0;
    bool temperatureSensor_ = false;
    std::optional<std::uint8_t> flags_;
    bool entryPollPending_ = false;
    int entrySerial_ = 0; // a Resume from an earlier entry of a step is stale
};

} // namespace adapt
