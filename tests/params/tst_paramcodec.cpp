#include "tst_paramcodec.h"

void TestParamCodec::table() {
    const auto& t = paramTable();
    QCOMPARE(int(t.size()), ParamCount);
    QSet<QString> controls;
    QSet<int> files;
    for (int i = 0; i < ParamCount; ++i) {
        const ParamDef& d = t[static_cast<std::size_t>(i)];
        QCOMPARE(int(d.id), i);
        QCOMPARE(&paramDef(d.id), &d);
        QVERIFY2(!controls.contains(d.control), qPrintable(d.control));
        controls.insert(d.control);
        QCOMPARE(paramByControl(d.control), &d);
        if (d.fileNo >= 0) {
            QVERIFY(!files.contains(d.fileNo));
            files.insert(d.fileNo);
            QCOMPARE(paramByFileNo(d.fileNo), &d);
        }
        if (d.kind == ParamDef::Choice) QCOMPARE(d.items.size(), d.max + 1);
    }
    QSet<int> expectedFiles;
    for (int n = 100; n <= 124; ++n)
        expectedFiles.insert(n);
    expectedFiles.insert(126);
    QCOMPARE(files, expectedFiles);
    QVERIFY(!paramByControl(QStringLiteral("Edit1")));
    QVERIFY(!paramByFileNo(125));

    const ParamDef& sw = paramDef(ParamId::SwitchRpm);
    QCOMPARE(sw.control, QStringLiteral("Edit3"));
    QCOMPARE(sw.label, QStringLiteral("Obroty dla przejścia B/G"));
    QCOMPARE(sw.fileNo, 102);
    QCOMPARE(sw.min, 1000);
    QCOMPARE(sw.max, 9000);
    QCOMPARE(sw.maxLength, 5);
    QCOMPARE(paramDef(ParamId::LambdaThreshold).kind, ParamDef::Volts);
    QCOMPARE(paramDef(ParamId::LambdaThreshold).max, 490);
    QCOMPARE(paramDef(ParamId::TpsThreshold).max, 990);
    QCOMPARE(paramDef(ParamId::SwitchTemp).maxLength, 2);
    QCOMPARE(paramDef(ParamId::SwitchTemp).max, 100);
    QCOMPARE(paramDef(ParamId::ProbeKind).items.at(3), QStringLiteral("0,8 - 1,6 [V]"));
    QCOMPARE(paramDef(ParamId::ReserveSensorKind).items, (QStringList{"20K", "90R"}));
    const QStringList analog = paramDef(ParamId::AnalogThreshold).items;
    QCOMPARE(analog.size(), 26);
    QCOMPARE(analog.mid(0, 3), (QStringList{"1", "10", "20"}));
    QCOMPARE(analog.last(), QStringLiteral("250"));
}

void TestParamCodec::defaults() {
    const ParameterSet s = defaultParameterSet();
    QCOMPARE(s[ParamId::ProbeKind], QStringLiteral("0"));
    QCOMPARE(s[ParamId::ReserveSensorKind], QStringLiteral("1"));
    QCOMPARE(s[ParamId::AnalogThreshold], QStringLiteral("1"));
    QCOMPARE(s[ParamId::LambdaThreshold], QStringLiteral("0,50"));
    QCOMPARE(s[ParamId::TpsThreshold], QStringLiteral("1,25"));
    QCOMPARE(s[ParamId::SwitchDelay], QStringLiteral("100"));
    for (ParamId f : {ParamId::MaxGasRpmOff, ParamId::LambdaBosch, ParamId::CutoffOn, ParamId::TempSensorOn})
        QCOMPARE(s[f], QStringLiteral("0"));
    for (const ParamDef& d : paramTable())
        QVERIFY2(!s[d.id].isEmpty(), qPrintable(d.identifier));
}

void TestParamCodec::voltsTexts_data() {
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QString>("text");
    QTest::newRow("50") << 50 << "0,50";
    QTest::newRow("125") << 125 << "1,25";
    QTest::newRow("0") << 0 << "0,00";
    QTest::newRow("5 gets two leading zeros") << 5 << "0,05";
    QTest::newRow("499") << 499 << "4,99";
    QTest::newRow("1000 keeps three digits") << 1000 << "1,00";
    QTest::newRow("1275") << 1275 << "1,27";
    QTest::newRow("negative as zero") << -5 << "0,00";
}

