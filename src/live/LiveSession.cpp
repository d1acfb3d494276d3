#include "live/LiveSession.h"

#include "core/PollTimers.h"
#include "link/ControllerLink.h"
#include "live/LiveJobs.h"
#include "live/LiveModel.h"
#include "live/Logging.h"
#include "params/ParameterJobs.h"
#include "params/ParameterModel.h"

LiveSession::LiveSession(ControllerLink& link, LiveModel& live, ParameterModel& params,
                         params::WriteGate& gate, QObject* parent)
    : QObject(parent), link_(link), live_(live), params_(params), gate_(gate) {
    connect(&link_, &ControllerLink::framesPolled, this, &LiveSession::framesPolled);
    connect(&link_, &ControllerLink::stateChanged, this, &LiveSession::stateChanged);
    analogCapable_ = link_.state().analogCapable;

    // A log whose port went away ends with the last frame before it, closed.
    connect(&link_, &ControllerLink::portLost, &recorder_, &live::Recorder::portLost);
    connect(&recorder_, &live::Recorder::started, this, [this] {
        logFilter_.reset();
        updatePollPace();
    });
    connect(&recorder_, &live::Recorder::stopped, this, &LiveSession::updatePollPace);
    pageTick_.setInterval(polltimer::Wiz.intervalMs);
    connect(&pageTick_, &QTimer::timeout, this, [this] {
        if (!newest_) return;
        const live::Readings r = std::move(*newest_);
        newest_.reset();
        emit liveRead(r);
    });
    connect(&replay_, &live::Replay::rowReplayed, this, [this](const live::LogRow& row) {
        if (!replaying_ || !row.readings) return;
        live_.setPetrol(row.readings->petrol);
        emit liveRead(*row.readings);
    });
}

LiveSession::~LiveSession() {
    disconnect(&recorder_, nullptr, this, nullptr);
    recorder_.stop();
}

void LiveSession::stateChanged(const LinkState& state) {
    if (state.analogCapable == analogCapable_) return;
    analogCapable_ = state.analogCapable;
    emit analogCapabilityChanged(analogCapable_);
}

void LiveSession::startUp() {
    live::postVersionFeatures(link_, live_, this);
    live::postAnalogThreshold(link_, params_, this);
    link_.run(nullptr, [](Controller& c) { c.ReadVersion(); });
    live::postReadIgnition(link_, gate_, live_, this);
    link_.run(nullptr, [](Controller& c) {
        c.channel().ClosePort();
        c.channel().OpenPort();
    });
    link_.startPolling(polltimer::name(polltimer::Obr), polltimer::Obr.intervalMs);
}

void LiveSession::enterEngineSpeedPage() {
    live::postReadIgnition(link_, gate_, live_, this);
    link_.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
    link_.startPolling(polltimer::name(polltimer::Obr), polltimer::Obr.intervalMs);
    live::postAnalogThreshold(link_, params_, this);
}

void LiveSession::leaveEngineSpeedPage() {
    // A threshold never read (the set holds none), loaded nor typed is only
    // the list's start item: not written. The write comes before the page
    // change's ignition write.
    const bool known = thresholdTyped_ || !params_.set()[ParamId::AnalogThreshold].isEmpty();
    if (link_.state().analogCapable && known)
        live::postThresholdOnLeave(link_, params_, params_.pageValue(ParamId::AnalogThreshold));
}

void LiveSession::chooseIgnition(int index) {
    live_.setIgnitionChoice(index);
    // The constant is the controller link's too: the live page converts with it.
    if (index >= 0 && index <= 5) link_.run(nullptr, [index](Controller& c) { c.setIgnitionIndex(index); });
}

void LiveSession::setThreshold(const QString& text, bool typed) {
    if (typed) thresholdTyped_ = true;
    params_.setPageValue(ParamId::AnalogThreshold, text);
}

void LiveSession::OdczytUkladuButtClick() {
    // After whatever is running: the reads must not come between the steps of a write.
    link_.whenIdle(this, [this] {
        link_.stopPolling(polltimer::name(polltimer::Obr));
        live::postAnalogThreshold(link_, params_, this);
        link_.run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
        live::postVersionFeatures(link_, live_, this);
        link_.run(nullptr, [](Controller& c) { c.ReadVersion(); });
        live::postReadIgnition(link_, gate_, live_, this);
        link_.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
        link_.startPolling(polltimer::name(polltimer::Obr), polltimer::Obr.intervalMs);
    });
}

void LiveSession::enterLivePage() {
    // The block read sets the probe kind, reserve sensor and ignition constant
    // the decoding needs. A read that got no whole block changes nothing.
    params::postRead(link_, gate_, this, [this](const params::ReadResult& r) {
        if (r.ok) params_.setFromController(r.set);
        emit livePageRead(r.ok);
    });
    live::postVersionFeatures(link_, live_, this);
    link_.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
    onLivePage_ = true;
    updatePollPace();
    startLivePolling();
}

void LiveSession::leaveLivePage() {
    onLivePage_ = false;
    if (replaying_) {
        replay_.pause();
        replaying_ = false;
        emit replayingChanged(false);
    }
    updatePollPace();
}

