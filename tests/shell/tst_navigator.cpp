#include "shell/Autodetect.h"
#include "shell/Navigator.h"
#include "shell/Session.h"
#include "shell/Startup.h"
#include "support/FakeLink.h"

#include <QTest>
#include <QTimer>

using shell::Page;

namespace {

// A page that records what the navigator asks of it.
struct FakePage : PageHooks {
    QString name;
    QStringList* calls;
    bool allowLeave = true;
    std::function<void()> onEnter;
    std::function<void()> onLeave;
    FakePage(QString n, QStringList* c) : name(std::move(n)), calls(c) {}
    void enterPage() override {
        *calls << QStringLiteral("enter ") + name;
        if (onEnter) onEnter();
    }
    bool leaveByTab() override {
        *calls << QStringLiteral("leave ") + name;
        if (onLeave) onLeave();
        return allowLeave;
    }
};

struct Rig {
    std::vector<LinkEvent> log;
    FakeClock clock{&log};
    FakePort port{clock, &log};
    Session session{port, clock};
    shell::Navigator nav{session};
    QStringList calls;
    std::vector<std::unique_ptr<FakePage>> pages;
    std::vector<std::unique_ptr<QTimer>> timers;
    QString panel1 = QStringLiteral("old message");
    int version = 5;
    QList<Page> shown;
    int printTabShows = 0;
    int writes = 0;

    Rig() {
        port.responder = [this](std::uint8_t b) -> QByteArray {
            if (b == 0x01) return QByteArray(1, char(version)) + QByteArray(1, '\0');
            return {};
        };
        const char* names[] = {"Obroty", "Parametry", "Wizualizacja", "Autoadaptacja", "Drukowanie"};
        for (int i = 0; i < shell::PageCount; ++i) {
            pages.push_back(std::make_unique<FakePage>(QString::fromLatin1(names[i]), &calls));
            nav.setPage(static_cast<Page>(i), pages.back().get());
        }
        Timers& t = session.timers;
        for (QTimer** slot :
             {&t.TimerObr, &t.TimerWiz, &t.TimerAdaptTerm, &t.TimerUstTpsProg, &t.TimerKalibSonda,
              &t.TimerPrzedRed, &t.TimerRR, &t.TimerMinMax1, &t.TimerMinMax2, &t.TimerParamOdcz}) {
            timers.push_back(std::make_unique<QTimer>());
            timers.back()->setInterval(100);
            *slot = timers.back().get();
        }
        session.channel.setPollingTimers({t.TimerObr, t.TimerWiz, t.TimerAdaptTerm, t.TimerUstTpsProg,
                                          t.TimerKalibSonda, t.TimerPrzedRed, t.TimerRR, t.TimerMinMax1,
                                          t.TimerMinMax2, t.TimerParamOdcz});
        session.setMessagePanel = [this](const QString& s) { panel1 = s; };
        session.chosenIgnitionIndex = [] { return 4; };
        session.chosenWizardIgnitionIndex = [] { return 0x0102; };
        session.collectAndWriteParameters = [this] {
            ++writes;
            calls << QStringLiteral("write parameters");
        };
        nav.showPage = [this](Page p) { shown << p; };
        nav.setPrintTabVisible = [this](bool v) {
            if (v) ++printTabShows;
        };
    }
    FakePage& page(Page p) { return *pages[static_cast<size_t>(p)]; }
    QStringList events() { return describe(log, false); }
    bool anyTimerRunning() const {
        for (const auto& t : timers)
            if (t->isActive()) return true;
        return false;
    }
};

} // namespace

class TestNavigator : public QObject {
    Q_OBJECT
private slots:
    void pageNames();
    void leavingIgnitionPageWritesIgnitionThenReadsVersion();
    void ignitionWriteReopensPortClosedByLeaveStep();
    void wizardFirstStepWritesItsOwnChoice();
    void nothingPollingWritesNoIgnition();
    void menuSelectionSkipsLeaveChecks();
    void tabClickRunsLeaveChecksAndMayBeRefused();
    void tabClickOnCurrentTabDoesNothing();
    void writtenFlagRules_data();
    void writtenFlagRules();
    void parametersPageShowsPrintTab();
    void noAutomaticWriteBeforeParametersPageWasFilled();
    void startupExchangesInOrder();
    void autodetectFindsFirstAnsweringPort();
    void autodetectWithoutPorts();
    void autodetectSilentPortsKeepsLastOpened();
};

