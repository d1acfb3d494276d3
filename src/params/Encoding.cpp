#include "params/Encoding.h"

#include "core/Numeric.h"
#include "core/SystemTexts.h"
#include "params/ParamTable.h"
#include "params/Volts.h"

#include <limits>
#include <utility>

namespace {

// The write command of a parameter (parameter table).
std::uint8_t commandOf(ParamId id) {
    return paramDef(id).wire.command;
}

std::uint8_t low8(long long v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

WriteCommand single(std::uint8_t cmd, long long value) {
    return {{cmd, low8(value)}, {}, std::nullopt};
}

WriteCommand word(std::uint8_t cmd, long long value) {
    return {command16(cmd, value), {}, std::nullopt};
}

// The number in the field, or a message naming the field when it is not one.
bool take(const ParameterSet& s, ParamId id, WriteCommand& out, int& value) {
    const WholeNumber n = wholeNumber(s[id]);
    if (n.ok()) {
        value = n.value;
        return true;
    }
    out.messages.push_back(WriteText::invalidField(id, s[id]));
    return false;
}

// Engine-speed commands: skipped silently on an empty text; a speed of 0 has
// no period, so it is reported like a text that is not a number.
WriteCommand speedCommand(const ParameterSet& s, ParamId id, int constant) {
    WriteCommand out;
    if (s[id].isEmpty()) return out;
    int speed = 0;
    if (!take(s, id, out, speed)) return out;
    if (speed == 0) {
        out.messages.push_back(WriteText::invalidField(id, s[id]));
        return out;
    }
    return word(commandOf(id), periodOfSpeed(constant, speed));
}

// Commands of the form "255 - value" or "value x k" on one non-empty field.
template <class F> WriteCommand simpleCommand(const ParameterSet& s, ParamId id, F f) {
    WriteCommand out;
    if (s[id].isEmpty()) return out;
    int v = 0;
    if (!take(s, id, out, v)) return out;
    return single(commandOf(id), f(v));
}

WriteCommand voltsCommand(const ParameterSet& s, ParamId id, long long (*f)(int)) {
    WriteCommand out;
    if (s[id].isEmpty()) return out;
    const int h = voltsHundredths(s[id]);
    if (h < 0) {
        out.messages.push_back(WriteText::invalidField(id, s[id]));
        return out;
    }
    return single(commandOf(id), f(h));
}

// numerator / denominator to the nearest integer. The controllers in the field
// were configured by a tool that scaled in extended precision, where a few
// exact halves came out just below the half and went down; the listed
// numerators keep those bytes, every other tie goes to even.
template <std::size_t N>
long long roundAsConfigured(long long numerator, long long denominator, const long long (&halvesDown)[N]) {
    if (2 * (numerator % denominator) == denominator)
        for (long long n : halvesDown)
            if (n == numerator) return numerator / denominator;
    return roundEven(numerator, denominator);
}

WriteCommand stepSpeed(const ParameterSet& s, ParamId id) {
    WriteCommand out;
    const WholeNumber n = wholeNumber(s[id]);
    // A text that is not a number counts as 0, so the range message follows.
    if (!n.ok()) out.messages.push_back({WriteText::badValue(), WriteText::errorCaption()});
    const ParamDef& d = paramDef(id);
    if (n.value < d.min || n.value > d.max) {
        out.messages.push_back({WriteText::speedRange(), WriteText::errorCaption()});
        return out;
    }
    out.bytes = command16(commandOf(id), (25LL - n.value) * 2650);
    return out;
}

} // namespace

WholeNumber wholeNumber(const QString& text) {
    if (text.isEmpty()) return {WholeNumber::Empty, 0};
    int i = 0;
    bool negative = false;
    if (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')) {
        negative = text.at(0) == QLatin1Char('-');
        i = 1;
    }
    if (i >= text.size()) return {WholeNumber::Bad, 0};
    long long v = 0;
    for (; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return {WholeNumber::Bad, 0};
        v = v * 10 + (ch.unicode() - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return {WholeNumber::Bad, 0};
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return {WholeNumber::Bad, 0};
    return {WholeNumber::Ok, static_cast<int>(v)};
}

namespace WriteText {
QString invalidData() {
    return QStringLiteral("Niepoprawne dane");
}
QString lambdaRange() {
    return QStringLiteral("Dati fuori limiti   HIGH, LOW - 0...4000ms\r\nHIGH+LOW max 4000ms");
}
QString badValue() {
    return QStringLiteral("Błędna dana");
}
QString speedRange() {
    return QStringLiteral("Prędkość w granicach 1...24");
}
QString errorCaption() {
    return QStringLiteral("Błąd");
}
QString italianCaption() {
    return QStringLiteral("Errore");
}
WriteMessage invalidField(ParamId id, const QString& text) {
    const ParamDef& d = paramDef(id);
    return {systemtext::text(systemtext::InvalidField).arg(d.label, d.control, text), errorCaption()};
}
} // namespace WriteText

long long periodOfSpeed(int ignitionConstant, int speed) {
    return roundEven(800LL * ignitionConstant, speed);
}

std::vector<std::uint8_t> command16(std::uint8_t cmd, long long value) {
    return {cmd, low8(value), low8(value >> 8)};
}

WriteCommand encodeProbeKind(const ParameterSet& s) {
    static const std::uint8_t codes[] = {1, 0, 0, 2, 1};
    const QString& t = s[ParamId::ProbeKind];
    if (t.size() != 1 || t.at(0) < QLatin1Char('0') || t.at(0) > QLatin1Char('4')) return {};
    return single(commandOf(ParamId::ProbeKind), codes[t.at(0).unicode() - '0']);
}

WriteCommand encodeLambdaThreshold(const ParameterSet& s) {
    // h x 0.002 x 255 = h x 51 / 100; ties at h = 50 + 100k. 0,50, 2,50 and
    // 8,50 V went down (0,50 V as 25, not 26); both bytes read back as 0,50.
    return voltsCommand(s, ParamId::LambdaThreshold, [](int h) {
        static constexpr long long halvesDown[] = {50 * 51, 250 * 51, 850 * 51};
        return roundAsConfigured(h * 51LL, 100, halvesDown);
    });
}

WriteCommand encodeSwitchRpm(const ParameterSet& s, int constant) {
    return speedCommand(s, ParamId::SwitchRpm, constant);
}

WriteCommand encodeTpsThreshold(const ParameterSet& s) {
    // h x 0.002 x 100 is h / 5, never a tie.
    return voltsCommand(s, ParamId::TpsThreshold, [](int h) { return roundEven(h, 5); });
}

WriteCommand encodeMaxGasRpm(const ParameterSet& s, int constant) {
    if (s[ParamId::MaxGasRpmOff] == QLatin1String("1")) return word(commandOf(ParamId::MaxGasRpm), 1);
    return speedCommand(s, ParamId::MaxGasRpm, constant);
}

WriteCommand encodeRpmDelta(const ParameterSet& s, int constant) {
    WriteCommand out;
    if (s[ParamId::SwitchRpm].isEmpty()) return out;
    int a = 0;
    int delta = 0;
    const bool aOk = take(s, ParamId::SwitchRpm, out, a);
    const bool dOk = take(s, ParamId::RpmDelta, out, delta);
    if (!aOk || !dOk) return out;
    if (a == 0) {
        out.messages.push_back(WriteText::invalidField(ParamId::SwitchRpm, s[ParamId::SwitchRpm]));
        return out;
    }
    long long b = static_cast<long long>(a) - delta;
    if (b == 0) b = 1;
    // A delta above the switch speed makes B negative; its low 16 bits are sent.
    const long long value = roundEven(800LL * constant, b) - periodOfSpeed(constant, a);
    return word(commandOf(ParamId::RpmDelta), value);
}

WriteCommand encodeStepLimits(const ParameterSet& s) {
    WriteCommand out;
    if (s[ParamId::StepMin].isEmpty() || s[ParamId::StepMax].isEmpty()) return out;
    int lo = 0;
    int hi = 0;
    const bool loOk = take(s, ParamId::StepMin, out, lo);
    const bool hiOk = take(s, ParamId::StepMax, out, hi);
    if (!loOk || !hiOk) return out;
    out.bytes = {commandOf(ParamId::StepMin), low8(255LL - lo), low8(255LL - hi)};
    return out;
}

WriteCommand encodeStepStart(const ParameterSet& s) {
    return simpleCommand(s, ParamId::StepStart, [](int v) { return 255LL - v; });
}

WriteCommand encodeLambdaTimes(const ParameterSet& s) {
    WriteCommand out;
    const WholeNumber low = wholeNumber(s[ParamId::LambdaLowTime]);
    const WholeNumber high = wholeNumber(s[ParamId::LambdaHighTime]);
    // Times that could not be read are not replaced by 0 and sent: that would
    // switch the controller to Bosch timing behind the fitter's back.
    if (!low.ok() || !high.ok()) {
        out.messages.push_back({WriteText::invalidData(), WriteText::errorCaption()});
        return out;
    }
    const long long l = low.value;
    const long long h = high.value;
    const long long limit = paramDef(ParamId::LambdaLowTime).max; // each time, and both together
    if (l < 0 || h < 0 || l > limit || l + h > limit) {
        out.messages.push_back({WriteText::lambdaRange(), WriteText::italianCaption()});
        return out;
    }
    const std::vector<std::uint8_t> a =
        command16(commandOf(ParamId::LambdaLowTime), roundEven(l * 244, 1000));
    const std::vector<std::uint8_t> b = command16(0, roundEven((l + h) * 244, 1000));
    out.bytes = {a[0], a[1], a[2], b[1], b[2]};
    return out;
}

WriteCommand encodeSecondLambdaPair() {
    return {{0x1A, 122, 0, 244, 0}, {}, std::nullopt};
}

WriteCommand encodeStartDelay(const ParameterSet& s) {
    return simpleCommand(s, ParamId::StartDelay, [](int v) { return v * 5LL; });
}

WriteCommand encodeCutoffStep(const ParameterSet& s) {
    return simpleCommand(s, ParamId::CutoffStep, [](int v) { return 255LL - v; });
}

WriteCommand encodeCutoffRpm(const ParameterSet& s, int constant) {
    return speedCommand(s, ParamId::CutoffRpm, constant);
}

WriteCommand encodeStepOpening(const ParameterSet& s) {
    WriteCommand out;
    int v = 0;
    if (!take(s, ParamId::StepOpening, out, v)) return out;
    if (v < paramDef(ParamId::StepOpening).min || v > paramDef(ParamId::StepOpening).max) return out;
    return single(commandOf(ParamId::StepOpening), v);
}

WriteCommand encodeStepSpeedAboveTps(const ParameterSet& s) {
    return stepSpeed(s, ParamId::StepSpeedAboveTps);
}

WriteCommand encodeStepSpeedBelowTps(const ParameterSet& s) {
    return stepSpeed(s, ParamId::StepSpeedBelowTps);
}

WriteCommand encodeSwitchDelay(const ParameterSet& s) {
    WriteCommand out;
    const WholeNumber n = wholeNumber(s[ParamId::SwitchDelay]);
    if (n.state == WholeNumber::Bad) {
        out.messages.push_back(WriteText::invalidField(ParamId::SwitchDelay, s[ParamId::SwitchDelay]));
        return out;
    }
    // From 0: the write takes delays the field's own check would raise to 100.
    if (n.state == WholeNumber::Empty || n.value < 0 || n.value > paramDef(ParamId::SwitchDelay).max) {
        out.messages.push_back({WriteText::badValue(), WriteText::errorCaption()});
        return out;
    }
    // value x 0.001 x 4000000 / 16384 = value x 125 / 512; ties at 256 + 512k.
    static constexpr long long halvesDown[] = {768 * 125, 1792 * 125, 2816 * 125, 4864 * 125, 7936 * 125};
    return word(commandOf(ParamId::SwitchDelay), roundAsConfigured(n.value * 125LL, 512, halvesDown));
}

WriteCommand encodeSwitchTemp(const ParameterSet& s) {
    return simpleCommand(s, ParamId::SwitchTemp, [](int v) { return roundEven((v & 0xFF) + 222LL, 2); });
}

WriteCommand encodeFlags(const ParameterSet& s, FlagBit which, std::uint8_t flags, int versionCode) {
    static const std::pair<FlagBit, ParamId> owners[] = {
        {FlagBit::ProbeInversion, ParamId::ProbeKind},
        {FlagBit::TpsKind, ParamId::TpsKind},
        {FlagBit::RpmKind, ParamId::RpmKind},
        {FlagBit::TempSensor, ParamId::TempSensorOn},
        {FlagBit::CutoffOn, ParamId::CutoffOn},
        {FlagBit::ControllerMode, ParamId::ControllerMode},
        {FlagBit::ReserveSensor, ParamId::ReserveSensorKind},
    };
    ParamId id = ParamId::Count;
    for (const auto& [bit, owner] : owners)
        if (bit == which) id = owner;
    if (id == ParamId::Count) return {};
    const WireFacts& wire = paramDef(id).wire;
    const QString& text = s[id];

    auto make = [&](bool on, int times) {
        const auto mask = static_cast<std::uint8_t>(1u << wire.flagBit);
        const auto f = static_cast<std::uint8_t>(on ? flags | mask : flags & ~mask);
        WriteCommand out;
        for (int i = 0; i < times; ++i) {
            out.bytes.push_back(FlagsCommand);
            out.bytes.push_back(f);
        }
        out.flags = f;
        return out;
    };
    if (which == FlagBit::ProbeInversion)
        return make(text == QLatin1String("2") || text == QLatin1String("4"), 1);
    if (text != QLatin1String("0") && text != QLatin1String("1")) return {};
    const bool on = text == QLatin1String("1");
    if (which == FlagBit::ReserveSensor) return make(!on, 1); // bit 7 set: item 0, "20K"
    if (which == FlagBit::TempSensor) return make(on && versionCode != 3, 2);
    return make(on, 1);
}
