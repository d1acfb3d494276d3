#pragma once
// Drive logs: the rows the recorder writes - a CSV file and the same data as a
// tab-separated .msl text log - and the reader that opens them again, along
// with the CSV files of `quendrix-cli live --csv`. The reader takes whatever a
// disk, a killed writer or a spreadsheet left behind and never fails hard:
// what it cannot use it counts and skips.
#include "live/LiveDecode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVector>
#include <optional>

namespace live {

// One received live frame as a log keeps it.
struct LogRow {
    qint64 timeMs = 0; // monotonic
    QByteArray frame;  // the bytes as received
    bool whole = false;
    std::optional<Readings> readings; // none: the frame was not decoded
};

// The columns of this program's logs, in file order.
enum class LogField {
    Time,
    Lambda,
    LambdaRaw,
    Tps,
    TpsRaw,
    Rpm,
    RpmShown,
    Stepper,
    Temperature,
    TemperatureRaw,
    Gas,
    GasLow,
    Petrol,
    LambdaTrace,
    TpsTrace,
    RpmTrace,
    StepperTrace,
    Whole,
    Frame,
};
constexpr int LogFieldCount = int(LogField::Frame) + 1;

struct LogFieldInfo {
    const char* name;
    const char* unit; // UTF-8
};
LogFieldInfo logFieldInfo(LogField f);

QByteArray csvHeader();                     // "time [ms],lambda [V],...\n"
QByteArray mslHeader(const QString& title); // title, names and units lines
// One row, line end included; time written as given.
void appendCsvRow(QByteArray& out, const LogRow& row);
void appendMslRow(QByteArray& out, const LogRow& row);

// One numeric column of a loaded log.
struct LogColumn {
    QString name; // as the file has it
    QString unit;
    std::optional<LogField> field; // a column this program knows (also under the CLI's names)
    QVector<float> values;         // per row; NaN where the row has none
};

struct LogData {
    enum class Format { None, Csv, Msl, CliCsv };
    Format format = Format::None;
    QString title;
    QVector<qint64> timeMs;   // ascending
    QList<LogColumn> columns; // every column but time, whole flag and frame
    QVector<quint8> whole;    // per row: 1 the frame was whole (all 1 when the file does not say)
    bool hasFrames = false;
    int skippedLines = 0;   // lines that were no usable row
    bool truncated = false; // stopped at the row limit
    // Nothing readable, and why; systemError says why for Unreadable (in the window's words).
    enum class Problem { None, Unreadable, Empty, NoTime };
    Problem problem = Problem::None;
    QString systemError;

    int rows() const { return int(timeMs.size()); }
    int column(LogField f) const;          // index in columns, -1 when absent
    int column(const QString& name) const; // by the file's name
    QByteArray frame(int row) const;       // empty when the file has none
    int rowAtOrBefore(qint64 ms) const;    // -1 before the first row
    int firstRowFrom(qint64 ms) const;     // rows() after the last

    // Flat frame storage: bytes of row r are frameBytes[frameStart[r] .. frameStart[r + 1]).
    QByteArray frameBytes;
    QVector<qint32> frameStart;
};

// A million rows: fourteen hours at 20 frames a second.
constexpr int DefaultMaxRows = 1000000;

LogData parseLog(QByteArrayView content, int maxRows = DefaultMaxRows);
// Maps the file rather than reading it into memory.
LogData readLog(const QString& path, int maxRows = DefaultMaxRows);

// The readings one loaded row stands for. Columns the file lacks come from the
// ones it has: trace positions from the values (the lambda trace by probeKind).
// None when the row holds no reading at all.
std::optional<Readings> readingsOf(const LogData& log, int row, int probeKind = 0);

} // namespace live

Q_DECLARE_METATYPE(live::LogRow)
