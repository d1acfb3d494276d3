// Live frames as any controller (or line noise) may send them: every byte of
// the frame is free, the period is one the filter can give (an average of
// 16-bit periods), the ignition constant one a block can select, and the
// page's choices may hold any index.
#include "FuzzInput.h"
#include "link/Controller.h"
#include "live/LiveDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    live::FrameContext ctx;
    ctx.temperatureCapable = in.flag();
    ctx.probeKind = static_cast<std::int8_t>(in.byte());
    ctx.reserveSensorKind = static_cast<std::int8_t>(in.byte());
    ctx.ignitionConstant = Controller::ignitionFor(in.u16()).constant;
    const live::ProbeScale scale = live::probeScale(ctx.probeKind);
    live::LambdaTimes times;
    int periods[4] = {0, 0, 0, 0};
    for (int n = 0; !in.empty(); ++n) {
        std::array<std::uint8_t, 7> frame{};
        for (auto& b : frame)
            b = in.byte();
        periods[n % 4] = live::enginePeriod(frame[4], frame[5]);
        const int filtered = (periods[0] + periods[1] + periods[2] + periods[3]) / (n < 4 ? n + 1 : 4);
        const live::Readings r = live::decodeFrame(frame, filtered, ctx);
        times.update(r.lambdaTrace);
        (void)live::lambdaLedPosition(scale.upperEnd, r.lambdaRaw);
        (void)live::timeBase(static_cast<std::int8_t>(in.byte()));
    }
    return 0;
}
