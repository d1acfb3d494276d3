#include "params/RestorePoints.h"

#include "core/SystemTexts.h"

#include "params/AtomicFile.h"
#include "params/BlockCodec.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace params {

namespace {

const QByteArray FirstLine = "# Quendrix controller parameter block";
constexpr qint64 MaxBlockFileSize = 64 * 1024;
constexpr int BytesPerLine = 16;
const char* const HeaderKeys[] = {"time", "read", "port", "version", "what"};
constexpr int HeaderCount = 5;

QString oneLine(const QString& text) {
    QString t = text;
    for (QChar& c : t)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return t;
}

QString isoTime(const QDateTime& t) {
    if (!t.isValid()) return {};
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

// "bytes 0-15", "bytes 16-31", "bytes 32-36".
QByteArray byteLineKey(int first) {
    const int last = std::min(first + BytesPerLine, Controller::BlockSize) - 1;
    return "bytes " + QByteArray::number(first) + '-' + QByteArray::number(last);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

const QString FilePrefix = QStringLiteral("restore-");
const QString FileSuffix = QStringLiteral(".txt");

} // namespace

QByteArray blockFileBytes(const BlockFile& f) {
    const BlockFileHeader& h = f.header;
    QByteArray out = FirstLine + '\n';
    out += "time: " + isoTime(h.time).toUtf8() + '\n';
    out += "read: " + isoTime(h.readAt).toUtf8() + '\n';
    out += "port: " + oneLine(h.port).toUtf8() + '\n';
    out += "version: " + QByteArray::number(h.versionCode) + '\n';
    out += "what: " + oneLine(h.what).toUtf8() + '\n';
    for (int first = 0; first < Controller::BlockSize; first += BytesPerLine) {
        out += byteLineKey(first) + ':';
        for (int i = first; i < std::min(first + BytesPerLine, Controller::BlockSize); ++i)
            out +=
                ' ' +
                QByteArray::number(f.block[static_cast<std::size_t>(i)], 16).rightJustified(2, '0').toUpper();
        out += '\n';
    }
    return out;
}

BlockFileParse parseBlockFile(const QByteArray& bytes, const QString& path) {
    BlockFileParse r;
    int lineNo = 0;
    auto fail = [&](const QString& what) {
        r.ok = false;
        r.line = lineNo;
        r.error = systemtext::text(systemtext::BlockLineFault).arg(path).arg(lineNo).arg(what);
        return r;
    };
    if (bytes.size() > MaxBlockFileSize) {
        r.error = systemtext::text(systemtext::BlockTooLarge).arg(path).arg(MaxBlockFileSize);
        return r;
    }
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast(); // the last line's end
    bool seen[HeaderCount] = {};
    int nextByte = 0;
    BlockFileHeader& h = r.file.header;
    for (QByteArray line : lines) {
        ++lineNo;
        if (line.endsWith('\r')) line.chop(1);
        if (lineNo == 1) {
            if (line != FirstLine)
                return fail(systemtext::text(systemtext::BlockFirstLine).arg(QString::fromLatin1(FirstLine)));
            continue;
        }
        if (line.isEmpty()) {
            if (nextByte < Controller::BlockSize) return fail(systemtext::text(systemtext::BlockEmptyLine));
            continue;
        }
        if (nextByte >= Controller::BlockSize) return fail(systemtext::text(systemtext::BlockTextAfter));
        if (line.startsWith('#')) continue;
        const int colon = line.indexOf(':');
        if (colon < 0) return fail(systemtext::text(systemtext::BlockNoKeyValue));
        const QByteArray key = line.left(colon);
        if (line.size() > colon + 1 && line[colon + 1] != ' ')
            return fail(systemtext::text(systemtext::BlockSpaceAfterKey).arg(QString::fromLatin1(key)));
        const QByteArray value = line.mid(colon + 2);

        if (key.startsWith("bytes ")) {
            if (key != byteLineKey(nextByte))
                return fail(systemtext::text(systemtext::BlockExpectedKey)
                                .arg(QString::fromLatin1(byteLineKey(nextByte))));
            for (int i = 0; i < HeaderCount; ++i)
                if (!seen[i])
                    return fail(systemtext::text(systemtext::BlockHeaderMissing)
                                    .arg(QString::fromLatin1(HeaderKeys[i])));
            const int count = std::min(BytesPerLine, Controller::BlockSize - nextByte);
            if (value.size() != count * 3 - 1)
                return fail(systemtext::text(systemtext::BlockBytesExpected).arg(count));
            for (int i = 0; i < count; ++i) {
                const int hi = hexDigit(value[3 * i]);
                const int lo = hexDigit(value[3 * i + 1]);
                if (hi < 0 || lo < 0 || (i + 1 < count && value[3 * i + 2] != ' '))
                    return fail(systemtext::text(systemtext::BlockByteNotHex).arg(nextByte + i));
                r.file.block[static_cast<std::size_t>(nextByte + i)] =
                    static_cast<std::uint8_t>(hi * 16 + lo);
            }
            nextByte += count;
            continue;
        }

        int k = 0;
        while (k < HeaderCount && key != HeaderKeys[k])
            ++k;
        if (k == HeaderCount)
            return fail(systemtext::text(systemtext::BlockUnknownLine).arg(QString::fromUtf8(key.left(40))));
        if (nextByte > 0) return fail(systemtext::text(systemtext::BlockHeaderAfterBytes));
        if (seen[k])
            return fail(
                systemtext::text(systemtext::BlockGivenTwice).arg(QString::fromLatin1(HeaderKeys[k])));
        seen[k] = true;
        const QString text = QString::fromUtf8(value);
        if (k == 0 || k == 1) {
            const QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
            if (!t.isValid()) return fail(systemtext::text(systemtext::BlockNotDateTime).arg(text.left(40)));
            (k == 0 ? h.time : h.readAt) = t;
        } else if (k == 2) {
            h.port = text;
        } else if (k == 3) {
            bool ok = false;
            const int v = text.toInt(&ok);
            if (!ok || v < 0 || v > 255 || text != QString::number(v))
                return fail(systemtext::text(systemtext::BlockBadVersion).arg(text.left(40)));
            h.versionCode = v;
        } else {
            h.what = text;
        }
    }
    if (lineNo == 0) {
        r.error = systemtext::text(systemtext::BlockEmptyFile).arg(path);
        return r;
    }
    if (nextByte < Controller::BlockSize) {
        ++lineNo;
        return fail(
            systemtext::text(systemtext::BlockEndsBefore).arg(QString::fromLatin1(byteLineKey(nextByte))));
    }
    r.ok = true;
    return r;
}

BlockFileParse readBlockFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        BlockFileParse r;
        r.error = systemtext::text(systemtext::CannotRead)
                      .arg(path, systemtext::fileReason(f, systemtext::Access::Read));
        r.readable = false;
        return r;
    }
    return parseBlockFile(f.read(MaxBlockFileSize + 1), path);
}