void TestParamCodec::voltsTexts() {
    QFETCH(int, hundredths);
    QFETCH(QString, text);
    QCOMPARE(voltsText(hundredths), text);
}

void TestParamCodec::voltsRead_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("hundredths");
    QTest::newRow("0,50") << "0,50" << 50;
    QTest::newRow("1,25") << "1,25" << 125;
    QTest::newRow("lower bound text 0,1") << "0,1" << 10;
    QTest::newRow("upper bound text 4,9") << "4,9" << 490;
    QTest::newRow("9,9") << "9,9" << 990;
    QTest::newRow("one digit") << "2" << 200;
    QTest::newRow("digit and comma") << "2," << 200;
    QTest::newRow("full stop as comma") << "1.25" << 125;
    QTest::newRow("fifth digit ignored") << "1,255" << 125;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("two whole digits") << "12,5" << -1;
    QTest::newRow("leading space") << " 1,25" << -1;
    QTest::newRow("trailing garbage") << "1,2x" << -1;
    QTest::newRow("letter first") << "a,50" << -1;
}

void TestParamCodec::voltsRead() {
    QFETCH(QString, text);
    QFETCH(int, hundredths);
    QCOMPARE(voltsHundredths(text), hundredths);
}

void TestParamCodec::wholeNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("value");
    QTest::newRow("12") << "12" << int(WholeNumber::Ok) << 12;
    QTest::newRow("leading zeros") << "007" << int(WholeNumber::Ok) << 7;
    QTest::newRow("minus") << "-5" << int(WholeNumber::Ok) << -5;
    QTest::newRow("plus") << "+7" << int(WholeNumber::Ok) << 7;
    QTest::newRow("int max") << "2147483647" << int(WholeNumber::Ok) << 2147483647;
    QTest::newRow("int min") << "-2147483648" << int(WholeNumber::Ok) << int(-2147483647 - 1);
    QTest::newRow("empty") << "" << int(WholeNumber::Empty) << 0;
    QTest::newRow("comma") << "1,5" << int(WholeNumber::Bad) << 0;
    QTest::newRow("letters") << "abc" << int(WholeNumber::Bad) << 0;
    QTest::newRow("leading space") << " 12" << int(WholeNumber::Bad) << 0;
    QTest::newRow("trailing space") << "12 " << int(WholeNumber::Bad) << 0;
    QTest::newRow("sign only") << "-" << int(WholeNumber::Bad) << 0;
    QTest::newRow("overflow") << "2147483648" << int(WholeNumber::Bad) << 0;
    QTest::newRow("long overflow") << "99999999999999999999999" << int(WholeNumber::Bad) << 0;
    QTest::newRow("non-latin digits") << QString::fromUtf8("١٢") << int(WholeNumber::Bad) << 0;
}

void TestParamCodec::wholeNumbers() {
    QFETCH(QString, text);
    QFETCH(int, state);
    QFETCH(int, value);
    const WholeNumber n = wholeNumber(text);
    QCOMPARE(int(n.state), state);
    QCOMPARE(n.value, value);
}

void TestParamCodec::decodeDefaultBlock() {
    ParameterSet s = defaultParameterSet();
    s[ParamId::AnalogThreshold] = QStringLiteral("keep");
    ParameterSet decoded;
    decoded[ParamId::AnalogThreshold] = QStringLiteral("keep");
    decodeParameterBlock(defaultBlock(), 4800, decoded);
    for (const ParamDef& d : paramTable())
        QCOMPARE(decoded[d.id], s[d.id]);
}

