// The real main window against the emulated controller on a pseudo-terminal,
// driven by object names and shortcuts.
#include "tst_mainwindow.h"

void TestMainWindow::initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("QUENDRIX_SETTINGS", dir_.filePath("settings.ini").toUtf8());
}

void TestMainWindow::startupExchangesAndCaption() {
    Rig r(8);
    QTRY_VERIFY(r.count(0x02) > 0);
    // feature version, analog capability, threshold read, version, ignition read; then polls
    const Bytes expected{0x01, 0x01, 0xAA, 0x22, 0x0A, 0x01, 0x09};
    QCOMPARE(hex(r.untilFirstPoll()), hex(expected));
    const QString caption = r.form->windowTitle();
    QVERIFY2(caption.startsWith(QStringLiteral("Quendrix wersja 4.3 (Build 94) - ")), qPrintable(caption));
    QVERIFY2(caption.endsWith(r.form->shell().text(30000) + QStringLiteral(" 8")), qPrintable(caption));
    QVERIFY(r.polling("TimerObr"));
    QCOMPARE(r.current(), QStringLiteral("ObrotyTab"));
    QCOMPARE(r.form->link().state().ignitionIndex, 3);
    QCOMPARE(r.form->live().ignitionChoice(), 3);
}

void TestMainWindow::captionWithoutController() {
    Rig r(5, true);
    QCOMPARE(r.form->windowTitle(),
             QStringLiteral("Quendrix wersja 4.3 (Build 94) - ") + r.form->shell().text(30001));
    QTRY_COMPARE(r.form->findChild<QLabel*>("StatusPanel0")->text(), r.form->shell().text(10390));
}

