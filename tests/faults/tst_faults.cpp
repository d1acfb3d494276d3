// The fault matrix: the real main window against the emulated controller with
// a bad line, a slow controller, a device that goes away and comes back, a
// controller killed in the middle of a write, a port that is missing, refused
// or not a serial port at all. For each: no crash, nothing written that was
// not read or typed, the right indication, and recovery when the fault ends.
#include "emulator/Emulator.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "params/ParameterModel.h"
#include "params/ui/ParametryPage.h"
#include "shell/ShellTexts.h"
#include "shell/ui/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <memory>

namespace {

constexpr int StoredIgnition = 3;
constexpr std::uint8_t Threshold = 130;

// What the controller holds; a test that types nothing must find it unchanged.
struct Held {
    std::array<uint8_t, 37> block;
    uint8_t threshold;
    std::array<uint8_t, 4> secondPair;
    bool operator==(const Held&) const = default;
};

Held held(qsim::ControllerModel& m) {
    return {m.block(), m.analogThreshold(), m.secondLambdaPair()};
}

void steady(qsim::ControllerModel& m) {
    m.inputs().forcedRpm = 3000;
    m.inputs().throttle = 0.3;
    m.inputs().trueIgnition = StoredIgnition;
    m.inputs().forcedTempC = 60;
    m.setAnalogThreshold(Threshold);
}

// The real port with what the system may do to a device on top: refuse it
// for want of rights, or not list the default COM devices at all.
class ShimPort : public QtSerialPort {
public:
    std::atomic<bool>* deny;
    std::atomic<bool>* listed;
    std::atomic<int>* opens;
    ShimPort(std::atomic<bool>* d, std::atomic<bool>* l, std::atomic<int>* o) : deny(d), listed(l), opens(o) {}
    bool open(const QString& device, QString* reason, bool* permissionDenied) override {
        ++*opens;
        if (*deny) {
            *reason = QStringLiteral("Permission denied");
            *permissionDenied = true;
            return false;
        }
        return QtSerialPort::open(device, reason, permissionDenied);
    }
    bool comListed(int) const override { return *listed; }
};

struct Rig {
    QString device;
    std::unique_ptr<qsim::Emulator> emu;
    std::unique_ptr<MainWindow> form;
    QStringList pageMessages; // the parameters page's boxes (write checks, write stopped)
    QStringList boxes;        // every other modal message box
    QTimer closer;
    std::atomic<bool> deny{false};
    std::atomic<bool> listed{true};
    std::atomic<int> opens{0};
    Held start{};

    struct Options {
        bool emulator = true; // at `device`, its stable path
        qsim::Faults faults{};
        bool shim = false; // the port may refuse or not list devices:
        bool deny = false; // refused from the start
        bool listed = true;
    };

