// Parameter blocks as a controller of any version may hold them: decoded into
// the page's texts, checked for what the page cannot show, and planned back
// into the write that would send them.
#include "FuzzInput.h"
#include "params/BlockCodec.h"
#include "params/Fidelity.h"
#include "params/ParamTable.h"
#include "params/WriteSequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ParameterBlock block{};
    for (auto& b : block)
        b = in.byte();
    const int version = in.byte();
    // The constant the block's own ignition bytes select, or any other a read may have left.
    const int constant = in.flag() ? Controller::ignitionFor(block[32] | (block[33] << 8)).constant
                                   : Controller::ignitionConstantForIndex(in.pick(8) - 1);
    ParameterSet set = defaultParameterSet();
    decodeParameterBlock(block, constant, set);
    (void)blockValues(block, constant);
    (void)fidelityMarks(block, constant, version);
    (void)planParameterWrite(set, constant, in.flag() ? std::optional<std::uint8_t>(block[8]) : std::nullopt,
                             version);
    return 0;
}
