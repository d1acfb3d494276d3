#include "tst_paramwindow.h"

void TestParamWindow::initTestCase() {
    QVERIFY(settings_.isValid());
    qputenv("QUENDRIX_SETTINGS", settings_.filePath("settings.ini").toUtf8()); // never the user's own
    qputenv("QUENDRIX_HISTORY", settings_.filePath("history").toUtf8());       // nor restore points
}

void TestParamWindow::pageSavesWhatTheCliReads() {
    Rig r;
    // The controller holds a car's set (written by the command-line tool).
    r.writeFile("car.qx4", carFile());
    Run run = r.cli({"write", r.path("car.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    run = r.cli({"read", r.path("cli.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    QCOMPARE(r.readFile("cli.qx4"), carFile());

    r.open();
    r.key(Qt::Key_F2); // the parameters page reads the block
    r.nextPath = r.path("page.qx4");
    r.click("ZapiszButtPlik");
    QCOMPARE(r.asked, QList<Kind>{Kind::Save});
    QVERIFY(r.messages.empty());
    QCOMPARE(r.readFile("page.qx4"), r.readFile("cli.qx4"));
}

void TestParamWindow::saveAndLoadThroughTheButtons() {
    Rig r;
    r.open();
    r.key(Qt::Key_F2);
    const QByteArray read = r.pageFile();

    // The fitter changes every kind of control.
    r.type("Edit3", "3000");
    r.combo("ComboBox1")->setCurrentIndex(2);
    r.check("CheckBox15")->click();
    r.type("Edit16", "40");
    r.check("CheckBox13_3")->click(); // both lambda times become 0
    r.combo("ComboBox9")->setFocus();
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Down);
    QVERIFY(r.edit("Edit10")->isEnabled());
    const QByteArray edited = r.pageFile();
    for (const char* line : {"102:3000", "100:2", "118:1", "119:40", "117:1", "115:0", "116:0", "109:1"})
        QVERIFY2(edited.contains(QByteArray("\r\n") + line + "\r\n"), line);

    // Enter on the focused file button saves.
    r.nextPath = r.path("car.qx4");
    QAbstractButton* save = r.w<QAbstractButton>("ZapiszButtPlik");
    save->setFocus();
    QTRY_VERIFY(save->hasFocus());
    QTest::keyClick(save, Qt::Key_Return);
    r.waitIdle();
    QCOMPARE(r.readFile("car.qx4"), edited);

    // The controller's values back on the page, then the file through its button.
    r.click("odczButPic");
    QCOMPARE(r.pageFile(), read);
    QVERIFY(!r.edit("Edit16")->isEnabled());
    r.form->shell().setMessage({});
    r.click("OdczytButtPlik");
    QCOMPARE(r.asked, (QList<Kind>{Kind::Save, Kind::Open}));
    QCOMPARE(r.pageFile(), edited);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("3000"));
    QCOMPARE(r.combo("ComboBox1")->currentIndex(), 2);
    QVERIFY(r.check("CheckBox15")->isChecked() && r.edit("Edit16")->isEnabled() &&
            r.edit("Edit17")->isEnabled());
    QCOMPARE(r.edit("Edit16")->text(), QStringLiteral("40"));
    QVERIFY(r.check("CheckBox13_3")->isChecked());
    QCOMPARE(r.edit("Edit13_1")->text() + "/" + r.edit("Edit13_2")->text(), QStringLiteral("0/0"));
    QVERIFY(r.edit("Edit10")->isEnabled());
    QCOMPARE(r.form->params().origin(), ParameterModel::Origin::File);
    QVERIFY(r.form->params().automaticWriteAllowed());
    QCOMPARE(r.panel(), QString::fromUtf8("Wczytano plik parametrów car.qx4"));
    QVERIFY(r.messages.empty());

    // Cancelled dialogs change nothing; a file that cannot be created is named with the reason.
    r.nextPath.clear();
    r.type("Edit3", "2500");
    r.click("OdczytButtPlik");
    r.click("ZapiszButtPlik");
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2500"));
    QVERIFY(r.messages.empty());
    r.nextPath = r.path("missing/car.qx4");
    r.click("ZapiszButtPlik");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::Critical);
    QVERIFY2(r.messages[0].text.contains(r.nextPath) && r.messages[0].text.size() > r.nextPath.size() + 20,
             qPrintable(r.messages[0].text));
    QVERIFY(!QFile::exists(r.nextPath));
}

