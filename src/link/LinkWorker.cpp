#include "link/LinkWorker.h"

#include <QThread>
#include <QTimer>
#include <algorithm>

LinkWorker::LinkWorker(PortFactory makePort, ClockFactory makeClock, LinkTrace* trace)
    : makePort_(std::move(makePort)), makeClock_(std::move(makeClock)), trace_(trace) {}

LinkWorker::~LinkWorker() = default;

void LinkWorker::init() {
    // The port is created here, on the worker thread, which alone uses it.
    port_ = makePort_();
    clock_ = makeClock_();
    channel_ = std::make_unique<SerialChannel>(*port_, *clock_, &reporter_);
    channel_->setTrace(trace_);
    controller_ = std::make_unique<Controller>(*channel_);
    publishState();
}

void LinkWorker::execute(quint64 id, const Work& work) {
    if (work) work(*controller_);
    publishState();
    emit jobFinished(id);
}

void LinkWorker::publishState() {
    LinkState s;
    s.selectedPort = channel_->selectedPort();
    s.portOpen = channel_->isOpen();
    s.portDown = channel_->reopenWanted();
    s.versionCode = controller_->versionCode();
    s.controllerPresent = controller_->controllerPresent();
    s.ignitionIndex = controller_->ignitionIndex();
    s.ignitionConstant = controller_->ignitionConstant();
    s.ignitionKnown = controller_->ignitionKnown();
    s.flags = controller_->flags();
    s.probeKind = controller_->probeKind();
    s.analogThreshold = controller_->analogThreshold();
    s.analogCapable = controller_->analogCapable();
    s.featureVersion = controller_->featureVersion();
    if (publishedOnce_ && s == published_) return;
    published_ = s;
    publishedOnce_ = true;
    emit stateChanged(s);
}

void LinkWorker::startPoll(const QString& name, int intervalMs, int framesPerTick, bool quick, quint64 run) {
    Poll& p = polls_[name];
    if (!p.timer) {
        p.timer = new QTimer(this);
        p.timer->setObjectName(name);
        // Coarse timers would stretch a 50 ms poll by up to 5 %.
        p.timer->setTimerType(Qt::PreciseTimer);
        connect(p.timer, &QTimer::timeout, this, [this, name] { tick(name); });
    }
    p.framesPerTick = framesPerTick < 1 ? 1 : framesPerTick;
    p.quick = quick;
    p.run = run;
    p.timer->start(intervalMs);
}

void LinkWorker::stopPoll(const QString& name) {
    auto it = polls_.find(name);
    if (it != polls_.end() && it->timer) it->timer->stop();
}

void LinkWorker::stopAllPolls() {
    for (Poll& p : polls_)
        if (p.timer) p.timer->stop();
}

bool LinkWorker::portReady() {
    if (!channel_->reopenWanted()) return true;
    if (sinceRetry_.isValid() && sinceRetry_.elapsed() < RetryMs) return false;
    sinceRetry_.start();
    bool opened = channel_->reopen();
    if (opened) {
        sinceRetry_.invalidate();
        // Another controller may be on the line now, or the first one never
        // answered.
        opened = readControllerAgain(true);
    }
    publishState();
    return opened;
}

bool LinkWorker::readControllerAgain(bool everything) {
    // Everything the pages depend on, before they are shown a frame: the
    // frames' length and checksum follow its version, the engine speed its
    // ignition system, the temperature instruments its features, the
    // threshold's group its capability. A controller that was known and
    // answers on only needs what is missing, or what disagrees.
    const QString port = channel_->lastPort();
    const int before = controller_->versionCode();
    controller_->ReadVersion();
    const int version = controller_->versionCode();
    if (version != 0) {
        controller_->ReadIgnition();
        if (everything || before != version || controller_->featureVersion() != version) {
            controller_->ReadFeatureVersion();
            controller_->ReadAnalogCapability();
        }
    }
    return channel_->ProbePort(port);
}

void LinkWorker::tick(const QString& name) {
    auto it = polls_.find(name);
    if (it == polls_.end() || !it->timer || !it->timer->isActive()) return;
    // Nothing can go out on a port that is not there: no polls until it is back.
    if (!portReady()) return;
    const int n = it->framesPerTick;
    const quint64 run = it->run;
    const bool quick = it->quick;
    QVector<LiveFrame> frames;
    frames.reserve(n);
    for (int i = 0; i < n; ++i) {
        LiveFrame f;
        f.ok = controller_->PollLiveFrame(quick);
        f.length = controller_->frameLength();
        f.received = controller_->lastPollReceived();
        f.version = controller_->versionCode();
        for (int b = 0; b < f.length; ++b)
            f.bytes[static_cast<std::size_t>(b)] = channel_->AnswerByte(b);
        frames.push_back(f);
    }
    emit framesPolled(name, run, frames);
    // A poll that found the port gone leaves it closed; the state says so.
    if (channel_->reopenWanted()) {
        publishState();
        return;
    }
    // Answers while no version, ignition system or features are known: the
    // controller was silent or late when it was asked, or has been switched
    // on since. None of its frames can be taken until its version is read,
    // its engine speed is only right with its ignition system, and the
    // temperature instruments follow its features.
    const bool answered =
        std::any_of(frames.begin(), frames.end(), [](const LiveFrame& f) { return f.received > 0; });
    // Version and features are both byte 0 of the version answer: two reads
    // that disagree took a stray byte for it, and are read again.
    const int version = controller_->versionCode();
    const bool unknown =
        version == 0 || !controller_->knownFlags() || controller_->featureVersion() != version;
    if (answered && unknown && (!sinceRelearn_.isValid() || sinceRelearn_.elapsed() >= RetryMs)) {
        sinceRelearn_.start();
        readControllerAgain(false);
        publishState();
    }
}

void LinkWorker::shutdown() {
    stopAllPolls();
    if (channel_) channel_->ClosePort();
    QThread::currentThread()->quit();
}

void LinkWorker::Reporter::answerStatus(bool answered) {
    const int v = answered ? 1 : 0;
    if (v == w.lastAnswer_) return;
    w.lastAnswer_ = v;
    emit w.answerStatusChanged(answered);
}

void LinkWorker::Reporter::silentPolls(int count) {
    if (count == w.lastSilence_) return;
    w.lastSilence_ = count;
    emit w.silentPollsChanged(count);
}
