#include "live/LogView.h"

#include <algorithm>
#include <cmath>

namespace live {

void LogView::setLog(std::shared_ptr<const LogData> log) {
    log_ = std::move(log);
    switchOvers_.clear();
    broken_.clear();
    ranges_.clear();
    if (empty()) {
        begin_ = end_ = cursor_ = 0;
        return;
    }
    const LogData& l = *log_;
    for (const LogColumn& c : l.columns) {
        float lo = INFINITY, hi = -INFINITY;
        for (float v : c.values)
            if (v == v) { // not NaN
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        ranges_.append(lo <= hi ? Scale{lo, hi} : Scale{0, 1});
    }
    if (const int p = l.column(LogField::Petrol); p >= 0) {
        float was = NAN;
        for (int r = 0; r < l.rows(); ++r) {
            const float v = l.columns[p].values[r];
            if (v != v) continue;
            if (was != 0 && was == was && v == 0) switchOvers_.append(l.timeMs[r]);
            was = v;
        }
    }
    for (int r = 0; r < l.rows(); ++r)
        if (!l.whole[r]) broken_.append(l.timeMs[r]);
    showAll();
    cursor_ = first();
}

void LogView::showAll() {
    begin_ = first();
    end_ = std::max(last(), first() + MinSpanMs);
}

void LogView::setWindow(qint64 begin, qint64 end) {
    const qint64 lo = first();
    const qint64 hi = std::max(last(), lo + MinSpanMs);
    qint64 span = std::clamp(end - begin, MinSpanMs, hi - lo);
    begin = std::clamp(begin, lo, hi - span);
    begin_ = begin;
    end_ = begin + span;
}

void LogView::zoom(double factor, qint64 anchor) {
    if (!(factor > 0)) return;
    const double now = double(span());
    const double wanted = std::max(double(MinSpanMs), now * factor);
    const double at = now > 0 ? double(anchor - begin_) / now : 0.5;
    const qint64 b = std::llround(double(anchor) - at * wanted);
    setWindow(b, b + std::llround(wanted));
}

void LogView::pan(double spans) {
    const qint64 d = std::llround(spans * double(span()));
    setWindow(begin_ + d, end_ + d);
}

int LogView::cursorRow() const {
    return empty() ? -1 : std::max(0, log_->rowAtOrBefore(cursor_));
}

void LogView::setCursor(qint64 ms) {
    if (empty()) return;
    // On a row: the line and the values beside it read the same moment.
    cursor_ = log_->timeMs[std::max(0, log_->rowAtOrBefore(std::clamp(ms, first(), last())))];
    if (cursor_ < begin_)
        setWindow(cursor_, cursor_ + span());
    else if (cursor_ > end_)
        setWindow(cursor_ - span(), cursor_);
}

void LogView::stepCursor(int pixels, int width) {
    if (empty() || pixels == 0) return;
    const qint64 byPixels = std::llround(double(span()) * pixels / std::max(1, width));
    const LogData& l = *log_;
    const int row = cursorRow();
    // At least to the neighbouring row, so that a zoomed-in cursor walks row by row.
    qint64 target = cursor_ + byPixels;
    if (pixels > 0 && row + 1 < l.rows()) target = std::max(target, l.timeMs[row + 1]);
    if (pixels < 0 && row > 0) target = std::min(target, l.timeMs[row - 1]);
    setCursor(target);
}

double LogView::xOf(qint64 ms, int width) const {
    return span() > 0 ? double(ms - begin_) * width / double(span()) : 0.0;
}

qint64 LogView::timeAt(double x, int width) const {
    return begin_ + std::llround(x * double(span()) / std::max(1, width));
}

void LogView::decimate(int column, int width, QVector<Band>& out) const {
    out.clear();
    if (empty() || column < 0 || column >= log_->columns.size() || width <= 0) return;
    const LogData& l = *log_;
    const QVector<float>& v = l.columns[column].values;
    const int firstRow = l.firstRowFrom(begin_);
    const int endRow = l.firstRowFrom(end_ + 1);
    // The neighbours outside the window carry the lines to its edges.
    for (int r = firstRow - 1; r >= 0; --r)
        if (v[r] == v[r]) {
            out.append(Band{float(xOf(l.timeMs[r], width)), v[r], v[r], v[r], v[r]});
            break;
        }
    const double perMs = double(width) / double(std::max<qint64>(1, span()));
    int bin = -1;
    for (int r = firstRow; r < endRow; ++r) {
        const float value = v[r];
        if (value != value) continue;
        const int b = std::min(width - 1, int(double(l.timeMs[r] - begin_) * perMs));
        if (b != bin) {
            out.append(Band{b + 0.5f, value, value, value, value});
            bin = b;
            continue;
        }
        Band& band = out.back();
        band.lo = std::min(band.lo, value);
        band.hi = std::max(band.hi, value);
        band.last = value;
    }
    for (int r = endRow; r < l.rows(); ++r)
        if (v[r] == v[r]) {
            out.append(Band{float(xOf(l.timeMs[r], width)), v[r], v[r], v[r], v[r]});
            break;
        }
}

int LogView::plotted(int column) const {
    if (empty() || column < 0 || column >= log_->columns.size()) return column;
    const std::optional<LogField> f = log_->columns[column].field;
    if (!f) return column;
    auto traceOf = [&](LogField t) {
        const int c = log_->column(t);
        return c >= 0 ? c : column;
    };
    switch (*f) {
    case LogField::Lambda:
        return traceOf(LogField::LambdaTrace);
    case LogField::Tps:
        return traceOf(LogField::TpsTrace);
    case LogField::Rpm:
        return traceOf(LogField::RpmTrace);
    case LogField::RpmShown:
        return log_->column(LogField::Rpm) >= 0 ? column : traceOf(LogField::RpmTrace);
    case LogField::Stepper:
        return traceOf(LogField::StepperTrace);
    default:
        return column;
    }
}

LogView::Scale LogView::scaleOf(int c) const {
    if (empty() || c < 0 || c >= log_->columns.size()) return {0, 1};
    const std::optional<LogField> f = log_->columns[c].field;
    const Scale own = ranges_[c];
    if (f) switch (*f) {
        case LogField::LambdaTrace:
        case LogField::TpsTrace:
        case LogField::RpmTrace:
        case LogField::StepperTrace:
        case LogField::Gas:
            return {0, 100};
        case LogField::Lambda: // a 1 V probe or a 5 V one
            return {0, own.hi <= 1.2 ? 1.2 : 5.0};
        case LogField::Tps:
            return {0, 12.5};
        case LogField::Rpm:
        case LogField::RpmShown:
            return {0, 8000};
        case LogField::LambdaRaw:
        case LogField::TpsRaw:
        case LogField::TemperatureRaw:
        case LogField::Stepper:
            return {0, 255};
        case LogField::Temperature:
            return {-30, 90};
        case LogField::Petrol:
        case LogField::GasLow: // a step in the lowest fifth
            return {-0.1, 5};
        default:
            break;
        }
    // Room above and below; for a flat column, room enough to be a range at its magnitude.
    const double margin =
        std::max({(own.hi - own.lo) * 0.05, std::max(std::abs(own.lo), std::abs(own.hi)) * 1e-3, 1e-3});
    return {own.lo - margin, own.hi + margin};
}

std::array<int, 4> LogView::chartColumns() const {
    if (empty()) return {-1, -1, -1, -1};
    const int rpm = log_->column(LogField::Rpm);
    return {log_->column(LogField::Lambda), log_->column(LogField::Tps),
            rpm >= 0 ? rpm : log_->column(LogField::RpmShown), log_->column(LogField::Stepper)};
}

bool LogView::offered(int column) const {
    if (empty() || column < 0 || column >= log_->columns.size()) return false;
    const std::optional<LogField> f = log_->columns[column].field;
    return !(f == LogField::LambdaTrace || f == LogField::TpsTrace || f == LogField::RpmTrace ||
             f == LogField::StepperTrace);
}

QVector<int> LogView::markerColumns(const QVector<qint64>& times, int width) const {
    QVector<int> xs;
    auto it = std::lower_bound(times.begin(), times.end(), begin_);
    for (; it != times.end() && *it <= end_; ++it) {
        const int x = std::clamp(int(xOf(*it, width)), 0, std::max(0, width - 1));
        if (xs.isEmpty() || xs.back() != x) xs.append(x);
    }
    return xs;
}

qint64 LogView::nextMarker(int direction) const {
    qint64 best = cursor_;
    for (const QVector<qint64>* times : {&switchOvers_, &broken_}) {
        if (direction > 0) {
            auto it = std::upper_bound(times->begin(), times->end(), cursor_);
            if (it != times->end() && (best == cursor_ || *it < best)) best = *it;
        } else {
            auto it = std::lower_bound(times->begin(), times->end(), cursor_);
            if (it != times->begin() && (best == cursor_ || *(it - 1) > best)) best = *(it - 1);
        }
    }
    return best;
}

qint64 LogView::tickStep(int width, int minPixels) const {
    const double wanted = double(span()) * std::max(1, minPixels) / std::max(1, width);
    for (qint64 decade = 10;; decade *= 10)
        for (qint64 m : {1, 2, 5})
            if (double(m * decade) >= wanted || decade > 1'000'000'000'000LL) return m * decade;
}

QString LogView::timeText(qint64 ms, qint64 step) {
    const QLatin1Char zero('0');
    const bool negative = ms < 0;
    ms = std::abs(ms);
    const qint64 s = ms / 1000;
    QString t =
        s >= 3600
            ? QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, zero).arg(s % 60, 2, 10, zero)
            : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, zero);
    if (step < 100)
        t += QStringLiteral(".%1").arg(ms % 1000 / 10, 2, 10, zero);
    else if (step < 1000)
        t += QStringLiteral(".%1").arg(ms % 1000 / 100);
    return negative ? QLatin1Char('-') + t : t;
}

} // namespace live
