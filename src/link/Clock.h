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

class SystemClock : public Clock {
public:
    void sleepMs(int ms) override;
    qint64 nowUs() const override;
};
