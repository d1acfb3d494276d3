#include "params/WriteSequence.h"

#include <algorithm>

namespace {
constexpr std::uint8_t Prefix = 0xAA;
constexpr std::uint8_t Closing = 0x0A;
constexpr int StepPauseMs = 20;

void show(WriteMessageSink* sink, const WriteMessage& m) {
    if (sink) sink->writeMessage(m.text, m.caption);
}
} // namespace

std::vector<WriteStep> planParameterWrite(const ParameterSet& s, int constant,
                                          std::optional<std::uint8_t> flags, int version) {
    std::vector<WriteStep> steps;
    auto add = [&](int n, int pause, WriteCommand cmd) {
        if (cmd.flags) flags = *cmd.flags;
        steps.push_back({n, pause, std::move(cmd)});
    };
    auto flagStep = [&](FlagBit which) {
        return flags ? encodeFlags(s, which, *flags, version) : WriteCommand{};
    };

    add(2, 0, encodeProbeKind(s));
    add(3, StepPauseMs, flagStep(FlagBit::ProbeInversion));
    add(4, StepPauseMs, encodeLambdaThreshold(s));
    add(5, StepPauseMs, encodeSwitchRpm(s, constant));
    add(6, StepPauseMs, encodeTpsThreshold(s));
    add(7, StepPauseMs, encodeMaxGasRpm(s, constant));
    add(8, StepPauseMs, flagStep(FlagBit::RpmKind));
    add(9, StepPauseMs, encodeRpmDelta(s, constant));
    add(10, StepPauseMs, encodeStepLimits(s));
    add(11, StepPauseMs, encodeStepStart(s));
    add(12, StepPauseMs, encodeLambdaTimes(s));
    add(13, StepPauseMs, encodeSecondLambdaPair());
    add(14, StepPauseMs, encodeStartDelay(s));
    add(15, StepPauseMs, flagStep(FlagBit::CutoffOn));
    add(16, StepPauseMs, encodeCutoffStep(s));
    add(17, StepPauseMs, encodeCutoffRpm(s, constant));
    add(18, StepPauseMs, encodeStepOpening(s));
    add(19, StepPauseMs, flagStep(FlagBit::TpsKind));
    add(20, StepPauseMs, encodeStepSpeedAboveTps(s));
    add(21, StepPauseMs, encodeStepSpeedBelowTps(s));
    add(22, StepPauseMs, encodeSwitchDelay(s));
    add(23, StepPauseMs, flagStep(FlagBit::TempSensor));
    add(24, StepPauseMs, flagStep(FlagBit::ControllerMode));
    add(25, StepPauseMs, flagStep(FlagBit::ReserveSensor));
    add(26, StepPauseMs, encodeSwitchTemp(s));
    return steps;
}

std::vector<ParamId> parametersOfStep(int step) {
    using P = ParamId;
    switch (step) {
    case 1:
    case 2:
    case 3:
        return {P::ProbeKind};
    case 4:
        return {P::LambdaThreshold};
    case 5:
        return {P::SwitchRpm};
    case 6:
        return {P::TpsThreshold};
    case 7:
        return {P::MaxGasRpm, P::MaxGasRpmOff};
    case 8:
        return {P::RpmKind};
    case 9:
        return {P::RpmDelta};
    case 10:
        return {P::StepMin, P::StepMax};
    case 11:
        return {P::StepStart};
    case 12:
        return {P::LambdaLowTime, P::LambdaHighTime};
    case 14:
        return {P::StartDelay};
    case 15:
        return {P::CutoffOn};
    case 16:
        return {P::CutoffStep};
    case 17:
        return {P::CutoffRpm};
    case 18:
        return {P::StepOpening};
    case 19:
        return {P::TpsKind};
    case 20:
        return {P::StepSpeedAboveTps};
    case 21:
        return {P::StepSpeedBelowTps};
    case 22:
        return {P::SwitchDelay};
    case 23:
        return {P::TempSensorOn};
    case 24:
        return {P::ControllerMode};
    case 25:
        return {P::ReserveSensorKind};
    case 26:
        return {P::SwitchTemp};
    case 27:
        return {P::AnalogThreshold};
    default:
        return {};
    }
}

namespace {
WriteOutcome stoppedAt(SerialChannel& ch, int step) {
    ch.ClosePort();
    WriteOutcome out;
    out.complete = false;
    out.failedStep = step;
    for (int s = step; s <= 27; ++s)
        for (ParamId id : parametersOfStep(s))
            if (std::find(out.notWritten.begin(), out.notWritten.end(), id) == out.notWritten.end())
                out.notWritten.push_back(id);
    return out;
}
} // namespace

WriteOutcome WriteParameters(Controller& c, const ParameterSet& set, WriteMessageSink* sink) {
    SerialChannel& ch = c.channel();
    using Step = SerialChannel::Exchange;

    // Step 1. Every byte after a failed open or send would go nowhere: the
    // sequence stops there, and says from where on nothing was written.
    {
        const Step traced(ch, TraceExchange::WriteStep, 1);
        if (!ch.OpenPort() || !ch.SendByte(Prefix)) return stoppedAt(ch, 1);
    }

    // Steps 2-26.
    for (const WriteStep& step :
         planParameterWrite(set, c.ignitionConstant(), c.knownFlags(), c.versionCode())) {
        const Step traced(ch, TraceExchange::WriteStep, step.number);
        if (step.pauseBeforeMs > 0) ch.sleepMs(step.pauseBeforeMs);
        for (const WriteMessage& m : step.command.messages)
            show(sink, m);
        for (std::uint8_t b : step.command.bytes)
            if (!ch.SendByte(b)) return stoppedAt(ch, step.number);
        if (step.command.flags) c.setFlags(*step.command.flags);
    }

    // Step 27: the analog threshold, on a reopened port. A text that is not a
    // number is reported and not sent, so the group still gets its 0x0A; an
    // empty one was never read and is left as the controller holds it.
    {
        const Step traced(ch, TraceExchange::WriteStep, 27);
        ch.sleepMs(StepPauseMs);
        const QString& threshold = set[ParamId::AnalogThreshold];
        if (wholeNumber(threshold).ok()) {
            c.setAnalogThreshold(threshold);
            c.WriteAnalogThreshold();
        } else {
            if (!threshold.trimmed().isEmpty())
                show(sink, WriteText::invalidField(ParamId::AnalogThreshold, threshold));
            ch.ClosePort();
            ch.OpenPort();
        }
        if (!ch.isOpen()) return stoppedAt(ch, 27);
    }

    // Step 28.
    const Step traced(ch, TraceExchange::WriteStep, 28);
    ch.sleepMs(StepPauseMs);
    if (!ch.SendByte(Closing)) return stoppedAt(ch, 28);
    ch.ClosePort();

    ch.sleepMs(StepPauseMs);
    return {};
}
