#include "shell/NumberedLines.h"

#include "core/SystemTexts.h"

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

ReadOutcome stopped(ReadOutcome::Status status, const QString& fileName, int line, const QString& detail) {
    ReadOutcome out;
    out.status = status;
    out.file = fileName;
    out.lineNumber = line;
    out.detail = detail;
    out.message = outcomeMessage(out);
    return out;
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
        if (raw.size() > MaxLineLength)
            return stopped(ReadOutcome::Status::LineTooLong, fileName, number, {});
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
        if (!key)
            return stopped(ReadOutcome::Status::BadKey, fileName, number, QString::fromLatin1(raw.first(5)));
        if (handlers.keyed) {
            if (const std::optional<QString> bad = handlers.keyed(*key, line))
                return stopped(ReadOutcome::Status::Stopped, fileName, number, *bad);
        }
    }
    return out;
}

ReadOutcome readNumberedFileBytes(const QString& path, QByteArray* data) {
    ReadOutcome out;
    QFile f(path);
    const QFileInfo fi(path);
    // Opening a FIFO would wait for a writer.
    if (fi.exists() && !fi.isFile() && !fi.isDir())
        return stopped(ReadOutcome::Status::NotRegular, path, 0, {});
    if (!f.open(QIODevice::ReadOnly))
        return stopped(ReadOutcome::Status::CannotOpen, path, 0,
                       systemtext::fileReason(f, systemtext::Access::Read));
    // One byte more than allowed tells an oversized file without reading all of it.
    *data = f.read(MaxNumberedFileSize + 1);
    if (data->size() > MaxNumberedFileSize) {
        data->clear();
        return stopped(ReadOutcome::Status::TooLarge, path, 0, {});
    }
    return out;
}

QString filetext::text(const Text& t, const std::function<QString(int key)>& lookup) {
    const QString given = lookup ? lookup(t.key) : QString();
    return given.isEmpty() ? QString::fromUtf8(t.polish) : given;
}

QString outcomeMessage(const ReadOutcome& o, const std::function<QString(int key)>& lookup) {
    const auto text = [&lookup](const filetext::Text& t) { return filetext::text(t, lookup); };
    const auto atLine = [&](const QString& problem) {
        return text(filetext::AtLine).arg(o.file).arg(o.lineNumber).arg(problem);
    };
    switch (o.status) {
    case ReadOutcome::Status::Complete:
        return {};
    case ReadOutcome::Status::CannotOpen:
        return text(filetext::CannotOpen).arg(o.file, o.detail);
    case ReadOutcome::Status::NotRegular:
        return text(filetext::CannotOpen).arg(o.file, text(filetext::NotRegular));
    case ReadOutcome::Status::TooLarge:
        return text(filetext::TooLarge).arg(o.file).arg(MaxNumberedFileSize);
    case ReadOutcome::Status::LineTooLong:
        return atLine(text(filetext::LineTooLong).arg(MaxLineLength));
    case ReadOutcome::Status::BadKey:
    case ReadOutcome::Status::Stopped:
        return atLine(text(filetext::NotInteger).arg(o.detail));
    }
    return {};
}

ReadOutcome readNumberedFile(const QString& path, const LineHandlers& handlers) {
    QByteArray data;
    const ReadOutcome read = readNumberedFileBytes(path, &data);
    return read.complete() ? readNumberedLines(data, path, handlers) : read;
}

} // namespace shell
