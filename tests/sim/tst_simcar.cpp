// The emulated car as the autoadaptation wizard meets it: the dashboard
// switch, the reducer screw and a stepper that regulates inside the stored
// limits (warming up and revving are played through in the wizard's own run).

#include "emulator/ControllerModel.h"
#include "emulator/Emulator.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using qsim::ControllerModel;
using Bytes = std::vector<uint8_t>;

namespace {

struct Car {
    ControllerModel m{5, 2};
    double t = 0;

    Bytes poll() {
        const Bytes f = m.receive(0x02, t);
        t += 100;
        return f;
    }
    // Polls every 100 ms for ms; returns the frames.
    std::vector<Bytes> run(double ms) {
        std::vector<Bytes> frames;
        for (const double end = t + ms; t < end;)
            frames.push_back(poll());
        return frames;
    }
    void write(const Bytes& bytes) {
        for (uint8_t b : bytes)
            m.receive(b, t);
    }
    void limits(int lower, int upper) { write({0x12, uint8_t(255 - lower), uint8_t(255 - upper)}); }
    // On gas at idle: revs past the switch-over speed once, then back to idle.
    void onGasAtIdle() {
        m.inputs().throttle = 0.5;
        run(4000);
        m.inputs().throttle = 0.0;
        run(10000);
        QVERIFY(m.state().onGas);
    }
};

int position(const Bytes& f) {
    return 255 - f[6];
}

struct Span {
    int lo = 255, hi = 0, crossings = 0;
};
Span positions(const std::vector<Bytes>& frames) {
    Span s;
    for (const Bytes& f : frames) {
        s.lo = std::min(s.lo, position(f));
        s.hi = std::max(s.hi, position(f));
    }
    return s;
}
// Lambda bytes at or above 26 (0.5 V) count as rich.
int crossings(const std::vector<Bytes>& frames) {
    int n = 0;
    for (size_t i = 1; i < frames.size(); ++i)
        n += (frames[i][0] >= 26) != (frames[i - 1][0] >= 26);
    return n;
}

} // namespace

class TestSimCar : public QObject {
    Q_OBJECT
private slots:
    void dashboardSwitchHoldsPetrol();
    void reducerScrewDecidesPinnedMixture_data();
    void reducerScrewDecidesPinnedMixture();
    void stepperFollowsLoadInsideLimits();
    void lambdaSwingsFasterUnderLoad();
    void commandLine();
};

void TestSimCar::dashboardSwitchHoldsPetrol() {
    Car car;
    car.m.inputs().gasSwitch = false;
    car.m.inputs().throttle = 0.5;
    for (const Bytes& f : car.run(5000))
        QCOMPARE(position(f), 0);
    car.m.inputs().throttle = 0.0;
    car.run(5000);
    QVERIFY(!car.m.state().onGas);

    // Switched over at idle: the speed was reached earlier in this run of the engine.
    car.limits(79, 80);
    car.m.inputs().gasSwitch = true;
    car.run(200);
    QVERIFY(car.m.state().onGas);
    const Span s = positions(car.run(3000));
    QVERIFY(s.lo >= 79 && s.hi <= 80); // the start position 100 taken into the limits

    car.m.inputs().gasSwitch = false;
    car.run(200);
    QCOMPARE(position(car.poll()), 0);
}

void TestSimCar::reducerScrewDecidesPinnedMixture_data() {
    QTest::addColumn<double>("reducer");
    QTest::addColumn<bool>("rich");
    QTest::newRow("screwed lean") << 0.2 << false;
    QTest::newRow("still lean") << 0.3 << false;
    QTest::newRow("rich") << 0.45 << true;
    QTest::newRow("richer") << 0.8 << true;
}

void TestSimCar::reducerScrewDecidesPinnedMixture() {
    QFETCH(double, reducer);
    QFETCH(bool, rich);
    Car car;
    car.m.inputs().reducer = 0.2;
    car.onGasAtIdle();
    car.limits(79, 80); // the set-up before the reducer step
    car.m.inputs().reducer = reducer;
    car.run(1000);
    for (const Bytes& f : car.run(5000)) {
        QVERIFY(position(f) >= 79 && position(f) <= 80);
        QVERIFY2((f[0] > 30) == rich, qPrintable(QString::number(f[0])));
    }
}

