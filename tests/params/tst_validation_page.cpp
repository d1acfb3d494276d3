#include "tst_validation.h"

void TestEntryRules::fieldTableMatchesPage() {
    // Every edit entry control has a field rule, and nothing else has one; the
    // rule carries its parameter's range, length and filter.
    int edits = 0;
    for (const keyboard::EntryControl& e : keyboard::entryControls()) {
        const bool isEdit = e.kind == keyboard::ControlKind::Edit;
        edits += isEdit;
        const FieldRule* rule = fieldRule(e.control);
        QCOMPARE(rule != nullptr, isEdit);
        if (!rule) continue;
        const ParamDef& d = paramDef(e.id);
        QCOMPARE(rule->id, e.id);
        QCOMPARE(rule->maxLength, d.maxLength);
        QCOMPARE(rule->kind == Kind::Decimal, d.filter == KeyFilter::Decimal);
        QCOMPARE(rangeCheck(*rule, QString()).text, d.lowerText());
        QCOMPARE(rangeCheck(*rule, QStringLiteral("99999")).text, d.upperText());
    }
    QCOMPARE(keyboard::entryControls().size(), std::size_t(27));
    QCOMPARE(edits, 18);
    QCOMPARE(fieldRules().size(), std::size_t(18));
    // Volts bounds keep one decimal, as the checks write them.
    QCOMPARE(fieldRule("Edit2")->lowerText + fieldRule("Edit2")->upperText, QStringLiteral("0,14,9"));
    QCOMPARE(fieldRule("Edit5")->lowerText + fieldRule("Edit5")->upperText, QStringLiteral("0,09,9"));
}

// What the page builds itself from: groups in order along the tab order, the
// five lists numbered in tab order, each caption label once with its text.
void TestEntryRules::pageViewsOfTheTable() {
    int group = 1;
    QStringList lists;
    for (const keyboard::EntryControl& e : keyboard::entryControls()) {
        QVERIFY2(e.group == group || e.group == group + 1, qPrintable(e.control));
        group = e.group;
        QCOMPARE(paramDef(e.id).control, e.control);
        if (e.kind == keyboard::ControlKind::List) {
            lists << e.control;
            QCOMPARE(e.listNumber, int(lists.size()));
            QCOMPARE(paramDef(e.id).items.size(), paramDef(e.id).max + 1);
        }
    }
    QCOMPARE(group, 6);
    QCOMPARE(lists, (QStringList{"ComboBox1", "ComboBox4", "ComboBox9", "ComboBox20", "ComboBox21"}));
    QStringList groups;
    for (const PageGroup& g : pageGroups())
        groups << g.name;
    QCOMPARE(groups,
             (QStringList{"GroupBox20", "GroupBox9", "GroupBox14", "GroupBox22", "GroupBox8", "GroupBox21"}));

    QHash<QString, QString> captions;
    for (const PageLabel& l : pageLabels()) {
        QVERIFY2(!captions.contains(l.label.name), qPrintable(l.label.name));
        QVERIFY(!l.label.text.isEmpty());
        captions.insert(l.label.name, l.label.text);
    }
    QCOMPARE(captions.size(), 26);
    QCOMPARE(captions.value("Label12"), QStringLiteral("Min. i Max. silnika krok."));
    QCOMPARE(captions.value("CheckBox8_2_label"), QStringLiteral("Wylacz max obr"));
    QCOMPARE(keyboard::entryControl("CheckBox15")->highlight, (QStringList{"Label17", "CheckBox15_Label"}));
    QCOMPARE(keyboard::entryControl("Edit11_2")->highlight, QStringList{"Label12"});
    // A check box is named by its own caption where it has one.
    QCOMPARE(paramDef(ParamId::MaxGasRpmOff).label, QStringLiteral("Wyłącz max. obroty"));
    QCOMPARE(paramDef(ParamId::CutoffOn).label, QStringLiteral("Włączenie cutoff"));
}

void TestEntryRules::pageKeyTargets_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QStringList>("unavailable");
    QTest::addColumn<QString>("expected");
    QTest::newRow("up from ComboBox1 wraps") << "ComboBox1" << false << QStringList{} << "ComboBox21";
    QTest::newRow("down from ComboBox21 wraps") << "ComboBox21" << true << QStringList{} << "ComboBox1";
    QTest::newRow("down from CheckBox22_2") << "CheckBox22_2" << true << QStringList{} << "Edit11_1";
    QTest::newRow("disabled Edit10 skipped") << "ComboBox9" << true << QStringList{"Edit10"} << "Edit14";
    QTest::newRow("disabled cutoff fields skipped")
        << "CheckBox15" << true << QStringList{"Edit16", "Edit17"} << "ComboBox20";
    QTest::newRow("hidden temperature skipped")
        << "CheckBox8_2" << true << QStringList{"Edit22_1", "CheckBox22_2"} << "Edit11_1";
    QTest::newRow("up from Edit2") << "Edit2" << false << QStringList{} << "ComboBox1";
    QTest::newRow("down from a button") << "ZapButPic" << true << QStringList{} << "odczButPic";
    QTest::newRow("down from last wraps") << "WylaczkomentarzeCheck" << true << QStringList{} << "ComboBox1";
}

