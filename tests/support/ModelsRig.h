#pragma once
// The controller link on the in-memory port and clock, with the models one
// owner creates: what the page and shell tests build their windows on.
// Header only; tests that use it link the libraries of the models.
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParameterModel.h"
#include "shell/ShellModel.h"
#include "support/FakeLink.h"

#include <QCoreApplication>
#include <QTest>

struct ModelsRig {
    std::vector<LinkEvent> log;
    FakeClock clock{&log};
    FakePort port{clock, &log};
    ControllerLink link{[this] { return std::make_unique<PortProxy>(port); },
                        [this] { return std::make_unique<ClockProxy>(clock); }};
    ShellModel shell;
    ParameterModel params;
    LiveModel live{link, params};
    LiveSession liveSession{link, live, params};

    Models models() { return Models{link, params, live, liveSession, shell}; }
    // Everything posted and held has run, and its results are in.
    void waitIdle() const {
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy() && link.heldActions() == 0, 5000);
        QCoreApplication::processEvents();
    }
};
