#include "support/FakeLink.h"

void FakeClock::sleepMs(int ms) {
    if (log_) log_->push_back({LinkEvent::Sleep, now_, ms, {}});
    now_ += qint64(ms) * 1000;
}

void FakePort::inject(const QByteArray& bytes) {
    for (char c : bytes)
        queue_.push_back({clock_.nowUs(), static_cast<std::uint8_t>(c)});
}

void FakePort::injectAfter(const QByteArray& bytes, qint64 afterUs) {
    for (char c : bytes)
        queue_.push_back({clock_.nowUs() + afterUs, static_cast<std::uint8_t>(c)});
}

std::vector<std::uint8_t> FakePort::sentBytes() const {
    std::vector<std::uint8_t> out;
    if (!log_) return out;
    for (const LinkEvent& e : *log_)
        if (e.kind == LinkEvent::Tx) out.push_back(static_cast<std::uint8_t>(e.value));
    return out;
}

bool FakePort::open(const QString& device, QString* reason, PortFailure* failure) {
    if (denied.contains(device)) {
        if (reason) *reason = QStringLiteral("Permission denied");
        if (failure) *failure = PortFailure::PermissionDenied;
        if (log_) log_->push_back({LinkEvent::OpenFailed, clock_.nowUs(), 0, device});
        return false;
    }
    if (!existing.contains(device)) {
        if (reason) *reason = QStringLiteral("No such file or directory");
        if (failure) *failure = PortFailure::NotFound;
        if (log_) log_->push_back({LinkEvent::OpenFailed, clock_.nowUs(), 0, device});
        return false;
    }
    open_ = true;
    lost_ = false;
    device_ = device;
    ++openCount;
    if (log_) log_->push_back({LinkEvent::Open, clock_.nowUs(), 0, device});
    return true;
}

void FakePort::close() {
    if (open_ && log_) log_->push_back({LinkEvent::Close, clock_.nowUs(), 0, {}});
    open_ = false;
}

void FakePort::unplug(bool vanish) {
    lost_ = open_;
    queue_.clear();
    if (vanish && existing.removeAll(device_) > 0) vanished_ = device_;
}

void FakePort::plugIn() {
    if (!vanished_.isEmpty()) existing << vanished_;
    vanished_.clear();
}

int FakePort::discardInput() {
    if (!open_ || lost_) return 0;
    int n = 0;
    while (!queue_.empty() && queue_.front().dueUs <= clock_.nowUs()) {
        queue_.pop_front();
        ++n;
    }
    if (n > 0 && log_) log_->push_back({LinkEvent::Drop, clock_.nowUs(), n, {}});
    return n;
}

bool FakePort::sendImmediate(std::uint8_t byte) {
    if (!open_ || lost_) return false;
    if (log_) log_->push_back({LinkEvent::Tx, clock_.nowUs(), byte, {}});
    if (responder) {
        const QByteArray answer = responder(byte);
        qint64 due = clock_.nowUs() + answerDelayUs;
        for (int i = 0; i < answer.size(); ++i) {
            if (answerPauseAfter > 0 && i == answerPauseAfter) due += answerPauseUs;
            queue_.push_back({due, static_cast<std::uint8_t>(answer[i])});
            due += answerByteUs;
        }
    }
    return true;
}

int FakePort::bytesWaiting() {
    if (!open_ || lost_) return -1;
    int n = 0;
    for (const Pending& p : queue_) {
        if (p.dueUs > clock_.nowUs()) break;
        ++n;
    }
    if (n == 0 && recordSilentRx && log_) log_->push_back({LinkEvent::Rx, clock_.nowUs(), 0, {}});
    return n;
}

int FakePort::readNow(std::uint8_t* dst, int max) {
    if (!open_) return 0;
    int n = 0;
    while (n < max && !queue_.empty() && queue_.front().dueUs <= clock_.nowUs()) {
        dst[n++] = queue_.front().byte;
        queue_.pop_front();
    }
    if (log_) log_->push_back({LinkEvent::Rx, clock_.nowUs(), n, {}});
    return n;
}

QStringList describe(const std::vector<LinkEvent>& log, bool withGaps) {
    QStringList out;
    for (const LinkEvent& e : log) {
        switch (e.kind) {
        case LinkEvent::Open:
            out << QStringLiteral("open ") + e.text;
            break;
        case LinkEvent::OpenFailed:
            out << QStringLiteral("openfail ") + e.text;
            break;
        case LinkEvent::Close:
            out << QStringLiteral("close");
            break;
        case LinkEvent::Tx:
            out << QStringLiteral("tx %1")
                       .arg(e.value, 2, 16, QLatin1Char('0'))
                       .toUpper()
                       .replace(QLatin1String("TX"), QLatin1String("tx"));
            break;
        case LinkEvent::Sleep:
            if (withGaps || e.value != 3) out << QStringLiteral("sleep %1").arg(e.value);
            break;
        case LinkEvent::Rx:
            out << QStringLiteral("rx %1").arg(e.value);
            break;
        case LinkEvent::Drop:
            out << QStringLiteral("drop %1").arg(e.value);
            break;
        }
    }
    return out;
}

bool RecordingPort::open(const QString& device, QString* reason, PortFailure* failure) {
    const bool ok = inner_->open(device, reason, failure);
    log_->push_back({ok ? LinkEvent::Open : LinkEvent::OpenFailed, 0, 0, device});
    return ok;
}

void RecordingPort::close() {
    if (inner_->isOpen()) log_->push_back({LinkEvent::Close, 0, 0, {}});
    inner_->close();
}

bool RecordingPort::sendImmediate(std::uint8_t byte) {
    if (inner_->isOpen()) log_->push_back({LinkEvent::Tx, 0, byte, {}});
    return inner_->sendImmediate(byte);
}

int RecordingPort::discardInput() {
    const int n = inner_->discardInput();
    if (n > 0) log_->push_back({LinkEvent::Drop, 0, n, {}});
    return n;
}

int RecordingPort::readNow(std::uint8_t* dst, int max) {
    const int n = inner_->readNow(dst, max);
    log_->push_back({LinkEvent::Rx, 0, n, {}});
    return n;
}
