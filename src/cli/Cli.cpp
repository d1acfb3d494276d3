#include "cli/Cli.h"

#include "cli/Runner.h"

#include <QRegularExpression>

namespace cli {

int comName(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^com(\\d+)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch()) return 0;
    const int n = m.captured(1).toInt();
    return n >= FirstCom && n <= LastCom ? n : -1;
}

namespace {

bool needsFile(const QString& c) {
    return c == QLatin1String("read") || c == QLatin1String("write") || c == QLatin1String("diff") ||
           c == QLatin1String("sheet") || c == QLatin1String("backup");
}

} // namespace

QString helpText() {
    return QStringLiteral(
        "Usage:\n"
        "  quendrix-cli [--port COMn|DEVICE] version\n"
        "      Prints the controller's version code.\n"
        "  quendrix-cli [--port COMn|DEVICE] autodetect\n"
        "      Looks for the controller on COM1 ... COM8 (or only on --port).\n"
        "  quendrix-cli [--port COMn|DEVICE] read FILE.qx4\n"
        "      Reads the controller's parameters into a parameter file, as the parameters\n"
        "      page saves them after a read. No file is written when the controller does not answer.\n"
        "      Fields whose file value would not write back the controller's bytes are named on\n"
        "      stderr (exit 6; the file is written): use backup for a byte-exact copy.\n"
        "  quendrix-cli [--port COMn|DEVICE] write FILE.qx4\n"
        "      Reads the controller, loads the file on top of what it holds (as the page's load\n"
        "      does) and sends the parameters page's full write. Values the file does not hold\n"
        "      (minimum switch-over temperature, analog threshold, ignition system) keep the\n"
        "      controller's values. Values the write's checks refuse, and values that would not\n"
        "      read back as the file says (they do not fit their bytes), stop it before any byte\n"
        "      is sent. A restore point is kept first. A write cut off names what did not go out.\n"
        "  quendrix-cli [--port COMn|DEVICE] diff FILE.qx4\n"
        "      Compares the bytes the file's write would leave in the controller with the bytes\n"
        "      it holds, and lists the values that differ; \"same\" only when nothing differs.\n"
        "  quendrix-cli [--port COMn|DEVICE] backup FILE\n"
        "      Saves the controller's 37-byte parameter block byte for byte, with time, port and\n"
        "      controller version, in a small text file.\n"
        "  quendrix-cli [--port COMn|DEVICE] restore FILE\n"
        "  quendrix-cli [--port COMn|DEVICE] restore --point N\n"
        "      Writes a backup (or restore point N) back byte for byte, then reads the block back\n"
        "      and names every byte that differs. Bytes no command writes are named, not restored.\n"
        "  quendrix-cli [--port COMn|DEVICE] history\n"
        "      Lists the restore points, newest first: id, time, port, version and what was\n"
        "      about to be written, and when a controller answers, what differs from it now.\n"
        "  quendrix-cli [--port COMn|DEVICE] live --seconds N [--csv FILE]\n"
        "      Prints the live readings of a poll every 50 ms for N seconds; --csv also writes them\n"
        "      as CSV to FILE.\n"
        "  quendrix-cli sheet FILE.qx4 -o SHEET.pdf\n"
        "      Writes the printed parameter sheet of a file as PDF; no controller needed.\n"
        "\n"
        "Options:\n"
        "  --port COMn     COM1 ... COM8, mapped to devices by the settings group \"Ports\"\n"
        "                  (default /dev/ttyS0 ... /dev/ttyS7).\n"
        "  --port DEVICE   a serial device path, for example /dev/ttyUSB0.\n"
        "                  Without --port: the settings' \"PortDevice\" (a device path) when present,\n"
        "                  else their \"Port\" (COM1 ... COM8). QUENDRIX_SETTINGS names an INI file\n"
        "                  to use instead of the user's settings.\n"
        "  --point N       restore: the restore point to write back (see history).\n"
        "  --history-dir DIR\n"
        "                  the restore points' folder, shared with the program; default\n"
        "                  QUENDRIX_HISTORY when set, else the user's data folder\n"
        "                  (~/.local/share/quendrix/restore-points). The last 500 are kept.\n"
        "  --seconds N     live: how long to poll.\n"
        "  --csv FILE      live: also write the readings as CSV.\n"
        "  -o, --output F  sheet: the PDF file to write.\n"
        "  --trace FILE    any command: writes every byte sent and received, with its time in\n"
        "                  microseconds, the exchange it belongs to, the pauses between them and the\n"
        "                  bytes dropped as stray, as text to FILE (the program's trace window shows\n"
        "                  the same).\n"
        "  -h, --help      this text.\n"
        "\n"
        "Exit codes: 0 done (diff: same), 1 diff: different, 2 write: values refused (nothing\n"
        "sent), 3 bad arguments, 4 file error (also: no restore point could be kept), 5 port or\n"
        "controller error, a write or restore that did not go out whole, or a restore that reads\n"
        "back other bytes, 6 read: the file is written but does not hold the controller's bytes.\n");
}

