#include "adapt/ReactionRunner.h"

#include "adapt/Wizard.h"
#include "core/PollTimers.h"
#include "link/ControllerLink.h"
#include "params/ParamTable.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace adapt {

namespace {

using Kind = LinkAction::Kind;

const polltimer::Def& pollDef(Timer t) {
    static const polltimer::Def* defs[] = {
        &polltimer::AdaptTerm, &polltimer::UstTpsProg, &polltimer::KalibSonda, &polltimer::PrzedRed,
        &polltimer::RR,        &polltimer::MinMax1,    &polltimer::MinMax2};
    return *defs[static_cast<int>(t)];
}

// Actions that are exchanges with the controller, run on the link's thread.
bool isExchange(Kind k) {
    return k == Kind::OpenPort || k == Kind::ClosePort || k == Kind::Write || k == Kind::PollEntry ||
           k == Kind::ReadIgnition;
}

// An exchange as posted: a write with what it is for.
struct Job {
    LinkAction action;
    params::WriteContext context;
};

struct Outcome {
    Kind kind = Kind::PollEntry;
    ::LiveFrame frame;
    IgnitionResult ignition;
    params::GateReport report;
    WriteKind writeKind = WriteKind::Setup;
};
using Outcomes = std::vector<Outcome>;

std::vector<params::WriteGate::Command> gateCommands(const Controller& c, const std::vector<Bytes>& group) {
    std::optional<std::uint8_t> flags = c.knownFlags();
    std::vector<params::WriteGate::Command> out;
    for (const Bytes& b : group)
        out.push_back({b, 0, carriedBy(b, flags)});
    return out;
}

} // namespace

QString pollName(Timer timer) {
    return polltimer::name(pollDef(timer));
}

int pollInterval(Timer timer) {
    return pollDef(timer).intervalMs;
}

std::optional<Timer> timerForPoll(const QString& name) {
    for (int i = 0; i < TimerCount; ++i)
        if (pollName(Timer(i)) == name) return Timer(i);
    return std::nullopt;
}

LiveFrame wizardFrame(const ::LiveFrame& frame) {
    LiveFrame f;
    f.bytes = frame.bytes;
    f.ok = frame.ok;
    return f;
}

std::vector<ParamId> carriedBy(const Bytes& command, std::optional<std::uint8_t>& flags) {
    std::vector<ParamId> out;
    if (command.empty()) return out;
    if (command[0] == FlagsCommand) {
        if (command.size() < 2) return out;
        // A flags command changes the bits it sets otherwise than the controller holds them.
        for (const ParamDef& d : paramTable())
            if (d.wire.flagBit >= 0 && (!flags || ((*flags ^ command[1]) >> d.wire.flagBit & 1)))
                out.push_back(d.id);
        flags = command[1];
        return out;
    }
    for (const ParamDef& d : paramTable())
        if (d.wire.command == command[0]) out.push_back(d.id);
    return out;
}

ReactionRunner::ReactionRunner(ControllerLink& link, params::WriteGate& gate, Hooks hooks, QObject* parent)
    : QObject(parent), link_(link), gate_(gate), hooks_(std::move(hooks)), pause_(new QTimer(this)) {
    pause_->setSingleShot(true);
    connect(pause_, &QTimer::timeout, this, &ReactionRunner::next);
}

void ReactionRunner::run(const Reaction& reaction) {
    const int id = ++reactions_;
    for (const LinkAction& a : reaction.actions)
        queue_.push_back({a, id});
    if (!running_) next();
}

void ReactionRunner::cancel() {
    ++generation_;
    queue_.clear();
    pause_->stop();
    running_ = false;
}

void ReactionRunner::dropReaction(int reaction) {
    std::erase_if(queue_, [reaction](const Queued& q) { return q.reaction == reaction; });
}

