#include "shell/SettingsStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using shell::SettingsStore;
using shell::ShellSettings;
using shell::StartPlan;

namespace {

// A settings store in an INI file of its own.
struct Store {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Param.ini"));
    SettingsStore store{[this] { return std::make_unique<QSettings>(path, QSettings::IniFormat); }, path};

    QSettings raw() const { return QSettings(path, QSettings::IniFormat); }
    void write(std::initializer_list<std::pair<const char*, QVariant>> values) {
        QSettings s(path, QSettings::IniFormat);
        for (const auto& [k, v] : values)
            s.setValue(QString::fromLatin1(k), v);
    }
    // A store as a previous close leaves it.
    void previousClose() {
        write({{"Lang", QStringLiteral("PL")},
               {"LangNazw", QStringLiteral("polish.lng")},
               {"Port", QStringLiteral("COM1")},
               {"WielkCzcionki", 1},
               {"skin", QStringLiteral("ord")},
               {"comments", 0},
               {"dimension", 0}});
    }
};

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void firstRunWritesTheSevenValues() {
        Store st;
        const StartPlan plan = st.store.load();
        QVERIFY(plan.firstRun);
        QVERIFY(plan.paramPage800);
        QCOMPARE(plan.rememberedLayout, 0);
        QCOMPARE(plan.skinCode, QStringLiteral("ord"));
        QCOMPARE(plan.languageFileToLoad, QStringLiteral("polish.lng"));
        QCOMPARE(plan.settings.languageFile, QStringLiteral("polish.lng"));
        QCOMPARE(plan.settings.comPort, 1);
        QVERIFY(!plan.settings.commentsOff);
        QVERIFY(!plan.settings.rememberLayout);
        QVERIFY(plan.unwritable.isEmpty());

        QSettings s = st.raw();
        QStringList keys = s.allKeys();
        keys.sort();
        QCOMPARE(keys,
                 (QStringList{"Lang", "LangNazw", "Port", "WielkCzcionki", "comments", "dimension", "skin"}));
        QCOMPARE(s.value("Lang").toString(), QStringLiteral("PL"));
        QCOMPARE(s.value("LangNazw").toString(), QStringLiteral("polish.lng"));
        QCOMPARE(s.value("Port").toString(), QStringLiteral("COM1"));
        QCOMPARE(s.value("WielkCzcionki").toInt(), 1);
        QCOMPARE(s.value("skin").toString(), QStringLiteral("ord"));
        QCOMPARE(s.value("comments").toInt(), 0);
        QCOMPARE(s.value("dimension").toInt(), 0);

        // The next start is a later run that finds what the first wrote.
        const StartPlan again = st.store.load();
        QVERIFY(!again.firstRun);
        QVERIFY(!again.paramPage800);
        QCOMPARE(again.skinCode, QStringLiteral("ord"));
        QCOMPARE(again.languageFileToLoad, QStringLiteral("polish.lng"));
    }

    void laterRunReadsEachValue_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("loadFile"); // language file loaded at start
        QTest::addColumn<QString>("checked");  // checked language item's file
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("remembered");
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("skin"); // skin loaded; empty for none
        QTest::addColumn<bool>("commentsOff");

