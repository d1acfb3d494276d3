#include "tst_parameterspage.h"

void TestParametersPage::pageKeyWalk() {
    Rig r;
    r.enter();
    r.check("CheckBox15")->setChecked(true);
    r.params.fill(r.params.set(),
                  ParameterModel::Origin::Controller); // keeps cutoff on; delta needs "malejące"
    r.combo("ComboBox9")->setCurrentIndex(1);
    r.edit("Edit10")->setEnabled(true);
    const QStringList order = {
        "ComboBox1", "Edit2",        "Edit13_1", "Edit13_2", "CheckBox13_3", "ComboBox4", "Edit5",
        "Edit3",     "ComboBox9",    "Edit10",   "Edit14",   "Edit19",       "Edit8_1",   "CheckBox8_2",
        "Edit22_1",  "CheckBox22_2", "Edit11_1", "Edit11_2", "Edit12",       "Edit7",     "Edit6",
        "Edit18",    "CheckBox15",   "Edit16",   "Edit17",   "ComboBox20",   "ComboBox21"};
    QCOMPARE(order.size(), 27);
    r.focus("ComboBox1");
    const int index1 = r.combo("ComboBox1")->currentIndex();
    for (int i = 1; i <= 27; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        QCOMPARE(r.focused(), order[i % 27]);
    }
    for (int i = 26; i >= -1; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
        QCOMPARE(r.focused(), order[(i + 27) % 27]);
    }
    // Lists consume the keys: their selection never changed.
    QCOMPARE(r.combo("ComboBox1")->currentIndex(), index1);
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 1);
}

void TestParametersPage::pageKeysSkipDisabledAndHidden() {
    Rig r;
    r.version = 3;
    r.enter();
    r.focus("ComboBox9");
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_PageDown);
    QCOMPARE(r.focused(), QStringLiteral("Edit14"));
    r.focus("CheckBox8_2");
    QTest::keyClick(r.check("CheckBox8_2"), Qt::Key_PageDown);
    QCOMPARE(r.focused(), QStringLiteral("Edit11_1"));
    r.focus("CheckBox15");
    QTest::keyClick(r.check("CheckBox15"), Qt::Key_PageDown);
    QCOMPARE(r.focused(), QStringLiteral("ComboBox20"));
    QVERIFY(!r.check("CheckBox15")->isChecked());
}

void TestParametersPage::enterOpensListAndClosingEnterWrites() {
    Rig r;
    r.enter();
    r.focus("ComboBox9");
    QCOMPARE(r.page->lastListNumber(), 3);
    QTest::keyClick(r.combo("ComboBox9"), Qt::Key_Return);
    QVERIFY(r.page->openListFlag());
    QAbstractItemView* view = r.combo("ComboBox9")->view();
    QTRY_VERIFY(view->isVisible());
    r.clearLog();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
    // (Checked before waiting for the write: the offscreen platform deactivates
    // the window once the popup has gone.)
    QVERIFY(r.edit("Edit10")->isEnabled());
    QCOMPARE(r.focused(), QStringLiteral("Edit10"));
    QCOMPARE(r.combo("ComboBox9")->currentIndex(), 1);
    QVERIFY(!r.page->openListFlag());
    QVERIFY(r.wroteSequence());
    // RpmKind bit 2 of the flags byte was written.
    QVERIFY(r.link.state().flags & 0x04);
    QVERIFY(r.params.written());
}

void TestParametersPage::closingEnterInTpsListLeavesFlagCleared() {
    Rig r;
    r.enter();
    r.focus("ComboBox4");
    QTest::keyClick(r.combo("ComboBox4"), Qt::Key_Return);
    QAbstractItemView* view = r.combo("ComboBox4")->view();
    QTRY_VERIFY(view->isVisible());
    r.clearLog();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Enter);
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(r.focused(), QStringLiteral("Edit5"));
    QVERIFY(r.wroteSequence());
    QCOMPARE(r.combo("ComboBox4")->currentIndex(), 1);
    QVERIFY(!r.params.written());
}

void TestParametersPage::listClosedOtherwiseThenEnterDoesNothing() {
    Rig r;
    r.enter();
    r.focus("ComboBox1");
    QTest::keyClick(r.combo("ComboBox1"), Qt::Key_Return);
    QAbstractItemView* view = r.combo("ComboBox1")->view();
    QTRY_VERIFY(view->isVisible());
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!view->isVisible());
    QApplication::setActiveWindow(r.window.get());
    QTRY_VERIFY(r.combo("ComboBox1")->hasFocus());
    r.clearLog();
    QTest::keyClick(r.combo("ComboBox1"), Qt::Key_Return);
    QVERIFY(!view->isVisible());
    QVERIFY(!r.wroteSequence());
    // Enter in an edit field writes and clears the open-list flag; the list opens again.
    QApplication::setActiveWindow(r.window.get());
    r.focus("Edit2");
    QTest::keyClick(r.edit("Edit2"), Qt::Key_Return);
    QVERIFY(r.wroteSequence());
    QVERIFY(!r.page->openListFlag());
    r.focus("ComboBox1");
    QTest::keyClick(r.combo("ComboBox1"), Qt::Key_Return);
    QTRY_VERIFY(view->isVisible());
    QTest::keyClick(view, Qt::Key_Escape);
}