bool saveBlockFile(const QString& path, const BlockFile& f, QString* error) {
    return writeFileAtomically(path, blockFileBytes(f), error);
}

// ------------------------------------------------------------------ the store

QString RestorePointStore::defaultFolder() {
    const QString env = qEnvironmentVariable("QUENDRIX_HISTORY");
    if (!env.isEmpty()) return env;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/restore-points");
}

RestorePointStore::RestorePointStore(QString folder, int kept) : folder_(std::move(folder)), kept_(kept) {}

QString RestorePointStore::pathOf(int id) const {
    return QDir(folder_).filePath(FilePrefix + QStringLiteral("%1").arg(id, 6, 10, QLatin1Char('0')) +
                                  FileSuffix);
}

std::vector<int> RestorePointStore::ids() const {
    static const QRegularExpression name(QStringLiteral("^restore-(\\d{6,9})\\.txt$"));
    std::vector<int> out;
    const QStringList files =
        QDir(folder_).entryList({FilePrefix + QLatin1Char('*') + FileSuffix}, QDir::Files);
    for (const QString& f : files) {
        const QRegularExpressionMatch m = name.match(f);
        if (m.hasMatch()) out.push_back(m.captured(1).toInt());
    }
    std::sort(out.begin(), out.end());
    return out;
}

int RestorePointStore::keep(const ParameterBlock& block, int versionCode, const QString& port,
                            const QString& what, const QDateTime& readAt, QString* error) {
    if (!QDir().mkpath(folder_)) {
        if (error) *error = systemtext::text(systemtext::CannotCreateFolder).arg(folder_);
        return -1;
    }
    // The program and quendrix-cli may keep points at the same time.
    QLockFile lock(QDir(folder_).filePath(QStringLiteral(".lock")));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000)) {
        if (error) *error = systemtext::text(systemtext::FolderLocked).arg(folder_);
        return -1;
    }
    std::vector<int> existing = ids();
    const int id = existing.empty() ? 1 : existing.back() + 1;
    BlockFile f;
    f.header = {QDateTime::currentDateTime(), readAt, port, versionCode, what};
    f.block = block;
    if (!saveBlockFile(pathOf(id), f, error)) return -1;
    existing.push_back(id);
    for (std::size_t i = 0; i + static_cast<std::size_t>(kept_) < existing.size(); ++i)
        QFile::remove(pathOf(existing[i]));
    return id;
}

std::vector<RestorePoint> RestorePointStore::list() const {
    std::vector<RestorePoint> out;
    const std::vector<int> all = ids();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        const BlockFileParse p = readBlockFile(pathOf(*it));
        if (p.ok) out.push_back({*it, p.file.header, p.file.block});
    }
    return out;
}

std::optional<BlockFile> RestorePointStore::load(int id, QString* error) const {
    const BlockFileParse p = readBlockFile(pathOf(id));
    if (!p.ok) {
        // The window's words: no such point, one the system will not read, or
        // a file that is no restore point (the line where it stops being one).
        if (!error) return std::nullopt;
        if (!QFile::exists(pathOf(id)))
            *error = systemtext::text(systemtext::NoRestorePoint).arg(id).arg(folder_);
        else if (!p.readable)
            *error = p.error;
        else
            *error = systemtext::text(systemtext::NotBlockFile).arg(pathOf(id)).arg(std::max(1, p.line));
        return std::nullopt;
    }
    return p.file;
}

std::vector<ParamDifference> blockValueDifferences(const ParameterBlock& point, const ParameterBlock& now,
                                                   int ignitionConstant) {
    ParameterSet a;
    ParameterSet b;
    decodeParameterBlock(point, ignitionConstant, a);
    decodeParameterBlock(now, ignitionConstant, b);
    return compareParameterSets(a, b);
}

} // namespace params
