// Drive logs: the files the recorder writes and what the reader, the replay
// and the viewer's model make of them - including files other programs, the
// CLI and killed writers leave.
#include "live/LogView.h"
#include "live/Recorder.h"
#include "live/Replay.h"
#include "support/DriveLog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace live;

namespace {
QByteArray fileOf(const QVector<LogRow>& rows, bool msl) {
    QByteArray out = msl ? mslHeader(QStringLiteral("Drive title")) : csvHeader();
    for (const LogRow& r : rows)
        msl ? appendMslRow(out, r) : appendCsvRow(out, r);
    return out;
}
float valueAt(const LogData& log, LogField f, int row) {
    return log.columns[log.column(f)].values[row];
}
} // namespace

class TestDriveLog : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void cliFile();
    void damagedFiles_data();
    void damagedFiles();
    void rowLimitAndMissingFile();
    void recorderFlushesWhileRecordingAndClosesOnPortLoss();
    void recorderCannotStart();
    void replayOrderSpeedSeek();
    void replayRunsOnItsTimer();
    void viewWindowMarkersAndBands();
    void oneHourLogOpens();
};

void TestDriveLog::roundTrip_data() {
    QTest::addColumn<bool>("msl");
    QTest::newRow("csv") << false;
    QTest::newRow("msl") << true;
}

void TestDriveLog::roundTrip() {
    QFETCH(bool, msl);
    const QVector<LogRow> rows = sampleDrive(40);
    const QByteArray file = fileOf(rows, msl);
    // What a spreadsheet or a log viewer sees first.
    if (msl)
        QVERIFY(
            file.startsWith("Drive title\ntime\tlambda\tlambda_raw\ttps\ttps_raw\trpm\trpm_shown\tstepper\t"
                            "temperature\t"));
    else
        QVERIFY(file.startsWith("time [ms],lambda [V],lambda_raw,tps [V],tps_raw,rpm [rpm],rpm_shown [rpm],"
                                "stepper [steps],temperature [\xC2\xB0"
                                "C],"));
    QVERIFY(file.contains(msl ? "\t0\tC3 41 91 3E\n" : ",0,C3 41 91 3E\n")); // row 5: cut short, not decoded
    const LogData log = parseLog(file);
    QCOMPARE(int(log.format), int(msl ? LogData::Format::Msl : LogData::Format::Csv));
    QCOMPARE(log.title, msl ? QStringLiteral("Drive title") : QString());
    QCOMPARE(log.rows(), rows.size());
    QCOMPARE(log.skippedLines, 0);
    QVERIFY(log.hasFrames);
    QCOMPARE(log.columns[log.column(LogField::Lambda)].unit, QStringLiteral("V"));
    QCOMPARE(log.columns[log.column(LogField::Temperature)].unit, QString::fromUtf8("\xC2\xB0"
                                                                                    "C"));
    QCOMPARE(log.columns[log.column(LogField::StepperTrace)].unit, QStringLiteral("%"));
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(log.timeMs[i], rows[i].timeMs);
        QCOMPARE(log.whole[i] != 0, rows[i].whole);
        QCOMPARE(log.frame(i), rows[i].frame);
        QCOMPARE(describe(readingsOf(log, i)), describe(rows[i].readings));
    }
}

void TestDriveLog::cliFile() {
    // As `quendrix-cli live --csv` writes it: seconds, an "answered" flag, no frame bytes.
    const QByteArray cli = "time_s,answered,lambda_raw,lambda_v,tps_raw,tps_v,rpm,stepper,temperature_c,"
                           "gas_percent,fuel\n"
                           "0.000,1,23,0.45,40,2.00,850,0,27,57,petrol\n"
                           "0.050,0,,,,,,,,,\n"
                           "0.101,1,40,0.78,60,3.00,2500,87,,,gas\n";
    const LogData log = parseLog(cli);
    QCOMPARE(int(log.format), int(LogData::Format::CliCsv));
    QCOMPARE(log.timeMs, QVector<qint64>({0, 50, 101}));
    QCOMPARE(log.whole, QVector<quint8>({1, 0, 1}));
    QVERIFY(!log.hasFrames);
    QCOMPARE(log.column(LogField::Rpm), -1); // the CLI's speed is the panel's
    QCOMPARE(valueAt(log, LogField::RpmShown, 2), 2500.f);
    QCOMPARE(log.columns[log.column(LogField::Gas)].unit, QStringLiteral("%"));
    QCOMPARE(describe(readingsOf(log, 0)),
             QStringLiteral("23 0.45 42 40 2.00 16 - 27 57/0 850 11 850 0 1 1"));
    QCOMPARE(describe(readingsOf(log, 1)), QStringLiteral("none"));
    QCOMPARE(describe(readingsOf(log, 2)),
             QStringLiteral("40 0.78 73 60 3.00 24 - - - 2500 31 2500 87 34 0"));
}

