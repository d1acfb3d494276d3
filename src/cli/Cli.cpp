#include "cli/Cli.h"

#include "link/Autodetect.h"
#include "link/Clock.h"
#include "link/Controller.h"
#include "link/LinkObserver.h"
#include "link/PortMap.h"
#include "link/QtSerialPort.h"
#include "link/SerialChannel.h"
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"
#include "live/PeriodFilter.h"
#include "params/BlockCodec.h"
#include "params/ParamCompare.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/PrintSheet.h"
#include "params/WriteSequence.h"
#include "shell/SettingsFile.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <memory>

namespace cli {

namespace {

constexpr int LivePollMs = 50;
constexpr int FirstCom = 1;
constexpr int LastCom = 8;

// "COM3" (any case) -> 3; 0 for anything that is no COM name; -1 for a COM
// name outside COM1 ... COM8.
int comName(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^com(\\d+)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch()) return 0;
    const int n = m.captured(1).toInt();
    return n >= FirstCom && n <= LastCom ? n : -1;
}

// The link's reports, kept for the messages of the command.
class Reports : public LinkObserver {
public:
    void portOpenFailed(const PortError& e) override {
        failures << e.device + QStringLiteral(": ") + e.reason;
    }
    QStringList failures;
};

class Messages : public WriteMessageSink {
public:
    void writeMessage(const QString& text, const QString& caption) override { shown << line(caption, text); }
    static QString line(const QString& caption, const QString& text) {
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return caption + QStringLiteral(": ") + t;
    }
    QStringList shown;
};

struct Link {
    QtSerialPort port;
    SystemClock clock;
    Reports reports;
    SerialChannel channel{port, clock, &reports};
    Controller controller{channel};
    QString label; // "COM2 (/dev/ttyS1)" or the device path
};

class Runner {
public:
    Runner(const Options& o, QTextStream& out, QTextStream& err) : o_(o), out_(out), err_(err) {}

    int run() {
        const QString& c = o_.command;
        if (c == QLatin1String("sheet")) return sheet();
        if (c == QLatin1String("version")) return version();
        if (c == QLatin1String("autodetect")) return autodetect();
        if (c == QLatin1String("read")) return read();
        if (c == QLatin1String("write")) return write();
        if (c == QLatin1String("diff")) return diff();
        if (c == QLatin1String("live")) return live();
        return fail(Usage, QStringLiteral("unknown command \"%1\" (see --help)").arg(c));
    }

private:
    int fail(int code, const QString& message) {
        err_ << "quendrix-cli: " << message << Qt::endl;
        return code;
    }

    // ------------------------------------------------------------ the port

    // The port of --port, else of the settings: "PortDevice" (a device path)
    // when present, else "Port" ("COM1" ... "COM8"; anything else is COM1).
    void selectPort(Link& l) {
        SerialChannel& ch = l.channel;
        QString device;
        int com = 0;
        std::unique_ptr<QSettings> settings = shell::openSettings();
        if (!o_.port.isEmpty()) {
            com = comName(o_.port); // COM names outside COM1 ... COM8 were refused with the arguments
            if (com == 0) device = o_.port;
        } else {
            device = settings->value(QStringLiteral("PortDevice")).toString().trimmed();
            if (device.isEmpty()) {
                com = comName(settings->value(QStringLiteral("Port")).toString());
                if (com <= 0) com = FirstCom;
            }
        }
        if (!device.isEmpty()) {
            // The channel selects COM names only; the device stands in for COM1.
            ch.setDevicePath(FirstCom, device);
            ch.setSelectedPort(QStringLiteral("com%1").arg(FirstCom));
            l.label = device;
        } else {
            loadPortMap(*settings, ch);
            const QString name = QStringLiteral("com%1").arg(com);
            ch.setSelectedPort(name);
            l.label = QStringLiteral("COM%1 (%2)").arg(com).arg(ch.devicePath(name));
        }
    }