void TestParametersPage::enterOnButtonRunsItsAction() {
    Rig r;
    r.enter();
    r.focus("Edit3");
    r.focus("ZapButPic");
    r.clearLog();
    r.params.setWritten(false);
    QTest::keyClick(r.w<QAbstractButton>("ZapButPic"), Qt::Key_Return);
    QVERIFY(r.wroteSequence());
    QVERIFY(r.params.written());
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano parametry"));
    // The button's own action moves the focus to ComboBox1.
    QCOMPARE(r.focused(), QStringLiteral("ComboBox1"));
}

void TestParametersPage::backspaceIsLeftAndDelete() {
    Rig r;
    r.enter();
    QLineEdit* e = r.edit("Edit19");
    r.focus("Edit19");
    e->setText("1234");
    e->setCursorPosition(4);
    QTest::keyClick(e, Qt::Key_Backspace);
    QCOMPARE(e->text(), QStringLiteral("123"));
    QCOMPARE(e->cursorPosition(), 3);
    e->setCursorPosition(1);
    r.page->cofnijPressed();
    QCOMPARE(e->text(), QStringLiteral("23"));
    QCOMPARE(e->cursorPosition(), 0);
}

void TestParametersPage::commentsAndPanel() {
    Rig r;
    r.enter();
    QLabel* info = r.label("info");
    r.focus("Edit3");
    QCOMPARE(info->text(), QString::fromUtf8("Próg obrotów przejścia benzyna/gaz [1000;9000 obr/min]"));
    QCOMPARE(r.shell.message(), info->text());
    r.focus("ComboBox21");
    QCOMPARE(r.shell.message(), QString::fromUtf8("Typ szkiełka rezerwy.    1: 90R lub rezerwa;    2: 20K"));
    r.focus("CheckBox8_2"); // keeps the panel
    QCOMPARE(r.shell.message(), QString::fromUtf8("Typ szkiełka rezerwy.    1: 90R lub rezerwa;    2: 20K"));
    QCOMPARE(info->text(), QString::fromUtf8("Maksymalne obroty na gazie [1000;9000 obr/min]"));
    r.focus("CheckBox15"); // empties it
    QCOMPARE(r.shell.message(), QString());
    QCOMPARE(info->text(), QString());

    // A language text replaces the built-in comment.
    r.shell.texts().set(10352, QStringLiteral("Switch-over speed"));
    r.focus("Edit3");
    QCOMPARE(info->text(), QStringLiteral("Switch-over speed"));

    r.check("WylaczkomentarzeCheck")->setChecked(true);
    QCOMPARE(info->text(), QString());
    QVERIFY(!r.page->commentsOn());
    r.focus("Edit12");
    QCOMPARE(info->text(), QString());
    QCOMPARE(r.shell.message(), QString::fromUtf8("Startowa pozycja silnika krokowego [1;255]"));
    r.check("WylaczkomentarzeCheck")->setChecked(false);
    r.focus("Edit18");
    QCOMPARE(info->text(), QString::fromUtf8("Otwarcie silnika krokowego [2;50]"));
}

void TestParametersPage::highlightOfSharedLabels() {
    Rig r;
    r.enter();
    r.shell.labelHighlight = 0x00FF8040; // blue 0xFF, green 0x80, red 0x40
    auto only = [&](QStringList names) {
        for (const char* l : {"Label1", "Label12", "Label14", "Label17", "CheckBox15_Label", "Label3"}) {
            const bool want = names.contains(QString::fromLatin1(l));
            if (highlighted(r.label(l)) != want) return false;
        }
        return true;
    };
    r.focus("Edit11_1");
    QVERIFY(only({"Label12"}));
    QCOMPARE(r.label("Label12")->palette().color(QPalette::Window), QColor(0x40, 0x80, 0xFF));
    r.focus("Edit11_2");
    QVERIFY(only({"Label12"}));
    r.focus("Edit13_1");
    QVERIFY(only({"Label14"}));
    r.focus("Edit13_2");
    QVERIFY(only({"Label14"}));
    r.focus("CheckBox15");
    QVERIFY(only({"Label17", "CheckBox15_Label"}));
    r.focus("Edit3");
    QVERIFY(only({"Label3"}));
    // A skin changes the colour: the focused field's label follows at once,
    // and nothing else of the focus display runs again.
    r.shell.labelHighlight = 0x000000FF;
    r.shell.setMessage(QStringLiteral("kept"));
    r.page->refreshLabelHighlight();
    QCOMPARE(r.label("Label3")->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(r.shell.message(), QStringLiteral("kept"));
}

void TestParametersPage::labelClicks() {
    Rig r;
    r.enter();
    QTest::mouseClick(r.label("Label3"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("Edit3"));
    QTest::mouseClick(r.label("Label14"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("Edit13_1"));
    QTest::mouseClick(r.label("Label10"), Qt::LeftButton); // Edit10 disabled
    QCOMPARE(r.focused(), QStringLiteral("Edit13_1"));
    QTest::mouseClick(r.label("CheckBox8_2_label"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("CheckBox8_2"));
    QVERIFY(!r.check("CheckBox8_2")->isChecked());
    QTest::mouseClick(r.label("Label17"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("CheckBox15"));
    QVERIFY(!r.check("CheckBox15")->isChecked());
    QTest::mouseClick(r.label("minprzelbgLabel"), Qt::LeftButton);
    QCOMPARE(r.focused(), QStringLiteral("CheckBox15"));
}
