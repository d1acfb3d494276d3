#include "params/WriteGate.h"

#include "core/SystemTexts.h"

#include "params/BlockCommands.h"
#include "params/Fidelity.h"
#include "params/Logging.h"
#include "params/ParamTable.h"
#include "params/RestorePoints.h"

#include <algorithm>
#include <optional>

namespace params {

namespace {

constexpr std::uint8_t Prefix = 0xAA;
constexpr std::uint8_t Closing = 0x0A;
constexpr std::uint8_t IgnitionWrite = 0x1F;
constexpr int PauseMs = 20;

QString rangeText(ParamId id) {
    const ParamDef& d = paramDef(id);
    QString r = d.lowerText() + QChar(0x2013) + d.upperText();
    if (!d.unit.isEmpty()) r += QLatin1Char(' ') + d.unit;
    return r;
}

// The speed commands convert with the ignition constant.
bool sendsSpeeds(const ParameterSet& set) {
    const bool limitOn =
        set[ParamId::MaxGasRpmOff] != QLatin1String("1") && !set[ParamId::MaxGasRpm].isEmpty();
    return !set[ParamId::SwitchRpm].isEmpty() || !set[ParamId::CutoffRpm].isEmpty() || limitOn;
}

void addOnce(std::vector<ParamId>& to, ParamId id) {
    if (std::find(to.begin(), to.end(), id) == to.end()) to.push_back(id);
}

} // namespace

WriteGate::WriteGate(RestorePointStore* store) : store_(store) {}

GateVerdict WriteGate::check(const ParameterSet& set, SetOrigin origin, int ignitionConstant,
                             bool ignitionKnown, int versionCode) {
    GateVerdict v;
    if (origin == SetOrigin::None) {
        v.reason = GateVerdict::Reason::NotRead;
        return v;
    }
    if (origin == SetOrigin::Restore) return v;
    if (!ignitionKnown && sendsSpeeds(set)) {
        v.reason = GateVerdict::Reason::IgnitionUnknown;
        return v;
    }
    for (const UnreturnedValue& u : unreturnedValues(set, ignitionConstant, versionCode))
        v.refusals.push_back({u.id, u.value, rangeText(u.id), u.readBack});
    // The threshold goes out as one byte and is read back as that byte.
    const WholeNumber threshold = wholeNumber(set[ParamId::AnalogThreshold]);
    if (threshold.ok() && (threshold.value < 0 || threshold.value > 255))
        v.refusals.push_back({ParamId::AnalogThreshold, set[ParamId::AnalogThreshold],
                              rangeText(ParamId::AnalogThreshold), QString::number(threshold.value & 0xFF)});
    if (!v.refusals.empty()) v.reason = GateVerdict::Reason::ValuesOutOfRange;
    return v;
}

void WriteGate::blockRead(const ParameterBlock& block, int versionCode) {
    known_ = block;
    versionCode_ = versionCode;
    readAt_ = QDateTime::currentDateTime();
    qCDebug(lcParams) << "block read, version" << versionCode;
}

std::optional<ParameterBlock> WriteGate::knownBlock() const {
    return known_;
}

void WriteGate::forget() {
    qCDebug(lcParams) << "block forgotten";
    known_.reset();
    versionCode_ = 0;
    readAt_ = QDateTime();
}

void WriteGate::applySent(const std::vector<std::uint8_t>& bytes) {
    if (known_ && !applySentBytes(*known_, bytes)) forget();
}

bool WriteGate::prepare(Controller& c, const WriteContext& ctx, GateVerdict& verdict, int& restorePoint) {
    if (!known_) {
        const std::optional<ParameterBlock> b = c.ReadParameterBlock();
        if (!b) {
            verdict.reason = GateVerdict::Reason::NoRestorePoint;
            verdict.detail = systemtext::text(systemtext::NoWholeBlock);
            return false;
        }
        blockRead(*b, c.versionCode());
    }
    if (!store_) return true;
    QString error;
    restorePoint = store_->keep(*known_, versionCode_, ctx.port, ctx.what, readAt_, &error);
    if (restorePoint < 0) {
        verdict.reason = GateVerdict::Reason::NoRestorePoint;
        verdict.detail = error;
        return false;
    }
    return true;
}

GateReport WriteGate::writeSet(Controller& c, const WriteContext& ctx, const ParameterSet& set,
                               SetOrigin origin, WriteMessageSink* sink) {
    GateReport r;
    if (origin == SetOrigin::None) {
        r.verdict.reason = GateVerdict::Reason::NotRead;
        return r;
    }
    // The block first: reading it also gives the ignition constant and the flags.
    if (!known_) {
        const std::optional<ParameterBlock> b = c.ReadParameterBlock();
        if (!b) {
            r.verdict.reason = GateVerdict::Reason::NoRestorePoint;
            r.verdict.detail = systemtext::text(systemtext::NoWholeBlock);
            return r;
        }
        blockRead(*b, c.versionCode());
    }
    r.verdict =
        check(set, origin, c.ignitionConstant(), ctx.ignitionKnown || c.ignitionKnown(), c.versionCode());
    if (!r.verdict.allowed()) return r;
    if (!prepare(c, ctx, r.verdict, r.restorePoint)) return r;

    // The plan the write runs, to report what it skips and what went out.
    const std::vector<WriteStep> plan =
        planParameterWrite(set, c.ignitionConstant(), c.knownFlags(), c.versionCode());
    for (const WriteStep& s : plan) {
        r.checks.insert(r.checks.end(), s.command.messages.begin(), s.command.messages.end());
        if (!s.command.sends())
            for (ParamId id : parametersOfStep(s.number))
                addOnce(r.skipped, id);
    }
    const QString& threshold = set[ParamId::AnalogThreshold];
    if (!threshold.trimmed().isEmpty() && !wholeNumber(threshold).ok()) {
        r.checks.push_back(WriteText::invalidField(ParamId::AnalogThreshold, threshold));
        r.skipped.push_back(ParamId::AnalogThreshold);
    }

    r.outcome = WriteParameters(c, set, sink);
    if (!r.outcome.complete) {
        forget(); // how much of the failed command arrived is not known
        return r;
    }
    std::vector<std::uint8_t> sent;
    for (const WriteStep& s : plan)
        sent.insert(sent.end(), s.command.bytes.begin(), s.command.bytes.end());
    applySent(sent);
    return r;
}

GateReport WriteGate::sendCommands(Controller& c, const WriteContext& ctx,
                                   const std::vector<Command>& commands) {
    GateReport r;
    if (!prepare(c, ctx, r.verdict, r.restorePoint)) return r;
    SerialChannel& ch = c.channel();
    auto stopAt = [&](std::size_t i) {
        r.outcome.complete = false;
        r.outcome.failedStep = static_cast<int>(i) + 1;
        for (std::size_t k = i; k < commands.size(); ++k)
            for (ParamId id : commands[k].carries)
                addOnce(r.outcome.notWritten, id);
        forget();
        return r;
    };
    if (!ch.isOpen() && !ch.OpenPort()) return stopAt(0);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const SerialChannel::Exchange traced(ch, TraceExchange::Command, static_cast<int>(i) + 1);
        for (std::uint8_t b : commands[i].bytes)
            if (!ch.SendByte(b)) return stopAt(i);
        applySent(commands[i].bytes);
        if (commands[i].pauseMs > 0) ch.sleepMs(commands[i].pauseMs);
    }
    return r;
}

