#include "adapt/Adaptation.h"

#include "params/Encoding.h"

#include <algorithm>
#include <numeric>

namespace adapt {

namespace {

constexpr std::uint8_t CmdLambdaTimes = 0x06;
constexpr std::uint8_t CmdTpsThreshold = 0x07;
constexpr std::uint8_t CmdSwitchRpm = 0x08;
constexpr std::uint8_t CmdClose = 0x0A;
constexpr std::uint8_t CmdFlags = 0x0B;
constexpr std::uint8_t CmdLambdaThreshold = 0x0F;
constexpr std::uint8_t CmdStepLimits = 0x12;
constexpr std::uint8_t CmdStepStart = 0x13;
constexpr std::uint8_t CmdMaxGasRpm = 0x14;
constexpr std::uint8_t CmdSwitchDelay = 0x15;
constexpr std::uint8_t CmdRpmDelta = 0x16;
constexpr std::uint8_t CmdCutoffStep = 0x17;
constexpr std::uint8_t CmdCutoffRpm = 0x18;
constexpr std::uint8_t CmdStartDelay = 0x19;
constexpr std::uint8_t CmdStepOpening = 0x1B;
constexpr std::uint8_t CmdStepSpeedBelowTps = 0x1C;
constexpr std::uint8_t CmdProbeKind = 0x1E;
constexpr std::uint8_t CmdStepSpeedAboveTps = 0x20;

std::uint8_t low8(long long v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

// Stepper speeds go out as (25 - slow-down factor) x 2650.
constexpr int stepSpeedRaw(int factor) {
    return (25 - factor) * 2650;
}

// The held flags byte with one bit set or cleared; nothing when it is unknown.
class FlagsWriter {
public:
    FlagsWriter(std::vector<Bytes>& out, std::optional<std::uint8_t> flags) : out_(out), flags_(flags) {}
    void write(int bit, bool on, int times = 1) {
        if (!flags_) return;
        const auto mask = static_cast<std::uint8_t>(1u << bit);
        flags_ = static_cast<std::uint8_t>(on ? (*flags_ | mask) : (*flags_ & ~mask));
        for (int i = 0; i < times; ++i)
            out_.push_back({CmdFlags, *flags_});
    }
    std::optional<std::uint8_t> flags() const { return flags_; }

private:
    std::vector<Bytes>& out_;
    std::optional<std::uint8_t> flags_;
};

using u128 = unsigned __int128;

int bitLength(u128 v) {
    int n = 0;
    while (v) {
        v >>= 1;
        ++n;
    }
    return n;
}

// v rounded to `bits` significant bits, ties to even.
u128 roundToSignificand(u128 v, int bits) {
    const int len = bitLength(v);
    if (len <= bits) return v;
    const int drop = len - bits;
    u128 kept = v >> drop;
    const u128 rest = v & ((u128(1) << drop) - 1);
    const u128 half = u128(1) << (drop - 1);
    if (rest > half || (rest == half && (kept & 1))) ++kept;
    return kept << drop;
}

} // namespace

long long roundRatio(long long num, long long den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    long long q = num / den;
    long long r = num % den;
    if (r < 0) { // floor, so that 0 <= r < den
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q & 1))) ++q;
    return q;
}

TpsThreshold tpsThreshold(int idle, int speed) {
    // round((H - L) x 0.1 + L) and round((L - H) x 0.9 + H) as exact fractions.
    if (speed > idle) return {static_cast<int>(roundRatio(speed + 9LL * idle, 10)), 1, 250};
    if (idle > speed) return {static_cast<int>(roundRatio(9LL * idle + speed, 10)), 0, 0};
    return {idle, 1, 250};
}

ProbeValues probeValues(int pmin, int pmax, int scaleTenths) {
    // pmin / scale with the scale in tenths is pmin x 10 / tenths.
    return {static_cast<int>(roundRatio(10LL * pmin, scaleTenths)),
            static_cast<int>(roundRatio(10LL * pmax, scaleTenths)),
            static_cast<int>(roundRatio(5LL * (pmin + pmax), scaleTenths))};
}

int stepperLower(int pmin) {
    return static_cast<int>(std::clamp<long long>(roundRatio(97LL * pmin, 392), 0, 255));
}

UpperStart stepperUpperStart(int pmax, int lower) {
    const long long upper = roundRatio(120LL * pmax, 392);
    const long long start = roundRatio(6 * (upper - lower), 10) + lower;
    return {static_cast<int>(std::clamp<long long>(upper, 0, 255)),
            static_cast<int>(std::clamp<long long>(start, 0, 255))};
}

int lambdaTime(const std::vector<int>& runs, int previous) {
    const auto n = static_cast<long long>(runs.size());
    if (n <= 1) return previous;
    const long long sum = std::accumulate(runs.begin(), runs.end() - 1, 0LL);
    return static_cast<int>(roundRatio(85 * sum, n));
}