void TestMainWindow::windowFrame() {
    Rig r;
    MainWindow& f = *r.form;
    // First start on a 1366-pixel screen: the screen-width layout keeps the
    // design and checks 800x600; the 800x600 parameter page sizes the window.
    QCOMPARE(f.size(), QSize(800, 590));
    QCOMPARE(f.minimumSize(), f.maximumSize()); // not resizable by dragging
    QVERIFY(r.item("CzcionkaDuza")->isChecked());
    QCOMPARE(f.pageControl()->geometry().topLeft(), QPoint(2, 0));
    QCOMPARE(f.pageControl()->width(), 795);
    QTabWidget* pc = f.findChild<QTabWidget*>("pagecontrol1");
    QVERIFY(pc);
    const QStringList names{"ObrotyTab", "ParametryTab", "WizualizacjaTab", "AutoadaptacjaTab",
                            "DrukowanieTab"};
    const QStringList captions{"Obroty", "Parametry systemu", "Wizualizacja", "Autoadaptacja",
                               "Drukowanie parametrów"};
    QCOMPARE(pc->count(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(pc->widget(i)->objectName(), names[i]);
        QCOMPARE(pc->tabText(i), captions[i]);
    }
    QVERIFY(f.findChild<QTabWidget*>("PageControl2"));
    QVERIFY(f.findChild<QWidget*>("adaptterm"));
    // Only the start page's timer polls.
    QCOMPARE(f.link().activePolls(), QStringList{QStringLiteral("TimerObr")});
    QStatusBar* sb = f.findChild<QStatusBar*>("StatusBar1");
    QVERIFY(sb);
    // Each panel holds a whole line of its type inside its frame: no descender cut.
    for (const char* name : {"StatusPanel0", "StatusPanel1"}) {
        auto* panel = f.findChild<QLabel*>(name);
        QVERIFY(panel->contentsRect().height() >= QFontMetrics(panel->font()).height());
        QVERIFY(panel->geometry().bottom() < sb->height());
    }
    QVERIFY(f.findChild<QLabel*>("StatusPanel0")->width() >= 150);
    QVERIFY(f.findChild<QLabel*>("StatusPanel1")->width() >= 50);
}

void TestMainWindow::menuItems_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("check"); // -1 not checkable, 0 unchecked, 1 checked
    auto row = [](const char* n, const char* c, const char* k = "", int check = -1) {
        QTest::newRow(n) << QString::fromLatin1(n) << QString::fromUtf8(c) << QString::fromLatin1(k) << check;
    };
    row("MenuTab", "Menu");
    row("ParButton", "Parametry systemu", "F2");
    row("WizButton", "Wizualizacja", "F3");
    row("ObrButton", "Obroty", "F4");
    row("AutoButton", "Autoadaptacja", "F5");
    row("DruButton", "Drukowanie parametrów", "F9");
    row("DefaultOption", "Domyślne ustawienia");
    row("NagrywajItem", "Nagrywaj", "F7", 0);
    row("SzybkiZapisItem", "Szybki zapis jazdy", "", 0);
    row("PrzegladarkaItem", "Przeglądarka zapisów jazdy...", "F8");
    row("ProtocolTrace", "Podgląd transmisji", "Ctrl+T");
    row("PortGroup", "Port");
    row("PCOM1", "COM1", "", 1);
    for (int n = 2; n <= 8; ++n) {
        const QByteArray name = "PCOM" + QByteArray::number(n), cap = "COM" + QByteArray::number(n);
        QTest::newRow(name.constData())
            << QString::fromLatin1(name) << QString::fromLatin1(cap) << QString() << 0;
    }
    row("AutodetekcjaMenu", "Autodetekcja");
    row("Jezyki", "Język");
    // The language names come from the language file loaded at start.
    row("JPolski", "polski", "", 1);
    row("JAngielski", "angielski", "", 0);
    row("JRosyjski", "rosyjski", "", 0);
    row("JCzeski", "czeski", "", 0);
    row("JWloski", "wloski", "", 0);
    row("Wyglad", "Wyglad");
    row("Czcionka", "Rozdzielczość");
    row("CzcionkaMala", "640x480", "", 0);
    row("CzcionkaSrednia", "720x576", "", 0);
    row("CzcionkaDuza", "800x600", "", 1); // a 1366-pixel screen
    row("N1024", "1024x768", "", 0);
    row("N1152", "1152x864", "", 0);
    row("N1280", "1280x1024", "", 0);
    row("Skorka", "Skorka");
    row("skorkaKol", "skorka kolor", "Ctrl+F1", 0);
    row("skorkaZwy", "skorka zwykla", "Ctrl+F2", 1);
    row("SkorkaSil", "skorka srebrna", "Ctrl+F3", 0);
    row("SkorkaBez", "skorka bezbarwna", "Ctrl+F4", 0);
    row("PamOstRozdz", "pamietaj ost rozdzielczosc", "", 0);
    row("PomocButton", "Pomoc", "F1");
    row("KoniecButton", "Koniec");
    row("oprogramiebutton", "o programie");
}

void TestMainWindow::menuItems() {
    static Rig* r = nullptr; // one window for all rows
    if (!r) r = new Rig;
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(int, check);
    QAction* a = r->form->menuItem(name);
    QVERIFY2(a, qPrintable(name));
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(), shortcut);
    QCOMPARE(a->isCheckable(), check >= 0);
    if (check >= 0) QCOMPARE(a->isChecked(), check == 1);
    QVERIFY(a->isVisible());
    if (name == QLatin1String("oprogramiebutton")) {
        delete r;
        r = nullptr;
    }
}

void TestMainWindow::hiddenItemsAreShortcutsOnly() {
    Rig r;
    const QList<QMenu*> menus = r.form->menuBar()->findChildren<QMenu*>();
    for (const char* name : {"a1", "Dalej1", "wersjasterownika1"}) {
        QAction* a = r.item(name);
        QVERIFY2(a, name);
        QVERIFY(r.form->actions().contains(a)); // window-level, so its shortcut works
        for (QMenu* m : menus)
            QVERIFY2(!m->actions().contains(a), name);
        QVERIFY(!r.form->menuBar()->actions().contains(a));
    }
    QCOMPARE(r.item("a1")->shortcut(), QKeySequence(Qt::Key_Backspace));
    QVERIFY(r.item("Dalej1")->shortcuts().contains(QKeySequence(Qt::Key_Return)));
    QCOMPARE(r.item("wersjasterownika1")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F1));
}