    // device: what COM1 is mapped to (empty: nothing mapped).
    Rig(const QString& dev, const Options& o) : device(dev) {
        deny = o.deny;
        listed = o.listed;
        if (o.emulator) plugEmulator(o.faults);
        // Boxes are answered as soon as they show; their texts are kept.
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->property("seen").toBool()) return;
            box->setProperty("seen", true);
            boxes << box->text();
            QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
        });
        closer.start();
        MainWindow::Setup setup;
        if (o.shim)
            setup.makePort = [this] { return std::make_unique<ShimPort>(&deny, &listed, &opens); };
        setup.configureLink = [dev](ControllerLink& link) {
            if (!dev.isEmpty()) link.setDevicePath(1, dev);
            link.setSelectedPort(QStringLiteral("com1"));
        };
        form = std::make_unique<MainWindow>(setup);
        form->findChild<ParametryPage*>()->setMessageHandler(
            [this](QMessageBox::Icon, const QString&, const QString& text) { pageMessages << text; });
        form->show();
        waitIdle();
    }
    ~Rig() {
        form.reset();
        if (emu) emu->stop();
    }
    void plugEmulator(const qsim::Faults& faults) {
        emu = std::make_unique<qsim::Emulator>(5, StoredIgnition);
        std::string err;
        if (!emu->openPty(&err) || !emu->setStablePath(device.toStdString(), &err) || !emu->start())
            qFatal("emulator: %s", err.c_str());
        emu->withModel([&](qsim::ControllerModel& m) {
            steady(m);
            m.faults() = faults;
            start = held(m);
            return 0;
        });
    }
    void faults(const qsim::Faults& f) {
        emu->withModel([&](qsim::ControllerModel& m) {
            m.faults() = f;
            return 0;
        });
    }
    void waitIdle() const {
        QTRY_VERIFY_WITH_TIMEOUT(!form->link().busy() && form->link().heldActions() == 0, 15000);
    }
    void key(Qt::Key k) {
        QTest::keyClick(form.get(), k);
        waitIdle();
    }
    QString label(const char* name) const {
        auto* l = form->findChild<QLabel*>(QString::fromLatin1(name));
        return l ? l->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
    }
    QString panel0() const { return label("StatusPanel0"); }
    QString panel1() const { return label("StatusPanel1"); }
    QString text(int key) const { return form->shell().text(key); }
    Held now() const {
        return emu->withModel([](qsim::ControllerModel& m) { return held(m); });
    }
    // Watches the live page's steady readings for a while: each shows either
    // what it showed before any frame or what the controller measures, never
    // something decoded from a bad frame.
    void watchReadings(int ms) const {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            const QString speed = label("Panel1"), tps = label("Panel5"), temp = label("paneltemp");
            // 3600: the same period through the start-up ignition system, before one is read.
            QVERIFY2(speed == QLatin1String("0") || speed == QLatin1String("3000") || speed == QLatin1String("3600"),
                     qPrintable(speed));
            QVERIFY2(tps == QLatin1String("0.00") || tps == QLatin1String("1.70"), qPrintable(tps));
            QVERIFY2(temp == QLatin1String("0") || temp == QLatin1String("61"), qPrintable(temp));
            QTest::qWait(40);
        }
    }
    // The live page shows the controller again, with no error.
    void liveRecovered() const {
        QTRY_COMPARE_WITH_TIMEOUT(label("Panel1"), QStringLiteral("3000"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(label("TranserrorLabel"), QString(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(panel0(), QString(), 5000);
        QCOMPARE(label("Panel5"), QStringLiteral("1.70"));
    }
};

// quendrix-sim as its own process, behind a stable path, logging every byte.
struct SimProcess {
    QProcess proc;
    bool start(const QString& link, const QString& log) {
        const QString program = qEnvironmentVariable("QUENDRIX_SIM");
        proc.start(program, {QStringLiteral("--link"), link, QStringLiteral("--log"), log,
                             QStringLiteral("--version-code"), QStringLiteral("5"), QStringLiteral("--ignition"),
                             QString::number(StoredIgnition)});
        if (!proc.waitForStarted(5000)) return false;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            proc.waitForReadyRead(100);
            if (proc.readAll().contains("link: ")) {
                command("rpm 3000");
                command("throttle 0.3");
                command("temp 60");
                command(QStringLiteral("ignition %1").arg(StoredIgnition).toLatin1());
                command(QStringLiteral("threshold %1").arg(Threshold).toLatin1());
                return true;
            }
        }
        return false;
    }
    void command(const QByteArray& line) {
        proc.write(line + '\n');
        proc.waitForBytesWritten(1000);
    }
    ~SimProcess() {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(2000);
        }
    }
};

enum class Shows { NoAnswer, BadFrame, Anything };

} // namespace

Q_DECLARE_METATYPE(qsim::Faults)
Q_DECLARE_METATYPE(Shows)

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lineFaults_data();
    void lineFaults();
    void deviceRemovedAndRestored();
    void controllerKilledMidWrite();
    void portMissing();
    void permissionRefused();
    void unlistedDefaultPortIsNotOpened();
    void hugePortNameIsShortened();

private:
    QTemporaryDir dir_;
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
};

void TestFaults::initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("QUENDRIX_SETTINGS", path("settings.ini").toUtf8());
}

