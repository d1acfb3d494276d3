// The wizard's page on the in-memory link: a scripted controller answers the
// version, block and live polls and logs every command it takes; the page is
// entered and left through the shell's page changes and driven by its buttons
// and the Enter and Backspace shortcuts, as the main window wires them.
#include "adapt/ui/WizardPage.h"
#include "emulator/ControllerModel.h"
#include "emulator/Emulator.h"
#include "params/WriteGate.h"
#include "shell/Navigator.h"
#include "shell/ui/DemoCarWindow.h"
#include "support/ModelsRig.h"
#include "widgets/TColorButton.h"
#include "widgets/TLedLamp.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <mutex>

using shell::Page;

namespace {

struct Command {
    std::uint8_t code;
    std::vector<std::uint8_t> values;
};

// The controller's side of the wire: answers from what the test sets, and
// every command taken (live polls aside), with its value bytes.
class FakeCar {
public:
    int version = 5;
    int storedIgnition = 2;
    // Live frame fields.
    int temperature = 120;
    int tps = 20;
    int lambda = 10;
    int period = 0; // 0: engine stopped
    int stepper = 0;

    template <class F> void set(F f) {
        std::lock_guard<std::mutex> lock(mutex_);
        f(*this);
    }
    std::vector<Command> commands() {
        std::lock_guard<std::mutex> lock(mutex_);
        return commands_;
    }
    std::vector<Command> commands(std::uint8_t code) {
        std::vector<Command> out;
        for (const Command& c : commands())
            if (c.code == code) out.push_back(c);
        return out;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.clear();
    }

    QByteArray receive(std::uint8_t b) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (remaining_ > 0) {
            commands_.back().values.push_back(b);
            --remaining_;
            return {};
        }
        if (b == 0x02) return frame();
        commands_.push_back({b, {}});
        remaining_ = std::max(0, qsim::ControllerModel::valueByteCount(b));
        if (b == 0x01) return QByteArray(1, char(version)) + QByteArray(7, '\0');
        if (b == 0x09) {
            const auto block = qsim::ControllerModel::defaultBlock(storedIgnition);
            return QByteArray(reinterpret_cast<const char*>(block.data()), int(block.size()));
        }
        return {};
    }

private:
    QByteArray frame() const {
        const int bytes[7] = {lambda, tps, temperature, 100, period & 0xFF, period >> 8, 255 - stepper};
        QByteArray f;
        int sum = 0;
        for (int v : bytes) {
            f.append(char(v));
            sum += v;
        }
        // Byte 7 is the checksum on version 5 and unused before; byte 8 only from version 5.
        f.append(char(version == 5 ? sum & 0xFF : 0));
        if (version >= 5) f.append('\0');
        return f;
    }

    std::mutex mutex_;
    std::vector<Command> commands_;
    int remaining_ = 0;
};

// Period of a speed at the ignition constant of "4 cylindry".
int periodFor(int rpm) {
    return qRound(4800.0 * 800.0 / rpm);
}

struct Rig {
    ModelsRig models;
    FakeCar car;
    shell::Navigator nav{models.models()};
    params::WriteGate gate{nullptr};
    WizardPage page{models.models(), gate};
    QAction dalej{&page};
    QAction cofnij{&page};

    explicit Rig(int version = 5) {
        car.version = version;
        models.port.responder = [this](std::uint8_t b) { return car.receive(b); };
        models.link.setSelectedPort(QStringLiteral("com1"));
        models.link.setDevicePath(1, QStringLiteral("/dev/ttyS0"));
        models.live.setVersionCode(version); // the start-up's version-dependent controls
        nav.setPage(Page::Autoadaptacja, &page);
        // The window's hidden items "Dalej" and "Cofnij".
        dalej.setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
        cofnij.setShortcut(QKeySequence(Qt::Key_Backspace));
        QObject::connect(&dalej, &QAction::triggered, &page, [this] { page.stepForward(); });
        QObject::connect(&cofnij, &QAction::triggered, &page, [this] { page.stepBack(); });
        page.addAction(&dalej);
        page.addAction(&cofnij);
        page.resize(795, 490);
        page.show();
        QApplication::setActiveWindow(&page);
        [&] { QVERIFY(QTest::qWaitForWindowActive(&page)); }();
        models.waitIdle();
    }
    ~Rig() {
        models.link.stopAllPolling();
        models.waitIdle();
    }