void TestMainWindow::pageChangeRunsCommonSteps() {
    Rig r;
    QTRY_VERIFY(!r.received().empty());
    r.form->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(1);
    r.emu->clearReceived();
    r.key(Qt::Key_F3);
    QCOMPARE(r.current(), QStringLiteral("WizualizacjaTab"));
    QTRY_VERIFY(r.received().size() >= 10);
    const Bytes b = r.received();
    const int chosen = 1;
    // On a version-8 controller the page's analog threshold goes first (check,
    // then command mode), then the ignition write of the page being left, then
    // the version request.
    const auto ign = std::find(b.begin(), b.end(), uint8_t(0x1F));
    QVERIFY(ign != b.end());
    QCOMPARE(hex(Bytes(b.begin(), ign)), hex(Bytes{0x01, 0xAA, 0xAA, 0x23, 0x01, 0x0A}));
    QCOMPARE(hex(Bytes(ign, ign + 4)), hex(Bytes{0x1F, uint8_t(chosen), 0x00, 0x01}));
    QTRY_COMPARE(r.emu->withModel([](qsim::ControllerModel& m) { return m.storedIgnition(); }), chosen);
    QVERIFY(!r.polling("TimerObr"));
    QVERIFY(r.polling("TimerWiz"));

    // Leaving a page that does not poll the ignition writes none.
    r.emu->clearReceived();
    r.key(Qt::Key_F9);
    QCOMPARE(r.form->findChild<QLabel*>("StatusPanel1")->text(), QString());
    QTRY_VERIFY([&] {
        const Bytes got = r.received();
        return std::any_of(got.begin(), got.end(), [](uint8_t x) { return x != 0x02; });
    }());
    // A live poll sent just before the key may reach the emulator after the
    // clear; what the leave itself sends starts with the version request.
    Bytes left = r.received();
    while (!left.empty() && left.front() == 0x02)
        left.erase(left.begin());
    QVERIFY(!left.empty());
    QCOMPARE(int(left.front()), 0x01);
    QVERIFY(std::find(left.begin(), left.end(), uint8_t(0x1F)) == left.end());
}

void TestMainWindow::menuSelectionSkipsLeaveChecksTabClickRunsThem() {
    Rig r;
    shell::Navigator& nav = r.form->navigator();
    r.key(Qt::Key_F2);
    QCOMPARE(r.current(), QStringLiteral("ParametryTab"));
    QCOMPARE(nav.leaveChecks(), 0);
    r.item("WizButton")->trigger();
    r.waitIdle();
    QCOMPARE(r.current(), QStringLiteral("WizualizacjaTab"));
    QCOMPARE(nav.leaveChecks(), 0);

    r.clickTab(0);
    QCOMPARE(nav.leaveChecks(), 1);
    QCOMPARE(r.current(), QStringLiteral("ObrotyTab"));
    QCOMPARE(nav.current(), shell::Page::Obroty);
    QVERIFY(r.polling("TimerObr"));

    // Clicking the tab that is already shown runs nothing.
    r.clickTab(0);
    QCOMPARE(nav.leaveChecks(), 1);

    // Keyboard switching on the tab bar is a tab change too.
    r.form->pageControl()->tabBar()->setFocus();
    QTest::keyClick(r.form->pageControl()->tabBar(), Qt::Key_Right);
    r.waitIdle();
    QCOMPARE(nav.leaveChecks(), 2);
    QCOMPARE(r.current(), QStringLiteral("ParametryTab"));
}

