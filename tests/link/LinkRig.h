#pragma once
// A channel and a controller over the in-memory port, with an observer that
// records what the link reports: "panel" is the link-state panel as the window
// shows it, "label" the transmission-error label.
#include "link/Controller.h"
#include "link/SerialChannel.h"
#include "support/FakeLink.h"

#include <QStringList>

struct RecordingObserver : LinkObserver {
    QStringList panel, label;
    QList<PortError> failures;
    QStringList opened;
    QList<int> versions;
    QList<bool> analogGroup;
    void answerStatus(bool answered) override {
        panel << (answered ? QString() : QStringLiteral("Brak odpowiedzi"));
    }
    void silentPolls(int count) override {
        if (count == 0) label << QString();
        if (count > SerialChannel::SilentPollLimit) label << QStringLiteral("Brak odpowiedzi");
    }
    QList<PortError> lost;
    void portOpenFailed(const PortError& e) override { failures << e; }
    void portLost(const PortError& e) override { lost << e; }
    void portOpened(const QString& port) override { opened << port; }
    void versionRead(int code) override { versions << code; }
    void analogCapability(bool capable) override { analogGroup << capable; }
};

struct LinkRig {
    std::vector<LinkEvent> log;
    FakeClock clock{&log};
    FakePort port{clock, &log};
    RecordingObserver obs;
    SerialChannel ch{port, clock, &obs};
    Controller ctl{ch};

    QStringList events() const { return describe(log); }
    void clearLog() { log.clear(); }
};