void TestDriveLog::damagedFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("problem");
    QTest::addColumn<qint64>("lastTime");
    const int none = int(LogData::Problem::None);
    const QByteArray csv = fileOf(sampleDrive(3, 0, 50), false);
    QTest::newRow("killed writer: last line cut") << csv + "150,0.4" << 3 << 1 << none << qint64(100);
    QTest::newRow("junk line, short row") << csv + "garbage here\n150,0.45\n"
                                          << 4 << 1 << none << qint64(150);
    QTest::newRow("time goes back") << csv + "20,0.3\n200,0.3\n" << 4 << 1 << none << qint64(200);
    QTest::newRow("spreadsheet export")
        << QByteArray("\xEF\xBB\xBF\"time [ms]\";\"lambda [V]\"\r\n0;0,45\r\n\r\n50;\"0,5\"\r\n") << 2 << 0
        << none << qint64(50);
    QTest::newRow("another program's msl")
        << QByteArray("\"Some ECU log\"\nTime\tRPM\tAFR\ns\trpm\t\n0.5\t900\t14.7\n1.25\t950\t14.6\n") << 2
        << 0 << none << qint64(1250);
    QTest::newRow("over-long line") << csv + QByteArray(70000, '7') + "\n" << 3 << 1 << none << qint64(100);
    QTest::newRow("binary junk") << QByteArray("\x01\x02\xFF\xFE\x00junk", 10) << 0 << 0
                                 << int(LogData::Problem::NoTime) << qint64(-1);
    QTest::newRow("empty") << QByteArray("\n \n") << 0 << 0 << int(LogData::Problem::Empty) << qint64(-1);
}

void TestDriveLog::damagedFiles() {
    QFETCH(QByteArray, file);
    QFETCH(int, rows);
    QFETCH(int, skipped);
    QFETCH(int, problem);
    QFETCH(qint64, lastTime);
    const LogData log = parseLog(file);
    QCOMPARE(log.rows(), rows);
    QCOMPARE(log.skippedLines, skipped);
    QCOMPARE(int(log.problem), problem);
    QCOMPARE(log.rows() ? log.timeMs.back() : -1, lastTime);
    for (const LogColumn& c : log.columns)
        QCOMPARE(c.values.size(), log.rows());
    if (QByteArray(QTest::currentDataTag()) == "spreadsheet export")
        QCOMPARE(valueAt(log, LogField::Lambda, 1), 0.5f);
    if (QByteArray(QTest::currentDataTag()) == "another program's msl") {
        QCOMPARE(valueAt(log, LogField::Rpm, 1), 950.f);
        QCOMPARE(log.columns[log.column(QStringLiteral("AFR"))].values[0], 14.7f);
    }
}

void TestDriveLog::rowLimitAndMissingFile() {
    const LogData cut = parseLog(fileOf(sampleDrive(40), false), 10);
    QCOMPARE(cut.rows(), 10);
    QVERIFY(cut.truncated);
    QCOMPARE(cut.frame(9), sampleDrive(40)[9].frame);
    const LogData missing = readLog(QStringLiteral("/nonexistent/quendrix.csv"));
    QCOMPARE(int(missing.problem), int(LogData::Problem::Unreadable));
    QVERIFY(!missing.systemError.isEmpty());
}