void TestNavigator::pageNames() {
    QCOMPARE(shell::pageObjectName(Page::Drukowanie), QStringLiteral("DrukowanieTab"));
    for (int i = 0; i < shell::PageCount; ++i) {
        const Page p = static_cast<Page>(i);
        QCOMPARE(shell::pageFromOptionName(shell::pageOptionName(p)), std::optional<Page>(p));
    }
    QCOMPARE(shell::pageFromOptionName(QStringLiteral("  Parametry ")), std::optional<Page>(Page::Parametry));
    QVERIFY(!shell::pageFromOptionName(QStringLiteral("param")));
}

void TestNavigator::leavingIgnitionPageWritesIgnitionThenReadsVersion() {
    Rig r;
    r.session.channel.OpenPort();
    r.session.timers.TimerObr->start();
    r.session.periodFilter.push(1000);
    r.log.clear();
    r.nav.selectFromMenu(Page::Wizualizacja);
    const QStringList ev = r.events();
    // ignition index 4 as 16-bit little-endian, on the open port, then the version read
    const QStringList expectedStart{"tx 1F", "tx 04",    "tx 00", "close", "open /dev/ttyS0",
                                    "tx 01", "sleep 20", "rx 2",  "close"};
    QCOMPARE(ev.mid(0, expectedStart.size()), expectedStart);
    QVERIFY(!r.anyTimerRunning());
    QVERIFY(!r.session.channel.isOpen());
    QCOMPARE(r.session.periodFilter.count(), 0);
    QCOMPARE(r.panel1, QString());
    QCOMPARE(r.session.controller.versionCode(), 5);
    QCOMPARE(r.calls, QStringList{"enter Wizualizacja"});
    QCOMPARE(r.nav.current(), Page::Wizualizacja);
    QCOMPARE(r.shown, QList<Page>{Page::Wizualizacja});
}

void TestNavigator::ignitionWriteReopensPortClosedByLeaveStep() {
    Rig r;
    r.session.channel.OpenPort();
    r.session.timers.TimerObr->start();
    // The leave step of the ignition page closes the port (the threshold exchange does).
    r.page(Page::Obroty).onLeave = [&] { r.session.channel.ClosePort(); };
    r.log.clear();
    QVERIFY(r.nav.tabClicked(Page::Parametry));
    const QStringList ev = r.events();
    QCOMPARE(ev.mid(0, 5), (QStringList{"close", "open /dev/ttyS0", "tx 1F", "tx 04", "tx 00"}));
}

void TestNavigator::wizardFirstStepWritesItsOwnChoice() {
    Rig r;
    r.session.channel.OpenPort();
    r.session.timers.TimerAdaptTerm->start();
    r.session.timers.TimerRR->start();
    r.log.clear();
    r.nav.selectFromMenu(Page::Obroty);
    QCOMPARE(r.events().mid(0, 4), (QStringList{"tx 1F", "tx 02", "tx 01", "close"}));
    QVERIFY(!r.anyTimerRunning());
}

void TestNavigator::nothingPollingWritesNoIgnition() {
    Rig r;
    r.nav.setCurrent(Page::Drukowanie);
    r.nav.selectFromMenu(Page::Wizualizacja);
    const auto sent = r.port.sentBytes();
    QCOMPARE(sent, std::vector<std::uint8_t>{0x01});
}

