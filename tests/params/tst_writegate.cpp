// The write gate's checks: values that would go out as other bytes than they
// say are refused, and no value the page's entry rules allow ever is; the
// restore points' file format and folder.
#include "params/BlockCodec.h"
#include "params/ParamTable.h"
#include "params/RestorePoints.h"
#include "params/Volts.h"
#include "params/WriteGate.h"
#include "support/ParamBlocks.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

using namespace params;
using Reason = GateVerdict::Reason;

namespace {

const int kConstants[] = {19200, 9600, 4800, 4000, 3200, 2400};

GateVerdict checkFile(const ParameterSet& s, int constant = 4800) {
    return WriteGate::check(s, SetOrigin::File, constant, true, 5);
}

// What the entry check leaves in a field for a value.
QString entryText(const ParamDef& d, int v) {
    return d.kind == ParamDef::Volts ? voltsText(v) : QString::number(v);
}

} // namespace

class TestWriteGate : public QObject {
    Q_OBJECT
private slots:
    void refusals_data();
    void refusals();
    void noEntryValueIsRefused();
    void blockFiles();
    void restorePointFolder();
    void restorePointFailuresInTheWindowsWords();
};

void TestWriteGate::refusals_data() {
    QTest::addColumn<QStringList>("values"); // "113:300": file number and text; "@2400": ignition constant
    QTest::addColumn<int>("reason");
    QTest::addColumn<QStringList>("refused"); // identifier=what the controller would hold
    auto row = [](const char* name, QStringList v, Reason r, QStringList refused = {}) {
        QTest::newRow(name) << v << int(r) << refused;
    };
    // A file's values that do not fit their bytes go out as their low bits.
    row("wrapped", {"113:300", "114:200", "101:7,77", "111:-5", "112:999"}, Reason::ValuesOutOfRange,
        {"LambdaThreshold=2,75", "StepMin=251", "StepMax=231", "StepStart=44", "StartDelay=46"});
    row("speed below what a period holds", {"120:200", "@19200"}, Reason::ValuesOutOfRange,
        {"CutoffRpm=1400"});
    row("delta below what a period holds", {"102:2000", "110:1900", "@19200"}, Reason::ValuesOutOfRange,
        {"RpmDelta=1300"});
    row("speed the block shows as its fallback", {"107:9500"}, Reason::ValuesOutOfRange, {"MaxGasRpm=5000"});
    row("limit off: its speed is not sent", {"107:99999", "108:1"}, Reason::None);
    row("temperature", {"T:300"}, Reason::ValuesOutOfRange, {"SwitchTemp=44"});
    row("analog threshold", {"A:300"}, Reason::ValuesOutOfRange, {"AnalogThreshold=44"});
    row("delay zero", {"122:0"}, Reason::ValuesOutOfRange, {"SwitchDelay=1000"});
    // What the write's own checks skip sends nothing: no refusal.
    row("skipped by the write", {"121:60", "105:25", "115:3000", "116:1500", "110:x"}, Reason::None);
    row("no known ignition", {"N"}, Reason::IgnitionUnknown);
    row("no known ignition, no speeds", {"N", "102:", "107:", "120:"}, Reason::None);
}

void TestWriteGate::refusals() {
    QFETCH(QStringList, values);
    QFETCH(int, reason);
    QFETCH(QStringList, refused);
    ParameterSet s = defaultParameterSet();
    int constant = 4800;
    bool known = true;
    for (const QString& v : values) {
        if (v.startsWith('@')) constant = v.mid(1).toInt();
        if (v == "N") known = false;
        const QString text = v.section(':', 1);
        if (v.startsWith("T:")) s[ParamId::SwitchTemp] = text;
        if (v.startsWith("A:")) s[ParamId::AnalogThreshold] = text;
        if (const ParamDef* d = paramByFileNo(v.section(':', 0, 0).toInt())) s[d->id] = text;
    }
    const GateVerdict verdict = WriteGate::check(s, SetOrigin::File, constant, known, 5);
    QCOMPARE(int(verdict.reason), reason);
    QStringList got;
    for (const Refusal& r : verdict.refusals) {
        got << paramDef(r.id).identifier + '=' + r.readBack;
        QCOMPARE(r.value, s[r.id]);
        QVERIFY(r.range.startsWith(paramDef(r.id).lowerText() + QChar(0x2013) + paramDef(r.id).upperText()));
    }
    QCOMPARE(got, refused);

    // Only a set nobody read, typed, loaded or learnt is refused for its origin.
    QCOMPARE(WriteGate::check(s, SetOrigin::None, constant, true, 5).reason, Reason::NotRead);
    QCOMPARE(WriteGate::check(s, SetOrigin::Restore, constant, false, 5).reason, Reason::None);
}

