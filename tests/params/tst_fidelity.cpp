// Marks of parameter blocks: worked examples, and the property behind them:
// decode a block, write the set back unchanged, and every field either goes
// back byte for byte (and shows a value inside its range) or is marked.
#include "core/LanguageTexts.h"
#include "core/SystemTexts.h"
#include "params/BlockCodec.h"
#include "params/Encoding.h"
#include "params/Fidelity.h"
#include "params/ParamTable.h"
#include "params/Volts.h"
#include "params/WriteSequence.h"
#include "shell/LanguageFile.h"
#include "support/ParamBlocks.h"

#include <QDir>

#include <QTest>

namespace {

const int kConstants[] = {19200, 9600, 4800, 4000, 3200, 2400};

// Where each value travels, written down from the protocol: its write command
// and value offset, and where the block holds it.
struct Place {
    ParamId id;
    std::uint8_t command;
    int offset;
    int at;
    int width;
};
const Place kPlaces[] = {
    {ParamId::SwitchTemp, 0x05, 0, 0, 1},         {ParamId::LambdaLowTime, 0x06, 0, 1, 2},
    {ParamId::LambdaHighTime, 0x06, 2, 3, 2},     {ParamId::TpsThreshold, 0x07, 0, 5, 1},
    {ParamId::SwitchRpm, 0x08, 0, 6, 2},          {ParamId::LambdaThreshold, 0x0F, 0, 9, 1},
    {ParamId::StepMin, 0x12, 0, 10, 1},           {ParamId::StepMax, 0x12, 1, 11, 1},
    {ParamId::StepStart, 0x13, 0, 12, 1},         {ParamId::MaxGasRpm, 0x14, 0, 13, 2},
    {ParamId::SwitchDelay, 0x15, 0, 15, 2},       {ParamId::RpmDelta, 0x16, 0, 17, 2},
    {ParamId::CutoffRpm, 0x18, 0, 19, 2},         {ParamId::CutoffStep, 0x17, 0, 21, 1},
    {ParamId::StartDelay, 0x19, 0, 22, 1},        {ParamId::StepOpening, 0x1B, 0, 27, 1},
    {ParamId::StepSpeedBelowTps, 0x1C, 0, 28, 2}, {ParamId::ProbeKind, 0x1E, 0, 31, 1},
    {ParamId::StepSpeedAboveTps, 0x20, 0, 34, 2},
};
struct Bit {
    ParamId id;
    int bit;
};
const Bit kBits[] = {{ParamId::TpsKind, 0},          {ParamId::ProbeKind, 1}, {ParamId::RpmKind, 2},
                     {ParamId::TempSensorOn, 3},     {ParamId::CutoffOn, 4},  {ParamId::ControllerMode, 6},
                     {ParamId::ReserveSensorKind, 7}};

int blockValue(const ParameterBlock& b, int at, int width) {
    const auto i = static_cast<std::size_t>(at);
    return width == 2 ? b[i] + 256 * b[i + 1] : b[i];
}

bool inRange(ParamId id, const QString& text) {
    const ParamDef& d = paramDef(id);
    bool ok = false;
    const int v = d.kind == ParamDef::Volts ? voltsHundredths(text) : text.toInt(&ok);
    if (d.kind != ParamDef::Volts && !ok) return false;
    return v >= d.min && v <= d.max;
}

// The first way the marks of a block break the property, or an empty text.
QString violation(const ParameterBlock& b, int constant, int version) {
    const std::vector<FieldMark> marks = fidelityMarks(b, constant, version);
    ParameterSet set;
    decodeParameterBlock(b, constant, set);
    const std::vector<WriteStep> plan = planParameterWrite(set, constant, b[8], version);
    std::uint8_t flags = b[8];
    for (const WriteStep& s : plan)
        if (s.command.flags) flags = *s.command.flags;

    auto name = [](ParamId id) { return paramDef(id).identifier; };
    QList<ParamId> differs;
    for (const Place& p : kPlaces) {
        const WriteStep* step = nullptr;
        for (const WriteStep& s : plan)
            if (s.command.sends() && s.command.bytes[0] == p.command) step = &s;
        bool same = false;
        if (step) {
            const std::vector<std::uint8_t>& v = step->command.bytes;
            const std::size_t i = 1 + static_cast<std::size_t>(p.offset);
            same = (p.width == 2 ? v[i] + 256 * v[i + 1] : v[i]) == blockValue(b, p.at, p.width);
        }
        if (!same) differs << p.id;
    }
    for (const Bit& f : kBits)
        if ((flags ^ b[8]) >> f.bit & 1) differs << f.id;

    for (const ParamDef& d : paramTable()) {
        const FieldMark* m = markOf(marks, d.id);
        const bool numeric = d.kind == ParamDef::Number || d.kind == ParamDef::Volts;
        if (d.id == ParamId::AnalogThreshold) {
            if (m) return QStringLiteral("AnalogThreshold is not in the block");
            continue;
        }
        if (!m) {
            if (differs.contains(d.id)) return name(d.id) + QStringLiteral(" goes back changed, unmarked");
            if (numeric && !inRange(d.id, set[d.id]))
                return name(d.id) + QStringLiteral(" shows ") + set[d.id] + QStringLiteral(" unmarked");
            continue;
        }
        // A mark says why, and the reasons hold.
        if (m->message.isEmpty() || !m->reasons) return name(d.id) + QStringLiteral(" marked without reason");
        if ((m->reasons & (FieldMark::Changed | FieldMark::NotWritten)) && !differs.contains(d.id) &&
            d.id != ParamId::LambdaBosch)
            return name(d.id) + QStringLiteral(" marked changed, goes back the same");
        if ((m->reasons & FieldMark::OutOfRange) && inRange(d.id, set[d.id]))
            return name(d.id) + QStringLiteral(" marked out of range at ") + set[d.id];
    }
    // Bosch is checked for two zero times; it is marked with them.
    const bool timesMarked = markOf(marks, ParamId::LambdaLowTime) || markOf(marks, ParamId::LambdaHighTime);
    if (bool(markOf(marks, ParamId::LambdaBosch)) != (timesMarked && set[ParamId::LambdaBosch] == "1"))
        return QStringLiteral("LambdaBosch");
    // Never marked: the limit-off box and the choices kept in the flags byte.
    for (ParamId id : {ParamId::MaxGasRpmOff, ParamId::TpsKind, ParamId::RpmKind, ParamId::CutoffOn,
                       ParamId::ControllerMode, ParamId::ReserveSensorKind})
        if (markOf(marks, id)) return name(id) + QStringLiteral(" marked");
    return {};
}

ParameterBlock patched(std::initializer_list<std::pair<int, int>> bytes) {
    ParameterBlock b = defaultParameterBlock();
    for (auto [i, v] : bytes)
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
    return b;
}

// Raw 16-bit values worth trying: small ones, a stride through the rest, and
// for the speed fields the period of every speed in steps of 100 with its
// neighbours (the faithful periods and the nearest unfaithful ones).
QList<int> sweep(int at, int constant) {
    QList<int> raws;
    for (int r = 0; r <= 100; ++r)
        raws << r;
    for (int r = 101; r < 65536; r += 401)
        raws << r;
    raws << 65535;
    if (at == 6 || at == 13 || at == 19)
        for (int speed = 500; speed <= 9000; speed += 100) {
            const int p = static_cast<int>(periodOfSpeed(constant, speed));
            raws << p - 1 << p << p + 1;
        }
    return raws;
}

} // namespace

