#pragma once
// Carries out the wizard's reactions on the controller link, one action after
// another: the exchanges as link jobs (consecutive ones in one job, so no poll
// of a step timer slips in between a port close and the reopen), the step
// timers as link polls, the switch-over pause as a GUI timer that blocks
// neither the window nor the link, and the results of the reads fed back to
// the wizard before anything that follows them.
#include "adapt/WizardTypes.h"
#include "link/LinkState.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

class ControllerLink;
class QTimer;

namespace adaptui {

// The link poll that stands for a wizard timer: its name and interval.
QString pollName(adapt::Timer timer);
int pollInterval(adapt::Timer timer);
std::optional<adapt::Timer> timerForPoll(const QString& name);
adapt::LiveFrame wizardFrame(const ::LiveFrame& frame);

struct IgnitionResult {
    bool ok = false;                   // a whole block arrived
    int index = 0;                     // ignition list index the controller stores
    std::optional<std::uint8_t> flags; // the flags byte, when a block was ever read
};

class ReactionRunner : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<adapt::Reaction(const adapt::LiveFrame&)> entryPolled;
        std::function<void(const IgnitionResult&)> ignitionRead;
        std::function<adapt::Reaction(int token)> resume;
        std::function<void()> markNotWritten;
        std::function<void()> finish;
        // Something the wizard shows may have changed (a result came in).
        std::function<void()> changed;
    };

    ReactionRunner(ControllerLink& link, Hooks hooks, QObject* parent = nullptr);

    // Queues the actions behind whatever still runs and starts them when idle.
    void run(const adapt::Reaction& reaction);
    // Drops every action not yet started; results of a job under way are ignored.
    void cancel();
    // Runs at once, without waiting for any job: the leave actions of a page
    // change (ignition write, polls stopped) must be posted before the page
    // change's own steps look at the polls.
    void runDetached(const adapt::Reaction& reaction);

    // True from the first action until the last one is done, pauses included.
    bool running() const { return running_; }
    bool pausing() const;

private:
    void next();
    void postBatch();

    ControllerLink& link_;
    Hooks hooks_;
    std::deque<adapt::LinkAction> queue_;
    QTimer* pause_;
    bool running_ = false;
    int generation_ = 0;
};

} // namespace adaptui
