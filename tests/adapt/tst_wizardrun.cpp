// A whole autoadaptation run of the wizard's logic against the emulated car,
// in simulated time: the steps' polls go to the controller model every 100 ms,
// the bytes the steps send go into it, and a scripted fitter warms the engine,
// revs it, sets the reducer and idles as each step asks.
#include "adapt/Wizard.h"
#include "emulator/ControllerModel.h"
#include "link/Controller.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using namespace adapt;
using Kind = LinkAction::Kind;

namespace {

struct Bench {
    qsim::ControllerModel car{5, 2};
    Wizard w;
    double t = 0;
    bool finished = false;
    std::vector<int> idlePositions; // stepper positions of the stepper step's counted ticks
    std::vector<int> loadPositions;

    LiveFrame poll() {
        const Bytes answer = car.receive(0x02, t);
        t += 23;
        LiveFrame f;
        std::copy_n(answer.begin(), std::min<std::size_t>(answer.size(), 9), f.bytes.begin());
        int sum = 0;
        for (int i = 0; i < 7; ++i)
            sum += f.bytes[std::size_t(i)];
        f.ok = answer.size() == 9 && (sum & 0xFF) == f.bytes[7];
        return f;
    }

    void execute(const Reaction& r) {
        for (const LinkAction& a : r.actions) {
            switch (a.kind) {
            case Kind::Write:
                for (const Bytes& c : a.group)
                    for (std::uint8_t b : c) {
                        car.receive(b, t);
                        t += 3;
                    }
                break;
            case Kind::Pause:
                t += a.value;
                break;
            case Kind::PollEntry:
                execute(w.entryPolled(poll()));
                break;
            case Kind::ReadIgnition: {
                const Bytes block = car.receive(0x09, t);
                t += 100;
                w.ignitionRead(Controller::ignitionFor(block[32] | block[33] << 8).index, block[8]);
                break;
            }
            case Kind::Resume:
                execute(w.resume(a.value));
                break;
            case Kind::Finish:
                finished = true;
                break;
            default:
                break;
            }
        }
    }

    // One 100 ms period: every enabled timer polls and ticks, in timer order.
    void tick() {
        const double next = t + TimerIntervalMs;
        for (int i = 0; i < TimerCount; ++i) {
            const auto timer = Timer(i);
            if (!w.timerEnabled(timer)) continue;
            std::vector<LiveFrame> polls;
            for (int p = 0; p < Wizard::pollsPerTick(timer); ++p)
                polls.push_back(poll());
            execute(w.tick(timer, polls));
            // Positions the stepper step sampled: ticks of a phase still running at its speed.
            const int shown = w.view().stepper.speed.panel.toInt();
            const int position = 255 - polls.front()[6];
            if (timer == Timer::MinMax1 && w.timerEnabled(timer) && shown < 1300)
                idlePositions.push_back(position);
            if (timer == Timer::MinMax2 && w.timerEnabled(timer) && shown > 2000)
                loadPositions.push_back(position);
        }
        t = std::max(t, next);
        car.advance(t);
    }

    // Ticks until the condition holds; false after the time limit.
    template <class F> bool until(F done, double limitMs) {
        for (const double end = t + limitMs; t < end;) {
            if (done()) return true;
            tick();
        }
        return done();
    }
    bool forwardWhenEnabled(double limitMs) {
        if (!until([&] { return w.view().forwardEnabled(w.step()); }, limitMs)) return false;
        execute(w.pressForward());
        return true;
    }
};

std::vector<qsim::ReceivedCommand> writes(const qsim::ControllerModel& car) {
    std::vector<qsim::ReceivedCommand> out;
    for (const auto& c : car.commands())
        if (c.code != 0x02 && c.code != 0x09) out.push_back(c);
    return out;
}

} // namespace

class TestWizardRun : public QObject {
    Q_OBJECT
private slots:
    void fitterRunsTheWholeWizard();
};

