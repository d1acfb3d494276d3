// The whole autoadaptation through the real main window against the emulated
// car on a pseudo-terminal, in real time: F5, then each step as a fitter does
// it (warm-up, revs, reducer, idle and load) with Enter for "Dalej", up to the
// final write and the parameters page's full write of what it read back.
// With QUENDRIX_WIZARD_SHOTS=<folder> each finished step is saved as a picture.
#include "emulator/Emulator.h"
#include "params/ParameterModel.h"
#include "params/ui/ParametryPage.h"
#include "shell/ui/MainWindow.h"
#include "widgets/TLedLamp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rig {
    std::unique_ptr<qsim::Emulator> emu;
    std::unique_ptr<MainWindow> form;
    QStringList messages;
    QString shots = qEnvironmentVariable("QUENDRIX_WIZARD_SHOTS");

    Rig() {
        emu = std::make_unique<qsim::Emulator>(5, 2);
        std::string err;
        if (!emu->openPty(&err) || !emu->start()) qFatal("emulator: %s", err.c_str());
        car([](qsim::EngineInputs& in) {
            in.engineOn = true;
            in.throttle = 0;
            in.reducer = 0.2;     // not yet regulated: lean on gas
            in.gasSwitch = false; // the car on petrol, as step 1 asks
            in.forcedTempC = 20;  // cold
        });
        MainWindow::Setup setup;
        const QString path = QString::fromStdString(emu->devicePath());
        setup.configureLink = [path](ControllerLink& link) {
            link.setDevicePath(1, path);
            link.setSelectedPort(QStringLiteral("com1"));
        };
        form = std::make_unique<MainWindow>(setup);
        form->findChild<ParametryPage*>()->setMessageHandler(
            [this](QMessageBox::Icon, const QString&, const QString& text) { messages << text; });
        form->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(form.get())); }();
        waitIdle();
    }
    ~Rig() {
        form.reset();
        emu->stop();
    }
    template <class F> void car(F f) {
        emu->withModel([&](qsim::ControllerModel& m) {
            f(m.inputs());
            return 0;
        });
    }
    std::vector<qsim::ReceivedCommand> commands() {
        return emu->withModel([](qsim::ControllerModel& m) { return m.commands(); });
    }
    void waitIdle() const {
        QTRY_VERIFY_WITH_TIMEOUT(!form->link().busy() && form->link().heldActions() == 0, 10000);
    }
    void key(Qt::Key k) {
        QTest::keyClick(form.get(), k);
        waitIdle();
    }
    QString current() const { return form->pageControl()->currentWidget()->objectName(); }
    QWidget* w(const char* name) const { return form->findChild<QWidget*>(QString::fromLatin1(name)); }
    bool enabled(const char* button) const { return w(button)->isEnabled(); }
    QString step() const {
        auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("PageControl2"));
        return tabs->currentWidget()->objectName();
    }
    void shot(int n) {
        if (shots.isEmpty()) return;
        QDir().mkpath(shots);
        form->grab().save(QDir(shots).filePath(QStringLiteral("step%1.png").arg(n)));
    }
    // Waits until a step's forward button may be pressed, then presses Enter.
    void forwardWhenDone(int n, const char* button, int timeoutMs) {
        QTRY_VERIFY_WITH_TIMEOUT(enabled(button), timeoutMs);
        shot(n);
        key(Qt::Key_Return);
    }
};

// The write groups, each up to its closing byte 0x0A: live polls, reads (the
// analog threshold's 0x22 with its closing byte among them) and the ignition
// write left out.
std::vector<std::vector<qsim::ReceivedCommand>> groups(const std::vector<qsim::ReceivedCommand>& all) {
    std::vector<std::vector<qsim::ReceivedCommand>> out(1);
    for (const auto& c : all) {
        if (c.code == 0x02 || c.code == 0x01 || c.code == 0x09 || c.code == 0x1F || c.code == 0x22) continue;
        if (c.code == 0x0A && out.back().empty()) continue;
        out.back().push_back(c);
        if (c.code == 0x0A) out.emplace_back();
    }
    out.pop_back(); // what follows the last 0x0A
    return out;
}

