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
    link_.startPolling(polltimer::name(polltimer::Wiz), polltimer::Wiz.intervalMs);
}

void LiveSession::framesPolled(const QString& timer, const QVector<LiveFrame>& frames) {
    void (LiveSession::*tick)(const LiveFrame&) = nullptr;
    if (timer == polltimer::name(polltimer::Obr)) tick = &LiveSession::TimerObrTimer;
    if (timer == polltimer::name(polltimer::Wiz)) tick = &LiveSession::TimerWizTimer;
    if (timer == polltimer::name(polltimer::ParamOdcz)) tick = &LiveSession::TimerParamOdczTimer;
    if (!tick) return;
    qCDebug(lcLive) << timer << frames.size() << "frame(s)";
    for (const LiveFrame& f : frames)
        (this->*tick)(f);
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
    if (const std::optional<live::SpeedReadout> s =
            live::engineSpeedTick(frame, live_.periodFilter(), constant))
        emit engineSpeedRead(*s);
}

void LiveSession::TimerWizTimer(const LiveFrame& frame) {
    // A frame cut short, out of step or with a wrong checksum is no reading:
    // every display keeps its state.
    if (!frame.ok) return;
    emit liveRead(decode(frame));
}

void LiveSession::TimerParamOdczTimer(const LiveFrame& frame) {
    // Only a whole, good frame: a short one would show older bytes of the
    // buffer as readings (17 800 rpm from a cut-off frame). The link-state
    // panel tells that data is missing.
    if (!frame.ok) return;
    emit panelRead(decode(frame));
}
