#include "link/LinkDispatcher.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <algorithm>
#include <utility>

LinkDispatcher::LinkDispatcher(QObject* parent) : QAbstractEventDispatcher(parent) {}

bool LinkDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags) {
    {
        const std::lock_guard lock(mutex_);
        interrupt_ = false;
    }
    emit awake();
    const auto takeWakeUp = [this] {
        const std::lock_guard lock(mutex_);
        return std::exchange(wakeUp_, false);
    };
    for (;;) {
        bool posted = takeWakeUp();
        QCoreApplication::sendPostedEvents();
        // What was posted while those ran goes before any timer too: the
        // steps a procedure posts together (stop the polls, then write) must
        // not let a poll that fell due meanwhile in between.
        while (takeWakeUp()) {
            posted = true;
            QCoreApplication::sendPostedEvents();
        }
        const bool fired = fireDue();
        if (posted || fired || !(flags & QEventLoop::WaitForMoreEvents)) return posted || fired;
        emit aboutToBlock();
        {
            std::unique_lock lock(mutex_);
            const auto woken = [this] { return wakeUp_ || interrupt_; };
            const auto due = nextDue();
            if (due == Clock::time_point::max())
                woken_.wait(lock, woken);
            else
                woken_.wait_until(lock, due, woken);
            if (interrupt_) return false;
        }
        emit awake();
    }
}

LinkDispatcher::Clock::time_point LinkDispatcher::nextDue() const {
    auto due = Clock::time_point::max();
    for (const Timer& t : timers_)
        if (std::find(firing_.begin(), firing_.end(), t.id) == firing_.end()) due = std::min(due, t.due);
    return due;
}

bool LinkDispatcher::fireDue() {
    const auto now = Clock::now();
    bool any = false;
    for (;;) {
        const auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) {
            return t.due <= now && std::find(firing_.begin(), firing_.end(), t.id) == firing_.end();
        });
        if (it == timers_.end()) return any;
        // The next time first: the timer's receiver may stop or start it again.
        const auto step = std::chrono::milliseconds(it->interval);
        it->due += step;
        // A timer that fell behind (a long job ran) fires once, then keeps its period from now.
        if (it->due <= now) it->due = now + step + std::chrono::nanoseconds(1);
        const int id = it->id;
        QObject* object = it->object;
        firing_.push_back(id);
        QTimerEvent event(id);
        QCoreApplication::sendEvent(object, &event);
        firing_.erase(std::find(firing_.begin(), firing_.end(), id));
        any = true;
    }
}

void LinkDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) {
    timers_.push_back(
        {timerId, interval, timerType, object, Clock::now() + std::chrono::milliseconds(interval)});
}

bool LinkDispatcher::unregisterTimer(int timerId) {
    const auto it =
        std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id == timerId; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    return true;
}

bool LinkDispatcher::unregisterTimers(QObject* object) {
    const auto before = timers_.size();
    timers_.erase(
        std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.object == object; }),
        timers_.end());
    return timers_.size() != before;
}

QList<QAbstractEventDispatcher::TimerInfo> LinkDispatcher::registeredTimers(QObject* object) const {
    QList<TimerInfo> list;
    for (const Timer& t : timers_)
        if (t.object == object) list.append(TimerInfo(t.id, int(t.interval), t.type));
    return list;
}

int LinkDispatcher::remainingTime(int timerId) {
    for (const Timer& t : timers_)
        if (t.id == timerId) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t.due - Clock::now());
            return int(std::max<qint64>(0, left.count()));
        }
    return -1;
}

void LinkDispatcher::wakeUp() {
    {
        const std::lock_guard lock(mutex_);
        wakeUp_ = true;
    }
    woken_.notify_one();
}

void LinkDispatcher::interrupt() {
    {
        const std::lock_guard lock(mutex_);
        interrupt_ = true;
    }
    woken_.notify_one();
}