RestoreReport WriteGate::restore(Controller& c, const WriteContext& ctx, const ParameterBlock& block) {
    RestoreReport r;
    if (!prepare(c, ctx, r.verdict, r.restorePoint)) return r;
    SerialChannel& ch = c.channel();
    const std::vector<std::vector<std::uint8_t>> commands = restoreCommands(block);

    // Step numbers: 1 the port and the prefix, 2.. the commands in order.
    auto stopAt = [&](std::size_t i) {
        ch.ClosePort();
        r.outcome.complete = false;
        r.outcome.failedStep = static_cast<int>(i) + 2;
        for (std::size_t k = i; k < commands.size(); ++k) {
            for (ParamId id : parametersOfCommand(commands[k][0]))
                addOnce(r.outcome.notWritten, id);
            for (int at : blockCommand(commands[k][0])->offsets)
                r.notSentBytes.push_back(at);
        }
        std::sort(r.notSentBytes.begin(), r.notSentBytes.end());
        r.controllerBlock = known_.value_or(ParameterBlock{});
        forget();
        return r;
    };
    // Traced as its steps: 1 the port and the prefix, 2.. the commands, the closing byte after them.
    std::optional<SerialChannel::Exchange> traced;
    traced.emplace(ch, TraceExchange::RestoreStep, 1);
    if (!ch.OpenPort() || !ch.SendByte(Prefix)) return stopAt(0);
    std::vector<std::uint8_t> sent;
    std::size_t i = 0;
    for (; i < commands.size() && commands[i][0] != IgnitionWrite; ++i) {
        traced.reset();
        traced.emplace(ch, TraceExchange::RestoreStep, static_cast<int>(i) + 2);
        if (i > 0) ch.sleepMs(PauseMs);
        for (std::uint8_t b : commands[i])
            if (!ch.SendByte(b)) return stopAt(i);
        sent.insert(sent.end(), commands[i].begin(), commands[i].end());
    }
    traced.reset();
    traced.emplace(ch, TraceExchange::RestoreStep, static_cast<int>(i) + 2);
    ch.sleepMs(PauseMs);
    if (!ch.SendByte(Closing)) return stopAt(i); // every command sent, the group not closed
    // The ignition write stands on its own, as on a page change.
    for (; i < commands.size(); ++i) {
        traced.reset();
        traced.emplace(ch, TraceExchange::RestoreStep, static_cast<int>(i) + 3);
        ch.sleepMs(PauseMs);
        for (std::uint8_t b : commands[i])
            if (!ch.SendByte(b)) return stopAt(i);
        sent.insert(sent.end(), commands[i].begin(), commands[i].end());
    }
    ch.ClosePort();
    ch.sleepMs(PauseMs);
    traced.reset();
    applySent(sent);

    const std::optional<ParameterBlock> back = c.ReadParameterBlock();
    const std::vector<int> unrestorable = unrestorableOffsets(block);
    if (back) {
        r.readBack = true;
        r.controllerBlock = *back;
        blockRead(*back, c.versionCode());
    } else if (known_) {
        r.controllerBlock = *known_;
    }
    if (back || known_)
        for (int at : differingOffsets(block, r.controllerBlock)) {
            const bool restorable =
                std::find(unrestorable.begin(), unrestorable.end(), at) == unrestorable.end();
            (restorable ? r.differingBytes : r.notRestorable).push_back(at);
        }
    // Without a read back the restored bytes are what the gate knows, not what was seen.
    if (!back) r.differingBytes.clear();
    return r;
}

} // namespace params
