#include "LinkRig.h"
#include "link/PortMap.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void settingsGroup();
    void commandLineOptions();
};

void TestPortMap::parse_data() {
    QTest::addColumn<QString>("arg");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("com");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "COM1=/dev/ttyUSB0" << true << 1 << "/dev/ttyUSB0";
    QTest::newRow("lower case") << "com3=/dev/pts/4" << true << 3 << "/dev/pts/4";
    QTest::newRow("mixed case") << "Com8=/dev/ttyACM1" << true << 8 << "/dev/ttyACM1";
    QTest::newRow("spaces") << " COM2 = /dev/ttyS9 " << true << 2 << "/dev/ttyS9";
    QTest::newRow("path with =") << "COM4=/tmp/a=b" << true << 4 << "/tmp/a=b";
    QTest::newRow("COM0") << "COM0=/dev/x" << false << 0 << "";
    QTest::newRow("COM9") << "COM9=/dev/x" << false << 0 << "";
    QTest::newRow("COM10") << "COM10=/dev/x" << false << 0 << "";
    QTest::newRow("no number") << "COM=/dev/x" << false << 0 << "";
    QTest::newRow("no equals") << "COM1" << false << 0 << "";
    QTest::newRow("empty path") << "COM1=" << false << 0 << "";
    QTest::newRow("not a COM name") << "tty1=/dev/x" << false << 0 << "";
    QTest::newRow("sign") << "COM+1=/dev/x" << false << 0 << "";
}

void TestPortMap::parse() {
    QFETCH(QString, arg);
    QFETCH(bool, ok);
    QFETCH(int, com);
    QFETCH(QString, path);
    int n = -1;
    QString p = QStringLiteral("unchanged");
    QCOMPARE(parsePortOption(arg, &n, &p), ok);
    if (ok) {
        QCOMPARE(n, com);
        QCOMPARE(p, path);
    } else {
        QCOMPARE(n, -1);
        QCOMPARE(p, QStringLiteral("unchanged"));
    }
}

void TestPortMap::settingsGroup() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("q.ini"));
    {
        QSettings s(file, QSettings::IniFormat);
        s.setValue(QStringLiteral("Ports/COM1"), QStringLiteral("/dev/ttyUSB0"));
        s.setValue(QStringLiteral("Ports/COM3"), QStringLiteral("  /dev/pts/7 "));
        s.setValue(QStringLiteral("Ports/COM4"), QString());
        s.setValue(QStringLiteral("Ports/COM9"), QStringLiteral("/dev/never"));
        s.setValue(QStringLiteral("COM2"), QStringLiteral("/dev/outside-group"));
    }
    QSettings s(file, QSettings::IniFormat);
    LinkRig r;
    r.ch.setDevicePath(4, QStringLiteral("/dev/kept"));
    loadPortMap(s, r.ch);
    QCOMPARE(r.ch.devicePath(QStringLiteral("com1")), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(r.ch.devicePath(QStringLiteral("com3")), QStringLiteral("/dev/pts/7"));
    QCOMPARE(r.ch.devicePath(QStringLiteral("com4")), QStringLiteral("/dev/kept"));
#ifndef Q_OS_WIN
    QCOMPARE(r.ch.devicePath(QStringLiteral("com2")), QStringLiteral("/dev/ttyS1"));
#endif
    QVERIFY(!r.ch.deviceMap().contains(9));
    QCOMPARE(r.ch.selectedPort(), QStringLiteral("com1"));
    QCOMPARE(s.group(), QString());
}

void TestPortMap::commandLineOptions() {
    LinkRig r;
    applyPortOptions({QStringLiteral("COM2=/dev/ttyUSB1"), QStringLiteral("com5=/dev/pts/3"),
                      QStringLiteral("COM9=/dev/bad")},
                     r.ch);
    QCOMPARE(r.ch.devicePath(QStringLiteral("com2")), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(r.ch.devicePath(QStringLiteral("com5")), QStringLiteral("/dev/pts/3"));
    // The last valid option's port is the one used for the run.
    QCOMPARE(r.ch.selectedPort(), QStringLiteral("com5"));
    r.port.existing = QStringList{QStringLiteral("/dev/pts/3")};
    r.clearLog();
    QVERIFY(r.ch.OpenPort());
    QCOMPARE(r.events(), QStringList{QStringLiteral("open /dev/pts/3")});

    // Only invalid options: nothing changes.
    LinkRig q;
    q.ch.setSelectedPort(QStringLiteral("com3"));
    applyPortOptions({QStringLiteral("COM0=/dev/x"), QStringLiteral("junk")}, q.ch);
    QCOMPARE(q.ch.selectedPort(), QStringLiteral("com3"));
    QVERIFY(q.ch.deviceMap().isEmpty());
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
