#include "params/BlockCodec.h"

#include "core/Numeric.h"
#include "params/ParamTable.h"
#include "params/Volts.h"

namespace {

const WireFacts& wire(ParamId id) {
    return paramDef(id).wire;
}

// The byte or 16-bit value the block holds for a parameter.
int rawOf(const ParameterBlock& b, ParamId id) {
    const WireFacts& w = wire(id);
    const auto at = static_cast<std::size_t>(w.blockByte);
    return w.width == 2 ? b[at] + 256 * b[at + 1] : b[at];
}

// The decoded value, or the parameter's fallback text when it lies outside
// the range the block decoding accepts.
BlockValue decoded(ParamId id, int raw, long long v) {
    const WireFacts& w = wire(id);
    if (w.blockMax < w.blockMin || (v >= w.blockMin && v <= w.blockMax))
        return {id, raw, v, QString::number(v), false};
    return {id, raw, v, w.fallback, true};
}

// Slow-down factor of a step-speed value: round(25 - raw / 2650).
BlockValue stepSpeed(const ParameterBlock& b, ParamId id) {
    const int raw = rawOf(b, id);
    return decoded(id, raw, roundEven(25LL * 2650 - raw, 2650));
}

// A choice or flag kept as one bit of the flags byte; "1" when the bit is
// setMeans.
BlockValue bit(ParamId id, std::uint8_t flags, bool setMeans = true) {
    const bool on = ((flags >> wire(id).flagBit) & 1) != 0;
    const int v = on == setMeans ? 1 : 0;
    return {id, flags, v, QString::number(v), false};
}

} // namespace

int probeKindOf(std::uint8_t byte31, std::uint8_t flags) {
    return Controller::probeKindFrom(byte31, flags);
}

int speedOfPeriod(int ignitionConstant, int period) {
    return static_cast<int>(roundEven(roundEven(800LL * ignitionConstant, period), 100) * 100);
}

