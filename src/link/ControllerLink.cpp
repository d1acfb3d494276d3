#include "link/ControllerLink.h"

#include "link/LinkDispatcher.h"
#include "link/LinkWorker.h"

#include <QThread>

ControllerLink::ControllerLink(PortFactory makePort, ClockFactory makeClock, QObject* parent)
    : QObject(parent) {
    qRegisterMetaType<LinkState>();
    qRegisterMetaType<LiveFrame>();
    qRegisterMetaType<PortError>();
    qRegisterMetaType<QVector<LiveFrame>>();

    thread_ = new QThread(this);
    thread_->setObjectName(QStringLiteral("ControllerLink"));
    worker_ = new LinkWorker(std::move(makePort), std::move(makeClock), trace_.get());
    worker_->moveToThread(thread_);
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);

    connect(worker_, &LinkWorker::jobFinished, this, &ControllerLink::onJobFinished);
    connect(worker_, &LinkWorker::framesPolled, this, &ControllerLink::onFramesPolled);
    connect(worker_, &LinkWorker::stateChanged, this, &ControllerLink::onStateChanged);
    connect(worker_, &LinkWorker::answerStatusChanged, this, &ControllerLink::answerStatusChanged);
    connect(worker_, &LinkWorker::silentPollsChanged, this, &ControllerLink::silentPollsChanged);
    connect(worker_, &LinkWorker::portOpenFailed, this, &ControllerLink::portOpenFailed);
    connect(worker_, &LinkWorker::portOpened, this, &ControllerLink::portOpened);
    connect(worker_, &LinkWorker::portLost, this, &ControllerLink::portLost);
    connect(worker_, &LinkWorker::versionRead, this, &ControllerLink::versionRead);

#ifdef Q_OS_UNIX
    // Windows' serial port waits on event notifiers, which this loop does not serve.
    thread_->setEventDispatcher(new LinkDispatcher);
#endif
    thread_->start();
    QMetaObject::invokeMethod(
        worker_, [w = worker_] { w->init(); }, Qt::QueuedConnection);
}

ControllerLink::~ControllerLink() {
    // Posted after every job already queued, so none of them is cut short.
    QMetaObject::invokeMethod(
        worker_, [w = worker_] { w->shutdown(); }, Qt::QueuedConnection);
    thread_->wait();
}

void ControllerLink::setOutstanding(int n) {
    const bool was = busy();
    outstanding_ = n;
    if (was != busy()) emit busyChanged(busy());
}

void ControllerLink::run(QObject* receiver, Work work, std::function<void()> done) {
    const quint64 id = ++nextId_;
    pending_.insert(id, Pending{generation_, receiver != nullptr, receiver, std::move(done)});
    setOutstanding(outstanding_ + 1);
    QMetaObject::invokeMethod(
        worker_, [w = worker_, id, work = std::move(work)] { w->execute(id, work); }, Qt::QueuedConnection);
}

void ControllerLink::onJobFinished(quint64 id) {
    Pending p = pending_.take(id);
    const bool deliver = p.generation == generation_ && (!p.hasReceiver || p.receiver);
    // Counted down first: a job the callback posts keeps the link busy, so no
    // held action can slip in between two steps of one procedure.
    setOutstanding(outstanding_ - 1);
    if (deliver && p.done) p.done();
    drainHeld();
}

void ControllerLink::whenIdle(QObject* receiver, std::function<void()> action) {
    held_.push_back(Held{receiver != nullptr, receiver, std::move(action)});
    drainHeld();
}

void ControllerLink::drainHeld() {
    if (draining_) return;
    draining_ = true;
    while (!busy() && !held_.empty()) {
        Held h = std::move(held_.front());
        held_.pop_front();
        if (h.hasReceiver && !h.receiver) continue;
        if (h.action) h.action();
    }
    draining_ = false;
}

void ControllerLink::startPolling(const QString& name, int intervalMs, int framesPerTick, bool quick) {
    const quint64 run = ++nextRun_;
    polls_.insert(name, run);
    QMetaObject::invokeMethod(
        worker_,
        [w = worker_, name, intervalMs, framesPerTick, quick, run] {
            w->startPoll(name, intervalMs, framesPerTick, quick, run);
        },
        Qt::QueuedConnection);
}

void ControllerLink::stopPolling(const QString& name) {
    polls_.remove(name);
    QMetaObject::invokeMethod(
        worker_, [w = worker_, name] { w->stopPoll(name); }, Qt::QueuedConnection);
}

void ControllerLink::stopAllPolling() {
    polls_.clear();
    QMetaObject::invokeMethod(
        worker_, [w = worker_] { w->stopAllPolls(); }, Qt::QueuedConnection);
}

void ControllerLink::onFramesPolled(const QString& name, quint64 run, const QVector<LiveFrame>& frames) {
    const auto it = polls_.constFind(name);
    // A poll stopped or restarted since: its frames belong to a page that is gone.
    if (it == polls_.constEnd() || it.value() != run) return;
    emit framesPolled(name, frames);
}

void ControllerLink::supersede() {
    ++generation_;
}

void ControllerLink::onStateChanged(const LinkState& state) {
    state_ = state;
    emit stateChanged(state_);
}

void ControllerLink::setSelectedPort(const QString& name) {
    const QString port = SerialChannel::comNumber(name) > 0 ? name.toLower() : name;
    state_.selectedPort = port;
    run(nullptr, [port](Controller& c) { c.channel().setSelectedPort(port); });
}

void ControllerLink::setDevicePath(int comNumber, const QString& path) {
    if (comNumber <= 0) return;
    devices_[comNumber] = path;
    run(nullptr, [comNumber, path](Controller& c) { c.channel().setDevicePath(comNumber, path); });
}

QString ControllerLink::devicePath(const QString& portName) const {
    const int n = SerialChannel::comNumber(portName);
    if (n > 0 && devices_.contains(n)) return devices_.value(n);
    return SerialChannel::defaultDevicePath(portName);
}
