#pragma once
#include "link/SerialPort.h"

#include <memory>

class QSerialPort;

// The real port, on QSerialPort, used synchronously without an event loop.
class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    bool open(const QString& device, QString* reason, bool* permissionDenied) override;
    void close() override;
    bool isOpen() const override;
    bool sendImmediate(std::uint8_t byte) override;
    int bytesWaiting() override;
    int readNow(std::uint8_t* dst, int max) override;
    void waitTransmitIdle() override;

private:
    std::unique_ptr<QSerialPort> port_;
};
