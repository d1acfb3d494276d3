#include "tst_paramcodec.h"

void TestParamCodec::encode_data() {
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("constant");
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    auto bad = [](const char* label, const char* control, const char* text) {
        return QStringList{
            Err + QStringLiteral("Niepoprawna wartość pola „%1” (%2): „%3” — polecenie pominięte.")
                      .arg(QString::fromUtf8(label), QString::fromUtf8(control), QString::fromUtf8(text))};
    };
    const QString bladDana = Err + QStringLiteral("Błędna dana");
    const QString speedRange = Err + QStringLiteral("Prędkość w granicach 1...24");
    const QString lambdaRange =
        QStringLiteral("Errore: Dati fuori limiti   HIGH, LOW - 0...4000ms\r\nHIGH+LOW max 4000ms");

    QTest::newRow("probe kind 0") << none << 4800 << 0x1E << QByteArray("\x1E\x01", 2) << none;
    QTest::newRow("probe kind 1") << QStringList{"ComboBox1=1"} << 4800 << 0x1E << QByteArray("\x1E\x00", 2)
                                  << none;
    QTest::newRow("probe kind 2") << QStringList{"ComboBox1=2"} << 4800 << 0x1E << QByteArray("\x1E\x00", 2)
                                  << none;
    QTest::newRow("probe kind 3") << QStringList{"ComboBox1=3"} << 4800 << 0x1E << QByteArray("\x1E\x02", 2)
                                  << none;
    QTest::newRow("probe kind 4") << QStringList{"ComboBox1=4"} << 4800 << 0x1E << QByteArray("\x1E\x01", 2)
                                  << none;
    QTest::newRow("probe kind 5") << QStringList{"ComboBox1=5"} << 4800 << 0x1E << QByteArray() << none;
    QTest::newRow("probe kind empty") << QStringList{"ComboBox1="} << 4800 << 0x1E << QByteArray() << none;

    // "0,50" goes out as 25 although 25.5 is a tie (see tieRoundings); a
    // controller's 26 and this 25 both read as "0,50".
    QTest::newRow("lambda thr 0,50 -> 25") << none << 4800 << 0x0F << QByteArray("\x0F\x19", 2) << none;
    QTest::newRow("lambda thr 4,90 -> 249.9")
        << QStringList{"Edit2=4,90"} << 4800 << 0x0F << QByteArray("\x0F\xFA", 2) << none;
    QTest::newRow("lambda thr 0,1 -> 5.1")
        << QStringList{"Edit2=0,1"} << 4800 << 0x0F << QByteArray("\x0F\x05", 2) << none;
    QTest::newRow("lambda thr empty") << QStringList{"Edit2="} << 4800 << 0x0F << QByteArray() << none;
    QTest::newRow("lambda thr garbage") << QStringList{"Edit2=x,50"} << 4800 << 0x0F << QByteArray()
                                        << bad("Próg sondy lambda", "Edit2", "x,50");

    QTest::newRow("switch 2000 at 4800") << none << 4800 << 0x08 << QByteArray("\x08\x80\x07", 3) << none;
    QTest::newRow("switch 2000 at 19200") << none << 19200 << 0x08 << QByteArray("\x08\x00\x1E", 3) << none;
    QTest::newRow("switch empty") << QStringList{"Edit3="} << 4800 << 0x08 << QByteArray() << none;
    QTest::newRow("switch abc") << QStringList{"Edit3=abc"} << 4800 << 0x08 << QByteArray()
                                << bad("Obroty dla przejścia B/G", "Edit3", "abc");
    QTest::newRow("switch with space") << QStringList{"Edit3= 2000"} << 4800 << 0x08 << QByteArray()
                                       << bad("Obroty dla przejścia B/G", "Edit3", " 2000");
    QTest::newRow("switch 0 has no period") << QStringList{"Edit3=0"} << 4800 << 0x08 << QByteArray()
                                            << bad("Obroty dla przejścia B/G", "Edit3", "0");

    QTest::newRow("tps 1,25 -> 25") << none << 4800 << 0x07 << QByteArray("\x07\x19", 2) << none;
    QTest::newRow("tps 9,90 -> 198") << QStringList{"Edit5=9,90"} << 4800 << 0x07 << QByteArray("\x07\xC6", 2)
                                     << none;
    QTest::newRow("tps 0,0") << QStringList{"Edit5=0,0"} << 4800 << 0x07 << QByteArray("\x07\x00", 2) << none;

    QTest::newRow("max gas 7000 -> 549") << none << 4800 << 0x14 << QByteArray("\x14\x25\x02", 3) << none;
    QTest::newRow("max gas off whatever Edit8_1 holds") << QStringList{"CheckBox8_2=1", "Edit8_1=abc"} << 4800
                                                        << 0x14 << QByteArray("\x14\x01\x00", 3) << none;
    QTest::newRow("max gas on, empty") << QStringList{"Edit8_1="} << 4800 << 0x14 << QByteArray() << none;

    QTest::newRow("rpm delta 500 of 2000") << none << 4800 << 0x16 << QByteArray("\x16\x80\x02", 3) << none;
    QTest::newRow("rpm delta 2000 of 1500: negative B")
        << QStringList{"Edit3=1500", "Edit10=2000"} << 4800 << 0x16 << QByteArray("\x16\x00\xD8", 3) << none;
    QTest::newRow("rpm delta B = 0 counts as 1")
        << QStringList{"Edit10=2000"} << 4800 << 0x16 << QByteArray("\x16\x80\x90", 3) << none;
    QTest::newRow("rpm delta without switch speed")
        << QStringList{"Edit3="} << 4800 << 0x16 << QByteArray() << none;
    QTest::newRow("rpm delta empty") << QStringList{"Edit10="} << 4800 << 0x16 << QByteArray()
                                     << bad("Delta obrotów", "Edit10", "");

    QTest::newRow("step limits") << none << 4800 << 0x12 << QByteArray("\x12\xF5\x37", 3) << none;
    QTest::newRow("step max empty") << QStringList{"Edit11_2="} << 4800 << 0x12 << QByteArray() << none;
    QTest::newRow("step min bad") << QStringList{"Edit11_1=1,0"} << 4800 << 0x12 << QByteArray()
                                  << bad("Min. i Max. silnika krok.", "Edit11_1", "1,0");
    QTest::newRow("step start") << none << 4800 << 0x13 << QByteArray("\x13\x9B", 2) << none;

    QTest::newRow("lambda 500/500") << none << 4800 << 0x06 << QByteArray("\x06\x7A\x00\xF4\x00", 5) << none;
    QTest::newRow("lambda 0/0") << QStringList{"Edit13_1=0", "Edit13_2=0"} << 4800 << 0x06
                                << QByteArray("\x06\x00\x00\x00\x00", 5) << none;
    QTest::newRow("lambda 4000/0") << QStringList{"Edit13_1=4000", "Edit13_2=0"} << 4800 << 0x06
                                   << QByteArray("\x06\xD0\x03\xD0\x03", 5) << none;
    QTest::newRow("lambda 3000/1500") << QStringList{"Edit13_1=3000", "Edit13_2=1500"} << 4800 << 0x06
                                      << QByteArray() << QStringList{lambdaRange};
    QTest::newRow("lambda low 4001") << QStringList{"Edit13_1=4001", "Edit13_2=0"} << 4800 << 0x06
                                     << QByteArray() << QStringList{lambdaRange};
    QTest::newRow("lambda negative counts as large")
        << QStringList{"Edit13_1=-1"} << 4800 << 0x06 << QByteArray() << QStringList{lambdaRange};
    QTest::newRow("lambda 16-bit wrap is no way round") << QStringList{"Edit13_1=65636", "Edit13_2=0"} << 4800
                                                        << 0x06 << QByteArray() << QStringList{lambdaRange};
    QTest::newRow("lambda not a number: nothing sent")
        << QStringList{"Edit13_1=abc"} << 4800 << 0x06 << QByteArray()
        << QStringList{Err + "Niepoprawne dane"};
    QTest::newRow("lambda high empty")
        << QStringList{"Edit13_2="} << 4800 << 0x06 << QByteArray() << QStringList{Err + "Niepoprawne dane"};
    QTest::newRow("second pair") << none << 4800 << 0x1A << QByteArray("\x1A\x7A\x00\xF4\x00", 5) << none;

    QTest::newRow("start delay 1") << none << 4800 << 0x19 << QByteArray("\x19\x05", 2) << none;
    QTest::newRow("start delay 50") << QStringList{"Edit14=50"} << 4800 << 0x19 << QByteArray("\x19\xFA", 2)
                                    << none;
    QTest::newRow("cutoff step") << none << 4800 << 0x17 << QByteArray("\x17\xE1", 2) << none;
    QTest::newRow("cutoff rpm") << none << 4800 << 0x18 << QByteArray("\x18\x00\x0A", 3) << none;

    QTest::newRow("step opening 30") << none << 4800 << 0x1B << QByteArray("\x1B\x1E", 2) << none;
    QTest::newRow("step opening 2") << QStringList{"Edit18=2"} << 4800 << 0x1B << QByteArray("\x1B\x02", 2)
                                    << none;
    QTest::newRow("step opening 50") << QStringList{"Edit18=50"} << 4800 << 0x1B << QByteArray("\x1B\x32", 2)
                                     << none;
    QTest::newRow("step opening 60 silently")
        << QStringList{"Edit18=60"} << 4800 << 0x1B << QByteArray() << none;
    QTest::newRow("step opening 1 silently")
        << QStringList{"Edit18=1"} << 4800 << 0x1B << QByteArray() << none;
    QTest::newRow("step opening abc") << QStringList{"Edit18=abc"} << 4800 << 0x1B << QByteArray()
                                      << bad("Otwarcie silnika krokowego", "Edit18", "abc");

    QTest::newRow("above tps 3") << none << 4800 << 0x20 << QByteArray("\x20\xBC\xE3", 3) << none;
    QTest::newRow("above tps 1") << QStringList{"Edit6=1"} << 4800 << 0x20 << QByteArray("\x20\x70\xF8", 3)
                                 << none;
    QTest::newRow("above tps 24") << QStringList{"Edit6=24"} << 4800 << 0x20 << QByteArray("\x20\x5A\x0A", 3)
                                  << none;
    QTest::newRow("above tps 25") << QStringList{"Edit6=25"} << 4800 << 0x20 << QByteArray()
                                  << QStringList{speedRange};
    QTest::newRow("above tps abc") << QStringList{"Edit6=abc"} << 4800 << 0x20 << QByteArray()
                                   << QStringList{bladDana, speedRange};
    QTest::newRow("above tps empty") << QStringList{"Edit6="} << 4800 << 0x20 << QByteArray()
                                     << QStringList{bladDana, speedRange};
    QTest::newRow("below tps 6") << none << 4800 << 0x1C << QByteArray("\x1C\xAE\xC4", 3) << none;
    QTest::newRow("below tps 0") << QStringList{"Edit7=0"} << 4800 << 0x1C << QByteArray()
                                 << QStringList{speedRange};

    QTest::newRow("switch delay 100 -> 24.41")
        << none << 4800 << 0x15 << QByteArray("\x15\x18\x00", 3) << none;
    QTest::newRow("switch delay 10000")
        << QStringList{"Edit19=10000"} << 4800 << 0x15 << QByteArray("\x15\x89\x09", 3) << none;
    QTest::newRow("switch delay 0") << QStringList{"Edit19=0"} << 4800 << 0x15
                                    << QByteArray("\x15\x00\x00", 3) << none;
    QTest::newRow("switch delay 10001")
        << QStringList{"Edit19=10001"} << 4800 << 0x15 << QByteArray() << QStringList{bladDana};
    QTest::newRow("switch delay -1") << QStringList{"Edit19=-1"} << 4800 << 0x15 << QByteArray()
                                     << QStringList{bladDana};
    QTest::newRow("switch delay empty")
        << QStringList{"Edit19="} << 4800 << 0x15 << QByteArray() << QStringList{bladDana};
    QTest::newRow("switch delay abc") << QStringList{"Edit19=abc"} << 4800 << 0x15 << QByteArray()
                                      << bad("czas nakladania paliw", "Edit19", "abc");

    QTest::newRow("switch temp 0") << none << 4800 << 0x05 << QByteArray("\x05\x6F", 2) << none;
    QTest::newRow("switch temp 50 -> 136")
        << QStringList{"Edit22_1=50"} << 4800 << 0x05 << QByteArray("\x05\x88", 2) << none;
    QTest::newRow("switch temp 100") << QStringList{"Edit22_1=100"} << 4800 << 0x05
                                     << QByteArray("\x05\xA1", 2) << none;
    QTest::newRow("switch temp -10: low 8 bits 246")
        << QStringList{"Edit22_1=-10"} << 4800 << 0x05 << QByteArray("\x05\xEA", 2) << none;
    QTest::newRow("switch temp empty") << QStringList{"Edit22_1="} << 4800 << 0x05 << QByteArray() << none;
}

