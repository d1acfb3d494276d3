#include "link/Clock.h"

#include <chrono>
#include <thread>

void SystemClock::sleepMs(int ms) {
    if (ms <= 0) return;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(ms);
    const auto coarse = deadline - microseconds(SpinUs);
    if (steady_clock::now() < coarse) std::this_thread::sleep_until(coarse);
    while (steady_clock::now() < deadline)
        std::this_thread::yield();
}

qint64 SystemClock::nowUs() const {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}
