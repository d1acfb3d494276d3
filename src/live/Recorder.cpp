#include "live/Recorder.h"

#include "core/SystemTexts.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace live {

namespace {
// A writer this far behind (minutes of frames) is stuck on its disk; newer
// frames are counted as dropped instead of growing the memory without end.
constexpr std::size_t MaxPending = 100000;
} // namespace

struct Recorder::Writer {
    QFile csv;
    QFile msl;
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<LogRow> pending; // guarded by mutex
    bool stopping = false;       // guarded by mutex
    std::atomic<qint64> dropped{0};
    std::atomic<bool> failed{false};
    QString failure; // set by the thread before failed
    std::thread thread;

    void run(int flushMs, Recorder* owner, quint64 generation) {
        std::vector<LogRow> rows;
        QByteArray csvOut, mslOut;
        for (;;) {
            bool last;
            {
                std::unique_lock lock(mutex);
                wake.wait_for(lock, std::chrono::milliseconds(flushMs), [this] { return stopping; });
                rows.swap(pending);
                last = stopping;
            }
            if (!rows.empty() && !failed) {
                for (const LogRow& r : rows) {
                    appendCsvRow(csvOut, r);
                    appendMslRow(mslOut, r);
                }
                write(csvOut, csv);
                write(mslOut, msl);
                csvOut.clear();
                mslOut.clear();
                if (failed)
                    QMetaObject::invokeMethod(
                        owner,
                        [owner, generation] {
                            if (owner->writer_ && owner->generation_ == generation)
                                owner->finish(StopReason::WriteFailed);
                        },
                        Qt::QueuedConnection);
            }
            rows.clear();
            if (last) break;
        }
        csv.close();
        msl.close();
    }

    void write(const QByteArray& data, QFile& f) {
        if (failed) return;
        if (f.write(data) != data.size() || !f.flush()) {
            failure =
                f.fileName() + QStringLiteral(": ") + systemtext::fileReason(f, systemtext::Access::Write);
            failed = true;
        }
    }
};

Recorder::Recorder(QObject* parent) : QObject(parent), clock_(&Recorder::monotonicMs) {}

Recorder::~Recorder() {
    if (writer_) finish(StopReason::Stopped);
}

QString Recorder::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quendrix");
}

qint64 Recorder::monotonicMs() {
    static const QElapsedTimer since = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return since.elapsed();
}

void Recorder::setClock(Clock clock) {
    clock_ = clock ? std::move(clock) : Clock(&Recorder::monotonicMs);
}

void Recorder::setFlushIntervalMs(int ms) {
    flushMs_ = std::clamp(ms, 10, 1000);
}

bool Recorder::start(const QString& folder) {
    if (writer_) finish(StopReason::Stopped);
    error_.clear();
    const QString dir = folder.isEmpty() ? defaultFolder() : folder;
    if (!QDir().mkpath(dir)) {
        error_ = dir;
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString stem =
        dir + QStringLiteral("/quendrix-") + now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    // Two recordings in one second get numbered names; neither overwrites a log.
    QString base = stem;
    for (int n = 2;
         QFile::exists(base + QStringLiteral(".csv")) || QFile::exists(base + QStringLiteral(".msl")); ++n)
        base = stem + QLatin1Char('-') + QString::number(n);

    auto w = std::make_unique<Writer>();
    w->csv.setFileName(base + QStringLiteral(".csv"));
    w->msl.setFileName(base + QStringLiteral(".msl"));
    const QString title = QStringLiteral("Quendrix " QUENDRIX_VERSION " ") +
                          now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (auto [file, header] : {std::pair{&w->csv, csvHeader()}, std::pair{&w->msl, mslHeader(title)}}) {
        if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly) || file->write(header) != header.size() ||
            !file->flush()) {
            error_ = file->fileName() + QStringLiteral(": ") +
                     systemtext::fileReason(*file, systemtext::Access::Write);
            w->csv.close();
            w->msl.close();
            QFile::remove(w->csv.fileName());
            QFile::remove(w->msl.fileName());
            return false;
        }
    }
    csvPath_ = w->csv.fileName();
    mslPath_ = w->msl.fileName();
    recorded_ = 0;
    lastDropped_ = 0;
    origin_ = clock_();
    ++generation_;
    w->pending.reserve(1024);
    Writer* raw = w.get();
    w->thread = std::thread([raw, ms = flushMs_, this, g = generation_] { raw->run(ms, this, g); });
    writer_ = std::move(w);
    emit started(csvPath_, mslPath_);
    return true;
}

void Recorder::stop() {
    if (writer_) finish(StopReason::Stopped);
}

void Recorder::portLost() {
    if (writer_) finish(StopReason::PortLost);
}

void Recorder::finish(StopReason reason) {
    {
        std::lock_guard lock(writer_->mutex);
        writer_->stopping = true;
    }
    writer_->wake.notify_one();
    writer_->thread.join();
    lastDropped_ = writer_->dropped;
    if (writer_->failed) {
        error_ = writer_->failure;
        reason = StopReason::WriteFailed;
    }
    writer_.reset();
    emit stopped(reason);
}

void Recorder::record(const LogRow& row) {
    if (!writer_) return;
    LogRow r = row;
    r.timeMs = std::max<qint64>(0, row.timeMs - origin_);
    {
        std::lock_guard lock(writer_->mutex);
        if (writer_->pending.size() >= MaxPending) {
            ++writer_->dropped;
            return;
        }
        writer_->pending.push_back(std::move(r));
    }
    ++recorded_;
}

void Recorder::record(const QByteArray& frame, bool whole, const std::optional<Readings>& readings) {
    if (!writer_) return;
    record(LogRow{clock_(), frame, whole, readings});
}

qint64 Recorder::rowsDropped() const {
    return writer_ ? qint64(writer_->dropped) : lastDropped_;
}

} // namespace live