void TestDriveLog::recorderFlushesWhileRecordingAndClosesOnPortLoss() {
    QTemporaryDir dir;
    qint64 now = 5000;
    Recorder rec;
    rec.setClock([&now] { return now; });
    QSignalSpy stopped(&rec, &Recorder::stopped);
    QVERIFY(rec.start(dir.path()));
    QVERIFY(QRegularExpression(QStringLiteral("/quendrix-\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.csv$"))
                .match(rec.csvPath())
                .hasMatch());
    QCOMPARE(rec.mslPath().chopped(4), rec.csvPath().chopped(4));
    const QVector<LogRow> rows = sampleDrive(30, 5000);
    QElapsedTimer cost;
    cost.start();
    for (const LogRow& r : rows)
        rec.record(r);
    qInfo("record(): %.2f us a frame", cost.nsecsElapsed() / 1000.0 / rows.size());
    // On disk while still recording: a program killed now would keep them.
    QTRY_VERIFY_WITH_TIMEOUT(
        readLog(rec.csvPath()).rows() == rows.size() && readLog(rec.mslPath()).rows() == rows.size(), 15000);
    QVERIFY(rec.recording());
    now = 7000;
    rec.record(QByteArray("\x01\x02"), false, std::nullopt); // stamped by the clock
    rec.portLost();
    QVERIFY(!rec.recording());
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(stopped[0][0].value<Recorder::StopReason>(), Recorder::StopReason::PortLost);
    for (const QString& path : {rec.csvPath(), rec.mslPath()}) {
        const LogData log = readLog(path);
        QCOMPARE(log.rows(), rows.size() + 1);
        QCOMPARE(log.timeMs.front(), 0); // counted from start()
        QCOMPARE(log.timeMs[rows.size() - 1], rows.back().timeMs - 5000);
        QCOMPARE(log.timeMs.back(), 2000);
        QCOMPARE(describe(readingsOf(log, 20)), describe(rows[20].readings));
        QCOMPARE(log.frame(rows.size()), QByteArray("\x01\x02"));
    }
    // A second recording never overwrites the first.
    const QString first = rec.csvPath();
    QVERIFY(rec.start(dir.path()));
    QVERIFY(rec.csvPath() != first);
    QCOMPARE(readLog(first).rows(), rows.size() + 1);
}

void TestDriveLog::recorderCannotStart() {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    Recorder rec;
    QVERIFY(!rec.start(dir.filePath(QStringLiteral("file/sub"))));
    QVERIFY(!rec.recording());
    QVERIFY(!rec.errorString().isEmpty());
}

void TestDriveLog::replayOrderSpeedSeek() {
    const QVector<LogRow> rows = sampleDrive(20, 0, 100); // 0 .. 1900 ms
    auto log = std::make_shared<const LogData>(parseLog(fileOf(rows, false)));
    qint64 now = 0;
    Replay replay;
    replay.setClock([&now] { return now; });
    replay.setLog(log);
    QVector<qint64> times;
    QStringList readings;
    connect(&replay, &Replay::rowReplayed, this, [&](const LogRow& r) {
        times.append(r.timeMs);
        readings.append(describe(r.readings));
        QCOMPARE(r.frame, rows[int(r.timeMs / 100)].frame);
    });
    QSignalSpy finished(&replay, &Replay::finished);
    replay.play();
    QCOMPARE(times, QVector<qint64>({0}));
    now = 250;
    replay.advance();
    QCOMPARE(times, QVector<qint64>({0, 100, 200}));
    replay.setSpeed(4); // 100 ms later the log is 400 ms on
    now = 350;
    replay.advance();
    QCOMPARE(times, QVector<qint64>({0, 100, 200, 300, 400, 500, 600}));
    QCOMPARE(readings[5], describe(std::nullopt)); // the frame that was cut short
    QCOMPARE(readings[6], describe(rows[6].readings));
    replay.setSpeed(100);
    QCOMPARE(replay.speed(), Replay::MaxSpeed);
    replay.setSpeed(0.1);
    QCOMPARE(replay.speed(), Replay::MinSpeed);
    replay.pause();
    now = 100000;
    replay.advance();
    QCOMPARE(times.size(), 7);
    replay.seek(1234); // shows the drive at that moment at once
    QCOMPARE(times.back(), 1200);
    QCOMPARE(replay.position(), 1234);
    replay.setSpeed(8);
    replay.play();
    now += 50; // 400 ms of log
    replay.advance();
    QCOMPARE(times.mid(8), QVector<qint64>({1300, 1400, 1500, 1600}));
    now += 1000;
    replay.advance();
    QCOMPARE(times.back(), 1900);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!replay.playing());
}