    void enter() {
        nav.selectFromMenu(Page::Autoadaptacja);
        settle();
    }
    void leave() {
        nav.selectFromMenu(Page::Obroty);
        settle();
    }
    // Everything posted has run and no reaction is still being carried out.
    void settle() {
        models.waitIdle();
        QTRY_VERIFY_WITH_TIMEOUT(!page.reactionRunning(), 5000);
        models.waitIdle();
    }
    template <class T = QWidget> T* w(const char* name) const {
        T* found = page.findChild<T*>(QString::fromLatin1(name));
        if (!found) qWarning("no control %s", name);
        return found;
    }
    // Captions and read-outs alike.
    QString text(const char* name) const { return w<QWidget>(name)->property("text").toString(); }
    bool lamp(const char* name) const { return w<TLedLamp>(name)->isChecked(); }
    void click(const char* name) {
        QTest::mouseClick(w<QAbstractButton>(name), Qt::LeftButton);
        settle();
    }
    void key(Qt::Key k) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &page;
        QTest::keyClick(target, k);
        settle();
    }
    int step() const { return page.wizard().step(); }
    QStringList visibleTabs() const {
        QStringList names;
        QTabWidget* tabs = page.wizardPages();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->isTabVisible(i)) names << tabs->widget(i)->objectName();
        return names;
    }
    bool polling(const char* timer) const { return models.link.isPolling(QString::fromLatin1(timer)); }
    // Step 1 done, on to step 2 with the engine at idle.
    void warmAndForward() {
        car.set([](FakeCar& c) {
            c.temperature = 140;
            c.period = periodFor(800);
        });
        QTRY_VERIFY(w<QAbstractButton>("termbutton")->isEnabled());
        click("termbutton");
        QCOMPARE(step(), 2);
    }
    void revsUntilDone(const char* forward, int rpm, int timeoutMs) {
        car.set([rpm](FakeCar& c) { c.period = periodFor(rpm); });
        QTRY_VERIFY_WITH_TIMEOUT(w<QAbstractButton>(forward)->isEnabled(), timeoutMs);
    }
};

} // namespace

class TestWizardPage : public QObject {
    Q_OBJECT
private slots:
    void enteringShowsOnlyTheFirstStep_data();
    void enteringShowsOnlyTheFirstStep();
    void forwardAndBackByButtonsAndKeys();
    void switchOverPauseKeepsWindowAndLinkRunning();
    void leavingWritesTheIgnitionOnce_data();
    void leavingWritesTheIgnitionOnce();
    void demoCarOffersTheWizardsControls();
};

void TestWizardPage::enteringShowsOnlyTheFirstStep_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("forwardAtOnce"); // not temperature-capable: nothing to wait for
    QTest::newRow("version 3") << 3 << true;
    QTest::newRow("version 5") << 5 << false;
}

void TestWizardPage::enteringShowsOnlyTheFirstStep() {
    QFETCH(int, version);
    QFETCH(bool, forwardAtOnce);
    Rig r(version);
    r.car.set([](FakeCar& c) {
        c.storedIgnition = 4;
        c.temperature = 120; // cold
    });
    r.models.params.setWritten(true);
    r.enter();

    QCOMPARE(r.visibleTabs(), QStringList{QStringLiteral("adaptterm")});
    QCOMPARE(r.text("Label11"), QStringLiteral("Ad2 - termometr"));
    QVERIFY(r.polling("TimerAdaptTerm"));
    QCOMPARE(r.models.link.activePolls().size(), 1);
    QVERIFY(!r.models.params.written());
    // The stored ignition system selects both lists.
    QCOMPARE(r.w<QComboBox>("ComboTerm")->currentIndex(), 4);
    QCOMPARE(r.models.live.wizardIgnitionChoice(), 4);
    QCOMPARE(r.models.live.ignitionChoice(), 4);
    QCOMPARE(QApplication::focusWidget(), r.w("ComboTerm"));
    // The temperature-sensor switch only where the controller has the sensor input.
    QCOMPARE(r.w("WlCzujtTempCheckAd")->isVisible(), !forwardAtOnce);
    QCOMPARE(r.w("WlCzujtTempAd")->isVisible(), !forwardAtOnce);
    QTRY_VERIFY(r.page.wizard().view().term.thermometer == 120);
    QCOMPARE(r.w<QAbstractButton>("termbutton")->isEnabled(), forwardAtOnce);

    // Enter in the list waits for the forward button like the menu's "Dalej".
    r.key(Qt::Key_Return);
    QCOMPARE(r.step(), forwardAtOnce ? 2 : 1);
    if (forwardAtOnce) return;

    // The sensor switch is the parameters page's switch too.
    QTest::mouseClick(r.w("WlCzujtTempAd"), Qt::LeftButton);
    QVERIFY(r.w<QCheckBox>("WlCzujtTempCheckAd")->isChecked());
    QCOMPARE(r.models.params.pageValue(ParamId::TempSensorOn), QStringLiteral("1"));
    QVERIFY(r.page.wizard().temperatureSensorOn());

    r.car.set([](FakeCar& c) { c.temperature = 131; });
    QTRY_VERIFY(r.w<QAbstractButton>("termbutton")->isEnabled());
    r.w("ComboTerm")->setFocus();
    r.key(Qt::Key_Enter);
    QCOMPARE(r.step(), 2);
    const auto ignition = r.car.commands(0x1F);
    QCOMPARE(ignition.size(), std::size_t(1));
    QCOMPARE(ignition[0].values, (std::vector<std::uint8_t>{4, 0}));
}