    // Opens the chosen port once, so a port that cannot be opened stops the
    // command before any exchange.
    bool openLink(Link& l) {
        selectPort(l);
        const bool ok = l.channel.OpenPort();
        l.channel.ClosePort();
        if (!ok) {
            fail(
                LinkError,
                QStringLiteral("cannot open the serial port: %1")
                    .arg(l.reports.failures.isEmpty() ? l.label : l.reports.failures.join(QLatin1Char(' '))));
            return false;
        }
        return true;
    }

    // Version, block, ignition and analog threshold, as the parameters page reads them.
    bool readController(Link& l, ParameterSet& set) {
        l.controller.ReadVersion();
        set = defaultParameterSet();
        if (!readParameters(l.controller, set)) {
            fail(LinkError,
                 QStringLiteral("no whole parameter block arrived from the controller on %1").arg(l.label));
            return false;
        }
        return true;
    }

    bool loadFile(ParamFileContents& contents) {
        ParamFileLoad load = readParameterFile(o_.file);
        if (!load.ok) {
            fail(FileError, load.error);
            return false;
        }
        contents = std::move(load.contents);
        return true;
    }

    // Applies the file on the page state the controller's set fills in, as the
    // page's load does; too-short lines are reported and skipped.
    ParamPageState applyFile(const ParamFileContents& file, const ParameterSet& base,
                             bool temperatureCapable) {
        ParamPageState state = pageStateFor(base, temperatureCapable);
        for (int line : file.shortLines)
            err_ << file.path << ", line " << line << ": " << fileErrorText() << Qt::endl;
        applyParameterFile(state, file);
        return state;
    }

    bool temperatureCapable(const Link& l) const {
        return live::versionFeatures(l.controller.versionCode(), false).temperatureCapable;
    }

    // ------------------------------------------------------------ commands

    int version() {
        Link l;
        if (!openLink(l)) return LinkError;
        l.controller.ReadVersion();
        if (!l.controller.controllerPresent())
            return fail(LinkError, QStringLiteral("no controller answered on %1").arg(l.label));
        out_ << l.controller.versionCode() << Qt::endl;
        return Ok;
    }

    int autodetect() {
        Link l;
        if (!o_.port.isEmpty()) {
            if (!openLink(l)) return LinkError;
            l.controller.ReadVersion();
            if (!l.controller.controllerPresent())
                return fail(LinkError, QStringLiteral("no controller on %1").arg(l.label));
            out_ << l.label << ": controller version " << l.controller.versionCode() << Qt::endl;
            return Ok;
        }
        std::unique_ptr<QSettings> settings = shell::openSettings();
        loadPortMap(*settings, l.channel);
        const AutodetectResult r =
            ::autodetect(l.controller, autodetectComPorts(), [&](const AutodetectStep& step) {
                const int n = SerialChannel::comNumber(step.port);
                out_ << QStringLiteral("COM%1 (%2)").arg(n).arg(l.channel.devicePath(step.port)) << ": ";
                if (!step.opened)
                    out_ << "cannot be opened";
                else if (step.found)
                    out_ << "controller version " << l.controller.versionCode();
                else
                    out_ << "no controller";
                out_ << Qt::endl;
            });
        if (!r.found.isEmpty()) return Ok;
        return fail(LinkError, QStringLiteral("no controller found on COM1 ... COM8"));
    }

    int read() {
        Link l;
        if (!openLink(l)) return LinkError;
        ParameterSet set;
        if (!readController(l, set)) return LinkError;
        QString error;
        if (!saveParameterFile(o_.file, pageStateFor(set, temperatureCapable(l)).shown, &error))
            return fail(FileError, error);
        out_ << "saved " << o_.file << " from " << l.label << Qt::endl;
        return Ok;
    }

    // Loads the file, opens the link and reads the controller: the page state is
    // the file's values over what the controller holds. Ok or the exit code.
    int fileOverController(Link& l, ParameterSet& controllerSet, ParamPageState& state) {
        ParamFileContents file;
        if (!loadFile(file)) return FileError;
        if (!openLink(l)) return LinkError;
        if (!readController(l, controllerSet)) return LinkError;
        state = applyFile(file, controllerSet, temperatureCapable(l));
        return Ok;
    }