class TestFidelity : public QObject {
    Q_OBJECT
private slots:
    void examples_data();
    void examples();
    void everySingleByte_data();
    void everySingleByte();
    void flagsByte();
    void sixteenBitSweeps();
    void lambdaTimePairs();
    void roundSpeedsAreFaithful();
    void messagesInTheWindowsLanguage();
};

void TestFidelity::examples_data() {
    QTest::addColumn<QList<int>>("patch"); // byte, value, byte, value ...
    QTest::addColumn<int>("constant");
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("marks");    // identifier:reasons
    QTest::addColumn<QStringList>("mentions"); // in the first mark's message
    const int F = FieldMark::Fallback, R = FieldMark::OutOfRange, C = FieldMark::Changed,
              N = FieldMark::NotWritten;
    auto mark = [](const char* id, int reasons) { return QStringLiteral("%1:%2").arg(id).arg(reasons); };

    QTest::newRow("defaults") << QList<int>{} << 4800 << 4 << QStringList{} << QStringList{};
    QTest::newRow("switch temp byte 0 = 0")
        << QList<int>{0, 0} << 4800 << 4 << QStringList{mark("SwitchTemp", R | C)}
        << QStringList{"„Min temp przełączenia na gaz”",
                       "bajt 0 = 0",
                       "-222 °C",
                       "„-222”",
                       "0 … 100",
                       "zapis wyśle 128"};
    QTest::newRow("tps byte 201 does not fit its text")
        << QList<int>{5, 201} << 4800 << 4 << QStringList{mark("TpsThreshold", C)}
        << QStringList{"bajt 5 = 201", "10,05 V", "„1,00”", "zapis wyśle 20"};
    QTest::newRow("tps byte 199 above 9,9 V")
        << QList<int>{5, 199} << 4800 << 4 << QStringList{mark("TpsThreshold", R)} << QStringList{"9,95 V"};
    QTest::newRow("switch period 1921 has no text of its own")
        << QList<int>{6, 1921 & 0xFF, 7, 1921 >> 8} << 4800 << 4 << QStringList{mark("SwitchRpm", C)}
        << QStringList{"bajty 6–7 = 1921", "ok. 1999 obr/min", "zapis wyśle 1920"};
    QTest::newRow("switch period 0: fallback")
        << QList<int>{6, 0, 7, 0} << 4800 << 4 << QStringList{mark("SwitchRpm", F | C), mark("RpmDelta", C)}
        << QStringList{"bajty 6–7 = 0", "wartość zastępczą „5000”"};
    QTest::newRow("limit off: period 1")
        << QList<int>{13, 1, 14, 0} << 4800 << 4 << QStringList{} << QStringList{};
    QTest::newRow("lambda threshold 0 V")
        << QList<int>{9, 0} << 4800 << 4 << QStringList{mark("LambdaThreshold", R)} << QStringList{"0,00 V"};
    QTest::newRow("lambda threshold 25 reads 0,50, goes back as 25")
        << QList<int>{9, 25} << 4800 << 4 << QStringList{} << QStringList{};
    QTest::newRow("step start 0") << QList<int>{12, 255} << 4800 << 4 << QStringList{mark("StepStart", R)}
                                  << QStringList{"bajt 12 = 255"};
    QTest::newRow("start delay 1,4 s") << QList<int>{22, 7} << 4800 << 4 << QStringList{mark("StartDelay", C)}
                                       << QStringList{"1,4 s", "zapis wyśle 5"};
    QTest::newRow("opening 60 is never written")
        << QList<int>{27, 60} << 4800 << 4 << QStringList{mark("StepOpening", R | N)}
        << QStringList{"zapis pominie to polecenie"};
    QTest::newRow("unknown probe kind") << QList<int>{31, 9} << 4800 << 4 << QStringList{mark("ProbeKind", C)}
                                        << QStringList{"bajt 31 = 9", "nieznany"};
    QTest::newRow("probe kind 2 inverted loses its inversion")
        << QList<int>{31, 2, 8, 0x02} << 4800 << 4 << QStringList{mark("ProbeKind", C)}
        << QStringList{"bit 1 bajtu 8 = 1", "zapis ustawi bit 1 bajtu 8 na 0"};
    QTest::newRow("probe kind 4") << QList<int>{31, 1, 8, 0x02} << 4800 << 4 << QStringList{}
                                  << QStringList{};
    QTest::newRow("temperature sensor on version 3")
        << QList<int>{8, 0x08} << 4800 << 3 << QStringList{mark("TempSensorOn", C)}
        << QStringList{"bit 3 bajtu 8 = 1"};
    QTest::newRow("temperature sensor on version 4")
        << QList<int>{8, 0x08} << 4800 << 4 << QStringList{} << QStringList{};
    QTest::newRow("lambda 4 ms and 4 ms shows Bosch")
        << QList<int>{1, 1, 3, 2} << 4800 << 4
        << QStringList{mark("LambdaLowTime", C), mark("LambdaHighTime", C), mark("LambdaBosch", C)}
        << QStringList{"bajty 1–2 = 1", "ok. 4 ms"};
    QTest::newRow("lambda 3000 + 1500 cannot be written")
        << QList<int>{1, 732 & 0xFF, 2, 732 >> 8, 3, 1098 & 0xFF, 4, 1098 >> 8} << 4800 << 4
        << QStringList{mark("LambdaLowTime", N), mark("LambdaHighTime", N)} << QStringList{"bajty 1–2 = 732"};
    QTest::newRow("step speed 0: fallback")
        << QList<int>{28, 0, 29, 0} << 4800 << 4 << QStringList{mark("StepSpeedBelowTps", F | C)}
        << QStringList{"25,00 razy wolniej", "„3”"};
    QTest::newRow("switch delay 1 falls back")
        << QList<int>{15, 0, 16, 0} << 4800 << 4 << QStringList{mark("SwitchDelay", F | C)}
        << QStringList{"bajty 15–16 = 0", "ok. 0 ms", "„1000”"};
}