        const QString pl = QStringLiteral("polish.lng"), en = QStringLiteral("english.lng");
        const QString ord = QStringLiteral("ord");
        QTest::newRow("as saved") << "" << QVariant() << pl << pl << 1 << 0 << false << ord << false;
        QTest::newRow("Lang EN, LangNazw polish")
            << "Lang" << QVariant("EN") << en << pl << 1 << 0 << false << ord << false;
        QTest::newRow("Lang RU") << "Lang" << QVariant("RU") << "russian.lng" << pl << 1 << 0 << false << ord
                                 << false;
        QTest::newRow("Lang unknown keeps PL")
            << "Lang" << QVariant("XX") << pl << pl << 1 << 0 << false << ord << false;
        QTest::newRow("LangNazw czech")
            << "LangNazw" << QVariant("czech.lng") << pl << "czech.lng" << 1 << 0 << false << ord << false;
        QTest::newRow("LangNazw unknown")
            << "LangNazw" << QVariant("klingon.lng") << pl << pl << 1 << 0 << false << ord << false;
        QTest::newRow("Port COM3") << "Port" << QVariant("COM3") << pl << pl << 3 << 0 << false << ord
                                   << false;
        QTest::newRow("Port com3 lower case")
            << "Port" << QVariant("com3") << pl << pl << 1 << 0 << false << ord << false;
        QTest::newRow("Port COM9") << "Port" << QVariant("COM9") << pl << pl << 1 << 0 << false << ord
                                   << false;
        QTest::newRow("comments on") << "comments" << QVariant(1) << pl << pl << 1 << 0 << false << ord
                                     << true;
        QTest::newRow("comments true")
            << "comments" << QVariant(true) << pl << pl << 1 << 0 << false << ord << true;
        for (int d = 1; d <= 6; ++d)
            QTest::addRow("dimension %d", d)
                << "dimension" << QVariant(d) << pl << pl << 1 << d << true << ord << false;
        QTest::newRow("dimension 7") << "dimension" << QVariant(7) << pl << pl << 1 << 0 << false << ord
                                     << false;
        QTest::newRow("skin col") << "skin" << QVariant("col") << pl << pl << 1 << 0 << false << "col"
                                  << false;
        QTest::newRow("skin nak") << "skin" << QVariant("nak") << pl << pl << 1 << 0 << false << "nak"
                                  << false;
        QTest::newRow("skin unknown loads none")
            << "skin" << QVariant("xyz") << pl << pl << 1 << 0 << false << "" << false;
        // Wrong types: ignored, the design default in force, nothing else lost.
        QTest::newRow("dimension as text")
            << "dimension" << QVariant("five") << pl << pl << 1 << 0 << false << ord << false;
        QTest::newRow("dimension as bytes")
            << "dimension" << QVariant(QByteArray("4")) << pl << pl << 1 << 0 << false << ord << false;
        QTest::newRow("skin as list")
            << "skin" << QVariant(QStringList{"ord", "col"}) << pl << pl << 1 << 0 << false << "" << false;
        QTest::newRow("Port as list")
            << "Port" << QVariant(QStringList{"COM2", "COM3"}) << pl << pl << 1 << 0 << false << ord << false;
        QTest::newRow("comments as text")
            << "comments" << QVariant("yes") << pl << pl << 1 << 0 << false << ord << false;
    }

    void laterRunReadsEachValue() {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        Store st;
        st.previousClose();
        if (!name.isEmpty()) {
            // One unusual value among otherwise ordinary ones: the others still count.
            st.write({{"Port", QStringLiteral("COM2")}, {"comments", 1}});
            QSettings s(st.path, QSettings::IniFormat);
            s.setValue(name, value);
        }
        const StartPlan plan = st.store.load();
        QFETCH(QString, loadFile);
        QFETCH(QString, checked);
        QFETCH(int, port);
        QFETCH(int, remembered);
        QFETCH(bool, remember);
        QFETCH(QString, skin);
        QFETCH(bool, commentsOff);
        if (!name.isEmpty() && name != QLatin1String("Port")) port = 2;
        if (!name.isEmpty() && name != QLatin1String("comments")) commentsOff = true;
        QVERIFY(!plan.firstRun);
        QCOMPARE(plan.languageFileToLoad, loadFile);
        QCOMPARE(plan.settings.languageFile, checked);
        QCOMPARE(plan.settings.comPort, port);
        QCOMPARE(plan.rememberedLayout, remembered);
        QCOMPARE(plan.settings.rememberLayout, remember);
        QCOMPARE(plan.skinCode, skin);
        QCOMPARE(plan.settings.commentsOff, commentsOff);
        QVERIFY(plan.unwritable.isEmpty());
    }

    void missingValuesAreCreated() {
        Store st;
        st.write({{"Lang", QStringLiteral("IT")}, {"Port", QStringLiteral("COM4")}});
        const StartPlan plan = st.store.load();
        QVERIFY(!plan.firstRun);
        QCOMPARE(plan.settings.languageFile, QStringLiteral("italiano.lng"));
        QCOMPARE(plan.languageFileToLoad, QStringLiteral("italiano.lng"));
        QCOMPARE(plan.skinCode, QStringLiteral("ord"));
        QSettings s = st.raw();
        QCOMPARE(s.value("LangNazw").toString(), QStringLiteral("italiano.lng"));
        QCOMPARE(s.value("skin").toString(), QStringLiteral("ord"));
        QCOMPARE(s.value("comments").toInt(), 0);
        QCOMPARE(s.value("dimension").toInt(), 0);
        QVERIFY(!s.contains("WielkCzcionki")); // never read, so never created at a later run

        // Without "Lang" no language file is loaded; "Port" missing keeps COM1.
        Store bare;
        bare.write({{"skin", QStringLiteral("sil")}});
        const StartPlan p2 = bare.store.load();
        QVERIFY(!p2.firstRun);
        QVERIFY(p2.languageFileToLoad.isEmpty());
        QCOMPARE(p2.settings.comPort, 1);
        QCOMPARE(p2.skinCode, QStringLiteral("sil"));
    }

    void saveWritesTheCheckedItems_data() {
        QTest::addColumn<int>("layoutItem");
        QTest::addColumn<bool>("remember");
        QTest::addColumn<int>("wielk"); // -1: left as it was
        QTest::addColumn<int>("dimension");
        QTest::newRow("640x480") << 1 << false << 0 << 0;
        QTest::newRow("720x576 remembered") << 2 << true << 1 << 2;
        QTest::newRow("800x600 remembered") << 3 << true << 2 << 3;
        QTest::newRow("1024x768 remembered") << 4 << true << -1 << 4;
        QTest::newRow("1152x864") << 5 << false << -1 << 0;
        QTest::newRow("1152x864 remembered") << 5 << true << -1 << 5;
        QTest::newRow("1280x1024 remembered") << 6 << true << -1 << 6;
    }

    void saveWritesTheCheckedItems() {
        QFETCH(int, layoutItem);
        QFETCH(bool, remember);
        QFETCH(int, wielk);
        QFETCH(int, dimension);
        Store st;
        st.write({{"WielkCzcionki", 7}, {"PortDevice", QStringLiteral("/dev/old")}});
        ShellSettings s;
        s.languageCode = QStringLiteral("EN"); // the checked item decides, not the code
        s.languageFile = QStringLiteral("russian.lng");
        s.comPort = 5;
        s.skin = QStringLiteral("sil");
        s.commentsOff = true;
        s.layoutItem = layoutItem;
        s.rememberLayout = remember;
        QVERIFY(st.store.save(s).isEmpty());
        QSettings r = st.raw();
        QCOMPARE(r.value("Lang").toString(), QStringLiteral("RU"));
        QCOMPARE(r.value("LangNazw").toString(), QStringLiteral("russian.lng"));
        QCOMPARE(r.value("Port").toString(), QStringLiteral("COM5"));
        QCOMPARE(r.value("skin").toString(), QStringLiteral("sil"));
        QCOMPARE(r.value("comments").toInt(), 1);
        QCOMPARE(r.value("dimension").toInt(), dimension);
        QCOMPARE(r.value("WielkCzcionki").toInt(), wielk < 0 ? 7 : wielk);
        QVERIFY(!r.contains("PortDevice"));

        // A device outside COM1 ... COM8 is kept beside "Port", which keeps its meaning.
        s.portDevice = QStringLiteral("/dev/serial/by-id/usb-FTDI-if00");
        QVERIFY(st.store.save(s).isEmpty());
        QCOMPARE(st.raw().value("PortDevice").toString(), s.portDevice);
        QCOMPARE(st.raw().value("Port").toString(), QStringLiteral("COM5"));
        QCOMPARE(st.store.load().settings.portDevice, s.portDevice);
    }

    void roundTripOfAChosenLayout() {
        // With PamOstRozdz and 1024x768 chosen, the next start uses that layout.
        Store st;
        st.store.load();
        ShellSettings s;
        s.layoutItem = 4;
        s.rememberLayout = true;
        st.store.save(s);
        const StartPlan plan = st.store.load();
        QCOMPARE(plan.rememberedLayout, 4);
        QVERIFY(plan.settings.rememberLayout);
        // "Lang" EN with "LangNazw" polish.lng: the next close writes both from the checked item.
        st.write({{"Lang", QStringLiteral("EN")}, {"LangNazw", QStringLiteral("polish.lng")}});
        const StartPlan mixed = st.store.load();
        QCOMPARE(mixed.languageFileToLoad, QStringLiteral("english.lng"));
        st.store.save(mixed.settings);
        QCOMPARE(st.raw().value("Lang").toString(), QStringLiteral("PL"));
        QCOMPARE(st.raw().value("LangNazw").toString(), QStringLiteral("polish.lng"));
    }

    void unwritableStoreIsReportedOnce() {
        QTemporaryDir dir;
        // A path below a plain file can be neither created nor written, even by root.
        const QString blocker = dir.filePath(QStringLiteral("file"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString path = blocker + QStringLiteral("/Param.ini");
        SettingsStore store([path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); }, path);
        const StartPlan plan = store.load();
        QVERIFY(plan.firstRun);
        QCOMPARE(plan.unwritable, path);
        // The program goes on with the first-run values.
        QCOMPARE(plan.languageFileToLoad, QStringLiteral("polish.lng"));
        QCOMPARE(plan.skinCode, QStringLiteral("ord"));
        QVERIFY(store.save(plan.settings).isEmpty()); // already reported
        QVERIFY(store.save(plan.settings).isEmpty());

        // A fresh store (the next run) reports it again, once.
        SettingsStore next([path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); }, path);
        QCOMPARE(next.save(ShellSettings()), path);
        QVERIFY(next.save(ShellSettings()).isEmpty());
    }

    // Values Qt's INI reader would rebuild as serialized objects never reach
    // it: such lines leave the file before it is read; everything else stays.
    void serializedValuesLeaveTheFile_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("variant") << QByteArray("Lang=@Variant(\\0\\0\\0\\x5)") << true;
        QTest::newRow("quoted") << QByteArray("Lang=\"@DateTime(\\0)\"") << true;
        QTest::newRow("list item") << QByteArray("Lang=PL, @Rect(1 2 3 4)") << true;
        QTest::newRow("hex escape") << QByteArray("Lang=\\x40Variant(x)") << true;
        QTest::newRow("octal escape") << QByteArray("Lang=\\100Variant(x)") << true;
        QTest::newRow("continued") << QByteArray("Lang=PL, \\\n @Variant(x)") << true;
        QTest::newRow("continued crlf") << QByteArray("Lang=PL, \\\r\n@Variant(x)") << true;
        QTest::newRow("escaped at") << QByteArray("PortDevice=@@home") << false;
        QTest::newRow("at inside") << QByteArray("PortDevice=/dev/serial/by-id/a@b") << false;
        QTest::newRow("plain escapes") << QByteArray("PortDevice=\"a\\tb\\\\c\"") << false;
    }
    void serializedValuesLeaveTheFile() {
        QFETCH(QByteArray, line);
        QFETCH(bool, dropped);
        Store st;
        QFile f(st.path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[General]\r\n" + line + "\r\nPort=COM3\r\nskin=sil\r\n");
        f.close();
        const StartPlan plan = st.store.load();
        QVERIFY(plan.unwritable.isEmpty());
        QCOMPARE(plan.settings.comPort, 3); // the other lines count as ever
        QCOMPARE(plan.skinCode, QStringLiteral("sil"));
        const QString key = QString::fromLatin1(line.left(line.indexOf('=')));
        QCOMPARE(st.raw().contains(key), !dropped);
        if (!dropped) QCOMPARE(st.raw().value(key).typeId(), int(QMetaType::QString));
        QCOMPARE(st.raw().value("Port").toString(), QStringLiteral("COM3"));
    }

    // Lines that cannot be read (binary, not UTF-8, no key) or are far too
    // long leave the file before Qt reads it: said once, never written back,
    // and a 50 MB value costs no time.
    void unreadableLinesAreDropped_data() {
        QTest::addColumn<QByteArray>("junk");
        QTest::addColumn<bool>("dropped");
        static const char binary[] = "\x00\x01\xfe\xff\x80[\x1b\x02=\x7f\r\n\xc3\x28\x00";
        QTest::newRow("binary") << QByteArray(binary, sizeof binary - 1) << true;
        QTest::newRow("no key") << QByteArray("# written by hand") << true;
        QTest::newRow("not UTF-8") << QByteArray("Lang=\xb9\xea") << true;
        QTest::newRow("50 MB") << "PortDevice=" + QByteArray(50 << 20, 'x') << true;
        QTest::newRow("3000 characters") << "PortDevice=" + QByteArray(3000, 'x') << false;
        QTest::newRow("UTF-8") << QByteArray("PortDevice=/dev/serial/by-id/\xc5\xbc") << false;
    }
    void unreadableLinesAreDropped() {
        QFETCH(QByteArray, junk);
        QFETCH(bool, dropped);
        Store st;
        QFile f(st.path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[General]\r\nLang=EN\r\nPort=COM3\r\n" + junk + "\r\n");
        f.close();
        QElapsedTimer t;
        t.start();
        const StartPlan plan = st.store.load();
        QVERIFY(st.store.save(plan.settings).isEmpty());
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(plan.unreadable, dropped ? st.path : QString());
        QVERIFY(plan.unwritable.isEmpty());
        QCOMPARE(plan.languageFileToLoad, QStringLiteral("english.lng")); // the readable lines count
        QCOMPARE(plan.settings.comPort, 3);
        QVERIFY(st.store.load().unreadable.isEmpty());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray saved = f.readAll();
        QVERIFY2(!saved.contains("%U") && saved.contains(junk) != dropped, saved.left(300).constData());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