std::vector<BlockValue> blockValues(const ParameterBlock& b, int ignitionConstant) {
    using P = ParamId;
    const long long c800 = 800LL * ignitionConstant;
    std::vector<BlockValue> v(static_cast<std::size_t>(ParamCount));
    auto put = [&v](BlockValue x) { v[static_cast<std::size_t>(x.id)] = std::move(x); };
    auto at = [&v](ParamId id) -> const BlockValue& { return v[static_cast<std::size_t>(id)]; };

    const int tempRaw = rawOf(b, P::SwitchTemp);
    put(decoded(P::SwitchTemp, tempRaw, 2 * tempRaw - 222));

    // The second value holds low + high time together; the high time is taken
    // against the low time before its rounding to 50 ms. raw x 1000 / 244 =
    // raw x 250 / 61.
    const int lowRaw = rawOf(b, P::LambdaLowTime);
    const int sumRaw = rawOf(b, P::LambdaHighTime);
    const long long t1 = roundEven(lowRaw * 250LL, 61);
    put(decoded(P::LambdaLowTime, lowRaw, roundEven(t1, 50) * 50));
    put(decoded(P::LambdaHighTime, sumRaw, roundEven(sumRaw * 250LL - 61 * t1, 61 * 50) * 50));
    const bool bosch =
        at(P::LambdaLowTime).text == QLatin1String("0") && at(P::LambdaHighTime).text == QLatin1String("0");
    put({P::LambdaBosch, 0, bosch ? 1 : 0, bosch ? QStringLiteral("1") : QStringLiteral("0"), false});

    const int tpsRaw = rawOf(b, P::TpsThreshold);
    put({P::TpsThreshold, tpsRaw, tpsRaw * 5LL, voltsText(tpsRaw * 5), false});

    const int switchRaw = rawOf(b, P::SwitchRpm);
    put(decoded(P::SwitchRpm, switchRaw, speedOfPeriod(ignitionConstant, switchRaw == 0 ? 1 : switchRaw)));
    const long long a = at(P::SwitchRpm).text.toLongLong(); // after its fallback

    const std::uint8_t flags = b[FlagsByte];
    for (ParamId id : {P::TpsKind, P::RpmKind, P::TempSensorOn, P::CutoffOn, P::ControllerMode})
        put(bit(id, flags));
    put(bit(P::ReserveSensorKind, flags, false)); // bit set: item 0, "20K"

    // h := round(raw x 500 / 255), then to 5 hundredths.
    const int thresholdRaw = rawOf(b, P::LambdaThreshold);
    const long long h = roundEven(roundEven(thresholdRaw * 500LL, 255), 5) * 5;
    put({P::LambdaThreshold, thresholdRaw, h, voltsText(static_cast<int>(h)), false});

    for (ParamId id : {P::StepMin, P::StepMax, P::StepStart, P::CutoffStep}) {
        const int raw = rawOf(b, id);
        put(decoded(id, raw, 255 - raw));
    }

    // Period 1 is the limit switched off.
    const int maxRaw = rawOf(b, P::MaxGasRpm);
    if (maxRaw == 1) {
        put({P::MaxGasRpmOff, maxRaw, 1, QStringLiteral("1"), false});
        put({P::MaxGasRpm, maxRaw, 5000, QStringLiteral("5000"), false});
    } else {
        put({P::MaxGasRpmOff, maxRaw, 0, QStringLiteral("0"), false});
        put(decoded(P::MaxGasRpm, maxRaw, speedOfPeriod(ignitionConstant, maxRaw == 0 ? 2 : maxRaw)));
    }

    // raw x 512 x 0.008 x 0.1 = raw x 4096 / 10000, to 10 ms.
    const int delayRaw = rawOf(b, P::SwitchDelay);
    put(decoded(P::SwitchDelay, delayRaw, roundEven(delayRaw * 4096LL, 10000) * 10));

    // The delta is the step from the switch speed down to the speed of the
    // period the controller adds to it.
    const int deltaRaw = rawOf(b, P::RpmDelta);
    const long long d = roundEven(c800, deltaRaw + roundEven(c800, a));
    put(decoded(P::RpmDelta, deltaRaw, roundEven(a - d, 100) * 100));

    const int cutRaw = rawOf(b, P::CutoffRpm);
    put(decoded(P::CutoffRpm, cutRaw, speedOfPeriod(ignitionConstant, cutRaw == 0 ? 1 : cutRaw)));
    const int delayFifths = rawOf(b, P::StartDelay);
    put(decoded(P::StartDelay, delayFifths, roundEven(delayFifths, 5)));
    const int openingRaw = rawOf(b, P::StepOpening);
    put(decoded(P::StepOpening, openingRaw, openingRaw));
    put(stepSpeed(b, P::StepSpeedBelowTps));
    put(stepSpeed(b, P::StepSpeedAboveTps));
    const int probeRaw = rawOf(b, P::ProbeKind);
    put(decoded(P::ProbeKind, probeRaw, probeKindOf(static_cast<std::uint8_t>(probeRaw), flags)));

    // Not in the block.
    v[static_cast<std::size_t>(P::AnalogThreshold)].id = P::AnalogThreshold;
    return v;
}

void decodeParameterBlock(const ParameterBlock& b, int ignitionConstant, ParameterSet& set) {
    for (BlockValue& v : blockValues(b, ignitionConstant))
        if (v.id != ParamId::AnalogThreshold) set[v.id] = std::move(v.text);
}

bool readParameters(Controller& c, ParameterSet& set, ParameterBlock* block) {
    const std::optional<ParameterBlock> read = c.ReadParameterBlock();
    if (!read) return false;
    decodeParameterBlock(*read, c.ignitionConstant(), set);
    set[ParamId::AnalogThreshold] = c.analogThreshold();
    if (block) *block = *read;
    return true;
}
