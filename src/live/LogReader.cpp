// Reading drive logs back: this program's CSV and .msl files, the CLI's CSV,
// and the same after a spreadsheet or a killed writer had them.
#include "live/LogFile.h"

#include "core/SystemTexts.h"

#include <QFile>
#include <QVarLengthArray>

#include <charconv>
#include <cmath>

namespace live {

namespace {
// Longer lines are no log rows; skipping them keeps one bad line from costing memory.
constexpr qsizetype MaxLine = 64 * 1024;
constexpr int MaxColumns = 256;
constexpr int MaxFrameBytes = 64;
// A file that cannot be mapped is read whole, up to this much.
constexpr qint64 MaxReadBytes = 256LL * 1024 * 1024;

using Cells = QVarLengthArray<QByteArrayView, 32>;

QByteArrayView trimmed(QByteArrayView v) {
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\r'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r'))
        v.chop(1);
    return v;
}

// Cells of one line; a quoted cell may hold the separator (a spreadsheet's export).
void split(QByteArrayView line, char sep, Cells& cells) {
    cells.clear();
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (cells.size() < MaxColumns) {
        while (i < n && line[i] == ' ')
            ++i;
        qsizetype start = i, end;
        if (i < n && line[i] == '"') {
            start = ++i;
            while (i < n && !(line[i] == '"' && (i + 1 == n || line[i + 1] != '"')))
                i += line[i] == '"' ? 2 : 1;
            end = std::min(i, n);
            while (i < n && line[i] != sep)
                ++i;
        } else {
            while (i < n && line[i] != sep)
                ++i;
            end = i;
        }
        cells.append(trimmed(line.sliced(start, end - start)));
        if (i >= n) break;
        ++i; // the separator
    }
}

// A value as a column keeps it: beyond a float's range it is no reading.
float stored(std::optional<double> v) {
    const float f = v ? float(*v) : NAN;
    return std::isfinite(f) ? f : NAN;
}

std::optional<double> number(QByteArrayView c) {
    if (c.isEmpty() || c.size() > 40) return std::nullopt;
    double v = 0;
    const char* b = c.data();
    const char* e = b + c.size();
    if (*b == '+') ++b;
    auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e) {
        // A decimal comma, as a spreadsheet in a Polish locale writes it.
        char buf[41];
        const qsizetype len = e - b;
        std::copy(b, e, buf);
        std::replace(buf, buf + len, ',', '.');
        r = std::from_chars(buf, buf + len, v);
        if (r.ec != std::errc() || r.ptr != buf + len) return std::nullopt;
    }
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = char(c | 0x20);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void appendFrame(QByteArray& out, QByteArrayView hex) {
    int high = -1, count = 0;
    for (char c : hex) {
        const int d = hexDigit(c);
        if (d < 0) {
            high = -1; // a separator: a lone digit before it is dropped
            continue;
        }
        if (high < 0) {
            high = d;
            continue;
        }
        if (++count > MaxFrameBytes) return;
        out.append(char(high * 16 + d));
        high = -1;
    }
}

enum class Role { Value, Time, Whole, Frame, Petrol };

struct Header {
    Role role = Role::Value;
    int column = -1;      // in LogData::columns for values
    double timeScale = 1; // to milliseconds
};

std::optional<LogField> fieldNamed(const QString& name, bool cli) {
    for (int i = 0; i < LogFieldCount; ++i)
        if (name == QLatin1String(logFieldInfo(LogField(i)).name)) {
            // The CLI's "rpm" is the panel's, rounded to 50.
            if (cli && LogField(i) == LogField::Rpm) return LogField::RpmShown;
            return LogField(i);
        }
    static const struct {
        const char* name;
        LogField field;
    } aliases[] = {
        {"lambda_v", LogField::Lambda}, {"tps_v", LogField::Tps},   {"temperature_c", LogField::Temperature},
        {"gas_percent", LogField::Gas}, {"fuel", LogField::Petrol}, {"answered", LogField::Whole},
        {"time_s", LogField::Time},     {"time_ms", LogField::Time}};
    for (const auto& a : aliases)
        if (name == QLatin1String(a.name)) return a.field;
    return std::nullopt;
}