void TestParamCodec::encode() {
    QFETCH(QStringList, edits);
    QFETCH(int, constant);
    QFETCH(int, command);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, messages);
    const WriteCommand c = encodeByCommand(command, edited(edits), constant);
    QCOMPARE(bytesOf(c.bytes).toHex(' '), bytes.toHex(' '));
    QCOMPARE(messagesOf(c), messages);
    QVERIFY(!c.flags);
}

// Every exact half the encodings meet, with the bytes the controllers in the
// field were configured with: to even, except five switch-over delays and
// three lambda thresholds, which went down. The same bytes on every platform.
void TestParamCodec::tieRoundings_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("constant");
    QTest::addColumn<QByteArray>("bytes");
    const struct {
        const char* edit;
        int constant;
        const char* hex;
    } rows[] = {
        // h x 51 / 100 at h = 50 + 100k.
        {"Edit2=0,50", 4800, "0F 19"}, // 25.5 -> 25
        {"Edit2=1,50", 4800, "0F 4C"}, // 76.5 -> 76
        {"Edit2=2,50", 4800, "0F 7F"}, // 127.5 -> 127
        {"Edit2=3,50", 4800, "0F B2"}, // 178.5 -> 178
        {"Edit2=4,50", 4800, "0F E6"}, // 229.5 -> 230
        {"Edit2=5,50", 4800, "0F 18"}, // 280.5 -> 280
        {"Edit2=6,50", 4800, "0F 4C"}, // 331.5 -> 332
        {"Edit2=7,50", 4800, "0F 7E"}, // 382.5 -> 382
        {"Edit2=8,50", 4800, "0F B1"}, // 433.5 -> 433
        {"Edit2=9,50", 4800, "0F E4"}, // 484.5 -> 484
        // value x 125 / 512 at 256 + 512k.
        {"Edit19=256", 4800, "15 3E 00"},  // 62.5 -> 62
        {"Edit19=768", 4800, "15 BB 00"},  // 187.5 -> 187
        {"Edit19=1280", 4800, "15 38 01"}, // 312.5 -> 312
        {"Edit19=1792", 4800, "15 B5 01"}, // 437.5 -> 437
        {"Edit19=2304", 4800, "15 32 02"}, // 562.5 -> 562
        {"Edit19=2816", 4800, "15 AF 02"}, // 687.5 -> 687
        {"Edit19=3328", 4800, "15 2C 03"}, // 812.5 -> 812
        {"Edit19=3840", 4800, "15 AA 03"}, // 937.5 -> 938
        {"Edit19=4352", 4800, "15 26 04"}, // 1062.5 -> 1062
        {"Edit19=4864", 4800, "15 A3 04"}, // 1187.5 -> 1187
        {"Edit19=5376", 4800, "15 20 05"}, // 1312.5 -> 1312
        {"Edit19=5888", 4800, "15 9E 05"}, // 1437.5 -> 1438
        {"Edit19=6400", 4800, "15 1A 06"}, // 1562.5 -> 1562
        {"Edit19=6912", 4800, "15 98 06"}, // 1687.5 -> 1688
        {"Edit19=7424", 4800, "15 14 07"}, // 1812.5 -> 1812
        {"Edit19=7936", 4800, "15 91 07"}, // 1937.5 -> 1937
        {"Edit19=8448", 4800, "15 0E 08"}, // 2062.5 -> 2062
        {"Edit19=8960", 4800, "15 8C 08"}, // 2187.5 -> 2188
        {"Edit19=9472", 4800, "15 08 09"}, // 2312.5 -> 2312
        {"Edit19=9984", 4800, "15 86 09"}, // 2437.5 -> 2438
        // ms x 244 / 1000 at 375 + 500k, low and low + high.
        {"Edit13_1=375 Edit13_2=0", 4800, "06 5C 00 5C 00"},   // 91.5 -> 92
        {"Edit13_1=875 Edit13_2=0", 4800, "06 D6 00 D6 00"},   // 213.5 -> 214
        {"Edit13_1=1375 Edit13_2=0", 4800, "06 50 01 50 01"},  // 335.5 -> 336
        {"Edit13_1=1875 Edit13_2=0", 4800, "06 CA 01 CA 01"},  // 457.5 -> 458
        {"Edit13_1=2375 Edit13_2=0", 4800, "06 44 02 44 02"},  // 579.5 -> 580
        {"Edit13_1=2875 Edit13_2=0", 4800, "06 BE 02 BE 02"},  // 701.5 -> 702
        {"Edit13_1=3375 Edit13_2=0", 4800, "06 38 03 38 03"},  // 823.5 -> 824
        {"Edit13_1=3875 Edit13_2=0", 4800, "06 B2 03 B2 03"},  // 945.5 -> 946
        {"Edit13_1=125 Edit13_2=250", 4800, "06 1E 00 5C 00"}, // 30.5 -> 30, 91.5 -> 92
        // (t + 222) / 2 for odd t.
        {"Edit22_1=1", 4800, "05 70"},   // 111.5 -> 112
        {"Edit22_1=3", 4800, "05 70"},   // 112.5 -> 112
        {"Edit22_1=99", 4800, "05 A0"},  // 160.5 -> 160
        {"Edit22_1=101", 4800, "05 A2"}, // 161.5 -> 162
        {"Edit22_1=-1", 4800, "05 EE"},  // t = 255: 238.5 -> 238
        // constant x 800 / speed.
        {"Edit3=4096", 4800, "08 AA 03"},   // 937.5 -> 938
        {"Edit3=2048", 2400, "08 AA 03"},   // 937.5 -> 938
        {"Edit3=8192", 9600, "08 AA 03"},   // 937.5 -> 938
        {"Edit3=16384", 19200, "08 AA 03"}, // 937.5 -> 938
        {"Edit3=2048", 4000, "08 1A 06"},   // 1562.5 -> 1562
        {"Edit3=8192", 3200, "08 38 01"},   // 312.5 -> 312
        {"Edit17=8192", 3200, "18 38 01"},
        {"Edit8_1=4096", 4800, "14 AA 03"},
        {"Edit3=5000 Edit10=904", 4800, "16 AA 00"}, // B = 4096: 938 - 768
    };
    for (const auto& r : rows)
        QTest::newRow(qPrintable(QStringLiteral("%1 at %2").arg(QString::fromLatin1(r.edit)).arg(r.constant)))
            << QString::fromLatin1(r.edit) << r.constant << QByteArray::fromHex(r.hex);
}

