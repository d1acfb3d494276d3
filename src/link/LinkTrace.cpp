#include "link/LinkTrace.h"

#include <QMutexLocker>

void TraceBuffer::record(const TraceEntry& entry) {
    QMutexLocker lock(&mutex_);
    if (pending_.size() >= Limit) {
        ++lost_;
        return;
    }
    pending_.append(entry);
}

QVector<TraceEntry> TraceBuffer::take(int* lost) {
    QVector<TraceEntry> out;
    QMutexLocker lock(&mutex_);
    out.swap(pending_);
    if (lost) *lost = lost_;
    lost_ = 0;
    return out;
}

TraceNames::TraceNames()
    : exchanges{QString(),
                QStringLiteral("version read"),
                QStringLiteral("capability read"),
                QStringLiteral("feature read"),
                QStringLiteral("threshold read"),
                QStringLiteral("threshold write"),
                QStringLiteral("ignition read"),
                QStringLiteral("block read"),
                QStringLiteral("poll"),
                QStringLiteral("ignition write"),
                QStringLiteral("write step"),
                QStringLiteral("restore step"),
                QStringLiteral("command")},
      kinds{QStringLiteral("TX"),   QStringLiteral("RX"),   QStringLiteral("DROP"),
            QStringLiteral("WAIT"), QStringLiteral("OPEN"), QStringLiteral("CLOSE")},
      time(QStringLiteral("time_us")), delta(QStringLiteral("delta_us")), direction(QStringLiteral("dir")),
      exchange(QStringLiteral("exchange")), mark(QStringLiteral("mark")), bytes(QStringLiteral("bytes")),
      stray(QStringLiteral("stray")), failed(QStringLiteral("failed")), nothing(QStringLiteral("nothing")),
      lost(QStringLiteral("lost")), ms(QStringLiteral("ms")) {}

namespace linktrace {

namespace {
// Column widths of the text form.
constexpr int TimeWidth = 11;
constexpr int DeltaWidth = 9;
constexpr int DirWidth = 5;
constexpr int ExchangeWidth = 30;
constexpr int MarkWidth = 7;

QString columns(const QString& time, const QString& delta, const QString& dir, const QString& exchange,
                const QString& mark, const QString& detail) {
    const QString gap = QStringLiteral("  ");
    QString s = time.rightJustified(TimeWidth) + QLatin1Char(' ') + delta.rightJustified(DeltaWidth) + gap +
                dir.leftJustified(DirWidth) + gap + exchange.leftJustified(ExchangeWidth) + gap +
                mark.leftJustified(MarkWidth) + gap + detail;
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}
} // namespace

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString exchangeText(const TraceTag& tag, const TraceNames& names) {
    const QString step = tag.step > 0 ? QLatin1Char(' ') + QString::number(tag.step) : QString();
    if (tag.outer != TraceExchange::None)
        return names.name(tag.outer) + step + QStringLiteral(": ") + names.name(tag.exchange);
    return names.name(tag.exchange) + step;
}

QString markText(const TraceEntry& e, const TraceNames& names) {
    switch (e.kind) {
    case TraceKind::Dropped:
        return names.stray;
    case TraceKind::Received:
        return e.bytes.isEmpty() ? names.nothing : QString();
    case TraceKind::Closed:
        return e.failed ? names.lost : QString();
    case TraceKind::Sent:
    case TraceKind::Opened:
        return e.failed ? names.failed : QString();
    case TraceKind::Pause:
        break;
    }
    return {};
}

QString detailText(const TraceEntry& e, const TraceNames& names) {
    switch (e.kind) {
    case TraceKind::Pause:
        return QString::number(e.pauseMs) + QLatin1Char(' ') + names.ms;
    case TraceKind::Opened:
        return QString::fromUtf8(e.bytes);
    case TraceKind::Closed:
        return {};
    default:
        return hex(e.bytes);
    }
}

QString line(const TraceEntry& e, qint64 originUs, qint64 previousUs, const TraceNames& names) {
    return columns(QString::number(e.us - originUs), QString::number(e.us - previousUs), names.kind(e.kind),
                   exchangeText(e.tag, names), markText(e, names), detailText(e, names));
}

QString header(const TraceNames& names) {
    return columns(names.time, names.delta, names.direction, names.exchange, names.mark, names.bytes);
}

} // namespace linktrace
