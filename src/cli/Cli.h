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
    CheckFailed = 2, // write: values the write gate or the write's checks refuse; nothing was sent
    Usage = 3,       // bad arguments
    FileError = 4,   // a file that cannot be read, parsed or written
    LinkError = 5,   // the port cannot be opened, the controller does not answer, a write or restore did
                     // not go out whole, or a restore reads back other bytes
    Unfaithful = 6, // read: the file is written, but fields of it would not write back the controller's bytes
};

struct Options {
    QString command; // version, autodetect, read, write, diff, live, sheet, backup, restore, history
    QString file;
    int point = 0;      // restore --point N
    QString historyDir; // --history-dir: the restore points' folder
    QString port;       // --port: "COMn" or a device path; empty: from the settings
    double seconds = 0;
    QString csv;
    QString output; // -o
    QString trace;  // --trace: the protocol trace of the command goes to this file
    bool help = false;
    QString error; // non-empty: a usage error
};

// Ports the command line accepts by name: com1..com8, as in the window.
inline constexpr int FirstCom = 1;
inline constexpr int LastCom = 8;

// "COM3" (any case) -> 3; 0 for anything that is no COM name; -1 for a COM
// name outside COM1 ... COM8.
int comName(const QString& text);

// args without the program name.
Options parseArguments(const QStringList& args);
QString helpText();

// Runs one command; messages go to out and err.
int run(const Options& options, QTextStream& out, QTextStream& err);

} // namespace cli
