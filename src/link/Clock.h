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
    // Asked by a user that calls settle() before each step the waits must
    // come before (a channel, before each use of its port): a clock may then
    // hold waits back and wait out consecutive ones at once, one wake-up
    // instead of several. nowUs() counts held waits as waited.
    virtual void deferWaits() {}
    virtual void settle() {}
};

// Waits the full time and barely more: the kernel's sleep is asked for an
// absolute deadline with the least timer slack. An optional last stretch can be
// spent watching the clock; it is off by default because on a busy two-core
// machine a spinning thread loses the core to others and comes back late,
// while a sleeping one is woken at once.
class SystemClock : public Clock {
public:
    SystemClock();
    void sleepMs(int ms) override;
    qint64 nowUs() const override;
    void deferWaits() override { defer_ = true; }
    void settle() override;
    // Part of each wait (µs) not left to the kernel's sleep.
    void setSpinUs(int us) { spinUs_ = us < 0 ? 0 : us; }
    int spinUs() const { return spinUs_; }

private:
    void waitUntil(qint64 dueUs) const;

    int spinUs_ = 0;
    bool defer_ = false;
    qint64 dueUs_ = 0; // end of the waits held back, 0 when none are
};