void TestNavigator::menuSelectionSkipsLeaveChecks() {
    Rig r;
    r.nav.setCurrent(Page::Parametry);
    r.page(Page::Parametry).allowLeave = false;
    r.nav.selectFromMenu(Page::Obroty);
    QCOMPARE(r.nav.leaveChecks(), 0);
    QCOMPARE(r.nav.current(), Page::Obroty);
    QVERIFY(!r.calls.contains(QStringLiteral("leave Parametry")));
    QVERIFY(r.calls.contains(QStringLiteral("enter Obroty")));
}

void TestNavigator::tabClickRunsLeaveChecksAndMayBeRefused() {
    Rig r;
    r.nav.setCurrent(Page::Parametry);
    r.session.paramsVisited = true;
    r.session.written = false;
    r.page(Page::Parametry).allowLeave = false;
    QVERIFY(!r.nav.tabClicked(Page::Wizualizacja));
    QCOMPARE(r.calls, QStringList{"leave Parametry"});
    QCOMPARE(r.nav.current(), Page::Parametry);
    QVERIFY(r.shown.isEmpty());
    QVERIFY(r.port.sentBytes().empty()); // refused: no common steps at all
    QCOMPARE(r.writes, 0);

    r.page(Page::Parametry).allowLeave = true;
    QVERIFY(r.nav.tabClicked(Page::Wizualizacja));
    QCOMPARE(r.calls,
             (QStringList{"leave Parametry", "leave Parametry", "write parameters", "enter Wizualizacja"}));
    QCOMPARE(r.nav.current(), Page::Wizualizacja);
}

void TestNavigator::tabClickOnCurrentTabDoesNothing() {
    Rig r;
    QVERIFY(!r.nav.tabClicked(Page::Obroty));
    QVERIFY(r.calls.isEmpty());
    QVERIFY(r.port.sentBytes().empty());
}

void TestNavigator::writtenFlagRules_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("writtenBefore");
    QTest::addColumn<bool>("writtenAfter");
    QTest::addColumn<int>("writes");
    QTest::newRow("obroty after edits writes") << int(Page::Obroty) << false << true << 1;
    QTest::newRow("obroty when written") << int(Page::Obroty) << true << true << 0;
    QTest::newRow("wizualizacja after edits writes") << int(Page::Wizualizacja) << false << true << 1;
    QTest::newRow("wizualizacja when written") << int(Page::Wizualizacja) << true << true << 0;
    QTest::newRow("parametry clears") << int(Page::Parametry) << true << false << 0;
    QTest::newRow("autoadaptacja clears") << int(Page::Autoadaptacja) << true << false << 0;
    QTest::newRow("drukowanie clears") << int(Page::Drukowanie) << true << false << 0;
}

void TestNavigator::writtenFlagRules() {
    QFETCH(int, page);
    QFETCH(bool, writtenBefore);
    QFETCH(bool, writtenAfter);
    QFETCH(int, writes);
    Rig r;
    r.nav.setCurrent(page == int(Page::Obroty) ? Page::Drukowanie : Page::Obroty);
    r.session.written = writtenBefore;
    r.session.paramsVisited = true;
    bool flagAtEntry = !writtenBefore;
    r.page(static_cast<Page>(page)).onEnter = [&] { flagAtEntry = r.session.written; };
    r.nav.selectFromMenu(static_cast<Page>(page));
    QCOMPARE(r.session.written, writtenAfter);
    QCOMPARE(r.writes, writes);
    // The automatic write happens before the page's own entry steps.
    if (writes) QCOMPARE(r.calls.indexOf(QStringLiteral("write parameters")), 0);
    // Editing pages see the flag cleared already when they enter.
    if (page == int(Page::Parametry) || page == int(Page::Autoadaptacja) || page == int(Page::Drukowanie))
        QVERIFY(!flagAtEntry);
}

void TestNavigator::parametersPageShowsPrintTab() {
    Rig r;
    r.nav.selectFromMenu(Page::Drukowanie);
    QCOMPARE(r.printTabShows, 0);
    QVERIFY(!r.session.paramsVisited);
    r.nav.selectFromMenu(Page::Parametry);
    QCOMPARE(r.printTabShows, 1);
    QVERIFY(r.session.paramsVisited);
    r.nav.selectFromMenu(Page::Obroty);
    QVERIFY(r.session.paramsVisited); // stays set
}

