#include "shell/SettingsFile.h"

namespace shell {

std::unique_ptr<QSettings> openSettings() {
    const QString file = qEnvironmentVariable("QUENDRIX_SETTINGS");
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
#ifdef Q_OS_WIN
    // Directly under the user's root, without the usual "Software" level.
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Quendrix\\Param"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quendrix"), QStringLiteral("Param"));
#endif
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

} // namespace

QByteArray withoutSerializedValues(const QByteArray& ini, int* dropped) {
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
        // A line without "=" is a section, a comment or text Qt skips; checked
        // whole all the same.
        if (serializedValue(eq < 0 ? line : line.sliced(eq + 1)))
            ++count;
        else
            out.append(ini.constData() + start, next - start);
        start = next;
    }
    if (dropped) *dropped = count;
    return count ? out : ini;
}

} // namespace shell
