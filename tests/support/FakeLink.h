#pragma once
// In-memory port and clock for unit tests: every byte, wait, open and close is
// recorded in one timeline, and answers are scripted per command byte.
#include "link/Clock.h"
#include "link/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct LinkEvent {
    enum Kind { Open, OpenFailed, Close, Tx, Sleep, Rx, Drop } kind;
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
    // Delay before queued answers become readable (fake time); answers paced
    // answerByteUs a byte, stopping answerPauseUs after their first
    // answerPauseAfter bytes (a USB adapter's latency, a sender that lost the
    // processor). Answers follow each other in order.
    qint64 answerDelayUs = 0;
    qint64 answerByteUs = 0;
    int answerPauseAfter = 0;
    qint64 answerPauseUs = 0;
    // Also record receives that find nothing, as "rx 0".
    bool recordSilentRx = false;
    // COM numbers whose default device the system does not list as a serial port.
    QList<int> unlistedComs;

    // Puts bytes into the receive queue, readable at once, or after afterUs.
    void inject(const QByteArray& bytes);
    void injectAfter(const QByteArray& bytes, qint64 afterUs);
    std::vector<std::uint8_t> sentBytes() const;

    bool open(const QString& device, QString* reason, PortFailure* failure) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool sendImmediate(std::uint8_t byte) override;
    int bytesWaiting() override;
    int readNow(std::uint8_t* dst, int max) override;
    void waitTransmitIdle() override {}
    int discardInput() override;
    bool lost() const override { return open_ && lost_; }
    QString lostReason() const override { return QStringLiteral("Input/output error"); }
    bool comListed(int n) const override { return !unlistedComs.contains(n); }

    // The open device goes away under its handle: sends and receives fail
    // and the port reports itself lost. With `vanish` its path goes too (opens
    // fail), until plugIn() brings it back.
    void unplug(bool vanish = true);
    void plugIn();

    int openCount = 0;

private:
    struct Pending {
        qint64 dueUs;
        std::uint8_t byte;
    };
    FakeClock& clock_;
    std::vector<LinkEvent>* log_;
    bool open_ = false;
    bool lost_ = false;
    QString device_; // the device last opened
    QString vanished_;
    std::deque<Pending> queue_;
};

// Readable dump of a timeline: "open /dev/ttyS0", "tx 01", "sleep 20", "rx 2", "close".
QStringList describe(const std::vector<LinkEvent>& log, bool withGaps = true);

// The link's worker thread makes its own port and clock; these hand it ones
// that forward to objects the test owns (and reads once the link is idle).
class PortProxy : public SerialPort {
public:
    explicit PortProxy(SerialPort& target) : t_(target) {}
    bool open(const QString& device, QString* reason, PortFailure* failure) override {
        return t_.open(device, reason, failure);
    }
    void close() override { t_.close(); }
    bool isOpen() const override { return t_.isOpen(); }
    bool sendImmediate(std::uint8_t byte) override { return t_.sendImmediate(byte); }
    int bytesWaiting() override { return t_.bytesWaiting(); }
    int readNow(std::uint8_t* dst, int max) override { return t_.readNow(dst, max); }
    void waitTransmitIdle() override { t_.waitTransmitIdle(); }
    int discardInput() override { return t_.discardInput(); }
    bool lost() const override { return t_.lost(); }
    QString lostReason() const override { return t_.lostReason(); }
    bool comListed(int n) const override { return t_.comListed(n); }

private:
    SerialPort& t_;
};

class ClockProxy : public Clock {
public:
    explicit ClockProxy(Clock& target) : t_(target) {}
    void sleepMs(int ms) override { t_.sleepMs(ms); }
    qint64 nowUs() const override { return t_.nowUs(); }

private:
    Clock& t_;
};

// Records a real port's opens, closes, bytes sent and received, and the
// clock's sleeps, in the same timeline format as FakePort and FakeClock.
class RecordingPort : public SerialPort {
public:
    RecordingPort(std::unique_ptr<SerialPort> inner, std::vector<LinkEvent>* log)
        : inner_(std::move(inner)), log_(log) {}
    bool open(const QString& device, QString* reason, PortFailure* failure) override;
    void close() override;
    bool isOpen() const override { return inner_->isOpen(); }
    bool sendImmediate(std::uint8_t byte) override;
    int bytesWaiting() override { return inner_->bytesWaiting(); }
    int readNow(std::uint8_t* dst, int max) override;
    void waitTransmitIdle() override { inner_->waitTransmitIdle(); }
    int discardInput() override;
    bool lost() const override { return inner_->lost(); }
    QString lostReason() const override { return inner_->lostReason(); }
    bool comListed(int n) const override { return inner_->comListed(n); }

private:
    std::unique_ptr<SerialPort> inner_;
    std::vector<LinkEvent>* log_;
};

class RecordingClock : public Clock {
public:
    RecordingClock(std::unique_ptr<Clock> inner, std::vector<LinkEvent>* log)
        : inner_(std::move(inner)), log_(log) {}
    void sleepMs(int ms) override {
        log_->push_back({LinkEvent::Sleep, inner_->nowUs(), ms, {}});
        inner_->sleepMs(ms);
    }
    qint64 nowUs() const override { return inner_->nowUs(); }

private:
    std::unique_ptr<Clock> inner_;
    std::vector<LinkEvent>* log_;
};