void TestParamCodec::decodeRows_data() {
    QTest::addColumn<QList<int>>("patch"); // index, value, index, value ...
    QTest::addColumn<int>("constant");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");

    QTest::newRow("switch 768 at 4800") << QList<int>{6, 0x00, 7, 0x03} << 4800 << "Edit3"
                                        << "5000";
    QTest::newRow("switch 0 counts as 1: 3840000 rpm, fallback") << QList<int>{6, 0, 7, 0} << 4800 << "Edit3"
                                                                 << "5000";
    QTest::newRow("switch 1920 at 2400") << QList<int>{} << 2400 << "Edit3"
                                         << "1000";
    QTest::newRow("switch 1920 at 19200") << QList<int>{} << 19200 << "Edit3"
                                          << "8000";
    QTest::newRow("switch 1024 at 19200 above 9000") << QList<int>{6, 0x00, 7, 0x04} << 19200 << "Edit3"
                                                     << "5000";
    QTest::newRow("max gas off: box") << QList<int>{13, 1, 14, 0} << 4800 << "CheckBox8_2"
                                      << "1";
    QTest::newRow("max gas off: speed") << QList<int>{13, 1, 14, 0} << 4800 << "Edit8_1"
                                        << "5000";
    QTest::newRow("max gas 0 counts as 2") << QList<int>{13, 0, 14, 0} << 4800 << "Edit8_1"
                                           << "5000";
    QTest::newRow("max gas 0 box clear") << QList<int>{13, 0, 14, 0} << 4800 << "CheckBox8_2"
                                         << "0";
    QTest::newRow("max gas 549 -> 6995 -> 7000") << QList<int>{} << 4800 << "Edit8_1"
                                                 << "7000";
    QTest::newRow("lambda 122/244 low") << QList<int>{} << 4800 << "Edit13_1"
                                        << "500";
    QTest::newRow("lambda 122/244 high") << QList<int>{} << 4800 << "Edit13_2"
                                         << "500";
    QTest::newRow("lambda zero low") << QList<int>{1, 0, 3, 0} << 4800 << "Edit13_1"
                                     << "0";
    QTest::newRow("lambda zero high") << QList<int>{1, 0, 3, 0} << 4800 << "Edit13_2"
                                      << "0";
    QTest::newRow("lambda zero Bosch") << QList<int>{1, 0, 3, 0} << 4800 << "CheckBox13_3"
                                       << "1";
    QTest::newRow("lambda low 4100 falls back")
        << QList<int>{1, 0xE8, 2, 0x03, 3, 0xE8, 4, 0x03} << 4800 << "Edit13_1"
        << "500";
    QTest::newRow("lambda high against unrounded low")
        << QList<int>{1, 0xE8, 2, 0x03, 3, 0xE8, 4, 0x03} << 4800 << "Edit13_2"
        << "0";
    QTest::newRow("lambda not both zero: no Bosch")
        << QList<int>{1, 0xE8, 2, 0x03, 3, 0xE8, 4, 0x03} << 4800 << "CheckBox13_3"
        << "0";
    QTest::newRow("lambda high negative falls back") << QList<int>{1, 244, 3, 122} << 4800 << "Edit13_2"
                                                     << "500";
    QTest::newRow("tps 25") << QList<int>{5, 25} << 4800 << "Edit5"
                            << "1,25";
    QTest::newRow("tps 200 does not fit") << QList<int>{5, 200} << 4800 << "Edit5"
                                          << "1,00";
    QTest::newRow("tps 0") << QList<int>{5, 0} << 4800 << "Edit5"
                           << "0,00";
    QTest::newRow("lambda thr 26 -> 51 -> 50") << QList<int>{9, 26} << 4800 << "Edit2"
                                               << "0,50";
    QTest::newRow("lambda thr 255") << QList<int>{9, 255} << 4800 << "Edit2"
                                    << "5,00";
    QTest::newRow("lambda thr 1 -> 2 -> 0") << QList<int>{9, 1} << 4800 << "Edit2"
                                            << "0,00";
    QTest::newRow("lambda thr 128 -> 251 -> 250") << QList<int>{9, 128} << 4800 << "Edit2"
                                                  << "2,50";
    QTest::newRow("step min") << QList<int>{10, 245} << 4800 << "Edit11_1"
                              << "10";
    QTest::newRow("step max 0") << QList<int>{11, 0} << 4800 << "Edit11_2"
                                << "255";
    QTest::newRow("step start") << QList<int>{12, 155} << 4800 << "Edit12"
                                << "100";
    QTest::newRow("switch temp 136") << QList<int>{0, 136} << 4800 << "Edit22_1"
                                     << "50";
    QTest::newRow("switch temp below 111 shown as is") << QList<int>{0, 100} << 4800 << "Edit22_1"
                                                       << "-22";
    QTest::newRow("below tps 2650") << QList<int>{28, 0x5A, 29, 0x0A} << 4800 << "Edit7"
                                    << "24";
    QTest::newRow("below tps 24x2650") << QList<int>{28, 0x70, 29, 0xF8} << 4800 << "Edit7"
                                       << "1";
    QTest::newRow("below tps 0 -> 25, fallback") << QList<int>{28, 0, 29, 0} << 4800 << "Edit7"
                                                 << "3";
    QTest::newRow("above tps 0 -> 25, fallback") << QList<int>{34, 0, 35, 0} << 4800 << "Edit6"
                                                 << "3";
    QTest::newRow("above tps 1325 -> 24.5 -> 24") << QList<int>{34, 0x2D, 35, 0x05} << 4800 << "Edit6"
                                                  << "24";
    QTest::newRow("switch delay 24") << QList<int>{15, 24, 16, 0} << 4800 << "Edit19"
                                     << "100";
    QTest::newRow("switch delay 0 falls back") << QList<int>{15, 0, 16, 0} << 4800 << "Edit19"
                                               << "1000";
    QTest::newRow("switch delay 2442 -> 10000") << QList<int>{15, 0x8A, 16, 0x09} << 4800 << "Edit19"
                                                << "10000";
    QTest::newRow("switch delay 2443 -> 10010, fallback")
        << QList<int>{15, 0x8B, 16, 0x09} << 4800 << "Edit19"
        << "1000";
    QTest::newRow("start delay 7 -> 1.4") << QList<int>{22, 7} << 4800 << "Edit14"
                                          << "1";
    QTest::newRow("start delay 8 -> 1.6") << QList<int>{22, 8} << 4800 << "Edit14"
                                          << "2";
    QTest::newRow("step opening above 50 shown") << QList<int>{27, 60} << 4800 << "Edit18"
                                                 << "60";
    QTest::newRow("cutoff 0 counts as 1, fallback") << QList<int>{19, 0, 20, 0} << 4800 << "Edit17"
                                                    << "2000";
    QTest::newRow("cutoff 7680 -> 500") << QList<int>{19, 0x00, 20, 0x1E} << 4800 << "Edit17"
                                        << "500";
    QTest::newRow("cutoff step") << QList<int>{21, 225} << 4800 << "Edit16"
                                 << "30";
    QTest::newRow("rpm delta default") << QList<int>{} << 4800 << "Edit10"
                                       << "500";
    QTest::newRow("rpm delta 0 at 5000") << QList<int>{6, 0x00, 7, 0x03, 17, 0, 18, 0} << 4800 << "Edit10"
                                         << "0";
    QTest::newRow("rpm delta uses the switch fallback")
        << QList<int>{6, 0, 7, 0, 17, 0x80, 18, 0x02} << 4800 << "Edit10"
        << "2300";
    QTest::newRow("rpm delta above 5000 falls back")
        << QList<int>{6, 0xAB, 7, 0x01, 17, 0xFF, 18, 0xFF} << 4800 << "Edit10"
        << "500";
    QTest::newRow("probe 1 inverted -> 4") << QList<int>{31, 1, 8, 0x02} << 4800 << "ComboBox1"
                                           << "4";
    QTest::newRow("probe 0 -> 1") << QList<int>{31, 0} << 4800 << "ComboBox1"
                                  << "1";
    QTest::newRow("probe 0 inverted -> 2") << QList<int>{31, 0, 8, 0x02} << 4800 << "ComboBox1"
                                           << "2";
    QTest::newRow("probe 2 -> 3") << QList<int>{31, 2, 8, 0x02} << 4800 << "ComboBox1"
                                  << "3";
    QTest::newRow("probe other -> 0") << QList<int>{31, 9} << 4800 << "ComboBox1"
                                      << "0";
    QTest::newRow("flags bit 0") << QList<int>{8, 0x01} << 4800 << "ComboBox4"
                                 << "1";
    QTest::newRow("flags bit 2") << QList<int>{8, 0x04} << 4800 << "ComboBox9"
                                 << "1";
    QTest::newRow("flags bit 3") << QList<int>{8, 0x08} << 4800 << "CheckBox22_2"
                                 << "1";
    QTest::newRow("flags bit 4") << QList<int>{8, 0x10} << 4800 << "CheckBox15"
                                 << "1";
    QTest::newRow("flags bit 6") << QList<int>{8, 0x40} << 4800 << "ComboBox20"
                                 << "1";
    QTest::newRow("flags bit 7 set: 20K") << QList<int>{8, 0x80} << 4800 << "ComboBox21"
                                          << "0";
    QTest::newRow("flags other bits: cutoff off") << QList<int>{8, 0xEF} << 4800 << "CheckBox15"
                                                  << "0";
}