    int write() {
        Link l;
        ParameterSet controllerSet;
        ParamPageState state;
        if (const int code = fileOverController(l, controllerSet, state); code != Ok) return code;

        // The write's checks run before any byte goes out: a value they refuse stops it whole.
        QStringList refused;
        for (const WriteStep& step : planParameterWrite(state.shown, l.controller.ignitionConstant(),
                                                        l.controller.flags(), l.controller.versionCode()))
            for (const WriteMessage& m : step.command.messages)
                refused << Messages::line(m.caption, m.text);
        if (!wholeNumber(state.shown[ParamId::AnalogThreshold]).ok()) {
            const WriteMessage m =
                WriteText::invalidField(ParamId::AnalogThreshold, state.shown[ParamId::AnalogThreshold]);
            refused << Messages::line(m.caption, m.text);
        }
        if (!refused.isEmpty()) {
            for (const QString& m : refused)
                err_ << m << Qt::endl;
            return fail(CheckFailed, QStringLiteral("%1: nothing was written").arg(o_.file));
        }

        Messages messages;
        WriteParameters(l.controller, state.shown, &messages);
        for (const QString& m : messages.shown)
            err_ << m << Qt::endl;
        if (!l.reports.failures.isEmpty())
            return fail(LinkError, QStringLiteral("the write did not reach the controller: %1")
                                       .arg(l.reports.failures.join(QLatin1Char(' '))));
        out_ << "written " << o_.file << " to " << l.label << Qt::endl;
        return Ok;
    }

    int diff() {
        Link l;
        ParameterSet controllerSet;
        ParamPageState state;
        if (const int code = fileOverController(l, controllerSet, state); code != Ok) return code;
        const std::vector<ParamDifference> diffs = compareParameterSets(state.shown, controllerSet);
        for (const ParamDifference& d : diffs)
            out_ << paramDef(d.id).identifier << " (" << d.caption << "): file \"" << d.pageValue
                 << "\", controller \"" << d.controllerValue << "\"" << Qt::endl;
        if (diffs.empty()) {
            out_ << "same" << Qt::endl;
            return Ok;
        }
        return Different;
    }

