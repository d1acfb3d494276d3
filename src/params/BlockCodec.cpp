#include "params/BlockCodec.h"

#include "link/Numeric.h"
#include "params/Volts.h"

namespace {

int word(const ParameterBlock& b, int at) {
    return b[static_cast<std::size_t>(at)] + 256 * b[static_cast<std::size_t>(at + 1)];
}

BlockValue number(ParamId id, int raw, long long v) {
    return {id, raw, v, QString::number(v), false};
}

// The decoded value, or the fallback text when it lies outside lo..hi.
BlockValue inRangeOr(ParamId id, int raw, long long v, long long lo, long long hi, const char* fallback) {
    if (v >= lo && v <= hi) return number(id, raw, v);
    return {id, raw, v, QString::fromLatin1(fallback), true};
}

// Slow-down factor of a step-speed value: round(25 - raw / 2650), "3" outside 1..24.
BlockValue stepSpeed(ParamId id, int raw) {
    return inRangeOr(id, raw, roundEven(25LL * 2650 - raw, 2650), 1, 24, "3");
}

BlockValue bit(ParamId id, std::uint8_t flags, int n, bool setMeans = true) {
    const bool on = ((flags >> n) & 1) != 0;
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
    const long long c800 = 800LL * ignitionConstant;
    std::vector<BlockValue> v(static_cast<std::size_t>(ParamCount));
    auto put = [&v](BlockValue x) { v[static_cast<std::size_t>(x.id)] = std::move(x); };

    put(number(ParamId::SwitchTemp, b[0], 2 * b[0] - 222));

    // Bytes 3-4 hold low + high time together; the high time is taken against
    // the low time before its rounding to 50 ms. raw x 1000 / 244 = raw x 250 / 61.
    const int lowRaw = word(b, 1);
    const int sumRaw = word(b, 3);
    const long long t1 = roundEven(lowRaw * 250LL, 61);
    put(inRangeOr(ParamId::LambdaLowTime, lowRaw, roundEven(t1, 50) * 50, 0, 4000, "500"));
    put(inRangeOr(ParamId::LambdaHighTime, sumRaw, roundEven(sumRaw * 250LL - 61 * t1, 61 * 50) * 50, 0, 4000,
                  "500"));
    const bool bosch = v[static_cast<std::size_t>(ParamId::LambdaLowTime)].text == QLatin1String("0") &&
                       v[static_cast<std::size_t>(ParamId::LambdaHighTime)].text == QLatin1String("0");
    put({ParamId::LambdaBosch, 0, bosch ? 1 : 0, bosch ? QStringLiteral("1") : QStringLiteral("0"), false});

    put({ParamId::TpsThreshold, b[5], b[5] * 5LL, voltsText(b[5] * 5), false});

    const int switchRaw = word(b, 6);
    const int switchRpm = speedOfPeriod(ignitionConstant, switchRaw == 0 ? 1 : switchRaw);
    put(inRangeOr(ParamId::SwitchRpm, switchRaw, switchRpm, 1000, 9000, "5000"));
    const long long a = switchRpm >= 1000 && switchRpm <= 9000 ? switchRpm : 5000;

    const std::uint8_t flags = b[8];
    put(bit(ParamId::TpsKind, flags, 0));
    put(bit(ParamId::RpmKind, flags, 2));
    put(bit(ParamId::TempSensorOn, flags, 3));
    put(bit(ParamId::CutoffOn, flags, 4));
    put(bit(ParamId::ControllerMode, flags, 6));
    put(bit(ParamId::ReserveSensorKind, flags, 7, false));

    // h := round(raw x 500 / 255), then to 5 hundredths.
    const long long h = roundEven(roundEven(b[9] * 500LL, 255), 5) * 5;
    put({ParamId::LambdaThreshold, b[9], h, voltsText(static_cast<int>(h)), false});

    put(number(ParamId::StepMin, b[10], 255 - b[10]));
    put(number(ParamId::StepMax, b[11], 255 - b[11]));
    put(number(ParamId::StepStart, b[12], 255 - b[12]));

    const int maxRaw = word(b, 13);
    if (maxRaw == 1) {
        put({ParamId::MaxGasRpmOff, maxRaw, 1, QStringLiteral("1"), false});
        put({ParamId::MaxGasRpm, maxRaw, 5000, QStringLiteral("5000"), false});
    } else {
        put({ParamId::MaxGasRpmOff, maxRaw, 0, QStringLiteral("0"), false});
        put(inRangeOr(ParamId::MaxGasRpm, maxRaw, speedOfPeriod(ignitionConstant, maxRaw == 0 ? 2 : maxRaw),
                      0, 9000, "5000"));
    }

    // raw x 512 x 0.008 x 0.1 = raw x 4096 / 10000, to 10 ms.
    const int delayRaw = word(b, 15);
    put(inRangeOr(ParamId::SwitchDelay, delayRaw, roundEven(delayRaw * 4096LL, 10000) * 10, 1, 10000,
                  "1000"));

    // The delta is the step from the switch speed down to the speed of the
    // period the controller adds to it.
    const int deltaRaw = word(b, 17);
    const long long bPeriod = roundEven(c800, a);
    const long long d = roundEven(c800, deltaRaw + bPeriod);
    put(inRangeOr(ParamId::RpmDelta, deltaRaw, roundEven(a - d, 100) * 100, 0, 5000, "500"));

    const int cutRaw = word(b, 19);
    put(inRangeOr(ParamId::CutoffRpm, cutRaw, speedOfPeriod(ignitionConstant, cutRaw == 0 ? 1 : cutRaw), 500,
                  5000, "2000"));
    put(number(ParamId::CutoffStep, b[21], 255 - b[21]));
    put(number(ParamId::StartDelay, b[22], roundEven(b[22], 5))); // fifths of a second
    put(number(ParamId::StepOpening, b[27], b[27]));
    put(stepSpeed(ParamId::StepSpeedBelowTps, word(b, 28)));
    put(number(ParamId::ProbeKind, b[31], probeKindOf(b[31], flags)));
    put(stepSpeed(ParamId::StepSpeedAboveTps, word(b, 34)));

    // Not in the block.
    v[static_cast<std::size_t>(ParamId::AnalogThreshold)].id = ParamId::AnalogThreshold;
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
