#include "tst_parameterspage.h"

#include "core/SessionTexts.h"
#include "params/ui/HistoryDialog.h"

#include <QHeaderView>
#include <QTableWidget>

void TestParametersPage::writeButtonBytes() {
    Rig r;
    r.enter();
    r.focus("Edit5");
    r.clearLog();
    QTest::mouseClick(r.w<QAbstractButton>("ZapButPic"), Qt::LeftButton);
    r.waitIdle();
    const QStringList ev = describe(r.log, false);
    // The poll stops and the port closes before the sequence, and reopens after.
    QVERIFY(!ev.isEmpty());
    QCOMPARE(ev.first(), QStringLiteral("close"));
    QVERIFY(ev.last().startsWith(QStringLiteral("open")));
    const auto b = r.sent();
    QCOMPARE(b.front(), std::uint8_t(0xAA));
    QCOMPARE(Rig::after(b, 0x08, 2), QByteArray::fromHex("8007"));
    QCOMPARE(Rig::after(b, 0x14, 2), QByteArray::fromHex("2502"));
    QCOMPARE(Rig::after(b, 0x06, 4), QByteArray::fromHex("7a00f400"));
    QCOMPARE(b.back(), std::uint8_t(0x0A));
    QVERIFY(r.params.written());
    QVERIFY(r.polling());
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));

    // The limit switched off sends period 1.
    r.check("CheckBox8_2")->setChecked(true);
    r.clearLog();
    r.page->ZapButPicClick();
    QCOMPARE(Rig::after(r.sent(), 0x14, 2), QByteArray::fromHex("0100"));
    QCOMPARE(r.params.set()[ParamId::MaxGasRpmOff], QStringLiteral("1"));
}

void TestParametersPage::resetLoadsDefaultsAndWrites() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.edit("Edit19")->setText("5000");
    r.check("CheckBox15")->setChecked(true);
    r.combo("ComboBox21")->setCurrentIndex(0);
    r.params.setValue(ParamId::AnalogThreshold, QStringLiteral("50"));
    r.clearLog();
    QTest::mouseClick(r.w<QAbstractButton>("ResButt"), Qt::LeftButton);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QCOMPARE(r.edit("Edit19")->text(), QStringLiteral("100"));
    QVERIFY(!r.check("CheckBox15")->isChecked());
    QVERIFY(!r.edit("Edit16")->isEnabled());
    QCOMPARE(r.combo("ComboBox21")->currentIndex(), 1);
    QCOMPARE(r.threshold(), QStringLiteral("1"));
    QVERIFY(r.params.set() == defaultParameterSet());
    QCOMPARE(r.params.origin(), ParameterModel::Origin::Defaults);
    QVERIFY(r.wroteSequence());
    QCOMPARE(Rig::after(r.sent(), 0x08, 2), QByteArray::fromHex("8007"));
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    QVERIFY(r.params.written());
    QVERIFY(!r.shell.keyboardFlag);
    QVERIFY(r.polling());
}

void TestParametersPage::readButton() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.block[6] = char(0x00); // 960 -> 5000 rpm
    r.block[7] = char(0x03);
    r.block[0] = char(136); // 50 °C
    r.clearLog();
    QTest::mouseClick(r.w<QAbstractButton>("odczButPic"), Qt::LeftButton);
    r.waitIdle();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("5000"));
    QCOMPARE(r.edit("Edit22_1")->text(), QStringLiteral("50"));
    // The delta no longer fits the new switch-over speed: the read says so.
    QVERIFY(r.shell.message().startsWith(QStringLiteral("Odczytano parametry")));
    QVERIFY(r.edit("Edit10")->property("marked").toBool());
    QVERIFY(r.polling());
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));
    // Nothing was written.
    for (auto b : r.sent())
        QVERIFY(b != 0x0B && b != 0x08);
}

