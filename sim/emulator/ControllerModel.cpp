#include "emulator/ControllerModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace qsim {

namespace {

// Where each write command's value bytes live. offset -1: kept outside the block.
struct WriteCommand {
    uint8_t code;
    int count;
    int offset;
};

constexpr WriteCommand kWrites[] = {
    {0x1E, 1, 31}, {0x0B, 1, 8},  {0x0F, 1, 9},  {0x08, 2, 6},  {0x07, 1, 5},  {0x14, 2, 13}, {0x16, 2, 17},
    {0x12, 2, 10}, {0x13, 1, 12}, {0x06, 4, 1},  {0x1A, 4, -1}, {0x19, 1, 22}, {0x17, 1, 21}, {0x18, 2, 19},
    {0x1B, 1, 27}, {0x20, 2, 34}, {0x1C, 2, 28}, {0x15, 2, 15}, {0x05, 1, 0},  {0x1F, 2, 32},
};

const WriteCommand* findWrite(uint8_t code) {
    for (const auto& w : kWrites)
        if (w.code == code) return &w;
    return nullptr;
}

// Ties to even, as the program rounds.
int rnd(double v) {
    return static_cast<int>(std::nearbyint(v));
}

void put16(std::array<uint8_t, 37>& b, int at, int v) {
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

int get16(const std::array<uint8_t, 37>& b, int at) {
    return b[at] | (b[at + 1] << 8);
}

std::string hexBytes(const std::vector<uint8_t>& v) {
    std::string s;
    char buf[8];
    for (size_t i = 0; i < v.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", v[i]);
        s += buf;
    }
    return s;
}

std::string hexByte(uint8_t b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b);
    return buf;
}

constexpr double kTickMs = 10.0;
// Gas transport delay seen by the probe: shorter the more gas flows.
constexpr int kMinDelayTicks = 10;
constexpr int kMaxDelayTicks = 60;
constexpr double kDelayFlowTicks = 1600.0; // delay = 10 + this / (reducer gain x stepper) ticks
constexpr double kIdleGasNeed = 65.0;      // stepper steps the idling engine needs at reducer gain 1
constexpr double kIdleRpm = 800.0;
constexpr double kFullThrottleRpm = 6000.0;
constexpr double kWarmC = 82.0;
constexpr size_t kMaxEvents = 2000;

} // namespace

ControllerModel::ControllerModel(int versionCode, int storedIgnition)
    : block_(defaultBlock(storedIgnition)), version_(versionCode) {
    inputs_.trueIgnition = (storedIgnition >= 0 && storedIgnition <= 5) ? storedIgnition : 2;
    tempC_ = inputs_.ambientC;
}

int ControllerModel::ignitionConstant(int index) {
    static constexpr int k[] = {19200, 9600, 4800, 4000, 3200, 2400};
    return (index >= 0 && index <= 5) ? k[index] : 4800;
}

int ControllerModel::valueByteCount(uint8_t command) {
    const WriteCommand* w = findWrite(command);
    return w ? w->count : -1;
}

std::array<uint8_t, 37> ControllerModel::defaultBlock(int storedIgnition) {
    const double c = ignitionConstant(storedIgnition);
    auto period = [c](double rpm) { return rnd(c * 800.0 / rpm); };
    std::array<uint8_t, 37> b{};
    b[0] = static_cast<uint8_t>(rnd(0 * 0.5 + 111));     // SwitchTemp 0
    put16(b, 1, rnd(500 * 244 / 1000.0));                // LambdaLowTime 500
    put16(b, 3, rnd((500 + 500) * 244 / 1000.0));        // + LambdaHighTime 500
    b[5] = static_cast<uint8_t>(rnd(125 * 0.002 * 100)); // TpsThreshold 1,25
    put16(b, 6, period(2000));                           // SwitchRpm
    b[8] = 0;                                            // flags: every managed bit clear
    b[9] = 25;                                           // LambdaThreshold 0,50 as the tool writes it
    b[10] = 255 - 10;                                    // StepMin
    b[11] = 255 - 200;                                   // StepMax
    b[12] = 255 - 100;                                   // StepStart
    put16(b, 13, period(7000));                          // MaxGasRpm, limit on
    put16(b, 15, rnd(100 * 0.001 * 4000000 / 16384));    // SwitchDelay 100 ms
    put16(b, 17, period(2000 - 500) - period(2000));     // RpmDelta 500
    put16(b, 19, period(1500));                          // CutoffRpm
    b[21] = 255 - 30;                                    // CutoffStep
    b[22] = 1 * 5;                                       // StartDelay 1 s
    b[27] = 30;                                          // StepOpening
    put16(b, 28, (25 - 6) * 2650);                       // StepSpeedBelowTps
    b[31] = 1;                                           // ProbeKind 0
    put16(b, 32, storedIgnition);                        // ignition index
    put16(b, 34, (25 - 3) * 2650);                       // StepSpeedAboveTps
    return b;
}