void TestWizardPage::forwardAndBackByButtonsAndKeys() {
    Rig r;
    r.enter();
    r.warmAndForward();
    QCOMPARE(r.visibleTabs(), QStringList{QStringLiteral("AdaptTps")});
    QCOMPARE(r.text("Label11"), QStringLiteral("Ad2 - ustalenie progu TPS"));
    QVERIFY(r.polling("TimerUstTpsProg"));
    QCOMPARE(r.models.link.activePolls(), QStringList{QStringLiteral("TimerUstTpsProg")}); // step 1's stopped
    QTRY_COMPARE(r.text("TPSdolny"), QStringLiteral("1.00")); // the entry poll: TPS 20

    // Enter before the TPS step is done does nothing.
    r.car.clear();
    r.key(Qt::Key_Return);
    QCOMPARE(r.step(), 2);
    QVERIFY(r.car.commands().empty());

    // Backspace on step 2 starts step 1 afresh, with its ignition read.
    r.key(Qt::Key_Backspace);
    QCOMPARE(r.step(), 1);
    QCOMPARE(r.visibleTabs(), QStringList{QStringLiteral("adaptterm")});
    QCOMPARE(r.car.commands(0x09).size(), std::size_t(1));
    QCOMPARE(r.models.link.activePolls(), QStringList{QStringLiteral("TimerAdaptTerm")});

    r.warmAndForward();
    r.car.set([](FakeCar& c) { c.tps = 70; });
    r.revsUntilDone("tpsbutton", 3000, 5000);
    QVERIFY(r.lamp("DbLed4"));
    QVERIFY(r.w("Label56")->isVisible());
    QCOMPARE(r.text("TPSgorny"), QStringLiteral("3.50"));
    QCOMPARE(r.text("TPSprog"), QStringLiteral("1.25")); // 20 + (70 - 20) / 10 = 25
    QVERIFY(!r.polling("TimerUstTpsProg"));
    r.key(Qt::Key_Return);
    QCOMPARE(r.step(), 3);
    QCOMPARE(r.text("Label11"), QStringLiteral("Kalibracja Sondy Lambda"));
    QCOMPARE(r.text("PUboga"), QStringLiteral("......."));

    // Back from step 3 lands on step 2 with cleared read-outs and sends the ignition again.
    r.car.clear();
    r.car.set([](FakeCar& c) { c.period = periodFor(800); });
    r.click("CofnijAD3");
    QCOMPARE(r.step(), 2);
    QCOMPARE(r.visibleTabs(), QStringList{QStringLiteral("AdaptTps")});
    QCOMPARE(r.text("TPSgorny"), QString());
    QCOMPARE(r.text("TPSprog"), QString());
    QVERIFY(!r.lamp("DbLed4"));
    QVERIFY(!r.w<QAbstractButton>("tpsbutton")->isEnabled());
    QVERIFY(!r.w("Label56")->isVisible());
    const auto ignition = r.car.commands(0x1F);
    QCOMPARE(ignition.size(), std::size_t(1));
    QCOMPARE(ignition[0].values, (std::vector<std::uint8_t>{2, 0}));
    QCOMPARE(r.models.link.activePolls(), QStringList{QStringLiteral("TimerUstTpsProg")});

    // Steps 4 and 5 by their buttons and keys, the choices on their pages.
    r.revsUntilDone("tpsbutton", 3000, 5000);
    r.click("tpsbutton");
    r.revsUntilDone("SondButton", 2000, 20000);
    QVERIFY(r.w("Label87")->isVisible());
    r.click("SondButton");
    QCOMPARE(r.visibleTabs(), QStringList{QStringLiteral("adapt5")});
    QTest::mouseClick(r.w("srcheckbox9Label"), Qt::LeftButton);
    QVERIFY(r.w<QCheckBox>("srcheckbox9")->isChecked());
    QVERIFY(!r.w<QCheckBox>("SRCheckbox8")->isChecked());
    QTest::mouseClick(r.w("SRCheckBox6"), Qt::LeftButton, {}, QPoint(8, 14)); // on its button
    QCOMPARE(r.page.wizard().view().car.capacity, adapt::Capacity::From2To3);
    r.key(Qt::Key_Backspace);
    QCOMPARE(r.step(), 3); // back from 4 presses tpsbutton: step 3 from its start
    r.revsUntilDone("SondButton", 2000, 20000);
    r.key(Qt::Key_Return);
    r.key(Qt::Key_Return);
    QCOMPARE(r.step(), 5);
    QTest::mouseClick(r.w("Image5"), Qt::LeftButton);
    QVERIFY(r.w<QCheckBox>("SRCheckBox11")->isChecked());
    QVERIFY(!r.w<QCheckBox>("SRCheckBox10")->isChecked());
    QCOMPARE(r.page.wizard().view().car.reserve, adapt::ReserveSensor::Sensor90R);
    QVERIFY(r.page.wizard().view().car.gearbox == adapt::Gearbox::Automatic); // kept on the way back
}

