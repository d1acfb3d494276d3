#pragma once
#include <QtGlobal>

// Every wait of the link goes through a Clock so that tests can check the
// waits without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepMs(int ms) = 0;
    // Monotonic time in microseconds.
    virtual qint64 nowUs() const = 0;
};

// Waits the full time and barely more: the kernel's sleep overshoots by up to a
// scheduler tick, which on 14 polls of 23 ms adds up, so the last stretch of
// every wait is spent yielding on the clock instead of sleeping.
class SystemClock : public Clock {
public:
    // Part of each wait (µs) that is not left to the kernel's sleep.
    static constexpr qint64 SpinUs = 250;
    void sleepMs(int ms) override;
    qint64 nowUs() const override;
};
