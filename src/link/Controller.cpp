#include "link/Controller.h"

namespace {
constexpr std::uint8_t CmdVersion = 0x01;
constexpr std::uint8_t CmdLive = 0x02;
constexpr std::uint8_t CmdBlock = 0x09;
constexpr std::uint8_t CmdClose = 0x0A;
constexpr std::uint8_t CmdIgnition = 0x1F;
constexpr std::uint8_t Prefix = 0xAA;
constexpr std::uint8_t CmdThresholdRead = 0x22;
constexpr std::uint8_t CmdThresholdWrite = 0x23;
} // namespace

Controller::Controller(SerialChannel& channel) : ch_(channel) {}

QString Controller::buildText(int patch, int tweak) {
    if (patch < 0 || tweak < 0) return QStringLiteral("?.?");
    const quint32 build = static_cast<quint32>(patch) * 65536u + static_cast<quint32>(tweak);
    return QString::number(build) + QLatin1Char(')');
}

QString Controller::defaultBuildText() {
#if defined(QUENDRIX_VERSION_PATCH) && defined(QUENDRIX_VERSION_TWEAK)
    return buildText(QUENDRIX_VERSION_PATCH, QUENDRIX_VERSION_TWEAK);
#else
    return QStringLiteral("?.?");
#endif
}

Controller::Ignition Controller::ignitionFor(int value) {
    static constexpr int constants[] = {19200, 9600, 4800, 4000, 3200, 2400};
    if (value >= 0 && value <= 5) return {constants[value], value};
    return {4800, 3};
}

int Controller::ignitionConstantForIndex(int index) {
    return ignitionFor(index).constant;
}

void Controller::setIgnitionIndex(int index) {
    const Ignition ig = ignitionFor(index);
    ignitionIndex_ = ig.index;
    ignitionConstant_ = ig.constant;
    ignitionKnown_ = index >= 0 && index <= 5;
}

int Controller::probeKindFrom(std::uint8_t byte31, std::uint8_t flags) {
    const bool inverted = (flags & 0x02) != 0;
    switch (byte31) {
    case 0:
        return inverted ? 2 : 1;
    case 1:
        return inverted ? 4 : 0;
    case 2:
        return 3;
    default:
        return 0;
    }
}

bool Controller::versionAnswer(const SerialChannel::Receive& r) {
    return r.count > 0 && r.count <= VersionAnswerMax;
}

Controller::Arrival Controller::versionArrival(int received) {
    if (received <= 0) return Arrival::None;
    return received > VersionAnswerMax ? Arrival::Excess : Arrival::Whole;
}

Controller::Arrival Controller::sized(int received, int length) {
    if (received <= 0) return Arrival::None;
    if (received < length) return Arrival::Short;
    return received > length ? Arrival::Excess : Arrival::Whole;
}

Controller::Asked Controller::ask(std::uint8_t command, int attempts, int length, bool polled, bool repeat) {
    Asked a;
    int requests = 0;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (attempt == 1 || repeat) {
            // A repeat keeps what has arrived: an earlier request's answer, on its way.
            ch_.SendByte(command, attempt == 1 ? SerialChannel::Input::Drop : SerialChannel::Input::Keep);
            ++requests;
        } else {
            // As long as a repeat would take, without another answer to come.
            ch_.sleepMs(SerialChannel::ByteGapMs);
        }
        if (quickPoll_ && length > 0) {
            for (int waited = 0; waited < AttemptWaitMs && ch_.waiting() >= 0 && ch_.waiting() < length;
                 ++waited)
                ch_.sleepMs(1);
        } else {
            ch_.sleepMs(AttemptWaitMs);
        }
        // A missing answer must read as none, not as the last answer.
        if (!repeat) ch_.setAnswerByte(0, 0);
        const SerialChannel::Receive r = polled ? ch_.ReceivePolled(false) : ch_.ReceiveAnswer(false);
        a.sent = requests;
        if (r.count > 0) {
            a.answered = attempt;
            a.received = r.count;
            break;
        }
    }
    ch_.reportAnswer(a.received > 0);
    if (a.received == 0) return a;
    if (length > 0) collectRest(a.received, length);
    // Each repeat may still be answered, as late as the first answer was.
    const int each = length > 0 ? length : a.received;
    const int owed = a.sent * each - a.received;
    if (owed > 0) {
        const qint64 spanMs = qint64(a.sent - 1) * (AttemptWaitMs + SerialChannel::ByteGapMs);
        ch_.owe(owed, ch_.clock().nowUs() + (spanMs + 2 * owed + LateMarginMs) * 1000);
    }
    return a;
}