void TestEntryRules::pageKeyTargets() {
    QFETCH(QString, from);
    QFETCH(bool, down);
    QFETCH(QStringList, unavailable);
    QFETCH(QString, expected);
    QStringList order;
    for (const keyboard::EntryControl& e : keyboard::entryControls())
        order << e.control;
    order << keyboard::pageButtons() << QStringLiteral("WylaczkomentarzeCheck");
    const QString got = keyboard::pageKeyTarget(from, down, order,
                                                [&](const QString& n) { return !unavailable.contains(n); });
    QCOMPARE(got, expected);
}

void TestEntryRules::labelTargets() {
    QCOMPARE(keyboard::labelTarget("Label14"), QStringLiteral("Edit13_1"));
    QCOMPARE(keyboard::labelTarget("Label12"), QStringLiteral("Edit11_1"));
    QCOMPARE(keyboard::labelTarget("Label17"), QStringLiteral("CheckBox15"));
    QCOMPARE(keyboard::labelTarget("CheckBox15_Label"), QStringLiteral("CheckBox15"));
    QCOMPARE(keyboard::labelTarget("minprzelbgLabel"), QString());
    // Every caption label except minprzelbgLabel leads to an entry control.
    for (const QString& l : keyboard::captionLabels()) {
        const QString t = keyboard::labelTarget(l);
        if (l == QLatin1String("minprzelbgLabel")) continue;
        QVERIFY2(keyboard::entryControl(t), qPrintable(l));
    }
    QCOMPARE(keyboard::captionLabels().size(), 26);
}

void TestEntryRules::leaveChecks_data() {
    // Fields: lower, upper, start, start delay, lambda threshold, opening.
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("messages"); // key or key+suffix, in order
    QTest::addColumn<bool>("allowed");
    QTest::newRow("defaults") << QStringList{"10", "200", "100", "1", "0,50", "30"} << QStringList{} << true;
    QTest::newRow("start at minimum still leaves")
        << QStringList{"10", "200", "10", "1", "0,50", "30"} << QStringList{"30014"} << true;
    QTest::newRow("start at maximum then opening refuses")
        << QStringList{"10", "200", "200", "1", "0,50", "2"} << QStringList{"30014", "30011"} << false;
    QTest::newRow("delay zero refuses before lambda")
        << QStringList{"10", "200", "100", "0", "0,05", "30"} << QStringList{"30009"} << false;
    QTest::newRow("lambda below 0,1")
        << QStringList{"10", "200", "100", "1", "0,09", "30"} << QStringList{"30010"} << false;
    QTest::newRow("opening 2") << QStringList{"10", "200", "100", "1", "0,50", "2"} << QStringList{"30011"}
                               << false;
    // The start position must lie within the stepper limits.
    QTest::newRow("start above the upper limit")
        << QStringList{"10", "200", "250", "1", "0,50", "30"} << QStringList{"30013 [10 ... 200]"} << false;
    QTest::newRow("start below the lower limit")
        << QStringList{"10", "200", "5", "1", "0,50", "30"} << QStringList{"30013 [10 ... 200]"} << false;
    QTest::newRow("limits close, start outside")
        << QStringList{"10", "11", "5", "1", "0,50", "30"} << QStringList{"30013 [10 ... 11]"} << false;
    QTest::newRow("start just inside")
        << QStringList{"10", "200", "199", "1", "0,50", "30"} << QStringList{} << true;
    QTest::newRow("start at a limit is allowed even with the limits crossed")
        << QStringList{"200", "10", "200", "1", "0,50", "30"} << QStringList{"30014"} << true;
    QTest::newRow("int limits") << QStringList{"-2147483648", "2147483647", "0", "1", "0,50", "30"}
                                << QStringList{} << true;
    QTest::newRow("start beyond int takes no part")
        << QStringList{"10", "200", "99999999999", "1", "0,50", "30"} << QStringList{} << true;
    QTest::newRow("int max limits") << QStringList{"2147483647", "2147483647", "0", "1", "0,50", "30"}
                                    << QStringList{"30013 [2147483647 ... 2147483647]"} << false;
    QTest::newRow("int start outside") << QStringList{"-2147483648", "0", "2147483647", "1", "0,50", "30"}
                                       << QStringList{"30013 [-2147483648 ... 0]"} << false;
    QTest::newRow("empty page takes no part") << QStringList{"", "", "", "", "", ""} << QStringList{} << true;
}

void TestEntryRules::leaveChecks() {
    QFETCH(QStringList, fields);
    QFETCH(QStringList, messages);
    QFETCH(bool, allowed);
    const validation::LeaveResult r =
        validation::leaveChecks(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
    QStringList got;
    for (const validation::LeaveMessage& m : r.messages)
        got << QString::number(m.textKey) + m.suffix;
    QCOMPARE(got, messages);
    QCOMPARE(r.allowed, allowed);
}
