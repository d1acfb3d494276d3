#pragma once
// A channel and a controller over the in-memory port, with an observer that
// records what the window would be told.
#include "link/Controller.h"
#include "link/SerialChannel.h"
#include "support/FakeLink.h"

#include <QStringList>

struct RecordingObserver : LinkObserver {
    QStringList panel, label, boxes, captions;
    QList<bool> analogGroup;
    void linkStateText(const QString& t) override { panel << t; }
    void transmissionErrorText(const QString& t) override { label << t; }
    void portOpenFailed(const QString& m) override { boxes << m; }
    void captionChanged(const QString& c) override { captions << c; }
    void analogGroupVisible(bool v) override { analogGroup << v; }
    QString languageText(int key) const override {
        switch (key) {
        case 10390:
            return QStringLiteral("Brak odpowiedzi");
        case 30000:
            return QStringLiteral("sterownik wersja");
        case 30001:
            return QStringLiteral("brak sterownika");
        case 30012:
            return QStringLiteral("Nie można otworzyć portu");
        default:
            return {};
        }
    }
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
