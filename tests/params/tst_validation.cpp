#include "tst_validation.h"

void TestEntryRules::filters_data() {
    QTest::addColumn<bool>("decimal");
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<QString>("inserted"); // empty: discarded
    QTest::newRow("digit 0") << false << QChar('0') << "0";
    QTest::newRow("digit 9") << false << QChar('9') << "9";
    QTest::newRow("digit backspace") << false << QChar(8) << QString(QChar(8));
    QTest::newRow("digit 127") << false << QChar(127) << QString(QChar(127));
    QTest::newRow("digit letter") << false << QChar('a') << "";
    QTest::newRow("digit comma") << false << QChar(',') << "";
    QTest::newRow("digit dot") << false << QChar('.') << "";
    QTest::newRow("digit minus") << false << QChar('-') << "";
    QTest::newRow("digit space") << false << QChar(' ') << "";
    QTest::newRow("digit ctrl-c") << false << QChar(3) << "";
    QTest::newRow("digit ctrl-x") << false << QChar(24) << "";
    QTest::newRow("digit ctrl-v") << false << QChar(22) << "";
    QTest::newRow("decimal 5") << true << QChar('5') << "5";
    QTest::newRow("decimal comma") << true << QChar(',') << ",";
    QTest::newRow("decimal dot becomes comma") << true << QChar('.') << ",";
    QTest::newRow("decimal letter") << true << QChar('e') << "";
    QTest::newRow("decimal ctrl-v") << true << QChar(22) << "";
}

void TestEntryRules::filters() {
    QFETCH(bool, decimal);
    QFETCH(QChar, typed);
    QFETCH(QString, inserted);
    const auto r = filterKey(decimal ? Filter::Decimal : Filter::Digit, typed);
    if (inserted.isEmpty())
        QVERIFY(!r.has_value());
    else {
        QVERIFY(r.has_value());
        QCOMPARE(QString(*r), inserted);
    }
}

// Pasted, dropped or input-method text: only what typing would insert stays,
// and only as much as the typing limit leaves room for.
void TestEntryRules::insertionsPassTheKeyFilter_data() {
    QTest::addColumn<bool>("decimal");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedCursor");
    const QString arabic = QString::fromUtf8("\u0661\u0662\u0663"); // Arabic-Indic 1 2 3
    const QString fullwidth = QString::fromUtf8("\uFF11\uFF12");    // fullwidth 1 2
    QTest::newRow("letters") << false << 5 << ""
                             << "abc" << 3 << "" << 0;
    QTest::newRow("exponent") << false << 5 << ""
                              << "1e4" << 3 << "14" << 2;
    QTest::newRow("exponent decimal") << true << 4 << ""
                                      << "1e4" << 3 << "14" << 2;
    QTest::newRow("arabic digits") << false << 5 << "1"
                                   << "1" + arabic << 4 << "1" << 1;
    QTest::newRow("fullwidth digits") << false << 5 << "" << fullwidth << 2 << "" << 0;
    QTest::newRow("dot becomes comma") << true << 4 << ""
                                       << "1.5" << 3 << "1,5" << 3;
    QTest::newRow("comma in whole field") << false << 5 << ""
                                          << "1,5" << 3 << "15" << 2;
    QTest::newRow("signs and blanks") << false << 5 << ""
                                      << " -12 " << 5 << "12" << 2;
    QTest::newRow("control characters") << false << 5 << ""
                                        << QString("1\b2\x7f"
                                                   "3\t")
                                        << 6 << "123" << 3;
    QTest::newRow("into the middle") << false << 5 << "12"
                                     << "1ab72" << 4 << "172" << 2;
    QTest::newRow("cursor behind") << false << 5 << "19"
                                   << "1ab9" << 4 << "19" << 2;
    QTest::newRow("over a selection") << false << 5 << "1234"
                                      << "1x94" << 3 << "194" << 2;
    QTest::newRow("cut to the limit") << false << 5 << "123"
                                      << "123456789" << 9 << "12345" << 5;
    QTest::newRow("no room") << false << 3 << "123"
                             << "1239" << 4 << "123" << 3;
    QTest::newRow("longer text kept") << false << 3 << "70000"
                                      << "700001" << 6 << "70000" << 5;
    QTest::newRow("typed digit") << false << 5 << "12"
                                 << "123" << 3 << "123" << 3;
    QTest::newRow("deletion") << false << 5 << "123"
                              << "13" << 1 << "13" << 1;
    QTest::newRow("malformed text kept") << true << 4 << "abc"
                                         << "abc1" << 4 << "abc1" << 4;
}

