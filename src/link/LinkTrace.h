#pragma once
#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QVector>
#include <array>
#include <atomic>
#include <cstdint>

// What went over the line, byte by byte, for a fitter who suspects the cable,
// the adapter or the line itself. The channel records only while a trace is
// switched on; with none, or one switched off, it costs a pointer and an
// atomic flag test per byte and nothing else.

// The exchange a byte belongs to: the controller's requests, and the steps
// of the procedures made of plain sends (the parameter write, a restore, the
// gate's command groups).
enum class TraceExchange : std::uint8_t {
    None,
    VersionRead,
    CapabilityRead,
    FeatureRead,
    ThresholdRead,
    ThresholdWrite,
    IgnitionRead,
    BlockRead,
    Poll,
    IgnitionWrite,
    WriteStep,
    RestoreStep,
    Command,
    Count
};

struct TraceTag {
    TraceExchange exchange = TraceExchange::None;
    // The procedure the exchange runs inside (a block read's threshold read,
    // write step 27's threshold write); None on its own.
    TraceExchange outer = TraceExchange::None;
    std::uint16_t step = 0; // write or restore step, command number; 0 none
    bool operator==(const TraceTag&) const = default;
    bool belongsTo(TraceExchange e) const { return exchange == e || outer == e; }
};

enum class TraceKind : std::uint8_t {
    Sent,     // one byte; failed: it did not go out
    Received, // what a receive found (nothing: no bytes)
    Dropped,  // bytes waiting before a request, thrown away as stray
    Pause,    // a wait of pauseMs
    Opened,   // the port, by name; failed: it did not open
    Closed    // failed: the device was lost under the program
};

struct TraceEntry {
    qint64 us = 0; // the channel's monotonic clock
    TraceKind kind = TraceKind::Sent;
    bool failed = false;
    TraceTag tag;
    int pauseMs = 0;
    QByteArray bytes; // Opened: the port's name
};

// The receiving end. record() runs on the link's thread, and only while on().
class LinkTrace {
public:
    virtual ~LinkTrace() = default;
    bool on() const { return on_.load(std::memory_order_relaxed); }
    void setOn(bool on) { on_.store(on, std::memory_order_relaxed); }
    virtual void record(const TraceEntry& entry) = 0;

private:
    std::atomic<bool> on_{false};
};

// Keeps the entries for another thread to take: nothing is formatted here.
// Whatever is not taken in time beyond Limit entries is counted, not kept.
class TraceBuffer final : public LinkTrace {
public:
    static constexpr int Limit = 100000;
    void record(const TraceEntry& entry) override;
    // The entries since the last take, oldest first; lost: how many did not fit.
    QVector<TraceEntry> take(int* lost = nullptr);

private:
    QMutex mutex_;
    QVector<TraceEntry> pending_;
    int lost_ = 0;
};

// The words of a trace as text: English unless a window gives its language's.
struct TraceNames {
    std::array<QString, static_cast<std::size_t>(TraceExchange::Count)> exchanges;
    std::array<QString, 6> kinds; // by TraceKind
    QString time, delta, direction, exchange, mark, bytes;
    QString stray, failed, nothing, lost, ms;
    TraceNames();
    const QString& name(TraceExchange e) const { return exchanges[static_cast<std::size_t>(e)]; }
    const QString& kind(TraceKind k) const { return kinds[static_cast<std::size_t>(k)]; }
};

namespace linktrace {
// "AA 1E 02"
QString hex(const QByteArray& bytes);
// "write step 27: threshold write", "poll", "" for none.
QString exchangeText(const TraceTag& tag, const TraceNames& names);
// The mark column: stray, failed, nothing, lost.
QString markText(const TraceEntry& e, const TraceNames& names);
// The last column: the bytes in hex, a pause's length, a port's name.
QString detailText(const TraceEntry& e, const TraceNames& names);
// One line of the text form (no line end): time since originUs and since
// previousUs in µs, direction, exchange, mark, detail, in fixed columns.
QString line(const TraceEntry& e, qint64 originUs, qint64 previousUs, const TraceNames& names);
QString header(const TraceNames& names);
} // namespace linktrace