void TestWizardRun::fitterRunsTheWholeWizard() {
    Bench b;
    qsim::EngineInputs& car = b.car.inputs();
    car.gasSwitch = false; // "on petrol" until the switch-over step
    car.reducer = 0.2;     // a reducer not yet regulated: lean

    b.execute(b.w.enter({5, true, std::nullopt}));
    QCOMPARE(b.w.heldFlags(), std::optional<std::uint8_t>(0)); // from the block read on entry
    QVERIFY(!b.w.view().term.forwardEnabled);
    QVERIFY2(b.forwardWhenEnabled(60000), "engine never warm"); // step 1: warm-up
    QVERIFY(b.t > 5000);

    QCOMPARE(b.w.step(), 2);
    car.throttle = 0.6;
    QVERIFY2(b.forwardWhenEnabled(20000), "no 3000 on the TPS step");
    QCOMPARE(b.w.learnt().tps, (TpsThreshold{15, 1, 250})); // TPS 10 at idle, 58 at speed

    QCOMPARE(b.w.step(), 3);
    car.throttle = 0.3;
    QVERIFY2(b.forwardWhenEnabled(20000), "probe not calibrated");
    const ProbeValues probe = b.w.learnt().probe;
    QVERIFY(probe.lean <= 10 && probe.rich >= 40 && probe.rich <= 60); // a 0-1 V probe on petrol
    car.throttle = 0.0;

    QCOMPARE(b.w.step(), 4);
    b.w.clickGearbox(Gearbox::Automatic, true);
    b.w.selectCapacity(Capacity::From2To3);
    b.w.clickManifold(Manifold::Plastic, true);
    b.execute(b.w.pressForward());
    b.w.selectReserveSensor(ReserveSensor::Sensor90R);
    b.execute(b.w.pressForward());

    QCOMPARE(b.w.step(), 6);
    b.until([] { return false; }, 3000);
    QVERIFY(!b.w.view().switchOver.lamp); // the car is held on petrol
    car.gasSwitch = true;
    QVERIFY2(b.forwardWhenEnabled(10000), "no switch to gas");

    QCOMPARE(b.w.step(), 7);
    QVERIFY(!b.until([&] { return b.w.view().reducer.lamp; }, 3000)); // lean at first
    while (!b.w.view().reducer.forwardEnabled && car.reducer < 1.0) {
        car.reducer += 0.05; // a turn of the screw, then watch for a second
        b.until([] { return false; }, 1000);
    }
    QVERIFY2(b.forwardWhenEnabled(100), "reducer never rich");

    QCOMPARE(b.w.step(), 8);
    QVERIFY2(b.until([&] { return b.w.view().stepper.minLamp; }, 60000), "no lower limit");
    car.throttle = 0.3;
    QVERIFY2(b.forwardWhenEnabled(60000), "no upper limit");
    QVERIFY(b.finished);
    QVERIFY(b.t < 300000);

    // What the steps learnt from the car.
    const Learnt l = b.w.learnt();
    const AdaptValues& v = l.values;
    qInfo("learnt after %.0f s: probe %d/%d/%d, L %d, U %d, S %d, T1 %d, T2 %d, reducer %.2f", b.t / 1000,
          probe.lean, probe.rich, probe.threshold, v.lower, v.upper, v.start, v.t1, v.t2, car.reducer);
    QCOMPARE(int(b.idlePositions.size()), 300);
    QCOMPARE(int(b.loadPositions.size()), 300);
    const int idleMin = *std::min_element(b.idlePositions.begin(), b.idlePositions.end());
    const int loadMax = *std::max_element(b.loadPositions.begin(), b.loadPositions.end());
    QVERIFY2(std::abs(v.lower - idleMin * 0.97) <= 1, qPrintable(QString("%1 %2").arg(v.lower).arg(idleMin)));
    QVERIFY2(std::abs(v.upper - std::min(255.0, loadMax * 1.2)) <= 1,
             qPrintable(QString("%1 %2").arg(v.upper).arg(loadMax)));
    QVERIFY(v.lower < v.start && v.start < v.upper);
    QVERIFY(l.richRuns.size() > 10 && l.leanRuns.size() > 10);
    QVERIFY2(v.t1 > 100 && v.t1 < 1500 && v.t2 > 100 && v.t2 < 1500,
             qPrintable(QString("%1 %2").arg(v.t1).arg(v.t2)));

    // The bytes the controller took: ignition, two set-ups, the final write.
    const auto w = writes(b.car);
    std::vector<std::size_t> closings;
    for (std::size_t i = 0; i < w.size(); ++i)
        if (w[i].code == 0x0A) closings.push_back(i);
    QCOMPARE(closings.size(), std::size_t(3));
    QCOMPARE(w[0].code, std::uint8_t(0x1F));
    QCOMPARE(w[0].values, (Bytes{2, 0}));
    auto group = [&](int n) {
        const std::size_t from = n == 0 ? 1 : closings[std::size_t(n - 1)] + 1;
        return std::vector<qsim::ReceivedCommand>(w.begin() + long(from),
                                                  w.begin() + long(closings[std::size_t(n)]) + 1);
    };
    auto values = [](const std::vector<qsim::ReceivedCommand>& g, std::uint8_t code) {
        for (const auto& c : g)
            if (c.code == code) return c.values;
        return Bytes{};
    };
    for (int n : {0, 1}) {
        const auto setup = group(n);
        QCOMPARE(int(setup.size()), 24);
        QVERIFY(std::none_of(setup.begin(), setup.end(), [](const auto& c) { return c.prefixed; }));
        QCOMPARE(values(setup, 0x1E), Bytes{1}); // 0-1 V probe
        QCOMPARE(values(setup, 0x0F), Bytes{std::uint8_t(probe.threshold)});
        QCOMPARE(values(setup, 0x07), Bytes{250});
    }
    QCOMPARE(values(group(0), 0x12), (Bytes{255 - 79, 255 - 80}));
    QCOMPARE(values(group(0), 0x13), Bytes{255 - 81});
    QCOMPARE(values(group(1), 0x12), (Bytes{255 - 10, 255 - 200}));
    QCOMPARE(values(group(1), 0x13), Bytes{255 - 80});
    const auto fin = group(2);
    std::vector<std::uint8_t> codes;
    for (const auto& c : fin)
        codes.push_back(c.code);
    QCOMPARE(codes, (std::vector<std::uint8_t>{0x07, 0x12, 0x13, 0x06, 0x1B, 0x0B, 0x0B, 0x0A}));

    // The controller now holds the learnt values.
    const auto& block = b.car.block();
    QCOMPARE(int(block[5]), 15);
    QCOMPARE(255 - block[10], v.lower);
    QCOMPARE(255 - block[11], v.upper);
    QCOMPARE(255 - block[12], v.start);
    QCOMPARE(block[1] | block[2] << 8, lambdaTimeUnits(v.t1));
    QCOMPARE(block[3] | block[4] << 8, lambdaTimeUnits(v.t1 + v.t2));
    QCOMPARE(int(block[27]), 9);   // 2-3 L, plastic manifold
    QCOMPARE(int(block[8]), 0x18); // automatic: cutoff; 90R; sensor on; rising TPS
    QCOMPARE(b.w.heldFlags(), std::optional<std::uint8_t>(0x18));

    // And the car idles on gas inside its new limits.
    double t = b.t;
    for (int i = 0; i < 100; ++i, t += 100)
        b.car.receive(0x02, t);
    car.throttle = 0.0;
    int lo = 255, hi = 0;
    for (int i = 0; i < 200; ++i, t += 100) {
        const int p = 255 - b.car.receive(0x02, t)[6];
        lo = std::min(lo, p);
        hi = std::max(hi, p);
    }
    QVERIFY2(lo >= v.lower && hi <= v.upper && hi > lo, qPrintable(QString("%1..%2").arg(lo).arg(hi)));
}

QTEST_GUILESS_MAIN(TestWizardRun)
#include "tst_wizardrun.moc"