void TestEntryRules::insertionsPassTheKeyFilter() {
    QFETCH(bool, decimal);
    QFETCH(int, maxLength);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, cursor);
    QFETCH(QString, expected);
    QFETCH(int, expectedCursor);
    QCOMPARE(filterInsertion(decimal ? Filter::Decimal : Filter::Digit, maxLength, before, after, &cursor),
             expected);
    QCOMPARE(cursor, expectedCursor);
}

void TestEntryRules::decimalChecks_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Edit2 5") << "Edit2"
                             << "5"
                             << "4,9";
    QTest::newRow("Edit2 0") << "Edit2"
                             << "0"
                             << "0,1";
    QTest::newRow("Edit2 0,1") << "Edit2"
                               << "0,1"
                               << "0,1";
    QTest::newRow("Edit2 0,10") << "Edit2"
                                << "0,10"
                                << "0,1";
    QTest::newRow("Edit2 2") << "Edit2"
                             << "2"
                             << "2,00";
    QTest::newRow("Edit2 1,2,3") << "Edit2"
                                 << "1,2,3"
                                 << "0,1";
    QTest::newRow("Edit2 empty") << "Edit2"
                                 << ""
                                 << "0,1";
    QTest::newRow("Edit2 4,9") << "Edit2"
                               << "4,9"
                               << "4,90";
    QTest::newRow("Edit2 4,91") << "Edit2"
                                << "4,91"
                                << "4,9";
    QTest::newRow("Edit2 0,11") << "Edit2"
                                << "0,11"
                                << "0,11";
    QTest::newRow("Edit2 0,5") << "Edit2"
                               << "0,5"
                               << "0,50";
    QTest::newRow("Edit2 ,5") << "Edit2"
                              << ",5"
                              << "0,50";
    QTest::newRow("Edit2 3,") << "Edit2"
                              << "3,"
                              << "3,00";
    QTest::newRow("Edit5 0") << "Edit5"
                             << "0"
                             << "0,0";
    QTest::newRow("Edit5 12") << "Edit5"
                              << "12"
                              << "9,9";
    QTest::newRow("Edit5 1,5") << "Edit5"
                               << "1,5"
                               << "1,50";
    QTest::newRow("Edit5 9,9") << "Edit5"
                               << "9,9"
                               << "9,90";
    QTest::newRow("Edit5 empty") << "Edit5"
                                 << ""
                                 << "0,0";
    QTest::newRow("Edit5 0,01") << "Edit5"
                                << "0,01"
                                << "0,01";
}

void TestEntryRules::decimalChecks() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const FieldRule* rule = fieldRule(field);
    QVERIFY(rule);
    QCOMPARE(rule->kind, Kind::Decimal);
    for (bool enter : {false, true}) {
        const Checked r = checkField(*rule, text, enter, {});
        QVERIFY(r.ok());
        QCOMPARE(r.text, expected);
    }
}

void TestEntryRules::wholeBoundsOfEveryField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("maxLength");
    const struct {
        const char* f;
        int lo, hi, max;
    } rows[] = {{"Edit13_1", 0, 4000, 5},   {"Edit13_2", 0, 4000, 5}, {"Edit3", 1000, 9000, 5},
                {"Edit10", 0, 5000, 5},     {"Edit14", 1, 50, 3},     {"Edit19", 100, 10000, 5},
                {"Edit8_1", 1000, 9000, 5}, {"Edit22_1", 0, 100, 2},  {"Edit11_1", 0, 255, 3},
                {"Edit11_2", 0, 255, 3},    {"Edit12", 1, 255, 3},    {"Edit7", 1, 24, 2},
                {"Edit6", 1, 24, 2},        {"Edit18", 2, 50, 3},     {"Edit16", 1, 255, 3},
                {"Edit17", 500, 5000, 5}};
    for (const auto& r : rows)
        QTest::newRow(r.f) << r.f << r.lo << r.hi << r.max;
}

void TestEntryRules::wholeBoundsOfEveryField() {
    QFETCH(QString, field);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, maxLength);
    const FieldRule* rule = fieldRule(field);
    QVERIFY(rule);
    QCOMPARE(rule->kind, Kind::Whole);
    QCOMPARE(rule->maxLength, maxLength);
    // The range check alone (pair rules are tested separately).
    QCOMPARE(rangeCheck(*rule, QString()).text, QString::number(lower));
    QCOMPARE(rangeCheck(*rule, QString::number(upper + 1)).text, QString::number(upper));
    QCOMPARE(rangeCheck(*rule, QString::number(upper)).text, QString::number(upper));
    QCOMPARE(rangeCheck(*rule, QString::number(lower)).text, QString::number(lower));
    if (lower > 0) QCOMPARE(rangeCheck(*rule, QString::number(lower - 1)).text, QString::number(lower));
    const QString mid = QStringLiteral("0") + QString::number((lower + upper) / 2);
    QCOMPARE(rangeCheck(*rule, mid).text, mid); // as typed, leading zero kept
}