void TestDriveLog::replayRunsOnItsTimer() {
    Replay replay;
    replay.setLog(std::make_shared<const LogData>(parseLog(fileOf(sampleDrive(20, 0, 100), true))));
    int count = 0;
    connect(&replay, &Replay::rowReplayed, this, [&count] { ++count; });
    QSignalSpy finished(&replay, &Replay::finished);
    replay.setSpeed(8);
    replay.play();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    QCOMPARE(count, 20);
}

void TestDriveLog::viewWindowMarkersAndBands() {
    const QVector<LogRow> rows = sampleDrive(99, 0, 10); // 0 .. 980 ms, gas from row 33
    auto log = std::make_shared<const LogData>(parseLog(fileOf(rows, false)));
    LogView view;
    view.setLog(log);
    QCOMPARE(view.switchOvers(), QVector<qint64>({330}));
    QCOMPARE(view.brokenFrames(), QVector<qint64>({50, 160, 270, 380, 490, 600, 710, 820, 930}));
    QCOMPARE(view.begin(), 0);
    QCOMPARE(view.end(), 980);
    view.zoom(0.5, 490); // the anchor keeps its place
    QCOMPARE(view.begin(), 245);
    QCOMPARE(view.end(), 735);
    view.pan(10); // clamped at the end
    QCOMPARE(view.end(), 980);
    QCOMPARE(view.span(), 490);
    view.setWindow(100, 110); // never narrower than the minimum
    QCOMPARE(view.span(), LogView::MinSpanMs);
    view.setCursor(333);
    QCOMPARE(view.cursor(), 330); // on the row it reads
    QCOMPARE(view.cursorRow(), 33);
    view.stepCursor(-1, 1000); // at least a row
    QCOMPARE(view.cursor(), 320);
    QCOMPARE(view.nextMarker(1), 330);
    view.setCursor(330);
    QCOMPARE(view.nextMarker(1), 380);
    QCOMPARE(view.nextMarker(-1), 270);

    // Each of 7 pixel columns holds the lowest and highest of its rows.
    view.showAll();
    const int stepper = log->column(LogField::Stepper);
    QVector<LogView::Band> bands;
    view.decimate(stepper, 7, bands);
    QCOMPARE(bands.size(), 7);
    for (int b = 0; b < 7; ++b) {
        float lo = 1e9f, hi = -1e9f;
        for (int i = 0; i < rows.size(); ++i) {
            const int bin = std::min(6, int(rows[i].timeMs * 7 / 980));
            if (bin == b && rows[i].readings) {
                lo = std::min(lo, float(rows[i].readings->stepper));
                hi = std::max(hi, float(rows[i].readings->stepper));
            }
        }
        QCOMPARE(bands[b].lo, lo);
        QCOMPARE(bands[b].hi, hi);
    }
    // Zoomed in, the rows just outside the window carry the line to its edges.
    view.setWindow(405, 655);
    view.decimate(stepper, 250, bands);
    QVERIFY(bands.front().x < 0 && bands.back().x > 250);
    QCOMPARE(bands.front().lo, float(rows[40].readings->stepper));
}

void TestDriveLog::oneHourLogOpens() {
    // An hour at 20 frames a second.
    const QVector<LogRow> rows = sampleDrive(72000);
    QTemporaryDir dir;
    for (bool msl : {false, true}) {
        const QString path = dir.filePath(msl ? QStringLiteral("hour.msl") : QStringLiteral("hour.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(fileOf(rows, msl));
        f.close();
        QElapsedTimer t;
        t.start();
        auto log = std::make_shared<const LogData>(readLog(path));
        const qint64 readMs = t.elapsed();
        LogView view;
        view.setLog(log);
        QVector<LogView::Band> bands;
        for (int c = 0; c < log->columns.size(); ++c)
            view.decimate(view.plotted(c), 1600, bands);
        qInfo("%s: %lld bytes, read in %lld ms, read and drawn once in %lld ms", msl ? "msl" : "csv",
              qint64(f.size()), readMs, qint64(t.elapsed()));
        QCOMPARE(log->rows(), 72000);
        QCOMPARE(log->timeMs.back(), rows.back().timeMs);
        QCOMPARE(describe(readingsOf(*log, 54321)), describe(rows[54321].readings));
        QCOMPARE(log->frame(71999), rows.back().frame);
    }
}

QTEST_GUILESS_MAIN(TestDriveLog)
#include "tst_drivelog.moc"