void TestParamCodec::tieRoundings() {
    QFETCH(QString, edit);
    QFETCH(int, constant);
    QFETCH(QByteArray, bytes);
    const WriteCommand c =
        encodeByCommand(std::uint8_t(bytes[0]), edited(edit.split(QLatin1Char(' '))), constant);
    QCOMPARE(bytesOf(c.bytes).toHex(' '), bytes.toHex(' '));
}

void TestParamCodec::flags_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("flagsIn");
    QTest::addColumn<int>("version");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("inversion kind 4")
        << int(FlagBit::ProbeInversion) << QStringList{"ComboBox1=4"} << 0 << 4 << QByteArray("\x0B\x02", 2);
    QTest::newRow("inversion kind 2")
        << int(FlagBit::ProbeInversion) << QStringList{"ComboBox1=2"} << 0 << 4 << QByteArray("\x0B\x02", 2);
    QTest::newRow("inversion kind 0 clears")
        << int(FlagBit::ProbeInversion) << QStringList{} << 0xFF << 4 << QByteArray("\x0B\xFD", 2);
    QTest::newRow("tps kind") << int(FlagBit::TpsKind) << QStringList{"ComboBox4=1"} << 0 << 4
                              << QByteArray("\x0B\x01", 2);
    QTest::newRow("rpm kind keeps bit 5")
        << int(FlagBit::RpmKind) << QStringList{"ComboBox9=1"} << 0x20 << 4 << QByteArray("\x0B\x24", 2);
    QTest::newRow("temp sensor twice") << int(FlagBit::TempSensor) << QStringList{"CheckBox22_2=1"} << 0 << 4
                                       << QByteArray("\x0B\x08\x0B\x08", 4);
    QTest::newRow("temp sensor forced off on version 3")
        << int(FlagBit::TempSensor) << QStringList{"CheckBox22_2=1"} << 0x08 << 3
        << QByteArray("\x0B\x00\x0B\x00", 4);
    QTest::newRow("cutoff") << int(FlagBit::CutoffOn) << QStringList{"CheckBox15=1"} << 0 << 4
                            << QByteArray("\x0B\x10", 2);
    QTest::newRow("cutoff neither 0 nor 1")
        << int(FlagBit::CutoffOn) << QStringList{"CheckBox15=2"} << 0 << 4 << QByteArray();
    QTest::newRow("mode") << int(FlagBit::ControllerMode) << QStringList{"ComboBox20=1"} << 0 << 4
                          << QByteArray("\x0B\x40", 2);
    QTest::newRow("reserve 20K sets bit 7")
        << int(FlagBit::ReserveSensor) << QStringList{"ComboBox21=0"} << 0 << 4 << QByteArray("\x0B\x80", 2);
    QTest::newRow("reserve 90R clears bit 7")
        << int(FlagBit::ReserveSensor) << QStringList{} << 0x81 << 4 << QByteArray("\x0B\x01", 2);
    QTest::newRow("reserve empty") << int(FlagBit::ReserveSensor) << QStringList{"ComboBox21="} << 0x81 << 4
                                   << QByteArray();
}

