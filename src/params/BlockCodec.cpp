#include "params/BlockCodec.h"

#include "link/Numeric.h"
#include "params/Volts.h"

namespace {

int word(const ParameterBlock& b, int at) {
    return b[static_cast<std::size_t>(at)] + 256 * b[static_cast<std::size_t>(at + 1)];
}

QString num(long long v) {
    return QString::number(v);
}

QString inRangeOr(long long v, long long lo, long long hi, const char* fallback) {
    return v >= lo && v <= hi ? num(v) : QString::fromLatin1(fallback);
}

// Slow-down factor of a step-speed value: round(25 - raw / 2650), "3" outside 1..24.
QString stepSpeed(int raw) {
    return inRangeOr(roundEven(25.0 - raw / 2650.0), 1, 24, "3");
}

QString bit(std::uint8_t flags, int n) {
    return (flags >> n) & 1 ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

int probeKindOf(std::uint8_t byte31, std::uint8_t flags) {
    return Controller::probeKindFrom(byte31, flags);
}

int speedOfPeriod(int ignitionConstant, int period) {
    return static_cast<int>(roundEven(roundEven(ignitionConstant * 800.0 / period) / 100.0) * 100);
}

void decodeParameterBlock(const ParameterBlock& b, int ignitionConstant, ParameterSet& set) {
    const int c = ignitionConstant;

    set[ParamId::SwitchTemp] = num(2 * b[0] - 222);

    // Bytes 3-4 hold low + high time together.
    const long long t1 = roundEven(word(b, 1) * 1000.0 / 244);
    set[ParamId::LambdaLowTime] = inRangeOr(roundEven(t1 / 50.0) * 50, 0, 4000, "500");
    set[ParamId::LambdaHighTime] =
        inRangeOr(roundEven((word(b, 3) * 1000.0 / 244 - t1) / 50) * 50, 0, 4000, "500");
    const bool bosch = set[ParamId::LambdaLowTime] == QLatin1String("0") &&
                       set[ParamId::LambdaHighTime] == QLatin1String("0");
    set[ParamId::LambdaBosch] = bosch ? QStringLiteral("1") : QStringLiteral("0");

    set[ParamId::TpsThreshold] = voltsText(b[5] * 5);

    const int switchRaw = word(b, 6) == 0 ? 1 : word(b, 6);
    const int switchRpm = speedOfPeriod(c, switchRaw);
    const int a = switchRpm >= 1000 && switchRpm <= 9000 ? switchRpm : 5000;
    set[ParamId::SwitchRpm] = num(a);

    const std::uint8_t flags = b[8];
    set[ParamId::TpsKind] = bit(flags, 0);
    set[ParamId::RpmKind] = bit(flags, 2);
    set[ParamId::TempSensorOn] = bit(flags, 3);
    set[ParamId::CutoffOn] = bit(flags, 4);
    set[ParamId::ControllerMode] = bit(flags, 6);
    set[ParamId::ReserveSensorKind] = (flags & 0x80) ? QStringLiteral("0") : QStringLiteral("1");

    long long h = roundEven(b[9] * 500.0 / 255);
    h = roundEven(h / 5.0) * 5;
    set[ParamId::LambdaThreshold] = voltsText(static_cast<int>(h));

    set[ParamId::StepMin] = num(255 - b[10]);
    set[ParamId::StepMax] = num(255 - b[11]);
    set[ParamId::StepStart] = num(255 - b[12]);

    const int maxRaw = word(b, 13);
    if (maxRaw == 1) {
        set[ParamId::MaxGasRpmOff] = QStringLiteral("1");
        set[ParamId::MaxGasRpm] = QStringLiteral("5000");
    } else {
        set[ParamId::MaxGasRpmOff] = QStringLiteral("0");
        set[ParamId::MaxGasRpm] = inRangeOr(speedOfPeriod(c, maxRaw == 0 ? 2 : maxRaw), 0, 9000, "5000");
    }

    set[ParamId::SwitchDelay] = inRangeOr(roundEven(word(b, 15) * 512 * 0.008 * 0.1) * 10, 1, 10000, "1000");

    // The delta is the step from the switch speed down to the speed of the
    // period the controller adds to it.
    const long long bPeriod = roundEven(800.0 / a * c);
    const long long d = roundEven(c * 800.0 / static_cast<double>(word(b, 17) + bPeriod));
    set[ParamId::RpmDelta] = inRangeOr(roundEven((a - d) / 100.0) * 100, 0, 5000, "500");

    const int cutRaw = word(b, 19) == 0 ? 1 : word(b, 19);
    set[ParamId::CutoffRpm] = inRangeOr(speedOfPeriod(c, cutRaw), 500, 5000, "2000");
    set[ParamId::CutoffStep] = num(255 - b[21]);
    set[ParamId::StartDelay] = num(roundEven(b[22] * 0.2));
    set[ParamId::StepOpening] = num(b[27]);
    set[ParamId::StepSpeedBelowTps] = stepSpeed(word(b, 28));
    set[ParamId::ProbeKind] = num(probeKindOf(b[31], flags));
    set[ParamId::StepSpeedAboveTps] = stepSpeed(word(b, 34));
}

bool readParameters(Controller& c, ParameterSet& set) {
    const std::optional<ParameterBlock> block = c.ReadParameterBlock();
    if (!block) return false;
    decodeParameterBlock(*block, c.ignitionConstant(), set);
    set[ParamId::AnalogThreshold] = c.analogThreshold();
    return true;
}
