// The fitter's longer paths through the main window: the wizard handing over,
// a page never read, the demo car, recording across pages and the protocol trace.
#include "tst_mainwindow.h"

namespace {
// Full writes the controller received: each begins with the probe kind (0x1E).
long fullWrites(MainWindowRig& r) {
    const auto commands = r.emu->withModel([](qsim::ControllerModel& m) { return m.commands(); });
    return std::count_if(commands.begin(), commands.end(),
                         [](const qsim::ReceivedCommand& c) { return c.code == 0x1E; });
}
} // namespace

void TestMainWindow::keysWhileTheWizardHandsOverDoNothing() {
    Rig r;
    r.key(Qt::Key_F5);
    r.emu->withModel([](qsim::ControllerModel& m) {
        m.clearCommands();
        return 0;
    });
    // The wizard's last step hands over, and Enter comes twice before the
    // block is read back: only the finishing flow's own write goes out.
    r.form->shell().finishWizard();
    QTest::keyClick(r.form.get(), Qt::Key_Return);
    QTest::keyClick(r.form.get(), Qt::Key_Return);
    r.waitIdle();
    QTest::qWait(200);
    r.waitIdle();
    QCOMPARE(r.current(), QStringLiteral("ParametryTab"));
    QCOMPARE(fullWrites(r), 1L);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("ComboBox1"));
    // Filled, the page takes Enter again: the list opens, nothing is written.
    r.key(Qt::Key_Return);
    QCOMPARE(fullWrites(r), 1L);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
}

void TestMainWindow::neverReadPageIsNotWritten() {
    Rig r(8, true); // the controller is silent at start-up
    r.key(Qt::Key_F2);
    QCOMPARE(r.form->shell().message(), r.form->shell().text(31000));
    r.emu->withModel([](qsim::ControllerModel& m) {
        m.faults().silent = false;
        m.clearCommands();
        return 0;
    });
    // The fitter types into the design values and presses Enter.
    auto* e = r.w<QLineEdit>("Edit3");
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, "2500");
    r.key(Qt::Key_Return);
    QCOMPARE(r.messages.size(), qsizetype(1));
    QVERIFY2(r.messages[0].contains(QString::fromUtf8("Najpierw odczytaj sterownik")),
             qPrintable(r.messages[0]));
    QCOMPARE(r.form->shell().message(), r.messages[0]);
    QCOMPARE(fullWrites(r), 0L);
    QVERIFY(!r.form->params().written());
}

void TestMainWindow::demoCarDrivesTheModel() {
    qsim::Emulator emu(5, 2);
    DemoCarWindow car(emu);
    car.show();
    auto inputs = [&] { return emu.withModel([](qsim::ControllerModel& m) { return m.inputs(); }); };
    QSlider* throttle = car.findChild<QSlider*>("throttleSlider");
    QVERIFY(throttle);
    throttle->setFocus();
    throttle->setValue(0);
    QTest::keyClick(throttle, Qt::Key_PageUp); // keyboard works the slider
    QCOMPARE(inputs().throttle, throttle->value() / 100.0);
    QVERIFY(inputs().throttle > 0);
    car.findChild<QCheckBox*>("engineOnCheck")->setChecked(false);
    QVERIFY(!inputs().engineOn);
    car.findChild<QComboBox*>("ignitionCombo")->setCurrentIndex(5);
    QCOMPARE(inputs().trueIgnition, 5);
    QSlider* temp = car.findChild<QSlider*>("tempSlider");
    QCheckBox* force = car.findChild<QCheckBox*>("forceTempCheck");
    force->setChecked(false);
    QVERIFY(!temp->isEnabled());
    QVERIFY(inputs().forcedTempC < -273); // the engine warms up by itself
    force->setChecked(true);
    temp->setValue(85);
    QCOMPARE(inputs().forcedTempC, 85.0);
    car.findChild<QSlider*>("gasSlider")->setValue(25);
    QCOMPARE(inputs().gasLevel, 0.25);
}

