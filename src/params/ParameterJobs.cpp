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
    r.set[ParamId::AnalogThreshold] = c.analogThreshold();
    r.marks = fidelityMarks(*block, r.ignitionConstant, r.versionCode);
    return r;
}

void postRead(ControllerLink& link, QObject* receiver, std::function<void(const ReadResult&)> done) {
    link.call<ReadResult>(
        receiver, [](Controller& c) { return readBlock(c); }, std::move(done));
}

void postWrite(ControllerLink& link, QObject* receiver, const ParameterSet& set,
               std::function<void(const std::vector<WriteMessage>&)> done) {
    link.call<std::vector<WriteMessage>>(
        receiver,
        [set](Controller& c) {
            Collected sink;
            WriteParameters(c, set, &sink);
            return sink.messages;
        },
        std::move(done));
}

} // namespace params
