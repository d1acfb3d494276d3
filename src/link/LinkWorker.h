#pragma once
#include "link/Clock.h"
#include "link/Controller.h"
#include "link/LinkObserver.h"
#include "link/LinkState.h"
#include "link/LinkTrace.h"
#include "link/SerialChannel.h"
#include "link/SerialPort.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QVector>
#include <functional>
#include <memory>

class QTimer;

// The controller link on its own thread: it owns the port, the channel and the
// protocol, runs jobs strictly in the order they were posted and runs the
// polling timers between them. Only ControllerLink talks to it.
class LinkWorker : public QObject {
    Q_OBJECT
public:
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;
    using ClockFactory = std::function<std::unique_ptr<Clock>()>;
    using Work = std::function<void(Controller&)>;
    static constexpr int RetryMs = 1000;

    // trace: where the channel records while a trace is on; outlives the worker.
    LinkWorker(PortFactory makePort, ClockFactory makeClock, LinkTrace* trace = nullptr);
    ~LinkWorker() override;

    // All of these run on the worker thread.
    void init();
    void execute(quint64 id, const Work& work);
    void startPoll(const QString& name, int intervalMs, int framesPerTick, bool quick, quint64 run);
    void stopPoll(const QString& name);
    void stopAllPolls();
    void shutdown();

signals:
    void jobFinished(quint64 id);
    void framesPolled(const QString& name, quint64 run, const QVector<LiveFrame>& frames);
    void stateChanged(const LinkState& state);
    void answerStatusChanged(bool answered);
    void silentPollsChanged(int count);
    void portOpenFailed(const PortError& error);
    void portOpened(const QString& port);
    void portLost(const PortError& error);
    void versionRead(int code);

private:
    // Turns what the exchanges report into the worker's signals.
    struct Reporter final : LinkObserver {
        explicit Reporter(LinkWorker& w) : w(w) {}
        void answerStatus(bool answered) override;
        void silentPolls(int count) override;
        void portOpenFailed(const PortError& error) override { emit w.portOpenFailed(error); }
        void portOpened(const QString& port) override { emit w.portOpened(port); }
        void portLost(const PortError& error) override { emit w.portLost(error); }
        void versionRead(int code) override { emit w.versionRead(code); }
        LinkWorker& w;
    };

    struct Poll {
        QTimer* timer = nullptr;
        int framesPerTick = 1;
        bool quick = false;
        quint64 run = 0;
    };

    void tick(const QString& name);
    // A poll on a port that ought to be open but is not (gone, or its open
    // failed) tries to open it again, at most once per RetryMs, and reads the
    // controller again on it before polling goes on; true when open.
    bool portReady();
    // ReadVersion and, when a controller answered it, ReadIgnition, and
    // ReadFeatureVersion and ReadAnalogCapability unless the same version was
    // known with the same features (everything: always); then the port opened
    // again for the polls. True when it is open.
    bool readControllerAgain(bool everything);
    void publishState();

    Reporter reporter_{*this};
    PortFactory makePort_;
    ClockFactory makeClock_;
    LinkTrace* trace_ = nullptr;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<Clock> clock_;
    std::unique_ptr<SerialChannel> channel_;
    std::unique_ptr<Controller> controller_;
    QHash<QString, Poll> polls_;
    LinkState published_;
    bool publishedOnce_ = false;
    int lastAnswer_ = -1; // -1 unknown, 0 silent, 1 answered
    int lastSilence_ = -1;
    QElapsedTimer sinceRetry_;
    QElapsedTimer sinceRelearn_; // the last read for polls answered without a version or ignition
};
