// Parameter files: the 50 written lines, loading with its checks and the
// check boxes' reactions, and saves that never leave a broken file.
#include "params/ParamFile.h"
#include "params/ParamTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}

// Every stored control away from its default.
ParameterSet variedSet() {
    ParameterSet s = defaultParameterSet();
    const QList<std::pair<ParamId, const char*>> values = {
        {ParamId::ProbeKind, "3"},         {ParamId::LambdaThreshold, "1,20"},
        {ParamId::SwitchRpm, "2500"},      {ParamId::TpsKind, "1"},
        {ParamId::TpsThreshold, "2,40"},   {ParamId::StepSpeedAboveTps, "5"},
        {ParamId::StepSpeedBelowTps, "8"}, {ParamId::MaxGasRpm, "6000"},
        {ParamId::MaxGasRpmOff, "1"},      {ParamId::RpmKind, "1"},
        {ParamId::RpmDelta, "300"},        {ParamId::StepMin, "20"},
        {ParamId::StepMax, "180"},         {ParamId::StepStart, "90"},
        {ParamId::StartDelay, "5"},        {ParamId::LambdaLowTime, "0"},
        {ParamId::LambdaHighTime, "0"},    {ParamId::LambdaBosch, "1"},
        {ParamId::CutoffOn, "1"},          {ParamId::CutoffStep, "40"},
        {ParamId::CutoffRpm, "1800"},      {ParamId::StepOpening, "25"},
        {ParamId::SwitchDelay, "500"},     {ParamId::ControllerMode, "1"},
        {ParamId::ReserveSensorKind, "0"}, {ParamId::TempSensorOn, "1"},
    };
    for (const auto& [id, text] : values)
        s[id] = u(text);
    return s;
}

// What the page does with a file: check it whole, then apply it.
ParamFileLoad loadOnto(ParamPageState& state, const QByteArray& bytes, const QString& path = "car.qx4") {
    ParamFileLoad load = parseParameterFile(bytes, path);
    if (load.ok) applyParameterFile(state, load.contents);
    return load;
}

QByteArray crlf(const QStringList& lines) {
    return lines.join("\r\n").toLatin1() + "\r\n";
}

void compareStored(const ParameterSet& got, const ParameterSet& want) {
    for (const ParamDef& d : paramTable())
        if (d.fileNo >= 0) QCOMPARE(got[d.id], want[d.id]);
}

} // namespace

class TestParamFile : public QObject {
    Q_OBJECT
private slots:
    void writesTheFiftyLines();
    void writesWhatThePageShows();
    void saveAndLoadRestoreEveryControl();
    void lineEndsAndLastLine();
    void badFileChangesNothing_data();
    void badFileChangesNothing();
    void tooShortLinesAreReportedAndSkipped();
    void checkBoxReactions_data();
    void checkBoxReactions();
    void listsAndIgnoredLines();
    void longLines();
    void unreadableFile();
    void saveNeverLeavesABrokenFile();
};

void TestParamFile::writesTheFiftyLines() {
    const QStringList expected = {"#---rodzaj sondy lambda",
                                  "100:0",
                                  "#---prog sondy Lambda",
                                  "101:0,50",
                                  "#---prog obr B/G",
                                  "102:2000",
                                  "#---Typ czujnika TPS",
                                  "103:0",
                                  "#---Prog czujnika TPS",
                                  "104:1,25",
                                  "#---Silnik krok pow TPS",
                                  "105:3",
                                  "#---Silnik krok pon TPS",
                                  "106:6",
                                  "#---Maksymalne obroty na gazie",
                                  "107:7000",
                                  "#---Wylacz max. obroty",
                                  "108:0",
                                  "#---Rodzaj obrotow",
                                  "109:0",
                                  "#---Delta obrotow",
                                  "110:500",
                                  "#---Min. i Max. silnik krok.",
                                  "111:10",
                                  "112:200",
                                  "#Start pow.silnika krok.",
                                  "113:100",
                                  "#---Opoznienie startowe",
                                  "114:1",
                                  "#---Czas sondy Lambda",
                                  "115:500",
                                  "116:500",
                                  "#---Lambda - BOSCH",
                                  "117:0",
                                  "#---Wlaczenie cutoff",
                                  "118:0",
                                  "#---Silnik krokowy przy cutoff",
                                  "119:30",
                                  "#---Obroty silnika dla cutoff",
                                  "120:1500",
                                  "#---Otwarcie silnika krokowego",
                                  "121:30",
                                  "#---Opoznienie przel. B/G",
                                  "122:100",
                                  "#---Tryb pracy sterownika",
                                  "123:0",
                                  "#---Typ szkielka rezerwy",
                                  "124:1",
                                  "#---Wlacz czujnik temperatury",
                                  "126:0"};
    QCOMPARE(parameterFileLines(defaultParameterSet()), expected);

    const QByteArray bytes = parameterFileBytes(defaultParameterSet());
    QVERIFY(bytes.startsWith("#---rodzaj sondy lambda\r\n100:0\r\n#---prog sondy Lambda\r\n101:0,50\r\n"));
    QVERIFY(bytes.endsWith("126:0\r\n"));
    QCOMPARE(bytes.count("\r\n"), 50);
    QCOMPARE(bytes.count('\n'), 50); // no line end without its CR
}