void TestParamCodec::decodeRows() {
    QFETCH(QList<int>, patch);
    QFETCH(int, constant);
    QFETCH(QString, control);
    QFETCH(QString, text);
    ParameterBlock b = defaultBlock();
    for (int i = 0; i + 1 < patch.size(); i += 2)
        b[static_cast<std::size_t>(patch[i])] = static_cast<std::uint8_t>(patch[i + 1]);
    ParameterSet s;
    decodeParameterBlock(b, constant, s);
    QCOMPARE(s[paramByControl(control)->id], text);
}

void TestParamCodec::decodeLeavesAnalogThreshold() {
    ParameterSet s;
    s[ParamId::AnalogThreshold] = QStringLiteral("130");
    ParameterBlock b{};
    b[22] = 255;
    decodeParameterBlock(b, 4800, s);
    QCOMPARE(s[ParamId::AnalogThreshold], QStringLiteral("130"));
    QCOMPARE(s[ParamId::StartDelay], QStringLiteral("51"));
}

void TestParamCodec::readAcceptsAndRejects_data() {
    QTest::addColumn<int>("ignitionLow");
    QTest::addColumn<int>("ignitionHigh");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("constant");
    QTest::addColumn<QString>("switchRpm");
    QTest::newRow("index 2") << 2 << 0 << 37 << true << 4800 << "2000";
    QTest::newRow("index 0") << 0 << 0 << 37 << true << 19200 << "8000";
    QTest::newRow("index 5") << 5 << 0 << 37 << true << 2400 << "1000";
    QTest::newRow("0x0006: other value") << 6 << 0 << 37 << true << 4800 << "2000";
    QTest::newRow("0x0101 rejected") << 1 << 1 << 37 << false << 0 << "";
    QTest::newRow("short answer") << 2 << 0 << 20 << false << 0 << "";
}

