#include "shell/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace shell {

QString settingsFile() {
    const QString file = qEnvironmentVariable("QUENDRIX_SETTINGS");
    if (!file.isEmpty()) return file;
#ifdef Q_OS_WIN
    return {};
#else
    // Where Qt keeps the user's native store (an INI file), found without
    // opening it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quendrix/Param.conf");
#endif
}

std::unique_ptr<QSettings> openSettings() {
    const QString file = settingsFile();
#ifdef Q_OS_WIN
    if (file.isEmpty())
        // Directly under the user's root, without the usual "Software" level.
        return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Quendrix\\Param"),
                                           QSettings::NativeFormat);
#endif
    cleanSettingsFile(file);
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

SettingsCleanup cleanSettingsFile(const QString& path) {
    SettingsCleanup result;
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) return result;
    QByteArray text = f.read(MaxSettingsFileSize + 1);
    f.close();
    // Beyond the limit nothing is read; a line cut there goes too.
    const bool cut = text.size() > MaxSettingsFileSize;
    if (cut) text.truncate(text.lastIndexOf('\n', MaxSettingsFileSize - 1) + 1);
    int dropped = 0;
    const QByteArray cleaned = readableSettingsText(text, &dropped);
    result.dropped = dropped > 0 || cut;
    if (!result.dropped) return result;
    QSaveFile out(path);
    result.rewritten = out.open(QIODevice::WriteOnly) && out.write(cleaned) == cleaned.size() && out.commit();
    return result;
}

namespace {

// Whether a value's raw text (after "=") could read as a serialized object:
// an item starting with "@" but not "@@", or a numeric escape anywhere. Quotes
// and blanks before an item are skipped; commas inside quotes count too,
// which may drop a harmless value but never keeps a harmful one.
bool serializedValue(QByteArrayView value) {
    bool itemStart = true;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char e = value[i + 1];
            if (e == 'x' || e == 'X' || (e >= '0' && e <= '7')) return true;
            ++i;
            if (e == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
            // A line continued goes on where it was; an escaped character starts no item.
            if (e != '\n' && e != '\r') itemStart = false;
            continue;
        }
        if (itemStart) {
            if (c == ' ' || c == '\t' || c == '"') continue;
            if (c == '@') {
                if (i + 1 < value.size() && value[i + 1] == '@') {
                    ++i;
                    itemStart = false;
                    continue;
                }
                return true;
            }
        }
        itemStart = c == ',';
    }
    return false;
}

// A line Qt's reader takes as it was written: UTF-8 text without control
// characters (but tabs and the line ends of continued lines) that is blank,
// a ";" comment, a "[section]" or key=value with a key as Qt writes keys (no
// quotes). Anything else reads as a format error, or eats the next line.
bool readableLine(QByteArrayView line) {
    for (const char c : line)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7f)
            return false;
    if (!line.isValidUtf8()) return false;
    const QByteArrayView t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';')) return true;
    if (t.startsWith('[')) return t.endsWith(']');
    const qsizetype eq = t.indexOf('=');
    return eq > 0 && !t.first(eq).contains('"');
}

} // namespace

QByteArray readableSettingsText(const QByteArray& ini, int* dropped) {
    QByteArray out;
    out.reserve(ini.size());
    int count = 0;
    qsizetype start = 0;
    while (start < ini.size()) {
        // One logical line: physical lines joined while one ends in a backslash.
        qsizetype end = start;
        for (;;) {
            qsizetype nl = ini.indexOf('\n', end);
            if (nl < 0) nl = ini.size();
            qsizetype last = nl;
            if (last > start && ini[last - 1] == '\r') --last;
            end = nl;
            if (nl < ini.size() && last > start && ini[last - 1] == '\\') {
                end = nl + 1;
                continue;
            }
            break;
        }
        const qsizetype next = end < ini.size() ? end + 1 : end;
        const QByteArrayView line(ini.constData() + start, end - start);
        const qsizetype eq = line.indexOf('=');
        // A section or a comment is checked whole.
        if (line.size() > MaxSettingsLineLength || !readableLine(line) ||
            serializedValue(eq < 0 ? line : line.sliced(eq + 1)))
            ++count;
        else
            out.append(ini.constData() + start, next - start);
        start = next;
    }
    if (dropped) *dropped = count;
    return count ? out : ini;
}

} // namespace shell
