#pragma once
#include "link/Clock.h"
#include "link/Controller.h"
#include "link/LinkObserver.h"
#include "link/LinkState.h"
#include "link/LinkTrace.h"
#include "link/SerialPort.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QVector>
#include <deque>
#include <functional>
#include <memory>

class QThread;
class LinkWorker;

// The GUI's side of the controller link. The protocol itself stays
// synchronous, with its fixed waits, but runs on a worker thread: the GUI
// posts jobs (one exchange or one whole procedure that must not be
// interleaved) which run strictly in order, and gets their results, the live
// frames of the polling timers and the link's state back as queued signals.
// The window never blocks on the serial line.
class ControllerLink : public QObject {
    Q_OBJECT
public:
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;
    using ClockFactory = std::function<std::unique_ptr<Clock>()>;
    using Work = std::function<void(Controller&)>;

    // The factories run on the worker thread, which alone uses the port.
    ControllerLink(PortFactory makePort, ClockFactory makeClock, QObject* parent = nullptr);
    // Lets the jobs already posted finish (a write is never cut short), then stops the thread.
    ~ControllerLink() override;

    // Runs work on the worker; done runs afterwards on the GUI thread, unless
    // receiver has gone or supersede() was called in between.
    void run(QObject* receiver, Work work, std::function<void()> done = {});
    template <class R>
    void call(QObject* receiver, std::function<R(Controller&)> work, std::function<void(const R&)> done) {
        auto result = std::make_shared<R>();
        run(
            receiver, [work = std::move(work), result](Controller& c) { *result = work(c); },
            [done = std::move(done), result] {
                if (done) done(*result);
            });
    }

    // True while posted jobs have not finished (polling does not count).
    bool busy() const { return outstanding_ > 0; }
    // Runs action now when nothing is busy and nothing is held, otherwise
    // after everything posted and held before it has finished: actions that
    // start exchanges or change the page never interleave with a sequence.
    void whenIdle(QObject* receiver, std::function<void()> action);
    int heldActions() const { return static_cast<int>(held_.size()); }

    // A polling timer on the worker: every intervalMs, framesPerTick live polls
    // whose frames arrive through framesPolled(name, ...). Quick polls take
    // each frame as soon as it is in (Controller::PollLiveFrame).
    void startPolling(const QString& name, int intervalMs, int framesPerTick = 1, bool quick = false);
    void stopPolling(const QString& name);
    void stopAllPolling();
    bool isPolling(const QString& name) const { return polls_.contains(name); }
    QStringList activePolls() const { return polls_.keys(); }

    // Results of jobs posted before this call, and frames polled before it,
    // are not delivered any more (a page change superseded them).
    void supersede();

    // The port the next exchange opens, and where each COMn lives.
    void setSelectedPort(const QString& name);
    QString selectedPort() const { return state_.selectedPort; }
    void setDevicePath(int comNumber, const QString& path);
    QMap<int, QString> deviceMap() const { return devices_; }
    // The device the selected port (or any port name) opens.
    QString devicePath(const QString& portName) const;

    const LinkState& state() const { return state_; }

    // The protocol trace: off until someone switches it on (trace().setOn),
    // then every byte, pause and port event of the link's thread waits here
    // to be taken, unformatted.
    TraceBuffer& trace() { return *trace_; }

signals:
    void stateChanged(const LinkState& state);
    void framesPolled(const QString& name, const QVector<LiveFrame>& frames);
    // A receive found bytes (true) or nothing (false).
    void answerStatusChanged(bool answered);
    // Consecutive silent live-poll receives.
    void silentPollsChanged(int count);
    void portOpenFailed(const PortError& error);
    void portOpened(const QString& port);
    // The open port stopped working (device removed); it was closed. Polling
    // tries it again about once a second and goes on when portOpened comes.
    void portLost(const PortError& error);
    void versionRead(int code);
    void busyChanged(bool busy);

private:
    struct Pending {
        quint64 generation;
        bool hasReceiver;
        QPointer<QObject> receiver;
        std::function<void()> done;
    };
    struct Held {
        bool hasReceiver;
        QPointer<QObject> receiver;
        std::function<void()> action;
    };

    void onJobFinished(quint64 id);
    void onFramesPolled(const QString& name, quint64 run, const QVector<LiveFrame>& frames);
    void onStateChanged(const LinkState& state);
    void drainHeld();
    void setOutstanding(int n);

    // Made before the worker and gone after its thread: the channel records into it.
    std::unique_ptr<TraceBuffer> trace_ = std::make_unique<TraceBuffer>();
    QThread* thread_ = nullptr;
    LinkWorker* worker_ = nullptr;
    LinkState state_;
    QMap<int, QString> devices_;
    QHash<quint64, Pending> pending_;
    std::deque<Held> held_;
    QHash<QString, quint64> polls_; // active polls and the run each was started as
    quint64 nextId_ = 0;
    quint64 nextRun_ = 0;
    quint64 generation_ = 0;
    int outstanding_ = 0;
    bool draining_ = false;
};