void TestParamCodec::readAcceptsAndRejects() {
    QFETCH(int, ignitionLow);
    QFETCH(int, ignitionHigh);
    QFETCH(int, length);
    QFETCH(bool, accepted);
    QFETCH(int, constant);
    QFETCH(QString, switchRpm);

    std::vector<LinkEvent> log;
    FakeClock clock(&log);
    FakePort port(clock, &log);
    SerialChannel ch(port, clock);
    Controller c(ch);
    ParameterBlock b = defaultBlock();
    b[32] = static_cast<std::uint8_t>(ignitionLow);
    b[33] = static_cast<std::uint8_t>(ignitionHigh);
    b[22] = 15; // StartDelay 3: tells a decoded block from the set's own values
    port.responder = [&](std::uint8_t byte) -> QByteArray {
        if (byte == 0x22) return QByteArray("\x00\x32", 2); // threshold 50
        if (byte == 0x09) return QByteArray(reinterpret_cast<const char*>(b.data()), length);
        return {};
    };
    ParameterSet before = defaultParameterSet();
    before[ParamId::StartDelay] = QStringLiteral("9");
    ParameterSet s = before;
    QCOMPARE(readParameters(c, s), accepted);
    if (!accepted) {
        QVERIFY(s == before);
        return;
    }
    QCOMPARE(c.ignitionConstant(), constant);
    QCOMPARE(s[ParamId::StartDelay], QStringLiteral("3"));
    QCOMPARE(s[ParamId::AnalogThreshold], QStringLiteral("50"));
    // The speeds follow the constant the block itself set.
    QCOMPARE(s[ParamId::SwitchRpm], switchRpm);
}

QTEST_GUILESS_MAIN(TestParamCodec)
