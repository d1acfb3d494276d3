#include "link/SerialDevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSerialDevices : public QObject {
    Q_OBJECT
private slots:
    void stableNamesAndOrder() {
#ifdef Q_OS_WIN
        QSKIP("by-id names exist on Linux only");
#else
        QTemporaryDir dir;
        const QString dev = dir.filePath(QStringLiteral("dev"));
        const QString byId = dir.filePath(QStringLiteral("by-id"));
        QVERIFY(QDir().mkpath(dev) && QDir().mkpath(byId));
        for (const char* n : {"ttyUSB0", "ttyACM0"}) {
            QFile f(dev + QLatin1Char('/') + QLatin1String(n));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString stable = byId + QStringLiteral("/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0");
        QVERIFY(QFile::link(QStringLiteral("../dev/ttyUSB0"), stable));

        const QList<PortReport> reports = {
            {QStringLiteral("ttyUSB0"), dev + QStringLiteral("/ttyUSB0"), QStringLiteral("FT232R USB UART"),
             QStringLiteral("FTDI")},
            {QStringLiteral("ttyACM0"), dev + QStringLiteral("/ttyACM0"), QString(),
             QStringLiteral("Arduino")},
            {QStringLiteral("ttyS2"), QStringLiteral("/dev/ttyS2"), QString(), QString()},
            {QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0"), QString(), QString()},
        };
        const QList<SerialDevice> d = serialDevices(reports, byId);
        QCOMPARE(d.size(), 4);
        // COM ports first by number, then the others by path.
        QCOMPARE(d[0].comNumber, 1);
        QCOMPARE(d[0].path, QStringLiteral("/dev/ttyS0"));
        QCOMPARE(d[1].comNumber, 3);
        QCOMPARE(d[2].path, dev + QStringLiteral("/ttyACM0")); // no stable name: the system location
        QCOMPARE(d[2].description, QStringLiteral("Arduino")); // the manufacturer when nothing better
        QCOMPARE(d[3].path, stable);
        QCOMPARE(d[3].systemPath, dev + QStringLiteral("/ttyUSB0"));
        QCOMPARE(d[3].description, QStringLiteral("FT232R USB UART"));
        QCOMPARE(d[3].comNumber, 0);

        QVERIFY(comPortListed(1, reports));
        QVERIFY(comPortListed(3, reports));
        QVERIFY(!comPortListed(2, reports));
        QVERIFY(!comPortListed(9, reports));
        // A missing by-id folder leaves the system locations.
        QCOMPARE(serialDevices(reports, dir.filePath(QStringLiteral("none")))[3].path,
                 dev + QStringLiteral("/ttyUSB0"));
#endif
    }

    void systemListingRuns() {
        // Whatever this machine has: every device has a path, COM numbers agree with the check.
        const QList<PortReport> reports = systemPortReports();
        for (const SerialDevice& d : serialDevices(reports)) {
            QVERIFY(!d.path.isEmpty());
            if (d.comNumber) QVERIFY(comPortListed(d.comNumber, reports));
        }
    }
};

QTEST_GUILESS_MAIN(TestSerialDevices)
#include "tst_serialdevices.moc"