void TestWriteGate::noEntryValueIsRefused() {
    // Every value each field's entry check leaves, the others at their
    // defaults; the engine speeds with every ignition constant.
    using P = ParamId;
    const QSet<P> speeds = {P::SwitchRpm, P::MaxGasRpm, P::CutoffRpm, P::RpmDelta};
    for (const ParamDef& d : paramTable()) {
        if (d.kind == ParamDef::Flag) continue;
        for (int constant : speeds.contains(d.id) ? QList<int>(std::begin(kConstants), std::end(kConstants))
                                                  : QList<int>{4800}) {
            // A delta is a step down from the switch speed: from the top one
            // every delta leaves a speed the controller can hold. From 5845 a
            // read shows large deltas past their range, yet they fit their bytes.
            for (const char* switchRpm :
                 d.id == P::RpmDelta ? QList<const char*>{"9000", "5845"} : QList<const char*>{"2000"})
                for (int v = d.min; v <= d.max; ++v) {
                    ParameterSet s = defaultParameterSet();
                    s[P::SwitchRpm] = switchRpm;
                    s[d.id] = entryText(d, v);
                    const GateVerdict verdict = checkFile(s, constant);
                    if (!verdict.allowed())
                        QFAIL(qPrintable(
                            QStringLiteral("%1 %2 refused with constant %3: reads back as %4")
                                .arg(d.identifier, s[d.id])
                                .arg(constant)
                                .arg(verdict.refusals.empty() ? "?" : verdict.refusals[0].readBack)));
                }
        }
    }
    // The lambda times as pairs the write sends (together at most 4000 ms).
    for (int low = 0; low <= 4000; ++low)
        for (int high : {0, (4000 - low) / 3, 4000 - low}) {
            ParameterSet s = defaultParameterSet();
            s[P::LambdaLowTime] = QString::number(low);
            s[P::LambdaHighTime] = QString::number(high);
            QVERIFY2(checkFile(s).allowed(), qPrintable(QStringLiteral("%1 + %2 ms").arg(low).arg(high)));
        }
}

void TestWriteGate::blockFiles() {
    BlockFile f;
    f.block = defaultParameterBlock();
    f.header = {QDateTime::fromString("2026-12-09T10:15:02.120+01:00", Qt::ISODateWithMs),
                QDateTime::fromString("2026-12-09T10:14:58.431+01:00", Qt::ISODateWithMs),
                "COM1 (/dev/ttyS0)", 5, "Zapisz\nparametry"};
    const QByteArray bytes = blockFileBytes(f);
    QCOMPARE(bytes, QByteArray("# Quendrix controller parameter block\n"
                               "time: 2026-12-09T10:15:02.120+01:00\n"
                               "read: 2026-12-09T10:14:58.431+01:00\n"
                               "port: COM1 (/dev/ttyS0)\n"
                               "version: 5\n"
                               "what: Zapisz parametry\n"
                               "bytes 0-15: 6F 7A 00 F4 00 19 80 07 00 19 F5 37 9B 25 02 18\n"
                               "bytes 16-31: 00 80 02 00 0A E1 05 00 00 00 00 1E AE C4 00 01\n"
                               "bytes 32-36: 02 00 BC E3 00\n"));
    // CR LF line ends and small hexadecimal digits read the same.
    const BlockFileParse same =
        parseBlockFile(QByteArray(bytes).replace("\n", "\r\n").replace("BC E3", "bc e3"), "b.txt");
    QVERIFY2(same.ok, qPrintable(same.error));
    QCOMPARE(same.file.block, f.block);
    QCOMPARE(same.file.header.time, f.header.time);
    QCOMPARE(same.file.header.what, QString("Zapisz parametry"));

    // Strict, each error with its line, in the window's words (Polish until a language loads).
    const QList<QPair<QByteArray, const char*>> broken = {
        {"# Quendrix controller parameter block\n", "„b.txt”, wiersz 2: plik kończy się przed „bytes 0-15:”"},
        {"junk", "„b.txt”, wiersz 1: to nie jest plik bloku parametrów"},
        {"", "„b.txt” jest pusty"},
        {QByteArray(200 * 1024, 'x'), "„b.txt” to nie jest plik bloku parametrów (jest większy niż"},
        {QByteArray(bytes).replace("version: 5", "version: 5x"),
         "wiersz 5: wersja musi być liczbą 0-255, a nie „5x”"},
        {QByteArray(bytes).replace("time: 2026", "time: 20x6"), "wiersz 2: „20x6"},
        {QByteArray(bytes).replace("port: ", "port:x"), "wiersz 4: po „port:” musi być spacja"},
        {QByteArray(bytes).replace("port: ", "port\n"), "wiersz 4: to nie jest wiersz „klucz: wartość”"},
        {QByteArray(bytes).replace("port: ", "\nport: "), "wiersz 4: pusty wiersz"},
        {QByteArray(bytes).replace("F4 00 19", "F4 0019 "), "wiersz 7: bajt 4 to nie dwie cyfry"},
        {QByteArray(bytes).replace("bytes 16-31", "bytes 16-30"),
         "wiersz 8: tu powinien być wiersz „bytes 16-31:”"},
        {QByteArray(bytes).replace("port: ", "port: a\nport: "), "wiersz 5: „port:” podano dwa razy"},
        {QByteArray(bytes).replace("read: ", "# a comment\nreed: "), "wiersz 4: nieznany wiersz „reed:”"},
        {QByteArray(bytes).replace("what: Zapisz parametry\n", ""),
         "wiersz 6: przed bajtami brakuje wiersza nagłówka „what:”"},
        {QByteArray(bytes).replace("bytes 16-31", "what: x\nbytes 16-31"),
         "wiersz 8: wiersz nagłówka po bajtach"},
        {QByteArray(bytes).replace(" BC E3 00\n", " BC E3\n"), "wiersz 9: oczekiwano 5 bajtów"},
        {QByteArray(bytes) + "\nmore\n", "wiersz 11: tekst za ostatnim wierszem bajtów"},
    };
    for (const auto& [text, error] : broken) {
        const BlockFileParse p = parseBlockFile(text, "b.txt");
        QVERIFY2(!p.ok && p.error.contains(QString::fromUtf8(error)), qPrintable(p.error));
    }
}