void TestParamFile::writesWhatThePageShows() {
    ParameterSet s = variedSet();
    s[ParamId::LambdaThreshold] = "0,5"; // edit texts unconverted
    s[ParamId::SwitchRpm] = "02000";     // leading zeros kept
    s[ParamId::RpmDelta] = "70000";      // out of range kept
    s[ParamId::StepMin] = "";            // empty kept
    s[ParamId::ProbeKind] = "7";         // outside the list: no selection
    s[ParamId::TpsKind] = "-1";          // no selection
    s[ParamId::ControllerMode] = "x";    // no selection
    s[ParamId::SwitchTemp] = "40";       // not stored
    s[ParamId::AnalogThreshold] = "50";  // not stored
    const QStringList lines = parameterFileLines(s);
    QCOMPARE(lines.size(), 50);
    QStringList values;
    for (const QString& l : lines)
        if (!l.startsWith('#')) values << l;
    QCOMPARE(values,
             QStringList({"100:-1",   "101:0,5", "102:02000", "103:-1",    "104:2,40", "105:5",   "106:8",
                          "107:6000", "108:1",   "109:1",     "110:70000", "111:",     "112:180", "113:90",
                          "114:5",    "115:0",   "116:0",     "117:1",     "118:1",    "119:40",  "120:1800",
                          "121:25",   "122:500", "123:-1",    "124:0",     "126:1"}));
}

void TestParamFile::saveAndLoadRestoreEveryControl() {
    QTemporaryDir dir;
    const QString path = dir.filePath("car.qx4");

    // Onto the page it was saved from: nothing changes, not even a lambda time
    // typed after the Bosch box was checked (no box changes state, so no reaction runs).
    ParameterSet saved = variedSet();
    saved[ParamId::LambdaLowTime] = "350";
    saved[ParamId::LambdaHighTime] = "650";
    QString error;
    QVERIFY2(saveParameterFile(path, saved, &error), qPrintable(error));
    ParamPageState same = pageStateFor(saved, true);
    const ParamFileLoad again = readParameterFile(path);
    QVERIFY2(again.ok, qPrintable(again.error));
    QVERIFY(again.contents.shortLines.empty());
    QCOMPARE(int(again.contents.entries.size()), 26);
    QVERIFY(applyParameterFile(same, again.contents).empty());
    compareStored(same.shown, saved);
    QVERIFY(same.written);

    // Onto a page at its reset values: every stored control takes the file's value.
    const ParameterSet varied = variedSet();
    QVERIFY(saveParameterFile(path, varied, &error));
    ParamPageState fresh = pageStateFor(defaultParameterSet(), true);
    fresh.shown[ParamId::SwitchTemp] = "55";
    fresh.shown[ParamId::AnalogThreshold] = "70";
    const ParamFileLoad load = readParameterFile(path);
    QVERIFY(load.ok);
    applyParameterFile(fresh, load.contents);
    compareStored(fresh.shown, varied);
    QCOMPARE(fresh.shown[ParamId::SwitchTemp], QString("55")); // what files do not hold stays
    QCOMPARE(fresh.shown[ParamId::AnalogThreshold], QString("70"));
    QVERIFY(fresh.rpmDeltaEnabled);
    QVERIFY(fresh.cutoffFieldsEnabled);
    QVERIFY(fresh.temperatureReadout);
    QVERIFY(!fresh.written);
}