void TestMainWindow::printTabAppearsAfterParametersPage() {
    Rig r;
    QTabWidget* pc = r.form->pageControl();
    QVERIFY(!pc->isTabVisible(4));
    r.key(Qt::Key_F3);
    r.key(Qt::Key_F5);
    QVERIFY(!pc->isTabVisible(4));
    QVERIFY(!r.form->shell().paramsVisited);
    r.key(Qt::Key_F2);
    QVERIFY(pc->isTabVisible(4));
    QVERIFY(r.form->shell().paramsVisited);
    r.clickTab(4);
    QCOMPARE(r.current(), QStringLiteral("DrukowanieTab"));
    QVERIFY(!r.form->params().written());
}

void TestMainWindow::stepKeysOnlyOnParametersPage() {
    Rig r;
    QVERIFY(!r.item("Dalej1")->isEnabled());
    QVERIFY(!r.item("a1")->isEnabled());
    r.key(Qt::Key_F2);
    QVERIFY(r.item("Dalej1")->isEnabled());
    QVERIFY(r.item("a1")->isEnabled());
    r.key(Qt::Key_F4);
    QVERIFY(!r.item("Dalej1")->isEnabled());

    // Elsewhere Enter reaches the focused widget.
    r.key(Qt::Key_F3);
    auto* edit = new QLineEdit(r.form->pageControl()->currentWidget());
    edit->show();
    edit->setFocus();
    QApplication::setActiveWindow(r.form.get());
    int returns = 0;
    connect(edit, &QLineEdit::returnPressed, [&] { ++returns; });
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(returns, 1);
}

void TestMainWindow::versionItemOnlyOnParametersPage() {
    Rig r;
    QTRY_VERIFY(!r.received().empty());
    r.form->link().stopAllPolling();
    QTest::qWait(100);
    r.emu->clearReceived();
    r.item("wersjasterownika1")->trigger();
    QTest::qWait(100);
    QVERIFY(r.received().empty());

    r.key(Qt::Key_F2);
    r.form->link().stopAllPolling();
    QTest::qWait(100);
    r.emu->withModel([](qsim::ControllerModel& m) {
        m.setVersionCode(6);
        return 0;
    });
    r.emu->clearReceived();
    r.key(Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY(!r.received().empty());
    QCOMPARE(hex(r.received()), QStringLiteral("01"));
    QVERIFY(r.form->windowTitle().endsWith(QStringLiteral(" 6")));
}

void TestMainWindow::portItemsSelectPort() {
    Rig r;
    r.item("PCOM3")->trigger();
    QCOMPARE(r.form->link().selectedPort(), QStringLiteral("com3"));
    QVERIFY(r.item("PCOM3")->isChecked());
    QVERIFY(!r.item("PCOM1")->isChecked());
}

void TestMainWindow::exitAsksAndNoKeepsRunning() {
    Rig r;
    QString question;
    answerNextBox(QMessageBox::No, &question);
    r.item("KoniecButton")->trigger();
    QCOMPARE(question, QStringLiteral("Czy zakończyć program ?"));
    QVERIFY(r.form->isVisible());
    QCOMPARE(r.form->settingsSaveCount(), 0);
    QVERIFY(r.polling("TimerObr"));
}

void TestMainWindow::exitYesSavesAndCloses() {
    Rig r;
    answerNextBox(QMessageBox::Yes);
    r.item("KoniecButton")->trigger();
    QVERIFY(!r.form->isVisible());
    QCOMPARE(r.form->settingsSaveCount(), 1);
    QVERIFY(r.form->link().activePolls().isEmpty());
}

void TestMainWindow::closeBoxSavesWithoutAsking() {
    Rig r;
    bool asked = false;
    QTimer::singleShot(150, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = true;
            box->reject();
        }
    });
    QVERIFY(r.form->close());
    QTest::qWait(250);
    QVERIFY(!asked);
    QCOMPARE(r.form->settingsSaveCount(), 1);
    QVERIFY(!r.polling("TimerObr"));
}