void TestWriteGate::restorePointFolder() {
    QTemporaryDir dir;
    const int kept = 4;
    RestorePointStore store(dir.filePath("points"), kept);
    QVERIFY(store.list().empty());
    ParameterBlock b = defaultParameterBlock();
    const QDateTime readAt = QDateTime::currentDateTime().addSecs(-5);
    for (int i = 0; i < kept + 3; ++i) {
        b[27] = std::uint8_t(i);
        QCOMPARE(store.keep(b, 5, "COM2", QString("write %1").arg(i), readAt), i + 1);
    }
    const std::vector<RestorePoint> points = store.list();
    QCOMPARE(int(points.size()), kept); // the oldest three removed
    QCOMPARE(points.front().id, kept + 3);
    QCOMPARE(points.back().id, 4);
    QCOMPARE(points.front().header.what, QString("write %1").arg(kept + 2));
    QCOMPARE(points.front().header.readAt.toMSecsSinceEpoch(), readAt.toMSecsSinceEpoch());
    const std::optional<BlockFile> loaded = store.load(4);
    QVERIFY(loaded && loaded->block[27] == 3 && loaded->header.port == "COM2");
}

// What a Polish window says when the system refuses the restore points.
void TestWriteGate::restorePointFailuresInTheWindowsWords() {
    QTemporaryDir dir;
    const QString points = dir.filePath("points"), broken = points + "/restore-000002.txt";
    RestorePointStore store(points, 4), underAFile(dir.filePath("file/points"), 4);
    QVERIFY(store.keep(defaultParameterBlock(), 5, "COM1", "write", {}) == 1 && QDir().mkpath(broken) &&
            QFile(dir.filePath("file")).open(QIODevice::WriteOnly));
    QLockFile held(points + "/.lock");
    QVERIFY(held.tryLock(0));
    QString e[5];
    store.load(7, &e[0]);
    store.load(2, &e[1]);
    underAFile.keep(defaultParameterBlock(), 5, "COM1", "write", {}, &e[2]);
    store.keep(defaultParameterBlock(), 5, "COM1", "write", {}, &e[3]);
    QFile other(points + "/restore-000003.txt");
    QVERIFY(other.open(QIODevice::WriteOnly) && other.write("hello\n") == 6);
    other.close();
    store.load(3, &e[4]);
    QCOMPARE(e[0], QString::fromUtf8("Nie ma punktu przywracania 7 w „%1”.").arg(points));
    QCOMPARE(e[1], QString::fromUtf8("Nie można odczytać „%1”: to jest folder, nie plik.").arg(broken));
    QCOMPARE(e[2], QString::fromUtf8("Nie można utworzyć folderu „%1”.").arg(dir.filePath("file/points")));
    QCOMPARE(e[3], QString::fromUtf8("Folder „%1” jest zablokowany przez inny program.").arg(points));
    QCOMPARE(e[4],
             QString::fromUtf8("„%1”, wiersz 1: to nie jest plik punktu przywracania").arg(other.fileName()));
}

QTEST_GUILESS_MAIN(TestWriteGate)
#include "tst_writegate.moc"