void TestSimCar::stepperFollowsLoadInsideLimits() {
    auto idleAndLoad = [](double reducer) {
        Car car;
        car.m.inputs().reducer = reducer;
        car.onGasAtIdle();
        car.limits(10, 200);
        car.run(5000);
        const Span idle = positions(car.run(20000));
        car.m.inputs().throttle = 0.3;
        car.run(5000);
        const Span load = positions(car.run(20000));
        return std::pair{idle, load};
    };
    const auto [idle, load] = idleAndLoad(0.6);
    QVERIFY2(idle.lo >= 10 && idle.hi < 80, qPrintable(QString("%1..%2").arg(idle.lo).arg(idle.hi)));
    QVERIFY2(load.lo > idle.hi && load.hi <= 200, qPrintable(QString("%1..%2").arg(load.lo).arg(load.hi)));
    QVERIFY(idle.hi > idle.lo); // it regulates

    // A richer reducer needs less opening; a lean one more, up to the upper limit.
    const auto [richIdle, richLoad] = idleAndLoad(0.9);
    QVERIFY(richIdle.hi < idle.lo + 5);
    QVERIFY(richLoad.hi < load.lo + 5);
    const auto [leanIdle, leanLoad] = idleAndLoad(0.3);
    QVERIFY(leanIdle.lo > idle.hi - 5);
    QCOMPARE(leanLoad.lo, 200);
}

void TestSimCar::lambdaSwingsFasterUnderLoad() {
    Car car;
    car.m.inputs().reducer = 0.6;
    car.onGasAtIdle();
    car.run(5000);
    const std::vector<Bytes> idle = car.run(30000);
    car.m.inputs().throttle = 0.3;
    car.run(5000);
    const std::vector<Bytes> load = car.run(30000);
    // Both swing between rich and lean bytes the probe step sees as such.
    for (const auto* frames : {&idle, &load}) {
        int lo = 255, hi = 0;
        for (const Bytes& f : *frames) {
            lo = std::min<int>(lo, f[0]);
            hi = std::max<int>(hi, f[0]);
        }
        QVERIFY(lo < 15 && hi > 40);
    }
    // More gas flowing reaches the probe sooner: shorter rich and lean runs.
    QVERIFY2(crossings(load) > crossings(idle) * 13 / 10,
             qPrintable(QString("%1 vs %2").arg(crossings(load)).arg(crossings(idle))));
    QVERIFY(crossings(idle) >= 20);
}

void TestSimCar::commandLine() {
    qsim::Emulator e;
    std::string reply;
    QVERIFY(e.handleCommandLine("reducer 0.7", &reply));
    QCOMPARE(reply, std::string("ok"));
    QVERIFY(e.handleCommandLine("switch petrol"));
    e.withModel([](ControllerModel& m) {
        QCOMPARE(m.inputs().reducer, 0.7);
        QVERIFY(!m.inputs().gasSwitch);
    });
    QVERIFY(e.handleCommandLine("status", &reply));
    QVERIFY(reply.find("reducer=0.70 switch=petrol") != std::string::npos);
    QVERIFY(e.handleCommandLine("switch auto"));
    e.withModel([](ControllerModel& m) { QVERIFY(m.inputs().gasSwitch); });
    for (const char* bad : {"reducer 1.5", "reducer -0.1", "reducer lean", "switch gas", "switch"}) {
        QVERIFY2(!e.handleCommandLine(bad, &reply), bad);
        QVERIFY(reply.rfind("error", 0) == 0);
    }
    e.withModel([](ControllerModel& m) { QCOMPARE(m.inputs().reducer, 0.7); });
    QVERIFY(qsim::Emulator::helpText().find("reducer X") != std::string::npos);
}

QTEST_GUILESS_MAIN(TestSimCar)
#include "tst_simcar.moc"