void TestParamFile::lineEndsAndLastLine() {
    const QStringList lines = parameterFileLines(variedSet());
    ParamPageState withCrLf = pageStateFor(defaultParameterSet(), false);
    QVERIFY(loadOnto(withCrLf, crlf(lines)).ok);

    // LF alone loads exactly like CR LF.
    ParamPageState withLf = pageStateFor(defaultParameterSet(), false);
    const ParamFileLoad lf = loadOnto(withLf, lines.join("\n").toLatin1() + "\n");
    QVERIFY2(lf.ok, qPrintable(lf.error));
    compareStored(withLf.shown, withCrLf.shown);
    QCOMPARE(withLf.shown[ParamId::LambdaThreshold], QString("1,20"));

    // A last line without its line end is applied; so is a lone one in an LF file.
    for (const QByteArray& bytes : {QByteArray("#---x\r\n101:0,75\r\n102:3100"), QByteArray("102:3100")}) {
        ParamPageState s = pageStateFor(defaultParameterSet(), false);
        QVERIFY(loadOnto(s, bytes).ok);
        QCOMPARE(s.shown[ParamId::SwitchRpm], QString("3100"));
    }
    // Mixed line ends in one file.
    ParamPageState mixed = pageStateFor(defaultParameterSet(), false);
    QVERIFY(loadOnto(mixed, "100:2\n101:0,75\r\n103:1").ok);
    QCOMPARE(mixed.shown[ParamId::ProbeKind], QString("2"));
    QCOMPARE(mixed.shown[ParamId::LambdaThreshold], QString("0,75"));
    QCOMPARE(mixed.shown[ParamId::TpsKind], QString("1"));
}

void TestParamFile::badFileChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("offending");
    QTest::newRow("key not a number") << QByteArray("101:0,75\r\n#c\r\n1x2:2500\r\n") << 3 << "'1x2'";
    QTest::newRow("list value") << QByteArray("101:0,75\r\n100:a\r\n") << 2 << "'a'";
    QTest::newRow("empty list value") << QByteArray("101:0,75\r\n103:\r\n") << 2 << "''";
    QTest::newRow("check-box value") << QByteArray("118:1\r\n117:yes\r\n") << 2 << "'yes'";
    QTest::newRow("last line, no line end") << QByteArray("101:0,75\r\n124:1,0") << 2 << "'1,0'";
    QTest::newRow("after a too-short line") << QByteArray("101:0,75\r\n\r\n126:on\r\n") << 3 << "'on'";
}

void TestParamFile::badFileChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, offending);
    const ParamPageState before = pageStateFor(defaultParameterSet(), true);
    ParamPageState state = before;
    const ParamFileLoad load = loadOnto(state, bytes, "/cars/golf.qx4");
    QVERIFY(!load.ok);
    QVERIFY(load.contents.entries.empty()); // nothing a careless caller could apply
    QVERIFY2(load.error.contains("\"/cars/golf.qx4\""), qPrintable(load.error));
    QVERIFY2(load.error.contains(QString("line %1").arg(line)), qPrintable(load.error));
    QVERIFY2(load.error.contains(offending + " is not a valid integer value"), qPrintable(load.error));
    const QString lineText = QString::fromLatin1(bytes).split('\n').at(line - 1).trimmed();
    QVERIFY2(load.error.contains(lineText), qPrintable(load.error));
    QVERIFY(state.shown == before.shown);
    QCOMPARE(state.written, before.written);
    QCOMPARE(state.cutoffFieldsEnabled, before.cutoffFieldsEnabled);
}

void TestParamFile::tooShortLinesAreReportedAndSkipped() {
    ParamPageState s = pageStateFor(defaultParameterSet(), false);
    const ParamFileLoad load = loadOnto(s, "101:0,75\r\n\r\n12\r\n#\n102:3100\r\n123:1\r\n");
    QVERIFY(load.ok);
    QCOMPARE(load.contents.shortLines, (std::vector<int>{2, 3, 4}));
    QCOMPARE(s.shown[ParamId::LambdaThreshold], QString("0,75"));
    QCOMPARE(s.shown[ParamId::SwitchRpm], QString("3100"));
    QCOMPARE(s.shown[ParamId::ControllerMode], QString("1"));
    QCOMPARE(fileErrorText(), u("Błąd w pliku"));
    QCOMPARE(FileErrorTextKey, 30002);
}

