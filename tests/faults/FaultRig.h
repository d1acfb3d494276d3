#pragma once
// The real main window against the emulated controller (in this process, or
// quendrix-sim as a process), with boxes answered and recorded, and what the
// controller holds before and after. Header only: the fault matrix's rig.
#include "core/SessionTexts.h"
#include "emulator/Emulator.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "params/BlockCodec.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/ui/ParametersPage.h"
#include "shell/ShellTexts.h"
#include "shell/ui/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

inline constexpr int StoredIgnition = 3;
inline constexpr std::uint8_t Threshold = 130;

// What the controller holds; a test that types nothing must find it unchanged.
struct Held {
    std::array<uint8_t, 37> block;
    uint8_t threshold;
    std::array<uint8_t, 4> secondPair;
    bool operator==(const Held&) const = default;
};

inline Held held(qsim::ControllerModel& m) {
    return {m.block(), m.analogThreshold(), m.secondLambdaPair()};
}

// The text of a language text with placeholders up to the first one.
inline QString head(const QString& text) {
    return text.section(QLatin1Char('%'), 0, 0);
}

// The real port with what the system may do to a device on top: refuse it
// for want of rights, or not list the default COM devices at all. Counts the
// opens it is asked for.
class ShimPort : public QtSerialPort {
public:
    ShimPort(std::atomic<bool>* d, std::atomic<bool>* l, std::atomic<int>* o)
        : deny_(d), listed_(l), opens_(o) {}
    bool open(const QString& device, QString* reason, PortFailure* failure) override {
        ++*opens_;
        if (*deny_) {
            *reason = QStringLiteral("Permission denied");
            *failure = PortFailure::PermissionDenied;
            return false;
        }
        return QtSerialPort::open(device, reason, failure);
    }
    bool comListed(int) const override { return *listed_; }

private:
    std::atomic<bool>* deny_;
    std::atomic<bool>* listed_;
    std::atomic<int>* opens_;
};

struct Rig {
    struct Options {
        bool emulator = true; // behind `device`, as its stable path
        int version = 8;      // 8 and up: the analog threshold is exchanged too
        qsim::Faults faults{};
        bool deny = false; // the system refuses the device
        bool listed = true;
    };

    QString device;
    Options options;
    std::unique_ptr<qsim::Emulator> emu;
    std::unique_ptr<MainWindow> form;
    QStringList pageMessages; // the parameters page's boxes (write checks, write stopped)
    QStringList boxes;        // every other modal message box
    QStringList said;         // every text status panel 1 was given
    QStringList questions;    // asked before a read replaced unwritten values
    ParametersPage::Edits answer = ParametersPage::Edits::Keep;
    QTimer closer;
    std::atomic<bool> deny{false};
    std::atomic<bool> listed{true};
    std::atomic<int> opens{0};
    Held start{};