void ReactionRunner::next() {
    running_ = true;
    const int generation = generation_;
    while (!queue_.empty()) {
        if (isExchange(queue_.front().action.kind)) {
            postBatch();
            return;
        }
        const Queued q = queue_.front();
        queue_.pop_front();
        const LinkAction& a = q.action;
        switch (a.kind) {
        case Kind::Pause:
            pause_->start(std::max(0, a.value));
            return;
        case Kind::StartTimer:
            link_.startPolling(pollName(a.timer), pollInterval(a.timer), Wizard::pollsPerTick(a.timer));
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
                const Reaction r = hooks_.resume(a.value);
                for (auto it = r.actions.rbegin(); it != r.actions.rend(); ++it)
                    queue_.push_front({*it, q.reaction});
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
    // One reaction's consecutive exchanges: a write that stops ends only its own.
    const int reaction = queue_.front().reaction;
    std::vector<Job> batch;
    while (!queue_.empty() && isExchange(queue_.front().action.kind) && queue_.front().reaction == reaction) {
        Job j{queue_.front().action, {}};
        if (j.action.kind == Kind::Write && hooks_.writeContext)
            j.context = hooks_.writeContext(j.action.writeKind());
        batch.push_back(std::move(j));
        queue_.pop_front();
    }
    const int generation = generation_;
    params::WriteGate* gate = &gate_;
    link_.call<Outcomes>(
        this,
        [batch, gate](Controller& c) {
            Outcomes out;
            for (const Job& j : batch) {
                const LinkAction& a = j.action;
                switch (a.kind) {
                case Kind::OpenPort:
                    c.channel().OpenPort();
                    break;
                case Kind::ClosePort:
                    c.channel().ClosePort();
                    break;
                case Kind::Write: {
                    Outcome o;
                    o.kind = Kind::Write;
                    o.writeKind = a.writeKind();
                    const auto commands = gateCommands(c, a.group);
                    o.report = gate->sendCommands(c, j.context, commands);
                    if (!o.report.complete() && o.report.outcome.notWritten.empty())
                        for (const auto& cmd : commands) // refused, or no telling how far it got
                            o.report.outcome.notWritten.insert(o.report.outcome.notWritten.end(),
                                                               cmd.carries.begin(), cmd.carries.end());
                    out.push_back(o);
                    // What follows belonged to a controller holding the whole group.
                    if (!o.report.complete()) return out;
                    break;
                }
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
                    if (o.ignition.ok) {
                        ParameterBlock block{};
                        for (int i = 0; i < Controller::BlockSize; ++i)
                            block[static_cast<std::size_t>(i)] = c.channel().AnswerByte(i);
                        gate->blockRead(block, c.versionCode());
                        o.ignition.block = block;
                    }
                    out.push_back(o);
                    break;
                }
                default:
                    break;
                }
            }
            return out;
        },
        [this, generation, reaction](const Outcomes& out) {
            if (generation != generation_) return;
            // What a result calls for runs before the rest of the reaction.
            std::vector<LinkAction> follow;
            bool lost = false;
            for (const Outcome& o : out) {
                if (o.kind == Kind::PollEntry && hooks_.entryPolled) {
                    const Reaction r = hooks_.entryPolled(wizardFrame(o.frame));
                    follow.insert(follow.end(), r.actions.begin(), r.actions.end());
                } else if (o.kind == Kind::ReadIgnition && hooks_.ignitionRead) {
                    hooks_.ignitionRead(o.ignition);
                } else if (o.kind == Kind::Write && hooks_.written &&
                           !hooks_.written(o.writeKind, o.report)) {
                    lost = true;
                }
            }
            if (lost)
                dropReaction(reaction);
            else
                for (auto it = follow.rbegin(); it != follow.rend(); ++it)
                    queue_.push_front({*it, reaction});
            if (hooks_.changed) hooks_.changed();
            if (generation == generation_) next();
        });
}

void ReactionRunner::runDetached(const Reaction& reaction) {
    for (const LinkAction& a : reaction.actions) {
        switch (a.kind) {
        case Kind::Write: {
            const params::WriteContext context =
                hooks_.writeContext ? hooks_.writeContext(a.writeKind()) : params::WriteContext{};
            params::WriteGate* gate = &gate_;
            // A step may have closed the port; what is sent on leaving must still arrive.
            link_.run(nullptr, [gate, context, group = a.group](Controller& c) {
                if (!c.channel().isOpen()) c.channel().OpenPort();
                gate->sendCommands(c, context, gateCommands(c, group));
            });
            break;
        }
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

} // namespace adapt
