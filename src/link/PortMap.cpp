#include "link/PortMap.h"

#include "link/SerialChannel.h"

#include <QSettings>

namespace {
constexpr int FirstCom = 1;
constexpr int LastCom = 8;
} // namespace

bool parsePortOption(const QString& arg, int* comNumber, QString* path) {
    const qsizetype eq = arg.indexOf(QLatin1Char('='));
    if (eq <= 0) return false;
    const QString name = arg.left(eq).trimmed();
    const QString device = arg.mid(eq + 1).trimmed();
    if (device.isEmpty()) return false;
    // Only "COMn": comNumber() alone would take "com 3" or "com+3".
    const QString digits = name.mid(3);
    if (digits.isEmpty() || digits.size() > 1 || !digits.at(0).isDigit()) return false;
    const int n = SerialChannel::comNumber(name);
    if (n < FirstCom || n > LastCom) return false;
    if (comNumber) *comNumber = n;
    if (path) *path = device;
    return true;
}

PortMapping readPortMap(QSettings& s) {
    PortMapping map;
    s.beginGroup(QStringLiteral("Ports"));
    for (int n = FirstCom; n <= LastCom; ++n) {
        const QString key = QStringLiteral("COM%1").arg(n);
        QString path = s.value(key).toString().trimmed();
        if (path.isEmpty()) path = s.value(key.toLower()).toString().trimmed();
        if (!path.isEmpty()) map.insert(n, path);
    }
    s.endGroup();
    return map;
}

void loadPortMap(QSettings& s, SerialChannel& ch) {
    const PortMapping map = readPortMap(s);
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        ch.setDevicePath(it.key(), it.value());
}

PortOptions parsePortOptions(const QStringList& values) {
    PortOptions o;
    for (const QString& v : values) {
        int n = 0;
        QString path;
        if (!parsePortOption(v, &n, &path)) continue;
        o.map.insert(n, path);
        o.lastCom = n;
    }
    return o;
}

void applyPortOptions(const QStringList& values, SerialChannel& ch) {
    const PortOptions o = parsePortOptions(values);
    for (auto it = o.map.constBegin(); it != o.map.constEnd(); ++it)
        ch.setDevicePath(it.key(), it.value());
    if (o.lastCom > 0) ch.setSelectedPort(QStringLiteral("com%1").arg(o.lastCom));
}