void TestParamFile::checkBoxReactions_data() {
    QTest::addColumn<QString>("initial"); // Bosch, cutoff, temperature sensor, speed limit off
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("times"); // low/high after loading
    QTest::addColumn<bool>("cutoffFields");
    QTest::addColumn<bool>("readout");
    QTest::addColumn<QString>("reactions");
    // 117 comes after 115/116 and wins over them when the box changes.
    QTest::newRow("117:1 checks") << "0000" << QByteArray("115:300\r\n116:700\r\n117:1\r\n") << "0/0" << false
                                  << false << "LambdaBosch=1";
    QTest::newRow("117:0 clears") << "1000" << QByteArray("115:300\r\n116:700\r\n117:0\r\n") << "500/500"
                                  << false << false << "LambdaBosch=0";
    QTest::newRow("117 unchanged") << "1000" << QByteArray("115:300\r\n116:700\r\n117:1\r\n") << "300/700"
                                   << false << false << "";
    QTest::newRow("times after 117") << "0000" << QByteArray("117:1\r\n115:300\r\n") << "300/0" << false
                                     << false << "LambdaBosch=1";
    QTest::newRow("118:1 enables") << "0000" << QByteArray("118:1\r\n") << "500/500" << true << false
                                   << "CutoffOn=1";
    QTest::newRow("118:0 disables") << "0100" << QByteArray("118:0\r\n") << "500/500" << false << false
                                    << "CutoffOn=0";
    QTest::newRow("126:1 read-out") << "0000" << QByteArray("126:1\r\n") << "500/500" << false << true
                                    << "TempSensorOn=1";
    QTest::newRow("108:1 nothing else")
        << "0000" << QByteArray("108:1\r\n") << "500/500" << false << false << "MaxGasRpmOff=1";
    QTest::newRow("2 is neither") << "1100" << QByteArray("117:2\r\n118:2\r\n") << "500/500" << true << false
                                  << "";
    QTest::newRow("twice: last wins") << "0000" << QByteArray("118:1\r\n118:0\r\n") << "500/500" << false
                                      << false << "CutoffOn=1 CutoffOn=0";
}

void TestParamFile::checkBoxReactions() {
    QFETCH(QString, initial);
    QFETCH(QByteArray, file);
    QFETCH(QString, times);
    QFETCH(bool, cutoffFields);
    QFETCH(bool, readout);
    QFETCH(QString, reactions);
    ParameterSet set = defaultParameterSet();
    const ParamId boxes[] = {ParamId::LambdaBosch, ParamId::CutoffOn, ParamId::TempSensorOn,
                             ParamId::MaxGasRpmOff};
    for (int i = 0; i < 4; ++i)
        set[boxes[i]] = initial.mid(i, 1);
    ParamPageState s = pageStateFor(set, true);
    const ParamFileLoad load = parseParameterFile(file, "r.qx4");
    QVERIFY(load.ok);
    QStringList ran;
    for (const CheckReaction& r : applyParameterFile(s, load.contents))
        ran << paramDef(r.box).identifier + "=" + (r.checked ? "1" : "0");
    QCOMPARE(ran.join(' '), reactions);
    QCOMPARE(s.shown[ParamId::LambdaLowTime] + "/" + s.shown[ParamId::LambdaHighTime], times);
    QCOMPARE(s.cutoffFieldsEnabled, cutoffFields);
    QCOMPARE(s.temperatureReadout, readout);
    QCOMPARE(s.written, reactions.isEmpty()); // only the reactions clear the written flag

    // Without temperature capability the box changes but nothing is shown.
    ParamPageState plain = pageStateFor(defaultParameterSet(), false);
    applyParameterFile(plain, parseParameterFile("126:1\r\n", "r.qx4").contents);
    QCOMPARE(plain.shown[ParamId::TempSensorOn], QString("1"));
    QVERIFY(!plain.temperatureReadout);
}