void TestParamCodec::flags() {
    QFETCH(int, which);
    QFETCH(QStringList, edits);
    QFETCH(int, flagsIn);
    QFETCH(int, version);
    QFETCH(QByteArray, bytes);
    const WriteCommand c =
        encodeFlags(edited(edits), static_cast<FlagBit>(which), static_cast<std::uint8_t>(flagsIn), version);
    QCOMPARE(bytesOf(c.bytes).toHex(' '), bytes.toHex(' '));
    QCOMPARE(bool(c.flags), !bytes.isEmpty());
    if (c.flags) QCOMPARE(int(*c.flags), int(std::uint8_t(bytes[1])));
    QVERIFY(c.messages.empty());
}

void TestParamCodec::invalidFieldText() {
    const WriteMessage m = WriteText::invalidField(ParamId::SwitchRpm, QStringLiteral("abc"));
    QCOMPARE(m.text, QStringLiteral("Niepoprawna wartość pola „Obroty dla przejścia B/G” (Edit3): „abc” — "
                                    "polecenie pominięte."));
    QCOMPARE(m.caption, QStringLiteral("Błąd"));
    // Placeholders in the text itself are not expanded again.
    QCOMPARE(
        WriteText::invalidField(ParamId::StepOpening, QStringLiteral("%1")).text,
        QStringLiteral("Niepoprawna wartość pola „Otwarcie silnika krokowego” (Edit18): „%1” — polecenie "
                       "pominięte."));
}

