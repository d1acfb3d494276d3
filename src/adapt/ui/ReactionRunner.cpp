#include "adapt/ui/ReactionRunner.h"

#include "adapt/Wizard.h"
#include "link/ControllerLink.h"
#include "shell/PollTimers.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace adaptui {

namespace {

using adapt::LinkAction;
using Kind = LinkAction::Kind;

const polltimer::Def& pollDef(adapt::Timer t) {
    static const polltimer::Def* defs[] = {
        &polltimer::AdaptTerm, &polltimer::UstTpsProg, &polltimer::KalibSonda, &polltimer::PrzedRed,
        &polltimer::RR,        &polltimer::MinMax1,    &polltimer::MinMax2};
    return *defs[static_cast<int>(t)];
}

// Actions that are exchanges with the controller, run on the link's thread.
bool isExchange(Kind k) {
    return k == Kind::OpenPort || k == Kind::ClosePort || k == Kind::Send || k == Kind::PollEntry ||
           k == Kind::ReadIgnition;
}

struct Outcome {
    Kind kind = Kind::PollEntry;
    ::LiveFrame frame;
    IgnitionResult ignition;
};
using Outcomes = std::vector<Outcome>;

void sendBytes(Controller& c, const adapt::Bytes& bytes) {
    for (std::uint8_t b : bytes)
        c.channel().SendByte(b);
}

} // namespace

QString pollName(adapt::Timer timer) {
    return polltimer::name(pollDef(timer));
}

int pollInterval(adapt::Timer timer) {
    return pollDef(timer).intervalMs;
}

std::optional<adapt::Timer> timerForPoll(const QString& name) {
    for (int i = 0; i < adapt::TimerCount; ++i)
        if (pollName(adapt::Timer(i)) == name) return adapt::Timer(i);
    return std::nullopt;
}

adapt::LiveFrame wizardFrame(const ::LiveFrame& frame) {
    adapt::LiveFrame f;
    f.bytes = frame.bytes;
    f.ok = frame.ok;
    return f;
}

ReactionRunner::ReactionRunner(ControllerLink& link, Hooks hooks, QObject* parent)
    : QObject(parent), link_(link), hooks_(std::move(hooks)), pause_(new QTimer(this)) {
    pause_->setSingleShot(true);
    connect(pause_, &QTimer::timeout, this, &ReactionRunner::next);
}

bool ReactionRunner::pausing() const {
    return pause_->isActive();
}

void ReactionRunner::run(const adapt::Reaction& reaction) {
    queue_.insert(queue_.end(), reaction.actions.begin(), reaction.actions.end());
    if (!running_) next();
}

void ReactionRunner::cancel() {
    ++generation_;
    queue_.clear();
    pause_->stop();
    running_ = false;
}

void ReactionRunner::next() {
    running_ = true;
    const int generation = generation_;
    while (!queue_.empty()) {
        if (isExchange(queue_.front().kind)) {
            postBatch();
            return;
        }
        const LinkAction a = queue_.front();
        queue_.pop_front();
        switch (a.kind) {
        case Kind::Pause:
            pause_->start(std::max(0, a.value));
            return;
        case Kind::StartTimer:
            link_.startPolling(pollName(a.timer), pollInterval(a.timer),
                               adapt::Wizard::pollsPerTick(a.timer));
            break;
        case Kind::StopTimer:
            link_.stopPolling(pollName(a.timer));
            break;
        case Kind::StopPolling:
            link_.stopAllPolling();
            break;
        case Kind::MarkNotWritten:
            if (hooks_.markNotWritten) hooks_.markNotWritten();
            break;
        case Kind::Resume:
            if (hooks_.resume) {
                const adapt::Reaction r = hooks_.resume(a.value);
                queue_.insert(queue_.begin(), r.actions.begin(), r.actions.end());
            }
            if (hooks_.changed) hooks_.changed();
            break;
        case Kind::Finish:
            if (hooks_.finish) hooks_.finish();
            break;
        default:
            break;
        }
        // A hook may have left the page, which cancels everything queued.
        if (generation != generation_) return;
    }
    running_ = false;
}

void ReactionRunner::postBatch() {
    std::vector<LinkAction> batch;
    while (!queue_.empty() && isExchange(queue_.front().kind)) {
        batch.push_back(queue_.front());
        queue_.pop_front();
    }
    const int generation = generation_;
    link_.call<Outcomes>(
        this,
        [batch](Controller& c) {
            Outcomes out;
            for (const LinkAction& a : batch) {
                switch (a.kind) {
                case Kind::OpenPort:
                    c.channel().OpenPort();
                    break;
                case Kind::ClosePort:
                    c.channel().ClosePort();
                    break;
                case Kind::Send:
                    sendBytes(c, a.bytes);
                    break;
                case Kind::PollEntry: {
                    Outcome o;
                    o.kind = Kind::PollEntry;
                    o.frame.ok = c.PollLiveFrame();
                    o.frame.length = c.frameLength();
                    o.frame.received = c.lastPollReceived();
                    for (int i = 0; i < o.frame.length; ++i)
                        o.frame.bytes[static_cast<std::size_t>(i)] = c.frameByte(i);
                    out.push_back(o);
                    break;
                }
                case Kind::ReadIgnition: {
                    Outcome o;
                    o.kind = Kind::ReadIgnition;
                    o.ignition.ok = c.ReadIgnition();
                    o.ignition.index = c.ignitionIndex();
                    o.ignition.flags = c.knownFlags();
                    out.push_back(o);
                    break;
                }
                default:
                    break;
                }
            }
            return out;
        },
        [this, generation](const Outcomes& out) {
            if (generation != generation_) return;
            // What a result calls for runs before the rest of the reaction.
            std::vector<LinkAction> follow;
            for (const Outcome& o : out) {
                if (o.kind == Kind::PollEntry && hooks_.entryPolled) {
                    const adapt::Reaction r = hooks_.entryPolled(wizardFrame(o.frame));
                    follow.insert(follow.end(), r.actions.begin(), r.actions.end());
                } else if (o.kind == Kind::ReadIgnition && hooks_.ignitionRead) {
                    hooks_.ignitionRead(o.ignition);
                }
            }
            queue_.insert(queue_.begin(), follow.begin(), follow.end());
            if (hooks_.changed) hooks_.changed();
            if (generation == generation_) next();
        });
}

void ReactionRunner::runDetached(const adapt::Reaction& reaction) {
    for (const LinkAction& a : reaction.actions) {
        switch (a.kind) {
        case Kind::Send:
            // A step may have closed the port; what is sent on leaving must still arrive.
            link_.run(nullptr, [bytes = a.bytes](Controller& c) {
                if (!c.channel().isOpen()) c.channel().OpenPort();
                sendBytes(c, bytes);
            });
            break;
        case Kind::OpenPort:
            link_.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
            break;
        case Kind::ClosePort:
            link_.run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
            break;
        case Kind::StopTimer:
            link_.stopPolling(pollName(a.timer));
            break;
        case Kind::StopPolling:
            link_.stopAllPolling();
            break;
        case Kind::MarkNotWritten:
            if (hooks_.markNotWritten) hooks_.markNotWritten();
            break;
        default:
            break; // reads, timers started, pauses: nothing a leave asks for
        }
    }
}

} // namespace adaptui
