#pragma once
// A session on a real serial channel to an in-process emulator on a pty.
#include "emulator/Emulator.h"
#include "link/Clock.h"
#include "link/LinkObserver.h"
#include "link/QtSerialPort.h"
#include "shell/Session.h"

#include <QTimer>
#include <QtTest>
#include <memory>

struct SessionBridge : LinkObserver {
    Session* s = nullptr;
    void transmissionErrorText(const QString& t) override {
        if (s->setTransmissionError) s->setTransmissionError(t);
    }
    void analogGroupVisible(bool v) override {
        if (s->showAnalogGroup) s->showAnalogGroup(v);
    }
    QString languageText(int key) const override { return s->text(key); }
};

struct LiveRig {
    qsim::Emulator emu;
    QtSerialPort port;
    SystemClock clock;
    Session session{port, clock};
    SessionBridge bridge;
    std::vector<std::unique_ptr<QTimer>> timers;
    bool ok = false;

    LiveRig(int version, int storedIgnition) : emu(version, storedIgnition) {
        std::string err;
        ok = emu.openPty(&err) && emu.start();
        if (!ok) qWarning("emulator: %s", err.c_str());
        session.channel.setDevicePath(1, QString::fromStdString(emu.devicePath()));
        bridge.s = &session;
        session.channel.setObserver(&bridge);
        Timers& t = session.timers;
        QTimer** order[] = {&t.TimerObr,        &t.TimerWiz,      &t.TimerAdaptTerm, &t.TimerUstTpsProg,
                            &t.TimerKalibSonda, &t.TimerPrzedRed, &t.TimerRR,        &t.TimerMinMax1,
                            &t.TimerMinMax2,    &t.TimerParamOdcz};
        std::vector<QTimer*> list;
        for (QTimer** slot : order) {
            timers.push_back(std::make_unique<QTimer>());
            *slot = timers.back().get();
            (*slot)->setInterval(100);
            list.push_back(*slot);
        }
        t.TimerWiz->setInterval(50);
        t.TimerParamOdcz->setInterval(200);
        session.channel.setPollingTimers(list);
    }
    ~LiveRig() {
        session.channel.StopPolling();
        session.channel.ClosePort();
    }

    // The main window's common steps of a page change, before the page's own.
    void commonPageChangeSteps() {
        session.periodFilter.reset();
        session.controller.ReadVersion();
        session.channel.StopPolling();
        session.channel.ClosePort();
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
};