void TestMainWindow::aboutBoxCopiesCaptionAndOpensLinks() {
    Rig r;
    UrlSink sink;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &sink, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &sink, "open");
    QString quen, date;
    QTimer::singleShot(150, [&] {
        AboutDialog* box = r.form->aboutBox();
        QVERIFY(box->isVisible());
        quen = box->findChild<QLabel*>("LabelQuen")->text();
        date = box->findChild<QLabel*>("CzasLabel")->text();
        QLabel* www = box->findChild<QLabel*>("wwwLabel");
        QLabel* mail = box->findChild<QLabel*>("emailLabel");
        QTest::mouseClick(www, Qt::LeftButton);
        mail->setFocus();
        QTest::keyClick(mail, Qt::Key_Return);
        box->accept();
    });
    r.item("oprogramiebutton")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QCOMPARE(quen, r.form->windowTitle());
    QCOMPARE(date, QStringLiteral("30.VI.2005"));
    QCOMPARE(sink.urls.size(), 2);
    QCOMPARE(sink.urls[0], QUrl(QStringLiteral("https://www.quendrix.example")));
    QCOMPARE(sink.urls[1].toString(), QStringLiteral("mailto:serwis@quendrix.example?subject=Quendrix"));
}

void TestMainWindow::helpOpensAtTopic() {
    Rig r;
    QTest::keyClick(r.form.get(), Qt::Key_F1);
    HelpWindow* help = r.form->helpWindow();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    const QUrl src = help->browser()->source();
    QVERIFY2(src.path().endsWith(QStringLiteral("help/quendrix_pl.html")), qPrintable(src.toString()));
    QCOMPARE(src.fragment(), QStringLiteral("IDH_210"));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Obroty")));
    // The language switch changes the file; F1 follows it.
    r.form->shell().helpFile = QStringLiteral("help/quendrix_en.html");
    QTest::keyClick(r.form.get(), Qt::Key_F1);
    QVERIFY(help->browser()->source().path().endsWith(QStringLiteral("quendrix_en.html")));
}

void TestMainWindow::printPageFromMenuBeforeParametersVisited() {
    Rig r;
    r.key(Qt::Key_F9);
    QCOMPARE(r.form->navigator().current(), shell::Page::Drukowanie);
    QCOMPARE(r.current(), QStringLiteral("DrukowanieTab"));
    QVERIFY(!r.form->pageControl()->isTabVisible(4)); // the tab itself stays hidden
    // ... and leaves no trace of its caption on the tab bar.
    QTabWidget* pages = r.form->pageControl();
    const QImage shown = pages->grab().toImage();
    const QString caption = pages->tabText(4);
    pages->setTabText(4, QString());
    QCOMPARE(pages->grab().toImage(), shown);
    pages->setTabText(4, caption);
    r.key(Qt::Key_F4);
    QCOMPARE(r.current(), QStringLiteral("ObrotyTab"));
}

void TestMainWindow::defaultSettingsRestorePortAndReadBlock() {
    Rig r;
    r.item("JAngielski")->setChecked(true);
    r.item("PCOM3")->trigger();
    r.form->link().stopAllPolling();
    QTest::qWait(100);
    r.emu->clearReceived();
    r.item("DefaultOption")->trigger();
    r.waitIdle();
    QCOMPARE(r.form->link().selectedPort(), QStringLiteral("com1"));
    QVERIFY(r.item("PCOM1")->isChecked());
    QVERIFY(r.item("JPolski")->isChecked());
    QVERIFY(r.item("skorkaZwy")->isChecked());
    QTRY_VERIFY(r.count(0x09) == 1); // the block was read from the controller on COM1
    QVERIFY(r.form->link().state().portOpen);
}

QTEST_MAIN(TestMainWindow)