int lambdaTimeUnits(int ms) {
    if (ms < 0) return -lambdaTimeUnits(-ms);
    // 0.001 to a 64-bit significand is kMilli / 2^73 (just below 0.001).
    constexpr unsigned long long kMilli = 9444732965739290427ull;
    const u128 product = roundToSignificand(u128(static_cast<unsigned>(ms) * 244ull) * kMilli, 64);
    u128 whole = product >> 73;
    const u128 rest = product & ((u128(1) << 73) - 1);
    const u128 half = u128(1) << 72;
    if (rest > half || (rest == half && (whole & 1))) ++whole;
    return static_cast<int>(whole);
}

Bytes lambdaTimesCommand(int t1, int t2) {
    if (t1 < 0 || t2 < 0 || t1 > 4000 || t1 + t2 > 4000) t1 = t2 = 700;
    const int a = lambdaTimeUnits(t1);
    const int b = lambdaTimeUnits(t1 + t2);
    return {CmdLambdaTimes, low8(a), low8(a >> 8), low8(b), low8(b >> 8)};
}

std::optional<Bytes> probeKindCommand(int rich) {
    if (rich <= 60) return Bytes{CmdProbeKind, 1}; // 0-1 V
    if (rich <= 83) return Bytes{CmdProbeKind, 2}; // 0.8-1.6 V
    if (rich > 128) return Bytes{CmdProbeKind, 0}; // 0-5 V
    return std::nullopt;
}

int stepOpening(Capacity capacity, Manifold manifold) {
    static constexpr int metal[] = {2, 3, 5, 7, 9};
    static constexpr int plastic[] = {3, 5, 7, 9, 11};
    const auto i = static_cast<int>(capacity);
    if (i < 0 || i > 4) return 0;
    return manifold == Manifold::Metal ? metal[i] : plastic[i];
}

Bytes CommandGroup::bytes() const {
    Bytes out;
    for (const Bytes& c : commands)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}

CommandGroup adaptationSetup(const SetupInputs& in) {
    CommandGroup g;
    std::vector<Bytes>& c = g.commands;
    FlagsWriter flags(c, in.flags);
    auto period = [&](int rpm) { return periodOfSpeed(in.ignitionConstant, rpm); };

    if (auto probe = probeKindCommand(in.rich)) c.push_back(*probe);
    flags.write(1, false); // probe not inverted
    c.push_back({CmdLambdaThreshold, low8(in.probeThreshold)});
    c.push_back(command16(CmdSwitchRpm, period(2000)));
    c.push_back({CmdTpsThreshold, low8(in.tpsToWrite)});
    c.push_back(command16(CmdMaxGasRpm, period(7000)));
    flags.write(2, false); // RpmKind 0
    c.push_back(command16(CmdRpmDelta, period(1500) - period(2000)));
    c.push_back({CmdStartDelay, 5});
    flags.write(0, in.tpsDirectionFlag != 1);                                // TpsKind
    c.push_back(command16(CmdSwitchDelay, roundRatio(100LL * 4000, 16384))); // 100 ms: 24
    flags.write(3, false);                                                   // temperature sensor off
    flags.write(6, false);                                                   // "ekonomiczna"
    c.push_back({CmdStepOpening, 0});
    c.push_back(command16(CmdStepSpeedAboveTps, stepSpeedRaw(2)));
    c.push_back(command16(CmdStepSpeedBelowTps, stepSpeedRaw(5)));
    flags.write(4, in.gearbox == Gearbox::Automatic); // cutoff follows the gearbox
    c.push_back({CmdCutoffStep, 235});
    c.push_back(command16(CmdCutoffRpm, period(1500)));
    flags.write(7, in.reserve == ReserveSensor::Sensor20k);
    c.push_back({CmdStepLimits, low8(255 - in.lower), low8(255 - in.upper)});
    c.push_back({CmdStepStart, low8(255 - in.start)});
    c.push_back(lambdaTimesCommand(in.t1, in.t2));
    c.push_back({CmdClose});
    g.flags = flags.flags();
    return g;
}

CommandGroup finalWrite(const FinalInputs& in) {
    CommandGroup g;
    std::vector<Bytes>& c = g.commands;
    FlagsWriter flags(c, in.flags);
    c.push_back({CmdTpsThreshold, low8(in.tpsThreshold)});
    c.push_back({CmdStepLimits, low8(255 - in.lower), low8(255 - in.upper)});
    c.push_back({CmdStepStart, low8(255 - in.start)});
    c.push_back(lambdaTimesCommand(in.t1, in.t2));
    c.push_back({CmdStepOpening, low8(stepOpening(in.capacity, in.manifold))});
    // As the parameter write does it: bit 3, never on a version-3 controller, sent twice.
    flags.write(3, in.temperatureSensor && in.versionCode != 3, 2);
    c.push_back({CmdClose});
    g.flags = flags.flags();
    return g;
}

} // namespace adapt