void ControllerModel::setStoredIgnition(int index) {
    put16(block_, 32, index);
}

void ControllerModel::note(std::string s) {
    if (events_.size() >= kMaxEvents) events_.erase(events_.begin());
    events_.push_back(std::move(s));
}

void ControllerModel::dropOldCommands(std::size_t keep) {
    if (commands_.size() > keep)
        commands_.erase(commands_.begin(), commands_.end() - static_cast<std::ptrdiff_t>(keep));
}

std::vector<std::string> ControllerModel::takeEvents() {
    std::vector<std::string> out;
    out.swap(events_);
    return out;
}

// ---------------------------------------------------------------- parser

std::vector<uint8_t> ControllerModel::receive(uint8_t byte, double nowMs) {
    advance(nowMs);
    if (anyByte_ && parse_ != Parse::Idle && nowMs - lastByteMs_ > kCommandTimeoutMs) {
        note(parse_ == Parse::Prefix ? "prefix 0xAA expired"
                                     : "incomplete command " + hexByte(command_) + " dropped");
        parse_ = Parse::Idle;
    }
    lastByteMs_ = nowMs;
    anyByte_ = true;

    bool prefixed = false;
    switch (parse_) {
    case Parse::Values:
        values_.push_back(byte);
        if (--remaining_ == 0) finishCommand(nowMs);
        return {};
    case Parse::Prefix:
        parse_ = Parse::Idle;
        if (byte == 0x22) {
            commands_.push_back({true, 0x22, {}, nowMs});
            note("threshold request");
            return answer(0x22, {0x22, threshold_});
        }
        if (byte == 0x23) {
            startCommand(0x23, true, nowMs);
            return {};
        }
        if (byte == 0xAA) {
            parse_ = Parse::Prefix;
            note("repeated prefix 0xAA");
            return {};
        }
        prefixed = true;
        break;
    case Parse::Idle:
        break;
    }

    switch (byte) {
    case 0xAA:
        parse_ = Parse::Prefix;
        return {};
    case 0x01:
        commands_.push_back({prefixed, byte, {}, nowMs});
        return answer(0x01, versionAnswer());
    case 0x02:
        commands_.push_back({prefixed, byte, {}, nowMs});
        return answer(0x02, liveFrame());
    case 0x09:
        commands_.push_back({prefixed, byte, {}, nowMs});
        return answer(0x09, std::vector<uint8_t>(block_.begin(), block_.end()));
    case 0x0A:
        commands_.push_back({prefixed, byte, {}, nowMs});
        ++closings_;
        note("closing byte 0x0A");
        return {};
    default:
        if (findWrite(byte)) {
            startCommand(byte, prefixed, nowMs);
        } else {
            note("unknown byte " + hexByte(byte) + " ignored");
        }
        return {};
    }
}

void ControllerModel::startCommand(uint8_t code, bool prefixed, double /*nowMs*/) {
    parse_ = Parse::Values;
    command_ = code;
    prefixed_ = prefixed;
    remaining_ = code == 0x23 ? 1 : findWrite(code)->count;
    values_.clear();
}

void ControllerModel::finishCommand(double nowMs) {
    parse_ = Parse::Idle;
    ReceivedCommand c{prefixed_, command_, values_, nowMs};
    apply(c);
    note(std::string(c.prefixed ? "write AA " : "write ") + hexByte(c.code) + ": " + hexBytes(c.values));
    commands_.push_back(std::move(c));
}