void TestParamWindow::fileWithAnErrorChangesNothing() {
    Rig r;
    r.open();
    r.key(Qt::Key_F2);
    const QByteArray before = r.pageFile();

    // A good change before the bad line: the whole file is refused.
    QByteArray bad = before;
    bad.replace("\r\n102:2000\r\n", "\r\n102:2600\r\n").replace("\r\n103:0\r\n", "\r\n103:x\r\n");
    r.writeFile("bad.qx4", bad);
    r.nextPath = r.path("bad.qx4");
    r.form->shell().setMessage({});
    r.click("OdczytButtPlik");
    QCOMPARE(r.pageFile(), before);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QCOMPARE(r.messages.size(), std::size_t(1));
    const QString text = r.messages[0].text;
    // In the window's language (Polish here), not the file reader's English.
    QVERIFY2(text.contains(r.nextPath) && text.contains(QString::fromUtf8("wiersz 8")) &&
                 text.contains("103:x") && text.contains(r.form->shell().text(31021).arg("x")) &&
                 !text.contains("valid"),
             qPrintable(text));
    QVERIFY(r.panel().isEmpty());
    QCOMPARE(r.form->params().origin(), ParameterModel::Origin::Controller);

    // A file without parameters says so; nothing is loaded.
    r.messages.clear();
    r.writeFile("empty.qx4", "#---x\r\n");
    r.nextPath = r.path("empty.qx4");
    r.click("OdczytButtPlik");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, r.form->shell().text(textkey::FileWithoutParameters).arg(r.nextPath));
    QCOMPARE(r.pageFile(), before);
    QVERIFY(r.panel().isEmpty());

    // Lines too short to hold a key: one message each, the rest loads.
    r.messages.clear();
    QByteArray shortLines = before;
    shortLines.replace("\r\n102:2000\r\n", "\r\n102:2600\r\n\r\nab\r\n");
    r.writeFile("short.qx4", shortLines);
    r.nextPath = r.path("short.qx4");
    r.click("OdczytButtPlik");
    QCOMPARE(r.messages.size(), std::size_t(2));
    for (const Message& m : r.messages)
        QCOMPARE(m.text, QString::fromUtf8("Błąd w pliku"));
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2600"));
}

void TestParamWindow::loadedFileIsWrittenOnTheWayToTheLivePage() {
    Rig r;
    r.writeFile("car.qx4", carFile());
    r.open();
    r.key(Qt::Key_F2);
    r.nextPath = r.path("car.qx4");
    r.click("OdczytButtPlik");
    r.key(Qt::Key_F3); // the automatic write of a page change
    r.close();
    Run run = r.cli({"diff", r.path("car.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));

    // After an explicit write, a file whose check boxes change nothing still
    // leaves values the controller does not hold: they are written too.
    QByteArray other = carFile();
    other.replace("\r\n102:3000\r\n", "\r\n102:2500\r\n").replace("\r\n119:40\r\n", "\r\n119:50\r\n");
    r.writeFile("other.qx4", other);
    r.open();
    r.key(Qt::Key_F2);
    r.click("ZapButPic");
    QVERIFY(r.form->params().written());
    r.nextPath = r.path("other.qx4");
    r.click("OdczytButtPlik");
    QVERIFY(!r.form->params().written());
    r.key(Qt::Key_F4);
    r.close();
    run = r.cli({"diff", r.path("other.qx4")});
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
}

void TestParamWindow::valuesTheControllerCannotHoldAreNotWritten() {
    Rig r;
    QByteArray file = carFile();
    file.replace("\r\n113:100\r\n", "\r\n113:300\r\n")
        .replace("\r\n114:1\r\n", "\r\n114:200\r\n")
        .replace("\r\n101:0,50\r\n", "\r\n101:7,77\r\n")
        .replace("\r\n111:20\r\n", "\r\n111:-5\r\n")
        .replace("\r\n112:180\r\n", "\r\n112:999\r\n");
    r.writeFile("wrapped.qx4", file);
    r.open();
    r.key(Qt::Key_F2);
    const auto before = r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); });
    r.nextPath = r.path("wrapped.qx4");
    r.click("OdczytButtPlik"); // loading stays lenient
    QCOMPARE(r.edit("Edit12")->text(), QStringLiteral("300"));
    QCOMPARE(r.edit("Edit2")->text(), QStringLiteral("7,77"));
    r.clearCommands();
    r.click("ZapButPic");
    // One message naming every value with its range; nothing went out.
    QCOMPARE(r.messages.size(), std::size_t(1));
    const QString said = r.messages[0].text;
    for (const char* value : {"= 300 (", "= 200 (", "= 7,77 (", "= -5 (", "= 999 ("})
        QVERIFY2(said.contains(QString::fromLatin1(value)), qPrintable(said));
    QCOMPARE(said.count(QStringLiteral("(zakres ")), 5);
    QCOMPARE(r.panel(), said);
    for (const qsim::ReceivedCommand& c : r.commands())
        QVERIFY2(c.code != 0x1E && c.code != 0x13, qPrintable(QString::number(c.code, 16)));
    QVERIFY(r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); }) == before);
    // ... nor on the way to the live page.
    r.key(Qt::Key_F3);
    QVERIFY(r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); }) == before);
}

QTEST_MAIN(TestParamWindow)
