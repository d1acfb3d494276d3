#pragma once
// The models and the controller link on the real serial port, against an
// in-process emulator on a pseudo-terminal. Header only: tests that use it
// link quendrix_sim and the page libraries they drive.
#include "core/PollTimers.h"
#include "core/ShellModel.h"
#include "emulator/Emulator.h"
#include "link/Clock.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/WriteGate.h"

#include <QtTest>
#include <memory>

struct EmulatorRig {
    qsim::Emulator emu;
    params::WriteGate gate{nullptr}; // outlives the link's jobs
    ControllerLink link{[] { return std::make_unique<QtSerialPort>(); },
                        [] { return std::make_unique<SystemClock>(); }};
    ShellModel shell;
    ParameterModel params;
    params::ParameterSession paramSession{
        link, gate, params, {polltimer::name(polltimer::ParamOdcz), polltimer::ParamOdcz.intervalMs}};
    LiveModel live{link, params};
    LiveSession liveSession{link, live, params, gate};
    bool ok = false;

    EmulatorRig(int version, int storedIgnition) : emu(version, storedIgnition) {
        paramSession.setTexts([this](int key, const QString& fallback) { return shell.text(key, fallback); });
        QObject::connect(&paramSession, &params::ParameterSession::status, &shell, &ShellModel::setMessage);
        std::string err;
        ok = emu.openPty(&err) && emu.start();
        if (!ok) qWarning("emulator: %s", err.c_str());
        link.setDevicePath(1, QString::fromStdString(emu.devicePath()));
        link.setSelectedPort(QStringLiteral("com1"));
        waitIdle();
    }
    ~EmulatorRig() {
        link.stopAllPolling();
        link.run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
        waitIdle();
    }
    Models models() { return Models{link, params, gate, paramSession, live, liveSession, shell}; }

    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!link.busy() && link.heldActions() == 0, 10000); }

    // The main window's common steps of a page change, before the page's own.
    void commonPageChangeSteps() {
        link.supersede();
        link.stopAllPolling();
        live.resetPeriodFilter();
        link.run(nullptr, [](Controller& c) {
            c.ReadVersion();
            c.channel().ClosePort();
        });
        waitIdle();
    }

    // One live poll made by the test (the page's own polling stopped), as the
    // page's timer would make it.
    LiveFrame poll() {
        LiveFrame frame;
        bool done = false;
        link.call<LiveFrame>(
            nullptr,
            [](Controller& c) {
                LiveFrame f;
                f.ok = c.PollLiveFrame();
                f.length = c.frameLength();
                f.received = c.lastPollReceived();
                f.version = c.versionCode();
                for (int i = 0; i < f.length; ++i)
                    f.bytes[static_cast<std::size_t>(i)] = c.channel().AnswerByte(i);
                return f;
            },
            [&](const LiveFrame& f) {
                frame = f;
                done = true;
            });
        // Nine unanswered attempts of a busy machine take seconds.
        [&] { QTRY_VERIFY_WITH_TIMEOUT(done, 20000); }();
        return frame;
    }
    int silenceCounter() {
        int n = -1;
        link.call<int>(
            nullptr, [](Controller& c) { return c.channel().silenceCounter(); },
            [&](const int& v) { n = v; });
        waitIdle();
        return n;
    }

    // Steady engine: the speed shown is exactly `rpm` when the ignition matches.
    void steadyEngine(int rpm, double throttle, int trueIgnition, double tempC = 60) {
        emu.withModel([&](qsim::ControllerModel& m) {
            m.inputs().forcedRpm = rpm;
            m.inputs().throttle = throttle;
            m.inputs().trueIgnition = trueIgnition;
            m.inputs().forcedTempC = tempC;
            return 0;
        });
    }
    template <class F> void model(F f) {
        emu.withModel([&](qsim::ControllerModel& m) {
            f(m);
            return 0;
        });
    }
    int storedIgnition() {
        return emu.withModel([](qsim::ControllerModel& m) { return m.storedIgnition(); });
    }
};