void TestFidelity::examples() {
    QFETCH(QList<int>, patch);
    ParameterBlock block = defaultParameterBlock();
    for (int i = 0; i + 1 < patch.size(); i += 2)
        block[static_cast<std::size_t>(patch[i])] = static_cast<std::uint8_t>(patch[i + 1]);
    QFETCH(int, constant);
    QFETCH(int, version);
    QFETCH(QStringList, marks);
    QFETCH(QStringList, mentions);
    const std::vector<FieldMark> got = fidelityMarks(block, constant, version);
    QStringList ids;
    for (const FieldMark& m : got)
        ids << QStringLiteral("%1:%2").arg(paramDef(m.id).identifier).arg(m.reasons);
    QCOMPARE(ids, marks);
    for (const QString& text : mentions)
        QVERIFY2(got.front().message.contains(text), qPrintable(got.front().message + " lacks " + text));
    QCOMPARE(violation(block, constant, version), QString());
}

void TestFidelity::everySingleByte_data() {
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("faithful"); // how many of the 256 values go back unmarked
    QTest::newRow("SwitchTemp 111..161") << 0 << int(ParamId::SwitchTemp) << 51;
    QTest::newRow("TpsThreshold up to 9,90 V") << 5 << int(ParamId::TpsThreshold) << 199;
    // One byte for each multiple of 0,05 V from 0,10 to 4,90 V.
    QTest::newRow("LambdaThreshold") << 9 << int(ParamId::LambdaThreshold) << 97;
    QTest::newRow("StepMin") << 10 << int(ParamId::StepMin) << 256;
    QTest::newRow("StepMax") << 11 << int(ParamId::StepMax) << 256;
    QTest::newRow("StepStart from 1") << 12 << int(ParamId::StepStart) << 255;
    QTest::newRow("CutoffStep from 1") << 21 << int(ParamId::CutoffStep) << 255;
    QTest::newRow("StartDelay whole seconds 1..50") << 22 << int(ParamId::StartDelay) << 50;
    QTest::newRow("StepOpening 2..50") << 27 << int(ParamId::StepOpening) << 49;
    QTest::newRow("ProbeKind 0, 1, 2") << 31 << int(ParamId::ProbeKind) << 3;
}

