#pragma once
// The parameter set's exchanges as jobs of the controller link: each runs on
// the link's worker thread as one uninterrupted procedure and reports back on
// the GUI thread. Every block read tells the write gate what the controller
// holds, and every write goes through the gate.
#include "link/Controller.h"
#include "params/Encoding.h"
#include "params/Fidelity.h"
#include "params/ParameterSet.h"
#include "params/WriteGate.h"
#include "params/WriteSequence.h"

#include <functional>
#include <vector>

class ControllerLink;
class QObject;

namespace params {

struct ReadResult {
    bool ok = false;       // a whole block arrived and was not rejected
    bool answered = false; // bytes arrived during the read (a failed read then got a bad answer)
    ParameterSet set;      // decoded, with the analog threshold read with it
    ParameterBlock block{};
    int ignitionConstant = 0;
    int ignitionIndex = 0;
    int versionCode = 0;
    // Fields the page cannot show as the block holds them.
    std::vector<FieldMark> marks;
};

// ReadParameterBlock and the decoding; a whole block is told to the gate.
// When no whole block arrived, ok is false and nothing may be taken from the
// result but `answered`.
ReadResult readBlock(Controller& c, WriteGate& gate);
// A block the controller has just given (a read, a restore's read back)
// decoded with the ignition constant and threshold that read left.
ReadResult decodeRead(const Controller& c, const ParameterBlock& block);

// Posts the block read.
void postRead(ControllerLink& link, WriteGate& gate, QObject* receiver,
              std::function<void(const ReadResult&)> done);

// Where the controller is, for a restore point: "COM2 (/dev/ttyS1)" or a device path.
QString portDescription(const Controller& c);

// The full write of `set` through the gate, with the messages of the write's
// own checks collected in order (the bytes are not held up by them).
GateReport writeThroughGate(Controller& c, WriteGate& gate, const QString& what, const ParameterSet& set,
                            SetOrigin origin);

} // namespace params
