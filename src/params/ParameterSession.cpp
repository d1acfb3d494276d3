#include "params/ParameterSession.h"

#include "core/SessionTexts.h"
#include "link/ControllerLink.h"
#include "params/BlockCodec.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/ParameterJobs.h"
#include "params/ParameterModel.h"
#include "params/RestorePoints.h"
#include "params/WriteGate.h"

#include <QFileInfo>
#include <algorithm>

namespace params {

namespace st = sessiontext;

namespace {
SetOrigin gateOrigin(ParameterModel::Origin o) {
    switch (o) {
    case ParameterModel::Origin::None:
        return SetOrigin::None;
    case ParameterModel::Origin::Controller:
        return SetOrigin::Controller;
    case ParameterModel::Origin::File:
        return SetOrigin::File;
    case ParameterModel::Origin::Defaults:
        return SetOrigin::Defaults;
    }
    return SetOrigin::None;
}

// Why an automatic write did not run.
QString blockText(const ParameterSession& s, ParameterModel::WriteBlock block) {
    switch (block) {
    case ParameterModel::WriteBlock::None:
        return {};
    case ParameterModel::WriteBlock::NotRead:
        return s.text(st::AutoNotRead);
    case ParameterModel::WriteBlock::Defaults:
        return s.text(st::AutoDefaults);
    case ParameterModel::WriteBlock::Marked:
        return s.text(st::AutoMarked);
    }
    return {};
}
} // namespace

ParameterSession::ParameterSession(ControllerLink& link, WriteGate& gate, ParameterModel& model, Poll poll,
                                   QObject* parent)
    : QObject(parent), link_(link), gate_(gate), model_(model), poll_(std::move(poll)),
      port_(link.selectedPort()) {
    // What the gate knows of the controller's block belongs to the port it
    // was read on, and only while the line stayed up.
    connect(&link_, &ControllerLink::portLost, this, [this] { forgetBlock(); });
    connect(&link_, &ControllerLink::stateChanged, this, [this](const LinkState& s) {
        if (s.selectedPort == port_) return;
        port_ = s.selectedPort;
        forgetBlock();
    });
    // Nothing waits on the line any more: no read is still to fill the page
    // (a result dropped on the way must not leave the keys dead).
    connect(&link_, &ControllerLink::busyChanged, this, [this](bool busy) {
        if (!busy) endFilling(true);
    });
}

QString ParameterSession::text(const st::Text& t) const {
    return texts_ ? texts_(t.key, t.builtIn()) : t.builtIn();
}

QString ParameterSession::caption(ParamId id) const {
    if (captions_) {
        const QString c = captions_(id);
        if (!c.isEmpty()) return c;
    }
    const ParamDef& d = paramDef(id);
    return d.label.isEmpty() ? d.identifier : d.label;
}

ParamWords ParameterSession::words(bool parts) const {
    return {[this, parts](ParamId id) { return parts ? partCaption(id) : caption(id); }, items_};
}

std::vector<FieldMark> ParameterSession::pageMarks(const ReadResult& r) {
    marked_ = MarkedBlock{r.block, r.ignitionConstant, r.versionCode};
    return fidelityMarks(r.block, r.ignitionConstant, r.versionCode, words(false));
}

void ParameterSession::rewordMarks() {
    if (!marked_ || model_.marks().empty()) return;
    // Only the fields still marked: an edit takes a field's mark away.
    std::vector<FieldMark> marks;
    for (FieldMark& m :
         fidelityMarks(marked_->block, marked_->ignitionConstant, marked_->versionCode, words(false)))
        if (model_.markOf(m.id)) marks.push_back(std::move(m));
    model_.setMarks(std::move(marks));
}

QString ParameterSession::partCaption(ParamId id) const {
    // Two fields share one caption on the page; a row of their own says which.
    switch (id) {
    case ParamId::StepMin:
        return text(sessiontext::PartMin).arg(caption(id));
    case ParamId::StepMax:
        return text(sessiontext::PartMax).arg(caption(id));
    case ParamId::LambdaLowTime:
        return text(sessiontext::PartLow).arg(caption(id));
    case ParamId::LambdaHighTime:
        return text(sessiontext::PartHigh).arg(caption(id));
    default:
        return caption(id);
    }
}

QString ParameterSession::loadProblemText(const ParamFileLoad& load) const {
    using Problem = ParamFileLoad::Problem;
    const QString path = load.contents.path;
    // The line as the message quotes it: a long one is cut so the message stays readable.
    constexpr int Shown = 60;
    const QString line =
        QLatin1Char('"') +
        (load.lineText.size() > Shown ? load.lineText.left(Shown) + QStringLiteral("...") : load.lineText) +
        QLatin1Char('"');
    switch (load.problem) {
    case Problem::CannotOpen:
        return text(sessiontext::LoadFailed).arg(path, load.detail);
    case Problem::TooLarge:
        return text(sessiontext::LoadFailed).arg(path, text(sessiontext::LoadTooLarge).arg(MaxParamFileSize));
    case Problem::LineTooLong:
        return text(sessiontext::LoadAtLine)
            .arg(path)
            .arg(load.line)
            .arg(line, text(sessiontext::LoadLineTooLong).arg(MaxFileLineLength));
    case Problem::NotInteger:
        return text(sessiontext::LoadAtLine)
            .arg(path)
            .arg(load.line)
            .arg(line, text(sessiontext::LoadNotInteger).arg(load.detail));
    case Problem::NoParameters:
    case Problem::None:
        break;
    }
    return load.error;
}

QString ParameterSession::captions(const std::vector<ParamId>& ids) const {
    QStringList names;
    for (ParamId id : ids) {
        const QString c = caption(id);
        if (!names.contains(c)) names << c;
    }
    return names.join(QStringLiteral(", "));
}

void ParameterSession::whenIdle(QObject* receiver, std::function<void()> action) {
    link_.whenIdle(receiver, std::move(action));
}

// ---------------------------------------------------------------- link steps

void ParameterSession::stopPoll() {
    link_.stopPolling(poll_.name);
}

void ParameterSession::startPoll() {
    link_.startPolling(poll_.name, poll_.intervalMs);
}

void ParameterSession::closePort() {
    link_.run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
}

void ParameterSession::openPort() {
    link_.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
}

void ParameterSession::postFeatures() {
    // An answer that did not come whole says nothing about the features: -1.
    link_.call<int>(
        this,
        [](Controller& c) {
            const int code = c.ReadFeatureVersion();
            return c.lastArrival() == Controller::Arrival::Whole ? code : -1;
        },
        [this](const int& code) { emit featureVersionRead(code); });
}

void ParameterSession::forgetBlock() {
    link_.run(nullptr, [g = &gate_](Controller&) { g->forget(); });
}

void ParameterSession::beginFilling() {
    if (filling_++ == 0) emit fillingChanged(true);
}

void ParameterSession::endFilling(bool all) {
    if (filling_ == 0) return;
    filling_ = all ? 0 : filling_ - 1;
    if (filling_ == 0) emit fillingChanged(false);
}

// ---------------------------------------------------------------- reads

void ParameterSession::postReadAndFill(bool announce, Edits edits) {
    if (edits == Edits::Keep) return;
    beginFilling();
    struct Result {
        bool wrote = false;
        GateReport write;
        bool readTried = false;
        ReadResult read;
    };
    const bool writeFirst = edits == Edits::Write;
    ParameterSet set;
    SetOrigin origin = SetOrigin::None;
    const QString what = whatText(WriteKind::Edits);
    if (writeFirst) {
        set = model_.collect();
        origin = gateOrigin(model_.origin());
        model_.setWritten(true);
    }
    link_.call<Result>(
        this,
        [g = &gate_, writeFirst, set, origin, what](Controller& c) {
            Result r;
            if (writeFirst) {
                r.wrote = true;
                r.write = writeThroughGate(c, *g, what, set, origin);
                // Values the controller did not get stay on the page.
                if (!r.write.complete()) return r;
            }
            r.readTried = true;
            r.read = readBlock(c, *g);
            return r;
        },
        [this, announce, set](const Result& r) {
            if (r.wrote) reportWrite(set, r.write);
            if (r.readTried) applyRead(r.read, announce);
            endFilling();
        });
}

void ParameterSession::applyRead(const ReadResult& r, bool announce) {
    if (!r.ok) {
        // Nothing arrived that could be shown: the page keeps what it showed,
        // and the set is not taken as read. Bytes that came but made no block
        // are told apart from silence.
        emit status(text(r.answered ? st::BadAnswer : st::NoAnswer));
        return;
    }
    model_.fill(r.set, ParameterModel::Origin::Controller, {}, pageMarks(r));
    // The block's ignition system selects the engine-speed page's list.
    emit ignitionRead(r.ignitionIndex);
    if (!r.marks.empty())
        emit status(text(st::FieldsMarked).arg(r.marks.size()));
    else if (announce)
        emit status(text(st::Read));
}

void ParameterSession::enterPage(Edits edits) {
    postReadAndFill(false, edits);
    postFeatures();
    openPort();
    startPoll();
}

void ParameterSession::read(Edits edits) {
    if (edits == Edits::Keep) return;
    stopPoll();
    closePort();
    postFeatures();
    link_.run(nullptr, [](Controller& c) {
        c.ReadVersion();
        c.channel().ClosePort();
    });
    postReadAndFill(true, edits);
    openPort();
    startPoll();
}

void ParameterSession::defaultSettings(Edits edits) {
    closePort();
    postReadAndFill(false, edits);
    openPort();
}

void ParameterSession::finishWizard() {
    beginFilling();
    closePort();
    postReadAndFill(false, Edits::Discard);
    postFeatures();
    // Queued behind the read: decided once the page holds what was read.
    link_.run(this, {}, [this] {
        if (model_.automaticWriteAllowed()) {
            write(WriteKind::Finish);
        } else {
            emit status(blockText(*this, model_.automaticWriteBlock()));
            openPort();
            startPoll();
        }
        endFilling();
        emit wizardFinished();
    });
}

// ---------------------------------------------------------------- writes

QString ParameterSession::whatText(WriteKind kind) const {
    switch (kind) {
    case WriteKind::Button:
        return text(st::WhatButton);
    case WriteKind::Keyboard:
        return text(st::WhatKeyboard);
    case WriteKind::Reset:
        return text(st::WhatReset);
    case WriteKind::Automatic:
        return text(st::WhatAutomatic);
    case WriteKind::Finish:
        return text(st::WhatFinish);
    case WriteKind::Edits:
        return text(st::WhatEdits);
    }
    return {};
}

void ParameterSession::postWrite(WriteKind kind) {
    const ParameterSet set = model_.collect();
    const SetOrigin origin = gateOrigin(model_.origin());
    link_.call<GateReport>(
        this,
        [g = &gate_, what = whatText(kind), set, origin](Controller& c) {
            return writeThroughGate(c, *g, what, set, origin);
        },
        [this, set](const GateReport& r) { reportWrite(set, r); });
    // Taken back when the report says the controller did not get it all.
    model_.setWritten(true);
}

void ParameterSession::write(WriteKind kind) {
    stopPoll();
    closePort();
    postWrite(kind);
    openPort();
    startPoll();
}

void ParameterSession::reset() {
    stopPoll();
    closePort();
    model_.fill(defaultParameterSet(), ParameterModel::Origin::Defaults);
    openPort();
    startPoll();
    emit status(text(st::Reset));
    write(WriteKind::Reset);
}

void ParameterSession::automaticWrite() {
    if (model_.written()) return;
    if (model_.automaticWriteBlock() == ParameterModel::WriteBlock::None)
        postWrite(WriteKind::Automatic);
    else
        emit status(blockText(*this, model_.automaticWriteBlock()));
}

QString ParameterSession::refusalText(const GateVerdict& v) const {
    switch (v.reason) {
    case GateVerdict::Reason::None:
        return {};
    case GateVerdict::Reason::NotRead:
        return text(st::RefusedNotRead);
    case GateVerdict::Reason::IgnitionUnknown:
        return text(st::RefusedIgnition);
    case GateVerdict::Reason::ValuesOutOfRange: {
        QStringList values;
        for (const Refusal& f : v.refusals)
            values << text(st::RefusedValue).arg(caption(f.id), f.value, f.range);
        return text(st::RefusedValues).arg(values.join(QStringLiteral("; ")));
    }
    case GateVerdict::Reason::NoRestorePoint:
        return text(st::RefusedNoBlock).arg(v.detail).trimmed();
    }
    return {};
}

void ParameterSession::reportWrite(const ParameterSet& written, const GateReport& r) {
    if (!r.verdict.allowed()) {
        // Nothing at all was sent.
        model_.setWritten(false);
        const QString why = refusalText(r.verdict);
        emit status(why);
        emit message(Severity::Warning, QStringLiteral("Quendrix"), why);
        return;
    }
    for (const WriteMessage& m : r.checks)
        emit message(Severity::Plain, m.caption, m.text);
    if (!r.outcome.complete) {
        // The port failed under it: the page holds what the controller does not.
        model_.setWritten(false);
        const QString why = text(st::WriteStopped).arg(captions(r.outcome.notWritten));
        emit status(why);
        // Nothing went out when the port did not open; its own box said why.
        if (r.outcome.failedStep > 1) emit message(Severity::Warning, QStringLiteral("Quendrix"), why);
        return;
    }
    // The fitter wrote what the page shows: from now on the controller holds it.
    model_.setMarks({});
    ParameterSet held = written;
    if (model_.controllerSetKnown())
        for (ParamId id : r.skipped)
            held[id] = model_.controllerSet()[id];
    model_.setControllerSet(held);
    emit status(r.skipped.empty() ? text(st::Written) : text(st::WrittenExcept).arg(captions(r.skipped)));
}

// ---------------------------------------------------------------- comparison

void ParameterSession::compare() {
    stopPoll();
    closePort();
    postRead(link_, gate_, this, [this](const ReadResult& r) {
        if (!r.ok) {
            emit compareFailed(text(r.answered ? st::BadAnswer : st::NoAnswer));
            return;
        }
        showCompared(r);
    });
    openPort();
    startPoll();
}

void ParameterSession::showCompared(const ReadResult& r) {
    model_.setControllerSet(r.set);
    // Texts can agree where bytes do not: the fields whose bytes the page
    // cannot show, as the page marks them and as the block just read marks them.
    std::vector<ParamId> marked;
    for (const std::vector<FieldMark>* marks : {&model_.marks(), &r.marks})
        for (const FieldMark& m : *marks)
            if (std::find(marked.begin(), marked.end(), m.id) == marked.end()) marked.push_back(m.id);
    std::sort(marked.begin(), marked.end());
    std::vector<ParamDifference> differences = compareWithMarks(model_.page(), r.set, marked, words(true));
    for (ParamDifference& d : differences)
        if (d.bytesOnly) d.controllerValue = text(st::CompareBytes).arg(d.controllerValue);
    QStringList names;
    for (ParamId id : marked)
        names << partCaption(id);
    emit compared(differences, names);
}

// ---------------------------------------------------------------- files

void ParameterSession::loadFile(const QString& path, bool temperatureCapable) {
    // The whole file is checked before anything is applied: a file with an
    // error leaves the page as it was.
    const ParamFileLoad load = readParameterFile(path);
    if (load.noParameters) {
        const QString fallback =
            QString::fromUtf8("Plik parametrów %1 nie zawiera żadnych parametrów - nic nie zmieniono.");
        emit message(Severity::Warning, QStringLiteral("Quendrix"),
                     (texts_ ? texts_(FileWithoutParametersKey, fallback) : fallback).arg(path));
        return;
    }
    if (!load.ok) {
        emit message(Severity::Critical, QStringLiteral("Quendrix"), loadProblemText(load));
        return;
    }
    ParamPageState state = pageStateFor(model_.page(), temperatureCapable);
    const ParameterSet before = state.shown;
    applyParameterFile(state, load.contents);
    // The check boxes' click reactions run as the page shows the new states.
    model_.fill(state.shown, ParameterModel::Origin::File, path);
    // The controller no longer holds what the page shows, even after a write
    // that left the flag set and a file whose check boxes changed nothing.
    if (!(state.shown == before)) model_.setWritten(false);
    emit status(text(st::FileLoaded).arg(QFileInfo(path).fileName()));
    for (std::size_t i = 0; i < load.contents.shortLines.size(); ++i)
        emit message(Severity::Warning, QStringLiteral("Quendrix"),
                     texts_ ? texts_(FileErrorTextKey, fileErrorText()) : fileErrorText());
}

} // namespace params

