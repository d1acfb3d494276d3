#include "tst_paramwindow.h"

void TestParamWindow::historyRestoresTheBlockByteExact() {
    Rig r;
    qputenv("QUENDRIX_HISTORY", r.path("history").toUtf8()); // the points of this test alone
    r.writeFile("car.qx4", carFile());
    r.open();
    auto block = [&r] { return r.emu->withModel([](qsim::ControllerModel& m) { return m.block(); }); };
    const auto original = block();
    // A file written, then a typed value: a restore point before each.
    r.key(Qt::Key_F2);
    r.nextPath = r.path("car.qx4");
    r.click("OdczytButtPlik");
    r.click("ZapButPic");
    r.type("Edit3", "3500");
    r.click("ZapButPic");
    QVERIFY(block() != original);

    // Reached from the comparison with Tab, run with Enter.
    auto* compare = r.w<QWidget>("PorownajButt");
    compare->setFocus();
    QTRY_VERIFY(compare->hasFocus());
    QTest::keyClick(compare, Qt::Key_Tab);
    QVERIFY(r.w<QWidget>("HistoriaButt")->hasFocus());
    QTest::keyClick(r.w<QWidget>("HistoriaButt"), Qt::Key_Return);
    r.waitIdle();
    QDialog* dialog = r.params->historyDialog();
    QVERIFY(dialog && dialog->isVisible());
    auto* table = dialog->findChild<QTableWidget*>("HistoriaTabela");
    QCOMPARE(table->rowCount(), 2); // newest first
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Zapisz parametry"));
    QCOMPARE(table->item(0, 3)->text(), QString::fromUtf8("Obroty dla przejścia B/G"));
    QVERIFY2(table->item(1, 3)->text().contains(QString::fromUtf8("Rodzaj sondy lambda")),
             qPrintable(table->item(1, 3)->text()));
    checkFits(dialog);
    if (const QString dir = qEnvironmentVariable("QUENDRIX_SHOT_DIR"); !dir.isEmpty())
        dialog->grab().save(dir + "/historia.png");

    // The point before the file: its bytes go back, and the block reads back as kept.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    r.waitIdle();
    QVERIFY(!r.params->historyDialog());
    QVERIFY(block() == original);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QVERIFY2(r.panel().startsWith(QString::fromUtf8("Przywrócono punkt z ")) &&
                 r.panel().endsWith(QString::fromUtf8("sterownik ma znów jego bajty.")),
             qPrintable(r.panel()));
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::Information);
}