void TestFidelity::everySingleByte() {
    QFETCH(int, at);
    QFETCH(int, id);
    QFETCH(int, faithful);
    int unmarked = 0;
    for (int v = 0; v < 256; ++v) {
        ParameterBlock b = defaultParameterBlock();
        b[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v);
        const QString bad = violation(b, 4800, 4);
        QVERIFY2(bad.isEmpty(), qPrintable(QStringLiteral("byte %1 = %2: %3").arg(at).arg(v).arg(bad)));
        unmarked += !markOf(fidelityMarks(b, 4800, 4), ParamId(id));
    }
    QCOMPARE(unmarked, faithful);
}

void TestFidelity::flagsByte() {
    for (int version : {3, 4})
        for (int probe : {0, 1, 2})
            for (int v = 0; v < 256; ++v) {
                const ParameterBlock b = patched({{8, v}, {31, probe}});
                const QString bad = violation(b, 4800, version);
                QVERIFY2(bad.isEmpty(), qPrintable(QStringLiteral("flags %1: %2").arg(v).arg(bad)));
                // Only the probe inversion and version 3's temperature bit are lost.
                const bool lost = (probe == 2 && (v & 0x02)) || (version == 3 && (v & 0x08));
                QCOMPARE(!fidelityMarks(b, 4800, version).empty(), lost);
            }
}

void TestFidelity::sixteenBitSweeps() {
    for (int constant : kConstants)
        for (int at : {1, 3, 6, 13, 15, 17, 19, 28, 34})
            for (int raw : sweep(at, constant)) {
                ParameterBlock b = defaultParameterBlock();
                putWord(b, at, raw);
                const QString bad = violation(b, constant, 4);
                QVERIFY2(
                    bad.isEmpty(),
                    qPrintable(
                        QStringLiteral("bytes %1 = %2 at %3: %4").arg(at).arg(raw).arg(constant).arg(bad)));
            }
}