void TestWizardPage::switchOverPauseKeepsWindowAndLinkRunning() {
    Rig r;
    r.enter();
    r.warmAndForward();
    r.revsUntilDone("tpsbutton", 3000, 5000);
    r.click("tpsbutton");
    r.revsUntilDone("SondButton", 2000, 20000);
    r.click("SondButton");
    r.click("ParSamButton");
    r.car.set([](FakeCar& c) { c.period = periodFor(800); });
    r.car.clear();
    r.click("OczkaButton");
    QCOMPARE(r.step(), 6);
    QCOMPARE(r.car.commands(0x0A).size(), std::size_t(1)); // the adaptation set-up went out
    QVERIFY(r.polling("TimerPrzedRed"));
    QVERIFY(!r.w<QAbstractButton>("przedreduktbutton")->isEnabled());

    // The controller switches to gas: lamp on, message shown, then the pause.
    int loopTicks = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { ++loopTicks; });
    r.car.set([](FakeCar& c) { c.stepper = 60; });
    QTRY_VERIFY(r.lamp("LedPrzedRed"));
    QElapsedTimer clock;
    clock.start();
    beat.start(20);
    QVERIFY(r.w("NastapiloPrzejscieBGLABEL")->isVisible());
    QVERIFY(!r.polling("TimerPrzedRed"));
    QVERIFY(r.page.reactionRunning());
    QVERIFY(!r.w<QAbstractButton>("przedreduktbutton")->isEnabled());
    // The link takes other work during the pause.
    bool linkAnswered = false;
    r.models.link.run(
        &r.page, [](Controller&) {}, [&] { linkAnswered = true; });
    QTRY_VERIFY_WITH_TIMEOUT(linkAnswered, 1000);
    QVERIFY(r.page.reactionRunning());
    QTRY_VERIFY_WITH_TIMEOUT(r.w<QAbstractButton>("przedreduktbutton")->isEnabled(), 4000);
    const qint64 paused = clock.elapsed();
    beat.stop();
    QVERIFY2(paused >= 1700 && paused < 3500, qPrintable(QString::number(paused)));
    // The window's event loop kept turning the whole time.
    QVERIFY2(loopTicks > paused / 20 / 2,
             qPrintable(QStringLiteral("%1 in %2 ms").arg(loopTicks).arg(paused)));

    r.click("przedreduktbutton");
    QCOMPARE(r.step(), 7);
    QVERIFY(!r.w("NastapiloPrzejscieBGLABEL")->isVisible());
    QVERIFY(r.polling("TimerRR"));
}