void TestNavigator::noAutomaticWriteBeforeParametersPageWasFilled() {
    Rig r;
    // The wizard or the print page clears the flag without the parameters page
    // ever having been read from the controller.
    r.nav.selectFromMenu(Page::Autoadaptacja);
    QVERIFY(!r.session.written);
    r.nav.selectFromMenu(Page::Obroty);
    QCOMPARE(r.writes, 0);
    QVERIFY(r.session.written);
    r.nav.selectFromMenu(Page::Parametry);
    r.nav.selectFromMenu(Page::Wizualizacja);
    QCOMPARE(r.writes, 1);
}

void TestNavigator::startupExchangesInOrder() {
    Rig r;
    QStringList order;
    shell::StartupSteps steps;
    steps.versionDependentControls = [&] { order << QStringLiteral("features"); };
    steps.analogThreshold = [&] { order << QStringLiteral("threshold"); };
    steps.readIgnition = [&] {
        order << QStringLiteral("ignition");
        QCOMPARE(r.session.controller.versionCode(), 5); // the version read came first
    };
    r.session.channel.setSelectedPort(QStringLiteral("com1"));
    shell::runStartupExchanges(r.session, steps);
    QCOMPARE(order, (QStringList{"features", "threshold", "ignition"}));
    QVERIFY(r.session.timers.TimerObr->isActive());
    QVERIFY(r.session.channel.isOpen());
    int others = 0;
    for (const auto& t : r.timers)
        others += t->isActive();
    QCOMPARE(others, 1);
    QCOMPARE(r.events().mid(r.events().size() - 1), QStringList{"open /dev/ttyS0"});
    QVERIFY(r.session.controller.caption().startsWith(QStringLiteral("Quendrix wersja 4.3 (Build ")));
}

void TestNavigator::autodetectFindsFirstAnsweringPort() {
    Rig r;
    r.port.existing = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
    QString device;
    r.port.responder = [&](std::uint8_t b) -> QByteArray {
        if (b == 0x01 && r.session.channel.devicePath(r.session.channel.selectedPort()) == "/dev/ttyS2")
            return QByteArray("\x05\x00", 2);
        return {};
    };
    QList<int> checked;
    QVERIFY(shell::autodetectController(r.session, [&](int n) { checked << n; }));
    QCOMPARE(r.session.channel.selectedPort(), QStringLiteral("com3"));
    QCOMPARE(checked.last(), 3);
    QCOMPARE(r.panel1, QStringLiteral("Sterownik znaleziono na com3"));
    for (const QString& e : r.events())
        QVERIFY2(!e.contains("ttyS3"), qPrintable(e)); // COM4 never opened
    QVERIFY(!r.session.channel.isOpen());
}

void TestNavigator::autodetectWithoutPorts() {
    Rig r;
    r.port.existing.clear();
    r.session.channel.setSelectedPort(QStringLiteral("com2"));
    QVERIFY(!shell::autodetectController(r.session, [](int) { QFAIL("no item may be checked"); }));
    QCOMPARE(r.panel1, r.session.text(30001));
    QCOMPARE(r.session.channel.selectedPort(), QStringLiteral("com2"));
    QVERIFY(r.port.sentBytes().empty());
}

void TestNavigator::autodetectSilentPortsKeepsLastOpened() {
    Rig r;
    r.port.existing = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
    r.port.responder = [](std::uint8_t) { return QByteArray(); };
    r.session.channel.setAnswerByte(0, 7); // stale byte must not look like a controller
    QVERIFY(!shell::autodetectController(r.session, {}));
    QCOMPARE(r.session.channel.selectedPort(), QStringLiteral("com4"));
    QCOMPARE(r.panel1, r.session.text(30001));
    QVERIFY(!r.session.controller.controllerPresent());
}

QTEST_GUILESS_MAIN(TestNavigator)
#include "tst_navigator.moc"
