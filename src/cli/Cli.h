#pragma once
// quendrix-cli: the controller link and the parameter files from a terminal,
// for backups, restores and scripted checks. No widgets.
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cli {

// Exit codes.
enum Exit {
    Ok = 0,
    Different = 1,   // diff: the controller holds something else
    CheckFailed = 2, // write: values the write's checks refuse; nothing was sent
    Usage = 3,       // bad arguments
    FileError = 4,   // a file that cannot be read, parsed or written
    LinkError = 5,   // the port cannot be opened or the controller does not answer
};

struct Options {
    QString command; // version, autodetect, read, write, diff, live, sheet
    QString file;
    QString port; // --port: "COMn" or a device path; empty: from the settings
    double seconds = 0;
    QString csv;
    QString output; // -o
    bool help = false;
    QString error; // non-empty: a usage error
};

// args without the program name.
Options parseArguments(const QStringList& args);
QString helpText();

// Runs one command; messages go to out and err.
int run(const Options& options, QTextStream& out, QTextStream& err);

} // namespace cli