void TestWizardPage::leavingWritesTheIgnitionOnce_data() {
    QTest::addColumn<bool>("fromStep2");
    QTest::newRow("from step 1") << false;
    QTest::newRow("from step 2, step 1's timer stopped by its button") << true;
}

void TestWizardPage::leavingWritesTheIgnitionOnce() {
    QFETCH(bool, fromStep2);
    Rig r;
    r.enter();
    if (fromStep2) r.warmAndForward();
    r.w<QComboBox>("ComboTerm")->setCurrentIndex(5);
    QCOMPARE(r.models.live.wizardIgnitionChoice(), 5);
    r.car.set([](FakeCar& c) { c.temperature = 140; });
    QTRY_VERIFY(r.w<QAbstractButton>("termbutton")->isEnabled());
    r.car.clear();
    // The page change waits for a busy link; "Dalej" pressed meanwhile comes
    // after it and finds the wizard left.
    r.models.link.run(nullptr, [](Controller&) { QThread::msleep(300); });
    r.nav.selectFromMenu(Page::Obroty);
    QCOMPARE(r.models.link.heldActions(), 1);
    r.key(Qt::Key_Return);
    r.settle();
    const auto ignition = r.car.commands(0x1F);
    QCOMPARE(ignition.size(), std::size_t(fromStep2 ? 0 : 1));
    QVERIFY(r.models.link.activePolls().isEmpty());
    QCOMPARE(r.step(), fromStep2 ? 2 : 1);
    if (fromStep2) return;
    QCOMPARE(ignition[0].values, (std::vector<std::uint8_t>{5, 0}));
    // Written before the page change's version read.
    const auto all = r.car.commands();
    QVERIFY(!all.empty() && all.front().code == 0x1F);
}

void TestWizardPage::demoCarOffersTheWizardsControls() {
    qsim::Emulator emu(5, 2);
    DemoCarWindow car(emu);
    car.show();
    QApplication::setActiveWindow(&car);
    QVERIFY(QTest::qWaitForWindowActive(&car));
    auto inputs = [&] { return emu.withModel([](qsim::ControllerModel& m) { return m.inputs(); }); };
    QSlider* reducer = car.findChild<QSlider*>("reducerSlider");
    QVERIFY(reducer);
    reducer->setFocus();
    reducer->setValue(20);
    QCOMPARE(inputs().reducer, 0.2);
    QTest::keyClick(reducer, Qt::Key_PageUp);
    QVERIFY(inputs().reducer > 0.2);

    auto* petrol = car.findChild<QRadioButton*>("switchPetrolRadio");
    auto* automatic = car.findChild<QRadioButton*>("switchAutoRadio");
    QVERIFY(petrol && automatic);
    // Mnemonics click after the button's short press animation.
    QTest::keyClick(&car, Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY(petrol->isChecked());
    QVERIFY(!inputs().gasSwitch);
    QTest::keyClick(&car, Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(inputs().gasSwitch);

    // Cold start, then the engine warms by itself.
    QTest::keyClick(&car, Qt::Key_Z, Qt::AltModifier);
    QTRY_COMPARE(inputs().forcedTempC, inputs().ambientC);
    QTest::keyClick(&car, Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY(inputs().forcedTempC < -273);
    QVERIFY(!car.findChild<QSlider*>("tempSlider")->isEnabled());

    // Every control is reached with Tab.
    QStringList reached;
    QWidget* first = car.findChild<QWidget*>("engineOnCheck");
    first->setFocus();
    QWidget* at = first;
    for (int i = 0; i < 20; ++i) {
        reached << at->objectName();
        at = at->nextInFocusChain();
        while (at && !(at->focusPolicy() & Qt::TabFocus && at->isEnabled() && at->isVisibleTo(&car)))
            at = at->nextInFocusChain();
        if (!at || at == first) break;
    }
    for (const char* name : {"throttleSlider", "forceTempCheck", "warmUpButton", "coldEngineButton",
                             "reducerSlider", "gasSlider", "ignitionCombo"})
        QVERIFY2(reached.contains(QLatin1String(name)), name);
    // Of the switch's two positions Tab reaches the one that is set; the arrows move it.
    QVERIFY(reached.contains(QStringLiteral("switchAutoRadio")));
}

QTEST_MAIN(TestWizardPage)
#include "tst_wizardpage.moc"