void TestFaults::lineFaults_data() {
    QTest::addColumn<qsim::Faults>("faults");
    QTest::addColumn<Shows>("shows");
    QTest::addColumn<int>("readWorks"); // 1 yes, 0 no, -1 either
    auto row = [](const char* name, auto set, Shows shows, int read) {
        qsim::Faults f;
        set(f);
        QTest::newRow(name) << f << shows << read;
    };
    row("silent", [](qsim::Faults& f) { f.silent = true; }, Shows::NoAnswer, 0);
    row("truncated", [](qsim::Faults& f) { f.truncateTo = 5; }, Shows::BadFrame, 0);
    row("wrong checksum", [](qsim::Faults& f) { f.wrongChecksum = true; }, Shows::BadFrame, 1);
    row("noise before", [](qsim::Faults& f) { f.noiseBytes = -3; }, Shows::BadFrame, 0);
    row("noise after", [](qsim::Faults& f) { f.noiseBytes = 3; }, Shows::BadFrame, 0);
    // The version answer misses its 20 ms: frames of unknown length are not taken.
    row("late 50 ms", [](qsim::Faults& f) { f.delayMs = 50; }, Shows::BadFrame, 1);
    // The threshold's late answer lands in the block's window: the read fails whole.
    row("late 100 ms", [](qsim::Faults& f) { f.delayMs = 100; }, Shows::BadFrame, 0);
    row("every 3rd answer", [](qsim::Faults& f) { f.answerEveryN = 3; }, Shows::Anything, -1);
}

void TestFaults::lineFaults() {
    QFETCH(qsim::Faults, faults);
    QFETCH(Shows, shows);
    QFETCH(int, readWorks);
    // The fault is there from start-up: nothing read yet, so nothing is known.
    Rig::Options o;
    o.faults = faults;
    Rig r(path("ttyLine"), o);
    QCOMPARE(r.form->pageControl()->currentWidget()->objectName(), QStringLiteral("ObrotyTab"));

    r.key(Qt::Key_F2); // leaves the engine-speed page (ignition, threshold) and reads the block
    if (readWorks == 0) {
        QCOMPARE(r.panel1(), r.text(textkey::ReadFailed));
        QCOMPARE(r.form->params().origin(), ParameterModel::Origin::None);
    }
    if (readWorks == 1) QCOMPARE(r.form->params().origin(), ParameterModel::Origin::Controller);

    r.key(Qt::Key_F3); // the automatic write runs only for a set that was read
    if (shows == Shows::NoAnswer)
        QTRY_COMPARE_WITH_TIMEOUT(r.label("TranserrorLabel"), r.text(textkey::NoAnswer), 15000);
    if (shows == Shows::BadFrame) {
        QTRY_COMPARE_WITH_TIMEOUT(r.label("TranserrorLabel"), r.text(textkey::BadFrame), 5000);
        QCOMPARE(r.panel0(), r.text(textkey::BadFrame));
    }
    r.watchReadings(1500);
    r.key(Qt::Key_F4);
    r.key(Qt::Key_F3);
    r.watchReadings(500);
    QVERIFY(r.now() == r.start);
    QVERIFY2(r.boxes.isEmpty(), qPrintable(r.boxes.join('|')));
    QVERIFY2(r.pageMessages.isEmpty(), qPrintable(r.pageMessages.join('|')));

    // The fault ends: the next page change reads, the live page shows the controller.
    r.faults({});
    r.key(Qt::Key_F2);
    QCOMPARE(r.form->params().origin(), ParameterModel::Origin::Controller);
    r.key(Qt::Key_F3);
    r.liveRecovered();
    r.key(Qt::Key_F4);
    QCOMPARE(r.form->live().ignitionChoice(), StoredIgnition);
    QVERIFY(r.now() == r.start);
    QVERIFY(r.boxes.isEmpty());
}

