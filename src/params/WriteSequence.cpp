#include "params/WriteSequence.h"

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

void WriteParameters(Controller& c, const ParameterSet& set, WriteMessageSink* sink) {
    SerialChannel& ch = c.channel();

    // Step 1.
    ch.OpenPort();
    ch.SendByte(Prefix);

    // Steps 2-26.
    for (const WriteStep& step :
         planParameterWrite(set, c.ignitionConstant(), c.knownFlags(), c.versionCode())) {
        if (step.pauseBeforeMs > 0) ch.sleepMs(step.pauseBeforeMs);
        for (const WriteMessage& m : step.command.messages)
            show(sink, m);
        for (std::uint8_t b : step.command.bytes)
            ch.SendByte(b);
        if (step.command.flags) c.setFlags(*step.command.flags);
    }

    // Step 27: the analog threshold, on a reopened port. A text that is not a
    // number is reported and not sent, so the group still gets its 0x0A.
    ch.sleepMs(StepPauseMs);
    const QString& threshold = set[ParamId::AnalogThreshold];
    if (wholeNumber(threshold).ok()) {
        c.setAnalogThreshold(threshold);
        c.WriteAnalogThreshold();
    } else {
        show(sink, WriteText::invalidField(ParamId::AnalogThreshold, threshold));
        ch.ClosePort();
        ch.OpenPort();
    }

    // Step 28.
    ch.sleepMs(StepPauseMs);
    ch.SendByte(Closing);
    ch.ClosePort();

    ch.sleepMs(StepPauseMs);
}