void ControllerModel::apply(const ReceivedCommand& c) {
    if (c.code == 0x23) {
        threshold_ = c.values[0];
        return;
    }
    if (c.code == 0x1A) {
        std::copy(c.values.begin(), c.values.end(), secondPair_.begin());
        return;
    }
    const WriteCommand* w = findWrite(c.code);
    for (int i = 0; i < w->count; ++i)
        block_[w->offset + i] = c.values[i];
}

std::vector<uint8_t> ControllerModel::answer(uint8_t request, std::vector<uint8_t> bytes) {
    const bool hit = faults_.onlyCommand == 0 || faults_.onlyCommand == request;
    timing_ = hit ? AnswerTiming{double(faults_.delayMs), faults_.pauseAfter, double(faults_.pauseMs)}
                  : AnswerTiming{};
    if (hit) {
        if (faults_.silent) {
            note("request " + hexByte(request) + " not answered (silent)");
            return {};
        }
        if (faults_.answerEveryN != countedEveryN_) { // a new setting counts from its own start
            countedEveryN_ = faults_.answerEveryN;
            requestCount_ = 0;
        }
        if (faults_.answerEveryN > 1 && ++requestCount_ % faults_.answerEveryN != 0) {
            note("request " + hexByte(request) + " skipped (answer every " +
                 std::to_string(faults_.answerEveryN) + ")");
            return {};
        }
        if (faults_.loseEveryN != countedLoseN_) {
            countedLoseN_ = faults_.loseEveryN;
            loseCount_ = 0;
        }
        if (faults_.loseEveryN > 1 && ++loseCount_ % faults_.loseEveryN == 0) {
            note("answer to " + hexByte(request) + " lost (every " + std::to_string(faults_.loseEveryN) +
                 ")");
            return {};
        }
        if (faults_.wrongChecksum && request == 0x02 && bytes.size() >= 8) bytes[7] ^= 0x5A;
        if (faults_.truncateTo >= 0 && static_cast<size_t>(faults_.truncateTo) < bytes.size())
            bytes.resize(static_cast<size_t>(faults_.truncateTo));
        if (faults_.noiseBytes != 0) {
            std::uniform_int_distribution<int> d(0, 255);
            std::vector<uint8_t> noise(static_cast<size_t>(std::abs(faults_.noiseBytes)));
            for (auto& n : noise)
                n = static_cast<uint8_t>(d(noiseRng_));
            if (faults_.noiseBytes > 0)
                bytes.insert(bytes.end(), noise.begin(), noise.end());
            else
                bytes.insert(bytes.begin(), noise.begin(), noise.end());
        }
    }
    note("answer to " + hexByte(request) + ": " + hexBytes(bytes));
    return bytes;
}

std::vector<uint8_t> ControllerModel::versionAnswer() const {
    // Byte 0 is all the program uses; the rest reads like a firmware id.
    std::vector<uint8_t> a{static_cast<uint8_t>(version_), 'Q', 'X', 4, 3, 0, 94, 0};
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += a[i];
    a[7] = static_cast<uint8_t>(sum & 0xFF);
    return a;
}

// ---------------------------------------------------------------- live frame

int ControllerModel::period() const {
    if (rpm_ < 50.0) return 0xFFFF;
    const int p = rnd(ignitionConstant(inputs_.trueIgnition) * 800.0 / rpm_);
    return std::clamp(p, 1, 0xFFFF);
}

