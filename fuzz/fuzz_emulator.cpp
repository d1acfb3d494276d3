// The emulated controller's input: its command parser fed byte by byte at
// times the fuzzer picks (answers, writes, faults and pauses in any order),
// and the stdin command language of quendrix-sim line by line.
#include "FuzzInput.h"
#include "emulator/Emulator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    if (in.flag()) {
        qsim::ControllerModel m(in.byte(), in.pick(8) - 1);
        m.faults().noiseBytes = static_cast<std::int8_t>(in.byte()) / 8;
        m.faults().truncateTo = in.pick(12) - 1;
        m.faults().answerEveryN = in.pick(4);
        m.faults().wrongChecksum = in.flag();
        m.faults().onlyCommand = in.pick(3) == 0 ? 0x02 : 0;
        double now = 0;
        while (!in.empty()) {
            const std::uint8_t b = in.byte();
            now += in.pick(4) == 0 ? 900 + 8 * in.byte() : in.pick(30); // pauses past the command timeout too
            (void)m.receive(b, now);
            if (m.commands().size() > 64) m.dropOldCommands(8);
        }
        (void)m.takeEvents();
        (void)m.state();
    } else {
        qsim::Emulator emu(5, 2);
        std::string reply;
        while (!in.empty())
            (void)emu.handleCommandLine(in.line(), &reply);
    }
    return 0;
}
