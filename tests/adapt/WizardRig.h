#pragma once
// Shared by the wizard tests: live frames made to measure and a wizard driven
// tick by tick with them.
#include "adapt/Wizard.h"

#include <QTest>

#include <cmath>

namespace wizardrig {

using namespace adapt;
using Kind = LinkAction::Kind;

// Period the controller reports for an engine speed at an ignition constant.
inline int periodFor(int speed, int constant = 4800) {
    return static_cast<int>(std::nearbyint(constant * 800.0 / speed));
}

inline LiveFrame frame(int lambda, int tps, int byte2, int period, int position, bool ok = true) {
    LiveFrame f;
    f.bytes = {std::uint8_t(lambda),
               std::uint8_t(tps),
               std::uint8_t(byte2),
               0,
               std::uint8_t(period & 0xFF),
               std::uint8_t(period >> 8),
               std::uint8_t(255 - position),
               0,
               0};
    f.ok = ok;
    return f;
}

inline bool has(const Reaction& r, Kind k) {
    for (const LinkAction& a : r.actions)
        if (a.kind == k) return true;
    return false;
}

// A wizard fed with synthetic frames; Resume actions are answered at once.
struct Rig {
    Wizard w;
    Reaction last;

    Reaction run(Reaction r) {
        for (const LinkAction& a : r.actions)
            if (a.kind == Kind::Resume) w.resume(a.value);
        last = r;
        return r;
    }
    // n ticks of a timer, every poll of each tick with the same frame.
    Reaction tick(Timer t, const LiveFrame& f, int n = 1) {
        Reaction all;
        for (int i = 0; i < n; ++i)
            all.add(run(w.tick(t, std::vector<LiveFrame>(std::size_t(Wizard::pollsPerTick(t)), f))));
        return all;
    }
    Reaction forward() { return run(w.pressForward()); }

    // Step 1 on a version-5 controller with ignition index 2, flags 0.
    void start(std::optional<std::uint8_t> flags = std::uint8_t(0)) {
        run(w.enter({5, true, flags}));
        w.ignitionRead(2, flags);
    }
    // The engine at idle with TPS 10, rev to 3000 with TPS 60 (threshold 15),
    // the probe between 5 and 46 at 2000 (rich 46, threshold 25), the stepper
    // leaving 0, a rich lambda: up to the given step.
    void toStep(int step) {
        start();
        if (step == 1) return;
        tick(Timer::AdaptTerm, frame(20, 10, 140, periodFor(800), 0));
        forward();
        if (step == 2) return;
        w.entryPolled(frame(20, 10, 140, periodFor(800), 0));
        tick(Timer::UstTpsProg, frame(20, 60, 140, periodFor(3100), 0), 5);
        forward();
        if (step == 3) return;
        for (int i = 0; i < 60 && !w.view().probe.forwardEnabled; ++i)
            tick(Timer::KalibSonda, frame(i % 2 ? 46 : 5, 30, 140, periodFor(2000), 0));
        forward();
        for (int guard = 0; w.step() < std::min(step, 6) && guard < 3; ++guard)
            forward();
        QCOMPARE(w.step(), std::min(step, 6));
        if (step <= 6) return;
        tick(Timer::PrzedRed, frame(20, 10, 140, periodFor(800), 80));
        forward();
        if (step == 7) return;
        tick(Timer::RR, frame(40, 10, 140, periodFor(800), 80));
        forward();
    }
};

} // namespace wizardrig
