// The fitter's choices on the real main window: the settings store across a
// close and a restart, the language, skin and screen-size menus, the serial
// devices of the Port menu and the autodetection, against the emulated
// controller.
#include "tst_shellwindow.h"

class TestShellWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("QUENDRIX_SETTINGS", dir_.filePath(QStringLiteral("settings.ini")).toUtf8());
    }

    void settingsFirstRunAndRestart() {
        Options o;
        o.screen = Wide;
        o.configureLink = [](ControllerLink& link, const QString& pty) { allComsOnEmulator(link, pty); };
        {
            MainWindowRig r(o);
            // The first start creates exactly the seven values.
            QSettings s = store();
            QStringList keys = s.allKeys();
            keys.sort();
            QCOMPARE(keys, QStringList({"Lang", "LangNazw", "Port", "WielkCzcionki", "comments", "dimension",
                                        "skin"}));
            QCOMPARE(s.value("Lang").toString(), QStringLiteral("PL"));
            QCOMPARE(s.value("LangNazw").toString(), QStringLiteral("polish.lng"));
            QCOMPARE(s.value("Port").toString(), QStringLiteral("COM1"));
            QCOMPARE(s.value("WielkCzcionki").toInt(), 1);
            QCOMPARE(s.value("skin").toString(), QStringLiteral("ord"));
            QCOMPARE(s.value("comments").toInt(), 0);
            QCOMPARE(s.value("dimension").toInt(), 0);
            for (const char* item : {"JPolski", "PCOM1", "skorkaZwy"})
                QVERIFY2(r.item(item)->isChecked(), item);
            QVERIFY(!r.item("PamOstRozdz")->isChecked());
            // Qt's own dialogs (print preview, file boxes) speak the window's language too.
            QCOMPARE(QCoreApplication::translate("QPrintPreviewDialog", "Next page"),
                     QString::fromUtf8("Następna strona"));

            r.item("JAngielski")->trigger();
            QCOMPARE(QCoreApplication::translate("QPrintPreviewDialog", "Next page"),
                     QStringLiteral("Next page"));
            r.item("PCOM3")->trigger();
            r.item("SkorkaSil")->trigger();
            r.item("PamOstRozdz")->trigger();
            r.item("N1024")->trigger();
            r.item("SzybkiZapisItem")->trigger();
            r.w<QCheckBox>("WylaczkomentarzeCheck")->setChecked(true);
            r.close();
            QCOMPARE(r.form->settingsSaveCount(), 1);
        }
        QSettings s = store();
        QCOMPARE(s.value("Lang").toString(), QStringLiteral("EN"));
        QCOMPARE(s.value("LangNazw").toString(), QStringLiteral("english.lng"));
        QCOMPARE(s.value("Port").toString(), QStringLiteral("COM3"));
        QCOMPARE(s.value("skin").toString(), QStringLiteral("sil"));
        QCOMPARE(s.value("comments").toInt(), 1);
        QCOMPARE(s.value("dimension").toInt(), 4);
        QCOMPARE(s.value("WielkCzcionki").toInt(), 1); // a larger layout leaves it as it was
        QVERIFY(!s.contains("PortDevice"));
        QCOMPARE(s.value("FastLog").toInt(), 1);

        o.keepSettings = true;
        MainWindowRig r(o);
        QVERIFY(r.form->liveSession().fastLog());
        for (const char* item :
             {"JAngielski", "PCOM3", "SkorkaSil", "N1024", "PamOstRozdz", "SzybkiZapisItem"})
            QVERIFY2(r.item(item)->isChecked(), item);
        QCOMPARE(r.form->link().selectedPort(), QStringLiteral("com3"));
        QCOMPARE(r.item("KoniecButton")->text(), QStringLiteral("Exit"));
        QCOMPARE(r.form->size(), QSize(1024, 745));
        QVERIFY(r.w<QCheckBox>("WylaczkomentarzeCheck")->isChecked());
        QVERIFY(r.shellMessages.isEmpty());
    }

    void storedSettings_data() {
        QTest::addColumn<QStringList>("stored");  // key=value lines of the store before the start
        QTest::addColumn<QStringList>("checked"); // menu items checked after the start
        QTest::addColumn<QString>("port");        // the selected port
        QTest::addColumn<QString>("exit");        // KoniecButton's caption: the language loaded
        QTest::addColumn<QSize>("window");        // invalid: not checked
        QTest::addColumn<QStringList>("afterClose");

        QTest::newRow("lower-case com3 is not a port")
            << QStringList{"Port=com3", "Lang=PL"} << QStringList{"PCOM1", "JPolski", "skorkaZwy"} << "com1"
            << "Koniec" << QSize() << QStringList{"Port=COM1", "dimension=0", "skin=ord", "comments=0"};
        QTest::newRow("Lang EN with LangNazw polish.lng")
            << QStringList{"Lang=EN", "LangNazw=polish.lng"} << QStringList{"JPolski"} << "com1"
            << "Exit" << QSize() << QStringList{"Lang=PL", "LangNazw=polish.lng"};
        QTest::newRow("no language code loads no file")
            << QStringList{"LangNazw=czech.lng", "Port=COM2"} << QStringList{"JCzeski", "PCOM2"} << "com2"
            << "Koniec" << QSize() << QStringList{"Lang=CZ", "LangNazw=czech.lng", "Port=COM2"};
        QTest::newRow("dimension 0 follows the screen")
            << QStringList{"Lang=PL", "dimension=0"} << QStringList{"CzcionkaDuza"} << "com1"
            << "Koniec" << QSize() << QStringList{"dimension=0"};
        const QSize sizes[] = {{640, 460}, {730, 560}, {800, 590}, {1024, 745}, {1124, 860}, {1260, 1000}};
        for (int n = 1; n <= 6; ++n) {
            QStringList after{QStringLiteral("dimension=%1").arg(n)};
            if (n <= 3) after << QStringLiteral("WielkCzcionki=%1").arg(n - 1);
            QTest::addRow("dimension %d", n)
                << QStringList{"Lang=PL", QStringLiteral("dimension=%1").arg(n)}
                << QStringList{shell::layout::menuItem(n), "PamOstRozdz"} << "com1"
                << "Koniec" << sizes[n - 1] << after;
        }
        QTest::newRow("dimension of the wrong type is ignored, the rest stands")
            << QStringList{"Lang=EN", "LangNazw=english.lng", "dimension=abc", "skin=col"}
            << QStringList{"CzcionkaDuza", "JAngielski", "skorkaKol"} << "com1"
            << "Exit" << QSize() << QStringList{"dimension=0", "skin=col", "Lang=EN"};
        QTest::newRow("a device outside COM1-COM8")
            << QStringList{"Lang=PL", "Port=COM2", "PortDevice=<pty>"} << QStringList{"PortDevice1"}
            << "<pty>"
            << "Koniec" << QSize() << QStringList{"Port=COM2", "PortDevice=<pty>"};
    }

    void storedSettings() {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, checked);
        QFETCH(QString, port);
        QFETCH(QString, exit);
        QFETCH(QSize, window);
        QFETCH(QStringList, afterClose);
        QFile::remove(MainWindowRig::settingsPath());
        // The emulator's pty is known once it runs: the rows name it <pty>.
        auto emuPath = std::make_shared<QString>();
        {
            QSettings s = store();
            for (const QString& kv : stored)
                s.setValue(kv.section('=', 0, 0), kv.section('=', 1));
        }
        Options o;
        o.keepSettings = true;
        o.screen = Wide;
        o.configureLink = [emuPath](ControllerLink& link, const QString& pty) {
            *emuPath = pty;
            allComsOnEmulator(link, pty);
            // The stored device was selected (it names the pty before it exists).
            if (link.selectedPort() == QLatin1String("<pty>")) link.setSelectedPort(pty);
        };
        MainWindowRig r(o);
        auto withPty = [&](QString t) { return t.replace(QStringLiteral("<pty>"), *emuPath); };
        for (const QString& item : checked)
            QVERIFY2(r.form->menuItem(item) && r.form->menuItem(item)->isChecked(), qPrintable(item));
        if (!checked.contains(QStringLiteral("PamOstRozdz"))) QVERIFY(!r.item("PamOstRozdz")->isChecked());
        QCOMPARE(r.form->link().selectedPort(), withPty(port));
        QCOMPARE(r.item("KoniecButton")->text(), exit);
        if (window.isValid()) QCOMPARE(r.form->size(), window);
        QVERIFY2(r.shellMessages.isEmpty(), qPrintable(r.shellMessages.join('\n')));
        r.close();
        QSettings s = store();
        for (const QString& kv : afterClose)
            QCOMPARE(s.value(kv.section('=', 0, 0)).toString(), withPty(kv.section('=', 1)));
        if (!afterClose.join(' ').contains(QLatin1String("PortDevice"))) QVERIFY(!s.contains("PortDevice"));
    }

    void unwritableStoreIsReportedOnce() {
        // A folder that cannot be made: a file stands where it would be.
        const QString blocker = dir_.filePath(QStringLiteral("blocker"));
        writeFile(blocker, "not a folder");
        const QByteArray previous = qgetenv("QUENDRIX_SETTINGS");
        qputenv("QUENDRIX_SETTINGS", (blocker + QStringLiteral("/settings.ini")).toUtf8());
        {
            Options o;
            o.keepSettings = true;
            MainWindowRig r(o);
            QCOMPARE(r.shellMessages.size(), 1);
            QVERIFY(r.shellMessages[0].startsWith(r.form->shell().text(31001)));
            QVERIFY(r.shellMessages[0].contains(blocker));
            // The program goes on with the design defaults.
            QVERIFY(r.polling("TimerObr"));
            QVERIFY(r.item("JPolski")->isChecked());
            r.close();
            QCOMPARE(r.shellMessages.size(), 1);
        }
        qputenv("QUENDRIX_SETTINGS", previous);
    }

    void languageSwitch() {
        MainWindowRig r;
        r.w<QComboBox>("ComboBox1")->setCurrentIndex(3);
        r.w<QComboBox>("ComboBox21")->setCurrentIndex(0);
        r.w<QComboBox>("ComboBox2")->setCurrentIndex(4);
        QSignalSpy reloaded(&r.form->shell(), &ShellModel::textsChanged);

        r.item("JAngielski")->trigger();
        QVERIFY(r.item("JAngielski")->isChecked());
        QCOMPARE(r.item("KoniecButton")->text(), QStringLiteral("Exit"));
        QCOMPARE(r.item("JPolski")->text(), QStringLiteral("Polish"));
        QCOMPARE(r.form->pageControl()->tabText(1), QStringLiteral("System parameters"));
        QCOMPARE(r.w<QLabel>("Label1")->text(), QStringLiteral("Lambda probe type"));
        QCOMPARE(r.w<QComboBox>("ComboBox4")->itemText(0), QStringLiteral("rising"));
        // The lists keep what was chosen; the ignition list too (its choice is
        // written to the controller when the page is left).
        QCOMPARE(r.w<QComboBox>("ComboBox1")->currentIndex(), 3);
        QCOMPARE(r.w<QComboBox>("ComboBox21")->currentIndex(), 0);
        QCOMPARE(r.w<QComboBox>("ComboBox2")->currentIndex(), 4);
        QCOMPARE(r.w<QComboBox>("ComboBox2")->itemText(4), QStringLiteral("6 cylinders"));
        // The printout page refills its captions from the parameters page's keys.
        QVERIFY(reloaded.count() >= 1);
        QCOMPARE(r.w<QLabel>("LabelPS")->text(), r.item("ParButton")->text());
        QCOMPARE(r.w<QLabel>("LabelPS")->text(), QStringLiteral("System parameters"));
        for (const SheetRowDef& row : sheetRowDefs())
            QCOMPARE(r.w<QLabel>(qPrintable(row.captionLabel))->text(),
                     r.w<QLabel>(qPrintable(row.source))->text());
        // The petrol/gas indicator in the new language.
        const QString fuel = r.form->live().petrol() ? QStringLiteral("Petrol") : QStringLiteral("Gas");
        QCOMPARE(r.w<QLabel>("ZmiennaGazBenzyna")->text(), fuel);
        QCOMPARE(r.w<TLedLamp>("GasLed")->caption(), fuel);
        // Help in the language's file.
        QCOMPARE(r.form->shell().helpFile, QStringLiteral("help/quendrix_en.html"));
        QTest::keyClick(r.form.get(), Qt::Key_F1);
        QVERIFY(
            r.form->helpWindow()->browser()->source().path().endsWith(QStringLiteral("quendrix_en.html")));
        r.form->helpWindow()->close();

        r.item("JRosyjski")->trigger();
        QCOMPARE(r.item("KoniecButton")->text(), QString::fromUtf8("Выход"));
        QCOMPARE(r.form->shell().helpFile, QStringLiteral("help/quendrix_ru.html"));
        QCOMPARE(r.w<QComboBox>("ComboBox1")->currentIndex(), 3);
        QVERIFY(r.shellMessages.isEmpty());
    }

    void noAnswerTextFollowsTheLanguage() {
        MainWindowRig r(8, true);
        QLabel* panel0 = r.w<QLabel>("StatusPanel0");
        QTRY_COMPARE(panel0->text(), r.form->shell().text(10390));
        r.item("JAngielski")->trigger();
        QCOMPARE(panel0->text(), QStringLiteral("No answer from the controller"));
    }

    void languageFileProblems() {
        QTemporaryDir work;
        copyFolder(source(QStringLiteral("skins")), work.filePath(QStringLiteral("skins")));
        copyFolder(source(QStringLiteral("lang")), work.filePath(QStringLiteral("lang")));
        // A short line (reported, reading goes on), then a bad key (the rest is not applied).
        writeFile(work.filePath(QStringLiteral("lang/english.lng")),
                  "10107 Exit\r\n\r\n10108 About\r\n1x106 Help\r\n10106 Help\r\n");
        {
            DataFolder wf(work.path());
            MainWindowRig r;
            r.item("JAngielski")->trigger();
            QCOMPARE(r.shellMessages.size(), 2);
            QCOMPARE(r.shellMessages[0],
                     r.form->shell().text(30003) + QStringLiteral("\n\nenglish.lng, wiersz 2"));
            QVERIFY2(r.shellMessages[1].contains(QStringLiteral("english.lng, wiersz 4")),
                     qPrintable(r.shellMessages[1]));
            QCOMPARE(r.item("oprogramiebutton")->text(), QStringLiteral("About"));
            QCOMPARE(r.item("PomocButton")->text(), QStringLiteral("Pomoc"));
        }
        // No language file at all: said at start, and the program goes on.
        QTemporaryDir bare;
        copyFolder(source(QStringLiteral("skins")), bare.filePath(QStringLiteral("skins")));
        DataFolder wf(bare.path());
        MainWindowRig r;
        QCOMPARE(r.shellMessages.size(), 1);
        QVERIFY(r.shellMessages[0].startsWith(
            QStringLiteral("Brak plików z językami, proszę przeinstalować program")));
        QVERIFY2(r.shellMessages[0].contains(QDir::cleanPath(bare.path())), qPrintable(r.shellMessages[0]));
        QVERIFY(r.polling("TimerObr"));
    }

    void skinSwitch() {
        MainWindowRig r;
        auto* grad4 = r.w<TGradientPanel>("GradPanel4");
        auto* resButt = r.w<TColorButton>("ResButt");
        QCOMPARE(grad4->colorFrom(), skinColour(QStringLiteral("default.skr"), 10001));
        r.key(Qt::Key_F1, Qt::ControlModifier);
        QVERIFY(r.item("skorkaKol")->isChecked());
        const QString file = QStringLiteral("kolorowa_niebieski.skr");
        QCOMPARE(grad4->colorFrom(), skinColour(file, 10001));
        QCOMPARE(grad4->colorTo(), skinColour(file, 10002));
        QCOMPARE(resButt->backColor(), skinColour(file, 17101));
        QCOMPARE(r.w<TGradientPanel>("GradPanel23")->colorFrom(), skinColour(file, 12001));
        QCOMPARE(r.w<QLabel>("Label26")->palette().color(QPalette::WindowText), skinColour(file, 18202));
        // The highlight behind the focused parameter's caption.
        QCOMPARE(tColor(r.form->shell().labelHighlight), skinColour(file, 10010));
        r.key(Qt::Key_F3, Qt::ControlModifier);
        QVERIFY(r.item("SkorkaSil")->isChecked());
        QCOMPARE(resButt->backColor(), skinColour(QStringLiteral("silver.skr"), 17101));
        QVERIFY(r.shellMessages.isEmpty());
    }

    void skinsMixAndFail() {
        QTemporaryDir work;
        copyFolder(source(QStringLiteral("lang")), work.filePath(QStringLiteral("lang")));
        copyFolder(source(QStringLiteral("skins")), work.filePath(QStringLiteral("skins")));
        // One key and a short line; a value that is not a number.
        writeFile(work.filePath(QStringLiteral("skins/silver.skr")), "17101 $0000FF\r\n12\r\n");
        writeFile(work.filePath(QStringLiteral("skins/bezbarwn.skr")), "17101 $00FF00\r\n17102 green\r\n");
        DataFolder wf(work.path());
        MainWindowRig r;
        auto* grad4 = r.w<TGradientPanel>("GradPanel4");
        auto* resButt = r.w<TColorButton>("ResButt");
        const QColor ordinary = grad4->colorFrom();
        r.item("SkorkaSil")->trigger();
        QCOMPARE(resButt->backColor(), QColor(255, 0, 0));
        QCOMPARE(grad4->colorFrom(), ordinary); // what the skin does not name keeps its colour
        QVERIFY(r.item("SkorkaSil")->isChecked());
        QCOMPARE(r.shellMessages,
                 QStringList{QStringLiteral("Blad w Pliku Ze skorkami\n\nsilver.skr, wiersz 2")});
        r.item("SkorkaBez")->trigger();
        QCOMPARE(resButt->backColor(), QColor(0, 255, 0)); // the lines before the bad one stay
        QVERIFY(!r.item("SkorkaBez")->isChecked());
        QVERIFY(r.item("SkorkaSil")->isChecked());
        QCOMPARE(r.shellMessages.size(), 2);
        QVERIFY(r.shellMessages[1].contains(QStringLiteral("bezbarwn.skr, wiersz 2")));
    }

    void layoutMenuCommands_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QSize>("window");
        const QSize sizes[] = {{640, 460}, {730, 560}, {800, 590}, {1024, 745}, {1124, 860}, {1260, 1000}};
        for (int n = 1; n <= 6; ++n)
            QTest::addRow("%s", qPrintable(shell::layout::menuItem(n))) << n << sizes[n - 1];
    }

    void layoutMenuCommands() {
        QFETCH(int, item);
        QFETCH(QSize, window);
        static MainWindowRig* r = nullptr; // one window for all rows
        if (!r) {
            Options o;
            o.screen = Wide;
            r = new MainWindowRig(o);
            r->form->selectPageFromMenu(shell::Page::Wizualizacja);
            r->waitIdle();
        }
        MainWindow& f = *r->form;
        const shell::layout::Layout l = shell::layout::forItem(item);
        auto* meter = r->w("obrotomierz");
        auto* chart = r->w<TSweepChart>("Scope1");
        const QRect meterDesign = f.layoutApplier().designBounds(meter);
        for (int pass = 0; pass < 2; ++pass) { // twice: always from the design bounds
            f.layoutMenuClick(item);
            QVERIFY(r->form->menuItem(shell::layout::menuItem(item))->isChecked());
            QCOMPARE(f.size(), window);
            QCOMPARE(f.minimumSize(), f.maximumSize());
            QVERIFY(!f.layoutApplier().fullScreen());
            QCOMPARE(meter->geometry(), shell::layout::scaled(meterDesign, l.scale));
            QCOMPARE(r->w("Label26")->font().pointSize(), l.baseFont);
        }
        // The page control keeps inside the window; the chart draws at its size.
        QTRY_VERIFY(f.pageControl()->geometry().right() < f.width());
        QTRY_COMPARE(chart->image().size(), chart->size());
        if (item == 6) {
            delete r;
            r = nullptr;
        }
    }

    void layoutMatchingTheScreenIsFullScreen() {
        Options o;
        o.screen = {QSize(1024, 768), QRect(0, 0, 1024, 738)};
        MainWindowRig r(o);
        QVERIFY(r.item("N1024")->isChecked()); // the start layout by the screen width
        QVERIFY(r.form->layoutApplier().fullScreen());
        QVERIFY(r.form->windowState() & Qt::WindowMaximized);
        QVERIFY(r.form->windowFlags() & Qt::WindowMaximizeButtonHint);
        r.form->layoutMenuClick(3);
        QVERIFY(!r.form->layoutApplier().fullScreen());
        QCOMPARE(r.form->size(), QSize(800, 590));
        QVERIFY(!(r.form->windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void portMenuListsDevices() {
        QTemporaryDir devs;
        const QString byId = devs.filePath(QStringLiteral("by-id"));
        QDir().mkpath(byId);
        writeFile(devs.filePath(QStringLiteral("ttyACM0")), {});
        auto reports = std::make_shared<QList<PortReport>>();
        const QString stable = byId + QStringLiteral("/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        Options o;
        o.devices = [reports, byId] { return serialDevices(*reports, byId); };
        // The adapter is the emulator: its stable name is opened at start.
        o.configureLink = [reports, stable, &devs](ControllerLink& link, const QString& pty) {
            QFile::link(pty, stable);
            *reports = {{"ttyUSB0", pty, "FT232R USB UART", "FTDI"},
                        {"ttyACM0", devs.filePath(QStringLiteral("ttyACM0")), "", "Arduino"}};
            comsNowhere(link);
            link.setSelectedPort(stable);
        };
        {
            MainWindowRig r(o);
            QMenu* menu = r.w<QMenu>("PortGroup");
            emit menu->aboutToShow();
            QAction* adapter = r.item("PortDevice1");
            QAction* other = r.item("PortDevice2");
            QVERIFY(adapter && other);
            QCOMPARE(adapter->text(),
                     QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 - FT232R USB UART"));
            QCOMPARE(adapter->data().toString(), stable);
            QCOMPARE(other->text(), QStringLiteral("ttyACM0 - Arduino"));
            QVERIFY(menu->actions().indexOf(adapter) > menu->actions().indexOf(r.item("PCOM8")));
            QVERIFY(menu->actions().indexOf(other) < menu->actions().indexOf(r.item("AutodetekcjaMenu")));
            QVERIFY(adapter->isChecked()); // the port in use
            QVERIFY(!r.item("PCOM1")->isChecked());

            other->trigger();
            QCOMPARE(r.form->link().selectedPort(), devs.filePath(QStringLiteral("ttyACM0")));
            // Unplugged: gone from the menu when it opens again.
            reports->removeLast();
            emit menu->aboutToShow();
            QVERIFY(r.item("PortDevice1"));
            QCOMPARE(r.item("PortDevice1")->data().toString(), stable);
            // The chosen device stays listed while it is away, marked.
            QVERIFY(r.item("PortDevice2") && r.item("PortDevice2")->isChecked());
            r.item("PortDevice1")->trigger();
            QCOMPARE(r.form->link().selectedPort(), stable);
            r.close();
        }
        QSettings s = store();
        QCOMPARE(s.value("PortDevice").toString(), stable);
        QCOMPARE(s.value("Port").toString(), QStringLiteral("COM1"));

        // A restart opens the stored device; a COM port chosen again drops it.
        o.keepSettings = true;
        o.configureLink = [reports](ControllerLink& link, const QString&) { comsNowhere(link); };
        MainWindowRig r(o);
        QCOMPARE(r.form->link().selectedPort(), stable);
        QVERIFY(r.item("PortDevice1")->isChecked());
        QVERIFY(r.polling("TimerObr"));
        r.item("PCOM2")->trigger();
        QCOMPARE(r.form->link().selectedPort(), QStringLiteral("com2"));
        r.close();
        QSettings after = store();
        QVERIFY(!after.contains("PortDevice"));
        QCOMPARE(after.value("Port").toString(), QStringLiteral("COM2"));
    }

    void autodetectionTriesComsThenDevices() {
        Options o;
        o.configureLink = [](ControllerLink& link, const QString& pty) {
            comsNowhere(link);
            link.setSelectedPort(pty);
        };
        auto pty = std::make_shared<QString>();
        o.devices = [pty] {
            return QList<SerialDevice>{SerialDevice{*pty, *pty, QStringLiteral("emulator"), 0}};
        };
        MainWindowRig r(o);
        *pty = r.pty();
        r.item("PCOM1")->trigger();
        QStringList panel;
        connect(&r.form->shell(), &ShellModel::messageChanged, this, [&](const QString& t) { panel << t; });
        auto* progress = r.w<QProgressBar>("AutodetectProgress");

        r.item("AutodetekcjaMenu")->trigger();
        QVERIFY(r.form->ports().autodetecting());
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->maximum(), 9);
        QVERIFY(!r.item("AutodetekcjaMenu")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!r.form->ports().autodetecting(), 15000);
        const QString notFound = r.form->shell().text(10389), found = r.form->shell().text(10388);
        QStringList expected;
        for (int n = 1; n <= 8; ++n)
            expected << notFound + QStringLiteral(" com%1").arg(n);
        expected << found + QLatin1Char(' ') + *pty << found + QLatin1Char(' ') + *pty;
        QCOMPARE(panel, expected);
        QCOMPARE(r.form->link().selectedPort(), *pty);
        QVERIFY(r.item("PortDevice1")->isChecked());
        QVERIFY(!progress->isVisible());
        QVERIFY(r.item("AutodetekcjaMenu")->isEnabled());
    }

    void autodetectionCanBeStopped() {
        Options o;
        o.silent = true; // every port opens, none answers: each one takes its waits
        o.configureLink = [](ControllerLink& link, const QString& pty) {
            allComsOnEmulator(link, pty);
            link.setSelectedPort(QStringLiteral("com1"));
        };
        MainWindowRig r(o);
        auto* progress = r.w<QProgressBar>("AutodetectProgress");
        int ticks = 0;
        QTimer gui;
        connect(&gui, &QTimer::timeout, this, [&] { ++ticks; });
        gui.start(5);
        r.item("AutodetekcjaMenu")->trigger();
        QTRY_VERIFY(progress->value() >= 1);
        QVERIFY(ticks > 0); // the window went on working meanwhile
        QTest::mouseClick(r.w<QToolButton>("AutodetectCancel"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!r.form->ports().autodetecting(), 15000);
        QVERIFY2(progress->value() < progress->maximum(), qPrintable(QString::number(progress->value())));
        QCOMPARE(r.w<QLabel>("StatusPanel1")->text(), r.form->shell().text(31006));
    }

    void keyTablesReachTheirControls() {
        MainWindowRig r;
        QSet<QString> names;
        for (int key : shell::lang::allKeys())
            for (const shell::lang::Target& t : shell::lang::targets(key))
                if (!t.objectName.isEmpty()) names << t.objectName;
        for (int key : shell::skin::allKeys())
            for (const shell::skin::Target& t : shell::skin::targets(key))
                if (!t.objectName.isEmpty()) names << t.objectName;
        QStringList missing;
        for (const QString& n : std::as_const(names))
            if (!r.form->findChild<QObject*>(n)) missing << n;
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
        // The ones this window owns: the parameters page's backgrounds and the
        // chart's scale labels.
        for (const char* n :
             {"GradPanel23", "GradPanel24", "GradPanelPanelDol", "Label48", "Label52", "Label53", "Label1",
              "Label26", "Label91", "PortGroup", "Czcionka", "Skorka", "Wyglad"})
            QVERIFY2(r.form->findChild<QObject*>(QString::fromLatin1(n)), n);
    }

    // Every design rectangle of the control table places a control the window builds, and
    // nothing on its page moves it elsewhere.
    void designRectanglesPlaceTheirControls() {
        MainWindowRig r;
        QStringList wrong;
        for (const ctl::Row& row : ctl::all()) {
            if (row.design.isNull()) continue;
            // The print sheet repeats a few names of the engine speed page in its own layouts.
            bool placed = false;
            for (const QWidget* w : r.form->findChildren<QWidget*>(QString::fromLatin1(row.name))) {
                // A background filling its tab page keeps filling it (the applier sizes it).
                const QRect design = r.form->layoutApplier().designBounds(w);
                placed = placed || design == row.design ||
                         (!design.isValid() && w->geometry() == w->parentWidget()->rect());
            }
            if (!placed) wrong << QString::fromLatin1(row.name);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char(' '))));
    }

    // Every skin key colours the part of its control it names: one line of a
    // distinct colour through the applier, then that part read back.
    void skinKeysReachTheirProperties() {
        MainWindowRig r;
        unsigned highlight = 0;
        SkinApplier applier(r.form.get(), &highlight);
        QStringList wrong;
        for (int key : shell::skin::allKeys())
            for (const shell::skin::Target& t : shell::skin::targets(key)) {
                if (t.property == shell::skin::Property::LabelHighlight) continue;
                const QList<QWidget*> controls = r.form->findChildren<QWidget*>(t.objectName);
                const QString where =
                    QStringLiteral("%1 %2 %3").arg(key).arg(t.objectName, propertyName(t.property));
                if (controls.isEmpty()) wrong << where + QStringLiteral(" (no control)");
                const qint32 value = (key * 7919) & 0xFFFFFF;
                for (QWidget* w : controls) {
                    if (t.property == shell::skin::Property::Visible) {
                        applier.apply(oneSkinLine(key, 0));
                        const bool hidden = w->isHidden();
                        applier.apply(oneSkinLine(key, 1));
                        if (!hidden || w->isHidden()) wrong << where;
                        continue;
                    }
                    applier.apply(oneSkinLine(key, value));
                    if (skinPart(w, t.property) != SkinApplier::colour(value)) wrong << where;
                }
            }
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("key control property: ") + wrong.join(", ")));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestShellWindow)
#include "tst_shellwindow.moc"
