#include "live/Replay.h"

#include "live/Recorder.h"

#include <cmath>

namespace live {

namespace {
// Rows replayed in one go at most; the rest follow on the next turn of the
// event loop so that the window stays responsive at 8× over a dense log.
constexpr int MaxBurst = 200;
} // namespace

Replay::Replay(QObject* parent) : QObject(parent), clock_(&Recorder::monotonicMs) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Replay::advance);
}

void Replay::setClock(Clock clock) {
    clock_ = clock ? std::move(clock) : Clock(&Recorder::monotonicMs);
    anchor();
}

void Replay::setLog(std::shared_ptr<const LogData> log) {
    pause();
    log_ = std::move(log);
    next_ = 0;
    anchorLog_ = log_ && log_->rows() > 0 ? log_->timeMs.front() : 0;
    anchor();
}

qint64 Replay::position() const {
    if (!playing_) return anchorLog_;
    const qint64 pos = anchorLog_ + std::llround(double(clock_() - anchorWall_) * speed_);
    return log_ && log_->rows() > 0 ? std::min(pos, log_->timeMs.back()) : pos;
}

void Replay::anchor() {
    anchorWall_ = clock_();
}

void Replay::play() {
    if (playing_ || !log_ || log_->rows() == 0) return;
    if (next_ >= log_->rows()) { // at the end: from the start again
        next_ = 0;
        anchorLog_ = log_->timeMs.front();
    }
    anchor();
    playing_ = true;
    emit playingChanged(true);
    advance();
}

void Replay::pause() {
    if (!playing_) return;
    anchorLog_ = position();
    playing_ = false;
    timer_.stop();
    emit playingChanged(false);
}

void Replay::setSpeed(double speed) {
    const double s = std::clamp(std::isfinite(speed) ? speed : 1.0, MinSpeed, MaxSpeed);
    if (playing_) {
        anchorLog_ = position();
        anchor();
    }
    speed_ = s;
    if (playing_) schedule();
}

void Replay::seek(qint64 ms) {
    if (!log_ || log_->rows() == 0) return;
    ms = std::clamp(ms, log_->timeMs.front(), log_->timeMs.back());
    const int row = log_->rowAtOrBefore(ms);
    next_ = row + 1;
    anchorLog_ = ms;
    anchor();
    if (row >= 0) emitRow(row);
    if (playing_) schedule();
}

void Replay::advance() {
    if (!playing_ || !log_) return;
    const qint64 pos = position();
    for (int n = 0; n < MaxBurst && next_ < log_->rows() && log_->timeMs[next_] <= pos; ++n)
        emitRow(next_++);
    if (!playing_) return; // a receiver paused
    if (next_ >= log_->rows()) {
        anchorLog_ = log_->timeMs.back();
        playing_ = false;
        emit playingChanged(false);
        emit finished();
        return;
    }
    schedule();
}

void Replay::schedule() {
    if (!log_ || next_ >= log_->rows()) return;
    const double wait = double(log_->timeMs[next_] - position()) / speed_;
    timer_.start(std::clamp(int(std::ceil(wait)), 0, 60 * 60 * 1000));
}

void Replay::emitRow(int row) {
    emit rowReplayed(LogRow{log_->timeMs[row], log_->frame(row), log_->whole[row] != 0,
                            readingsOf(*log_, row, probeKind_)});
}

} // namespace live