std::vector<uint8_t> ControllerModel::liveFrame() const {
    const EngineState s = state();
    const uint8_t lambda = static_cast<uint8_t>(std::clamp(rnd(s.lambdaVolts * 255.0 / 5.0), 0, 255));
    const uint8_t tps = static_cast<uint8_t>(std::clamp(rnd(s.tpsVolts * 20.0), 0, 255));
    const uint8_t temp = static_cast<uint8_t>(std::clamp(rnd(110.0 + s.tempC * 10.0 / 19.0), 0, 255));
    // Reserve sensor: flags bit 7 set = "20K" (250 empty .. 10 full), clear = "90R" (0 empty .. 40 full).
    const double level = std::clamp(inputs_.gasLevel, 0.0, 1.0);
    const uint8_t gas = (block_[8] & 0x80) ? static_cast<uint8_t>(rnd(250.0 - level * 240.0))
                                           : static_cast<uint8_t>(rnd(level * 40.0));
    const int p = period();

    std::vector<uint8_t> f(version_ >= 5 ? 9 : 8, 0);
    f[0] = lambda;
    f[1] = tps;
    if (version_ >= 4) {
        f[2] = temp;
        f[3] = gas;
    } else {
        f[2] = gas;
    }
    f[4] = static_cast<uint8_t>(p & 0xFF);
    f[5] = static_cast<uint8_t>(p >> 8);
    f[6] = static_cast<uint8_t>(255 - std::clamp(s.stepper, 0, 255));
    if (version_ == 5) {
        int sum = 0;
        for (int i = 0; i < 7; ++i)
            sum += f[i];
        f[7] = static_cast<uint8_t>(sum & 0xFF);
    }
    return f;
}

EngineState ControllerModel::state() const {
    EngineState s;
    s.rpm = rpm_;
    s.tempC = tempC_;
    s.lambdaVolts = lambdaV_;
    s.tpsVolts = 0.5 + 4.0 * std::clamp(inputs_.throttle, 0.0, 1.0);
    // New limits take hold at once, not only at the next regulation step.
    const int lo = std::min(stepMin(), stepMax()), hi = std::max(stepMin(), stepMax());
    s.stepper = onGas_ ? std::clamp(stepper_, lo, hi) : 0;
    s.onGas = onGas_;
    return s;
}

// ---------------------------------------------------------------- engine model

void ControllerModel::advance(double nowMs) {
    if (!started_) {
        started_ = true;
        simMs_ = nowMs;
        tempC_ = inputs_.forcedTempC > -273 ? inputs_.forcedTempC : inputs_.ambientC;
        rpm_ = inputs_.engineOn ? (inputs_.forcedRpm >= 0 ? inputs_.forcedRpm : kIdleRpm) : 0.0;
        running_ = rpm_ >= 300.0;
        runningSinceMs_ = nowMs;
        return;
    }
    // A jump of more than an hour is not worth simulating tick by tick.
    if (nowMs - simMs_ > 3600e3) simMs_ = nowMs - 3600e3;
    while (simMs_ + kTickMs <= nowMs) {
        simMs_ += kTickMs;
        step(kTickMs);
    }
}

// Reducer pressure: how much gas one stepper step lets through (1 at the middle setting).
double ControllerModel::reducerGain() const {
    return 0.25 + 1.5 * std::clamp(inputs_.reducer, 0.0, 1.0);
}

// The stepper position at which the mixture is right: the engine's gas need,
// growing with speed and load, over what one step lets through. It does not
// care about the stored limits; those only bound where the controller can go.
double ControllerModel::idealStepper() const {
    const double throttle = std::clamp(inputs_.throttle, 0.0, 1.0);
    const double need = kIdleGasNeed * std::pow(std::max(rpm_, 300.0) / kIdleRpm, 0.6) * (1.0 + throttle);
    return need / reducerGain();
}

int ControllerModel::mixtureDelayTicks() const {
    const double flow = std::max(1.0, reducerGain() * stepper_);
    return std::clamp(kMinDelayTicks + rnd(kDelayFlowTicks / flow), kMinDelayTicks, kMaxDelayTicks);
}

bool ControllerModel::switchConditionsHold() const {
    if (!inputs_.gasSwitch || !running_ || !reachedSwitchRpm_) return false;
    const double startDelayMs = block_[22] * 200.0; // fifths of a second
    if (simMs_ - runningSinceMs_ < startDelayMs) return false;
    if ((block_[8] & 0x08) && tempC_ < 2.0 * block_[0] - 222.0) return false;
    return true;
}