void TestParamWindow::compareListsDifferencesAndWritesNothing() {
    Rig r;
    r.open();
    r.key(Qt::Key_F2);
    QAbstractButton* compare = r.w<QAbstractButton>("PorownajButt");
    QCOMPARE(compare->text(), QString::fromUtf8("Porównaj ze sterownikiem"));
    r.click("PorownajButt");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::Information);
    QCOMPARE(r.messages[0].text, QString::fromUtf8("Strona pokazuje te same parametry co sterownik."));
    QVERIFY(!r.params->differencesDialog());

    r.type("Edit3", "3000");
    r.combo("ComboBox20")->setCurrentIndex(1);
    // Of two fields under one caption, the row says which it is.
    const QString stepMax = r.edit("Edit11_2")->text(), lambdaLow = r.edit("Edit13_1")->text();
    const QString newMax = stepMax == "250" ? "240" : "250", newLow = lambdaLow == "100" ? "200" : "100";
    r.type("Edit11_2", newMax);
    r.type("Edit13_1", newLow);
    const QByteArray shown = r.pageFile();
    r.clearCommands();
    // Reached with the keyboard right after the five page buttons; Enter runs it.
    r.w<QWidget>("ZapiszButtPlik")->setFocus();
    QTRY_VERIFY(r.w<QWidget>("ZapiszButtPlik")->hasFocus());
    QTest::keyClick(r.w<QWidget>("ZapiszButtPlik"), Qt::Key_Tab);
    QVERIFY(compare->hasFocus());
    QTest::keyClick(compare, Qt::Key_Return);
    r.waitIdle();
    QDialog* dialog = r.params->differencesDialog();
    QVERIFY(dialog && dialog->isVisible());
    auto* table = dialog->findChild<QTableWidget*>("PorownanieTabela");
    QVERIFY(table);
    QStringList rows;
    for (int i = 0; i < table->rowCount(); ++i)
        rows << table->item(i, 0)->text() + " | " + table->item(i, 1)->text() + " | " +
                    table->item(i, 2)->text();
    QCOMPARE(rows, (QStringList{QString::fromUtf8("Obroty dla przejścia B/G | 3000 | 2000"),
                                "Min. i Max. silnika krok. - maksimum | " + newMax + " | " + stepMax,
                                "Czas sondy Lambda - stan niski | " + newLow + " | " + lambdaLow,
                                QString::fromUtf8("Tryb pracy sterownika | dynamiczna | ekonomiczna")}));
    QCOMPARE(dialog->findChild<QDialogButtonBox*>()->buttons().constFirst()->text(),
             QStringLiteral("Zamknij"));
    // The page keeps its values and nothing went to the controller but the read.
    QCOMPARE(r.pageFile(), shown);
    for (const qsim::ReceivedCommand& c : r.commands())
        QVERIFY2(c.code == 0x01 || c.code == 0x02 || c.code == 0x09 || c.code == 0x22 || c.code == 0x0A,
                 qPrintable(QString::number(c.code, 16)));
    QVERIFY(r.form->link().isPolling(QStringLiteral("TimerParamOdcz")));

    // A field whose bytes the page cannot show (TPS 10,05 V shows "1,00") is
    // never "the same": it is listed, and the marked fields are named.
    dialog->close();
    r.emu->withModel([](qsim::ControllerModel& m) {
        auto b = m.block();
        b[5] = 201;
        m.setBlock(b);
        return 0;
    });
    r.click("odczButPic");
    r.messages.clear();
    r.click("PorownajButt");
    QVERIFY(r.messages.empty());
    dialog = r.params->differencesDialog();
    QVERIFY(dialog && dialog->isVisible());
    table = dialog->findChild<QTableWidget*>("PorownanieTabela");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text() + " | " + table->item(0, 1)->text() + " | " +
                 table->item(0, 2)->text(),
             QString::fromUtf8("Próg czujnika TPS | 1,00 | 1,00 (inne bajty)"));
    QVERIFY(dialog->findChild<QLabel*>("PorownanieUwaga")
                ->text()
                .endsWith(QString::fromUtf8("Próg czujnika TPS")));

    // No answer: said so, the page stays.
    dialog->close();
    r.emu->withModel([](qsim::ControllerModel& m) {
        m.faults().silent = true;
        return 0;
    });
    r.messages.clear();
    r.click("PorownajButt");
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, r.form->shell().text(31000));
}

