#include "link/QtSerialPort.h"

#include <QSerialPort>

QtSerialPort::QtSerialPort() = default;
QtSerialPort::~QtSerialPort() { close(); }

bool QtSerialPort::open(const QString& device, QString* reason, bool* permissionDenied) {
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(device);
    // The driver keeps what does not fit; the next receive takes it.
    port_->setReadBufferSize(256);
    if (!port_->open(QIODevice::ReadWrite)) {
        if (reason) *reason = port_->errorString();
        if (permissionDenied) *permissionDenied = port_->error() == QSerialPort::PermissionError;
        port_.reset();
        return false;
    }
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

bool QtSerialPort::isOpen() const { return port_ && port_->isOpen(); }

bool QtSerialPort::sendImmediate(std::uint8_t byte) {
    if (!isOpen()) return false;
    const char c = static_cast<char>(byte);
    if (port_->write(&c, 1) != 1) return false;
    // No event loop runs during an exchange: push the byte to the driver now.
    port_->flush();
    return true;
}

int QtSerialPort::bytesWaiting() {
    if (!isOpen()) return -1;
    if (port_->bytesAvailable() == 0) {
        // Pull what the driver holds into the port's buffer without waiting.
        port_->waitForReadyRead(0);
    }
    port_->clearError();
    return static_cast<int>(port_->bytesAvailable());
}

int QtSerialPort::readNow(std::uint8_t* dst, int max) {
    if (!isOpen() || max <= 0) return 0;
    const qint64 n = port_->read(reinterpret_cast<char*>(dst), max);
    return n > 0 ? static_cast<int>(n) : 0;
}

void QtSerialPort::waitTransmitIdle() {
    if (isOpen()) port_->flush();
}
