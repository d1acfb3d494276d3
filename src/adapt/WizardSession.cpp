#include "adapt/WizardSession.h"

#include "adapt/Logging.h"
#include "adapt/ReactionRunner.h"
#include "core/SystemTexts.h"
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/WriteGate.h"

#include <QStringList>
#include <QTimer>

namespace adapt {

struct WizardSession::RestoreResult {
    bool portGone = false;
    params::RestoreReport report;
};

namespace {

QString whatOf(WriteKind kind) {
    switch (kind) {
    case WriteKind::Setup:
        return systemtext::text(systemtext::AutoSetupPoint);
    case WriteKind::Final:
        return systemtext::text(systemtext::AutoFinalPoint);
    case WriteKind::Ignition:
        break;
    }
    return systemtext::text(systemtext::AutoIgnitionPoint);
}

QString names(const std::vector<ParamId>& ids) {
    QStringList out;
    for (ParamId id : ids) {
        const ParamDef& d = paramDef(id);
        const QString name = d.label.isEmpty() ? d.identifier : d.label;
        if (!out.contains(name)) out << name;
    }
    return out.join(QStringLiteral(", "));
}

} // namespace

WizardSession::WizardSession(Models models, params::WriteGate& gate, QObject* parent)
    : QObject(parent), m_(models), gate_(gate) {
    ReactionRunner::Hooks hooks;
    hooks.entryPolled = [this](const LiveFrame& f) { return wizard_.entryPolled(f); };
    hooks.ignitionRead = [this](const IgnitionResult& r) {
        if (r.ok) {
            // The stored system selects both lists, as every ignition read does.
            ignitionRead_ = true;
            m_.live.setIgnitionChoice(r.index);
            m_.live.setWizardIgnitionChoice(r.index);
            wizard_.ignitionRead(r.index, r.flags);
        } else if (r.flags) {
            wizard_.setHeldFlags(r.flags);
        }
        // The block as the wizard found it, before anything of its own went out.
        if (r.block && !kept_ && !sent_) kept_ = r.block;
    };
    hooks.resume = [this](int token) { return wizard_.resume(token); };
    hooks.markNotWritten = [this] { m_.params.setWritten(false); };
    hooks.finish = [this] {
        // Finished, not abandoned: what it wrote stays. The parameters page
        // takes over without a page change.
        active_ = false;
        finished_ = true;
        sent_ = false;
        kept_.reset();
        m_.shell.finishWizard();
    };
    hooks.writeContext = [this](WriteKind kind) {
        if (kind != WriteKind::Ignition) sent_ = true;
        return context(whatOf(kind));
    };
    hooks.written = [this](WriteKind kind, const params::GateReport& r) { return onWritten(kind, r); };
    hooks.changed = [this] { emit changed(); };
    runner_ = new ReactionRunner(m_.link, gate_, std::move(hooks), this);

    connect(&m_.link, &ControllerLink::framesPolled, this,
            [this](const QString& name, const QVector<::LiveFrame>& frames) {
                const std::optional<Timer> timer = timerForPoll(name);
                if (!timer) return;
                std::vector<LiveFrame> polls;
                polls.reserve(std::size_t(frames.size()));
                for (const ::LiveFrame& f : frames)
                    polls.push_back(wizardFrame(f));
                ticked(*timer, polls);
            });
    connect(&m_.link, &ControllerLink::portOpened, this, [this] {
        if (!pending_ || active_) return;
        m_.link.whenIdle(this, [this] {
            if (pending_ && !active_) postRestore();
        });
    });
    connect(&m_.live, &LiveModel::wizardIgnitionChoiceChanged, this, [this](int index) {
        if (wizard_.view().term.ignitionIndex != index) wizard_.setIgnitionIndex(index);
        emit changed();
    });
    connect(&m_.params, &ParameterModel::pageValueChanged, this, [this](ParamId id) {
        if (id != ParamId::TempSensorOn || wizard_.temperatureSensorOn() == sensorOnInParameters()) return;
        wizard_.setTemperatureSensor(sensorOnInParameters());
        emit changed();
    });
    // The page change into the wizard clears the written flag just before the
    // entry; what it was until then is what a restore gives back. Any other
    // change has been settled by the time the event loop turns.
    connect(&m_.params, &ParameterModel::writtenChanged, this, [this](bool written) {
        if (active_ || written || clearedBeforeEntry_) return;
        clearedBeforeEntry_ = true;
        QTimer::singleShot(0, this, [this] { clearedBeforeEntry_ = false; });
    });
}

WizardSession::~WizardSession() = default;

bool WizardSession::busy() const {
    return entering_ || runner_->running();
}

// ---------------------------------------------------------------- the main page

void WizardSession::enter() {
    runner_->cancel();
    active_ = true;
    entering_ = true;
    finished_ = false;
    if (pending_) {
        // Left earlier while the port was gone: the block that wizard found is
        // still the one to give back, and the set-up may still be there.
        pending_ = false;
    } else {
        kept_.reset();
        sent_ = false;
        writtenBefore_ = clearedBeforeEntry_ || m_.params.written();
    }
    const int generation = ++entryGeneration_;
    struct EntryRead {
        int versionCode = 0;
        std::optional<std::uint8_t> flags;
    };
    // The port opened and closed again, as the entry does before the ignition read;
    // the version code the page change has just read decides step 1's forward button.
    m_.link.call<EntryRead>(
        this,
        [](Controller& c) {
            c.channel().OpenPort();
            EntryRead e{c.versionCode(), c.knownFlags()};
            c.channel().ClosePort();
            return e;
        },
        [this, generation](const EntryRead& e) {
            if (generation != entryGeneration_) return;
            entering_ = false;
            run(wizard_.enter({e.versionCode, sensorOnInParameters(), e.flags}));
            emit entered();
        });
}

void WizardSession::leave() {
    const bool wasActive = active_ || entering_;
    // Whatever the steps still meant to do belongs to the page being left.
    runner_->cancel();
    active_ = false;
    entering_ = false;
    ++entryGeneration_;
    // The ignition write (while step 1's timer polls) and every step timer
    // stopped, posted now: the page change that follows finds no wizard poll
    // running, so the ignition goes out once.
    runner_->runDetached(wizard_.leave());
    if (wasActive) restoreIfAbandoned();
    emit changed();
}

void WizardSession::programClosing() {
    // The link lets the jobs posted here finish before it closes.
    if (active_ || entering_)
        leave();
    else if (pending_)
        postRestore();
}

// ---------------------------------------------------------------- restoring what the wizard found

void WizardSession::restoreIfAbandoned() {
    if (finished_ || !sent_) return;
    if (!kept_) {
        // Never read whole: there is nothing to give back.
        m_.params.setWritten(false);
        sayLater(m_.shell.text(wizardtext::RestoreFailed));
        return;
    }
    // The restore goes out before anything of the page being entered, so the
    // written flag is what it was before the wizard from now on: no automatic
    // write of that page goes out on top of it. restored() corrects it.
    m_.params.setWritten(writtenBefore_);
    postRestore();
}

void WizardSession::postRestore() {
    if (!kept_) return;
    const params::WriteContext ctx = context(systemtext::text(systemtext::AutoStoppedPoint));
    params::WriteGate* gate = &gate_;
    m_.link.call<RestoreResult>(
        this,
        [gate, ctx, block = *kept_](Controller& c) {
            RestoreResult r;
            SerialChannel& ch = c.channel();
            // A port that went away is tried again without a message; one closed on purpose is opened.
            const bool wasOpen = ch.isOpen() || ch.reopen();
            if (!wasOpen && (ch.reopenWanted() || !ch.OpenPort())) {
                r.portGone = true;
                return r;
            }
            r.report = gate->restore(c, ctx, block);
            // A byte that could not be sent: the device went away on the way.
            r.portGone = !r.report.outcome.complete;
            // A page's polling goes on on the port as it found it.
            if (wasOpen && !ch.isOpen() && !r.portGone) ch.OpenPort();
            return r;
        },
        [this](const RestoreResult& r) { restored(r); });
}

void WizardSession::restored(const RestoreResult& r) {
    pending_ = r.portGone;
    if (r.portGone) {
        m_.params.setWritten(false);
        m_.shell.setMessage(m_.shell.text(wizardtext::RestorePending));
        return;
    }
    if (!r.report.complete()) {
        m_.params.setWritten(false);
        m_.shell.setMessage(m_.shell.text(wizardtext::RestoreFailed));
        return;
    }
    // The controller holds again what it held before the wizard.
    sent_ = false;
    kept_.reset();
    m_.params.setWritten(writtenBefore_);
    m_.shell.setMessage(m_.shell.text(wizardtext::Restored));
}

void WizardSession::sayLater(const QString& text) {
    m_.link.run(
        this, [](Controller&) {}, [this, text] { m_.shell.setMessage(text); });
}

// ---------------------------------------------------------------- driving the wizard

void WizardSession::run(const Reaction& reaction) {
    runner_->run(reaction);
    emit changed();
}

void WizardSession::act(std::function<Reaction()> action) {
    m_.link.whenIdle(this, [this, action = std::move(action)] {
        // A page change asked for before this action may have run first.
        if (!active_) return;
        qCDebug(lcAdapt) << "step" << wizard_.step() << "acts";
        run(action());
    });
}

void WizardSession::ticked(Timer timer, const std::vector<LiveFrame>& polls) {
    // No tick while the wizard's last reaction is still being carried out: its
    // exchanges or its pause come first, and a step left meanwhile must not tick.
    if (!active_ || busy()) return;
    run(wizard_.tick(timer, polls));
}

bool WizardSession::onWritten(WriteKind kind, const params::GateReport& report) {
    if (report.complete() || kind == WriteKind::Ignition) return true;
    // The step stops; the fitter goes back and repeats it once the line works.
    wizard_.writeLost(kind);
    std::vector<ParamId> lost = report.outcome.notWritten;
    lost.insert(lost.end(), report.skipped.begin(), report.skipped.end());
    const int key = kind == WriteKind::Final ? wizardtext::FinalLost : wizardtext::SetupLost;
    const QString text = m_.shell.text(key).arg(names(lost));
    m_.shell.setMessage(text);
    emit writeLost(text);
    return false;
}

params::WriteContext WizardSession::context(const QString& what) const {
    params::WriteContext ctx;
    ctx.what = what;
    const QString port = m_.link.selectedPort();
    const QString device = m_.link.devicePath(port);
    ctx.port = device == port ? port : QStringLiteral("%1 (%2)").arg(port.toUpper(), device);
    ctx.ignitionKnown = ignitionRead_ || m_.live.wizardIgnitionChoiceKnown();
    return ctx;
}

bool WizardSession::sensorOnInParameters() const {
    const ParamId id = ParamId::TempSensorOn;
    // Until the parameters page has been filled, the controller's block says it.
    const QString v =
        m_.params.origin() == ParameterModel::Origin::None ? m_.params.set()[id] : m_.params.pageValue(id);
    return v == QLatin1String("1");
}

// ---------------------------------------------------------------- intents

void WizardSession::forward() {
    act([this] { return wizard_.pressForward(); });
}

void WizardSession::back() {
    act([this] { return wizard_.back(); });
}

void WizardSession::press(int step, bool forward) {
    act([this, step, forward] {
        if (wizard_.step() != step) return Reaction{}; // a button of a step no longer shown
        return forward ? wizard_.pressForward() : wizard_.back();
    });
}

void WizardSession::comboTermEnter() {
    act([this] { return wizard_.comboTermEnter(); });
}

void WizardSession::selectTab(int step) {
    act([this, step] { return wizard_.selectTab(step); });
}

void WizardSession::chooseIgnition(int index) {
    wizard_.setIgnitionIndex(index);
    m_.live.setWizardIgnitionChoice(index);
    emit changed();
}

void WizardSession::chooseTemperatureSensor(bool on) {
    wizard_.setTemperatureSensor(on);
    // The parameters page's switch follows; the bit goes out with the final write.
    m_.params.setValue(ParamId::TempSensorOn, on ? QStringLiteral("1") : QStringLiteral("0"));
    emit changed();
}

void WizardSession::clickGearbox(Gearbox clicked, bool checkedAfterClick) {
    wizard_.clickGearbox(clicked, checkedAfterClick);
    emit changed();
}

void WizardSession::selectCapacity(Capacity capacity) {
    wizard_.selectCapacity(capacity);
    emit changed();
}

void WizardSession::clickManifold(Manifold clicked, bool checkedAfterClick) {
    wizard_.clickManifold(clicked, checkedAfterClick);
    emit changed();
}

void WizardSession::selectReserveSensor(ReserveSensor sensor) {
    wizard_.selectReserveSensor(sensor);
    emit changed();
}

} // namespace adapt
