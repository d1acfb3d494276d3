// quendrix-cli end to end: the real executable against the controller
// emulator on a pseudo-terminal.
#include "emulator/Emulator.h"
#include "params/BlockCodec.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/WriteSequence.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>
#include <memory>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

ParameterBlock toBlock(const std::array<uint8_t, 37>& b) {
    ParameterBlock p{};
    std::copy(b.begin(), b.end(), p.begin());
    return p;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void backupAndRestore();
    void writeSendsThePagesWrite();
    void diffTellsSameFromDifferent();
    void refusedValuesSendNothing();
    void readWithoutAnswerWritesNoFile();
    void portFromTheSettings();
    void liveReadings();
    void sheetWithoutController();
    void usage();
    void writeCutOff();
    void unshowableBytesComeBackFromBackups();

private:
    // whileRunning runs (on the test's thread) while the tool does.
    Run cli(const QStringList& args, bool withPort = true, const std::function<void()>& whileRunning = {});
    std::array<uint8_t, 37> block() {
        return emu_->withModel([](qsim::ControllerModel& m) { return m.block(); });
    }
    std::vector<qsim::ReceivedCommand> commands() {
        return emu_->withModel([](qsim::ControllerModel& m) { return m.commands(); });
    }
    void clearCommands() {
        emu_->withModel([](qsim::ControllerModel& m) {
            m.clearCommands();
            return 0;
        });
    }
    QString path(const QString& name) const { return dir_->filePath(name); }
    QByteArray readAll(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    std::unique_ptr<qsim::Emulator> emu_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString device_;
    QString settings_;
};

void TestCli::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    settings_ = dir_->filePath("settings.ini");
    emu_ = std::make_unique<qsim::Emulator>(5, 2);
    std::string err;
    if (!emu_->openPty(&err) || !emu_->start())
        QSKIP(qPrintable("no pseudo-terminal: " + QString::fromStdString(err)));
    device_ = QString::fromStdString(emu_->devicePath());
}

void TestCli::cleanup() {
    emu_.reset();
    dir_.reset();
}

