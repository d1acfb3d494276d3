#include "tst_parameterspage.h"

void TestParametersPage::startState() {
    Rig r;
    QCOMPARE(r.page->objectName(), QStringLiteral("ParametryTab"));
    for (const char* g : {"GroupBox20", "GroupBox9", "GroupBox14", "GroupBox22", "GroupBox8", "GroupBox21"})
        QVERIFY2(r.page->findChild<QWidget*>(g), g);
    QVERIFY(r.page->findChild<QWidget*>("GroupBox1"));
    QVERIFY(r.page->findChild<QLabel*>("info"));
    QCOMPARE(r.w<QAbstractButton>("odczButPic")->text(), QString::fromUtf8("odczyt parametrów"));
    QCOMPARE(r.w<QAbstractButton>("ZapButPic")->text(), QString::fromUtf8("Zapisz parametry"));
    QCOMPARE(r.w<QAbstractButton>("ResButt")->text(), QString::fromUtf8("Reset parametrów"));
    QCOMPARE(r.combo("ComboBox1")->count(), 5);
    QCOMPARE(r.combo("ComboBox1")->itemText(3), QStringLiteral("0,8 - 1,6 [V]"));
    QCOMPARE(r.combo("ComboBox21")->itemText(0), QStringLiteral("20K"));
    // Two check boxes have captions of their own besides their caption labels.
    QCOMPARE(r.check("CheckBox8_2")->text(), QString::fromUtf8("Wyłącz max. obroty"));
    QCOMPARE(r.check("CheckBox22_2")->text(), QString::fromUtf8("Włącz czujnik temperatury"));
    QVERIFY(!r.edit("Edit10")->isEnabled());
    QVERIFY(!r.edit("Edit16")->isEnabled());
    QVERIFY(!r.edit("Edit17")->isEnabled());
}

void TestParametersPage::enterReadsFillsAndPolls() {
    Rig r;
    r.enter();
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("2000"));
    QCOMPARE(r.edit("Edit8_1")->text(), QStringLiteral("7000"));
    QCOMPARE(r.edit("Edit2")->text(), QStringLiteral("0,50"));
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("500"));
    QCOMPARE(r.edit("Edit11_1")->text(), QStringLiteral("10"));
    QCOMPARE(r.edit("Edit11_2")->text(), QStringLiteral("200"));
    QCOMPARE(r.combo("ComboBox1")->currentIndex(), 0);
    QVERIFY(r.polling());
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));
    QCOMPARE(r.shell.message(), QStringLiteral("Rodzaj sondy lambda")); // its focus display ran
    QCOMPARE(r.page->lastListNumber(), 1);
    // Version 4: temperature features shown.
    QVERIFY(r.live.temperatureCapable());
    QVERIFY(r.edit("Edit22_1")->isVisibleTo(r.page));
    QVERIFY(r.check("CheckBox22_2")->isVisibleTo(r.page));

    Rig old;
    old.version = 3;
    old.enter();
    QVERIFY(!old.live.temperatureCapable());
    QVERIFY(!old.edit("Edit22_1")->isVisibleTo(old.page));
    QVERIFY(!old.label("minprzelbgLabel")->isVisibleTo(old.page));
}

void TestParametersPage::checksOnLeaving_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Edit2 5") << "Edit2"
                             << "5"
                             << "4,9";
    QTest::newRow("Edit2 2") << "Edit2"
                             << "2"
                             << "2,00";
    QTest::newRow("Edit2 0") << "Edit2"
                             << "0"
                             << "0,1";
    QTest::newRow("Edit5 12") << "Edit5"
                              << "12"
                              << "9,9";
    QTest::newRow("Edit5 1.5 typed") << "Edit5"
                                     << "1.5"
                                     << "1,50";
    QTest::newRow("Edit14 empty") << "Edit14"
                                  << ""
                                  << "1";
    QTest::newRow("Edit14 099") << "Edit14"
                                << "099"
                                << "50";
    QTest::newRow("Edit14 007") << "Edit14"
                                << "007"
                                << "007";
    QTest::newRow("Edit19 50") << "Edit19"
                               << "50"
                               << "100";
    QTest::newRow("Edit19 99999") << "Edit19"
                                  << "99999"
                                  << "10000";
    QTest::newRow("Edit22_1 99") << "Edit22_1"
                                 << "99"
                                 << "99";
    QTest::newRow("Edit18 1") << "Edit18"
                              << "1"
                              << "2";
    QTest::newRow("Edit6 25") << "Edit6"
                              << "25"
                              << "24";
    QTest::newRow("Edit7 0") << "Edit7"
                             << "0"
                             << "1";
    QTest::newRow("Edit12 0") << "Edit12"
                              << "0"
                              << "1";
    QTest::newRow("Edit13_1 900 keeps") << "Edit13_1"
                                        << "900"
                                        << "900";
    QTest::newRow("Edit13_2 4500") << "Edit13_2"
                                   << "4500"
                                   << "4000";
    QTest::newRow("Edit3 9000") << "Edit3"
                                << "9000"
                                << "6900";
    QTest::newRow("Edit8_1 1500") << "Edit8_1"
                                  << "1500"
                                  << "2100";
    QTest::newRow("Edit11_1 250") << "Edit11_1"
                                  << "250"
                                  << "200";
    QTest::newRow("Edit11_2 5") << "Edit11_2"
                                << "5"
                                << "10";
}