class Parser {
public:
    Parser(QByteArrayView content, int maxRows) : rest_(content), maxRows_(std::max(0, maxRows)) {
        if (rest_.startsWith("\xEF\xBB\xBF")) rest_ = rest_.sliced(3);
    }

    LogData run() {
        QByteArrayView first, second;
        bool terminated = false;
        if (!nextNonEmpty(first, terminated)) {
            log_.problem = LogData::Problem::Empty;
            return std::move(log_);
        }
        QByteArrayView names = first;
        // A title line: no separator on it, the names on the next line.
        const QByteArrayView save = rest_;
        const auto has = [](QByteArrayView l, const char* seps) {
            for (; *seps; ++seps)
                if (l.contains(*seps)) return true;
            return false;
        };
        if (nextNonEmpty(second, terminated) &&
            ((!has(first, "\t") && has(second, "\t")) || (!has(first, "\t,;") && has(second, ",;")))) {
            log_.title = QString::fromUtf8(trimmed(first)).remove(QLatin1Char('"')).left(200);
            names = second;
        } else {
            rest_ = save;
        }
        sep_ = names.contains('\t') ? '\t' : names.count(';') > names.count(',') ? ';' : ',';
        if (!readHeader(names)) {
            log_.problem = LogData::Problem::NoTime;
            return std::move(log_);
        }
        QByteArrayView line;
        bool firstData = true;
        while (nextLine(line, terminated)) {
            if (trimmed(line).isEmpty() || line.startsWith('#')) continue;
            if (line.size() > MaxLine) {
                ++log_.skippedLines;
                continue;
            }
            split(line, sep_, cells_);
            if (firstData && isUnitsLine()) {
                for (int i = 0; i < int(headers_.size()) && i < cells_.size(); ++i) {
                    Header& h = headers_[i];
                    if (h.role == Role::Time && !cells_[i].isEmpty())
                        h.timeScale = cells_[i] == "ms" ? 1.0 : 1000.0;
                    if ((h.role == Role::Value || h.role == Role::Petrol) && !cells_[i].isEmpty())
                        log_.columns[h.column].unit = QString::fromUtf8(cells_[i]);
                }
                firstData = false;
                continue;
            }
            firstData = false;
            // A killed writer's last line stops anywhere: only a complete one counts.
            if (!terminated && cells_.size() < headers_.size()) {
                ++log_.skippedLines;
                break;
            }
            if (log_.rows() >= maxRows_) {
                log_.truncated = true;
                break;
            }
            if (!addRow()) ++log_.skippedLines;
        }
        if (log_.format == LogData::Format::None)
            log_.format = sep_ == '\t' ? LogData::Format::Msl : LogData::Format::Csv;
        return std::move(log_);
    }

private:
    bool nextLine(QByteArrayView& line, bool& terminated) {
        if (rest_.isEmpty()) return false;
        const qsizetype nl = rest_.indexOf('\n');
        terminated = nl >= 0;
        line = terminated ? rest_.first(nl) : rest_;
        rest_ = terminated ? rest_.sliced(nl + 1) : QByteArrayView();
        if (line.endsWith('\r')) line.chop(1);
        return true;
    }

    bool nextNonEmpty(QByteArrayView& line, bool& terminated) {
        while (nextLine(line, terminated))
            if (!trimmed(line).isEmpty() && line.size() <= MaxLine) return true;
        return false;
    }

