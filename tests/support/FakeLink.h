#pragma once
// In-memory port and clock for unit tests: every byte, wait, open and close is
// recorded in one timeline, and answers are scripted per command byte.
#include "link/Clock.h"
#include "link/SerialPort.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

struct LinkEvent {
    enum Kind { Open, OpenFailed, Close, Tx, Sleep, Rx } kind;
    qint64 atUs;  // fake time when it happened
    int value;    // byte sent, ms slept or bytes read
    QString text; // device for Open/OpenFailed
};

class FakeClock : public Clock {
public:
    explicit FakeClock(std::vector<LinkEvent>* log = nullptr) : log_(log) {}
    void sleepMs(int ms) override;
    qint64 nowUs() const override { return now_; }
    void advanceUs(qint64 us) { now_ += us; }
    void setLog(std::vector<LinkEvent>* log) { log_ = log; }

private:
    std::vector<LinkEvent>* log_;
    qint64 now_ = 1000000;
};

class FakePort : public SerialPort {
public:
    FakePort(FakeClock& clock, std::vector<LinkEvent>* log) : clock_(clock), log_(log) {}

    // Devices that open; any other device fails with reason "No such file or directory".
    QStringList existing{QStringLiteral("/dev/ttyS0")};
    // Devices that exist but refuse with a permission error.
    QStringList denied;
    // Called for each byte sent; returns the bytes of the answer to queue (may be empty).
    std::function<QByteArray(std::uint8_t)> responder;
    // Delay before queued answers become readable (fake time).
    qint64 answerDelayUs = 0;
    // Also record receives that find nothing, as "rx 0".
    bool recordSilentRx = false;

    // Puts bytes into the receive queue, readable at once.
    void inject(const QByteArray& bytes);
    std::vector<std::uint8_t> sentBytes() const;

    bool open(const QString& device, QString* reason, bool* permissionDenied) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool sendImmediate(std::uint8_t byte) override;
    int bytesWaiting() override;
    int readNow(std::uint8_t* dst, int max) override;
    void waitTransmitIdle() override {}

    int openCount = 0;

private:
    struct Pending {
        qint64 dueUs;
        std::uint8_t byte;
    };
    FakeClock& clock_;
    std::vector<LinkEvent>* log_;
    bool open_ = false;
    std::deque<Pending> queue_;
};

// Readable dump of a timeline: "open /dev/ttyS0", "tx 01", "sleep 20", "rx 2", "close".
QStringList describe(const std::vector<LinkEvent>& log, bool withGaps = true);