Bytes values(const std::vector<qsim::ReceivedCommand>& g, std::uint8_t code) {
    for (const auto& c : g)
        if (c.code == code) return c.values;
    return {};
}

} // namespace

class TestWizardMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fitterWalksTheWizardToTheParametersPage();

private:
    QTemporaryDir dir_;
};

void TestWizardMainWindow::initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("QUENDRIX_SETTINGS", dir_.filePath("settings.ini").toUtf8());
}

void TestWizardMainWindow::fitterWalksTheWizardToTheParametersPage() {
    Rig r;
    r.key(Qt::Key_F5);
    QCOMPARE(r.current(), QStringLiteral("AutoadaptacjaTab"));
    QCOMPARE(r.step(), QStringLiteral("adaptterm"));
    QCOMPARE(qobject_cast<QLabel*>(r.w("Label11"))->text(), QStringLiteral("Ad2 - termometr"));
    QTest::qWait(500);
    QVERIFY(!r.enabled("termbutton")); // a cold engine on a temperature-capable controller
    r.emu->withModel([](qsim::ControllerModel& m) {
        m.clearCommands();
        return 0;
    });

    // 1: warm-up.
    r.car([](qsim::EngineInputs& in) { in.forcedTempC = 60; });
    r.forwardWhenDone(1, "termbutton", 5000);
    QCOMPARE(r.step(), QStringLiteral("AdaptTps"));
    // 2: revs above 3000.
    r.car([](qsim::EngineInputs& in) { in.throttle = 0.6; });
    r.forwardWhenDone(2, "tpsbutton", 15000);
    QCOMPARE(r.step(), QStringLiteral("adaptsonda"));
    // 3: revs for the probe.
    r.car([](qsim::EngineInputs& in) { in.throttle = 0.3; });
    r.forwardWhenDone(3, "SondButton", 30000);
    r.car([](qsim::EngineInputs& in) { in.throttle = 0; });
    // 4 and 5: the car's description as it stands.
    QCOMPARE(r.step(), QStringLiteral("adapt5"));
    r.forwardWhenDone(4, "ParSamButton", 1000);
    QCOMPARE(r.step(), QStringLiteral("adapt6"));
    r.forwardWhenDone(5, "OczkaButton", 1000);
    QCOMPARE(r.step(), QStringLiteral("przedreduktorem"));
    // 6: the dashboard switch to auto; the controller switches over, then the pause.
    QTest::qWait(1000);
    QVERIFY(!r.enabled("przedreduktbutton")); // held on petrol
    r.car([](qsim::EngineInputs& in) { in.gasSwitch = true; });
    r.forwardWhenDone(6, "przedreduktbutton", 15000);
    QCOMPARE(r.step(), QStringLiteral("Regulacjareduktora"));
    // 7: the reducer screw, a turn at a time, until the mixture is rich.
    for (int turn = 0; turn < 16 && !r.enabled("RRbutton"); ++turn) {
        r.car([](qsim::EngineInputs& in) { in.reducer = std::min(1.0, in.reducer + 0.05); });
        QTest::qWait(1000);
    }
    r.forwardWhenDone(7, "RRbutton", 3000);
    QCOMPARE(r.step(), QStringLiteral("MinMaxTab"));
    // 8: idle, then above 2000.
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<TLedLamp*>(r.w("LedMin"))->isChecked(), 60000);
    QVERIFY(r.w("Label76")->isVisible());
    r.car([](qsim::EngineInputs& in) { in.throttle = 0.3; });
    QTRY_VERIFY_WITH_TIMEOUT(r.w("KomunikatKoncowy")->isVisible(), 60000);
    r.forwardWhenDone(8, "MinMaxButton", 1000);

    // The parameters page reads the block back; it writes it whole by itself
    // only when it can show every field as the controller holds it. The learnt
    // probe threshold (a raw byte) and lambda times (whole milliseconds) are
    // finer than the page shows them (0,05 V, 50 ms), so those fields are
    // usually marked and the write is left to the fitter's "Zapisz parametry".
    QTRY_COMPARE_WITH_TIMEOUT(r.current(), QStringLiteral("ParametryTab"), 5000);
    r.waitIdle();
    QCOMPARE(QApplication::focusWidget(), r.w("ComboBox1"));
    ParameterModel& params = r.form->params();
    QCOMPARE(params.origin(), ParameterModel::Origin::Controller);
    QCOMPARE(params.written(), params.marks().empty());
    for (const FieldMark& m : params.marks())
        qInfo("marked: %s", qPrintable(m.message));
    if (!params.written()) {
        QVERIFY(!r.form->shell().message().isEmpty()); // why nothing was written
        QTest::mouseClick(r.w("ZapButPic"), Qt::LeftButton);
        r.waitIdle();
        QVERIFY(params.written());
    }
    QVERIFY2(r.messages.isEmpty(), qPrintable(r.messages.join('\n')));
    QCOMPARE(r.form->link().activePolls(), QStringList{QStringLiteral("TimerParamOdcz")});

    const auto all = r.commands();
    const auto first = std::find_if(all.begin(), all.end(), [](const auto& c) {
        return c.code != 0x01 && c.code != 0x02 && c.code != 0x09;
    });
    QVERIFY(first != all.end());
    QCOMPARE(first->code, std::uint8_t(0x1F)); // step 1's ignition write
    QCOMPARE(first->values, (Bytes{2, 0}));
    const auto g = groups(all);
    QCOMPARE(int(g.size()), 4); // two set-ups, the final write, the full write
    for (int n : {0, 1}) {
        QCOMPARE(int(g[std::size_t(n)].size()), 24);
        QVERIFY(std::none_of(g[std::size_t(n)].begin(), g[std::size_t(n)].end(),
                             [](const auto& c) { return c.prefixed; }));
        QCOMPARE(values(g[std::size_t(n)], 0x07), Bytes{250}); // TPS rising with the throttle
    }
    QCOMPARE(values(g[0], 0x12), (Bytes{255 - 79, 255 - 80}));
    QCOMPARE(values(g[1], 0x12), (Bytes{255 - 10, 255 - 200}));
    std::vector<std::uint8_t> codes;
    for (const auto& c : g[2])
        codes.push_back(c.code);
    QCOMPARE(codes, (std::vector<std::uint8_t>{0x07, 0x12, 0x13, 0x06, 0x1B, 0x0B, 0x0B, 0x0A}));
    // The full write carries the learnt limits and threshold as the controller holds them.
    const auto& full = g[3];
    QVERIFY(full.size() > 20);
    QVERIFY(full.front().prefixed);
    QCOMPARE(values(full, 0x12), values(g[2], 0x12));
    QCOMPARE(values(full, 0x13), values(g[2], 0x13));
    QCOMPARE(values(full, 0x07), values(g[2], 0x07));
    // Between the final write and the full write the block was read back.
    // The order on the wire: final write, block read back, full write.
    std::vector<std::size_t> stepOpenings, reads, prefixed;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].code == 0x1B) stepOpenings.push_back(i);
        if (all[i].code == 0x09) reads.push_back(i);
        if (all[i].prefixed && all[i].code == 0x1E) prefixed.push_back(i); // a full write's start
    }
    QCOMPARE(int(stepOpenings.size()), 4); // set-up, set-up, final write, full write
    QCOMPARE(int(prefixed.size()), 1);
    QVERIFY(std::any_of(reads.begin(), reads.end(),
                        [&](std::size_t i) { return i > stepOpenings[2] && i < prefixed[0]; }));
}

QTEST_MAIN(TestWizardMainWindow)
#include "tst_wizardmainwindow.moc"
