#include "shell/CommandLine.h"

#include "link/PortMap.h"

#include <QCommandLineParser>

namespace shell {

CommandLine parseCommandLine(const QStringList& args) {
    CommandLine r;
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Quendrix - configuration and diagnostics for LPG stepper-motor controllers.\n"
                       "Without options the program starts on the port chosen in its settings."));
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show these options and exit."));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Start the built-in emulated controller and car on a "
                                                 "pseudo-terminal and use it as COM1."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Map a port of the Port menu to a device, e.g. "
                                                 "COM2=/dev/ttyUSB0. Repeatable; the last one is selected."),
                                  QStringLiteral("COMn=PATH"));
    const QCommandLineOption page(QStringLiteral("page"),
                                  QStringLiteral("Page selected after start, as the menu does: obroty, "
                                                 "parametry, wizualizacja, autoadaptacja or drukowanie."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption shot(QStringLiteral("screenshot"),
                                  QStringLiteral("Render the main window into a PNG file and exit "
                                                 "(works headless with QT_QPA_PLATFORM=offscreen)."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption after(QStringLiteral("after"),
                                   QStringLiteral("Milliseconds after start before --screenshot is taken "
                                                  "(default 3000)."),
                                   QStringLiteral("MS"), QStringLiteral("3000"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Open the protocol trace window (Ctrl+T) at start; with "
                                                  "--screenshot, the picture is of that window."));
    p.addOptions({help, demo, port, page, trace, shot, after});
    r.helpText = p.helpText();

    if (!p.parse(args)) {
        r.ok = false;
        r.error = p.errorText();
        return r;
    }
    if (!p.positionalArguments().isEmpty()) {
        r.ok = false;
        r.error = QStringLiteral("Unexpected argument: %1").arg(p.positionalArguments().first());
        return r;
    }
    r.showHelp = p.isSet(help);
    r.demo = p.isSet(demo);
    r.trace = p.isSet(trace);
    r.ports = p.values(port);
    for (const QString& m : r.ports) {
        int com = 0;
        QString path;
        if (!parsePortOption(m, &com, &path)) {
            r.ok = false;
            r.error = QStringLiteral("--port expects COMn=PATH with n from 1 to 8, not \"%1\"").arg(m);
            return r;
        }
    }
    if (p.isSet(page)) {
        r.page = pageFromOptionName(p.value(page));
        if (!r.page) {
            r.ok = false;
            r.error = QStringLiteral("--page expects obroty, parametry, wizualizacja, autoadaptacja or "
                                     "drukowanie, not \"%1\"")
                          .arg(p.value(page));
            return r;
        }
    }
    r.screenshot = p.value(shot);
    if (p.isSet(shot) && r.screenshot.isEmpty()) {
        r.ok = false;
        r.error = QStringLiteral("--screenshot needs a file name");
        return r;
    }
    bool msOk = false;
    r.afterMs = p.value(after).toInt(&msOk);
    if (!msOk || r.afterMs < 0) {
        r.ok = false;
        r.error = QStringLiteral("--after expects a number of milliseconds, not \"%1\"").arg(p.value(after));
        return r;
    }
    return r;
}

} // namespace shell
