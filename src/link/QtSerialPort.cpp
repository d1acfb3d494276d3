#include "link/QtSerialPort.h"

#include <QSerialPort>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
// The driver queue the controller's answers fit in; what does not fit waits
// in the system for the next receive.
constexpr qint64 QueueSize = 256;
} // namespace

QtSerialPort::QtSerialPort() = default;
QtSerialPort::~QtSerialPort() {
    close();
}

bool QtSerialPort::open(const QString& device, QString* reason, bool* permissionDenied) {
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(device);
    port_->setReadBufferSize(QueueSize);
    // QSerialPort opens exclusively (lock file and TIOCEXCL, or no sharing on Windows).
    if (!port_->open(QIODevice::ReadWrite)) {
        if (reason) *reason = port_->errorString();
        if (permissionDenied) *permissionDenied = port_->error() == QSerialPort::PermissionError;
        port_.reset();
        return false;
    }
#ifdef Q_OS_WIN
    SetupComm(reinterpret_cast<HANDLE>(port_->handle()), QueueSize, QueueSize);
#endif
    // Line settings; failures here (a pseudo-terminal has no modem lines) are
    // not examined, as on the controller's own cable.
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    port_->clearError();
    return true;
}

void QtSerialPort::close() {
    if (port_) {
        if (port_->isOpen()) port_->close();
        port_.reset();
    }
}

bool QtSerialPort::isOpen() const {
    return port_ && port_->isOpen();
}

bool QtSerialPort::sendImmediate(std::uint8_t byte) {
    if (!isOpen()) return false;
    const char c = static_cast<char>(byte);
    if (port_->write(&c, 1) != 1) return false;
    // No event loop runs during an exchange: hand the byte to the driver now.
    return port_->flush() || port_->bytesToWrite() == 0;
}

int QtSerialPort::bytesWaiting() {
    if (!isOpen()) return -1;
    // Without an event loop nothing moves bytes from the driver into the
    // port's buffer: pull what is there, without waiting, up to the queue size.
    qint64 have = port_->bytesAvailable();
    while (have < QueueSize) {
        if (!port_->waitForReadyRead(0)) break;
        const qint64 now = port_->bytesAvailable();
        if (now <= have) break;
        have = now;
    }
    // Parity, framing and overrun errors are of no interest to the exchanges.
    port_->clearError();
    return static_cast<int>(qMin(have, QueueSize));
}

int QtSerialPort::readNow(std::uint8_t* dst, int max) {
    if (!isOpen() || max <= 0) return 0;
    const qint64 n = port_->read(reinterpret_cast<char*>(dst), max);
    return n > 0 ? static_cast<int>(n) : 0;
}

void QtSerialPort::waitTransmitIdle() {
    if (isOpen()) port_->flush();
}
