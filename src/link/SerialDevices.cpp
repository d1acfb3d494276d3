#include "link/SerialDevices.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>
#include <algorithm>

namespace {

QString defaultDevice(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

// COMn for a report, by the default mapping.
int comNumberOf(const PortReport& r) {
    for (int n = 1; n <= 8; ++n) {
#ifdef Q_OS_WIN
        if (r.portName.compare(defaultDevice(n), Qt::CaseInsensitive) == 0) return n;
#else
        if (r.systemLocation == defaultDevice(n)) return n;
#endif
    }
    return 0;
}

} // namespace

QList<SerialDevice> serialDevices(const QList<PortReport>& reports, const QString& byIdDir) {
    // Stable names: each link in by-id resolves to the device it names.
    QHash<QString, QString> stable;
    const QDir dir(byIdDir);
    if (!byIdDir.isEmpty() && dir.exists()) {
        QStringList links = dir.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : links) {
            const QFileInfo link(dir.absoluteFilePath(name));
            const QString target = link.canonicalFilePath();
            if (!target.isEmpty() && !stable.contains(target)) stable.insert(target, link.absoluteFilePath());
        }
    }
    QList<SerialDevice> out;
    for (const PortReport& r : reports) {
        SerialDevice d;
        d.systemPath = r.systemLocation.isEmpty() ? r.portName : r.systemLocation;
#ifdef Q_OS_WIN
        d.path = r.portName;
#else
        const QString canonical = QFileInfo(d.systemPath).canonicalFilePath();
        d.path = stable.value(canonical.isEmpty() ? d.systemPath : canonical, d.systemPath);
#endif
        d.description =
            r.description.trimmed().isEmpty() ? r.manufacturer.trimmed() : r.description.trimmed();
        d.comNumber = comNumberOf(r);
        out.append(d);
    }
    std::stable_sort(out.begin(), out.end(), [](const SerialDevice& a, const SerialDevice& b) {
        const bool ac = a.comNumber > 0, bc = b.comNumber > 0;
        if (ac != bc) return ac;
        if (ac) return a.comNumber < b.comNumber;
        return a.systemPath < b.systemPath;
    });
    return out;
}

QList<PortReport> systemPortReports() {
    QList<PortReport> out;
    for (const QSerialPortInfo& i : QSerialPortInfo::availablePorts())
        out.append({i.portName(), i.systemLocation(), i.description(), i.manufacturer()});
    return out;
}

QList<SerialDevice> serialDevices() {
    return serialDevices(systemPortReports());
}

bool comPortListed(int n, const QList<PortReport>& reports) {
    if (n < 1 || n > 8) return false;
    return std::any_of(reports.begin(), reports.end(),
                       [n](const PortReport& r) { return comNumberOf(r) == n; });
}

bool comPortListed(int n) {
    return comPortListed(n, systemPortReports());
}
