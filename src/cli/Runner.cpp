#include "cli/Runner.h"

#include "cli/Cli.h"

#include "link/Autodetect.h"
#include "link/PortMap.h"
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"
#include "live/PeriodFilter.h"
#include "params/BlockCodec.h"
#include "params/BlockCommands.h"
#include "params/Fidelity.h"
#include "params/ParamCompare.h"
#include "params/ParamTable.h"
#include "params/PrintSheet.h"
#include "params/WriteSequence.h"
#include "shell/SettingsFile.h"

#include <QFile>
#include <cmath>
#include <memory>

namespace cli {

namespace {
constexpr int LivePollMs = 50;
} // namespace

QString hexByte(int value) {
    return QString::number(value, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

QString Messages::line(const QString& caption, const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return caption + QStringLiteral(": ") + t;
}

Runner::Runner(const Options& o, QTextStream& out, QTextStream& err)
    : o_(o), out_(out), err_(err),
      store_(o.historyDir.isEmpty() ? params::RestorePointStore::defaultFolder() : o.historyDir) {}

bool TraceFile::open(const QString& path, QString* error) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        *error = file_.errorString();
        return false;
    }
    text_.setDevice(&file_);
    text_ << linktrace::header(names_) << '\n';
    setOn(true);
    return true;
}

void TraceFile::record(const TraceEntry& entry) {
    if (originUs_ < 0) originUs_ = previousUs_ = entry.us;
    text_ << linktrace::line(entry, originUs_, previousUs_, names_) << '\n';
    previousUs_ = entry.us;
}

void TraceFile::close() {
    if (!file_.isOpen()) return;
    setOn(false);
    text_.flush();
    file_.close();
}

int Runner::run() {
    if (!o_.trace.isEmpty()) {
        QString error;
        if (!trace_.open(o_.trace, &error))
            return fail(FileError, QStringLiteral("cannot write the trace %1: %2").arg(o_.trace, error));
    }
    const int code = runCommand();
    trace_.close();
    return code;
}

int Runner::runCommand() {
    const QString& c = o_.command;
    if (c == QLatin1String("sheet")) return sheet();
    if (c == QLatin1String("version")) return version();
    if (c == QLatin1String("autodetect")) return autodetect();
    if (c == QLatin1String("read")) return read();
    if (c == QLatin1String("write")) return write();
    if (c == QLatin1String("diff")) return diff();
    if (c == QLatin1String("live")) return live();
    if (c == QLatin1String("backup")) return backup();
    if (c == QLatin1String("restore")) return restore();
    if (c == QLatin1String("history")) return history();
    return fail(Usage, QStringLiteral("unknown command \"%1\" (see --help)").arg(c));
}

int Runner::fail(int code, const QString& message) {
    err_ << "quendrix-cli: " << message << Qt::endl;
    return code;
}

// ---------------------------------------------------------------- the port

// The port of --port, else of the settings: "PortDevice" (a device path)
// when present, else "Port" ("COM1" ... "COM8"; anything else is COM1).
void Runner::selectPort(Link& l) {
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

bool Runner::openLink(Link& l, bool quiet) {
    selectPort(l);
    const bool ok = l.channel.OpenPort();
    l.channel.ClosePort();
    if (!ok && !quiet)
        fail(LinkError,
             QStringLiteral("cannot open the serial port: %1")
                 .arg(l.reports.failures.isEmpty() ? l.label : l.reports.failures.join(QLatin1Char(' '))));
    return ok;
}

bool Runner::readController(Link& l, ParameterSet& set, ParameterBlock* block) {
    l.controller.ReadVersion();
    set = defaultParameterSet();
    ParameterBlock read{};
    if (!readParameters(l.controller, set, &read)) {
        fail(LinkError,
             QStringLiteral("no whole parameter block arrived from the controller on %1").arg(l.label));
        return false;
    }
    gate_.blockRead(read, l.controller.versionCode());
    if (block) *block = read;
    return true;
}

bool Runner::loadFile(ParamFileContents& contents) {
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
ParamPageState Runner::applyFile(const ParamFileContents& file, const ParameterSet& base,
                                 bool temperatureCapable) {
    ParamPageState state = pageStateFor(base, temperatureCapable);
    for (int line : file.shortLines)
        err_ << file.path << ", line " << line << ": " << fileErrorText() << Qt::endl;
    applyParameterFile(state, file);
    return state;
}

bool Runner::temperatureCapable(const Link& l) const {
    return live::versionFeatures(l.controller.versionCode(), false).temperatureCapable;
}

// Loads the file, opens the link and reads the controller: the page state is
// the file's values over what the controller holds. Ok or the exit code.
int Runner::fileOverController(Link& l, ParameterSet& controllerSet, ParamPageState& state,
                               ParameterBlock& block) {
    ParamFileContents file;
    if (!loadFile(file)) return FileError;
    if (!openLink(l)) return LinkError;
    if (!readController(l, controllerSet, &block)) return LinkError;
    state = applyFile(file, controllerSet, temperatureCapable(l));
    return Ok;
}

// ---------------------------------------------------------------- commands

int Runner::version() {
    Link l(&trace_);
    if (!openLink(l)) return LinkError;
    l.controller.ReadVersion();
    if (!l.controller.controllerPresent())
        return fail(LinkError, QStringLiteral("no controller answered on %1").arg(l.label));
    out_ << l.controller.versionCode() << Qt::endl;
    return Ok;
}

int Runner::autodetect() {
    Link l(&trace_);
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

int Runner::read() {
    Link l(&trace_);
    if (!openLink(l)) return LinkError;
    ParameterSet set;
    ParameterBlock block{};
    if (!readController(l, set, &block)) return LinkError;
    QString error;
    if (!saveParameterFile(o_.file, pageStateFor(set, temperatureCapable(l)).shown, &error))
        return fail(FileError, error);
    out_ << "saved " << o_.file << " from " << l.label << Qt::endl;

    // A parameter file holds what the page shows: fields that cannot show the
    // controller's bytes would not write them back.
    const std::vector<FieldMark> marks =
        fidelityMarks(block, l.controller.ignitionConstant(), l.controller.versionCode());
    for (const FieldMark& m : marks)
        err_ << "warning: " << paramDef(m.id).identifier << ": " << m.message << Qt::endl;
    if (marks.empty()) return Ok;
    return fail(Unfaithful, QStringLiteral("%1 field(s) of %2 would not write back the controller's bytes; "
                                           "\"backup\" keeps the block byte for byte")
                                .arg(marks.size())
                                .arg(o_.file));
}

int Runner::write() {
    Link l(&trace_);
    ParameterSet controllerSet;
    ParamPageState state;
    ParameterBlock block{};
    if (const int code = fileOverController(l, controllerSet, state, block); code != Ok) return code;
    Controller& c = l.controller;

    // Values the gate refuses and values the write's checks refuse stop the
    // write whole, before any byte goes out.
    const params::GateVerdict verdict = params::WriteGate::check(
        state.shown, params::SetOrigin::File, c.ignitionConstant(), c.ignitionKnown(), c.versionCode());
    QStringList refusedChecks;
    for (const WriteStep& step :
         planParameterWrite(state.shown, c.ignitionConstant(), c.knownFlags(), c.versionCode()))
        for (const WriteMessage& m : step.command.messages)
            refusedChecks << Messages::line(m.caption, m.text);
    if (!wholeNumber(state.shown[ParamId::AnalogThreshold]).ok()) {
        const WriteMessage m =
            WriteText::invalidField(ParamId::AnalogThreshold, state.shown[ParamId::AnalogThreshold]);
        refusedChecks << Messages::line(m.caption, m.text);
    }
    if (!verdict.allowed()) return refused(verdict);
    if (!refusedChecks.isEmpty()) {
        for (const QString& m : refusedChecks)
            err_ << m << Qt::endl;
        return fail(CheckFailed, QStringLiteral("%1: nothing was written").arg(o_.file));
    }

    Messages messages;
    const params::GateReport r =
        gate_.writeSet(c, context(l, QStringLiteral("quendrix-cli write ") + o_.file), state.shown,
                       params::SetOrigin::File, &messages);
    for (const QString& m : messages.shown)
        err_ << m << Qt::endl;
    if (!r.verdict.allowed()) return refused(r.verdict);
    if (r.restorePoint > 0) out_ << "restore point " << r.restorePoint << " kept" << Qt::endl;
    if (!r.outcome.complete) {
        QString lost = names(r.outcome.notWritten);
        if (!lost.isEmpty()) lost += QStringLiteral(" and ");
        return fail(LinkError,
                    QStringLiteral("the write was cut off at step %1 of 28: not written: %2the closing "
                                   "byte 0x0A (%3)")
                        .arg(r.outcome.failedStep)
                        .arg(lost, l.reports.failures.isEmpty() ? QStringLiteral("the port failed")
                                                                : l.reports.failures.join(QLatin1Char(' '))));
    }
    for (ParamId id : r.skipped)
        err_ << "not written (the write skips it): " << paramDef(id).identifier << " \"" << state.shown[id]
             << "\"" << Qt::endl;
    out_ << "written " << o_.file << " to " << l.label << Qt::endl;
    return Ok;
}

int Runner::diff() {
    Link l(&trace_);
    ParameterSet controllerSet;
    ParamPageState state;
    ParameterBlock block{};
    if (const int code = fileOverController(l, controllerSet, state, block); code != Ok) return code;
    const std::vector<ParamDifference> diffs = compareParameterSets(state.shown, controllerSet);
    for (const ParamDifference& d : diffs)
        out_ << paramDef(d.id).identifier << " (" << d.caption << "): file \"" << d.pageValue
             << "\", controller \"" << d.controllerValue << "\"" << Qt::endl;

    // The block the controller would hold after the file's write.
    const Controller& c = l.controller;
    ParameterBlock written = block;
    for (const WriteStep& s :
         planParameterWrite(state.shown, c.ignitionConstant(), c.knownFlags(), c.versionCode()))
        params::applySentBytes(written, s.command.bytes);
    const std::vector<int> bytes = params::differingOffsets(block, written);
    for (int at : bytes)
        out_ << "byte " << at << ": controller " << hexByte(block[std::size_t(at)]) << ", the file writes "
             << hexByte(written[std::size_t(at)]) << Qt::endl;
    if (diffs.empty() && bytes.empty()) {
        out_ << "same" << Qt::endl;
        return Ok;
    }
    return Different;
}

int Runner::live() {
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
    Link l(&trace_);
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
        out_ << QString::asprintf("%7.3f s", t) << "  lambda " << r.lambdaVolts << " V  TPS " << r.tpsVolts
             << " V  " << (rpm.isEmpty() ? QStringLiteral("-") : rpm) << " rpm  stepper " << r.stepper;
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

int Runner::sheet() {
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

} // namespace cli