void Controller::collectRest(int& received, int length) {
    int quietMs = 0;
    while (received < length && quietMs < AnswerPauseMs) {
        ch_.sleepMs(AnswerSliceMs);
        const SerialChannel::Receive r = ch_.ReceiveMore(received, length - received);
        if (!r.ok) return;
        if (r.count > 0) {
            received += r.count;
            quietMs = 0;
        } else {
            quietMs += AnswerSliceMs;
        }
    }
}

void Controller::oweRest(int received, int length) {
    if (received <= 0 || received >= length) return;
    const int rest = length - received;
    ch_.owe(rest, ch_.clock().nowUs() + qint64(2 * rest + LateMarginMs) * 1000);
}

ParameterBlock Controller::blockFromBuffer() const {
    ParameterBlock b{};
    for (int i = 0; i < BlockSize; ++i)
        b[static_cast<std::size_t>(i)] = ch_.AnswerByte(i);
    return b;
}

void Controller::ReadVersion() {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::VersionRead);
    ch_.ClosePort();
    ch_.OpenPort();
    // Asked once, waited for as long as a poll is: a repeated request would
    // leave more answers on their way for the exchanges that follow.
    const Asked a = ask(CmdVersion, VersionAttempts, 0, false, false);
    arrival_ = versionArrival(a.received);
    version_ = arrival_ == Arrival::Whole ? ch_.AnswerByte(0) : 0;
    present_ = version_ != 0;
    if (ch_.observer()) ch_.observer()->versionRead(version_);
    ch_.ClosePort();
}

bool Controller::ReadAnalogCapability() {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::CapabilityRead);
    ch_.ClosePort();
    ch_.OpenPort();
    ch_.SendByte(CmdVersion);
    ch_.sleepMs(200);
    const SerialChannel::Receive r = ch_.ReceiveAnswer();
    arrival_ = versionArrival(r.count);
    // Without an answer the buffer holds some older answer's first byte.
    analogCapable_ = versionAnswer(r) && ch_.AnswerByte(0) > 7;
    if (ch_.observer()) ch_.observer()->analogCapability(analogCapable_);
    return analogCapable_;
}

int Controller::ReadFeatureVersion() {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::FeatureRead);
    ch_.OpenPort();
    ch_.SendByte(CmdVersion);
    ch_.sleepMs(400);
    const SerialChannel::Receive r = ch_.ReceiveAnswer();
    ch_.ClosePort();
    arrival_ = versionArrival(r.count);
    if (arrival_ == Arrival::Whole) featureVersion_ = ch_.AnswerByte(0);
    // Out of step, the features would follow some other byte: none are offered.
    if (r.count > VersionAnswerMax) return 0;
    return ch_.AnswerByte(0);
}

bool Controller::ReadAnalogThreshold() {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::ThresholdRead);
    ch_.SendByte(Prefix);
    ch_.sleepMs(50);
    ch_.SendByte(CmdThresholdRead);
    ch_.sleepMs(50);
    const SerialChannel::Receive r = ch_.ReceiveAnswer();
    // The threshold is written back later: a stale byte, or one of an answer
    // out of step (late, cut short, with noise), must not become it.
    const bool ok = r.count == ThresholdAnswerSize;
    arrival_ = sized(r.count, ThresholdAnswerSize);
    oweRest(r.count, ThresholdAnswerSize);
    thresholdRead_ = ok;
    if (ok) analogThreshold_ = QString::number(ch_.AnswerByte(1));
    ch_.SendByte(CmdClose);
    return ok;
}

