#include "link/Clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

SystemClock::SystemClock() {
#ifdef Q_OS_LINUX
    // The default 50 µs of slack lets every wake-up come late; the waits are
    // few and short, so precision costs nothing here.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

void SystemClock::sleepMs(int ms) {
    if (ms <= 0) return;
    if (defer_) {
        dueUs_ = std::max(dueUs_, nowUs()) + qint64(ms) * 1000;
        return;
    }
    waitUntil(nowUs() + qint64(ms) * 1000);
}

void SystemClock::settle() {
    if (dueUs_ == 0) return;
    waitUntil(dueUs_);
    dueUs_ = 0;
}

void SystemClock::waitUntil(qint64 dueUs) const {
    using namespace std::chrono;
    const steady_clock::time_point deadline{microseconds(dueUs)};
    const auto coarse = deadline - microseconds(spinUs_);
    if (steady_clock::now() < coarse) std::this_thread::sleep_until(coarse);
    while (steady_clock::now() < deadline) {
    }
}

qint64 SystemClock::nowUs() const {
    using namespace std::chrono;
    const qint64 now = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    return std::max(now, dueUs_);
}