void TestEntryRules::wholeEdgeCases_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "1";
    QTest::newRow("0") << "0"
                       << "1";
    QTest::newRow("099") << "099"
                         << "50";
    QTest::newRow("007") << "007"
                         << "007";
    QTest::newRow("50") << "50"
                        << "50";
    QTest::newRow("51") << "51"
                        << "50";
}

void TestEntryRules::wholeEdgeCases() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const Checked r = checkField(*fieldRule("Edit14"), text, false, {});
    QVERIFY(r.ok());
    QCOMPARE(r.text, expected);
}

void TestEntryRules::unreadableTextKeepsTextWithMessage() {
    const QString bad = QStringLiteral("12") + QChar(127);
    Checked r = checkField(*fieldRule("Edit14"), bad, false, {});
    QVERIFY(!r.ok());
    QCOMPARE(r.text, bad);
    QCOMPARE(r.fault, Fault::NotFloat);
    QCOMPARE(r.unreadable, bad);
    r = checkField(*fieldRule("Edit2"), QStringLiteral("1a"), true, {});
    QVERIFY(!r.ok());
    QCOMPARE(r.text, QStringLiteral("1a"));
    QCOMPARE(r.unreadable, QStringLiteral("1a"));
    // The page words it in the program's language.
    QCOMPARE(faultMessage(r, QStringLiteral("'%1' nie jest liczbą"), QStringLiteral("unused")),
             QStringLiteral("'1a' nie jest liczbą"));
    QCOMPARE(faultMessage(checkField(*fieldRule("Edit2"), "1", true, {}), "a %1", "b %1"), QString());
}

void TestEntryRules::pairRules_data() {
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("partner");
    QTest::addColumn<QString>("expected");
    QTest::newRow("S 9000 vs 5000") << int(Pair::S) << "9000"
                                    << "5000"
                                    << "4900";
    QTest::newRow("S equal") << int(Pair::S) << "5000"
                             << "5000"
                             << "4900";
    QTest::newRow("S below") << int(Pair::S) << "4999"
                             << "5000"
                             << "4999";
    QTest::newRow("S may leave range") << int(Pair::S) << "1000"
                                       << "1000"
                                       << "900";
    QTest::newRow("M 1500 vs 2000") << int(Pair::M) << "1500"
                                    << "2000"
                                    << "2100";
    QTest::newRow("M equal") << int(Pair::M) << "2000"
                             << "2000"
                             << "2100";
    QTest::newRow("M above") << int(Pair::M) << "2001"
                             << "2000"
                             << "2001";
    QTest::newRow("M may leave range") << int(Pair::M) << "9000"
                                       << "9000"
                                       << "9100";
    QTest::newRow("A above") << int(Pair::A) << "250"
                             << "200"
                             << "200";
    QTest::newRow("A equal") << int(Pair::A) << "200"
                             << "200"
                             << "200";
    QTest::newRow("A partner text kept") << int(Pair::A) << "250"
                                         << "0200"
                                         << "0200";
    QTest::newRow("B below") << int(Pair::B) << "5"
                             << "10"
                             << "10";
    QTest::newRow("B above") << int(Pair::B) << "11"
                             << "10"
                             << "11";
    QTest::newRow("L above") << int(Pair::L) << "900"
                             << "500"
                             << "500";
    QTest::newRow("L below") << int(Pair::L) << "400"
                             << "500"
                             << "400";
    QTest::newRow("H below") << int(Pair::H) << "100"
                             << "500"
                             << "500";
    QTest::newRow("H above") << int(Pair::H) << "600"
                             << "500"
                             << "600";
}

void TestEntryRules::pairRules() {
    QFETCH(int, rule);
    QFETCH(QString, own);
    QFETCH(QString, partner);
    QFETCH(QString, expected);
    const Checked r = applyPair(Pair(rule), own, partner);
    QVERIFY(r.ok());
    QCOMPARE(r.text, expected);
}

void TestEntryRules::pairRuleWithUnreadablePartner() {
    const Checked r = checkField(*fieldRule("Edit3"), QStringLiteral("3000"), false,
                                 [](const QString&) { return QStringLiteral("x1"); });
    QVERIFY(!r.ok());
    QCOMPARE(r.text, QStringLiteral("3000"));
    QCOMPARE(r.fault, Fault::NotInteger);
    QCOMPARE(r.unreadable, QStringLiteral("x1"));
    QCOMPARE(faultMessage(r, QStringLiteral("unused"), QStringLiteral("[%1] is no whole number")),
             QStringLiteral("[x1] is no whole number"));
}