void TestParametersPage::readFailureKeepsThePage() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.params.fill(r.params.page(), ParameterModel::Origin::Defaults);
    r.port.responder = nullptr; // the controller is gone
    QTest::mouseClick(r.w<QAbstractButton>("odczButPic"), Qt::LeftButton);
    r.waitIdle();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("3000"));
    QCOMPARE(r.shell.message(), r.shell.text(31000));
    QVERIFY(r.shell.message() != QStringLiteral("Odczytano parametry"));
    QCOMPARE(r.params.origin(), ParameterModel::Origin::Defaults); // not taken as read
}

void TestParametersPage::fieldsTheControllerHoldsOtherwiseAreMarked() {
    Rig r;
    r.block[0] = 0;         // -222 °C: outside the field
    r.block[5] = char(201); // 10,05 V shows as "1,00"
    r.live.setIgnitionChoice(0);
    r.enter();
    QLineEdit* temp = r.edit("Edit22_1");
    QLineEdit* tps = r.edit("Edit5");
    QVERIFY(temp->property("marked").toBool());
    QVERIFY(tps->property("marked").toBool());
    QVERIFY(!r.edit("Edit3")->property("marked").toBool());
    QVERIFY(temp->toolTip().contains(QStringLiteral("-222")));
    QCOMPARE(r.params.markedFields(), 2);
    QVERIFY(!r.params.automaticWriteAllowed());
    QVERIFY(r.shell.message().contains(QStringLiteral("2")));
    // The block's ignition system is the engine-speed page's choice now.
    QCOMPARE(r.live.ignitionChoice(), 2);
    // Focused, the field says what the controller holds, comments on or off.
    r.check("WylaczkomentarzeCheck")->setChecked(true);
    r.focus("Edit5");
    QVERIFY(r.label("info")->text().contains(tps->toolTip()));
    // Another language words the marks anew.
    const LanguageTexts polish = r.shell.texts();
    r.shell.texts().set(31510, QStringLiteral("the controller holds %1; %2"));
    r.shell.texts().set(31502, QStringLiteral("“%1”"));
    r.shell.textsReloaded();
    QVERIFY2(tps->toolTip().contains(QStringLiteral("”: the controller holds bajt 5 = 201")),
             qPrintable(tps->toolTip()));
    QVERIFY(r.label("info")->text().contains(tps->toolTip()));
    QCOMPARE(r.params.markedFields(), 2);
    r.shell.texts() = polish;
    r.shell.textsReloaded();

    // The fitter's own value takes the mark away.
    r.focus("Edit22_1");
    temp->selectAll();
    QTest::keyClicks(temp, "40");
    QVERIFY(!temp->property("marked").toBool());
    QCOMPARE(r.params.markedFields(), 1);
    // Writing the page is the fitter's decision: what the page shows goes out,
    // and once it has the marks go.
    r.clearLog();
    r.page->ZapButPicClick();
    r.waitIdle();
    QCOMPARE(r.params.markedFields(), 0);
    QVERIFY(!tps->property("marked").toBool());
    // "1,00" as the page shows it, right after the switch-over speed's 08 80 07.
    const auto b = r.sent();
    const std::vector<std::uint8_t> tpsWrite{0x08, 0x80, 0x07, 0x07, 0x14};
    QVERIFY(std::search(b.begin(), b.end(), tpsWrite.begin(), tpsWrite.end()) != b.end());
}

void TestParametersPage::automaticWriteHook() {
    Rig r;
    r.enter();
    r.edit("Edit17")->setText("2400");
    r.clearLog();
    r.automaticWrite();
    QVERIFY(r.params.written());
    QCOMPARE(r.params.set()[ParamId::CutoffRpm], QStringLiteral("2400"));
    // 2400 rpm at 4800: period 1600 = 0x0640.
    QCOMPARE(Rig::after(r.sent(), 0x18, 2), QByteArray::fromHex("4006"));
}