void LiveSession::startLivePolling() {
    link_.startPolling(polltimer::name(polltimer::Wiz),
                       fastPolling_ ? polltimer::FastLogIntervalMs : polltimer::Wiz.intervalMs, 1,
                       fastPolling_);
}

void LiveSession::updatePollPace() {
    const bool fast = fastLog_ && recorder_.recording() && onLivePage_ && !replaying_;
    if (fast == fastPolling_) return;
    fastPolling_ = fast;
    if (fast) {
        pageTick_.start();
    } else {
        pageTick_.stop();
        newest_.reset();
    }
    // A poll that is running changes pace; one a sequence stopped starts at its pace later.
    if (link_.isPolling(polltimer::name(polltimer::Wiz))) startLivePolling();
}

bool LiveSession::startRecording(const QString& folder) {
    if (recorder_.start(folder.isEmpty() ? logFolder_ : folder)) return true;
    emit recordingRefused(recorder_.errorString());
    return false;
}

void LiveSession::stopRecording() {
    recorder_.stop();
}

void LiveSession::setFastLog(bool on) {
    fastLog_ = on;
    updatePollPace();
}

void LiveSession::startReplay(std::shared_ptr<const live::LogData> log, const QString& name) {
    // After the page's entry and whatever else runs: nothing of the
    // controller's comes between the replayed frames.
    link_.whenIdle(this, [this, log = std::move(log), name] {
        if (!onLivePage_) return;
        link_.stopPolling(polltimer::name(polltimer::Wiz));
        replaying_ = true;
        updatePollPace();
        replayName_ = name;
        replay_.setProbeKind(live_.probeKind());
        replay_.setLog(log);
        emit replayingChanged(true);
        replay_.seek(log && log->rows() > 0 ? log->timeMs.front() : 0);
        replay_.play();
    });
}

void LiveSession::stopReplay() {
    if (!replaying_) return;
    replay_.pause();
    replaying_ = false;
    emit replayingChanged(false);
    if (onLivePage_) {
        updatePollPace();
        startLivePolling();
    }
}

void LiveSession::framesPolled(const QString& timer, const QVector<LiveFrame>& frames) {
    void (LiveSession::*tick)(const LiveFrame&) = nullptr;
    if (timer == polltimer::name(polltimer::Obr)) tick = &LiveSession::TimerObrTimer;
    if (timer == polltimer::name(polltimer::Wiz)) tick = &LiveSession::TimerWizTimer;
    if (timer == polltimer::name(polltimer::ParamOdcz)) tick = &LiveSession::TimerParamOdczTimer;
    if (!tick) {
        // The wizard's and the tests' polls: only the drive log takes them.
        for (const LiveFrame& f : frames)
            record(f, std::nullopt, link_.state().ignitionConstant);
        return;
    }
    qCDebug(lcLive) << timer << frames.size() << "frame(s)";
    for (const LiveFrame& f : frames)
        (this->*tick)(f);
}

void LiveSession::record(const LiveFrame& frame, const std::optional<live::Readings>& readings) {
    record(frame, readings, link_.state().ignitionConstant);
}

void LiveSession::record(const LiveFrame& frame, const std::optional<live::Readings>& readings,
                         int constant) {
    // A poll nothing answered brought no frame.
    if (!recorder_.recording() || frame.received <= 0) return;
    const int n = std::clamp(std::min(frame.received, frame.length), 0, int(frame.bytes.size()));
    const QByteArray bytes(reinterpret_cast<const char*>(frame.bytes.data()), n);
    if (readings || !frame.ok)
        recorder_.record(bytes, frame.ok, readings);
    else
        recorder_.record(bytes, true, live_.decode(frame, constant, logFilter_));
}

live::Readings LiveSession::decode(const LiveFrame& frame) {
    const live::Readings r = live_.decode(frame, link_.state().ignitionConstant);
    live_.setPetrol(r.petrol);
    return r;
}

void LiveSession::TimerObrTimer(const LiveFrame& frame) {
    // The constant follows the list's choice; an index outside it keeps the last one.
    const int constant =
        live::ignitionConstantForChoice(live_.ignitionChoice(), link_.state().ignitionConstant);
    record(frame, std::nullopt, constant);
    if (const std::optional<live::SpeedReadout> s =
            live::engineSpeedTick(frame, live_.periodFilter(), constant))
        emit engineSpeedRead(*s);
}

void LiveSession::TimerWizTimer(const LiveFrame& frame) {
    // A frame cut short, out of step or with a wrong checksum is no reading:
    // every display keeps its state.
    if (!frame.ok) {
        record(frame, std::nullopt);
        return;
    }
    const live::Readings r = decode(frame);
    record(frame, r);
    if (replaying_) return; // a frame on its way when the replay began
    if (fastPolling_)
        newest_ = r; // the page gets it on its own tick
    else
        emit liveRead(r);
}

void LiveSession::TimerParamOdczTimer(const LiveFrame& frame) {
    // Only a whole, good frame: a short one would show older bytes of the
    // buffer as readings (17 800 rpm from a cut-off frame). The link-state
    // panel tells that data is missing.
    if (!frame.ok) {
        record(frame, std::nullopt);
        return;
    }
    const live::Readings r = decode(frame);
    record(frame, r);
    emit panelRead(r);
}
