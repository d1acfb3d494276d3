#pragma once
// The controller link on the in-memory port and clock, with the models one
// owner creates: what the page and shell tests build their windows on.
// Header only; tests that use it link the libraries of the models.
#include "core/PollTimers.h"
#include "core/ShellModel.h"
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/WriteGate.h"
#include "support/FakeLink.h"

#include <QCoreApplication>
#include <QTest>

struct ModelsRig {
    std::vector<LinkEvent> log;
    FakeClock clock{&log};
    FakePort port{clock, &log};
    params::WriteGate gate{nullptr}; // outlives the link's jobs
    ControllerLink link{[this] { return std::make_unique<PortProxy>(port); },
                        [this] { return std::make_unique<ClockProxy>(clock); }};
    ShellModel shell;
    ParameterModel params;
    params::ParameterSession paramSession{
        link, gate, params, {polltimer::name(polltimer::ParamOdcz), polltimer::ParamOdcz.intervalMs}};
    LiveModel live{link, params};
    LiveSession liveSession{link, live, params, gate};

    ModelsRig() {
        paramSession.setTexts([this](int key, const QString& fallback) { return shell.text(key, fallback); });
        QObject::connect(&paramSession, &params::ParameterSession::status, &shell, &ShellModel::setMessage);
    }
    Models models() { return Models{link, params, gate, paramSession, live, liveSession, shell}; }
    // Everything posted and held has run, and its results are in.
    void waitIdle() const {
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy() && link.heldActions() == 0, 5000);
        QCoreApplication::processEvents();
    }
};
