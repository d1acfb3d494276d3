// Parameter files as anyone may write them: parsed and checked whole, applied
// onto the page state with the check boxes' reactions, written back out, and
// the page's values as loaded planned into the write they would send and
// checked by the write gate.
#include "FuzzInput.h"
#include "link/Controller.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/WriteGate.h"
#include "params/WriteSequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const bool capable = in.flag();
    const int constant = Controller::ignitionConstantForIndex(in.pick(6));
    const int version = in.byte();
    const ParamFileLoad load = parseParameterFile(in.rest(), QStringLiteral("fuzz.qx4"));
    if (!load.ok) return 0;
    ParamPageState state = pageStateFor(defaultParameterSet(), capable);
    (void)applyParameterFile(state, load.contents);
    // What was loaded is saved and read back the same.
    const ParamFileLoad again =
        parseParameterFile(parameterFileBytes(state.shown), QStringLiteral("again.qx4"));
    if (!again.ok) __builtin_trap();
    (void)planParameterWrite(state.shown, constant, std::uint8_t(version), version);
    // The gate looks at every value a write of them would send.
    (void)params::WriteGate::check(state.shown, params::SetOrigin::File, constant, true, version);
    return 0;
}