bool Controller::WriteAnalogThreshold() {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::ThresholdWrite);
    ch_.ClosePort();
    ch_.OpenPort();
    bool ok = false;
    const int value = analogThreshold_.trimmed().toInt(&ok);
    if (!ok) return false;
    ch_.SendByte(Prefix);
    ch_.sleepMs(20);
    ch_.SendByte(CmdThresholdWrite);
    ch_.sleepMs(20);
    ch_.SendByte(static_cast<std::uint8_t>(value & 0xFF));
    ch_.sleepMs(20);
    return true;
}

bool Controller::ReadIgnition() {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::IgnitionRead);
    ch_.OpenPort();
    ch_.SendByte(CmdBlock);
    ch_.sleepMs(100);
    const SerialChannel::Receive r = ch_.ReceiveAnswer();
    ch_.ClosePort();
    arrival_ = sized(r.count, BlockSize);
    oweRest(r.count, BlockSize);
    // Stale bytes, or a block out of step with its bytes, decoded as the
    // ignition system would later be written back.
    if (r.count != BlockSize) return false;
    const ParameterBlock b = blockFromBuffer();
    probeKind_ = probeKindFrom(b[31], b[8]);
    flags_ = b[8];
    flagsKnown_ = true;
    setIgnitionIndex(b[32] + 256 * b[33]);
    return true;
}

std::optional<ParameterBlock> Controller::ReadParameterBlock() {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::BlockRead);
    ch_.OpenPort();
    ReadAnalogThreshold();
    ch_.ClosePort();

    ch_.OpenPort();
    ch_.SendByte(CmdBlock);
    ch_.sleepMs(300);
    const SerialChannel::Receive r = ch_.ReceiveAnswer();
    ch_.ClosePort();
    arrival_ = sized(r.count, BlockSize);
    oweRest(r.count, BlockSize);
    // Exactly the block's bytes: with late bytes of an earlier answer in front
    // every field would be decoded out of step, and then written back.
    if (r.count != BlockSize) return std::nullopt;

    const ParameterBlock b = blockFromBuffer();
    const int w = b[32] + 256 * b[33];
    if (w == 0x0101) {
        arrival_ = Arrival::Invalid;
        return std::nullopt;
    }
    setIgnitionIndex(w);
    flags_ = b[8];
    flagsKnown_ = true;
    probeKind_ = probeKindFrom(b[31], b[8]);
    return b;
}

bool Controller::PollLiveFrame(bool quick) {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::Poll);
    // Without a version (no controller answered its request) the length is
    // not known, and part of a longer frame could pass for a whole one.
    const int length = version_ == 0 ? 0 : frameLength();
    quickPoll_ = quick;
    const Asked a = ask(CmdLive, PollAttempts, length, true, true);
    quickPoll_ = false;
    lastPollReceived_ = a.received;
    // A frame is only what this poll received, whole: a short answer leaves
    // older bytes in the buffer, a longer one is out of step.
    if (a.received == 0) {
        arrival_ = Arrival::None;
    } else if (version_ == 0) {
        arrival_ = Arrival::Invalid;
    } else if (a.received != length) {
        arrival_ = sized(a.received, length);
    } else if (version_ == 5) {
        int sum = 0;
        for (int i = 0; i <= 6; ++i)
            sum += ch_.AnswerByte(i);
        arrival_ = (sum % 256) == ch_.AnswerByte(7) ? Arrival::Whole : Arrival::Invalid;
    } else {
        arrival_ = a.answered <= AnsweredAttempts ? Arrival::Whole : Arrival::Late;
    }
    return arrival_ == Arrival::Whole;
}

void Controller::WriteIgnition(int index) {
    const SerialChannel::Exchange exchange(ch_, TraceExchange::IgnitionWrite);
    ch_.SendByte(CmdIgnition);
    ch_.SendByte(static_cast<std::uint8_t>(index % 256));
    ch_.SendByte(static_cast<std::uint8_t>(index / 256));
}