void ControllerModel::step(double dt) {
    std::normal_distribution<double> noise(0.0, 1.0);
    const double throttle = std::clamp(inputs_.throttle, 0.0, 1.0);

    // Engine speed: first-order lag towards the target, a little wander at idle.
    if (!inputs_.engineOn) {
        rpm_ += (0.0 - rpm_) * dt / 300.0;
        if (rpm_ < 50.0) rpm_ = 0.0;
    } else if (inputs_.forcedRpm >= 0) {
        rpm_ = inputs_.forcedRpm;
    } else {
        idleJitter_ = std::clamp(idleJitter_ * 0.98 + noise(rng_) * 2.0, -20.0, 20.0);
        const double target = kIdleRpm + throttle * (kFullThrottleRpm - kIdleRpm) + idleJitter_;
        const double tau = target > rpm_ ? 600.0 : 900.0;
        rpm_ += (target - rpm_) * std::min(1.0, dt / tau);
    }

    const bool wasRunning = running_;
    running_ = inputs_.engineOn && rpm_ >= 300.0;
    if (running_ && !wasRunning) {
        runningSinceMs_ = simMs_;
        reachedSwitchRpm_ = false;
    }
    if (!running_) {
        onGas_ = false;
        reachedSwitchRpm_ = false;
    }

    // Reducer temperature: warms with the engine, cools slowly when it stops.
    if (inputs_.forcedTempC > -273)
        tempC_ = inputs_.forcedTempC;
    else if (running_)
        tempC_ += (kWarmC - tempC_) * dt / 40000.0;
    else
        tempC_ += (inputs_.ambientC - tempC_) * dt / 600000.0;

    // The controller compares periods, so a wrong stored ignition shifts its switch point.
    int switchPeriod = get16(block_, 6);
    if (switchPeriod == 0) switchPeriod = 1;
    if (running_ && period() <= switchPeriod) reachedSwitchRpm_ = true;

    const int lo = std::min(stepMin(), stepMax()), hi = std::max(stepMin(), stepMax());
    if (onGas_ && !inputs_.gasSwitch) {
        onGas_ = false;
        note("switched to petrol");
    }
    if (!onGas_ && switchConditionsHold()) {
        onGas_ = true;
        stepper_ = std::clamp(255 - block_[12], lo, hi);
        mixtureDelay_.assign(kMaxDelayTicks, stepper_);
        stepAccuMs_ = 0;
        note("switched to gas");
    }

    if (!running_) {
        lambdaV_ = 0.0;
    } else if (onGas_) {
        mixtureDelay_.push_back(stepper_);
        while (static_cast<int>(mixtureDelay_.size()) > kMaxDelayTicks)
            mixtureDelay_.pop_front();
        // The probe sees the gas the stepper let through some ticks ago.
        const int seen = mixtureDelay_[mixtureDelay_.size() - static_cast<size_t>(mixtureDelayTicks())];
        const double mixture = (seen - idealStepper()) / 4.0; // > 0 rich
        lambdaV_ = 0.5 + 0.4 * std::tanh(2.0 * mixture) + noise(rng_) * 0.005;

        // Regulation: one step per (slow-down factor × 10 ms), towards the threshold crossing.
        const bool aboveTps =
            rnd((0.5 + 4.0 * throttle) * 20.0) > block_[5]; // threshold byte is in TPS raw units
        const int raw = aboveTps ? get16(block_, 34) : get16(block_, 28);
        const double factor = std::clamp(25.0 - raw / 2650.0, 1.0, 25.0);
        stepAccuMs_ += dt;
        const double interval = factor * 10.0;
        const bool inverted = (block_[8] & 0x02) != 0;
        while (stepAccuMs_ >= interval) {
            stepAccuMs_ -= interval;
            const int lambdaRaw = rnd(lambdaV_ * 51.0);
            const bool rich = (lambdaRaw > block_[9]) != inverted;
            stepper_ += rich ? -1 : 1;
        }
        stepper_ = std::clamp(stepper_, lo, hi);
    } else {
        // The petrol ECU runs its own loop at about 1 Hz.
        const double phase = simMs_ / 1000.0 * 2.0 * std::numbers::pi;
        lambdaV_ = 0.5 + 0.4 * std::tanh(3.0 * std::sin(phase)) + noise(rng_) * 0.005;
    }
    lambdaV_ = std::clamp(lambdaV_, 0.0, 5.0);
}

} // namespace qsim
