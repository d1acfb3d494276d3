#pragma once
#include "shell/Navigator.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace shell {

// Options that extend the program; without any it behaves as a plain start.
struct CommandLine {
    bool ok = true; // false: error holds why
    QString error;
    bool showHelp = false; // --help: print helpText and exit
    QString helpText;
    bool demo = false;        // --demo: built-in emulated controller on COM1
    QStringList ports;        // --port COMn=PATH, in the order given
    std::optional<Page> page; // --page NAME
    bool trace = false;       // --trace: the protocol trace window open from the start
    QString screenshot;       // --screenshot FILE
    int afterMs = 3000;       // --after MS
};

// args includes the program name first, as QCoreApplication::arguments() gives it.
CommandLine parseCommandLine(const QStringList& args);

} // namespace shell