// Texts at and beyond the int limits, as a file or a paste may bring them:
// the +-100 of rules S and M is worked out without overflow, and a number
// beyond the int range is not an integer (as for the page's own conversion).
void TestEntryRules::numbersAtTheIntLimits_data() {
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("partner");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("unreadable"); // empty: no fault
    const QString none;
    QTest::newRow("S below int min") << int(Pair::S) << "2147483647"
                                     << "-2147483648"
                                     << "-2147483748" << none;
    QTest::newRow("S at int max") << int(Pair::S) << "2147483647"
                                  << "2147483647"
                                  << "2147483547" << none;
    QTest::newRow("M above int max") << int(Pair::M) << "-2147483648"
                                     << "2147483647"
                                     << "2147483747" << none;
    QTest::newRow("A int limits") << int(Pair::A) << "2147483647"
                                  << "-2147483648"
                                  << "-2147483648" << none;
    QTest::newRow("H int limits") << int(Pair::H) << "-2147483648"
                                  << "2147483647"
                                  << "2147483647" << none;
    QTest::newRow("own beyond int") << int(Pair::S) << "99999999999"
                                    << "5000"
                                    << "99999999999"
                                    << "99999999999";
    QTest::newRow("partner beyond int") << int(Pair::M) << "2000"
                                        << "-99999999999"
                                        << "2000"
                                        << "-99999999999";
}

void TestEntryRules::numbersAtTheIntLimits() {
    QFETCH(int, rule);
    QFETCH(QString, own);
    QFETCH(QString, partner);
    QFETCH(QString, expected);
    QFETCH(QString, unreadable);
    const Checked r = applyPair(Pair(rule), own, partner);
    QCOMPARE(r.text, expected);
    QCOMPARE(r.fault, unreadable.isEmpty() ? Fault::None : Fault::NotInteger);
    QCOMPARE(r.unreadable, unreadable);
}

void TestEntryRules::leaveAndEnterApplyDifferentPairs_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("onLeave");
    QTest::addColumn<QString>("onEnter");
    // Partners: Edit8_1 5000, Edit3 2000, Edit11_2 200, Edit11_1 10, Edit13_2 500, Edit13_1 500.
    QTest::newRow("Edit13_1 900") << "Edit13_1"
                                  << "900"
                                  << "900"
                                  << "500";
    QTest::newRow("Edit13_2 100") << "Edit13_2"
                                  << "100"
                                  << "100"
                                  << "500";
    QTest::newRow("Edit13_1 5000") << "Edit13_1"
                                   << "5000"
                                   << "4000"
                                   << "500";
    QTest::newRow("Edit8_1 1500") << "Edit8_1"
                                  << "1500"
                                  << "2100"
                                  << "1500";
    QTest::newRow("Edit8_1 2000") << "Edit8_1"
                                  << "2000"
                                  << "2100"
                                  << "2000";
    QTest::newRow("Edit8_1 9999") << "Edit8_1"
                                  << "9999"
                                  << "9000"
                                  << "9000";
    QTest::newRow("Edit3 9000") << "Edit3"
                                << "9000"
                                << "4900"
                                << "4900";
    QTest::newRow("Edit3 empty") << "Edit3"
                                 << ""
                                 << "1000"
                                 << "1000";
    QTest::newRow("Edit11_1 250") << "Edit11_1"
                                  << "250"
                                  << "200"
                                  << "200";
    QTest::newRow("Edit11_1 300") << "Edit11_1"
                                  << "300"
                                  << "200"
                                  << "200";
    QTest::newRow("Edit11_2 5") << "Edit11_2"
                                << "5"
                                << "10"
                                << "10";
}

void TestEntryRules::leaveAndEnterApplyDifferentPairs() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, onLeave);
    QFETCH(QString, onEnter);
    const QHash<QString, QString> page = {{"Edit8_1", "5000"}, {"Edit3", "2000"},   {"Edit11_2", "200"},
                                          {"Edit11_1", "10"},  {"Edit13_2", "500"}, {"Edit13_1", "500"}};
    auto textOf = [&](const QString& n) { return page.value(n); };
    QCOMPARE(checkField(*fieldRule(field), text, false, textOf).text, onLeave);
    QCOMPARE(checkField(*fieldRule(field), text, true, textOf).text, onEnter);
}

QTEST_APPLESS_MAIN(TestEntryRules)