void TestParametersPage::checksOnLeaving() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Rig r;
    r.enter();
    QLineEdit* e = r.edit(qPrintable(field));
    r.focus(qPrintable(field));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, typed);
    QTest::keyClick(e, Qt::Key_Tab);
    QVERIFY(!e->hasFocus());
    QCOMPARE(e->text(), expected);
    QVERIFY(r.messages.empty());
}

void TestParametersPage::keyFilters() {
    Rig r;
    r.enter();
    QLineEdit* e2 = r.edit("Edit2");
    r.focus("Edit2");
    e2->clear();
    QTest::keyClicks(e2, "1.2");
    QCOMPARE(e2->text(), QStringLiteral("1,2"));
    QTest::keyClicks(e2, "a");
    QCOMPARE(e2->text(), QStringLiteral("1,2"));
    QLineEdit* e3 = r.edit("Edit3");
    r.focus("Edit3");
    e3->clear();
    QTest::keyClicks(e3, "1x.,-2 ");
    QCOMPARE(e3->text(), QStringLiteral("12"));
    // Ctrl+V pastes nothing into a field.
    QApplication::clipboard();
    e3->selectAll();
    QTest::keyClick(e3, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(e3, Qt::Key_End);
    QTest::keyClick(e3, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e3->text(), QStringLiteral("12"));
    // Max length holds typed characters.
    QLineEdit* e22 = r.edit("Edit22_1");
    r.focus("Edit22_1");
    e22->clear();
    QTest::keyClicks(e22, "100");
    QCOMPARE(e22->text(), QStringLiteral("10"));
    e22->selectAll(); // a selection is replaced, so it leaves room
    QTest::keyClicks(e22, "7");
    QCOMPARE(e22->text(), QStringLiteral("7"));
    QLineEdit* e19 = r.edit("Edit19");
    r.focus("Edit19");
    e19->clear();
    QTest::keyClicks(e19, "1234567");
    QCOMPARE(e19->text(), QStringLiteral("12345"));
    QLineEdit* e2b = r.edit("Edit2");
    r.focus("Edit2");
    e2b->clear();
    QTest::keyClicks(e2b, "1.2345");
    QCOMPARE(e2b->text(), QStringLiteral("1,23"));
    // A decoded value longer than the typing limit is shown whole.
    ParameterSet decoded = r.params.set();
    decoded[ParamId::SwitchTemp] = QStringLiteral("-222");
    r.params.fill(decoded, ParameterModel::Origin::Controller);
    QCOMPARE(e22->text(), QStringLiteral("-222"));
}

void TestParametersPage::unreadableTextShowsMessage() {
    Rig r;
    r.enter();
    QLineEdit* e = r.edit("Edit3");
    r.focus("Edit3");
    e->setText(QStringLiteral("12a")); // as a loaded file may leave it
    QTest::keyClick(e, Qt::Key_Tab);
    QCOMPARE(e->text(), QStringLiteral("12a"));
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, QString::fromUtf8("'12a' nie jest poprawną liczbą"));

    // Enter with such a text shows the message and writes nothing.
    r.messages.clear();
    r.focus("Edit3");
    r.clearLog();
    QTest::keyClick(e, Qt::Key_Return);
    QCOMPARE(r.messages.size(), std::size_t(1));
    QVERIFY(!r.wroteSequence());

    // The message follows the language; a pair rule's partner that is no whole
    // number has its own wording.
    r.shell.texts().set(31020, QStringLiteral("'%1' is not a valid number"));
    r.shell.texts().set(31021, QStringLiteral("'%1' is not a valid whole number"));
    r.messages.clear();
    r.focus("Edit3");
    QTest::keyClick(e, Qt::Key_Tab);
    QCOMPARE(r.messages.back().text, QStringLiteral("'12a' is not a valid number"));
    r.edit("Edit8_1")->setText(QStringLiteral("5x"));
    e->setText(QStringLiteral("3000"));
    r.messages.clear();
    r.focus("Edit3");
    QTest::keyClick(e, Qt::Key_Tab);
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].text, QStringLiteral("'5x' is not a valid whole number"));
}