    bool readHeader(QByteArrayView line) {
        split(line, sep_, cells_);
        const bool cli = line.contains("time_s") && line.contains("answered");
        if (cli) log_.format = LogData::Format::CliCsv;
        bool haveTime = false;
        for (QByteArrayView c : cells_) {
            QString shown = QString::fromUtf8(c).left(80), unit;
            const qsizetype open = shown.lastIndexOf(QLatin1Char('['));
            if (open >= 0 && shown.endsWith(QLatin1Char(']'))) {
                unit = shown.mid(open + 1).chopped(1).trimmed();
                shown = shown.left(open).trimmed();
            }
            const QString name = shown.toLower();
            std::optional<LogField> field = fieldNamed(name, cli);
            Header h;
            if (field == LogField::Time && !haveTime) {
                h.role = Role::Time;
                const bool ms = name == QLatin1String("time_ms") || unit == QLatin1String("ms");
                h.timeScale = ms ? 1.0 : 1000.0;
                haveTime = true;
            } else if (field == LogField::Whole && wholeColumn_ < 0) {
                h.role = Role::Whole;
                wholeColumn_ = int(headers_.size());
            } else if (field == LogField::Frame && !log_.hasFrames) {
                h.role = Role::Frame;
                log_.hasFrames = true;
                log_.frameStart.append(0);
            } else {
                if (field && (*field == LogField::Time || *field == LogField::Whole ||
                              *field == LogField::Frame || log_.column(*field) >= 0))
                    field.reset(); // a second column of the same meaning stays the file's own
                if (field == LogField::Petrol) h.role = Role::Petrol;
                h.column = int(log_.columns.size());
                LogColumn col;
                col.name = shown.isEmpty() ? QString::number(headers_.size() + 1) : shown;
                col.field = field;
                col.unit = unit.isEmpty() && field ? QString::fromUtf8(logFieldInfo(*field).unit) : unit;
                log_.columns.append(col);
            }
            headers_.append(h);
        }
        return haveTime;
    }

    // The line after the names holds units when not one of its cells is a number.
    bool isUnitsLine() const {
        if (cells_.size() > headers_.size()) return false;
        for (QByteArrayView c : cells_)
            if (number(c) || c.size() > 24) return false;
        return true;
    }

    bool addRow() {
        std::optional<double> time;
        for (int i = 0; i < int(headers_.size()) && i < cells_.size(); ++i)
            if (headers_[i].role == Role::Time) {
                time = number(cells_[i]);
                if (time) *time *= headers_[i].timeScale;
            }
        if (!time || std::abs(*time) > 1e13) return false;
        const qint64 t = std::llround(*time);
        if (!log_.timeMs.isEmpty() && t < log_.timeMs.back()) return false;
        log_.timeMs.append(t);
        quint8 whole = 1;
        for (int i = 0; i < int(headers_.size()); ++i) {
            const QByteArrayView c = i < cells_.size() ? cells_[i] : QByteArrayView();
            const Header& h = headers_[i];
            switch (h.role) {
            case Role::Time:
                break;
            case Role::Whole:
                if (const std::optional<double> v = number(c)) whole = *v != 0 ? 1 : 0;
                break;
            case Role::Frame:
                appendFrame(log_.frameBytes, c);
                log_.frameStart.append(qint32(log_.frameBytes.size()));
                break;
            case Role::Petrol: {
                float v = NAN;
                if (c == "petrol")
                    v = 1;
                else if (c == "gas")
                    v = 0;
                else
                    v = stored(number(c));
                log_.columns[h.column].values.append(v);
                break;
            }
            case Role::Value: {
                log_.columns[h.column].values.append(stored(number(c)));
                break;
            }
            }
        }
        log_.whole.append(whole);
        return true;
    }

    QByteArrayView rest_;
    int maxRows_;
    char sep_ = ',';
    QVector<Header> headers_;
    int wholeColumn_ = -1;
    Cells cells_;
    LogData log_;
};
} // namespace

LogData parseLog(QByteArrayView content, int maxRows) {
    return Parser(content, maxRows).run();
}

LogData readLog(const QString& path, int maxRows) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        LogData log;
        log.problem = LogData::Problem::Unreadable;
        log.systemError = systemtext::fileReason(f, systemtext::Access::Read);
        return log;
    }
    const qint64 size = f.size();
    if (size > 0) {
        if (uchar* mapped = f.map(0, size)) {
            LogData log = parseLog(QByteArrayView(reinterpret_cast<const char*>(mapped), size), maxRows);
            f.unmap(mapped);
            return log;
        }
    }
    // Not mappable (a pipe, a special file): read, but no more than a log can sensibly be.
    return parseLog(f.read(MaxReadBytes), maxRows);
}

} // namespace live
