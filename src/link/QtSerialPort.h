#pragma once
#include "link/SerialPort.h"

#include <QElapsedTimer>
#include <QList>
#include <memory>

class QSerialPort;

// The real port, on QSerialPort, used synchronously without an event loop.
class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    bool open(const QString& device, QString* reason, PortFailure* failure) override;
    void close() override;
    bool isOpen() const override;
    bool sendImmediate(std::uint8_t byte) override;
    int bytesWaiting() override;
    int readNow(std::uint8_t* dst, int max) override;
    void waitTransmitIdle() override;
    int discardInput() override;
    bool lost() const override { return isOpen() && lost_; }
    QString lostReason() const override { return lostReason_; }
    bool comListed(int n) const override;

private:
    // A resource error means the device went away under the open handle.
    void noteError();
    void clearError();

    std::unique_ptr<QSerialPort> port_;
    bool lost_ = false;
    QString lostReason_;
    // The system's port list, asked at most once a second: opens come in bursts.
    mutable QList<int> listed_;
    mutable QElapsedTimer listedAge_;
};
