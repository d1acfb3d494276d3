#pragma once
// The link thread's event loop. The thread does two things: run the jobs and
// polls posted to it, and wait for its poll timers. Its port is used only
// synchronously (every exchange reads and waits by itself), so the port's
// notifiers are never watched. A general event loop would poll the port and a
// wake-up handle at every turn, and be woken again by each change of the
// port's notifiers: at 20 polls a second that is most of the thread's work.
#include <QAbstractEventDispatcher>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

class LinkDispatcher final : public QAbstractEventDispatcher {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit LinkDispatcher(QObject* parent = nullptr);

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    void registerSocketNotifier(QSocketNotifier*) override {}
    void unregisterSocketNotifier(QSocketNotifier*) override {}
    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;
    void wakeUp() override;
    void interrupt() override;
#ifdef Q_OS_WIN
    bool registerEventNotifier(QWinEventNotifier*) override {
        return false;
    }
    void unregisterEventNotifier(QWinEventNotifier*) override {}
#endif

private:
    struct Timer {
        int id;
        qint64 interval;
        Qt::TimerType type;
        QObject* object;
        Clock::time_point due;
    };
    // Sends the timer events that are due; true when any was sent.
    bool fireDue();
    Clock::time_point nextDue() const;

    std::vector<Timer> timers_;
    std::vector<int> firing_; // ids of the timers being sent, against re-entry
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wakeUp_ = false;    // guarded by mutex_
    bool interrupt_ = false; // guarded by mutex_
};