void TestMainWindow::recordByKeysAcrossPagesUntilTheProgramCloses() {
    // F3, F7 on the live page, F4 to the engine-speed page, F8 for the
    // viewer, then the program is closed: the log holds every frame recorded.
    QTemporaryDir logs;
    Rig r;
    r.form->liveSession().setLogFolder(logs.path());
    r.key(Qt::Key_F3);
    QCOMPARE(r.current(), QStringLiteral("WizualizacjaTab"));
    r.key(Qt::Key_F7);
    const live::Recorder& rec = r.form->liveSession().recorder();
    QVERIFY(rec.recording());
    const QString csv = rec.csvPath();
    QVERIFY(csv.startsWith(logs.path()));
    QVERIFY(r.w<QAbstractButton>("NagrywajButt")->isChecked());
    QVERIFY(r.w<QLabel>("StatusPanel1")->text().contains(QDir::toNativeSeparators(csv)));
    QVERIFY(r.w<QLabel>("RecordingPanel")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(rec.rowsRecorded() >= 5, 10000);
    r.key(Qt::Key_F4);
    QCOMPARE(r.current(), QStringLiteral("ObrotyTab"));
    const qint64 before = rec.rowsRecorded();
    QTRY_VERIFY_WITH_TIMEOUT(rec.rowsRecorded() >= before + 5, 10000);
    QVERIFY(rec.recording());
    QVERIFY(r.w<QLabel>("RecordingPanel")->isVisible());

    r.key(Qt::Key_F8);
    LogViewer* viewer = r.form->recording().viewer();
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(viewer->openLog(csv));

    r.close();
    QVERIFY(!rec.recording());
    QVERIFY(!viewer->isVisible());
    for (const QString& file : {csv, rec.mslPath()}) {
        const live::LogData log = live::readLog(file);
        QCOMPARE(log.rows(), int(rec.rowsRecorded()));
        QCOMPARE(log.skippedLines, 0);
    }
    QVERIFY(r.w<QLabel>("StatusPanel1")->text().contains(QString::number(rec.rowsRecorded())));
}

// The fitter opens the trace (Ctrl+T), writes the parameters, looks at the
// write's steps alone and saves them; closed, the link traces nothing.
void TestMainWindow::protocolTraceWindow() {
    Rig r;
    r.key(Qt::Key_F2);
    QVERIFY(!r.form->link().trace().on());
    r.key(Qt::Key_T, Qt::ControlModifier);
    TraceWindow* t = r.form->traceWindow();
    QVERIFY(t && t->isVisible() && r.form->link().trace().on());
    QTest::mouseClick(r.w<QAbstractButton>("ZapButPic"), Qt::LeftButton);
    r.waitIdle();
    TraceLog& log = t->log();
    auto lastStep = [&] { return log.rowCount() > 0 ? log.entryAt(log.rowCount() - 1).tag.step : 0; };
    log.setFilter(TraceExchange::WriteStep);
    QTRY_COMPARE_WITH_TIMEOUT(lastStep(), 28, 10000);
    QVERIFY(log.kept() > log.rowCount()); // the readings poll is in the log too
    for (int i = 0; i < log.rowCount(); ++i)
        QVERIFY(log.entryAt(i).tag.belongsTo(TraceExchange::WriteStep));
    QCOMPARE(log.entryAt(0).kind, TraceKind::Opened);
    QCOMPARE(log.entryAt(1).bytes, QByteArray("\xAA"));

    const QString path = dir_.filePath("trace.txt");
    t->askSavePath = [&] { return path; };
    QTest::keyClick(t, Qt::Key_S, Qt::ControlModifier);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), log.rowCount() + 1);
    QVERIFY(lines[0].contains(QString::fromUtf8("Czas [µs]")));
    QVERIFY(lines[2].contains(QStringLiteral("NAD    krok zapisu 1")) &&
            lines[2].endsWith(QStringLiteral("AA")));
    QVERIFY(lines.filter(QStringLiteral("krok zapisu 27: zapis progu")).size() >= 4);

    t->close();
    QVERIFY(!r.form->link().trace().on());
}

// The two small layouts in every language: each page's tab whole on the tab
// bar, and the chart's switches on the live page whole and side by side (the
// abutting rows may share a rounded pixel).
void TestMainWindow::smallLayoutsShowEveryCaption() {
    Rig r;
    r.key(Qt::Key_F2); // the print tab shows from now on
    r.key(Qt::Key_F3);
    QTabBar* bar = r.form->pageControl()->tabBar();
    const QList<QAbstractButton*> switches = r.w<QWidget>("GroupBox10")->findChildren<QAbstractButton*>();
    QCOMPARE(switches.size(), 7);
    for (int item : {1, 2}) {
        r.form->layoutMenuClick(item);
        for (const char* language : {"JPolski", "JAngielski", "JRosyjski", "JCzeski", "JWloski"}) {
            r.item(language)->trigger();
            QApplication::processEvents();
            for (int i = 0; i < bar->count(); ++i)
                QVERIFY2(bar->rect().contains(bar->tabRect(i)), qPrintable(bar->tabText(i)));
            for (QAbstractButton* a : switches) {
                QVERIFY2(a->width() >= a->sizeHint().width(), qPrintable(a->text()));
                for (QAbstractButton* b : switches)
                    QVERIFY2(a == b || !a->geometry().adjusted(1, 1, -1, -1).intersects(b->geometry()),
                             qPrintable(a->text() + " / " + b->text()));
            }
        }
    }
}