void TestFaults::deviceRemovedAndRestored() {
    Rig r(path("ttyUSBx"), {});
    r.key(Qt::Key_F3);
    r.liveRecovered();

    // The adapter is pulled out under the polling live page.
    r.emu->unplug();
    const QString lost = r.text(textkey::PortLost).arg(QStringLiteral("com1"));
    QTRY_VERIFY(r.panel1().startsWith(lost.left(lost.indexOf(QLatin1String("%2")))));
    QTRY_VERIFY(r.label("TranserrorLabel").startsWith(
        r.text(textkey::PortDownSince).arg(QStringLiteral("com1"), QString()).trimmed()));
    QVERIFY2(r.panel0().startsWith(r.device + QStringLiteral(": ")), qPrintable(r.panel0()));
    qDebug() << "state" << r.form->link().state().portOpen << r.form->link().state().portDown << r.panel1() << r.panel0();
    QTest::qWait(500);
    qDebug() << "state" << r.form->link().state().portOpen << r.form->link().state().portDown << r.panel1() << r.panel0();
    QVERIFY(!r.form->link().state().portOpen);
    r.watchReadings(1200);
    // A page change while it is gone: the read says so, and no box for a loss already told.
    r.key(Qt::Key_F2);
    QCOMPARE(r.panel1(), r.text(textkey::ReadFailed));
    r.key(Qt::Key_F3);
    QVERIFY2(r.boxes.isEmpty(), qPrintable(r.boxes.join('|')));

    // Back at the same path: polling goes on by itself and says since when it was gone.
    QVERIFY(r.emu->replug());
    const QString back = r.text(textkey::PortBack).arg(QStringLiteral("com1"));
    QTRY_VERIFY_WITH_TIMEOUT(r.panel1().startsWith(back.left(back.indexOf(QLatin1String("%2")))), 5000);
    r.liveRecovered();
    QVERIFY(r.now() == r.start);
    QVERIFY(r.boxes.isEmpty());
}

void TestFaults::controllerKilledMidWrite() {
    const QString link = path("ttyKilled");
    const QString log = path("killed.log");
    auto sim = std::make_unique<SimProcess>();
    QVERIFY(sim->start(link, log));
    Rig::Options o;
    o.emulator = false;
    Rig r(link, o);
    r.key(Qt::Key_F2);
    QCOMPARE(r.form->params().origin(), ParameterModel::Origin::Controller);

    auto* write = r.form->findChild<QAbstractButton*>(QStringLiteral("ZapButPic"));
    QVERIFY(write);
    QTest::mouseClick(write, Qt::LeftButton);
    QTest::qWait(250); // a dozen commands out of the write's 0.8 s
    sim->proc.kill();
    QVERIFY(sim->proc.waitForFinished(3000));
    r.waitIdle();

    // One report, naming what did not reach the controller; the set stays unwritten.
    QTRY_COMPARE(r.pageMessages.size(), 1);
    const QString report = r.pageMessages.first();
    const QString head = r.text(textkey::WriteStopped).section(QLatin1String("%1"), 0, 0);
    QVERIFY2(report.startsWith(head), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("Próg analogowy obrotów")), qPrintable(report));
    QVERIFY(!r.form->params().written());
    QCOMPARE(r.panel1(), report);
    QVERIFY2(r.boxes.isEmpty(), qPrintable(r.boxes.join('|')));

    // The write began (its first command came) and never got its closing byte.
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    qsizetype begun = -1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].contains("write 1E")) begun = i;
    QVERIFY(begun >= 0);
    for (qsizetype i = begun; i < lines.size(); ++i)
        QVERIFY2(!lines[i].contains("closing byte"), lines[i].constData());

    // The controller comes back at the same path: polling finds it, and the
    // set left unwritten is written when the live page is entered.
    sim = std::make_unique<SimProcess>();
    QVERIFY(sim->start(link, log));
    QTRY_VERIFY_WITH_TIMEOUT(r.form->link().state().portOpen, 5000);
    r.key(Qt::Key_F3);
    QVERIFY(r.form->params().written());
    r.liveRecovered();
    QCOMPARE(r.pageMessages.size(), 1);
}

