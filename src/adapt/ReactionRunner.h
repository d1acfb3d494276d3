#pragma once
// Carries out the wizard's reactions on the controller link, one action after
// another: the exchanges as link jobs (consecutive ones of a reaction in one
// job, so no poll of a step timer slips in between a port close and the
// reopen), every write through the write gate, the step timers as link polls,
// the switch-over pause as a timer that blocks neither the window nor the
// link, and the results of the reads fed back to the wizard before anything
// that follows them. A write that did not all go out ends its reaction there.
#include "adapt/WizardTypes.h"
#include "link/Controller.h"
#include "link/LinkState.h"
#include "params/WriteGate.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

class ControllerLink;
class QTimer;

namespace adapt {

// The link poll that stands for a wizard timer: its name and interval.
QString pollName(Timer timer);
int pollInterval(Timer timer);
std::optional<Timer> timerForPoll(const QString& name);
LiveFrame wizardFrame(const ::LiveFrame& frame);

// The parameters a command of a group changes on the controller; flags
// (the held flags byte, when known) follows the group's flags commands.
std::vector<ParamId> carriedBy(const Bytes& command, std::optional<std::uint8_t>& flags);

struct IgnitionResult {
    bool ok = false;                     // a whole block arrived
    int index = 0;                       // ignition list index the controller stores
    std::optional<std::uint8_t> flags;   // the flags byte, when a block was ever read
    std::optional<ParameterBlock> block; // the block itself, when it arrived whole
};

class ReactionRunner : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<Reaction(const LiveFrame&)> entryPolled;
        std::function<void(const IgnitionResult&)> ignitionRead;
        std::function<Reaction(int token)> resume;
        std::function<void()> markNotWritten;
        std::function<void()> finish;
        // What a write is, for the restore point the gate keeps before it.
        std::function<params::WriteContext(WriteKind)> writeContext;
        // A write's report; false ends its reaction (a write that did not all go out).
        std::function<bool(WriteKind, const params::GateReport&)> written;
        // Something the wizard shows may have changed (a result came in).
        std::function<void()> changed;
    };

    // The gate is used on the link's thread only, and must outlive the link's jobs.
    ReactionRunner(ControllerLink& link, params::WriteGate& gate, Hooks hooks, QObject* parent = nullptr);

    // Queues the actions behind whatever still runs and starts them when idle.
    void run(const Reaction& reaction);
    // Drops every action not yet started; results of a job under way are ignored.
    void cancel();
    // Runs at once, without waiting for any job: the leave actions of a page
    // change (ignition write, polls stopped) must be posted before the page
    // change's own steps look at the polls.
    void runDetached(const Reaction& reaction);

    // True from the first action until the last one is done, pauses included.
    bool running() const { return running_; }

private:
    struct Queued {
        LinkAction action;
        int reaction;
    };
    void next();
    void postBatch();
    void dropReaction(int reaction);

    ControllerLink& link_;
    params::WriteGate& gate_;
    Hooks hooks_;
    std::deque<Queued> queue_;
    QTimer* pause_;
    bool running_ = false;
    int generation_ = 0;
    int reactions_ = 0;
};

} // namespace adapt
