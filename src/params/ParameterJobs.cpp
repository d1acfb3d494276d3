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
} // namespace

ReadResult readBlock(Controller& c) {
    ReadResult r;
    const std::optional<ParameterBlock> block = c.ReadParameterBlock();
    r.versionCode = c.versionCode();
    if (!block) return r;
    r.ok = true;
    r.block = *block;
    r.ignitionConstant = c.ignitionConstant();
    r.ignitionIndex = c.ignitionIndex();
    r.set = defaultParameterSet();
    decodeParameterBlock(*block, r.ignitionConstant, r.set);
    // A threshold whose answer did not arrive is not known: left empty, it is
    // not written back (a stale one would be).
    r.set[ParamId::AnalogThreshold] = c.thresholdRead() ? c.analogThreshold() : QString();
    r.marks = fidelityMarks(*block, r.ignitionConstant, r.versionCode);
    return r;
}

void postRead(ControllerLink& link, QObject* receiver, std::function<void(const ReadResult&)> done) {
    link.call<ReadResult>(
        receiver, [](Controller& c) { return readBlock(c); }, std::move(done));
}

void postWrite(ControllerLink& link, QObject* receiver, const ParameterSet& set,
               std::function<void(const WriteReport&)> done) {
    link.call<WriteReport>(
        receiver,
        [set](Controller& c) {
            Collected sink;
            WriteReport r;
            r.outcome = WriteParameters(c, set, &sink);
            r.messages = std::move(sink.messages);
            return r;
        },
        std::move(done));
}

} // namespace params