    // device: what COM1 is mapped to (empty: nothing mapped).
    Rig(const QString& dev, const Options& o) : device(dev), options(o) {
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
        setup.makePort = [this] { return std::make_unique<ShimPort>(&deny, &listed, &opens); };
        setup.configureLink = [dev](ControllerLink& link) {
            if (!dev.isEmpty()) link.setDevicePath(1, dev);
            link.setSelectedPort(QStringLiteral("com1"));
        };
        form = std::make_unique<MainWindow>(setup);
        form->findChild<ParametersPage*>()->setMessageHandler(
            [this](QMessageBox::Icon, const QString&, const QString& text) { pageMessages << text; });
        form->findChild<ParametersPage*>()->setQuestionHandler([this](const QString& text) {
            questions << text;
            return answer;
        });
        QObject::connect(&form->shell(), &ShellModel::messageChanged,
                         [this](const QString& t) { said << t; });
        form->show();
        waitIdle();
    }
    ~Rig() {
        form.reset();
        if (emu) emu->stop();
    }
    void plugEmulator(const qsim::Faults& faults) {
        emu = std::make_unique<qsim::Emulator>(options.version, StoredIgnition);
        std::string err;
        if (!emu->openPty(&err) || !emu->setStablePath(device.toStdString(), &err) || !emu->start())
            qFatal("emulator: %s", err.c_str());
        start = emu->withModel([&](qsim::ControllerModel& m) {
            m.inputs().forcedRpm = 3000;
            m.inputs().throttle = 0.3;
            m.inputs().trueIgnition = StoredIgnition;
            m.inputs().forcedTempC = 60;
            m.setAnalogThreshold(Threshold);
            m.faults() = faults;
            return held(m);
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
    // A menu key, and everything it started. A box closed a moment ago may
    // have left no window active, and menu keys go to the active one.
    void key(Qt::Key k) {
        QApplication::setActiveWindow(form.get());
        QTest::keyClick(form.get(), k);
        waitIdle();
    }
    QString page() const { return form->pageControl()->currentWidget()->objectName(); }
    QString label(const char* name) const {
        // Captions and read-outs alike.
        auto* l = form->findChild<QWidget*>(QString::fromLatin1(name));
        return l ? l->property("text").toString() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
    }
    QString panel0() const { return label("StatusPanel0"); }
    QString panel1() const { return label("StatusPanel1"); }
    QString text(int key) const { return form->shell().text(key); }
    Held now() const {
        return emu->withModel([](qsim::ControllerModel& m) { return held(m); });
    }
    // Watches the steady readings of the page shown (the live page's
    // instruments, or the parameters page's readings panel) for a while: each
    // shows what it showed before any frame or what the controller measures,
    // never something decoded from a bad frame.
    void watchReadings(int ms, const std::function<bool()>& until = {}) const {
        const bool live = page() == QLatin1String("WizualizacjaTab");
        const char* speedLabel = live ? "Panel1" : "ZmiennaObroty";
        const char* tpsLabel = live ? "Panel5" : "ZmiennaTPS";
        const char* tempLabel = live ? "paneltemp" : "ZmiennaTemperatura";
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms || (until && !until() && t.elapsed() < 5000)) {
            const QString speed = label(speedLabel), tps = label(tpsLabel), temp = label(tempLabel);
            // 3600: the same period through the start-up ignition system, before one is read.
            QVERIFY2(speed == QLatin1String("0") || speed == QLatin1String("3000") ||
                         speed == QLatin1String("3600"),
                     qPrintable(speed));
            QVERIFY2(tps == QLatin1String("0.00") || tps == QLatin1String("1.70"), qPrintable(tps));
            QVERIFY2(temp == QLatin1String("0") || temp.isEmpty() || temp == QLatin1String("61"),
                     qPrintable(temp));
            QTest::qWait(30);
        }
        if (until)
            QVERIFY2(until(), qPrintable(QStringLiteral("error label '%1', panel 0 '%2', version %3")
                                             .arg(label("TranserrorLabel"), panel0())
                                             .arg(form->link().state().versionCode)));
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
        proc.start(qEnvironmentVariable("QUENDRIX_SIM"),
                   {QStringLiteral("--link"), link, QStringLiteral("--log"), log,
                    QStringLiteral("--version-code"), QStringLiteral("8"), QStringLiteral("--ignition"),
                    QString::number(StoredIgnition)});
        if (!proc.waitForStarted(5000)) return false;
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000 && !out.contains("link: ")) {
            proc.waitForReadyRead(100);
            out += proc.readAll();
        }
        if (!out.contains("link: ")) return false;
        for (const QByteArray& line :
             {QByteArray("rpm 3000"), QByteArray("throttle 0.3"), QByteArray("temp 60"),
              QByteArray("ignition ") + QByteArray::number(StoredIgnition),
              QByteArray("threshold ") + QByteArray::number(Threshold)})
            proc.write(line + '\n');
        return proc.waitForBytesWritten(1000);
    }
    ~SimProcess() {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(2000);
        }
    }
};
