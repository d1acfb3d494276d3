// The real program as a process: one instance at a time, a killed instance
// never blocks the next start, the command line and the headless screenshot.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void secondInstanceRefusedKilledInstanceDoesNotBlock();
    void helpAndBadOptions();
    void screenshotWithoutControllerDoesNotHang();

private:
    QProcess* start(const QStringList& args);
    QString bin_;
    QTemporaryDir dir_;
};

void TestInstance::initTestCase() {
    bin_ = QDir(qEnvironmentVariable("QUENDRIX_BIN")).filePath(QStringLiteral("quendrix"));
    QVERIFY2(QFileInfo(bin_).isExecutable(), qPrintable(bin_));
    QVERIFY(dir_.isValid());
}

QProcess* TestInstance::start(const QStringList& args) {
    auto* p = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUENDRIX_INSTANCE_LOCK"), dir_.filePath(QStringLiteral("instance.lock")));
    env.insert(QStringLiteral("QUENDRIX_SETTINGS"), dir_.filePath(QStringLiteral("settings.ini")));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(qEnvironmentVariable("QUENDRIX_SOURCE", QDir::currentPath()));
    p->start(bin_, args);
    return p;
}

static bool isPng(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8) && f.size() > 1000;
}

void TestInstance::secondInstanceRefusedKilledInstanceDoesNotBlock() {
    const QString lock = dir_.filePath(QStringLiteral("instance.lock"));
    QProcess* first = start({QStringLiteral("--demo")});
    QVERIFY(first->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 10000);

    const QString refusedShot = dir_.filePath(QStringLiteral("refused.png"));
    QProcess* second = start({QStringLiteral("--demo"), QStringLiteral("--screenshot"), refusedShot,
                              QStringLiteral("--after"), QStringLiteral("100")});
    QVERIFY(second->waitForStarted());
    // A headless run waits for nobody: the box closes itself and the second
    // instance ends, refused.
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 1);
    QVERIFY(second->readAllStandardError().contains("Program jest już uruchomiony."));
    QVERIFY(!QFile::exists(refusedShot)); // it never got to a main window
    QCOMPARE(first->state(), QProcess::Running);

    // A crash leaves the lock file behind; the next start must not be refused.
    first->kill();
    QVERIFY(first->waitForFinished());
    QVERIFY(QFile::exists(lock));
    const QString shot = dir_.filePath(QStringLiteral("after-crash.png"));
    QProcess* third =
        start({QStringLiteral("--demo"), QStringLiteral("--page"), QStringLiteral("wizualizacja"),
               QStringLiteral("--screenshot"), shot, QStringLiteral("--after"), QStringLiteral("800")});
    QVERIFY(third->waitForFinished(60000));
    QVERIFY2(!third->readAllStandardError().contains("uruchomiony"), "refused after a crash");
    QCOMPARE(third->exitStatus(), QProcess::NormalExit);
    QCOMPARE(third->exitCode(), 0);
    QVERIFY(isPng(shot));
    QVERIFY(!QFile::exists(lock)); // released at a normal end
}

void TestInstance::helpAndBadOptions() {
    QProcess* help = start({QStringLiteral("--help")});
    QVERIFY(help->waitForFinished(20000));
    QCOMPARE(help->exitCode(), 0);
    const QByteArray out = help->readAllStandardOutput();
    for (const char* o : {"--demo", "--port", "--page", "--screenshot", "--after"})
        QVERIFY2(out.contains(o), o);

    QProcess* bad = start({QStringLiteral("--page"), QStringLiteral("nowhere")});
    QVERIFY(bad->waitForFinished(20000));
    QCOMPARE(bad->exitCode(), 2);
    QVERIFY(bad->readAllStandardError().contains("--page"));
}

void TestInstance::screenshotWithoutControllerDoesNotHang() {
    const QString shot = dir_.filePath(QStringLiteral("no-controller.png"));
    QProcess* p =
        start({QStringLiteral("--port"), QStringLiteral("COM1=/nonexistent/quendrix-port"),
               QStringLiteral("--screenshot"), shot, QStringLiteral("--after"), QStringLiteral("500")});
    QVERIFY(p->waitForFinished(90000));
    QCOMPARE(p->exitCode(), 0);
    QVERIFY(isPng(shot));
    // the port-open failures were reported, not left waiting for a click
    QVERIFY(p->readAllStandardError().contains("/nonexistent/quendrix-port"));
}

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