void TestParametersPage::enterInCheckBoxWritesAndMovesOn() {
    Rig r;
    r.enter();
    r.focus("CheckBox13_3");
    QCOMPARE(r.page->lastListNumber(), 0);
    r.clearLog();
    QTest::keyClick(r.check("CheckBox13_3"), Qt::Key_Return);
    QVERIFY(r.wroteSequence());
    QVERIFY(!r.check("CheckBox13_3")->isChecked());
    QCOMPARE(r.focused(), QStringLiteral("ComboBox4"));
}

void TestParametersPage::writeMessagesAfterTheSequence() {
    Rig r;
    r.enter();
    r.edit("Edit6")->setText("25"); // set by program: no check has run
    bool closedBeforeMessage = false;
    r.page->setMessageHandler([&](QMessageBox::Icon i, const QString& c, const QString& t) {
        r.messages.push_back({i, c, t});
        // The box does not hold the line up: the whole sequence went out first.
        const auto b = r.port.sentBytes();
        closedBeforeMessage = !b.empty() && b.back() == 0x0A;
    });
    r.clearLog();
    r.page->ZapButPicClick();
    r.waitIdle();
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::NoIcon);
    QCOMPARE(r.messages[0].text, QString::fromUtf8("Prędkość w granicach 1...24"));
    QCOMPARE(r.messages[0].caption, QString::fromUtf8("Błąd"));
    QVERIFY(closedBeforeMessage);
    QVERIFY(r.wroteSequence()); // the sequence still ran to its end
    // ... and the status says what it left out.
    QCOMPARE(r.shell.message(), QString::fromUtf8("Zapisano parametry oprócz: Silnik krok pow. TPS"));
}

void TestParametersPage::defaultOptionReadsWithoutWriting() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("3000");
    r.clearLog();
    r.page->DefaultOptionClick();
    r.waitIdle();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QVERIFY(r.port.isOpen());
    for (auto b : r.sent())
        QVERIFY(b != 0x0B && b != 0x08);
}

void TestParametersPage::leaveChecks_data() {
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("lambda");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("defaults") << "10"
                              << "200"
                              << "100"
                              << "1"
                              << "0,50"
                              << "30" << true << QStringList{};
    QTest::newRow("start at min") << "10"
                                  << "200"
                                  << "10"
                                  << "1"
                                  << "0,50"
                                  << "30" << true
                                  << QStringList{"Pozycja startowa silnika krokowego jest równa minimum lub "
                                                 "maksimum."};
    QTest::newRow("start at max, delay 0")
        << "10"
        << "200"
        << "200"
        << "0"
        << "0,50"
        << "30" << false
        << QStringList{"Pozycja startowa silnika krokowego jest równa minimum lub maksimum.",
                       "Opóźnienie startowe musi być większe od zera."};
    QTest::newRow("lambda low") << "10"
                                << "200"
                                << "100"
                                << "1"
                                << "0,05"
                                << "30" << false
                                << QStringList{"Próg sondy lambda musi wynosić co najmniej 0,1 V."};
    QTest::newRow("opening 2") << "10"
                               << "200"
                               << "100"
                               << "1"
                               << "0,50"
                               << "2" << false
                               << QStringList{"Otwarcie silnika krokowego musi wynosić co najmniej 3."};
    QTest::newRow("limits too close") << "10"
                                      << "12"
                                      << "15"
                                      << "1"
                                      << "0,50"
                                      << "30" << false
                                      << QStringList{"Pozycja startowa silnika krokowego musi leżeć między "
                                                     "minimum a maksimum [10 ... 12]"};
    QTest::newRow("nothing read yet") << ""
                                      << ""
                                      << ""
                                      << ""
                                      << ""
                                      << "" << true << QStringList{};
    QTest::newRow("only delay readable")
        << ""
        << ""
        << ""
        << "0"
        << ""
        << "" << false << QStringList{"Opóźnienie startowe musi być większe od zera."};
    QTest::newRow("outside but wide") << "10"
                                      << "200"
                                      << "250"
                                      << "1"
                                      << "0,50"
                                      << "30" << false
                                      << QStringList{"Pozycja startowa silnika krokowego musi leżeć między "
                                                     "minimum a maksimum [10 ... 200]"};
}