void TestFaults::portMissing() {
    const QString missing = path("ttyMissing");
    Rig::Options o;
    o.emulator = false;
    Rig r(missing, o);
    // Start-up makes five exchanges that open the port: one box.
    QTRY_COMPARE(r.boxes.size(), 1);
    QVERIFY2(r.boxes.first().contains(missing), qPrintable(r.boxes.first()));
    QVERIFY2(r.panel0().startsWith(missing + QStringLiteral(": ")), qPrintable(r.panel0()));
    r.key(Qt::Key_F2);
    QCOMPARE(r.panel1(), r.text(textkey::ReadFailed));
    r.key(Qt::Key_F3);
    QTRY_VERIFY(!r.label("TranserrorLabel").isEmpty());
    QVERIFY(r.label("TranserrorLabel").startsWith(
        r.text(textkey::PortDownSince).arg(QStringLiteral("com1"), QString()).trimmed()));
    r.key(Qt::Key_F4);
    r.key(Qt::Key_F3);
    QTest::qWait(1500); // polling keeps trying
    QCOMPARE(r.boxes.size(), 1);
    QVERIFY(r.pageMessages.isEmpty());

    // The adapter is plugged in: within about a second the live page polls
    // it, knowing its version; the next page change reads the rest.
    r.plugEmulator({});
    QTRY_VERIFY_WITH_TIMEOUT(
        r.panel1().startsWith(r.text(textkey::PortBack).section(QLatin1String("%2"), 0, 0).arg("com1")), 5000);
    QCOMPARE(r.form->link().state().versionCode, 5);
    QTRY_COMPARE_WITH_TIMEOUT(r.label("TranserrorLabel"), QString(), 5000);
    QTRY_COMPARE(r.label("Panel5"), QStringLiteral("1.70"));
    r.key(Qt::Key_F2);
    QCOMPARE(r.form->params().origin(), ParameterModel::Origin::Controller);
    r.key(Qt::Key_F3);
    r.liveRecovered();
    // A later failure is a new episode with its own box.
    r.emu->unplug();
    QTRY_VERIFY(!r.form->link().state().portOpen);
    r.key(Qt::Key_F2);
    QCOMPARE(r.boxes.size(), 1); // a loss is told in the status bar, not in a box
    QVERIFY(r.now() == r.start);
}

void TestFaults::permissionRefused() {
    Rig::Options o;
    o.shim = true;
    o.deny = true;
    Rig r(path("ttyRefused"), o);
    // Start-up's five opens, then page changes and polling: one box, with what to do.
    QTRY_COMPARE(r.boxes.size(), 1);
    QVERIFY2(r.boxes.first().contains(QStringLiteral("dialout")), qPrintable(r.boxes.first()));
    QVERIFY(r.panel0().endsWith(QStringLiteral("Permission denied")));
    r.key(Qt::Key_F2);
    r.key(Qt::Key_F3);
    QTest::qWait(1200);
    QCOMPARE(r.boxes.size(), 1);

    // Access granted: polling opens it by itself.
    r.deny = false;
    QTRY_COMPARE_WITH_TIMEOUT(r.label("TranserrorLabel"), QString(), 5000);
    QTRY_COMPARE(r.label("Panel5"), QStringLiteral("1.70"));
    r.key(Qt::Key_F2);
    r.key(Qt::Key_F3);
    r.liveRecovered();
    QCOMPARE(r.boxes.size(), 1);
    QVERIFY(r.now() == r.start);
}

void TestFaults::unlistedDefaultPortIsNotOpened() {
    // Nothing mapped: COM1 is /dev/ttyS0 by default, which this system does not list.
    Rig::Options o;
    o.emulator = false;
    o.shim = true;
    o.listed = false;
    Rig r(QString(), o);
    QTRY_COMPARE(r.boxes.size(), 1);
    QVERIFY2(r.boxes.first().contains(QStringLiteral("/dev/ttyS0")), qPrintable(r.boxes.first()));
    r.key(Qt::Key_F2);
    QCOMPARE(r.boxes.size(), 1);
    QCOMPARE(r.opens.load(), 0); // the device was never touched
}

void TestFaults::hugePortNameIsShortened() {
    {
        QSettings s(path("settings.ini"), QSettings::IniFormat);
        s.setValue(QStringLiteral("Ports/COM1"), QStringLiteral("/dev/") + QString(1 << 20, QLatin1Char('x')));
        s.sync();
    }
    Rig::Options o;
    o.emulator = false;
    Rig r(QString(), o);
    QTRY_COMPARE(r.boxes.size(), 1);
    QVERIFY2(r.boxes.first().size() < 1000, qPrintable(QString::number(r.boxes.first().size())));
    QVERIFY(r.panel0().startsWith(QStringLiteral("/dev/xxx")));
    QVERIFY(r.panel0().size() < 300);
    QSettings(path("settings.ini"), QSettings::IniFormat).remove(QStringLiteral("Ports"));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
