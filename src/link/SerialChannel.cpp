#include "link/SerialChannel.h"

#include <QTimer>

SerialChannel::SerialChannel(SerialPort& port, Clock& clock, LinkObserver* observer)
    : port_(port), clock_(clock), observer_(observer) {}

int SerialChannel::comNumber(const QString& portName) {
    const QString n = portName.trimmed().toLower();
    if (!n.startsWith(QLatin1String("com"))) return 0;
    bool ok = false;
    const int v = n.mid(3).toInt(&ok);
    return ok && v > 0 ? v : 0;
}

void SerialChannel::setDevicePath(int comNumber, const QString& path) {
    if (comNumber > 0) devices_[comNumber] = path;
}

QString SerialChannel::devicePath(const QString& portName) const {
    const int n = comNumber(portName);
    if (n > 0 && devices_.contains(n)) return devices_.value(n);
#ifdef Q_OS_WIN
    return portName.toUpper();
#else
    if (n > 0) return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    return portName;
#endif
}

QString SerialChannel::text(int key) const {
    return observer_ ? observer_->languageText(key) : QString();
}

bool SerialChannel::openDevice(const QString& portName, bool report) {
    port_.close();
    const QString device = devicePath(portName);
    QString reason;
    bool denied = false;
    if (port_.open(device, &reason, &denied)) return true;
    if (report && observer_) {
        QString msg = text(LinkText::PortOpenFailed);
        if (!msg.isEmpty()) msg += QStringLiteral("\n\n");
        msg += device;
        if (!reason.isEmpty()) msg += QStringLiteral(": ") + reason;
#ifndef Q_OS_WIN
        if (denied)
            msg += QStringLiteral("\n\nThe user must be a member of the 'dialout' group "
                                  "(sudo usermod -aG dialout $USER, then log in again).");
#endif
        observer_->portOpenFailed(msg);
    }
    return false;
}

bool SerialChannel::OpenPort(const QString& portName) {
    return openDevice(portName, true);
}

bool SerialChannel::ProbePort(const QString& portName) {
    return openDevice(portName, false);
}

void SerialChannel::ClosePort() {
    port_.close();
}

bool SerialChannel::SendByte(std::uint8_t byte) {
    const bool ok = port_.isOpen() && port_.sendImmediate(byte);
    clock_.sleepMs(ByteGapMs);
    return ok;
}

SerialChannel::Receive SerialChannel::ReceiveAnswer() {
    Receive r;
    const int waiting = port_.bytesWaiting();
    r.ok = waiting >= 0;
    const int n = waiting > 0 ? waiting : 0;
    if (n > 0) {
        if (observer_) observer_->linkStateText(QString());
        r.count = port_.readNow(buffer_.data(), n < BufferSize ? n : BufferSize);
    } else {
        if (observer_) observer_->linkStateText(text(LinkText::NoAnswer));
    }
    if (r.ok) port_.waitTransmitIdle();
    return r;
}

SerialChannel::Receive SerialChannel::ReceivePolled() {
    const Receive r = ReceiveAnswer();
    if (r.count > 0) {
        if (observer_) observer_->transmissionErrorText(QString());
        silence_ = 0;
    } else {
        ++silence_;
        if (silence_ > SilentPollLimit && observer_)
            observer_->transmissionErrorText(text(LinkText::NoAnswer));
    }
    return r;
}

void SerialChannel::StopPolling() {
    for (QTimer* t : timers_)
        if (t) t->stop();
}
