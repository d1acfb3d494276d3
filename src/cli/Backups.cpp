// Backups of the raw parameter block, restores and the restore points.
#include "cli/Runner.h"

#include "params/BlockCodec.h"
#include "params/BlockCommands.h"
#include "params/ParamTable.h"

namespace cli {

using namespace params;

namespace {

QString byteList(const std::vector<int>& offsets) {
    QStringList out;
    for (int at : offsets)
        out << QString::number(at);
    return out.join(QStringLiteral(", "));
}

} // namespace

WriteContext Runner::context(const Link& l, const QString& what) const {
    return {what, l.label, false};
}

QString Runner::names(const std::vector<ParamId>& ids) const {
    QStringList out;
    for (ParamId id : ids)
        out << paramDef(id).identifier;
    return out.join(QStringLiteral(", "));
}

int Runner::refused(const GateVerdict& v) {
    using R = GateVerdict::Reason;
    switch (v.reason) {
    case R::ValuesOutOfRange:
        for (const Refusal& r : v.refusals)
            err_ << paramDef(r.id).identifier << " (" << paramDef(r.id).label << ") \"" << r.value
                 << "\": outside " << r.range << ", the controller would hold " << r.readBack << Qt::endl;
        return fail(
            CheckFailed,
            QStringLiteral("%1: values that do not fit the controller; nothing was written").arg(o_.file));
    case R::IgnitionUnknown:
        return fail(CheckFailed,
                    QStringLiteral("the controller's ignition system is not known (its block holds "
                                   "no ignition value 0-5): engine speeds cannot be converted; "
                                   "nothing was written"));
    case R::NotRead:
        return fail(CheckFailed, QStringLiteral("the values were never read; nothing was written"));
    case R::NoRestorePoint:
        return fail(FileError,
                    QStringLiteral("no restore point could be kept (%1); nothing was written").arg(v.detail));
    case R::None:
        break;
    }
    return Ok;
}

int Runner::backup() {
    Link l(&trace_);
    if (!openLink(l)) return LinkError;
    ParameterSet set;
    ParameterBlock block{};
    if (!readController(l, set, &block)) return LinkError;
    const QDateTime now = QDateTime::currentDateTime();
    const BlockFile f{{now, now, l.label, l.controller.versionCode(), QStringLiteral("backup")}, block};
    QString error;
    if (!saveBlockFile(o_.file, f, &error)) return fail(FileError, error);
    out_ << "saved " << o_.file << " from " << l.label << " (the 37 bytes of the parameter block)"
         << Qt::endl;
    return Ok;
}

int Runner::restore() {
    BlockFile f;
    QString what;
    if (o_.point > 0) {
        QString error;
        const std::optional<BlockFile> p = store_.load(o_.point, &error);
        if (!p) return fail(FileError, error);
        f = *p;
        what = QStringLiteral("quendrix-cli restore --point %1").arg(o_.point);
    } else {
        const BlockFileParse p = readBlockFile(o_.file);
        if (!p.ok) return fail(FileError, p.error);
        f = p.file;
        what = QStringLiteral("quendrix-cli restore ") + o_.file;
    }
    Link l(&trace_);
    if (!openLink(l)) return LinkError;
    ParameterSet set;
    if (!readController(l, set)) return LinkError;
    if (f.header.versionCode != l.controller.versionCode())
        err_ << "note: the block came from a controller of version " << f.header.versionCode
             << ", this one is " << l.controller.versionCode() << Qt::endl;
    return restoreBlock(l, f.block, what);
}

int Runner::restoreBlock(Link& l, const ParameterBlock& block, const QString& what) {
    const RestoreReport r = gate_.restore(l.controller, context(l, what), block);
    if (!r.verdict.allowed()) return refused(r.verdict);
    if (r.restorePoint > 0) out_ << "restore point " << r.restorePoint << " kept" << Qt::endl;
    if (!r.outcome.complete)
        return fail(
            LinkError,
            QStringLiteral("the restore was cut off at step %1: block bytes %2 were not restored (%3)")
                .arg(r.outcome.failedStep)
                .arg(r.notSentBytes.empty() ? QStringLiteral("(none; the closing byte)")
                                            : byteList(r.notSentBytes),
                     l.reports.failures.isEmpty() ? QStringLiteral("the port failed")
                                                  : l.reports.failures.join(QLatin1Char(' '))));
    if (!r.readBack)
        return fail(LinkError, QStringLiteral("the restore was sent, but the block could not be read back to "
                                              "verify it"));
    for (int at : r.notRestorable)
        err_ << "byte " << at << ": no command writes it: the backup holds "
             << hexByte(block[std::size_t(at)]) << ", the controller "
             << hexByte(r.controllerBlock[std::size_t(at)]) << Qt::endl;
    for (int at : r.differingBytes)
        err_ << "byte " << at << ": restored " << hexByte(block[std::size_t(at)]) << ", the controller holds "
             << hexByte(r.controllerBlock[std::size_t(at)]) << Qt::endl;
    if (!r.differingBytes.empty())
        return fail(LinkError,
                    QStringLiteral("the block read back differs from the restored one in %1 byte(s)")
                        .arg(r.differingBytes.size()));
    out_ << "restored to " << l.label << ": every restorable byte reads back as restored" << Qt::endl;
    return Ok;
}

int Runner::history() {
    const std::vector<RestorePoint> points = store_.list();
    if (points.empty()) {
        out_ << "no restore points in " << store_.folder() << Qt::endl;
        return Ok;
    }
    // The controller now, when one answers; the list is shown without it.
    Link l(&trace_);
    std::optional<ParameterBlock> now;
    if (openLink(l, true)) {
        l.controller.ReadVersion();
        if (l.controller.controllerPresent()) now = l.controller.ReadParameterBlock();
    }
    for (const RestorePoint& p : points) {
        const BlockFileHeader& h = p.header;
        out_ << p.id << "  " << h.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << "  "
             << h.port << "  version " << h.versionCode << "  " << h.what << Qt::endl;
        if (!now) continue;
        const std::vector<int> bytes = differingOffsets(p.block, *now);
        if (bytes.empty()) {
            out_ << "    same as the controller now" << Qt::endl;
            continue;
        }
        QStringList values;
        for (const ParamDifference& d : blockValueDifferences(p.block, *now, l.controller.ignitionConstant()))
            values << QStringLiteral("%1 %2 (now %3)")
                          .arg(paramDef(d.id).identifier, d.pageValue, d.controllerValue);
        out_ << "    differs from the controller now in byte(s) " << byteList(bytes) << ": "
             << (values.isEmpty() ? QStringLiteral("the page shows the same values")
                                  : values.join(QStringLiteral(", ")))
             << Qt::endl;
    }
    if (!now) out_ << "(no controller answered on " << l.label << ": differences not shown)" << Qt::endl;
    out_ << points.size() << " restore point(s) in " << store_.folder() << Qt::endl;
    return Ok;
}

} // namespace cli
