#include "params/ParameterJobs.h"

#include "link/ControllerLink.h"
#include "params/BlockCodec.h"
#include "params/ParamTable.h"
#include "params/WriteSequence.h"

namespace params {

namespace {
class Collected : public WriteMessageSink {
public:
    void writeMessage(const QString& text, const QString& caption) override {
        messages.push_back({text, caption});
    }
    std::vector<WriteMessage> messages;
};

// Passes everything on to the channel's own observer and notes whether any
// receive found bytes: a read that failed although the controller answered
// got a bad answer, not none.
class AnswerWatch : public LinkObserver {
public:
    explicit AnswerWatch(LinkObserver* inner) : inner_(inner) {}
    void answerStatus(bool answered) override {
        answeredAny = answeredAny || answered;
        if (inner_) inner_->answerStatus(answered);
    }
    void silentPolls(int count) override {
        if (inner_) inner_->silentPolls(count);
    }
    void portOpenFailed(const PortError& e) override {
        if (inner_) inner_->portOpenFailed(e);
    }
    void portOpened(const QString& port) override {
        if (inner_) inner_->portOpened(port);
    }
    void portLost(const PortError& e) override {
        if (inner_) inner_->portLost(e);
    }
    void versionRead(int code) override {
        if (inner_) inner_->versionRead(code);
    }
    void analogCapability(bool capable) override {
        if (inner_) inner_->analogCapability(capable);
    }
    LinkObserver* inner() const { return inner_; }
    bool answeredAny = false;

private:
    LinkObserver* inner_;
};
} // namespace

ReadResult readBlock(Controller& c, WriteGate& gate) {
    ReadResult r;
    SerialChannel& ch = c.channel();
    AnswerWatch watch(ch.observer());
    ch.setObserver(&watch);
    const std::optional<ParameterBlock> block = c.ReadParameterBlock();
    ch.setObserver(watch.inner());
    r.answered = watch.answeredAny;
    r.versionCode = c.versionCode();
    if (!block) return r;
    gate.blockRead(*block, r.versionCode);
    ReadResult decoded = decodeRead(c, *block);
    decoded.answered = r.answered;
    return decoded;
}

ReadResult decodeRead(const Controller& c, const ParameterBlock& block) {
    ReadResult r;
    r.versionCode = c.versionCode();
    r.answered = true;
    r.ok = true;
    r.block = block;
    r.ignitionConstant = c.ignitionConstant();
    r.ignitionIndex = c.ignitionIndex();
    r.set = defaultParameterSet();
    decodeParameterBlock(block, r.ignitionConstant, r.set);
    // A threshold whose answer did not arrive is not known: left empty, it is
    // not written back (a stale one would be).
    r.set[ParamId::AnalogThreshold] = c.thresholdRead() ? c.analogThreshold() : QString();
    r.marks = fidelityMarks(block, r.ignitionConstant, r.versionCode);
    return r;
}

void postRead(ControllerLink& link, WriteGate& gate, QObject* receiver,
              std::function<void(const ReadResult&)> done) {
    link.call<ReadResult>(
        receiver, [&gate](Controller& c) { return readBlock(c, gate); }, std::move(done));
}

QString portDescription(const Controller& c) {
    const SerialChannel& ch = c.channel();
    const QString port = ch.selectedPort();
    const QString device = ch.devicePath(port);
    if (SerialChannel::comNumber(port) <= 0 || device == port) return port;
    return port.toUpper() + QStringLiteral(" (") + device + QLatin1Char(')');
}

GateReport writeThroughGate(Controller& c, WriteGate& gate, const QString& what, const ParameterSet& set,
                            SetOrigin origin) {
    Collected sink;
    WriteContext ctx;
    ctx.what = what;
    ctx.port = portDescription(c);
    ctx.ignitionKnown = c.ignitionKnown();
    GateReport r = gate.writeSet(c, ctx, set, origin, &sink);
    if (r.checks.empty()) r.checks = std::move(sink.messages);
    return r;
}

} // namespace params