Run TestCli::cli(const QStringList& args, bool withPort, const std::function<void()>& whileRunning) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENDRIX_SETTINGS", settings_);                // never the user's own settings
    env.insert("QUENDRIX_HISTORY", dir_->filePath("history")); // nor restore points
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir_->path());
    const QString bin =
        qEnvironmentVariable("QUENDRIX_BIN", QCoreApplication::applicationDirPath() + "/../../src");
    p.start(bin + "/quendrix-cli", withPort ? QStringList{"--port", device_} + args : args);
    if (whileRunning) whileRunning();
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void TestCli::backupAndRestore() {
    const auto initial = block();
    Run r = cli({"read", "backup.qx4"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QByteArray backup = readAll("backup.qx4");
    QCOMPARE(backup, parameterFileBytes(defaultParameterSet())); // the emulator starts at the defaults

    // Someone changes the controller ...
    QByteArray edited = backup;
    edited.replace("\r\n102:2000\r\n", "\r\n102:2500\r\n").replace("\r\n118:0\r\n", "\r\n118:1\r\n");
    writeFile("edited.qx4", edited);
    r = cli({"write", "edited.qx4"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(block() != initial);
    r = cli({"diff", "backup.qx4"});
    QCOMPARE(r.code, 1);

    // ... and the backup puts every byte back.
    r = cli({"write", "backup.qx4"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(block(), initial);
    QCOMPARE(cli({"diff", "backup.qx4"}).code, 0);
}

void TestCli::writeSendsThePagesWrite() {
    // A file that changes every kind of line, with the Bosch box checked
    // after the lambda times (so its reaction sets them to 0).
    QByteArray file = parameterFileBytes(defaultParameterSet());
    file.replace("100:0", "100:4").replace("101:0,50", "101:1,20").replace("109:0", "109:1");
    file.replace("115:500", "115:300").replace("117:0", "117:1").replace("124:1", "124:0");
    file.replace("126:0", "126:1").replace("121:30", "121:60"); // 60: silently not sent, as by the page
    writeFile("car.qx4", file);
    const auto before = block();
    clearCommands();
    const Run r = cli({"--trace", "write.trace", "write", "car.qx4"});
    QVERIFY2(r.code == 0, qPrintable(r.err));

    // What the page sends: the controller's set, the file loaded on top with
    // the reactions, through the page's write plan; then the threshold and 0x0A.
    ParameterSet set = defaultParameterSet();
    decodeParameterBlock(toBlock(before), 4800, set);
    set[ParamId::AnalogThreshold] = "1";
    ParamPageState state = pageStateFor(set, true);
    applyParameterFile(state, parseParameterFile(file, "car.qx4").contents);
    QCOMPARE(state.shown[ParamId::LambdaLowTime], QString("0"));
    std::vector<uint8_t> expected; // byte for byte, the read's commands left out
    for (const WriteStep& s : planParameterWrite(state.shown, 4800, before[8], 5))
        expected.insert(expected.end(), s.command.bytes.begin(), s.command.bytes.end());
    expected.insert(expected.end(), {0x23, 1, 0x0A});

    // The read first (version, threshold, block), then the write.
    const std::vector<qsim::ReceivedCommand> got = commands();
    std::vector<uint8_t> sent;
    bool writing = false;
    for (const qsim::ReceivedCommand& c : got) {
        if (c.code == 0x1E) {
            QVERIFY(!writing && c.prefixed); // the write opens with 0xAA
            writing = true;
        }
        if (!writing) {
            QVERIFY(c.code == 0x01 || c.code == 0x22 || c.code == 0x0A || c.code == 0x09);
            continue;
        }
        sent.push_back(c.code);
        sent.insert(sent.end(), c.values.begin(), c.values.end());
    }
    QCOMPARE(sent, expected);

    // The trace holds the read's exchanges and, as the write's steps, every
    // byte that went out, the two prefixes too.
    const QStringList trace = QString::fromUtf8(readAll("write.trace")).split('\n');
    for (const char* exchange : {"  version read  ", "  block read: threshold read  ", "  block read  "})
        QVERIFY2(trace.filter(exchange).size() >= 2, exchange);
    std::vector<uint8_t> traced;
    for (const QString& line : trace)
        if (line.contains("  TX     write step "))
            traced.push_back(uint8_t(line.right(2).toInt(nullptr, 16)));
    expected.insert(expected.begin(), 0xAA);
    expected.insert(expected.end() - 3, 0xAA);
    QCOMPARE(traced, expected);
    QCOMPARE(int(block()[27]), 30); // StepOpening kept
    QVERIFY(block()[8] & 0x08);     // temperature sensor on
}

void TestCli::diffTellsSameFromDifferent() {
    QVERIFY(cli({"read", "car.qx4"}).code == 0);
    Run r = cli({"diff", "car.qx4"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.trimmed(), QString("same"));

    QByteArray file = readAll("car.qx4");
    file.replace("102:2000", "102:2500").replace("123:0", "123:1").replace("110:500", "110:0500");
    writeFile("other.qx4", file);
    r = cli({"diff", "other.qx4"});
    QCOMPARE(r.code, 1);
    const QStringList lines = r.out.trimmed().split('\n').filter(QRegularExpression("^[A-Z]"));
    QCOMPARE(lines.size(), 2); // "0500" is the controller's 500
    QVERIFY2(lines[0].startsWith("SwitchRpm") && lines[0].contains("\"2500\"") &&
                 lines[0].contains("\"2000\""),
             qPrintable(r.out));
    QVERIFY2(lines[1].startsWith("ControllerMode") && lines[1].contains("dynamiczna"), qPrintable(r.out));
}

void TestCli::refusedValuesSendNothing() {
    QByteArray file = parameterFileBytes(defaultParameterSet());
    file.replace("105:3", "105:25").replace("115:500", "115:3000").replace("116:500", "116:1500");
    writeFile("bad.qx4", file);
    const auto before = block();
    clearCommands();
    const Run r = cli({"write", "bad.qx4"});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(QString::fromUtf8("Prędkość w granicach 1...24")), qPrintable(r.err));
    QVERIFY2(r.err.contains("HIGH+LOW max 4000ms"), qPrintable(r.err));
    for (const qsim::ReceivedCommand& c : commands())
        QVERIFY2(c.code == 0x01 || c.code == 0x22 || c.code == 0x0A || c.code == 0x09,
                 qPrintable(QString::number(c.code, 16)));
    QCOMPARE(block(), before);

    // Values that would go out as their low 8 bits: each named with its range.
    writeFile("wrapped.qx4", parameterFileBytes(defaultParameterSet()).replace("113:100", "113:300"));
    const Run wrapped = cli({"write", "wrapped.qx4"});
    QCOMPARE(wrapped.code, 2);
    QVERIFY2(wrapped.err.contains(
                 QString::fromUtf8("StepStart (Start. pow. silnika krok.) \"300\": outside 1–255, "
                                   "the controller would hold 44")),
             qPrintable(wrapped.err));
    QCOMPARE(block(), before);

    // A file the load refuses: nothing is read or sent at all.
    writeFile("broken.qx4", "100:x\r\n");
    clearCommands();
    const Run broken = cli({"write", "broken.qx4"});
    QCOMPARE(broken.code, 4);
    QVERIFY(broken.err.contains("broken.qx4") && broken.err.contains("line 1"));
    QVERIFY(commands().empty());
}

void TestCli::readWithoutAnswerWritesNoFile() {
    emu_->withModel([](qsim::ControllerModel& m) {
        m.faults().silent = true;
        return 0;
    });
    Run r = cli({"read", "none.qx4"});
    QCOMPARE(r.code, 5);
    QVERIFY(r.err.contains("no whole parameter block"));
    QVERIFY(!QFile::exists(path("none.qx4")));

    writeFile("old.qx4", "kept");
    QCOMPARE(cli({"read", "old.qx4"}).code, 5);
    QCOMPARE(readAll("old.qx4"), QByteArray("kept"));
    QCOMPARE(cli({"version"}).code, 5);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"old.qx4"});
}

void TestCli::portFromTheSettings() {
    {
        QSettings s(settings_, QSettings::IniFormat);
        s.setValue("Port", "COM3");
        s.setValue("Ports/COM3", device_);
    }
    Run r = cli({"version"}, false);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out.trimmed(), QString("5"));
    r = cli({"--port", "com3", "version"}, false);
    QCOMPARE(r.out.trimmed(), QString("5"));
    r = cli({"--port", "COM4", "version"}, false); // /dev/ttyS3: not the emulator
    QCOMPARE(r.code, 5);
    {
        QSettings s(settings_, QSettings::IniFormat);
        s.setValue("Port", "COM4");
        s.setValue("PortDevice", device_); // a device path wins over the COM port
    }
    r = cli({"autodetect"}, false); // COM1 ... COM8, whatever the chosen port
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("COM3 (" + device_ + "): controller version 5"), qPrintable(r.out));
    r = cli({"version"}, false);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out.trimmed(), QString("5"));
    r = cli({"autodetect"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(device_ + ": controller version 5"));
}

void TestCli::liveReadings() {
    const Run r = cli({"live", "--seconds", "0.4", "--csv", "live.csv"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QStringList rows = QString::fromUtf8(readAll("live.csv")).trimmed().split('\n');
    QVERIFY(rows.size() >= 5);
    QVERIFY(rows[0].startsWith("time_s,answered,lambda_raw,lambda_v"));
    int answered = 0;
    for (int i = 1; i < rows.size(); ++i) {
        const QStringList f = rows[i].split(',');
        QCOMPARE(f.size(), 11);
        if (f[1] == "1") {
            ++answered;
            QVERIFY(f[6].toInt() >= 300); // the emulator's engine idles
        }
    }
    QVERIFY(answered >= rows.size() - 2);
    QCOMPARE(r.out.trimmed().split('\n').size(), rows.size() - 1);
}

void TestCli::sheetWithoutController() {
    QByteArray file = parameterFileBytes(defaultParameterSet());
    writeFile("car.qx4", file.replace("123:0", "123:1"));
    emu_.reset(); // no controller anywhere
    Run r = cli({"sheet", "car.qx4", "-o", "car.pdf"}, false);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(readAll("car.pdf").startsWith("%PDF-"));

    writeFile("bad.qx4", "1x0:1\r\n");
    r = cli({"sheet", "bad.qx4", "-o", "bad.pdf"}, false);
    QCOMPARE(r.code, 4);
    QVERIFY(!QFile::exists(path("bad.pdf")));
}

void TestCli::usage() {
    const Run help = cli({"--help"}, false);
    QCOMPARE(help.code, 0);
    for (const char* word : {"version",      "autodetect",
                             "read",         "write",
                             "diff",         "live",
                             "--seconds",    "--csv",
                             "sheet",        "-o",
                             "--port COMn",  "--port DEVICE",
                             "PortDevice",   "backup FILE",
                             "restore FILE", "restore --point N",
                             "history",      "--history-dir DIR",
                             "6 read",       "--trace FILE"})
        QVERIFY2(help.out.contains(word), word);
    const QList<QStringList> bad = {{},
                                    {"live"},
                                    {"read"},
                                    {"frobnicate"},
                                    {"sheet", "a.qx4"},
                                    {"diff", "a.qx4", "b.qx4"},
                                    {"--port", "COM9", "version"},
                                    {"restore"},
                                    {"restore", "--point", "x"},
                                    {"read", "a.qx4", "--point", "2"},
                                    {"version", "--bogus"},
                                    {"version", "--trace"}};
    for (const QStringList& args : bad) {
        const Run r = cli(args, false);
        QVERIFY2(r.code == 3, qPrintable(args.join(' ') + ": " + QString::number(r.code) + " " + r.err));
        QVERIFY(!r.err.isEmpty());
    }
}

void TestCli::writeCutOff() {
    QByteArray file = parameterFileBytes(defaultParameterSet());
    writeFile("car.qx4", file.replace("102:2000", "102:2500"));
    clearCommands();
    // The adapter is pulled out once the write has begun.
    bool unplugged = false;
    const Run r = cli({"write", "car.qx4"}, true, [&] {
        QElapsedTimer t;
        t.start();
        auto writing = [&] {
            for (const qsim::ReceivedCommand& c : commands())
                if (c.code == 0x08 && !c.values.empty()) return true;
            return false;
        };
        while (!writing() && t.elapsed() < 30000)
            QThread::msleep(1);
        unplugged = emu_->unplug();
    });
    QVERIFY(unplugged);
    QCOMPARE(r.code, 5);
    QVERIFY2(r.err.contains(
                 QRegularExpression("cut off at step \\d+ of 28: not written: .*StepOpening, .*SwitchTemp, "
                                    "AnalogThreshold and the closing byte 0x0A")),
             qPrintable(r.err));
    QVERIFY(!r.out.contains("written car.qx4"));
    int closings = 0; // after the write's first command
    for (const qsim::ReceivedCommand& c : commands())
        closings = c.code == 0x1E ? 0 : closings + (c.code == 0x0A);
    QCOMPARE(closings, 0);
    // The controller's block as it was before was kept.
    QVERIFY(QFile::exists(path("history/restore-000001.txt")));
}

void TestCli::unshowableBytesComeBackFromBackups() {
    // A controller set raw with bytes the page cannot show.
    auto original = block();
    original[9] = 0x1A;                       // 0F 1A
    original[28] = 0x20, original[29] = 0x4E; // 1C 20 4E
    original[15] = 0x7B, original[16] = 0x00; // 15 7B 00
    original[6] = 0x2C, original[7] = 0x01;   // 08 2C 01
    emu_->withModel([&](qsim::ControllerModel& m) {
        m.setBlock(original);
        return 0;
    });

    // A parameter file cannot hold it: each field that would change is named.
    Run r = cli({"read", "car.qx4"});
    QCOMPARE(r.code, 6);
    for (const char* field : {"LambdaThreshold", "SwitchRpm", "StepSpeedBelowTps", "SwitchDelay"})
        QVERIFY2(r.err.contains(QString("warning: ") + field), qPrintable(r.err));
    QVERIFY2(r.err.contains(QString::fromUtf8("the controller holds bytes 6–7 = 300")), qPrintable(r.err));
    QVERIFY(QFile::exists(path("car.qx4")));
    r = cli({"diff", "car.qx4"}); // the values read the same; the bytes would not
    QCOMPARE(r.code, 1);
    QVERIFY2(r.out.contains("byte 9: controller 1A, the file writes 19"), qPrintable(r.out));
    QVERIFY(!r.out.contains("same"));

    // A backup can.
    QCOMPARE(cli({"backup", "car.qxb"}).code, 0);
    QCOMPARE(cli({"write", "car.qx4"}).code, 0);
    QVERIFY(block() != original);
    r = cli({"restore", "car.qxb"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(block(), original);

    // So can the restore point the write kept.
    QCOMPARE(cli({"write", "car.qx4"}).code, 0);
    r = cli({"history"});
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split('\n');
    QVERIFY2(lines.size() > 4 && lines[0].startsWith("3  ") &&
                 lines[0].endsWith("quendrix-cli write car.qx4") &&
                 lines[1].contains("differs from the controller now in byte(s) 6, 7, 9, 15, 17, 28, 29: the "
                                   "page shows the same values") &&
                 lines[2].startsWith("2  ") && lines[2].contains("quendrix-cli restore car.qxb") &&
                 lines[3].contains("same as the controller now"),
             qPrintable(r.out));
    r = cli({"restore", "--point", "3"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(block(), original);
    emu_.reset(); // without a controller the list still shows
    r = cli({"history"});
    QVERIFY(r.code == 0 && r.out.startsWith("4  ") && r.out.contains("differences not shown"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
