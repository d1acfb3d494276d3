#include "link/SerialChannel.h"

#include <algorithm>

SerialChannel::SerialChannel(SerialPort& port, Clock& clock, LinkObserver* observer)
    : port_(port), clock_(clock), observer_(observer) {
    // Every use of the port goes through port(), which first waits out what
    // the clock held back: consecutive waits (a byte's gap and the wait for
    // its answer) cost the thread one wake-up, and nothing on the wire moves.
    clock_.deferWaits();
}

SerialChannel::Exchange::Exchange(SerialChannel& channel, TraceExchange exchange, int step)
    : channel_(channel), saved_(channel.tag_) {
    TraceTag t;
    t.exchange = exchange;
    if (saved_.exchange != TraceExchange::None) {
        t.outer = saved_.outer != TraceExchange::None ? saved_.outer : saved_.exchange;
        t.step = saved_.step;
    }
    if (step > 0) t.step = static_cast<std::uint16_t>(step);
    channel_.tag_ = t;
}

void SerialChannel::traceEvent(TraceKind kind, bool failed, const std::uint8_t* bytes, int count) {
    TraceEntry e;
    e.us = clock_.nowUs();
    e.kind = kind;
    e.failed = failed;
    e.tag = tag_;
    if (count > 0) e.bytes = QByteArray(reinterpret_cast<const char*>(bytes), count);
    trace_->record(e);
}

void SerialChannel::tracePause(int ms) {
    TraceEntry e;
    e.us = clock_.nowUs();
    e.kind = TraceKind::Pause;
    e.tag = tag_;
    e.pauseMs = ms;
    trace_->record(e);
}

int SerialChannel::discardInput() {
    if (!tracing()) return port().discardInput();
    std::array<std::uint8_t, BufferSize> got{};
    const int waiting = port().bytesWaiting();
    const int n = waiting > 0 ? port().readNow(got.data(), std::min(waiting, BufferSize)) : 0;
    if (n > 0) traceEvent(TraceKind::Dropped, false, got.data(), n);
    return n + port().discardInput();
}

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
    return defaultDevicePath(portName);
}

QString SerialChannel::defaultDevicePath(const QString& portName) {
    const int n = comNumber(portName);
#ifdef Q_OS_WIN
    return n > 0 ? portName.toUpper() : portName;
#else
    if (n > 0) return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    return portName;
#endif
}

bool SerialChannel::openDevice(const QString& portName, bool report) {
    if (port().isOpen() && tracing()) traceEvent(TraceKind::Closed, false);
    port().close();
    // Answers owed on another device never come on this one.
    if (portName != lastPort_) owed_ = 0;
    lastPort_ = portName;
    wantOpen_ = true;
    const QString device = devicePath(portName);
    QString reason;
    PortFailure failure = PortFailure::Other;
    auto traceOpen = [&](bool failed) {
        if (!tracing()) return;
        const QByteArray name = (portName + QStringLiteral(" (") + device + QLatin1Char(')')).toUtf8();
        traceEvent(TraceKind::Opened, failed, reinterpret_cast<const std::uint8_t*>(name.constData()),
                   int(name.size()));
    };
    // A COM port nothing maps opens its default device only when the system
    // lists that as a serial port: /dev/ttyS0 is often a console or no UART at all.
    const int n = comNumber(portName);
    const bool listed = n <= 0 || devices_.contains(n) || port().comListed(n);
    if (!listed) {
        reason = QStringLiteral("not a serial port the system lists");
        failure = PortFailure::Unlisted;
    } else if (port().open(device, &reason, &failure)) {
        traceOpen(false);
        if (observer_) observer_->portOpened(portName);
        return true;
    }
    traceOpen(true);
    if (report && observer_) observer_->portOpenFailed({portName, device, reason, failure});
    return false;
}

bool SerialChannel::reopen() {
    return wantOpen_ && !port().isOpen() && openDevice(lastPort_, false);
}

void SerialChannel::deviceLost() {
    const QString reason = port().lostReason();
    port().close();
    if (tracing()) traceEvent(TraceKind::Closed, true);
    wantOpen_ = true;
    owed_ = 0;
    if (observer_) observer_->portLost({lastPort_, devicePath(lastPort_), reason, PortFailure::Lost});
}

bool SerialChannel::OpenPort(const QString& portName) {
    return openDevice(portName, true);
}

bool SerialChannel::ProbePort(const QString& portName) {
    return openDevice(portName, false);
}

void SerialChannel::ClosePort() {
    if (port().isOpen() && tracing()) traceEvent(TraceKind::Closed, false);
    port().close();
    wantOpen_ = false;
}

bool SerialChannel::SendByte(std::uint8_t byte, Input input) {
    bool ok = false;
    if (port().isOpen()) {
        if (input == Input::Drop) dropStrayInput();
        ok = port().sendImmediate(byte);
        if (tracing()) traceEvent(TraceKind::Sent, !ok, &byte, 1);
        if (!ok && port().lost()) deviceLost();
    } else if (tracing()) {
        traceEvent(TraceKind::Sent, true, &byte, 1);
    }
    clock_.sleepMs(ByteGapMs);
    return ok;
}

void SerialChannel::owe(int bytes, qint64 untilUs) {
    if (bytes <= 0) return;
    owed_ += bytes;
    owedUntilUs_ = owed_ == bytes ? untilUs : std::max(owedUntilUs_, untilUs);
}

void SerialChannel::dropStrayInput() {
    while (owed_ > 0) {
        owed_ -= discardInput();
        const qint64 leftUs = owedUntilUs_ - clock_.nowUs();
        if (owed_ <= 0 || leftUs <= 0) break;
        sleepMs(static_cast<int>(std::min<qint64>(OwedSliceMs, (leftUs + 999) / 1000)));
    }
    owed_ = 0;
    if (discardInput() <= 0) return;
    for (int waited = 0; waited < StrayDrainMaxMs; waited += StrayQuietMs) {
        sleepMs(StrayQuietMs);
        if (discardInput() <= 0) return;
    }
}

SerialChannel::Receive SerialChannel::ReceiveAnswer(bool report) {
    Receive r;
    const int waiting = port().bytesWaiting();
    if (waiting < 0 && port().lost()) deviceLost();
    r.ok = waiting >= 0;
    const int n = waiting > 0 ? waiting : 0;
    if (n > 0) r.count = port().readNow(buffer_.data(), n < BufferSize ? n : BufferSize);
    if (r.ok && tracing()) traceEvent(TraceKind::Received, false, buffer_.data(), r.count);
    if (report) reportAnswer(n > 0);
    if (r.ok) port().waitTransmitIdle();
    return r;
}

SerialChannel::Receive SerialChannel::ReceiveMore(int at, int max) {
    Receive r;
    const int waiting = port().bytesWaiting();
    if (waiting < 0 && port().lost()) deviceLost();
    r.ok = waiting >= 0;
    const int room = at >= 0 && at < BufferSize ? std::min(BufferSize - at, max) : 0;
    if (waiting > 0 && room > 0) r.count = port().readNow(buffer_.data() + at, std::min(waiting, room));
    if (r.count > 0 && tracing()) traceEvent(TraceKind::Received, false, buffer_.data() + at, r.count);
    return r;
}

SerialChannel::Receive SerialChannel::ReceivePolled(bool report) {
    const Receive r = ReceiveAnswer(report);
    silence_ = r.count > 0 ? 0 : silence_ + 1;
    if (observer_) observer_->silentPolls(silence_);
    return r;
}