    int live() {
        std::unique_ptr<QFile> csvFile;
        QTextStream csv;
        if (!o_.csv.isEmpty()) {
            csvFile = std::make_unique<QFile>(o_.csv);
            if (!csvFile->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
                return fail(FileError,
                            QStringLiteral("cannot write \"%1\": %2").arg(o_.csv, csvFile->errorString()));
            csv.setDevice(csvFile.get());
            csv << "time_s,answered,lambda_raw,lambda_v,tps_raw,tps_v,rpm,stepper,temperature_c,gas_percent,"
                   "fuel\n";
        }
        Link l;
        if (!openLink(l)) return LinkError;
        Controller& c = l.controller;
        c.ReadVersion();
        if (!c.controllerPresent())
            return fail(LinkError, QStringLiteral("no controller answered on %1").arg(l.label));
        ParameterSet set = defaultParameterSet();
        readParameters(c, set);

        live::FrameContext ctx;
        ctx.temperatureCapable = temperatureCapable(l);
        ctx.probeKind = shownListIndex(ParamId::ProbeKind, set[ParamId::ProbeKind]);
        ctx.reserveSensorKind = shownListIndex(ParamId::ReserveSensorKind, set[ParamId::ReserveSensorKind]);
        PeriodFilter filter;
        l.channel.OpenPort();

        const qint64 start = l.clock.nowUs();
        const qint64 polls = std::max<qint64>(1, std::llround(o_.seconds * 1000.0 / LivePollMs));
        int answered = 0;
        for (qint64 i = 0; i < polls; ++i) {
            const qint64 due = start + i * LivePollMs * 1000;
            const qint64 now = l.clock.nowUs();
            if (due > now) l.clock.sleepMs(int((due - now + 999) / 1000));
            const double t = double(l.clock.nowUs() - start) / 1e6;
            ctx.ignitionConstant = c.ignitionConstant();
            if (!c.PollLiveFrame()) {
                out_ << QString::asprintf("%7.3f s  no answer", t) << Qt::endl;
                if (csvFile) csv << QString::asprintf("%.3f", t) << ",0,,,,,,,,,\n";
                continue;
            }
            ++answered;
            std::array<std::uint8_t, 7> frame{};
            for (int b = 0; b < 7; ++b)
                frame[std::size_t(b)] = c.frameByte(b);
            const int period = filter.push(live::enginePeriod(frame[4], frame[5]));
            const live::Readings r = live::decodeFrame(frame, period, ctx);
            const QString rpm = r.speedPanel ? QString::number(*r.speedPanel) : QString();
            const QString temp = r.temperature ? QString::number(*r.temperature) : QString();
            const QString gas = r.gas ? QString::number(r.gas->percent) : QString();
            const char* fuel = r.petrol ? "petrol" : "gas";
            out_ << QString::asprintf("%7.3f s", t) << "  lambda " << r.lambdaVolts << " V  TPS "
                 << r.tpsVolts << " V  " << (rpm.isEmpty() ? QStringLiteral("-") : rpm) << " rpm  stepper "
                 << r.stepper;
            if (!temp.isEmpty()) out_ << "  " << temp << " \u00B0C";
            if (!gas.isEmpty()) out_ << "  gas " << gas << " %";
            out_ << "  " << fuel << Qt::endl;
            if (csvFile) {
                csv << QString::asprintf("%.3f", t) << ",1," << r.lambdaRaw << ',' << r.lambdaVolts << ','
                    << r.tpsRaw << ',' << r.tpsVolts << ',' << rpm << ',' << r.stepper << ',' << temp << ','
                    << gas << ',' << fuel << '\n';
                csv.flush();
            }
        }
        l.channel.ClosePort();
        if (csvFile) {
            csv.flush();
            if (csvFile->error() != QFileDevice::NoError)
                return fail(FileError,
                            QStringLiteral("cannot write \"%1\": %2").arg(o_.csv, csvFile->errorString()));
        }
        if (answered == 0)
            return fail(LinkError, QStringLiteral("the controller sent no live frame on %1").arg(l.label));
        return Ok;
    }

    int sheet() {
        ParamFileContents file;
        if (!loadFile(file)) return FileError;
        // Only what the file holds is printed: the temperature and the ignition
        // system are not stored in files.
        ParameterSet base = defaultParameterSet();
        base[ParamId::SwitchTemp].clear();
        const ParamPageState state = applyFile(file, base, false);
        const PrintSheet sheet = buildPrintSheet(state.shown, QString(), SheetTexts::builtIn());
        QString error;
        if (!saveSheetPdf(o_.output, sheet, &error)) return fail(FileError, error);
        out_ << "saved " << o_.output << Qt::endl;
        return Ok;
    }

    const Options& o_;
    QTextStream& out_;
    QTextStream& err_;
};

bool needsFile(const QString& c) {
    return c == QLatin1String("read") || c == QLatin1String("write") || c == QLatin1String("diff") ||
           c == QLatin1String("sheet");
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
        "  quendrix-cli [--port COMn|DEVICE] write FILE.qx4\n"
        "      Reads the controller, loads the file on top of what it holds (as the page's load\n"
        "      does) and sends the parameters page's full write. Values the file does not hold\n"
        "      (minimum switch-over temperature, analog threshold, ignition system) keep the\n"
        "      controller's values. Values the write's checks refuse stop it before any byte is sent.\n"
        "  quendrix-cli [--port COMn|DEVICE] diff FILE.qx4\n"
        "      Lists the parameters whose file value differs from the controller's.\n"
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
        "  --seconds N     live: how long to poll.\n"
        "  --csv FILE      live: also write the readings as CSV.\n"
        "  -o, --output F  sheet: the PDF file to write.\n"
        "  -h, --help      this text.\n"
        "\n"
        "Exit codes: 0 done (diff: same), 1 diff: different, 2 write: values refused by the\n"
        "write's checks (nothing sent), 3 bad arguments, 4 file error, 5 port or controller error.\n");
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
    static const QStringList commands = {"version", "autodetect", "read", "write", "diff", "live", "sheet"};
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