Options parseArguments(const QStringList& args) {
    Options o;
    QStringList positional;
    auto value = [&](int& i, const QString& name, QString* to) {
        const QString a = args.at(i);
        const QString prefix = name + QLatin1Char('=');
        if (a.startsWith(prefix)) {
            *to = a.mid(prefix.size());
            return true;
        }
        if (i + 1 >= args.size()) {
            o.error = QStringLiteral("%1 needs a value").arg(name);
            return false;
        }
        *to = args.at(++i);
        return true;
    };
    auto is = [](const QString& a, const char* name) {
        const QString n = QString::fromLatin1(name);
        return a == n || a.startsWith(n + QLatin1Char('='));
    };
    for (int i = 0; i < args.size() && o.error.isEmpty(); ++i) {
        const QString a = args.at(i);
        QString v;
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o.help = true;
        } else if (is(a, "--port")) {
            if (value(i, QStringLiteral("--port"), &v)) o.port = v.trimmed();
            if (o.error.isEmpty() && o.port.isEmpty()) o.error = QStringLiteral("--port needs a value");
            if (comName(o.port) < 0)
                o.error =
                    QStringLiteral("--port: the COM ports are COM1 ... COM8; give a device path instead");
        } else if (is(a, "--seconds")) {
            if (value(i, QStringLiteral("--seconds"), &v)) {
                bool ok = false;
                o.seconds = v.toDouble(&ok);
                if (!ok || !(o.seconds > 0) || o.seconds > 24 * 3600)
                    o.error = QStringLiteral("--seconds needs a number of seconds above 0");
            }
        } else if (is(a, "--point")) {
            if (value(i, QStringLiteral("--point"), &v)) {
                bool ok = false;
                o.point = v.toInt(&ok);
                if (!ok || o.point <= 0) o.error = QStringLiteral("--point needs a restore point's number");
            }
        } else if (is(a, "--history-dir")) {
            if (value(i, QStringLiteral("--history-dir"), &v)) o.historyDir = v;
            if (o.error.isEmpty() && o.historyDir.isEmpty())
                o.error = QStringLiteral("--history-dir needs a folder");
        } else if (is(a, "--trace")) {
            if (value(i, QStringLiteral("--trace"), &o.trace) && o.trace.isEmpty())
                o.error = QStringLiteral("--trace needs a file");
        } else if (is(a, "--csv")) {
            value(i, QStringLiteral("--csv"), &o.csv);
        } else if (a == QLatin1String("-o") || is(a, "--output")) {
            value(i, a == QLatin1String("-o") ? QStringLiteral("-o") : QStringLiteral("--output"), &o.output);
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            o.error = QStringLiteral("unknown option %1").arg(a);
        } else {
            positional << a;
        }
    }
    if (!o.error.isEmpty() || o.help) return o;
    if (positional.isEmpty()) {
        o.error = QStringLiteral("no command given");
        return o;
    }
    o.command = positional.takeFirst();
    static const QStringList commands = {"version", "autodetect", "read",   "write",   "diff",
                                         "live",    "sheet",      "backup", "restore", "history"};
    if (!commands.contains(o.command)) {
        o.error = QStringLiteral("unknown command \"%1\"").arg(o.command);
        return o;
    }
    if (needsFile(o.command)) {
        if (positional.isEmpty()) {
            o.error = QStringLiteral("%1 needs a file").arg(o.command);
            return o;
        }
        o.file = positional.takeFirst();
    }
    if (o.command == QLatin1String("restore")) {
        if (o.point == 0 && positional.isEmpty()) {
            o.error = QStringLiteral("restore needs a file or --point N");
            return o;
        }
        if (o.point == 0) o.file = positional.takeFirst();
    } else if (o.point != 0) {
        o.error = QStringLiteral("--point belongs to restore");
        return o;
    }
    if (!positional.isEmpty()) {
        o.error = QStringLiteral("unexpected argument \"%1\"").arg(positional.first());
        return o;
    }
    if (o.command == QLatin1String("live") && o.seconds <= 0)
        o.error = QStringLiteral("live needs --seconds N");
    if (o.command != QLatin1String("live") && (o.seconds > 0 || !o.csv.isEmpty()))
        o.error = QStringLiteral("--seconds and --csv belong to live");
    if (o.command == QLatin1String("sheet")) {
        if (o.output.isEmpty()) o.error = QStringLiteral("sheet needs -o SHEET.pdf");
        if (!o.port.isEmpty()) o.error = QStringLiteral("sheet needs no controller: --port does not apply");
    } else if (!o.output.isEmpty()) {
        o.error = QStringLiteral("-o belongs to sheet");
    }
    return o;
}

int run(const Options& o, QTextStream& out, QTextStream& err) {
    if (o.help) {
        out << helpText();
        out.flush();
        return Ok;
    }
    if (!o.error.isEmpty()) {
        err << "quendrix-cli: " << o.error << "\n"
            << "Try 'quendrix-cli --help'." << Qt::endl;
        return Usage;
    }
    Runner r(o, out, err);
    const int code = r.run();
    out.flush();
    err.flush();
    return code;
}

} // namespace cli