namespace params {

// ---------------------------------------------------------------- restore points

namespace {
QString offsets(const std::vector<int>& at) {
    QStringList s;
    for (int i : at)
        s << QString::number(i);
    return s.join(QStringLiteral(", "));
}

QString pointTime(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

QString ParameterSession::pointDifferences(const RestorePoint& p, const ReadResult& now) const {
    const ParameterBlock& point = p.block;
    if (!now.ok) return text(st::HistoryUnknown);
    // Both decoded alike, so that only what the bytes hold can differ.
    ParameterSet held = defaultParameterSet();
    ParameterSet then = defaultParameterSet();
    decodeParameterBlock(now.block, now.ignitionConstant, held);
    decodeParameterBlock(point, now.ignitionConstant, then);
    std::vector<ParamId> ids;
    for (const ParamDifference& d : compareParameterSets(then, held))
        ids.push_back(d.id);
    if (!ids.empty()) return captions(ids);
    std::vector<int> bytes;
    for (int i = 0; i < Controller::BlockSize; ++i)
        if (point[static_cast<std::size_t>(i)] != now.block[static_cast<std::size_t>(i)]) bytes.push_back(i);
    return bytes.empty() ? text(st::HistorySame) : text(st::HistoryBytes).arg(offsets(bytes));
}

void ParameterSession::listRestorePoints() {
    stopPoll();
    closePort();
    postRead(link_, gate_, this, [this](const ReadResult& now) {
        if (now.ok) model_.setControllerSet(now.set);
        std::vector<PointRow> rows;
        if (store_)
            for (const RestorePoint& p : store_->list())
                rows.push_back({p.id, p.header.time, p.header.port, p.header.what, pointDifferences(p, now)});
        emit restorePointsListed(rows);
    });
    openPort();
    startPoll();
}

void ParameterSession::restorePoint(int id) {
    QString error;
    const std::optional<BlockFile> point = store_ ? store_->load(id, &error) : std::nullopt;
    if (!point) {
        emit message(Severity::Warning, QStringLiteral("Quendrix"), error);
        return;
    }
    const QString when = pointTime(point->header.time);
    struct Result {
        RestoreReport report;
        ReadResult back;
    };
    stopPoll();
    closePort();
    link_.call<Result>(
        this,
        [g = &gate_, block = point->block, what = text(st::WhatRestore).arg(when)](Controller& c) {
            Result r;
            WriteContext ctx;
            ctx.what = what;
            ctx.port = portDescription(c);
            ctx.ignitionKnown = c.ignitionKnown();
            r.report = g->restore(c, ctx, block);
            if (r.report.readBack) r.back = decodeRead(c, r.report.controllerBlock);
            return r;
        },
        [this, when](const Result& r) {
            // The page shows what the controller holds now.
            if (r.back.ok) {
                model_.fill(r.back.set, ParameterModel::Origin::Controller, {}, pageMarks(r.back));
                model_.setWritten(true);
                emit ignitionRead(r.back.ignitionIndex);
            }
            reportRestore(when, r.report);
        });
    openPort();
    startPoll();
}

void ParameterSession::reportRestore(const QString& when, const RestoreReport& r) {
    if (!r.verdict.allowed()) {
        const QString why = refusalText(r.verdict);
        emit status(why);
        emit message(Severity::Warning, QStringLiteral("Quendrix"), why);
        return;
    }
    QString said = !r.outcome.complete ? text(st::RestoreStopped).arg(when, offsets(r.notSentBytes))
                   : !r.readBack       ? text(st::RestoredNoReadBack).arg(when)
                   : !r.differingBytes.empty()
                       ? text(st::RestoredDiffering).arg(when, offsets(r.differingBytes))
                       : text(st::Restored).arg(when);
    if (!r.notRestorable.empty())
        said += QLatin1Char(' ') + text(st::NotRestorable).arg(offsets(r.notRestorable));
    emit status(said);
    emit message(r.complete() && r.notRestorable.empty() ? Severity::Information : Severity::Warning,
                 QStringLiteral("Quendrix"), said);
}

} // namespace params
