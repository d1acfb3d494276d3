#pragma once
#include "live/LogFile.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace live {

// Plays a loaded log back in time order, as if its frames were arriving now:
// one rowReplayed() per row at the row's time divided by the speed. A single
// timer is set for the next row's time, so a paused or finished replay costs
// nothing.
class Replay : public QObject {
    Q_OBJECT
public:
    // Monotonic milliseconds; tests give their own and call advance().
    using Clock = std::function<qint64()>;
    static constexpr double MinSpeed = 0.5;
    static constexpr double MaxSpeed = 8.0;

    explicit Replay(QObject* parent = nullptr);

    void setClock(Clock clock);
    // The log to play; playing stops and the position goes to its start.
    void setLog(std::shared_ptr<const LogData> log);
    const LogData* log() const { return log_.get(); }
    // For logs without trace columns (the CLI's): the lambda trace by this probe kind.
    void setProbeKind(int probeKind) { probeKind_ = probeKind; }

    bool playing() const { return playing_; }
    double speed() const { return speed_; }
    // Log time (ms, as in the file) reached.
    qint64 position() const;
    // Index of the next row to be replayed (rows() at the end).
    int nextRow() const { return next_; }

public slots:
    void play();
    void pause();
    // Clamped to 0.5 .. 8; playing goes on from the current position.
    void setSpeed(double speed);
    // Moves to log time ms: the last row at or before it is replayed at once
    // (the instruments show the drive at that moment) and playing, if on, goes
    // on from there.
    void seek(qint64 ms);
    // Replays every row that is due now; the timer calls it.
    void advance();

signals:
    // One row as a polled frame would bring it; readings are what the page
    // showed for it (none for a frame that was not decoded).
    void rowReplayed(const live::LogRow& row);
    void playingChanged(bool playing);
    void finished();

private:
    void emitRow(int row);
    void anchor();
    void schedule();

    Clock clock_;
    std::shared_ptr<const LogData> log_;
    QTimer timer_;
    int probeKind_ = 0;
    int next_ = 0;
    bool playing_ = false;
    double speed_ = 1.0;
    qint64 anchorLog_ = 0;  // log time at anchorWall_
    qint64 anchorWall_ = 0; // clock time
};

} // namespace live