// Text -> value bytes -> block byte -> text again, for the single-byte ones.
void TestParamCodec::roundTrips_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("blockByte");
    QTest::newRow("tps 1,25") << "Edit5"
                              << "1,25" << 0x07 << 5;
    QTest::newRow("lambda thr 0,50") << "Edit2"
                                     << "0,50" << 0x0F << 9;
    QTest::newRow("lambda thr 2,35") << "Edit2"
                                     << "2,35" << 0x0F << 9;
    QTest::newRow("switch temp 50") << "Edit22_1"
                                    << "50" << 0x05 << 0;
    QTest::newRow("step start 1") << "Edit12"
                                  << "1" << 0x13 << 12;
    QTest::newRow("start delay 7") << "Edit14"
                                   << "7" << 0x19 << 22;
    QTest::newRow("cutoff step 255") << "Edit16"
                                     << "255" << 0x17 << 21;
    QTest::newRow("step opening 44") << "Edit18"
                                     << "44" << 0x1B << 27;
}

void TestParamCodec::roundTrips() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, command);
    QFETCH(int, blockByte);
    const WriteCommand c = encodeByCommand(command, edited({control + QLatin1Char('=') + text}), 4800);
    QCOMPARE(int(c.bytes.size()), 2);
    ParameterBlock b = defaultBlock();
    b[static_cast<std::size_t>(blockByte)] = c.bytes[1];
    ParameterSet s;
    decodeParameterBlock(b, 4800, s);
    QCOMPARE(s[paramByControl(control)->id], text);
}