// Paste (context menu, middle button), drops and input methods insert only
// what typing would, and no more than the typing limit; texts the program sets
// are shown whole.
void TestParametersPage::pasteIsFilteredAsTyping() {
    Rig r;
    r.enter();
    struct Case {
        const char* field;
        QString pasted;
        QString shown;
    };
    const QString arabic = QString::fromUtf8("\u0661\u0662\u0663");
    const Case cases[] = {
        {"Edit3", QStringLiteral("abc"), QString()},
        {"Edit3", QStringLiteral("1e4"), QStringLiteral("14")},
        {"Edit3", arabic, QString()},
        {"Edit19", QStringLiteral("123456789"), QStringLiteral("12345")},
        {"Edit2", QStringLiteral("0.75 V"), QStringLiteral("0,75")},
        {"Edit5", QStringLiteral("-1e4"), QStringLiteral("14")},
    };
    for (const Case& c : cases) {
        QLineEdit* e = r.edit(c.field);
        r.focus(c.field);
        e->clear();
        QApplication::clipboard()->setText(c.pasted);
        e->paste(); // the context menu's "Paste"
        QCOMPARE(e->text(), c.shown);
        e->clear();
        e->insert(c.pasted); // what a middle click or a drop does
        QCOMPARE(e->text(), c.shown);
        e->clear();
        QInputMethodEvent commit;
        commit.setCommitString(c.pasted);
        QApplication::sendEvent(e, &commit);
        QCOMPARE(e->text(), c.shown);
    }
    // Every edit field of the page, through a real drop and Shift+Insert: only
    // what its key filter lets through, no more than its typing limit.
    QStringList shownOnly;
    for (QLineEdit* e : r.page->findChildren<QLineEdit*>()) {
        const validation::FieldRule* rule = validation::fieldRule(e->objectName());
        QVERIFY2(rule, qPrintable(e->objectName()));
        if (!e->isEnabled()) {
            shownOnly << e->objectName();
            continue;
        }
        const QString shown =
            QString(rule->kind == validation::Kind::Decimal ? "1,59" : "159").left(rule->maxLength);
        r.focus(e->objectName().toLatin1().constData());
        e->clear();
        QMimeData mime;
        mime.setText(QStringLiteral("a-1.5e 9"));
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e, &enter);
        QDragMoveEvent move(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e, &move);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e, &drop);
        QCOMPARE(e->text(), shown);
        e->clear();
        QApplication::clipboard()->setText(QStringLiteral("a-1.5e 9"));
        QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier); // a paste key: nothing, as Ctrl+V
        QCOMPARE(e->text(), QString());
    }
    // Every field rule has its field, and only those that show values are left out.
    QCOMPARE(r.page->findChildren<QLineEdit*>().size(), qsizetype(validation::fieldRules().size()));
    shownOnly.sort();
    QCOMPARE(shownOnly, (QStringList{"Edit10", "Edit16", "Edit17"}));

    // Pasted into the middle of a field: the field's own text stays around it.
    QLineEdit* e3 = r.edit("Edit3");
    r.focus("Edit3");
    e3->setText(QStringLiteral("19"));
    e3->setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("x0-"));
    e3->paste();
    QCOMPARE(e3->text(), QStringLiteral("109"));
    QCOMPARE(e3->cursorPosition(), 2);
    // Leaving the field with a pasted number is checked as a typed one.
    r.messages.clear();
    QTest::keyClick(e3, Qt::Key_Tab);
    QCOMPARE(e3->text(), QStringLiteral("1000"));
    QVERIFY(r.messages.empty());
    // The program's own texts are not filtered: a loaded file's malformed or
    // over-long value shows as it is until the field's check runs.
    QLineEdit* e10 = r.edit("Edit10");
    e10->setText(QStringLiteral("70000"));
    QCOMPARE(e10->text(), QStringLiteral("70000"));
    r.edit("Edit2")->setText(QStringLiteral("1.2e"));
    QCOMPARE(r.edit("Edit2")->text(), QStringLiteral("1.2e"));
}

