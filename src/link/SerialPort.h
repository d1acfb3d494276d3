#pragma once
#include <QString>
#include <cstdint>

// The platform side of the serial channel: one device, 9600 8N1, no flow
// control, DTR and RTS inactive. Implementations never wait for data.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Opens the device exclusively. On failure, *reason gets the system's words
    // and *permissionDenied tells whether access rights were the cause.
    virtual bool open(const QString& device, QString* reason, bool* permissionDenied) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Sends one byte at once, ahead of anything queued.
    virtual bool sendImmediate(std::uint8_t byte) = 0;
    // Number of received bytes waiting, clearing line errors; -1 when the
    // query fails (no port open).
    virtual int bytesWaiting() = 0;
    // Reads up to max waiting bytes without waiting; returns how many.
    virtual int readNow(std::uint8_t* dst, int max) = 0;
    // Returns once the transmitter is idle.
    virtual void waitTransmitIdle() = 0;
};
