#pragma once
// The parameter set's exchanges as jobs of the controller link: each runs on
// the link's worker thread as one uninterrupted procedure and reports back on
// the GUI thread.
#include "link/Controller.h"
#include "params/Encoding.h"
#include "params/Fidelity.h"
#include "params/ParameterSet.h"
#include "params/WriteSequence.h"

#include <functional>
#include <vector>

class ControllerLink;
class QObject;

namespace params {

struct ReadResult {
    bool ok = false;  // a whole block arrived and was not rejected
    ParameterSet set; // decoded, with the analog threshold read with it
    ParameterBlock block{};
    int ignitionConstant = 0;
    int ignitionIndex = 0;
    int versionCode = 0;
    // Fields the page cannot show as the block holds them.
    std::vector<FieldMark> marks;
};

// ReadParameterBlock and the decoding. When no whole block arrived, ok is false
// and nothing may be taken from the result.
ReadResult readBlock(Controller& c);

// Posts the block read.
void postRead(ControllerLink& link, QObject* receiver, std::function<void(const ReadResult&)> done);

struct WriteReport {
    std::vector<WriteMessage> messages; // of failed checks, in order
    WriteOutcome outcome;               // where the port failed under the write, if it did
};

// Posts the full write of `set`. The messages of failed checks come back in
// order; the bytes of the sequence are not held up by them.
void postWrite(ControllerLink& link, QObject* receiver, const ParameterSet& set,
               std::function<void(const WriteReport&)> done);

} // namespace params
