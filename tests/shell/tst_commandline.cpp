#include "core/DataPaths.h"
#include "shell/CommandLine.h"
#include "shell/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using shell::Page;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void helpListsEveryOption();
    void dataFoldersInLookupOrder();
    void instanceLockIsExclusiveWithinTheMachine();
    void helpFilesHaveTheTopic_data();
    void helpFilesHaveTheTopic();
};

void TestCommandLine::parse_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<int>("page"); // -1 none
    QTest::addColumn<QString>("shot");
    QTest::addColumn<int>("after");
    QTest::newRow("nothing") << QStringList{} << true << false << QStringList{} << -1 << QString() << 3000;
    QTest::newRow("demo page shot") << QStringList{"--demo",     "--page",  "wizualizacja", "--screenshot",
                                                   "/tmp/a.png", "--after", "500"}
                                    << true << true << QStringList{} << int(Page::Wizualizacja)
                                    << "/tmp/a.png" << 500;
    QTest::newRow("equals form") << QStringList{"--page=drukowanie", "--screenshot=x.png"} << true << false
                                 << QStringList{} << int(Page::Drukowanie) << "x.png" << 3000;
    QTest::newRow("ports repeat in order")
        << QStringList{"--port", "COM2=/dev/ttyUSB0", "--port", "com5=/dev/pts/7"} << true << false
        << QStringList{"COM2=/dev/ttyUSB0", "com5=/dev/pts/7"} << -1 << QString() << 3000;
    QTest::newRow("bad page") << QStringList{"--page", "params"} << false << false << QStringList{} << -1
                              << QString() << 3000;
    QTest::newRow("bad port number") << QStringList{"--port", "COM9=/dev/x"} << false << false
                                     << QStringList{} << -1 << QString() << 3000;
    QTest::newRow("port without path")
        << QStringList{"--port", "COM1="} << false << false << QStringList{} << -1 << QString() << 3000;
    QTest::newRow("after not a number")
        << QStringList{"--after", "soon"} << false << false << QStringList{} << -1 << QString() << 3000;
    QTest::newRow("unknown option") << QStringList{"--fast"} << false << false << QStringList{} << -1
                                    << QString() << 3000;
    QTest::newRow("stray argument") << QStringList{"file.qx4"} << false << false << QStringList{} << -1
                                    << QString() << 3000;
}

void TestCommandLine::parse() {
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(bool, demo);
    QFETCH(QStringList, ports);
    QFETCH(int, page);
    QFETCH(QString, shot);
    QFETCH(int, after);
    const shell::CommandLine cl = shell::parseCommandLine(QStringList{"quendrix"} + args);
    QCOMPARE(cl.ok, ok);
    if (!ok) {
        QVERIFY(!cl.error.isEmpty());
        return;
    }
    QCOMPARE(cl.demo, demo);
    QCOMPARE(cl.ports, ports);
    QCOMPARE(cl.page.has_value(), page >= 0);
    if (page >= 0) QCOMPARE(int(*cl.page), page);
    QCOMPARE(cl.screenshot, shot);
    QCOMPARE(cl.afterMs, after);
    QVERIFY(!cl.showHelp);
}

void TestCommandLine::helpListsEveryOption() {
    const shell::CommandLine cl = shell::parseCommandLine({"quendrix", "--help"});
    QVERIFY(cl.ok);
    QVERIFY(cl.showHelp);
    for (const char* o : {"--demo", "--port", "--page", "--screenshot", "--after", "--help"})
        QVERIFY2(cl.helpText.contains(QLatin1String(o)), o);
}

void TestCommandLine::dataFoldersInLookupOrder() {
    QTemporaryDir t;
    QVERIFY(t.isValid());
    const QString exe = t.filePath("usr/bin"), env = t.filePath("env"),
                  share = t.filePath("usr/share/quendrix"), xdg = t.filePath("xdg/quendrix");
    qputenv("QUENDRIX_DATA", env.toUtf8());
    qputenv("XDG_DATA_HOME", t.filePath("home").toUtf8());
    qputenv("XDG_DATA_DIRS", t.filePath("xdg").toUtf8());
    // Every step holds data; taking it away from one step after the other
    // hands the choice down the order, to none at the end.
    const QString kinds[] = {"lang", "skins", "help", "lang"};
    const QStringList order{env, exe, share, xdg};
    for (int i = 0; i < order.size(); ++i)
        QVERIFY(QDir().mkpath(order[i] + "/" + kinds[i]));
    for (int i = 0; i <= order.size(); ++i) {
        QCOMPARE(shell::firstDataRoot(shell::dataSearchFolders(exe)), order.value(i));
        if (i < order.size()) QVERIFY(QDir(order[i] + "/" + kinds[i]).removeRecursively());
    }
    // Documents/Quendrix is the dialogs' folder; a save makes it.
    qputenv("HOME", t.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    const QString docs = t.filePath("Documents/Quendrix");
    QCOMPARE(shell::parameterDialogFolder(), docs);
    QVERIFY(!QFileInfo::exists(docs));
    QCOMPARE(shell::parameterDialogFolder(true), docs);
    QVERIFY(QFileInfo(docs).isDir());
}

void TestCommandLine::instanceLockIsExclusiveWithinTheMachine() {
    QTemporaryDir dir;
    const QString path = dir.filePath("q.lock");
    shell::SingleInstance first(path);
    QVERIFY(first.acquire());
    {
        shell::SingleInstance second(path);
        QVERIFY(!second.acquire());
    }
    QVERIFY(first.acquire()); // still held
    qputenv("QUENDRIX_INSTANCE_LOCK", path.toUtf8());
    QCOMPARE(shell::SingleInstance::defaultLockPath(), path);
    qunsetenv("QUENDRIX_INSTANCE_LOCK");
}

void TestCommandLine::helpFilesHaveTheTopic_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("word"); // a word of that language
    QTest::newRow("pl") << "quendrix_pl.html" << QStringLiteral("Połączenie");
    QTest::newRow("en") << "quendrix_en.html" << QStringLiteral("Connecting");
    QTest::newRow("ru") << "quendrix_ru.html" << QStringLiteral("Подключение");
}

void TestCommandLine::helpFilesHaveTheTopic() {
    QFETCH(QString, file);
    QFETCH(QString, word);
    QFile f(QDir(qEnvironmentVariable("QUENDRIX_SOURCE", QDir::currentPath())).filePath("help/" + file));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    const QString text = QString::fromUtf8(f.readAll());
    QVERIFY(text.contains(QStringLiteral("name=\"IDH_210\"")));
    QVERIFY(text.contains(word));
    // every page, every parameter field and the keyboard are covered
    for (const char* must :
         {"Obroty", "Parametry systemu", "Wizualizacja", "Autoadaptacja", "Drukowanie",
          "Otwarcie silnika krokowego", "Autodetekcja", "F9", "Backspace", "qx4", "--demo"})
        QVERIFY2(text.contains(QLatin1String(must)), must);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