void TestParamFile::listsAndIgnoredLines() {
    ParamPageState s = pageStateFor(defaultParameterSet(), false);
    const QByteArray file = "# any comment 100:4\r\n"
                            "100:5\r\n"  // outside the list
                            "103:-3\r\n" // outside the list
                            "109:1\r\n"  // RpmKind: Edit10 follows
                            "124:0\r\n"
                            "123:+1\r\n"
                            "125:9\r\n"     // unused key
                            "099:1\r\n"     // unknown key
                            "110:70000\r\n" // edit texts load unchecked
                            "102;2500\r\n"  // the separator is not examined
                            "113:\r\n"
                            "113:abc\r\n"; // last one wins
    const ParamFileLoad load = loadOnto(s, file);
    QVERIFY2(load.ok, qPrintable(load.error));
    QCOMPARE(s.shown[ParamId::ProbeKind], QString("-1"));
    QCOMPARE(s.shown[ParamId::TpsKind], QString("-1"));
    QCOMPARE(s.shown[ParamId::RpmKind], QString("1"));
    QVERIFY(s.rpmDeltaEnabled);
    QCOMPARE(s.shown[ParamId::ReserveSensorKind], QString("0"));
    QCOMPARE(s.shown[ParamId::ControllerMode], QString("1"));
    QCOMPARE(s.shown[ParamId::RpmDelta], QString("70000"));
    QCOMPARE(s.shown[ParamId::SwitchRpm], QString("2500"));
    QCOMPARE(s.shown[ParamId::StepStart], QString("abc"));
    QVERIFY(s.written);
    // A list with no selection saves as -1 and loads back as no selection.
    QVERIFY(parameterFileLines(s.shown).contains("100:-1"));
}

void TestParamFile::longLines() {
    const QString longest = "101:" + QString(MaxFileLineLength - 4, 'x');
    ParamPageState s = pageStateFor(defaultParameterSet(), false);
    QVERIFY(loadOnto(s, crlf({longest})).ok);
    QCOMPARE(s.shown[ParamId::LambdaThreshold].size(), MaxFileLineLength - 4);

    ParamPageState t = pageStateFor(defaultParameterSet(), false);
    const ParamFileLoad load = loadOnto(t, crlf({"102:3100", longest + "y"}), "long.qx4");
    QVERIFY(!load.ok);
    QVERIFY2(load.error.contains("\"long.qx4\"") && load.error.contains("line 2") &&
                 load.error.contains("longer than 1000 characters") && load.error.contains("101:xxx"),
             qPrintable(load.error));
    QCOMPARE(t.shown[ParamId::SwitchRpm], QString("2000"));
}

void TestParamFile::unreadableFile() {
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath("missing.qx4"), dir.path()}) {
        const ParamFileLoad load = readParameterFile(path);
        QVERIFY(!load.ok);
        QVERIFY2(load.error.contains('"' + path + '"'), qPrintable(load.error));
    }
    QFile big(dir.filePath("big.qx4"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(MaxParamFileSize + 10, '#'));
    big.close();
    const ParamFileLoad load = readParameterFile(big.fileName());
    QVERIFY(!load.ok);
    QVERIFY(load.error.contains("larger than"));
}

void TestParamFile::saveNeverLeavesABrokenFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("car.qx4");
    QString error;
    QVERIFY(saveParameterFile(path, defaultParameterSet(), &error));
    const QByteArray old = parameterFileBytes(defaultParameterSet());
    auto fileIsOld = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) && f.readAll() == old;
    };
    auto onlyOldFile = [&] {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden) == QStringList{"car.qx4"};
    };

    // The system refuses the data part-way: a file size limit below the file's size.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = saveParameterFile(path, variedSet(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!ok);
    // In the window's words (Polish by default), not the system's English ones.
    auto cannotSave = [](const QString& file, const char* why) {
        return QString::fromUtf8("Nie można zapisać „%1”: %2.").arg(file, QString::fromUtf8(why));
    };
    QCOMPARE(error, cannotSave(path, "błąd zapisu (może brak miejsca na dysku)"));
    QVERIFY(fileIsOld());
    QVERIFY(onlyOldFile());

    // A name that is a folder, and a folder that does not exist.
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    const std::pair<QString, const char*> refused[] = {
        {dir.filePath("sub"), "to jest folder, nie plik"},
        {dir.filePath("nowhere/car.qx4"), "nie ma takiego pliku lub folderu"}};
    for (const auto& [bad, why] : refused) {
        error.clear();
        QVERIFY(!saveParameterFile(bad, variedSet(), &error));
        QCOMPARE(error, cannotSave(bad, why));
    }
    QVERIFY(QFileInfo(dir.filePath("sub")).isDir());
    QVERIFY(QDir(dir.filePath("sub")).isEmpty());
    QVERIFY(fileIsOld());
    QVERIFY(onlyOldFile());
}

QTEST_GUILESS_MAIN(TestParamFile)
#include "tst_paramfile.moc"