void TestParametersPage::leaveChecks() {
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(QString, start);
    QFETCH(QString, delay);
    QFETCH(QString, lambda);
    QFETCH(QString, opening);
    QFETCH(bool, allowed);
    QFETCH(QStringList, texts);
    Rig r;
    r.enter();
    r.edit("Edit11_1")->setText(min);
    r.edit("Edit11_2")->setText(max);
    r.edit("Edit12")->setText(start);
    r.edit("Edit14")->setText(delay);
    r.edit("Edit2")->setText(lambda);
    r.edit("Edit18")->setText(opening);
    QCOMPARE(r.page->leaveByTab(), allowed);
    QStringList got;
    for (const Message& m : r.messages) {
        got << m.text;
        QCOMPARE(m.icon, QMessageBox::Critical);
    }
    QCOMPARE(got, texts);
}

void TestParametersPage::render() {
    Rig r;
    r.window->resize(799, 470);
    r.page->resize(799, 470);
    r.enter();
    r.focus("Edit11_1");
    const QString out = qEnvironmentVariable("QUENDRIX_PARAMS_SHOT");
    // The page fits the window's client area below the tabs.
    QVERIFY(r.page->minimumSizeHint().width() <= 799);
    QVERIFY(r.page->minimumSizeHint().height() <= 470);
    const QImage img = r.page->grab().toImage();
    QVERIFY(!img.isNull());
    if (!out.isEmpty()) img.save(out);
    // Every caption fits its label.
    for (QLabel* l : r.page->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(r.page) || l->wordWrap() || l->text().isEmpty()) continue;
        QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()), qPrintable(l->objectName()));
    }
    // A check box shows its caption whole, or (two with a caption label of
    // their own beside them) only its box.
    const int indicator = r.page->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    for (QCheckBox* c : r.page->findChildren<QCheckBox*>())
        if (c->isVisibleTo(r.page) && c->width() > indicator + 4)
            QVERIFY2(c->width() >= c->sizeHint().width(), qPrintable(c->objectName()));
    // A button's caption fits on its lines.
    for (QAbstractButton* b : r.page->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QCheckBox*>(b)) continue;
        if (b->hasHeightForWidth())
            QVERIFY2(b->height() >= b->heightForWidth(b->width()), qPrintable(b->objectName()));
        else
            QVERIFY2(b->width() >= b->fontMetrics().horizontalAdvance(b->text()),
                     qPrintable(b->objectName()));
    }
}

// At 640 pixels every Russian heading of the restore points shows whole,
// however long a point's note; the note gives way instead.
void TestParametersPage::historyHeadingsFit() {
    ModelsRig r;
    const QStringList headings =
        QString::fromUtf8("Время|Порт|Перед записью|Отличается от контроллера").split('|');
    for (int c = 0; c < 4; ++c)
        r.shell.texts().set(params::sessiontext::HistoryTime.key + c, headings[c]);
    QWidget window;
    window.resize(640, 460);
    QDialog* dialog =
        makeHistoryDialog(&window, r.paramSession,
                          {{1, QDateTime::currentDateTime(), "COM1 (/dev/ttyUSB0)",
                            "quendrix-cli write /home/fitter/Dokumenty/Quendrix/klienci/car.qx4", ""}},
                          {});
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog) && dialog->width() <= window.width());
    const QHeaderView* header = dialog->findChild<QTableWidget*>("HistoriaTabela")->horizontalHeader();
    for (int c = 0; c < 4; ++c) // as wide as its heading, and inside the table's view
        QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c) &&
                     header->sectionViewportPosition(c) + header->sectionSize(c) <=
                         header->viewport()->width(),
                 qPrintable(headings[c]));
}
