#pragma once
#include "live/LogFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace live {

// Records every live frame a page receives into a CSV file and a .msl text
// log at once. record() only appends to a buffer under a short lock; a writer
// thread formats and writes both files and hands them to the system at least
// every flush interval (250 ms), so polling never waits for the disk and a
// killed program loses at most the last interval. Files are closed cleanly by
// stop(), portLost() and the destructor.
class Recorder : public QObject {
    Q_OBJECT
public:
    // Monotonic milliseconds (any origin): the time base of record()'s rows.
    using Clock = std::function<qint64()>;
    enum class StopReason { Stopped, PortLost, WriteFailed };
    Q_ENUM(StopReason)

    explicit Recorder(QObject* parent = nullptr);
    ~Recorder() override;

    // The user's documents folder + "/Quendrix".
    static QString defaultFolder();
    // QElapsedTimer's monotonic clock unless a test gives its own.
    void setClock(Clock clock);
    static qint64 monotonicMs();
    void setFlushIntervalMs(int ms);

    // Opens "quendrix-<date>_<time>.csv" and ".msl" in folder (created when
    // missing; the default folder when empty) and writes their headers. False,
    // with errorString(), when they cannot be created. A running recording
    // is stopped first.
    bool start(const QString& folder = QString());
    void stop();
    // The port went away: the files are closed as on stop().
    void portLost();
    bool recording() const { return writer_ != nullptr; }

    // One frame as received. row.timeMs is on the clock's time base; the files
    // get it counted from start(). GUI thread; costs a copy and a short lock.
    void record(const LogRow& row);
    // The same, stamped with the clock now.
    void record(const QByteArray& frame, bool whole, const std::optional<Readings>& readings);

    QString csvPath() const { return csvPath_; }
    QString mslPath() const { return mslPath_; }
    QString errorString() const { return error_; }
    // Of the current (or last) recording.
    qint64 rowsRecorded() const { return recorded_; }
    // Frames the writer could not keep up with (it fell this far behind).
    qint64 rowsDropped() const;

signals:
    void started(const QString& csvPath, const QString& mslPath);
    void stopped(live::Recorder::StopReason reason);

private:
    struct Writer;
    void finish(StopReason reason);

    Clock clock_;
    int flushMs_ = 250;
    qint64 origin_ = 0;
    quint64 generation_ = 0;
    qint64 recorded_ = 0;
    qint64 lastDropped_ = 0;
    QString csvPath_;
    QString mslPath_;
    QString error_;
    std::unique_ptr<Writer> writer_;
};

} // namespace live
