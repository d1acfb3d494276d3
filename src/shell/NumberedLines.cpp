#include "shell/NumberedLines.h"

#include <QFile>
#include <QFileInfo>
#include <limits>

namespace shell {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView v) {
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && (isBlank(v.back()) || v.back() == '\r'))
        v.chop(1);
    return v;
}

QString stopMessage(const QString& fileName, int line, const QString& problem) {
    return QStringLiteral("%1, line %2: %3").arg(fileName).arg(line).arg(problem);
}

} // namespace

std::optional<int> parseLineKey(QByteArrayView field) {
    while (!field.isEmpty() && field.front() == ' ')
        field = field.sliced(1);
    if (field.isEmpty()) return std::nullopt;
    int key = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        key = key * 10 + (c - '0');
    }
    return key;
}

std::optional<qint32> parseSkinValue(QByteArrayView text) {
    QByteArrayView v = trimmed(text);
    bool negative = false;
    if (!v.isEmpty() && (v.front() == '-' || v.front() == '+')) {
        negative = v.front() == '-';
        v = v.sliced(1);
    }
    if (v.isEmpty()) return std::nullopt;
    qint64 magnitude = 0;
    if (v.front() == '$') {
        v = v.sliced(1);
        if (v.isEmpty() || v.size() > 8) return std::nullopt;
        quint32 bits = 0;
        for (const char c : v) {
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return std::nullopt;
            bits = (bits << 4) | quint32(d);
        }
        const auto value = static_cast<qint32>(bits);
        return negative ? static_cast<qint32>(0u - bits) : value;
    }
    for (const char c : v) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > qint64(1) << 31) return std::nullopt;
    }
    if (negative) magnitude = -magnitude;
    if (magnitude > std::numeric_limits<qint32>::max() || magnitude < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return static_cast<qint32>(magnitude);
}

ReadOutcome readNumberedLines(QByteArrayView data, const QString& fileName, const LineHandlers& handlers) {
    ReadOutcome out;
    qsizetype start = 0;
    int number = 0;
    while (start < data.size()) {
        const qsizetype lf = data.indexOf('\n', start);
        if (lf < 0) break; // an unterminated last line is not applied
        ++number;
        QByteArrayView raw = data.sliced(start, lf - start);
        start = lf + 1;
        if (raw.endsWith('\r')) raw.chop(1);
        if (raw.size() > MaxLineLength) {
            out.status = ReadOutcome::Status::LineTooLong;
            out.lineNumber = number;
            out.message = stopMessage(
                fileName, number, QStringLiteral("the line is longer than %1 characters").arg(MaxLineLength));
            return out;
        }
        NumberedLine line{number, raw.toByteArray()};
        if (line.isComment()) {
            if (handlers.comment) handlers.comment(line);
            continue;
        }
        if (raw.size() < MinLineLength) {
            if (handlers.shortLine) handlers.shortLine(number);
            continue;
        }
        const std::optional<int> key = parseLineKey(raw.first(5));
        if (!key) {
            out.status = ReadOutcome::Status::BadKey;
            out.lineNumber = number;
            out.message = stopMessage(
                fileName, number,
                QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(raw.first(5))));
            return out;
        }
        if (handlers.keyed) {
            const QString problem = handlers.keyed(*key, line);
            if (!problem.isEmpty()) {
                out.status = ReadOutcome::Status::Stopped;
                out.lineNumber = number;
                out.message = stopMessage(fileName, number, problem);
                return out;
            }
        }
    }
    return out;
}

ReadOutcome readNumberedFileBytes(const QString& path, QByteArray* data) {
    ReadOutcome out;
    QFile f(path);
    const QFileInfo fi(path);
    QString why;
    if (fi.exists() && !fi.isFile() && !fi.isDir())
        why = QStringLiteral("not a regular file"); // opening a FIFO would wait for a writer
    else if (!f.open(QIODevice::ReadOnly))
        why = f.errorString();
    if (!why.isEmpty()) {
        out.status = ReadOutcome::Status::CannotOpen;
        out.message = QStringLiteral("%1: cannot open the file (%2)").arg(path, why);
        return out;
    }
    // One byte more than allowed tells an oversized file without reading all of it.
    *data = f.read(MaxNumberedFileSize + 1);
    if (data->size() > MaxNumberedFileSize) {
        data->clear();
        out.status = ReadOutcome::Status::TooLarge;
        out.message =
            QStringLiteral("%1: the file is larger than %2 bytes").arg(path).arg(MaxNumberedFileSize);
    }
    return out;
}

ReadOutcome readNumberedFile(const QString& path, const LineHandlers& handlers) {
    QByteArray data;
    const ReadOutcome read = readNumberedFileBytes(path, &data);
    return read.complete() ? readNumberedLines(data, path, handlers) : read;
}

} // namespace shell
