#include "link/QtSerialPort.h"

#include "link/Logging.h"
#include "link/SerialDevices.h"

#include <QFileInfo>
#include <QSerialPort>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
// The driver queue the controller's answers fit in; what does not fit waits
// in the system for the next receive.
constexpr qint64 QueueSize = 256;
constexpr qint64 ListAgeMs = 1000;

PortFailure failureOf(QSerialPort::SerialPortError e, const QString& device) {
    switch (e) {
    case QSerialPort::DeviceNotFoundError:
        return PortFailure::NotFound;
    case QSerialPort::OpenError: // open already
        return PortFailure::Busy;
    case QSerialPort::PermissionError: {
#ifdef Q_OS_WIN
        return PortFailure::Busy; // Windows refuses a port another program holds
#else
        // One code for want of rights and for a port another program holds
        // (or locks): the device's rights tell which.
        const QFileInfo f(device.startsWith(QLatin1Char('/')) ? device : QStringLiteral("/dev/") + device);
        return f.isReadable() && f.isWritable() ? PortFailure::Busy : PortFailure::PermissionDenied;
#endif
    }
    default:
        return PortFailure::Other;
    }
}
} // namespace

QtSerialPort::QtSerialPort() = default;
QtSerialPort::~QtSerialPort() {
    close();
}

bool QtSerialPort::open(const QString& device, QString* reason, PortFailure* failure) {
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(device);
    port_->setReadBufferSize(QueueSize);
    // QSerialPort opens exclusively (lock file and TIOCEXCL, or no sharing on Windows).
    if (!port_->open(QIODevice::ReadWrite)) {
        qCDebug(lcLink) << "cannot open" << device << port_->errorString();
        if (reason) *reason = port_->errorString();
        if (failure) *failure = failureOf(port_->error(), device);
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
    lost_ = false;
    lostReason_.clear();
    qCDebug(lcLink) << "opened" << device;
    return true;
}

void QtSerialPort::close() {
    if (port_) {
        if (port_->isOpen()) port_->close();
        port_.reset();
    }
    lost_ = false;
}

bool QtSerialPort::isOpen() const {
    return port_ && port_->isOpen();
}

void QtSerialPort::noteError() {
    if (port_->error() == QSerialPort::ResourceError && !lost_) {
        lost_ = true;
        lostReason_ = port_->errorString();
        qCDebug(lcLink) << "port lost:" << lostReason_;
    }
}

void QtSerialPort::clearError() {
    // Clearing words the error anew (a translation) and signals it: only
    // when there is one, since every poll asks.
    if (port_->error() != QSerialPort::NoError) port_->clearError();
}

bool QtSerialPort::sendImmediate(std::uint8_t byte) {
    if (!isOpen() || lost_) return false;
    const char c = static_cast<char>(byte);
    if (port_->write(&c, 1) != 1) {
        noteError();
        return false;
    }
    // No event loop runs during an exchange: hand the byte to the driver now.
    const bool ok = port_->flush() || port_->bytesToWrite() == 0;
    if (!ok) {
        noteError();
        // A byte the device refused must not go out with a later one.
        if (lost_) port_->clear(QSerialPort::Output);
    }
    return ok;
}

int QtSerialPort::bytesWaiting() {
    if (!isOpen() || lost_) return -1;
    // Without an event loop nothing moves bytes from the driver into the
    // port's buffer: pull what is there, without waiting. One pull takes all
    // the driver holds, up to the queue size.
    if (port_->bytesAvailable() < QueueSize) port_->waitForReadyRead(0);
    const qint64 have = port_->bytesAvailable();
    noteError();
    if (lost_) return -1;
    // Parity, framing and overrun errors are of no interest to the exchanges.
    clearError();
    return static_cast<int>(qMin(have, QueueSize));
}

int QtSerialPort::readNow(std::uint8_t* dst, int max) {
    if (!isOpen() || max <= 0) return 0;
    const qint64 n = port_->read(reinterpret_cast<char*>(dst), max);
    return n > 0 ? static_cast<int>(n) : 0;
}

void QtSerialPort::waitTransmitIdle() {
    if (isOpen() && !lost_) port_->flush();
}

int QtSerialPort::discardInput() {
    // What has already arrived is counted; the driver's queue is then flushed too.
    const int dropped = bytesWaiting();
    if (dropped < 0) return 0;
    port_->clear(QSerialPort::Input);
    clearError();
    return dropped;
}

bool QtSerialPort::comListed(int n) const {
    if (!listedAge_.isValid() || listedAge_.elapsed() > ListAgeMs) {
        listed_.clear();
        const QList<PortReport> reports = systemPortReports();
        for (int k = 1; k <= 8; ++k)
            if (comPortListed(k, reports)) listed_.append(k);
        listedAge_.start();
    }
    return listed_.contains(n);
}
