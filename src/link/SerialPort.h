#pragma once
#include <QString>
#include <cstdint>

// Why a device could not be opened, or stopped: the window says it in its own
// words (the system's are English). Unlisted: a COM port whose default device
// the system does not list as a serial port.
enum class PortFailure { Other, PermissionDenied, NotFound, Busy, Unlisted, Lost };

// The platform side of the serial channel: one device, 9600 8N1, no flow
// control, DTR and RTS inactive. Implementations never wait for data.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Opens the device exclusively. On failure, *reason gets the system's words
    // (for the trace and logs) and *failure what they mean.
    virtual bool open(const QString& device, QString* reason, PortFailure* failure) = 0;
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

    // Drops every received byte not yet read, in the driver too; nothing is
    // sent. Returns how many were dropped, as far as the platform tells.
    virtual int discardInput() {
        std::uint8_t sink[256];
        int dropped = 0;
        for (int n = bytesWaiting(); n > 0; n = bytesWaiting()) {
            const int got = readNow(sink, n < 256 ? n : 256);
            if (got <= 0) break;
            dropped += got;
        }
        return dropped;
    }
    // True once the open device has stopped working under the program: an
    // adapter pulled out, the far end of a pseudo-terminal gone. Only closing
    // and opening again can help then.
    virtual bool lost() const { return false; }
    // The system's own words for why the device was lost.
    virtual QString lostReason() const { return {}; }
    // Whether the system lists the device COMn is mapped to by default as a
    // serial port. Asked only for ports nothing maps explicitly: a default
    // device (/dev/ttyS0) may be a console or a UART that is not there.
    virtual bool comListed(int n) const {
        (void)n;
        return true;
    }
};