void TestParametersPage::pairRulesOnPage() {
    Rig r;
    r.enter();
    r.edit("Edit8_1")->setText("5000");
    r.focus("Edit3");
    r.edit("Edit3")->setText("9000");
    QTest::keyClick(r.edit("Edit3"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit3")->text(), QStringLiteral("4900"));

    r.edit("Edit3")->setText("2000");
    r.focus("Edit8_1");
    r.edit("Edit8_1")->setText("2000");
    QTest::keyClick(r.edit("Edit8_1"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit8_1")->text(), QStringLiteral("2100"));

    r.edit("Edit11_2")->setText("200");
    r.focus("Edit11_1");
    r.edit("Edit11_1")->setText("250");
    QTest::keyClick(r.edit("Edit11_1"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit11_1")->text(), QStringLiteral("200"));

    r.edit("Edit11_1")->setText("10");
    r.focus("Edit11_2");
    r.edit("Edit11_2")->setText("5");
    QTest::keyClick(r.edit("Edit11_2"), Qt::Key_Tab);
    QCOMPARE(r.edit("Edit11_2")->text(), QStringLiteral("10"));
}

void TestParametersPage::enterInEditChecksWritesAndMovesOn() {
    Rig r;
    r.enter();
    r.focus("Edit13_1");
    r.edit("Edit13_1")->setText("900");
    r.clearLog();
    QTest::keyClick(r.edit("Edit13_1"), Qt::Key_Return);
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("500"));
    QVERIFY(r.wroteSequence());
    // Written with the corrected value: 500 and 500 ms.
    QCOMPARE(Rig::after(r.sent(), 0x06, 4), QByteArray::fromHex("7a00f400"));
    QCOMPARE(r.focused(), QStringLiteral("Edit13_2"));
    QVERIFY(r.params.written());
    QVERIFY(!r.shell.keyboardFlag);
    // The next field's comment, and the write's outcome once it is known.
    QCOMPARE(r.label("info")->text(), QString::fromUtf8("Czas stanu wysokiego lambda [0;4000 ms]"));
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    QVERIFY(r.polling());
    QVERIFY(r.port.isOpen());
}

void TestParametersPage::enterInMaxRpmWritesUncorrectedValue() {
    Rig r;
    r.enter();
    r.edit("Edit3")->setText("2000");
    r.focus("Edit8_1");
    r.edit("Edit8_1")->setText("1500");
    r.clearLog();
    QTest::keyClick(r.edit("Edit8_1"), Qt::Key_Return);
    // 1500 rpm at 4800: period 2560 = 0x0A00, written before the pair rule runs.
    QCOMPARE(Rig::after(r.sent(), 0x14, 2), QByteArray::fromHex("000a"));
    // Moving on applied rule M.
    QCOMPARE(r.focused(), QStringLiteral("CheckBox8_2"));
    QCOMPARE(r.edit("Edit8_1")->text(), QStringLiteral("2100"));
}

void TestParametersPage::checkBoxReactions() {
    Rig r;
    r.enter();
    r.params.setWritten(true);
    r.edit("Edit13_1")->setText("300");
    r.edit("Edit13_2")->setText("700");
    r.check("CheckBox13_3")->setChecked(true);
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("0"));
    QCOMPARE(r.edit("Edit13_2")->text(), QStringLiteral("0"));
    QCOMPARE(r.params.set()[ParamId::LambdaBosch], QStringLiteral("1"));
    QVERIFY(!r.params.written());
    r.check("CheckBox13_3")->setChecked(false);
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("500"));
    QCOMPARE(r.edit("Edit13_2")->text(), QStringLiteral("500"));
    QCOMPARE(r.params.set()[ParamId::LambdaBosch], QStringLiteral("0"));

    r.params.setWritten(true);
    QTest::mouseClick(r.check("CheckBox15"), Qt::LeftButton);
    QVERIFY(r.check("CheckBox15")->isChecked());
    QVERIFY(r.edit("Edit16")->isEnabled());
    QVERIFY(r.edit("Edit17")->isEnabled());
    QCOMPARE(r.params.set()[ParamId::CutoffOn], QStringLiteral("1"));
    QVERIFY(!r.params.written());
    r.check("CheckBox15")->setChecked(false);
    QVERIFY(!r.edit("Edit16")->isEnabled());

    r.params.setWritten(true);
    r.check("CheckBox22_2")->setChecked(true);
    QCOMPARE(r.params.set()[ParamId::TempSensorOn], QStringLiteral("1"));
    QVERIFY(!r.params.written());
    r.check("CheckBox22_2")->setChecked(false);
    QCOMPARE(r.params.set()[ParamId::TempSensorOn], QStringLiteral("0"));

    r.params.setWritten(true);
    r.check("CheckBox8_2")->setChecked(true);
    QVERIFY(!r.params.written());
    QVERIFY(r.edit("Edit8_1")->isEnabled());
}

void TestParametersPage::fillKeepsReadLambdaTimes() {
    Rig r;
    r.check("CheckBox13_3")->setChecked(true); // from an earlier Bosch read
    ParameterSet set = defaultParameterSet();
    set[ParamId::LambdaLowTime] = "300";
    set[ParamId::LambdaHighTime] = "700";
    set[ParamId::LambdaBosch] = "0";
    set[ParamId::CutoffOn] = "1";
    set[ParamId::RpmKind] = "1";
    r.params.fill(set, ParameterModel::Origin::Controller);
    QVERIFY(!r.check("CheckBox13_3")->isChecked());
    QCOMPARE(r.edit("Edit13_1")->text(), QStringLiteral("300"));
    QCOMPARE(r.edit("Edit13_2")->text(), QStringLiteral("700"));
    QVERIFY(r.edit("Edit16")->isEnabled());
    QVERIFY(r.edit("Edit10")->isEnabled());
    // Take from the page gives the same set back.
    r.params.collect();
    QCOMPARE(r.params.set()[ParamId::LambdaLowTime], QStringLiteral("300"));
    QCOMPARE(r.params.set()[ParamId::RpmKind], QStringLiteral("1"));
    QCOMPARE(r.params.set()[ParamId::AnalogThreshold], QStringLiteral("1"));
}

void TestParametersPage::listChangeEnablesDelta() {
    Rig r;
    r.enter();
    // By program: no change reaction.
    r.combo("ComboBox9")->setCurrentIndex(1);
    QVERIFY(!r.edit("Edit10")->isEnabled());
    r.combo("ComboBox9")->setCurrentIndex(0);
    // By the fitter (arrow key on the closed list).
    r.focus("ComboBox9");
    r.params.setWritten(true);
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Down);
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 1);
    QVERIFY(r.edit("Edit10")->isEnabled());
    QVERIFY(!r.params.written());
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Up);
    QVERIFY(!r.edit("Edit10")->isEnabled());
    // Typing does not select an item.
    QTest::keyClicks(r.combo("ComboBox9"), "m");
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 0);
}

void TestParametersPage::writtenFlagEvents() {
    Rig r;
    r.enter();
    r.params.setWritten(true);
    QTest::mouseClick(r.edit("Edit5"), Qt::LeftButton);
    QVERIFY(!r.params.written());

    r.params.setWritten(true);
    r.focus("Edit6");
    QTest::keyClicks(r.edit("Edit6"), "5"); // typing alone keeps the flag
    QVERIFY(r.params.written());

    r.focus("ComboBox4");
    r.params.setWritten(true);
    QTest::keyClicks(r.combo("ComboBox4"), "x");
    QVERIFY(!r.params.written());

    r.params.setWritten(true);
    r.focus("ComboBox1");
    QVERIFY(r.params.written()); // receiving the focus is not a change
    r.focus("ComboBox20");
    QVERIFY(!r.params.written());
    r.params.setWritten(true);
    r.focus("ComboBox21");
    QVERIFY(!r.params.written());
}

QTEST_MAIN(TestParametersPage)