void TestParamWindow::printPageThroughTheWindow() {
    Rig r;
    r.open();
    r.key(Qt::Key_F9); // before the parameters page: captions only
    QCOMPARE(r.form->pageControl()->currentWidget()->objectName(), QStringLiteral("DrukowanieTab"));
    QCOMPARE(r.label("LabelPS"), QStringLiteral("Parametry systemu"));
    QCOMPARE(r.label("Napis03"), QString::fromUtf8("Obroty dla przejścia B/G"));
    QVERIFY(r.label("Par03").isEmpty() && r.label("Par22").isEmpty());

    r.key(Qt::Key_F2);
    r.type("Edit3", "3500"); // not written: the sheet shows what the controller holds
    r.key(Qt::Key_F9);
    QCOMPARE(r.label("Par03"), QStringLiteral("2000"));
    QCOMPARE(r.label("Par01"), QStringLiteral("0 - 1 [V]"));
    QCOMPARE(r.label("Par15"), QStringLiteral("0"));
    QCOMPARE(r.label("Par22"), QStringLiteral("4 cylindry"));

    r.key(Qt::Key_Return); // Enter prints
    QCOMPARE(r.printed.size(), std::size_t(1));
    QCOMPARE(r.printed[0].rows[2].value, QStringLiteral("2000"));
    QCOMPARE(r.printed[0].rows[21].value, QStringLiteral("4 cylindry"));
    QVERIFY(r.printed[0].heading.isEmpty());

    // A loaded file the controller never got prints only when asked, under a
    // heading that names it; its PDF too.
    r.key(Qt::Key_F2);
    r.writeFile("car.qx4", carFile());
    r.nextPath = r.path("car.qx4");
    r.click("OdczytButtPlik");
    r.key(Qt::Key_F9);
    QCOMPARE(r.label("Par03"), QStringLiteral("2000"));
    auto* file = r.w<QCheckBox>("DrukujPlikCheck");
    QVERIFY(file->isVisible() && file->text().contains("car.qx4"));
    file->setChecked(true);
    QCOMPARE(r.label("Par03"), QStringLiteral("3000"));
    QCOMPARE(r.label("NaglowekPliku"), QString::fromUtf8("Plik car.qx4 - nie zapisany w sterowniku"));
    r.key(Qt::Key_Return);
    QCOMPARE(r.printed.back().heading, r.label("NaglowekPliku"));
    QCOMPARE(r.printed.back().rows[2].value, QStringLiteral("3000"));
    // Written (the page kept, not read over), it is the controller's set.
    r.answer = ParametersPage::Edits::Keep;
    r.key(Qt::Key_F2);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("3000"));
    r.click("ZapButPic");
    r.key(Qt::Key_F9);
    QVERIFY(!file->isVisible());
    QCOMPARE(r.label("Par03"), QStringLiteral("3000"));
    QVERIFY(r.label("NaglowekPliku").isEmpty());
}

void TestParamWindow::screenshotsFit() {
    Rig r;
    r.open();
    // The 800 layout on an 800-wide screen: the window takes the screen's width, less its border.
    const int screenWidth = r.form->QWidget::screen()->size().width();
    QCOMPARE(screenWidth, 800);
    QVERIFY2(r.form->width() <= screenWidth && r.form->width() >= screenWidth - 8,
             qPrintable(QString::number(r.form->width())));
    r.key(Qt::Key_F2);
    QWidget* params = r.form->pageControl()->currentWidget();
    const QString dir = qEnvironmentVariable("QUENDRIX_SHOT_DIR");
    if (!dir.isEmpty()) params->grab().save(dir + "/parametry.png");
    checkFits(params);
    if (QTest::currentTestFailed()) return;

    // The compare button's caption fits, on more lines when it must, in every language.
    auto* compare = r.w<QAbstractButton>("PorownajButt");
    const QStringList captions = {"Compare with controller", QString::fromUtf8("Сравнить с контроллером"),
                                  QString::fromUtf8("Porovnat s řídicí jednotkou"),
                                  "Confronta con la centralina",
                                  QString::fromUtf8("Porównaj parametry strony z parametrami w sterowniku")};
    for (const QString& c : captions) {
        r.form->shell().texts().set(31010, c);
        r.form->shell().textsReloaded();
        QTRY_COMPARE(compare->text(), c);
        QApplication::processEvents();
        const QRect room = compare->rect().adjusted(6, 3, -6, -3);
        const QRect need = compare->fontMetrics().boundingRect(room, Qt::TextWordWrap | Qt::AlignCenter, c);
        QVERIFY2(need.width() <= room.width() && need.height() <= room.height(), qPrintable(c));
        checkFits(params);
        if (QTest::currentTestFailed()) return;
    }
    if (!dir.isEmpty()) params->grab().save(dir + "/parametry_long_caption.png");

    r.key(Qt::Key_F9);
    QWidget* printPage = r.form->pageControl()->currentWidget();
    if (!dir.isEmpty()) printPage->grab().save(dir + "/drukowanie.png");
    checkFits(printPage);
}