void TestFidelity::lambdaTimePairs() {
    // Low and low + high together, where the checks of the write meet.
    for (int low = 0; low < 1100; low += 23)
        for (int sum = 0; sum < 1100; sum += 19) {
            ParameterBlock b = defaultParameterBlock();
            putWord(b, 1, low);
            putWord(b, 3, sum);
            const QString bad = violation(b, 4800, 4);
            QVERIFY2(bad.isEmpty(),
                     qPrintable(QStringLiteral("lambda %1/%2: %3").arg(low).arg(sum).arg(bad)));
        }
}

void TestFidelity::roundSpeedsAreFaithful() {
    // A period written for a speed in steps of 100 reads back as that speed and
    // goes out again unchanged: such fields are never marked.
    for (int constant : kConstants)
        for (int speed = 1000; speed <= 5000; speed += 100) {
            ParameterBlock b = defaultParameterBlock();
            const int p = static_cast<int>(periodOfSpeed(constant, speed));
            putWord(b, 6, p);
            putWord(b, 13, p);
            putWord(b, 19, p);
            putWord(b, 17, 0);
            const std::vector<FieldMark> marks = fidelityMarks(b, constant, 4);
            for (ParamId id : {ParamId::SwitchRpm, ParamId::MaxGasRpm, ParamId::CutoffRpm, ParamId::RpmDelta})
                QVERIFY2(!markOf(marks, id), qPrintable(QStringLiteral("%1 rpm at %2: %3")
                                                            .arg(speed)
                                                            .arg(constant)
                                                            .arg(paramDef(id).identifier)));
        }
}

// Whole messages as a fitter reads them in an English and a Russian window:
// every phrase from the language file, the caption and list items from the page.
void TestFidelity::messagesInTheWindowsLanguage() {
    const ParamWords words{[](ParamId id) { return QStringLiteral("Cap ") + paramDef(id).identifier; },
                           [](ParamId, int item) { return QStringLiteral("item %1").arg(item); }};
    const struct {
        const char* file;
        QList<int> patch;
        const char* message;
    } rows[] = {
        {"english.lng",
         {27, 60},
         "“Cap StepOpening”: the controller holds byte 27 = 60; the field shows “60”, outside the range 2 … "
         "50; "
         "a write leaves this command out."},
        {"english.lng",
         {31, 2, 8, 0x02},
         "“Cap ProbeKind”: the controller holds byte 31 = 2, bit 1 of byte 8 = 1 (“item 3” with an inversion "
         "this type does not have); a write sets bit 1 of byte 8 to 0."},
        {"russian.lng",
         {6, 0, 7, 0},
         "«Cap SwitchRpm»: в контроллере байты 6–7 = 0 (период; около 3840000 об/мин); чтение этого не "
         "принимает, поле показывает заменяющее значение «5000»; запись отправит 768."},
        {"russian.lng",
         {1, 1, 3, 2},
         "«Cap LambdaLowTime»: в контроллере байты 1–2 = 1 (около 4 мс); запись отправит 0."},
    };
    for (const auto& r : rows) {
        LanguageTexts texts;
        const QString file = QDir(qEnvironmentVariable("QUENDRIX_SOURCE", QStringLiteral(".")))
                                 .filePath(QStringLiteral("lang/") + QLatin1String(r.file));
        for (const shell::LanguageLine& l : shell::readLanguageFile(file).lines)
            if (l.kind == shell::LanguageLine::Kind::Text) texts.set(l.key, l.text);
        systemtext::use(texts);
        ParameterBlock block = defaultParameterBlock();
        for (int i = 0; i + 1 < r.patch.size(); i += 2)
            block[static_cast<std::size_t>(r.patch[i])] = static_cast<std::uint8_t>(r.patch[i + 1]);
        const std::vector<FieldMark> marks = fidelityMarks(block, 4800, 4, words);
        QVERIFY(!marks.empty());
        QCOMPARE(marks.front().message, QString::fromUtf8(r.message));
    }
    systemtext::use(LanguageTexts());
}

QTEST_GUILESS_MAIN(TestFidelity)
#include "tst_fidelity.moc"
